#include "app/mainwindow.h"

#include <commctrl.h>

#include "app/application.h"
#include "app/commands.h"
#include "app/dpi.h"
#include "app/editorviews.h"
#include "app/fileopening.h"
#include "app/framelist.h"
#include "app/layout.h"
#include "app/playback.h"
#include "app/settings.h"
#include "app/toolbar.h"
#include "resource.h"

namespace {

void setFrameItemHeight(Application& app) {
    SendDlgItemMessageA(app.window, IDC_FRAME_LIST, LB_SETITEMHEIGHT, 0,
                        scaledForDpi(kFrameItemHeight, app.dpi));
}

// Moved to a monitor of another DPI: Windows rescales the dialogs' fonts and suggests a size that
// keeps the window's look; the list and the layout follow the new DPI.
void onDpiChanged(Application& app, int dpi, const RECT& suggested) {
    app.dpi = dpi;
    setFrameItemHeight(app);
    SetWindowPos(app.window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layoutMainWindow(app, nullptr);
    RedrawWindow(app.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void onPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

void onNotify(Application& app, const NMHDR* header) {
    if (header->code == TCN_SELCHANGE && header->hwndFrom == app.propertyTabs) {
        switchPropertyPanel(app);
    } else if (header->code == TTN_GETDISPINFOA) {
        onToolbarTooltip(app, reinterpret_cast<NMTTDISPINFOA*>(const_cast<NMHDR*>(header)));
    }
}

void runToolbarCommand(Application& app, UINT id) {
    switch (id) {
        case IDT_NEW:
            commandNew(app);
            break;
        case IDT_OPEN:
            commandOpen(app);
            break;
        case IDT_SAVE:
            commandSave(app);
            break;
        case IDT_ADD:
            commandAddImage(app);
            break;
        case IDT_DELETE:
            commandDeleteImage(app);
            break;
        case IDT_MOVE_DOWN:
            commandMoveDown(app);
            break;
        case IDT_MOVE_UP:
            commandMoveUp(app);
            break;
        case IDT_ANIMATE:
            commandAnimate(app);
            break;
        case IDT_ADD_EMPTY:
            commandAddEmptyImage(app);
            break;
        case IDT_LOOP:
            commandLoopCounter(app);
            break;
        case IDT_DELAY:
            commandAnimationDelay(app);
            break;
        case IDT_HELP:
            commandHelp(app);
            break;
        case IDT_UNDO:
            commandUndo(app);
            break;
        case IDT_OPTIMIZE:
            commandOptimize(app);
            break;
        case IDT_REDO:
            commandRedo(app);
            break;
        case IDT_PLAY:
            commandPlay(app);
            break;
        default:
            break;  // the hidden buttons run nothing
    }
}

void runMenuCommand(Application& app, UINT id) {
    if (id >= IDM_FILE_RECENT_FIRST && id <= IDM_FILE_RECENT_LAST) {
        openRecentFile(app, id - IDM_FILE_RECENT_FIRST);
        return;
    }
    switch (id) {
        case IDM_FILE_NEW:
            commandNew(app);
            break;
        case IDM_FILE_OPEN:
            commandOpen(app);
            break;
        case IDM_FILE_SAVE:
            commandSave(app);
            break;
        case IDM_FILE_SAVE_AS:
            commandSaveAs(app);
            break;
        case IDM_FILE_EXIT:
            runClosingStep(app);
            break;
        case IDM_ANIMATION_OPTIMIZE:
            commandOptimize(app);
            break;
        case IDM_EDIT_UNDO:
            commandUndo(app);
            break;
        case IDM_EDIT_REDO:
            commandRedo(app);
            break;
        case IDM_IMAGE_ADD:
            commandAddImage(app);
            break;
        case IDM_IMAGE_DELETE:
            commandDeleteImage(app);
            break;
        case IDM_IMAGE_MOVE_UP:
            commandMoveUp(app);
            break;
        case IDM_IMAGE_MOVE_DOWN:
            commandMoveDown(app);
            break;
        case IDM_IMAGE_NEW:
            commandAddEmptyImage(app);
            break;
        case IDM_ANIMATION_ANIMATE:
            commandAnimate(app);
            break;
        case IDM_ANIMATION_PLAY:
            commandPlay(app);
            break;
        case IDM_ANIMATION_COMPOSED:
            commandComposed(app);
            break;
        case IDM_HELP_HELP:
            commandHelp(app);
            break;
        case IDM_VIEW_ZOOM_IN:
            commandZoomIn(app);
            break;
        case IDM_VIEW_ZOOM_OUT:
            commandZoomOut(app);
            break;
        case IDM_VIEW_FIT:
            commandZoomToFit(app);
            break;
        case IDM_VIEW_ACTUAL_SIZE:
            commandActualSize(app);
            break;
        case IDM_VIEW_CHECKERBOARD:
            commandCheckerboard(app);
            break;
        default:
            break;
    }
}

// Toolbar ids (101-116) and menu ids (32780-32858) never overlap, so a button runs one command.
// A command runs on what the user sees: whatever is being typed is taken first.
void onCommand(Application& app, WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (id == IDC_FRAME_LIST) {
        if (HIWORD(wParam) == LBN_SELCHANGE) onFrameSelectionChanged(app);
        return;
    }
    const bool fromToolbar = lParam != 0 && reinterpret_cast<HWND>(lParam) == app.toolbar;
    // Menus and accelerators send no window; other controls never reach here with a command.
    if (!fromToolbar && lParam != 0) return;
    commitTypedValues(app);
    if (fromToolbar) runToolbarCommand(app, id);
    runMenuCommand(app, id);
}

HBRUSH onCtlColorStatic(HDC dc) {
    SetBkColor(dc, GetSysColor(COLOR_APPWORKSPACE));
    return GetSysColorBrush(COLOR_APPWORKSPACE);
}

}  // namespace

void switchPropertyPanel(Application& app) {
    const LRESULT tab = SendMessageA(app.propertyTabs, TCM_GETCURSEL, 0, 0);
    const HWND panels[] = {app.globalPanel, app.imagePanel, app.commentPanel};
    for (int i = 0; i < 3; ++i) {
        const UINT show = (i == tab) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        SetWindowPos(panels[i], nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | show);
    }
    layoutPropertyPanel(app);
}

void runClosingStep(Application& app) {
    commitTypedValues(app);
    if (!askSaveChanges(app)) return;
    saveSettings(app);
    PostQuitMessage(0);
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        Application& app = applicationOf(window);
        app.window = window;
        app.dpi = dpiOf(window);
        setFrameItemHeight(app);
        return TRUE;
    }
    // A few messages come before WM_INITDIALOG; nothing exists yet to act on them.
    if (!GetWindowLongPtrA(window, DWLP_USER)) return 0;
    Application& app = applicationOf(window);
    switch (message) {
        case WM_SIZE:
            layoutMainWindow(app, nullptr);
            // Maximising and restoring move every child at once; repaint them all, so no panel is
            // left blank and no stale part of the canvas or list stays.
            if (wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED)
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            break;
        case WM_WINDOWPOSCHANGING:
            layoutMainWindow(app, reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case WM_PAINT:
            onPaint(window);
            break;
        case WM_DRAWITEM:
            if (wParam == IDC_FRAME_LIST)
                drawFrameListItem(app, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            break;
        case WM_NOTIFY:
            onNotify(app, reinterpret_cast<const NMHDR*>(lParam));
            break;
        case WM_COMMAND:
            onCommand(app, wParam, lParam);
            break;
        case WM_DROPFILES:
            onDroppedFiles(app, reinterpret_cast<HDROP>(wParam));
            break;
        case kPlaybackTickMessage:
            onPlaybackTick(app);
            break;
        case WM_DPICHANGED:
            onDpiChanged(app, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            break;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(onCtlColorStatic(reinterpret_cast<HDC>(wParam)));
        case WM_CLOSE:
        case WM_DESTROY:
        case WM_QUIT:
            runClosingStep(app);
            break;
        default:
            break;
    }
    return 0;
}

Application& applicationOf(HWND mainWindow) {
    return *reinterpret_cast<Application*>(GetWindowLongPtrA(mainWindow, DWLP_USER));
}
