#include "ui/animationdelaydialog.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "edit/animationtools.h"
#include "resource.h"
#include "ui/panelfields.h"

namespace {

constexpr UINT kMaxDelay = 65535;
constexpr UINT kMinPercent = 10;
constexpr UINT kMaxPercent = 1000;

Editor& editorOf(HWND dialog) {
    return *reinterpret_cast<Editor*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

bool isChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// The field's number held to its range; no number reads as `fallback`.
UINT readClamped(HWND dialog, int id, UINT low, UINT high, UINT fallback) {
    BOOL valid = FALSE;
    const UINT value = GetDlgItemInt(dialog, id, &valid, FALSE);
    if (!valid) return fallback;
    return value < low ? low : value > high ? high : value;
}

// The delays OK would leave, one per frame.
std::vector<uint16_t> proposedDelays(HWND dialog) {
    const Editor& editor = editorOf(dialog);
    std::vector<uint16_t> delays = delaysOf(editor.document());
    const bool currentOnly = isChecked(dialog, IDC_DELAY_CURRENT_FRAME);
    const bool setAll = isChecked(dialog, IDC_DELAY_SET);
    const UINT value = readClamped(dialog, IDC_DELAY_VALUE, 0, kMaxDelay, 0);
    const UINT percent = readClamped(dialog, IDC_DELAY_PERCENT, kMinPercent, kMaxPercent, 100);
    for (size_t i = 0; i < delays.size(); ++i) {
        if (currentOnly && int(i) != editor.currentFrame()) continue;
        delays[i] = setAll ? uint16_t(value) : scaledDelay(delays[i], percent);
    }
    return delays;
}

void showPlayTime(HWND dialog) {
    const double before = double(playTime(delaysOf(editorOf(dialog).document()))) / 100.0;
    const double after = double(playTime(proposedDelays(dialog))) / 100.0;
    char text[96];
    std::snprintf(text, sizeof(text), "Play time: %.2f s now, %.2f s after", before, after);
    SetDlgItemTextA(dialog, IDC_DELAY_PLAY_TIME, text);
}

void showChoice(HWND dialog) {
    const bool setAll = isChecked(dialog, IDC_DELAY_SET);
    EnableWindow(GetDlgItem(dialog, IDC_DELAY_VALUE), setAll);
    EnableWindow(GetDlgItem(dialog, IDC_DELAY_VALUE_SPIN), setAll);
    EnableWindow(GetDlgItem(dialog, IDC_DELAY_PERCENT), !setAll);
    EnableWindow(GetDlgItem(dialog, IDC_DELAY_PERCENT_SPIN), !setAll);
    showPlayTime(dialog);
}

void onInitDialog(HWND dialog) {
    const Editor& editor = editorOf(dialog);
    SendDlgItemMessageA(dialog, IDC_DELAY_VALUE_SPIN, UDM_SETRANGE32, 0, kMaxDelay);
    setSpinRange(dialog, IDC_DELAY_PERCENT_SPIN, kMinPercent, kMaxPercent);
    const GifFrame* current = editor.currentFramePtr();
    SetDlgItemInt(dialog, IDC_DELAY_VALUE, current ? current->delay : kEmptyFrameDelay, FALSE);
    SetDlgItemInt(dialog, IDC_DELAY_PERCENT, 100, FALSE);
    CheckRadioButton(dialog, IDC_DELAY_ALL_FRAMES, IDC_DELAY_CURRENT_FRAME, IDC_DELAY_ALL_FRAMES);
    EnableWindow(GetDlgItem(dialog, IDC_DELAY_CURRENT_FRAME), current != nullptr);
    CheckRadioButton(dialog, IDC_DELAY_SET, IDC_DELAY_SCALE, IDC_DELAY_SCALE);
    showChoice(dialog);
}

INT_PTR CALLBACK animationDelayProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        onInitDialog(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND || !GetWindowLongPtrA(dialog, DWLP_USER)) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, editorOf(dialog).setDelays(proposedDelays(dialog), "Animation Delay") ? 1 : 0);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_DELAY_SET:
        case IDC_DELAY_SCALE:
            showChoice(dialog);
            return TRUE;
        case IDC_DELAY_ALL_FRAMES:
        case IDC_DELAY_CURRENT_FRAME:
            showPlayTime(dialog);
            return TRUE;
        case IDC_DELAY_VALUE:
        case IDC_DELAY_PERCENT:
            if (HIWORD(wParam) == EN_CHANGE) showPlayTime(dialog);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

bool runAnimationDelayDialog(HWND owner, Editor& editor) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ANIMATION_DELAY), owner,
                           animationDelayProc, reinterpret_cast<LPARAM>(&editor)) == 1;
}
