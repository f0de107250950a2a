#pragma once
// The window's dots per inch, for the pixel sizes the layout and the frame list were drawn for
// at 96. The program declares itself per-monitor aware, so Windows leaves the scaling to it.
#include <windows.h>

constexpr int kDesignDpi = 96;

// The DPI of the monitor the window is on (the system's on Windows before 10).
int dpiOf(HWND window);

// A length drawn for 96 DPI, at `dpi`.
inline int scaledForDpi(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kDesignDpi);
}
