#pragma once
// A read position in a file held whole in memory. Reading past the end gives zeros, as the reader
// treats a field cut off by the end of the file, and sub-block chains end with the file.
#include <cstddef>
#include <cstdint>
#include <cstring>

struct ByteCursor {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;

    bool atEnd() const { return pos >= size; }
    size_t left() const { return pos < size ? size - pos : 0; }

    uint8_t byte() { return pos < size ? data[pos++] : 0; }

    void bytes(void* target, size_t count) {
        const size_t got = count < left() ? count : left();
        if (got) std::memcpy(target, data + pos, got);
        if (got < count) std::memset(static_cast<uint8_t*>(target) + got, 0, count - got);
        pos += got;
    }

    // The next sub-block of a chain: its bytes start at `start`; returns how many the file holds,
    // 0 at the chain's end (a zero length byte, or the end of the file, even inside a sub-block).
    size_t subBlock(const uint8_t*& start) {
        if (atEnd()) return 0;
        const size_t length = data[pos++];
        const size_t got = length < left() ? length : left();
        start = data + pos;
        pos += got;
        return got;
    }

    void skipChain() {
        const uint8_t* ignored;
        while (subBlock(ignored)) {
        }
    }
};
