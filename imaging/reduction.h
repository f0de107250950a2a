#pragma once
// Reduction of a 32-bit picture to an 8-bit indexed frame: exact when it holds at most 256
// colours (palette in first-appearance order), with the NeuQuant quantiser otherwise.
#include <cstdint>
#include <memory>

#include "gif/document.h"

struct ReducedImage {
    // Null when the picture was refused (see reduceArgbPicture). Its palette holds Count
    // entries, all opaque, Flags 0, and the rest of the 256 entries are 0.
    std::unique_ptr<IndexedBitmap> bitmap;
    // The palette's colours in palette order, ready to become a frame's local colour table.
    ColorTable colors;
    bool quantized = false;
};

// Learning reads every 100th pixel or so; mapping still visits every pixel.
constexpr int32_t kImportSamplingFactor = 100;

// `pixels` is a PixelFormat32bppARGB picture as GDI+ locks it: pixel (x, y) is the 32-bit word at
// row y * stride / 4, column x, bytes B, G, R, A in memory. The stride is in bytes and may be
// negative (bottom-up rows). Alpha is ignored.
//
// Refused, with a null bitmap: null pixels, a width or height of 0, more than kMaxImagePixels
// pixels, a stride whose magnitude is less than 4 * width, or memory that cannot be had.
ReducedImage reduceArgbPicture(const void* pixels, uint32_t width, uint32_t height, int32_t stride);

// Makes the reduced picture the frame's bitmap and its colours the frame's local colour table.
// Returns false, leaving the frame alone, when the picture had been refused.
bool storeInFrame(ReducedImage&& reduced, GifFrame& frame);
