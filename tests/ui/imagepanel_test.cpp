// The Image panel through its real notifications: what each field accepts and stores, the
// transparent colour with the palette it rebuilds, its swatch, picker and the palette editor.
#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/application.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

// Frame 0: 20 x 10 at (5, 6), local table black, red, green, blue, transparent. Frame 1: no local table,
// marked transparent as a file may say. Frame 2: 30 x 8 at (40, 2), a table of 8, see-through 2.
class ImagePanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.started());
        std::vector<GifFrame> frames;
        frames.push_back(makeFrame(
            20, 10, {0, 0xFF0000, 0xFF00, 0xFF}, [](uint32_t x, uint32_t) { return uint8_t(x % 4); }, 5, 6));
        frames.back().transparent = true;
        frames.push_back(solidFrame(0x808000, 10, 10, 0, 0));
        frames.back().transparent = true;
        frames.push_back(makeFrame(
            30, 8, {0, 0xFF0000, 0xFF00, 0xFF, 0xFFFFFF, 1, 2, 3},
            [](uint32_t x, uint32_t) { return uint8_t(x % 8); }, 40, 2));
        frames.back().transparent = true;
        frames.back().transparentIndex = 2;
        setDocument(std::move(frames), 100, 50);
        showPropertyTab(1);
    }
    const GifFrame& frame(size_t i) { return app().editor.document().frames[i]; }

    AppSession session;
    HWND panel = app().imagePanel;
};

// The picture's palette is the table, opaque but for a see-through entry `index` (-1: none).
void expectPalette(const GifFrame& f, int index) {
    const IndexedPalette& palette = f.bitmap->palette();
    ASSERT_EQ(palette.count, f.localTable.entries.size());
    EXPECT_EQ(palette.flags, index >= 0 ? kPaletteFlagsHasAlpha : 0u);
    for (uint32_t i = 0; i < palette.count; ++i)
        EXPECT_EQ(palette.entries[i], (int(i) == index ? 0u : 0xFF000000u) | f.localTable.entries[i].packed())
            << i;
}

// The swatch drawn through the panel's WM_DRAWITEM into a 54 x 22 item: a colour box (6, 6) to
// (33, 16) in a black outline, the drop-down arrow right of it.
Capture drawSwatch(UINT state) {
    return captureDrawing(54, 22, 0x123456, [&](HDC dc) {
        DRAWITEMSTRUCT item = {ODT_BUTTON, IDC_IMAGE_TRANSPARENT_SWATCH,
                               0,          ODA_DRAWENTIRE,
                               state,      GetDlgItem(app().imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH),
                               dc,         {0, 0, 54, 22},
                               0};
        SendMessageA(app().imagePanel, WM_DRAWITEM, IDC_IMAGE_TRANSPARENT_SWATCH, LPARAM(&item));
    });
}

int countPixels(const Capture& c, RECT area, uint32_t rgb) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += c.at(x, y) == rgb;
    return count;
}

TEST_F(ImagePanel, FieldsCorrectWhatIsTypedAndStoreItInTheSelectedFrame) {
    selectFrame(0);
    checkFieldRules(panel,
                    {{IDC_IMAGE_LEFT, "40000", false, "32767", 32767},
                     {IDC_IMAGE_LEFT, "", false, "0", 0},
                     {IDC_IMAGE_LEFT, "99999999999", false, "32767", 32767},
                     {IDC_IMAGE_TOP, "32768", false, "32767", 32767},
                     {IDC_IMAGE_DELAY, "40000", true, "32767", 32767},
                     {IDC_IMAGE_DELAY, "", true, "0", 0},
                     {IDC_IMAGE_TRANSPARENT_INDEX, "4", false, "3", 3},  // one past the 4-entry table
                     {IDC_IMAGE_TRANSPARENT_INDEX, "70000", false, "3", 3},
                     {IDC_IMAGE_TRANSPARENT_INDEX, "", false, "0", 0},
                     {IDC_IMAGE_TRANSPARENT_INDEX, "1", false, "1", 1}},
                    [&](int id) {
                        const GifFrame& f = frame(0);
                        return id == IDC_IMAGE_LEFT    ? f.left
                               : id == IDC_IMAGE_TOP   ? f.top
                               : id == IDC_IMAGE_DELAY ? f.delay
                                                       : f.transparentIndex;
                    });
    expectPalette(frame(0), 1);
    EXPECT_EQ(frame(2).left, 40);  // only the selected frame changes

    // The title, which the random session leaves alone (it covers disposal and interlace), is
    // stored and shown for its own frame only.
    typeText(panel, IDC_IMAGE_TITLE, "logo");
    EXPECT_EQ(frame(0).title, "logo");
    selectFrame(2);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TITLE), "");
    selectFrame(0);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TITLE), "logo");

    // Without a selection nothing reacts.
    selectFrame(-1);
    const size_t steps = app().editor.history().stepCount();
    typeText(panel, IDC_IMAGE_LEFT, "77");
    leaveField(panel, IDC_IMAGE_DELAY);
    for (int id :
         {IDC_IMAGE_TRANSPARENT, IDC_IMAGE_INTERLACED, IDC_IMAGE_LOCAL_PALETTE, IDC_IMAGE_TRANSPARENT_SWATCH})
        press(panel, id);
    EXPECT_EQ(app().editor.history().stepCount(), steps);
}

TEST_F(ImagePanel, TransparentColourThroughTheSwatchPickerAndPaletteEditor) {
    selectFrame(2);
    EXPECT_TRUE(checked(panel, IDC_IMAGE_TRANSPARENT));
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "2");
    typeText(panel, IDC_IMAGE_TRANSPARENT_INDEX, "4");  // white
    const Capture swatch = drawSwatch(0);
    EXPECT_EQ(swatch.at(6, 6), 0u);
    EXPECT_EQ(swatch.at(19, 11), 0xFFFFFFu);
    EXPECT_EQ(swatch.at(0, 0), systemRgb(COLOR_3DLIGHT));                          // a raised edge
    EXPECT_GE(countPixels(swatch, {35, 6, 51, 16}, systemRgb(COLOR_BTNTEXT)), 4);  // the arrow
    savePng(swatch, "imagepanel-swatch-white.png");

    // The picker opens under the pressed swatch; cell 5 (column 5, row 0) is chosen.
    DialogAnswerer answers;
    uint32_t swatchCorner = 0;
    answers.expect("", [&](HWND popup) {
        const Capture pressed = captureClient(GetDlgItem(app().imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH), false);
        if (pressed.width > 0) swatchCorner = pressed.at(0, 0);
        const int x = 8 + 17 * 5 + 7, y = 8 + 7;
        SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    });
    // The editor rebuilds the palette opaque: OK must make the transparent entry see-through again.
    answers.expect("Edit Palette", DialogAnswerer::pressButton(IDOK));
    press(panel, IDC_IMAGE_TRANSPARENT_SWATCH);
    EXPECT_EQ(swatchCorner, systemRgb(COLOR_3DDKSHADOW));  // pressed: a plain dark outline
    EXPECT_EQ(frame(2).transparentIndex, 5);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "5");
    press(panel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected().empty());
    expectPalette(frame(2), 5);

    // Unchecked: no index, every colour opaque, a hatched swatch; checked again: index 0.
    press(panel, IDC_IMAGE_TRANSPARENT);
    EXPECT_FALSE(frame(2).transparent);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "");
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_SWATCH));
    expectPalette(frame(2), -1);
    const int hatch = countPixels(drawSwatch(ODS_DISABLED), {7, 7, 32, 15}, 0);
    EXPECT_GT(hatch, 10);
    EXPECT_LT(hatch, 100);  // diagonal lines, not a filled box
    typeText(panel, IDC_IMAGE_TRANSPARENT_INDEX, "5");
    expectPalette(frame(2), -1);
    press(panel, IDC_IMAGE_TRANSPARENT);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "0");
    expectPalette(frame(2), 0);

    // Without a local table there is no index to choose and no palette to edit.
    selectFrame(1);
    EXPECT_FALSE(checked(panel, IDC_IMAGE_TRANSPARENT));
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_LOCAL_PALETTE));
    const uint32_t colour = frame(1).bitmap->palette().entries[0];
    press(panel, IDC_IMAGE_TRANSPARENT);
    EXPECT_TRUE(frame(1).transparent);
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_EQ(frame(1).bitmap->palette().entries[0], colour);
}

}  // namespace
