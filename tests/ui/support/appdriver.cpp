#include "ui/support/appdriver.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {
constexpr char kRecorderClass[] = "VelmoraTest.OpenRecorder";
}

void sendMenuCommand(UINT id) { SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void clickToolbarButton(UINT id) {
    SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(g_toolbar));
}

int frameListCount() { return int(SendMessageA(g_frameList, LB_GETCOUNT, 0, 0)); }
int frameListSelection() { return int(SendMessageA(g_frameList, LB_GETCURSEL, 0, 0)); }

void clickFrameItem(int index) {
    SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(IDC_FRAME_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_frameList));
}

std::string controlText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

bool isChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool isEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::string windowsOutputPath(const std::string& name) {
    std::string path = testOutputPath(name);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string importImagePath(const std::string& name) { return windowsOutputPath("import-images\\" + name); }

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void forgetPendingPaint(HWND window) {
    pumpMessages(50);
    ValidateRect(window, nullptr);
}

bool hasPendingPaint(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }

namespace {

bool readDefaultValue(HKEY key, const std::string& subKey, std::string* value) {
    char buffer[256] = {};
    LONG size = sizeof(buffer);
    if (RegQueryValueA(key, subKey.c_str(), buffer, &size) != ERROR_SUCCESS) return false;
    *value = buffer;
    return true;
}

bool writeDefaultValue(HKEY key, const std::string& subKey, const std::string& value) {
    return RegSetValueA(key, subKey.c_str(), REG_SZ, value.c_str(), DWORD(value.size())) == ERROR_SUCCESS;
}

}  // namespace

ShellOpenRecorder::ShellOpenRecorder(const std::string& extension, const std::string& recordName)
    : extension_(extension), recordPath_(windowsOutputPath(recordName)) {
    DeleteFileA(recordPath_.c_str());
    hadPrevious_ = readDefaultValue(HKEY_CLASSES_ROOT, extension_, &previousClass_);
    // cmd's echo writes the path it was given; the quotes round %1 come back with it.
    const std::string command = "C:\\windows\\system32\\cmd.exe /c echo %1>\"" + recordPath_ + "\"";
    installed_ = writeDefaultValue(HKEY_CLASSES_ROOT, std::string(kRecorderClass) + "\\shell\\open\\command", command) &&
                 writeDefaultValue(HKEY_CLASSES_ROOT, extension_, kRecorderClass);
}

ShellOpenRecorder::~ShellOpenRecorder() {
    if (hadPrevious_) {
        writeDefaultValue(HKEY_CLASSES_ROOT, extension_, previousClass_);
    } else {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_.c_str());
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kRecorderClass) + "\\shell\\open\\command").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kRecorderClass) + "\\shell\\open").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kRecorderClass) + "\\shell").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kRecorderClass);
}

std::string ShellOpenRecorder::waitForOpenedPath(DWORD timeoutMilliseconds) {
    std::string text;
    pumpUntil(
        [&] {
            std::ifstream in(recordPath_);
            if (!in) return false;
            std::stringstream all;
            all << in.rdbuf();
            text = all.str();
            return text.find('\n') != std::string::npos;
        },
        timeoutMilliseconds);
    const auto notSpace = [](char c) { return c != ' ' && c != '\r' && c != '\n' && c != '"'; };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    return text;
}
