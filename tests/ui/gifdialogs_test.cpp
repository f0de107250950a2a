// The GIF open and save dialogs: their filter, the default extension, the chosen path landing in
// g_chosenPath, and no overwrite question when saving over an existing file.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/globals.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

// The file-type combo box of the explorer-style dialogs.
constexpr int kFileTypeControl = 0x470;

std::string outputFile(const std::string& name) {
    std::string path = testOutputPath(name);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void writeSomething(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("GIF89a", file);
    std::fclose(file);
}

// Notes what the dialog offers as file types, then chooses the path.
DialogAnswerer::Answer noteTypesAndChoose(std::vector<std::string>* types, const std::string& path) {
    return [types, path](HWND dialog) {
        HWND combo = GetDlgItem(dialog, kFileTypeControl);
        const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[128] = {};
            SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
            types->push_back(text);
        }
        DialogAnswerer::chooseFile(path)(dialog);
    };
}

TEST(GifDialogs, OpenOffersGifFilesAndReturnsTheChosenPath) {
    AppSession session;
    ASSERT_TRUE(session.started());
    const std::string path = outputFile("gifdialogs-open.gif");
    writeSomething(path);
    std::vector<std::string> types;
    DialogAnswerer answers;
    answers.expect("Open", noteTypesAndChoose(&types, path));
    EXPECT_TRUE(showGifOpenDialog());
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected().empty());
    EXPECT_EQ(types, std::vector<std::string>{"GIF Files (*.gif)"});
    EXPECT_STRCASEEQ(g_chosenPath.c_str(), path.c_str());
    // Choosing changes nothing else.
    EXPECT_TRUE(g_documentPath.empty());
    EXPECT_FALSE(g_modified);
}

TEST(GifDialogs, CancelledDialogsReturnFalseAndKeepTheLastPath) {
    AppSession session;
    ASSERT_TRUE(session.started());
    g_chosenPath = "C:\\earlier.gif";
    DialogAnswerer answers;
    answers.expect("Open", DialogAnswerer::cancel());
    answers.expect("Save As", DialogAnswerer::cancel());
    EXPECT_FALSE(showGifOpenDialog());
    EXPECT_FALSE(showGifSaveDialog());
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected().empty());
    EXPECT_EQ(g_chosenPath, "C:\\earlier.gif");
}

TEST(GifDialogs, SaveAddsTheGifExtensionAndOverwritesWithoutAQuestion) {
    AppSession session;
    ASSERT_TRUE(session.started());
    struct Case {
        const char* name;
        std::string typed;
        std::string expected;
        bool existsBefore;
    };
    const Case cases[] = {
        {"no extension typed", outputFile("gifdialogs-save"), outputFile("gifdialogs-save.gif"), false},
        {"existing file", outputFile("gifdialogs-existing.gif"), outputFile("gifdialogs-existing.gif"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(c.expected.c_str());
        if (c.existsBefore) writeSomething(c.expected);
        std::vector<std::string> types;
        DialogAnswerer answers;
        answers.expect("Save As", noteTypesAndChoose(&types, c.typed));
        EXPECT_TRUE(showGifSaveDialog());
        pumpMessages(200);
        EXPECT_TRUE(answers.allAnswered());
        // An overwrite question would be a second dialog.
        EXPECT_TRUE(answers.unexpected().empty());
        EXPECT_EQ(answers.seen().size(), 1u);
        EXPECT_EQ(types, std::vector<std::string>{"GIF Files (*.gif)"});
        EXPECT_STRCASEEQ(g_chosenPath.c_str(), c.expected.c_str());
    }
}

}  // namespace
