#include "panels/globalpanel.h"

#include <commctrl.h>

#include "resource.h"

namespace {

constexpr int kMaxScreenSide = 2000;
constexpr int kMaxLoopCount = 32767;
constexpr int kMaxColorIndex = 255;

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

// TODO(panels): the editing rules of the width, height, loop, Infinite and Auto controls.
void onCommand(HWND, WORD, WORD) {}

}  // namespace

INT_PTR CALLBACK globalPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        break;
    }
    return FALSE;
}
