#pragma once
// The Global panel (template 154): logical screen size, looping.
#include <windows.h>

INT_PTR CALLBACK globalPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the logical screen to the bounding box of all frames (at most 2000 each way) and shows it.
void fitScreenToFrames();
