#pragma once
// How many bits a colour table needs in a saved file: shared by the writer and by the size count
// that must agree with it byte for byte.
#include <cstdint>

#include "gif/document.h"

// Smallest b with 2^b > index: the bits a table needs to reach that index.
uint32_t bitsToReach(uint32_t index);
// The bits a table needs to reach every index the picture holds.
uint32_t indexBits(const IndexedBitmap& bitmap);
// The bits of the table's own size (at most its first 256 entries).
uint32_t ownBits(const ColorTable& table);
