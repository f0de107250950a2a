// Palette files: the exact bytes written, hand-built files read back (short, long, negative,
// damaged), and paths that cannot be opened.
#include "palette/palettefile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/testpaths.h"

namespace {

using Bytes = std::vector<uint8_t>;

void writeBytes(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) {  // fwrite must not be handed the null data of an empty vector
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    ASSERT_EQ(std::fclose(file), 0);
}

Bytes readBytes(const std::string& path) {
    Bytes bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(uint8_t(c));
    std::fclose(file);
    return bytes;
}

bool fileExists(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

// Count as 4 little-endian bytes, then the records as given.
Bytes fileOf(uint32_t count, const Bytes& records) {
    Bytes bytes;
    bytes.reserve(4 + records.size());
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(count >> shift));
    for (uint8_t b : records) bytes.push_back(b);
    return bytes;
}

// n records where record i is (i, 2i, 255 - i), all taken modulo 256.
Bytes rampRecords(uint32_t n) {
    Bytes records;
    for (uint32_t i = 0; i < n; ++i) {
        records.push_back(uint8_t(i));
        records.push_back(uint8_t(2 * i));
        records.push_back(uint8_t(255 - i));
    }
    return records;
}

RgbColor rampColor(uint32_t i) {
    return RgbColor(uint8_t(i), uint8_t(2 * i), uint8_t(255 - i));
}

// A model as the editor would hold it: entry i is grey i, holds source i and counts i + 1 pixels.
PaletteEditModel greyModel(uint32_t n) {
    ColorTable table;
    for (uint32_t i = 0; i < n; ++i) {
        table.entries.push_back(RgbColor(uint8_t(i), uint8_t(i), uint8_t(i)));
        table.useCounts.push_back(i + 1);
    }
    PaletteEditModel model;
    model.loadFromTable(table);
    return model;
}

std::vector<RgbColor> colorsOf(const PaletteEditModel& model) {
    std::vector<RgbColor> colors;
    for (const PaletteEditEntry& entry : model.editEntries) colors.push_back(entry.color);
    return colors;
}

// Reading never touches sources or counts of entries the model already had.
void expectGreySourcesAndCountsKept(const PaletteEditModel& model, uint32_t n, const char* name) {
    for (uint32_t i = 0; i < n; ++i) {
        EXPECT_EQ(model.editEntries[i].sources.count(), 1u) << name << " entry " << i;
        EXPECT_TRUE(model.editEntries[i].sources.test(i)) << name << " entry " << i;
        EXPECT_EQ(model.editEntries[i].useCount, i + 1) << name << " entry " << i;
    }
}

TEST(PaletteFileWrite, SixteenColoursGiveFiftyTwoBytes) {
    PaletteEditModel model;
    for (uint32_t i = 0; i < 16; ++i) {
        model.appendEntry();
        model.setColor(i, rampColor(i));
    }
    const std::string path = testOutputPath("palette-16.plt");
    ASSERT_EQ(writePaletteFile(model, path.c_str()), PaletteFileOk);
    const Bytes bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(bytes, fileOf(16, rampRecords(16)));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 7), (Bytes{0x10, 0, 0, 0, 0x00, 0x00, 0xFF}));
}

TEST(PaletteFileWrite, SizesAndRoundTrip) {
    struct Case {
        uint32_t colors;
        size_t fileSize;
    };
    const Case cases[] = {{0, 4}, {1, 7}, {2, 10}, {255, 769}, {256, 772}};
    for (const Case& c : cases) {
        PaletteEditModel written;
        written.growTo(c.colors);
        for (uint32_t i = 0; i < c.colors; ++i) written.setColor(i, rampColor(i * 7));
        const std::string path = testOutputPath("palette-roundtrip.plt");
        ASSERT_EQ(writePaletteFile(written, path.c_str()), PaletteFileOk) << c.colors;
        const Bytes bytes = readBytes(path);
        EXPECT_EQ(bytes.size(), c.fileSize) << c.colors;
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4),
                  (Bytes{uint8_t(c.colors), uint8_t(c.colors >> 8), 0, 0}));

        PaletteEditModel read;
        ASSERT_EQ(readPaletteFile(read, path.c_str()), PaletteFileOk) << c.colors;
        EXPECT_EQ(colorsOf(read), colorsOf(written)) << c.colors;
        for (const PaletteEditEntry& entry : read.editEntries) {
            EXPECT_TRUE(entry.sources.none());
            EXPECT_EQ(entry.useCount, 0u);
        }
    }
}

TEST(PaletteFileRead, HandBuiltFiles) {
    const RgbColor black(0, 0, 0);
    auto grey = [](uint8_t v) { return RgbColor(v, v, v); };
    struct Case {
        const char* name;
        Bytes file;
        uint32_t modelSize;
        PaletteFileResult result;
        std::vector<RgbColor> expected;  // the whole palette afterwards
    };
    const Case cases[] = {
        {"two records over three entries",
         fileOf(2, {9, 8, 7, 6, 5, 4}),
         3,
         PaletteFileOk,
         {{9, 8, 7}, {6, 5, 4}, grey(2)}},
        {"longer than the palette appends",
         fileOf(3, {1, 1, 1, 2, 2, 2, 3, 3, 3}),
         1,
         PaletteFileOk,
         {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}},
        // Count 3, only two records: the shared buffer still holds record 1 for record 2.
        {"count 3 with 2 records",
         fileOf(3, {10, 20, 30, 40, 50, 60}),
         4,
         PaletteFileShortRecords,
         {{10, 20, 30}, {40, 50, 60}, {40, 50, 60}, grey(3)}},
        // One byte of record 2: it replaces red only, green and blue stay from record 1.
        {"record cut after one byte",
         fileOf(3, {10, 20, 30, 40, 50, 60, 99}),
         3,
         PaletteFileShortRecords,
         {{10, 20, 30}, {40, 50, 60}, {99, 50, 60}}},
        {"record cut after two bytes",
         fileOf(2, {10, 20, 30, 77, 88}),
         2,
         PaletteFileShortRecords,
         {{10, 20, 30}, {77, 88, 30}}},
        // No record at all: the buffer starts black.
        {"count 2 and nothing after", fileOf(2, {}), 3, PaletteFileShortRecords, {black, black, grey(2)}},
        {"count 0", fileOf(0, {5, 5, 5}), 2, PaletteFileOk, {grey(0), grey(1)}},
        {"bytes after the last record are ignored",
         fileOf(1, {5, 6, 7, 8, 9, 10}),
         2,
         PaletteFileOk,
         {{5, 6, 7}, grey(1)}},
        // Top bit set: negative, nothing read even though records follow.
        {"count 0x80000000", fileOf(0x80000000u, {1, 2, 3}), 2, PaletteFileOk, {grey(0), grey(1)}},
        {"count 0xFFFFFFFF", fileOf(0xFFFFFFFFu, {1, 2, 3}), 2, PaletteFileOk, {grey(0), grey(1)}},
        {"three bytes only", Bytes{3, 0, 0}, 2, PaletteFileNoCount, {grey(0), grey(1)}},
        {"empty file", Bytes{}, 2, PaletteFileNoCount, {grey(0), grey(1)}},
    };
    for (const Case& c : cases) {
        const std::string path = testOutputPath("palette-case.plt");
        writeBytes(path, c.file);
        PaletteEditModel model = greyModel(c.modelSize);
        EXPECT_EQ(readPaletteFile(model, path.c_str()), c.result) << c.name;
        EXPECT_EQ(colorsOf(model), c.expected) << c.name;
        expectGreySourcesAndCountsKept(model, c.modelSize, c.name);
        for (uint32_t i = c.modelSize; i < model.size(); ++i) {
            EXPECT_TRUE(model.editEntries[i].sources.none()) << c.name;
            EXPECT_EQ(model.editEntries[i].useCount, 0u) << c.name;
        }
    }
}

TEST(PaletteFileRead, CountAbove256ReadsOnlyTheFirst256Records) {
    const struct {
        uint32_t count;
        uint32_t records;
    } cases[] = {{257, 257}, {300, 300}, {0x7FFFFFFFu, 260}, {1000, 10}};
    for (const auto& c : cases) {
        const std::string path = testOutputPath("palette-long.plt");
        writeBytes(path, fileOf(c.count, rampRecords(c.records)));
        PaletteEditModel model = greyModel(16);
        const PaletteFileResult result = readPaletteFile(model, path.c_str());
        ASSERT_EQ(model.size(), 256u) << c.count;
        const uint32_t present = std::min<uint32_t>(c.records, 256);
        EXPECT_EQ(result, present < 256 ? PaletteFileShortRecords : PaletteFileOk) << c.count;
        for (uint32_t i = 0; i < 256; ++i)
            EXPECT_EQ(model.editEntries[i].color, rampColor(i < present ? i : present - 1))
                << c.count << " " << i;
    }
}

TEST(PaletteFileRead, SixteenColoursIntoA256EntryPalette) {
    const std::string path = testOutputPath("palette-16-in.plt");
    writeBytes(path, fileOf(16, rampRecords(16)));
    PaletteEditModel model = greyModel(256);
    ASSERT_EQ(readPaletteFile(model, path.c_str()), PaletteFileOk);
    ASSERT_EQ(model.size(), 256u);
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(model.editEntries[i].color, rampColor(i));
    for (uint32_t i = 16; i < 256; ++i)
        EXPECT_EQ(model.editEntries[i].color, RgbColor(uint8_t(i), uint8_t(i), uint8_t(i)));
    expectGreySourcesAndCountsKept(model, 256, "16 into 256");

    // The pixels keep their indices once the model is applied.
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(256, 1);
    for (uint32_t x = 0; x < 256; ++x) frame.bitmap->row(0)[x] = uint8_t(255 - x);
    model.applyToFrame(frame);
    for (uint32_t x = 0; x < 256; ++x) EXPECT_EQ(frame.bitmap->at(x, 0), 255 - x);
    EXPECT_EQ(frame.localTable.entries[3], rampColor(3));
}

TEST(PaletteFileRead, TwoHundredFiftySixColoursIntoASixteenEntryPalette) {
    const std::string path = testOutputPath("palette-256-in.plt");
    writeBytes(path, fileOf(256, rampRecords(256)));
    PaletteEditModel model = greyModel(16);
    ASSERT_EQ(readPaletteFile(model, path.c_str()), PaletteFileOk);
    ASSERT_EQ(model.size(), 256u);
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(model.editEntries[i].color, rampColor(i));
    expectGreySourcesAndCountsKept(model, 16, "256 into 16");
    for (uint32_t i = 16; i < 256; ++i) {
        EXPECT_TRUE(model.editEntries[i].sources.none());
        EXPECT_EQ(model.editEntries[i].useCount, 0u);
        EXPECT_EQ(model.editEntries[i].usePercent, 0.0f);
    }
    // No pixel takes one of the 240 new entries.
    const PaletteRemapTable remap = model.buildRemapTable();
    for (uint32_t s = 0; s < 256; ++s) EXPECT_LT(remap[s], 16);
}

TEST(PaletteFileErrors, UnopenablePathsLeaveModelAndDiskAlone) {
    const std::string missingFolder = testOutputPath("no-such-folder/palette.plt");
    const std::string folder = testOutputPath("");
    const struct {
        const char* name;
        const char* path;
    } cases[] = {
        {"missing file", "/no/such/velmora/palette.plt"},
        {"file in a missing folder", missingFolder.c_str()},
        {"a folder", folder.c_str()},
        {"empty path", ""},
        {"null path", nullptr},
    };
    for (const auto& c : cases) {
        PaletteEditModel model = greyModel(4);
        const PaletteFileResult read = readPaletteFile(model, c.path);
        // Opening a folder succeeds on Linux and fails on Windows; either way the read fails.
        EXPECT_TRUE(read == PaletteFileCannotOpen || read == PaletteFileReadFailed) << c.name << " " << read;
        EXPECT_EQ(model.size(), 4u) << c.name;
        expectGreySourcesAndCountsKept(model, 4, c.name);
        for (uint32_t i = 0; i < 4; ++i)
            EXPECT_EQ(model.editEntries[i].color, RgbColor(uint8_t(i), uint8_t(i), uint8_t(i)));

        EXPECT_EQ(writePaletteFile(model, c.path), PaletteFileCannotOpen) << c.name;
    }
    EXPECT_FALSE(fileExists(missingFolder));
}

#ifndef _WIN32
TEST(PaletteFileErrors, FullDiskIsReported) {
    // /dev/full accepts the open and refuses every byte.
    PaletteEditModel model = greyModel(8);
    EXPECT_EQ(writePaletteFile(model, "/dev/full"), PaletteFileWriteFailed);
}
#endif

}  // namespace
