#include "app/editorviews.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/application.h"
#include "app/framelist.h"
#include "app/layout.h"
#include "resource.h"
#include "ui/animationview.h"
#include "ui/commentpanel.h"
#include "ui/globalpanel.h"
#include "ui/imagepanel.h"

namespace {

constexpr int kTitleBufferSize = 100;

std::string fileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The list draws every item from its frame, so only the count has to follow.
void matchListToFrames(Application& app) {
    const int frames = int(app.editor.document().frames.size());
    int items = int(SendMessageA(app.frameList, LB_GETCOUNT, 0, 0));
    if (items == frames) return;
    SendMessageA(app.frameList, WM_SETREDRAW, FALSE, 0);
    for (; items < frames; ++items)
        SendMessageA(app.frameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    for (; items > frames; --items) SendMessageA(app.frameList, LB_DELETESTRING, WPARAM(items - 1), 0);
    SendMessageA(app.frameList, WM_SETREDRAW, TRUE, 0);
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
void enableToolbarButton(Application& app, int id, bool enable) {
    const int count = int(SendMessageA(app.toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageA(app.toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
        if (button.idCommand != id || (button.fsStyle & BTNS_SEP)) continue;
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = BYTE(enable ? button.fsState | TBSTATE_ENABLED : button.fsState & ~TBSTATE_ENABLED);
        SendMessageA(app.toolbar, TB_SETBUTTONINFOA, WPARAM(i), reinterpret_cast<LPARAM>(&info));
    }
}

void showUndoState(Application& app) {
    const History& history = app.editor.history();
    enableToolbarButton(app, IDT_UNDO, history.canUndo());
    enableToolbarButton(app, IDT_REDO, history.canRedo());
    if (HMENU menu = GetMenu(app.window)) {
        const std::string undo = history.canUndo() ? "&Undo " + history.undoName() : "&Undo";
        const std::string redo = history.canRedo() ? "&Redo " + history.redoName() : "&Redo";
        setMenuText(menu, IDM_EDIT_UNDO, undo + "\tCtrl+Z", history.canUndo());
        setMenuText(menu, IDM_EDIT_REDO, redo + "\tCtrl+Y", history.canRedo());
    }
}

}  // namespace

void showWindowTitle(Application& app) {
    char appTitle[kTitleBufferSize] = {};
    LoadStringA(app.instance, IDS_APP_TITLE, appTitle, kTitleBufferSize);
    const std::string& path = app.editor.path();
    const std::string name = path.empty() ? "Untitled" : fileName(path);
    const std::string title = (app.editor.changed() ? "*" : "") + name + " - " + appTitle;
    SetWindowTextA(app.window, title.c_str());
}

void showEditorState(Application& app, const EditNotice& notice) {
    if (!app.window) return;
    if (notice.framesChanged) matchListToFrames(app);
    SendMessageA(app.frameList, LB_SETCURSEL, WPARAM(app.editor.currentFrame()), 0);
    showDocumentInGlobalPanel(app.globalPanel);
    showFrameInImagePanel(app.imagePanel);
    showFrameInCommentPanel(app.commentPanel);
    updateViewScrollBars(app.animationView);
    redrawAnimationView(app, RDW_INVALIDATE | RDW_ERASE);
    redrawFrameList(app);
    showWindowTitle(app);
    showUndoState(app);
}

void commitTypedValues(Application& app) {
    commitGlobalPanelTyping(app.globalPanel);
    commitImagePanelTyping(app.imagePanel);
    commitCommentPanelTyping(app.commentPanel);
}
