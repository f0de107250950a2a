#pragma once
// The generated documents the GIF benchmarks measure: the same inputs for decoding and encoding,
// so the figures of both directions speak of the same files. Deterministic: fixed seeds.
//   photo:     one 1920 x 1080 frame, 256 colours, smooth shading with grain (compresses poorly)
//   animation: 200 frames of 320 x 240, 64-colour global table, a scrolling backdrop and two
//              moving discs, delay 4, endless looping
//   drawing:   one 512 x 512 frame, 16 colours, flat rectangles and discs (compresses well)
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gif/document.h"

namespace gifbench {

struct Input {
    std::string name;
    GifAnimation* doc;
};

inline uint8_t clampIndex(int value, int colours) {
    return uint8_t(value < 0 ? 0 : value >= colours ? colours - 1 : value);
}

inline void makePhoto(GifAnimation& doc) {
    doc.screenWidth = 1920;
    doc.screenHeight = 1080;
    doc.hasGlobalTable = true;
    for (int i = 0; i < 256; ++i)
        doc.globalTable.entries.emplace_back(uint8_t(i), uint8_t((i * 3 / 4) + 20), uint8_t(255 - i / 2));
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(1920, 1080);
    std::mt19937 rng(1080);
    std::uniform_int_distribution<int> grain(-3, 3);
    for (uint32_t y = 0; y < 1080; ++y) {
        uint8_t* row = frame.bitmap->row(y);
        for (uint32_t x = 0; x < 1920; ++x) {
            const int shade =
                int(128 + 60 * std::sin(x / 150.0) * std::cos(y / 110.0) + 50 * std::sin((x + y) / 400.0));
            row[x] = clampIndex(shade + grain(rng), 256);
        }
    }
    doc.frames.push_back(std::move(frame));
}

inline void makeAnimation(GifAnimation& doc) {
    doc.screenWidth = 320;
    doc.screenHeight = 240;
    doc.loopForever = true;
    doc.hasGlobalTable = true;
    for (int i = 0; i < 64; ++i)
        doc.globalTable.entries.emplace_back(uint8_t(i * 4), uint8_t(255 - i * 4), uint8_t(i * 2));
    for (int f = 0; f < 200; ++f) {
        GifFrame frame;
        frame.bitmap = IndexedBitmap::create(320, 240);
        frame.delay = 4;
        frame.disposal = 1;
        const int ax = 40 + (f * 3) % 240, ay = 120 + int(80 * std::sin(f / 15.0));
        const int bx = 280 - (f * 2) % 240, by = 60 + (f % 120);
        for (int y = 0; y < 240; ++y) {
            uint8_t* row = frame.bitmap->row(uint32_t(y));
            for (int x = 0; x < 320; ++x) {
                int index = ((x + f) / 16 + y / 24) % 8;  // backdrop bands
                if ((x - ax) * (x - ax) + (y - ay) * (y - ay) < 900) index = 40 + (x + y) % 3;
                if ((x - bx) * (x - bx) + (y - by) * (y - by) < 400) index = 50 + (x / 4) % 5;
                row[x] = uint8_t(index);
            }
        }
        doc.frames.push_back(std::move(frame));
    }
}

inline void makeDrawing(GifAnimation& doc) {
    doc.screenWidth = 512;
    doc.screenHeight = 512;
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(512, 512);
    frame.hasLocalTable = true;
    for (int i = 0; i < 16; ++i)
        frame.localTable.entries.emplace_back(uint8_t(i * 16), uint8_t(i * 9), uint8_t(240 - i * 15));
    std::mt19937 rng(512);
    std::uniform_int_distribution<int> pos(0, 511), size(10, 160), colour(1, 15);
    for (int i = 0; i < 60; ++i) {
        const int x0 = pos(rng), y0 = pos(rng), w = size(rng), h = size(rng), c = colour(rng);
        const bool disc = i % 3 == 0;
        for (int y = y0; y < std::min(512, y0 + h); ++y)
            for (int x = x0; x < std::min(512, x0 + w); ++x) {
                const int dx = x - x0 - w / 2, dy = y - y0 - h / 2;
                if (!disc || dx * dx * h * h + dy * dy * w * w <= w * w * h * h / 4)
                    frame.bitmap->row(uint32_t(y))[x] = uint8_t(c);
            }
    }
    doc.frames.push_back(std::move(frame));
}

}  // namespace gifbench
