// The palette-index picker popup.
#include "ui/indexpicker.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>

#include <cstdio>

#include "resource.h"

namespace {

constexpr int kMargin = 8;
constexpr int kPitch = 17;
constexpr int kCellSize = 14;
// Offsets inside a pitch that still belong to the cell: its 14 pixels and the one after.
constexpr int kCellHitSpan = 15;
constexpr int kTooltipDrop = 16;  // below the cursor, so the tip does not hide the cell
constexpr COLORREF kMarkColor = RGB(255, 0, 0);
constexpr int kMarkPenWidth = 2;
const char kClickedProperty[] = "LBUTTON";

// The tooltip of the one open picker.
struct PickerTooltip {
    HWND window = nullptr;
    bool tracking = false;
    uint32_t describedIndex = 0;
};
PickerTooltip s_tooltip;

IndexPickerRequest* requestOf(HWND popup) {
    return reinterpret_cast<IndexPickerRequest*>(GetWindowLongPtrA(popup, GWLP_USERDATA));
}

uint32_t entryCount(const IndexPickerRequest* request) {
    if (!request || !request->table) return 0;
    const size_t count = request->table->entries.size();
    return count < 256 ? uint32_t(count) : 256u;
}

TTTOOLINFOA toolOf(HWND popup) {
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = popup;
    tool.uId = reinterpret_cast<UINT_PTR>(popup);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    return tool;
}

void trackTooltip(HWND popup, bool on) {
    if (!s_tooltip.window) return;
    TTTOOLINFOA tool = toolOf(popup);
    SendMessageA(s_tooltip.window, TTM_TRACKACTIVATE, on, reinterpret_cast<LPARAM>(&tool));
}

void hideTooltip(HWND popup) {
    trackTooltip(popup, false);
    s_tooltip.tracking = false;
}

// ---- Messages --------------------------------------------------------------------------------

void onInitDialog(HWND popup, IndexPickerRequest* request) {
    if (!request) return;
    SetWindowLongPtrA(popup, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(request));
    const SIZE size = pickerWindowSize(entryCount(request));
    RECT anchor = {};
    if (request->anchor) GetWindowRect(request->anchor, &anchor);
    SetWindowPos(popup, nullptr, anchor.left, anchor.bottom, size.cx, size.cy, SWP_NOZORDER | SWP_SHOWWINDOW);

    s_tooltip = PickerTooltip();
    s_tooltip.window =
        CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TTTOOLINFOA tool = toolOf(popup);
    if (!s_tooltip.window ||
        !SendMessageA(s_tooltip.window, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
        MessageBoxA(GetWindow(popup, GW_OWNER), "Couldn't create the ToolTip control.", "Error", MB_OK);
    }
}

void drawHoverFrame(HDC dc, RECT cell) {
    InflateRect(&cell, -1, -1);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
    InflateRect(&cell, 1, 1);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
    InflateRect(&cell, 1, 1);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
}

void drawMarkFrame(HDC dc, const RECT& cell) {
    HPEN pen = CreatePen(PS_SOLID, kMarkPenWidth, kMarkColor);
    HGDIOBJ old = SelectObject(dc, pen);
    Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void onPaint(HWND popup) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(popup, &paint);
    const IndexPickerRequest* request = requestOf(popup);
    const uint32_t count = entryCount(request);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (uint32_t i = 0; i < count; ++i) {
        RECT cell = pickerCellRect(i);
        HBRUSH brush = CreateSolidBrush(request->table->entries[i].toColorRef());
        FillRect(dc, &cell, brush);
        DeleteObject(brush);
        if (request->hoverIndex >= 0 && i == uint32_t(request->hoverIndex)) {
            drawHoverFrame(dc, cell);
        } else if (i == request->markedIndex) {
            drawMarkFrame(dc, cell);
        } else {
            DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_RECT);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    EndPaint(popup, &paint);
}

void redrawCell(HWND popup, uint32_t index) {
    RECT area = pickerCellRect(index);
    InflateRect(&area, 2, 2);  // the hover frame reaches one pixel outside the cell
    RedrawWindow(popup, &area, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void onMouseMove(HWND popup, int x, int y) {
    IndexPickerRequest* request = requestOf(popup);
    if (!request) return;
    // Notice the pointer leaving the popup, so the tip does not stay behind.
    TRACKMOUSEEVENT leave = {sizeof(leave), TME_LEAVE, popup, 0};
    TrackMouseEvent(&leave);

    const int index = pickerCellAt(x, y, entryCount(request));
    if (index < 0) {
        hideTooltip(popup);
        return;
    }
    const int previous = request->hoverIndex;
    request->hoverIndex = index;
    if (previous >= 0) {
        redrawCell(popup, uint32_t(previous));
        redrawCell(popup, uint32_t(index));
    } else {
        RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
    s_tooltip.describedIndex = uint32_t(index);
    if (!s_tooltip.tracking) {
        trackTooltip(popup, true);
        s_tooltip.tracking = true;
    } else if (previous != index) {
        // Switching it off and on makes it ask for the new cell's text.
        trackTooltip(popup, false);
        trackTooltip(popup, true);
    }
    POINT cursor;
    GetCursorPos(&cursor);
    if (s_tooltip.window) {
        SendMessageA(s_tooltip.window, TTM_TRACKPOSITION, 0, MAKELPARAM(cursor.x, cursor.y + kTooltipDrop));
    }
}

void onGetDispInfo(HWND popup, NMTTDISPINFOA* info) {
    const IndexPickerRequest* request = requestOf(popup);
    const uint32_t index = s_tooltip.describedIndex;
    if (index >= entryCount(request)) return;
    info->hinst = nullptr;
    describePickerCell(index, request->table->entries[index], info->szText, sizeof(info->szText));
    info->lpszText = info->szText;
}

void onKeyDown(HWND popup, WPARAM key) {
    IndexPickerRequest* request = requestOf(popup);
    const uint32_t count = entryCount(request);
    if (key != VK_RIGHT || count == 0) return;
    request->hoverIndex = int32_t((uint32_t(request->hoverIndex + 1)) % count);
    RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void onLeftButtonDown(HWND popup) {
    SetPropA(popup, kClickedProperty, reinterpret_cast<HANDLE>(1));
    const IndexPickerRequest* request = requestOf(popup);
    EndDialog(popup, request ? request->hoverIndex : -1);
}

void onNcActivate(HWND popup, WPARAM active) {
    // The click that picks an index also takes the activation away; it must not cancel.
    if (!active && !GetPropA(popup, kClickedProperty)) EndDialog(popup, -1);
}

}  // namespace

RECT pickerCellRect(uint32_t index) {
    const int left = kMargin + kPitch * int(index % kPickerColumns);
    const int top = kMargin + kPitch * int(index / kPickerColumns);
    return RECT{left, top, left + kCellSize, top + kCellSize};
}

SIZE pickerWindowSize(uint32_t count) {
    const uint32_t columns = count < uint32_t(kPickerColumns) ? count : uint32_t(kPickerColumns);
    const uint32_t rows = (count + kPickerColumns - 1) / kPickerColumns;
    return SIZE{LONG(kPitch * columns + kPitch), LONG(kPitch * rows + kPitch)};
}

int pickerCellAt(int x, int y, uint32_t count) {
    const int dx = x - kMargin;
    const int dy = y - kMargin;
    if (dx < 0 || dy < 0 || count == 0) return -1;
    const int column = dx / kPitch;
    const int row = dy / kPitch;
    const int lastColumn = count <= uint32_t(kPickerColumns) ? int(count) - 1 : kPickerColumns - 1;
    if (column > lastColumn || row > int(count / kPickerColumns)) return -1;
    if (dx - kPitch * column >= kCellHitSpan || dy - kPitch * row >= kCellHitSpan) return -1;
    const int index = kPickerColumns * row + column;
    return uint32_t(index) < count ? index : -1;
}

void describePickerCell(uint32_t index, RgbColor color, char* text, size_t size) {
    snprintf(text, size, "Index=%u R:%u G:%u B:%u", index, unsigned(color.red), unsigned(color.green),
             unsigned(color.blue));
}

INT_PTR CALLBACK indexPickerProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog(popup, reinterpret_cast<IndexPickerRequest*>(lParam));
            return TRUE;
        case WM_PAINT:
            onPaint(popup);
            return TRUE;
        case WM_MOUSEMOVE:
            onMouseMove(popup, short(LOWORD(lParam)), short(HIWORD(lParam)));
            return TRUE;
        case WM_MOUSELEAVE:
            hideTooltip(popup);
            return TRUE;
        case WM_NOTIFY: {
            NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == s_tooltip.window && header->code == TTN_GETDISPINFOA) {
                onGetDispInfo(popup, reinterpret_cast<NMTTDISPINFOA*>(lParam));
                return TRUE;
            }
            return FALSE;
        }
        case WM_GETDLGCODE:
            // The popup has no controls: let the right arrow reach it instead of the dialog manager.
            SetWindowLongPtrA(popup, DWLP_MSGRESULT, DLGC_WANTARROWS);
            return TRUE;
        case WM_KEYDOWN:
            onKeyDown(popup, wParam);
            return TRUE;
        case WM_LBUTTONDOWN:
            onLeftButtonDown(popup);
            return TRUE;
        case WM_COMMAND:
            // Esc: the same as a click elsewhere.
            if (LOWORD(wParam) == IDCANCEL) EndDialog(popup, -1);
            return TRUE;
        case WM_NCACTIVATE:
            onNcActivate(popup, wParam);
            return FALSE;
        case WM_DESTROY:
            RemovePropA(popup, kClickedProperty);
            return FALSE;
        default:
            return FALSE;
    }
}

int pickPaletteIndex(const ColorTable* table, HWND anchor, uint32_t markedIndex) {
    IndexPickerRequest request;
    request.table = table;
    request.anchor = anchor;
    request.hoverIndex = -1;
    request.markedIndex = markedIndex;
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_INDEX_PICKER),
                        GetAncestor(anchor, GA_ROOT), indexPickerProc, reinterpret_cast<LPARAM>(&request));
    if (s_tooltip.window) DestroyWindow(s_tooltip.window);
    s_tooltip = PickerTooltip();
    return result >= 0 ? int(result) : -1;
}
