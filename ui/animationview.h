#pragma once
// The animation view (template 158): the compose canvas under the panels.
#include <windows.h>

#include <functional>
#include <vector>

#include "edit/editor.h"
#include "gif/composer.h"

// Where the view is scrolled to, in pixels of the logical screen at every zoom; a maximum is the
// screen side minus what the view shows of it, so it may be 0 or negative.
struct ViewScroll {
    int x = 0;
    int y = 0;
    int maxX = 0;
    int maxY = 0;
};

// The drag in progress; pointer positions are in logical-screen pixels.
struct DragState {
    bool dragging = false;
    int grabX = 0;
    int grabY = 0;
    int pointerX = 0;
    int pointerY = 0;
};

// What the view keeps between messages. The main window owns it and passes it at creation.
struct CanvasState {
    Editor* editor = nullptr;
    ViewScroll scroll;
    DragState drag;
    // Each drag is one step; its number keeps two drags in a row from merging into one.
    int dragNumber = 0;
    // In percent; see imaging/viewzoom.h.
    int zoom = 100;
    // See-through pixels of the screen show a checkerboard, or white.
    bool checkerboard = true;
    // Told each new zoom, for the status bar.
    std::function<void(int percent)> zoomShown;
    // The composed screen to show instead of the frames (while playing, or in the Composed view),
    // or null.
    std::function<const std::vector<velmora::Pixel>*()> composedPicture;
};

// Created with CreateDialogParam and a CanvasState* as the parameter.
INT_PTR CALLBACK animationViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows, hides and sets the scroll bars for the logical screen size.
void updateViewScrollBars(HWND view);
// Back to the screen's top left corner, as for a newly selected frame.
void scrollViewHome(HWND view);
// Zooms to `percent` (kept within the limits), keeping the picture pixel at view point `anchor`
// under it as far as the scroll range allows.
void setViewZoom(HWND view, int percent, POINT anchor = {0, 0});
// The zoom at which the whole logical screen fits the view without scroll bars.
int fitViewZoom(HWND view);
void setViewCheckerboard(HWND view, bool shown);
