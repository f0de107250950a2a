#pragma once
// The Image panel (template 155): the selected frame's offset, transparency, delay, disposal.
#include <windows.h>

// Created with CreateDialogParam and a WindowContext* as the parameter.
INT_PTR CALLBACK imagePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the current frame's fields; changes nothing in the document.
void showFrameInImagePanel(HWND panel);
// Takes the delay or transparent index being typed, as leaving the field would.
void commitImagePanelTyping(HWND panel);
