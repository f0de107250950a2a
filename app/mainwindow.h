#pragma once
#include <windows.h>

struct Application;

// The main dialog's procedure: hands each message to the part that does the work.
INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the panel of the upper tab's current page and hides the two others.
void switchPropertyPanel(Application& app);
// Close box, WM_DESTROY and WM_QUIT: quits, or asks "Save changes?" first when modified.
void runClosingStep(Application& app);
