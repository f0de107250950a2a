// Saving: exact bytes of small documents (each expected file spelled out block by block), saves
// that fail without touching the old file, and write -> read round trips, table repairs among them.
#include <gtest/gtest.h>

#include <filesystem>
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

Bytes randomBytes(size_t count) {
    std::mt19937 rng(17);
    Bytes bytes(count);
    for (auto& b : bytes) b = uint8_t(rng());
    return bytes;
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

TEST(Writer, ExactBytesOfSmallDocuments) {
    // The looping block counts repeats after the first play, so one play needs none; 65535 plays,
    // what a file's 65535 reads as, goes back unchanged; 0 repeats is forever.
    for (auto [plays, forever, repeats] :
         {std::tuple{1, false, -1}, {3, false, 2}, {65535, false, 65535}, {3, true, 0}}) {
        GifAnimation doc;
        doc.loopCount = uint16_t(plays), doc.loopForever = forever, doc.backgroundIndex = 9;
        GifBytes want;
        want.header().screen(1, 1, 0, 9);
        if (repeats >= 0) want.netscapeLoop(uint16_t(repeats));
        EXPECT_EQ(written(doc), want.trailer().bytes()) << plays;
    }
    // Frame 1 draws from a global table of 2: disposal 2 (only the low three bits count),
    // transparent index 3, delay 258; index 0 at code size 2 is clear 4, 0, end 5 in 3-bit codes.
    // Frame 2 without graphic settings still gets a graphic control; its 5-colour local table goes
    // as 8 entries (size field 2, code size 3: clear 8, 0, end 9 in 4-bit codes).
    GifAnimation doc;
    doc.screenWidth = 640, doc.screenHeight = 480, doc.hasGlobalTable = true,
    doc.globalTable.entries = colors(2);
    addFrame(doc, 1, 1);
    GifFrame& second = addFrame(doc, 1, 1);
    second.left = 0x1234, second.top = 0xFEDC, second.interlaced = true, second.hasLocalTable = true;
    second.localTable.entries = colors(5);
    GifFrame& first = doc.frames[0];
    first.disposal = 10, first.transparent = true, first.delay = 258, first.transparentIndex = 3;
    GifBytes want;
    want.header().screen(640, 480, 0x80).table(2).graphicControl(0x09, 258, 3).imageDescriptor(0, 0, 1, 1);
    want.imageData(2, {0x44, 0x01}).graphicControl(0, 0, 0).imageDescriptor(0x1234, 0xFEDC, 1, 1, 0xC2);
    EXPECT_EQ(written(doc), want.table(5).colors({0, 0, 0}).imageData(3, {0x08, 0x09}).trailer().bytes());
}

// A failed save leaves the old out.gif and no temporary file beside it: a folder or no path, a
// frame without a bitmap or wider than 65535, and a write error in the middle of the file (the
// file-size limit stands in for a full disk; it stops writes even for root).
TEST(SafeSaving, FailedSavesLeaveTheOldFileAlone) {
    const fs::path folder = testOutputPath("writer-safe");
    const std::string target = (folder / "out.gif").string();
    fs::remove_all(folder);
    fs::create_directories(folder / "adir");
    writeTestFile("writer-safe/out.gif", {'o', 'l', 'd'});
    auto expectUntouched = [&] {
        EXPECT_EQ(readWholeFile(target), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}) * 10 + fs::is_empty(folder / "adir"), 21);
    };
    // The second frame's width; 0: no bitmap.
    for (auto [path, width] :
         {std::pair{(folder / "adir").string(), 1u}, {"", 1}, {target, 0}, {target, 65536}}) {
        GifAnimation doc;
        addFrame(doc, 1, 1);
        GifFrame& second = doc.frames.emplace_back();
        if (width) second.bitmap = IndexedBitmap::create(width, 1);
        EXPECT_FALSE(doc.writeFile(path.c_str())) << path << width;
        expectUntouched();
    }
#ifndef _WIN32
    GifAnimation noise;
    addFrame(noise, 300, 300, randomBytes(300 * 300));
    struct rlimit saved, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    small = {4096, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool result = noise.writeFile(target.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(result);
    expectUntouched();
#endif
    GifAnimation widest;
    addFrame(widest, 65535, 1);
    ASSERT_TRUE(widest.writeFile(target.c_str()));
    EXPECT_EQ(readWholeFile(target).back(), 0x3B);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);
}

// Write, read, write: the pictures and the tables as saved read back, and the second file is byte
// for byte the first (the interop tests compare every field with giflib's reading).
void expectRoundTrip(GifAnimation& doc) {
    const std::string first = testOutputPath("roundtrip-1.gif"), second = testOutputPath("roundtrip-2.gif");
    GifAnimation read;
    ASSERT_TRUE(doc.writeFile(first.c_str()));
    ASSERT_EQ(read.readFile(first.c_str()), ReadOk);
    ASSERT_EQ(read.frames.size(), doc.frames.size());
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const GifFrame &w = doc.frames[i], &r = read.frames[i];
        ASSERT_EQ(std::make_pair(r.width(), r.height()), std::make_pair(w.width(), w.height()));
        for (uint32_t y = 0; y < w.height(); ++y)
            ASSERT_TRUE(std::equal(w.bitmap->row(y), w.bitmap->row(y) + w.width(), r.bitmap->row(y))) << y;
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
    // A table the file cannot express, or indices it does not reach: written cut to 256 entries or
    // padded with black to the next power of two (at least 2) that reaches every index. Local
    // entries (-1: no table at all) and the largest index.
    for (auto [local, largest] : {std::pair<int, uint8_t>{5, 9}, {0, 0}, {-1, 6}, {300, 255}}) {
        GifAnimation doc;
        GifFrame& frame = addFrame(doc, 1, 2, {0, largest});
        frame.hasLocalTable = local >= 0;
        frame.localTable.entries = colors(std::max(local, 0));
        expectRoundTrip(doc);
        EXPECT_EQ(doc.frames[0].localTable.entries.size(), size_t(std::max(local, 0)));  // left as it was
    }
    // 2000 x 2000 noise: megabytes of codes, more than the writer holds at once.
    GifAnimation large;
    addFrame(large, 2000, 2000, randomBytes(2000 * 2000)).hasLocalTable = true;
    large.frames[0].localTable.entries = colors(256);
    expectRoundTrip(large);
}

}  // namespace
