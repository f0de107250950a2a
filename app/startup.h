#pragma once
// Process start and end. WinMain is a thin wrapper around these three, and the UI tests call
// the very same functions.
#include <windows.h>

struct Application;

// Starts GDI+ and OLE, creates the main window and all its children, shows it and lays it out.
// False when the main window cannot be created (the program then ends with 0).
bool startApplication(Application& app, HINSTANCE instance, int showCommand);
// Runs until WM_QUIT; returns its wParam.
int runMessageLoop(Application& app);
// Empties the document (its pictures go while GDI+ still runs), then shuts GDI+ and OLE down.
// Safe to call twice.
void shutDownApplication(Application& app);
