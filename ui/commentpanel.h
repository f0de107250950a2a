#pragma once
// The Comment panel (template 156): the selected frame's comments.
#include <windows.h>

// Created with CreateDialogParam and a WindowContext* as the parameter.
INT_PTR CALLBACK commentPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the current frame's comments; changes nothing in the document.
void showFrameInCommentPanel(HWND panel);
// Takes the comment being typed, as leaving the field would.
void commitCommentPanelTyping(HWND panel);
