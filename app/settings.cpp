#include "app/settings.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "app/application.h"
#include "resource.h"

namespace {

constexpr char kWindowSection[] = "Window";
constexpr char kRecentSection[] = "Recent Files";
constexpr int kPathSize = 1024;

void writeNumber(const std::string& file, const char* key, long value) {
    WritePrivateProfileStringA(kWindowSection, key, std::to_string(value).c_str(), file.c_str());
}

// Windows paths name the same file whatever their letters' case.
bool samePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), int(a.size()),
                                                  b.c_str(), int(b.size())) == CSTR_EQUAL;
}

HMENU recentFilesMenu(HWND window) {
    HMENU file = GetSubMenu(GetMenu(window), 0);
    for (int i = 0; file && i < GetMenuItemCount(file); ++i) {
        HMENU sub = GetSubMenu(file, i);
        if (sub) return sub;
    }
    return nullptr;
}

}  // namespace

std::string userSettingsPath() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder))) return std::string();
    const std::string own = std::string(folder) + "\\Velmora";
    CreateDirectoryA(own.c_str(), nullptr);
    return own + "\\Velmora.ini";
}

bool loadSettings(Application& app) {
    if (app.settingsPath.empty()) return false;
    const char* file = app.settingsPath.c_str();
    app.recentFiles.clear();
    for (size_t i = 0; i < kMaxRecentFiles; ++i) {
        char path[kPathSize] = {};
        GetPrivateProfileStringA(kRecentSection, ("File" + std::to_string(i + 1)).c_str(), "", path,
                                 kPathSize, file);
        if (*path) app.recentFiles.push_back(path);
    }
    showRecentFiles(app);

    RECT rect;
    rect.left = LONG(GetPrivateProfileIntA(kWindowSection, "Left", 0, file));
    rect.top = LONG(GetPrivateProfileIntA(kWindowSection, "Top", 0, file));
    rect.right = LONG(GetPrivateProfileIntA(kWindowSection, "Right", 0, file));
    rect.bottom = LONG(GetPrivateProfileIntA(kWindowSection, "Bottom", 0, file));
    if (rect.right <= rect.left || rect.bottom <= rect.top) return false;
    // A screen that has gone, or has grown smaller, gets the first-start size instead.
    HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoA(monitor, &info)) return false;
    const RECT& work = info.rcWork;
    if (rect.right - rect.left > work.right - work.left || rect.bottom - rect.top > work.bottom - work.top)
        return false;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.rcNormalPosition = rect;
    placement.showCmd =
        GetPrivateProfileIntA(kWindowSection, "Maximized", 0, file) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    SetWindowPlacement(app.window, &placement);
    return true;
}

void saveSettings(Application& app) {
    if (app.settingsPath.empty() || !app.window) return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(app.window, &placement)) {
        const RECT& rect = placement.rcNormalPosition;
        writeNumber(app.settingsPath, "Left", rect.left);
        writeNumber(app.settingsPath, "Top", rect.top);
        writeNumber(app.settingsPath, "Right", rect.right);
        writeNumber(app.settingsPath, "Bottom", rect.bottom);
        writeNumber(app.settingsPath, "Maximized", placement.showCmd == SW_SHOWMAXIMIZED);
    }
    // The section is written anew, so forgotten files do not linger.
    WritePrivateProfileStringA(kRecentSection, nullptr, nullptr, app.settingsPath.c_str());
    for (size_t i = 0; i < app.recentFiles.size(); ++i) {
        WritePrivateProfileStringA(kRecentSection, ("File" + std::to_string(i + 1)).c_str(),
                                   app.recentFiles[i].c_str(), app.settingsPath.c_str());
    }
}

void rememberRecentFile(Application& app, const std::string& path) {
    if (path.empty()) return;
    std::vector<std::string>& files = app.recentFiles;
    files.erase(
        std::remove_if(files.begin(), files.end(), [&](const std::string& f) { return samePath(f, path); }),
        files.end());
    files.insert(files.begin(), path);
    if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
    showRecentFiles(app);
    saveSettings(app);
}

void forgetRecentFile(Application& app, const std::string& path) {
    std::vector<std::string>& files = app.recentFiles;
    files.erase(
        std::remove_if(files.begin(), files.end(), [&](const std::string& f) { return samePath(f, path); }),
        files.end());
    showRecentFiles(app);
    saveSettings(app);
}

void showRecentFiles(Application& app) {
    HMENU menu = recentFilesMenu(app.window);
    if (!menu) return;
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    if (app.recentFiles.empty()) AppendMenuA(menu, MF_STRING | MF_GRAYED, IDM_FILE_RECENT_NONE, "(none)");
    for (size_t i = 0; i < app.recentFiles.size(); ++i) {
        // "&1 C:\path\name.gif": the number is the item's key; a "&" in a path must show as itself.
        std::string text = "&" + std::to_string(i + 1) + " ";
        for (char c : app.recentFiles[i]) text += c == '&' ? std::string("&&") : std::string(1, c);
        AppendMenuA(menu, MF_STRING, UINT_PTR(IDM_FILE_RECENT_FIRST + i), text.c_str());
    }
}
