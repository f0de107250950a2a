// Every damaged and fuzz-found file goes through the Open command of the running editor. None
// may bring it down; each either shows "Unable to open image." and leaves an empty document, or
// shows exactly what our reader gets out of the same file alone: one item per frame, and the
// Image panel and canvas working on the first and last frame. The first file goes through the
// real file dialog and the first refusal through the real message box; after that both are
// stubbed, and every file still goes through the same command: each dialog costs Wine two seconds.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

// Every file of the folders, full Windows paths, sorted so failures name a stable order.
std::vector<std::string> damagedAndFuzzFiles() {
    std::vector<std::string> files;
    for (std::string folder :
         {std::string(VELMORA_TEST_DATA), std::string(VELMORA_FUZZ_CORPUS) + "/read_fuzzer",
          std::string(VELMORA_FUZZ_CORPUS) + "/roundtrip_fuzzer",
          std::string(VELMORA_FUZZ_CORPUS) + "/palette_fuzzer",
          std::string(VELMORA_FUZZ_CORPUS) + "/ppm_fuzzer"}) {
        std::replace(folder.begin(), folder.end(), '/', '\\');
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(folder + "\\" + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Size, place, delay and every index of each frame.
std::vector<std::vector<uint32_t>> shapesOf(const GifAnimation& animation) {
    std::vector<std::vector<uint32_t>> shapes;
    for (const GifFrame& frame : animation.frames) {
        std::vector<uint32_t> shape = {frame.width(), frame.height(), frame.left, frame.top, frame.delay};
        for (uint32_t y = 0; frame.bitmap && y < frame.height(); ++y)
            for (uint32_t x = 0; x < frame.width(); ++x) shape.push_back(frame.bitmap->at(x, y));
        shapes.push_back(shape);
    }
    return shapes;
}

TEST(DamagedFiles, EachOpensIntoWhatCanBeReadOrIsRefusedWithAMessage) {
    AppSession session;
    ASSERT_TRUE(session.started());
    const std::vector<std::string> files = damagedAndFuzzFiles();
    // Both folders are kept filled; a short list would mean wrong paths, not a pass.
    ASSERT_GE(files.size(), 40u);
    int opened = 0, refused = 0, readerOnly = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        // Each file starts from an empty, unmodified document, so nothing of the one before shows.
        sendMenuCommand(IDM_FILE_NEW);
        ASSERT_EQ(frameListCount(), 0);
        // Wine's GDI+ (8.0) dereferences a null palette when a GIF image has neither a global nor
        // a local colour table, and Open asks GDI+ first: such files are for our reader alone.
        GifAnimation alone;
        alone.readFile(path.c_str());
        bool tableless = false;
        for (const GifFrame& frame : alone.frames) tableless |= !alone.hasGlobalTable && !frame.hasLocalTable;
        if (tableless) {
            ++readerOnly;
            continue;
        }
        DialogAnswerer answers;
        std::optional<FileDialogStub> stub;
        std::optional<MessageBoxStub> boxes;
        if (opened + refused == 0) {
            answers.expect("Open", DialogAnswerer::chooseFile(path));
        } else {
            stub.emplace(std::vector<std::string>{path});
        }
        if (refused > 0) boxes.emplace(IDOK);
        // Armed in case the file is refused; left unused when it opens.
        answers.expect("Error", DialogAnswerer::pressButton(IDOK));
        sendMenuCommand(IDM_FILE_OPEN);
        ASSERT_TRUE(IsWindow(app().window));
        const std::vector<std::string> stubbed = boxes ? boxes->shown() : std::vector<std::string>{};
        if (answers.allAnswered() || !stubbed.empty()) {
            // The refusal says so, once, and then nothing was loaded.
            EXPECT_EQ(stubbed.empty() ? "Error: " + answers.lastMessageText() : stubbed[0],
                      "Error: Unable to open image.");
            EXPECT_LE(stubbed.size(), 1u);
            EXPECT_EQ(frameListCount(), 0);
            EXPECT_TRUE(app().editor.document().frames.empty());
            ++refused;
            continue;
        }
        ++opened;
        EXPECT_TRUE(shapesOf(app().editor.document()) == shapesOf(alone));
        EXPECT_EQ(app().editor.document().screenWidth * 100000 + app().editor.document().screenHeight,
                  alone.screenWidth * 100000 + alone.screenHeight);
        EXPECT_EQ(frameListCount(), int(app().editor.document().frames.size()));
        EXPECT_FALSE(app().editor.changed());
        // Selecting the first and last frame fills the Image panel and the canvas paints it.
        const int count = int(app().editor.document().frames.size());
        for (int index : {0, count - 1}) {
            if (index < 0) continue;
            selectFrame(index);
            RedrawWindow(app().window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            ASSERT_TRUE(IsWindow(app().window));
            EXPECT_EQ(textOf(app().imagePanel, IDC_IMAGE_LEFT),
                      std::to_string(app().editor.document().frames[size_t(index)].left));
        }
    }
    std::printf("%d opened, %d refused, %d for the reader alone\n", opened, refused, readerOnly);
    // The corpus holds both kinds; one kind never happening means the command was not reached.
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
    EXPECT_LT(readerOnly, int(files.size()) / 4);
}

}  // namespace
