// Window layout: the 200 x 200 minimum, where the children go after resizes, and the animation
// view's scroll bars against the logical screen size.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/layout.h"
#include "ui/support/uiharness.h"

namespace {

RECT inMainClient(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, g_mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int heightOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

SIZE windowSize() {
    RECT rect;
    GetWindowRect(g_mainWindow, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// What the user's drag of the frame does: a size request through SetWindowPos.
void resizeMainWindow(int width, int height) {
    SetWindowPos(g_mainWindow, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages(30);
}

TEST(Layout, WindowNeverGetsSmallerThan200By200) {
    AppSession session;
    ASSERT_TRUE(session.started());
    struct Case {
        int width, height;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {50, 50, 200, 200},   {199, 600, 200, 600}, {600, 10, 600, 200},
        {200, 200, 200, 200}, {0, 0, 200, 200},     {201, 333, 201, 333},
    };
    for (const Case& c : cases) {
        resizeMainWindow(c.width, c.height);
        const SIZE size = windowSize();
        EXPECT_EQ(size.cx, c.expectedWidth) << "asked " << c.width << " x " << c.height;
        EXPECT_EQ(size.cy, c.expectedHeight) << "asked " << c.width << " x " << c.height;
    }
    // The same limit holds for a size request that arrives as a plain move-and-size.
    MoveWindow(g_mainWindow, 10, 10, 120, 90, TRUE);
    EXPECT_EQ(windowSize().cx, 200);
    EXPECT_EQ(windowSize().cy, 200);
}

TEST(Layout, KeepsItsFixedMeasuresAcrossResizes) {
    AppSession session;
    ASSERT_TRUE(session.started());
    const SIZE sizes[] = {{640, 480}, {900, 700}, {360, 380}, {1000, 400}, {200, 200}, {700, 800}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        resizeMainWindow(size.cx, size.cy);
        RECT client;
        GetClientRect(g_mainWindow, &client);
        const int toolbarHeight = heightOf(g_toolbar);
        const int statusHeight = heightOf(g_statusBar);
        ASSERT_GT(toolbarHeight, 28);  // the pictures are 28 high
        ASSERT_GT(statusHeight, 0);

        const RECT tabs = inMainClient(g_propertyTabs);
        EXPECT_EQ(tabs.left, 0);
        EXPECT_EQ(tabs.top, toolbarHeight);
        EXPECT_EQ(tabs.right, client.right);
        EXPECT_EQ(tabs.bottom - tabs.top, 115);

        const RECT list = inMainClient(g_frameList);
        EXPECT_EQ(list.left, 0);
        EXPECT_EQ(list.right - list.left, 150);
        EXPECT_EQ(list.top, toolbarHeight + 117);
        const RECT status = inMainClient(g_statusBar);
        EXPECT_EQ(status.bottom, client.bottom);
        const RECT compose = inMainClient(g_composeTabs);
        EXPECT_EQ(compose.left, 153);
        EXPECT_EQ(compose.top, toolbarHeight + 115);
        EXPECT_EQ(compose.right, client.right - 1);
        // At 200 x 200 nothing is left below the tabs: the lower children get no height at all.
        if (status.top - compose.top < 60) {
            EXPECT_EQ(compose.bottom, compose.top);
            continue;
        }
        // The list's bottom edge lies 7 pixels below the top of the status bar.
        EXPECT_EQ(list.bottom, status.top + 7);
        EXPECT_EQ(compose.bottom, status.top);

        // The view fills the compose tab's page: inside it, below its tab row.
        const RECT view = inMainClient(g_animationView);
        RECT tabButton;
        SendMessageA(g_composeTabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tabButton));
        EXPECT_GE(view.left, compose.left);
        EXPECT_LE(view.right, compose.right);
        EXPECT_GE(view.top, compose.top + tabButton.bottom);
        EXPECT_LE(view.bottom, compose.bottom);
        EXPECT_LE(compose.right - view.right, 8);
        EXPECT_LE(compose.bottom - view.bottom, 8);
        EXPECT_TRUE(IsWindowVisible(g_animationView));

        // The toolbar and status bar follow the width (the toolbar's border reaches past it).
        const RECT toolbar = inMainClient(g_toolbar);
        EXPECT_GE(toolbar.right - toolbar.left, client.right);
        EXPECT_LE(toolbar.right - toolbar.left, client.right + 4);
        EXPECT_EQ(status.right - status.left, client.right);
    }
    resizeMainWindow(720, 520);
    saveWindowScreenshot(g_mainWindow, "layout-720x520.png");
}

struct ScrollState {
    bool visible;
    SCROLLINFO info;
};

ScrollState scrollState(int bar) {
    ScrollState state = {};
    const LONG style = GetWindowLongA(g_animationView, GWL_STYLE);
    state.visible = (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    state.info.cbSize = sizeof(state.info);
    state.info.fMask = SIF_ALL;
    GetScrollInfo(g_animationView, bar, &state.info);
    return state;
}

TEST(ScrollBars, HideAndShowWithTheLogicalScreenAndClampWhatTheyShow) {
    AppSession session;
    ASSERT_TRUE(session.started());
    resizeMainWindow(640, 480);
    RECT client;
    // Each case sets the screen relative to the view's client size measured just before it,
    // since showing one bar shrinks the client area the other bar is measured against.
    struct Case {
        const char* name;
        int extraWidth, extraHeight;  // screen minus the view's client size
        int storedX, storedY;
        bool horizontal, vertical;
    };
    const Case cases[] = {
        {"smaller both ways", -20, -30, 0, 0, false, false},
        {"equal both ways", 0, 0, 0, 0, false, false},
        {"one pixel higher", -10, 1, 0, 0, false, true},
        {"300 higher, stored 500", -10, 300, 0, 500, false, true},
        {"wider, stored 5", 40, -10, 5, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Both bars off first, so the client size is the full view.
        g_document.screenWidth = 1;
        g_document.screenHeight = 1;
        updateViewScrollBars();
        GetClientRect(g_animationView, &client);
        const int viewWidth = client.right;
        const int viewHeight = client.bottom;
        ASSERT_GT(viewWidth, 100);
        ASSERT_GT(viewHeight, 100);

        g_document.screenWidth = uint16_t(viewWidth + c.extraWidth);
        g_document.screenHeight = uint16_t(viewHeight + c.extraHeight);
        g_scrollX = c.storedX;
        g_scrollY = c.storedY;
        updateViewScrollBars();

        const ScrollState vertical = scrollState(SB_VERT);
        const ScrollState horizontal = scrollState(SB_HORZ);
        EXPECT_EQ(vertical.visible, c.vertical);
        EXPECT_EQ(horizontal.visible, c.horizontal);
        // The stored positions are never clamped, only what the bars show.
        EXPECT_EQ(g_scrollX, c.storedX);
        EXPECT_EQ(g_scrollY, c.storedY);
        // Measured before either bar was shown again.
        EXPECT_EQ(g_viewClientWidth, viewWidth);
        EXPECT_EQ(g_viewClientHeight, viewHeight);
        if (c.vertical) {
            EXPECT_EQ(vertical.info.nMin, 0);
            EXPECT_EQ(vertical.info.nMax, g_document.screenHeight);
            EXPECT_EQ(int(vertical.info.nPage), g_viewClientHeight);
            EXPECT_EQ(vertical.info.nPos, std::min(c.storedY, g_document.screenHeight - g_viewClientHeight));
        }
        if (c.horizontal) {
            EXPECT_EQ(horizontal.info.nMin, 0);
            EXPECT_EQ(horizontal.info.nMax, g_document.screenWidth);
            EXPECT_EQ(int(horizontal.info.nPage), g_viewClientWidth);
            EXPECT_EQ(horizontal.info.nPos, std::min(c.storedX, g_document.screenWidth - g_viewClientWidth));
        }
    }
}

TEST(ScrollBars, ThreeHundredPixelsTooHighShowsAStoredFiveHundredAsThreeHundred) {
    AppSession session;
    ASSERT_TRUE(session.started());
    resizeMainWindow(640, 480);
    g_document.screenWidth = 10;
    g_document.screenHeight = 1;
    updateViewScrollBars();
    RECT client;
    GetClientRect(g_animationView, &client);
    g_document.screenHeight = uint16_t(client.bottom + 300);
    g_scrollY = 500;
    updateViewScrollBars();
    EXPECT_EQ(g_scrollMaxY, 300);
    EXPECT_EQ(g_scrollMaxX, 10 - g_viewClientWidth);  // negative: no horizontal scrolling
    const ScrollState vertical = scrollState(SB_VERT);
    EXPECT_TRUE(vertical.visible);
    EXPECT_EQ(vertical.info.nPos, 300);
    EXPECT_EQ(g_scrollY, 500);
    // A resize re-runs the layout, which keeps the bars in step with the new view size.
    resizeMainWindow(640, 700);
    GetClientRect(g_animationView, &client);
    EXPECT_EQ(g_scrollMaxY, int(g_document.screenHeight) - client.bottom);
    EXPECT_EQ(scrollState(SB_VERT).visible, g_scrollMaxY >= 1);
}

}  // namespace
