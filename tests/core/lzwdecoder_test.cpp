// LZW decoder: hand-packed code streams with their recipe beside them, and brute-force round
// trips through a plain dictionary encoder that shares no code with the decoder.
#include "gif/lzwdecoder.h"

#include <gtest/gtest.h>

#include <random>

#include "support/gifbytes.h"

namespace {

struct DecodeResult {
    Bytes pixels;
    LzwStop stop;
    long endPosition;  // where the file was left
};

// The image data as a file: minimum code size, the sub-blocks, the terminator (optional).
DecodeResult decodeStream(const Bytes& stream, uint32_t pixelCount) {
    FILE* file = openBytes("lzw-case.bin", stream);
    EXPECT_NE(file, nullptr);
    ByteBuffer buffer{int32_t(pixelCount)};
    LzwDecoder decoder;
    DecodeResult result;
    result.stop = decoder.decode(file, buffer, pixelCount);
    result.endPosition = std::ftell(file);
    std::fclose(file);
    result.pixels.assign(buffer.bytes(), buffer.bytes() + buffer.length());
    return result;
}

Bytes imageData(uint8_t minCodeSize, const Bytes& codes, int blockSize = 255, bool terminate = true) {
    return GifBytes().imageData(minCodeSize, codes, blockSize, terminate).bytes();
}

// With minimum code size 2: clear = 4, end = 5, first free code 6, codes start 3 bits wide
// and widen to 4 bits once the decoder's next free code reaches 8.
struct HandCase {
    const char* name;
    std::vector<std::pair<int, int>> codes;  // (code, width in bits)
    uint32_t pixelCount;
    Bytes expected;
    LzwStop stop;
};

const HandCase kHandCases[] = {
    // 1 alone; 1 adds 6="1 1"; 2 adds 7="1 2" and the next free code 8 widens codes to 4 bits.
    {"no initial clear code", {{1, 3}, {1, 3}, {2, 3}, {5, 4}}, 3, {1, 1, 2}, LzwStop::Complete},
    // The same, one pixel more than the stream holds: the end code (4 bits) comes early.
    {"early end code", {{1, 3}, {1, 3}, {2, 3}, {5, 4}}, 5, {1, 1, 2, 0, 0}, LzwStop::EndCode},
    // clear; 2; 1 adds 6="2 1"; 7 is the next free code (KwKwK): previous string "1" plus its
    // own first byte = "1 1", added as 7, widening to 4 bits; 6 = "2 1"; end.
    {"KwKwK code",
     {{4, 3}, {2, 3}, {1, 3}, {7, 3}, {6, 4}, {5, 4}},
     6,
     {2, 1, 1, 1, 2, 1},
     LzwStop::Complete},
    // clear; 1; 2; 3 (next free code 8: 4 bits from here); clear at 4 bits resets to 3 bits;
    // 3; 3 adds 6="3 3"; 6 = "3 3" adds 7, widening again; end at 4 bits.
    {"clear in the middle",
     {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 4}, {3, 3}, {3, 3}, {6, 3}, {5, 4}},
     7,
     {1, 2, 3, 3, 3, 3, 3},
     LzwStop::Complete},
    // clear; 1; 7 while the next free code is 6.
    {"code above the next free code", {{4, 3}, {1, 3}, {7, 3}}, 3, {1, 0, 0}, LzwStop::BadCode},
    // clear; 1; 2; 3; 1; then a zero-length sub-block before the 8 pixels are there.
    {"data ends mid-image",
     {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}},
     8,
     {1, 2, 3, 1, 0, 0, 0, 0},
     LzwStop::EndOfData},
    // Hostile: after clear the first code is 6, the next free code itself. Undefined entries
    // read as 0, so 6 gives 0; the next 6 (again the next free code) gives the previous string
    // "0" plus first byte 6... and defines 6 with itself as prefix. The third 6 then chains
    // 6 -> 6 -> 6 ... until the 4097-byte pixel stack would overflow: decoding stops.
    {"code chain that would overflow the pixel stack",
     {{4, 3}, {6, 3}, {6, 3}, {6, 3}, {5, 3}},
     8,
     {0, 0, 0, 6, 0, 0, 0, 0},
     LzwStop::StackOverflow},
    // The same hostile start, then a clear: decoding is sound again. 6 gives 0; clear; 2; 1
    // adds 6="2 1"; 6 = "2 1" adds 7="1 2" and widens to 4 bits; 7 = "1 2"; end.
    {"clear after a hostile start",
     {{4, 3}, {6, 3}, {4, 3}, {2, 3}, {1, 3}, {6, 3}, {7, 4}, {5, 4}},
     7,
     {0, 2, 1, 2, 1, 1, 2},
     LzwStop::Complete},
};

TEST(LzwDecoder, HandPackedStreams) {
    for (const HandCase& c : kHandCases) {
        SCOPED_TRACE(c.name);
        const DecodeResult r = decodeStream(imageData(2, packCodes(c.codes)), c.pixelCount);
        EXPECT_EQ(r.pixels, c.expected);
        EXPECT_EQ(int(r.stop), int(c.stop));
    }
}

TEST(LzwDecoder, StreamCutOffByTheEndOfTheFile) {
    // clear; 1; 2; 3; 1 = 19 bits in 3 bytes, announced as a sub-block of 200 bytes that the
    // file cuts off: the bytes that are there still decode.
    Bytes stream = {2, 200};
    const Bytes codes = packCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}});
    stream.insert(stream.end(), codes.begin(), codes.end());
    const DecodeResult r = decodeStream(stream, 6);
    EXPECT_EQ(r.pixels, (Bytes{1, 2, 3, 1, 0, 0}));
    EXPECT_EQ(int(r.stop), int(LzwStop::EndOfData));

    const DecodeResult empty = decodeStream({}, 4);  // not even the code size byte
    EXPECT_EQ(empty.pixels, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(int(empty.stop), int(LzwStop::EndOfData));
}

TEST(LzwDecoder, ReadsOnlyTheSubBlocksItNeeds) {
    // clear, 1, 2, 3, end at 3,3,3,3,4 bits = 16 bits, in one-byte sub-blocks:
    // [2] [1 b0] [1 b1] [0]. Two pixels need 9 bits, so both sub-blocks are read (offset 5);
    // one pixel needs 6 bits: only the first (offset 3).
    const Bytes stream = imageData(2, packCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}), 1);
    ASSERT_EQ(stream.size(), 6u);
    EXPECT_EQ(decodeStream(stream, 2).endPosition, 5);
    EXPECT_EQ(decodeStream(stream, 1).endPosition, 3);
    // Asking for more than the stream has stops at the end code, inside the second sub-block.
    const DecodeResult more = decodeStream(stream, 9);
    EXPECT_EQ(more.pixels, (Bytes{1, 2, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(more.endPosition, 5);
}

TEST(LzwDecoder, WidthGrowsToTwelveBitsAndStaysThereWhenTheTableIsFull) {
    // Minimum code size 2, literals only (0..3) after a clear. The k-th code after the clear
    // is read with as many bits as the decoder's next free code needs (6 for k = 0 and 1, then
    // 6 + k - 1), at most 12. After 4090 codes the table is full (4096 codes); 12-bit literals
    // still decode, then code 4095: the entry made when the next free code was 4095, i.e. by
    // literal 4089 followed by the first byte of literal 4090.
    std::mt19937 random(7);
    Bytes literals(4200);
    for (uint8_t& v : literals) v = uint8_t(random() % 4);
    LzwCodePacker packer;
    packer.put(4, 3);
    auto widthFor = [](int k) {
        const int next = k == 0 ? 6 : 6 + k - 1;
        int width = 0;
        while ((1 << width) <= next) ++width;
        return std::min(width, 12);
    };
    for (size_t k = 0; k < literals.size(); ++k) packer.put(literals[k], widthFor(int(k)));
    packer.put(4095, 12);
    packer.put(5, 12);
    Bytes expected = literals;
    expected.push_back(literals[4089]);
    expected.push_back(literals[4090]);
    const DecodeResult r = decodeStream(imageData(2, packer.bytes()), uint32_t(expected.size()));
    EXPECT_EQ(r.pixels, expected);
    EXPECT_EQ(int(r.stop), int(LzwStop::Complete));
}

TEST(LzwDecoder, CodeSizeAboveElevenIsRefusedAndItsDataSkipped) {
    Bytes stream = imageData(12, {0xFF, 0xFF, 0xFF, 0xFF}, 2);
    stream.push_back(0x3B);  // what follows the image
    const DecodeResult r = decodeStream(stream, 5);
    EXPECT_EQ(r.pixels, (Bytes{0, 0, 0, 0, 0}));
    EXPECT_EQ(int(r.stop), int(LzwStop::BadCodeSize));
    EXPECT_EQ(r.endPosition, long(stream.size() - 1));
}

// Code sizes start at 2 in GIF; below that the decoder's widening rule (next free code & mask)
// no longer matches what encoders do, so the round trips start at 2.
TEST(LzwDecoder, RoundTripsThroughAPlainDictionaryEncoder) {
    struct Case {
        int minCodeSize;
        size_t length;
        int distinct;  // pixel values drawn from 0..distinct-1
        bool deferredClear;
        int blockSize;
    };
    const Case cases[] = {
        {2, 1, 4, false, 255},        {2, 100, 4, false, 255},    {2, 20000, 2, false, 255},
        {8, 70000, 256, false, 255},  {8, 70000, 256, true, 255}, {8, 50000, 3, false, 7},
        {4, 30000, 16, true, 1},      {7, 9000, 128, false, 100}, {2, 5000, 2, false, 3},
        {11, 10000, 256, false, 255}, {3, 60000, 8, true, 255},   {8, 200000, 20, false, 254},
    };
    std::mt19937 random(2024);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code size " << c.minCodeSize << " length " << c.length
                                        << " deferred " << c.deferredClear);
        Bytes pixels(c.length);
        // Runs of random length make long strings as well as fresh ones.
        for (size_t i = 0; i < pixels.size();) {
            const uint8_t value = uint8_t(random() % unsigned(c.distinct));
            for (size_t run = 1 + random() % 12; run > 0 && i < pixels.size(); --run) pixels[i++] = value;
        }
        const Bytes codes = referenceLzwEncode(pixels, c.minCodeSize, c.deferredClear);
        const DecodeResult r =
            decodeStream(imageData(uint8_t(c.minCodeSize), codes, c.blockSize), uint32_t(pixels.size()));
        EXPECT_EQ(r.pixels, pixels);
        EXPECT_EQ(int(r.stop), int(LzwStop::Complete));
    }
}

TEST(LzwDecoder, FillsFromTheBufferPositionAndGrowsAShortBuffer) {
    const Bytes stream = imageData(2, packCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}));
    FILE* file = openBytes("lzw-buffer.bin", stream);
    ASSERT_NE(file, nullptr);
    ByteBuffer buffer;
    const uint8_t prefix[] = {9, 9};
    buffer.write(prefix, 2);
    LzwDecoder decoder;
    decoder.decode(file, buffer, 4);
    std::fclose(file);
    ASSERT_EQ(buffer.length(), 6);
    EXPECT_EQ(Bytes(buffer.bytes(), buffer.bytes() + 6), (Bytes{9, 9, 1, 2, 3, 0}));
    EXPECT_EQ(buffer.tell(), 2);
}

}  // namespace
