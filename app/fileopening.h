#pragma once
// Files reaching the program the Windows way: named on the command line ("Open with", a double
// click), dropped on the window, or picked from File, Recent Files.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

struct Application;

// The first GIF among `paths` is opened (after "Save changes?" when `askFirst`), then every other
// file is added in the order given. Nothing happens when the question is cancelled.
void openOrAddFiles(Application& app, const std::vector<std::string>& paths, bool askFirst);
// The files named after the program on a command line (GetCommandLineW's), quotes taken off.
std::vector<std::string> commandLineFiles(const wchar_t* commandLine);
// WM_DROPFILES.
void onDroppedFiles(Application& app, HDROP drop);
// File, Recent Files, item `index`: a file that is gone is dropped from the list with a message.
void openRecentFile(Application& app, size_t index);
