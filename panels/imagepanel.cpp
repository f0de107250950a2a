#include "panels/imagepanel.h"

#include <commctrl.h>

#include "resource.h"

namespace {

constexpr int kMaxOffset = 32767;
constexpr int kMaxDelay = 32767;
constexpr int kMaxColorIndex = 255;

// List order is the DisposalMethod value.
constexpr const char* kDisposalTexts[] = {
    "Web Browser Decides",
    "Do Not Remove",
    "To Background Color",
    "To Previous State",
};

void setRange(HWND panel, int upDownId, int low, int high) {
    SendDlgItemMessageA(panel, upDownId, UDM_SETRANGE, 0, MAKELPARAM(high, low));
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
}

// TODO(panels): the offset, delay, transparency, disposal and interlace rules, the swatch, the
// index picker and the palette editor.
void onCommand(HWND, WORD, WORD) {}

}  // namespace

INT_PTR CALLBACK imagePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
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
