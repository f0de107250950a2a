// The menu and toolbar commands, the "Save changes?" question and the closing step, through
// WM_COMMAND and the program's own message loop. The GIF file dialogs and the message boxes are
// driven through their real windows once; after that they are stubbed (each costs Wine seconds).
#include "app/commands.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

using Strings = std::vector<std::string>;
constexpr uint32_t kGreen = 0x20C040;

// Screen 60 x 50, global table black, green, red, blue and NETSCAPE2.0 `repeats` (0: forever);
// three frames told apart by their sizes: 40 x 30 green at (0, 0), 5 x 2 red at (10, 20) and
// 2 x 2 blue at (3, 4).
std::string writeThreeFrames(const std::string& name, uint16_t repeats = 5) {
    GifBytes gif;
    gif.header().screen(60, 50, 0x81).colors({0, kGreen, 0xC82828, 0x2828C8}).netscapeLoop(repeats);
    gif.imageDescriptor(0, 0, 40, 30).imageData(2, referenceLzwEncode(Bytes(40 * 30, 1), 2));
    gif.imageDescriptor(10, 20, 5, 2).imageData(2, referenceLzwEncode(Bytes(5 * 2, 2), 2));
    gif.imageDescriptor(3, 4, 2, 2).imageData(2, referenceLzwEncode(Bytes(2 * 2, 3), 2));
    writeTestFile(name, gif.trailer().bytes());
    return windowsOutputPath(name);
}

// The frames by width: 40, 5 and 2 for the three above.
std::vector<uint32_t> widths() {
    std::vector<uint32_t> all;
    for (const GifFrame& frame : app().editor.document().frames) all.push_back(frame.width());
    return all;
}
const std::vector<uint32_t> kThree = {40, 5, 2};

// The dialogs that came up, without the main window (a dialog too, seen when it gets the focus back).
Strings shown(const DialogAnswerer& answers) {
    Strings captions;
    for (const std::string& caption : answers.seen())
        if (caption != "Velmora") captions.push_back(caption);
    return captions;
}

// Arms the answer to the next message box: through its real window the first time, afterwards
// with the box stubbed (each real one costs Wine two seconds). asked() gives "caption: text" of
// the boxes that came up.
class BoxAnswer {
public:
    BoxAnswer(const char* caption, int answer, bool* realDone) {
        if (answer && *realDone) stub_.emplace(answer);
        if (answer && !*realDone) answers_.expect(caption, DialogAnswerer::pressButton(answer));
        *realDone |= answer != 0;
    }
    Strings asked() const {
        Strings all = stub_ ? stub_->shown() : Strings{};
        for (const std::string& caption : shown(answers_))
            all.push_back(caption + ": " + answers_.lastMessageText());
        return all;
    }

private:
    DialogAnswerer answers_;
    std::optional<MessageBoxStub> stub_;
};

// Notes what a file dialog offers as file types, then chooses the path.
DialogAnswerer::Answer noteTypesAndChoose(Strings* types, const std::string& path) {
    return [types, path](HWND dialog) {
        char text[128];
        for (int i = 0; SendDlgItemMessageA(dialog, 0x470, CB_GETLBTEXT, WPARAM(i), LPARAM(text)) > 0; ++i)
            types->push_back(text);
        DialogAnswerer::chooseFile(path)(dialog);
    };
}

// WM_COMMAND with a toolbar button id and the toolbar as sender.
void clickToolbarButton(UINT id) {
    SendMessageA(app().window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(app().toolbar));
}

// A real edit no test looks at (the background index), so the document counts as changed.
void makeChanged() {
    DocumentFields fields = DocumentFields::of(app().editor.document());
    fields.backgroundIndex ^= 1;
    app().editor.setDocumentFields(fields, "Background Color");
}

void openStubbed(const std::string& path, UINT command = IDM_FILE_OPEN) {
    FileDialogStub stub({path});
    ASSERT_TRUE(stub.installed());
    sendMenuCommand(command);
    EXPECT_EQ(stub.calls(), 1);
}

// What Open must show of the three-frame file, whatever was there before.
void expectThreeFramesOpen(const std::string& path, const char* loopText, bool forever) {
    EXPECT_EQ(widths(), kThree);
    EXPECT_EQ(frameListCount(), 3);
    EXPECT_EQ(frameListSelection(), LB_ERR);
    EXPECT_FALSE(checked(app().globalPanel, IDC_GLOBAL_AUTO_SIZE));
    EXPECT_TRUE(enabled(app().globalPanel, IDC_GLOBAL_WIDTH));
    EXPECT_EQ(textOf(app().globalPanel, IDC_GLOBAL_WIDTH) + "x" + textOf(app().globalPanel, IDC_GLOBAL_HEIGHT),
              "60x50");
    // The file counts repeats; the panel shows plays, one more.
    EXPECT_EQ(textOf(app().globalPanel, IDC_GLOBAL_LOOP), loopText);
    EXPECT_EQ(checked(app().globalPanel, IDC_GLOBAL_INFINITE), forever);
    EXPECT_EQ(enabled(app().globalPanel, IDC_GLOBAL_LOOP), !forever);
    EXPECT_STRCASEEQ(app().editor.path().c_str(), path.c_str());
    EXPECT_FALSE(app().editor.changed());
}

void expectSavedThreeFrames(const std::string& path) {
    GifAnimation back;
    ASSERT_EQ(back.readFile(path.c_str()), ReadOk) << path;
    ASSERT_EQ(back.frames.size(), 3u);
    EXPECT_EQ(back.frames[1].left * 100 + back.frames[1].top, 1020);
    EXPECT_EQ(back.frames[1].bitmap->at(4, 1), 2);
    EXPECT_EQ(back.loopCount, 6);
}

// Points the shell's "open" verb for an extension at cmd's echo, which writes the path it is
// handed into a file; the previous association comes back when the object goes.
class ShellOpenRecorder {
public:
    ShellOpenRecorder(const std::string& extension, const std::string& recordName)
        : extension_(extension), record_(windowsOutputPath(recordName)) {
        DeleteFileA(record_.c_str());
        char previous[256] = {};
        LONG size = sizeof(previous);
        hadPrevious_ = RegQueryValueA(HKEY_CLASSES_ROOT, extension.c_str(), previous, &size) == ERROR_SUCCESS;
        previous_ = previous;
        set(std::string(kClass) + "\\shell\\open\\command",
            "C:\\windows\\system32\\cmd.exe /c echo %1>\"" + record_ + "\"");
        set(extension, kClass);
    }
    ~ShellOpenRecorder() {
        if (hadPrevious_) set(extension_, previous_);
        if (!hadPrevious_) RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_.c_str());
        for (const char* key : {"\\shell\\open\\command", "\\shell\\open", "\\shell", ""})
            RegDeleteKeyA(HKEY_CLASSES_ROOT, (kClass + std::string(key)).c_str());
    }
    // The path handed over, without the quotes echo keeps round %1; waits up to 10 s for it.
    std::string openedPath() const {
        std::string text;
        pumpUntil(
            [&] {
                const Bytes record = readWholeFile(record_);
                text.assign(record.begin(), record.end());
                return text.find('\n') != std::string::npos;
            },
            10000);
        const size_t first = text.find_first_not_of(" \r\n\""), last = text.find_last_not_of(" \r\n\"");
        return first == std::string::npos ? "" : text.substr(first, last - first + 1);
    }

private:
    static constexpr char kClass[] = "VelmoraTest.OpenRecorder";
    static void set(const std::string& key, const std::string& value) {
        RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), DWORD(value.size()));
    }
    std::string extension_, record_, previous_;
    bool hadPrevious_ = false;
};

class Commands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_.started()); }
    AppSession session_;
};

TEST_F(Commands, OpenAndSaveAsThroughTheRealDialogs) {
    const std::string path = writeThreeFrames("three.gif");
    // A state Open must overwrite: Auto on (edits locked), a stale selected item, unsaved changes.
    SendDlgItemMessageA(app().globalPanel, IDC_GLOBAL_AUTO_SIZE, BM_CLICK, 0, 0);
    SendMessageA(app().frameList, LB_ADDSTRING, 0, LPARAM(""));
    SendMessageA(app().frameList, LB_SETCURSEL, 0, 0);
    makeChanged();
    DialogAnswerer answers;
    Strings openTypes, saveTypes;
    answers.expect("Open", noteTypesAndChoose(&openTypes, path));
    clickToolbarButton(IDT_OPEN);
    EXPECT_EQ(shown(answers), Strings{"Open"}) << "Open replaces without asking";
    EXPECT_EQ(openTypes, Strings{"GIF Files (*.gif)"});
    expectThreeFramesOpen(path, "6", false);

    // Save As runs on an unmodified document too; a name typed without extension gets ".gif",
    // and the existing file of that name is replaced without a question.
    writeTestFile("saved-as.gif", Bytes{'x'});
    answers.expect("Save As", noteTypesAndChoose(&saveTypes, windowsOutputPath("saved-as")));
    sendMenuCommand(IDM_FILE_SAVE_AS);
    pumpMessages(200);
    EXPECT_EQ(shown(answers), (Strings{"Open", "Save As"}));
    EXPECT_EQ(saveTypes, Strings{"GIF Files (*.gif)"});
    EXPECT_STRCASEEQ(app().editor.path().c_str(), windowsOutputPath("saved-as.gif").c_str());
    EXPECT_FALSE(app().editor.changed());
    expectSavedThreeFrames(windowsOutputPath("saved-as.gif"));
}

TEST_F(Commands, OpenShowsLoopingAndRefusesWhatItCannotRead) {
    const std::string path = writeThreeFrames("forever.gif", 0);
    openStubbed(path);
    expectThreeFramesOpen(path, "1", true);

    makeChanged();
    DialogAnswerer answers;
    answers.expect("Error", DialogAnswerer::pressButton(IDOK));
    openStubbed(writeTestFile("readme.gif", Bytes{'t', 'e', 'x', 't', '\n'}));
    openStubbed("");  // cancelled
    EXPECT_EQ(shown(answers), Strings{"Error"});
    EXPECT_EQ(answers.lastMessageText(), "Unable to open image.");
    EXPECT_EQ(widths(), kThree);
    EXPECT_EQ(frameListCount(), 3);
    EXPECT_EQ(app().editor.path(), path);
    EXPECT_TRUE(app().editor.changed());
}

TEST_F(Commands, NewAndSave) {
    DialogAnswerer answers;
    const std::string path = writeThreeFrames("unmodified.gif");
    openStubbed(path);
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    FileDialogStub stub;
    clickToolbarButton(IDT_SAVE);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES)
        << "an unmodified document is not written";
    EXPECT_EQ(stub.calls(), 0);  // Save with a path: TypedValuesAreSavedAndTheKeysReachTheCommands

    pumpMessages(50);
    ValidateRect(app().animationView, nullptr);  // so only New's invalidation counts
    clickToolbarButton(IDT_NEW);             // unmodified: no question; screen size and looping stay
    EXPECT_TRUE(app().editor.document().frames.empty());
    EXPECT_EQ(frameListCount(), 0);
    EXPECT_EQ(app().editor.document().screenWidth * 100 + app().editor.document().loopCount, 6006);
    EXPECT_TRUE(app().editor.path().empty());
    EXPECT_TRUE(GetUpdateRect(app().animationView, nullptr, FALSE));
    EXPECT_TRUE(shown(answers).empty());
}

// Delete asks nothing (Undo brings the frame back); every change undoes to the file as opened.
TEST_F(Commands, DeleteAndMoveFollowTheSelectionAndUndo) {
    const std::string path = writeThreeFrames("three.gif");
    struct Case {  // selected -1: nothing
        const char* name;
        UINT command;
        int selected;
        std::vector<uint32_t> after;
        int selectionAfter;
    };
    const Case cases[] = {
        {"delete, nothing selected", IDT_DELETE, -1, kThree, LB_ERR},
        {"delete the last: the new last", IDM_IMAGE_DELETE, 2, {40, 5}, 1},
        {"up on the first", IDM_IMAGE_MOVE_UP, 0, kThree, 0},
        {"down on the last", IDM_IMAGE_MOVE_DOWN, 2, kThree, 2},
        {"toolbar up", IDT_MOVE_UP, 1, {5, 40, 2}, 0},
        {"toolbar down", IDT_MOVE_DOWN, 1, {40, 2, 5}, 2},
    };
    const MessageBoxStub boxes(IDOK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openStubbed(path);
        if (c.selected >= 0) selectFrame(c.selected);
        if (c.command < IDM_FILE_OPEN)
            clickToolbarButton(c.command);
        else
            sendMenuCommand(c.command);
        EXPECT_EQ(widths(), c.after);
        EXPECT_EQ(frameListCount(), int(c.after.size()));
        EXPECT_EQ(frameListSelection(), c.selectionAfter);
        EXPECT_EQ(app().editor.changed(), c.after != kThree);
        clickToolbarButton(IDT_UNDO);
        EXPECT_EQ(widths(), kThree);
        EXPECT_FALSE(app().editor.changed());
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Commands, AddTakesTheGifRoadForAnyPathWithDotGif) {
    // The file's 60 x 50 screen and its looping are dropped; the frames' box is 40 x 30.
    openStubbed(writeThreeFrames("add.gif"), IDM_IMAGE_ADD);
    EXPECT_EQ(widths(), kThree);
    EXPECT_EQ(frameListSelection(), LB_ERR) << "the GIF road keeps the selection";
    EXPECT_EQ(textOf(app().globalPanel, IDC_GLOBAL_WIDTH) + "x" + textOf(app().globalPanel, IDC_GLOBAL_HEIGHT),
              "40x30");
    EXPECT_EQ(app().editor.document().loopCount, 1);
    EXPECT_TRUE(app().editor.changed());

    // One 30 x 3 frame at (1990, 7): the screen grows to its edges but no wider than 2000.
    {
        const MessageBoxStub dropChanges(IDNO);
        sendMenuCommand(IDM_FILE_NEW);
        EXPECT_EQ(dropChanges.shown(), Strings{"Confirm: Save changes?"});
    }
    GifBytes wide;
    wide.header().screen(1, 1, 0x80).colors({0, 0xFFFFFF}).imageDescriptor(1990, 7, 30, 3);
    openStubbed(
        writeTestFile("far.gif", wide.imageData(2, referenceLzwEncode(Bytes(90, 1), 2)).trailer().bytes()),
        IDM_IMAGE_ADD);
    EXPECT_EQ(app().editor.document().screenWidth * 100 + app().editor.document().screenHeight, 200010);

    // A PNG in a folder named "x.gif" goes to the GIF reader, which refuses it; elsewhere it is imported.
    const MessageBoxStub boxes(IDOK);  // the Open test answers the real box
    openStubbed(importImagePath("x.gif\\picture.png"), IDM_IMAGE_ADD);
    EXPECT_EQ(boxes.shown(), Strings{"Error: Unable to open image."});
    openStubbed(importImagePath("alpha.png"), IDM_IMAGE_ADD);
    EXPECT_EQ(app().editor.document().frames.size(), 2u);
}

// Animate writes the picture and the page beside the program and has the shell open the page;
// the last one written stays for the browser check (browserpreview_test.sh).
TEST_F(Commands, AnimateAndHelpGoThroughTheShell) {
    const std::string path = writeThreeFrames("browser.gif");
    openStubbed(path);
    const std::string folder = programFolder();
    makeChanged();
    {
        ShellOpenRecorder recorder(".html", "opened-page.txt");
        clickToolbarButton(IDT_ANIMATE);
        // Text mode turns each line feed into CR LF; the image tag shares its line with </body>.
        const Bytes page = readWholeFile(folder + "\\preview.html");
        EXPECT_EQ(std::string(page.begin(), page.end()),
                  "<html>\r\n<head>\r\n<title>Preview</title>\r\n</head>\r\n<body>\r\n<img "
                  "src='preview.gif'></body>\r\n</html>\r\n");
        EXPECT_EQ(recorder.openedPath(), folder + "\\preview.html");
        EXPECT_TRUE(app().editor.changed()) << "a preview is no save";
    }
    ShellOpenRecorder recorder(".chm", "opened-help.txt");
    const std::string help = folder + "\\Velmora.chm";
    // The shell only opens files that exist.
    CloseHandle(CreateFileA(help.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    clickToolbarButton(IDT_HELP);
    EXPECT_EQ(recorder.openedPath(), help);
    DeleteFileA(help.c_str());
}

// A modified document meets "Save changes?" on the close box, Exit and New; Open replaces it
// without asking, and Enter and Escape reach no handler. One running program serves the cases
// until the close box ends it (Exit only quits the loop), so few start-ups are paid.
TEST(SaveChanges, AskedBeforeClosingExitAndNew) {
    enum How { CloseBox, Exit, New, Open, Enter, Escape };
    struct Case {  // answer 0: no question; saveAs: the save dialog's answer, "" cancels, nullptr: no dialog
        const char* name;
        How how;
        bool modified, hasPath;
        int answer;
        const char* saveAs;
        bool goesOn;  // quits, or the new document replaces this one
    };
    const Case cases[] = {
        {"enter", Enter, true, false, 0, nullptr, false},
        {"escape", Escape, true, false, 0, nullptr, false},
        {"close, Cancel", CloseBox, true, false, IDCANCEL, nullptr, false},
        {"close, Yes, save cancelled", CloseBox, true, false, IDYES, "", false},
        {"exit, Cancel", Exit, true, false, IDCANCEL, nullptr, false},
        {"exit, No", Exit, true, true, IDNO, nullptr, true},
        {"exit, Yes with a path", Exit, true, true, IDYES, nullptr, true},
        {"new, Cancel", New, true, true, IDCANCEL, nullptr, false},
        {"new, No", New, true, true, IDNO, nullptr, true},
        {"open asks nothing", Open, true, false, 0, nullptr, true},
        {"close, Yes, saved as", CloseBox, true, false, IDYES, "closing-chosen.gif", true},
        {"close, unmodified", CloseBox, false, false, 0, nullptr, true},
    };
    const std::string ownPath = windowsOutputPath("closing-own.gif");
    std::optional<AppSession> session;
    bool realBoxDone = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!app().window || !IsWindow(app().window)) {
            session.reset();
            session.emplace();
            ASSERT_TRUE(session->started());
        }
        // Something recognisable: screen 31 x 17, one 3 x 2 frame.
        setDocument({makeFrame(3, 2, {0x0A141E, 0xC86400}, [](uint32_t, uint32_t) { return uint8_t(0); })},
                    31, 17, c.hasPath ? ownPath : "");
        if (c.modified) makeChanged();
        const std::string written = c.hasPath               ? ownPath
                                    : c.saveAs && *c.saveAs ? windowsOutputPath(c.saveAs)
                                                            : "";
        if (!written.empty()) DeleteFileA(written.c_str());

        const BoxAnswer box("Confirm", c.answer, &realBoxDone);
        FileDialogStub stub;
        if (c.saveAs) stub.add(written);
        const UINT commands[] = {0, IDM_FILE_EXIT, IDM_FILE_NEW, IDM_FILE_OPEN, IDOK, IDCANCEL};
        if (c.how == New || c.how == Open) {
            if (c.how == Open) stub.add(writeThreeFrames("closing-open.gif"));
            sendMenuCommand(commands[c.how]);
            EXPECT_EQ(app().editor.document().frames.size() != 1, c.goesOn);
        } else {
            PostMessageA(app().window, c.how == CloseBox ? WM_CLOSE : WM_COMMAND,
                         MAKEWPARAM(commands[c.how], 0), 0);
            EXPECT_EQ(runMessageLoopFor(c.goesOn ? 1500 : 600), c.goesOn ? 0 : kStillRunning);
        }
        EXPECT_EQ(box.asked(), c.answer ? Strings{"Confirm: Save changes?"} : Strings{});
        EXPECT_EQ(stub.calls(), c.saveAs ? 1 : c.how == Open ? 1 : 0);
        if (!c.goesOn) {
            EXPECT_TRUE(IsWindowVisible(app().window));
            EXPECT_TRUE(app().editor.changed());
            EXPECT_EQ(app().editor.document().screenWidth * 100 + app().editor.document().screenHeight, 3117);
        }
        // Yes writes this document, where it came from or where the save dialog says.
        GifAnimation back;
        const bool saved = !written.empty() && back.readFile(written.c_str()) == ReadOk;
        EXPECT_EQ(saved, c.answer == IDYES && (!c.saveAs || *c.saveAs));
        if (saved) {
            EXPECT_EQ(back.screenWidth * 100 + back.screenHeight, 3117);
            EXPECT_STRCASEEQ(app().editor.path().c_str(), written.c_str());
        }
    }
}

}  // namespace

namespace {

void pressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(INPUT{INPUT_KEYBOARD, {.ki = {key, 0, 0, 0, 0}}});
    for (auto key = keys.end(); key != keys.begin();)
        inputs.push_back(INPUT{INPUT_KEYBOARD, {.ki = {*--key, 0, KEYEVENTF_KEYUP, 0, 0}}});
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    runMessageLoopFor(300);
}

std::string windowTitle() {
    char title[128] = {};
    GetWindowTextA(app().window, title, sizeof(title));
    return title;
}

}  // namespace

// The wiring of the edit path: a delay typed and never left is saved by a toolbar click; the title
// tells the file and whether it changed; the keys reach the commands, and Delete in a field stays there.
TEST_F(Commands, TypedValuesAreSavedAndTheKeysReachTheCommands) {
    const std::string path = writeThreeFrames("typed.gif");
    openStubbed(path);
    EXPECT_EQ(windowTitle(), "typed.gif - Velmora");
    selectFrame(1);
    showPropertyTab(1);
    typeText(app().imagePanel, IDC_IMAGE_DELAY, "50");
    clickToolbarButton(IDT_SAVE);
    GifAnimation back;
    ASSERT_EQ(back.readFile(path.c_str()), ReadOk);
    EXPECT_EQ(back.frames.at(1).delay, 50);
    EXPECT_EQ(windowTitle(), "typed.gif - Velmora");

    SetForegroundWindow(app().window);
    SetFocus(app().frameList);
    pressKeys({VK_DELETE});
    EXPECT_EQ(widths(), (std::vector<uint32_t>{40, 2}));
    EXPECT_EQ(windowTitle(), "*typed.gif - Velmora");
    char undo[64] = {};
    GetMenuStringA(GetMenu(app().window), IDM_EDIT_UNDO, undo, sizeof(undo), MF_BYCOMMAND);
    EXPECT_STREQ(undo, "&Undo Delete Frame\tCtrl+Z");
    pressKeys({VK_CONTROL, 'Z'});
    EXPECT_EQ(widths(), kThree);
    EXPECT_EQ(windowTitle(), "typed.gif - Velmora");
    pressKeys({VK_CONTROL, VK_SHIFT, 'Z'});
    EXPECT_EQ(widths(), (std::vector<uint32_t>{40, 2}));
    pressKeys({VK_CONTROL, 'Z'});
    pressKeys({VK_MENU, VK_DOWN});
    EXPECT_EQ(widths(), (std::vector<uint32_t>{40, 2, 5}));

    // In an edit field Delete edits the text and the frames stay; Enter takes what was typed.
    selectFrame(0);
    const HWND delay = GetDlgItem(app().imagePanel, IDC_IMAGE_DELAY);
    SetFocus(delay);
    SendMessageA(delay, EM_SETSEL, 0, -1);
    pressKeys({VK_DELETE});
    pressKeys({'7'});
    EXPECT_EQ(app().editor.document().frames.size(), 3u);
    EXPECT_EQ(app().editor.document().frames[0].delay, 0);
    pressKeys({VK_RETURN});
    EXPECT_EQ(app().editor.document().frames[0].delay, 7);

    // Tab leaves the frame list for the controls beside it.
    SetFocus(app().frameList);
    pressKeys({VK_TAB});
    EXPECT_NE(GetFocus(), app().frameList);
    EXPECT_TRUE(IsChild(app().window, GetFocus()));
}

// Optimize is one step: the frames change, the status bar tells the sizes, Undo brings them back.
TEST_F(Commands, OptimizeIsOneStepThatTellsTheSizes) {
    // Two equal 40 x 30 frames: the second shows nothing new.
    auto stripes = [](uint32_t x, uint32_t y) { return uint8_t((x / 3 + y) % 4); };
    setDocument({makeFrame(40, 30, {0, 0xFF0000, 0xFF00, 0xFF}, stripes),
                 makeFrame(40, 30, {0, 0xFF0000, 0xFF00, 0xFF}, stripes)},
                40, 30);
    clickToolbarButton(IDT_OPTIMIZE);
    wchar_t status[128] = {};
    SendMessageW(app().statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_EQ(std::wstring(status).rfind(L"Optimized: ", 0), 0u) << "status bar: " << status;
    EXPECT_LT(widths().at(1), 40u);
    EXPECT_TRUE(app().editor.changed());
    sendMenuCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(widths(), (std::vector<uint32_t>{40, 40}));
    EXPECT_FALSE(app().editor.changed());
}
