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

std::vector<uint8_t> paletteFileBytes(const PaletteEditModel& model) {
    const uint32_t count = model.size();
    std::vector<uint8_t> bytes;
    bytes.reserve(4 + kRecordBytes * count);
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(count >> shift));
    for (const PaletteEditEntry& entry : model.editEntries) {
        bytes.push_back(entry.color.red);
        bytes.push_back(entry.color.green);
        bytes.push_back(entry.color.blue);
    }
    return bytes;
}

PaletteFileResult writePaletteFile(const PaletteEditModel& model, const char* path) {
    if (!path || !*path) return PaletteFileCannotOpen;
    // The whole file is built first so that one write either lands or is reported.
    const std::vector<uint8_t> bytes = paletteFileBytes(model);
    FILE* file = std::fopen(path, "wb");
    if (!file) return PaletteFileCannotOpen;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? PaletteFileOk : PaletteFileWriteFailed;
}

PaletteFileResult readPaletteBytes(PaletteEditModel& model, const uint8_t* data, size_t size) {
    if (size < 4) return PaletteFileNoCount;
    const int32_t count = int32_t(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                                  uint32_t(data[3]) << 24);
    // A count with its top bit set is negative and reads nothing. More than a colour table can
    // hold is cut to its first records rather than growing the palette past what GIF allows.
    const size_t wanted = size_t(count < 0 ? 0 : std::min<int32_t>(count, velmora::kMaxPaletteFileColors));
    const size_t whole = (size - 4) / kRecordBytes;
    const uint8_t* records = data + 4;
    std::vector<RgbColor> colors;
    colors.reserve(wanted);
    // A short last record keeps the bytes of the one before it where it has none; every record
    // past the end repeats what was read last (black when nothing was).
    uint8_t last[kRecordBytes] = {0, 0, 0};
    for (size_t i = 0; i < wanted; ++i) {
        if (i < whole) {
            std::copy(records + i * kRecordBytes, records + (i + 1) * kRecordBytes, last);
        } else if (i == whole) {
            std::copy(records + i * kRecordBytes, data + size, last);
        }
        colors.push_back(RgbColor(last[0], last[1], last[2]));
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
    return wanted > whole ? PaletteFileShortRecords : PaletteFileOk;
}

PaletteFileResult readPaletteFile(PaletteEditModel& model, const char* path) {
    if (!path || !*path) return PaletteFileCannotOpen;
    FileHandle file(std::fopen(path, "rb"));
    if (!file) return PaletteFileCannotOpen;
    // Nothing past the largest count that is read can matter.
    std::vector<uint8_t> bytes(4 + kRecordBytes * velmora::kMaxPaletteFileColors);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    // A read error leaves the model as it was.
    if (std::ferror(file.get())) return PaletteFileReadFailed;
    return readPaletteBytes(model, bytes.data(), got);
}
