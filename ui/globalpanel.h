#pragma once
// The Global panel (template 154): logical screen size, looping.
#include <windows.h>

// Created with CreateDialogParam and a WindowContext* as the parameter.
INT_PTR CALLBACK globalPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the logical screen, Auto and looping; changes nothing in the document.
void showDocumentInGlobalPanel(HWND panel);
// Takes the loop count or background index being typed, as leaving the field would.
void commitGlobalPanelTyping(HWND panel);
