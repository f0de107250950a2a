#pragma once
#include <windows.h>

// Starts GDI+ and OLE and builds the main window; false when any of it fails.
bool startApplication(HINSTANCE instance, int showCommand);
// Runs until WM_QUIT; returns its exit code.
int runMessageLoop();
// Releases the document's pictures, then GDI+ and OLE, in that order.
void shutDownApplication();
