// The NeuQuant quantiser: each step on a network whose values are worked out by hand, whole runs on
// pictures small enough to follow on paper, sampling paths checked against a brute-force walk,
// and nearest-colour answers checked against an exhaustive search of the palette.
#include "imaging/colorquantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <vector>

namespace {

using Palette = std::vector<uint8_t>;  // 768 bytes

Palette run(const std::vector<uint8_t>& picture, int32_t factor, ColorQuantizer* keep = nullptr) {
    Palette palette(768);
    if (keep) {
        *keep = ColorQuantizer(picture.data(), int32_t(picture.size()), factor);
        keep->process(palette.data());
    } else {
        ColorQuantizer q(picture.data(), int32_t(picture.size()), factor);
        q.process(palette.data());
    }
    return palette;
}

int distance(const uint8_t* a, int c0, int c1, int c2) {
    return std::abs(a[0] - c0) + std::abs(a[1] - c1) + std::abs(a[2] - c2);
}

std::vector<uint8_t> randomPicture(std::mt19937& rng, size_t pixels, int levels) {
    std::vector<uint8_t> picture(pixels * 3);
    std::uniform_int_distribution<int> pick(0, levels - 1);
    for (auto& b : picture) b = uint8_t(levels == 256 ? pick(rng) : pick(rng) * 255 / (levels - 1));
    return picture;
}

// A fresh network holds neuron i at (i, i, i) x 16, frequency 1/256 of the fixed-point one, no bias.
TEST(ColorQuantizer, StartsAsAGreyRampWithEvenFrequencies) {
    ColorQuantizer q(nullptr, 0, 100);
    for (int i : {0, 1, 128, 255}) {
        EXPECT_EQ(q.neuron(i).channel[0], 16 * i);
        EXPECT_EQ(q.neuron(i).channel[1], 16 * i);
        EXPECT_EQ(q.neuron(i).channel[2], 16 * i);
        EXPECT_EQ(q.frequency(i), 256);
        EXPECT_EQ(q.bias(i), 0);
    }
}

// Figures worked out from the definitions: factor (1 below 1509 bytes), alpha decrement
// 30 + (factor - 1) / 3, samples length / (3 factor), delta samples / 100 (0 becomes 1), and the
// first of 499, 491, 487 that does not divide the length (else 503), times 3.
TEST(ColorQuantizer, SamplingPlanFollowsLengthAndFactor) {
    struct Case {
        int32_t length, factor;
        int32_t wantFactor, wantAlphaDec, wantSamples, wantDelta, wantStep;
    } cases[] = {
        {0, 100, 1, 30, 0, 1, 3},                                         // empty picture: nothing to learn
        {-9, 100, 1, 30, 0, 1, 3},                                        // a negative length counts as empty
        {3, 100, 1, 30, 1, 1, 3},                                         // one pixel: factor 1, delta 0 -> 1
        {1506, 100, 1, 30, 502, 5, 3},                                    // 502 pixels: still every pixel
        {1509, 100, 100, 63, 5, 1, 1497},                                 // 503 pixels: 1509 mod 499 = 12
        {1509, 0, 1, 30, 503, 5, 1497},                                   // factor below 1 counts as 1
        {1509, 10, 10, 33, 50, 1, 1497},                                  // 1509 / 30 = 50
        {6220800, 100, 100, 63, 20736, 207, 1497},                        // 1920 x 1080: mod 499 = 266
        {2994, 100, 100, 63, 9, 1, 1473},                                 // 3 x 499 x 2: mod 491 = 48
        {735027, 100, 100, 63, 2450, 24, 1461},                           // 3 x 499 x 491: mod 487 = 144
        {357958149, 100, 100, 63, 1193193, 11931, 1509},                  // 3 x 499 x 491 x 487
        {6000, 2147483647, 2147483647, 30 + 2147483646 / 3, 0, 1, 1497},  // no overflow in 3 x factor
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "length " << c.length << " factor " << c.factor);
        const auto plan = ColorQuantizer::planSampling(c.length, c.factor);
        EXPECT_EQ(plan.samplingFactor, c.wantFactor);
        EXPECT_EQ(plan.alphaDecrement, c.wantAlphaDec);
        EXPECT_EQ(plan.samples, c.wantSamples);
        EXPECT_EQ(plan.delta, c.wantDelta);
        EXPECT_EQ(plan.step, c.wantStep);
    }
}

// Winner and bias by hand: against (100,100,100) x 16 neuron 100 is at distance 0 and its
// neighbours at 48. Each win costs 65536 of bias, i.e. 16 of biased distance, so after three wins
// neuron 99 ties at 48 and, coming first, takes the fourth contest. The unbiased best is still
// 100, so 100 keeps paying. Frequencies below 1024 lose nothing (f >> 10 = 0).
TEST(ColorQuantizer, ContestFavoursNeuronsThatRarelyWin) {
    ColorQuantizer q(nullptr, 0, 1);
    const int want[] = {100, 100, 100, 99, 99};
    for (int round = 0; round < 5; ++round)
        EXPECT_EQ(q.contest(1600, 1600, 1600), want[round]) << "round " << round;
    EXPECT_EQ(q.frequency(100), 256 + 5 * 64);
    EXPECT_EQ(q.bias(100), -5 * 65536);
    EXPECT_EQ(q.frequency(99), 256);
    EXPECT_EQ(q.bias(99), 0);
}

// (100.5 x 16) lies halfway between neurons 100 and 101: both the plain and the biased search keep
// the first of equal distances, so 100 wins and takes the frequency and bias.
TEST(ColorQuantizer, ContestKeepsTheFirstOfEqualDistances) {
    ColorQuantizer q(nullptr, 0, 1);
    EXPECT_EQ(q.contest(1608, 1608, 1608), 100);
    EXPECT_EQ(q.frequency(100), 256 + 64);
    EXPECT_EQ(q.frequency(101), 256);
    EXPECT_EQ(q.bias(101), 0);
}

// Every contest moves bias by -1024 times the change of frequency (the decay moves 1024 x f>>10
// from one to the other, a win adds 64 and takes 65536), so bias = 1024 (256 - frequency) always.
TEST(ColorQuantizer, BiasAndFrequencyStayInStep) {
    ColorQuantizer q(nullptr, 0, 1);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> value(0, 4080);
    std::uniform_int_distribution<int> few(0, 3);
    for (int round = 0; round < 5000; ++round) {
        // Mostly a handful of colours, so some frequencies grow far past 1024 and decay.
        if (round % 5)
            q.contest(few(rng) * 1000, few(rng) * 1000, 0);
        else
            q.contest(value(rng), value(rng), value(rng));
    }
    int32_t largest = 0;
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(q.bias(i), 1024 * (256 - q.frequency(i))) << "neuron " << i;
        largest = std::max(largest, q.frequency(i));
    }
    EXPECT_GT(largest, 4096);  // the decay path was exercised
}

// p -= alpha (p - c) / 1024 with division truncated toward zero (-61.52 gives -61, not -62).
TEST(ColorQuantizer, AlterSingleTruncatesTowardZero) {
    struct Case {
        int32_t alpha, p, c, want;
    } cases[] = {
        {1000, 100, 37, 39},                        // 1000 x 63 / 1024 = 61.52 -> 61
        {1000, 37, 100, 98},                        // -61.52 -> -61
        {1024, 4080, 0, 0},                         // full rate lands on the colour
        {1024, 0, 4080, 4080}, {1, 1000, 0, 1000},  // 1000 / 1024 -> 0
        {1, 0, 1000, 0},                            // -1000 / 1024 -> 0 (a floor would give -1)
        {512, 3, 0, 2},                             // 1.5 -> 1
        {512, 0, 3, 1},                             // -1.5 -> -1
    };
    for (const Case& c : cases) {
        ColorQuantizer q(nullptr, 0, 1);
        q.neuron(7) = {{c.p, c.p, 16 * 7}, 7};
        q.alterSingle(c.alpha, 7, c.c, c.p, c.c);
        EXPECT_EQ(q.neuron(7).channel[0], c.want) << c.alpha << " " << c.p << " " << c.c;
        EXPECT_EQ(q.neuron(7).channel[1], c.p);  // equal channels do not move
    }
}

// rad 3, alpha 1024: power[k] = 1024 x ((9 - k^2) 256 / 9) = 262144, 232448 (2048/9 -> 227),
// 145408 (1280/9 -> 142). Neighbours at distance 1 use power[1], at 2 power[2]; distance 3 and
// beyond stay put. Neuron n starts at 16 n and is pulled toward 0 by p - a p / 262144.
TEST(ColorQuantizer, AlterNeighboursUsesTheRadiusPowerTable) {
    ColorQuantizer q(nullptr, 0, 1);
    q.fillRadiusPowers(1024, 3);
    EXPECT_EQ(q.radiusPower(0), 262144);
    EXPECT_EQ(q.radiusPower(1), 232448);
    EXPECT_EQ(q.radiusPower(2), 145408);
    q.alterNeighbours(3, 10, 0, 0, 0);
    const struct {
        int neuron, want;
    } cases[] = {
        {7, 112},                           // out of reach
        {8, 128 - 145408 * 128 / 262144},   // 128 - 71 = 57
        {9, 144 - 232448 * 144 / 262144},   // 144 - 127 = 17
        {10, 160},                          // the winner itself is alterSingle's business
        {11, 176 - 232448 * 176 / 262144},  // 176 - 156 = 20
        {12, 192 - 145408 * 192 / 262144},  // 192 - 106 = 86
        {13, 208},
    };
    for (const auto& c : cases) EXPECT_EQ(q.neuron(c.neuron).channel[1], c.want) << c.neuron;
    EXPECT_EQ(q.neuron(8).channel[0], 57);
    EXPECT_EQ(q.neuron(11).channel[0], 20);

    // At the ends the reach is cut off at the network's edges.
    ColorQuantizer edge(nullptr, 0, 1);
    edge.fillRadiusPowers(1024, 3);
    edge.alterNeighbours(3, 255, 0, 0, 0);
    EXPECT_EQ(edge.neuron(254).channel[0], 4064 - 232448 * 4064 / 262144);
    EXPECT_EQ(edge.neuron(253).channel[0], 4048 - 145408 * 4048 / 262144);
    EXPECT_EQ(edge.neuron(252).channel[0], 4032);
    edge.alterNeighbours(3, 0, 4080, 4080, 4080);
    EXPECT_EQ(edge.neuron(1).channel[0], 16 + 232448 * (4080 - 16) / 262144);
    EXPECT_EQ(edge.neuron(2).channel[0], 32 + 145408 * (4080 - 32) / 262144);
    EXPECT_EQ(edge.neuron(3).channel[0], 48);
    // Out-of-range requests change nothing and read nothing outside the network.
    edge.alterNeighbours(3, 256, 0, 0, 0);
    edge.alterNeighbours(3, -1, 0, 0, 0);
    edge.alterSingle(1024, 300, 0, 0, 0);
    EXPECT_EQ(edge.neuron(3).channel[0], 48);
}

TEST(ColorQuantizer, UnbiasShiftsOutTheFourFractionBitsAndNumbersTheColours) {
    ColorQuantizer q(nullptr, 0, 1);
    q.neuron(0) = {{15, 16, 4080}, 99};
    q.neuron(1) = {{4095, 31, 32}, 42};
    q.unbiasNetwork();
    EXPECT_EQ(q.neuron(0).channel[0], 0);
    EXPECT_EQ(q.neuron(0).channel[1], 1);
    EXPECT_EQ(q.neuron(0).channel[2], 255);
    EXPECT_EQ(q.neuron(1).channel[0], 255);
    EXPECT_EQ(q.neuron(1).channel[1], 1);
    EXPECT_EQ(q.neuron(1).channel[2], 2);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(q.neuron(i).colorNumber, i);
}

// Channel 1 of neuron n is 10 + 3 (n / 4): groups of four equal keys, two unused values between
// groups. Group g (key 10 + 3g, positions 4g..4g+3) gets index (4g + 4g + 4) / 2 = 4g + 2, the
// two gaps above it the group's successor position 4g + 4; keys below 10 index 0; the last group
// (key 199, start 252) gets (252 + 255) / 2 = 253, and keys 200..255 the last position.
TEST(ColorQuantizer, BuildIndexPointsEachKeyIntoItsRun) {
    ColorQuantizer q(nullptr, 0, 1);
    q.unbiasNetwork();
    for (int n = 0; n < 256; ++n) q.neuron(n).channel[1] = 10 + 3 * (n / 4);
    q.buildIndex();
    for (int v = 0; v < 256; ++v) {
        int want;
        if (v < 10)
            want = 0;
        else if (v >= 200)
            want = 255;
        else if ((v - 10) % 3 == 0)
            want = v == 199 ? 253 : 4 * ((v - 10) / 3) + 2;
        else
            want = 4 * ((v - 10) / 3) + 4;
        ASSERT_EQ(q.indexEntry(v), want) << "key " << v;
    }
}

// Keys 7 n mod 256 are a permutation (7 is odd): sorting puts key k at position k, every key is
// its own run, so index[k] = (k + k + 1) / 2 = k. The palette stays in colour-number order.
TEST(ColorQuantizer, BuildIndexSortsButColorMapKeepsColourNumberOrder) {
    ColorQuantizer q(nullptr, 0, 1);
    q.unbiasNetwork();
    for (int n = 0; n < 256; ++n) q.neuron(n) = {{n, (7 * n) % 256, 255 - n}, n};
    q.buildIndex();
    for (int k = 0; k < 256; ++k) {
        ASSERT_EQ(q.neuron(k).channel[1], k);
        ASSERT_EQ((7 * q.neuron(k).colorNumber) % 256, k);
        ASSERT_EQ(q.indexEntry(k), k);
    }
    uint8_t palette[768];
    q.colorMap(palette);
    for (int n = 0; n < 256; ++n) {
        ASSERT_EQ(palette[3 * n], n);
        ASSERT_EQ(palette[3 * n + 1], (7 * n) % 256);
        ASSERT_EQ(palette[3 * n + 2], 255 - n);
    }
}

// 254 black neurons, Y = (10, 99, 10) at 254 and X = (10, 101, 10) at 255, already in key order.
// index[100] = 255, so a search for (10, 100, 10) starts at X (distance 1) and then stops going
// down at Y, whose key gap alone is 1: the upward neighbour wins the tie.
TEST(ColorQuantizer, MapColorSearchesUpwardFirstAndKeepsTheFirstOfEqualDistances) {
    ColorQuantizer q(nullptr, 0, 1);
    q.unbiasNetwork();
    for (int n = 0; n < 254; ++n) q.neuron(n) = {{0, 0, 0}, n};
    q.neuron(254) = {{10, 99, 10}, 254};
    q.neuron(255) = {{10, 101, 10}, 255};
    q.buildIndex();
    EXPECT_EQ(q.indexEntry(0), 127);
    EXPECT_EQ(q.indexEntry(50), 254);
    EXPECT_EQ(q.indexEntry(99), 254);
    EXPECT_EQ(q.indexEntry(100), 255);
    const struct {
        uint8_t c0, c1, c2;
        int want;
    } cases[] = {
        {10, 100, 10, 255},    // tie of 1: upward first
        {10, 99, 10, 254},     // exact
        {0, 0, 0, 127},        // starts inside the black run at its middle, distance 0
        {10, 98, 10, 254},     // 1 from Y, 3 from X
        {255, 255, 255, 255},  // 644 from X, 646 from Y, 765 from black
        {0, 49, 0, 253},       // Y (index[49]) is 70 away, then black at 253 is 49 away
    };
    for (const auto& c : cases)
        EXPECT_EQ(q.mapColor(c.c0, c.c1, c.c2), c.want) << int(c.c0) << "," << int(c.c1) << "," << int(c.c2);
}

// One black pixel: one sample at full rate, so neuron 0 stays black and neurons 1..31 are pulled
// toward black by power[j] = 1024 ((1024 - j^2) 256 / 1024): 16 j - power[j] 16 j / 262144,
// then >> 4. Neurons 32..255 are out of reach and keep grey j. By hand: j = 1: 16 - 15 = 1 -> 0;
// j = 16: power 196608, 256 - 192 = 64 -> 4; j = 31: power 15360, 496 - 29 = 467 -> 29.
TEST(ColorQuantizer, OneBlackPixelPullsTheFirst31NeuronsTowardBlack) {
    const std::vector<uint8_t> picture = {0, 0, 0};
    const Palette palette = run(picture, 100);
    EXPECT_EQ(palette[3 * 1], 0);
    EXPECT_EQ(palette[3 * 16], 4);
    EXPECT_EQ(palette[3 * 31], 29);
    for (int j = 0; j < 256; ++j) {
        int64_t grey = j;
        if (j >= 1 && j < 32) {
            const int64_t power = 1024 * (((1024 - j * j) * 256) / 1024);
            grey = (16 * j - power * 16 * j / 262144) >> 4;
        }
        for (int k = 0; k < 3; ++k) ASSERT_EQ(palette[3 * j + k], grey) << "entry " << j;
    }
}

// Two pixels, white then (100, 110, 100). samples / 100 is 0, so the rate shrinks after every
// sample: the second sample learns at alpha 1024 - 1024 / 30 = 990, radius 2048 - 68 = 1980
// (rad 30). The white pixel only moves neurons 224..254. The second pixel's winner is neuron 100
// (distance |1600 - 1600| + |1600 - 1760| + |1600 - 1600| = 160; 99 is at 208, 101 at 176):
// green 1600 - 990 (1600 - 1760) / 1024 = 1600 + 154 = 1754 -> 109. At alpha 1024 it would land
// on 1760 -> 110, so 109 shows the early update. Neuron 101 (power[1] = 990 x 255 = 252450):
// red 1616 - 252450 x 16 / 262144 = 1601 -> 100, green 1616 + 138 = 1754 -> 109.
TEST(ColorQuantizer, ZeroDeltaShrinksTheRateAfterEverySample) {
    const Palette palette = run({255, 255, 255, 100, 110, 100}, 100);
    EXPECT_EQ(palette[3 * 100 + 0], 100);
    EXPECT_EQ(palette[3 * 100 + 1], 109);
    EXPECT_EQ(palette[3 * 100 + 2], 100);
    EXPECT_EQ(palette[3 * 101 + 0], 100);
    EXPECT_EQ(palette[3 * 101 + 1], 109);
    EXPECT_EQ(palette[3 * 101 + 2], 100);
    EXPECT_EQ(palette[3 * 255], 255);
    EXPECT_EQ(palette[3 * 223], 223);  // beyond the white pixel's reach
}

// 503 pixels, factor 100: five samples at pixels 0, 499, 495, 491, 487 (step 1497, delta 1) and
// alpha decrement 30 + 99 / 3 = 63. All white but pixel 499 = (100, 200, 100). The second sample
// learns at alpha 1024 - 1024 / 63 = 1008; its winner is neuron 100 (2 |16 i - 1600| +
// |16 i - 3200| is smallest at i = 100), whose green becomes 1600 - 1008 (1600 - 3200) / 1024 =
// 1600 + 1575 = 3175 -> 198 (a decrement of 30 would give alpha 990 and 196). The white samples
// only reach neurons above 220.
TEST(ColorQuantizer, SamplingFactorSetsHowFastTheRateShrinks) {
    std::vector<uint8_t> picture(3 * 503, 255);
    picture[3 * 499] = 100;
    picture[3 * 499 + 1] = 200;
    picture[3 * 499 + 2] = 100;
    const Palette palette = run(picture, 100);
    EXPECT_EQ(palette[3 * 100 + 0], 100);
    EXPECT_EQ(palette[3 * 100 + 1], 198);
    EXPECT_EQ(palette[3 * 100 + 2], 100);
}

// The radius loses a thirtieth per update: 2048, 1980, 1914, 1851, 1790, 1731, so the sixth sample
// reaches rad = 1731 >> 6 = 27 neurons each way (a 29th would give 26). Five white pixels only
// touch neurons above 220; the sixth, (40, 45, 40), is won by neuron 40, whose reach then ends at
// 66 and 14: those change (66: 1056 - 24 -> 64; 14: 224 + 24 -> 15), 67 and 13 keep their grey.
TEST(ColorQuantizer, RadiusShrinksByAThirtiethPerUpdate) {
    std::vector<uint8_t> picture(3 * 5, 255);
    picture.insert(picture.end(), {40, 45, 40});
    const Palette palette = run(picture, 1);
    EXPECT_EQ(palette[3 * 67], 67);
    EXPECT_EQ(palette[3 * 66], 64);
    EXPECT_EQ(palette[3 * 14], 15);
    EXPECT_EQ(palette[3 * 13], 13);
}

// Which pixels learning reads, for each step rule: pixel (i x step mod length) / 3 for the first
// `samples` samples, worked out with plain modular arithmetic. Pictures that agree on those
// pixels and differ everywhere else must learn the same palette; changing one visited pixel must
// change it.
TEST(ColorQuantizer, LearningReadsExactlyThePixelsOfItsStep) {
    struct Case {
        const char* name;
        size_t pixels;
        int32_t factor;
        int32_t step;
    } cases[] = {
        {"503 pixels, prime 499 step", 503, 100, 1497},
        {"600 pixels, factor 10", 600, 10, 1497},
        {"3 x 499 x 2 bytes: step 1473", 998, 10, 1473},
        {"3 x 499 x 491 bytes: step 1461", 499 * 491, 100, 1461},
    };
    std::mt19937 rng(11);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int64_t length = int64_t(c.pixels) * 3;
        const auto plan = ColorQuantizer::planSampling(int32_t(length), c.factor);
        ASSERT_EQ(plan.step, c.step);
        std::set<size_t> visited;
        for (int64_t i = 0; i < plan.samples; ++i) visited.insert(size_t((i * c.step) % length / 3));
        ASSERT_LT(visited.size(), c.pixels);

        std::vector<uint8_t> a = randomPicture(rng, c.pixels, 256);
        std::vector<uint8_t> b = randomPicture(rng, c.pixels, 256);
        for (size_t p : visited)
            for (int k = 0; k < 3; ++k) b[3 * p + k] = a[3 * p + k];
        EXPECT_EQ(run(a, c.factor), run(b, c.factor));

        const size_t changed = *visited.rbegin();
        for (int k = 0; k < 3; ++k) b[3 * changed + k] = uint8_t(a[3 * changed + k] ^ 0x80);
        EXPECT_NE(run(a, c.factor), run(b, c.factor));
    }
}

// Nearest-colour answers against an exhaustive search: the answer's distance is the smallest in
// the palette, and among equal distances it is the one met first in the search order, which
// starts at index[c1] and alternates up (i, i+1, ...) and down (i-1, i-2, ...).
int firstNearestInSearchOrder(const ColorQuantizer& q, int c0, int c1, int c2) {
    std::vector<int> order;
    const int start = q.indexEntry(c1);
    for (int r = 0; r < 256; ++r) {
        if (start + r < 256) order.push_back(start + r);
        if (start - 1 - r >= 0) order.push_back(start - 1 - r);
    }
    int best = -1, bestDistance = 1 << 30;
    for (int position : order) {
        const auto& n = q.neuron(position);
        const int d = std::abs(n.channel[0] - c0) + std::abs(n.channel[1] - c1) + std::abs(n.channel[2] - c2);
        if (d < bestDistance) {
            bestDistance = d;
            best = n.colorNumber;
        }
    }
    return best;
}

TEST(ColorQuantizer, MapColorFindsTheNearestEntryAndBreaksTiesInSearchOrder) {
    struct Case {
        size_t pixels;
        int levels;  // few levels give duplicate palette entries and many ties
        int32_t factor;
    } cases[] = {{40, 256, 100}, {502, 4, 100}, {3000, 256, 10}, {20000, 3, 100}, {20000, 256, 100}};
    std::mt19937 rng(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixels << " pixels, " << c.levels << " levels");
        const std::vector<uint8_t> picture = randomPicture(rng, c.pixels, c.levels);
        ColorQuantizer q(nullptr, 0, 1);
        const Palette palette = run(picture, c.factor, &q);
        int ties = 0;
        std::uniform_int_distribution<int> byte(0, 255);
        for (int probe = 0; probe < 4000; ++probe) {
            int c0, c1, c2;
            if (probe < 1000 && size_t(probe) < c.pixels) {
                c0 = picture[3 * probe], c1 = picture[3 * probe + 1], c2 = picture[3 * probe + 2];
            } else {
                c0 = byte(rng), c1 = byte(rng), c2 = byte(rng);
            }
            const int got = q.mapColor(uint8_t(c0), uint8_t(c1), uint8_t(c2));
            ASSERT_GE(got, 0);
            ASSERT_LT(got, 256);
            int smallest = 1 << 30, count = 0;
            for (int e = 0; e < 256; ++e) {
                const int d = distance(&palette[3 * e], c0, c1, c2);
                if (d < smallest) smallest = d, count = 0;
                if (d == smallest) ++count;
            }
            ASSERT_EQ(distance(&palette[3 * got], c0, c1, c2), smallest) << c0 << "," << c1 << "," << c2;
            ASSERT_EQ(got, firstNearestInSearchOrder(q, c0, c1, c2)) << c0 << "," << c1 << "," << c2;
            if (count > 1) ++ties;
        }
        if (c.levels <= 4) {
            EXPECT_GT(ties, 0);  // the tie rule was really exercised
        }
        // Learning keeps every channel a blend of picture values.
        for (int i = 0; i < 256; ++i)
            for (int k = 0; k < 3; ++k) {
                ASSERT_GE(q.neuron(i).channel[k], 0);
                ASSERT_LE(q.neuron(i).channel[k], 255);
            }
    }
}

TEST(ColorQuantizer, SamePictureAlwaysGivesTheSamePalette) {
    std::mt19937 rng(9);
    const std::vector<uint8_t> picture = randomPicture(rng, 50000, 256);
    const Palette first = run(picture, 100);
    EXPECT_EQ(run(picture, 100), first);
    EXPECT_NE(run(picture, 30), first);  // the comparison can tell palettes apart
}

// Lengths that are not whole pixels read the missing bytes as 0 instead of whatever follows (an
// overread would also fail under ASan). 1511 bytes: step 1497, and the walk 1497 i mod 1511
// reaches positions 1509 and 1510, whose pixels run past the end.
TEST(ColorQuantizer, PartialLastPixelReadsAsZero) {
    const int32_t length = 1511;
    const auto plan = ColorQuantizer::planSampling(length, 1);
    bool runsPastTheEnd = false;
    for (int64_t i = 0; i < plan.samples; ++i) runsPastTheEnd |= (i * plan.step) % length + 2 >= length;
    ASSERT_TRUE(runsPastTheEnd);

    std::mt19937 rng(13);
    std::vector<uint8_t> exact = randomPicture(rng, 504, 256);  // 1512 bytes, cut to 1511
    exact.resize(length);
    std::vector<uint8_t> padded = exact;
    padded.insert(padded.end(), {0xFF, 0xFF});
    std::vector<uint8_t> zeros = exact;
    zeros.insert(zeros.end(), {0, 0});
    Palette a(768), b(768), c(768);
    ColorQuantizer(exact.data(), length, 1).process(a.data());
    ColorQuantizer(padded.data(), length, 1).process(b.data());
    ColorQuantizer(zeros.data(), length, 1).process(c.data());
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);

    // Four bytes are one whole pixel and a lone byte that no sample reaches.
    EXPECT_EQ(run({1, 2, 3, 200}, 1), run({1, 2, 3}, 1));
}

}  // namespace
