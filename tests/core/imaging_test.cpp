// Colour reduction: the NeuQuant quantiser's steps on networks worked out by hand, whole runs small
// enough to follow on paper, nearest-colour answers against an exhaustive search; exact reduction
// of pictures with up to 256 colours; the binary PPM reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "gif/limits.h"
#include "imaging/colorquantizer.h"
#include "imaging/ppm.h"
#include "imaging/reduction.h"

namespace {

using Palette = std::vector<uint8_t>;  // 768 bytes

Palette run(const std::vector<uint8_t>& picture, int32_t factor, ColorQuantizer* keep = nullptr) {
    Palette palette(768);
    ColorQuantizer local(picture.data(), int32_t(picture.size()), factor);
    ColorQuantizer& q = keep ? (*keep = local) : local;
    q.process(palette.data());
    return palette;
}

int distance(int a0, int a1, int a2, int b0, int b1,
    int b2) { return std::abs(a0 - b0) + std::abs(a1 - b1) + std::abs(a2 - b2); }

// Factor 1 below 1509 bytes; alpha decrement 30 + (factor - 1) / 3; samples length / (3 factor);
// delta samples / 100 (0 becomes 1); step: the first of 499, 491, 487 not dividing the length
// (else 503), times 3.
TEST(ColorQuantizer, SamplingPlanFollowsLengthAndFactor) {
    const struct { int32_t length, factor, wantFactor, alphaDec, samples, delta, step; } cases[] = {
        {-9, 100, 1, 30, 0, 1, 3},           {1506, 100, 1, 30, 502, 5, 3},
        {1509, 100, 100, 63, 5, 1, 1497},    {1509, 0, 1, 30, 503, 5, 1497},
        {2994, 100, 100, 63, 9, 1, 1473},    {357958149, 100, 100, 63, 1193193, 11931, 1509},
        {6000, 2147483647, 2147483647, 30 + 2147483646 / 3, 0, 1, 1497},  // no overflow in 3 x factor
    };
    for (const auto& c : cases) {
        const auto p = ColorQuantizer::planSampling(c.length, c.factor);
        EXPECT_EQ(std::tie(p.samplingFactor, p.alphaDecrement, p.samples, p.delta, p.step),
                  std::tie(c.wantFactor, c.alphaDec, c.samples, c.delta, c.step)) << c.length << " "
                      << c.factor;
    }
}

// Channel 1 of neuron n is 10 + 3 (n / 4): groups of four equal keys with gaps. Group g gets index
// (4g + 4g + 4) / 2, its gaps the next group's start, keys below 10 index 0, above 199 the last.
// The whole runs below pin what unbiasing gives; the brute-force search cannot see a wrong index.
TEST(ColorQuantizer, BuildIndex) {
    ColorQuantizer q(nullptr, 0, 1);
    for (int n = 0; n < 256; ++n) q.neuron(n).channel[1] = 10 + 3 * (n / 4);
    q.buildIndex();
    for (int v = 0; v < 256; ++v) {
        const int key = v - 10, group = 4 * (key / 3);
        const int want = v < 10 ? 0 : v >= 200 ? 255 : v == 199 ? 253 : key % 3 == 0 ? group + 2 : group + 4;
        ASSERT_EQ(q.indexEntry(v), want) << "key " << v;
    }
}

// Whole runs by hand (see each name), which pin the learning steps: p -= alpha (p - c) / 1024,
// truncated toward zero, for the winner and its neighbours, cut at the network's ends. One black
// pixel: neuron 0 stays, 1..31 are pulled toward black by power[j] = 1024 ((1024 - j^2) 256 / 1024),
// 32.. keep grey j.
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
    const struct { const char* name; std::vector<uint8_t> picture; int32_t factor;
            std::vector<std::pair<int, int>> checks; } cases[] = {
        // samples / 100 is 0: the rate shrinks after every sample; the second learns at alpha 990 and
        // neuron 100 wins: green 1600 + 990 x 160 / 1024 = 1754 -> 109 (at 1024 it would be 110).
        {"zero delta", {255, 255, 255, 100, 110, 100}, 100,
         {{300, 100}, {301, 109}, {303, 100}, {304, 109}, {669, 223}}},
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

// The answer's distance is the smallest in the palette and, among equals, the first met in the
// search order: from index[c1] alternately up (i, i+1, ...) and down (i-1, ...).
TEST(ColorQuantizer, MapColorAgainstBruteForce) {
    std::mt19937 rng(3);
    for (auto [pixels, levels] : {std::pair<size_t, int>{502, 4}, {20000, 256}}) {
        SCOPED_TRACE(testing::Message() << pixels << " pixels, " << levels << " levels");
        std::vector<uint8_t> picture(pixels * 3);
        for (auto& v : picture) v = uint8_t(int(rng() % unsigned(levels)) * 255 / (levels - 1));
        ColorQuantizer q(nullptr, 0, 1);
        const Palette palette = run(picture, 100, &q);
        int ties = 0;
        for (int probe = 0; probe < 3000; ++probe) {
            const uint8_t* p = probe < 1000 && size_t(probe) < pixels ? &picture[3 * size_t(probe)] : nullptr;
            const int c0 = p ? p[0] : int(rng() % 256), c1 = p ? p[1] : int(rng() % 256);
            const int c2 = p ? p[2] : int(rng() % 256);
            int best = -1, bestDistance = 1 << 30, equal = 0;
            for (int r = 0, start = q.indexEntry(c1); r < 256; ++r)
                for (int position : {start + r, start - 1 - r}) {
                    if (position < 0 || position > 255) continue;
                    const auto& n = q.neuron(position);
                    const int d = distance(n.channel[0], n.channel[1], n.channel[2], c0, c1, c2);
                    equal += d == bestDistance;
                    if (d < bestDistance) best = n.colorNumber, bestDistance = d, equal = 0;
                }
            const int got = q.mapColor(uint8_t(c0), uint8_t(c1), uint8_t(c2));
            ASSERT_EQ(got, best) << c0 << "," << c1 << "," << c2;
            ASSERT_EQ(distance(palette[3 * got], palette[3 * got + 1], palette[3 * got + 2], c0, c1, c2),
                bestDistance);
            ties += equal > 0;
        }
        EXPECT_TRUE(levels > 4 || ties > 0);  // the tie rule was exercised
    }
}

// A PixelFormat32bppARGB picture: B, G, R, A per pixel, rows `stride` bytes apart, padding and
// alpha filled with noise since neither may matter.
struct ArgbPicture {
    uint32_t width, height;
    int32_t stride;
    std::vector<uint8_t> bytes;
    ArgbPicture(uint32_t w, uint32_t h, uint32_t padding, uint32_t seed) : width(w), height(h),
        stride(int32_t(w * 4 + padding)), bytes(size_t(stride) * h) {
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
        ArgbPicture picture(40, 20, 12, uint32_t(count));
        std::vector<uint32_t> order, firstSeen;
        for (int k = 0; k < 800; ++k)
            order.push_back(
                uint32_t((k < count ? k : int(rng() % unsigned(count))) * 0x010203 * 37) & 0xFFFFFFu);
        std::shuffle(order.begin(), order.end(), rng);
        for (uint32_t i = 0; i < 800; ++i) picture.set(i % 40, i / 40, order[i]);
        for (uint32_t c : order)
            if (std::find(firstSeen.begin(), firstSeen.end(), c) == firstSeen.end()) firstSeen.push_back(c);
        const ReducedImage r = picture.reduce();
        ASSERT_TRUE(r.bitmap);
        EXPECT_FALSE(r.quantized);
        ASSERT_EQ(r.colors.entries.size(), size_t(count));
        const IndexedPalette& palette = r.bitmap->palette();
        EXPECT_EQ(palette.count, uint32_t(count));
        for (size_t k = 0; k < 256; ++k) {
            ASSERT_EQ(palette.entries[k], k < firstSeen.size() ? 0xFF000000u | firstSeen[k] : 0u) << k;
            if (k < firstSeen.size()) {
                ASSERT_EQ(r.colors.entries[k].packed(), firstSeen[k]);
            }
        }
        for (uint32_t i = 0; i < 800; ++i) ASSERT_EQ(r.colors.entries[r.bitmap->at(i % 40, i / 40)].packed(),
            order[i]) << i;
    }
}

// Memory holds B, G, R, A; alpha is ignored; a negative stride walks rows upward from the start.
TEST(Reduction, ByteOrderStrideAndRefusals) {
    const uint8_t rows[] = {1, 2, 3, 0, 9, 9, 9, 7,  // stored first: picture row 1
                            3, 2, 1, 0x40, 3, 2, 1, 0xFF};
    const ReducedImage r = reduceArgbPicture(rows + 8, 2, 2, -8);
    ASSERT_TRUE(r.bitmap);
    EXPECT_EQ(r.colors.entries, (std::vector<RgbColor>{{1, 2, 3}, {3, 2, 1}, {9, 9, 9}}));
    EXPECT_EQ(r.bitmap->at(1, 0), 0);  // only alpha differs
    EXPECT_EQ(r.bitmap->at(1, 1), 2);
    GifFrame frame;
    ASSERT_TRUE(storeInFrame(reduceArgbPicture(rows, 2, 2, 8), frame));
    EXPECT_TRUE(frame.hasLocalTable);
    EXPECT_EQ(frame.localTable.entries.size(), 3u);
    const uint8_t pixel[16] = {};
    const struct { const void* pixels; uint32_t w, h; int32_t stride; } refused[] = {
        {nullptr, 1, 1, 4}, {pixel, 0, 1, 4}, {pixel, 1, 0, 4}, {pixel, 2, 1, 4}, {pixel + 8, 2, 2, -4},
        {pixel, 1u << 13, 1u << 14, 1 << 15},  // more pixels than an image may have
        {pixel, 0x10000, 0x10000, 0x40000}};   // a size that overflows 32 bits
    for (const auto& c : refused) EXPECT_FALSE(reduceArgbPicture(c.pixels, c.w, c.h, c.stride).bitmap) << c.w;
    EXPECT_FALSE(storeInFrame(reduceArgbPicture(nullptr, 1, 1, 4), frame = GifFrame()));
    EXPECT_FALSE(frame.hasLocalTable);
}

// Past 256 colours the quantiser gets R, G, B bytes at factor 100 and maps every pixel with its own
// search (also through the table that remembers answers per colour); stride padding and alpha
// change nothing.
TEST(Reduction, MoreColoursAreTheQuantisersOwnAnswer) {
    const uint32_t w = 400, h = 200;
    ArgbPicture a(w, h, 12, 1), b(w, h, 12, 2);
    std::vector<uint8_t> rgb;
    std::mt19937 rng(5);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t n = rng() % 24;
            const uint32_t red = std::min(255u, x * 255 / w + n), green = std::min(255u, y * 255 / h + n);
            const uint32_t col = red << 16 | green << 8 | ((x + y) % 256);
            a.set(x, y, col), b.set(x, y, col);
            rgb.insert(rgb.end(), {uint8_t(col >> 16), uint8_t(col >> 8), uint8_t(col)});
        }
    ColorQuantizer q(rgb.data(), int32_t(rgb.size()), 100);
    uint8_t map[768];
    q.process(map);
    const ReducedImage ra = a.reduce(), rb = b.reduce();
    ASSERT_TRUE(ra.bitmap && ra.quantized);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(ra.colors.entries[size_t(i)],
        RgbColor(map[3 * i], map[3 * i + 1], map[3 * i + 2])) << i;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const size_t p = 3 * (size_t(y) * w + x);
            ASSERT_EQ(ra.bitmap->at(x, y), q.mapColor(rgb[p], rgb[p + 1], rgb[p + 2])) << x << "," << y;
            ASSERT_EQ(rb.bitmap->at(x, y), ra.bitmap->at(x, y));
        }
}

TEST(Ppm, HeadersAndRefusals) {
    // The reason is "" for a picture that reads.
    const struct { std::string header; size_t pixelBytes; const char* reason; uint32_t w, h; } cases[] = {
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
