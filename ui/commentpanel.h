#pragma once
// The Comment panel (template 156): the selected frame's comments.
#include <windows.h>

INT_PTR CALLBACK commentPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the current frame's comments; changes nothing in the document.
void showFrameInCommentPanel();
// Takes the comment being typed, as leaving the field would.
void commitCommentPanelTyping();
