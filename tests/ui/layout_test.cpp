// Window layout: the 200 x 200 minimum and where the children go after a resize.
#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/application.h"
#include "ui/support/uiharness.h"

namespace {

// What the user's drag of the frame does: a size request through SetWindowPos.
RECT resizeMainWindow(int width, int height) {
    SetWindowPos(app().window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages(30);
    RECT rect;
    GetWindowRect(app().window, &rect);
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
    resizeMainWindow(1000, 400);
    RECT client;
    GetClientRect(app().window, &client);
    const int toolbar = rectInMainWindow(app().toolbar).bottom - rectInMainWindow(app().toolbar).top;
    ASSERT_GT(toolbar, 28);  // the pictures are 28 high
    const RECT tabs = rectInMainWindow(app().propertyTabs), list = rectInMainWindow(app().frameList);
    const RECT status = rectInMainWindow(app().statusBar), compose = rectInMainWindow(app().composeTabs);
    EXPECT_EQ(tabs.top, toolbar);
    EXPECT_EQ(tabs.right, client.right);
    EXPECT_EQ(tabs.bottom, toolbar + 115);
    EXPECT_EQ(list.right - list.left, 150);
    EXPECT_EQ(list.top, toolbar + 117);
    EXPECT_EQ(list.bottom, status.top + 7);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(compose.left * 1000 + compose.top, 153 * 1000 + toolbar + 115);
    EXPECT_EQ(compose.right, client.right - 1);
    EXPECT_EQ(compose.bottom, status.top);
    // The canvas fills the compose tab's page, below its tab row.
    const RECT view = rectInMainWindow(app().animationView);
    RECT tabButton;
    SendMessageA(app().composeTabs, TCM_GETITEMRECT, 0, LPARAM(&tabButton));
    EXPECT_GE(view.left, compose.left);
    EXPECT_GE(view.top, compose.top + tabButton.bottom);
    EXPECT_LE(compose.right - view.right, 8);
    EXPECT_LE(compose.bottom - view.bottom, 8);
    EXPECT_GE(compose.bottom, view.bottom);
}

}  // namespace
