// Color Gradient: two colours and two indices; the editor paints the entries between them.
#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>

#include "resource.h"
#include "ui/colorchooser.h"
#include "ui/palettedialogs.h"

namespace {

// The last gradient outlives the dialog, so that the next one starts where it ended.
Gradient s_last;

constexpr UINT kMaxFieldValue = 255;

// Set while the dialog writes its own fields, so their EN_CHANGE is not taken for typing.
bool s_updatingFields = false;

struct GradientSide {
    int index;
    int red;
    int green;
    int blue;
    int swatch;
    COLORREF* color;
};

const GradientSide kSides[] = {
    {IDC_GRADIENT_FROM_INDEX, IDC_GRADIENT_FROM_RED, IDC_GRADIENT_FROM_GREEN, IDC_GRADIENT_FROM_BLUE,
     IDC_GRADIENT_FROM_SWATCH, &s_last.fromColor},
    {IDC_GRADIENT_TO_INDEX, IDC_GRADIENT_TO_RED, IDC_GRADIENT_TO_GREEN, IDC_GRADIENT_TO_BLUE,
     IDC_GRADIENT_TO_SWATCH, &s_last.toColor},
};

const int kSpins[] = {IDC_GRADIENT_FROM_INDEX_SPIN, IDC_GRADIENT_FROM_RED_SPIN, IDC_GRADIENT_FROM_GREEN_SPIN,
                      IDC_GRADIENT_FROM_BLUE_SPIN,  IDC_GRADIENT_TO_INDEX_SPIN, IDC_GRADIENT_TO_RED_SPIN,
                      IDC_GRADIENT_TO_GREEN_SPIN,   IDC_GRADIENT_TO_BLUE_SPIN};

const GradientSide* sideOfField(int id) {
    for (const GradientSide& side : kSides) {
        if (id == side.index || id == side.red || id == side.green || id == side.blue) return &side;
    }
    return nullptr;
}

void writeField(HWND dialog, int id, UINT value) {
    const bool was = s_updatingFields;
    s_updatingFields = true;
    SetDlgItemInt(dialog, id, value, FALSE);
    s_updatingFields = was;
}

// The field's number, corrected in place to 0 ... 255: no number reads and shows as 0.
UINT readCorrectedField(HWND dialog, int id) {
    BOOL translated = FALSE;
    const UINT value = GetDlgItemInt(dialog, id, &translated, FALSE);
    if (!translated) {
        writeField(dialog, id, 0);
        return 0;
    }
    if (value > kMaxFieldValue) {
        writeField(dialog, id, kMaxFieldValue);
        return kMaxFieldValue;
    }
    return value;
}

void showSideColor(HWND dialog, const GradientSide& side) {
    const COLORREF color = *side.color;
    writeField(dialog, side.red, GetRValue(color));
    writeField(dialog, side.green, GetGValue(color));
    writeField(dialog, side.blue, GetBValue(color));
}

void redrawSwatch(HWND dialog, const GradientSide& side) {
    RedrawWindow(GetDlgItem(dialog, side.swatch), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void onInitDialog(HWND dialog) {
    s_updatingFields = true;
    for (int spin : kSpins) SendDlgItemMessageA(dialog, spin, UDM_SETRANGE32, 0, kMaxFieldValue);
    // UDM_SETRANGE32 leaves the buddy alone, so the Index fields stay empty.
    for (const GradientSide& side : kSides) showSideColor(dialog, side);
    s_updatingFields = false;
}

void onFieldChanged(HWND dialog, int id) {
    const GradientSide* side = sideOfField(id);
    if (!side) return;
    readCorrectedField(dialog, id);
    if (id == side->index) return;
    const UINT red = readCorrectedField(dialog, side->red);
    const UINT green = readCorrectedField(dialog, side->green);
    const UINT blue = readCorrectedField(dialog, side->blue);
    *side->color = RGB(red, green, blue);
    redrawSwatch(dialog, *side);
}

void onSwatchClicked(HWND dialog, const GradientSide& side) {
    COLORREF color = *side.color;
    if (chooseColor(dialog, color)) *side.color = color;
    showSideColor(dialog, side);
    redrawSwatch(dialog, side);
}

void onOk(HWND dialog) {
    BOOL translated = FALSE;
    const UINT from = GetDlgItemInt(dialog, IDC_GRADIENT_FROM_INDEX, &translated, FALSE);
    s_last.fromIndex = translated ? from : 0;
    const UINT to = GetDlgItemInt(dialog, IDC_GRADIENT_TO_INDEX, &translated, FALSE);
    s_last.toIndex = translated ? to : 0;
    EndDialog(dialog, 1);
}

void onCommand(HWND dialog, int id, int code) {
    switch (id) {
        case IDOK:
            onOk(dialog);
            return;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return;
        case IDC_GRADIENT_FROM_SWATCH:
            if (code == BN_CLICKED) onSwatchClicked(dialog, kSides[0]);
            return;
        case IDC_GRADIENT_TO_SWATCH:
            if (code == BN_CLICKED) onSwatchClicked(dialog, kSides[1]);
            return;
        default:
            if (code == EN_CHANGE && !s_updatingFields && IsWindowVisible(dialog)) onFieldChanged(dialog, id);
            return;
    }
}

void onDrawItem(const DRAWITEMSTRUCT* item) {
    const COLORREF color = item->CtlID == IDC_GRADIENT_FROM_SWATCH ? s_last.fromColor : s_last.toColor;
    RECT rect = item->rcItem;
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(item->hDC, &rect, brush);
    DeleteObject(brush);
    DrawEdge(item->hDC, &rect, BDR_RAISEDINNER, BF_RECT);
    InflateRect(&rect, -1, -1);
    DrawEdge(item->hDC, &rect, BDR_SUNKENOUTER, BF_RECT);
}

}  // namespace

INT_PTR CALLBACK gradientDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_DRAWITEM:
            if (wParam == IDC_GRADIENT_FROM_SWATCH || wParam == IDC_GRADIENT_TO_SWATCH) {
                onDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

bool runGradientDialog(HWND owner, Gradient* chosen) {
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_COLOR_GRADIENT),
                                           owner, gradientDialogProc, 0);
    if (result != 1) return false;
    *chosen = s_last;
    return true;
}
