#pragma once
// The palette-index picker: a borderless popup that drops down under a control, shows a colour
// table as a grid of cells and returns the index the user clicks.
#include <windows.h>

#include <cstdint>

#include "gif/document.h"

struct IndexPickerRequest {
    const ColorTable* table = nullptr;  // not owned
    HWND anchor = nullptr;              // the popup opens under this control
    int32_t hoverIndex = -1;            // the cell last under the pointer
    uint32_t markedIndex = 0;           // the current value, framed in red
};

// Runs the popup modally, owned by the anchor's top-level window. Returns the picked index, or -1 when the
// popup lost activation (a click elsewhere) or was clicked before the pointer touched a cell.
int pickPaletteIndex(const ColorTable* table, HWND anchor, uint32_t markedIndex);

INT_PTR CALLBACK indexPickerProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Geometry, in client pixels of the popup --------------------------------------------------

constexpr int kPickerColumns = 16;

// The 14 x 14 cell of entry `index` (right and bottom exclusive).
RECT pickerCellRect(uint32_t index);
// Window size of the popup for a table of `count` entries.
SIZE pickerWindowSize(uint32_t count);
// The entry under a client point of a popup for `count` entries, or -1 (margin, gap, no entry).
int pickerCellAt(int x, int y, uint32_t count);
// "Index=12 R:255 G:0 B:0".
void describePickerCell(uint32_t index, RgbColor color, char* text, size_t size);
