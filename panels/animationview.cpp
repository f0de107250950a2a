#include "panels/animationview.h"

#include "app/globals.h"

namespace {

// The canvas sits on the application-workspace colour wherever no logical screen is drawn.
BOOL onEraseBackground(HWND view, HDC dc) {
    RECT client;
    GetClientRect(view, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    return TRUE;
}

}  // namespace

// TODO(panels): painting the selected and pinned frames, scrolling and dragging.
INT_PTR CALLBACK animationViewProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_ERASEBKGND:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, onEraseBackground(window, reinterpret_cast<HDC>(wParam)));
        return TRUE;
    default:
        break;
    }
    return FALSE;
}
