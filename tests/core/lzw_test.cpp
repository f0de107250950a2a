// LZW codec: hand-packed code streams for the decoder, the encoder byte for byte against a plain
// dictionary encoder and round trips of every kind of picture. Streams that never clear once the
// table is full are read against giflib in the interop tests.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "gif/indexedbitmap.h"
#include "gif/lzwdecoder.h"
#include "gif/lzwencoder.h"
#include "support/gifbytes.h"

namespace {

struct Decoded {
    Bytes pixels;
    LzwStop stop;
    size_t end;  // where the cursor is left
};

// The image data decoded as the reader does; missing pixels must come out as 0.
Decoded decode(const Bytes& stream, size_t count) {
    ByteCursor in{stream.data(), stream.size(), 0};
    Decoded d{Bytes(count, 0xEE), LzwStop::Complete, 0};
    d.stop = std::make_unique<LzwDecoder>()->decode(in, d.pixels.data(), uint32_t(count));
    d.end = in.pos;
    return d;
}

// Noise, runs and one colour in every code size, up to millions of pixels: the decoder gives the
// pixels back, every sub-block but the last holds 254 bytes, and up to 70000 pixels the stream is
// byte for byte the reference encoder's (clears exactly when the table is full). 7372000 pixels of
// 255 build strings of 2, 3, ... 3839 pixels: code 4095 is then matched whole and followed by one
// more 255, the one string whose packed key has every bit set (once found in an empty hash slot).
TEST(LzwEncoder, RoundTripsAndMatchesTheReference) {
    std::mt19937 rng(2024);
    struct Case {
        int codeSize;
        uint32_t count, width;
    };
    std::vector<Case> cases = {{2, 2000 * 2000, 2000}, {8, 7372000, 4000}};
    for (int s = 2; s <= 8; ++s)
        for (uint32_t n : {1, 255, 70000, 400000}) cases.push_back({s, n, std::min(n, 1000u)});
    for (const Case& c : cases)
        for (int kind = 0; kind < 3; ++kind) {
            SCOPED_TRACE(testing::Message()
                         << "code size " << c.codeSize << ", " << c.count << " pixels, kind " << kind);
            Bytes pixels(c.count, uint8_t((1 << c.codeSize) - 1));
            for (size_t i = 0; kind < 2 && i < c.count;) {  // noise, or runs of up to 300
                const size_t run = kind == 0 ? 1 : 1 + rng() % 300;
                const uint8_t value = uint8_t(rng() % (1u << c.codeSize));
                for (size_t k = 0; k < run && i < c.count; ++k) pixels[i++] = value;
            }
            auto bitmap = IndexedBitmap::create(c.width, c.count / c.width);
            for (size_t i = 0; i < c.count; ++i) bitmap->row(uint32_t(i / c.width))[i % c.width] = pixels[i];
            Bytes stream;
            LzwEncoder(*bitmap, false, uint32_t(c.codeSize)).encode(stream);
            size_t at = 1;
            while (stream[at] == 254) at += 255;
            ASSERT_EQ((stream[at] ? at + stream[at] + 1 : at) + 1, stream.size());
            const Decoded d = decode(stream, c.count);
            ASSERT_EQ(int(d.stop), int(LzwStop::Complete));
            ASSERT_TRUE(d.pixels == pixels);
            const Bytes codes = c.count <= 70000 ? referenceLzwEncode(pixels, c.codeSize) : Bytes();
            if (!codes.empty()) {
                ASSERT_EQ(stream, GifBytes().imageData(uint8_t(c.codeSize), codes, 254).bytes());
            }
        }
}

// Code size 2: clear 4, end 5, first free code 6, 3-bit codes widening to 4 bits once the
// decoder's next free code reaches 8.
TEST(LzwDecoder, HandPackedStreams) {
    auto stream = [](std::vector<std::pair<int, int>> codes, int blockSize = 255) {
        return GifBytes().imageData(2, packCodes(codes), blockSize).bytes();
    };
    // As many pixels are asked for as `expected` holds; `end` is where the file is left (0: not checked).
    // clang-format off
    const struct { const char* name; Bytes stream; Bytes expected; LzwStop stop; size_t end; } cases[] = {
        // No clear first: 1; 1 adds 6; 2 adds 7 and widens; end at 4 bits, before the 5 pixels asked.
        {"early end code", stream({{1, 3}, {1, 3}, {2, 3}, {5, 4}}), {1, 1, 2, 0, 0}, LzwStop::EndCode, 0},
        // 7 is the next free code (KwKwK): the previous string "1" plus its own first byte.
        {"KwKwK", stream({{4, 3}, {2, 3}, {1, 3}, {7, 3}, {6, 4}, {5, 4}}), {2, 1, 1, 1, 2, 1}, LzwStop::Complete, 0},
        // A clear at 4 bits takes the width back to 3.
        {"clear", stream({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 4}, {3, 3}, {3, 3}, {6, 3}, {5, 4}}),
         {1, 2, 3, 3, 3, 3, 3}, LzwStop::Complete, 0},
        {"code above the next free", stream({{4, 3}, {1, 3}, {7, 3}}), {1, 0, 0}, LzwStop::BadCode, 0},
        {"data ends", stream({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}}), {1, 2, 3, 1, 0, 0}, LzwStop::EndOfData, 0},
        {"empty file", {}, {0, 0}, LzwStop::EndOfData, 0},
        // After the clear, 6 (undefined: reads 0), then 6 defines itself as its own prefix: the
        // third 6 would chain forever, until the pixel stack is full.
        {"pixel-stack overflow", stream({{4, 3}, {6, 3}, {6, 3}, {6, 3}, {5, 3}}), {0, 0, 0, 6, 0, 0, 0, 0},
         LzwStop::StackOverflow, 0},
        // Code size 12 cannot work with 12-bit codes: refused, its sub-blocks skipped.
        {"code size 12", GifBytes().imageData(12, {0xFF, 0xFF, 0xFF, 0xFF}, 2).bytes(), {0, 0, 0},
         LzwStop::BadCodeSize, 8},
        // 16 bits of codes in one-byte sub-blocks [2][1 b0][1 b1][0]: one pixel needs only the
        // first sub-block; asking for more stops at the end code in the second.
        {"one sub-block read", stream({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}, 1), {1}, LzwStop::Complete, 3},
        {"end code in the second", stream({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}, 1), {1, 2, 3, 0},
         LzwStop::EndCode, 5},
    };
    // clang-format on
    for (const auto& c : cases) {
        const Decoded d = decode(c.stream, c.expected.size());
        EXPECT_EQ(d.pixels, c.expected) << c.name;
        EXPECT_EQ(int(d.stop), int(c.stop)) << c.name;
        EXPECT_TRUE(c.end == 0 || d.end == c.end) << c.name << ": " << d.end;
    }
}

}  // namespace
