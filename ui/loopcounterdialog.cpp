#include "ui/loopcounterdialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "resource.h"
#include "ui/panelfields.h"

namespace {

struct LoopDialog {
    Editor* editor = nullptr;
    std::string shownCount;  // the count's text as the dialog opened
};

LoopDialog& stateOf(HWND dialog) {
    return *reinterpret_cast<LoopDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string countText(HWND dialog) {
    char text[32] = {};
    GetDlgItemTextA(dialog, IDC_LOOP_COUNT, text, sizeof(text));
    return text;
}

void showInfinite(HWND dialog) {
    const bool forever = IsDlgButtonChecked(dialog, IDC_LOOP_INFINITE) == BST_CHECKED;
    EnableWindow(GetDlgItem(dialog, IDC_LOOP_COUNT), !forever);
    EnableWindow(GetDlgItem(dialog, IDC_LOOP_COUNT_SPIN), !forever);
}

void onInitDialog(HWND dialog) {
    const GifAnimation& doc = stateOf(dialog).editor->document();
    setSpinRange(dialog, IDC_LOOP_COUNT_SPIN, 1, kMaxLoopCount);
    // As in the Global panel: Infinite keeps the count underneath; a file without one shows one play.
    SetDlgItemInt(dialog, IDC_LOOP_COUNT, doc.loopForever ? std::max<UINT>(1, doc.loopCount) : doc.loopCount,
                  FALSE);
    CheckDlgButton(dialog, IDC_LOOP_INFINITE, doc.loopForever ? BST_CHECKED : BST_UNCHECKED);
    showInfinite(dialog);
    stateOf(dialog).shownCount = countText(dialog);
}

void onOk(HWND dialog) {
    Editor& editor = *stateOf(dialog).editor;
    DocumentFields fields = DocumentFields::of(editor.document());
    fields.loopForever = IsDlgButtonChecked(dialog, IDC_LOOP_INFINITE) == BST_CHECKED;
    // An untouched count stays as the file has it, even where the field cannot show it.
    if (countText(dialog) != stateOf(dialog).shownCount) {
        BOOL valid = FALSE;
        const UINT typed = GetDlgItemInt(dialog, IDC_LOOP_COUNT, &valid, FALSE);
        fields.loopCount = uint16_t(correctedLoopCount(valid != FALSE, typed));
    }
    EndDialog(dialog, editor.setDocumentFields(fields, "Loop Count") ? 1 : 0);
}

INT_PTR CALLBACK loopCounterProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            onInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    onOk(dialog);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, 0);
                    return TRUE;
                case IDC_LOOP_INFINITE:
                    showInfinite(dialog);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

bool runLoopCounterDialog(HWND owner, Editor& editor) {
    LoopDialog state;
    state.editor = &editor;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LOOP_COUNTER), owner,
                           loopCounterProc, reinterpret_cast<LPARAM>(&state)) == 1;
}
