// The palette editing model: each operation on hand-worked palettes, and a randomised check that
// any sequence of operations ends in a remap that sends every pixel where its entry went.
#include "palette/palettemodel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const RgbColor kBlack(0, 0, 0);
const RgbColor kWhite(255, 255, 255);
const RgbColor kRed(255, 0, 0);
const RgbColor kGreen(0, 255, 0);
const RgbColor kBlue(0, 0, 255);

PaletteEditModel modelOf(const std::vector<RgbColor>& colors, const std::vector<uint32_t>& counts = {}) {
    ColorTable table;
    table.entries = colors;
    table.useCounts = counts;
    PaletteEditModel model;
    model.loadFromTable(table);
    return model;
}

std::vector<RgbColor> colorsOf(const PaletteEditModel& model) {
    std::vector<RgbColor> colors;
    for (const PaletteEditEntry& entry : model.editEntries) colors.push_back(entry.color);
    return colors;
}

std::vector<int> sourcesOf(const PaletteEditEntry& entry) {
    std::vector<int> sources;
    for (int s = 0; s < 256; ++s)
        if (entry.sources.test(size_t(s))) sources.push_back(s);
    return sources;
}

// A frame whose pixel x holds pixels[x] (one row), with a local table of the given colours.
GifFrame frameOf(const std::vector<uint8_t>& pixels, const std::vector<RgbColor>& colors) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(uint32_t(pixels.size()), 1);
    for (size_t x = 0; x < pixels.size(); ++x) frame.bitmap->row(0)[x] = pixels[x];
    frame.hasLocalTable = true;
    frame.localTable.entries = colors;
    return frame;
}

std::vector<uint8_t> rowOf(const GifFrame& frame) {
    const uint8_t* row = frame.bitmap->row(0);
    return std::vector<uint8_t>(row, row + frame.bitmap->width());
}

std::string show(RgbColor c) {
    return "(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue) + ")";
}

std::string show(const std::vector<RgbColor>& colors) {
    std::string text;
    for (RgbColor c : colors) text += show(c);
    return text;
}

TEST(PaletteModelLoad, TakesColoursCountsAndPercentages) {
    // 2 + 6 + 0 + 8 = 16 pixels: 12.5 %, 37.5 %, 0 %, 50 %.
    const PaletteEditModel model = modelOf({kRed, kGreen, kBlue, kWhite}, {2, 6, 0, 8});
    ASSERT_EQ(model.size(), 4u);
    const float percents[] = {12.5f, 37.5f, 0.0f, 50.0f};
    const uint32_t counts[] = {2, 6, 0, 8};
    for (uint32_t i = 0; i < 4; ++i) {
        const PaletteEditEntry& entry = model.editEntries[i];
        EXPECT_EQ(sourcesOf(entry), std::vector<int>{int(i)});
        EXPECT_EQ(entry.useCount, counts[i]);
        EXPECT_FLOAT_EQ(entry.usePercent, percents[i]);
        EXPECT_EQ(entry.sortKey, 0u);
    }
    EXPECT_EQ(colorsOf(model), (std::vector<RgbColor>{kRed, kGreen, kBlue, kWhite}));
}

TEST(PaletteModelLoad, OddTablesGiveDefinedModels) {
    // Counts never taken: every entry unused, shown as 0 % instead of a NaN.
    PaletteEditModel uncounted = modelOf({kRed, kGreen});
    for (const PaletteEditEntry& entry : uncounted.editEntries) {
        EXPECT_EQ(entry.useCount, 0u);
        EXPECT_EQ(entry.usePercent, 0.0f);
    }
    // Counts shorter than the entries: the rest count 0.
    PaletteEditModel partial = modelOf({kRed, kGreen, kBlue}, {5});
    EXPECT_EQ(partial.editEntries[2].useCount, 0u);
    EXPECT_FLOAT_EQ(partial.editEntries[0].usePercent, 100.0f);
    // More colours than an index can address: only the first 256 become entries.
    std::vector<RgbColor> many(300, kRed);
    EXPECT_EQ(modelOf(many).size(), 256u);
    // Loading replaces whatever the model held.
    partial.loadFromTable(ColorTable());
    EXPECT_EQ(partial.size(), 0u);
}

TEST(PaletteModelRemap, SourcesDecideEachIndex) {
    struct Case {
        const char* name;
        std::vector<std::vector<int>> sourcesPerEntry;
        std::vector<std::pair<int, int>> expected;  // source -> new index
    };
    const Case cases[] = {
        {"identity", {{0}, {1}, {2}}, {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {255, 0}}},
        {"reversed", {{2}, {1}, {0}}, {{0, 2}, {1, 1}, {2, 0}}},
        {"merged", {{}, {0, 5, 255}}, {{0, 1}, {5, 1}, {255, 1}, {1, 0}}},
        {"held twice goes to the later", {{7}, {3}, {7}}, {{7, 2}, {3, 1}}},
        {"no sources anywhere", {{}, {}}, {{0, 0}, {200, 0}}},
    };
    for (const Case& c : cases) {
        PaletteEditModel model;
        for (const auto& sources : c.sourcesPerEntry) {
            PaletteEditEntry entry;
            for (int s : sources) entry.sources.set(size_t(s));
            model.editEntries.push_back(entry);
        }
        const PaletteRemapTable table = model.buildRemapTable();
        for (auto [source, index] : c.expected)
            EXPECT_EQ(table[size_t(source)], index) << c.name << " source " << source;
    }
}

TEST(PaletteModelRemove, WorkedExampleBlackWhiteDarkGrey) {
    const RgbColor darkGrey(8, 8, 8);
    PaletteEditModel model = modelOf({kBlack, kWhite, darkGrey}, {4, 3, 1});
    ASSERT_TRUE(model.removeEntry(0));
    EXPECT_EQ(colorsOf(model), (std::vector<RgbColor>{kWhite, darkGrey}));
    EXPECT_EQ(sourcesOf(model.editEntries[1]), (std::vector<int>{0, 2}));
    // The merge hands over black's 4 pixels: 5 of 8 now show dark grey.
    EXPECT_EQ(model.editEntries[1].useCount, 5u);
    EXPECT_FLOAT_EQ(model.editEntries[1].usePercent, 62.5f);
    EXPECT_FLOAT_EQ(model.editEntries[0].usePercent, 37.5f);

    GifFrame frame = frameOf({0, 1, 2, 0}, {kBlack, kWhite, darkGrey});
    model.applyToFrame(frame);
    EXPECT_EQ(rowOf(frame), (std::vector<uint8_t>{1, 0, 1, 1}));
}

TEST(PaletteModelRemove, NearestOtherEntryLowestPositionOnTies) {
    struct Case {
        const char* name;
        std::vector<RgbColor> colors;
        uint32_t removed;
        int receiverBefore;  // position, before the removal, of the entry that takes the sources
    };
    const Case cases[] = {
        // (10,0,0) is 10 away from both neighbours: the lower position wins.
        {"tie goes low", {{10, 0, 0}, {0, 0, 0}, {20, 0, 0}}, 0, 1},
        {"tie around a middle entry", {{0, 0, 0}, {10, 0, 0}, {20, 0, 0}}, 1, 0},
        // Squared distance: (54,54,54) is 48 away, (60,50,50) 100; summed differences would say 12 vs 10.
        {"squares decide", {{50, 50, 50}, {60, 50, 50}, {54, 54, 54}}, 0, 2},
        {"identical colour elsewhere", {{1, 2, 3}, {9, 9, 9}, {1, 2, 3}}, 2, 0},
        {"last entry removed", {{0, 0, 0}, {255, 255, 255}, {250, 250, 250}}, 2, 1},
        {"only one other", {{0, 0, 0}, {255, 0, 0}}, 1, 0},
    };
    for (const Case& c : cases) {
        PaletteEditModel model = modelOf(c.colors);
        const RgbColor receiver = c.colors[size_t(c.receiverBefore)];
        ASSERT_TRUE(model.removeEntry(c.removed)) << c.name;
        const uint32_t receiverAfter =
            uint32_t(c.receiverBefore) - (uint32_t(c.receiverBefore) > c.removed ? 1 : 0);
        ASSERT_EQ(model.size(), c.colors.size() - 1) << c.name;
        EXPECT_EQ(model.editEntries[receiverAfter].color, receiver) << c.name;
        EXPECT_TRUE(model.editEntries[receiverAfter].sources.test(c.removed)) << c.name;
        EXPECT_EQ(model.editEntries[receiverAfter].sources.count(), 2u) << c.name;
    }
}

TEST(PaletteModelDuplicates, WorkedExampleRedGreenRedBlueGreen) {
    PaletteEditModel model = modelOf({kRed, kGreen, kRed, kBlue, kGreen}, {1, 2, 3, 4, 5});
    model.deleteDuplicates();
    EXPECT_EQ(colorsOf(model), (std::vector<RgbColor>{kRed, kGreen, kBlue}));
    EXPECT_EQ(sourcesOf(model.editEntries[0]), (std::vector<int>{0, 2}));
    EXPECT_EQ(sourcesOf(model.editEntries[1]), (std::vector<int>{1, 4}));
    EXPECT_EQ(sourcesOf(model.editEntries[2]), (std::vector<int>{3}));
    EXPECT_EQ(model.editEntries[0].useCount, 4u);
    EXPECT_EQ(model.editEntries[1].useCount, 7u);
    EXPECT_EQ(model.editEntries[2].useCount, 4u);

    GifFrame frame = frameOf({0, 1, 2, 3, 4}, {kRed, kGreen, kRed, kBlue, kGreen});
    model.applyToFrame(frame);
    EXPECT_EQ(rowOf(frame), (std::vector<uint8_t>{0, 1, 0, 2, 1}));
    EXPECT_EQ(frame.localTable.entries, (std::vector<RgbColor>{kRed, kGreen, kBlue}));
}

TEST(PaletteModelDuplicates, AfterASortDroppedPixelsFollowTheirColour) {
    const std::vector<RgbColor> colors = {kRed, kGreen, kRed, kBlue, kGreen, {0, 0, 1}};
    PaletteEditModel model = modelOf(colors);
    ASSERT_TRUE(model.sortEntries(PaletteSortBlueAscending));
    model.deleteDuplicates();
    ASSERT_EQ(model.size(), 4u);
    GifFrame frame = frameOf({0, 1, 2, 3, 4, 5}, colors);
    model.applyToFrame(frame);
    const std::vector<uint8_t> row = rowOf(frame);
    for (size_t x = 0; x < row.size(); ++x)
        EXPECT_EQ(frame.localTable.entries[row[x]], colors[x]) << "pixel " << x;
}

TEST(PaletteModelSwap, MovingThreeToFourKeepsThePicture) {
    const std::vector<RgbColor> colors = {kBlack, kWhite, kRed, kGreen, kBlue, {9, 9, 9}};
    PaletteEditModel model = modelOf(colors);
    ASSERT_TRUE(model.swapEntries(3, 4));
    GifFrame frame = frameOf({0, 1, 2, 3, 4, 5, 3, 4}, colors);
    model.applyToFrame(frame);
    EXPECT_EQ(rowOf(frame), (std::vector<uint8_t>{0, 1, 2, 4, 3, 5, 4, 3}));
    const std::vector<uint8_t> before = {0, 1, 2, 3, 4, 5, 3, 4};
    for (size_t x = 0; x < before.size(); ++x) {
        EXPECT_EQ(frame.localTable.entries[rowOf(frame)[x]], colors[before[x]]);
        EXPECT_EQ(frame.bitmap->palette().entries[rowOf(frame)[x]], colors[before[x]].toArgb());
    }
}

TEST(PaletteModelReduce, FourToTwoMergesIntoTheNearerSurvivor) {
    // Entry 2 is dark, so it joins black; entry 3 is light, so it joins white.
    PaletteEditModel model = modelOf({kBlack, kWhite, {40, 30, 20}, {200, 210, 190}}, {1, 1, 1, 1});
    ASSERT_TRUE(model.reduceTo(2));
    EXPECT_EQ(colorsOf(model), (std::vector<RgbColor>{kBlack, kWhite}));
    EXPECT_EQ(sourcesOf(model.editEntries[0]), (std::vector<int>{0, 2}));
    EXPECT_EQ(sourcesOf(model.editEntries[1]), (std::vector<int>{1, 3}));
    EXPECT_EQ(model.editEntries[0].useCount, 2u);
    EXPECT_FLOAT_EQ(model.editEntries[1].usePercent, 50.0f);

    // Survivors only: a dropped entry nearer to another dropped one still goes to a survivor.
    PaletteEditModel chain = modelOf({kBlack, kWhite, {100, 100, 100}, {101, 101, 101}});
    ASSERT_TRUE(chain.reduceTo(2));
    EXPECT_EQ(sourcesOf(chain.editEntries[0]), (std::vector<int>{0, 2, 3}));
}

TEST(PaletteModelGradient, FloatStepAndTruncation) {
    struct Case {
        const char* name;
        uint32_t start, end;
        RgbColor from, to;
        uint32_t paletteSize;
        std::vector<RgbColor> expected;  // the whole palette afterwards
    };
    auto reds = [](std::vector<int> values) {
        std::vector<RgbColor> colors;
        for (int v : values) colors.push_back(RgbColor(uint8_t(v), 0, 0));
        return colors;
    };
    const RgbColor grey(7, 7, 7);
    const Case cases[] = {
        // 20 / 6 as a float is 3.3333332538..., so 3 steps give 9.99999976 and truncate to 9.
        {"0 to 20 over 0..6", 0, 6, {0, 0, 0}, {20, 0, 0}, 7, reds({0, 3, 6, 9, 13, 16, 20})},
        // -127.5 per step: 127.5 truncates toward zero.
        {"255 to 0 over 0..2", 0, 2, {255, 0, 0}, {0, 0, 0}, 3, reds({255, 127, 0})},
        {"ends given backwards", 2, 0, {0, 0, 0}, {255, 0, 0}, 3, reds({255, 127, 0})},
        {"one entry takes the to colour", 1, 1, {10, 0, 0}, {90, 0, 0}, 3, {grey, {90, 0, 0}, grey}},
        {"neighbours only", 1, 2, {10, 0, 0}, {90, 0, 0}, 4, {grey, {10, 0, 0}, {90, 0, 0}, grey}},
        // Three channels at once, each with its own step: (0,200,100) -> (30,0,100) over 3 steps.
        {"all channels",
         0,
         3,
         {0, 200, 100},
         {30, 0, 100},
         4,
         {{0, 200, 100}, {10, 133, 100}, {20, 66, 100}, {30, 0, 100}}},
        // Past the end: black entries are appended up to position 4 and then painted.
        {"extends the palette",
         3,
         4,
         {50, 50, 50},
         {60, 60, 60},
         2,
         {grey, grey, kBlack, {50, 50, 50}, {60, 60, 60}}},
    };
    for (const Case& c : cases) {
        PaletteEditModel model = modelOf(std::vector<RgbColor>(c.paletteSize, grey));
        ASSERT_TRUE(model.applyGradient(c.start, c.end, c.from, c.to)) << c.name;
        EXPECT_EQ(show(colorsOf(model)), show(c.expected)) << c.name;
    }
}

TEST(PaletteModelSort, EveryKeyOrdersAsItsDialogTextSays) {
    // Every key tells these four apart, so each order below is the only right one:
    //   A (10,200,30) sum 240 use 5      C (90, 10,60) sum 160 use 9
    //   B ( 0, 50,90) sum 140 use 0      D (40,100, 1) sum 141 use 2
    const RgbColor A(10, 200, 30), B(0, 50, 90), C(90, 10, 60), D(40, 100, 1);
    struct Case {
        uint32_t key;
        const char* text;
        std::vector<RgbColor> order;
    };
    const Case cases[] = {
        {PaletteSortUsage, "Usage", {C, A, D, B}},
        {PaletteSortSumAscending, "+ ( R + G + B)", {B, D, C, A}},
        {PaletteSortSumDescending, "- ( R + G + B)", {A, C, D, B}},
        {PaletteSortRedAscending, "+ R", {B, A, D, C}},
        {PaletteSortRedDescending, "- R", {C, D, A, B}},
        {PaletteSortGreenAscending, "+ G", {C, B, D, A}},
        {PaletteSortGreenDescending, "- G", {A, D, B, C}},
        {PaletteSortBlueAscending, "+ B", {D, A, C, B}},
        {PaletteSortBlueDescending, "- B", {B, C, A, D}},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(kPaletteSortKeyTexts[c.key], c.text);
        PaletteEditModel model = modelOf({A, B, C, D}, {5, 0, 9, 2});
        ASSERT_TRUE(model.sortEntries(c.key)) << c.text;
        EXPECT_EQ(show(colorsOf(model)), show(c.order)) << c.text;
        // Entries move whole: each keeps its own source and count.
        for (const PaletteEditEntry& entry : model.editEntries) {
            const int source = sourcesOf(entry).at(0);
            EXPECT_EQ(entry.color, (std::vector<RgbColor>{A, B, C, D}[size_t(source)])) << c.text;
            EXPECT_EQ(entry.useCount, (std::vector<uint32_t>{5, 0, 9, 2}[size_t(source)])) << c.text;
        }
    }
}

TEST(PaletteModelUnused, DropsUnusedEntriesButNotWhatAMergeSentThere) {
    PaletteEditModel model = modelOf({kRed, kGreen, kBlue, kWhite}, {3, 0, 2, 0});
    model.deleteUnused();
    EXPECT_EQ(colorsOf(model), (std::vector<RgbColor>{kRed, kBlue}));
    EXPECT_EQ(sourcesOf(model.editEntries[1]), std::vector<int>{2});

    // White (unused) is nearest to light grey (used) when grey is removed: white now shows
    // grey's pixels and must survive deleteUnused with them.
    PaletteEditModel merged = modelOf({kRed, kWhite, {250, 250, 250}}, {1, 0, 6});
    ASSERT_TRUE(merged.removeEntry(2));
    merged.deleteUnused();
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(sourcesOf(merged.editEntries[1]), (std::vector<int>{1, 2}));
    GifFrame frame = frameOf({0, 2, 2, 1}, {kRed, kWhite, {250, 250, 250}});
    merged.applyToFrame(frame);
    EXPECT_EQ(rowOf(frame), (std::vector<uint8_t>{0, 1, 1, 1}));
}

TEST(PaletteModelBounds, OutOfRangeArgumentsChangeNothing) {
    struct Case {
        const char* name;
        bool (*op)(PaletteEditModel&);
    };
    const Case cases[] = {
        {"setColor past the end", [](PaletteEditModel& m) { return m.setColor(3, kWhite); }},
        {"swap past the end", [](PaletteEditModel& m) { return m.swapEntries(0, 3); }},
        {"remove past the end", [](PaletteEditModel& m) { return m.removeEntry(3); }},
        {"reduce to 0", [](PaletteEditModel& m) { return m.reduceTo(0); }},
        {"reduce to the size", [](PaletteEditModel& m) { return m.reduceTo(3); }},
        {"reduce above the size", [](PaletteEditModel& m) { return m.reduceTo(100); }},
        {"grow past 256", [](PaletteEditModel& m) { return m.growTo(257); }},
        {"gradient end 256", [](PaletteEditModel& m) { return m.applyGradient(0, 256, kWhite, kWhite); }},
        {"gradient start 4000000000",
         [](PaletteEditModel& m) { return m.applyGradient(4000000000u, 1, kWhite, kWhite); }},
        {"sort key 9", [](PaletteEditModel& m) { return m.sortEntries(9); }},
    };
    for (const Case& c : cases) {
        PaletteEditModel model = modelOf({kRed, kGreen, kBlue}, {1, 2, 3});
        EXPECT_FALSE(c.op(model)) << c.name;
        EXPECT_EQ(colorsOf(model), (std::vector<RgbColor>{kRed, kGreen, kBlue})) << c.name;
        for (uint32_t i = 0; i < 3; ++i)
            EXPECT_EQ(sourcesOf(model.editEntries[i]), std::vector<int>{int(i)}) << c.name;
    }
    PaletteEditModel single = modelOf({kRed});
    EXPECT_FALSE(single.removeEntry(0));  // nobody could take its pixels
    EXPECT_EQ(single.size(), 1u);
}

TEST(PaletteModelGrow, AppendAndGrowStopAt256) {
    PaletteEditModel model = modelOf({kRed, kGreen});
    ASSERT_TRUE(model.growTo(255));
    EXPECT_EQ(model.size(), 255u);
    EXPECT_EQ(model.editEntries[254].color, kBlack);
    EXPECT_TRUE(model.editEntries[254].sources.none());
    ASSERT_TRUE(model.growTo(10));  // never shrinks
    EXPECT_EQ(model.size(), 255u);
    EXPECT_TRUE(model.appendEntry());
    EXPECT_FALSE(model.appendEntry());
    EXPECT_EQ(model.size(), 256u);
}

TEST(PaletteModelApply, UnchangedModelGivesTheSameFrame) {
    const std::vector<RgbColor> colors = {kRed, kGreen, kBlue, {1, 2, 3}};
    const std::vector<uint8_t> pixels = {3, 2, 1, 0, 0, 3};
    GifFrame frame = frameOf(pixels, colors);
    frame.transparent = true;
    frame.transparentIndex = 2;
    frame.countColorUse();
    PaletteEditModel model;
    model.loadFromTable(frame.localTable);
    model.applyToFrame(frame);
    EXPECT_EQ(rowOf(frame), pixels);
    EXPECT_EQ(frame.localTable.entries, colors);
    EXPECT_EQ(frame.localTable.useCounts, (std::vector<uint32_t>{2, 1, 1, 2}));
    EXPECT_EQ(frame.transparentIndex, 2);
    const IndexedPalette& palette = frame.bitmap->palette();
    EXPECT_EQ(palette.flags, kPaletteFlagsHasAlpha);
    EXPECT_EQ(palette.count, 4u);
    EXPECT_EQ(palette.entries[0], 0xFFFF0000u);
    EXPECT_EQ(palette.entries[3], 0xFF010203u);
    EXPECT_EQ(palette.entries[4], 0u);
}

TEST(PaletteModelApply, AppendedEntryIsBlackAndUnused) {
    GifFrame frame = frameOf({0, 1, 1}, {kRed, kGreen});
    PaletteEditModel model = modelOf(frame.localTable.entries);
    ASSERT_TRUE(model.appendEntry());
    model.applyToFrame(frame);
    EXPECT_EQ(frame.localTable.entries, (std::vector<RgbColor>{kRed, kGreen, kBlack}));
    EXPECT_EQ(rowOf(frame), (std::vector<uint8_t>{0, 1, 1}));
    EXPECT_EQ(frame.bitmap->palette().count, 3u);
    EXPECT_EQ(frame.bitmap->palette().entries[2], 0xFF000000u);
}

TEST(PaletteModelApply, FrameWithoutPictureStillGetsItsColours) {
    GifFrame frame;
    PaletteEditModel model = modelOf({kRed, kBlue});
    model.applyToFrame(frame);
    EXPECT_EQ(frame.localTable.entries, (std::vector<RgbColor>{kRed, kBlue}));
}

// Random frames, random palettes and random sequences of every operation. Expected results come
// from the model's final sources, searched by brute force, and from counting pixels directly.
TEST(PaletteModelProperty, EveryPixelFollowsTheEntryThatHoldsItsIndex) {
    std::mt19937 random(20261205);
    auto below = [&](uint32_t n) { return uint32_t(random() % n); };
    auto anyColor = [&]() {
        // Few distinct values, so that duplicates and distance ties really happen.
        return RgbColor(uint8_t(below(4) * 85), uint8_t(below(4) * 85), uint8_t(below(3) * 127));
    };

    for (int round = 0; round < 400; ++round) {
        const uint32_t tableSize = 2 + below(round % 5 == 0 ? 255 : 20);
        const uint32_t width = 1 + below(40), height = 1 + below(20);
        GifFrame frame;
        frame.bitmap = IndexedBitmap::create(width, height);
        frame.hasLocalTable = true;
        for (uint32_t i = 0; i < tableSize; ++i) frame.localTable.entries.push_back(anyColor());
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                // Now and then an index past the table: no entry holds it.
                frame.bitmap->row(y)[x] = uint8_t(below(10) == 0 ? below(256) : below(tableSize));
        frame.transparentIndex = uint8_t(below(256));
        frame.countColorUse();
        const GifFrame original = frame;
        const std::vector<uint32_t> originalCounts = frame.localTable.useCounts;

        PaletteEditModel model;
        model.loadFromTable(frame.localTable);
        std::string log;
        const int operations = int(below(12));
        for (int step = 0; step < operations; ++step) {
            const uint32_t size = model.size();
            const uint32_t op = below(11);
            log += std::to_string(op) + " ";
            switch (op) {
                case 0:
                    model.appendEntry();
                    break;
                case 1:
                    model.setColor(below(size), anyColor());
                    break;
                case 2:
                    model.swapEntries(below(size), below(size));
                    break;
                case 3:
                    if (size > 2) model.removeEntry(below(size));
                    break;
                case 4:
                    if (size > 2) model.reduceTo(2 + below(size - 2));
                    break;
                case 5:
                    model.growTo(2 + below(254));
                    break;
                case 6:
                    model.deleteUnused();
                    break;
                case 7:
                    model.deleteDuplicates();
                    break;
                case 8:
                    model.applyGradient(below(size + 3), below(size + 3), anyColor(), anyColor());
                    break;
                case 9:
                    model.sortEntries(below(PaletteSortKeyCount));
                    break;
                default: {
                    // A palette file's worth of recolouring: only colours change.
                    for (uint32_t i = 0; i < model.size(); i += 2) model.setColor(i, anyColor());
                }
            }
            if (model.size() == 0) break;  // deleteUnused on a frame of out-of-table pixels
        }
        SCOPED_TRACE("round " + std::to_string(round) + " ops " + log);

        // Without applyToFrame the frame is exactly as it was.
        for (uint32_t y = 0; y < height; ++y)
            ASSERT_EQ(0, memcmp(frame.bitmap->row(y), original.bitmap->row(y), width));
        ASSERT_EQ(frame.localTable.entries, original.localTable.entries);

        // A source is held by at most one entry, and each entry counts exactly the pixels
        // whose original index it holds: merges carried their counts along.
        uint64_t counted = 0;
        for (const PaletteEditEntry& entry : model.editEntries) {
            uint64_t pixels = 0;
            for (uint32_t s = 0; s < 256; ++s)
                if (entry.sources.test(s)) pixels += s < tableSize ? originalCounts[s] : 0;
            ASSERT_EQ(entry.useCount, pixels);
            counted += entry.useCount;
        }
        uint64_t heldTwice = 0;
        for (uint32_t s = 0; s < 256; ++s) {
            int holders = 0;
            for (const PaletteEditEntry& entry : model.editEntries) holders += entry.sources.test(s);
            heldTwice += holders > 1;
        }
        ASSERT_EQ(heldTwice, 0u);

        if (model.size() == 0) continue;
        model.applyToFrame(frame);
        ASSERT_EQ(frame.localTable.entries.size(), model.size());
        ASSERT_EQ(frame.transparentIndex, original.transparentIndex);
        ASSERT_EQ(frame.localTable.useCounts, originalCounts);
        uint64_t pixelsOnHolders = 0;
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t source = original.bitmap->at(x, y);
                uint32_t holder = 0;
                bool held = false;
                for (uint32_t p = 0; p < model.size(); ++p)
                    if (model.editEntries[p].sources.test(source)) {
                        holder = p;
                        held = true;
                    }
                pixelsOnHolders += held;
                const uint8_t now = frame.bitmap->at(x, y);
                ASSERT_EQ(now, holder) << "pixel " << x << "," << y << " source " << int(source);
                ASSERT_EQ(frame.localTable.entries[now], model.editEntries[holder].color);
                ASSERT_EQ(frame.bitmap->palette().entries[now], model.editEntries[holder].color.toArgb());
            }
        }
        // Every counted pixel still has an entry of its own: nothing fell to index 0 by accident.
        ASSERT_EQ(pixelsOnHolders, counted);
    }
}

}  // namespace
