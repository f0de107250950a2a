#pragma once
// Limits that keep hostile files from taking memory out of proportion to a real animation.
// Documented in the README; every reader path checks against these.
#include <cstdint>

namespace velmora {

#ifndef VELMORA_FUZZ_LIMITS
// An image larger than this (width x height) is skipped and adds no frame.
constexpr uint64_t kMaxImagePixels = uint64_t(1) << 26;
// Reading stops once what the document keeps (pictures, colour tables, comments and their
// bookkeeping) would pass this many bytes.
constexpr uint64_t kMaxDocumentBytes = uint64_t(1) << 29;
#else
// Fuzz builds only: the same checks at a size where one input costs microseconds, not seconds.
// The full limits are exercised by the tests.
constexpr uint64_t kMaxImagePixels = uint64_t(1) << 12;
constexpr uint64_t kMaxDocumentBytes = uint64_t(1) << 18;
#endif
// GIF allows at most 12-bit codes, so the codes below the clear code must fit in 4096.
constexpr int kMaxLzwMinimumCodeSize = 11;
// The logical screen never exceeds this in either direction.
constexpr uint16_t kMaxScreenSide = 2000;
// A palette file never contributes more entries than a colour table can hold.
constexpr int kMaxPaletteFileColors = 256;

}  // namespace velmora
