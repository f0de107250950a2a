// The menu and toolbar commands, run through WM_COMMAND with the real dialogs answered from
// inside their modal loops. Each test checks its command's row of the refresh table: the frame
// list, its selection, what the Global panel shows, whether the animation view was invalidated,
// and the modified flag and document path.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/globals.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"
#include "ui/support/appdriver.h"
#include "ui/support/uiharness.h"

namespace {

constexpr uint32_t kGreen = 0x20C040;
constexpr uint32_t kRed = 0xC82828;
constexpr uint32_t kBlue = 0x2828C8;

Bytes solid(size_t count, uint8_t index) { return Bytes(count, index); }

// Screen 60 x 50 with a 4-colour global table (black, green, red, blue), then three frames
// told apart by their sizes: 40 x 30 green at (0, 0), 5 x 2 red at (10, 20), 2 x 2 blue at (3, 4).
// The NETSCAPE2.0 count is the number of repeats; 0 means forever.
Bytes threeFrameGif(uint16_t repeats) {
    GifBytes gif;
    gif.header().screen(60, 50, 0x81).colors({0x000000, kGreen, kRed, kBlue}).netscapeLoop(repeats);
    gif.imageDescriptor(0, 0, 40, 30).imageData(2, referenceLzwEncode(solid(40 * 30, 1), 2));
    gif.imageDescriptor(10, 20, 5, 2).imageData(2, referenceLzwEncode(solid(5 * 2, 2), 2));
    gif.imageDescriptor(3, 4, 2, 2).imageData(2, referenceLzwEncode(solid(2 * 2, 3), 2));
    gif.trailer();
    return gif.bytes();
}

std::string writeGif(const std::string& name, const Bytes& bytes) {
    writeTestFile(name, bytes);
    return windowsOutputPath(name);
}

struct Size {
    uint32_t width, height;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};
std::ostream& operator<<(std::ostream& out, const Size& s) { return out << s.width << "x" << s.height; }

std::vector<Size> frameSizes() {
    std::vector<Size> sizes;
    for (const GifFrame& frame : g_document.frames) sizes.push_back({frame.width(), frame.height()});
    return sizes;
}

const Size kBig{40, 30}, kMiddle{5, 2}, kSmall{2, 2};

// Dialogs that came up, without the main window itself (it is a dialog too and is seen when it
// gets the focus back).
std::vector<std::string> dialogsShown(const DialogAnswerer& answers) {
    std::vector<std::string> shown;
    for (const std::string& caption : answers.seen())
        if (caption != "Velmora") shown.push_back(caption);
    return shown;
}

void openThroughDialog(DialogAnswerer& answers, const std::string& path) {
    answers.expect("Open", DialogAnswerer::chooseFile(path));
    sendMenuCommand(IDM_FILE_OPEN);
}

// An open document of three frames, unmodified, with the given path.
std::string openThreeFrames(DialogAnswerer& answers, const std::string& name = "three.gif") {
    const std::string path = writeGif(name, threeFrameGif(5));
    openThroughDialog(answers, path);
    return path;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_.started()); }
    AppSession session_;
};

TEST_F(Commands, OpenRebuildsTheListAndShowsTheScreenAndLooping) {
    struct Case {
        const char* name;
        uint16_t repeats;
        const char* loopText;
        bool infinite;
    };
    // The file counts repeats; the panel shows plays, one more.
    const Case cases[] = {{"five repeats", 5, "6", false}, {"forever", 0, "1", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogAnswerer answers;
        // A state the command must overwrite: Auto on (edits locked), a stale list selection.
        SendDlgItemMessageA(g_globalPanel, IDC_GLOBAL_AUTO_SIZE, BM_CLICK, 0, 0);
        if (!c.infinite) SendDlgItemMessageA(g_globalPanel, IDC_GLOBAL_INFINITE, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageA(g_frameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
        SendMessageA(g_frameList, LB_SETCURSEL, 0, 0);
        g_modified = true;

        const std::string path = writeGif(std::string("open-") + c.name + ".gif", threeFrameGif(c.repeats));
        openThroughDialog(answers, path);
        for (const std::string& caption : answers.unexpected()) EXPECT_EQ(caption, "Velmora");
        EXPECT_EQ(frameSizes(), (std::vector<Size>{kBig, kMiddle, kSmall}));
        EXPECT_EQ(frameListCount(), 3);
        EXPECT_EQ(frameListSelection(), LB_ERR);
        EXPECT_FALSE(isChecked(g_globalPanel, IDC_GLOBAL_AUTO_SIZE));
        EXPECT_TRUE(isEnabled(g_globalPanel, IDC_GLOBAL_WIDTH));
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "60");
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), "50");
        EXPECT_EQ(isChecked(g_globalPanel, IDC_GLOBAL_INFINITE), c.infinite);
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_LOOP), c.loopText);
        EXPECT_EQ(isEnabled(g_globalPanel, IDC_GLOBAL_LOOP), !c.infinite);
        EXPECT_EQ(g_documentPath, path);
        EXPECT_FALSE(g_modified);
    }
    saveWindowScreenshot(g_mainWindow, "commands-open.png");
}

TEST_F(Commands, OpenOfATextFileSaysUnableToOpenAndKeepsTheDocument) {
    DialogAnswerer answers;
    const std::string kept = openThreeFrames(answers);
    g_modified = true;
    const std::string text = windowsOutputPath("readme.gif");
    FILE* file = std::fopen(text.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("This is plain text, not a picture.\n", file);
    std::fclose(file);

    answers.expect("Open", DialogAnswerer::chooseFile(text));
    answers.expect("Error", DialogAnswerer::pressButton(IDOK));
    sendMenuCommand(IDM_FILE_OPEN);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.lastMessageText(), "Unable to open image.");
    EXPECT_EQ(frameSizes(), (std::vector<Size>{kBig, kMiddle, kSmall}));
    EXPECT_EQ(frameListCount(), 3);
    EXPECT_EQ(g_documentPath, kept);
    EXPECT_TRUE(g_modified);
}

TEST_F(Commands, OpenCancelledChangesNothing) {
    DialogAnswerer answers;
    answers.expect("Open", DialogAnswerer::cancel());
    g_modified = true;
    sendMenuCommand(IDM_FILE_OPEN);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(g_modified);
    EXPECT_TRUE(g_documentPath.empty());
}

TEST_F(Commands, NewEmptiesTheListKeepsTheScreenAndRedrawsTheView) {
    DialogAnswerer answers;
    openThreeFrames(answers);
    forgetPendingPaint(g_animationView);
    clickToolbarButton(IDT_NEW);  // unmodified: no question
    EXPECT_EQ(dialogsShown(answers), std::vector<std::string>{"Open"}) << "no question when unmodified";
    EXPECT_TRUE(g_document.frames.empty());
    EXPECT_EQ(frameListCount(), 0);
    EXPECT_EQ(g_document.screenWidth, 60);
    EXPECT_EQ(g_document.loopCount, 6);
    EXPECT_TRUE(g_documentPath.empty());
    EXPECT_FALSE(g_modified);
    EXPECT_TRUE(hasPendingPaint(g_animationView));
}

TEST_F(Commands, NewOnAModifiedDocumentAsksFirst) {
    struct Case {
        const char* name;
        int answer;
        bool emptied;
    };
    for (const Case& c : {Case{"cancel", IDCANCEL, false}, Case{"no", IDNO, true}}) {
        SCOPED_TRACE(c.name);
        DialogAnswerer answers;
        const std::string path = openThreeFrames(answers, std::string("new-") + c.name + ".gif");
        g_modified = true;
        answers.expect("Confirm", DialogAnswerer::pressButton(c.answer));
        sendMenuCommand(IDM_FILE_NEW);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(answers.lastMessageText(), "Save changes?");
        EXPECT_EQ(g_document.frames.empty(), c.emptied);
        EXPECT_EQ(frameListCount(), c.emptied ? 0 : 3);
        EXPECT_EQ(g_modified, !c.emptied);
        EXPECT_EQ(g_documentPath, c.emptied ? "" : path);
    }
}

TEST_F(Commands, SaveOfAnUnmodifiedDocumentWritesNothing) {
    DialogAnswerer answers;
    // Never had a path: no dialog either.
    sendMenuCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(dialogsShown(answers).empty());

    const std::string path = openThreeFrames(answers, "unmodified.gif");
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    clickToolbarButton(IDT_SAVE);
    EXPECT_FALSE(fileExists(path));
    EXPECT_EQ(dialogsShown(answers), std::vector<std::string>{"Open"});
}

TEST_F(Commands, SaveWithTheDialogCancelledStaysModifiedAndExitStillAsks) {
    DialogAnswerer answers;
    g_modified = true;
    answers.expect("Save As", DialogAnswerer::cancel());
    sendMenuCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(g_modified);
    EXPECT_TRUE(g_documentPath.empty());

    answers.expect("Confirm", DialogAnswerer::cancel());
    sendMenuCommand(IDM_FILE_EXIT);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.lastMessageText(), "Save changes?");
    EXPECT_FALSE(takeQuitMessage());
}

TEST_F(Commands, SaveAndSaveAsWriteTheDocumentAndTakeThePath) {
    DialogAnswerer answers;
    openThreeFrames(answers, "source.gif");
    g_documentPath.clear();
    g_modified = true;
    const std::string saved = windowsOutputPath("saved.gif");
    DeleteFileA(saved.c_str());
    answers.expect("Save As", DialogAnswerer::chooseFile(saved));
    sendMenuCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(g_documentPath, saved);
    EXPECT_FALSE(g_modified);

    // Save As runs on an unmodified document too.
    const std::string copy = windowsOutputPath("saved-as.gif");
    DeleteFileA(copy.c_str());
    answers.expect("Save As", DialogAnswerer::chooseFile(copy));
    sendMenuCommand(IDM_FILE_SAVE_AS);
    EXPECT_EQ(g_documentPath, copy);
    EXPECT_FALSE(g_modified);

    for (const std::string& path : {saved, copy}) {
        SCOPED_TRACE(path);
        GifAnimation back;
        ASSERT_EQ(back.readFile(path.c_str()), ReadOk);
        ASSERT_EQ(back.frames.size(), 3u);
        EXPECT_EQ(back.frames[1].left, 10);
        EXPECT_EQ(back.frames[1].top, 20);
        EXPECT_EQ(back.frames[1].bitmap->at(4, 1), 2);
        EXPECT_EQ(back.loopCount, 6);
    }
}

TEST_F(Commands, DeleteFollowsItsSelectionRules) {
    struct Case {
        const char* name;
        int selected;  // -1: nothing selected
        int answer;    // 0: no question expected
        std::vector<Size> left;
        int selectionAfter;
    };
    const Case cases[] = {
        {"no selection asks nothing", -1, 0, {kBig, kMiddle, kSmall}, LB_ERR},
        {"cancelled", 1, IDCANCEL, {kBig, kMiddle, kSmall}, 1},
        {"the middle frame keeps its index", 1, IDOK, {kBig, kSmall}, 1},
        {"the first frame", 0, IDOK, {kMiddle, kSmall}, 0},
        {"the last frame selects the new last", 2, IDOK, {kBig, kMiddle}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogAnswerer answers;
        openThreeFrames(answers);
        if (c.selected >= 0) clickFrameItem(c.selected);
        if (c.answer) answers.expect("Confirmation", DialogAnswerer::pressButton(c.answer));
        // Refilling the Image panel on a click passes through its edit rules; start from clean.
        g_modified = false;
        clickToolbarButton(IDT_DELETE);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(dialogsShown(answers).size(), c.answer ? 2u : 1u);
        if (c.answer) {
            EXPECT_EQ(answers.lastMessageText(), "Are you sure you wish to delete image?");
        }
        EXPECT_EQ(frameSizes(), c.left);
        EXPECT_EQ(frameListCount(), int(c.left.size()));
        EXPECT_EQ(frameListSelection(), c.selectionAfter);
        EXPECT_TRUE(g_modified) << "Delete always marks the document";
    }
}

TEST_F(Commands, DeletingTheOnlyFrameLeavesAnEmptyListWithoutSelection) {
    DialogAnswerer answers;
    openThreeFrames(answers);
    for (int remaining = 3; remaining > 0; --remaining) {
        clickFrameItem(0);
        answers.expect("Confirmation", DialogAnswerer::pressButton(IDOK));
        sendMenuCommand(IDM_IMAGE_DELETE);
    }
    EXPECT_TRUE(g_document.frames.empty());
    EXPECT_EQ(frameListCount(), 0);
    EXPECT_EQ(frameListSelection(), LB_ERR);
}

TEST_F(Commands, MoveUpAndDownSwapWithTheNeighbourAndFollowTheFrame) {
    struct Case {
        const char* name;
        UINT command;
        int selected;
        std::vector<Size> order;
        int selectionAfter;
    };
    const Case cases[] = {
        {"up on the first changes nothing", IDM_IMAGE_MOVE_UP, 0, {kBig, kMiddle, kSmall}, 0},
        {"down on the last changes nothing", IDM_IMAGE_MOVE_DOWN, 2, {kBig, kMiddle, kSmall}, 2},
        {"up with no selection", IDM_IMAGE_MOVE_UP, -1, {kBig, kMiddle, kSmall}, LB_ERR},
        {"down with no selection", IDM_IMAGE_MOVE_DOWN, -1, {kBig, kMiddle, kSmall}, LB_ERR},
        {"up on the last", IDM_IMAGE_MOVE_UP, 2, {kBig, kSmall, kMiddle}, 1},
        {"down on the first", IDM_IMAGE_MOVE_DOWN, 0, {kMiddle, kBig, kSmall}, 1},
        {"toolbar up", IDT_MOVE_UP, 1, {kMiddle, kBig, kSmall}, 0},
        {"toolbar down", IDT_MOVE_DOWN, 1, {kBig, kSmall, kMiddle}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogAnswerer answers;
        openThreeFrames(answers);
        if (c.selected >= 0) clickFrameItem(c.selected);
        g_modified = false;
        forgetPendingPaint(g_animationView);
        if (c.command < IDM_FILE_OPEN) {
            clickToolbarButton(c.command);
        } else {
            sendMenuCommand(c.command);
        }
        EXPECT_EQ(frameSizes(), c.order);
        EXPECT_EQ(frameListSelection(), c.selectionAfter);
        EXPECT_EQ(frameListCount(), 3);
        EXPECT_TRUE(g_modified);
        EXPECT_FALSE(hasPendingPaint(g_animationView)) << "the view is not redrawn";
    }
}

TEST_F(Commands, AddingAGifAppendsAllItsFramesAndRefitsTheScreen) {
    DialogAnswerer answers;
    const std::string path = writeGif("add.gif", threeFrameGif(5));
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        forgetPendingPaint(g_animationView);
        g_modified = false;
        answers.expect("Open", DialogAnswerer::chooseFile(path));
        clickToolbarButton(IDT_ADD);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(g_document.frames.size(), size_t(3 * round));
        EXPECT_EQ(frameListCount(), 3 * round);
        EXPECT_EQ(frameListSelection(), LB_ERR) << "the GIF road selects nothing";
        // The file's screen (60 x 50) is dropped: the bounding box of the frames is 40 x 30.
        EXPECT_EQ(g_document.screenWidth, 40);
        EXPECT_EQ(g_document.screenHeight, 30);
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "40");
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), "30");
        EXPECT_EQ(g_document.loopCount, 1) << "the added file's looping is dropped";
        EXPECT_TRUE(g_modified);
        EXPECT_TRUE(g_documentPath.empty());
        EXPECT_TRUE(hasPendingPaint(g_animationView));
    }
    EXPECT_EQ(g_document.frames[4].left, 10);
    EXPECT_EQ(g_document.frames[4].top, 20);
    EXPECT_EQ(g_document.frames[5].bitmap->at(1, 1), 3);
}

TEST_F(Commands, AddingAGifFarOutCapsTheScreenAt2000) {
    DialogAnswerer answers;
    // One 30 x 3 frame at (1990, 7): right edge 2020, bottom edge 10.
    GifBytes gif;
    gif.header().screen(1, 1, 0x80).colors({0x000000, 0xFFFFFF});
    gif.imageDescriptor(1990, 7, 30, 3).imageData(2, referenceLzwEncode(solid(90, 1), 2)).trailer();
    answers.expect("Open", DialogAnswerer::chooseFile(writeGif("far.gif", gif.bytes())));
    sendMenuCommand(IDM_IMAGE_ADD);
    EXPECT_EQ(g_document.screenWidth, 2000);
    EXPECT_EQ(g_document.screenHeight, 10);
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "2000");
}

TEST_F(Commands, AnyPathContainingDotGifTakesTheGifRoad) {
    DialogAnswerer answers;
    // A PNG the image road would import; the GIF reader refuses it, so nothing is added.
    answers.expect("Open", DialogAnswerer::chooseFile(importImagePath("x.gif\\picture.png")));
    answers.expect("Error", DialogAnswerer::pressButton(IDOK));
    sendMenuCommand(IDM_IMAGE_ADD);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.lastMessageText(), "Unable to open image.");
    EXPECT_TRUE(g_document.frames.empty());
    EXPECT_EQ(frameListCount(), 0);
    EXPECT_FALSE(g_modified);

    // The same picture outside that folder is imported.
    answers.expect("Open", DialogAnswerer::chooseFile(importImagePath("alpha.png")));
    sendMenuCommand(IDM_IMAGE_ADD);
    EXPECT_EQ(g_document.frames.size(), 1u);
}

TEST_F(Commands, AddingAnImageThatCannotBeLoadedSaysSoAndChangesNothing) {
    DialogAnswerer answers;
    openThreeFrames(answers);
    clickFrameItem(1);
    g_modified = false;
    answers.expect("Open", DialogAnswerer::chooseFile(importImagePath("notapicture.png")));
    answers.expect("Error", DialogAnswerer::pressButton(IDOK));
    sendMenuCommand(IDM_IMAGE_ADD);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.lastMessageText(), "Unable to open image.");
    EXPECT_EQ(frameSizes(), (std::vector<Size>{kBig, kMiddle, kSmall}));
    EXPECT_EQ(frameListCount(), 3);
    EXPECT_EQ(frameListSelection(), 1);
    EXPECT_FALSE(g_modified);
}

TEST_F(Commands, AddingAnImageAppendsItsFramesAndSelectsTheLast) {
    DialogAnswerer answers;
    openThreeFrames(answers);
    clickFrameItem(0);
    answers.expect("Open", DialogAnswerer::chooseFile(importImagePath("pages.tif")));
    sendMenuCommand(IDM_IMAGE_ADD);
    EXPECT_TRUE(answers.allAnswered());
    // Three pages: 10 x 10, 20 x 5 and 5 x 15, all smaller than the 60 x 50 screen.
    EXPECT_EQ(frameSizes(), (std::vector<Size>{kBig, kMiddle, kSmall, {10, 10}, {20, 5}, {5, 15}}));
    EXPECT_EQ(frameListCount(), 6);
    EXPECT_EQ(frameListSelection(), 5);
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "60");
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), "50");
    EXPECT_TRUE(g_modified);
    saveWindowScreenshot(g_mainWindow, "commands-add-tiff.png");
}

// The page as it must be on disk: text mode turns every line feed into CR LF, and the image tag
// shares its line with the closing body tag.
const char kExpectedPage[] =
    "<html>\r\n<head>\r\n<title>Preview</title>\r\n</head>\r\n<body>\r\n<img src='preview.gif'></body>\r\n</html>\r\n";

TEST_F(Commands, AnimateWritesThePictureAndThePageAndOpensThePage) {
    DialogAnswerer answers;
    const std::string path = openThreeFrames(answers);
    g_modified = true;
    ShellOpenRecorder recorder(".html", "opened-page.txt");
    ASSERT_TRUE(recorder.installed());
    clickToolbarButton(IDT_ANIMATE);

    const std::string page = programFolder() + "\\preview.html";
    const Bytes bytes = readWholeFile(page);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), kExpectedPage);
    GifAnimation written;
    ASSERT_EQ(written.readFile((programFolder() + "\\preview.gif").c_str()), ReadOk);
    ASSERT_EQ(written.frames.size(), 3u);
    EXPECT_EQ(written.screenWidth, 60);
    EXPECT_EQ(written.frames[0].bitmap->at(39, 29), 1);
    EXPECT_EQ(written.globalTable.entries.at(1), RgbColor::fromPacked(kGreen));
    EXPECT_EQ(recorder.waitForOpenedPath(10000), page);
    EXPECT_TRUE(g_modified);
    EXPECT_EQ(g_documentPath, path);
}

TEST_F(Commands, AnimateThatCannotWriteSaysSoAndOpensNothing) {
    DialogAnswerer answers;
    openThreeFrames(answers);
    // A folder where the picture should go makes the write fail.
    const std::string blocker = programFolder() + "\\preview.gif";
    const std::string keep = programFolder() + "\\preview.gif.kept";
    MoveFileExA(blocker.c_str(), keep.c_str(), MOVEFILE_REPLACE_EXISTING);
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    ShellOpenRecorder recorder(".html", "opened-page-blocked.txt");
    answers.expect("Error", DialogAnswerer::pressButton(IDOK));
    sendMenuCommand(IDM_ANIMATION_ANIMATE);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.lastMessageText(), "Unable to write the preview files beside the program.");
    EXPECT_EQ(recorder.waitForOpenedPath(1500), "");
    RemoveDirectoryA(blocker.c_str());
    MoveFileExA(keep.c_str(), blocker.c_str(), MOVEFILE_REPLACE_EXISTING);
    EXPECT_FALSE(g_modified);
}

TEST_F(Commands, HelpOpensTheHelpFileBesideTheProgram) {
    ShellOpenRecorder recorder(".chm", "opened-help.txt");
    ASSERT_TRUE(recorder.installed());
    const std::string help = programFolder() + "\\Velmora.chm";
    FILE* file = std::fopen(help.c_str(), "wb");  // the shell only opens files that exist
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    clickToolbarButton(IDT_HELP);
    EXPECT_EQ(recorder.waitForOpenedPath(10000), help);
    DeleteFileA(help.c_str());
    EXPECT_FALSE(g_modified);
}

// Leaves the preview that the browser test shows: the three-frame animation, first frame green.
TEST_F(Commands, ZzLeavesAPreviewForTheBrowserCheck) {
    DialogAnswerer answers;
    openThreeFrames(answers, "browser.gif");
    ShellOpenRecorder recorder(".html", "opened-page-last.txt");
    sendMenuCommand(IDM_ANIMATION_ANIMATE);
    EXPECT_FALSE(recorder.waitForOpenedPath(10000).empty());
    EXPECT_TRUE(fileExists(programFolder() + "\\preview.gif"));
}

}  // namespace
