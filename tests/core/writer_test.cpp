// Saving: exact bytes of small documents (each expected file spelled out block by block), saves
// that fail without touching the old file, and write -> read round trips, table repairs among them.
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

TEST(Writer, ExactBytesOfSmallDocuments) {
    auto screen = [](uint16_t w, uint16_t h, uint8_t packed = 0, uint8_t bg = 0) {
        return GifBytes().header().screen(w, h, packed, bg);
    };
    const struct {
        const char* name;
        std::function<void(GifAnimation&)> build;
        Bytes expected;
    } cases[] = {
        // The looping block counts repeats after the first play; one play needs no block, and
        // 65535 plays, what a file's 65535 reads as, goes back unchanged.
        {"plays once", [](GifAnimation& d) { d.loopCount = 1; }, screen(1, 1).trailer().bytes()},
        {"plays 3 times", [](GifAnimation& d) { d.loopCount = 3; },
         screen(1, 1).netscapeLoop(2).trailer().bytes()},
        {"plays 65535 times", [](GifAnimation& d) { d.loopCount = 65535; },
         screen(1, 1).netscapeLoop(65535).trailer().bytes()},
        {"forever", [](GifAnimation& d) { d.loopForever = true, d.loopCount = 3, d.backgroundIndex = 9; },
         screen(1, 1, 0, 9).netscapeLoop(0).trailer().bytes()},
        // Disposal 2 (only the low three bits count), transparent, delay, index; 1x1 of index 0 at
        // code size 2: clear 4, 0, end 5 in 3-bit codes.
        {"graphic control",
         [](GifAnimation& d) {
             d.hasGlobalTable = true, d.globalTable.entries = colors(2);
             GifFrame& f = addFrame(d, 1, 1);
             f.disposal = 10, f.transparent = true, f.delay = 258, f.transparentIndex = 3;
         },
         screen(1, 1, 0x80)
             .table(2)
             .graphicControl(0x09, 258, 3)
             .imageDescriptor(0, 0, 1, 1)
             .imageData(2, {0x44, 0x01})
             .trailer()
             .bytes()},
        // Without graphic settings a frame still gets a graphic control. A 5-colour local table
        // goes as 8 entries (size field 2, code size 3: clear 8, 0, end 9 in 4-bit codes).
        {"offsets, interlace, 5-colour local table",
         [](GifAnimation& d) {
             d.screenWidth = 640, d.screenHeight = 480;
             GifFrame& f = addFrame(d, 1, 1);
             f.left = 0x1234, f.top = 0xFEDC, f.interlaced = true, f.hasLocalTable = true;
             f.localTable.entries = colors(5);
         },
         screen(640, 480)
             .graphicControl(0, 0, 0)
             .imageDescriptor(0x1234, 0xFEDC, 1, 1, 0xC2)
             .table(5)
             .colors({0, 0, 0})
             .imageData(3, {0x08, 0x09})
             .trailer()
             .bytes()},
    };
    const std::string path = testOutputPath("writer-case.gif");
    for (const auto& c : cases) {
        GifAnimation doc;
        c.build(doc);
        EXPECT_TRUE(doc.writeFile(path.c_str()));
        EXPECT_EQ(readWholeFile(path), c.expected) << c.name;
    }
}

// A folder holding out.gif ("old") and an empty folder adir; a failed save leaves both so, with no
// temporary file beside them.
struct SaveFolder {
    fs::path folder;
    std::string target;
    explicit SaveFolder(const std::string& name)
        : folder(testOutputPath(name)), target((folder / "out.gif").string()) {
        fs::remove_all(folder);
        fs::create_directories(folder / "adir");
        writeTestFile(name + "/out.gif", {'o', 'l', 'd'});
    }
    void expectUntouched() const {
        EXPECT_EQ(readWholeFile(target), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);
        EXPECT_TRUE(fs::is_empty(folder / "adir"));
    }
};

TEST(SafeSaving, ReplacesTheOldFileOrLeavesItAlone) {
    const SaveFolder f("writer-safe");
    // The second frame's size; 0: no bitmap.
    const struct {
        std::string path;
        uint32_t width;
    } cases[] = {{(f.folder / "adir").string(), 1}, {"", 1}, {f.target, 0}, {f.target, 65536}};
    for (const auto& c : cases) {
        GifAnimation doc;
        addFrame(doc, 1, 1);
        GifFrame& second = doc.frames.emplace_back();
        if (c.width) second.bitmap = IndexedBitmap::create(c.width, 1);
        EXPECT_FALSE(doc.writeFile(c.path.c_str())) << c.path << c.width;
        f.expectUntouched();
    }
    GifAnimation widest;
    addFrame(widest, 65535, 1);
    ASSERT_TRUE(widest.writeFile(f.target.c_str()));
    EXPECT_EQ(readWholeFile(f.target).back(), 0x3B);
    EXPECT_EQ(std::distance(fs::directory_iterator(f.folder), {}), 2);
}

#ifndef _WIN32
// A write error in the middle of the file (the file-size limit stands in for a full disk; it
// stops writes even for root): the save fails and the old file stays.
TEST(SafeSaving, WriteErrorLeavesTheOldFile) {
    const SaveFolder f("writer-write-error");
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
    const bool result = doc.writeFile(f.target.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result);
    f.expectUntouched();
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
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const GifFrame &w = doc.frames[i], &r = read.frames[i];
        ASSERT_EQ(std::make_pair(r.width(), r.height()), std::make_pair(w.width(), w.height()));
        for (uint32_t y = 0; y < w.height(); ++y)
            ASSERT_TRUE(std::equal(w.bitmap->row(y), w.bitmap->row(y) + w.width(), r.bitmap->row(y))) << y;
        EXPECT_EQ(std::tie(r.left, r.top, r.delay, r.disposal, r.transparent, r.transparentIndex,
                           r.interlaced, r.comments, r.hasLocalTable),
                  std::tie(w.left, w.top, w.delay, w.disposal, w.transparent, w.transparentIndex,
                           w.interlaced, w.comments, w.hasLocalTable));
        EXPECT_TRUE(savedColors(read, i) == savedColors(doc, i)) << "frame " << i;
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
    for (auto [local, global, largest] :
         {std::tuple<int, int, uint8_t>{5, -1, 9}, {0, -1, 0}, {300, -1, 255}, {-1, 2, 200}, {-1, -1, 6}}) {
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
