#include "gif/tablebits.h"

#include <algorithm>
#include <cstring>

// Smallest b with 2^b > index: the bits a table needs to reach that index.
uint32_t bitsToReach(uint32_t index) {
    uint32_t bits = 0;
    while ((uint32_t(1) << bits) <= index) ++bits;
    return bits;
}

// The OR of all indices has the same highest bit as the largest one, so it tells how many bits
// the table needs, and it is cheaper than a maximum: eight pixels a step.
uint32_t indexBits(const IndexedBitmap& bitmap) {
    uint64_t any = 0;
    const uint32_t width = bitmap.width();
    for (uint32_t y = 0; y < bitmap.height(); ++y) {
        const uint8_t* row = bitmap.row(y);
        uint32_t x = 0;
        for (; x + 8 <= width; x += 8) {
            uint64_t eight;
            std::memcpy(&eight, row + x, 8);
            any |= eight;
        }
        for (; x < width; ++x) any |= row[x];
    }
    uint32_t folded = 0;
    for (int byte = 0; byte < 8; ++byte) folded |= uint32_t(any >> (8 * byte)) & 0xFF;
    return bitsToReach(folded);
}

// Tables of more than 256 entries are cut to their first 256: the file cannot say more.
uint32_t ownBits(const ColorTable& table) {
    const size_t entries = std::min<size_t>(table.entries.size(), 256);
    uint32_t bits = 0;
    while ((size_t(1) << bits) < entries) ++bits;
    return bits;
}
