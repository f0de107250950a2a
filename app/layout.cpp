#include "app/layout.h"

#include <commctrl.h>

#include <algorithm>

#include "app/globals.h"
#include "resource.h"

namespace {

constexpr int kPropertyTabsHeight = 115;
constexpr int kFrameListTopGap = 117;  // below the toolbar
constexpr int kFrameListWidth = 150;
constexpr int kFrameListHeightTrim = 110;  // reaches 7 pixels below the status bar's top
constexpr int kComposeLeft = 153;
constexpr int kComposeWidthTrim = 154;
constexpr int kSeparatorWidth = 2;

void place(HWND window, int x, int y, int width, int height) {
    SetWindowPos(window, nullptr, x, y, width, height, SWP_SHOWWINDOW);
}

int windowHeight(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

HWND currentPanel() {
    switch (SendMessageA(g_propertyTabs, TCM_GETCURSEL, 0, 0)) {
        case 0:
            return g_globalPanel;
        case 1:
            return g_imagePanel;
        case 2:
            return g_commentPanel;
        default:
            return nullptr;
    }
}

void stretchSeparator(HWND panel, int controlId, int height) {
    SetWindowPos(GetDlgItem(panel, controlId), nullptr, 0, 0, kSeparatorWidth, height, SWP_NOMOVE);
}

void placeAnimationView(int toolbarHeight) {
    RECT tabs;
    GetWindowRect(g_composeTabs, &tabs);
    RECT area = tabs;
    SendMessageA(g_composeTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    place(g_animationView, area.left - tabs.left + kComposeLeft,
          area.top - tabs.top + toolbarHeight + kPropertyTabsHeight, area.right - area.left,
          area.bottom - area.top);
}

// Sets one scroll bar from the screen side, the view side and the stored position.
// Showing or hiding a bar re-lays the window out (slow under Wine, and called on every drag tick),
// so it is done only when the bar's visibility really changes.
void showScrollBar(int bar, bool show) {
    const LONG_PTR style = GetWindowLongPtrA(g_animationView, GWL_STYLE);
    const bool shown = (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    if (shown != show) ShowScrollBar(g_animationView, bar, show ? TRUE : FALSE);
}

void updateScrollBar(int bar, int screenSide, int viewSide, int position, int maximum) {
    if (maximum < 1) {
        showScrollBar(bar, false);
        return;
    }
    showScrollBar(bar, true);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = screenSide;
    info.nPage = UINT(viewSide);
    // The stored position stays as it is; only what the bar shows is clamped.
    info.nPos = std::min(position, maximum);
    info.nTrackPos = 0;
    SetScrollInfo(g_animationView, bar, &info, TRUE);
}

}  // namespace

void layoutMainWindow(WINDOWPOS* position) {
    if (position) {
        position->cx = std::max(position->cx, kMainWindowMinimumSide);
        position->cy = std::max(position->cy, kMainWindowMinimumSide);
    }
    // Size messages arrive while the dialog is still being created: nothing to place yet.
    if (!g_toolbar || !g_statusBar || !g_propertyTabs || !g_frameList || !g_composeTabs || !g_animationView)
        return;

    SendMessageA(g_toolbar, WM_SIZE, 0, 0);
    SendMessageA(g_statusBar, WM_SIZE, 0, 0);

    RECT client;
    GetClientRect(g_mainWindow, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const int toolbarHeight = windowHeight(g_toolbar);
    const int statusHeight = windowHeight(g_statusBar);

    place(g_propertyTabs, 0, toolbarHeight, width, kPropertyTabsHeight);
    layoutPropertyPanel();
    place(g_frameList, 0, toolbarHeight + kFrameListTopGap, kFrameListWidth,
          height - toolbarHeight - statusHeight - kFrameListHeightTrim);
    place(g_composeTabs, kComposeLeft, toolbarHeight + kPropertyTabsHeight, width - kComposeWidthTrim,
          height - toolbarHeight - statusHeight - kPropertyTabsHeight);
    placeAnimationView(toolbarHeight);
    updateViewScrollBars();
}

void layoutPropertyPanel() {
    if (!g_propertyTabs) return;
    RECT area;
    GetWindowRect(g_propertyTabs, &area);
    MapWindowPoints(nullptr, g_mainWindow, reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(g_propertyTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const int height = area.bottom - area.top;

    if (HWND panel = currentPanel()) place(panel, area.left, area.top, area.right - area.left, height);

    if (g_globalPanel) {
        stretchSeparator(g_globalPanel, IDC_GLOBAL_SEPARATOR, height);
        stretchSeparator(g_globalPanel, IDC_GLOBAL_BACKGROUND_SEPARATOR, height);
    }
    if (g_imagePanel) {
        stretchSeparator(g_imagePanel, IDC_IMAGE_OFFSET_SEPARATOR, height);
        stretchSeparator(g_imagePanel, IDC_IMAGE_TRANSPARENCY_SEPARATOR, height);
        stretchSeparator(g_imagePanel, IDC_IMAGE_DELAY_SEPARATOR, height);
    }
}

void updateViewScrollBars() {
    if (!g_animationView) return;
    RECT client;
    GetClientRect(g_animationView, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    g_scrollMaxY = int(g_editor.document().screenHeight) - clientHeight;
    g_scrollMaxX = int(g_editor.document().screenWidth) - clientWidth;
    g_viewClientWidth = clientWidth;
    g_viewClientHeight = clientHeight;
    updateScrollBar(SB_VERT, g_editor.document().screenHeight, clientHeight, g_scrollY, g_scrollMaxY);
    updateScrollBar(SB_HORZ, g_editor.document().screenWidth, clientWidth, g_scrollX, g_scrollMaxX);
}

void redrawAnimationView(UINT flags) {
    RedrawWindow(g_animationView, nullptr, nullptr, flags);
}
