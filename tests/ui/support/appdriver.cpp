#include "ui/support/appdriver.h"

#include <commdlg.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <sstream>
#include <utility>

#include "app/globals.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

void sendMenuCommand(UINT id) { SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void clickToolbarButton(UINT id) {
    SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(g_toolbar));
}

int frameListCount() { return int(SendMessageA(g_frameList, LB_GETCOUNT, 0, 0)); }
int frameListSelection() { return int(SendMessageA(g_frameList, LB_GETCURSEL, 0, 0)); }

void clickFrameItem(int index) {
    SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(IDC_FRAME_LIST, LBN_SELCHANGE), LPARAM(g_frameList));
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

// ---- File dialogs without windows ----------------------------------------------------------------

namespace {

std::deque<std::string> s_stubPaths;
int s_stubCalls = 0;

BOOL stubFileDialog(OPENFILENAMEA* dialog) {
    ++s_stubCalls;
    if (s_stubPaths.empty()) return FALSE;
    const std::string path = s_stubPaths.front();
    s_stubPaths.pop_front();
    if (path.empty()) return FALSE;
    lstrcpynA(dialog->lpstrFile, path.c_str(), int(dialog->nMaxFile));
    return TRUE;
}

// One for each import, so each goes back to its own function.
BOOL WINAPI stubOpenDialog(OPENFILENAMEA* dialog) { return stubFileDialog(dialog); }
BOOL WINAPI stubSaveDialog(OPENFILENAMEA* dialog) { return stubFileDialog(dialog); }
const std::pair<const char*, void*> kStubs[] = {{"GetOpenFileNameA", reinterpret_cast<void*>(&stubOpenDialog)},
                                                {"GetSaveFileNameA", reinterpret_cast<void*>(&stubSaveDialog)}};

// Every entry of the program's import address table that holds `from` is pointed at `to`.
bool redirectImports(void* from, void* to) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    bool found = false;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); thunk->u1.Function; ++thunk) {
            if (reinterpret_cast<void*>(thunk->u1.Function) != from) continue;
            DWORD protection = 0;
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), PAGE_READWRITE, &protection);
            thunk->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), protection, &protection);
            found = true;
        }
    }
    return found;
}

void* realDialog(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("comdlg32.dll"), name));
}

}  // namespace

FileDialogStub::FileDialogStub(std::vector<std::string> paths) : installed_(true) {
    s_stubPaths.assign(paths.begin(), paths.end());
    s_stubCalls = 0;
    for (const auto& stub : kStubs) installed_ &= redirectImports(realDialog(stub.first), stub.second);
}

FileDialogStub::~FileDialogStub() {
    for (const auto& stub : kStubs) redirectImports(stub.second, realDialog(stub.first));
}

void FileDialogStub::add(const std::string& path) { s_stubPaths.push_back(path); }
int FileDialogStub::calls() const { return s_stubCalls; }

namespace {

int s_boxAnswer = IDOK;
std::vector<std::string> s_boxes;

int WINAPI stubMessageBox(HWND, const char* text, const char* caption, UINT) {
    s_boxes.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
    return s_boxAnswer;
}

void* realMessageBox() { return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxA")); }

}  // namespace

MessageBoxStub::MessageBoxStub(int answer) {
    s_boxAnswer = answer;
    s_boxes.clear();
    installed_ = redirectImports(realMessageBox(), reinterpret_cast<void*>(&stubMessageBox));
}

MessageBoxStub::~MessageBoxStub() { redirectImports(reinterpret_cast<void*>(&stubMessageBox), realMessageBox()); }
const std::vector<std::string>& MessageBoxStub::shown() const { return s_boxes; }

// ---- Shell "open" recorder -------------------------------------------------------------------------

namespace {

constexpr char kRecorderClass[] = "VelmoraTest.OpenRecorder";

bool setDefaultValue(const std::string& key, const std::string& value) {
    return RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), DWORD(value.size())) == ERROR_SUCCESS;
}

}  // namespace

ShellOpenRecorder::ShellOpenRecorder(const std::string& extension, const std::string& recordName)
    : extension_(extension), recordPath_(windowsOutputPath(recordName)) {
    DeleteFileA(recordPath_.c_str());
    char previous[256] = {};
    LONG size = sizeof(previous);
    hadPrevious_ = RegQueryValueA(HKEY_CLASSES_ROOT, extension_.c_str(), previous, &size) == ERROR_SUCCESS;
    previousClass_ = previous;
    // cmd's echo writes the path it was given; the quotes round %1 come back with it.
    installed_ = setDefaultValue(std::string(kRecorderClass) + "\\shell\\open\\command",
                                 "C:\\windows\\system32\\cmd.exe /c echo %1>\"" + recordPath_ + "\"") &&
                 setDefaultValue(extension_, kRecorderClass);
}

ShellOpenRecorder::~ShellOpenRecorder() {
    if (hadPrevious_) {
        setDefaultValue(extension_, previousClass_);
    } else {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, extension_.c_str());
    }
    for (const char* key : {"\\shell\\open\\command", "\\shell\\open", "\\shell", ""})
        RegDeleteKeyA(HKEY_CLASSES_ROOT, (kRecorderClass + std::string(key)).c_str());
}

std::string ShellOpenRecorder::waitForOpenedPath(DWORD timeoutMilliseconds) {
    std::string text;
    pumpUntil(
        [&] {
            std::ifstream in(recordPath_);
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
