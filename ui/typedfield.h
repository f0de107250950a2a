#pragma once
// Whether the user typed into an edit since the program last wrote it.
#include <windows.h>

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
