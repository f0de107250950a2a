#pragma once
// Runs the real application inside a test: the same start-up, message loop and shut-down as
// WinMain, plus answers for modal dialogs, message pumping with time limits and screenshots.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Starts the application like WinMain and tears it down at the end: a fresh window and an empty
// document for each test.
class AppSession {
public:
    AppSession();
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;
    bool started() const { return started_; }

private:
    bool started_ = false;
};

void pumpMessages(DWORD milliseconds);
// Dispatches messages until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds);

// Exit code runMessageLoopFor returns when the program did not quit by itself.
constexpr int kStillRunning = 0x51A7;
// Runs the program's own message loop; a watchdog quits it with kStillRunning after the given
// time (longer, up to 20 s, while an armed dialog answer still waits).
int runMessageLoopFor(DWORD milliseconds);
// Takes a waiting WM_QUIT out of the queue; returns whether there was one.
bool takeQuitMessage(int* exitCode = nullptr);

// Answers modal dialogs (message boxes, file dialogs) from inside their own modal loop, in the
// order armed; a dialog no armed answer matches is cancelled and recorded, so nothing hangs.
class DialogAnswerer {
public:
    using Answer = std::function<void(HWND dialog)>;
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

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
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
Capture captureWindow(HWND window);
// Draws into a memory bitmap through the painter, whatever else is on the screen.
Capture captureDrawing(int width, int height, uint32_t background, const std::function<void(HDC)>& paint);
// Saves a capture as PNG into the test output folder; returns the full path, empty on failure.
std::string savePng(const Capture& capture, const std::string& fileName);
// Brings a window to the front, repaints it and its children, and saves its screen pixels.
std::string saveWindowScreenshot(HWND window, const std::string& fileName);

inline uint8_t redOf(uint32_t rgb) { return uint8_t(rgb >> 16); }
inline uint8_t greenOf(uint32_t rgb) { return uint8_t(rgb >> 8); }
inline uint8_t blueOf(uint32_t rgb) { return uint8_t(rgb); }
