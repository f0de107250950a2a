// The palette editing model (operations on hand-worked palettes, then random sequences of all of
// them checked by brute force, which also runs the frame's colour counting), and palette files.
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

#define OP(call) [](PaletteEditModel& m) { return call; }

TEST(PaletteModel, OperationsOnHandWorkedPalettes) {
    static const RgbColor g(7, 7, 7), s(8, 8, 8), t(250, 250, 250), A(10, 200, 30), Bb(0, 50, 90),
        C(90, 10, 60);
    // clang-format off
    const struct {
        const char* name;
        std::vector<RgbColor> colors;
        std::vector<uint32_t> counts;
        std::function<bool(PaletteEditModel&)> op;
        std::vector<RgbColor> expected;        // empty: refused, nothing changed
        Sources sources = {};                  // empty: not checked
        std::vector<uint32_t> useCounts = {};  // empty: not checked
    } cases[] = {
        // Removing hands the entry's sources and pixels to the nearest other entry by squared
        // distance, the lowest position on ties; the only entry cannot go.
        {"remove", {K, W, s}, {4, 3, 1}, OP(m.removeEntry(0)), {W, s}, {{1}, {0, 2}}, {3, 5}},
        {"tie", {{10, 0, 0}, K, {20, 0, 0}}, {}, OP(m.removeEntry(0)), {K, {20, 0, 0}}, {{0, 1}, {2}}},
        {"remove the only entry", {R}, {}, OP(m.removeEntry(0)), {}},
        {"duplicates: the first stays", {R, G, R, B, G}, {1, 2, 3, 4, 5}, OP((m.deleteDuplicates(), 1)),
         {R, G, B}, {{0, 2}, {1, 4}, {3}}, {4, 7, 4}},
        // Dropped entries go to the nearer survivor, never to another dropped one.
        {"reduce", {K, W, {100, 100, 100}, {101, 101, 101}}, {}, OP(m.reduceTo(2)), {K, W}, {{0, 2, 3}, {1}}},
        {"unused: merged kept", {R, W, t}, {1, 0, 6}, OP(m.removeEntry(2) && (m.deleteUnused(), 1)),
         {R, W}, {{0}, {1, 2}}, {1, 6}},
        // Float steps, truncated: 20 / 6 as a float, times 3, is 9.99999976 -> 9; -127.5 -> -127.
        {"gradient", std::vector<RgbColor>(7, g), {}, OP(m.applyGradient(0, 6, K, {20, 0, 0})),
         {K, {3, 0, 0}, {6, 0, 0}, {9, 0, 0}, {13, 0, 0}, {16, 0, 0}, {20, 0, 0}}},
        {"gradient backwards", {g, g, g}, {}, OP(m.applyGradient(2, 0, {0, 200, 100}, {255, 0, 100})),
         {{255, 0, 100}, {127, 100, 100}, {0, 200, 100}}},
        {"grows", {g, g}, {}, OP(m.applyGradient(3, 4, s, t)), {g, g, K, s, t}, {{0}, {1}, {}, {}, {}}},
        // Sorting moves whole entries.
        {"use", {A, Bb, C}, {5, 0, 9}, OP(m.sortEntries(0)), {C, A, Bb}, {{2}, {0}, {1}}, {9, 5, 0}},
        {"by sum", {A, Bb, C}, {}, OP(m.sortEntries(PaletteSortSumAscending)), {Bb, C, A}},
        {"by green", {A, Bb, C}, {}, OP(m.sortEntries(PaletteSortGreenAscending)), {C, Bb, A}},
        {"by blue", {A, Bb, C}, {}, OP(m.sortEntries(PaletteSortBlueAscending)), {A, C, Bb}},
        {"setColor past the end", {R, G, B}, {}, OP(m.setColor(3, W)), {}},
        {"gradient end 256", {R, G, B}, {}, OP(m.applyGradient(0, 256, W, W)), {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PaletteEditModel model = modelOf(c.colors, c.counts);
        EXPECT_EQ(c.op(model), !c.expected.empty());
        EXPECT_EQ(colorsOf(model), c.expected.empty() ? c.colors : c.expected);
        if (c.expected.empty() || !c.sources.empty()) {
            EXPECT_EQ(sourcesOf(model), c.expected.empty() ? sourcesOf(modelOf(c.colors)) : c.sources);
        }
        std::vector<uint32_t> counts;
        for (const PaletteEditEntry& e : model.editEntries) counts.push_back(e.useCount);
        if (!c.useCounts.empty()) {
            EXPECT_EQ(counts, c.useCounts);
        }
    }
}

// Random frames and random sequences of every operation: each pixel ends on the entry that holds
// its original index, with that entry's colour, and every entry counts exactly its sources' pixels.
TEST(PaletteModel, RandomOperationSequences) {
    std::mt19937 random(20261205);
    auto below = [&](uint32_t n) { return uint32_t(random() % n); };
    // Few distinct values, so that duplicates and distance ties really happen.
    auto anyColor = [&] { return RgbColor(uint8_t(below(4) * 85), uint8_t(below(4) * 85), 0); };
    for (int round = 0; round < 400; ++round) {
        const uint32_t tableSize = 2 + below(round % 5 == 0 ? 255 : 20), width = 1 + below(40),
                       height = 1 + below(20);
        GifFrame frame;
        frame.bitmap = IndexedBitmap::create(width, height);
        frame.hasLocalTable = true;
        for (uint32_t i = 0; i < tableSize; ++i) frame.localTable.entries.push_back(anyColor());
        for (uint32_t p = 0; p < width * height; ++p)  // now and then an index no entry holds
            frame.bitmap->row(p / width)[p % width] = uint8_t(below(10) == 0 ? below(256) : below(tableSize));
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
            // clang-format off
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
            // clang-format on
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
        ASSERT_EQ(palette.flags * 1000 + palette.count, kPaletteFlagsHasAlpha * 1000 + model.size());
        for (uint32_t p = 0; p < width * height; ++p) {
            const uint8_t now = frame.bitmap->at(p % width, p / width);
            ASSERT_EQ(now, std::max(0, holder[original.bitmap->at(p % width, p / width)])) << p;
            ASSERT_EQ(frame.localTable.entries[now], model.editEntries[now].color);
            ASSERT_EQ(palette.entries[now], model.editEntries[now].color.toArgb());
        }
    }
}

// A file: 4-byte little-endian count, then R, G, B per colour. Written models and read files
// recolour from the start and append past the model's end, keeping every entry's sources.
TEST(PaletteFile, WritesAndReads) {
    auto file = [](uint32_t count, const Bytes& records) {
        return GifBytes().u16(uint16_t(count)).u16(uint16_t(count >> 16)).raw(records).bytes();
    };
    const std::string path = testOutputPath("palette-written.plt");
    PaletteEditModel written = modelOf({{1, 2, 3}, {4, 5, 6}});
    ASSERT_EQ(writePaletteFile(written, path.c_str()), PaletteFileOk);
    EXPECT_EQ(readWholeFile(path), file(2, {1, 2, 3, 4, 5, 6}));
#ifndef _WIN32
    EXPECT_EQ(writePaletteFile(written, "/dev/full"), PaletteFileWriteFailed);  // opens, refuses every byte
#endif
    Bytes ramp;
    for (int i = 0; i < 300; ++i) ramp.insert(ramp.end(), {uint8_t(i), 0, 0});
    const RgbColor g1(1, 1, 1), g2(2, 2, 2);
    // Read into grey entries 0, 1, 2, each holding its own index as source.
    // clang-format off
    const struct { Bytes file; PaletteFileResult result; std::vector<RgbColor> expected; } cases[] = {
        {file(2, {9, 8, 7, 6, 5, 4}), PaletteFileOk, {{9, 8, 7}, {6, 5, 4}, g2}},
        // Missing records take the last colour read, byte by byte; none read: black.
        {file(4, {10, 20, 30, 40, 50, 60, 99}), PaletteFileShortRecords,
         {{10, 20, 30}, {40, 50, 60}, {99, 50, 60}, {99, 50, 60}}},
        {file(0x80000000u, {1, 2, 3}), PaletteFileOk, {K, g1, g2}},
        {Bytes{3, 0, 0}, PaletteFileNoCount, {K, g1, g2}},
        {file(300, ramp), PaletteFileOk, {}},  // only 256 read
    };
    // clang-format on
    for (const auto& c : cases) {
        PaletteEditModel model = modelOf({K, g1, g2});
        EXPECT_EQ(readPaletteFile(model, writeTestFile("palette-case.plt", c.file).c_str()), c.result);
        if (c.expected.empty()) {
            EXPECT_EQ(model.size() * 1000 + model.editEntries[255].color.red, 256255u);
        } else {
            EXPECT_EQ(colorsOf(model), c.expected) << c.file.size();
        }
        const Sources sources = sourcesOf(model);
        for (int i = 0; i < int(sources.size()); ++i)
            EXPECT_EQ(sources[i], i < 3 ? std::vector<int>{i} : std::vector<int>{});
    }
    // A path that cannot be opened changes nothing.
    PaletteEditModel model = modelOf({R, G});
    EXPECT_EQ(readPaletteFile(model, testOutputPath("missing/x.plt").c_str()), PaletteFileCannotOpen);
    EXPECT_EQ(writePaletteFile(model, testOutputPath("missing/x.plt").c_str()), PaletteFileCannotOpen);
    EXPECT_EQ(colorsOf(model), (std::vector<RgbColor>{R, G}));
}

}  // namespace
