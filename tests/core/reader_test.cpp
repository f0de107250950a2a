// GIF reader: hand-built files, each with its recipe in the builder calls.
#include <gtest/gtest.h>

#include "gif/document.h"
#include "gif/limits.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

namespace {

// Image data for the given pixels at minimum code size 2 (values 0..3).
Bytes lzw2(const Bytes& pixels) {
    return referenceLzwEncode(pixels, 2);
}

void readInto(GifAnimation& doc, const Bytes& bytes, ReadResult& result,
              const char* name = "reader-case.gif") {
    result = doc.readFile(writeTestFile(name, bytes).c_str());
}

Bytes rows(const IndexedBitmap& bitmap) {
    Bytes out;
    for (uint32_t y = 0; y < bitmap.height(); ++y)
        out.insert(out.end(), bitmap.row(y), bitmap.row(y) + bitmap.width());
    return out;
}

// A 4-colour global table, then the image blocks the test appends, then the trailer.
GifBytes withGlobalTable(uint16_t width = 4, uint16_t height = 4) {
    return std::move(
        GifBytes().header().screen(width, height, 0x81).colors({0x000000, 0xFF0000, 0x00FF00, 0x0000FF}));
}

TEST(Reader, HeaderResults) {
    struct Case {
        const char* name;
        Bytes bytes;
        ReadResult result;
    };
    const Bytes body =
        withGlobalTable().imageDescriptor(0, 0, 1, 1).imageData(2, lzw2({1})).trailer().bytes();
    auto withHeader = [&](const char* header) {
        Bytes b(header, header + 6);
        b.insert(b.end(), body.begin() + 6, body.end());
        return b;
    };
    const Case cases[] = {
        {"89a", withHeader("GIF89a"), ReadOk},
        {"87a", withHeader("GIF87a"), ReadOk},
        {"lower-case signature", withHeader("gif89a"), ReadNotGif},
        {"version 88a", withHeader("GIF88a"), ReadBadVersion},
        {"version in lower case", withHeader("GIF89A"), ReadBadVersion},
        {"empty file", {}, ReadNotGif},
        {"signature cut off", {'G', 'I'}, ReadNotGif},
        {"version cut off", {'G', 'I', 'F', '8', '9'}, ReadBadVersion},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifAnimation doc;
        // A document that held something before: 2 and 3 leave it empty with a 1 x 1 screen.
        ReadResult first;
        readInto(doc, withHeader("GIF89a"), first);
        doc.loopCount = 9;
        doc.screenWidth = 50;
        ReadResult result;
        readInto(doc, c.bytes, result);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(doc.frames.size(), c.result == ReadOk ? 1u : 0u);
        EXPECT_EQ(doc.loopCount, 1);
        if (c.result != ReadOk) {
            EXPECT_EQ(doc.screenWidth, 1);
            EXPECT_EQ(doc.screenHeight, 1);
        }
        EXPECT_EQ(doc.stream, nullptr);
    }
}

TEST(Reader, FileThatCannotBeOpenedLeavesTheFrames) {
    GifAnimation doc;
    ReadResult result;
    readInto(doc, withGlobalTable().imageDescriptor(0, 0, 1, 1).imageData(2, lzw2({1})).trailer().bytes(),
             result);
    ASSERT_EQ(doc.frames.size(), 1u);
    doc.loopForever = true;
    EXPECT_EQ(doc.readFile(testOutputPath("no-such-folder/missing.gif").c_str()), ReadCannotOpen);
    EXPECT_EQ(doc.frames.size(), 1u);
    EXPECT_TRUE(doc.hasGlobalTable);
    EXPECT_FALSE(doc.loopForever);  // the header fields are reset whether or not it opened
}

TEST(Reader, LogicalScreenAndGlobalTable) {
    struct Case {
        uint16_t width, height;
        uint8_t packed, background;
        uint16_t expectedWidth, expectedHeight;
        bool table;
        size_t entries;
    };
    const Case cases[] = {
        {3000, 100, 0x00, 7, 2000, 100, false, 0},
        {100, 2001, 0x80, 0, 100, 2000, true, 2},
        {2000, 2000, 0xF7, 255, 2000, 2000, true, 256},
        {0, 0, 0x02, 1, 0, 0, false, 0},  // a size field without the flag reads no table
        {65535, 65535, 0x91, 3, 2000, 2000, true, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " packed " << int(c.packed));
        GifBytes gif;
        gif.header().screen(c.width, c.height, c.packed, c.background).table(int(c.entries)).trailer();
        GifAnimation doc;
        ReadResult result;
        readInto(doc, gif.bytes(), result);
        EXPECT_EQ(result, ReadOk);
        EXPECT_EQ(doc.screenWidth, c.expectedWidth);
        EXPECT_EQ(doc.screenHeight, c.expectedHeight);
        EXPECT_EQ(doc.backgroundIndex, c.background);
        EXPECT_EQ(doc.hasGlobalTable, c.table);
        ASSERT_EQ(doc.globalTable.entries.size(), c.entries);
        for (size_t i = 0; i < c.entries; ++i) {
            EXPECT_EQ(doc.globalTable.entries[i], RgbColor(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)));
        }
    }
}

TEST(Reader, LoopCounts) {
    struct Case {
        const char* name;
        std::vector<Bytes> applicationBlocks;  // NETSCAPE2.0 sub-blocks; empty list = no block
        bool present;
        uint16_t loopCount;
        bool forever;
    };
    const Case cases[] = {
        {"absent", {}, false, 1, false},
        {"count 0 loops forever", {{1, 0, 0}}, true, 0, true},
        {"count 4 plays 5 times", {{1, 4, 0}}, true, 5, false},
        {"count 258", {{1, 2, 1}}, true, 259, false},
        {"count 65535 saturates", {{1, 0xFF, 0xFF}}, true, 65535, false},
        {"count 65534", {{1, 0xFE, 0xFF}}, true, 65535, false},
        {"no sub-block 1 still adds a play", {{2, 9, 9, 9}}, true, 2, false},
        {"empty chain still adds a play", {}, true, 2, false},
        {"sub-block 1 too short reads 0", {{1, 7}}, true, 0, true},
        {"last sub-block 1 wins", {{1, 3, 0}, {1, 6, 0}}, true, 7, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifBytes gif;
        gif.header().screen(1, 1);
        if (c.present) gif.application("NETSCAPE2.0", c.applicationBlocks);
        gif.imageDescriptor(0, 0, 1, 1).imageData(2, lzw2({0})).trailer();
        GifAnimation doc;
        ReadResult result;
        readInto(doc, gif.bytes(), result);
        EXPECT_EQ(result, ReadOk);
        EXPECT_EQ(doc.loopCount, c.loopCount);
        EXPECT_EQ(doc.loopForever, c.forever);
        EXPECT_EQ(doc.frames.size(), 1u);
    }
}

TEST(Reader, OtherApplicationExtensionsAreSkipped) {
    GifBytes gif;
    gif.header()
        .screen(1, 1)
        .application("NETSCAPE2.1", {{1, 4, 0}})  // not exactly NETSCAPE2.0: skipped
        .application("netscape2.0", {{1, 4, 0}})  // case matters
        .application("ANIMEXTS1.0", {{1, 4, 0}, Bytes(200, 0x2C)})
        .raw({0x21, 0x01, 3, 0x2C, 0x3B, 0x21, 0})  // plain text extension, skipped whole
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({3}))
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    EXPECT_EQ(doc.loopCount, 1);
    ASSERT_EQ(doc.frames.size(), 1u);
    EXPECT_EQ(doc.frames[0].bitmap->at(0, 0), 3);
}

TEST(Reader, GraphicControl) {
    struct Case {
        const char* name;
        Bytes block;  // after 0x21 0xF9
        uint32_t disposal;
        bool transparent;
        uint16_t delay;
        uint8_t index;
    };
    const Case cases[] = {
        // packed 0000 1001: disposal 2, transparent; delay 0x0102; index 3
        {"transparent", {4, 0x09, 0x02, 0x01, 3, 0}, 2, true, 258, 3},
        // packed 0000 0100: disposal 1, no transparency: index 3 becomes 0
        {"index without the flag", {4, 0x04, 10, 0, 3, 0}, 1, false, 10, 0},
        // packed 0001 1110: disposal 7 (kept as read), user input flag ignored
        {"disposal 7", {4, 0x1E, 0, 0, 0, 0}, 7, false, 0, 0},
        // packed 1110 0001: reserved bits ignored
        {"reserved bits", {4, 0xE1, 5, 0, 255, 0}, 0, true, 5, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifBytes gif;
        gif.header()
            .screen(2, 2)
            .raw({0x21, 0xF9})
            .raw(c.block)
            .imageDescriptor(0, 0, 2, 1)
            .imageData(2, lzw2({0, 1}))
            .trailer();
        GifAnimation doc;
        ReadResult result;
        readInto(doc, gif.bytes(), result);
        ASSERT_EQ(doc.frames.size(), 1u);
        const GifFrame& f = doc.frames[0];
        EXPECT_EQ(f.disposal, c.disposal);
        EXPECT_EQ(f.transparent, c.transparent);
        EXPECT_EQ(f.delay, c.delay);
        EXPECT_EQ(f.transparentIndex, c.index);
    }
}

TEST(Reader, GraphicControlBlockSizeOtherThanFour) {
    // Image 1 takes a proper control (transparent 2, delay 20, disposal 1). Then a block of
    // size 3 before image 2: it counts as present with the settings that stand; its packed
    // byte 0x00 and delay 7 are scanned over as other bytes.
    GifBytes gif;
    gif.header()
        .screen(2, 2, 0x81)
        .colors({0x111111, 0x222222, 0x333333, 0x444444})
        .graphicControl(0x05, 20, 2)
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({1}))
        .raw({0x21, 0xF9, 3, 0x00, 7, 0, 0})
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({2}))
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 2u);
    for (const GifFrame& f : doc.frames) {
        EXPECT_TRUE(f.transparent);
        EXPECT_EQ(f.transparentIndex, 2);
        EXPECT_EQ(f.delay, 20);
        EXPECT_EQ(f.disposal, 1u);
        EXPECT_EQ(f.bitmap->palette().entries[2], 0x00FFFFFFu);
    }
}

TEST(Reader, SecondImageWithoutItsOwnGraphicControlGetsDefaults) {
    GifBytes gif;
    gif.header()
        .screen(2, 2, 0x81)
        .colors({1, 2, 3, 4})
        .graphicControl(0x0D, 50, 1)
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({1}))
        .imageDescriptor(1, 1, 1, 1)
        .imageData(2, lzw2({1}))
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 2u);
    EXPECT_TRUE(doc.frames[0].transparent);
    EXPECT_EQ(doc.frames[0].delay, 50);
    EXPECT_EQ(doc.frames[0].disposal, 3u);
    const GifFrame& second = doc.frames[1];
    EXPECT_FALSE(second.transparent);
    EXPECT_EQ(second.transparentIndex, 0);
    EXPECT_EQ(second.delay, 0);
    EXPECT_EQ(second.disposal, 0u);
    EXPECT_EQ(second.bitmap->palette().entries[1], 0xFF000002u);  // opaque again
    EXPECT_EQ(second.bitmap->palette().flags, 0u);
}

TEST(Reader, PaletteOfTheFrameBitmap) {
    // Global table of 4, then a frame with a local table of 2 that is transparent at index 3
    // (beyond its own entries), then a frame on the global table transparent at 0.
    GifBytes gif;
    gif.header()
        .screen(4, 4, 0x81)
        .colors({0x102030, 0x405060, 0x708090, 0xA0B0C0})
        .graphicControl(0x01, 0, 3)
        .imageDescriptor(0, 0, 1, 1, 0x80)
        .colors({0xFF0000, 0x00FF00})
        .imageData(2, lzw2({1}))
        .graphicControl(0x01, 0, 0)
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({2}))
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 2u);
    const IndexedPalette& local = doc.frames[0].bitmap->palette();
    EXPECT_TRUE(doc.frames[0].hasLocalTable);
    EXPECT_EQ(doc.frames[0].localTable.entries.size(), 2u);
    EXPECT_EQ(local.count, 2u);
    EXPECT_EQ(local.flags, kPaletteFlagsHasAlpha);
    EXPECT_EQ(local.entries[0], 0xFFFF0000u);
    EXPECT_EQ(local.entries[1], 0xFF00FF00u);
    EXPECT_EQ(local.entries[2], 0u);
    EXPECT_EQ(local.entries[3], 0x00FFFFFFu);
    const IndexedPalette& global = doc.frames[1].bitmap->palette();
    EXPECT_FALSE(doc.frames[1].hasLocalTable);
    EXPECT_EQ(global.count, 4u);
    EXPECT_EQ(global.entries[0], 0x00FFFFFFu);
    EXPECT_EQ(global.entries[1], 0xFF405060u);
    EXPECT_EQ(global.entries[3], 0xFFA0B0C0u);
}

TEST(Reader, Comments) {
    GifBytes gif;
    gif.header()
        .screen(1, 1)
        .comment({"first"})
        .comment({"sec", std::string("ond\0hidden", 10), "-part"})  // a zero cuts its sub-block only
        .comment({})                                                // an empty chain: empty comment
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({0}))
        .comment({"for the second"})
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({0}))
        .comment({"after the last image"})
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 2u);
    EXPECT_EQ(doc.frames[0].comments, (std::vector<std::string>{"first", "second-part", ""}));
    EXPECT_EQ(doc.frames[1].comments, (std::vector<std::string>{"for the second"}));
    EXPECT_EQ(doc.pendingComments, (std::vector<std::string>{"after the last image"}));
}

TEST(Reader, ImageFieldsAndPixels) {
    const Bytes pixels = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 2, 2, 3, 3, 0, 0, 1, 2, 3, 0, 1};  // 7 x 3
    GifBytes gif;
    gif.header().screen(10, 10).imageDescriptor(300, 2, 7, 3).imageData(2, lzw2(pixels)).trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 1u);
    const GifFrame& f = doc.frames[0];
    EXPECT_EQ(f.left, 300);  // images may lie outside the screen
    EXPECT_EQ(f.top, 2);
    EXPECT_EQ(f.width(), 7u);
    EXPECT_EQ(f.height(), 3u);
    EXPECT_EQ(f.bitmap->stride(), 8u);
    EXPECT_FALSE(f.interlaced);
    EXPECT_FALSE(f.hasLocalTable);
    EXPECT_EQ(f.bitmap->palette().count, 0u);  // no table anywhere
    EXPECT_EQ(rows(*f.bitmap), pixels);
}

TEST(Reader, InterlacedImageOfTenRows) {
    // Row k of the file (each filled with k) lands on rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
    Bytes fileOrder;
    for (uint8_t k = 0; k < 10; ++k) fileOrder.insert(fileOrder.end(), 3, k);
    GifBytes gif;
    gif.header()
        .screen(3, 10)
        .imageDescriptor(0, 0, 3, 10, 0x40)
        .imageData(8, referenceLzwEncode(fileOrder, 8))
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 1u);
    EXPECT_TRUE(doc.frames[0].interlaced);
    const uint8_t destination[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (uint8_t k = 0; k < 10; ++k) {
        for (uint32_t x = 0; x < 3; ++x)
            EXPECT_EQ(doc.frames[0].bitmap->at(x, destination[k]), k) << "file row " << int(k);
    }
}

TEST(Reader, TrailerBeforeAnyImage) {
    GifBytes gif;
    gif.header().screen(5, 5).trailer().imageDescriptor(0, 0, 1, 1).imageData(2, lzw2({1}));
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    EXPECT_EQ(result, ReadOk);
    EXPECT_TRUE(doc.frames.empty());
}

TEST(Reader, EndOfFileAnywhere) {
    // A complete two-frame file, then every prefix of it: never more frames than images
    // begun, the result always 0, and a frame cut inside its data keeps the pixels decoded.
    const Bytes first = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 3, 3, 3, 3};
    GifBytes gif;
    gif.header()
        .screen(4, 4, 0x81)
        .colors({1, 2, 3, 4})
        .netscapeLoop(3)
        .comment({"hello"})
        .graphicControl(0x09, 4, 2)
        .imageDescriptor(0, 0, 4, 4)
        .imageData(2, lzw2(first), 2)
        .imageDescriptor(0, 0, 2, 2, 0x80)
        .colors({5, 6})
        .imageData(2, lzw2({1, 0, 0, 1}))
        .trailer();
    const Bytes whole = gif.bytes();
    const size_t firstImage = 6 + 7 + 12 + 19 + 9 + 8;  // header, screen, table, loop, comment, control
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        GifAnimation doc;
        ReadResult result;
        readInto(doc, Bytes(whole.begin(), whole.begin() + long(cut)), result);
        EXPECT_EQ(result, cut < 3 ? ReadNotGif : cut < 6 ? ReadBadVersion : ReadOk);
        EXPECT_LE(doc.frames.size(), 2u);
        if (cut >= firstImage + 11) {  // the first image's descriptor and code size are there: a frame
            ASSERT_GE(doc.frames.size(), 1u);
            const Bytes got = rows(*doc.frames[0].bitmap);
            // What was decoded is a prefix of the real pixels; the rest is 0.
            size_t same = 0;
            while (same < got.size() && got[same] == first[same]) ++same;
            for (size_t i = same; i < got.size(); ++i) EXPECT_EQ(got[i], 0) << "pixel " << i;
            EXPECT_EQ(doc.frames[0].comments.size(), 1u);
            EXPECT_EQ(doc.loopCount, 4);
        }
    }
}

TEST(Reader, DataCutOffMidImageKeepsTheFrame) {
    Bytes pixels(64);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(1 + i % 3);
    // 8-bit literal codes, a clear before each: the first 20 codes give the first 19 pixels.
    LzwCodePacker packer;
    packer.put(256, 9);
    for (int i = 0; i < 19; ++i) packer.put(pixels[size_t(i)], 9).put(256, 9);
    GifBytes gif;
    gif.header().screen(8, 8).imageDescriptor(0, 0, 8, 8).imageData(8, packer.bytes(), 255, false);
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    EXPECT_EQ(result, ReadOk);
    ASSERT_EQ(doc.frames.size(), 1u);
    Bytes expected(pixels.begin(), pixels.begin() + 19);
    expected.resize(64, 0);
    EXPECT_EQ(rows(*doc.frames[0].bitmap), expected);
}

TEST(Reader, BytesThatStartNoBlockArePassedOver) {
    GifBytes gif;
    gif.header()
        .screen(1, 1)
        .raw({0x00, 0x99, 0xFF, 0x01})
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({2}))
        .raw({0x42, 0x00, 0x80})
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({3}))
        .raw({0x77})
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 2u);
    EXPECT_EQ(doc.frames[0].bitmap->at(0, 0), 2);
    EXPECT_EQ(doc.frames[1].bitmap->at(0, 0), 3);
}

TEST(Reader, ImagesWithoutAPictureAreSkippedWithWhatWasMeantForThem) {
    struct Case {
        uint16_t width, height;
    };
    const Case cases[] = {{0, 5}, {5, 0}, {0, 0}, {8193, 8192}, {65535, 65535}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        GifBytes gif;
        gif.header()
            .screen(4, 4)
            .comment({"lost"})
            .graphicControl(0x09, 30, 1)
            .imageDescriptor(0, 0, c.width, c.height, 0x81)
            .table(4)
            .imageData(2, Bytes(300, 0x2C))
            .imageDescriptor(0, 0, 2, 1)
            .imageData(2, lzw2({3, 1}))
            .trailer();
        GifAnimation doc;
        ReadResult result;
        readInto(doc, gif.bytes(), result);
        ASSERT_EQ(doc.frames.size(), 1u);
        EXPECT_EQ(doc.frames[0].width(), 2u);
        EXPECT_FALSE(doc.frames[0].transparent);
        EXPECT_EQ(doc.frames[0].delay, 0);
        EXPECT_TRUE(doc.frames[0].comments.empty());
        EXPECT_EQ(doc.frames[0].bitmap->at(0, 0), 3);
    }
}

TEST(Reader, LargestAllowedImageIsRead) {
    // 8192 x 8192 = 2^26 pixels exactly: still a frame (all 0: the data ends at once).
    GifBytes gif;
    gif.header()
        .screen(4, 4)
        .imageDescriptor(0, 0, 8192, 8192)
        .imageData(2, packCodes({{4, 3}, {1, 3}}))
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    ASSERT_EQ(doc.frames.size(), 1u);
    EXPECT_EQ(doc.frames[0].bitmap->at(0, 0), 1);
    EXPECT_EQ(doc.frames[0].bitmap->at(8191, 8191), 0);
}

TEST(Reader, DocumentBudgetStopsReading) {
    // Each 8192 x 8192 frame costs 2^26 bytes plus its 1032-byte palette: 7 fit in 2^29, the
    // 8th does not, and reading stops there (a small frame after it is not read either).
    GifBytes gif;
    gif.header().screen(4, 4);
    for (int i = 0; i < 8; ++i)
        gif.imageDescriptor(0, 0, 8192, 8192).imageData(2, packCodes({{4, 3}, {5, 3}}));
    gif.imageDescriptor(0, 0, 1, 1).imageData(2, lzw2({1})).trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, gif.bytes(), result);
    EXPECT_EQ(result, ReadOk);
    EXPECT_EQ(doc.frames.size(), 7u);
}

TEST(Reader, NothingPendingLeaksIntoTheNextFile) {
    // File A ends with a graphic control and a comment that no image takes.
    GifBytes a;
    a.header()
        .screen(1, 1)
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({0}))
        .graphicControl(0x0D, 99, 1)
        .comment({"stray"})
        .trailer();
    // File B has a graphic control of size 2, which keeps the settings that stand.
    GifBytes b;
    b.header()
        .screen(1, 1)
        .raw({0x21, 0xF9, 2, 0, 0})
        .imageDescriptor(0, 0, 1, 1)
        .imageData(2, lzw2({0}))
        .trailer();
    GifAnimation doc;
    ReadResult result;
    readInto(doc, a.bytes(), result, "reader-a.gif");
    EXPECT_EQ(doc.pendingComments.size(), 1u);
    readInto(doc, b.bytes(), result, "reader-b.gif");
    ASSERT_EQ(doc.frames.size(), 1u);
    EXPECT_FALSE(doc.frames[0].transparent);
    EXPECT_EQ(doc.frames[0].delay, 0);
    EXPECT_EQ(doc.frames[0].disposal, 0u);
    EXPECT_TRUE(doc.frames[0].comments.empty());
    EXPECT_TRUE(doc.pendingComments.empty());
}

}  // namespace
