#include "panels/imagepanel.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "app/framelist.h"
#include "app/globals.h"
#include "app/layout.h"
#include "palette/indexpicker.h"
#include "palette/paletteeditor.h"
#include "panels/globalpanel.h"
#include "resource.h"

namespace {

constexpr UINT kMaxOffset = 32767;
constexpr UINT kMaxDelay = 32767;
constexpr int kMaxColorIndex = 255;
constexpr int kMaxTitleLength = 255;

// List order is the DisposalMethod value.
constexpr const char* kDisposalTexts[] = {
    "Web Browser Decides",
    "Do Not Remove",
    "To Background Color",
    "To Previous State",
};

// Swatch geometry, in pixels of the owner-drawn button.
constexpr int kSwatchInset = 6;
constexpr int kSwatchArrowRoom = 15;
constexpr int kArrowWidth = 16;
constexpr int kArrowRightGap = 3;
constexpr int kArrowFontHeight = 12;

// True while the index picker runs, so the swatch draws pressed.
bool s_pickerOpen = false;
// Set while the panel writes the title edit itself, so that write is not taken as typing.
bool s_showingTitle = false;

int selectedIndex() { return int(SendMessageA(g_frameList, LB_GETCURSEL, 0, 0)); }

GifFrame* selectedFrame() {
    const int index = selectedIndex();
    if (index < 0 || size_t(index) >= g_document.frames.size()) return nullptr;
    return &g_document.frames[size_t(index)];
}

void setRange(HWND panel, int upDownId, int low, int high) {
    SendDlgItemMessageA(panel, upDownId, UDM_SETRANGE, 0, MAKELPARAM(high, low));
}

// Reads an unsigned number from an edit, corrects it to 0..maximum and shows the correction.
// Digits too many for GetDlgItemInt are still a number, just a large one.
UINT readCorrected(HWND panel, int editId, UINT maximum) {
    BOOL translated = FALSE;
    UINT value = GetDlgItemInt(panel, editId, &translated, FALSE);
    bool corrected = false;
    if (!translated) {
        char text[32] = {};
        GetDlgItemTextA(panel, editId, text, sizeof(text));
        const bool allDigits = text[0] != '\0' && std::all_of(text, text + strlen(text), [](char c) {
            return c >= '0' && c <= '9';
        });
        value = allDigits ? maximum : 0;
        corrected = true;
    } else if (value > maximum) {
        value = maximum;
        corrected = true;
    }
    // Only a corrected value is written back: every write raises EN_CHANGE again.
    if (corrected) SetDlgItemInt(panel, editId, value, FALSE);
    return value;
}

bool transparentChecked(HWND panel) { return IsDlgButtonChecked(panel, IDC_IMAGE_TRANSPARENT) == BST_CHECKED; }

void redrawSwatch(HWND panel, UINT flags) {
    RedrawWindow(GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_SWATCH), nullptr, nullptr, flags);
}

// The bitmap's palette mirrors the local table; the transparent entry gets alpha 0 so the
// canvas shows what lies below it.
void rebuildPalette(GifFrame& frame) {
    if (!frame.bitmap) return;
    IndexedPalette palette;
    const size_t count = std::min<size_t>(frame.localTable.entries.size(), 256);
    palette.count = uint32_t(count);
    for (size_t i = 0; i < count; ++i) palette.entries[i] = frame.localTable.entries[i].toArgb();
    if (frame.transparent) {
        if (frame.transparentIndex < count) palette.entries[frame.transparentIndex] &= 0x00FFFFFFu;
        palette.flags = kPaletteFlagsHasAlpha;
    }
    frame.bitmap->setPalette(palette);
}

void showTitle(HWND panel, const GifFrame& frame) {
    char shown[kMaxTitleLength + 1] = {};
    GetDlgItemTextA(panel, IDC_IMAGE_TITLE, shown, sizeof(shown));
    if (frame.title == shown) return;
    s_showingTitle = true;
    SetDlgItemTextA(panel, IDC_IMAGE_TITLE, frame.title.c_str());
    s_showingTitle = false;
}

void onInitDialog(HWND panel) {
    setRange(panel, IDC_IMAGE_LEFT_SPIN, 0, kMaxOffset);
    setRange(panel, IDC_IMAGE_TOP_SPIN, 0, kMaxOffset);
    setRange(panel, IDC_IMAGE_TRANSPARENT_SPIN, 0, kMaxColorIndex);
    setRange(panel, IDC_IMAGE_DELAY_SPIN, 0, kMaxDelay);
    for (const char* text : kDisposalTexts) {
        SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(panel, IDC_IMAGE_TITLE, EM_LIMITTEXT, kMaxTitleLength, 0);
}

void onOffsetChanged(HWND panel, int editId) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    const uint16_t value = uint16_t(readCorrected(panel, editId, kMaxOffset));
    // The correction above may have run this handler again; the frame is still the same one.
    if (editId == IDC_IMAGE_LEFT) {
        frame->left = value;
        // Every newly selected frame passes through here first, so the title follows the
        // selection without a hook of its own.
        showTitle(panel, *frame);
    } else {
        frame->top = value;
    }
    if (IsDlgButtonChecked(g_globalPanel, IDC_GLOBAL_AUTO_SIZE) == BST_CHECKED) fitScreenToFrames();
    redrawAnimationView(RDW_INVALIDATE);
    redrawFrameList();
    g_modified = true;
}

void onDelayDone(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    frame->delay = uint16_t(readCorrected(panel, IDC_IMAGE_DELAY, kMaxDelay));
    g_modified = true;
}

void onTransparentIndexEdited(HWND panel, WORD notification) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    if (frame->hasLocalTable && frame->transparent && transparentChecked(panel)) {
        const size_t entries = frame->localTable.entries.size();
        const UINT last = entries == 0 ? 0 : UINT(std::min<size_t>(entries, 256) - 1);
        // Read the value again after the correction: a corrected write re-enters with it.
        const UINT value = readCorrected(panel, IDC_IMAGE_TRANSPARENT_INDEX, last);
        frame = selectedFrame();
        if (!frame) return;
        frame->transparentIndex = uint8_t(value);
        EnableWindow(GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_INDEX), TRUE);
        rebuildPalette(*frame);
        redrawSwatch(panel, notification == EN_CHANGE ? RDW_INVALIDATE | RDW_ERASE : RDW_INVALIDATE);
        g_modified = true;
    }
    redrawAnimationView(RDW_INVALIDATE);
}

void onTransparentClicked(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    frame->transparent = transparentChecked(panel);
    if (!frame->hasLocalTable) return;
    HWND indexEdit = GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_INDEX);
    HWND swatch = GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_SWATCH);
    if (frame->transparent) {
        SetDlgItemInt(panel, IDC_IMAGE_TRANSPARENT_INDEX, frame->transparentIndex, FALSE);
    } else {
        frame->transparentIndex = 0;
        SetDlgItemTextA(panel, IDC_IMAGE_TRANSPARENT_INDEX, "");
    }
    frame = selectedFrame();
    if (!frame) return;
    EnableWindow(indexEdit, frame->transparent);
    EnableWindow(swatch, frame->transparent);
    rebuildPalette(*frame);
    redrawSwatch(panel, RDW_INVALIDATE);
    redrawAnimationView(RDW_INVALIDATE);
    redrawSelectedFrameItem();
    g_modified = true;
}

void onDisposalChanged(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    const LRESULT position = SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_GETCURSEL, 0, 0);
    if (position >= 0 && position < LRESULT(std::size(kDisposalTexts))) frame->disposal = uint32_t(position);
    g_modified = true;
}

void onInterlacedClicked(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    frame->interlaced = IsDlgButtonChecked(panel, IDC_IMAGE_INTERLACED) == BST_CHECKED;
    g_modified = true;
}

// The title is not part of the GIF file; it lives with the frame for this session only.
void onTitleChanged(HWND panel) {
    if (s_showingTitle) return;
    GifFrame* frame = selectedFrame();
    if (!frame) return;
    char text[kMaxTitleLength + 1] = {};
    GetDlgItemTextA(panel, IDC_IMAGE_TITLE, text, sizeof(text));
    frame->title = text;
}

void onSwatchClicked(HWND panel) {
    GifFrame* frame = selectedFrame();
    if (!frame || !frame->hasLocalTable) return;
    HWND swatch = GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_SWATCH);
    s_pickerOpen = true;
    redrawSwatch(panel, RDW_INVALIDATE | RDW_ERASE);
    const int picked = pickPaletteIndex(&frame->localTable, swatch, frame->transparentIndex);
    s_pickerOpen = false;
    if (picked >= 0) {
        SetDlgItemInt(panel, IDC_IMAGE_TRANSPARENT_INDEX, UINT(picked), FALSE);
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_TRANSPARENT_INDEX, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_INDEX)));
        // The picker only offers entries of the table, so the index is already in range.
        if (GifFrame* after = selectedFrame()) after->transparentIndex = uint8_t(picked);
    }
    redrawSwatch(panel, RDW_INVALIDATE);
}

void onLocalPaletteClicked() {
    GifFrame* frame = selectedFrame();
    if (!frame || !frame->hasLocalTable) return;
    if (!editFramePalette(g_mainWindow, *frame)) return;
    // The editor writes every entry opaque; a transparent frame keeps its see-through colour.
    if (GifFrame* after = selectedFrame(); after && after->transparent) rebuildPalette(*after);
    redrawSwatch(g_imagePanel, RDW_INVALIDATE);
    redrawAnimationView(RDW_INVALIDATE);
}

void onCommand(HWND panel, WORD id, WORD notification) {
    switch (id) {
    case IDC_IMAGE_LEFT:
    case IDC_IMAGE_TOP:
        if (notification == EN_CHANGE) onOffsetChanged(panel, id);
        break;
    case IDC_IMAGE_DELAY:
        if (notification == EN_KILLFOCUS) onDelayDone(panel);
        break;
    case IDC_IMAGE_TRANSPARENT_INDEX:
        if (notification == EN_CHANGE || notification == EN_KILLFOCUS) onTransparentIndexEdited(panel, notification);
        break;
    case IDC_IMAGE_TRANSPARENT:
        if (notification == BN_CLICKED) onTransparentClicked(panel);
        break;
    case IDC_IMAGE_DISPOSAL:
        if (notification == CBN_SELCHANGE) onDisposalChanged(panel);
        break;
    case IDC_IMAGE_INTERLACED:
        if (notification == BN_CLICKED) onInterlacedClicked(panel);
        break;
    case IDC_IMAGE_TITLE:
        if (notification == EN_CHANGE) onTitleChanged(panel);
        break;
    case IDC_IMAGE_TRANSPARENT_SWATCH:
        if (notification == BN_CLICKED) onSwatchClicked(panel);
        break;
    case IDC_IMAGE_LOCAL_PALETTE:
        if (notification == BN_CLICKED) onLocalPaletteClicked();
        break;
    default:
        break;
    }
}

// ---- Swatch ------------------------------------------------------------------------------------

HBRUSH swatchBrush() {
    const GifFrame* frame = selectedFrame();
    if (frame && frame->transparent && frame->hasLocalTable && frame->transparentIndex < frame->localTable.entries.size()) {
        return CreateSolidBrush(frame->localTable.entries[frame->transparentIndex].toColorRef());
    }
    // No selection, no table or no transparency: nothing to show but the hatch.
    return CreateHatchBrush(HS_FDIAGONAL, RGB(0, 0, 0));
}

void drawPressedBorder(HDC dc, const RECT& item) {
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HPEN darkPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, darkPen);
    Rectangle(dc, item.left, item.top, item.right, item.bottom);
    HPEN shadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    SelectObject(dc, shadowPen);
    Rectangle(dc, item.left + 1, item.top + 1, item.right - 1, item.bottom - 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(shadowPen);
    DeleteObject(darkPen);
}

void drawArrow(HDC dc, const RECT& item, const RECT& colorRect, int shift, bool enabled) {
    HFONT font = CreateFontA(kArrowFontHeight, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Marlett");
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT arrow;
    arrow.right = item.right - kArrowRightGap + shift;
    arrow.left = arrow.right - kArrowWidth;
    arrow.top = colorRect.top;
    arrow.bottom = colorRect.bottom;
    DrawTextA(dc, "6", 1, &arrow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

void drawSwatch(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    RECT whole = item->rcItem;
    FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
    const int shift = s_pickerOpen ? 1 : 0;
    if (s_pickerOpen) {
        drawPressedBorder(dc, whole);
    } else {
        DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT);
    }
    RECT color = {whole.left + kSwatchInset + shift, whole.top + kSwatchInset + shift,
                  whole.right - kSwatchInset - kSwatchArrowRoom + shift, whole.bottom - kSwatchInset + shift};

    HBRUSH brush = swatchBrush();
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    // Hatch lines take the text colour and gaps the background colour.
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    Rectangle(dc, color.left, color.top, color.right, color.bottom);
    SetBkColor(dc, oldBack);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);

    drawArrow(dc, whole, color, shift, (item->itemState & ODS_DISABLED) == 0);
}

}  // namespace

INT_PTR CALLBACK imagePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_DRAWITEM:
        if (wParam == IDC_IMAGE_TRANSPARENT_SWATCH) {
            drawSwatch(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}
