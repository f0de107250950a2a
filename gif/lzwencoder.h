#pragma once
// GIF LZW compression of one frame's colour indices: an adaptive-reset coder, 12-bit codes at most,
// a clear code only when the code table is full, and output packed into data sub-blocks of at most
// 254 bytes. The strings are found in an open-addressing hash kept at most a quarter full.
#include <cstddef>
#include <cstdint>
#include <vector>

class IndexedBitmap;

class LzwEncoder {
public:
    static constexpr uint32_t kMaxCodeWidth = 12;
    static constexpr uint32_t kCodeLimit = 4096;
    static constexpr uint32_t kHashBits = 14;
    static constexpr uint32_t kHashSize = 1u << kHashBits;
    static constexpr int kPacketCapacity = 254;

    // Reads the rows straight from the bitmap, in interlace pass order when asked. A minimum code
    // size below 2 becomes 2; one above 8 becomes 8, enough for any byte.
    LzwEncoder(const IndexedBitmap& bitmap, bool interlaced, uint32_t minimumCodeSize);

    // Receives the bytes collected so far whenever they pass 64 KB, then they are dropped from
    // the vector: keeps the memory of a huge frame's encoding small and in cache.
    struct Drain {
        void (*function)(void* context, const std::vector<uint8_t>& bytes);
        void* context;
    };
    // Appends the minimum code size byte, the data sub-blocks and the terminator 0.
    void encode(std::vector<uint8_t>& output, const Drain* drain = nullptr);

    uint32_t minimumCodeSize() const { return minimumCodeSize_; }

private:
    // Hands the pixels to the compressor as runs of consecutive bytes.
    class PixelRuns;
    class Output;

    void compress(PixelRuns& pixels, Output& out);

    uint32_t minimumCodeSize_ = 2;
    const IndexedBitmap* bitmap_ = nullptr;
    bool interlaced_ = false;

    // The hash: key and code of each string in one word; the slots taken since the last clear, so
    // a clear empties only those.
    uint32_t slots_[kHashSize];
    uint16_t taken_[kCodeLimit];
    // A cache in front of the hash: the last child found or made for each code.
    uint32_t lastChild_[kCodeLimit];
};
