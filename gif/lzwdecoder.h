#pragma once
// GIF LZW decoder: turns one image's code stream into exactly W x H colour indices.
#include <cstdint>

#include "gif/bytecursor.h"

// Why decoding ended; the reader ignores it (missing pixels are 0 either way), tests look at it.
enum class LzwStop {
    Complete,       // every pixel came from the stream
    EndCode,        // the end code arrived early
    EndOfData,      // a zero-length sub-block or the end of the file
    BadCode,        // a code above the next free code
    StackOverflow,  // a hostile code chain longer than any real string
    BadCodeSize,    // minimum code size above what 12-bit codes allow; the data was skipped
};

class LzwDecoder {
public:
    static constexpr int kMaxCodes = 4096;
    static constexpr int kStackSize = kMaxCodes + 1;

    LzwDecoder();

    // Reads the minimum code size byte and the sub-blocks from the cursor's position and fills
    // `pixelCount` indices (missing ones as 0). The cursor is left after the sub-block that
    // completed the last pixel (or held the code that stopped decoding): the rest of the chain
    // stays for the reader's block scan, as it always has.
    LzwStop decode(ByteCursor& in, uint8_t* pixels, uint32_t pixelCount);

private:
    // Codes below this may hold entries of earlier images; at and above it the table is zero.
    int dirtyCodes_ = 0;

    // The table. Prefix code and last byte of each string are what a chain walk needs; for the
    // copy path, each string's length, its first eight bytes (all of a short one) and where in
    // the output it already stands, so a known string is a store, or a store and a copy.
    int16_t prefix_[kMaxCodes];
    uint8_t suffix_[kMaxCodes];
    uint32_t length_[kMaxCodes];
    uint64_t head_[kMaxCodes];
    uint32_t offset_[kMaxCodes];
    uint8_t stack_[kStackSize];
};
