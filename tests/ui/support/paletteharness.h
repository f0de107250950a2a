#pragma once
// Helpers for the palette windows' tests: hand-made frames put into the document, clicks and
// pointer moves on the editor's grid and the picker's cells, and reading what they show.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gif/document.h"

// A frame with a local table of `colors` whose pixel (x, y) is pixel(x, y); its picture's palette
// mirrors the table, as the reader leaves it.
GifFrame makePaletteFrame(const std::vector<RgbColor>& colors, uint32_t width, uint32_t height,
                          const std::function<uint8_t(uint32_t x, uint32_t y)>& pixel);
// Appends the frame to g_document with a frame-list item, and selects that item (as code does,
// without a selection notice). Returns the frame's index.
size_t addSelectedFrame(const GifFrame& frame);

// The colour of every pixel of a frame, looked up in its local table, row by row.
std::vector<RgbColor> framePicture(const GifFrame& frame);
// The pixel indices of a frame, row by row.
std::vector<uint8_t> frameIndices(const GifFrame& frame);

// Messages a user's mouse sends the editor, at the centre of a grid cell or at a client point.
void moveOverEditorPoint(HWND editor, int x, int y);
void moveOverEditorCell(HWND editor, uint32_t index);
void clickEditorCell(HWND editor, uint32_t index);
void doubleClickEditorCell(HWND editor, uint32_t index);
void clickButton(HWND dialog, int id);
std::string statusBarText(HWND editor);

// Pointer moves and a click on the picker popup, in its client pixels.
void moveOverPickerPoint(HWND popup, int x, int y);
void clickPickerPoint(HWND popup, int x, int y);

// The screen colour (0xRRGGBB) at a client point of a window.
uint32_t clientPixel(HWND window, int x, int y);

// The edit fields of the system colour chooser.
constexpr int kChooserRed = 706;
constexpr int kChooserGreen = 707;
constexpr int kChooserBlue = 708;

// Moves the real pointer to the screen's corner, so that the mouse moves the system generates
// while windows open and close do not reach the grids under test.
void parkPointer();
