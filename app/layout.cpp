#include "app/layout.h"

#include <commctrl.h>

#include <algorithm>

#include "app/application.h"
#include "resource.h"
#include "ui/animationview.h"

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

void stretchSeparator(HWND panel, int controlId, int height) {
    SetWindowPos(GetDlgItem(panel, controlId), nullptr, 0, 0, kSeparatorWidth, height, SWP_NOMOVE);
}

void placeAnimationView(Application& app, int toolbarHeight) {
    RECT tabs;
    GetWindowRect(app.composeTabs, &tabs);
    RECT area = tabs;
    SendMessageA(app.composeTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    place(app.animationView, area.left - tabs.left + kComposeLeft,
          area.top - tabs.top + toolbarHeight + kPropertyTabsHeight, area.right - area.left,
          area.bottom - area.top);
}

}  // namespace

void layoutMainWindow(Application& app, WINDOWPOS* position) {
    if (position) {
        position->cx = std::max(position->cx, kMainWindowMinimumSide);
        position->cy = std::max(position->cy, kMainWindowMinimumSide);
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

    place(app.propertyTabs, 0, toolbarHeight, width, kPropertyTabsHeight);
    layoutPropertyPanel(app);
    place(app.frameList, 0, toolbarHeight + kFrameListTopGap, kFrameListWidth,
          height - toolbarHeight - statusHeight - kFrameListHeightTrim);
    place(app.composeTabs, kComposeLeft, toolbarHeight + kPropertyTabsHeight, width - kComposeWidthTrim,
          height - toolbarHeight - statusHeight - kPropertyTabsHeight);
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
        stretchSeparator(app.globalPanel, IDC_GLOBAL_SEPARATOR, height);
        stretchSeparator(app.globalPanel, IDC_GLOBAL_BACKGROUND_SEPARATOR, height);
    }
    if (app.imagePanel) {
        stretchSeparator(app.imagePanel, IDC_IMAGE_OFFSET_SEPARATOR, height);
        stretchSeparator(app.imagePanel, IDC_IMAGE_TRANSPARENCY_SEPARATOR, height);
        stretchSeparator(app.imagePanel, IDC_IMAGE_DELAY_SEPARATOR, height);
    }
}

void redrawAnimationView(Application& app, UINT flags) {
    RedrawWindow(app.animationView, nullptr, nullptr, flags);
}
