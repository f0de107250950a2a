#pragma once
// Runs the real application inside a test: the same start-up, message loop and shut-down as
// WinMain, answers for modal dialogs, message pumping with time limits and screenshots; and the
// user's actions on the menus, the frame list, the panels and the palette windows.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "gif/document.h"

// The helpers below change shared state while they live: none may be copied.
struct NoCopy {
    NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

// Starts the application like WinMain and tears it down at the end: a fresh window and an empty
// document for each test.
class AppSession : NoCopy {
public:
    AppSession();
    ~AppSession();
    bool started() const { return started_; }

private:
    bool started_ = false;
};

// The application of the current (or last) session.
Application& app();
// The canvas's client size in pixels.
SIZE viewClientSize();

void pumpMessages(DWORD milliseconds);
// Dispatches messages until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds);

// Exit code runMessageLoopFor returns when the program did not quit by itself.
constexpr int kStillRunning = 0x51A7;
// Runs the program's own message loop; a watchdog quits it with kStillRunning after the given
// time (longer, up to 20 s, while an armed dialog answer still waits).
int runMessageLoopFor(DWORD milliseconds);

// Answers modal dialogs (message boxes, file dialogs) from inside their own modal loop, in the
// order armed; a dialog no armed answer matches is cancelled and recorded, so nothing hangs.
class DialogAnswerer : NoCopy {
public:
    using Answer = std::function<void(HWND dialog)>;
    DialogAnswerer();
    ~DialogAnswerer();

    void expect(const std::string& caption, Answer answer);
    // Captions of every dialog that appeared, and of those no armed answer matched.
    const std::vector<std::string>& seen() const { return seen_; }
    const std::vector<std::string>& unexpected() const { return unexpected_; }
    // Text of the last message box answered.
    const std::string& lastMessageText() const { return lastMessageText_; }
    bool allAnswered() const { return pending_.empty(); }

    static Answer pressButton(int id);
    static Answer chooseFile(const std::string& path);
    static Answer cancel() { return pressButton(IDCANCEL); }

    // Used by the hook and timer callbacks.
    void onActivate(HWND dialog);
    void onAnswerTimer(HWND dialog);
    void onDestroy(HWND window);

private:
    struct Pending {
        std::string caption;
        Answer answer;
    };
    HHOOK hook_ = nullptr;
    std::vector<Pending> pending_;
    std::vector<HWND> handled_;
    std::vector<std::string> seen_;
    std::vector<std::string> unexpected_;
    std::string lastMessageText_;
};

// Pixels of a window as they are on the screen, 0x00RRGGBB, row by row.
struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
// Draws into a memory bitmap through the painter, whatever else is on the screen.
Capture captureDrawing(int width, int height, uint32_t background, const std::function<void(HDC)>& paint);
// Saves a capture as PNG into the test output folder; returns the full path, empty on failure.
std::string savePng(const Capture& capture, const std::string& fileName);
// Brings a window to the front, repaints it and its children, and saves its screen pixels.
std::string saveWindowScreenshot(HWND window, const std::string& fileName);

// The window's client pixels after its pending paint; `raise` brings the main window up first
// (leave it be while a popup is open over it).
Capture captureClient(HWND window, bool raise = true);
// 0x00RRGGBB of a system colour.
uint32_t systemRgb(int index);

constexpr auto redOf = [](uint32_t rgb) { return uint8_t(rgb >> 16); };
constexpr auto greenOf = [](uint32_t rgb) { return uint8_t(rgb >> 8); };
constexpr auto blueOf = [](uint32_t rgb) { return uint8_t(rgb); };

// A child's window rectangle in the main window's client coordinates.
RECT rectInMainWindow(HWND child);
// WM_COMMAND with a menu id, as the menu sends it.
void sendMenuCommand(UINT id);
int frameListCount();
int frameListSelection();
// LB_SETCURSEL plus the LBN_SELCHANGE a user's click sends.
void selectFrame(int index);
// A click on a property tab (0 Global, 1 Image, 2 Comment).
void showPropertyTab(int index);

// Text as typing leaves it (EN_CHANGE follows, the edit is marked modified); the notice of a
// lost focus; BM_CLICK.
void typeText(HWND dialog, int id, const std::string& text);
void leaveField(HWND dialog, int id);
void press(HWND dialog, int id);
std::string textOf(HWND dialog, int id);
bool checked(HWND dialog, int id);
bool enabled(HWND dialog, int id);

// The test output path in Windows form (backslashes), as a file dialog takes it.
std::string windowsOutputPath(const std::string& name);
// A picture made natively before the tests (tests/ui/support/make-import-images.sh).
std::string importImagePath(const std::string& name);

// Pixel (x, y) is pixel(x, y), the picture's palette the colours, opaque, as the reader leaves it;
// with `local` the colours are also the frame's local table.
GifFrame makeFrame(uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                   const std::function<uint8_t(uint32_t, uint32_t)>& pixel, uint16_t left = 0,
                   uint16_t top = 0, bool local = true);
// One colour, no local table.
GifFrame solidFrame(uint32_t rgb, uint32_t width, uint32_t height, uint16_t left, uint16_t top);
// Opens a document of these frames and screen as if read from `path`: the frame list gets one item
// per frame, none selected, and nothing counts as changed.
void setDocument(std::vector<GifFrame> frames, uint16_t screenWidth, uint16_t screenHeight,
                 const std::string& path = "");

// One value typed into a field: the text it must show afterwards and the number it must store.
// `onLeave` fields take the value only when they lose the focus, not while typing.
struct FieldRule {
    int id;
    const char* typed;
    bool onLeave;
    const char* shown;
    int stored;
};
// Types every rule into the dialog and checks the text, stored(id) and that a changed value
// became an undoable step.
void checkFieldRules(HWND dialog, const std::vector<FieldRule>& rules,
                     const std::function<int(int id)>& stored);

// The editor's mouse messages at the centre of a grid cell.
void sendAtCell(HWND editor, uint32_t index, UINT message, WPARAM keys = 0);
void clickEditorCell(HWND editor, uint32_t index);
// Parks the real pointer in the screen's corner, so the mouse moves the system makes while
// windows open and close do not reach the grids under test.
inline void parkPointer() {
    SetCursorPos(0, 0);
}

// While it lives, the program's open and save file dialogs show no window: each call hands back
// the next path given (an empty one acts as Cancel), and the command goes on as after a real choice.
class FileDialogStub : NoCopy {
public:
    explicit FileDialogStub(std::vector<std::string> paths = {});
    ~FileDialogStub();
    void add(const std::string& path);
    int calls() const;  // how many dialogs the program asked for
    bool installed() const { return installed_; }

private:
    bool installed_ = false;
};

// While it lives, the program's message boxes show no window either: each answers `answer`, and
// its caption and text are kept. For tests that have already answered the real box once.
class MessageBoxStub : NoCopy {
public:
    explicit MessageBoxStub(int answer);
    ~MessageBoxStub();
    // "caption: text" of each box asked for, in order.
    const std::vector<std::string>& shown() const;
};
