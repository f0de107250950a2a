#pragma once
// Runs the real application inside a test as WinMain does; answers or stubs its dialogs, takes
// screenshots, and acts as the user on the menus, the toolbar, the frame list and the panels.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "gif/document.h"

// The application of the current (or last) session.
Application& app();

// Starts the application like WinMain and tears it down: a fresh window and empty document each time.
struct AppSession {
    AppSession();
    ~AppSession();
    AppSession(const AppSession&) = delete;
    bool started = false;
};

// Dispatches messages until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds);
inline void pumpMessages(DWORD milliseconds) {
    pumpUntil(nullptr, milliseconds);
}

constexpr int kStillRunning = 0x51A7;  // what runMessageLoopFor returns when the program did not quit
// Runs the program's own message loop; a watchdog quits it with kStillRunning after the given time.
int runMessageLoopFor(DWORD milliseconds);

// Answers modal dialogs (message boxes, file dialogs, popups) from inside their own modal loop, in
// the order armed; a dialog no armed answer matches is cancelled and recorded, so nothing hangs.
class DialogAnswerer {
public:
    using Answer = std::function<void(HWND dialog)>;
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;

    void expect(const std::string& caption, Answer answer) { pending_.emplace_back(caption, answer); }
    const std::vector<std::string>& unexpected() const { return unexpected_; }  // captions none matched
    const std::string& lastMessageText() const { return lastMessageText_; }     // of a message box
    bool allAnswered() const { return pending_.empty(); }

    static Answer chooseFile(const std::string& path);

    void onActivate(HWND dialog);
    void onAnswerTimer(HWND dialog);
    void onDestroy(HWND window);

private:
    HHOOK hook_ = nullptr;
    std::vector<std::pair<std::string, Answer>> pending_;  // caption, answer
    std::vector<HWND> handled_;
    std::vector<std::string> unexpected_;
    std::string lastMessageText_;
};

// Brings a window to the front, repaints it and its children, and saves its screen pixels as PNG
// into the test output folder for a person to look at; returns the path, empty on failure.
std::string saveWindowScreenshot(HWND window, const std::string& fileName);

// WM_COMMAND with a menu id, as the menu sends it; with a button id and the toolbar as sender.
void sendMenuCommand(UINT id);
void clickToolbarButton(UINT id);
int frameListCount();
int frameListSelection();
// LB_SETCURSEL plus the LBN_SELCHANGE a user's click sends.
void selectFrame(int index);
// A click on a property tab (0 Global, 1 Image, 2 Comment).
void showPropertyTab(int index);

// Text as typing leaves it (EN_CHANGE follows, the edit marked modified); a lost focus; BM_CLICK.
void typeText(HWND dialog, int id, const std::string& text);
void leaveField(HWND dialog, int id);
void press(HWND dialog, int id);
std::string textOf(HWND dialog, int id);
bool checked(HWND dialog, int id);

// The test output path in Windows form (backslashes), as a file dialog takes it.
std::string windowsOutputPath(const std::string& name);
// A picture made natively before the tests (tests/ui/support/make-import-images.sh).
std::string importImagePath(const std::string& name);

// Pixel (x, y) is pixel(x, y), or 0 without it; the colours are the local table and, opaque, the
// picture's palette.
GifFrame makeFrame(uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                   const std::function<uint8_t(uint32_t, uint32_t)>& pixel = nullptr, uint16_t left = 0,
                   uint16_t top = 0);
// Opens a document of these frames and screen as if read from `path`: the frame list gets one item
// per frame, none selected, and nothing counts as changed.
void setDocument(std::vector<GifFrame> frames, uint16_t screenWidth, uint16_t screenHeight,
                 const std::string& path = "");

void clickEditorCell(HWND editor, uint32_t index, UINT down = WM_LBUTTONDOWN);
// A real click in the pin box of frame list item `index` (9 and 34 pixels into it at 96 DPI).
void clickPinBox(int index);

// While it lives, the program's file dialogs and message boxes show no window: each file dialog
// hands back the next path given ("" cancels); each message box answers `boxAnswer`.
class DialogStubs {
public:
    explicit DialogStubs(std::vector<std::string> paths = {}, int boxAnswer = IDOK);
    ~DialogStubs();
    DialogStubs(const DialogStubs&) = delete;
    void add(const std::string& path);
    int calls() const;                              // how many file dialogs the program asked for
    const std::vector<std::string>& boxes() const;  // "caption: text" of each message box
};
