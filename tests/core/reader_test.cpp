// Reading: hand-built files with their recipe in the builder calls, the limits against hostile
// sizes, and every damaged file of tests/data with its documented outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>

#include "gif/gifreader.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

// What reading really holds, counted apart from the reader's own accounting: heap bytes in use and
// the most in use since g_peak was set; g_failAt makes that allocation (of g_allocations) fail.
// Every form is replaced, so the sanitizers' allocation functions never see one of these blocks.
static size_t g_inUse = 0, g_peak = 0, g_allocations = 0, g_failAt = SIZE_MAX;
static void* allocate(size_t size) noexcept {
    auto* block = ++g_allocations == g_failAt ? nullptr : static_cast<size_t*>(std::malloc(size + 16));
    if (block) *block = size, g_peak = std::max(g_peak, g_inUse += size);
    return block ? block + 2 : nullptr;
}
void* operator new(size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    if (!p) return;
    g_inUse -= *(static_cast<size_t*>(p) - 2);
    std::free(static_cast<size_t*>(p) - 2);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

ReadResult readBytes(GifAnimation& doc, const Bytes& bytes, ReadBudget* budget = nullptr) {
    return readGif(bytes.data(), bytes.size(), doc, budget);
}

// A 1x1 image of `pixel` at code size 2.
GifBytes& image(GifBytes& gif, uint8_t pixel) {
    return gif.imageDescriptor(0, 0, 1, 1).imageData(2, referenceLzwEncode({pixel}, 2));
}

// Frame 1: local table of 2, transparent at 3 (beyond its entries), disposal 2, delay 258.
// Frame 2: no graphic control of its own, so defaults and an opaque palette again.
// Frame 3: packed 1110 0001 (reserved bits ignored), index 0 transparent. Frame 4: 0001 1110,
// disposal 7 kept as read, the user-input flag ignored, index 9 dropped without the flag.
// Comments go to the next image; a zero cuts its sub-block only, an empty chain is an empty comment.
TEST(Reader, GraphicControlCommentsAndTheFramePalette) {
    GifBytes gif;
    gif.header().screen(4, 4, 0x81).colors({0x102030, 0x405060, 0x708090, 0xA0B0C0});
    gif.comment({"first"}).comment({"sec", std::string("ond\0hidden", 10), "-part"}).comment({});
    gif.graphicControl(0x09, 258, 3).imageDescriptor(0, 0, 1, 1, 0x80).colors({0xFF0000, 0x00FF00});
    gif.imageData(2, referenceLzwEncode({1}, 2));
    image(gif, 2).comment({"for the second"}).graphicControl(0xE1, 5, 0);
    image(gif, 2).graphicControl(0x1E, 0, 9);
    image(gif, 2).comment({"after the last image"}).graphicControl(0x0D, 99, 1).trailer();
    GifAnimation doc;
    readBytes(doc, gif.bytes());
    ASSERT_EQ(doc.frames.size(), 4u);
    EXPECT_EQ(doc.frames[0].comments, (std::vector<std::string>{"first", "second-part", ""}));
    EXPECT_EQ(doc.frames[2].comments, (std::vector<std::string>{"for the second"}));
    EXPECT_TRUE(doc.frames[3].comments.empty());
    // Disposal, transparent, delay, index; palette flags, count, entries 0 and 3.
    // clang-format off
    const std::tuple<uint32_t, bool, uint16_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t> want[] = {
        {2, true, 258, 3, kPaletteFlagsHasAlpha, 2, 0xFFFF0000, 0x00FFFFFF},
        {0, false, 0, 0, 0, 4, 0xFF102030, 0xFFA0B0C0},
        {0, true, 5, 0, kPaletteFlagsHasAlpha, 4, 0x00FFFFFF, 0xFFA0B0C0},
        {7, false, 0, 0, 0, 4, 0xFF102030, 0xFFA0B0C0}};
    // clang-format on
    for (size_t i = 0; i < 4; ++i) {
        const GifFrame& f = doc.frames[i];
        const IndexedPalette& p = f.bitmap->palette();
        EXPECT_EQ(f.hasLocalTable, i == 0);
        EXPECT_EQ(std::tie(f.disposal, f.transparent, f.delay, f.transparentIndex, p.flags, p.count,
                           p.entries[0], p.entries[3]),
                  want[i])
            << i;
    }
    // A graphic control of size 2 keeps the settings that stand, which after the file above (it
    // ends with one pending) must be the defaults: nothing pending leaks into the next file.
    GifBytes next;
    readBytes(doc, image(next.header().screen(1, 1).raw({0x21, 0xF9, 2, 0, 0}), 0).trailer().bytes());
    ASSERT_EQ(doc.frames.size(), 1u);
    EXPECT_EQ(std::tie(doc.frames[0].transparent, doc.frames[0].delay), std::make_tuple(false, uint16_t(0)));
    EXPECT_TRUE(doc.frames[0].comments.empty());
}

TEST(Reader, EndOfFileAnywhere) {
    // Every prefix of a two-frame file: result 0 once the version is there, never more frames than
    // images begun, and a frame cut inside its data keeps the pixels decoded so far, the rest 0.
    const Bytes first = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 3, 3, 3, 3};
    GifBytes gif;
    gif.header().screen(4, 4, 0x81).colors({1, 2, 3, 4}).netscapeLoop(3).comment({"hello"});
    const size_t firstImage = gif.graphicControl(0x09, 4, 2).bytes().size();
    gif.imageDescriptor(0, 0, 4, 4).imageData(2, referenceLzwEncode(first, 2), 2);
    gif.imageDescriptor(0, 0, 2, 2, 0x80).colors({5, 6}).imageData(2, referenceLzwEncode({1, 0, 0, 1}, 2));
    const Bytes whole = gif.trailer().bytes();
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        GifAnimation doc;
        const ReadResult result = readBytes(doc, Bytes(whole.begin(), whole.begin() + long(cut)));
        EXPECT_EQ(result, cut < 3 ? ReadNotGif : cut < 6 ? ReadBadVersion : ReadOk);
        EXPECT_LE(doc.frames.size(), 2u);
        if (cut < firstImage + 11) continue;  // descriptor and code size there: a frame
        ASSERT_GE(doc.frames.size(), 1u);
        const uint8_t* got = doc.frames[0].bitmap->pixels();
        size_t same = 0;
        while (same < 16 && got[same] == first[same]) ++same;
        for (size_t i = same; i < 16; ++i) EXPECT_EQ(got[i], 0) << "pixel " << i;
        EXPECT_EQ(doc.frames[0].comments.size(), 1u);
        EXPECT_EQ(doc.loopCount, 4);
    }
}

TEST(Reader, LargestImageIsReadAndTheDocumentBudgetStopsReading) {
    // 8192 x 8192 = 2^26 pixels is still a frame. Each costs 2^26 bytes plus its 1032-byte palette:
    // 7 fit in 2^29, the 8th does not, and reading stops there (the small frame after it too).
    GifBytes gif;
    gif.header().screen(4, 4);
    for (int i = 0; i < 8; ++i)
        gif.imageDescriptor(0, 0, 8192, 8192).imageData(2, packCodes({{4, 3}, {1, 3}}));
    GifAnimation doc;
    EXPECT_EQ(readBytes(doc, image(gif, 1).trailer().bytes()), ReadOk);
    ASSERT_EQ(doc.frames.size(), 7u);
    EXPECT_EQ(doc.frames[6].bitmap->at(0, 0), 1);
    EXPECT_EQ(doc.frames[6].bitmap->at(8191, 8191), 0);
}

// Files that make a reader keep much for few bytes, each 1 MB of one block repeated and read with a
// 1 MB budget: the heap never holds more than the budget, three times the file and 2 MB of working
// memory, and the budget is kept.
TEST(Reader, MemoryBombsStayWithinTheBound) {
    GifBytes longComment, tinyFrame;
    longComment.comment(std::vector<std::string>(16, std::string(255, 'c')));
    tinyFrame.imageDescriptor(0, 0, 1, 1, 0x87).table(256).imageData(2, referenceLzwEncode({1}, 2));
    const Bytes blocks[] = {{0x21, 0xFE, 0},
                            longComment.bytes(),
                            tinyFrame.bytes(),
                            {0x21, 1, 1, 0, 0},
                            GifBytes().graphicControl(0x09, 5, 1).bytes()};
    for (const Bytes& block : blocks) {
        Bytes file = GifBytes().header().screen(1, 1).bytes();
        while (file.size() < (1u << 20)) file.insert(file.end(), block.begin(), block.end());
        ReadBudget budget{1u << 20, 0};
        GifAnimation doc;
        g_peak = g_inUse;
        const size_t before = g_inUse;
        EXPECT_EQ(readBytes(doc, file, &budget), ReadOk);
        EXPECT_LE(budget.used, budget.limit);
        EXPECT_LE(g_peak - before, budget.limit + 3 * file.size() + (2u << 20)) << block.size();
    }
}

// Each allocation of a read failing in turn: reading ends with what was read and throws nothing.
TEST(Reader, FailedAllocationEndsReadingWithWhatWasRead) {
    GifBytes gif;
    gif.header().screen(2, 2, 0x80).table(2).comment({"c"});
    for (int i = 0; i < 3; ++i) image(gif.graphicControl(0, 1, 0).comment({"d"}), 1);
    const Bytes file = gif.trailer().bytes();
    for (size_t fail = 1; fail < 200; ++fail) {
        GifAnimation doc;
        g_failAt = g_allocations + fail;
        const ReadResult result = readBytes(doc, file);
        g_failAt = SIZE_MAX;
        EXPECT_EQ(result, ReadOk);
        for (const GifFrame& f : doc.frames) EXPECT_EQ(f.bitmap->at(0, 0), 1);
        if (doc.frames.size() == 3) return;
    }
    ADD_FAILURE() << "never read all three frames";
}

// tests/data/README.md gives each file's recipe; the hand-built cases above and the LZW tests cover
// the pixels, so the table holds the result and frame count, then what the files alone show. Files
// left out of the table must read.
TEST(DamagedFiles, EveryFileReadsWithItsDocumentedOutcome) {
    const Bytes readme = readWholeFile(testDataPath("README.md"));
    const std::string recipes(readme.begin(), readme.end());
    std::map<std::string, GifAnimation> docs;
    // clang-format off
    const struct { const char* file; ReadResult result; size_t frames; } outcomes[] = {
        {"empty.gif", ReadNotGif, 0}, {"lowercase-signature.gif", ReadNotGif, 0},
        {"signature-only.gif", ReadBadVersion, 0}, {"version-88a.gif", ReadBadVersion, 0},
        {"truncated-header.gif", ReadBadVersion, 0}, {"truncated-screen.gif", ReadOk, 0},
        {"truncated-global-table.gif", ReadOk, 0}, {"truncated-descriptor.gif", ReadOk, 0},
        {"truncated-mid-image.gif", ReadOk, 1}, {"truncated-graphic-control.gif", ReadOk, 0},
        {"oversized-screen.gif", ReadOk, 0}, {"oversized-image.gif", ReadOk, 1},
        {"zero-size-image.gif", ReadOk, 1}, {"garbage-between-blocks.gif", ReadOk, 2},
        {"many-tiny-frames.gif", ReadOk, 3000}, {"endless-comment.gif", ReadOk, 1},
        {"endless-image-data.gif", ReadOk, 1}, {"endless-unknown-extension.gif", ReadOk, 0},
        {"graphic-control-size-3.gif", ReadOk, 2}, {"loop-count-65535.gif", ReadOk, 1},
        {"looping-sub-block-short.gif", ReadOk, 1}, {"looping-without-count.gif", ReadOk, 1},
        {"application-size-10.gif", ReadOk, 1}, {"all-ff.gif", ReadOk, 0}, {"all-zero.gif", ReadOk, 0}};
    // clang-format on
    for (const auto& o : outcomes) {
        EXPECT_NE(recipes.find(std::string("| ") + o.file + " |"), std::string::npos)
            << o.file << ": no recipe";
        EXPECT_EQ(docs[o.file].readFile(testDataPath(o.file).c_str()), o.result) << o.file;
        EXPECT_EQ(docs[o.file].frames.size(), o.frames) << o.file;
    }
    EXPECT_EQ(GifAnimation().readFile(testOutputPath("no-such-folder/x.gif").c_str()), ReadCannotOpen);
    for (const auto& entry : std::filesystem::directory_iterator(testDataPath(""))) {
        if (entry.path().extension() != ".gif" || docs.count(entry.path().filename().string())) continue;
        GifAnimation doc;
        EXPECT_EQ(doc.readFile(entry.path().string().c_str()), ReadOk) << entry.path();
    }
    // Missing bytes read as 0: the screen 40 01 20 00; 10 table bytes leave entry 3 its red only.
    EXPECT_EQ(docs["truncated-screen.gif"].screenWidth * 10000 + docs["truncated-screen.gif"].screenHeight,
              3200032);
    EXPECT_EQ(docs["truncated-global-table.gif"].globalTable.entries.at(3), RgbColor(3, 0, 0));
    EXPECT_EQ(docs["oversized-screen.gif"].screenWidth + docs["oversized-screen.gif"].screenHeight, 4000);
    // 146 data bytes: 129 nine-bit codes, a clear and the first 128 pixels (8 rows).
    const GifFrame& cut = docs["truncated-mid-image.gif"].frames.at(0);
    EXPECT_EQ(cut.transparentIndex, 3);
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(cut.bitmap->at(i % 16, i / 16), i < 128 ? i % 16 + i / 16 : 0);
    const GifFrame& endless = docs["endless-image-data.gif"].frames.at(0);
    EXPECT_EQ(endless.bitmap->at(999, 39) * 1000 + endless.bitmap->at(0, 40), 39999 % 251 * 1000);
    // A graphic control of size 3 counts as present with the settings that stand.
    const GifFrame& second = docs["graphic-control-size-3.gif"].frames.at(1);
    EXPECT_EQ(second.delay * 1000 + second.transparentIndex, 20003);
    // An image without a picture (empty, or above 2^26 pixels) is skipped with the graphic control
    // meant for it: the next image has none.
    for (const char* file : {"zero-size-image.gif", "oversized-image.gif"}) {
        const GifFrame& next = docs[file].frames.at(0);
        EXPECT_EQ(std::make_tuple(next.transparent, next.delay, next.bitmap->at(1, 0)),
                  std::make_tuple(false, uint16_t(0), uint8_t(next.width() == 3 ? 8 : 2)))
            << file;
    }
    // A looping block without a count still adds its play.
    EXPECT_EQ(docs["looping-without-count.gif"].loopCount, 2);
    EXPECT_EQ(docs["loop-count-65535.gif"].loopCount, 65535);
    EXPECT_TRUE(docs["looping-sub-block-short.gif"].loopForever);
    EXPECT_EQ(docs["application-size-10.gif"].loopCount, 1);
    EXPECT_EQ(docs["all-ff.gif"].globalTable.entries.at(255), RgbColor(255, 255, 255));
}

}  // namespace
