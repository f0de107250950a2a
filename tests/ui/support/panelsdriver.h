#pragma once
// Helpers for the Image panel, Comment panel and canvas tests: documents built in memory or read
// from the sample GIF, typing into panel fields, and the canvas's client pixels.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gif/document.h"
#include "ui/support/uiharness.h"

namespace paneltest {

// A frame whose pixel (x, y) is pixel(x, y), its picture's palette the given colours, opaque, as
// the reader leaves it. With `local` the colours are also the frame's local table; without, the
// frame has none (its colours would come from the global table).
GifFrame makeFrame(uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                   const std::function<uint8_t(uint32_t, uint32_t)>& pixel, uint16_t left = 0, uint16_t top = 0,
                   bool local = true);
// A frame of one colour and no local table; its picture's palette holds that colour at 0.
GifFrame solidFrame(uint32_t rgb, uint32_t width, uint32_t height, uint16_t left, uint16_t top);

// Replaces the document's frames and screen and gives the frame list one item per frame, with
// nothing selected.
void setDocument(std::vector<GifFrame> frames, uint16_t screenWidth, uint16_t screenHeight);
// Reads tests/data/panels-sample.gif into the document and fills the frame list.
bool readSampleGif();

// A user's selection in the frame list: LB_SETCURSEL, then the LBN_SELCHANGE the list sends.
void selectFrame(int index);
// A click on a property tab (0 Global, 1 Image, 2 Comment).
void showPropertyTab(int index);

// Writes into an edit as typing would end up (EN_CHANGE follows).
void typeText(HWND dialog, int id, const std::string& text);
// The notification an edit sends when it loses the focus.
void leaveField(HWND dialog, int id);
// A click on a button or check box through BM_CLICK.
void press(HWND dialog, int id);
std::string textOf(HWND dialog, int id);
bool checked(HWND dialog, int id);
bool enabled(HWND dialog, int id);

// The window's client area as it is on the screen, after its pending paint has run. With `raise`
// the main window comes to the top first; leave it where it is while a popup is open over it.
Capture captureClient(HWND window, bool raise = true);
// Where a client point of one window lands in another's client area.
POINT clientToClient(HWND from, HWND to, POINT point);

// 0x00RRGGBB of a system colour.
uint32_t systemRgb(int index);
inline uint32_t rgbOf(uint32_t argb) { return argb & 0xFFFFFFu; }

}  // namespace paneltest
