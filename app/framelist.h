#pragma once
#include <windows.h>

// Height of one frame-list item in pixels.
constexpr int kFrameItemHeight = 54;

void installFrameListSubclass();
LRESULT CALLBACK frameListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_DRAWITEM for the frame list.
void drawFrameListItem(const DRAWITEMSTRUCT* item);
// LBN_SELCHANGE from the frame list: fills the Image and Comment panels.
void onFrameSelectionChanged();
void redrawSelectedFrameItem();
void redrawFrameList();
