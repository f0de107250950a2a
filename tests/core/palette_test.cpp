// The palette editing model (each operation on hand-worked palettes, then random sequences of all
// of them checked by brute force, which also runs the frame's colour counting), and palette files.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "palette/palettefile.h"
#include "palette/palettemodel.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

namespace {

const RgbColor K(0, 0, 0), W(255, 255, 255), R(255, 0, 0), G(0, 255, 0), B(0, 0, 255);
using Sources = std::vector<std::vector<int>>;

PaletteEditModel modelOf(const std::vector<RgbColor>& colors, const std::vector<uint32_t>& counts = {}) {
    ColorTable table;
    table.entries = colors;
    table.useCounts = counts;
    PaletteEditModel model;
    model.loadFromTable(table);
    return model;
}

std::vector<RgbColor> colorsOf(const PaletteEditModel& m) {
    std::vector<RgbColor> c;
    for (const PaletteEditEntry& e : m.editEntries) c.push_back(e.color);
    return c;
}

Sources sourcesOf(const PaletteEditModel& m) {
    Sources all;
    for (const PaletteEditEntry& e : m.editEntries) {
        all.emplace_back();
        for (int s = 0; s < 256; ++s)
            if (e.sources.test(size_t(s))) all.back().push_back(s);
    }
    return all;
}

std::vector<RgbColor> reds(std::vector<int> values) {
    std::vector<RgbColor> c;
    for (int v : values) c.emplace_back(uint8_t(v), 0, 0);
    return c;
}

#define OP(call) [](PaletteEditModel& m) { return call; }

TEST(PaletteModel, OperationsOnHandWorkedPalettes) {
    static const RgbColor g(7, 7, 7), A(10, 200, 30), Bb(0, 50, 90), C(90, 10, 60), D(40, 100, 1), s(8, 8, 8),
        t(250, 250, 250);
    const std::vector<RgbColor> abcd = {A, Bb, C, D}, rgb = {R, G, B};
    const struct {
        const char* name;
        std::vector<RgbColor> colors;
        std::vector<uint32_t> counts;
        std::function<bool(PaletteEditModel&)> op;
        std::vector<RgbColor> expected;  // empty: refused, nothing changed
        Sources sources = {};                 // empty: not checked
        std::vector<uint32_t> useCounts = {};  // empty: not checked
    } cases[] = {
        // Removing hands the entry's sources and pixels to the nearest other entry by squared
        // distance, the lowest position on ties; the only entry cannot go.
        {"remove", {K, W, s}, {4, 3, 1}, OP(m.removeEntry(0)), {W, s}, {{1}, {0, 2}}, {3, 5}},
        {"remove: tie goes low", {{10, 0, 0}, K, {20, 0, 0}}, {}, OP(m.removeEntry(0)), {K, {20, 0, 0}},
         {{0, 1}, {2}}},
        {"remove the only entry", {R}, {}, OP(m.removeEntry(0)), {}},
        {"duplicates merge into the first", {R, G, R, B, G}, {1, 2, 3, 4, 5},
         OP((m.deleteDuplicates(), true)),
         {R, G, B}, {{0, 2}, {1, 4}, {3}}, {4, 7, 4}},
        // Dropped entries go to the nearer survivor, never to another dropped one.
        {"reduce: survivors only", {K, W, {100, 100, 100}, {101, 101, 101}}, {}, OP(m.reduceTo(2)), {K, W},
         {{0, 2, 3}, {1}}},
        {"unused dropped, merged kept", {R, W, t}, {1, 0, 6},
         OP(m.removeEntry(2) && (m.deleteUnused(), true)),
         {R, W}, {{0}, {1, 2}}, {1, 6}},
        // Float steps, truncated: 20 / 6 as a float, times 3, is 9.99999976 -> 9; -127.5 -> -127.
        {"gradient", std::vector<RgbColor>(7, g), {}, OP(m.applyGradient(0, 6, K, {20, 0, 0})),
         reds({0, 3, 6, 9, 13, 16, 20})},
        {"gradient backwards", {g, g, g}, {}, OP(m.applyGradient(2, 0, K, R)), reds({255, 127, 0})},
        {"gradient, all channels", {g, g, g, g}, {}, OP(m.applyGradient(0, 3, {0, 200, 100}, {30, 0, 100})),
         {{0, 200, 100}, {10, 133, 100}, {20, 66, 100}, {30, 0, 100}}},
        {"gradient extends", {g, g}, {}, OP(m.applyGradient(3, 4, s, t)), {g, g, K, s, t},
         {{0}, {1}, {}, {}, {}}},
        // Sorting moves whole entries; every key tells A, B, C, D apart.
        {"Usage", abcd, {5, 0, 9, 2}, OP(m.sortEntries(PaletteSortUsage)), {C, A, D, Bb},
         {{2}, {0}, {3}, {1}}, {9, 5, 2, 0}},
        {"+ ( R + G + B)", abcd, {}, OP(m.sortEntries(PaletteSortSumAscending)), {Bb, D, C, A}},
        {"- ( R + G + B)", abcd, {}, OP(m.sortEntries(PaletteSortSumDescending)), {A, C, D, Bb}},
        {"+ R", abcd, {}, OP(m.sortEntries(PaletteSortRedAscending)), {Bb, A, D, C}},
        {"- R", abcd, {}, OP(m.sortEntries(PaletteSortRedDescending)), {C, D, A, Bb}},
        {"+ G", abcd, {}, OP(m.sortEntries(PaletteSortGreenAscending)), {C, Bb, D, A}},
        {"- G", abcd, {}, OP(m.sortEntries(PaletteSortGreenDescending)), {A, D, Bb, C}},
        {"+ B", abcd, {}, OP(m.sortEntries(PaletteSortBlueAscending)), {D, A, C, Bb}},
        {"- B", abcd, {}, OP(m.sortEntries(PaletteSortBlueDescending)), {Bb, C, A, D}},
        // Out of range.
        {"setColor past the end", rgb, {}, OP(m.setColor(3, W)), {}},
        {"gradient end 256", rgb, {}, OP(m.applyGradient(0, 256, W, W)), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PaletteEditModel model = modelOf(c.colors, c.counts);
        EXPECT_EQ(c.op(model), !c.expected.empty());
        EXPECT_EQ(colorsOf(model), c.expected.empty() ? c.colors : c.expected);
        if (c.expected.empty()) { EXPECT_EQ(sourcesOf(model), sourcesOf(modelOf(c.colors))); }
        if (!c.sources.empty()) { EXPECT_EQ(sourcesOf(model), c.sources); }
        std::vector<uint32_t> counts;
        for (const PaletteEditEntry& e : model.editEntries) counts.push_back(e.useCount);
        if (!c.useCounts.empty()) { EXPECT_EQ(counts, c.useCounts); }
    }
    for (uint32_t key = 0; key < PaletteSortKeyCount; ++key) EXPECT_STREQ(kPaletteSortKeyTexts[key],
        cases[10 + key].name);
}

TEST(PaletteModel, LoadingAndGrowing) {
    // 2 + 6 + 0 + 8 = 16 pixels: 12.5 %, 37.5 %, 0 %, 50 %; counts never taken read as 0.
    const PaletteEditModel counted = modelOf({R, G, B, W}, {2, 6, 0, 8});
    EXPECT_FLOAT_EQ(counted.editEntries[1].usePercent, 37.5f);
    EXPECT_EQ(modelOf({R, G, B}, {5}).editEntries[2].useCount, 0u);
    EXPECT_EQ(modelOf(std::vector<RgbColor>(300, R)).size(), 256u);
    PaletteEditModel model = modelOf({R, G});
    ASSERT_TRUE(model.growTo(255));
    EXPECT_TRUE(model.growTo(10));  // never shrinks
    EXPECT_EQ(model.editEntries[254].color, K);
    EXPECT_TRUE(model.editEntries[254].sources.none());
    EXPECT_TRUE(model.appendEntry());
    EXPECT_FALSE(model.appendEntry());
    EXPECT_EQ(model.size(), 256u);
    // A source held by two entries goes to the later one; one held by none to 0.
    model.editEntries[3].sources.set(1);
    EXPECT_EQ(model.buildRemapTable()[1], 3);
    EXPECT_EQ(model.buildRemapTable()[200], 0);
}

// Random frames and random sequences of every operation: each pixel ends on the entry that holds
// its original index, with that entry's colour, and every entry counts exactly its sources' pixels.
TEST(PaletteModel, RandomOperationSequences) {
    std::mt19937 random(20261205);
    auto below = [&](uint32_t n) { return uint32_t(random() % n); };
    // Few distinct values, so that duplicates and distance ties really happen.
    auto anyColor = [&] { return RgbColor(uint8_t(below(4) * 85), uint8_t(below(4) * 85),
        uint8_t(below(3) * 127)); };
    for (int round = 0; round < 400; ++round) {
        const uint32_t tableSize = 2 + below(round % 5 == 0 ? 255 : 20), width = 1 + below(40),
            height = 1 + below(20);
        GifFrame frame;
        frame.bitmap = IndexedBitmap::create(width, height);
        frame.hasLocalTable = true;
        for (uint32_t i = 0; i < tableSize; ++i) frame.localTable.entries.push_back(anyColor());
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)  // now and then an index no entry holds
                frame.bitmap->row(y)[x] = uint8_t(below(10) == 0 ? below(256) : below(tableSize));
        frame.transparentIndex = uint8_t(below(256));
        frame.countColorUse();
        const GifFrame original = frame;  // a copy takes no counts
        const std::vector<uint32_t> counts = frame.localTable.useCounts;
        PaletteEditModel model;
        model.loadFromTable(frame.localTable);
        std::string log;
        for (int step = int(below(12)); step > 0 && model.size() > 0; --step) {
            const uint32_t size = model.size(), op = below(10);
            log += std::to_string(op) + " ";
            switch (op) {
                case 0: model.appendEntry(); break;
                case 1: model.setColor(below(size), anyColor()); break;
                case 2: model.swapEntries(below(size), below(size)); break;
                case 3: model.removeEntry(below(size)); break;
                case 4: if (size > 2) model.reduceTo(2 + below(size - 2)); break;
                case 5: model.growTo(2 + below(254)); break;
                case 6: model.deleteUnused(); break;
                case 7: model.deleteDuplicates(); break;
                case 8: model.applyGradient(below(size + 3), below(size + 3), anyColor(), anyColor()); break;
                default: model.sortEntries(below(PaletteSortKeyCount));
            }
        }
        SCOPED_TRACE("round " + std::to_string(round) + " ops " + log);
        ASSERT_EQ(frame.localTable.entries, original.localTable.entries);  // untouched until applied
        std::vector<int> holder(256, -1);
        for (uint32_t p = 0; p < model.size(); ++p) {
            uint64_t pixels = 0;
            for (uint32_t s = 0; s < 256; ++s) {
                if (!model.editEntries[p].sources.test(s)) continue;
                ASSERT_EQ(holder[s], -1) << "source " << s << " held twice";
                holder[s] = int(p);
                pixels += s < tableSize ? counts[s] : 0;
            }
            ASSERT_EQ(model.editEntries[p].useCount, pixels);
        }
        if (model.size() == 0) continue;
        model.applyToFrame(frame);
        ASSERT_EQ(frame.localTable.useCounts, counts);
        ASSERT_EQ(frame.transparentIndex, original.transparentIndex);
        const IndexedPalette& palette = frame.bitmap->palette();
        ASSERT_EQ(palette.flags, kPaletteFlagsHasAlpha);
        ASSERT_EQ(palette.count, model.size());
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t now = frame.bitmap->at(x, y);
                ASSERT_EQ(now, std::max(0, holder[original.bitmap->at(x, y)])) << x << "," << y;
                ASSERT_EQ(frame.localTable.entries[now], model.editEntries[now].color);
                ASSERT_EQ(frame.bitmap->palette().entries[now], model.editEntries[now].color.toArgb());
            }
    }
}

// A file: 4-byte little-endian count, then R, G, B per colour.
Bytes fileOf(uint32_t count, const Bytes& records) {
    return GifBytes().u16(uint16_t(count)).u16(uint16_t(count >> 16)).raw(records).bytes();
}

// Entry i of a ramp is (i, 2i, 255 - i); of the model read into, grey i holding source i.
RgbColor ramp(uint32_t i) { return RgbColor(uint8_t(i), uint8_t(2 * i), uint8_t(255 - i)); }
Bytes rampRecords(uint32_t n) {
    Bytes b;
    for (uint32_t i = 0; i < n; ++i) b.insert(b.end(), {ramp(i).red, ramp(i).green, ramp(i).blue});
    return b;
}
PaletteEditModel greys(uint32_t n) {
    std::vector<RgbColor> c;
    for (uint32_t i = 0; i < n; ++i) c.emplace_back(uint8_t(i), uint8_t(i), uint8_t(i));
    return modelOf(c);
}

TEST(PaletteFile, WritesCountAndRecords) {
    PaletteEditModel model;
    model.growTo(256);
    for (uint32_t i = 0; i < 256; ++i) model.setColor(i, ramp(i));
    const std::string path = testOutputPath("palette-written.plt");
    for (uint32_t n : {256u, 16u, 0u}) {
        model.editEntries.resize(n);
        ASSERT_EQ(writePaletteFile(model, path.c_str()), PaletteFileOk);
        EXPECT_EQ(readWholeFile(path), fileOf(n, rampRecords(n))) << n;
        PaletteEditModel read;
        ASSERT_EQ(readPaletteFile(read, path.c_str()), PaletteFileOk);
        EXPECT_EQ(colorsOf(read), colorsOf(model));
    }
#ifndef _WIN32
    EXPECT_EQ(writePaletteFile(model, "/dev/full"), PaletteFileWriteFailed);  // opens, refuses every byte
#endif
}

TEST(PaletteFile, ReadsRecolourAndAppendButKeepSources) {
    const RgbColor g2(2, 2, 2);
    std::vector<RgbColor> longRamp;
    for (uint32_t i = 0; i < 256; ++i) longRamp.push_back(ramp(i));
    // `size` is that of the model read into.
    const struct { const char* name; Bytes file; uint32_t size; PaletteFileResult result;
            std::vector<RgbColor> expected; } cases[] = {
        {"two records over three entries", fileOf(2, {9, 8, 7, 6, 5, 4}), 3, PaletteFileOk,
         {{9, 8, 7}, {6, 5, 4}, g2}},
        // Missing records take the last colour read, byte by byte; none read: black.
        {"record cut after one byte", fileOf(3, {10, 20, 30, 40, 50, 60, 99}), 3, PaletteFileShortRecords,
         {{10, 20, 30}, {40, 50, 60}, {99, 50, 60}}},
        {"negative count", fileOf(0x80000000u, {1, 2, 3}), 2, PaletteFileOk, {K, {1, 1, 1}}},
        {"three bytes", Bytes{3, 0, 0}, 2, PaletteFileNoCount, {K, {1, 1, 1}}},
        {"count 300: only 256 read", fileOf(300, rampRecords(300)), 16, PaletteFileOk, longRamp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PaletteEditModel model = greys(c.size);
        EXPECT_EQ(readPaletteFile(model, writeTestFile("palette-case.plt", c.file).c_str()), c.result);
        EXPECT_EQ(colorsOf(model), c.expected);
        const Sources sources = sourcesOf(model);
        for (uint32_t i = 0; i < sources.size(); ++i) {
            EXPECT_EQ(sources[i], i < c.size ? std::vector<int>{int(i)} : std::vector<int>{}) << i;
        }
    }
    // Paths that cannot be opened (a folder opens on Linux but cannot be read) change nothing.
    for (const std::string& path : {testOutputPath("missing/x.plt"), testOutputPath(""), std::string()}) {
        PaletteEditModel model = greys(4);
        const PaletteFileResult result = readPaletteFile(model, path.c_str());
        EXPECT_TRUE(result == PaletteFileCannotOpen || result == PaletteFileReadFailed) << path;
        EXPECT_EQ(colorsOf(model), colorsOf(greys(4))) << path;
        EXPECT_EQ(writePaletteFile(model, path.c_str()), PaletteFileCannotOpen) << path;
    }
}

}  // namespace
