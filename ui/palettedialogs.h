#pragma once
// The small modal dialogs the palette editor runs to collect an operation's parameters:
// Color Gradient, Sort palette entries, Colors and Preview. Each is owned by the editor.
#include <windows.h>

#include <cstdint>

#include "gif/indexedbitmap.h"
#include "palette/palettemodel.h"

// The Color Gradient dialog's values. Colours are COLORREFs (red in the low byte).
struct Gradient {
    uint32_t fromIndex = 0;
    uint32_t toIndex = 0;
    COLORREF fromColor = 0;
    COLORREF toColor = 0;
};

// True on OK, with the gradient in `chosen`; the dialog opens with the last gradient's colours.
bool runGradientDialog(HWND owner, Gradient* chosen);
// The chosen sort key 0 ... 8, or -1 on Cancel.
int runSortDialog(HWND owner);
// The wanted number of entries 2 ... 255, 0 when OK found no number in the field, -1 on Cancel.
int runColorsDialog(HWND owner);
// Shows the frame as it would look with the working palette applied. Neither changes.
void runPreviewDialog(HWND owner, const IndexedBitmap& frame, const PaletteEditModel& model);

INT_PTR CALLBACK gradientDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK sortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK colorsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK previewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
