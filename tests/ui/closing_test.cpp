// The closing step: unmodified quits at once; modified asks "Save changes?" and Cancel keeps
// running, No quits, Yes saves (to the document's path, or to a path from the save dialog, or
// keeps running when that dialog is cancelled). File, Exit follows the same rules.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/globals.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

constexpr DWORD kLoopTime = 1500;

std::string joined(const std::vector<std::string>& captions) {
    std::string all;
    for (const std::string& caption : captions) all += "[" + caption + "]";
    return all;
}

std::string outputFile(const std::string& name) {
    std::string path = testOutputPath(name);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void removeFile(const std::string& path) {
    DeleteFileA(path.c_str());
}

// The first six bytes of a file, or "" when it cannot be read.
std::string signatureOf(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::string();
    char bytes[7] = {};
    const size_t got = std::fread(bytes, 1, 6, file);
    std::fclose(file);
    return std::string(bytes, got);
}

// A modified document with something recognisable in it.
void makeModifiedDocument() {
    g_document.screenWidth = 31;
    g_document.screenHeight = 17;
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(3, 2);
    frame.hasLocalTable = true;
    frame.localTable.entries = {RgbColor(10, 20, 30), RgbColor(200, 100, 0)};
    g_document.frames.push_back(std::move(frame));
    g_modified = true;
}

// How the close box reaches the program: WM_CLOSE posted to the main window, handled in the loop.
int closeThroughTheLoop() {
    PostMessageA(g_mainWindow, WM_CLOSE, 0, 0);
    return runMessageLoopFor(kLoopTime);
}

TEST(Closing, UnmodifiedQuitsWithoutAQuestion) {
    AppSession session;
    ASSERT_TRUE(session.started());
    DialogAnswerer answers;
    EXPECT_EQ(closeThroughTheLoop(), 0);
    EXPECT_TRUE(answers.seen().empty());
}

TEST(Closing, ModifiedAndCancelKeepsRunningWithTheDocumentUnchanged) {
    AppSession session;
    ASSERT_TRUE(session.started());
    makeModifiedDocument();
    DialogAnswerer answers;
    answers.expect("Confirm", DialogAnswerer::pressButton(IDCANCEL));
    EXPECT_EQ(closeThroughTheLoop(), kStillRunning);
    EXPECT_TRUE(answers.allAnswered()) << "seen " << joined(answers.seen());
    EXPECT_TRUE(answers.unexpected().empty()) << "unexpected " << joined(answers.unexpected());
    EXPECT_EQ(answers.lastMessageText(), "Save changes?");
    EXPECT_TRUE(IsWindow(g_mainWindow));
    EXPECT_TRUE(IsWindowVisible(g_mainWindow));
    EXPECT_TRUE(g_modified);
    ASSERT_EQ(g_document.frames.size(), 1u);
    EXPECT_EQ(g_document.screenWidth, 31);
    EXPECT_EQ(g_document.screenHeight, 17);
    EXPECT_TRUE(g_documentPath.empty());
}

TEST(Closing, ModifiedAndNoQuitsWithoutSaving) {
    AppSession session;
    ASSERT_TRUE(session.started());
    makeModifiedDocument();
    const std::string path = outputFile("closing-no.gif");
    removeFile(path);
    g_documentPath = path;
    DialogAnswerer answers;
    answers.expect("Confirm", DialogAnswerer::pressButton(IDNO));
    EXPECT_EQ(closeThroughTheLoop(), 0);
    EXPECT_TRUE(answers.allAnswered()) << "seen " << joined(answers.seen());
    EXPECT_TRUE(answers.unexpected().empty()) << "unexpected " << joined(answers.unexpected());
    EXPECT_EQ(signatureOf(path), "");
}

TEST(Closing, ModifiedAndYesWithAPathWritesThereAndQuits) {
    AppSession session;
    ASSERT_TRUE(session.started());
    makeModifiedDocument();
    const std::string path = outputFile("closing-yes-with-path.gif");
    removeFile(path);
    g_documentPath = path;
    DialogAnswerer answers;
    answers.expect("Confirm", DialogAnswerer::pressButton(IDYES));
    EXPECT_EQ(closeThroughTheLoop(), 0);
    EXPECT_TRUE(answers.allAnswered()) << "seen " << joined(answers.seen());
    EXPECT_TRUE(answers.unexpected().empty()) << "unexpected " << joined(answers.unexpected());
    EXPECT_EQ(signatureOf(path), "GIF89a");
    // The saved file holds this document: read it back.
    GifAnimation saved;
    ASSERT_EQ(saved.readFile(path.c_str()), ReadOk);
    EXPECT_EQ(saved.screenWidth, 31);
    EXPECT_EQ(saved.screenHeight, 17);
    ASSERT_EQ(saved.frames.size(), 1u);
    EXPECT_EQ(saved.frames[0].width(), 3u);
    EXPECT_EQ(saved.frames[0].height(), 2u);
}

TEST(Closing, ModifiedYesWithoutAPathSavesWhereTheDialogSays) {
    AppSession session;
    ASSERT_TRUE(session.started());
    makeModifiedDocument();
    const std::string path = outputFile("closing-yes-chosen.gif");
    removeFile(path);
    DialogAnswerer answers;
    answers.expect("Confirm", DialogAnswerer::pressButton(IDYES));
    answers.expect("Save As", DialogAnswerer::chooseFile(path));
    EXPECT_EQ(closeThroughTheLoop(), 0);
    EXPECT_TRUE(answers.allAnswered()) << "seen " << joined(answers.seen());
    EXPECT_TRUE(answers.unexpected().empty()) << "unexpected " << joined(answers.unexpected());
    EXPECT_EQ(signatureOf(path), "GIF89a");
    EXPECT_STRCASEEQ(g_documentPath.c_str(), path.c_str());
    EXPECT_EQ(g_documentPath, g_chosenPath);
}

TEST(Closing, ModifiedYesWithoutAPathAndTheSaveDialogCancelledKeepsRunning) {
    AppSession session;
    ASSERT_TRUE(session.started());
    makeModifiedDocument();
    DialogAnswerer answers;
    answers.expect("Confirm", DialogAnswerer::pressButton(IDYES));
    answers.expect("Save As", DialogAnswerer::cancel());
    EXPECT_EQ(closeThroughTheLoop(), kStillRunning);
    EXPECT_TRUE(answers.allAnswered()) << "seen " << joined(answers.seen());
    EXPECT_TRUE(answers.unexpected().empty()) << "unexpected " << joined(answers.unexpected());
    EXPECT_TRUE(IsWindow(g_mainWindow));
    EXPECT_TRUE(g_modified);
    EXPECT_TRUE(g_documentPath.empty());
    ASSERT_EQ(g_document.frames.size(), 1u);
}

// File, Exit asks the same question through the same rules.
TEST(Closing, ExitCommandFollowsTheSameAnswers) {
    struct Case {
        const char* name;
        bool modified;
        int answer;  // 0: no question expected
        int exitCode;
    };
    const Case cases[] = {
        {"unmodified", false, 0, 0},
        {"cancel", true, IDCANCEL, kStillRunning},
        {"no", true, IDNO, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppSession session;
        ASSERT_TRUE(session.started());
        if (c.modified) makeModifiedDocument();
        DialogAnswerer answers;
        if (c.answer) answers.expect("Confirm", DialogAnswerer::pressButton(c.answer));
        PostMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(IDM_FILE_EXIT, 0), 0);
        EXPECT_EQ(runMessageLoopFor(kLoopTime), c.exitCode);
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_TRUE(answers.unexpected().empty());
        EXPECT_EQ(answers.seen().size(), c.answer ? 1u : 0u);
    }
}

// Enter and Escape reach no handler: the main window stays and nothing is asked.
TEST(Closing, EnterAndEscapeDoNothing) {
    AppSession session;
    ASSERT_TRUE(session.started());
    makeModifiedDocument();
    DialogAnswerer answers;
    PostMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    PostMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_EQ(runMessageLoopFor(600), kStillRunning);
    EXPECT_TRUE(answers.seen().empty());
    EXPECT_TRUE(IsWindowVisible(g_mainWindow));
}

}  // namespace
