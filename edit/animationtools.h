#pragma once
// Whole-animation helpers behind Add Empty Image, Animation Delay and Global Palette.
#include <cstdint>
#include <vector>

#include "gif/document.h"

// How long an empty frame pauses the animation, in hundredths of a second.
constexpr uint16_t kEmptyFrameDelay = 100;

// A pause: a frame of the given size whose pixels are all see-through (a two-entry local table,
// entry 0 transparent), shown for one second and left in place, so every viewer keeps showing
// the frame before it. A frame with no picture when the size is 0.
GifFrame makeEmptyFrame(uint16_t width, uint16_t height);

// The usual speed-up and slow-down: `delay` times `percent` / 100, rounded to the nearest
// hundredth, at least 1 where the delay was not 0 (so no frame becomes "as fast as the viewer
// likes"), at most 65535.
uint16_t scaledDelay(uint16_t delay, uint32_t percent);

// How long one play takes as browsers play it (0 and 1 count as 10), in hundredths of a second.
uint64_t playTime(const std::vector<uint16_t>& delays);
std::vector<uint16_t> delaysOf(const GifAnimation& doc);

// The global table with its use counts: the pixels of every frame that draws from it.
ColorTable globalTableInUse(const GifAnimation& doc);
