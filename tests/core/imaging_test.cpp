// Colour reduction: whole NeuQuant runs small enough to follow on paper, nearest-colour answers
// against an exhaustive search, exact reduction of pictures with up to 256 colours, the PPM reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "imaging/colorquantizer.h"
#include "imaging/ppm.h"
#include "imaging/reduction.h"

namespace {

using Palette = std::vector<uint8_t>;  // 768 bytes

Palette run(const std::vector<uint8_t>& picture, int32_t factor) {
    Palette palette(768);
    ColorQuantizer(picture.data(), int32_t(picture.size()), factor).process(palette.data());
    return palette;
}

// Learning steps p -= alpha (p - c) / 1024, truncated toward zero, for the winner and its
// neighbours. One black pixel: neuron 0 stays, 1..31 are pulled toward black by
// power[j] = 1024 ((1024 - j^2) 256 / 1024), 32.. keep grey j.
TEST(ColorQuantizer, WholeRunsWorkedByHand) {
    const Palette black = run({0, 0, 0}, 100);
    for (int j = 0; j < 256; ++j) {
        const int64_t power = 1024 * (((1024 - j * j) * 256) / 1024);
        ASSERT_EQ(black[3 * j], j >= 1 && j < 32 ? (16 * j - power * 16 * j / 262144) >> 4 : j) << j;
    }
    std::vector<uint8_t> sampled(3 * 503, 255), shrinking(3 * 5, 255);
    sampled[3 * 499] = 100, sampled[3 * 499 + 1] = 200, sampled[3 * 499 + 2] = 100;
    shrinking.insert(shrinking.end(), {40, 45, 40});
    // Each check is (palette byte, value).
    const struct {
        const char* name;
        std::vector<uint8_t> picture;
        int32_t factor;
        std::vector<std::pair<int, int>> checks;
    } cases[] = {
        // samples / 100 is 0: the rate shrinks after every sample; the second learns at alpha 990
        // and neuron 100 wins: green 1600 + 990 x 160 / 1024 = 1754 -> 109 (at 1024 it would be 110).
        {"zero delta", {255, 255, 255, 100, 110, 100}, 100, {{300, 100}, {301, 109}, {669, 223}}},
        // 503 pixels at factor 100: samples 0, 499, 495...; decrement 63, so pixel 499 learns at
        // alpha 1008: green 1600 + 1575 = 3175 -> 198 (decrement 30 would give 196).
        {"sampling factor", sampled, 100, {{300, 100}, {301, 198}, {302, 100}}},
        // The radius loses a thirtieth per update: the sixth sample reaches 27 neurons each way.
        {"radius", shrinking, 1, {{3 * 67, 67}, {3 * 66, 64}, {3 * 14, 15}, {3 * 13, 13}}},
    };
    for (const auto& c : cases) {
        const Palette p = run(c.picture, c.factor);
        for (auto [at, want] : c.checks) EXPECT_EQ(p[size_t(at)], want) << c.name << " byte " << at;
    }
}

// mapColor's answer is at the smallest distance (sum of channel differences) the palette has.
TEST(ColorQuantizer, MapColorIsNearestByExhaustiveSearch) {
    std::mt19937 rng(3);
    for (auto [pixels, levels] : {std::pair<size_t, int>{502, 4}, {20000, 256}}) {
        std::vector<uint8_t> picture(pixels * 3);
        for (auto& v : picture) v = uint8_t(int(rng() % unsigned(levels)) * 255 / (levels - 1));
        Palette palette(768);
        ColorQuantizer q(picture.data(), int32_t(picture.size()), 100);
        q.process(palette.data());
        for (int probe = 0; probe < 2000; ++probe) {
            const uint8_t c[3] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
            auto distance = [&](int i) {
                return std::abs(palette[3 * i] - c[0]) + std::abs(palette[3 * i + 1] - c[1]) +
                       std::abs(palette[3 * i + 2] - c[2]);
            };
            int best = distance(0);
            for (int i = 1; i < 256; ++i) best = std::min(best, distance(i));
            ASSERT_EQ(distance(q.mapColor(c[0], c[1], c[2])), best) << levels << " levels, probe " << probe;
        }
    }
}

// A PixelFormat32bppARGB picture: B, G, R, A per pixel, rows `stride` bytes apart, padding and
// alpha filled with noise since neither may matter.
struct ArgbPicture {
    uint32_t width, height;
    int32_t stride;
    std::vector<uint8_t> bytes;
    ArgbPicture(uint32_t w, uint32_t h, uint32_t seed)
        : width(w), height(h), stride(int32_t(w * 4 + 12)), bytes(size_t(stride) * h) {
        std::mt19937 rng(seed);
        for (auto& b : bytes) b = uint8_t(rng());
    }
    void set(uint32_t x, uint32_t y, uint32_t rgb) {
        uint8_t* p = &bytes[size_t(y) * size_t(stride) + 4 * x];
        p[0] = uint8_t(rgb), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb >> 16);
    }
    ReducedImage reduce() const { return reduceArgbPicture(bytes.data(), width, height, stride); }
};

// Colours spread over a 40 x 20 picture in a scrambled order with repeats: the palette is the
// colours in the order a row-by-row scan first meets them, every pixel holds its colour's position.
TEST(Reduction, AtMost256ColoursMapExactlyInFirstAppearanceOrder) {
    for (int count : {256, 1}) {
        SCOPED_TRACE(count);
        std::mt19937 rng{uint32_t(count)};
        ArgbPicture picture(40, 20, uint32_t(count));
        std::vector<uint32_t> order, firstSeen;
        for (int k = 0; k < 800; ++k)
            order.push_back(uint32_t((k < count ? k : int(rng() % unsigned(count))) * 0x010203 * 37) &
                            0xFFFFFF);
        std::shuffle(order.begin(), order.end(), rng);
        for (uint32_t i = 0; i < 800; ++i) picture.set(i % 40, i / 40, order[i]);
        for (uint32_t c : order)
            if (std::find(firstSeen.begin(), firstSeen.end(), c) == firstSeen.end()) firstSeen.push_back(c);
        const ReducedImage r = picture.reduce();
        ASSERT_TRUE(r.bitmap);
        EXPECT_FALSE(r.quantized);
        ASSERT_EQ(r.colors.entries.size(), size_t(count));
        EXPECT_EQ(r.bitmap->palette().count, uint32_t(count));
        for (size_t k = 0; k < 256; ++k)
            ASSERT_EQ(r.bitmap->palette().entries[k], k < firstSeen.size() ? 0xFF000000u | firstSeen[k] : 0u);
        for (uint32_t i = 0; i < 800; ++i)
            ASSERT_EQ(r.colors.entries[r.bitmap->at(i % 40, i / 40)].packed(), order[i]) << i;
    }
}

// Memory holds B, G, R, A; alpha is ignored; a negative stride walks rows upward from the start.
TEST(Reduction, ByteOrderStrideAndRefusals) {
    const uint8_t rows[] = {1, 2, 3, 0,    9, 9, 9, 7,  // stored first: picture row 1
                            3, 2, 1, 0x40, 3, 2, 1, 0xFF};
    const ReducedImage r = reduceArgbPicture(rows + 8, 2, 2, -8);
    ASSERT_TRUE(r.bitmap);
    EXPECT_EQ(r.colors.entries, (std::vector<RgbColor>{{1, 2, 3}, {3, 2, 1}, {9, 9, 9}}));
    EXPECT_EQ(r.bitmap->at(1, 0), 0);  // only alpha differs
    EXPECT_EQ(r.bitmap->at(1, 1), 2);
    const uint8_t pixel[16] = {};
    const struct {
        const void* pixels;
        uint32_t w, h;
        int32_t stride;
    } refused[] = {{nullptr, 1, 1, 4},
                   {pixel, 0, 1, 4},
                   {pixel, 2, 1, 4},
                   {pixel + 8, 2, 2, -4},
                   {pixel, 1u << 13, 1u << 14, 1 << 15},  // more pixels than an image may have
                   {pixel, 0x10000, 0x10000, 0x40000}};   // a size that overflows 32 bits
    for (const auto& c : refused) EXPECT_FALSE(reduceArgbPicture(c.pixels, c.w, c.h, c.stride).bitmap) << c.w;
}

// Past 256 colours the quantiser gets R, G, B bytes at factor 100 and maps every pixel with its
// own search (also through the table that remembers answers per colour); padding and alpha
// change nothing.
TEST(Reduction, MoreColoursAreTheQuantisersOwnAnswer) {
    const uint32_t w = 400, h = 200;
    ArgbPicture a(w, h, 1), b(w, h, 2);
    std::vector<uint8_t> rgb;
    std::mt19937 rng(5);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t n = rng() % 24;
            const uint32_t col = std::min(255u, x * 255 / w + n) << 16 |
                                 std::min(255u, y * 255 / h + n) << 8 | ((x + y) % 256);
            a.set(x, y, col), b.set(x, y, col);
            rgb.insert(rgb.end(), {uint8_t(col >> 16), uint8_t(col >> 8), uint8_t(col)});
        }
    ColorQuantizer q(rgb.data(), int32_t(rgb.size()), 100);
    uint8_t map[768];
    q.process(map);
    const ReducedImage ra = a.reduce(), rb = b.reduce();
    ASSERT_TRUE(ra.bitmap && ra.quantized);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(ra.colors.entries[size_t(i)], RgbColor(map[3 * i], map[3 * i + 1], map[3 * i + 2])) << i;
    for (uint32_t p = 0; p < w * h; ++p) {
        ASSERT_EQ(ra.bitmap->at(p % w, p / w), q.mapColor(rgb[3 * p], rgb[3 * p + 1], rgb[3 * p + 2])) << p;
        ASSERT_EQ(rb.bitmap->at(p % w, p / w), ra.bitmap->at(p % w, p / w));
    }
}

TEST(Ppm, HeadersAndRefusals) {
    // The reason is "" for a picture that reads.
    const struct {
        std::string header;
        size_t pixelBytes;
        const char* reason;
        uint32_t w, h;
    } cases[] = {
        {"P6\n# made by hand\n4 1\n# maxval next\n255\n", 12, "", 4, 1},
        {"P6\t1\r\n1\r\n255\r", 3, "", 1, 1},  // one whitespace ends the header: pixels "\n# "
        {"P3\n1 1\n255\n", 3, "not a binary PPM (P6) file", 0, 0},
        {"P6\n2 2\n255\n", 11, "PPM pixel data is cut off", 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> data(c.header.begin(), c.header.end());
        for (size_t i = 0; i < c.pixelBytes; ++i) data.push_back(uint8_t("\n# "[i % 3]));
        RgbPicture picture;
        EXPECT_EQ(parsePpm(data.data(), data.size(), picture), c.reason) << c.header;
        EXPECT_EQ(std::tie(picture.width, picture.height), std::tie(c.w, c.h)) << c.header;
        EXPECT_TRUE(!c.w || picture.rgb == std::vector<uint8_t>(data.end() - long(c.pixelBytes), data.end()));
    }
}

}  // namespace
