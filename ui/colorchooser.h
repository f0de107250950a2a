#pragma once
// The system colour chooser, shared by Replace Color and the gradient swatches.
#include <windows.h>

// Opens the chooser on `color` (a COLORREF). On OK stores the choice in `color` and returns
// true; on Cancel returns false and leaves `color` as it was.
bool chooseColor(HWND owner, COLORREF& color);
