// LzwEncoder: exact code streams worked out by hand, a strict decoder written here from the GIF
// rules (not from the encoder), and a dictionary-based reference encoder for exact bytes.
#include "gif/lzwencoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gif/bytebuffer.h"
#include "gif/indexedbitmap.h"
#include "support/gifbytes.h"

namespace {

Bytes encodeBuffer(const Bytes& pixels, uint32_t width, uint32_t height, uint32_t codeSize) {
    ByteBuffer input;
    if (!pixels.empty()) input.write(pixels.data(), int32_t(pixels.size()));
    ByteBuffer output;
    LzwEncoder encoder(width, height, input, codeSize);
    EXPECT_TRUE(encoder.encode(output));
    return Bytes(output.bytes(), output.bytes() + output.tell());
}

Bytes encodeFlat(const Bytes& pixels, uint32_t codeSize) {
    return encodeBuffer(pixels, uint32_t(pixels.size()), 1, codeSize);
}

// What a strict GIF decoder sees in one image's data: the indices, and facts about the codes.
struct Decoded {
    bool ok = false;
    std::string error;
    int minCodeSize = 0;
    Bytes pixels;
    int clearCodes = 0;
    int clearsBeforeFull = 0;  // a clear (after the first code) while the table had room
    bool clearFirst = false;
    int widestCode = 0;
    std::vector<size_t> blockLengths;
    size_t bytesAfterTerminator = 0;
};

// Decodes by the GIF rules: codes LSB first, width S + 1 growing when the next free code reaches
// 2^width (at most 12 bits), a clear code resets. Refuses anything our encoder should never emit:
// a code beyond the table, a missing end code, a code after a full table other than clear.
Decoded strictDecode(const Bytes& stream) {
    Decoded d;
    size_t at = 0;
    if (stream.empty()) {
        d.error = "empty";
        return d;
    }
    d.minCodeSize = stream[at++];
    Bytes data;
    for (;;) {
        if (at >= stream.size()) {
            d.error = "no terminator";
            return d;
        }
        const size_t n = stream[at++];
        if (n == 0) break;
        if (at + n > stream.size()) {
            d.error = "sub-block cut off";
            return d;
        }
        d.blockLengths.push_back(n);
        data.insert(data.end(), stream.begin() + long(at), stream.begin() + long(at + n));
        at += n;
    }
    d.bytesAfterTerminator = stream.size() - at;

    const int clear = 1 << d.minCodeSize, end = clear + 1;
    // Each code's string is its prefix code's string plus one byte; `first` is its first byte.
    std::vector<int> prefix(4096, -1), length(4096, 1);
    std::vector<uint8_t> suffix(4096), first(4096);
    for (int i = 0; i < clear; ++i) suffix[size_t(i)] = first[size_t(i)] = uint8_t(i);
    int tableSize = clear + 2;
    int width = d.minCodeSize + 1;
    size_t bitPos = 0;
    int previous = -1;
    bool firstCode = true;
    auto append = [&](int code) {
        const size_t at = d.pixels.size();
        d.pixels.resize(at + size_t(length[size_t(code)]));
        for (size_t k = d.pixels.size(); k-- > at; code = prefix[size_t(code)])
            d.pixels[k] = suffix[size_t(code)];
    };
    for (;;) {
        if (bitPos + size_t(width) > data.size() * 8) {
            d.error = "no end code";
            return d;
        }
        int code = 0;
        for (int b = 0; b < width; ++b, ++bitPos) code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << b;
        d.widestCode = std::max(d.widestCode, width);
        if (firstCode) d.clearFirst = code == clear;
        firstCode = false;
        if (code == clear) {
            ++d.clearCodes;
            if (d.clearCodes > 1 && tableSize < 4096) ++d.clearsBeforeFull;
            tableSize = clear + 2;
            width = d.minCodeSize + 1;
            previous = -1;
            continue;
        }
        if (code == end) break;
        if (previous >= 0 && tableSize >= 4096) {
            d.error = "code after a full table";
            return d;
        }
        const bool known = code < tableSize && code != clear && code != end;
        if (!known && !(code == tableSize && previous >= 0)) {
            d.error = "code " + std::to_string(code) + " beyond the table";
            return d;
        }
        if (previous >= 0) {
            // The new entry: the previous string plus the first byte of this one (which, for the
            // code being defined right now, is the previous string's first byte).
            const size_t n = size_t(tableSize);
            prefix[n] = previous;
            suffix[n] = known ? first[size_t(code)] : first[size_t(previous)];
            first[n] = first[size_t(previous)];
            length[n] = length[size_t(previous)] + 1;
            ++tableSize;
            if (tableSize == (1 << width) && width < 12) ++width;
        }
        append(code);
        previous = code;
    }
    // Whatever follows the end code in its byte must be zero padding.
    if (bitPos % 8 != 0 && (data[bitPos / 8] >> (bitPos % 8)) != 0) {
        d.error = "padding not zero";
        return d;
    }
    if ((bitPos + 7) / 8 != data.size()) {
        d.error = "bytes after the end code";
        return d;
    }
    d.ok = true;
    return d;
}

void expectWellFormed(const Decoded& d) {
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_TRUE(d.clearFirst);
    EXPECT_EQ(d.clearsBeforeFull, 0);
    EXPECT_LE(d.widestCode, 12);
    EXPECT_EQ(d.bytesAfterTerminator, 0u);
    for (size_t i = 0; i < d.blockLengths.size(); ++i) {
        if (i + 1 < d.blockLengths.size()) {
            ASSERT_EQ(d.blockLengths[i], 254u) << "only the last sub-block may be short";
        } else {
            ASSERT_LE(d.blockLengths[i], 254u);
        }
    }
}

Bytes randomPixels(std::mt19937& rng, size_t count, int codeSize) {
    std::uniform_int_distribution<int> pick(0, (1 << codeSize) - 1);
    Bytes pixels(count);
    for (auto& p : pixels) p = uint8_t(pick(rng));
    return pixels;
}

// Runs of random length and colour, long enough to build long strings.
Bytes runPixels(std::mt19937& rng, size_t count, int codeSize, int longestRun) {
    std::uniform_int_distribution<int> pick(0, (1 << codeSize) - 1), run(1, longestRun);
    Bytes pixels;
    while (pixels.size() < count) pixels.insert(pixels.end(), size_t(run(rng)), uint8_t(pick(rng)));
    pixels.resize(count);
    return pixels;
}

// Worked by hand: each row gives the pixels, the code size, the codes with their widths as the
// GIF decoder reads them, and the bytes those codes pack into.
struct HandCase {
    const char* name;
    Bytes pixels;
    uint32_t codeSize;
    Bytes expected;
};

TEST(LzwEncoder, SmallStreamsMatchHandWorkedBytes) {
    const HandCase cases[] = {
        // clear 4, pixel 0, end 5, all 3 bits: 100 | 000<<3 | 101<<6 = 0x144.
        {"1x1 index 0", {0}, 2, {0x02, 0x02, 0x44, 0x01, 0x00}},
        // clear 4, pixel 3, end 5: 4 | 3<<3 | 5<<6 = 0x15C.
        {"1x1 index 3", {3}, 2, {0x02, 0x02, 0x5C, 0x01, 0x00}},
        // 9-bit codes: 256 | 1<<9 | 257<<18 = 0x04040300.
        {"1x1 code size 8", {1}, 8, {0x08, 0x04, 0x00, 0x03, 0x04, 0x04, 0x00}},
        // Seven zeros: clear 4, "0" 0, "00" 6, "000" 7 at 3 bits; code 8 is assigned next, so the
        // width is 4 for "0" 0 and the end code 5. 4 | 6<<6 | 7<<9 | 0<<12 | 5<<16 = 0x50F84.
        {"seven zeros", {0, 0, 0, 0, 0, 0, 0}, 2, {0x02, 0x03, 0x84, 0x0F, 0x05, 0x00}},
        // A code size below 2 is raised to 2: same stream as "1x1 index 0".
        {"code size 1 raised to 2", {0}, 1, {0x02, 0x02, 0x44, 0x01, 0x00}},
        // 0 1 0 1 0: clear 4, "0" 0, "1" 1, "01" 6 at 3 bits; "010" takes code 8, past 3 bits,
        // so "0" 0 and the end code 5 go at 4 bits: 4 | 1<<6 | 6<<9 | 0<<12 | 5<<16 = 0x50C44.
        {"alternating", {0, 1, 0, 1, 0}, 2, {0x02, 0x03, 0x44, 0x0C, 0x05, 0x00}},
    };
    for (const HandCase& c : cases) {
        EXPECT_EQ(encodeFlat(c.pixels, c.codeSize), c.expected) << c.name;
    }
}

TEST(LzwEncoder, AnImageWithoutPixelsIsAClearAndAnEndCode) {
    // clear 4, end 5 at 3 bits: 4 | 5<<3 = 0x2C.
    EXPECT_EQ(encodeBuffer({}, 0, 7, 2), (Bytes{0x02, 0x01, 0x2C, 0x00}));
}

TEST(LzwEncoder, BytesTheInputLacksAreZero) {
    std::mt19937 rng(7);
    Bytes pixels = randomPixels(rng, 300, 4);
    Bytes padded = pixels;
    padded.resize(20 * 20, 0);
    EXPECT_EQ(encodeBuffer(pixels, 20, 20, 4), encodeBuffer(padded, 20, 20, 4));
    // Bytes beyond width x height are not read.
    Bytes longer = padded;
    longer.insert(longer.end(), 50, 9);
    EXPECT_EQ(encodeBuffer(longer, 20, 20, 4), encodeBuffer(padded, 20, 20, 4));
}

TEST(LzwEncoder, MatchesTheDictionaryReferenceByteForByte) {
    std::mt19937 rng(2024);
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        for (size_t count : {size_t(1), size_t(2), size_t(3), size_t(255), size_t(1000), size_t(20000)}) {
            for (int kind = 0; kind < 2; ++kind) {
                const Bytes pixels =
                    kind == 0 ? randomPixels(rng, count, codeSize) : runPixels(rng, count, codeSize, 300);
                const Bytes expected =
                    GifBytes()
                        .imageData(uint8_t(codeSize), referenceLzwEncode(pixels, codeSize), 254)
                        .bytes();
                ASSERT_EQ(encodeFlat(pixels, uint32_t(codeSize)), expected)
                    << "code size " << codeSize << ", " << count << " pixels, kind " << kind;
            }
        }
    }
}

TEST(LzwEncoder, RandomBuffersDecodeToThemselves) {
    // Noise, runs (long strings) and a single colour (strings growing by one pixel each time),
    // in every code size, from 1 x 1 to 2000 x 2000.
    struct Shape {
        uint32_t width, height;
        int codeSizes;  // bit set of the code sizes tried
    };
    const Shape shapes[] = {{1, 1, 0x1FC},   {2, 1, 0x1FC},     {1, 3, 0x1FC},    {17, 5, 0x1FC},
                            {255, 3, 0x1FC}, {320, 240, 0x1FC}, {1000, 7, 0x1FC}, {2000, 2000, 0x104}};
    std::mt19937 rng(99);
    for (const Shape& s : shapes) {
        for (int codeSize = 2; codeSize <= 8; ++codeSize) {
            if (!(s.codeSizes >> codeSize & 1)) continue;
            const size_t count = size_t(s.width) * s.height;
            for (int kind = 0; kind < 3; ++kind) {
                const Bytes pixels = kind == 0   ? randomPixels(rng, count, codeSize)
                                     : kind == 1 ? runPixels(rng, count, codeSize, 40)
                                                 : Bytes(count, uint8_t((1 << codeSize) - 1));
                const Decoded d = strictDecode(encodeBuffer(pixels, s.width, s.height, uint32_t(codeSize)));
                SCOPED_TRACE(testing::Message() << "code size " << codeSize << ", " << s.width << "x"
                                                << s.height << ", kind " << kind);
                expectWellFormed(d);
                EXPECT_EQ(d.minCodeSize, codeSize);
                ASSERT_TRUE(d.pixels == pixels);
            }
        }
    }
}

TEST(LzwEncoder, ClearsOnlyWhenTheTableIsFull) {
    // Noise with 8-bit indices assigns one code per pixel or two, so 4096 codes come quickly.
    // A code table fills after 4096 - 258 = 3838 assignments; the strict decoder refuses any
    // code other than clear after that, and counts the clears.
    std::mt19937 rng(5);
    struct Case {
        int codeSize;
        size_t count;
        int minimumClears;
    };
    const Case cases[] = {{8, 3000, 1}, {8, 200000, 20}, {2, 400000, 2}, {4, 400000, 5}};
    for (const Case& c : cases) {
        const Bytes pixels = randomPixels(rng, c.count, c.codeSize);
        const Decoded d = strictDecode(encodeFlat(pixels, uint32_t(c.codeSize)));
        SCOPED_TRACE(testing::Message() << "code size " << c.codeSize << ", " << c.count << " pixels");
        expectWellFormed(d);
        EXPECT_EQ(d.widestCode, 12);
        ASSERT_EQ(d.pixels, pixels);
        EXPECT_GE(d.clearCodes, c.minimumClears);
    }
    // Under 3838 new strings: exactly one clear, the first code.
    const Bytes few = randomPixels(rng, 2000, 8);
    const Decoded d = strictDecode(encodeFlat(few, 8));
    expectWellFormed(d);
    EXPECT_EQ(d.clearCodes, 1);
}

TEST(LzwEncoder, IdenticalPixelsBuildGrowingStrings) {
    // 5050 = 1 + 2 + ... + 100 identical pixels: 100 codes plus clear and end, none wider than
    // 8 bits, so at most 102 bytes of codes and 4 of framing.
    const Bytes pixels(5050, 1);
    const Bytes stream = encodeFlat(pixels, 2);
    EXPECT_LE(stream.size(), 106u);
    EXPECT_EQ(strictDecode(stream).pixels, pixels);
}

TEST(LzwEncoder, TheLastCodeOfAFullTableIsFollowedByPixel255) {
    // A run of 255s builds strings of 2, 3, ... 3839 pixels; code 4095, the last before the clear,
    // is then matched whole and followed by one more 255: the one string whose packed key has
    // every bit set (prefix 4095, pixel 255). Once broke an encoder that looked it up in an
    // empty slot and found it there.
    const size_t run = 3838 * 3839 / 2 + 3839 + 1 + 500;
    const Bytes pixels(run, 255);
    const Decoded d = strictDecode(encodeFlat(pixels, 8));
    expectWellFormed(d);
    EXPECT_EQ(d.clearCodes, 2);
    ASSERT_TRUE(d.pixels == pixels);
}

TEST(LzwEncoder, BitmapRowsGiveTheSameStreamAsTheBufferInFileOrder) {
    // A bitmap's stride is padded to 4 bytes; the encoder must read only `width` bytes a row, and
    // interlaced frames in the pass order 0,8,16.. 4,12.. 2,6,.. 1,3,..
    std::mt19937 rng(3);
    for (uint32_t height : {1u, 2u, 3u, 5u, 8u, 9u, 13u, 33u}) {
        const uint32_t width = 7;
        auto bitmap = IndexedBitmap::create(width, height);
        ASSERT_TRUE(bitmap);
        std::vector<Bytes> rows(height);
        for (uint32_t y = 0; y < height; ++y) {
            rows[y] = randomPixels(rng, width, 3);
            std::copy(rows[y].begin(), rows[y].end(), bitmap->row(y));
            // Garbage in the stride padding must not leak into the stream.
            bitmap->row(y)[width] = 0xEE;
        }
        std::vector<uint32_t> interlacedOrder;
        for (uint32_t y = 0; y < height; y += 8) interlacedOrder.push_back(y);
        for (uint32_t y = 4; y < height; y += 8) interlacedOrder.push_back(y);
        for (uint32_t y = 2; y < height; y += 4) interlacedOrder.push_back(y);
        for (uint32_t y = 1; y < height; y += 2) interlacedOrder.push_back(y);
        ASSERT_EQ(interlacedOrder.size(), height);
        for (bool interlaced : {false, true}) {
            Bytes fileOrder;
            for (uint32_t i = 0; i < height; ++i) {
                const Bytes& row = rows[interlaced ? interlacedOrder[i] : i];
                fileOrder.insert(fileOrder.end(), row.begin(), row.end());
            }
            std::vector<uint8_t> fromBitmap;
            LzwEncoder(*bitmap, interlaced, 3).encode(fromBitmap);
            EXPECT_EQ(fromBitmap, encodeBuffer(fileOrder, width, height, 3))
                << "height " << height << (interlaced ? " interlaced" : "");
        }
    }
}

}  // namespace
