#include "app/mainwindow.h"

#include <commctrl.h>

#include "app/commands.h"
#include "app/framelist.h"
#include "app/globals.h"
#include "app/layout.h"
#include "app/toolbar.h"
#include "resource.h"

namespace {

constexpr int kTitleBufferSize = 100;

void onInitDialog(HWND window) {
    char* title = new char[kTitleBufferSize]();
    LoadStringA(g_instance, IDS_APP_TITLE, title, kTitleBufferSize);
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
    delete[] title;
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
            commandExit();
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
void onCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == LBN_SELCHANGE && id == IDC_FRAME_LIST) onFrameSelectionChanged();
    if (lParam != 0 && reinterpret_cast<HWND>(lParam) == g_toolbar) runToolbarCommand(id);
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
    if (!g_modified) {
        PostQuitMessage(0);
        return;
    }
    const int answer = MessageBoxA(g_mainWindow, "Save changes?", "Confirm", MB_YESNOCANCEL);
    if (answer == IDNO) {
        PostQuitMessage(0);
    } else if (answer == IDYES) {
        if (!g_documentPath.empty()) {
            g_document.writeFile(g_documentPath.c_str());
        } else {
            if (!showGifSaveDialog()) return;  // cancelled: keep running
            g_document.writeFile(g_chosenPath.c_str());
            g_documentPath = g_chosenPath;
        }
        PostQuitMessage(0);
    }
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
