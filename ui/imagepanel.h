#pragma once
// The Image panel (template 155): the selected frame's offset, transparency, delay, disposal.
#include <windows.h>

INT_PTR CALLBACK imagePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the current frame's fields; changes nothing in the document.
void showFrameInImagePanel();
// Takes the delay or transparent index being typed, as leaving the field would.
void commitImagePanelTyping();
