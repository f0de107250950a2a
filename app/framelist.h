#pragma once
#include <windows.h>

struct Application;

// Height of one frame-list item in pixels.
constexpr int kFrameItemHeight = 54;

void installFrameListSubclass(Application& app);
LRESULT CALLBACK frameListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_DRAWITEM for the frame list.
void drawFrameListItem(Application& app, const DRAWITEMSTRUCT* item);
// LBN_SELCHANGE from the frame list: fills the Image and Comment panels.
void onFrameSelectionChanged(Application& app);
void redrawFrameList(Application& app);
