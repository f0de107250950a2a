// The Global panel's rules, driven through the real edit, up-down and button notifications.
#include "ui/globalpanel.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/application.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

TEST(GlobalPanel, FieldsCheckboxesAndTheFitToTheFrames) {
    AppSession session;
    ASSERT_TRUE(session.started());
    HWND panel = app().globalPanel;
    // Sizes follow every keystroke, the loop count and background only a lost focus. An empty
    // loop field means no repeats and stays 0; a typed 0 means one play.
    checkFieldRules(panel,
                    {{IDC_GLOBAL_WIDTH, "2500", false, "2000", 2000},
                     {IDC_GLOBAL_WIDTH, "", false, "1", 1},
                     {IDC_GLOBAL_WIDTH, "x", false, "1", 1},
                     {IDC_GLOBAL_WIDTH, "99999999999", false, "1", 1},
                     {IDC_GLOBAL_HEIGHT, "0", false, "1", 1},
                     {IDC_GLOBAL_HEIGHT, "2001", false, "2000", 2000},
                     {IDC_GLOBAL_LOOP, "", true, "0", 0},
                     {IDC_GLOBAL_LOOP, "0", true, "1", 1},
                     {IDC_GLOBAL_LOOP, "40000", true, "32767", 32767}},
                    [](int id) {
                        return id == IDC_GLOBAL_WIDTH    ? app().editor.document().screenWidth
                               : id == IDC_GLOBAL_HEIGHT ? app().editor.document().screenHeight
                                                         : app().editor.document().loopCount;
                    });
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(panel, IDC_GLOBAL_BACKGROUND)));
    // The up-down writes into its buddy, so its arrows pass the same rule.
    SendDlgItemMessageA(panel, IDC_GLOBAL_WIDTH_SPIN, UDM_SETPOS32, 0, 1999);
    EXPECT_EQ(app().editor.document().screenWidth, 1999);

    // Infinite locks the loop count and its arrows, keeping the text.
    for (bool on : {true, false}) {
        press(panel, IDC_GLOBAL_INFINITE);
        EXPECT_EQ(app().editor.document().loopForever, on);
        EXPECT_EQ(enabled(panel, IDC_GLOBAL_LOOP), !on);
        EXPECT_EQ(enabled(panel, IDC_GLOBAL_LOOP_SPIN), !on);
        EXPECT_EQ(textOf(panel, IDC_GLOBAL_LOOP), "32767");
    }

    // Auto locks the size fields and shows the size fitted to the frames (the fit itself is
    // checked in edit_test); unchecked, the fields open again.
    setDocument({solidFrame(0, 30, 40, 10, 20), solidFrame(0, 50, 10, 1990, 5)}, 1999, 1);
    press(panel, IDC_GLOBAL_AUTO_SIZE);
    EXPECT_TRUE(app().editor.document().autoScreenSize);
    EXPECT_FALSE(enabled(panel, IDC_GLOBAL_WIDTH));
    EXPECT_EQ(textOf(panel, IDC_GLOBAL_WIDTH) + "x" + textOf(panel, IDC_GLOBAL_HEIGHT), "2000x60");
    press(panel, IDC_GLOBAL_AUTO_SIZE);
    EXPECT_TRUE(enabled(panel, IDC_GLOBAL_WIDTH));
}

}  // namespace
