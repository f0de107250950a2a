// Fuzz target: palette files and any sequence of palette operations, including arguments the
// editor would never pass. Input layout:
//   byte 0       number of colours in the frame's table, minus 1
//   byte 1       number of operations (taken modulo 32)
//   4 per op     operation, then three argument bytes
//   the rest     a palette file, read by operation 11
// After every operation the model must stay within 256 entries, hold each source once and keep
// every counted pixel; applying it must leave every pixel on an existing entry.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "palette/palettefile.h"
#include "palette/palettemodel.h"

static void check(bool condition) {
    if (!condition) std::abort();
}

static void checkModel(const PaletteEditModel& model, uint64_t totalCount) {
    check(model.size() <= kMaxPaletteEntries);
    PaletteSourceSet seen;
    uint64_t counted = 0;
    for (const PaletteEditEntry& entry : model.editEntries) {
        check((seen & entry.sources).none());
        seen |= entry.sources;
        counted += entry.useCount;
    }
    check(counted == totalCount);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint32_t colors = uint32_t(data[0]) + 1;
    const size_t operations = data[1] % 32;
    size_t at = 2;

    // A one-row frame showing every index once, so every source has exactly one pixel.
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(256, 1);
    for (uint32_t x = 0; x < 256; ++x) frame.bitmap->row(0)[x] = uint8_t(x);
    for (uint32_t i = 0; i < colors; ++i) {
        const uint8_t b = data[(2 + i) % size];
        frame.localTable.entries.push_back(RgbColor(b, uint8_t(b * 3), uint8_t(i)));
    }
    frame.countColorUse();
    PaletteEditModel model;
    model.loadFromTable(frame.localTable);
    uint64_t total = colors;  // one pixel per index inside the table

    for (size_t op = 0; op < operations && at + 4 <= size; ++op, at += 4) {
        const uint8_t a = data[at + 1], b = data[at + 2], c = data[at + 3];
        const RgbColor color(a, b, c);
        const uint32_t before = model.size();
        bool done = true;
        switch (data[at] % 14) {
            case 0:
                done = model.appendEntry();
                break;
            case 1:
                done = model.setColor(a, color);
                break;
            case 2:
                done = model.swapEntries(a, b);
                break;
            case 3:
                done = model.removeEntry(a);
                break;
            case 4:
                done = model.reduceTo(a);
                break;
            case 5:
                done = model.growTo(uint32_t(a) + b);
                break;
            case 6:
                model.deleteUnused();
                break;
            case 7:
                model.deleteDuplicates();
                break;
            case 8:
                done = model.applyGradient(a, uint32_t(b) + (c & 1), color, RgbColor(c, a, b));
                break;
            case 9:
                done = model.sortEntries(a % 10);
                break;
            case 10:
                model.applyToFrame(frame);
                break;
            case 11: {
                const uint32_t oldSize = model.size();
                const size_t from = std::min(size, at + 4);
                const PaletteFileResult result = readPaletteBytes(model, data + from, size - from);
                check(result == PaletteFileOk || result == PaletteFileNoCount ||
                      result == PaletteFileShortRecords);
                check(model.size() >= oldSize);
                break;
            }
            case 12: {
                // What is written reads back as the same colours.
                const std::vector<uint8_t> file = paletteFileBytes(model);
                PaletteEditModel copy;
                check(readPaletteBytes(copy, file.data(), file.size()) == PaletteFileOk);
                check(copy.size() == model.size());
                for (uint32_t i = 0; i < copy.size(); ++i)
                    check(copy.editEntries[i].color == model.editEntries[i].color);
                break;
            }
            default: {
                const PaletteRemapTable remap = model.buildRemapTable();
                for (uint32_t s = 0; s < 256; ++s)
                    check(model.size() == 0 ? remap[s] == 0 : remap[s] < model.size());
            }
        }
        if (!done) check(model.size() == before);
        checkModel(model, total);
        if (model.size() == 0) return 0;
    }

    model.applyToFrame(frame);
    check(frame.localTable.entries.size() == model.size());
    check(frame.bitmap->palette().count == model.size());
    for (uint32_t x = 0; x < 256; ++x) check(frame.bitmap->at(x, 0) < model.size());
    return 0;
}
