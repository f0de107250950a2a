#pragma once
#include <windows.h>

struct Application;

// The smallest size the main window takes, in pixels, both ways.
constexpr int kMainWindowMinimumSide = 200;

// Places every child of the main window; with a WINDOWPOS it first enforces the minimum size.
void layoutMainWindow(Application& app, WINDOWPOS* position);
// Puts the current tab's panel into the upper tab's display area and stretches the separators.
void layoutPropertyPanel(Application& app);
void redrawAnimationView(Application& app, UINT flags);
