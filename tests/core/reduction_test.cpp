// Reduction of 32-bit pictures: exact mapping in first-appearance order up to 256 colours,
// quantising beyond, the GDI+ byte order and stride, and pictures that are refused.
#include "imaging/reduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "gif/limits.h"
#include "imaging/colorquantizer.h"

namespace {

// A PixelFormat32bppARGB buffer: bytes B, G, R, A per pixel, rows `stride` bytes apart; the
// padding and alpha are filled with noise, since neither may matter.
struct ArgbPicture {
    uint32_t width, height;
    int32_t stride;
    std::vector<uint8_t> bytes;

    ArgbPicture(uint32_t w, uint32_t h, uint32_t padding = 0, uint32_t seed = 1)
        : width(w), height(h), stride(int32_t(w * 4 + padding)), bytes(size_t(stride) * h) {
        std::mt19937 rng(seed);
        for (auto& b : bytes) b = uint8_t(rng());
    }
    void set(uint32_t x, uint32_t y, uint32_t rgb) {
        uint8_t* p = &bytes[size_t(y) * stride + 4 * x];
        p[0] = uint8_t(rgb);
        p[1] = uint8_t(rgb >> 8);
        p[2] = uint8_t(rgb >> 16);
    }
    uint32_t get(uint32_t x, uint32_t y) const {
        const uint8_t* p = &bytes[size_t(y) * stride + 4 * x];
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    ReducedImage reduce() const { return reduceArgbPicture(bytes.data(), width, height, stride); }
};

void expectPaletteMatchesTable(const ReducedImage& r) {
    ASSERT_TRUE(r.bitmap);
    const IndexedPalette& palette = r.bitmap->palette();
    EXPECT_EQ(palette.flags, 0u);
    ASSERT_EQ(palette.count, r.colors.entries.size());
    for (uint32_t i = 0; i < 256; ++i) {
        if (i < palette.count)
            ASSERT_EQ(palette.entries[i], 0xFF000000u | r.colors.entries[i].packed()) << i;
        else
            ASSERT_EQ(palette.entries[i], 0u) << i;
    }
}

int distance(RgbColor a, uint32_t rgb) {
    return std::abs(a.red - int(rgb >> 16)) + std::abs(a.green - int((rgb >> 8) & 0xFF)) +
           std::abs(a.blue - int(rgb & 0xFF));
}

// 256 colours spread over a 40 x 20 picture in a scrambled order with repeats: the palette is the
// colours in the order a row-by-row scan first meets them (found here with a plain list search),
// and every pixel holds its colour's position.
TEST(Reduction, AtMost256ColoursAreMappedExactlyInFirstAppearanceOrder) {
    for (int colourCount : {256, 255, 2, 17}) {
        SCOPED_TRACE(colourCount);
        ArgbPicture picture(40, 20, 12, colourCount);
        std::mt19937 rng(colourCount);
        std::vector<uint32_t> colours;
        for (int k = 0; k < colourCount; ++k) colours.push_back(uint32_t(k * 0x010203 * 37) & 0xFFFFFF);
        std::vector<uint32_t> order;
        for (int k = 0; k < colourCount; ++k) order.push_back(colours[k]);
        while (order.size() < 800) order.push_back(colours[rng() % colourCount]);
        std::shuffle(order.begin(), order.end(), rng);
        for (uint32_t i = 0; i < 800; ++i) picture.set(i % 40, i / 40, order[i]);

        std::vector<uint32_t> firstSeen;
        for (uint32_t c : order)
            if (std::find(firstSeen.begin(), firstSeen.end(), c) == firstSeen.end()) firstSeen.push_back(c);
        ASSERT_EQ(firstSeen.size(), size_t(colourCount));

        const ReducedImage r = picture.reduce();
        ASSERT_TRUE(r.bitmap);
        EXPECT_FALSE(r.quantized);
        ASSERT_EQ(r.colors.entries.size(), firstSeen.size());
        for (size_t k = 0; k < firstSeen.size(); ++k) ASSERT_EQ(r.colors.entries[k].packed(), firstSeen[k]);
        expectPaletteMatchesTable(r);
        for (uint32_t i = 0; i < 800; ++i)
            ASSERT_EQ(r.colors.entries[r.bitmap->at(i % 40, i / 40)].packed(), order[i]) << i;
    }
}

TEST(Reduction, OneColourGivesAOneEntryTableAndZeroPixels) {
    const struct {
        uint32_t w, h, padding, rgb;
    } cases[] = {{1, 1, 0, 0x000000}, {7, 3, 4, 0xFFFFFF}, {64, 64, 0, 0x123456}, {300, 2, 8, 0x00FF00}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        ArgbPicture picture(c.w, c.h, c.padding);
        for (uint32_t y = 0; y < c.h; ++y)
            for (uint32_t x = 0; x < c.w; ++x) picture.set(x, y, c.rgb);
        const ReducedImage r = picture.reduce();
        ASSERT_TRUE(r.bitmap);
        EXPECT_EQ(r.bitmap->width(), c.w);
        EXPECT_EQ(r.bitmap->height(), c.h);
        ASSERT_EQ(r.colors.entries.size(), 1u);
        EXPECT_EQ(r.colors.entries[0].packed(), c.rgb);
        expectPaletteMatchesTable(r);
        for (uint32_t y = 0; y < c.h; ++y)
            for (uint32_t x = 0; x < c.w; ++x) ASSERT_EQ(r.bitmap->at(x, y), 0);
    }
}

// Memory holds B, G, R, A: the bytes 10 20 30 40 are red 0x30, green 0x20, blue 0x10.
TEST(Reduction, ReadsGdiplusByteOrderAndIgnoresAlpha) {
    const uint8_t pixels[] = {0x10, 0x20, 0x30, 0x40, 0x10, 0x20, 0x30, 0xFF, 0xAA, 0xBB, 0xCC, 0x00};
    const ReducedImage r = reduceArgbPicture(pixels, 3, 1, 12);
    ASSERT_TRUE(r.bitmap);
    ASSERT_EQ(r.colors.entries.size(), 2u);
    EXPECT_EQ(r.colors.entries[0], RgbColor(0x30, 0x20, 0x10));
    EXPECT_EQ(r.colors.entries[1], RgbColor(0xCC, 0xBB, 0xAA));
    EXPECT_EQ(r.bitmap->palette().entries[1], 0xFFCCBBAAu);
    EXPECT_EQ(r.bitmap->at(0, 0), 0);
    EXPECT_EQ(r.bitmap->at(1, 0), 0);  // only alpha differs
    EXPECT_EQ(r.bitmap->at(2, 0), 1);
}

// A negative stride walks rows upward from the given start, as a bottom-up GDI+ lock does.
TEST(Reduction, NegativeStrideReadsBottomUpRows) {
    const uint8_t rows[] = {
        1, 1, 1, 0, 2, 2, 2, 0,  // stored first: picture row 1
        3, 3, 3, 0, 4, 4, 4, 0,  // stored second: picture row 0
    };
    const ReducedImage r = reduceArgbPicture(rows + 8, 2, 2, -8);
    ASSERT_TRUE(r.bitmap);
    ASSERT_EQ(r.colors.entries.size(), 4u);
    EXPECT_EQ(r.colors.entries[0], RgbColor(3, 3, 3));
    EXPECT_EQ(r.colors.entries[2], RgbColor(1, 1, 1));
    EXPECT_EQ(r.bitmap->at(1, 1), 3);
}

TEST(Reduction, RefusesPicturesItCannotRead) {
    const uint8_t pixel[16] = {};
    const struct {
        const char* name;
        const void* pixels;
        uint32_t w, h;
        int32_t stride;
    } cases[] = {
        {"no pixels", nullptr, 1, 1, 4},
        {"zero width", pixel, 0, 1, 4},
        {"zero height", pixel, 1, 0, 4},
        {"stride shorter than a row", pixel, 2, 1, 4},
        {"negative stride shorter than a row", pixel + 8, 2, 2, -4},
        {"more pixels than an image may have", pixel, 1u << 13, 1u << 14, 1 << 15},
        {"size that would overflow 32 bits", pixel, 0x10000, 0x10000, 0x40000},
    };
    for (const auto& c : cases) {
        const ReducedImage r = reduceArgbPicture(c.pixels, c.w, c.h, c.stride);
        EXPECT_FALSE(r.bitmap) << c.name;
        EXPECT_TRUE(r.colors.entries.empty()) << c.name;
    }
    EXPECT_GT(uint64_t(1u << 13) * (1u << 14), velmora::kMaxImagePixels);
}

// 257 colours (a ramp of 256 greys plus one red) go to the quantiser: 256 entries, and every
// pixel holds an entry at the smallest distance in the palette (checked exhaustively).
TEST(Reduction, TwoHundredFiftySevenColoursAreQuantisedTo256) {
    ArgbPicture picture(257, 3, 4);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 257; ++x) picture.set(x, y, x < 256 ? x * 0x010101u : 0xFF0000u);
    const ReducedImage r = picture.reduce();
    ASSERT_TRUE(r.bitmap);
    EXPECT_TRUE(r.quantized);
    ASSERT_EQ(r.colors.entries.size(), 256u);
    expectPaletteMatchesTable(r);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 257; ++x) {
            const uint32_t rgb = picture.get(x, y);
            int smallest = 1 << 30;
            for (const RgbColor& e : r.colors.entries) smallest = std::min(smallest, distance(e, rgb));
            ASSERT_EQ(distance(r.colors.entries[r.bitmap->at(x, y)], rgb), smallest) << x << "," << y;
        }
}

// The quantised path feeds the quantiser R, G, B bytes with factor 100 and maps every pixel with
// its search: running the quantiser by hand on the same bytes must give the same palette and
// indices, whatever the stride padding and alpha hold. 400 x 200 is large enough for the table
// that remembers answers per colour, so this also checks that the table never changes one.
TEST(Reduction, QuantisedResultIsTheQuantisersOwnAnswerForEveryPixel) {
    const struct {
        uint32_t w, h, padding;
        int levels;
    } cases[] = {{120, 90, 0, 256}, {400, 200, 12, 256}, {64, 64, 4, 40}, {1, 700, 0, 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        std::mt19937 rng(c.w * 31 + c.h);
        ArgbPicture a(c.w, c.h, c.padding, 1), b(c.w, c.h, c.padding, 2);
        std::vector<uint8_t> rgb;
        for (uint32_t y = 0; y < c.h; ++y)
            for (uint32_t x = 0; x < c.w; ++x) {
                // A smooth gradient with noise: many colours, some repeated, neighbours alike.
                const int n = int(rng() % 24);
                const int levels = c.levels;
                auto channel = [&](int v) {
                    return uint32_t(std::min(255, v + n) * (levels - 1) / 255 * 255 / (levels - 1));
                };
                const uint32_t col = channel(int(x * 255 / std::max(1u, c.w - 1))) << 16 |
                                     channel(int(y * 255 / std::max(1u, c.h - 1))) << 8 |
                                     channel(int((x + y) % 256));
                a.set(x, y, col);
                b.set(x, y, col);
                rgb.push_back(uint8_t(col >> 16));
                rgb.push_back(uint8_t(col >> 8));
                rgb.push_back(uint8_t(col));
            }
        ColorQuantizer q(rgb.data(), int32_t(rgb.size()), 100);
        uint8_t map[768];
        q.process(map);

        const ReducedImage ra = a.reduce();
        const ReducedImage rb = b.reduce();
        ASSERT_TRUE(ra.bitmap);
        ASSERT_TRUE(ra.quantized);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(ra.colors.entries[i], RgbColor(map[3 * i], map[3 * i + 1], map[3 * i + 2])) << i;
        for (uint32_t y = 0; y < c.h; ++y)
            for (uint32_t x = 0; x < c.w; ++x) {
                const size_t p = 3 * (size_t(y) * c.w + x);
                ASSERT_EQ(ra.bitmap->at(x, y), q.mapColor(rgb[p], rgb[p + 1], rgb[p + 2])) << x << "," << y;
                ASSERT_EQ(rb.bitmap->at(x, y), ra.bitmap->at(x, y));
            }
        EXPECT_EQ(rb.colors.entries, ra.colors.entries);
    }
}

TEST(Reduction, StoreInFrameGivesTheFrameItsPictureAndLocalTable) {
    ArgbPicture picture(3, 2);
    for (uint32_t i = 0; i < 6; ++i) picture.set(i % 3, i / 3, i < 3 ? 0x0000FF : 0x00FF00);
    GifFrame frame;
    ASSERT_TRUE(storeInFrame(picture.reduce(), frame));
    ASSERT_TRUE(frame.bitmap);
    EXPECT_TRUE(frame.hasLocalTable);
    ASSERT_EQ(frame.localTable.entries.size(), 2u);
    EXPECT_EQ(frame.localTable.entries[1], RgbColor(0, 255, 0));
    EXPECT_EQ(frame.bitmap->at(2, 1), 1);
    EXPECT_EQ(frame.bitmap->palette().count, 2u);

    GifFrame untouched;
    EXPECT_FALSE(storeInFrame(reduceArgbPicture(nullptr, 1, 1, 4), untouched));
    EXPECT_FALSE(untouched.bitmap);
    EXPECT_FALSE(untouched.hasLocalTable);
}

}  // namespace
