#include "ui/support/paletteharness.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>

#include "app/globals.h"
#include "palette/paletteeditor.h"
#include "resource.h"
#include "ui/support/uiharness.h"

GifFrame makePaletteFrame(const std::vector<RgbColor>& colors, uint32_t width, uint32_t height,
                          const std::function<uint8_t(uint32_t x, uint32_t y)>& pixel) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) frame.bitmap->row(y)[x] = pixel(x, y);
    frame.hasLocalTable = true;
    frame.localTable.entries = colors;
    frame.bitmap->setPalette(frame.localTable.toGdiplusPalette());
    return frame;
}

size_t addSelectedFrame(const GifFrame& frame) {
    g_document.frames.push_back(frame);
    SendMessageA(g_frameList, LB_ADDSTRING, 0, LPARAM(""));
    SendMessageA(g_frameList, LB_SETCURSEL, g_document.frames.size() - 1, 0);
    return g_document.frames.size() - 1;
}

std::vector<RgbColor> framePicture(const GifFrame& frame) {
    std::vector<RgbColor> picture;
    for (uint8_t index : frameIndices(frame))
        picture.push_back(index < frame.localTable.entries.size() ? frame.localTable.entries[index]
                                                                  : RgbColor(1, 2, 3));
    return picture;
}

std::vector<uint8_t> frameIndices(const GifFrame& frame) {
    std::vector<uint8_t> indices;
    for (uint32_t y = 0; y < frame.height(); ++y)
        for (uint32_t x = 0; x < frame.width(); ++x) indices.push_back(frame.bitmap->at(x, y));
    return indices;
}

static void sendAtCell(HWND editor, uint32_t index, UINT message, WPARAM keys) {
    const RECT cell = paletteCellRect(index);
    SendMessageA(editor, message, keys,
                 MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
}

void moveOverEditorPoint(HWND editor, int x, int y) {
    SendMessageA(editor, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}
void moveOverEditorCell(HWND editor, uint32_t index) {
    sendAtCell(editor, index, WM_MOUSEMOVE, 0);
}

void clickEditorCell(HWND editor, uint32_t index) {
    sendAtCell(editor, index, WM_LBUTTONDOWN, MK_LBUTTON);
    sendAtCell(editor, index, WM_LBUTTONUP, 0);
}

void doubleClickEditorCell(HWND editor, uint32_t index) {
    clickEditorCell(editor, index);
    sendAtCell(editor, index, WM_LBUTTONDBLCLK, MK_LBUTTON);
    sendAtCell(editor, index, WM_LBUTTONUP, 0);
}

void clickButton(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string statusBarText(HWND editor) {
    char text[256] = {};
    SendDlgItemMessageA(editor, IDC_PALETTE_STATUSBAR, SB_GETTEXTA, 0, LPARAM(text));
    return text;
}

void moveOverPickerPoint(HWND popup, int x, int y) {
    SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}
void clickPickerPoint(HWND popup, int x, int y) {
    SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

uint32_t clientPixel(HWND window, int x, int y) {
    RECT frame;
    GetWindowRect(window, &frame);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const Capture capture = captureWindow(window);
    const int cx = origin.x - frame.left + x, cy = origin.y - frame.top + y;
    if (cx < 0 || cy < 0 || cx >= capture.width || cy >= capture.height) return 0xFFFFFFFFu;
    return capture.at(cx, cy);
}

void parkPointer() {
    SetCursorPos(0, 0);
}
