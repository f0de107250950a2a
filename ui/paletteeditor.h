#pragma once
// "Edit Palette": the modal window in which the user edits one frame's local colour table through
// a PaletteEditModel, and the opener the Image panel calls around it.
#include <windows.h>

#include <cstdint>
#include <string>

#include "edit/editor.h"
#include "gif/document.h"
#include "palette/palettemodel.h"

// Counts the frame's colour use, builds the working copy, runs the editor owned by `owner` and,
// on OK, remaps the frame's pixels and rewrites its table. Returns whether the frame changed.
// Does nothing (false) for a frame without a local table or picture.
bool editFramePalette(HWND owner, GifFrame& frame);
// The same for the editor's current frame, applied as one "Palette" edit.
bool editCurrentFramePalette(HWND owner, Editor& editor);
// The global table with its use over every frame that draws from it; OK remaps all those frames
// at once, as one "Global Palette" edit. False, doing nothing, without a global table.
bool editGlobalPalette(HWND owner, Editor& editor);

INT_PTR CALLBACK paletteEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ---- The grid, in client pixels of the editor ---------------------------------------------------

// The sunken frame around the 16 x 16 cells.
constexpr RECT kPaletteGridFrame = {10, 10, 276, 276};
// Entries beyond this have no cell.
constexpr uint32_t kPaletteGridCells = 256;

// The 14 x 14 square of entry `index` (right and bottom exclusive).
RECT paletteCellRect(uint32_t index);
// The cell with the margin its selection frame paints into.
RECT paletteCellRedrawArea(uint32_t index);
// The cell under a client point, or -1 outside the cells and in the gaps between them. The result
// may lie beyond the palette's last entry.
int paletteCellAt(int x, int y);
// Paints the frame, the cells (crossed out when no pixel uses them) and the selection frame.
void paintPaletteGrid(HDC dc, const PaletteEditModel* model, uint32_t selected);
// The status-bar text for an entry: "Index:5  R:255  G:128  B:0  HTML:#FF8000  12.3%".
std::string describePaletteEntry(const PaletteEditEntry& entry, uint32_t index);
