// The palette-index picker, run modally under an anchor window and driven from inside its own
// modal loop with the pointer and key messages a user produces.
#include "palette/indexpicker.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "ui/support/paletteharness.h"
#include "ui/support/uiharness.h"

namespace {

// The picker's popup has no caption.
const char kPickerCaption[] = "";

ColorTable tableOf(uint32_t count) {
    ColorTable table;
    for (uint32_t i = 0; i < count; ++i)
        table.entries.push_back(RgbColor(uint8_t(i * 9), uint8_t(200 - i / 2), 40));
    return table;
}

POINT cellCentre(uint32_t index) {
    // Cells are 14 pixels on a 17-pixel pitch after an 8-pixel margin.
    return POINT{LONG(8 + 17 * (index % 16) + 7), LONG(8 + 17 * (index / 16) + 7)};
}

class IndexPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session_.started());
        parkPointer();
        anchor_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 120, 90,
                                  60, 20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(anchor_, nullptr);
    }
    void TearDown() override {
        if (anchor_) DestroyWindow(anchor_);
    }

    // Opens the picker on the table; the script acts inside it and must end it.
    int pick(const ColorTable& table, uint32_t marked, const std::function<void(HWND)>& script) {
        answers_.expect(kPickerCaption, script);
        const int result = pickPaletteIndex(&table, anchor_, marked);
        EXPECT_TRUE(answers_.allAnswered()) << "the picker did not open";
        EXPECT_TRUE(answers_.unexpected().empty());
        return result;
    }

    AppSession session_;
    DialogAnswerer answers_;
    HWND anchor_ = nullptr;
};

TEST_F(IndexPickerTest, PopupIsSizedToTheTableDirectlyBelowItsAnchor) {
    struct Case {
        uint32_t count;
        LONG width, height;
    };
    // 17 x columns + 17 by 17 x rows + 17.
    const Case cases[] = {{1, 34, 34},   {2, 51, 34},   {16, 289, 34},
                          {17, 289, 51}, {20, 289, 51}, {256, 289, 289}};
    RECT anchor;
    GetWindowRect(anchor_, &anchor);
    for (const Case& c : cases) {
        const ColorTable table = tableOf(c.count);
        RECT popup = {};
        const int result = pick(table, 0, [&](HWND window) {
            GetWindowRect(window, &popup);
            clickPickerPoint(window, 1,
                             1);  // before the pointer touched a cell  // before the pointer touched a cell
        });
        EXPECT_EQ(result, -1);
        EXPECT_EQ(popup.right - popup.left, c.width) << c.count << " colours";
        EXPECT_EQ(popup.bottom - popup.top, c.height) << c.count << " colours";
        EXPECT_EQ(popup.left, anchor.left);
        EXPECT_EQ(popup.top, anchor.bottom);
    }
}

TEST_F(IndexPickerTest, ClickReturnsTheCellLastUnderThePointer) {
    struct Move {
        int x, y;
    };
    const POINT c17 = cellCentre(17);
    const POINT c3 = cellCentre(3);
    struct Case {
        const char* name;
        std::vector<Move> moves;
        bool rightArrow;
        int result;
    };
    const Case cases[] = {
        {"on cell 17", {{c17.x, c17.y}}, false, 17},
        // Cell 17 covers x 25 ... 38; x 40 is in the gap to cell 18.
        {"gap beside 17", {{c17.x, c17.y}, {40, c17.y}}, false, 17},
        {"only the gap before cell 18", {{41, c17.y}}, false, -1},
        {"margin after cell 3", {{c3.x, c3.y}, {2, 2}}, false, 3},
        {"past the last entry", {{cellCentre(25).x, cellCentre(25).y}}, false, -1},
        {"right arrow wraps from the last cell", {{cellCentre(19).x, cellCentre(19).y}}, true, 0},
        {"right arrow before any cell", {}, true, 0},
        {"cell to cell", {{c3.x, c3.y}, {c17.x, c17.y}, {cellCentre(18).x, cellCentre(18).y}}, false, 18},
    };
    const ColorTable table = tableOf(20);
    for (const Case& c : cases) {
        const int result = pick(table, 0, [&](HWND popup) {
            for (const Move& move : c.moves) moveOverPickerPoint(popup, move.x, move.y);
            if (c.rightArrow) SendMessageA(popup, WM_KEYDOWN, VK_RIGHT, 0);
            clickPickerPoint(popup, 3, 3);
        });
        EXPECT_EQ(result, c.result) << c.name;
    }
}

TEST_F(IndexPickerTest, TooltipNamesTheCellUnderThePointerAndHidesOffTheCells) {
    ColorTable table = tableOf(20);
    table.entries[12] = RgbColor(255, 0, 0);
    table.entries[13] = RgbColor(0, 128, 255);
    struct Step {
        POINT at;  // x < 0: the pointer leaves the popup
        bool shown;
        const char* text;
    };
    const Step steps[] = {
        {cellCentre(12), true, "Index=12 R:255 G:0 B:0"},
        {cellCentre(13), true, "Index=13 R:0 G:128 B:255"},      // straight from cell to cell
        {{8 + 17 * 13 + 15, cellCentre(13).y}, false, nullptr},  // the gap after 13
        {cellCentre(12), true, "Index=12 R:255 G:0 B:0"},
        {{-1, -1}, false, nullptr},
    };
    pick(table, 0, [&](HWND popup) {
        HWND tooltip = indexPickerTooltip();
        ASSERT_NE(tooltip, nullptr);
        for (const Step& step : steps) {
            if (step.at.x < 0) {
                SendMessageA(popup, WM_MOUSELEAVE, 0, 0);
            } else {
                moveOverPickerPoint(popup, step.at.x, step.at.y);
            }
            pumpMessages(50);
            EXPECT_EQ(IsWindowVisible(tooltip) != FALSE, step.shown) << step.at.x << "," << step.at.y;
            if (step.text) {
                char text[80] = {};
                GetWindowTextA(tooltip, text, sizeof(text));
                EXPECT_STREQ(text, step.text);
            }
        }
        clickPickerPoint(popup, 1, 1);
    });
}

TEST_F(IndexPickerTest, LosingActivationReturnsMinusOne) {
    const ColorTable table = tableOf(20);
    HWND elsewhere = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 400, 50, 50, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
    const int result = pick(table, 4, [&](HWND popup) {
        moveOverPickerPoint(popup, cellCentre(7).x, cellCentre(7).y);
        SetActiveWindow(elsewhere);
    });
    DestroyWindow(elsewhere);
    EXPECT_EQ(result, -1);
}

TEST_F(IndexPickerTest, EscapeReturnsMinusOneEvenAfterHovering) {
    const ColorTable table = tableOf(20);
    const int result = pick(table, 4, [&](HWND popup) {
        moveOverPickerPoint(popup, cellCentre(7).x, cellCentre(7).y);
        PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, -1);
}

TEST_F(IndexPickerTest, MarkedCellIsFramedInRedUntilThePointerIsOverIt) {
    const ColorTable table = tableOf(256);
    uint32_t markedEdge = 0, hoverOutside = 0, hoverEdge = 0, hoverInside = 0, plainEdge = 0;
    pick(table, 37, [&](HWND popup) {
        const POINT c = cellCentre(37);
        const int left = c.x - 7;
        RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        pumpMessages(100);
        markedEdge = clientPixel(popup, left, c.y);
        plainEdge = clientPixel(popup, left - 17, c.y);  // cell 36: a sunken edge
        moveOverPickerPoint(popup, c.x, c.y);
        RedrawWindow(popup, nullptr, nullptr, RDW_UPDATENOW);
        pumpMessages(100);
        hoverOutside = clientPixel(popup, left - 1, c.y);
        hoverEdge = clientPixel(popup, left, c.y);
        hoverInside = clientPixel(popup, left + 1, c.y);
        moveOverPickerPoint(popup, cellCentre(54).x, cellCentre(54).y);
        pumpMessages(100);
        saveWindowScreenshot(popup, "palette-index-picker.png");
        clickPickerPoint(popup, 1, 1);
    });
    EXPECT_EQ(markedEdge, 0xFF0000u);
    EXPECT_NE(plainEdge, 0xFF0000u);
    EXPECT_EQ(hoverOutside, 0x000000u);
    EXPECT_EQ(hoverEdge, 0xFFFFFFu);
    EXPECT_EQ(hoverInside, 0x000000u);
}

}  // namespace
