#pragma once
// Hand-made GIF byte streams for tests: every block spelled out, so a test shows its recipe.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

// (code, width) pairs packed least significant bit first, the last byte padded with zero bits:
// the widths come from the test, not from the decoder.
Bytes packCodes(const std::vector<std::pair<int, int>>& codes);

class GifBytes {
public:
    GifBytes& raw(const Bytes& b) { return bytes_.insert(bytes_.end(), b.begin(), b.end()), *this; }
    GifBytes& text(const std::string& s) { return raw(Bytes(s.begin(), s.end())); }
    GifBytes& u16(uint16_t value) { return raw({uint8_t(value), uint8_t(value >> 8)}); }
    GifBytes& header() { return text("GIF89a"); }
    // Logical screen descriptor; `packed` as in the file (bit 7 table flag, bits 0-2 its size).
    GifBytes& screen(uint16_t width, uint16_t height, uint8_t packed = 0, uint8_t background = 0) {
        return u16(width).u16(height).raw({packed, background, 0});
    }
    // `count` entries where entry i is (i, 255 - i, i * 7 mod 256).
    GifBytes& table(int count);
    GifBytes& colors(const std::vector<uint32_t>& rrggbb);
    GifBytes& graphicControl(uint8_t packed, uint16_t delay, uint8_t index) {
        return raw({0x21, 0xF9, 4, packed}).u16(delay).raw({index, 0});
    }
    // Comment extension with one sub-block per string.
    GifBytes& comment(const std::vector<std::string>& subBlocks);
    // "NETSCAPE2.0" with the looping sub-block {1, count}.
    GifBytes& netscapeLoop(uint16_t count) {
        return raw({0x21, 0xFF, 11}).text("NETSCAPE2.0").raw({3, 1, uint8_t(count), uint8_t(count >> 8), 0});
    }
    GifBytes& imageDescriptor(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                              uint8_t packed = 0) {
        return raw({0x2C}).u16(left).u16(top).u16(width).u16(height).raw({packed});
    }
    // Minimum code size, `data` cut into sub-blocks of at most `blockSize` bytes, the terminator.
    GifBytes& imageData(uint8_t minCodeSize, const Bytes& data, int blockSize = 255);
    GifBytes& trailer() { return raw({0x3B}); }

    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// A plain LZW encoder over a dictionary of strings, independent of the codec under test: a clear
// code first and whenever the table fills, or with `deferredClear` none once full (12-bit codes
// go on without new entries).
Bytes referenceLzwEncode(const Bytes& pixels, int minCodeSize, bool deferredClear = false);

// Writes bytes to a file in the test output folder and returns its path.
std::string writeTestFile(const std::string& name, const Bytes& bytes);
Bytes readWholeFile(const std::string& path);
