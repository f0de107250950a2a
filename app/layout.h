#pragma once
#include <windows.h>

// The smallest size the main window takes, in pixels, both ways.
constexpr int kMainWindowMinimumSide = 200;

// Places every child of the main window; with a WINDOWPOS it first enforces the minimum size.
void layoutMainWindow(WINDOWPOS* position);
// Puts the current tab's panel into the upper tab's display area and stretches the separators.
void layoutPropertyPanel();
// Shows, hides and sets the animation view's scroll bars for the logical screen size.
void updateViewScrollBars();
void redrawAnimationView(UINT flags);
