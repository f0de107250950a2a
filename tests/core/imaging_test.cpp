// Colour reduction: whole NeuQuant runs small enough to follow on paper, nearest-colour answers
// against an exhaustive search, exact reduction of pictures with up to 256 colours. Canvas zoom.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "imaging/colorquantizer.h"
#include "imaging/reduction.h"
#include "imaging/viewzoom.h"

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
    std::vector<uint8_t> sampled(3 * 503, 255), shrinking(3 * 6, 255);
    sampled[3 * 499] = 100, sampled[3 * 499 + 1] = 200, sampled[3 * 499 + 2] = 100;
    shrinking[15] = 40, shrinking[16] = 45, shrinking[17] = 40;
    // clang-format off
    const struct { const char* name; std::vector<uint8_t> picture; int32_t factor;
                   std::vector<std::pair<int, int>> checks; } cases[] = {  // checks: (palette byte, value)
        // samples / 100 is 0: the rate shrinks after every sample; the second learns at alpha 990
        // and neuron 100 wins: green 1600 + 990 x 160 / 1024 = 1754 -> 109 (at 1024 it would be 110).
        {"zero delta", {255, 255, 255, 100, 110, 100}, 100, {{300, 100}, {301, 109}, {669, 223}}},
        // 503 pixels at factor 100: samples 0, 499, 495...; decrement 63, so pixel 499 learns at
        // alpha 1008: green 1600 + 1575 = 3175 -> 198 (decrement 30 would give 196).
        {"sampling factor", sampled, 100, {{300, 100}, {301, 198}, {302, 100}}},
        // The radius loses a thirtieth per update: the sixth sample reaches 27 neurons each way.
        {"radius", shrinking, 1, {{3 * 67, 67}, {3 * 66, 64}, {3 * 14, 15}, {3 * 13, 13}}},
    };
    // clang-format on
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

// Colours spread over a 40 x 20 picture (B, G, R, A per pixel, rows padded; padding and alpha
// noise) in a scrambled order with repeats: the palette is the colours in the order a row-by-row
// scan first meets them, every pixel holds its colour's position.
TEST(Reduction, AtMost256ColoursMapExactlyInFirstAppearanceOrder) {
    for (int count : {256, 1}) {
        std::mt19937 rng{uint32_t(count)};
        std::vector<uint8_t> picture(20 * 172);
        for (auto& b : picture) b = uint8_t(rng());
        std::vector<uint32_t> order, firstSeen;
        for (int k = 0; k < 800; ++k)
            order.push_back(uint32_t((k < count ? k : int(rng() % unsigned(count))) * 0x010203 * 37) &
                            0xFFFFFF);
        std::shuffle(order.begin(), order.end(), rng);
        for (uint32_t i = 0; i < 800; ++i) {
            uint8_t* p = &picture[i / 40 * 172 + i % 40 * 4];
            p[0] = uint8_t(order[i]), p[1] = uint8_t(order[i] >> 8), p[2] = uint8_t(order[i] >> 16);
            if (std::find(firstSeen.begin(), firstSeen.end(), order[i]) == firstSeen.end())
                firstSeen.push_back(order[i]);
        }
        const ReducedImage r = reduceArgbPicture(picture.data(), 40, 20, 172);
        ASSERT_TRUE(r.bitmap && !r.quantized);
        ASSERT_EQ(r.colors.entries.size() * 1000 + r.bitmap->palette().count, count * 1001u);
        for (size_t k = 0; k < 256; ++k)
            ASSERT_EQ(r.bitmap->palette().entries[k], k < firstSeen.size() ? 0xFF000000u | firstSeen[k] : 0u);
        for (uint32_t i = 0; i < 800; ++i)
            ASSERT_EQ(r.colors.entries[r.bitmap->at(i % 40, i / 40)].packed(), order[i]) << i;
    }
}

// Alpha is ignored; a negative stride walks rows upward from the start.
TEST(Reduction, ByteOrderStrideAndRefusals) {
    const uint8_t rows[] = {1, 2, 3, 0, 9, 9, 9, 7, 3, 2, 1, 0x40, 3, 2, 1, 0xFF};  // picture rows 1, 0
    const ReducedImage r = reduceArgbPicture(rows + 8, 2, 2, -8);
    ASSERT_TRUE(r.bitmap);
    EXPECT_EQ(r.colors.entries, (std::vector<RgbColor>{{1, 2, 3}, {3, 2, 1}, {9, 9, 9}}));
    EXPECT_EQ(r.bitmap->at(1, 0) * 10 + r.bitmap->at(1, 1), 2);
    EXPECT_FALSE(reduceArgbPicture(nullptr, 1, 1, 4).bitmap);
    EXPECT_FALSE(reduceArgbPicture(rows, 2, 1, 4).bitmap);                      // stride too short
    EXPECT_FALSE(reduceArgbPicture(rows, 1u << 13, 1u << 14, 1 << 15).bitmap);  // above 2^26 pixels
    EXPECT_FALSE(reduceArgbPicture(rows, 0x10000, 0x10000, 0x40000).bitmap);    // overflows 32 bits
}

// Steps from any percentage; fits; every view pixel, also outside the view, shows the last
// picture pixel starting at or before it, and a view side shows pictureSpan pixels whole.
TEST(ViewZoom, StepsFitAndPositions) {
    const int steps[][3] = {{10, 25, 25}, {25, 33, 25}, {100, 150, 67}, {237, 300, 200}, {900, 800, 800}};
    for (auto [z, up, down] : steps) EXPECT_EQ(nextZoom(z) * 1000 + previousZoom(z), up * 1000 + down) << z;
    const int fits[][5] = {
        {100, 50, 400, 100, 200}, {300, 200, 700, 500, 233}, {4000, 10, 100, 100, 25}, {0, 0, 50, 50, 800}};
    for (auto [w, h, viewW, viewH, fit] : fits) EXPECT_EQ(fitZoom(w, h, viewW, viewH), fit) << w;
    const int places[][4] = {{3, 0, 33, 0}, {4, 0, 33, 1}, {5, 2, 200, 6}, {0, 3, 67, -2}, {-1, 0, 150, -2}};
    for (auto [p, scroll, z, view] : places) EXPECT_EQ(toView(p, scroll, z), view) << p << " at " << z;
    for (int zoom : {25, 33, 67, 100, 150, 237, 800})
        for (int scroll = 0; scroll < 9; ++scroll)
            for (int view = -30; view < 60; ++view) {
                const int picture = toPicture(view, scroll, zoom);
                ASSERT_TRUE(toView(picture, scroll, zoom) <= view && toView(picture + 1, scroll, zoom) > view)
                    << zoom << " " << scroll << " " << view;
                ASSERT_LE(toView(scroll + pictureSpan(view, zoom), scroll, zoom), std::max(view, 0));
            }
}

}  // namespace
