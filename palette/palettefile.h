#pragma once
// Palette files (.plt): a 4-byte little-endian colour count, then red, green, blue per colour.
// They carry colours only: no counts, no source indices, no transparency.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "palette/palettemodel.h"

enum PaletteFileResult : uint32_t {
    PaletteFileOk = 0,            // every record was written or read
    PaletteFileCannotOpen = 1,    // the file could not be opened; nothing changed
    PaletteFileNoCount = 2,       // read: the file is shorter than its 4 count bytes; nothing changed
    PaletteFileReadFailed = 3,    // read: the system reported an error; nothing changed
    PaletteFileWriteFailed = 4,   // write: not every byte reached the disk; the file is incomplete
    PaletteFileShortRecords = 5,  // read: the file ended before its count; the missing records took
                                  // the last colour read (black if none), and the model changed
};

// Writes the model's colours in position order. The path is the narrow string a file dialog gives.
PaletteFileResult writePaletteFile(const PaletteEditModel& model, const char* path);

// Recolours entries 0, 1, ... from the file's records and appends entries for records beyond the
// model's end; the model is never shortened and existing sources and counts stay. A negative
// count (top bit set) reads nothing; a count above 256 reads only the first 256 records.
PaletteFileResult readPaletteFile(PaletteEditModel& model, const char* path);

// The same two for a file's bytes in memory.
std::vector<uint8_t> paletteFileBytes(const PaletteEditModel& model);
PaletteFileResult readPaletteBytes(PaletteEditModel& model, const uint8_t* data, size_t size);
