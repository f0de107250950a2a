// Sort palette entries and Colors: one number each for the editor.
#include "ui/palettedialogs.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>

#include "palette/palettemodel.h"
#include "resource.h"

namespace {

// Typing and the arrows allow 256; OK hands the editor at most 255.
constexpr int kColorsFieldMin = 2;
constexpr int kColorsFieldMax = 256;
constexpr int kColorsResultMax = 255;

HINSTANCE resourceModule() {
    return GetModuleHandleA(nullptr);
}

// Set once OK or Cancel has decided: the focus leaving the field as the dialog goes away must
// not rewrite what OK wrote.
bool s_colorsClosing = false;

// ---- Sort palette entries --------------------------------------------------------------------

void onSortInit(HWND dialog) {
    for (const char* text : kPaletteSortKeyTexts) {
        SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_SETCURSEL, 0, 0);
}

void onSortCommand(HWND dialog, int id) {
    switch (id) {
        case IDOK:
            EndDialog(dialog, SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_GETCURSEL, 0, 0));
            return;
        case IDCANCEL:
            EndDialog(dialog, -1);
            return;
        default:
            return;  // Help has nothing to show
    }
}

// ---- Colors ----------------------------------------------------------------------------------

// False when the text is no unsigned number.
bool readCount(HWND dialog, UINT* value) {
    BOOL translated = FALSE;
    *value = GetDlgItemInt(dialog, IDC_COLORS_COUNT, &translated, FALSE);
    return translated != FALSE;
}

void onColorsInit(HWND dialog) {
    s_colorsClosing = false;
    SendDlgItemMessageA(dialog, IDC_COLORS_COUNT_SPIN, UDM_SETRANGE32, kColorsFieldMin, kColorsFieldMax);
    SetDlgItemInt(dialog, IDC_COLORS_COUNT, kColorsFieldMin, FALSE);
}

void onColorsKillFocus(HWND dialog) {
    if (s_colorsClosing) return;
    UINT value = 0;
    if (!readCount(dialog, &value)) {
        SetDlgItemInt(dialog, IDC_COLORS_COUNT, 0, FALSE);
    } else if (value < UINT(kColorsFieldMin)) {
        SetDlgItemInt(dialog, IDC_COLORS_COUNT, kColorsFieldMin, FALSE);
    } else if (value > UINT(kColorsFieldMax)) {
        SetDlgItemInt(dialog, IDC_COLORS_COUNT, kColorsFieldMax, FALSE);
    }
}

void onColorsOk(HWND dialog) {
    s_colorsClosing = true;
    UINT value = 0;
    if (!readCount(dialog, &value)) {
        SetDlgItemInt(dialog, IDC_COLORS_COUNT, 0, FALSE);
        EndDialog(dialog, 0);
        return;
    }
    int count = int(value > UINT(kColorsResultMax) ? kColorsResultMax : value);
    if (count < kColorsFieldMin) count = kColorsFieldMin;
    SetDlgItemInt(dialog, IDC_COLORS_COUNT, UINT(count), FALSE);
    EndDialog(dialog, count);
}

void onColorsCommand(HWND dialog, int id, int code) {
    switch (id) {
        case IDOK:
            onColorsOk(dialog);
            return;
        case IDCANCEL:
            s_colorsClosing = true;
            EndDialog(dialog, -1);
            return;
        case IDC_COLORS_COUNT:
            if (code == EN_KILLFOCUS) onColorsKillFocus(dialog);
            return;
        default:
            return;
    }
}

}  // namespace

INT_PTR CALLBACK sortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            onSortInit(dialog);
            return TRUE;
        case WM_COMMAND:
            onSortCommand(dialog, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK colorsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            onColorsInit(dialog);
            return TRUE;
        case WM_COMMAND:
            onColorsCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

int runSortDialog(HWND owner) {
    return int(
        DialogBoxParamA(resourceModule(), MAKEINTRESOURCEA(IDD_SORT_PALETTE), owner, sortDialogProc, 0));
}

int runColorsDialog(HWND owner) {
    return int(
        DialogBoxParamA(resourceModule(), MAKEINTRESOURCEA(IDD_PALETTE_COLORS), owner, colorsDialogProc, 0));
}
