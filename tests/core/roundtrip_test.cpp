// Write then read: random documents come back as they were (tables padded to their written
// size), and write -> read -> write gives the same bytes, also for every damaged file we keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "gif/document.h"
#include "support/gifbytes.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace fs = std::filesystem;

namespace {

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
        const size_t size = savedTableSize(written.globalTable.entries.size(), globalLargest);
        EXPECT_TRUE(read.globalTable.entries == paddedEntries(written.globalTable.entries, size));
    }

    ASSERT_EQ(read.frames.size(), written.frames.size());
    for (size_t i = 0; i < written.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const GifFrame& w = written.frames[i];
        const GifFrame& r = read.frames[i];
        ASSERT_EQ(r.width(), w.width());
        ASSERT_EQ(r.height(), w.height());
        for (uint32_t y = 0; y < w.height(); ++y)
            ASSERT_TRUE(std::equal(w.bitmap->row(y), w.bitmap->row(y) + w.width(), r.bitmap->row(y)))
                << "row " << y;
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
            const size_t size = savedTableSize(w.localTable.entries.size(), largestIndex(w));
            EXPECT_TRUE(r.localTable.entries == paddedEntries(w.localTable.entries, size));
        }
    }
}

TEST(RoundTrip, RandomDocumentsReadBackAsWritten) {
    TestRng rng(20261205);
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
