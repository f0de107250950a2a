#pragma once
// GIF LZW decoder: turns one image's code stream into exactly W x H colour indices.
#include <cstdint>
#include <cstdio>

#include "gif/bytebuffer.h"

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

    // Reads the minimum code size byte and the code stream from the current position of
    // `stream`, and fills `pixelCount` indices from the buffer's position on (missing ones as 0;
    // the buffer grows when it is too short). The position is left where it was, on the first
    // pixel. Reads no sub-block beyond the one that completes the last pixel.
    LzwStop decode(FILE* stream, ByteBuffer& output, uint32_t pixelCount);
    // The same into plain memory of at least `pixelCount` bytes.
    LzwStop decode(FILE* stream, uint8_t* pixels, uint32_t pixelCount);

private:
    bool fillBlock();  // false at a zero-length sub-block or the end of the file

    FILE* stream_ = nullptr;
    int16_t prefix_[kMaxCodes];
    uint8_t suffix_[kMaxCodes];
    uint16_t length_[kMaxCodes];  // string length of each code defined since the last clear
    uint8_t stack_[kStackSize];
    uint8_t block_[256];
    int count_ = 0;     // bytes of the current sub-block still unread
    int blockPos_ = 0;  // next byte of the current sub-block
};
