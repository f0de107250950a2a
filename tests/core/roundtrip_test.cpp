// Write then read: random documents come back as they were (tables padded to their written
// size), and write -> read -> write gives the same bytes, also for every damaged file we keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "gif/document.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

namespace fs = std::filesystem;

namespace {

struct Rng {
    std::mt19937 engine;
    explicit Rng(uint32_t seed) : engine(seed) {}
    int upTo(int most) { return std::uniform_int_distribution<int>(0, most)(engine); }
    int between(int least, int most) { return std::uniform_int_distribution<int>(least, most)(engine); }
    bool chance(int percent) { return upTo(99) < percent; }
};

std::vector<RgbColor> randomColors(Rng& rng, int count) {
    std::vector<RgbColor> result;
    for (int i = 0; i < count; ++i)
        result.emplace_back(uint8_t(rng.upTo(255)), uint8_t(rng.upTo(255)), uint8_t(rng.upTo(255)));
    return result;
}

std::string randomComment(Rng& rng) {
    const int kind = rng.upTo(3);
    const int length = kind == 0 ? 0 : kind == 1 ? rng.between(1, 40) : rng.between(200, 800);
    std::string text;
    // Any byte but 0, which a comment sub-block cannot carry.
    for (int i = 0; i < length; ++i) text.push_back(char(rng.between(1, 255)));
    return text;
}

// Fills a frame with indices below `limit`: noise, runs or a single colour.
void fillPixels(Rng& rng, IndexedBitmap& bitmap, int limit) {
    const int kind = rng.upTo(2);
    uint8_t value = uint8_t(rng.upTo(limit - 1));
    for (uint32_t y = 0; y < bitmap.height(); ++y) {
        for (uint32_t x = 0; x < bitmap.width(); ++x) {
            if (kind == 0 || (kind == 1 && rng.chance(5))) value = uint8_t(rng.upTo(limit - 1));
            bitmap.row(y)[x] = value;
        }
    }
}

void randomDocument(Rng& rng, GifAnimation& doc) {
    doc.screenWidth = uint16_t(rng.between(1, 2000));
    doc.screenHeight = uint16_t(rng.between(1, 2000));
    doc.backgroundIndex = uint8_t(rng.upTo(255));
    doc.loopForever = rng.chance(30);
    doc.loopCount = uint16_t(rng.chance(10) ? 65535 : rng.upTo(5));
    doc.hasGlobalTable = rng.chance(70);
    if (doc.hasGlobalTable) doc.globalTable.entries = randomColors(rng, rng.between(1, 256));
    const int frameCount = rng.upTo(5);
    for (int f = 0; f < frameCount; ++f) {
        GifFrame frame;
        const bool big = rng.chance(5);
        frame.bitmap = IndexedBitmap::create(uint32_t(rng.between(1, big ? 700 : 40)),
                                             uint32_t(rng.between(1, big ? 500 : 40)));
        frame.left = uint16_t(rng.upTo(65535));
        frame.top = uint16_t(rng.upTo(65535));
        frame.delay = uint16_t(rng.chance(20) ? 65535 : rng.upTo(500));
        frame.disposal = uint32_t(rng.upTo(7));
        frame.transparent = rng.chance(40);
        frame.transparentIndex = frame.transparent ? uint8_t(rng.upTo(255)) : 0;
        frame.interlaced = rng.chance(40);
        const int comments = rng.chance(50) ? 0 : rng.between(1, 3);
        for (int c = 0; c < comments; ++c) frame.comments.push_back(randomComment(rng));
        frame.hasLocalTable = rng.chance(50);
        if (frame.hasLocalTable) frame.localTable.entries = randomColors(rng, rng.between(1, 256));
        const size_t ownColors = frame.hasLocalTable ? frame.localTable.entries.size()
                                 : doc.hasGlobalTable ? doc.globalTable.entries.size()
                                                      : 0;
        // Mostly indices the table has; sometimes any byte, which the writer must make room for.
        const int limit = ownColors == 0 || rng.chance(15) ? 256 : int(ownColors);
        fillPixels(rng, *frame.bitmap, limit);
        doc.frames.push_back(std::move(frame));
    }
}

int largestIndex(const GifFrame& frame) {
    int largest = 0;
    for (uint32_t y = 0; y < frame.height(); ++y)
        for (uint32_t x = 0; x < frame.width(); ++x) largest = std::max<int>(largest, frame.bitmap->at(x, y));
    return largest;
}

// The number of entries a table is written with: a power of two of at least 2 that holds the
// table (at most 256 of it) and every index of the frames using it.
size_t writtenSize(size_t entries, int largest) {
    const size_t needed = std::max<size_t>(std::min<size_t>(entries, 256), size_t(largest) + 1);
    size_t size = 2;
    while (size < needed) size *= 2;
    return size;
}

std::vector<RgbColor> padded(const std::vector<RgbColor>& entries, size_t size) {
    std::vector<RgbColor> result(entries.begin(), entries.begin() + long(std::min(size, entries.size())));
    result.resize(size);
    return result;
}

void expectReadBackAsWritten(const GifAnimation& written, const GifAnimation& read) {
    EXPECT_EQ(read.screenWidth, written.screenWidth);
    EXPECT_EQ(read.screenHeight, written.screenHeight);
    EXPECT_EQ(read.backgroundIndex, written.backgroundIndex);
    // Plays: endless stays endless (count 0); 0 and 1 play once; others come back as they were.
    EXPECT_EQ(read.loopForever, written.loopForever);
    EXPECT_EQ(read.loopCount, written.loopForever ? 0 : std::max<uint16_t>(written.loopCount, 1));

    bool anyWithoutLocal = false;
    int globalLargest = 0;
    for (const GifFrame& f : written.frames) {
        if (f.hasLocalTable) continue;
        anyWithoutLocal = true;
        globalLargest = std::max(globalLargest, largestIndex(f));
    }
    EXPECT_EQ(read.hasGlobalTable, written.hasGlobalTable || anyWithoutLocal);
    if (read.hasGlobalTable) {
        const size_t size = writtenSize(written.globalTable.entries.size(), globalLargest);
        EXPECT_TRUE(read.globalTable.entries == padded(written.globalTable.entries, size));
    }

    ASSERT_EQ(read.frames.size(), written.frames.size());
    for (size_t i = 0; i < written.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const GifFrame& w = written.frames[i];
        const GifFrame& r = read.frames[i];
        ASSERT_EQ(r.width(), w.width());
        ASSERT_EQ(r.height(), w.height());
        for (uint32_t y = 0; y < w.height(); ++y)
            ASSERT_TRUE(std::equal(w.bitmap->row(y), w.bitmap->row(y) + w.width(), r.bitmap->row(y))) << "row " << y;
        EXPECT_EQ(r.left, w.left);
        EXPECT_EQ(r.top, w.top);
        EXPECT_EQ(r.delay, w.delay);
        EXPECT_EQ(r.disposal, w.disposal);
        EXPECT_EQ(r.transparent, w.transparent);
        EXPECT_EQ(r.transparentIndex, w.transparentIndex);
        EXPECT_EQ(r.interlaced, w.interlaced);
        EXPECT_EQ(r.comments, w.comments);
        EXPECT_EQ(r.hasLocalTable, w.hasLocalTable);
        if (w.hasLocalTable) {
            const size_t size = writtenSize(w.localTable.entries.size(), largestIndex(w));
            EXPECT_TRUE(r.localTable.entries == padded(w.localTable.entries, size));
        }
    }
}

TEST(RoundTrip, RandomDocumentsReadBackAsWritten) {
    Rng rng(20261205);
    const std::string first = testOutputPath("roundtrip-1.gif");
    const std::string second = testOutputPath("roundtrip-2.gif");
    for (int run = 0; run < 150; ++run) {
        SCOPED_TRACE(testing::Message() << "document " << run);
        GifAnimation doc;
        randomDocument(rng, doc);
        ASSERT_TRUE(doc.writeFile(first.c_str()));
        GifAnimation read;
        ASSERT_EQ(read.readFile(first.c_str()), ReadOk);
        expectReadBackAsWritten(doc, read);
        ASSERT_TRUE(read.writeFile(second.c_str()));
        ASSERT_EQ(readWholeFile(first), readWholeFile(second));
    }
}

TEST(RoundTrip, EdgeDocumentsReadBackAsWritten) {
    struct Case {
        const char* name;
        void (*build)(GifAnimation&);
    };
    const Case cases[] = {
        {"no frames", [](GifAnimation&) {}},
        {"no frames, endless", [](GifAnimation& d) { d.loopForever = true; }},
        {"one pixel", [](GifAnimation& d) { d.frames.emplace_back().bitmap = IndexedBitmap::create(1, 1); }},
        {"most plays",
         [](GifAnimation& d) {
             d.loopCount = 65535;
             d.frames.emplace_back().bitmap = IndexedBitmap::create(3, 1);
         }},
        {"interlaced rows 1 to 9",
         [](GifAnimation& d) {
             for (uint32_t h = 1; h <= 9; ++h) {
                 GifFrame& f = d.frames.emplace_back();
                 f.bitmap = IndexedBitmap::create(2, h);
                 for (uint32_t y = 0; y < h; ++y) f.bitmap->row(y)[0] = f.bitmap->row(y)[1] = uint8_t(y);
                 f.interlaced = true;
             }
         }},
        {"2000x2000 runs",
         [](GifAnimation& d) {
             GifFrame& f = d.frames.emplace_back();
             f.bitmap = IndexedBitmap::create(2000, 2000);
             for (uint32_t y = 0; y < 2000; ++y)
                 for (uint32_t x = 0; x < 2000; ++x) f.bitmap->row(y)[x] = uint8_t((x / 37 + y / 11) & 255);
             f.hasLocalTable = true;
             f.localTable.entries.resize(256);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifAnimation doc;
        c.build(doc);
        const std::string path = testOutputPath("roundtrip-edge.gif");
        ASSERT_TRUE(doc.writeFile(path.c_str()));
        GifAnimation read;
        ASSERT_EQ(read.readFile(path.c_str()), ReadOk);
        expectReadBackAsWritten(doc, read);
    }
}

// Every damaged or odd file we keep: once read, what we write reads back to the same pictures
// and writes again to the same bytes, however broken the original was.
TEST(RoundTrip, KeptFilesSettleAfterOneWrite) {
    size_t files = 0;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(testDataPath(""), error)) {
        if (!entry.is_regular_file()) continue;
        const std::string source = entry.path().string();
        SCOPED_TRACE(source);
        GifAnimation original;
        if (original.readFile(source.c_str()) != ReadOk) continue;
        ++files;
        const std::string first = testOutputPath("roundtrip-kept-1.gif");
        const std::string second = testOutputPath("roundtrip-kept-2.gif");
        ASSERT_TRUE(original.writeFile(first.c_str()));
        GifAnimation read;
        ASSERT_EQ(read.readFile(first.c_str()), ReadOk);
        expectReadBackAsWritten(original, read);
        ASSERT_TRUE(read.writeFile(second.c_str()));
        ASSERT_EQ(readWholeFile(first), readWholeFile(second));
    }
    EXPECT_GT(files, 10u);
}

}  // namespace
