#include "panels/globalpanel.h"

#include <commctrl.h>

#include "app/framelist.h"
#include "app/globals.h"
#include "app/layout.h"
#include "resource.h"

namespace {

constexpr UINT kMaxScreenSide = 2000;
constexpr UINT kMaxLoopCount = 32767;
constexpr UINT kMaxColorIndex = 255;
// Inner margins of the background swatch inside its raised edge.
constexpr int kSwatchInset = 6;
constexpr int kSwatchExtraRightInset = 8;

void setRange(HWND panel, int upDownId, int low, int high) {
    SendDlgItemMessageA(panel, upDownId, UDM_SETRANGE, 0, MAKELPARAM(high, low));
}

void onInitDialog(HWND panel) {
    setRange(panel, IDC_GLOBAL_WIDTH_SPIN, 1, kMaxScreenSide);
    setRange(panel, IDC_GLOBAL_HEIGHT_SPIN, 1, kMaxScreenSide);
    setRange(panel, IDC_GLOBAL_LOOP_SPIN, 1, kMaxLoopCount);
    setRange(panel, IDC_GLOBAL_BACKGROUND_SPIN, 0, kMaxColorIndex);
    SetDlgItemInt(panel, IDC_GLOBAL_WIDTH, 1, FALSE);
    SetDlgItemInt(panel, IDC_GLOBAL_HEIGHT, 1, FALSE);
    SetDlgItemInt(panel, IDC_GLOBAL_LOOP, 1, FALSE);
}

// Reads an edit as an unsigned number; `valid` is false for empty or non-numeric text.
UINT readNumber(HWND panel, int id, bool* valid) {
    BOOL translated = FALSE;
    const UINT value = GetDlgItemInt(panel, id, &translated, FALSE);
    *valid = translated != FALSE;
    return value;
}

void show(HWND panel, int id, UINT value) { SetDlgItemInt(panel, id, value, FALSE); }

// Width and height: an empty or zero field means the smallest screen, and the screen never
// passes 2000. Writing the corrected value back raises EN_CHANGE again, which then finds it valid.
void onScreenSideEdited(HWND panel, int id, WORD notification) {
    bool valid = false;
    UINT value = readNumber(panel, id, &valid);
    if (!valid || value == 0) {
        value = 1;
        show(panel, id, value);
    } else if (value > kMaxScreenSide) {
        value = kMaxScreenSide;
        show(panel, id, value);
    }
    if (id == IDC_GLOBAL_WIDTH) {
        g_document.screenWidth = uint16_t(value);
    } else {
        g_document.screenHeight = uint16_t(value);
    }
    g_modified = true;
    redrawAnimationView(notification == EN_CHANGE ? (RDW_INVALIDATE | RDW_ERASE) : RDW_INVALIDATE);
}

// Only on focus loss, so typing "20" does not pass through a stored 2. An empty field is taken
// as 0 repeats and left so; a typed 0 means one play.
void onLoopCountEdited(HWND panel) {
    bool valid = false;
    UINT value = readNumber(panel, IDC_GLOBAL_LOOP, &valid);
    if (!valid) {
        value = 0;
        show(panel, IDC_GLOBAL_LOOP, value);
    } else if (value > kMaxLoopCount) {
        value = kMaxLoopCount;
        show(panel, IDC_GLOBAL_LOOP, value);
    } else if (value == 0) {
        value = 1;
        show(panel, IDC_GLOBAL_LOOP, value);
    }
    g_document.loopCount = uint16_t(value);
    g_modified = true;
}

void onBackgroundIndexEdited(HWND panel) {
    bool valid = false;
    UINT value = readNumber(panel, IDC_GLOBAL_BACKGROUND, &valid);
    if (!valid) {
        value = 0;
        show(panel, IDC_GLOBAL_BACKGROUND, value);
    } else if (value > kMaxColorIndex) {
        value = kMaxColorIndex;
        show(panel, IDC_GLOBAL_BACKGROUND, value);
    }
    g_document.backgroundIndex = uint8_t(value);
    g_modified = true;
}

void onInfiniteClicked(HWND panel) {
    const bool forever = IsDlgButtonChecked(panel, IDC_GLOBAL_INFINITE) == BST_CHECKED;
    g_document.loopForever = forever;
    EnableWindow(GetDlgItem(panel, IDC_GLOBAL_LOOP), !forever);
    EnableWindow(GetDlgItem(panel, IDC_GLOBAL_LOOP_SPIN), !forever);
    g_modified = true;
}

// The up-downs stay enabled on purpose: only typing is blocked while the size follows the frames.
void onAutoSizeClicked(HWND panel) {
    const bool automatic = IsDlgButtonChecked(panel, IDC_GLOBAL_AUTO_SIZE) == BST_CHECKED;
    g_document.autoScreenSize = automatic;
    EnableWindow(GetDlgItem(panel, IDC_GLOBAL_WIDTH), !automatic);
    EnableWindow(GetDlgItem(panel, IDC_GLOBAL_HEIGHT), !automatic);
    if (automatic) {
        fitScreenToFrames();
        redrawAnimationView(RDW_INVALIDATE | RDW_ERASE);
        RedrawWindow(g_frameList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        updateViewScrollBars();
    }
    g_modified = true;
}

void onCommand(HWND panel, WORD id, WORD notification) {
    switch (id) {
    case IDC_GLOBAL_WIDTH:
    case IDC_GLOBAL_HEIGHT:
        if (notification == EN_CHANGE || notification == EN_KILLFOCUS) onScreenSideEdited(panel, id, notification);
        break;
    case IDC_GLOBAL_LOOP:
        if (notification == EN_KILLFOCUS) onLoopCountEdited(panel);
        break;
    case IDC_GLOBAL_BACKGROUND:
        if (notification == EN_KILLFOCUS) onBackgroundIndexEdited(panel);
        break;
    case IDC_GLOBAL_INFINITE:
        if (notification == BN_CLICKED) onInfiniteClicked(panel);
        break;
    case IDC_GLOBAL_AUTO_SIZE:
        if (notification == BN_CLICKED) onAutoSizeClicked(panel);
        break;
    default:
        break;
    }
}

// The background colour swatch: hatched, since the background colour is never shown as such.
void drawBackgroundSwatch(const DRAWITEMSTRUCT* item) {
    RECT edge = item->rcItem;
    DrawEdge(item->hDC, &edge, EDGE_RAISED, BF_RECT);
    HBRUSH hatch = CreateHatchBrush(HS_FDIAGONAL, RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(item->hDC, hatch);
    HGDIOBJ oldPen = SelectObject(item->hDC, GetStockObject(BLACK_PEN));
    Rectangle(item->hDC, item->rcItem.left + kSwatchInset, item->rcItem.top + kSwatchInset,
              item->rcItem.right - kSwatchInset - kSwatchExtraRightInset, item->rcItem.bottom - kSwatchInset);
    SelectObject(item->hDC, oldPen);
    SelectObject(item->hDC, oldBrush);
    DeleteObject(hatch);
}

}  // namespace

void fitScreenToFrames() {
    if (g_document.frames.empty()) return;
    uint32_t width = 0;
    uint32_t height = 0;
    for (const GifFrame& frame : g_document.frames) {
        const uint32_t right = uint32_t(frame.left) + frame.width();
        const uint32_t bottom = uint32_t(frame.top) + frame.height();
        if (right > width) width = right;
        if (bottom > height) height = bottom;
    }
    if (width > kMaxScreenSide) width = kMaxScreenSide;
    if (height > kMaxScreenSide) height = kMaxScreenSide;
    g_document.screenWidth = uint16_t(width);
    g_document.screenHeight = uint16_t(height);
    show(g_globalPanel, IDC_GLOBAL_WIDTH, width);
    show(g_globalPanel, IDC_GLOBAL_HEIGHT, height);
}

INT_PTR CALLBACK globalPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_DRAWITEM:
        if (wParam == IDC_GLOBAL_BACKGROUND_SWATCH) {
            drawBackgroundSwatch(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}
