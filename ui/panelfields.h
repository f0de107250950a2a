#pragma once
// Small helpers the panels share for their number fields.
#include <windows.h>

#include <commctrl.h>

// True once for each run of typing: the edit's modified flag is set by keystrokes and cleared
// whenever the program writes the field, so a value a file holds but the field cannot show stays
// as it is until the user changes it.
inline bool takeTyped(HWND field) {
    const bool typed = SendMessageA(field, EM_GETMODIFY, 0, 0) != 0;
    SendMessageA(field, EM_SETMODIFY, FALSE, 0);
    return typed;
}
inline bool takeTyped(HWND dialog, int id) {
    return takeTyped(GetDlgItem(dialog, id));
}

inline void setSpinRange(HWND panel, int upDownId, int low, int high) {
    SendDlgItemMessageA(panel, upDownId, UDM_SETRANGE, 0, MAKELPARAM(high, low));
}

// Leaves a field alone when it already reads as the value, so the caret stays where the user types.
inline void showNumber(HWND panel, int id, UINT value) {
    BOOL translated = FALSE;
    if (GetDlgItemInt(panel, id, &translated, FALSE) == value && translated) return;
    SetDlgItemInt(panel, id, value, FALSE);
}

// Looping as typed: no number is 0 repeats, 0 means one play, and the count stops at 32767.
constexpr UINT kMaxLoopCount = 32767;
inline UINT correctedLoopCount(bool valid, UINT value) {
    if (!valid) return 0;
    if (value == 0) return 1;
    return value > kMaxLoopCount ? kMaxLoopCount : value;
}
