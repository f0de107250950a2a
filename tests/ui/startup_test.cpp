// Start-up and the panel switch: every child exists, the Global panel starts in the upper tab's
// display area, and each tab shows exactly one panel there.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

std::string textOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string tabText(HWND tabs, int index) {
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(tabs, TCM_GETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

RECT clientRectOf(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, g_mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The part of the upper tab control below its row of tabs, in main-window client coordinates.
// Built from the tab buttons' own rectangle rather than from TCM_ADJUSTRECT, which the layout uses.
RECT tabPageArea() {
    RECT tabs = clientRectOf(g_propertyTabs);
    RECT button;
    SendMessageA(g_propertyTabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    tabs.top += button.bottom;
    return tabs;
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

bool visibleOnPage(HWND panel) {
    return IsWindowVisible(panel) && inside(clientRectOf(panel), tabPageArea());
}

// What the tab control itself sends its parent when the user clicks a tab.
void clickPropertyTab(int index) {
    SendMessageA(g_propertyTabs, TCM_SETCURSEL, WPARAM(index), 0);
    NMHDR header = {};
    header.hwndFrom = g_propertyTabs;
    header.idFrom = IDC_PROPERTY_TABS;
    header.code = TCN_SELCHANGE;
    SendMessageA(g_mainWindow, WM_NOTIFY, IDC_PROPERTY_TABS, reinterpret_cast<LPARAM>(&header));
}

TEST(StartUp, BuildsEveryChildOfTheMainWindow) {
    AppSession session;
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(IsWindow(g_mainWindow));
    EXPECT_TRUE(IsWindowVisible(g_mainWindow));
    EXPECT_EQ(textOf(g_mainWindow), "Velmora");  // the string, not the template's "GIF"
    EXPECT_NE(GetMenu(g_mainWindow), nullptr);
    EXPECT_EQ(g_modified, false);

    struct Child {
        const char* name;
        HWND window;
        const char* className;
        int id;
    };
    const Child children[] = {
        {"toolbar", g_toolbar, TOOLBARCLASSNAMEA, IDC_TOOLBAR},
        {"status bar", g_statusBar, STATUSCLASSNAMEA, IDC_STATUSBAR},
        {"frame list", g_frameList, "ListBox", IDC_FRAME_LIST},
        {"property tabs", g_propertyTabs, WC_TABCONTROLA, IDC_PROPERTY_TABS},
        {"compose tabs", g_composeTabs, WC_TABCONTROLA, IDC_COMPOSE_TABS},
        {"global panel", g_globalPanel, "#32770", -1},
        {"image panel", g_imagePanel, "#32770", -1},
        {"comment panel", g_commentPanel, "#32770", -1},
        {"animation view", g_animationView, "#32770", -1},
    };
    for (const Child& child : children) {
        SCOPED_TRACE(child.name);
        ASSERT_TRUE(IsWindow(child.window));
        EXPECT_EQ(GetParent(child.window), g_mainWindow);
        EXPECT_STRCASEEQ(classOf(child.window).c_str(), child.className);
        if (child.id >= 0) {
            EXPECT_EQ(GetDlgCtrlID(child.window), child.id);
        }
    }
    EXPECT_TRUE(IsWindow(g_commentList));
    EXPECT_EQ(GetDlgCtrlID(g_commentList), IDC_COMMENT_LIST);
    // The list is subclassed: its procedure is no longer the list box's own.
    EXPECT_NE(g_frameListBaseProc, nullptr);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(g_frameList, GWLP_WNDPROC)), g_frameListBaseProc);
    EXPECT_EQ(SendMessageA(g_frameList, LB_GETITEMHEIGHT, 0, 0), 54);
    // The button that has no role stays hidden.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(g_mainWindow, IDC_MAIN_UNUSED_BUTTON)));

    saveWindowScreenshot(g_mainWindow, "startup-main-window.png");
}

TEST(StartUp, TabsCarryTheirTitles) {
    AppSession session;
    ASSERT_TRUE(session.started());
    ASSERT_EQ(SendMessageA(g_propertyTabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(tabText(g_propertyTabs, 0), "Global");
    EXPECT_EQ(tabText(g_propertyTabs, 1), "Image");
    EXPECT_EQ(tabText(g_propertyTabs, 2), "Comment");
    ASSERT_EQ(SendMessageA(g_composeTabs, TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(tabText(g_composeTabs, 0), "Compose");
}

TEST(StartUp, ShowsTheGlobalPanelInTheTabsDisplayArea) {
    AppSession session;
    ASSERT_TRUE(session.started());
    EXPECT_EQ(SendMessageA(g_propertyTabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(visibleOnPage(g_globalPanel));
    // The other two are still parked outside the window.
    RECT client;
    GetClientRect(g_mainWindow, &client);
    for (HWND parked : {g_imagePanel, g_commentPanel}) {
        RECT rect = clientRectOf(parked);
        RECT overlap;
        EXPECT_FALSE(IsWindowVisible(parked) && IntersectRect(&overlap, &rect, &client));
    }
    // The animation view sits inside the compose tab.
    EXPECT_TRUE(IsWindowVisible(g_animationView));
    EXPECT_TRUE(inside(clientRectOf(g_animationView), clientRectOf(g_composeTabs)));
}

TEST(StartUp, GlobalPanelStartsWithItsDefaults) {
    AppSession session;
    ASSERT_TRUE(session.started());
    struct Field {
        int id;
        const char* text;
    };
    for (const Field& field :
         {Field{IDC_GLOBAL_WIDTH, "1"}, Field{IDC_GLOBAL_HEIGHT, "1"}, Field{IDC_GLOBAL_LOOP, "1"}}) {
        char text[32] = {};
        GetDlgItemTextA(g_globalPanel, field.id, text, sizeof(text));
        EXPECT_STREQ(text, field.text) << "control " << field.id;
    }
    struct Range {
        HWND panel;
        int id;
        int low, high;
    };
    const Range ranges[] = {
        {g_globalPanel, IDC_GLOBAL_WIDTH_SPIN, 1, 2000},
        {g_globalPanel, IDC_GLOBAL_HEIGHT_SPIN, 1, 2000},
        {g_globalPanel, IDC_GLOBAL_LOOP_SPIN, 1, 32767},
        {g_globalPanel, IDC_GLOBAL_BACKGROUND_SPIN, 0, 255},
        {g_imagePanel, IDC_IMAGE_LEFT_SPIN, 0, 32767},
        {g_imagePanel, IDC_IMAGE_TOP_SPIN, 0, 32767},
        {g_imagePanel, IDC_IMAGE_TRANSPARENT_SPIN, 0, 255},
        {g_imagePanel, IDC_IMAGE_DELAY_SPIN, 0, 32767},
    };
    for (const Range& range : ranges) {
        const LRESULT packed = SendDlgItemMessageA(range.panel, range.id, UDM_GETRANGE, 0, 0);
        EXPECT_EQ(short(HIWORD(packed)), range.low) << "up-down " << range.id;
        EXPECT_EQ(short(LOWORD(packed)), range.high) << "up-down " << range.id;
    }
    HWND disposal = GetDlgItem(g_imagePanel, IDC_IMAGE_DISPOSAL);
    const char* expected[] = {"Web Browser Decides", "Do Not Remove", "To Background Color",
                              "To Previous State"};
    ASSERT_EQ(SendMessageA(disposal, CB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        char text[64] = {};
        SendMessageA(disposal, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, expected[i]);
    }
    EXPECT_EQ(SendMessageA(disposal, CB_GETCURSEL, 0, 0), 0);
}

TEST(PanelSwitch, EachTabShowsExactlyOnePanelOnThePage) {
    AppSession session;
    ASSERT_TRUE(session.started());
    // Tabs visited out of order and back again, so a panel left behind would show.
    const int order[] = {1, 2, 0, 2, 1};
    const char* names[] = {"Global", "Image", "Comment"};
    for (int tab : order) {
        SCOPED_TRACE(names[tab]);
        clickPropertyTab(tab);
        pumpMessages(50);
        const HWND panels[] = {g_globalPanel, g_imagePanel, g_commentPanel};
        for (int i = 0; i < 3; ++i) {
            if (i == tab) {
                EXPECT_TRUE(visibleOnPage(panels[i])) << names[i] << " should be shown";
            } else {
                EXPECT_FALSE(IsWindowVisible(panels[i])) << names[i] << " should be hidden";
            }
        }
    }
    clickPropertyTab(1);
    saveWindowScreenshot(g_mainWindow, "startup-image-tab.png");
    clickPropertyTab(2);
    saveWindowScreenshot(g_mainWindow, "startup-comment-tab.png");
}

TEST(PanelSwitch, SeparatorsAreTwoPixelsWideAndAsHighAsThePage) {
    AppSession session;
    ASSERT_TRUE(session.started());
    RECT shown;
    GetClientRect(g_globalPanel, &shown);
    // The panel fills the page; the separators span it whichever panel is shown.
    const int pageHeight = shown.bottom;
    EXPECT_GT(pageHeight, 50);
    struct Separator {
        HWND panel;
        int id;
    };
    const Separator separators[] = {
        {g_globalPanel, IDC_GLOBAL_SEPARATOR},      {g_globalPanel, IDC_GLOBAL_BACKGROUND_SEPARATOR},
        {g_imagePanel, IDC_IMAGE_OFFSET_SEPARATOR}, {g_imagePanel, IDC_IMAGE_TRANSPARENCY_SEPARATOR},
        {g_imagePanel, IDC_IMAGE_DELAY_SEPARATOR},
    };
    for (const Separator& separator : separators) {
        RECT rect;
        GetWindowRect(GetDlgItem(separator.panel, separator.id), &rect);
        EXPECT_EQ(rect.right - rect.left, 2) << "separator " << separator.id;
        EXPECT_EQ(rect.bottom - rect.top, pageHeight) << "separator " << separator.id;
    }
}

}  // namespace
