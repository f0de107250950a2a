#pragma once
// What the program remembers per user between runs, in an INI file under %APPDATA%\Velmora: where
// the window was, and the files opened last.
#include <windows.h>

#include <string>

struct Application;

constexpr size_t kMaxRecentFiles = 8;

// %APPDATA%\Velmora\Velmora.ini, its folder made; empty when there is no such folder.
std::string userSettingsPath();
// Reads the recent files; puts the window where it was when that still fits on a screen, and
// returns false (leaving it be) otherwise.
bool loadSettings(Application& app);
// Writes the window's placement and the recent files.
void saveSettings(Application& app);
// Puts `path` first in Recent Files (once, at most kMaxRecentFiles), shows and keeps the list.
void rememberRecentFile(Application& app, const std::string& path);
void forgetRecentFile(Application& app, const std::string& path);
// Fills File, Recent Files from app.recentFiles.
void showRecentFiles(Application& app);
