#include "palette/palettemodel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

const char* const kPaletteSortKeyTexts[PaletteSortKeyCount] = {
    "Usage", "+ ( R + G + B)", "- ( R + G + B)", "+ R", "- R", "+ G", "- G", "+ B", "- B",
};

namespace {

const PaletteSourceSet kLowWord(~uint64_t(0));

int32_t squaredDistance(RgbColor a, RgbColor b) {
    const int32_t dr = int32_t(a.red) - b.red;
    const int32_t dg = int32_t(a.green) - b.green;
    const int32_t db = int32_t(a.blue) - b.blue;
    return dr * dr + dg * dg + db * db;
}

// Counts come from one picture, so they fit; a hand-filled table must still not wrap around.
uint32_t saturatingAdd(uint32_t a, uint32_t b) {
    return b > std::numeric_limits<uint32_t>::max() - a ? std::numeric_limits<uint32_t>::max() : a + b;
}

uint8_t gradientChannel(uint8_t from, float step, uint32_t offset) {
    // The step is held as a float on purpose: 0 -> 20 over six steps gives 9, not 10, at the middle.
    const double value = std::trunc(double(from) + double(offset) * double(step));
    return uint8_t(std::clamp(value, 0.0, 255.0));
}

uint32_t sortValue(const PaletteEditEntry& entry, uint32_t key) {
    const RgbColor c = entry.color;
    switch (key) {
        case PaletteSortUsage:
            return entry.useCount;
        case PaletteSortSumAscending:
        case PaletteSortSumDescending:
            return uint32_t(c.red) + c.green + c.blue;
        case PaletteSortRedAscending:
        case PaletteSortRedDescending:
            return c.red;
        case PaletteSortGreenAscending:
        case PaletteSortGreenDescending:
            return c.green;
        default:
            return c.blue;
    }
}

bool sortsAscending(uint32_t key) {
    return key == PaletteSortSumAscending || key == PaletteSortRedAscending ||
           key == PaletteSortGreenAscending || key == PaletteSortBlueAscending;
}

}  // namespace

void PaletteEditModel::loadFromTable(const ColorTable& table) {
    const size_t count = std::min<size_t>(table.entries.size(), kMaxPaletteEntries);
    editEntries.assign(count, PaletteEditEntry());
    for (size_t i = 0; i < count; ++i) {
        PaletteEditEntry& entry = editEntries[i];
        entry.sources.set(i);
        entry.color = table.entries[i];
        entry.useCount = i < table.useCounts.size() ? table.useCounts[i] : 0;
    }
    recomputePercentages();
}

void PaletteEditModel::recomputePercentages() {
    double total = 0;
    for (const PaletteEditEntry& entry : editEntries) total += entry.useCount;
    for (PaletteEditEntry& entry : editEntries) {
        // A frame with nothing counted shows 0 % everywhere rather than "nan%".
        entry.usePercent = total > 0 ? float(double(entry.useCount) / total * 100.0) : 0.0f;
    }
}

PaletteRemapTable PaletteEditModel::buildRemapTable() const {
    PaletteRemapTable table{};
    const uint32_t count = std::min(size(), kMaxPaletteEntries);
    for (uint32_t p = 0; p < count; ++p) {
        // A 64-bit word at a time, visiting only the set bits: most entries hold one source,
        // and the palette editor's preview rebuilds this table on every change.
        const PaletteSourceSet& sources = editEntries[p].sources;
        for (uint32_t word = 0; word < 4; ++word) {
            uint64_t bits = ((sources >> (64 * word)) & kLowWord).to_ullong();
            for (; bits; bits &= bits - 1) table[64 * word + uint32_t(__builtin_ctzll(bits))] = uint8_t(p);
        }
    }
    return table;
}

bool PaletteEditModel::appendEntry() {
    if (size() >= kMaxPaletteEntries) return false;
    editEntries.emplace_back();
    return true;
}

bool PaletteEditModel::setColor(uint32_t position, RgbColor color) {
    if (position >= size()) return false;
    editEntries[position].color = color;
    return true;
}

bool PaletteEditModel::swapEntries(uint32_t a, uint32_t b) {
    if (a >= size() || b >= size()) return false;
    std::swap(editEntries[a], editEntries[b]);
    return true;
}

uint32_t PaletteEditModel::nearestEntry(RgbColor color, uint32_t first, uint32_t last, uint32_t skip) const {
    uint32_t best = last;
    int32_t bestDistance = 0;
    for (uint32_t p = first; p < last; ++p) {
        if (p == skip) continue;
        const int32_t distance = squaredDistance(color, editEntries[p].color);
        if (best == last || distance < bestDistance) {
            best = p;
            bestDistance = distance;
        }
    }
    return best;
}

void PaletteEditModel::absorb(uint32_t into, uint32_t from) {
    PaletteEditEntry& target = editEntries[into];
    target.sources |= editEntries[from].sources;
    // The absorbed pixels now show the target, so they count as its use: deleteUnused must not
    // later drop them as if nobody used that colour.
    target.useCount = saturatingAdd(target.useCount, editEntries[from].useCount);
}

bool PaletteEditModel::removeEntry(uint32_t k) {
    if (k >= size() || size() < 2) return false;
    absorb(nearestEntry(editEntries[k].color, 0, size(), k), k);
    editEntries.erase(editEntries.begin() + k);
    recomputePercentages();
    return true;
}

bool PaletteEditModel::reduceTo(uint32_t n) {
    if (n < 1 || n >= size()) return false;
    for (uint32_t i = n; i < size(); ++i) absorb(nearestEntry(editEntries[i].color, 0, n, n), i);
    editEntries.resize(n);
    recomputePercentages();
    return true;
}

bool PaletteEditModel::growTo(uint32_t n) {
    if (n > kMaxPaletteEntries) return false;
    if (size() < n) editEntries.resize(n);
    return true;
}

void PaletteEditModel::deleteUnused() {
    editEntries.erase(std::remove_if(editEntries.begin(), editEntries.end(),
                                     [](const PaletteEditEntry& e) { return e.useCount == 0; }),
                      editEntries.end());
}

void PaletteEditModel::deleteDuplicates() {
    // The first entry of each colour stays where it is and takes over the later ones.
    std::vector<PaletteEditEntry> kept;
    kept.reserve(editEntries.size());
    std::unordered_map<uint32_t, size_t> keptOfColor;
    for (const PaletteEditEntry& entry : editEntries) {
        const RgbColor c = entry.color;
        const auto [found, isNew] =
            keptOfColor.emplace(uint32_t(c.red) << 16 | c.green << 8 | c.blue, kept.size());
        if (isNew) {
            kept.push_back(entry);
            continue;
        }
        PaletteEditEntry& first = kept[found->second];
        first.sources |= entry.sources;
        first.useCount = saturatingAdd(first.useCount, entry.useCount);
    }
    editEntries.swap(kept);
    recomputePercentages();
}

bool PaletteEditModel::applyGradient(uint32_t start, uint32_t end, RgbColor from, RgbColor to) {
    if (start > end) {
        // The dialog lets the user type the ends either way round; read it as the same ramp.
        std::swap(start, end);
        std::swap(from, to);
    }
    if (end >= kMaxPaletteEntries) return false;
    if (size() <= end) editEntries.resize(end + 1);

    const uint32_t n = end - start;
    editEntries[start].color = from;
    if (n > 0) {
        const float stepRed = float((double(to.red) - from.red) / n);
        const float stepGreen = float((double(to.green) - from.green) / n);
        const float stepBlue = float((double(to.blue) - from.blue) / n);
        for (uint32_t i = start + 1; i < end; ++i) {
            const uint32_t offset = i - start;
            editEntries[i].color = RgbColor(gradientChannel(from.red, stepRed, offset),
                                            gradientChannel(from.green, stepGreen, offset),
                                            gradientChannel(from.blue, stepBlue, offset));
        }
    }
    editEntries[end].color = to;
    return true;
}

bool PaletteEditModel::sortEntries(uint32_t key) {
    if (key >= PaletteSortKeyCount) return false;
    for (PaletteEditEntry& entry : editEntries) entry.sortKey = sortValue(entry, key);
    // Stable, so that a second sort by another key refines the first and results are repeatable.
    if (sortsAscending(key)) {
        std::stable_sort(
            editEntries.begin(), editEntries.end(),
            [](const PaletteEditEntry& a, const PaletteEditEntry& b) { return a.sortKey < b.sortKey; });
    } else {
        std::stable_sort(
            editEntries.begin(), editEntries.end(),
            [](const PaletteEditEntry& a, const PaletteEditEntry& b) { return a.sortKey > b.sortKey; });
    }
    return true;
}

void PaletteEditModel::applyToFrame(GifFrame& frame) const {
    const PaletteRemapTable table = buildRemapTable();
    const uint32_t count = std::min(size(), kMaxPaletteEntries);

    if (frame.bitmap) {
        IndexedBitmap& bitmap = *frame.bitmap;
        bitmap.remapIndices(table.data());
        IndexedPalette palette;
        palette.flags = kPaletteFlagsHasAlpha;
        palette.count = count;
        for (uint32_t i = 0; i < count; ++i) palette.entries[i] = editEntries[i].color.toArgb();
        bitmap.setPalette(palette);
    }

    frame.localTable.entries.clear();
    for (uint32_t i = 0; i < count; ++i) frame.localTable.entries.push_back(editEntries[i].color);
}
