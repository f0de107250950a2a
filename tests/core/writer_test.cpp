// GifAnimation::writeFile: exact bytes for small documents (each expected file spelled out block
// by block), the colour-table layout rules, the repairs that keep every file valid, and saves
// that fail without touching the old file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "gif/bytebuffer.h"
#include "gif/document.h"
#include "gif/lzwencoder.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

// The 1x1 image of index 0 with minimum code size 2: clear 4, 0, end 5 in 3-bit codes.
const Bytes kOnePixelZero = {0x44, 0x01};

GifFrame frameOf(uint32_t width, uint32_t height, const Bytes& pixels = {}) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            frame.bitmap->row(y)[x] = pixels.empty() ? 0 : pixels[size_t(y) * width + x];
    return frame;
}

std::vector<RgbColor> colors(int count) {
    std::vector<RgbColor> result;
    for (int i = 0; i < count; ++i) result.emplace_back(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
    return result;
}

Bytes written(GifAnimation& doc, const std::string& name) {
    const std::string path = testOutputPath(name);
    std::remove(path.c_str());
    EXPECT_TRUE(doc.writeFile(path.c_str())) << name;
    return readWholeFile(path);
}

// Header and a screen of 1x1 without a global table.
GifBytes plainStart() {
    return GifBytes().header("GIF", "89a").screen(1, 1, 0, 0);
}

// A document with a 2-colour global table, and the start of its file.
GifAnimation& withTwoColors(GifAnimation& doc) {
    doc.hasGlobalTable = true;
    doc.globalTable.entries = colors(2);
    return doc;
}
GifBytes twoColorStart() {
    return GifBytes().header("GIF", "89a").screen(1, 1, 0x80, 0).table(2);
}

TEST(Writer, DocumentWithoutFramesIsHeaderScreenAndTrailer) {
    GifAnimation doc;
    EXPECT_EQ(written(doc, "writer-empty.gif"), plainStart().trailer().bytes());

    GifAnimation forever;
    forever.loopForever = true;
    forever.screenWidth = 300;
    forever.screenHeight = 2;
    forever.backgroundIndex = 9;
    EXPECT_EQ(written(forever, "writer-empty-forever.gif"),
              GifBytes().header().screen(300, 2, 0, 9).netscapeLoop(0).trailer().bytes());
}

TEST(Writer, LoopingBlockCountsRepeatsAfterTheFirstPlay) {
    struct Case {
        uint16_t loopCount;
        bool loopForever;
        int fileCount;  // -1: no looping block
    };
    const Case cases[] = {
        {1, false, -1},        {0, false, -1}, {2, false, 1}, {3, false, 2},
        {65535, false, 65534}, {3, true, 0},   {1, true, 0},  {0, true, 0},
    };
    for (const Case& c : cases) {
        GifAnimation doc;
        doc.loopCount = c.loopCount;
        doc.loopForever = c.loopForever;
        GifBytes expected = plainStart();
        if (c.fileCount >= 0) expected.netscapeLoop(uint16_t(c.fileCount));
        EXPECT_EQ(written(doc, "writer-loop.gif"), expected.trailer().bytes())
            << "loopCount " << c.loopCount << (c.loopForever ? " forever" : "");
    }
}

TEST(Writer, FrameWithoutGraphicSettingsStillGetsAGraphicControl) {
    GifAnimation doc;
    withTwoColors(doc).frames.push_back(frameOf(1, 1));
    const Bytes expected = twoColorStart()
                               .graphicControl(0, 0, 0)
                               .imageDescriptor(0, 0, 1, 1, 0)
                               .imageData(2, kOnePixelZero)
                               .trailer()
                               .bytes();
    EXPECT_EQ(written(doc, "writer-plain-frame.gif"), expected);
}

TEST(Writer, GraphicControlCarriesDisposalTransparencyDelayAndIndex) {
    struct Case {
        uint32_t disposal;
        bool transparent;
        uint16_t delay;
        uint8_t index;
        uint8_t packed;
    };
    const Case cases[] = {
        {0, false, 0, 0, 0x00},
        {1, false, 10, 0, 0x04},
        {2, true, 100, 1, 0x09},
        {3, true, 65535, 255, 0x0D},
        {7, false, 1, 5, 0x1C},
        {4, true, 258, 3, 0x11},
        // Only the low three bits of the disposal are a GIF field.
        {9, false, 0, 0, 0x04},
    };
    for (const Case& c : cases) {
        GifAnimation doc;
        withTwoColors(doc);
        GifFrame frame = frameOf(1, 1);
        frame.disposal = c.disposal;
        frame.transparent = c.transparent;
        frame.delay = c.delay;
        frame.transparentIndex = c.index;
        doc.frames.push_back(std::move(frame));
        const Bytes expected = twoColorStart()
                                   .graphicControl(c.packed, c.delay, c.index)
                                   .imageDescriptor(0, 0, 1, 1, 0)
                                   .imageData(2, kOnePixelZero)
                                   .trailer()
                                   .bytes();
        EXPECT_EQ(written(doc, "writer-control.gif"), expected) << "disposal " << c.disposal;
    }
}

TEST(Writer, CommentsGoInSubBlocksOf255) {
    const std::string long300(300, 'c');
    const std::string exact255(255, 'x');
    const std::string long510(510, 'y');
    GifAnimation doc;
    withTwoColors(doc);
    GifFrame frame = frameOf(1, 1);
    frame.comments = {long300, "", exact255, "hi", long510};
    doc.frames.push_back(std::move(frame));
    const Bytes expected = twoColorStart()
                               .graphicControl(0, 0, 0)
                               .comment({long300.substr(0, 255), long300.substr(255)})  // 255 + 45
                               .comment({})                      // empty: 21 FE 00
                               .comment({exact255})
                               .comment({"hi"})
                               .comment({long510.substr(0, 255), long510.substr(255)})
                               .imageDescriptor(0, 0, 1, 1, 0)
                               .imageData(2, kOnePixelZero)
                               .trailer()
                               .bytes();
    EXPECT_EQ(written(doc, "writer-comments.gif"), expected);
}

TEST(Writer, DescriptorCarriesOffsetsSizeInterlaceAndTheLocalTable) {
    GifAnimation doc;
    doc.screenWidth = 640;
    doc.screenHeight = 480;
    GifFrame frame = frameOf(1, 1);
    frame.left = 0x1234;
    frame.top = 0xFEDC;
    frame.interlaced = true;
    frame.hasLocalTable = true;
    frame.localTable.entries = colors(5);
    doc.frames.push_back(std::move(frame));
    // A 5-colour table: 8 entries written, the last three black, size field 2, code size 3.
    // The 1x1 stream at code size 3: clear 8, 0, end 9 in 4-bit codes = 0x908.
    const Bytes expected = GifBytes()
                               .header()
                               .screen(640, 480, 0, 0)
                               .graphicControl(0, 0, 0)
                               .imageDescriptor(0x1234, 0xFEDC, 1, 1, 0x80 | 0x40 | 2)
                               .table(5)
                               .colors({0, 0, 0})
                               .imageData(3, {0x08, 0x09})
                               .trailer()
                               .bytes();
    EXPECT_EQ(written(doc, "writer-descriptor.gif"), expected);
}

TEST(Writer, TableSizesFollowTheBitCount) {
    // n, size field, entries written, minimum code size: the table of the format rules.
    struct Case {
        int entries;
        int sizeField;
        int written;
        int codeSize;
    };
    const Case cases[] = {{1, 0, 2, 2},    {2, 0, 2, 2},     {3, 1, 4, 2},     {4, 1, 4, 2},
                          {5, 2, 8, 3},    {8, 2, 8, 3},     {9, 3, 16, 4},    {16, 3, 16, 4},
                          {17, 4, 32, 5},  {32, 4, 32, 5},   {33, 5, 64, 6},   {64, 5, 64, 6},
                          {65, 6, 128, 7}, {128, 6, 128, 7}, {129, 7, 256, 8}, {256, 7, 256, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries");
        // As the global table: the screen descriptor's packed byte and the table that follows.
        GifAnimation global;
        global.hasGlobalTable = true;
        global.globalTable.entries = colors(c.entries);
        global.frames.push_back(frameOf(1, 1));
        const Bytes g = written(global, "writer-table-global.gif");
        ASSERT_GT(g.size(), 13u + 3u * c.written + 8u + 10u);
        EXPECT_EQ(g[10], 0x80 | c.sizeField);
        const Bytes expectedTable =
            GifBytes().table(c.entries).raw(Bytes(size_t(3 * (c.written - c.entries)), 0)).bytes();
        EXPECT_EQ(Bytes(g.begin() + 13, g.begin() + 13 + 3 * c.written), expectedTable);
        const size_t image = 13 + 3 * size_t(c.written) + 8;  // after the graphic control
        EXPECT_EQ(g[image], 0x2C);
        EXPECT_EQ(g[image + 9], 0);  // no local table
        EXPECT_EQ(g[image + 10], c.codeSize);

        // As a local table: the descriptor's packed byte.
        GifAnimation local;
        GifFrame frame = frameOf(1, 1);
        frame.hasLocalTable = true;
        frame.localTable.entries = colors(c.entries);
        local.frames.push_back(std::move(frame));
        const Bytes l = written(local, "writer-table-local.gif");
        ASSERT_GT(l.size(), 13u + 8u + 10u + 3u * c.written);
        EXPECT_EQ(l[10], 0);
        EXPECT_EQ(l[13 + 8 + 9], 0x80 | c.sizeField);
        EXPECT_EQ(Bytes(l.begin() + 31, l.begin() + 31 + 3 * c.written), expectedTable);
        EXPECT_EQ(l[31 + 3 * size_t(c.written)], c.codeSize);
    }
}

TEST(Writer, MemoryOnlyFieldsAreNotWritten) {
    GifAnimation a, b;
    a.frames.push_back(frameOf(2, 2, {0, 1, 1, 0}));
    b.frames.push_back(frameOf(2, 2, {0, 1, 1, 0}));
    b.frames[0].title = "a title";
    b.frames[0].pinned = true;
    b.frames[0].sampleStep = 7;
    b.autoScreenSize = true;
    EXPECT_EQ(written(a, "writer-fields-a.gif"), written(b, "writer-fields-b.gif"));
}

// Repairs: a table the file cannot express, or indices the table does not reach, are written
// so that the file stays valid. Every row gives the document and the exact table and code size.
TEST(Writer, TablesAreWidenedToReachEveryIndex) {
    struct Case {
        const char* name;
        int localEntries;   // -1: no local table
        int globalEntries;  // -1: no global table
        uint8_t largestIndex;
        uint8_t screenPacked;      // 0x80 | size field when a global table is written
        int globalWritten;         // entries of the global table written (0: none)
        uint8_t descriptorPacked;  // 0x80 | size field when a local table is written
        int localWritten;
        int codeSize;
    };
    const Case cases[] = {
        // Indices inside the padded table: written exactly as the table rules say.
        {"5 colours, index 7", 5, -1, 7, 0, 0, 0x82, 8, 3},
        {"2 colours, index 3", 2, -1, 3, 0, 0, 0x81, 4, 2},
        // Beyond the padding: the table grows (black entries) and the code size with it.
        {"5 colours, index 9", 5, -1, 9, 0, 0, 0x83, 16, 4},
        {"1 colour, index 255", 1, -1, 255, 0, 0, 0x87, 256, 8},
        {"empty local table, index 0", 0, -1, 0, 0, 0, 0x80, 2, 2},
        {"empty local table, index 5", 0, -1, 5, 0, 0, 0x82, 8, 3},
        {"300 entries cut to 256", 300, -1, 255, 0, 0, 0x87, 256, 8},
        {"global of 2, index 200", -1, 2, 200, 0x87, 256, 0, 0, 8},
        {"global of 4, index 3", -1, 4, 3, 0x81, 4, 0, 0, 2},
        {"empty global table, index 1", -1, 0, 1, 0x80, 2, 0, 0, 2},
        {"global of 300 entries", -1, 300, 17, 0x87, 256, 0, 0, 8},
        // No table at all: a global table of black entries that reaches every index.
        {"no table, index 0", -1, -1, 0, 0x80, 2, 0, 0, 2},
        {"no table, index 6", -1, -1, 6, 0x82, 8, 0, 0, 3},
        {"no table, index 128", -1, -1, 128, 0x87, 256, 0, 0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifAnimation doc;
        if (c.globalEntries >= 0) {
            doc.hasGlobalTable = true;
            doc.globalTable.entries = colors(c.globalEntries);
        }
        GifFrame frame = frameOf(1, 2, {0, c.largestIndex});
        if (c.localEntries >= 0) {
            frame.hasLocalTable = true;
            frame.localTable.entries = colors(c.localEntries);
        }
        doc.frames.push_back(std::move(frame));
        const Bytes file = written(doc, "writer-repair.gif");

        auto tableBytes = [](int entries, int count) {
            const int own = std::min(entries, count);
            return GifBytes().table(own).raw(Bytes(size_t(3 * (count - own)), 0)).bytes();
        };
        GifBytes expected;
        expected.header().screen(1, 1, c.screenPacked, 0);
        if (c.globalWritten) expected.raw(tableBytes(std::max(c.globalEntries, 0), c.globalWritten));
        expected.graphicControl(0, 0, 0).imageDescriptor(0, 0, 1, 2, c.descriptorPacked);
        if (c.localWritten) expected.raw(tableBytes(c.localEntries, c.localWritten));
        ByteBuffer pixels;
        pixels.putByte(0);
        pixels.putByte(c.largestIndex);
        ByteBuffer stream;
        LzwEncoder(1, 2, pixels, uint32_t(c.codeSize)).encode(stream);
        expected.raw(Bytes(stream.bytes(), stream.bytes() + stream.tell())).trailer();
        EXPECT_EQ(file, expected.bytes());

        // Saving changes nothing in the document.
        EXPECT_EQ(doc.hasGlobalTable, c.globalEntries >= 0);
        EXPECT_EQ(int(doc.globalTable.entries.size()), std::max(c.globalEntries, 0));
        EXPECT_EQ(int(doc.frames[0].localTable.entries.size()), std::max(c.localEntries, 0));
    }
}

TEST(Writer, GlobalTableReachesTheLargestIndexOfEveryFrameThatUsesIt) {
    GifAnimation doc;
    doc.hasGlobalTable = true;
    doc.globalTable.entries = colors(4);
    doc.frames.push_back(frameOf(1, 1, {2}));
    GifFrame withLocal = frameOf(1, 1, {100});  // its own table reaches 100: not the global one's
    withLocal.hasLocalTable = true;
    withLocal.localTable.entries = colors(128);
    doc.frames.push_back(std::move(withLocal));
    doc.frames.push_back(frameOf(1, 1, {12}));
    const Bytes file = written(doc, "writer-global-reach.gif");
    EXPECT_EQ(file[10], 0x80 | 3);  // 16 entries reach index 12
    EXPECT_EQ(Bytes(file.begin() + 13, file.begin() + 25), GifBytes().table(4).bytes());
    EXPECT_EQ(Bytes(file.begin() + 25, file.begin() + 61), Bytes(36, 0));
}

TEST(Writer, LargeFramesStreamTheirCodesInOrder) {
    // A 2000x2000 noise frame encodes to several megabytes, more than the writer holds at once.
    std::mt19937 rng(17);
    const uint32_t side = 2000;
    Bytes pixels(size_t(side) * side);
    for (auto& p : pixels) p = uint8_t(rng());
    GifAnimation doc;
    doc.hasGlobalTable = true;
    doc.globalTable.entries = colors(256);
    doc.frames.push_back(frameOf(side, side, pixels));
    const Bytes file = written(doc, "writer-large.gif");

    ByteBuffer input;
    input.write(pixels.data(), int32_t(pixels.size()));
    ByteBuffer stream;
    LzwEncoder(side, side, input, 8).encode(stream);
    const size_t dataAt = 13 + 768 + 8 + 10;
    ASSERT_EQ(file.size(), dataAt + size_t(stream.tell()) + 1);
    EXPECT_TRUE(std::equal(file.begin() + long(dataAt), file.end() - 1, stream.bytes()));
    EXPECT_EQ(file.back(), 0x3B);
}

// --- Saves that fail -------------------------------------------------------------------------

bool onlyEntryIs(const fs::path& folder, const std::string& name) {
    int count = 0;
    bool found = false;
    for (const auto& entry : fs::directory_iterator(folder)) {
        ++count;
        found = found || entry.path().filename() == name;
    }
    return count == 1 && found;
}

GifAnimation& smallDocument(GifAnimation& doc) {
    doc.frames.push_back(frameOf(3, 3, {0, 1, 2, 3, 0, 1, 2, 3, 0}));
    return doc;
}

fs::path freshFolder(const std::string& name) {
    const fs::path folder = fs::path(testOutputPath(name));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(SafeSaving, ReplacesAnExistingFileAndLeavesNothingElse) {
    const fs::path folder = freshFolder("writer-replace");
    const std::string target = (folder / "out.gif").string();
    writeTestFile("writer-replace/out.gif", Bytes(5000, 0xAB));
    GifAnimation doc;
    ASSERT_TRUE(smallDocument(doc).writeFile(target.c_str()));
    const Bytes file = readWholeFile(target);
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
    EXPECT_EQ(file.back(), 0x3B);
    EXPECT_TRUE(onlyEntryIs(folder, "out.gif"));
}

TEST(SafeSaving, FailuresLeaveTheOldFileAndNoTemporaryFile) {
    const fs::path folder = freshFolder("writer-fail");
    const Bytes old = {'o', 'l', 'd', 0, 1, 2};
    writeTestFile("writer-fail/keep.txt", old);
    fs::create_directories(folder / "adir");
    writeTestFile("writer-fail/adir/inside.txt", old);
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"path is a folder", (folder / "adir").string()},
        {"parent is a regular file", (folder / "keep.txt" / "out.gif").string()},
        {"parent does not exist", (folder / "missing" / "out.gif").string()},
        {"empty path", ""},
    };
    for (const Case& c : cases) {
        GifAnimation doc;
        EXPECT_FALSE(smallDocument(doc).writeFile(c.path.c_str())) << c.name;
        EXPECT_EQ(doc.stream, nullptr) << c.name;
    }
    EXPECT_EQ(readWholeFile((folder / "keep.txt").string()), old);
    EXPECT_TRUE(fs::is_directory(folder / "adir"));
    EXPECT_TRUE(onlyEntryIs(folder / "adir", "inside.txt"));
    // Only what was there before: no temporary file beside the targets.
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        ++entries;
        EXPECT_TRUE(entry.path().filename() == "keep.txt" || entry.path().filename() == "adir")
            << entry.path();
    }
    EXPECT_EQ(entries, 2);
}

TEST(SafeSaving, FramesAGifCannotHoldAreRefusedBeforeAnythingIsCreated) {
    const fs::path folder = freshFolder("writer-refuse");
    const std::string target = (folder / "out.gif").string();
    const Bytes old = {1, 2, 3};
    writeTestFile("writer-refuse/out.gif", old);
    struct Case {
        const char* name;
        uint32_t width, height;  // 0: no bitmap at all
    };
    const Case cases[] = {
        {"no bitmap", 0, 0}, {"wider than 65535", 65536, 1}, {"taller than 65535", 1, 65536}};
    for (const Case& c : cases) {
        GifAnimation doc;
        doc.frames.push_back(frameOf(1, 1));
        GifFrame frame;
        if (c.width) frame.bitmap = IndexedBitmap::create(c.width, c.height);
        doc.frames.push_back(std::move(frame));
        EXPECT_FALSE(doc.writeFile(target.c_str())) << c.name;
        EXPECT_EQ(readWholeFile(target), old) << c.name;
        EXPECT_TRUE(onlyEntryIs(folder, "out.gif")) << c.name;
    }
    // The widest frame a GIF holds is written.
    GifAnimation doc;
    doc.frames.push_back(frameOf(65535, 1));
    EXPECT_TRUE(doc.writeFile(target.c_str()));
}

#ifndef _WIN32
// A write error in the middle of the file (the file-size limit stands in for a full disk; it
// stops writes even for root): the save fails and the old file stays.
TEST(SafeSaving, WriteErrorLeavesTheOldFile) {
    const fs::path folder = freshFolder("writer-write-error");
    const std::string target = (folder / "out.gif").string();
    const Bytes old(100, 7);
    writeTestFile("writer-write-error/out.gif", old);

    std::mt19937 rng(1);
    Bytes pixels(300 * 300);
    for (auto& p : pixels) p = uint8_t(rng());
    GifAnimation doc;
    doc.frames.push_back(frameOf(300, 300, pixels));

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool result = doc.writeFile(target.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result);
    EXPECT_EQ(readWholeFile(target), old);
    EXPECT_TRUE(onlyEntryIs(folder, "out.gif"));
}
#endif

}  // namespace
