// Window layout: the 200 x 200 minimum, where the children go after resizes, and the compose
// canvas's scroll bars against the logical screen size.
#include "app/layout.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "ui/support/uiharness.h"

namespace {

RECT inMainClient(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, g_mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// What the user's drag of the frame does: a size request through SetWindowPos.
RECT resizeMainWindow(int width, int height) {
    SetWindowPos(g_mainWindow, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages(30);
    RECT rect;
    GetWindowRect(g_mainWindow, &rect);
    return rect;
}

TEST(Layout, WindowKeepsItsMinimumAndItsChildrenTheirPlaces) {
    AppSession session;
    ASSERT_TRUE(session.started());
    for (auto [asked, got] :
         {std::pair{SIZE{50, 50}, SIZE{200, 200}}, std::pair{SIZE{199, 600}, SIZE{200, 600}},
          std::pair{SIZE{600, 10}, SIZE{600, 200}}}) {
        const RECT rect = resizeMainWindow(asked.cx, asked.cy);
        EXPECT_EQ(rect.right - rect.left, got.cx) << "asked " << asked.cx << " x " << asked.cy;
        EXPECT_EQ(rect.bottom - rect.top, got.cy) << "asked " << asked.cx << " x " << asked.cy;
    }
    for (SIZE size : {SIZE{640, 480}, SIZE{1000, 400}, SIZE{200, 200}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        resizeMainWindow(size.cx, size.cy);
        RECT client;
        GetClientRect(g_mainWindow, &client);
        const int toolbar = inMainClient(g_toolbar).bottom - inMainClient(g_toolbar).top;
        ASSERT_GT(toolbar, 28);  // the pictures are 28 high
        const RECT tabs = inMainClient(g_propertyTabs), list = inMainClient(g_frameList);
        const RECT status = inMainClient(g_statusBar), compose = inMainClient(g_composeTabs);
        EXPECT_EQ(tabs.top, toolbar);
        EXPECT_EQ(tabs.right, client.right);
        EXPECT_EQ(tabs.bottom, toolbar + 115);
        EXPECT_EQ(list.right - list.left, 150);
        EXPECT_EQ(list.top, toolbar + 117);
        EXPECT_EQ(status.bottom, client.bottom);
        EXPECT_EQ(compose.left, 153);
        EXPECT_EQ(compose.top, toolbar + 115);
        EXPECT_EQ(compose.right, client.right - 1);
        if (status.top - compose.top < 60) {  // at 200 x 200 nothing is left below the tabs
            EXPECT_EQ(compose.bottom, compose.top);
            continue;
        }
        EXPECT_EQ(list.bottom, status.top + 7);
        EXPECT_EQ(compose.bottom, status.top);
        // The canvas fills the compose tab's page, below its tab row.
        const RECT view = inMainClient(g_animationView);
        RECT tabButton;
        SendMessageA(g_composeTabs, TCM_GETITEMRECT, 0, LPARAM(&tabButton));
        EXPECT_GE(view.left, compose.left);
        EXPECT_GE(view.top, compose.top + tabButton.bottom);
        EXPECT_LE(compose.right - view.right, 8);
        EXPECT_LE(compose.bottom - view.bottom, 8);
        EXPECT_GE(compose.bottom, view.bottom);
    }
}

TEST(Layout, ScrollBarsFollowTheScreenAndClampOnlyWhatTheyShow) {
    AppSession session;
    ASSERT_TRUE(session.started());
    resizeMainWindow(640, 480);
    // The screen is set against the canvas's client size without bars, since one bar shown
    // shrinks the room the other is measured against.
    struct Case {
        int extraWidth, extraHeight;  // screen minus the canvas's client size
        int storedX, storedY;
        bool horizontal, vertical;
    };
    const Case cases[] = {
        {-20, -30, 0, 0, false, false},  {0, 0, 0, 0, false, false},   {-10, 1, 0, 0, false, true},
        {-10, 300, 0, 500, false, true}, {40, -10, 5, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.extraWidth << ", " << c.extraHeight);
        g_document.screenWidth = g_document.screenHeight = 1;
        updateViewScrollBars();
        RECT client;
        GetClientRect(g_animationView, &client);
        g_document.screenWidth = uint16_t(client.right + c.extraWidth);
        g_document.screenHeight = uint16_t(client.bottom + c.extraHeight);
        g_scrollX = c.storedX;
        g_scrollY = c.storedY;
        updateViewScrollBars();
        EXPECT_EQ(g_viewClientWidth, client.right);  // measured before a bar came back
        EXPECT_EQ(g_viewClientHeight, client.bottom);
        EXPECT_EQ(g_scrollX, c.storedX);  // the stored positions are never clamped
        EXPECT_EQ(g_scrollY, c.storedY);
        const LONG style = GetWindowLongA(g_animationView, GWL_STYLE);
        EXPECT_EQ((style & WS_HSCROLL) != 0, c.horizontal);
        EXPECT_EQ((style & WS_VSCROLL) != 0, c.vertical);
        for (auto [bar, shown, size, page, stored] :
             {std::tuple{SB_HORZ, c.horizontal, g_document.screenWidth, g_viewClientWidth, c.storedX},
              std::tuple{SB_VERT, c.vertical, g_document.screenHeight, g_viewClientHeight, c.storedY}}) {
            SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
            GetScrollInfo(g_animationView, bar, &info);
            if (!shown) continue;
            EXPECT_EQ(info.nMax, size);
            EXPECT_EQ(int(info.nPage), page);
            EXPECT_EQ(info.nPos, std::min(stored, size - page));  // 300 too high: 500 shows as 300
        }
    }
    // A resize re-runs the layout, which keeps the bars in step with the new canvas size.
    resizeMainWindow(640, 700);
    RECT client;
    GetClientRect(g_animationView, &client);
    EXPECT_EQ(g_scrollMaxY, int(g_document.screenHeight) - client.bottom);
}

}  // namespace
