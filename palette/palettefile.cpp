#include "palette/palettefile.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "gif/limits.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

constexpr size_t kRecordBytes = 3;

}  // namespace

PaletteFileResult writePaletteFile(const PaletteEditModel& model, const char* path) {
    if (!path || !*path) return PaletteFileCannotOpen;
    // Build the whole file first so that one write either lands or is reported.
    const uint32_t count = model.size();
    std::vector<uint8_t> bytes;
    bytes.reserve(4 + kRecordBytes * count);
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(count >> shift));
    for (const PaletteEditEntry& entry : model.editEntries) {
        bytes.push_back(entry.color.red);
        bytes.push_back(entry.color.green);
        bytes.push_back(entry.color.blue);
    }

    FILE* file = std::fopen(path, "wb");
    if (!file) return PaletteFileCannotOpen;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? PaletteFileOk : PaletteFileWriteFailed;
}

PaletteFileResult readPaletteFile(PaletteEditModel& model, const char* path) {
    if (!path || !*path) return PaletteFileCannotOpen;
    FileHandle file(std::fopen(path, "rb"));
    if (!file) return PaletteFileCannotOpen;

    uint8_t countBytes[4];
    const size_t got = std::fread(countBytes, 1, sizeof countBytes, file.get());
    if (got != sizeof countBytes) return std::ferror(file.get()) ? PaletteFileReadFailed : PaletteFileNoCount;
    const int32_t count = int32_t(uint32_t(countBytes[0]) | uint32_t(countBytes[1]) << 8 |
                                  uint32_t(countBytes[2]) << 16 | uint32_t(countBytes[3]) << 24);
    // A count with its top bit set is negative and reads nothing. More than a colour table can
    // hold is cut to its first records rather than growing the palette past what GIF allows.
    const int32_t wanted = count < 0 ? 0 : std::min<int32_t>(count, velmora::kMaxPaletteFileColors);

    // Read every record before touching the model, so a read error leaves it as it was.
    std::vector<RgbColor> colors;
    colors.reserve(size_t(wanted));
    uint8_t buffer[kRecordBytes] = {0, 0, 0};  // shared by all records: a short one keeps old bytes
    bool shortRecords = false;
    for (int32_t i = 0; i < wanted; ++i) {
        if (!shortRecords) {
            const size_t n = std::fread(buffer, 1, kRecordBytes, file.get());
            if (n != kRecordBytes) {
                if (std::ferror(file.get())) return PaletteFileReadFailed;
                shortRecords = true;
            }
        }
        colors.push_back(RgbColor(buffer[0], buffer[1], buffer[2]));
    }

    for (size_t i = 0; i < colors.size(); ++i) {
        if (i < model.editEntries.size()) {
            model.editEntries[i].color = colors[i];
        } else {
            PaletteEditEntry entry;  // no sources: no pixel takes a colour that only the file has
            entry.color = colors[i];
            model.editEntries.push_back(entry);
        }
    }
    return shortRecords ? PaletteFileShortRecords : PaletteFileOk;
}
