#include "ui/support/panelsdriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "app/globals.h"
#include "resource.h"
#include "support/testpaths.h"

namespace paneltest {

GifFrame makeFrame(uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                   const std::function<uint8_t(uint32_t, uint32_t)>& pixel, uint16_t left, uint16_t top,
                   bool local) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) frame.bitmap->row(y)[x] = pixel(x, y);
    IndexedPalette palette;
    palette.count = uint32_t(std::min<size_t>(colors.size(), 256));
    for (uint32_t i = 0; i < palette.count; ++i) palette.entries[i] = 0xFF000000u | colors[i];
    frame.bitmap->setPalette(palette);
    frame.hasLocalTable = local;
    if (local)
        for (uint32_t rgb : colors) frame.localTable.entries.push_back(RgbColor::fromPacked(rgb));
    frame.left = left;
    frame.top = top;
    return frame;
}

GifFrame solidFrame(uint32_t rgb, uint32_t width, uint32_t height, uint16_t left, uint16_t top) {
    return makeFrame(
        width, height, {rgb}, [](uint32_t, uint32_t) { return uint8_t(0); }, left, top, false);
}

static void fillFrameList() {
    SendMessageA(g_frameList, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < g_document.frames.size(); ++i)
        SendMessageA(g_frameList, LB_ADDSTRING, 0, LPARAM(""));
}

void setDocument(std::vector<GifFrame> frames, uint16_t screenWidth, uint16_t screenHeight) {
    g_document.frames = std::move(frames);
    g_document.screenWidth = screenWidth;
    g_document.screenHeight = screenHeight;
    fillFrameList();
}

bool readSampleGif() {
    if (g_document.readFile(testDataPath("panels-sample.gif").c_str()) != ReadOk) return false;
    fillFrameList();
    return true;
}

void selectFrame(int index) {
    SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(IDC_FRAME_LIST, LBN_SELCHANGE), LPARAM(g_frameList));
}

void showPropertyTab(int index) {
    SendMessageA(g_propertyTabs, TCM_SETCURSEL, WPARAM(index), 0);
    NMHDR header = {g_propertyTabs, IDC_PROPERTY_TABS, UINT(TCN_SELCHANGE)};
    SendMessageA(g_mainWindow, WM_NOTIFY, IDC_PROPERTY_TABS, LPARAM(&header));
}

void typeText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

void leaveField(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), LPARAM(GetDlgItem(dialog, id)));
}

void press(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string textOf(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

Capture captureClient(HWND window, bool raise) {
    if (raise) {
        SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(g_mainWindow);
        // The compose tab control paints over the canvas when it repaints: the canvas goes last.
        RedrawWindow(g_mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    UpdateWindow(window);
    pumpMessages(250);  // Wine hands new pixels to the X server a little after drawing them
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const Capture whole = captureWindow(window);
    const int dx = origin.x - frame.left, dy = origin.y - frame.top;
    Capture inner;
    inner.width = client.right;
    inner.height = client.bottom;
    if (inner.width <= 0 || inner.height <= 0 || dx + inner.width > whole.width ||
        dy + inner.height > whole.height)
        return Capture();
    for (int y = 0; y < inner.height; ++y)
        for (int x = 0; x < inner.width; ++x) inner.pixels.push_back(whole.at(x + dx, y + dy));
    return inner;
}

POINT clientToClient(HWND from, HWND to, POINT point) {
    MapWindowPoints(from, to, &point, 1);
    return point;
}

uint32_t systemRgb(int index) {
    const COLORREF color = GetSysColor(index);
    return uint32_t(GetRValue(color)) << 16 | uint32_t(GetGValue(color)) << 8 | GetBValue(color);
}

void checkFieldRules(HWND dialog, const std::vector<FieldRule>& rules,
                     const std::function<int(int id)>& stored) {
    for (const FieldRule& rule : rules) {
        SCOPED_TRACE(testing::Message() << "field " << rule.id << " typed '" << rule.typed << "'");
        const int before = stored(rule.id);
        g_modified = false;
        typeText(dialog, rule.id, rule.typed);
        if (rule.onLeave) {
            EXPECT_EQ(stored(rule.id), before) << "typing alone stored the value";
            leaveField(dialog, rule.id);
        }
        EXPECT_EQ(textOf(dialog, rule.id), rule.shown);
        EXPECT_EQ(stored(rule.id), rule.stored);
        EXPECT_TRUE(g_modified);
    }
}

}  // namespace paneltest
