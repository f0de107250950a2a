#pragma once
// Reading a GIF held in memory. GifAnimation::readFile maps the file (or reads it whole) and calls
// readGif.
#include <cstddef>
#include <cstdint>

#include "gif/document.h"
#include "gif/limits.h"

// What reading may keep, in bytes, and what it kept: pictures, colour tables, comments and the
// bookkeeping of each, counting also what was read and then let go (comments meant for an image
// that was skipped). Reading stops, with what was read, before `used` would pass `limit`.
struct ReadBudget {
    uint64_t limit = velmora::kMaxDocumentBytes;
    uint64_t used = 0;
};

// Never throws: a failed allocation ends reading with what was read, as the budget does.
ReadResult readGif(const uint8_t* data, size_t size, GifAnimation& doc, ReadBudget* budget = nullptr);
