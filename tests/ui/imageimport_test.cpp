// Image, Add on the image road through the real command and its Open dialog, for every format
// GDI+ decodes: pictures made natively by tests/ui/support/make-import-images.sh or drawn here with
// GDI. Expected colours come from each picture's recipe. (GIF files take the GIF road instead.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "app/application.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

// Colour i of the 256- and 257-colour recipes.
uint32_t recipe(uint32_t i) {
    return i << 16 | (255 - i) << 8 | (7 * i) % 256;
}

int distance(uint32_t a, uint32_t b) {  // the quantiser's own measure: the sum of channel differences
    return std::abs(redOf(a) - redOf(b)) + std::abs(greenOf(a) - greenOf(b)) +
           std::abs(blueOf(a) - blueOf(b));
}

// A 120 x 60 pixel red rectangle, its frame in hundredths of a millimetre of the screen.
std::string drawEmf(const std::string& path) {
    HDC screen = GetDC(nullptr);
    RECT frame = {0, 0, 120 * GetDeviceCaps(screen, HORZSIZE) * 100 / GetDeviceCaps(screen, HORZRES),
                  60 * GetDeviceCaps(screen, VERTSIZE) * 100 / GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), &frame, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all = {0, 0, 120, 60};
    FillRect(dc, &all, red);
    DeleteObject(red);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    return path;
}

// A placeable WMF of 200 x 100 units at 192 units per inch, all red: 100 x 50 pixels at 96 dpi.
std::string drawWmf(const std::string& path) {
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowExtEx(dc, 200, 100, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, 201, 101);
    HMETAFILE metafile = CloseMetaFile(dc);
    DeleteObject(red);
    std::vector<uint8_t> records(GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, UINT(records.size()), records.data());
    DeleteMetaFile(metafile);
    // Key, handle, bounding box, units per inch, reserved, checksum.
    uint16_t header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 200, 100, 192, 0, 0, 0};
    for (int i = 0; i < 10; ++i) header[10] ^= header[i];
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(header, sizeof(header), 1, file);
        std::fwrite(records.data(), 1, records.size(), file);
        std::fclose(file);
    }
    return path;
}

// What each recipe shows at (x, y) of a frame `width` wide; the width tells pages and icon sizes apart.
using Recipe = uint32_t (*)(uint32_t x, uint32_t y, uint32_t width);
const uint32_t kStripes[] = {0x0A141E, 0xFA0005, 0x008000, 0xFFFFFF};
// alpha.png's see-through half comes out black.
const Recipe halfRed = [](uint32_t x, uint32_t, uint32_t) { return x < 20 ? 0xFF0000u : 0u; };
const Recipe stripes = [](uint32_t x, uint32_t, uint32_t) { return kStripes[x / 4]; };
const Recipe blueGrey = [](uint32_t, uint32_t, uint32_t) { return 0x6496C8u; };
const Recipe red = [](uint32_t, uint32_t, uint32_t) { return 0xFF0000u; };
const Recipe all256 = [](uint32_t x, uint32_t y, uint32_t) { return recipe(16 * y + x); };
// TIFF pages 10 x 10 red, 20 x 5 green, 5 x 15 blue; icon sizes 16 x 16 yellow, 32 x 32 magenta.
const std::map<uint32_t, uint32_t> kBySize = {
    {10, 0xFF0000}, {20, 0x00FF00}, {5, 0x0000FF}, {16, 0xFFFF00}, {32, 0xFF00FF}};
const Recipe bySize = [](uint32_t, uint32_t, uint32_t width) {
    return kBySize.count(width) ? kBySize.at(width) : 1u;
};

TEST(ImageImport, EveryFormatBecomesIndexedFramesAndTheScreenOnlyGrows) {
    AppSession session;
    ASSERT_TRUE(session.started());
    std::vector<uint32_t> ramp;
    for (uint32_t i = 0; i < 256; ++i) ramp.push_back(recipe(i));
    struct Import {
        std::string path;
        size_t frames;
        uint32_t width, height;       // of the first frame; 0: any
        std::vector<uint32_t> table;  // the first frame's, in order of first appearance; empty: any
        Recipe color;                 // null: the nearest entry
        int tolerance;  // per channel; -1: the middle pixel only, the size within 2 (antialiased edges)
    };
    const Import imports[] = {
        {importImagePath("alpha.png"), 1, 40, 30, {0xFF0000, 0}, halfRed, 0},
        {importImagePath("stripes.bmp"), 1, 16, 8, {kStripes, kStripes + 4}, stripes, 0},
        {importImagePath("flat.jpg"), 1, 48, 32, {}, blueGrey, 3},
        {importImagePath("pages.tif"), 3, 10, 10, {0xFF0000}, bySize, 0},  // every page, in order
        {importImagePath("icon.ico"), 2, 0, 0, {}, bySize, 0},             // every size
        {importImagePath("colors256.png"), 1, 16, 16, ramp, all256, 0},
        {drawEmf(windowsOutputPath("drawn.emf")), 1, 120, 60, {}, red, -1},
        {drawWmf(windowsOutputPath("drawn-192dpi.wmf")), 1, 100, 50, {}, red, -1},
        {importImagePath("colors257.png"), 1, 32, 16, {}, nullptr, 0},
    };
    unsigned screenWidth = app().editor.document().screenWidth, screenHeight = app().editor.document().screenHeight;
    for (const Import& import : imports) {
        SCOPED_TRACE(import.path);
        const size_t before = app().editor.document().frames.size();
        DialogAnswerer answers;
        answers.expect("Open", DialogAnswerer::chooseFile(import.path));
        sendMenuCommand(IDM_IMAGE_ADD);
        EXPECT_TRUE(answers.allAnswered());
        // The main window, a dialog too, is seen getting the focus back; anything else is a surprise.
        for (const std::string& caption : answers.unexpected()) EXPECT_EQ(caption, "Velmora");
        ASSERT_EQ(app().editor.document().frames.size(), before + import.frames);
        EXPECT_EQ(frameListCount(), int(app().editor.document().frames.size()));
        EXPECT_EQ(frameListSelection(), int(app().editor.document().frames.size()) - 1);
        const GifFrame& first = app().editor.document().frames[before];
        const int slack = import.tolerance < 0 ? 2 : 0;
        if (import.width) {
            EXPECT_NEAR(int(first.width()), int(import.width), slack);
            EXPECT_NEAR(int(first.height()), int(import.height), slack);
        }
        if (!import.table.empty()) {
            std::vector<uint32_t> table;
            for (const RgbColor& c : first.localTable.entries) table.push_back(c.packed());
            EXPECT_EQ(table, import.table);
        }
        for (size_t f = before; f < app().editor.document().frames.size(); ++f) {
            // An opaque local table that is the picture's palette, at (0, 0), no transparency.
            const GifFrame& frame = app().editor.document().frames[f];
            const IndexedPalette& palette = frame.bitmap->palette();
            EXPECT_TRUE(frame.hasLocalTable);
            EXPECT_FALSE(frame.transparent);
            EXPECT_EQ(frame.left + frame.top + frame.delay + frame.disposal, 0);
            ASSERT_EQ(palette.count, frame.localTable.entries.size());
            EXPECT_EQ(palette.flags, 0u);
            for (size_t i = 0; i < palette.count; ++i)
                ASSERT_EQ(palette.entries[i], frame.localTable.entries[i].toArgb());
            screenWidth = std::max(screenWidth, frame.width());
            screenHeight = std::max(screenHeight, frame.height());
            std::vector<std::pair<uint32_t, uint32_t>> points = {{frame.width() / 2, frame.height() / 2}};
            for (uint32_t y = 0; import.tolerance >= 0 && y < frame.height(); ++y)
                for (uint32_t x = 0; x < frame.width(); ++x) points.emplace_back(x, y);
            for (auto [x, y] : points) {
                const uint8_t index = frame.bitmap->at(x, y);
                ASSERT_LT(index, palette.count);
                const uint32_t color = frame.localTable.entries[index].packed();
                if (import.color) {
                    const uint32_t want = import.color(x, y, frame.width());
                    ASSERT_LE(std::max({std::abs(redOf(color) - redOf(want)),
                                        std::abs(greenOf(color) - greenOf(want)),
                                        std::abs(blueOf(color) - blueOf(want))}),
                              std::max(import.tolerance, 0))
                        << x << "," << y;
                } else {  // more than 256 colours: every pixel takes its nearest entry
                    const uint32_t source = x == 31 && y == 15 ? 0x010203 : recipe(16 * y + x % 16);
                    int best = 1 << 30;
                    for (const RgbColor& entry : frame.localTable.entries)
                        best = std::min(best, distance(entry.packed(), source));
                    ASSERT_EQ(distance(color, source), best) << x << "," << y;
                }
            }
        }
        EXPECT_EQ(app().editor.document().screenWidth, screenWidth);
        EXPECT_EQ(app().editor.document().screenHeight, screenHeight);
        EXPECT_EQ(textOf(app().globalPanel, IDC_GLOBAL_WIDTH), std::to_string(screenWidth));
    }
}

}  // namespace
