// The main window, its panels, commands and keys, and the palette windows, through the real messages
// and the program's own message loop. Real file dialogs are driven in roads_test and the palette
// editor's; elsewhere they and the message boxes are stubbed.
#include "app/commands.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <tuple>

#include "app/fileopening.h"
#include "app/layout.h"
#include "app/settings.h"
#include "edit/changes.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

using Strings = std::vector<std::string>;
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x20C040;

// Screen 60 x 50, 5 repeats; three frames told apart by their widths: 40, 5 and 2.
std::string writeThreeFrames(const std::string& name) {
    GifBytes gif;
    gif.header().screen(60, 50, 0x81).colors({0, kGreen, 0xC82828, 0x2828C8}).netscapeLoop(5);
    gif.imageDescriptor(0, 0, 40, 30).imageData(2, referenceLzwEncode(Bytes(40 * 30, 1), 2));
    gif.imageDescriptor(10, 20, 5, 2).imageData(2, referenceLzwEncode(Bytes(5 * 2, 2), 2));
    gif.imageDescriptor(3, 4, 2, 2).imageData(2, referenceLzwEncode(Bytes(2 * 2, 3), 2));
    writeTestFile(name, gif.trailer().bytes());
    return windowsOutputPath(name);
}

std::vector<uint32_t> widths() {
    std::vector<uint32_t> all;
    for (const GifFrame& frame : app().editor.document().frames) all.push_back(frame.width());
    return all;
}

// A real edit no test looks at (the background index), so the document counts as changed.
void makeChanged() {
    DocumentFields fields = DocumentFields::of(app().editor.document());
    fields.backgroundIndex ^= 1;
    app().editor.setDocumentFields(fields, "Background Color");
}

// The command with `path` chosen in its file dialog; returns the message boxes it showed.
Strings openStubbed(const std::string& path, UINT command = IDM_FILE_OPEN) {
    DialogStubs stubs({path});
    sendMenuCommand(command);
    EXPECT_EQ(stubs.calls(), 1);
    return stubs.boxes();
}

std::string windowTitle() {
    char title[128] = {};
    GetWindowTextA(app().window, title, sizeof(title));
    return title;
}

// Keys pressed in order and released backwards through SendInput, as the keyboard sends them.
void pressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(INPUT{INPUT_KEYBOARD, {.ki = {key, 0, 0, 0, 0}}});
    for (auto key = keys.end(); key != keys.begin();)
        inputs.push_back(INPUT{INPUT_KEYBOARD, {.ki = {*--key, 0, KEYEVENTF_KEYUP, 0, 0}}});
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    runMessageLoopFor(300);
}

// Where `child` lies in `parent`'s client coordinates (the main window's by default).
RECT placed(HWND child, HWND parent = app().window) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_.started); }
    AppSession session_;
};

TEST_F(Commands, WindowKeepsItsMinimumLaysOutItsChildrenAndShowsOnePanelPerTab) {
    EXPECT_EQ(windowTitle(), "Untitled - Velmora");  // the string resource, not the template's caption
    auto resize = [](int width, int height) {
        SetWindowPos(app().window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        pumpMessages(30);
        RECT rect;
        GetWindowRect(app().window, &rect);
        return (rect.right - rect.left) * 10000 + rect.bottom - rect.top;
    };
    EXPECT_EQ(resize(50, 50), 2000200);
    EXPECT_EQ(resize(199, 600), 2000600);
    EXPECT_EQ(resize(600, 10), 6000200);
    resize(1000, 400);
    const RECT bar = placed(app().toolbar), tabs = placed(app().propertyTabs), list = placed(app().frameList),
               status = placed(app().statusBar), compose = placed(app().composeTabs),
               view = placed(app().animationView);
    // Tabs under the toolbar; below them the list, 150 wide, and the compose page with the canvas.
    EXPECT_EQ(tabs.top, bar.bottom - bar.top);
    EXPECT_EQ(list.right - list.left, 150);
    EXPECT_EQ(compose.left * 10000 + compose.bottom, 153 * 10000 + status.top);
    EXPECT_TRUE(view.left >= compose.left && view.top > compose.top && view.right <= compose.right &&
                view.bottom <= compose.bottom && view.right > compose.right - 8);
    const HWND panels[] = {app().globalPanel, app().imagePanel, app().commentPanel};
    for (int tab : {1, 2, 0}) {
        showPropertyTab(tab);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(IsWindowVisible(panels[i]) != FALSE, i == tab) << "tab " << tab << ", panel " << i;
    }
    // For a person: toolbar pictures, the pinned red and selected green frame outlined, list items.
    std::vector<GifFrame> frames;
    for (uint32_t color : {kRed, kGreen, 0x0000FFu})
        frames.push_back(makeFrame(40, 20, {color}, nullptr, uint16_t(frames.size() * 50 + 10), 10));
    frames[0].pinned = true;
    setDocument(frames, 160, 80);
    selectFrame(1);
    EXPECT_NE(saveWindowScreenshot(app().window, "main-window.png"), "");
}

// At the first size, on this display's DPI (the 144 DPI run sets VELMORA_EXPECT_DPI), every
// toolbar button and every panel control is whole and its text fits; the list items and their pin
// boxes follow the DPI.
TEST_F(Commands, FirstSizeShowsEveryControlWholeAtThisDpi) {
    if (const char* expected = getenv("VELMORA_EXPECT_DPI")) {
        ASSERT_EQ(app().dpi, atoi(expected));
    }
    sizeMainWindowToFit(app());
    pumpMessages(30);
    const int dpi = app().dpi;
    RECT client;
    GetClientRect(app().window, &client);
    auto inside = [](const RECT& inner, const RECT& outer) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    const RECT bar = placed(app().toolbar);
    for (int i = 0; i < int(SendMessageA(app().toolbar, TB_BUTTONCOUNT, 0, 0)); ++i) {
        RECT button;
        SendMessageA(app().toolbar, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&button));
        EXPECT_LE(button.right, client.right) << "toolbar button " << i;
        EXPECT_LE(button.bottom, bar.bottom - bar.top) << "toolbar button " << i;
    }
    const HWND panels[] = {app().globalPanel, app().imagePanel, app().commentPanel};
    for (int tab = 0; tab < 3; ++tab) {
        showPropertyTab(tab);
        RECT area = placed(app().propertyTabs);
        SendMessageA(app().propertyTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        EXPECT_TRUE(inside(placed(panels[tab]), area)) << "panel " << tab;
        RECT panelClient;
        GetClientRect(panels[tab], &panelClient);
        for (HWND child = GetWindow(panels[tab], GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            const RECT rect = placed(child, panels[tab]);
            const int id = GetDlgCtrlID(child);
            EXPECT_TRUE(inside(rect, panelClient)) << "panel " << tab << ", control " << id;
            char text[128] = {}, className[32] = {};
            const int length = GetWindowTextA(child, text, sizeof(text));
            GetClassNameA(child, className, sizeof(className));
            const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
            const bool label = _stricmp(className, "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
            const bool checkBox =
                _stricmp(className, "Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
            if (length == 0 || (!label && !checkBox)) continue;
            HDC dc = GetDC(child);
            const HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(child, WM_GETFONT, 0, 0)));
            SIZE size = {};
            GetTextExtentPoint32A(dc, text, length, &size);
            SelectObject(dc, old);
            ReleaseDC(child, dc);
            const int box = checkBox ? GetSystemMetrics(SM_CXMENUCHECK) : 0;
            EXPECT_LE(size.cx + box, rect.right - rect.left) << "\"" << text << "\" on panel " << tab;
        }
    }
    showPropertyTab(0);
    setDocument({makeFrame(40, 20, {kRed}, nullptr, 0, 10), makeFrame(40, 20, {kGreen}, nullptr, 0, 10)}, 60,
                40);
    EXPECT_EQ(SendMessageA(app().frameList, LB_GETITEMHEIGHT, 0, 0), MulDiv(54, dpi, 96));
    clickPinBox(1);
    EXPECT_TRUE(app().editor.document().frames[1].pinned);
    EXPECT_NE(saveWindowScreenshot(app().window, "first-size-" + std::to_string(dpi) + "dpi.png"), "");
    // Moved to a monitor of twice the DPI: the window takes the suggested place, the list follows.
    RECT suggested = {10, 10, 1210, 910};
    SendMessageA(app().window, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(app().window, &now);
    EXPECT_EQ(now.right - now.left, 1200);
    EXPECT_EQ(SendMessageA(app().frameList, LB_GETITEMHEIGHT, 0, 0), MulDiv(54, 2 * dpi, 96));
    EXPECT_EQ(placed(app().frameList).right, MulDiv(150, 2 * dpi, 96));
}

// Sizes and offsets take what is typed at once, the loop count and the delay when the field is
// left; what is out of range is corrected in the field and stored so, as an undoable step.
TEST_F(Commands, PanelsCorrectAndStoreWhatIsTypedAndLockWhatIsAutomatic) {
    GifFrame frame = makeFrame(
        20, 10, {0, kRed, kGreen, 0xFF}, [](uint32_t x, uint32_t) { return x % 4; }, 5, 6);
    frame.transparent = true;
    setDocument({frame}, 100, 50);
    selectFrame(0);
    // clang-format off
    enum Field { Width, Height, Loop, Left, Top, Delay, Index };  // the Global panel's, then the Image's
    const int ids[] = {IDC_GLOBAL_WIDTH, IDC_GLOBAL_HEIGHT, IDC_GLOBAL_LOOP, IDC_IMAGE_LEFT, IDC_IMAGE_TOP,
                       IDC_IMAGE_DELAY, IDC_IMAGE_TRANSPARENT_INDEX};
    const struct { Field field; const char* typed; bool onLeave; const char* shown; int stored; } rules[] = {
        {Width, "2500", false, "2000", 2000}, {Height, "0", false, "1", 1},
        {Loop, "", true, "0", 0},   // no repeats
        {Loop, "0", true, "1", 1},  // a typed 0 means one play
        {Loop, "40000", true, "32767", 32767}, {Left, "99999999999", false, "32767", 32767},
        {Delay, "40000", true, "32767", 32767}, {Index, "4", false, "3", 3},  // one past the 4-entry table
    };
    const auto stored = [](Field field) {
        const GifAnimation& doc = app().editor.document();
        const GifFrame& f = doc.frames[0];
        return std::array<int, 7>{doc.screenWidth, doc.screenHeight, doc.loopCount, f.left, f.top, f.delay,
                                  f.transparentIndex}[field];
    };
    // clang-format on
    for (const auto& rule : rules) {
        SCOPED_TRACE(testing::Message() << "field " << rule.field << " typed '" << rule.typed << "'");
        const int id = ids[rule.field];
        const HWND panel = rule.field < Left ? app().globalPanel : app().imagePanel;
        showPropertyTab(rule.field < Left ? 0 : 1);
        const int before = stored(rule.field);
        typeText(panel, id, rule.typed);
        if (rule.onLeave) {
            EXPECT_EQ(stored(rule.field), before) << "typing alone stored the value";
            leaveField(panel, id);
        }
        EXPECT_EQ(textOf(panel, id), rule.shown);
        EXPECT_EQ(stored(rule.field), rule.stored);
        EXPECT_TRUE(rule.stored == before || app().editor.history().canUndo()) << "no undoable step";
    }
    // Infinite locks the loop count; Auto locks the size and shows the fit (edit_test checks that).
    showPropertyTab(0);
    press(app().globalPanel, IDC_GLOBAL_INFINITE);
    EXPECT_TRUE(app().editor.document().loopForever);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(app().globalPanel, IDC_GLOBAL_LOOP)));
    EXPECT_EQ(textOf(app().globalPanel, IDC_GLOBAL_LOOP), "32767");
    press(app().globalPanel, IDC_GLOBAL_AUTO_SIZE);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(app().globalPanel, IDC_GLOBAL_WIDTH)));
    EXPECT_EQ(
        textOf(app().globalPanel, IDC_GLOBAL_WIDTH) + "x" + textOf(app().globalPanel, IDC_GLOBAL_HEIGHT),
        "2000x16");
}

// A delay typed and never left is saved by a toolbar click; the title tells the file and whether it
// changed; the keys reach the commands, and Delete in a field stays there.
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
    EXPECT_EQ(widths(), (std::vector<uint32_t>{40, 5, 2}));
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
    // Optimize reaches the optimiser, and the status bar tells the sizes.
    clickToolbarButton(IDT_OPTIMIZE);
    wchar_t status[128] = {};
    SendMessageW(app().statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_EQ(std::wstring(status).rfind(L"Optimized: ", 0), 0u) << "status bar: " << status;
}

// Animate writes the page beside the program, kept for browserpreview_test.sh, and has the shell
// open it: "open" for .html runs cmd's echo into a file instead of a real browser, for good.
TEST_F(Commands, AnimateWritesThePreviewAndHandsThePageToTheShell) {
    const std::string record = windowsOutputPath("opened-page.txt"), kClass = "VelmoraTest.OpenRecorder";
    const std::string command = "C:\\windows\\system32\\cmd.exe /c echo %1>\"" + record + "\"";
    DeleteFileA(record.c_str());
    RegSetValueA(HKEY_CLASSES_ROOT, (kClass + "\\shell\\open\\command").c_str(), REG_SZ, command.c_str(),
                 DWORD(command.size()));
    RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, kClass.c_str(), DWORD(kClass.size()));
    openStubbed(writeThreeFrames("browser.gif"));
    makeChanged();
    clickToolbarButton(IDT_ANIMATE);
    pumpUntil([&] { return readWholeFile(record).size() > 20; }, 10000);  // the path echo writes
    const Bytes text = readWholeFile(record);
    const std::string opened(text.begin(), text.end());
    EXPECT_NE(opened.find(programFolder() + "\\preview.html"), std::string::npos) << opened;
    EXPECT_TRUE(app().editor.changed()) << "a preview is no save";
}

// A modified document meets "Save changes?" on the close box, Exit and New; Open replaces it
// without asking; Enter and Escape reach no handler. A program runs until a case ends it.
TEST(SaveChanges, AskedBeforeClosingExitAndNew) {
    enum How { CloseBox, Exit, New, Open, Enter, Escape };
    // answer 0: no question; saveAs: the save dialog's answer, "" cancels, nullptr: no dialog; goesOn:
    // the program quits, or the new document replaces this one.
    // clang-format off
    struct Case { const char* name; How how; bool modified, hasPath; int answer; const char* saveAs; bool goesOn; };
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
    // clang-format on
    const std::string ownPath = windowsOutputPath("closing-own.gif");
    std::optional<AppSession> session;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!app().window || !IsWindow(app().window)) {
            session.reset();
            session.emplace();
            ASSERT_TRUE(session->started);
        }
        setDocument(  // something recognisable: screen 31 x 17, one 3 x 2 frame
            {makeFrame(3, 2, {0x0A141E, 0xC86400})}, 31, 17, c.hasPath ? ownPath : "");
        if (c.modified) makeChanged();
        const std::string written = c.hasPath               ? ownPath
                                    : c.saveAs && *c.saveAs ? windowsOutputPath(c.saveAs)
                                                            : "";
        if (!written.empty()) DeleteFileA(written.c_str());

        DialogStubs stub({}, c.answer);
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
        EXPECT_EQ(stub.boxes(), c.answer ? Strings{"Confirm: Save changes?"} : Strings{});
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

// Add for every format GDI+ decodes: frames with a local table at (0, 0), the last selected, the
// screen grown to hold them. A GIF, or a path through a folder "x.gif", takes the GIF road.
TEST_F(Commands, AddTurnsEveryFormatIntoFrames) {
    // Red 120 x 60 as an EMF, its frame left to GDI; 200 x 100 units at 192 per inch as a WMF.
    HDC emf = CreateEnhMetaFileA(nullptr, windowsOutputPath("drawn.emf").c_str(), nullptr, nullptr),
        wmf = CreateMetaFileA(nullptr);
    SetWindowExtEx(wmf, 200, 100, nullptr);
    for (HDC dc : {emf, wmf}) {
        SelectObject(dc, GetStockObject(NULL_PEN));
        SelectObject(dc, CreateSolidBrush(RGB(255, 0, 0)));
        Rectangle(dc, 0, 0, dc == emf ? 121 : 201, dc == emf ? 61 : 101);
        DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
    }
    DeleteEnhMetaFile(CloseEnhMetaFile(emf));
    HMETAFILE metafile = CloseMetaFile(wmf);
    // Key, handle, bounding box, units per inch, reserved, checksum; then the records.
    uint16_t header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 200, 100, 192, 0, 0, 0};
    for (int i = 0; i < 10; ++i) header[10] ^= header[i];
    Bytes wmfFile(reinterpret_cast<uint8_t*>(header), reinterpret_cast<uint8_t*>(header + 11));
    wmfFile.resize(sizeof(header) + GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, UINT(wmfFile.size() - sizeof(header)), wmfFile.data() + sizeof(header));
    DeleteMetaFile(metafile);
    const struct {
        std::string path;
        uint32_t width, height, slack;                // of the first frame, within slack; 0: any
        std::vector<uint32_t> middles;                // the colour in the middle of each frame added
        std::vector<std::array<uint32_t, 3>> probes;  // x, y and colour in the first frame
        int tolerance;                                // per channel
    } imports[] = {
        {importImagePath("alpha.png"), 40, 30, 0, {0}, {{5, 5, kRed}}, 0},  // see-through comes out black
        {importImagePath("stripes.bmp"), 16, 8, 0, {0x008000}, {{1, 1, 0x0A141E}, {5, 1, 0xFA0005}}, 0},
        {importImagePath("flat.jpg"), 48, 32, 0, {0x6496C8}, {}, 3},
        {importImagePath("pages.tif"), 10, 10, 0, {0xFF0000, 0x00FF00, 0x0000FF}, {}, 0},  // every page
        {importImagePath("icon.ico"), 0, 0, 0, {0xFFFF00, 0xFF00FF}, {}, 0},               // every size
        {importImagePath("colors256.png"), 16, 16, 0, {0x8877B8}, {{0, 0, 0x00FF00}, {15, 15, 0xFF00F9}}, 0},
        {windowsOutputPath("drawn.emf"), 120, 60, 2, {kRed}, {}, 0},  // antialiased edges
        {writeTestFile("drawn-192dpi.wmf", wmfFile), 100, 50, 2, {kRed}, {}, 0},
    };
    for (const auto& import : imports) {
        SCOPED_TRACE(import.path);
        const size_t before = app().editor.document().frames.size();
        openStubbed(import.path, IDM_IMAGE_ADD);
        const std::vector<GifFrame>& frames = app().editor.document().frames;
        ASSERT_EQ(frames.size(), before + import.middles.size());
        EXPECT_EQ(frameListCount(), int(frames.size()));
        EXPECT_EQ(frameListSelection(), int(frames.size()) - 1);
        if (import.width) {
            EXPECT_NEAR(int(frames[before].width()), int(import.width), int(import.slack));
            EXPECT_NEAR(int(frames[before].height()), int(import.height), int(import.slack));
        }
        auto expectColor = [&](const GifFrame& frame, uint32_t x, uint32_t y, uint32_t rgb) {
            const RgbColor got = frame.localTable.entries.at(frame.bitmap->at(x, y)),
                           want = RgbColor::fromPacked(rgb);
            EXPECT_LE(std::max({std::abs(got.red - want.red), std::abs(got.green - want.green),
                                std::abs(got.blue - want.blue)}),
                      import.tolerance)
                << x << "," << y << " is " << std::hex << got.packed();
        };
        for (auto [x, y, rgb] : import.probes) expectColor(frames[before], x, y, rgb);
        for (size_t i = 0; i < import.middles.size(); ++i) {
            const GifFrame& frame = frames[before + i];
            EXPECT_TRUE(frame.hasLocalTable && frame.left + frame.top == 0);
            expectColor(frame, frame.width() / 2, frame.height() / 2, import.middles[i]);
            EXPECT_TRUE(app().editor.document().screenWidth >= frame.width() &&
                        app().editor.document().screenHeight >= frame.height());
        }
    }
    EXPECT_EQ(textOf(app().globalPanel, IDC_GLOBAL_WIDTH),
              std::to_string(app().editor.document().screenWidth));
    const size_t before = app().editor.document().frames.size();
    openStubbed(writeThreeFrames("add.gif"), IDM_IMAGE_ADD);
    ASSERT_EQ(app().editor.document().frames.size(), before + 3);
    EXPECT_EQ(app().editor.document().frames[before + 1].left, 10) << "the GIF road keeps the places";
    EXPECT_EQ(openStubbed(importImagePath("x.gif\\picture.png"), IDM_IMAGE_ADD),
              Strings{"Error: Unable to open image."});
}

// Each damaged and fuzz-found file through Open is refused with a message, leaving an empty
// document, or shows what our reader alone gets of it, and its first and last frame can be shown.
TEST_F(Commands, DamagedFilesOpenIntoWhatCanBeReadOrAreRefusedWithAMessage) {
    std::vector<std::string> files;
    for (const char* corpus : {"", "read", "roundtrip", "palette", "ppm"}) {
        const std::string folder =
            *corpus ? VELMORA_FUZZ_CORPUS + std::string("/") + corpus + "_fuzzer" : VELMORA_TEST_DATA;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    for (std::string& file : files) std::replace(file.begin(), file.end(), '/', '\\');
    std::sort(files.begin(), files.end());  // failures name a stable order
    ASSERT_GE(files.size(), 40u) << "the folders are kept filled: a short list means wrong paths";
    auto shapes = [](const GifAnimation& animation) {
        std::vector<std::vector<uint32_t>> all;
        for (const GifFrame& f : animation.frames) {
            all.push_back({f.width(), f.height(), f.left, f.top, f.delay});
            for (uint32_t y = 0; f.bitmap && y < f.height(); ++y)
                for (uint32_t x = 0; x < f.width(); ++x) all.back().push_back(f.bitmap->at(x, y));
        }
        return all;
    };
    int opened = 0, refused = 0, readerOnly = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        sendMenuCommand(IDM_FILE_NEW);  // nothing of the file before shows
        // Wine's GDI+ (8.0) dereferences a null palette when a GIF image has neither a global nor
        // a local colour table, and Open asks GDI+ first: such files are for our reader alone.
        GifAnimation alone;
        alone.readFile(path.c_str());
        if (std::any_of(alone.frames.begin(), alone.frames.end(),
                        [&](const GifFrame& f) { return !alone.hasGlobalTable && !f.hasLocalTable; })) {
            ++readerOnly;
            continue;
        }
        const Strings said = openStubbed(path);
        ASSERT_TRUE(IsWindow(app().window));
        if (!said.empty()) {
            EXPECT_EQ(said, Strings{"Error: Unable to open image."});
            EXPECT_EQ(frameListCount(), 0);
            EXPECT_TRUE(app().editor.document().frames.empty());
            ++refused;
            continue;
        }
        ++opened;
        EXPECT_TRUE(shapes(app().editor.document()) == shapes(alone));
        EXPECT_EQ(app().editor.document().screenWidth * 100000 + app().editor.document().screenHeight,
                  alone.screenWidth * 100000 + alone.screenHeight);
        EXPECT_EQ(frameListCount(), int(alone.frames.size()));
        EXPECT_FALSE(app().editor.changed());
        for (int index : {0, int(alone.frames.size()) - 1}) {
            if (index < 0) continue;
            selectFrame(index);
            RedrawWindow(app().window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            ASSERT_TRUE(IsWindow(app().window));
            EXPECT_EQ(textOf(app().imagePanel, IDC_IMAGE_LEFT),
                      std::to_string(alone.frames[size_t(index)].left));
        }
    }
    std::printf("%d opened, %d refused, %d for the reader alone\n", opened, refused, readerOnly);
    // The corpus holds both kinds; one kind never happening means the command was not reached.
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
    EXPECT_LT(readerOnly, int(files.size()) / 4);
}

// Files the Windows way: a command line's names, a drop of a picture and a GIF on a changed
// document (asked first, the GIF opened, then the picture added), Recent Files (a file that is
// gone is dropped with a message), and the window's place kept in the settings file.
TEST_F(Commands, FilesArriveByCommandLineDropAndRecentFiles) {
    EXPECT_EQ(commandLineFiles(L"Velmora.exe \"Z:\\a b\\x.gif\" y.png"),
              (Strings{"Z:\\a b\\x.gif", "y.png"}));
    const std::string gif = writeThreeFrames("dropped.gif");
    const std::string png = importImagePath("alpha.png");
    makeChanged();
    std::string list;
    for (const std::string& path : {png, gif}) list += path + '\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() + 1);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(drop);
    {
        DialogStubs stubs({}, IDNO);
        SendMessageA(app().window, WM_DROPFILES, WPARAM(drop), 0);
        EXPECT_EQ(stubs.boxes(), (Strings{"Confirm: Save changes?"}));
    }
    EXPECT_EQ(widths(), (std::vector<uint32_t>{40, 5, 2, 40}));
    EXPECT_EQ(app().recentFiles, (Strings{gif}));
    app().settingsPath = windowsOutputPath("settings.ini");
    DeleteFileA(app().settingsPath.c_str());
    SetWindowPos(app().window, nullptr, 30, 40, 900, 500, SWP_NOZORDER);
    saveSettings(app());
    SetWindowPos(app().window, nullptr, 0, 0, 300, 300, SWP_NOZORDER);
    ASSERT_TRUE(loadSettings(app()));
    RECT rect;
    GetWindowRect(app().window, &rect);
    EXPECT_EQ(std::tie(rect.left, rect.top, rect.right), std::make_tuple(30L, 40L, 930L));
    EXPECT_EQ(app().recentFiles.size(), 1u);
    DeleteFileA(app().recentFiles[0].c_str());
    DialogStubs stubs;
    sendMenuCommand(IDM_FILE_RECENT_FIRST);
    ASSERT_EQ(stubs.boxes().size(), 1u);
    EXPECT_TRUE(app().recentFiles.empty());
    app().settingsPath.clear();
}

// "Edit Palette" from the Image panel with every dialog it opens, and the index picker. What the
// operations do is palette_test's; OK must bring the edits to the frame, Cancel leave it. Colours:
const std::vector<uint32_t> kSixteen = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                        0x00FFFF, 0xFF00FF, 0x800000, 0x008000, 0x000080, 0x808000,
                                        0x008080, 0x800080, 0xC0C0C0, 0x404040};

// An answer that types into the dialog's fields, checks what each then shows, and presses OK.
using Typing = std::tuple<int, const char*, const char*>;  // field, typed, shown
DialogAnswerer::Answer fill(std::vector<Typing> fields) {
    return [=](HWND dialog) {
        for (auto [id, typed, shown] : fields) {
            SetDlgItemTextA(dialog, id, typed);
            EXPECT_EQ(textOf(dialog, id), shown) << typed;
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

class Palette : public Commands {
protected:
    // One selected 16 x 16 frame, pixel (x, y) = (16 y + x) mod 12: entries 12 ... 15 unused.
    void SetUp() override {
        Commands::SetUp();
        setDocument({makeFrame(16, 16, kSixteen, [](uint32_t x, uint32_t y) { return (16 * y + x) % 12; })},
                    16, 16);
        selectFrame(0);
        showPropertyTab(1);
    }
    void TearDown() override {
        EXPECT_TRUE(answers.allAnswered()) << "a dialog did not open";
        EXPECT_TRUE(answers.unexpected().empty()) << "unanswered dialog: " << answers.unexpected().front();
    }
    bool tableIs(const std::vector<uint32_t>& want) const {  // RgbColor == 0xRRGGBB
        const std::vector<RgbColor>& table = app().editor.document().frames[0].localTable.entries;
        return std::equal(table.begin(), table.end(), want.begin(), want.end());
    }
    DialogAnswerer answers;
};

TEST_F(Palette, OkBringsTheEditsAndEveryDialogOnTheWayAnswers) {
    writeTestFile("editor-short.plt", {7, 0});  // not even the count
    uint32_t offered = 0;
    answers.expect("Edit Palette", [](HWND editor) {
        // Typed values are corrected in place and colour the selected entry, 5.
        clickEditorCell(editor, 5);
        SetDlgItemTextA(editor, IDC_PALETTE_RED, "300");
        EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "255");
        SetDlgItemTextA(editor, IDC_PALETTE_GREEN, "40");
        clickEditorCell(editor, 11);
        clickEditorCell(editor, 11, WM_LBUTTONDBLCLK);  // the colour chooser
        EXPECT_EQ(textOf(editor, IDC_PALETTE_BLUE), "56");
        clickEditorCell(editor, 3);
        press(editor, IDC_PALETTE_MOVE_RIGHT);
        clickEditorCell(editor, 8);
        press(editor, IDC_PALETTE_REMOVE);
        EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "15");
        press(editor, IDC_PALETTE_WRITE);
        press(editor, IDC_PALETTE_READ);
        press(editor, IDC_PALETTE_PREVIEW);
        EXPECT_NE(saveWindowScreenshot(editor, "palette-editor.png"), "");
        press(editor, IDOK);
    });
    answers.expect("Color", [&](HWND chooser) {  // its red, green and blue fields: 706 ... 708
        for (int field = 706, shift = 16; field <= 708; ++field, shift -= 8) {
            offered |= GetDlgItemInt(chooser, field, nullptr, FALSE) << shift;
            SetDlgItemInt(chooser, field, (0x0C2238 >> shift) & 0xFF, FALSE);
        }
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    });
    answers.expect("Save Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-written.plt")));
    answers.expect("Open Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-short.plt")));
    answers.expect("Error", fill({}));
    answers.expect("Preview", [](HWND preview) {
        EXPECT_NE(saveWindowScreenshot(preview, "palette-preview.png"), "");
        PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);
    });
    press(app().imagePanel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_TRUE(app().editor.changed());
    EXPECT_EQ(offered, 0x808000u);
    EXPECT_EQ(answers.lastMessageText(), "Unable to read the palette file.");
    EXPECT_EQ(readWholeFile(testOutputPath("editor-written.plt")).size(), 4u + 15 * 3);  // count, colours
    std::vector<uint32_t> want = kSixteen;
    want[5] = 0xFF2800;
    want[11] = 0x0C2238;
    std::swap(want[3], want[4]);
    want.erase(want.begin() + 8);
    EXPECT_TRUE(tableIs(want));
}

TEST_F(Palette, CancelAfterTheOperationDialogsLeavesTheFrameAsItWas) {
    answers.expect("Edit Palette", [](HWND editor) {
        press(editor, IDC_PALETTE_DELETE_UNUSED);
        EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "12");
        press(editor, IDC_PALETTE_GRADIENT);  // 2 ... 6 from black to (255, 20, 0), corrected
        clickEditorCell(editor, 4);
        EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "127");
        press(editor, IDC_PALETTE_SORT);
        press(editor, IDC_PALETTE_COUNT);  // Colors: 1, taken as the least, 2
        EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "2");
        SendMessageA(editor, WM_CLOSE, 0, 0);  // the close box cancels
    });
    answers.expect("Color Gradient", fill({{IDC_GRADIENT_FROM_INDEX, "2", "2"},
                                           {IDC_GRADIENT_TO_INDEX, "6", "6"},
                                           {IDC_GRADIENT_FROM_RED, "", "0"},
                                           {IDC_GRADIENT_FROM_GREEN, "0", "0"},
                                           {IDC_GRADIENT_FROM_BLUE, "0", "0"},
                                           {IDC_GRADIENT_TO_RED, "300", "255"},
                                           {IDC_GRADIENT_TO_GREEN, "20", "20"},
                                           {IDC_GRADIENT_TO_BLUE, "abc", "0"}}));
    answers.expect("Sort palette entries", [](HWND sort) {
        SendDlgItemMessageA(sort, IDC_SORT_KEY, CB_SETCURSEL, 4, 0);  // "- R": the reddest first
        PostMessageA(sort, WM_COMMAND, IDOK, 0);
    });
    answers.expect("Colors", fill({{IDC_COLORS_COUNT, "1", "1"}}));
    press(app().imagePanel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_FALSE(app().editor.changed());
    EXPECT_TRUE(tableIs(kSixteen));
}

// The transparent colour's swatch opens the index picker below it; a click takes the cell.
TEST_F(Palette, SwatchOpensThePickerAndTheClickedCellIsTaken) {
    press(app().imagePanel, IDC_IMAGE_TRANSPARENT);
    RECT popupRect = {}, swatchRect;
    answers.expect("", [&](HWND popup) {
        GetWindowRect(popup, &popupRect);
        const LPARAM cell = MAKELPARAM(8 + 17 * 5 + 7, 8 + 7);  // column 5 of the first row
        SendMessageA(popup, WM_MOUSEMOVE, 0, cell);
        EXPECT_NE(saveWindowScreenshot(popup, "palette-index-picker.png"), "");
        SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, cell);
    });
    press(app().imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH);
    GetWindowRect(GetDlgItem(app().imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH), &swatchRect);
    EXPECT_EQ(popupRect.left * 10000 + popupRect.top, swatchRect.left * 10000 + swatchRect.bottom);
    EXPECT_EQ(app().editor.document().frames[0].transparentIndex, 5);
    EXPECT_EQ(textOf(app().imagePanel, IDC_IMAGE_TRANSPARENT_INDEX), "5");
}

// The whole-animation controls, one step each: a pause after the current frame, every delay
// halved, looping forever, and the global table through its palette editor, the frame drawing
// from it remapped. Four undos bring the document back.
TEST_F(Palette, WholeAnimationControlsEachMakeOneStep) {
    GifAnimation doc;
    doc.frames.push_back(
        makeFrame(16, 16, kSixteen, [](uint32_t x, uint32_t y) { return (16 * y + x) % 12; }));
    doc.frames[0].hasLocalTable = false;
    doc.frames[0].delay = 40;
    doc.hasGlobalTable = true;
    for (uint32_t c : kSixteen) doc.globalTable.entries.push_back(RgbColor::fromPacked(c));
    doc.screenWidth = doc.screenHeight = 16;
    app().editor.open(doc, "");
    selectFrame(0);
    clickToolbarButton(IDT_ADD_EMPTY);
    const GifAnimation& now = app().editor.document();
    ASSERT_EQ(frameListCount(), 2);
    EXPECT_EQ(now.frames[1].delay * 10 + app().editor.currentFrame(), 1001);
    answers.expect("Animation Delay", [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_DELAY_PERCENT, "50");
        EXPECT_EQ(textOf(dialog, IDC_DELAY_PLAY_TIME), "Play time: 1.40 s now, 0.70 s after");
        EXPECT_NE(saveWindowScreenshot(dialog, "animation-delay.png"), "");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    clickToolbarButton(IDT_DELAY);
    EXPECT_EQ(now.frames[0].delay * 1000 + now.frames[1].delay, 20050);
    answers.expect("Set Loop Counter", [](HWND dialog) {
        press(dialog, IDC_LOOP_INFINITE);
        EXPECT_NE(saveWindowScreenshot(dialog, "loop-counter.png"), "");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    clickToolbarButton(IDT_LOOP);
    EXPECT_TRUE(now.loopForever && checked(app().globalPanel, IDC_GLOBAL_INFINITE));
    showPropertyTab(0);
    answers.expect("Edit Palette", [](HWND editor) {
        clickEditorCell(editor, 0);
        press(editor, IDC_PALETTE_REMOVE);  // black: its pixels go to the dark grey, 15 then 14
        PostMessageA(editor, WM_COMMAND, IDOK, 0);
    });
    press(app().globalPanel, IDC_GLOBAL_PALETTE);
    EXPECT_NE(saveWindowScreenshot(app().window, "global-background.png"), "");
    ASSERT_EQ(now.globalTable.entries.size(), 15u);
    EXPECT_EQ(now.frames[0].bitmap->at(0, 0) * 100 + now.frames[0].bitmap->at(1, 0), 1400);
    for (int step = 0; step < 4; ++step) sendMenuCommand(IDM_EDIT_UNDO);
    EXPECT_EQ(frameListCount(), 1);
    EXPECT_FALSE(app().editor.changed());
}

// The keys and Ctrl+wheel step the zoom shown in the status bar, Ctrl+0 fits; scroll bars and drags
// count picture pixels, so at 200 % a drag moves the frame half as far as the pointer.
TEST_F(Commands, CanvasZoomsAndDragsInPicturePixels) {
    const auto stripes = [](uint32_t x, uint32_t y) { return uint8_t(x < 20 ? 1 + y / 4 % 2 : 0); };
    GifFrame frame = makeFrame(40, 24, {0, kRed, kGreen}, stripes, 10, 10);
    frame.transparent = true;
    refreshDisplayPalette(frame, GifAnimation{});
    setDocument({frame}, 120, 80);
    selectFrame(0);
    SetForegroundWindow(app().window);
    SetFocus(app().frameList);
    RECT view;
    GetClientRect(app().animationView, &view);
    const auto zoomText = [](long percent) { return "Zoom " + std::to_string(percent) + " %"; };
    const std::string fit = zoomText(std::min({800L, view.right * 100 / 120, view.bottom * 100 / 80}));
    char status[64] = {};
    POINT centre = {view.right / 2, view.bottom / 2};
    ClientToScreen(app().animationView, &centre);
    SetCursorPos(centre.x, centre.y);
    // clang-format off
    const struct { WORD key; int wheel; std::string shown; } steps[] = {
        {VK_OEM_PLUS, 0, zoomText(150)}, {VK_ADD, 0, zoomText(200)}, {0, WHEEL_DELTA, zoomText(300)},
        {0, -WHEEL_DELTA, zoomText(200)}, {VK_SUBTRACT, 0, zoomText(150)}, {VK_OEM_MINUS, 0, zoomText(100)},
        {'0', 0, fit}, {'1', 0, zoomText(100)}};
    // clang-format on
    const auto key = [](WORD k, DWORD up) { return INPUT{INPUT_KEYBOARD, {.ki = {k, 0, up, 0, 0}}}; };
    for (const auto& step : steps) {
        INPUT wheel[] = {key(VK_CONTROL, 0),
                         {INPUT_MOUSE, {.mi = {0, 0, DWORD(step.wheel), MOUSEEVENTF_WHEEL, 0, 0}}},
                         key(VK_CONTROL, KEYEVENTF_KEYUP)};
        if (step.key) pressKeys({VK_CONTROL, step.key});
        if (!step.key && SendInput(3, wheel, sizeof(INPUT))) runMessageLoopFor(300);
        SendMessageA(app().statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(status));
        EXPECT_EQ(status, step.shown) << step.key << " " << step.wheel;
    }
    // "+" on the main keys of a US keyboard needs Shift as well.
    pressKeys({VK_CONTROL, VK_SHIFT, VK_OEM_PLUS});
    SendMessageA(app().statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_EQ(status, zoomText(150));
    pressKeys({VK_CONTROL, '1'});
    for (int i = 0; i < 2; ++i) sendMenuCommand(IDM_VIEW_ZOOM_IN);
    SendMessageA(app().animationView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(24, 24));
    SendMessageA(app().animationView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(64, 44));
    const GifAnimation& doc = app().editor.document();
    const auto offsets = [&] { return doc.frames[0].left * 1000 + doc.frames[0].top; };
    EXPECT_TRUE(pumpUntil([&] { return offsets() == 30020; }, 1000)) << offsets();
    SendMessageA(app().animationView, WM_LBUTTONUP, 0, MAKELPARAM(64, 44));
    for (int i = 0; i < 4; ++i) sendMenuCommand(IDM_VIEW_ZOOM_IN);
    SCROLLINFO bar = {sizeof(bar), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(app().animationView, SB_HORZ, &bar);
    GetClientRect(app().animationView, &view);
    EXPECT_EQ(bar.nMax * 1000 + int(bar.nPage), 120 * 1000 + view.right / 8);  // 800 %

    // At 400 % see-through pixels in and beside the frame show 8-pixel squares, or white.
    for (int i = 0; i < 2; ++i) sendMenuCommand(IDM_VIEW_ZOOM_OUT);
    EXPECT_NE(saveWindowScreenshot(app().animationView, "canvas-zoom.png"), "");
    for (COLORREF grey : {0xCCCCCCu, 0xFFFFFFu}) {
        HDC dc = GetDC(app().animationView);
        std::vector<COLORREF> at;
        for (auto [x, y] : {std::pair{1, 1}, {9, 1}, {129, 89}, {241, 89}}) at.push_back(GetPixel(dc, x, y));
        ReleaseDC(app().animationView, dc);
        EXPECT_EQ(at, (std::vector<COLORREF>{0xFFFFFF, grey, 0x0000FF, grey}));
        sendMenuCommand(IDM_VIEW_CHECKERBOARD);
        UpdateWindow(app().animationView);
        EXPECT_EQ(GetMenuState(GetMenu(app().window), IDM_VIEW_CHECKERBOARD, MF_BYCOMMAND) & MF_CHECKED,
                  grey == 0xFFFFFF ? UINT(MF_CHECKED) : 0u);
    }
}

// Play steps through the frames on its timer, six plays, and stops on the last without an edit;
// Composed shows the frames before it too. Space types into a comment but plays from the list; an
// edit stops it. Prints how late the ticks of a 100-frame 640 x 480 play come.
TEST_F(Commands, PlayFollowsItsTimerAndComposedShowsThePlayedPicture) {
    openStubbed(writeThreeFrames("play.gif"));  // each frame shown 100 ms
    std::vector<int> seen, expected;
    sendMenuCommand(IDM_ANIMATION_PLAY);
    pumpUntil(
        [&] {
            if (seen.empty() || seen.back() != frameListSelection()) seen.push_back(frameListSelection());
            return !app().playback.playing;
        },
        5000);
    for (int i = 0; i < 18; ++i) expected.push_back(i % 3);
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(app().editor.changed());
    auto pixel = [] {
        RedrawWindow(app().animationView, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const HDC dc = GetDC(app().animationView);
        const COLORREF color = GetPixel(dc, 1, 1);
        ReleaseDC(app().animationView, dc);
        return color;
    };
    EXPECT_EQ(pixel(), RGB(255, 255, 255));  // frame 2 alone
    sendMenuCommand(IDM_ANIMATION_COMPOSED);
    EXPECT_EQ(pixel(), RGB(0x20, 0xC0, 0x40));  // over frame 0
    EXPECT_NE(saveWindowScreenshot(app().window, "canvas-composed.png"), "");

    showPropertyTab(2);
    press(app().commentPanel, IDC_COMMENT_ADD);
    SetForegroundWindow(app().window);
    SetFocus(GetDlgItem(app().commentPanel, IDC_COMMENT_TEXT));
    SendDlgItemMessageA(app().commentPanel, IDC_COMMENT_TEXT, EM_SETSEL, 0, -1);
    pressKeys({VK_SPACE});
    EXPECT_EQ(textOf(app().commentPanel, IDC_COMMENT_TEXT) + std::to_string(app().playback.playing), " 0");
    SetFocus(app().frameList);
    pressKeys({VK_SPACE});
    EXPECT_TRUE(app().playback.playing);
    makeChanged();
    EXPECT_FALSE(app().playback.playing);

    std::vector<GifFrame> frames;
    for (int i = 0; i < 100; ++i)
        frames.push_back(
            makeFrame(640, 480, {kRed, kGreen}, [i](uint32_t x, uint32_t y) { return (x + y + i) / 8 % 2; }));
    for (GifFrame& frame : frames) frame.delay = 4;
    setDocument(std::move(frames), 640, 480);
    sendMenuCommand(IDM_ANIMATION_PLAY);
    pumpUntil([] { return !app().playback.playing; }, 30000);
    const PlaybackState& p = app().playback;
    std::printf("100 frames of 640 x 480, composed: %llu shown, late %.1f ms on average, %.1f ms at most\n",
                (unsigned long long)p.ticks, p.lateSum / double(std::max<uint64_t>(1, p.ticks)), p.lateMost);
    // How long the canvas takes to paint a 1920 x 1080 frame whole, at 100 % and fitted.
    setDocument(
        {makeFrame(1920, 1080, {kRed, kGreen}, [](uint32_t x, uint32_t y) { return (x ^ y) / 16 % 2; })},
        1920, 1080);
    selectFrame(0);
    for (bool fit : {false, true}) {
        fit ? sendMenuCommand(IDM_VIEW_FIT) : sendMenuCommand(IDM_VIEW_ACTUAL_SIZE);
        const DWORD start = GetTickCount();
        for (int i = 0; i < 10; ++i)
            RedrawWindow(app().animationView, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        std::printf("1920 x 1080 painted %s: %.1f ms\n", fit ? "fitted" : "at 100 %",
                    (GetTickCount() - start) / 10.0);
    }
}

}  // namespace
