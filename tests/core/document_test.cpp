// The document types: ByteBuffer's growth and clamping, frame copies and swaps, colour counts.
#include <gtest/gtest.h>

#include "gif/bytebuffer.h"
#include "gif/document.h"

namespace {

std::unique_ptr<IndexedBitmap> filledBitmap(uint32_t w, uint32_t h, uint8_t value) {
    auto bitmap = IndexedBitmap::create(w, h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) bitmap->row(y)[x] = value;
    return bitmap;
}

TEST(ByteBuffer, SeekClampsToTheBuffer) {
    ByteBuffer buffer(10);
    buffer.seek(2, 0);
    EXPECT_EQ(buffer.tell(), 9);
    buffer.seek(0, 20);
    EXPECT_EQ(buffer.tell(), 9);
    buffer.seek(0, 5);
    buffer.seek(1, -20);
    EXPECT_EQ(buffer.tell(), 0);
    ByteBuffer empty;
    empty.seek(0, 3);
    EXPECT_EQ(empty.tell(), 0);
}

TEST(ByteBuffer, ReadsPastTheEndGiveZeroAndDoNotMove) {
    ByteBuffer buffer;
    buffer.putByte(0x34);
    buffer.putByte(0x12);
    buffer.putByte(0x56);
    buffer.seek(0, 0);
    EXPECT_EQ(buffer.getWord(), 0x1234);
    EXPECT_EQ(buffer.getWord(), 0);  // only one byte left
    EXPECT_EQ(buffer.tell(), 2);
    EXPECT_EQ(buffer.getByte(), 0x56);
    EXPECT_TRUE(buffer.atEnd());
    EXPECT_EQ(buffer.getByte(), 0);
    EXPECT_EQ(buffer.tell(), 3);
}

TEST(ByteBuffer, GrowsToWhatWasWrittenAndKeepsEveryByte) {
    ByteBuffer buffer;
    for (int i = 0; i < 1000; ++i) buffer.putByte(uint8_t(i));
    EXPECT_EQ(buffer.length(), 1000);
    uint8_t block[700];
    for (int i = 0; i < 700; ++i) block[i] = uint8_t(i * 7);
    buffer.write(block, 700);
    buffer.write(block, 0);
    buffer.write(block, -5);
    EXPECT_EQ(buffer.length(), 1700);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(buffer.bytes()[i], uint8_t(i));
    for (int i = 0; i < 700; ++i) ASSERT_EQ(buffer.bytes()[1000 + i], uint8_t(i * 7));
    // Overwriting inside the buffer does not lengthen it.
    buffer.seek(0, 10);
    buffer.putByte(0xEE);
    EXPECT_EQ(buffer.length(), 1700);
    ByteBuffer copy;
    copy.append(buffer);
    EXPECT_EQ(copy.length(), 1700);
    EXPECT_EQ(copy.bytes()[10], 0xEE);
    buffer.reset();
    EXPECT_EQ(buffer.length(), 0);
    EXPECT_EQ(buffer.tell(), 0);
}

TEST(RgbColor, ConvertsToArgbColorrefAndPacked) {
    RgbColor c = RgbColor::fromPacked(0x123456);
    EXPECT_EQ(c.red, 0x12);
    EXPECT_EQ(c.green, 0x34);
    EXPECT_EQ(c.blue, 0x56);
    EXPECT_EQ(c.toArgb(), 0xFF123456u);
    EXPECT_EQ(c.toColorRef(), 0x563412u);
    EXPECT_TRUE(c == 0x123456u);
    EXPECT_FALSE(c == RgbColor(0x12, 0x34, 0x57));
    EXPECT_EQ(RgbColor(), RgbColor(0, 0, 0));
}

TEST(ColorTable, FillsAZeroedOpaquePalette) {
    ColorTable table;
    table.entries = {RgbColor(1, 2, 3), RgbColor(255, 0, 0)};
    IndexedPalette palette = table.toGdiplusPalette();
    EXPECT_EQ(palette.flags, 0u);
    EXPECT_EQ(palette.count, 2u);
    EXPECT_EQ(palette.entries[0], 0xFF010203u);
    EXPECT_EQ(palette.entries[1], 0xFFFF0000u);
    EXPECT_EQ(palette.entries[2], 0u);
}

TEST(IndexedBitmap, RowsAreFourByteAlignedAndZeroSizesAreRefused) {
    auto bitmap = IndexedBitmap::create(5, 3);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->stride(), 8u);
    EXPECT_EQ(bitmap->row(2) - bitmap->row(0), 16);
    EXPECT_FALSE(IndexedBitmap::create(0, 3));
    EXPECT_FALSE(IndexedBitmap::create(3, 0));
}

TEST(GifAnimation, StartsAsAOneByOneScreenPlayedOnce) {
    GifAnimation document;
    EXPECT_EQ(document.screenWidth, 1);
    EXPECT_EQ(document.screenHeight, 1);
    EXPECT_EQ(document.loopCount, 1);
    EXPECT_FALSE(document.loopForever);
    EXPECT_TRUE(document.frames.empty());
    EXPECT_FALSE(document.hasGlobalTable);
}

TEST(GifFrame, CopyOwnsItsOwnPicture) {
    GifFrame source;
    source.bitmap = filledBitmap(4, 4, 3);
    source.localTable.entries.resize(4);
    source.localTable.useCounts = {1, 2, 3, 4};
    source.comments = {"a", "b"};
    source.sampleStep = 3;
    GifFrame copy(source);
    ASSERT_TRUE(copy.bitmap);
    EXPECT_NE(copy.bitmap.get(), source.bitmap.get());
    copy.bitmap->row(0)[0] = 9;
    EXPECT_EQ(source.bitmap->at(0, 0), 3);
    EXPECT_TRUE(copy.localTable.useCounts.empty());
    EXPECT_EQ(copy.sampleStep, 3u);
    EXPECT_EQ(copy.comments, source.comments);
    copy = GifFrame();
    EXPECT_EQ(source.bitmap->at(3, 3), 3);
}

TEST(GifFrame, SwapExchangesContentsButNotSampleStepOrCounts) {
    GifFrame a, b;
    a.bitmap = filledBitmap(2, 2, 1);
    b.bitmap = filledBitmap(3, 3, 2);
    a.left = 5; a.delay = 10; a.title = "first"; a.comments = {"x"}; a.sampleStep = 2;
    a.localTable.entries = {RgbColor(1, 1, 1)}; a.localTable.useCounts = {7};
    b.left = 6; b.delay = 20; b.title = "second"; b.sampleStep = 4; b.pinned = true;
    a.swapContents(b);
    EXPECT_EQ(a.width(), 3u);
    EXPECT_EQ(b.width(), 2u);
    EXPECT_EQ(a.left, 6);
    EXPECT_EQ(a.delay, 20);
    EXPECT_EQ(a.title, "second");
    EXPECT_TRUE(a.pinned);
    EXPECT_TRUE(a.comments.empty());
    EXPECT_EQ(b.comments, std::vector<std::string>{"x"});
    EXPECT_EQ(b.localTable.entries.size(), 1u);
    EXPECT_EQ(a.sampleStep, 2u);
    EXPECT_EQ(b.sampleStep, 4u);
    EXPECT_EQ(a.localTable.useCounts, std::vector<uint32_t>{7});
}

TEST(GifFrame, CountColorUseSamplesEveryStepAndSkipsIndicesBeyondTheTable) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(5, 5);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 5; ++x) frame.bitmap->row(y)[x] = uint8_t((x + y) % 4);
    frame.localTable.entries.resize(3);  // index 3 has no entry
    frame.countColorUse();
    EXPECT_EQ(frame.localTable.useCounts, (std::vector<uint32_t>{7, 6, 6}));
    frame.sampleStep = 2;  // rows and columns 0, 2, 4: sums 0..8 step 2 give five 0s and four 2s
    frame.countColorUse();
    EXPECT_EQ(frame.localTable.useCounts, (std::vector<uint32_t>{5, 0, 4}));
}

TEST(GifAnimation, FrameSequenceMovesStayInRange) {
    GifAnimation document;
    for (int i = 0; i < 3; ++i) {
        GifFrame frame;
        frame.delay = uint16_t(i);
        document.appendFrame(frame);
    }
    EXPECT_FALSE(document.moveFrameUp(0));
    EXPECT_FALSE(document.moveFrameDown(2));
    EXPECT_TRUE(document.moveFrameDown(0));
    EXPECT_EQ(document.frames[0].delay, 1);
    EXPECT_EQ(document.frames[1].delay, 0);
    EXPECT_TRUE(document.moveFrameUp(2));
    EXPECT_EQ(document.frames[1].delay, 2);
    GifAnimation other;
    other.appendFrames(document);
    document.removeFrame(1);
    document.removeFrame(10);
    EXPECT_EQ(document.frames.size(), 2u);
    EXPECT_EQ(other.frames.size(), 3u);
}

}  // namespace
