// Saving: exact bytes of small documents (each expected file spelled out block by block), saves
// that fail without touching the old file, and write -> read round trips, table repairs among them.
// The round-trip fuzz target replays the damaged files and its corpus through the same check.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "gif/document.h"
#include "support/gifbytes.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

GifFrame& addFrame(GifAnimation& doc, uint32_t width, uint32_t height, const Bytes& pixels = {}) {
    GifFrame& frame = doc.frames.emplace_back();
    frame.bitmap = IndexedBitmap::create(width, height);
    for (size_t i = 0; i < pixels.size(); ++i) frame.bitmap->row(uint32_t(i / width))[i % width] = pixels[i];
    return frame;
}

std::vector<RgbColor> colors(int count) {  // as GifBytes::table
    std::vector<RgbColor> result;
    for (int i = 0; i < count; ++i) result.emplace_back(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
    return result;
}

Bytes written(GifAnimation& doc) {
    const std::string path = testOutputPath("writer-case.gif");
    EXPECT_TRUE(doc.writeFile(path.c_str()));
    return readWholeFile(path);
}

// The 1x1 image of index 0 at minimum code size 2: clear 4, 0, end 5 in 3-bit codes.
const Bytes kOnePixel = {0x44, 0x01};

TEST(Writer, ExactBytesOfSmallDocuments) {
    using Build = std::function<void(GifAnimation&)>;
    auto twoColors = [](GifAnimation& d) -> GifFrame& {
        d.hasGlobalTable = true;
        d.globalTable.entries = colors(2);
        return addFrame(d, 1, 1);
    };
    // The 2-colour screen, a graphic control, then the 1x1 image.
    auto framed = [](uint8_t packed, uint16_t delay, uint8_t index) {
        return GifBytes().header().screen(1, 1, 0x80).table(2).graphicControl(packed, delay, index)
            .imageDescriptor(0, 0, 1, 1).imageData(2, kOnePixel).trailer().bytes();
    };
    const struct { const char* name; Build build; Bytes expected; } cases[] = {
        // The looping block counts repeats after the first play; one play needs no block.
        {"no frames, plays once", [](GifAnimation& d) { d.loopCount = 1; },
         GifBytes().header().screen(1, 1).trailer().bytes()},
        {"plays 3 times", [](GifAnimation& d) { d.loopCount = 3; },
         GifBytes().header().screen(1, 1).netscapeLoop(2).trailer().bytes()},
        // 65535 plays is what a file's 65535 reads as: it goes back unchanged.
        {"plays 65535 times", [](GifAnimation& d) { d.loopCount = 65535; },
         GifBytes().header().screen(1, 1).netscapeLoop(65535).trailer().bytes()},
        {"forever", [](GifAnimation& d) { d.loopForever = true, d.loopCount = 3, d.backgroundIndex = 9; },
         GifBytes().header().screen(1, 1, 0, 9).netscapeLoop(0).trailer().bytes()},
        // Without graphic settings a frame still gets a graphic control.
        {"plain frame, 2-colour table, code size 2", [&](GifAnimation& d) { twoColors(d); },
         framed(0, 0, 0)},
        // Disposal 2 (only the low three bits count), transparent, delay, index.
        {"graphic control",
         [&](GifAnimation& d) {
             GifFrame& f = twoColors(d);
             f.disposal = 10, f.transparent = true, f.delay = 258, f.transparentIndex = 3;
         },
         framed(0x09, 258, 3)},
        // A 5-colour local table goes as 8 entries (size field 2, code size 3); the 1x1 stream at
        // code size 3: clear 8, 0, end 9 in 4-bit codes.
        {"offsets, interlace, 5-colour local table",
         [](GifAnimation& d) {
             d.screenWidth = 640, d.screenHeight = 480;
             GifFrame& f = addFrame(d, 1, 1);
             f.left = 0x1234, f.top = 0xFEDC, f.interlaced = true, f.hasLocalTable = true;
             f.localTable.entries = colors(5);
         },
         GifBytes().header().screen(640, 480).graphicControl(0, 0, 0)
             .imageDescriptor(0x1234, 0xFEDC, 1, 1, 0xC2).table(5).colors({0, 0, 0})
             .imageData(3, {0x08, 0x09}).trailer().bytes()},
    };
    for (const auto& c : cases) {
        GifAnimation doc;
        c.build(doc);
        EXPECT_EQ(written(doc), c.expected) << c.name;
    }
}

// A folder holding out.gif ("old") and an empty folder adir.
fs::path freshFolder(const std::string& name) {
    fs::remove_all(testOutputPath(name));
    fs::create_directories(testOutputPath(name + "/adir"));
    writeTestFile(name + "/out.gif", {'o', 'l', 'd'});
    return fs::path(testOutputPath(name));
}
size_t entriesIn(const fs::path& folder) { return size_t(std::distance(fs::directory_iterator(folder), {})); }

TEST(SafeSaving, ReplacesTheOldFileOrLeavesItAloneAndNoTemporaryFile) {
    const fs::path folder = freshFolder("writer-safe");
    const std::string target = (folder / "out.gif").string();
    // The second frame's size; 0: no bitmap.
    const struct { const char* name; std::string path; uint32_t width, height; } cases[] = {
        {"path is a folder", (folder / "adir").string(), 1, 1},
        {"empty path", "", 1, 1},
        {"frame without a bitmap", target, 0, 0},
        {"wider than 65535", target, 65536, 1},
    };
    for (const auto& c : cases) {
        GifAnimation doc;
        addFrame(doc, 1, 1);
        GifFrame& second = doc.frames.emplace_back();
        if (c.width) second.bitmap = IndexedBitmap::create(c.width, c.height);
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(doc.writeFile(c.path.c_str()));
        EXPECT_EQ(readWholeFile(target), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(entriesIn(folder), 2u);
        EXPECT_EQ(entriesIn(folder / "adir"), 0u);
    }
    GifAnimation widest;
    addFrame(widest, 65535, 1);
    ASSERT_TRUE(widest.writeFile(target.c_str()));
    EXPECT_EQ(readWholeFile(target).back(), 0x3B);
    EXPECT_EQ(entriesIn(folder), 2u);
}

#ifndef _WIN32
// A write error in the middle of the file (the file-size limit stands in for a full disk; it
// stops writes even for root): the save fails and the old file stays.
TEST(SafeSaving, WriteErrorLeavesTheOldFile) {
    const fs::path folder = freshFolder("writer-write-error");
    const std::string target = (folder / "out.gif").string();
    std::mt19937 rng(1);
    Bytes pixels(300 * 300);
    for (auto& p : pixels) p = uint8_t(rng());
    GifAnimation doc;
    addFrame(doc, 300, 300, pixels);
    struct rlimit saved, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    small = {4096, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool result = doc.writeFile(target.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result);
    EXPECT_EQ(readWholeFile(target), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(entriesIn(folder), 2u);
}
#endif

// Write, read, write: the document reads back as it was (tables padded as saved) and the second
// file is byte for byte the first.
void expectRoundTrip(GifAnimation& doc) {
    const std::string first = testOutputPath("roundtrip-1.gif"), second = testOutputPath("roundtrip-2.gif");
    ASSERT_TRUE(doc.writeFile(first.c_str()));
    GifAnimation read;
    ASSERT_EQ(read.readFile(first.c_str()), ReadOk);
    // Endless stays endless (count 0); 0 and 1 play once; others come back as they were.
    EXPECT_EQ(std::tie(read.screenWidth, read.screenHeight, read.backgroundIndex, read.loopForever),
        std::tie(doc.screenWidth, doc.screenHeight, doc.backgroundIndex, doc.loopForever));
    EXPECT_EQ(read.loopCount, doc.loopForever ? 0 : std::max<uint16_t>(doc.loopCount, 1));
    ASSERT_EQ(read.frames.size(), doc.frames.size());
    bool globalChecked = false;
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const GifFrame &w = doc.frames[i], &r = read.frames[i];
        ASSERT_EQ(std::make_pair(r.width(), r.height()), std::make_pair(w.width(), w.height()));
        for (uint32_t y = 0; y < w.height(); ++y)
            ASSERT_TRUE(std::equal(w.bitmap->row(y), w.bitmap->row(y) + w.width(), r.bitmap->row(y)))
                << "row " << y;
        EXPECT_EQ(std::tie(r.left, r.top, r.delay, r.disposal, r.transparent, r.transparentIndex,
            r.interlaced, r.comments, r.hasLocalTable),
                  std::tie(w.left, w.top, w.delay, w.disposal, w.transparent, w.transparentIndex,
                      w.interlaced, w.comments, w.hasLocalTable));
        if (w.hasLocalTable || !globalChecked) {
            EXPECT_TRUE(savedColors(read, i) == savedColors(doc, i));
        }
        globalChecked |= !w.hasLocalTable;  // once: the global table's reach takes every frame
    }
    ASSERT_TRUE(read.writeFile(second.c_str()));
    ASSERT_EQ(readWholeFile(first), readWholeFile(second));
}

TEST(RoundTrip, RandomDocuments) {
    TestRng rng(20261205);
    for (int run = 0; run < 150; ++run) {
        SCOPED_TRACE(testing::Message() << "document " << run);
        GifAnimation doc;
        randomDocument(rng, doc);
        expectRoundTrip(doc);
    }
}

TEST(RoundTrip, EdgeDocuments) {
    // A table the file cannot express, or indices it does not reach: written padded with black to the
    // next power of two (at least 2, at most 256) that reaches every index. Local and global entries
    // (-1: none) and the largest index.
    for (auto [local, global, largest] : {std::tuple<int, int, uint8_t>{5, -1, 7}, {5, -1, 9}, {0, -1, 0},
             {300, -1, 255}, {-1, 2, 200}, {-1, 0, 1}, {-1, -1, 6}}) {
        SCOPED_TRACE(testing::Message() << local << " local, " << global << " global, " << int(largest));
        GifAnimation doc;
        doc.hasGlobalTable = global >= 0;
        doc.globalTable.entries = colors(std::max(global, 0));
        GifFrame& frame = addFrame(doc, 1, 2, {0, largest});
        frame.hasLocalTable = local >= 0;
        frame.localTable.entries = colors(std::max(local, 0));
        expectRoundTrip(doc);
        EXPECT_EQ(doc.frames[0].localTable.entries.size(), size_t(std::max(local, 0)));  // left as it was
    }
    // 2000 x 2000 noise: megabytes of codes, more than the writer holds at once.
    std::mt19937 rng(17);
    Bytes pixels(2000 * 2000);
    for (auto& p : pixels) p = uint8_t(rng());
    GifAnimation large;
    addFrame(large, 2000, 2000, pixels).hasLocalTable = true;
    large.frames[0].localTable.entries = colors(256);
    expectRoundTrip(large);
}

}  // namespace
