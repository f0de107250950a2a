#include "gif/lzwdecoder.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "gif/limits.h"

namespace {

// Skips a sub-block chain; the end of the file ends it like a zero length byte.
void skipChain(FILE* stream) {
    for (;;) {
        const int length = std::getc(stream);
        if (length == EOF || length == 0) return;
        std::fseek(stream, length, SEEK_CUR);
    }
}

}  // namespace

bool LzwDecoder::fillBlock() {
    const int length = std::getc(stream_);
    if (length == EOF || length == 0) return false;
    // A sub-block cut off by the end of the file gives the bytes that are there.
    count_ = int(std::fread(block_, 1, size_t(length), stream_));
    blockPos_ = 0;
    return count_ > 0;
}

LzwStop LzwDecoder::decode(FILE* stream, ByteBuffer& output, uint32_t pixelCount) {
    const int32_t start = output.tell();
    const int64_t needed = int64_t(start) + pixelCount;
    if (needed > output.length()) {
        // ByteBuffer only writes at its position, and its position never passes the last byte:
        // rewrite the last byte together with the zeros that extend the buffer.
        const int32_t from = output.length() > 0 ? output.length() - 1 : 0;
        std::vector<uint8_t> tail(size_t(needed - from), 0);
        if (output.length() > 0) tail[0] = output.bytes()[from];
        output.seek(0, from);
        if (needed <= INT32_MAX) output.write(tail.data(), int32_t(tail.size()));
        output.seek(0, start);
        if (output.length() < needed) {
            // No room for the pixels: leave the file where a skipped image would.
            std::getc(stream);
            skipChain(stream);
            return LzwStop::EndOfData;
        }
    }
    return decode(stream, output.bytes() + start, pixelCount);
}

LzwStop LzwDecoder::decode(FILE* stream, uint8_t* pixels, uint32_t pixelCount) {
    stream_ = stream;
    count_ = 0;
    blockPos_ = 0;

    const int byte = std::getc(stream);
    const int dataSize = byte == EOF ? 0 : byte;
    if (dataSize > velmora::kMaxLzwMinimumCodeSize) {
        // The codes below the clear code would not fit in a 12-bit table: refuse the image.
        if (pixelCount) std::memset(pixels, 0, pixelCount);
        skipChain(stream);
        return LzwStop::BadCodeSize;
    }

    const int clear = 1 << dataSize;
    const int end = clear + 1;
    int available = clear + 2;
    int oldCode = -1;
    int codeSize = dataSize + 1;
    int codeMask = (1 << codeSize) - 1;
    // Codes at and above the clear code start as zero so a hostile stream that uses one before
    // defining it still decodes the same way every time.
    std::memset(prefix_, 0, sizeof prefix_);
    std::memset(suffix_, 0, sizeof suffix_);
    std::memset(length_, 0, sizeof length_);
    for (int code = 0; code < clear; ++code) {
        suffix_[code] = uint8_t(code);
        length_[code] = 1;
    }

    // Working state in locals: every byte stored through `pixels` may alias a member, which
    // would make the compiler reload members after each pixel.
    uint32_t datum = 0;
    int bits = 0;
    int first = 0;
    uint32_t written = 0;
    int blockPos = 0;
    int count = 0;
    int16_t* const prefix = prefix_;
    uint8_t* const suffix = suffix_;
    uint8_t* const stack = stack_;
    uint16_t* const length = length_;
    // Set when a hostile stream makes its first code after a clear the next free code: the
    // table may then hold chains that loop, so strings go through the bounded pixel stack
    // until the next clear. Otherwise every chain is as long as its recorded length.
    bool tainted = false;
    LzwStop stop = LzwStop::Complete;

    // The previous string plus the first byte of this one becomes the next code, and the width
    // grows when that code fills it. Deferred clear: once the table is full, encoders may keep
    // sending 12-bit codes without a clear; they still decode, the table just stops growing.
    auto addEntry = [&] {
        if (available >= kMaxCodes) return;
        prefix[available] = int16_t(oldCode);
        suffix[available] = uint8_t(first);
        length[available] = uint16_t(length[oldCode] + 1);
        ++available;
        if ((available & codeMask) == 0 && available < kMaxCodes) {
            ++codeSize;
            codeMask += available;
        }
    };

    while (written < pixelCount) {
        while (bits < codeSize) {
            if (blockPos == count) {
                if (!fillBlock()) {
                    stop = LzwStop::EndOfData;
                    goto finished;
                }
                blockPos = 0;
                count = count_;
            }
            datum |= uint32_t(block_[blockPos++]) << bits;
            bits += 8;
        }
        int code = int(datum & uint32_t(codeMask));
        datum >>= codeSize;
        bits -= codeSize;

        if (code > available) {
            stop = LzwStop::BadCode;
            break;
        }
        if (code == end) {
            stop = LzwStop::EndCode;
            break;
        }
        if (code == clear) {
            codeSize = dataSize + 1;
            codeMask = (1 << codeSize) - 1;
            available = clear + 2;
            oldCode = -1;
            tainted = false;
            continue;
        }
        if (oldCode == -1) {
            // A stream may start without a clear code: the first code stands for itself.
            if (code == available) tainted = true;
            pixels[written++] = suffix[code];
            oldCode = code;
            first = code;
            continue;
        }

        const int inCode = code;
        if (!tainted) {
            // Fast path: the string is written straight into place, last byte first.
            const uint32_t size = code == available ? length[oldCode] + 1u : length[code];
            if (size != 0 && size <= pixelCount - written) {
                uint8_t* out = pixels + written;
                uint32_t pos = size - 1;
                if (code == available) {
                    out[pos--] = uint8_t(first);
                    code = oldCode;
                }
                for (; pos > 0; --pos) {  // bounded by the length, whatever the table holds
                    out[pos] = suffix[code];
                    code = prefix[code];
                }
                first = suffix[code];
                out[0] = uint8_t(first);
                written += size;
                addEntry();
                oldCode = inCode;
                continue;
            }
        }

        int top = 0;
        if (code == available) {
            // The string not yet in the table: the previous string plus its own first byte.
            stack[top++] = uint8_t(first);
            code = oldCode;
        }
        while (code > clear) {
            if (top == kStackSize) {
                stop = LzwStop::StackOverflow;
                goto finished;
            }
            stack[top++] = suffix[code];
            code = prefix[code];
        }
        first = suffix[code];
        if (top == kStackSize) {
            stop = LzwStop::StackOverflow;
            break;
        }
        stack[top++] = uint8_t(first);
        addEntry();
        oldCode = inCode;

        // The stack holds the string last byte first.
        uint32_t take = uint32_t(top);
        if (take > pixelCount - written) take = pixelCount - written;
        uint8_t* out = pixels + written;
        for (uint32_t i = 0; i < take; ++i) out[i] = stack[top - 1 - int(i)];
        written += take;
    }

finished:
    if (written < pixelCount) std::memset(pixels + written, 0, pixelCount - written);
    return stop;
}
