// The Image panel: every field's correction and what it stores, transparency and the palette it
// rebuilds, the swatch's drawing, the index picker and the palette editor, driven through the
// real notifications.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "resource.h"
#include "ui/support/panelsdriver.h"
#include "ui/support/uiharness.h"

using namespace paneltest;

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kOlive = 0x808000;

// Frame 0: 20 x 10 at (5, 6), local table black, red, green, blue; pixel index x mod 4.
// Frame 1: 10 x 10 at (0, 0), no local table, marked transparent (index 0) as a file may say.
// Frame 2: 30 x 8 at (40, 2), local table of 8, transparent with index 2.
std::vector<GifFrame> threeFrames() {
    std::vector<GifFrame> frames;
    frames.push_back(makeFrame(20, 10, {kBlack, kRed, kGreen, kBlue}, [](uint32_t x, uint32_t) { return uint8_t(x % 4); },
                               5, 6));
    frames.push_back(solidFrame(kOlive, 10, 10, 0, 0));
    frames.back().transparent = true;
    frames.push_back(makeFrame(30, 8, {kBlack, kRed, kGreen, kBlue, kWhite, 0x111111, 0x222222, 0x333333},
                               [](uint32_t x, uint32_t) { return uint8_t(x % 8); }, 40, 2));
    frames.back().transparent = true;
    frames.back().transparentIndex = 2;
    return frames;
}

class ImagePanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.started());
        setDocument(threeFrames(), 100, 50);
        showPropertyTab(1);
        panel = g_imagePanel;
    }
    GifFrame& frame(size_t i) { return g_document.frames[i]; }

    AppSession session;
    HWND panel = nullptr;
};

// ---- Offsets -----------------------------------------------------------------------------------

struct OffsetCase {
    const char* typed;
    const char* shown;
    uint16_t stored;
};

TEST_F(ImagePanel, OffsetsAreCorrectedWhileTypingAndStoredAtOnce) {
    const OffsetCase cases[] = {
        {"40000", "32767", 32767},  // above the range
        {"", "0", 0},               // cleared: zero at once
        {"123", "123", 123},
        {"32767", "32767", 32767},  // the largest allowed stays
        {"32768", "32767", 32767},
        {"0", "0", 0},
        {"99999999999", "32767", 32767},  // too many digits for a 32-bit number is still too big
    };
    selectFrame(0);
    for (int id : {IDC_IMAGE_LEFT, IDC_IMAGE_TOP}) {
        for (const OffsetCase& c : cases) {
            SCOPED_TRACE(std::string(id == IDC_IMAGE_LEFT ? "X " : "Y ") + "typed '" + c.typed + "'");
            g_modified = false;
            typeText(panel, id, c.typed);
            EXPECT_EQ(textOf(panel, id), c.shown);
            EXPECT_EQ(id == IDC_IMAGE_LEFT ? frame(0).left : frame(0).top, c.stored);
            EXPECT_TRUE(g_modified);
        }
    }
    // Only the selected frame moves.
    EXPECT_EQ(frame(2).left, 40);
    EXPECT_EQ(frame(2).top, 2);
}

TEST_F(ImagePanel, OffsetWithAutoRecomputesTheLogicalScreen) {
    selectFrame(0);
    // Without Auto the screen stays as it is.
    typeText(panel, IDC_IMAGE_LEFT, "300");
    EXPECT_EQ(g_document.screenWidth, 100);
    EXPECT_EQ(g_document.screenHeight, 50);

    press(g_globalPanel, IDC_GLOBAL_AUTO_SIZE);
    ASSERT_TRUE(checked(g_globalPanel, IDC_GLOBAL_AUTO_SIZE));
    // Frame 0 (20 x 10) at (300, 6) reaches x = 320; frame 2 (30 x 8) at (40, 2) reaches y = 10,
    // frame 0 reaches y = 16.
    EXPECT_EQ(g_document.screenWidth, 320);
    EXPECT_EQ(g_document.screenHeight, 16);

    typeText(panel, IDC_IMAGE_TOP, "70");
    EXPECT_EQ(g_document.screenWidth, 320);
    EXPECT_EQ(g_document.screenHeight, 80);
    EXPECT_EQ(textOf(g_globalPanel, IDC_GLOBAL_WIDTH), "320");
    EXPECT_EQ(textOf(g_globalPanel, IDC_GLOBAL_HEIGHT), "80");

    // Moving it back shrinks the screen to what the frames need.
    typeText(panel, IDC_IMAGE_LEFT, "0");
    typeText(panel, IDC_IMAGE_TOP, "0");
    EXPECT_EQ(g_document.screenWidth, 70);  // frame 2: 40 + 30
    EXPECT_EQ(g_document.screenHeight, 10);
    EXPECT_EQ(textOf(g_globalPanel, IDC_GLOBAL_WIDTH), "70");
}

// ---- Delay, disposal, interlace, title ---------------------------------------------------------

TEST_F(ImagePanel, DelayIsTakenOnlyWhenTheFieldLosesFocus) {
    selectFrame(0);
    const struct {
        const char* typed;
        const char* shown;
        uint16_t stored;
    } cases[] = {{"250", "250", 250}, {"40000", "32767", 32767}, {"", "0", 0}, {"7", "7", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const uint16_t before = frame(0).delay;
        typeText(panel, IDC_IMAGE_DELAY, c.typed);
        EXPECT_EQ(frame(0).delay, before) << "typing alone changed the delay";
        g_modified = false;
        leaveField(panel, IDC_IMAGE_DELAY);
        EXPECT_EQ(textOf(panel, IDC_IMAGE_DELAY), c.shown);
        EXPECT_EQ(frame(0).delay, c.stored);
        EXPECT_TRUE(g_modified);
    }
}

TEST_F(ImagePanel, DisposalAndInterlaceFollowTheirControls) {
    selectFrame(2);
    HWND combo = GetDlgItem(panel, IDC_IMAGE_DISPOSAL);
    for (uint32_t position : {3u, 1u, 2u, 0u}) {
        g_modified = false;
        SendMessageA(combo, CB_SETCURSEL, position, 0);
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_DISPOSAL, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(frame(2).disposal, position);
        EXPECT_TRUE(g_modified);
    }
    ASSERT_FALSE(frame(2).interlaced);
    press(panel, IDC_IMAGE_INTERLACED);
    EXPECT_TRUE(frame(2).interlaced);
    press(panel, IDC_IMAGE_INTERLACED);
    EXPECT_FALSE(frame(2).interlaced);
    EXPECT_FALSE(frame(0).interlaced);
}

TEST_F(ImagePanel, TitleShowsAndEditsTheSelectedFramesTitle) {
    frame(0).title = "walk cycle";
    selectFrame(0);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TITLE), "walk cycle");
    selectFrame(2);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TITLE), "");
    typeText(panel, IDC_IMAGE_TITLE, "logo");
    EXPECT_EQ(frame(2).title, "logo");
    EXPECT_EQ(frame(0).title, "walk cycle");
    selectFrame(0);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TITLE), "walk cycle");
    selectFrame(2);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TITLE), "logo");
}

// ---- Transparency ------------------------------------------------------------------------------

// The palette a transparent frame's picture must carry: the table opaque, the index see-through.
void expectPalette(const GifFrame& f, bool transparent, uint32_t index) {
    const IndexedPalette& palette = f.bitmap->palette();
    ASSERT_EQ(palette.count, f.localTable.entries.size());
    EXPECT_EQ(palette.flags, transparent ? kPaletteFlagsHasAlpha : 0u);
    for (uint32_t i = 0; i < palette.count; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const uint32_t rgb = f.localTable.entries[i].packed();
        const uint32_t alpha = (transparent && i == index) ? 0x00 : 0xFF;
        EXPECT_EQ(palette.entries[i], alpha << 24 | rgb);
    }
}

TEST_F(ImagePanel, TransparentIndexIsClampedToTheLocalTable) {
    struct {
        const char* typed;
        const char* shown;
        uint8_t stored;
    } cases[] = {
        {"3", "3", 3}, {"4", "3", 3},     // the table has 4 entries: 4 is one past its end
        {"255", "3", 3}, {"", "0", 0},    // empty is 0
        {"1", "1", 1}, {"70000", "3", 3},
    };
    frame(0).transparent = true;
    selectFrame(0);
    ASSERT_TRUE(checked(panel, IDC_IMAGE_TRANSPARENT));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed '") + c.typed + "'");
        g_modified = false;
        typeText(panel, IDC_IMAGE_TRANSPARENT_INDEX, c.typed);
        EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), c.shown);
        EXPECT_EQ(frame(0).transparentIndex, c.stored);
        EXPECT_TRUE(g_modified);
        expectPalette(frame(0), true, c.stored);
    }
    // The same rule on focus loss, for an 8-entry table.
    selectFrame(2);
    SetWindowTextA(GetDlgItem(panel, IDC_IMAGE_TRANSPARENT_INDEX), "9");
    leaveField(panel, IDC_IMAGE_TRANSPARENT_INDEX);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "7");
    EXPECT_EQ(frame(2).transparentIndex, 7);
    expectPalette(frame(2), true, 7);
}

TEST_F(ImagePanel, UncheckingTransparentEmptiesTheIndexAndMakesEveryColourOpaque) {
    selectFrame(2);
    ASSERT_TRUE(checked(panel, IDC_IMAGE_TRANSPARENT));
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "2");
    EXPECT_TRUE(enabled(panel, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_TRUE(enabled(panel, IDC_IMAGE_TRANSPARENT_SWATCH));

    g_modified = false;
    press(panel, IDC_IMAGE_TRANSPARENT);
    EXPECT_FALSE(frame(2).transparent);
    EXPECT_EQ(frame(2).transparentIndex, 0);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "");
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_SWATCH));
    EXPECT_TRUE(g_modified);
    expectPalette(frame(2), false, 0);

    // Typing into the disabled field's window changes nothing while unchecked.
    typeText(panel, IDC_IMAGE_TRANSPARENT_INDEX, "5");
    EXPECT_EQ(frame(2).transparentIndex, 0);
    expectPalette(frame(2), false, 0);

    // Checking again starts from index 0, see-through.
    press(panel, IDC_IMAGE_TRANSPARENT);
    EXPECT_TRUE(frame(2).transparent);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "0");
    EXPECT_TRUE(enabled(panel, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_TRUE(enabled(panel, IDC_IMAGE_TRANSPARENT_SWATCH));
    expectPalette(frame(2), true, 0);
}

TEST_F(ImagePanel, FrameWithoutLocalTableDisablesTransparencyAndThePaletteButton) {
    selectFrame(1);
    EXPECT_FALSE(checked(panel, IDC_IMAGE_TRANSPARENT));
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "");
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_SWATCH));
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_LOCAL_PALETTE));

    // Nothing reaches the index, and its picture keeps its own palette.
    const IndexedPalette before = frame(1).bitmap->palette();
    typeText(panel, IDC_IMAGE_TRANSPARENT_INDEX, "3");
    leaveField(panel, IDC_IMAGE_TRANSPARENT_INDEX);
    EXPECT_EQ(frame(1).transparentIndex, 0);
    press(panel, IDC_IMAGE_TRANSPARENT);
    EXPECT_TRUE(frame(1).transparent);  // the flag follows the box...
    EXPECT_FALSE(enabled(panel, IDC_IMAGE_TRANSPARENT_INDEX));  // ...but nothing else changes
    EXPECT_EQ(frame(1).bitmap->palette().count, before.count);
    EXPECT_EQ(frame(1).bitmap->palette().entries[0], before.entries[0]);
    EXPECT_EQ(frame(1).bitmap->palette().flags, before.flags);

    // The frames with a table enable the button again.
    selectFrame(0);
    EXPECT_TRUE(enabled(panel, IDC_IMAGE_LOCAL_PALETTE));
}

TEST_F(ImagePanel, CommandsWithoutASelectionChangeNothing) {
    SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(-1), 0);
    g_modified = false;
    typeText(panel, IDC_IMAGE_LEFT, "77");
    leaveField(panel, IDC_IMAGE_DELAY);
    press(panel, IDC_IMAGE_TRANSPARENT);
    press(panel, IDC_IMAGE_INTERLACED);
    press(panel, IDC_IMAGE_LOCAL_PALETTE);
    press(panel, IDC_IMAGE_TRANSPARENT_SWATCH);
    EXPECT_FALSE(g_modified);
    for (const GifFrame& f : g_document.frames) EXPECT_NE(f.left, 77);
}

// ---- Swatch ------------------------------------------------------------------------------------

// The swatch drawn through the panel's WM_DRAWITEM into memory, item rectangle 54 x 22.
Capture drawSwatch(UINT state = 0) {
    HWND swatch = GetDlgItem(g_imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH);
    return captureDrawing(54, 22, 0x123456, [&](HDC dc) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = IDC_IMAGE_TRANSPARENT_SWATCH;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = swatch;
        item.hDC = dc;
        item.rcItem = {0, 0, 54, 22};
        SendMessageA(g_imagePanel, WM_DRAWITEM, IDC_IMAGE_TRANSPARENT_SWATCH, reinterpret_cast<LPARAM>(&item));
    });
}

// Colour rectangle of a 54 x 22 item: (6, 6) to (54 - 6 - 15, 22 - 6) = (33, 16), black outline.
TEST_F(ImagePanel, SwatchShowsTheTransparentColourInABlackFrame) {
    selectFrame(2);
    typeText(panel, IDC_IMAGE_TRANSPARENT_INDEX, "4");  // white
    Capture white = drawSwatch();
    EXPECT_EQ(white.at(6, 6), kBlack);
    EXPECT_EQ(white.at(32, 15), kBlack);
    EXPECT_EQ(white.at(19, 11), kWhite);
    EXPECT_EQ(white.at(7, 7), kWhite);
    // Raised edge: light outer and highlight inner on the top left, dark outer and shadow inner
    // on the bottom right.
    EXPECT_EQ(white.at(0, 0), systemRgb(COLOR_3DLIGHT));
    EXPECT_EQ(white.at(1, 1), systemRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(white.at(53, 21), systemRgb(COLOR_3DDKSHADOW));
    EXPECT_EQ(white.at(52, 20), systemRgb(COLOR_BTNSHADOW));
    // The Marlett arrow ("6", a small down-pointing triangle) sits right of the colour box:
    // x from 54 - 3 - 16 = 35 to 51, rows of the colour box.
    int arrowPixels = 0;
    for (int y = 6; y < 16; ++y) {
        for (int x = 35; x < 51; ++x) arrowPixels += white.at(x, y) == systemRgb(COLOR_BTNTEXT);
    }
    // A triangle of a few pixels: something drawn, far less than the box it sits in.
    EXPECT_GE(arrowPixels, 4);
    EXPECT_LT(arrowPixels, 60);
    savePng(white, "imagepanel-swatch-white.png");

    typeText(panel, IDC_IMAGE_TRANSPARENT_INDEX, "1");  // red
    EXPECT_EQ(drawSwatch().at(19, 11), kRed);
}

TEST_F(ImagePanel, SwatchIsHatchedWithoutATransparentColour) {
    for (int selection : {-1, 1}) {  // nothing selected; a frame without a local table
        SCOPED_TRACE(selection);
        if (selection < 0) {
            SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(-1), 0);
        } else {
            selectFrame(selection);
        }
        Capture hatch = drawSwatch(ODS_DISABLED);
        int black = 0;
        int other = 0;
        for (int y = 7; y < 15; ++y) {
            for (int x = 7; x < 32; ++x) (hatch.at(x, y) == kBlack ? black : other)++;
        }
        // Diagonal lines: some pixels black, most not.
        EXPECT_GT(black, 10);
        EXPECT_GT(other, black);
    }
}

// ---- Picker and palette editor -----------------------------------------------------------------

TEST_F(ImagePanel, PickerChoiceBecomesTheTransparentIndex) {
    selectFrame(2);
    DialogAnswerer answers;
    bool sawPressedSwatch = false;
    // The picker is a popup without caption; point at cell 5 (column 5, row 0) and click.
    answers.expect("", [&](HWND popup) {
        Capture swatch = captureClient(GetDlgItem(g_imagePanel, IDC_IMAGE_TRANSPARENT_SWATCH), false);
        // Pressed: a plain dark outline instead of the raised edge's light top-left.
        sawPressedSwatch = swatch.width > 0 && swatch.at(0, 0) == systemRgb(COLOR_3DDKSHADOW);
        const int x = 8 + 17 * 5 + 7;
        const int y = 8 + 7;
        SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    });
    g_modified = false;
    press(panel, IDC_IMAGE_TRANSPARENT_SWATCH);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected().empty());
    EXPECT_TRUE(sawPressedSwatch);
    EXPECT_EQ(frame(2).transparentIndex, 5);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "5");
    EXPECT_TRUE(g_modified);
    expectPalette(frame(2), true, 5);
}

TEST_F(ImagePanel, PickerClosedWithoutChoiceLeavesTheIndex) {
    selectFrame(2);
    DialogAnswerer answers;
    answers.expect("", [](HWND popup) { PostMessageA(popup, WM_NCACTIVATE, FALSE, 0); });
    press(panel, IDC_IMAGE_TRANSPARENT_SWATCH);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(frame(2).transparentIndex, 2);
    EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), "2");
}

struct FrameSnapshot {
    std::vector<uint8_t> pixels;
    IndexedPalette palette;
    std::vector<RgbColor> table;
    uint8_t transparentIndex;
};

FrameSnapshot snapshot(const GifFrame& f) {
    FrameSnapshot s;
    for (uint32_t y = 0; y < f.height(); ++y) s.pixels.insert(s.pixels.end(), f.bitmap->row(y), f.bitmap->row(y) + f.width());
    s.palette = f.bitmap->palette();
    s.table = f.localTable.entries;
    s.transparentIndex = f.transparentIndex;
    return s;
}

TEST_F(ImagePanel, CancellingThePaletteEditorLeavesTheFrameUntouched) {
    selectFrame(2);
    const FrameSnapshot before = snapshot(frame(2));
    DialogAnswerer answers;
    answers.expect("Edit Palette", [](HWND editor) {
        // Change something in the working copy first, so a careless cancel would show.
        SendMessageA(editor, WM_COMMAND, MAKEWPARAM(IDC_PALETTE_ADD, BN_CLICKED), 0);
        PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    });
    g_modified = false;
    press(panel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected().empty());
    const FrameSnapshot after = snapshot(frame(2));
    EXPECT_EQ(after.pixels, before.pixels);
    EXPECT_EQ(after.table, before.table);
    EXPECT_EQ(after.transparentIndex, before.transparentIndex);
    EXPECT_EQ(after.palette.count, before.palette.count);
    EXPECT_EQ(after.palette.flags, before.palette.flags);
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(after.palette.entries[i], before.palette.entries[i]) << i;
    EXPECT_FALSE(g_modified);
}

TEST_F(ImagePanel, AfterThePaletteEditorsOkTheTransparentColourIsSeeThroughAgain) {
    selectFrame(2);
    DialogAnswerer answers;
    answers.expect("Edit Palette", DialogAnswerer::pressButton(IDOK));
    press(panel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(g_modified);
    EXPECT_TRUE(frame(2).transparent);
    expectPalette(frame(2), true, 2);
}

// ---- A real file ---------------------------------------------------------------------------------

// tests/data/panels-sample.gif, made with ImageMagick 6 from its built-in pictures:
//   convert \( rose: -resize 200% -set comment "Velmora panels sample" -set delay 40 -set dispose none
//              -repage 260x170+0+0 \)
//           \( granite: -resize 75% -set comment "granite, moved right" -set delay 25
//              -set dispose background -repage 260x170+150+40 \)
//           \( logo: -resize 20% -colors 64 -transparent white -set comment "logo frame" -set delay 60
//              -set dispose previous -repage 260x170+60+70 \) -loop 0 panels-sample.gif
// (each picture first written as a GIF of its own, as ImageMagick reduces it to 256 colours).
// gifsicle --info: screen 260 x 170; #0 140 x 92 global table; #1 96 x 96 at (150, 40), local
// table 32, disposal background, delay 25; #2 128 x 96 at (60, 70), local table 64, transparent 63,
// disposal previous, delay 60.
TEST(ImagePanelSample, ShowsEachFrameOfARealFile) {
    AppSession session;
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(readSampleGif());
    ASSERT_EQ(g_document.frames.size(), 3u);
    // Wide enough for the whole panel in the screenshot.
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 1000, 640, SWP_NOMOVE | SWP_NOZORDER);
    showPropertyTab(1);
    HWND panel = g_imagePanel;
    const struct {
        const char *width, *height, *left, *top, *delay, *index;
        bool transparent, localPalette;
        int disposal;
    } expected[] = {
        {"140", "92", "0", "0", "40", "", false, false, 1},
        {"96", "96", "150", "40", "25", "", false, true, 2},
        {"128", "96", "60", "70", "60", "63", true, true, 3},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        selectFrame(i);
        const auto& e = expected[i];
        EXPECT_EQ(textOf(panel, IDC_IMAGE_WIDTH), e.width);
        EXPECT_EQ(textOf(panel, IDC_IMAGE_HEIGHT), e.height);
        EXPECT_EQ(textOf(panel, IDC_IMAGE_LEFT), e.left);
        EXPECT_EQ(textOf(panel, IDC_IMAGE_TOP), e.top);
        EXPECT_EQ(textOf(panel, IDC_IMAGE_DELAY), e.delay);
        EXPECT_EQ(textOf(panel, IDC_IMAGE_TRANSPARENT_INDEX), e.index);
        EXPECT_EQ(checked(panel, IDC_IMAGE_TRANSPARENT), e.transparent);
        EXPECT_EQ(enabled(panel, IDC_IMAGE_LOCAL_PALETTE), e.localPalette);
        EXPECT_EQ(SendDlgItemMessageA(panel, IDC_IMAGE_DISPOSAL, CB_GETCURSEL, 0, 0), e.disposal);
        // Selecting writes the same values back through the rules; nothing in the frame moves.
        EXPECT_EQ(std::to_string(g_document.frames[size_t(i)].left), e.left);
    }
    // The transparent frame's picture lets its background (entry 63, black in the file) through.
    const GifFrame& logo = g_document.frames[2];
    EXPECT_EQ(logo.bitmap->palette().entries[63] >> 24, 0u);
    EXPECT_EQ(logo.bitmap->palette().entries[62] >> 24, 0xFFu);
    EXPECT_FALSE(saveWindowScreenshot(g_mainWindow, "imagepanel-sample.png").empty());
}

}  // namespace
