#include "panels/commentpanel.h"

#include "app/globals.h"
#include "resource.h"

namespace {

void onInitDialog(HWND panel) { g_commentList = GetDlgItem(panel, IDC_COMMENT_LIST); }

// TODO(panels): Add, Delete, selecting a comment and storing the edited text.
void onCommand(HWND, WORD, WORD) {}

}  // namespace

INT_PTR CALLBACK commentPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
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
