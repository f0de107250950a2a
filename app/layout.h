#pragma once
#include <windows.h>

struct Application;

// The smallest size the main window takes, in pixels, both ways.
constexpr int kMainWindowMinimumSide = 200;

// Gives the window its first size: every toolbar button and panel control in view, as tall as
// the work area allows up to a comfortable height, centred on the work area.
void sizeMainWindowToFit(Application& app);
// Places every child of the main window; with a WINDOWPOS it first enforces the minimum size.
void layoutMainWindow(Application& app, WINDOWPOS* position);
// Puts the current tab's panel into the upper tab's display area and stretches the separators.
void layoutPropertyPanel(Application& app);
void redrawAnimationView(Application& app, UINT flags);
