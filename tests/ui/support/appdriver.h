#pragma once
// Small helpers for tests that drive the commands and panels through their real messages.
#include <windows.h>

#include <string>
#include <vector>

// WM_COMMAND with a menu id, as the menu sends it; with a toolbar button id and the toolbar as sender.
void sendMenuCommand(UINT id);
void clickToolbarButton(UINT id);

int frameListCount();
int frameListSelection();
// LB_SETCURSEL followed by the LBN_SELCHANGE the list would send for a user's click.
void clickFrameItem(int index);

std::string controlText(HWND dialog, int id);
bool isChecked(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);

// The test output path in Windows form (backslashes), as a file dialog takes it.
std::string windowsOutputPath(const std::string& name);
// A picture made natively before the tests (tests/ui/support/make-import-images.sh).
std::string importImagePath(const std::string& name);
bool fileExists(const std::string& path);

// Forgets any pending repaint of a window, so a later check sees only new invalidations.
void forgetPendingPaint(HWND window);
bool hasPendingPaint(HWND window);

// While it lives, the program's open and save file dialogs show no window: each call hands back
// the next path given (an empty one acts as Cancel), and the command goes on exactly as after a
// real choice. A real file dialog costs about two seconds under Wine; tests that have already
// driven the real one use this to open the rest of their files.
class FileDialogStub {
public:
    explicit FileDialogStub(std::vector<std::string> paths = {});
    ~FileDialogStub();
    FileDialogStub(const FileDialogStub&) = delete;
    FileDialogStub& operator=(const FileDialogStub&) = delete;
    void add(const std::string& path);
    // How many dialogs the program asked for; false when the program's imports could not be redirected.
    int calls() const;
    bool installed() const { return installed_; }

private:
    bool installed_ = false;
};

// While it lives, the program's message boxes show no window either: each answers `answer`, and
// its caption and text are kept. For tests that have already answered the real box once.
class MessageBoxStub {
public:
    explicit MessageBoxStub(int answer);
    ~MessageBoxStub();
    MessageBoxStub(const MessageBoxStub&) = delete;
    MessageBoxStub& operator=(const MessageBoxStub&) = delete;
    // "caption: text" of each box asked for, in order.
    const std::vector<std::string>& shown() const;
    bool installed() const { return installed_; }

private:
    bool installed_ = false;
};

// Points the shell's "open" verb for a file extension at a recorder that writes the opened path
// into a file; the previous association comes back when the object goes.
class ShellOpenRecorder {
public:
    ShellOpenRecorder(const std::string& extension, const std::string& recordName);
    ~ShellOpenRecorder();
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;
    bool installed() const { return installed_; }
    // Waits up to the given time for the recorder and returns the path it was handed, trimmed.
    std::string waitForOpenedPath(DWORD timeoutMilliseconds);

private:
    std::string extension_;
    std::string previousClass_;
    std::string recordPath_;
    bool hadPrevious_ = false;
    bool installed_ = false;
};
