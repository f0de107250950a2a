#pragma once
// The optimiser: an animation that plays exactly as the given one (every composed frame the
// same pixels, the same delays, looping, comments and titles) and saves to fewer bytes.
// Lossless: it crops each frame to what changes, lets unchanged pixels show through where that
// shortens the LZW stream, chooses each frame's disposal, and keeps per frame the smallest of
// several encodings (local or global table, free pixels see-through, opaque or chosen to extend
// the encoder's strings), each measured with the writer's own LZW encoder.
#include <cstdint>

#include "gif/document.h"

namespace velmora {

struct OptimizeResult {
    uint64_t bytesBefore = 0;  // the input as the writer saves it (0: it cannot be saved)
    uint64_t bytesAfter = 0;   // the result as the writer saves it; never above bytesBefore
    bool changed = false;      // false: the result is a copy of the input
};

// Fills `out` (a document other than `in`; what it held is replaced) with the optimised
// animation, or with a copy of `in` when nothing smaller was found.
OptimizeResult optimizeAnimation(const GifAnimation& in, GifAnimation& out);

// The bytes GifAnimation::writeFile would write for `doc`, computed without a file;
// 0 when the writer would refuse the document.
uint64_t encodedSize(const GifAnimation& doc);

// Replaces everything `to` shows with what `from` holds (documents cannot be copied whole).
void copyAnimation(const GifAnimation& from, GifAnimation& to);

}  // namespace velmora
