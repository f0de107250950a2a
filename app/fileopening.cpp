#include "app/fileopening.h"

#include <shellapi.h>

#include "app/application.h"
#include "app/commands.h"
#include "app/editorviews.h"
#include "app/settings.h"

namespace {

std::string narrow(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string text(size_t(length - 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], length, nullptr, nullptr);
    return text;
}

}  // namespace

void openOrAddFiles(Application& app, const std::vector<std::string>& paths, bool askFirst) {
    commitTypedValues(app);
    std::vector<std::string> rest;
    bool opened = false;
    for (const std::string& path : paths) {
        if (opened || !takesGifRoad(path)) {
            rest.push_back(path);
            continue;
        }
        if (askFirst && !askSaveChanges(app)) return;
        // Opened before anything is added, so the pictures land in the opened animation.
        opened = true;
        if (!openGifFile(app, path)) return;
    }
    for (const std::string& path : rest) addFile(app, path);
}

std::vector<std::string> commandLineFiles(const wchar_t* commandLine) {
    std::vector<std::string> files;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
    if (!arguments) return files;
    for (int i = 1; i < count; ++i) files.push_back(narrow(arguments[i]));
    LocalFree(arguments);
    return files;
}

void onDroppedFiles(Application& app, HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length, '\0');
        DragQueryFileA(drop, i, &path[0], length + 1);
        paths.push_back(path);
    }
    DragFinish(drop);
    SetForegroundWindow(app.window);
    openOrAddFiles(app, paths, true);
}

void openRecentFile(Application& app, size_t index) {
    if (index >= app.recentFiles.size()) return;
    const std::string path = app.recentFiles[index];
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::string text = "\"" + path + "\" cannot be found. It is removed from Recent Files.";
        MessageBoxA(app.window, text.c_str(), "Recent Files", MB_ICONEXCLAMATION);
        forgetRecentFile(app, path);
        return;
    }
    commitTypedValues(app);
    if (askSaveChanges(app)) openGifFile(app, path);
}
