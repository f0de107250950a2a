#pragma once
// Helpers for the palette windows' tests: hand-made frames in the document, the user's pointer
// on the editor's grid and the picker's cells, and what those windows show.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gif/document.h"

// A frame with a local table of `colors`, pixel (x, y) = pixel(x, y); the picture's palette
// mirrors the table, as the reader leaves it.
GifFrame makePaletteFrame(const std::vector<RgbColor>& colors, uint32_t width, uint32_t height,
                          const std::function<uint8_t(uint32_t x, uint32_t y)>& pixel);
// Appends the frame with a frame-list item and selects it (as code does, without a selection
// notice); returns its index.
size_t addSelectedFrame(const GifFrame& frame);

// Each pixel's colour through the local table, and each pixel's index, row by row.
std::vector<RgbColor> framePicture(const GifFrame& frame);
std::vector<uint8_t> frameIndices(const GifFrame& frame);

// The editor's mouse messages, at the centre of a grid cell or at a client point.
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

// Parks the real pointer in the screen's corner, so the mouse moves the system makes while
// windows open and close do not reach the grids under test.
void parkPointer();
