// The palette editor's small dialogs, run modally exactly as the editor runs them and answered
// from inside their own modal loops: Color Gradient, Sort palette entries and Colors.
#include "palette/palettedialogs.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "palette/colorchooser.h"
#include "resource.h"
#include "ui/support/appdriver.h"
#include "ui/support/paletteharness.h"
#include "ui/support/uiharness.h"

namespace {

class PaletteDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session_.started());
        parkPointer();
    }

    void expectAnswered() {
        EXPECT_TRUE(answers_.allAnswered());
        EXPECT_TRUE(answers_.unexpected().empty()) << "unanswered dialog: " << answers_.unexpected().front();
    }

    AppSession session_;
    DialogAnswerer answers_;
};

uint32_t rgbOf(COLORREF color) {
    return uint32_t(GetRValue(color)) << 16 | uint32_t(GetGValue(color)) << 8 | GetBValue(color);
}

uint32_t swatchCentre(HWND dialog, int id) {
    HWND swatch = GetDlgItem(dialog, id);
    RECT rect;
    GetClientRect(swatch, &rect);
    return clientPixel(swatch, rect.right / 2, rect.bottom / 2);
}

// ---- Color Gradient --------------------------------------------------------------------------

TEST_F(PaletteDialogsTest, GradientCorrectsItsFieldsAndRemembersItsColours) {
    g_gradientFromColor = RGB(10, 20, 30);
    g_gradientToColor = RGB(40, 50, 60);
    g_gradientFromIndex = 99;
    g_gradientToIndex = 98;

    // First run: the fields start from the remembered colours; typing corrects and recolours.
    answers_.expect("Color Gradient", [](HWND dialog) {
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_RED), "10");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_BLUE), "60");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_INDEX), "");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_INDEX), "");

        SetDlgItemTextA(dialog, IDC_GRADIENT_FROM_RED, "300");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_RED), "255");
        EXPECT_EQ(rgbOf(g_gradientFromColor), 0xFF141Eu);
        SetDlgItemTextA(dialog, IDC_GRADIENT_FROM_BLUE, "");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_BLUE), "0");
        EXPECT_EQ(rgbOf(g_gradientFromColor), 0xFF1400u);  // red and green as they were

        SetDlgItemTextA(dialog, IDC_GRADIENT_FROM_INDEX, "5");
        SetDlgItemTextA(dialog, IDC_GRADIENT_TO_INDEX, "300");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_INDEX), "255");
        SetDlgItemTextA(dialog, IDC_GRADIENT_TO_GREEN, "abc");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_GREEN), "0");
        EXPECT_EQ(rgbOf(g_gradientToColor), 0x28003Cu);

        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpMessages(150);
        EXPECT_EQ(swatchCentre(dialog, IDC_GRADIENT_FROM_SWATCH), 0xFF1400u);
        EXPECT_EQ(swatchCentre(dialog, IDC_GRADIENT_TO_SWATCH), 0x28003Cu);
        EXPECT_NE(saveWindowScreenshot(dialog, "palette-gradient.png"), "");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(runGradientDialog(g_mainWindow), 1);
    EXPECT_EQ(g_gradientFromIndex, 5u);
    EXPECT_EQ(g_gradientToIndex, 255u);

    // Second run: the colours of the first, empty index fields; Cancel keeps the indices.
    answers_.expect("Color Gradient", [](HWND dialog) {
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_RED), "255");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_GREEN), "20");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_BLUE), "0");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_GREEN), "0");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_INDEX), "");
        SetDlgItemTextA(dialog, IDC_GRADIENT_FROM_INDEX, "7");
        SetDlgItemTextA(dialog, IDC_GRADIENT_TO_RED, "1");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(runGradientDialog(g_mainWindow), 0);
    EXPECT_EQ(g_gradientFromIndex, 5u);
    EXPECT_EQ(g_gradientToIndex, 255u);
    EXPECT_EQ(rgbOf(g_gradientToColor), 0x01003Cu);  // what was typed stays
    expectAnswered();
}

TEST_F(PaletteDialogsTest, GradientSwatchOpensTheChooserAndShowsTheChoice) {
    g_gradientFromColor = RGB(0, 0, 0);
    g_gradientToColor = RGB(200, 100, 50);
    UINT offered[3] = {};
    answers_.expect("Color Gradient", [](HWND dialog) {
        clickButton(dialog, IDC_GRADIENT_TO_SWATCH);
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_RED), "7");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_GREEN), "8");
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_TO_BLUE), "9");
        clickButton(dialog, IDC_GRADIENT_FROM_SWATCH);  // cancelled: stays black
        EXPECT_EQ(controlText(dialog, IDC_GRADIENT_FROM_RED), "0");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    answers_.expect("Color", [&](HWND chooser) {
        offered[0] = GetDlgItemInt(chooser, kChooserRed, nullptr, FALSE);
        offered[1] = GetDlgItemInt(chooser, kChooserGreen, nullptr, FALSE);
        offered[2] = GetDlgItemInt(chooser, kChooserBlue, nullptr, FALSE);
        SetDlgItemInt(chooser, kChooserRed, 7, FALSE);
        SetDlgItemInt(chooser, kChooserGreen, 8, FALSE);
        SetDlgItemInt(chooser, kChooserBlue, 9, FALSE);
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    });
    answers_.expect("Color", DialogAnswerer::cancel());
    EXPECT_EQ(runGradientDialog(g_mainWindow), 1);
    EXPECT_EQ(offered[0], 200u);
    EXPECT_EQ(offered[1], 100u);
    EXPECT_EQ(offered[2], 50u);
    EXPECT_EQ(rgbOf(g_gradientToColor), 0x070809u);
    EXPECT_EQ(rgbOf(g_gradientFromColor), 0u);
    // An index field left empty reads as 0.
    EXPECT_EQ(g_gradientFromIndex, 0u);
    EXPECT_EQ(g_gradientToIndex, 0u);
    expectAnswered();
}

// ---- Sort palette entries --------------------------------------------------------------------

TEST_F(PaletteDialogsTest, SortOffersTheNineKeysAndReturnsTheChoice) {
    const std::vector<std::string> keys = {
        "Usage", "+ ( R + G + B)", "- ( R + G + B)", "+ R", "- R", "+ G", "- G", "+ B", "- B"};
    struct Case {
        int select;  // -1: leave the first selected
        int button;
        int result;
    };
    const Case cases[] = {
        {-1, IDOK, 0}, {4, IDOK, 4}, {8, IDOK, 8}, {3, IDCANCEL, -1}, {-1, IDC_SORT_HELP, 0}};
    for (const Case& c : cases) {
        std::vector<std::string> listed;
        answers_.expect("Sort palette entries", [&](HWND dialog) {
            const int count = int(SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                char text[64] = {};
                SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_GETLBTEXT, WPARAM(i),
                                    reinterpret_cast<LPARAM>(text));
                listed.push_back(text);
            }
            if (c.select >= 0) SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_SETCURSEL, WPARAM(c.select), 0);
            if (c.button == IDC_SORT_HELP) {
                clickButton(dialog, IDC_SORT_HELP);  // shows nothing, closes nothing
                EXPECT_TRUE(IsWindowVisible(dialog));
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            } else {
                PostMessageA(dialog, WM_COMMAND, WPARAM(c.button), 0);
            }
        });
        EXPECT_EQ(runSortDialog(g_mainWindow), c.result) << "select " << c.select << " button " << c.button;
        EXPECT_EQ(listed, keys);
    }
    expectAnswered();
}

// ---- Colors ----------------------------------------------------------------------------------

TEST_F(PaletteDialogsTest, ColorsReturnsTheCorrectedCount) {
    struct Case {
        const char* typed;  // nullptr: Cancel
        int result;
        const char* shownAfter;
    };
    const Case cases[] = {
        {"256", 255, "255"}, {"1000", 255, "255"}, {"1", 2, "2"},       {"", 0, "0"},
        {"abc", 0, "0"},     {"17", 17, "17"},     {"255", 255, "255"}, {nullptr, -1, "2"},
    };
    for (const Case& c : cases) {
        std::string startedWith, shown;
        answers_.expect("Colors", [&](HWND dialog) {
            startedWith = controlText(dialog, IDC_COLORS_COUNT);
            if (c.typed) {
                SetDlgItemTextA(dialog, IDC_COLORS_COUNT, c.typed);
                SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            } else {
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            shown = controlText(dialog, IDC_COLORS_COUNT);
        });
        EXPECT_EQ(runColorsDialog(g_mainWindow), c.result) << (c.typed ? c.typed : "Cancel");
        EXPECT_EQ(startedWith, "2");
        EXPECT_EQ(shown, c.shownAfter) << (c.typed ? c.typed : "Cancel");
    }
    expectAnswered();
}

TEST_F(PaletteDialogsTest, ColorsCorrectsTheFieldWhenItLosesTheFocus) {
    struct Case {
        const char* typed;
        const char* shown;
    };
    // While the focus moves on, 256 is still allowed.
    const Case cases[] = {{"1", "2"}, {"300", "256"}, {"x", "0"}, {"100", "100"}, {"256", "256"}};
    std::vector<std::string> shown;
    answers_.expect("Colors", [&](HWND dialog) {
        for (const Case& c : cases) {
            SetFocus(GetDlgItem(dialog, IDC_COLORS_COUNT));
            SetDlgItemTextA(dialog, IDC_COLORS_COUNT, c.typed);
            SetFocus(GetDlgItem(dialog, IDCANCEL));
            shown.push_back(controlText(dialog, IDC_COLORS_COUNT));
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(runColorsDialog(g_mainWindow), -1);
    ASSERT_EQ(shown.size(), std::size(cases));
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], cases[i].shown) << cases[i].typed;
    expectAnswered();
}

}  // namespace
