#pragma once
// The Image panel (template 155): the selected frame's offset, transparency, delay, disposal.
#include <windows.h>

INT_PTR CALLBACK imagePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
