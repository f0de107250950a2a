#pragma once
// Hand-made GIF byte streams for tests: every block spelled out, so a test shows its recipe.
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Packs codes least significant bit first, each with the width the test states for it, so the
// expected widths come from the test and not from the decoder.
class LzwCodePacker {
public:
    LzwCodePacker& put(int code, int width);
    // Bytes so far, the last one padded with zero bits.
    Bytes bytes() const;

private:
    Bytes out_;
    uint32_t datum_ = 0;
    int bits_ = 0;
};

// (code, width) pairs packed in order.
Bytes packCodes(const std::vector<std::pair<int, int>>& codes);

class GifBytes {
public:
    GifBytes& raw(const Bytes& bytes);
    GifBytes& text(const std::string& s);
    GifBytes& u16(uint16_t value);
    GifBytes& header(const char* signature = "GIF", const char* version = "89a");
    // Logical screen descriptor; `packed` as in the file (bit 7 table flag, bits 0-2 its size).
    GifBytes& screen(uint16_t width, uint16_t height, uint8_t packed = 0, uint8_t background = 0);
    // Colour entries: a table of `count` entries where entry i is (i, 255 - i, i * 7 mod 256)
    // unless colours are given.
    GifBytes& table(int count);
    GifBytes& colors(const std::vector<uint32_t>& rrggbb);
    GifBytes& graphicControl(uint8_t packed, uint16_t delay, uint8_t index);
    // Comment extension with one sub-block per string.
    GifBytes& comment(const std::vector<std::string>& subBlocks);
    // Application extension "NETSCAPE2.0" with the looping sub-block {1, count}.
    GifBytes& netscapeLoop(uint16_t count);
    GifBytes& application(const std::string& id, const std::vector<Bytes>& subBlocks);
    GifBytes& imageDescriptor(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                              uint8_t packed = 0);
    // Minimum code size, then `data` cut into sub-blocks of at most `blockSize` bytes, then the
    // zero terminator unless `terminate` is false.
    GifBytes& imageData(uint8_t minCodeSize, const Bytes& data, int blockSize = 255, bool terminate = true);
    GifBytes& trailer();

    const Bytes& bytes() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

private:
    Bytes bytes_;
};

// A plain reference LZW encoder (a dictionary of strings, a clear code first and whenever the
// table fills, or with `deferredClear` no clear once full: 12-bit codes go on without new
// entries). Independent of the decoder under test.
Bytes referenceLzwEncode(const Bytes& pixels, int minCodeSize, bool deferredClear = false);

// Writes bytes to a file in the test output folder and returns its path.
std::string writeTestFile(const std::string& name, const Bytes& bytes);
// Opens bytes as a read-only stream (backed by a file in the test output folder).
FILE* openBytes(const std::string& name, const Bytes& bytes);
Bytes readWholeFile(const std::string& path);
