#pragma once
// Random documents for round trips and interop checks, and what a saved one reads back as.
#include <cstdint>
#include <random>
#include <vector>

#include "gif/document.h"

struct TestRng {
    std::mt19937 engine;
    explicit TestRng(uint32_t seed) : engine(seed) {}
    int upTo(int most) { return std::uniform_int_distribution<int>(0, most)(engine); }
    int between(int least, int most) { return std::uniform_int_distribution<int>(least, most)(engine); }
    bool chance(int percent) { return upTo(99) < percent; }
};

struct RandomDocumentShape {
    int maxFrames = 5;
    int maxSide = 40;    // most frames
    int bigPercent = 5;  // frames up to bigSide x bigSide
    int bigSide = 700;
    int transparentPercent = 40;
    int strayIndexPercent = 15;  // frames with indices beyond their table
};

// Screen, looping, tables of 1-256 entries, frames with offsets, delays, disposals 0-7,
// transparency, interlace and comments (empty, short and long; never a 0 byte).
void randomDocument(TestRng& rng, GifAnimation& doc, const RandomDocumentShape& shape = {});

int largestIndex(const GifFrame& frame);

// Entries a table is saved with: a power of two of at least 2 that holds the table (at most
// 256 of it) and reaches the largest index of the frames drawing from it.
size_t savedTableSize(size_t entries, int largest);

// The entries of a saved table: the first `size` entries, then black.
std::vector<RgbColor> paddedEntries(const std::vector<RgbColor>& entries, size_t size);

// The colours a saved file gives frame `index`: its local table, else the global one, with
// the padding the writer adds.
std::vector<RgbColor> savedColors(const GifAnimation& doc, size_t index);
