// Every damaged and fuzz-found file goes through the real Open command of the running editor.
// None may bring it down; each either shows the "Unable to open image." message and leaves an
// empty document, or shows exactly what our reader gets out of the same file on its own: one
// list item per frame, and the Image panel and canvas working on the first and last frame.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/globals.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/appdriver.h"
#include "ui/support/uiharness.h"

namespace {

std::string backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Every regular file in a folder, full Windows paths, sorted so failures name a stable order.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((backslashed(folder) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(backslashed(folder) + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> damagedAndFuzzFiles() {
    std::vector<std::string> files = filesIn(VELMORA_TEST_DATA);
    for (const char* corpus : {"read_fuzzer", "roundtrip_fuzzer", "palette_fuzzer", "ppm_fuzzer"}) {
        const std::vector<std::string> more = filesIn(std::string(VELMORA_FUZZ_CORPUS) + "/" + corpus);
        files.insert(files.end(), more.begin(), more.end());
    }
    // Only the sample notes are not meant as pictures; they still must not hurt the editor.
    return files;
}

struct Shape {
    uint32_t width, height;
    uint16_t left, top, delay;
    std::vector<uint8_t> indices;
    bool operator==(const Shape& o) const {
        return width == o.width && height == o.height && left == o.left && top == o.top && delay == o.delay &&
               indices == o.indices;
    }
};

std::vector<Shape> shapesOf(const GifAnimation& animation) {
    std::vector<Shape> shapes;
    for (const GifFrame& frame : animation.frames) {
        Shape shape{frame.width(), frame.height(), frame.left, frame.top, frame.delay, {}};
        if (frame.bitmap) {
            for (uint32_t y = 0; y < frame.height(); ++y)
                for (uint32_t x = 0; x < frame.width(); ++x) shape.indices.push_back(frame.bitmap->at(x, y));
        }
        shapes.push_back(std::move(shape));
    }
    return shapes;
}

class DamagedFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_.started()); }
    AppSession session_;
};

TEST_F(DamagedFiles, EachOpensIntoWhatCanBeReadOrIsRefusedWithAMessage) {
    const std::vector<std::string> files = damagedAndFuzzFiles();
    // Both folders are kept filled; an empty list would mean the paths are wrong, not a pass.
    ASSERT_GE(files.size(), 40u);
    int opened = 0, refused = 0, wineGdiplusCrashers = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const DWORD started = GetTickCount();
        // Start each file from an empty, unmodified document, so nothing of the one before shows.
        sendMenuCommand(IDM_FILE_NEW);
        ASSERT_EQ(frameListCount(), 0);

        // Wine's GDI+ (8.0) dereferences a null palette in its GIF decoder when an image has
        // neither a global nor a local colour table, and the Open command asks GDI+ first. Such
        // files cannot go through Open under Wine; our reader alone must still read them.
        GifAnimation alone;
        alone.readFile(path.c_str());
        bool tableless = false;
        for (const GifFrame& frame : alone.frames) tableless |= !alone.hasGlobalTable && !frame.hasLocalTable;
        if (tableless) {
            ++wineGdiplusCrashers;
            std::printf("reader only (Wine's GDI+ fails on a GIF without colour table)  %s\n", path.c_str());
            continue;
        }

        DialogAnswerer answers;
        answers.expect("Open", DialogAnswerer::chooseFile(path));
        // Armed too, in case the file is refused; left unused when it opens.
        answers.expect("Error", DialogAnswerer::pressButton(IDOK));
        sendMenuCommand(IDM_FILE_OPEN);
        pumpMessages(20);
        ASSERT_TRUE(IsWindow(g_mainWindow));
        for (const std::string& caption : answers.unexpected()) EXPECT_EQ(caption, "Velmora");
        const bool wasRefused = answers.allAnswered();
        if (wasRefused) {
            // The refusal says so, and then nothing was loaded.
            EXPECT_EQ(answers.lastMessageText(), "Unable to open image.");
            EXPECT_EQ(frameListCount(), 0);
            EXPECT_TRUE(g_document.frames.empty());
            ++refused;
            std::printf("refused  %5lu ms  %s\n", GetTickCount() - started, path.c_str());
            continue;
        }
        ++opened;
        EXPECT_EQ(g_document.frames.size(), alone.frames.size());
        EXPECT_TRUE(shapesOf(g_document) == shapesOf(alone));
        EXPECT_EQ(g_document.screenWidth, alone.screenWidth);
        EXPECT_EQ(g_document.screenHeight, alone.screenHeight);
        EXPECT_EQ(frameListCount(), int(g_document.frames.size()));
        EXPECT_FALSE(g_modified);

        // Select the first and last frame: the Image panel shows it and the canvas paints it.
        const int count = int(g_document.frames.size());
        for (int index : {0, count - 1}) {
            if (index < 0) continue;
            clickFrameItem(index);
            RedrawWindow(g_mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            ASSERT_TRUE(IsWindow(g_mainWindow));
            const GifFrame& frame = g_document.frames[size_t(index)];
            EXPECT_EQ(controlText(g_imagePanel, IDC_IMAGE_LEFT), std::to_string(frame.left));
            EXPECT_EQ(controlText(g_imagePanel, IDC_IMAGE_TOP), std::to_string(frame.top));
        }
        g_modified = false;
        std::printf("%3d frames %5lu ms  %s\n", count, GetTickCount() - started, path.c_str());
    }
    // The corpus holds both kinds; a run where one kind never happens means the command was not
    // reached at all.
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
    // Only a few hand-made files lack every colour table; most must go through Open.
    EXPECT_LT(wineGdiplusCrashers, int(files.size()) / 4);
}

}  // namespace
