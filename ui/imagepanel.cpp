#include "ui/imagepanel.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "resource.h"
#include "ui/indexpicker.h"
#include "ui/labelfit.h"
#include "ui/paletteeditor.h"
#include "ui/panelfields.h"
#include "ui/windowcontext.h"

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
Editor& editorOf(HWND panel) {
    return *contextOf(panel)->editor;
}

bool showing(HWND panel) {
    return contextOf(panel)->showing;
}

const GifFrame* currentFrame(HWND panel) {
    return editorOf(panel).currentFramePtr();
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
        const bool allDigits = text[0] != '\0' && std::all_of(text, text + strlen(text),
                                                              [](char c) { return c >= '0' && c <= '9'; });
        value = allDigits ? maximum : 0;
        corrected = true;
    } else if (value > maximum) {
        value = maximum;
        corrected = true;
    }
    // Only a corrected value is written back: every write raises EN_CHANGE again.
    if (corrected) {
        contextOf(panel)->showing = true;
        SetDlgItemInt(panel, editId, value, FALSE);
        contextOf(panel)->showing = false;
    }
    return value;
}

void showText(HWND panel, int id, const std::string& text) {
    char shown[kMaxTitleLength + 1] = {};
    GetDlgItemTextA(panel, id, shown, sizeof(shown));
    if (text != shown) SetDlgItemTextA(panel, id, text.c_str());
}

bool transparentChecked(HWND panel) {
    return IsDlgButtonChecked(panel, IDC_IMAGE_TRANSPARENT) == BST_CHECKED;
}

void redrawSwatch(HWND panel, UINT flags) {
    RedrawWindow(GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_SWATCH), nullptr, nullptr, flags);
}

// Every field change of the current frame is one edit; the editor records nothing when the value
// is what the frame already has.
void editCurrentFrame(HWND panel, const char* name, const std::string& mergeKey,
                      void (*change)(FrameFields&, UINT), UINT value) {
    const GifFrame* frame = currentFrame(panel);
    if (!frame || showing(panel)) return;
    FrameFields fields = FrameFields::of(*frame);
    change(fields, value);
    Editor& editor = editorOf(panel);
    editor.setFrameFields(size_t(editor.currentFrame()), fields, name, mergeKey);
}

void onInitDialog(HWND panel) {
    fitLabelsToTheirText(panel);
    setSpinRange(panel, IDC_IMAGE_LEFT_SPIN, 0, kMaxOffset);
    setSpinRange(panel, IDC_IMAGE_TOP_SPIN, 0, kMaxOffset);
    setSpinRange(panel, IDC_IMAGE_TRANSPARENT_SPIN, 0, kMaxColorIndex);
    setSpinRange(panel, IDC_IMAGE_DELAY_SPIN, 0, kMaxDelay);
    for (const char* text : kDisposalTexts) {
        SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(panel, IDC_IMAGE_TITLE, EM_LIMITTEXT, kMaxTitleLength, 0);
}

// Offsets follow the typing at once, so the canvas moves with every digit; one run of typing in
// one field is one step.
void onOffsetChanged(HWND panel, int editId) {
    if (showing(panel) || !currentFrame(panel)) return;
    const UINT value = readCorrected(panel, editId, kMaxOffset);
    if (editId == IDC_IMAGE_LEFT) {
        editCurrentFrame(
            panel, "Offset", "left", [](FrameFields& f, UINT v) { f.left = uint16_t(v); }, value);
    } else {
        editCurrentFrame(
            panel, "Offset", "top", [](FrameFields& f, UINT v) { f.top = uint16_t(v); }, value);
    }
}

void onDelayDone(HWND panel) {
    // Only what the user typed is taken: a delay the field cannot hold (a file's above 32767)
    // stays as it is until the user changes it.
    if (showing(panel) || !takeTyped(panel, IDC_IMAGE_DELAY) || !currentFrame(panel)) return;
    const UINT value = readCorrected(panel, IDC_IMAGE_DELAY, kMaxDelay);
    editCurrentFrame(
        panel, "Delay", "", [](FrameFields& f, UINT v) { f.delay = uint16_t(v); }, value);
}

// Transparency is editable only against a local colour table.
bool transparencyEditable(const GifFrame& frame) {
    return frame.hasLocalTable && frame.transparent;
}

void onTransparentIndexEdited(HWND panel) {
    const GifFrame* frame = currentFrame(panel);
    if (showing(panel) || !frame || !transparencyEditable(*frame) || !transparentChecked(panel)) return;
    const size_t entries = frame->localTable.entries.size();
    const UINT last = entries == 0 ? 0 : UINT(std::min<size_t>(entries, 256) - 1);
    const UINT value = readCorrected(panel, IDC_IMAGE_TRANSPARENT_INDEX, last);
    editCurrentFrame(
        panel, "Transparent Color", "transparent",
        [](FrameFields& f, UINT v) { f.transparentIndex = uint8_t(v); }, value);
}

void onTransparentClicked(HWND panel) {
    const GifFrame* frame = currentFrame(panel);
    if (frame && !frame->hasLocalTable) {
        showFrameInImagePanel(panel);  // nothing to pick a see-through entry from
        return;
    }
    const bool on = transparentChecked(panel);
    editCurrentFrame(
        panel, "Transparency", "",
        [](FrameFields& f, UINT v) {
            f.transparent = v != 0;
            if (!f.transparent) f.transparentIndex = 0;
        },
        on);
}

void onDisposalChanged(HWND panel) {
    const LRESULT position = SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_GETCURSEL, 0, 0);
    if (position < 0 || position >= LRESULT(std::size(kDisposalTexts))) return;
    editCurrentFrame(
        panel, "Disposal", "", [](FrameFields& f, UINT v) { f.disposal = v; }, UINT(position));
}

void onInterlacedClicked(HWND panel) {
    const bool on = IsDlgButtonChecked(panel, IDC_IMAGE_INTERLACED) == BST_CHECKED;
    editCurrentFrame(
        panel, "Interlace", "", [](FrameFields& f, UINT v) { f.interlaced = v != 0; }, on);
}

// The title is not part of the GIF file: the edit can be undone but leaves the file unchanged.
void onTitleChanged(HWND panel) {
    const GifFrame* frame = currentFrame(panel);
    if (showing(panel) || !frame) return;
    char text[kMaxTitleLength + 1] = {};
    GetDlgItemTextA(panel, IDC_IMAGE_TITLE, text, sizeof(text));
    FrameFields fields = FrameFields::of(*frame);
    fields.title = text;
    Editor& editor = editorOf(panel);
    editor.setFrameFields(size_t(editor.currentFrame()), fields, "Title", "title");
}

void onSwatchClicked(HWND panel) {
    const GifFrame* frame = currentFrame(panel);
    if (!frame || !frame->hasLocalTable) return;
    HWND swatch = GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_SWATCH);
    s_pickerOpen = true;
    redrawSwatch(panel, RDW_INVALIDATE | RDW_ERASE);
    const int picked = pickPaletteIndex(&frame->localTable, swatch, frame->transparentIndex);
    s_pickerOpen = false;
    // The picker only offers entries of the table, so the index is already in range.
    if (picked >= 0) {
        editCurrentFrame(
            panel, "Transparent Color", "", [](FrameFields& f, UINT v) { f.transparentIndex = uint8_t(v); },
            UINT(picked));
    }
    redrawSwatch(panel, RDW_INVALIDATE);
}

void onLocalPaletteClicked(HWND panel) {
    WindowContext& context = *contextOf(panel);
    if (context.commitTyping) context.commitTyping();
    editCurrentFramePalette(context.owner, *context.editor);
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
            if (notification == EN_CHANGE || notification == EN_KILLFOCUS) onTransparentIndexEdited(panel);
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
            if (notification == BN_CLICKED) onLocalPaletteClicked(panel);
            break;
        case IDOK:  // Enter takes the value being typed
            commitImagePanelTyping(panel);
            break;
        default:
            break;
    }
}

// ---- Swatch ------------------------------------------------------------------------------------

HBRUSH swatchBrush(HWND panel) {
    const GifFrame* frame = currentFrame(panel);
    if (frame && frame->transparent && frame->hasLocalTable &&
        frame->transparentIndex < frame->localTable.entries.size()) {
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

    HBRUSH brush = swatchBrush(GetParent(item->hwndItem));
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

void showFrameInImagePanel(HWND panel) {
    if (!contextOf(panel)) return;
    const GifFrame* frame = currentFrame(panel);
    if (!frame) return;
    contextOf(panel)->showing = true;
    showNumber(panel, IDC_IMAGE_WIDTH, frame->width());
    showNumber(panel, IDC_IMAGE_HEIGHT, frame->height());
    showNumber(panel, IDC_IMAGE_LEFT, frame->left);
    showNumber(panel, IDC_IMAGE_TOP, frame->top);
    showNumber(panel, IDC_IMAGE_DELAY, frame->delay);
    const bool transparent = transparencyEditable(*frame);
    if (transparent) {
        showNumber(panel, IDC_IMAGE_TRANSPARENT_INDEX, frame->transparentIndex);
    } else {
        SetDlgItemTextA(panel, IDC_IMAGE_TRANSPARENT_INDEX, "");
    }
    EnableWindow(GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_INDEX), transparent);
    EnableWindow(GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_SWATCH), transparent);
    CheckDlgButton(panel, IDC_IMAGE_TRANSPARENT, transparent ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_SETCURSEL, WPARAM(frame->disposal), 0);
    CheckDlgButton(panel, IDC_IMAGE_INTERLACED, frame->interlaced ? BST_CHECKED : BST_UNCHECKED);
    showText(panel, IDC_IMAGE_TITLE, frame->title);
    EnableWindow(GetDlgItem(panel, IDC_IMAGE_LOCAL_PALETTE), frame->hasLocalTable);
    contextOf(panel)->showing = false;
    redrawSwatch(panel, RDW_INVALIDATE);
}

void commitImagePanelTyping(HWND panel) {
    if (contextOf(panel)) onDelayDone(panel);
}

INT_PTR CALLBACK imagePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG && !contextOf(window)) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            attachContext(window, lParam);
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
