#pragma once
// Helpers for the panel and canvas tests: documents built in memory or read from the sample GIF,
// typing into panel fields as the edit notifications report it, and the canvas's client pixels.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gif/document.h"
#include "ui/support/uiharness.h"

namespace paneltest {

// Pixel (x, y) is pixel(x, y), the picture's palette the colours, opaque, as the reader leaves it;
// with `local` the colours are also the frame's local table.
GifFrame makeFrame(uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                   const std::function<uint8_t(uint32_t, uint32_t)>& pixel, uint16_t left = 0,
                   uint16_t top = 0, bool local = true);
// One colour, no local table.
GifFrame solidFrame(uint32_t rgb, uint32_t width, uint32_t height, uint16_t left, uint16_t top);

// Replaces frames and screen; the frame list gets one item per frame, none selected.
void setDocument(std::vector<GifFrame> frames, uint16_t screenWidth, uint16_t screenHeight);
// Reads tests/data/panels-sample.gif into the document and fills the frame list.
bool readSampleGif();

// LB_SETCURSEL plus the LBN_SELCHANGE a user's click sends.
void selectFrame(int index);
// A click on a property tab (0 Global, 1 Image, 2 Comment).
void showPropertyTab(int index);

// Text as typing leaves it (EN_CHANGE follows); the notice of a lost focus; BM_CLICK.
void typeText(HWND dialog, int id, const std::string& text);
void leaveField(HWND dialog, int id);
void press(HWND dialog, int id);
std::string textOf(HWND dialog, int id);
bool checked(HWND dialog, int id);
bool enabled(HWND dialog, int id);

// The window's client pixels after its pending paint; `raise` brings the main window up first
// (leave it be while a popup is open over it).
Capture captureClient(HWND window, bool raise = true);
POINT clientToClient(HWND from, HWND to, POINT point);

// 0x00RRGGBB of a system colour.
uint32_t systemRgb(int index);
inline uint32_t rgbOf(uint32_t argb) {
    return argb & 0xFFFFFFu;
}

// One value typed into a field: the text it must show afterwards and the number it must store.
// `onLeave` fields take the value only when they lose the focus, not while typing.
struct FieldRule {
    int id;
    const char* typed;
    bool onLeave;
    const char* shown;
    int stored;
};
// Types every rule into the dialog and checks the text, stored(id) and that the document is
// marked modified.
void checkFieldRules(HWND dialog, const std::vector<FieldRule>& rules,
                     const std::function<int(int id)>& stored);

}  // namespace paneltest
