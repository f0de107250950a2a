#include "app/editorviews.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/framelist.h"
#include "app/globals.h"
#include "app/layout.h"
#include "ui/commentpanel.h"
#include "ui/globalpanel.h"
#include "ui/imagepanel.h"
#include "resource.h"

namespace {

constexpr int kTitleBufferSize = 100;

std::string fileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The list draws every item from its frame, so only the count has to follow.
void matchListToFrames() {
    const int frames = int(g_editor.document().frames.size());
    int items = int(SendMessageA(g_frameList, LB_GETCOUNT, 0, 0));
    if (items == frames) return;
    SendMessageA(g_frameList, WM_SETREDRAW, FALSE, 0);
    for (; items < frames; ++items) SendMessageA(g_frameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    for (; items > frames; --items) SendMessageA(g_frameList, LB_DELETESTRING, WPARAM(items - 1), 0);
    SendMessageA(g_frameList, WM_SETREDRAW, TRUE, 0);
}

void setMenuText(HMENU menu, UINT id, const std::string& text, bool enabled) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING | MIIM_STATE;
    item.dwTypeData = const_cast<char*>(text.c_str());
    item.fState = enabled ? MFS_ENABLED : MFS_DISABLED;
    SetMenuItemInfoA(menu, id, FALSE, &item);
}

// Separators share the buttons' ids, so the button is found by its place, not by its id.
void enableToolbarButton(int id, bool enable) {
    const int count = int(SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageA(g_toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
        if (button.idCommand != id || (button.fsStyle & BTNS_SEP)) continue;
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = BYTE(enable ? button.fsState | TBSTATE_ENABLED : button.fsState & ~TBSTATE_ENABLED);
        SendMessageA(g_toolbar, TB_SETBUTTONINFOA, WPARAM(i), reinterpret_cast<LPARAM>(&info));
    }
}

void showUndoState() {
    const History& history = g_editor.history();
    enableToolbarButton(IDT_UNDO, history.canUndo());
    enableToolbarButton(IDT_REDO, history.canRedo());
    if (HMENU menu = GetMenu(g_mainWindow)) {
        const std::string undo = history.canUndo() ? "&Undo " + history.undoName() : "&Undo";
        const std::string redo = history.canRedo() ? "&Redo " + history.redoName() : "&Redo";
        setMenuText(menu, IDM_EDIT_UNDO, undo + "\tCtrl+Z", history.canUndo());
        setMenuText(menu, IDM_EDIT_REDO, redo + "\tCtrl+Y", history.canRedo());
    }
}

}  // namespace

void showWindowTitle() {
    char appTitle[kTitleBufferSize] = {};
    LoadStringA(g_instance, IDS_APP_TITLE, appTitle, kTitleBufferSize);
    const std::string& path = g_editor.path();
    const std::string name = path.empty() ? "Untitled" : fileName(path);
    const std::string title = (g_editor.changed() ? "*" : "") + name + " - " + appTitle;
    SetWindowTextA(g_mainWindow, title.c_str());
}

void showEditorState(const EditNotice& notice) {
    if (!g_mainWindow) return;
    if (notice.framesChanged) matchListToFrames();
    SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(g_editor.currentFrame()), 0);
    showDocumentInGlobalPanel();
    showFrameInImagePanel();
    showFrameInCommentPanel();
    updateViewScrollBars();
    redrawAnimationView(RDW_INVALIDATE | RDW_ERASE);
    redrawFrameList();
    showWindowTitle();
    showUndoState();
}

void commitTypedValues() {
    commitGlobalPanelTyping();
    commitImagePanelTyping();
    commitCommentPanelTyping();
}
