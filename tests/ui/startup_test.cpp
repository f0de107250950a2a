// The main window as it starts: its children, the tabs and the panel each shows, and the toolbar
// with its hidden buttons, labels, pictures and tooltips.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/application.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

// Shown below the upper tab control's row of tabs (measured from the tab buttons, not with
// TCM_ADJUSTRECT, which the layout itself uses).
bool shownOnPage(HWND panel) {
    RECT page = rectInMainWindow(app().propertyTabs), button, rect = rectInMainWindow(panel);
    SendMessageA(app().propertyTabs, TCM_GETITEMRECT, 0, LPARAM(&button));
    page.top += button.bottom;
    return IsWindowVisible(panel) && rect.left >= page.left && rect.top >= page.top &&
           rect.right <= page.right && rect.bottom <= page.bottom && rect.right > rect.left &&
           rect.bottom > rect.top;
}

TEST(StartUp, BuildsEveryChildAndShowsOnePanelPerTab) {
    AppSession session;
    ASSERT_TRUE(session.started());
    char title[64] = {};
    GetWindowTextA(app().window, title, sizeof(title));
    EXPECT_STREQ(title, "Untitled - Velmora");  // the string resource, not the template's caption
    EXPECT_NE(GetMenu(app().window), nullptr);
    for (auto [child, id] : {std::pair{app().toolbar, IDC_TOOLBAR},
                             {app().statusBar, IDC_STATUSBAR},
                             {app().frameList, IDC_FRAME_LIST},
                             {app().propertyTabs, IDC_PROPERTY_TABS},
                             {app().composeTabs, IDC_COMPOSE_TABS}}) {
        EXPECT_EQ(GetParent(child), app().window) << id;
        EXPECT_EQ(GetDlgCtrlID(child), id);
    }
    // The list is subclassed and owner-drawn with items 54 pixels high.
    EXPECT_NE(WNDPROC(GetWindowLongPtrA(app().frameList, GWLP_WNDPROC)), app().frameListBaseProc);
    EXPECT_EQ(SendMessageA(app().frameList, LB_GETITEMHEIGHT, 0, 0), 54);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(app().window, IDC_MAIN_UNUSED_BUTTON)));
    std::string tabs;
    for (auto [control, index] :
         {std::pair{app().propertyTabs, 0}, {app().propertyTabs, 1}, {app().propertyTabs, 2}, {app().composeTabs, 0}}) {
        char text[64] = {};
        TCITEMA item = {TCIF_TEXT, 0, 0, text, sizeof(text), 0, 0};
        SendMessageA(control, TCM_GETITEMA, WPARAM(index), LPARAM(&item));
        tabs += text;
    }
    EXPECT_EQ(tabs, "GlobalImageCommentCompose");
    EXPECT_TRUE(IsWindowVisible(app().animationView));
    saveWindowScreenshot(app().window, "startup-main-window.png");

    // The Global panel starts on the page; tabs visited out of order and back again, so a panel
    // left behind would show.
    const HWND panels[] = {app().globalPanel, app().imagePanel, app().commentPanel};
    EXPECT_TRUE(shownOnPage(app().globalPanel));
    for (int tab : {1, 2, 0, 2, 1}) {
        showPropertyTab(tab);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(i == tab ? shownOnPage(panels[i]) : IsWindowVisible(panels[i]) != FALSE, i == tab)
                << "tab " << tab << ", panel " << i;
    }
}

TEST(Toolbar, ButtonsPicturesAndTooltips) {
    AppSession session;
    ASSERT_TRUE(session.started());
    // Each button as "id:picture label", then "/tooltip" where the label (at most nine characters)
    // cuts it short, "hidden", and "off" for Undo and Redo, which wait for a step; "-" a separator.
    std::string buttons;
    HWND tooltips = HWND(SendMessageA(app().toolbar, TB_GETTOOLTIPS, 0, 0));
    for (int i = 0; i < int(SendMessageA(app().toolbar, TB_BUTTONCOUNT, 0, 0)); ++i) {
        TBBUTTON button = {};
        SendMessageA(app().toolbar, TB_GETBUTTON, WPARAM(i), LPARAM(&button));
        buttons += i ? ", " : "";
        if (button.fsStyle & BTNS_SEP) {
            buttons += "-";
            continue;
        }
        char label[64] = {}, text[128] = {};
        TBBUTTONINFOA info = {sizeof(info), TBIF_BYINDEX | TBIF_TEXT, 0, 0, 0, 0, 0, 0, label, sizeof(label)};
        SendMessageA(app().toolbar, TB_GETBUTTONINFOA, WPARAM(i), LPARAM(&info));
        // What the tooltip control asks the main window.
        NMTTDISPINFOA asked = {};
        asked.hdr = {tooltips, UINT_PTR(button.idCommand), UINT(TTN_GETDISPINFOA)};
        SendMessageA(app().window, WM_NOTIFY, 0, LPARAM(&asked));
        LoadStringA(asked.hinst, UINT(UINT_PTR(asked.lpszText)), text, sizeof(text));
        const std::string tooltip = IS_INTRESOURCE(asked.lpszText) ? text : asked.lpszText;
        buttons += std::to_string(button.idCommand) + ":" + std::to_string(button.iBitmap) + " " + label +
                   (tooltip != label ? "/" + tooltip : "") +
                   (button.fsState & TBSTATE_HIDDEN ? " hidden" : "") +
                   (button.fsState & TBSTATE_ENABLED ? "" : " off");
    }
    EXPECT_EQ(buttons,
              "101:0 New, 102:1 Open, 103:2 Save, 104:3 Optimize, -, 105:4 Undo off, 106:5 Redo off, -, "
              "107:6 Add Empty/Add Empty Image hidden, 108:7 Add, 109:8 Delete, 110:9 Move Down, "
              "111:10 Move Up, -, 112:11 Animate, 113:12 Set Loop /Set Loop Counter hidden, "
              "114:13 Animation/Animation Delay hidden, -, 115:14 Help");
    // Fifteen 28-pixel pictures; magenta is masked away, so none shows it once drawn on white.
    HIMAGELIST images = HIMAGELIST(SendMessageA(app().toolbar, TB_GETIMAGELIST, 0, 0));
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width * 100 + height, 2828);
    ASSERT_EQ(ImageList_GetImageCount(images), 15);
    for (int i = 0; i < 15; ++i) {
        const Capture drawn = captureDrawing(
            28, 28, 0xFFFFFF, [&](HDC dc) { ImageList_Draw(images, i, dc, 0, 0, ILD_TRANSPARENT); });
        const auto count = [&](uint32_t rgb) {
            return std::count(drawn.pixels.begin(), drawn.pixels.end(), rgb);
        };
        EXPECT_EQ(count(0xFF00FF), 0) << "picture " << i;
        EXPECT_GT(count(0xFFFFFF), 0) << "picture " << i << " has no see-through background";
        EXPECT_LT(count(0xFFFFFF), 28 * 28 - 40) << "picture " << i << " draws almost nothing";
    }
}

}  // namespace
