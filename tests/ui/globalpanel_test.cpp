// The Global panel's editing rules, driven through the real edit and button notifications.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "panels/globalpanel.h"
#include "resource.h"
#include "ui/support/appdriver.h"
#include "ui/support/uiharness.h"

namespace {

// What the edit sends its parent when it loses the keyboard focus.
void loseFocus(int id) {
    SendMessageA(g_globalPanel, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(g_globalPanel, id)));
}

void click(int id) { SendDlgItemMessageA(g_globalPanel, id, BM_CLICK, 0, 0); }

GifFrame frameAt(uint16_t left, uint16_t top, uint32_t width, uint32_t height) {
    GifFrame frame;
    frame.left = left;
    frame.top = top;
    frame.bitmap = IndexedBitmap::create(width, height);
    return frame;
}

struct TypedCase {
    const char* typed;
    const char* shown;
    unsigned stored;
};

// Typing raises EN_CHANGE at once: the rule applies while the user types.
TEST(GlobalPanel, WidthAndHeightAreCorrectedAsTheyAreTyped) {
    AppSession session;
    ASSERT_TRUE(session.started());
    const TypedCase cases[] = {
        {"2500", "2000", 2000}, {"", "1", 1},        {"0", "1", 1},       {"640", "640", 640},
        {"2000", "2000", 2000}, {"2001", "2000", 2000}, {"x", "1", 1}, {"99999999999", "1", 1},
    };
    for (int id : {IDC_GLOBAL_WIDTH, IDC_GLOBAL_HEIGHT}) {
        for (const TypedCase& c : cases) {
            SCOPED_TRACE(std::string(id == IDC_GLOBAL_WIDTH ? "width " : "height ") + "typed '" + c.typed + "'");
            g_modified = false;
            SetDlgItemTextA(g_globalPanel, id, c.typed);
            EXPECT_EQ(controlText(g_globalPanel, id), c.shown);
            EXPECT_EQ(id == IDC_GLOBAL_WIDTH ? g_document.screenWidth : g_document.screenHeight, c.stored);
            EXPECT_TRUE(g_modified);
        }
    }
}

// The up-down writes into its buddy, so the arrows go through the same rule.
TEST(GlobalPanel, WidthArrowsReachTheDocument) {
    AppSession session;
    ASSERT_TRUE(session.started());
    SetDlgItemTextA(g_globalPanel, IDC_GLOBAL_WIDTH, "1999");
    SendDlgItemMessageA(g_globalPanel, IDC_GLOBAL_WIDTH_SPIN, UDM_SETPOS32, 0, 2000);
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "2000");
    EXPECT_EQ(g_document.screenWidth, 2000);
}

TEST(GlobalPanel, FocusLossAppliesTheSameSizeRule) {
    AppSession session;
    ASSERT_TRUE(session.started());
    // Text placed without EN_CHANGE, as if the rule had not run yet.
    HWND edit = GetDlgItem(g_globalPanel, IDC_GLOBAL_HEIGHT);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3000"));
    g_modified = false;
    loseFocus(IDC_GLOBAL_HEIGHT);
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), "2000");
    EXPECT_EQ(g_document.screenHeight, 2000);
    EXPECT_TRUE(g_modified);
}

TEST(GlobalPanel, LoopCountIsTakenOnlyWhenTheEditLosesFocus) {
    AppSession session;
    ASSERT_TRUE(session.started());
    g_document.loopCount = 9;
    SetDlgItemTextA(g_globalPanel, IDC_GLOBAL_LOOP, "77");
    EXPECT_EQ(g_document.loopCount, 9) << "EN_CHANGE alone must not store the loop count";

    // An empty field means no repeats and stays 0; a typed 0 means one play.
    const TypedCase cases[] = {
        {"", "0", 0},  {"0", "1", 1}, {"40000", "32767", 32767}, {"32767", "32767", 32767},
        {"12", "12", 12}, {"1", "1", 1},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        g_modified = false;
        SetDlgItemTextA(g_globalPanel, IDC_GLOBAL_LOOP, c.typed);
        loseFocus(IDC_GLOBAL_LOOP);
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_LOOP), c.shown);
        EXPECT_EQ(g_document.loopCount, c.stored);
        EXPECT_TRUE(g_modified);
    }
}

TEST(GlobalPanel, HiddenBackgroundIndexKeepsItsRule) {
    AppSession session;
    ASSERT_TRUE(session.started());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(g_globalPanel, IDC_GLOBAL_BACKGROUND)));
    EXPECT_FALSE(isEnabled(g_globalPanel, IDC_GLOBAL_BACKGROUND));
    const TypedCase cases[] = {{"", "0", 0}, {"300", "255", 255}, {"17", "17", 17}, {"0", "0", 0}};
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        SetDlgItemTextA(g_globalPanel, IDC_GLOBAL_BACKGROUND, c.typed);
        loseFocus(IDC_GLOBAL_BACKGROUND);
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_BACKGROUND), c.shown);
        EXPECT_EQ(g_document.backgroundIndex, c.stored);
    }
}

TEST(GlobalPanel, InfiniteDisablesTheLoopEditAndItsArrowsWithoutChangingTheText) {
    AppSession session;
    ASSERT_TRUE(session.started());
    SetDlgItemTextA(g_globalPanel, IDC_GLOBAL_LOOP, "5");
    for (bool expected : {true, false, true}) {
        SCOPED_TRACE(expected ? "checked" : "unchecked");
        g_modified = false;
        click(IDC_GLOBAL_INFINITE);
        EXPECT_EQ(g_document.loopForever, expected);
        EXPECT_EQ(isEnabled(g_globalPanel, IDC_GLOBAL_LOOP), !expected);
        EXPECT_EQ(isEnabled(g_globalPanel, IDC_GLOBAL_LOOP_SPIN), !expected);
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_LOOP), "5");
        EXPECT_TRUE(g_modified);
    }
}

TEST(GlobalPanel, AutoWithNoFramesOnlyLocksTheSizeEdits) {
    AppSession session;
    ASSERT_TRUE(session.started());
    SetDlgItemTextA(g_globalPanel, IDC_GLOBAL_WIDTH, "300");
    SetDlgItemTextA(g_globalPanel, IDC_GLOBAL_HEIGHT, "200");
    g_modified = false;
    click(IDC_GLOBAL_AUTO_SIZE);
    EXPECT_TRUE(g_document.autoScreenSize);
    EXPECT_TRUE(g_modified);
    EXPECT_FALSE(isEnabled(g_globalPanel, IDC_GLOBAL_WIDTH));
    EXPECT_FALSE(isEnabled(g_globalPanel, IDC_GLOBAL_HEIGHT));
    EXPECT_TRUE(isEnabled(g_globalPanel, IDC_GLOBAL_WIDTH_SPIN));
    EXPECT_TRUE(isEnabled(g_globalPanel, IDC_GLOBAL_HEIGHT_SPIN));
    EXPECT_EQ(g_document.screenWidth, 300);
    EXPECT_EQ(g_document.screenHeight, 200);
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "300");
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), "200");
    saveWindowScreenshot(g_mainWindow, "globalpanel-auto.png");
}

TEST(GlobalPanel, AutoFitsTheScreenToTheFramesAndUncheckingKeepsTheSize) {
    AppSession session;
    ASSERT_TRUE(session.started());
    // Right edges 40 and 2040, bottom edges 60 and 15: the width is capped at 2000.
    g_document.frames.push_back(frameAt(10, 20, 30, 40));
    g_document.frames.push_back(frameAt(1990, 5, 50, 10));
    click(IDC_GLOBAL_AUTO_SIZE);
    EXPECT_EQ(g_document.screenWidth, 2000);
    EXPECT_EQ(g_document.screenHeight, 60);
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "2000");
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), "60");

    click(IDC_GLOBAL_AUTO_SIZE);
    EXPECT_FALSE(g_document.autoScreenSize);
    EXPECT_TRUE(isEnabled(g_globalPanel, IDC_GLOBAL_WIDTH));
    EXPECT_TRUE(isEnabled(g_globalPanel, IDC_GLOBAL_HEIGHT));
    EXPECT_EQ(g_document.screenWidth, 2000);
    EXPECT_EQ(g_document.screenHeight, 60);
}

TEST(GlobalPanel, FitScreenToFramesTakesTheBoundingBoxCappedAt2000) {
    AppSession session;
    ASSERT_TRUE(session.started());
    struct Case {
        const char* name;
        std::vector<std::vector<uint32_t>> frames;  // left, top, width, height
        unsigned width, height;
    };
    // Worked by hand: the largest left + width and top + height over the frames.
    const Case cases[] = {
        {"one frame at the origin", {{0, 0, 7, 9}}, 7, 9},
        {"the first frame is not the largest", {{0, 0, 4, 4}, {100, 3, 20, 2}, {1, 50, 2, 2}}, 120, 52},
        {"the screen can shrink", {{0, 0, 3, 2}}, 3, 2},
        {"both sides capped", {{1500, 1900, 600, 300}}, 2000, 2000},
        {"an offset of 65535", {{65535, 0, 1, 1}}, 2000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_document.frames.clear();
        g_document.screenWidth = 1234;
        g_document.screenHeight = 1234;
        for (const auto& f : c.frames) g_document.frames.push_back(frameAt(uint16_t(f[0]), uint16_t(f[1]), f[2], f[3]));
        fitScreenToFrames();
        EXPECT_EQ(g_document.screenWidth, c.width);
        EXPECT_EQ(g_document.screenHeight, c.height);
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), std::to_string(c.width));
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), std::to_string(c.height));
    }
    g_document.frames.clear();
    g_document.screenWidth = 55;
    fitScreenToFrames();
    EXPECT_EQ(g_document.screenWidth, 55) << "no frames: nothing changes";
}

}  // namespace
