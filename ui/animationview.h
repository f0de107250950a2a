#pragma once
// The animation view (template 158): the compose canvas under the panels.
#include <windows.h>

INT_PTR CALLBACK animationViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
