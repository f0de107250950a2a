// The toolbar: its buttons in order with the hidden ones, labels cut to nine characters, the
// pictures, and the tooltips the main window hands out.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

std::string stringResource(UINT id) {
    char text[256] = {};
    LoadStringA(g_instance, id, text, sizeof(text));
    return text;
}

// What the toolbar's tooltip asks the main window for a button id; the text it would show.
std::string tooltipFor(UINT_PTR id, HINSTANCE* instanceOut = nullptr) {
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(g_toolbar, TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = id;
    info.hdr.code = TTN_GETDISPINFOA;
    char untouched[] = "untouched";
    info.lpszText = untouched;
    SendMessageA(g_mainWindow, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    if (instanceOut) *instanceOut = info.hinst;
    if (info.lpszText == untouched) return "untouched";
    if (IS_INTRESOURCE(info.lpszText)) return stringResource(UINT(reinterpret_cast<UINT_PTR>(info.lpszText)));
    return info.lpszText;
}

TEST(Toolbar, ButtonsInOrderWithTheHiddenOnes) {
    AppSession session;
    ASSERT_TRUE(session.started());
    struct Row {
        int image;
        int id;
        bool hidden;
        bool separator;
        const char* label;  // as shown: at most nine characters
    };
    const Row rows[] = {
        {0, 101, false, false, "New"},       {1, 102, false, false, "Open"},
        {2, 103, false, false, "Save"},      {3, 104, true, false, "Optimize"},
        {4, 105, true, true, nullptr},       {4, 105, true, false, "Undo"},
        {5, 106, true, false, "Redo"},       {4, 105, false, true, nullptr},
        {6, 107, true, false, "Add Empty"},  {7, 108, false, false, "Add"},
        {8, 109, false, false, "Delete"},    {9, 110, false, false, "Move Down"},
        {10, 111, false, false, "Move Up"},  {11, 112, false, true, nullptr},
        {11, 112, false, false, "Animate"},  {12, 113, true, false, "Set Loop "},
        {13, 114, true, false, "Animation"}, {11, 112, false, true, nullptr},
        {14, 115, false, false, "Help"},
    };
    const int count = int(sizeof(rows) / sizeof(rows[0]));
    ASSERT_EQ(SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0), count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(testing::Message() << "button " << i);
        TBBUTTON button = {};
        ASSERT_TRUE(SendMessageA(g_toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.idCommand, rows[i].id);
        EXPECT_EQ((button.fsStyle & BTNS_SEP) != 0, rows[i].separator);
        EXPECT_EQ((button.fsState & TBSTATE_HIDDEN) != 0, rows[i].hidden);
        EXPECT_NE(button.fsState & TBSTATE_ENABLED, 0);
        if (!rows[i].separator) {
            EXPECT_EQ(button.iBitmap, rows[i].image);
            // By position: ids 105 and 112 are shared with separators.
            char label[64] = {};
            TBBUTTONINFOA info = {};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
            info.pszText = label;
            info.cchText = sizeof(label);
            SendMessageA(g_toolbar, TB_GETBUTTONINFOA, WPARAM(i), reinterpret_cast<LPARAM>(&info));
            EXPECT_STREQ(label, rows[i].label);
        }
    }
}

TEST(Toolbar, FifteenPicturesOf28Pixels) {
    AppSession session;
    ASSERT_TRUE(session.started());
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(g_toolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_EQ(images, g_toolbarImages);
    EXPECT_EQ(ImageList_GetImageCount(images), 15);
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, 28);
    EXPECT_EQ(height, 28);
    // Magenta is masked away: no picture shows a magenta pixel once drawn on white.
    for (int i = 0; i < 15; ++i) {
        const Capture drawn = captureDrawing(
            28, 28, 0xFFFFFF, [&](HDC dc) { ImageList_Draw(images, i, dc, 0, 0, ILD_TRANSPARENT); });
        int magenta = 0, coloured = 0;
        for (uint32_t pixel : drawn.pixels) {
            if (pixel == 0xFF00FF) ++magenta;
            if (pixel != 0xFFFFFF) ++coloured;
        }
        EXPECT_EQ(magenta, 0) << "picture " << i;
        EXPECT_GT(coloured, 40) << "picture " << i << " draws almost nothing";
        EXPECT_LT(coloured, 28 * 28) << "picture " << i << " has no see-through background";
    }
}

TEST(Toolbar, TooltipsComeFromTheStringResources) {
    AppSession session;
    ASSERT_TRUE(session.started());
    struct Case {
        UINT_PTR id;
        const char* text;
    };
    const Case cases[] = {
        {101, "New"},
        {102, "Open"},
        {103, "Save"},
        {104, "Optimize"},
        {105, "Undo"},
        {106, "Redo"},
        {107, "Add Empty Image"},
        {108, "Add"},
        {109, "Delete"},
        {110, "Move Down"},
        {111, "Move Up"},
        {112, "Animate"},
        {113, "Set Loop Counter"},
        {114, "Animation Delay"},
        {115, "Help"},
        // Ids that are no button keep whatever text the record had.
        {100, "untouched"},
        {116, "untouched"},
        {0, "untouched"},
        {32781, "untouched"},
    };
    for (const Case& c : cases) {
        HINSTANCE instance = nullptr;
        EXPECT_EQ(tooltipFor(c.id, &instance), c.text) << "id " << c.id;
        EXPECT_EQ(instance, g_instance) << "id " << c.id;
    }
}

// Through the real tooltip control: it asks its toolbar, which asks the main window.
TEST(Toolbar, TheToolbarsTooltipShowsMoveDownAndNothingForHiddenButtons) {
    AppSession session;
    ASSERT_TRUE(session.started());
    HWND tooltip = reinterpret_cast<HWND>(SendMessageA(g_toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(IsWindow(tooltip));
    char text[128] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = g_toolbar;
    tool.uId = IDT_MOVE_DOWN;
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Move Down");

    // A hidden button takes no room, so no point of the toolbar hovers over it.
    RECT bar;
    GetClientRect(g_toolbar, &bar);
    const int hiddenIds[] = {IDT_OPTIMIZE, IDT_REDO, IDT_ADD_EMPTY, IDT_LOOP, IDT_DELAY};
    for (int id : hiddenIds) {
        EXPECT_TRUE(SendMessageA(g_toolbar, TB_ISBUTTONHIDDEN, WPARAM(id), 0)) << "id " << id;
    }
    for (int x = 0; x < bar.right; x += 2) {
        POINT point = {x, bar.bottom / 2};
        const LRESULT index = SendMessageA(g_toolbar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point));
        if (index < 0) continue;
        TBBUTTON button = {};
        SendMessageA(g_toolbar, TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.fsState & TBSTATE_HIDDEN, 0)
            << "x " << x << " hits hidden button " << button.idCommand;
    }
    saveWindowScreenshot(g_toolbar, "toolbar.png");
}

}  // namespace
