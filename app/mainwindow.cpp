#include "app/mainwindow.h"

#include <commctrl.h>

#include "app/commands.h"
#include "app/editorviews.h"
#include "app/framelist.h"
#include "app/globals.h"
#include "app/layout.h"
#include "app/toolbar.h"
#include "resource.h"

namespace {

void onInitDialog(HWND window) {
    SendDlgItemMessageA(window, IDC_FRAME_LIST, LB_SETITEMHEIGHT, 0, kFrameItemHeight);
}

void onPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

void onNotify(const NMHDR* header) {
    if (header->code == TCN_SELCHANGE && header->hwndFrom == g_propertyTabs) {
        switchPropertyPanel();
    } else if (header->code == TTN_GETDISPINFOA) {
        onToolbarTooltip(reinterpret_cast<NMTTDISPINFOA*>(const_cast<NMHDR*>(header)));
    }
}

void runToolbarCommand(UINT id) {
    switch (id) {
        case IDT_NEW:
            commandNew();
            break;
        case IDT_OPEN:
            commandOpen();
            break;
        case IDT_SAVE:
            commandSave();
            break;
        case IDT_ADD:
            commandAddImage();
            break;
        case IDT_DELETE:
            commandDeleteImage();
            break;
        case IDT_MOVE_DOWN:
            commandMoveDown();
            break;
        case IDT_MOVE_UP:
            commandMoveUp();
            break;
        case IDT_ANIMATE:
            commandAnimate();
            break;
        case IDT_HELP:
            commandHelp();
            break;
        case IDT_UNDO:
            commandUndo();
            break;
        case IDT_OPTIMIZE:
            commandOptimize();
            break;
        case IDT_REDO:
            commandRedo();
            break;
        default:
            break;  // the hidden buttons run nothing
    }
}

void runMenuCommand(UINT id) {
    switch (id) {
        case IDM_FILE_NEW:
            commandNew();
            break;
        case IDM_FILE_OPEN:
            commandOpen();
            break;
        case IDM_FILE_SAVE:
            commandSave();
            break;
        case IDM_FILE_SAVE_AS:
            commandSaveAs();
            break;
        case IDM_FILE_EXIT:
            runClosingStep();
            break;
        case IDM_ANIMATION_OPTIMIZE:
            commandOptimize();
            break;
        case IDM_EDIT_UNDO:
            commandUndo();
            break;
        case IDM_EDIT_REDO:
            commandRedo();
            break;
        case IDM_IMAGE_ADD:
            commandAddImage();
            break;
        case IDM_IMAGE_DELETE:
            commandDeleteImage();
            break;
        case IDM_IMAGE_MOVE_UP:
            commandMoveUp();
            break;
        case IDM_IMAGE_MOVE_DOWN:
            commandMoveDown();
            break;
        case IDM_ANIMATION_ANIMATE:
            commandAnimate();
            break;
        case IDM_HELP_HELP:
            commandHelp();
            break;
        default:
            break;  // Image, New has nothing bound to it
    }
}

// Toolbar ids (101-115) and menu ids (32780-32792) never overlap, so a button runs one command.
// A command runs on what the user sees: whatever is being typed is taken first.
void onCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (id == IDC_FRAME_LIST) {
        if (HIWORD(wParam) == LBN_SELCHANGE) onFrameSelectionChanged();
        return;
    }
    const bool fromToolbar = lParam != 0 && reinterpret_cast<HWND>(lParam) == g_toolbar;
    // Menus and accelerators send no window; other controls never reach here with a command.
    if (!fromToolbar && lParam != 0) return;
    commitTypedValues();
    if (fromToolbar) runToolbarCommand(id);
    runMenuCommand(id);
}

HBRUSH onCtlColorStatic(HDC dc) {
    SetBkColor(dc, GetSysColor(COLOR_APPWORKSPACE));
    return GetSysColorBrush(COLOR_APPWORKSPACE);
}

}  // namespace

void switchPropertyPanel() {
    const LRESULT tab = SendMessageA(g_propertyTabs, TCM_GETCURSEL, 0, 0);
    const HWND panels[] = {g_globalPanel, g_imagePanel, g_commentPanel};
    for (int i = 0; i < 3; ++i) {
        const UINT show = (i == tab) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        SetWindowPos(panels[i], nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | show);
    }
    layoutPropertyPanel();
}

void runClosingStep() {
    commitTypedValues();
    if (askSaveChanges()) PostQuitMessage(0);
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog(window);
            return TRUE;
        case WM_SIZE:
            layoutMainWindow(nullptr);
            break;
        case WM_WINDOWPOSCHANGING:
            layoutMainWindow(reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case WM_PAINT:
            onPaint(window);
            break;
        case WM_DRAWITEM:
            if (wParam == IDC_FRAME_LIST) drawFrameListItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            break;
        case WM_NOTIFY:
            onNotify(reinterpret_cast<const NMHDR*>(lParam));
            break;
        case WM_COMMAND:
            onCommand(wParam, lParam);
            break;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(onCtlColorStatic(reinterpret_cast<HDC>(wParam)));
        case WM_CLOSE:
        case WM_DESTROY:
        case WM_QUIT:
            runClosingStep();
            break;
        default:
            break;
    }
    return 0;
}
