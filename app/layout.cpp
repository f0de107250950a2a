#include "app/layout.h"

#include <commctrl.h>

#include <algorithm>

#include "app/application.h"
#include "app/dpi.h"
#include "resource.h"
#include "ui/animationview.h"

namespace {

// Pixel sizes at 96 DPI; px() scales them to the window's DPI.
constexpr int kPropertyTabsHeight = 115;
constexpr int kFrameListTopGap = 117;  // below the toolbar
constexpr int kFrameListWidth = 150;
constexpr int kFrameListHeightTrim = 110;  // reaches 7 pixels below the status bar's top
constexpr int kComposeLeft = 153;
constexpr int kComposeWidthTrim = 154;
constexpr int kSeparatorWidth = 2;
// Room right of the widest panel or toolbar, and the client height, of the window at its first size.
constexpr int kWindowContentMargin = 8;
constexpr int kFirstClientHeight = 560;

int px(const Application& app, int pixels) {
    return scaledForDpi(pixels, app.dpi);
}

void place(HWND window, int x, int y, int width, int height) {
    SetWindowPos(window, nullptr, x, y, width, height, SWP_SHOWWINDOW);
}

int windowHeight(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

HWND currentPanel(Application& app) {
    switch (SendMessageA(app.propertyTabs, TCM_GETCURSEL, 0, 0)) {
        case 0:
            return app.globalPanel;
        case 1:
            return app.imagePanel;
        case 2:
            return app.commentPanel;
        default:
            return nullptr;
    }
}

void stretchSeparator(const Application& app, HWND panel, int controlId, int height) {
    SetWindowPos(GetDlgItem(panel, controlId), nullptr, 0, 0, px(app, kSeparatorWidth), height, SWP_NOMOVE);
}

void placeAnimationView(Application& app, int toolbarHeight) {
    RECT tabs;
    GetWindowRect(app.composeTabs, &tabs);
    RECT area = tabs;
    SendMessageA(app.composeTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    place(app.animationView, area.left - tabs.left + px(app, kComposeLeft),
          area.top - tabs.top + toolbarHeight + px(app, kPropertyTabsHeight), area.right - area.left,
          area.bottom - area.top);
}

// The right edge of the panel's rightmost visible control, in pixels.
int panelContentWidth(HWND panel) {
    int right = 0;
    for (HWND child = GetWindow(panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&rect), 2);
        right = std::max<int>(right, rect.right);
    }
    return right;
}

int toolbarContentWidth(HWND toolbar) {
    const LRESULT count = SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    RECT last = {};
    if (count > 0) SendMessageA(toolbar, TB_GETITEMRECT, WPARAM(count - 1), reinterpret_cast<LPARAM>(&last));
    return last.right;
}

}  // namespace

void sizeMainWindowToFit(Application& app) {
    // The tab control's frame around a panel.
    RECT frame = {0, 0, 1000, 1000};
    SendMessageA(app.propertyTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&frame));
    const int tabMargin = 1000 - (frame.right - frame.left);
    int width = toolbarContentWidth(app.toolbar);
    for (HWND panel : {app.globalPanel, app.imagePanel, app.commentPanel})
        width = std::max(width, panelContentWidth(panel) + tabMargin);
    RECT client = {0, 0, width + px(app, kWindowContentMargin), px(app, kFirstClientHeight)};
    AdjustWindowRectEx(&client, DWORD(GetWindowLongPtrA(app.window, GWL_STYLE)),
                       GetMenu(app.window) != nullptr, DWORD(GetWindowLongPtrA(app.window, GWL_EXSTYLE)));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(app.window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int windowWidth = std::min<int>(client.right - client.left, work.right - work.left);
    const int windowHeight = std::min<int>(client.bottom - client.top, work.bottom - work.top);
    SetWindowPos(app.window, nullptr, work.left + (work.right - work.left - windowWidth) / 2,
                 work.top + (work.bottom - work.top - windowHeight) / 2, windowWidth, windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void layoutMainWindow(Application& app, WINDOWPOS* position) {
    if (position) {
        position->cx = std::max(position->cx, px(app, kMainWindowMinimumSide));
        position->cy = std::max(position->cy, px(app, kMainWindowMinimumSide));
    }
    // Size messages arrive while the dialog is still being created: nothing to place yet.
    if (!app.toolbar || !app.statusBar || !app.propertyTabs || !app.frameList || !app.composeTabs ||
        !app.animationView)
        return;

    SendMessageA(app.toolbar, WM_SIZE, 0, 0);
    SendMessageA(app.statusBar, WM_SIZE, 0, 0);

    RECT client;
    GetClientRect(app.window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const int toolbarHeight = windowHeight(app.toolbar);
    const int statusHeight = windowHeight(app.statusBar);

    const int tabsHeight = px(app, kPropertyTabsHeight);
    place(app.propertyTabs, 0, toolbarHeight, width, tabsHeight);
    layoutPropertyPanel(app);
    place(app.frameList, 0, toolbarHeight + px(app, kFrameListTopGap), px(app, kFrameListWidth),
          height - toolbarHeight - statusHeight - px(app, kFrameListHeightTrim));
    place(app.composeTabs, px(app, kComposeLeft), toolbarHeight + tabsHeight,
          width - px(app, kComposeWidthTrim), height - toolbarHeight - statusHeight - tabsHeight);
    placeAnimationView(app, toolbarHeight);
    updateViewScrollBars(app.animationView);
}

void layoutPropertyPanel(Application& app) {
    if (!app.propertyTabs) return;
    RECT area;
    GetWindowRect(app.propertyTabs, &area);
    MapWindowPoints(nullptr, app.window, reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(app.propertyTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const int height = area.bottom - area.top;

    if (HWND panel = currentPanel(app)) place(panel, area.left, area.top, area.right - area.left, height);

    if (app.globalPanel) {
        stretchSeparator(app, app.globalPanel, IDC_GLOBAL_SEPARATOR, height);
        stretchSeparator(app, app.globalPanel, IDC_GLOBAL_BACKGROUND_SEPARATOR, height);
    }
    if (app.imagePanel) {
        stretchSeparator(app, app.imagePanel, IDC_IMAGE_OFFSET_SEPARATOR, height);
        stretchSeparator(app, app.imagePanel, IDC_IMAGE_TRANSPARENCY_SEPARATOR, height);
        stretchSeparator(app, app.imagePanel, IDC_IMAGE_DELAY_SEPARATOR, height);
    }
}

void redrawAnimationView(Application& app, UINT flags) {
    RedrawWindow(app.animationView, nullptr, nullptr, flags);
}
