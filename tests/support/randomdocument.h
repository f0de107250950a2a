#pragma once
// Random documents for round trips and interop checks, and the colours a saved one reads back with.
#include <cstdint>
#include <random>
#include <vector>

#include "gif/document.h"

struct TestRng {
    std::mt19937 engine;
    explicit TestRng(uint32_t seed) : engine(seed) {}
    int between(int least, int most) { return std::uniform_int_distribution<int>(least, most)(engine); }
    int upTo(int most) { return between(0, most); }
    bool chance(int percent) { return upTo(99) < percent; }
};

// Up to `maxFrames` frames, most up to maxSide x maxSide, bigPercent of them up to bigSide.
struct RandomDocumentShape {
    int maxFrames = 5, maxSide = 40, bigPercent = 5, bigSide = 700;
};

// Screen, looping, tables of 1-256 entries, frames with offsets, delays, disposals 0-7,
// transparency, interlace, comments (empty, short, long; never a 0 byte) and now and then
// indices beyond the frame's table. Frames are added to those `doc` has.
void randomDocument(TestRng& rng, GifAnimation& doc, const RandomDocumentShape& shape = {});

// The table a saved file gives frame `index`: its local table, else the global one, cut to 256
// entries and padded with black to a power of two of at least 2 that reaches every index
// drawn from it.
std::vector<RgbColor> savedColors(const GifAnimation& doc, size_t index);
