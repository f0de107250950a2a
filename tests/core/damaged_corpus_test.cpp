// Every file of tests/data with its documented outcome (see tests/data/README.md for how each
// file was made). Other modules keep sample files in the same folder; those only have to read.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "gif/document.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

namespace {

using Check = std::function<void(const GifAnimation&)>;

struct Outcome {
    const char* file;
    ReadResult result;
    size_t frames;
    Check check;  // further facts, may be empty
};

uint8_t pixel(const GifAnimation& doc, size_t frame, uint32_t x, uint32_t y) {
    return doc.frames[frame].bitmap->at(x, y);
}

const Outcome kOutcomes[] = {
    {"empty.gif", ReadNotGif, 0, nullptr},
    {"signature-only.gif", ReadBadVersion, 0, nullptr},  // the missing version reads as zeros
    {"lowercase-signature.gif", ReadNotGif, 0, nullptr},
    {"version-88a.gif", ReadBadVersion, 0, nullptr},
    {"truncated-header.gif", ReadBadVersion, 0, nullptr},
    {"truncated-screen.gif", ReadOk, 0,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.screenWidth, 320);  // 40 01
         EXPECT_EQ(d.screenHeight, 32);  // 20, then a missing byte read as 0
     }},
    {"truncated-global-table.gif", ReadOk, 0,
     [](const GifAnimation& d) {
         ASSERT_EQ(d.globalTable.entries.size(), 256u);
         EXPECT_EQ(d.globalTable.entries[1], RgbColor(1, 254, 7));
         EXPECT_EQ(d.globalTable.entries[3], RgbColor(3, 0, 0));  // 10 bytes: entry 3 has its red only
         EXPECT_EQ(d.globalTable.entries[255], RgbColor(0, 0, 0));
     }},
    {"truncated-descriptor.gif", ReadOk, 0, nullptr},  // width and height read as 0: no picture
    {"truncated-mid-image.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         // 146 data bytes made it: 129 nine-bit codes, a clear and the first 128 pixels (8 rows).
         const GifFrame& f = d.frames[0];
         EXPECT_EQ(f.delay, 10);
         EXPECT_TRUE(f.transparent);
         EXPECT_EQ(f.transparentIndex, 3);
         EXPECT_EQ(f.disposal, 1u);
         for (uint32_t y = 0; y < 16; ++y) {
             for (uint32_t x = 0; x < 16; ++x)
                 EXPECT_EQ(f.bitmap->at(x, y), y < 8 ? x + y : 0) << x << "," << y;
         }
     }},
    {"truncated-graphic-control.gif", ReadOk, 0,
     [](const GifAnimation& d) {
         EXPECT_TRUE(d.pendingControl.present);
         EXPECT_EQ(d.pendingControl.delay, 42);
         EXPECT_EQ(d.pendingControl.transparentIndex, 0);
     }},
    {"truncated-local-table.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         const GifFrame& f = d.frames[0];
         ASSERT_EQ(f.localTable.entries.size(), 256u);
         EXPECT_EQ(f.localTable.entries[2], RgbColor(2, 253, 14));
         EXPECT_EQ(f.localTable.entries[3], RgbColor(0, 0, 0));
         for (uint32_t y = 0; y < 2; ++y) EXPECT_EQ(pixel(d, 0, 0, y) + pixel(d, 0, 1, y), 0);
     }},
    {"oversized-screen.gif", ReadOk, 0,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.screenWidth, 2000);
         EXPECT_EQ(d.screenHeight, 2000);
     }},
    {"oversized-image.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         // The 65535 x 65535 image is skipped with its graphic control; the 2 x 2 one is read.
         EXPECT_EQ(d.frames[0].width(), 2u);
         EXPECT_FALSE(d.frames[0].transparent);
         EXPECT_EQ(d.frames[0].delay, 0);
         EXPECT_EQ(pixel(d, 0, 0, 0), 1);
         EXPECT_EQ(pixel(d, 0, 1, 1), 4);
     }},
    {"zero-size-image.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.frames[0].width(), 3u);
         EXPECT_EQ(d.frames[0].delay, 0);
         EXPECT_EQ(pixel(d, 0, 2, 0), 9);
     }},
    {"garbage-between-blocks.gif", ReadOk, 2,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.frames[0].delay, 10);
         EXPECT_EQ(pixel(d, 0, 15, 15), 30);
         EXPECT_EQ(pixel(d, 1, 0, 0), 5);
     }},
    {"endless-comment.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         ASSERT_EQ(d.pendingComments.size(), 1u);
         EXPECT_EQ(d.pendingComments[0], std::string(300 * 255, 'A'));
     }},
    {"endless-image-data.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         const IndexedBitmap& b = *d.frames[0].bitmap;
         for (uint32_t i = 0; i < 40000; i += 997) EXPECT_EQ(b.at(i % 1000, i / 1000), i % 251);
         EXPECT_EQ(b.at(999, 39), 39999 % 251);
         EXPECT_EQ(b.at(0, 40), 0);
         EXPECT_EQ(b.at(999, 999), 0);
     }},
    {"endless-unknown-extension.gif", ReadOk, 0, nullptr},
    {"code-size-12.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         for (uint32_t y = 0; y < 4; ++y) {
             for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(pixel(d, 0, x, y), 0);
         }
     }},
    {"code-above-next-free.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         EXPECT_EQ(pixel(d, 0, 0, 0), 1);
         EXPECT_EQ(pixel(d, 0, 1, 0), 0);
         EXPECT_EQ(pixel(d, 0, 3, 0), 0);
     }},
    {"stack-overflow-chain.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         const uint8_t expected[8] = {0, 0, 0, 6, 0, 0, 0, 0};
         for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(pixel(d, 0, i % 4, i / 4), expected[i]) << i;
     }},
    {"graphic-control-size-3.gif", ReadOk, 2,
     [](const GifAnimation& d) {
         for (const GifFrame& f : d.frames) {
             EXPECT_TRUE(f.transparent);
             EXPECT_EQ(f.transparentIndex, 3);
             EXPECT_EQ(f.delay, 20);
         }
     }},
    {"loop-count-65535.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.loopCount, 65535);
         EXPECT_FALSE(d.loopForever);
     }},
    {"looping-sub-block-short.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.loopCount, 0);
         EXPECT_TRUE(d.loopForever);
     }},
    {"looping-without-count.gif", ReadOk, 1,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.loopCount, 2);
         EXPECT_FALSE(d.loopForever);
     }},
    {"application-size-10.gif", ReadOk, 1, [](const GifAnimation& d) { EXPECT_EQ(d.loopCount, 1); }},
    {"many-tiny-frames.gif", ReadOk, 3000,
     [](const GifAnimation& d) {
         for (size_t i = 0; i < d.frames.size(); i += 7) EXPECT_EQ(pixel(d, i, 0, 0), i & 255);
     }},
    {"all-ff.gif", ReadOk, 0,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.screenWidth, 2000);
         EXPECT_EQ(d.backgroundIndex, 255);
         ASSERT_EQ(d.globalTable.entries.size(), 256u);
         EXPECT_EQ(d.globalTable.entries[255], RgbColor(255, 255, 255));
     }},
    {"all-zero.gif", ReadOk, 0,
     [](const GifAnimation& d) {
         EXPECT_EQ(d.screenWidth, 0);
         EXPECT_FALSE(d.hasGlobalTable);
     }},
    {"trailer-in-unused-sub-block.gif", ReadOk, 1,
     [](const GifAnimation& d) { EXPECT_EQ(pixel(d, 0, 0, 0), 1); }},
};

TEST(DamagedCorpus, EveryFileReadsWithItsDocumentedOutcome) {
    for (const Outcome& o : kOutcomes) {
        SCOPED_TRACE(o.file);
        GifAnimation doc;
        EXPECT_EQ(doc.readFile(testDataPath(o.file).c_str()), o.result);
        EXPECT_EQ(doc.stream, nullptr);
        ASSERT_EQ(doc.frames.size(), o.frames);
        if (o.check) o.check(doc);
    }
}

TEST(DamagedCorpus, EveryRowHasItsRecipe) {
    const Bytes readme = readWholeFile(testDataPath("README.md"));
    const std::string text(readme.begin(), readme.end());
    for (const Outcome& o : kOutcomes) {
        EXPECT_NE(text.find(std::string("| ") + o.file + " |"), std::string::npos)
            << o.file << " has no recipe";
    }
}

// tests/data also holds sample files of other modules: they must read without harm too.
TEST(DamagedCorpus, EveryOtherGifOfTheFolderReads) {
    std::set<std::string> listed;
    for (const Outcome& o : kOutcomes) listed.insert(o.file);
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_TEST_DATA)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".gif" || listed.count(name)) continue;
        SCOPED_TRACE(name);
        GifAnimation doc;
        EXPECT_LE(uint32_t(doc.readFile(testDataPath(name).c_str())), uint32_t(ReadBadVersion));
        for (const GifFrame& f : doc.frames) EXPECT_TRUE(f.bitmap != nullptr);
    }
}

}  // namespace
