#include "gif/lzwdecoder.h"

#include <cstring>

#include "gif/limits.h"

namespace {

// Codes are packed least significant bit first, so the word is read little-endian on any host.
inline uint64_t loadLittle64(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t value;
    std::memcpy(&value, p, 8);
    return value;
#else
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | p[i];
    return value;
#endif
}

// The first eight bytes of a string followed by one more byte.
inline uint64_t extendedHead(uint64_t previous, uint32_t previousLength, uint8_t next) {
    return previousLength < 8 ? previous | uint64_t(next) << (8 * previousLength) : previous;
}

// Loads before it stores, so a source that runs into the destination still gives its old bytes.
inline void copy8(uint8_t* target, const uint8_t* source) {
    uint64_t word;
    std::memcpy(&word, source, 8);
    std::memcpy(target, &word, 8);
}

}  // namespace

// The tables start as zero, as the first image expects them; the buffers need no start.
LzwDecoder::LzwDecoder() : prefix_(), suffix_(), length_(), head_(), offset_() {}

LzwStop LzwDecoder::decode(ByteCursor& in, uint8_t* pixels, uint32_t pixelCount) {
    const int dataSize = in.byte();
    if (dataSize > velmora::kMaxLzwMinimumCodeSize) {
        // The codes below the clear code would not fit in a 12-bit table: refuse the image.
        if (pixelCount) std::memset(pixels, 0, pixelCount);
        in.skipChain();
        return LzwStop::BadCodeSize;
    }
    // The sub-blocks are read in place. `next` is the next byte of the current sub-block, which
    // ends at `blockEnd` (where the next length byte stands); none is open yet.
    const uint8_t* const fileEnd = in.data + in.size;
    const uint8_t* const chainStart = in.data + (in.pos < in.size ? in.pos : in.size);
    const uint8_t* next = chainStart;
    const uint8_t* blockEnd = chainStart;

    const int clear = 1 << dataSize;
    const int end = clear + 1;
    int available = clear + 2;
    int oldCode = -1;
    int codeSize = dataSize + 1;
    int codeMask = (1 << codeSize) - 1;
    // Codes at and above the clear code start as zero so a hostile stream that uses one before
    // defining it still decodes the same way every time. Only what earlier images wrote is
    // cleared, which keeps many small images cheap.
    if (dirtyCodes_ > clear) {
        std::memset(prefix_ + clear, 0, sizeof prefix_[0] * size_t(dirtyCodes_ - clear));
        std::memset(suffix_ + clear, 0, size_t(dirtyCodes_ - clear));
    }
    for (int code = 0; code < clear; ++code) {
        suffix_[code] = uint8_t(code);
        length_[code] = 1;
        head_[code] = uint8_t(code);  // a literal of 11 bits keeps its low byte
    }
    // No string fits these lengths, so the copy path hands the two codes to the general one.
    length_[clear] = length_[end] = UINT32_MAX;

    // Working state in locals: every byte stored through `pixels` may alias a member, which
    // would make the compiler reload members after each pixel. The tables are reached as
    // members: one base register serves them all, where pointers of their own were spilled.
    uint8_t* const out = pixels;
    uint64_t datum = 0;
    int bits = 0;

    int first = 0;
    uint32_t written = 0;
    // The copy path stores up to 8 bytes past a string's end: it runs while they stay inside.
    const uint64_t copyEnd = pixelCount >= 8 ? pixelCount - 8 : 0;
    // The previous code's string: where it begins in the output, its length and first bytes.
    uint32_t oldStart = 0;
    uint32_t oldLength = 0;
    uint64_t oldHead = 0;
    // Set when a hostile stream makes its first code after a clear the next free code: the
    // table may then hold chains that loop, so strings go through the bounded pixel stack
    // until the next clear. Otherwise every chain is as long as its recorded length.
    bool tainted = false;
    // Whether the next code may take the copy path: there is a previous string, and the table
    // is sound.
    bool copying = false;
    LzwStop stop = LzwStop::Complete;

    // The width grows when the next code to be assigned no longer fits it.
#define VELMORA_WIDEN_AFTER_ENTRY()                             \
    if ((available & codeMask) == 0 && available < kMaxCodes) { \
        ++codeSize;                                             \
        codeMask += available;                                  \
    }

    while (written < pixelCount) {
        if (bits < codeSize) {
            if (blockEnd - next >= 8) {
                // Whole words inside a sub-block; the bits already held are those of the same
                // bytes, so the OR leaves them as they are.
                datum |= loadLittle64(next) << bits;
                next += (63 - bits) >> 3;
                bits |= 56;
            } else {
                // Near a sub-block's end: a byte at a time, opening the next sub-block only when
                // a code needs its bytes, as the reader's block scan expects.
                while (bits < codeSize) {
                    if (next == blockEnd) {
                        const size_t length = next < fileEnd ? *next++ : 0;
                        const size_t there = size_t(fileEnd - next);
                        blockEnd = next + (length < there ? length : there);
                        if (blockEnd == next) {  // a terminator, or the end of the file
                            stop = LzwStop::EndOfData;
                            goto finished;
                        }
                    }
                    datum |= uint64_t(*next++) << bits;
                    bits += 8;
                }
            }
        }
        int code = int(datum & uint64_t(codeMask));
        datum >>= codeSize;
        bits -= codeSize;

        if (copying) {
            uint8_t* const target = out + written;
            if (code < available) {
                // A known string: its first eight bytes from the table, the rest (rare) copied
                // from where it stands in the output, eight bytes at a time.
                const uint32_t size = length_[code];
                if (written + uint64_t(size) > copyEnd) {
                    first = uint8_t(oldHead);
                    goto general;
                }
                const uint64_t bytes = head_[code];
                std::memcpy(target, &bytes, 8);
                if (size > 8) {
                    const uint8_t* const from = out + offset_[code];
                    for (uint32_t k = 8; k < size; k += 8) copy8(target + k, from + k);
                }
                if (available < kMaxCodes) {
                    // The previous string and this one's first byte make the next code.
                    prefix_[available] = int16_t(oldCode);
                    suffix_[available] = uint8_t(bytes);
                    length_[available] = oldLength + 1;
                    head_[available] = extendedHead(oldHead, oldLength, uint8_t(bytes));
                    offset_[available] = oldStart;
                    ++available;
                    VELMORA_WIDEN_AFTER_ENTRY()
                }
                oldCode = code;
                oldStart = written;
                oldLength = size;
                oldHead = bytes;
                written += size;
                continue;
            }
            first = uint8_t(oldHead);  // the copy path keeps the first byte only in oldHead
            if (code == available && written + uint64_t(oldLength) + 1 <= copyEnd) {
                // Not yet in the table: the previous string plus its own first byte.
                const uint8_t firstByte = uint8_t(oldHead);
                const uint64_t bytes = extendedHead(oldHead, oldLength, firstByte);
                std::memcpy(target, &bytes, 8);
                const uint8_t* const from = out + oldStart;
                for (uint32_t k = 8; k < oldLength; k += 8) copy8(target + k, from + k);
                target[oldLength] = firstByte;
                prefix_[available] = int16_t(oldCode);
                suffix_[available] = firstByte;
                length_[available] = oldLength + 1;
                head_[available] = bytes;
                offset_[available] = oldStart;
                ++available;
                VELMORA_WIDEN_AFTER_ENTRY()
                oldCode = code;
                oldStart = written;
                oldLength += 1;
                oldHead = bytes;
                written += oldLength;
                continue;
            }
        }

    general:
        if (code > available) {
            stop = LzwStop::BadCode;
            break;
        }
        if (code == end) {
            stop = LzwStop::EndCode;
            break;
        }
        if (code == clear) {
            if (available > dirtyCodes_) dirtyCodes_ = available;
            codeSize = dataSize + 1;
            codeMask = (1 << codeSize) - 1;
            available = clear + 2;
            oldCode = -1;
            tainted = false;
            copying = false;
            continue;
        }
        if (oldCode == -1) {
            // A stream may start without a clear code: the first code stands for itself.
            if (code == available) tainted = true;
            oldStart = written;
            pixels[written++] = suffix_[code];
            oldCode = code;
            oldLength = length_[code];
            oldHead = head_[code];
            first = code;
            copying = !tainted;
            continue;
        }

        {
            const int inCode = code;
            const uint32_t start = written;
            // The string is written straight into place, last byte first.
            const uint32_t size = code == available ? length_[oldCode] + 1u : length_[code];
            if (!tainted && size != 0 && size <= pixelCount - written) {
                uint8_t* target = pixels + written;
                uint32_t pos = size - 1;
                if (code == available) {
                    target[pos--] = uint8_t(first);
                    code = oldCode;
                }
                for (; pos > 0; --pos) {  // bounded by the length, whatever the table holds
                    target[pos] = suffix_[code];
                    code = prefix_[code];
                }
                first = suffix_[code];
                target[0] = uint8_t(first);
                written += size;
            } else {
                int top = 0;
                if (code == available) {
                    // The string not yet in the table: the previous string plus its own first byte.
                    stack_[top++] = uint8_t(first);
                    code = oldCode;
                }
                while (code > clear) {
                    if (top == kStackSize) {
                        stop = LzwStop::StackOverflow;
                        goto finished;
                    }
                    stack_[top++] = suffix_[code];
                    code = prefix_[code];
                }
                first = suffix_[code];
                if (top == kStackSize) {
                    stop = LzwStop::StackOverflow;
                    break;
                }
                stack_[top++] = uint8_t(first);
                // The stack holds the string last byte first; what passes the picture is dropped.
                uint32_t take = uint32_t(top);
                if (take > pixelCount - written) take = pixelCount - written;
                uint8_t* target = pixels + written;
                for (uint32_t i = 0; i < take; ++i) target[i] = stack_[top - 1 - int(i)];
                written += take;
            }
            // The previous string plus the first byte of this one becomes the next code.
            // Deferred clear: once the table is full, encoders may keep sending 12-bit codes
            // without a clear; they still decode, the table just stops growing.
            if (available < kMaxCodes) {
                prefix_[available] = int16_t(oldCode);
                suffix_[available] = uint8_t(first);
                length_[available] = length_[oldCode] + 1;
                head_[available] = extendedHead(head_[oldCode], length_[oldCode], first);
                offset_[available] = oldStart;
                ++available;
                VELMORA_WIDEN_AFTER_ENTRY()
            }
            oldCode = inCode;
            oldStart = start;
            oldLength = length_[oldCode];
            oldHead = head_[oldCode];
        }
    }
#undef VELMORA_WIDEN_AFTER_ENTRY

finished:
    if (available > dirtyCodes_) dirtyCodes_ = available;
    if (written < pixelCount) std::memset(pixels + written, 0, pixelCount - written);
    // Left after the sub-block that held the last byte a code used (every byte read was used), or
    // after the terminator or at the end of the file that ended the data.
    in.pos = size_t((stop == LzwStop::EndOfData ? next : blockEnd) - in.data);
    return stop;
}
