// Image, Add on the image road: pictures of every format GDI+ decodes, made natively by
// tests/ui/support/make-import-images.sh or drawn here with GDI, imported through the real command.
// Expected colours and indices come from each picture's recipe.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "resource.h"
#include "ui/support/appdriver.h"
#include "ui/support/uiharness.h"

namespace {

RgbColor rgb(uint32_t packed) { return RgbColor::fromPacked(packed); }

// The colour a frame shows at (x, y).
RgbColor colorAt(const GifFrame& frame, uint32_t x, uint32_t y) {
    return frame.localTable.entries.at(frame.bitmap->at(x, y));
}

int channelDistance(const RgbColor& a, const RgbColor& b) {
    return std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

// Every import must leave these: a local table that matches the bitmap's palette, opaque
// entries, no transparency, offset (0, 0), and pixels that index inside the table.
void expectWellFormedImport(const GifFrame& frame) {
    ASSERT_NE(frame.bitmap, nullptr);
    EXPECT_TRUE(frame.hasLocalTable);
    EXPECT_FALSE(frame.transparent);
    EXPECT_EQ(frame.transparentIndex, 0);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.delay, 0);
    EXPECT_EQ(frame.disposal, 0u);
    const IndexedPalette& palette = frame.bitmap->palette();
    ASSERT_EQ(palette.count, frame.localTable.entries.size());
    EXPECT_EQ(palette.flags, 0u);
    for (size_t i = 0; i < palette.count; ++i) {
        EXPECT_EQ(palette.entries[i], frame.localTable.entries[i].toArgb()) << "entry " << i;
    }
    for (uint32_t y = 0; y < frame.height(); ++y)
        for (uint32_t x = 0; x < frame.width(); ++x)
            ASSERT_LT(frame.bitmap->at(x, y), palette.count) << x << "," << y;
}

class ImageImport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_.started()); }

    // Runs Image, Add on the file and returns the frames it appended.
    std::vector<const GifFrame*> add(const std::string& path) {
        const size_t before = g_document.frames.size();
        answers_.expect("Open", DialogAnswerer::chooseFile(path));
        sendMenuCommand(IDM_IMAGE_ADD);
        EXPECT_TRUE(answers_.allAnswered());
        // The main window is a dialog too and is seen when it gets the focus back; only other
        // windows would be surprises (an error box, a second file dialog).
        for (const std::string& caption : answers_.unexpected()) EXPECT_EQ(caption, "Velmora");
        std::vector<const GifFrame*> added;
        for (size_t i = before; i < g_document.frames.size(); ++i) added.push_back(&g_document.frames[i]);
        EXPECT_EQ(frameListCount(), int(g_document.frames.size()));
        if (!added.empty()) EXPECT_EQ(frameListSelection(), int(g_document.frames.size()) - 1);
        return added;
    }

    AppSession session_;
    DialogAnswerer answers_;
};

TEST_F(ImageImport, PngTransparencyBecomesOpaqueBlack) {
    const auto frames = add(importImagePath("alpha.png"));
    ASSERT_EQ(frames.size(), 1u);
    const GifFrame& frame = *frames[0];
    expectWellFormedImport(frame);
    ASSERT_EQ(frame.width(), 40u);
    ASSERT_EQ(frame.height(), 30u);
    // First appearance: red on the left of row 0, then the transparent right half as black.
    ASSERT_EQ(frame.localTable.entries.size(), 2u);
    EXPECT_EQ(frame.localTable.entries[0], rgb(0xFF0000));
    EXPECT_EQ(frame.localTable.entries[1], rgb(0x000000));
    for (uint32_t y = 0; y < 30; ++y)
        for (uint32_t x = 0; x < 40; ++x) ASSERT_EQ(frame.bitmap->at(x, y), x < 20 ? 0 : 1) << x << "," << y;
}

TEST_F(ImageImport, BmpStripesMapExactlyInFirstAppearanceOrder) {
    const auto frames = add(importImagePath("stripes.bmp"));
    ASSERT_EQ(frames.size(), 1u);
    const GifFrame& frame = *frames[0];
    expectWellFormedImport(frame);
    ASSERT_EQ(frame.width(), 16u);
    ASSERT_EQ(frame.height(), 8u);
    const std::vector<RgbColor> expected = {rgb(0x0A141E), rgb(0xFA0005), rgb(0x008000), rgb(0xFFFFFF)};
    EXPECT_EQ(frame.localTable.entries, expected);
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(frame.bitmap->at(x, y), x / 4) << x << "," << y;
}

TEST_F(ImageImport, JpegKeepsItsSizeAndColour) {
    const auto frames = add(importImagePath("flat.jpg"));
    ASSERT_EQ(frames.size(), 1u);
    const GifFrame& frame = *frames[0];
    expectWellFormedImport(frame);
    ASSERT_EQ(frame.width(), 48u);
    ASSERT_EQ(frame.height(), 32u);
    // A lossy coder may move a flat colour by a step or two.
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 48; ++x) ASSERT_LE(channelDistance(colorAt(frame, x, y), rgb(0x6496C8)), 3);
}

TEST_F(ImageImport, EveryTiffPageBecomesAFrameInPageOrder) {
    const auto frames = add(importImagePath("pages.tif"));
    ASSERT_EQ(frames.size(), 3u);
    struct Page {
        uint32_t width, height, color;
    };
    const Page pages[] = {{10, 10, 0xFF0000}, {20, 5, 0x00FF00}, {5, 15, 0x0000FF}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const GifFrame& frame = *frames[i];
        expectWellFormedImport(frame);
        EXPECT_EQ(frame.width(), pages[i].width);
        EXPECT_EQ(frame.height(), pages[i].height);
        // One colour: a one-entry table and every pixel 0.
        ASSERT_EQ(frame.localTable.entries.size(), 1u);
        EXPECT_EQ(frame.localTable.entries[0], rgb(pages[i].color));
        for (uint32_t y = 0; y < frame.height(); ++y)
            for (uint32_t x = 0; x < frame.width(); ++x) ASSERT_EQ(frame.bitmap->at(x, y), 0);
    }
    // The screen grows to the widest and the tallest page.
    EXPECT_EQ(g_document.screenWidth, 20);
    EXPECT_EQ(g_document.screenHeight, 15);
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), "20");
    EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_HEIGHT), "15");
}

TEST_F(ImageImport, EveryIconSizeBecomesAFrame) {
    const auto frames = add(importImagePath("icon.ico"));
    std::map<uint32_t, RgbColor> colorBySide;
    for (const GifFrame* frame : frames) {
        expectWellFormedImport(*frame);
        EXPECT_EQ(frame->width(), frame->height());
        ASSERT_EQ(frame->localTable.entries.size(), 1u);
        colorBySide[frame->width()] = frame->localTable.entries[0];
    }
    EXPECT_EQ(frames.size(), 2u);
    EXPECT_EQ(colorBySide.size(), 2u);
    EXPECT_EQ(colorBySide[16], rgb(0xFFFF00));
    EXPECT_EQ(colorBySide[32], rgb(0xFF00FF));
}

// Colour i = (i, 255 - i, 7 i mod 256) for i = 16 y + x: all 256 distinct.
RgbColor recipeColor(uint32_t i) { return RgbColor(uint8_t(i), uint8_t(255 - i), uint8_t((7 * i) % 256)); }

TEST_F(ImageImport, A256ColourPictureIsMappedExactly) {
    const auto frames = add(importImagePath("colors256.png"));
    ASSERT_EQ(frames.size(), 1u);
    const GifFrame& frame = *frames[0];
    expectWellFormedImport(frame);
    ASSERT_EQ(frame.localTable.entries.size(), 256u);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(frame.localTable.entries[i], recipeColor(i)) << i;
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(frame.bitmap->at(x, y), 16 * y + x);
}

TEST_F(ImageImport, A257ColourPictureIsQuantisedAndEveryPixelTakesItsNearestEntry) {
    const auto frames = add(importImagePath("colors257.png"));
    ASSERT_EQ(frames.size(), 1u);
    const GifFrame& frame = *frames[0];
    expectWellFormedImport(frame);
    ASSERT_EQ(frame.width(), 32u);
    ASSERT_EQ(frame.localTable.entries.size(), 256u);
    // Brute force: no other entry of the table lies closer (sum of channel differences, the
    // quantiser's own measure) to the source colour than the chosen one.
    const auto l1 = [](const RgbColor& a, const RgbColor& b) {
        return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
    };
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 32; ++x) {
            const RgbColor source = (x == 31 && y == 15) ? RgbColor(1, 2, 3) : recipeColor(16 * y + x % 16);
            int best = 1 << 30;
            for (const RgbColor& entry : frame.localTable.entries) best = std::min(best, l1(entry, source));
            ASSERT_EQ(l1(colorAt(frame, x, y), source), best) << x << "," << y;
        }
    }
}

// An EMF drawn here: a 120 x 60 pixel red rectangle on a screen reference device.
std::string drawEmf(const std::string& path) {
    HDC screen = GetDC(nullptr);
    const int widthMm = GetDeviceCaps(screen, HORZSIZE), widthPx = GetDeviceCaps(screen, HORZRES);
    const int heightMm = GetDeviceCaps(screen, VERTSIZE), heightPx = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    // The frame is in hundredths of a millimetre of the reference device.
    RECT frame = {0, 0, 120 * widthMm * 100 / widthPx, 60 * heightMm * 100 / heightPx};
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), &frame, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all = {0, 0, 120, 60};
    FillRect(dc, &all, red);
    DeleteObject(red);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    return path;
}

TEST_F(ImageImport, EmfIsDrawnAtItsOwnSize) {
    const auto frames = add(drawEmf(windowsOutputPath("drawn.emf")));
    ASSERT_EQ(frames.size(), 1u);
    const GifFrame& frame = *frames[0];
    expectWellFormedImport(frame);
    EXPECT_NEAR(int(frame.width()), 120, 2);
    EXPECT_NEAR(int(frame.height()), 60, 2);
    // The middle is red whatever the edges' antialiasing does.
    EXPECT_EQ(colorAt(frame, frame.width() / 2, frame.height() / 2), rgb(0xFF0000));
}

// A placeable WMF whose header says 192 units per inch, with a 200 x 100 unit red rectangle:
// at 96 dpi it is 100 x 50 pixels.
std::string drawWmfAt192Dpi(const std::string& path) {
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 200, 100, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, 201, 101);
    HMETAFILE metafile = CloseMetaFile(dc);
    DeleteObject(red);
    const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    std::vector<uint8_t> records(size);
    GetMetaFileBitsEx(metafile, size, records.data());
    DeleteMetaFile(metafile);

    // Key, handle, bounding box (left, top, right, bottom), units per inch, reserved, checksum.
    uint16_t header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 200, 100, 192, 0, 0, 0};
    for (int i = 0; i < 10; ++i) header[10] ^= header[i];
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return path;
    std::fwrite(header, sizeof(header), 1, file);
    std::fwrite(records.data(), 1, records.size(), file);
    std::fclose(file);
    return path;
}

TEST_F(ImageImport, WmfAt192DpiComesInAtHalfSize) {
    const auto frames = add(drawWmfAt192Dpi(windowsOutputPath("drawn-192dpi.wmf")));
    ASSERT_EQ(frames.size(), 1u);
    const GifFrame& frame = *frames[0];
    expectWellFormedImport(frame);
    EXPECT_EQ(frame.width(), 100u);
    EXPECT_EQ(frame.height(), 50u);
    EXPECT_EQ(colorAt(frame, 50, 25), rgb(0xFF0000));
    EXPECT_EQ(g_document.screenWidth, 100);
    EXPECT_EQ(g_document.screenHeight, 50);
}

TEST_F(ImageImport, TheScreenGrowsToFitAndNeverShrinks) {
    struct Step {
        const char* file;
        unsigned width, height;
    };
    // 40 x 30, then 16 x 8 (smaller both ways), then 48 x 32; then a 10 x 10 TIFF page among taller ones.
    const Step steps[] = {
        {"alpha.png", 40, 30}, {"stripes.bmp", 40, 30}, {"flat.jpg", 48, 32}, {"pages.tif", 48, 32}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.file);
        add(importImagePath(step.file));
        EXPECT_EQ(g_document.screenWidth, step.width);
        EXPECT_EQ(g_document.screenHeight, step.height);
        EXPECT_EQ(controlText(g_globalPanel, IDC_GLOBAL_WIDTH), std::to_string(step.width));
    }
    EXPECT_EQ(g_document.frames.size(), 6u);
    saveWindowScreenshot(g_mainWindow, "imageimport-mixed.png");
}

}  // namespace
