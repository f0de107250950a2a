// The palette windows through their real messages: "Edit Palette" opened from the Image panel and
// acted on from inside its own modal loop, together with every dialog it opens; and the index
// picker the transparent colour's swatch opens. What the operations do to a palette is
// palette_test's; here OK must bring the edits to the frame and Cancel must leave it alone.
#include "palette/paletteeditor.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "app/globals.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

// Far enough apart that the nearest of any one is obvious.
const std::vector<uint32_t> kSixteen = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                        0x00FFFF, 0xFF00FF, 0x800000, 0x008000, 0x000080, 0x808000,
                                        0x008080, 0x800080, 0xC0C0C0, 0x404040};

// An answer that types into the dialog's fields, checks what each then shows, and presses OK.
using Typing = std::tuple<int, const char*, const char*>;  // field, typed, shown
DialogAnswerer::Answer fill(std::vector<Typing> fields) {
    return [=](HWND dialog) {
        for (auto [id, typed, shown] : fields) {
            SetDlgItemTextA(dialog, id, typed);
            EXPECT_EQ(textOf(dialog, id), shown) << typed;
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

class Palette : public ::testing::Test {
protected:
    // One selected 16 x 16 frame, pixel (x, y) = (16 y + x) mod 12: entries 12 ... 15 unused.
    void SetUp() override {
        ASSERT_TRUE(session.started());
        setDocument({makeFrame(16, 16, kSixteen, [](uint32_t x, uint32_t y) { return (16 * y + x) % 12; })},
                    16, 16);
        selectFrame(0);
        showPropertyTab(1);
    }
    void TearDown() override {
        EXPECT_TRUE(answers.allAnswered()) << "a dialog did not open";
        EXPECT_TRUE(answers.unexpected().empty()) << "unanswered dialog: " << answers.unexpected().front();
    }
    std::vector<uint32_t> table() const {
        std::vector<uint32_t> colors;
        for (const RgbColor& c : g_editor.document().frames[0].localTable.entries)
            colors.push_back(c.packed());
        return colors;
    }

    AppSession session;
    DialogAnswerer answers;
};

TEST_F(Palette, OkBringsTheEditsAndEveryDialogOnTheWayAnswers) {
    writeTestFile("editor-short.plt", {7, 0});  // not even the count
    uint32_t offered = 0;
    answers.expect("Edit Palette", [](HWND editor) {
        // The status bar tells the entry under the pointer: 22 of 256 pixels use entry 0.
        const RECT cell = paletteCellRect(0);
        SendMessageA(editor, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 3, cell.top + 3));
        char status[256] = {};
        SendDlgItemMessageA(editor, IDC_PALETTE_STATUSBAR, SB_GETTEXTA, 0, LPARAM(status));
        EXPECT_STREQ(status, "Index:0  R:0  G:0  B:0  HTML:#000000  8.59%");
        // Typed values are corrected in place and colour the selected entry, 5.
        clickEditorCell(editor, 5);
        SetDlgItemTextA(editor, IDC_PALETTE_RED, "300");
        EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "255");
        SetDlgItemTextA(editor, IDC_PALETTE_GREEN, "40");
        clickEditorCell(editor, 11);
        clickEditorCell(editor, 11, WM_LBUTTONDBLCLK);  // the colour chooser
        EXPECT_EQ(textOf(editor, IDC_PALETTE_BLUE), "56");
        clickEditorCell(editor, 3);
        press(editor, IDC_PALETTE_MOVE_RIGHT);
        clickEditorCell(editor, 8);
        press(editor, IDC_PALETTE_REMOVE);
        EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "15");
        press(editor, IDC_PALETTE_WRITE);
        press(editor, IDC_PALETTE_READ);
        press(editor, IDC_PALETTE_PREVIEW);
        EXPECT_NE(saveWindowScreenshot(editor, "palette-editor.png"), "");
        press(editor, IDOK);
    });
    answers.expect("Color", [&](HWND chooser) {  // its red, green and blue fields: 706 ... 708
        for (int field = 706, shift = 16; field <= 708; ++field, shift -= 8) {
            offered |= GetDlgItemInt(chooser, field, nullptr, FALSE) << shift;
            SetDlgItemInt(chooser, field, (0x0C2238 >> shift) & 0xFF, FALSE);
        }
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    });
    answers.expect("Save Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-written.plt")));
    answers.expect("Open Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-short.plt")));
    answers.expect("Error", DialogAnswerer::pressButton(IDOK));
    answers.expect("Preview", [](HWND preview) {
        EXPECT_NE(saveWindowScreenshot(preview, "palette-preview.png"), "");
        PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);
    });
    press(g_imagePanel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_TRUE(g_editor.changed());
    EXPECT_EQ(offered, 0x808000u);
    EXPECT_EQ(answers.lastMessageText(), "Unable to read the palette file.");
    EXPECT_EQ(readWholeFile(testOutputPath("editor-written.plt")).size(), 4u + 15 * 3);  // count, colours
    std::vector<uint32_t> want = kSixteen;
    want[5] = 0xFF2800;
    want[11] = 0x0C2238;
    std::swap(want[3], want[4]);
    want.erase(want.begin() + 8);
    EXPECT_EQ(table(), want);
}

TEST_F(Palette, CancelAfterTheOperationDialogsLeavesTheFrameAsItWas) {
    const GifFrame before = g_editor.document().frames[0];
    answers.expect("Edit Palette", [](HWND editor) {
        press(editor, IDC_PALETTE_DELETE_UNUSED);
        EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "12");
        press(editor, IDC_PALETTE_GRADIENT);  // 2 ... 6 from black to (255, 20, 0), corrected
        clickEditorCell(editor, 4);
        EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "127");
        press(editor, IDC_PALETTE_SORT);
        press(editor, IDC_PALETTE_COUNT);  // Colors: 1, taken as the least, 2
        EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "2");
        SendMessageA(editor, WM_CLOSE, 0, 0);  // the close box cancels
    });
    answers.expect("Color Gradient", fill({{IDC_GRADIENT_FROM_INDEX, "2", "2"},
                                           {IDC_GRADIENT_TO_INDEX, "6", "6"},
                                           {IDC_GRADIENT_FROM_RED, "", "0"},
                                           {IDC_GRADIENT_FROM_GREEN, "0", "0"},
                                           {IDC_GRADIENT_FROM_BLUE, "0", "0"},
                                           {IDC_GRADIENT_TO_RED, "300", "255"},
                                           {IDC_GRADIENT_TO_GREEN, "20", "20"},
                                           {IDC_GRADIENT_TO_BLUE, "abc", "0"}}));
    answers.expect("Sort palette entries", [](HWND sort) {
        SendDlgItemMessageA(sort, IDC_SORT_KEY, CB_SETCURSEL, 4, 0);  // "- R": the reddest first
        PostMessageA(sort, WM_COMMAND, IDOK, 0);
    });
    answers.expect("Colors", fill({{IDC_COLORS_COUNT, "1", "1"}}));
    press(g_imagePanel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_FALSE(g_editor.changed());
    EXPECT_EQ(table(), kSixteen);
    const IndexedBitmap& now = *g_editor.document().frames[0].bitmap;
    EXPECT_EQ(std::memcmp(now.pixels(), before.bitmap->pixels(), 16 * 16), 0);
    EXPECT_EQ(std::memcmp(&now.palette(), &before.bitmap->palette(), sizeof(IndexedPalette)), 0);
}

// The transparent colour's swatch opens the index picker straight below it; a click takes the
// cell last under the pointer, and the panel shows it.
TEST_F(Palette, SwatchOpensThePickerAndTheClickedCellIsTaken) {
    press(g_imagePanel, IDC_IMAGE_TRANSPARENT);
    RECT popupRect = {}, swatchRect;
    answers.expect("", [&](HWND popup) {
        GetWindowRect(popup, &popupRect);
        const LPARAM cell = MAKELPARAM(8 + 17 * 5 + 7, 8 + 7);  // column 5 of the first row
        SendMessageA(popup, WM_MOUSEMOVE, 0, cell);
        EXPECT_NE(saveWindowScreenshot(popup, "palette-index-picker.png"), "");
        SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, cell);
    });
    press(g_imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH);
    GetWindowRect(GetDlgItem(g_imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH), &swatchRect);
    EXPECT_EQ(popupRect.left * 10000 + popupRect.top, swatchRect.left * 10000 + swatchRect.bottom);
    EXPECT_EQ(g_editor.document().frames[0].transparentIndex, 5);
    EXPECT_EQ(textOf(g_imagePanel, IDC_IMAGE_TRANSPARENT_INDEX), "5");
}

}  // namespace
