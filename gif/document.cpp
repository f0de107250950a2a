#include "gif/document.h"

#include <algorithm>

IndexedPalette ColorTable::toGdiplusPalette() const {
    IndexedPalette palette;
    const size_t count = std::min<size_t>(entries.size(), 256);
    palette.count = uint32_t(entries.size());
    for (size_t i = 0; i < count; ++i) palette.entries[i] = entries[i].toArgb();
    return palette;
}

GifFrame::GifFrame(const GifFrame& other) {
    *this = other;
}

GifFrame& GifFrame::operator=(const GifFrame& other) {
    if (this == &other) return *this;
    bitmap = other.bitmap ? other.bitmap->clone() : nullptr;
    left = other.left;
    top = other.top;
    transparent = other.transparent;
    transparentIndex = other.transparentIndex;
    delay = other.delay;
    interlaced = other.interlaced;
    title = other.title;
    disposal = other.disposal;
    comments = other.comments;
    hasLocalTable = other.hasLocalTable;
    localTable.entries = other.localTable.entries;
    localTable.useCounts.clear();
    pinned = other.pinned;
    sampleStep = other.sampleStep;
    return *this;
}

void GifFrame::countColorUse() {
    localTable.useCounts.assign(localTable.entries.size(), 0);
    if (!bitmap) return;
    const uint32_t step = sampleStep ? sampleStep : 1;  // a zero step would never advance
    const size_t entryCount = localTable.entries.size();
    for (uint32_t y = 0; y < bitmap->height(); y += step) {
        const uint8_t* row = bitmap->row(y);
        for (uint32_t x = 0; x < bitmap->width(); x += step) {
            if (row[x] < entryCount) ++localTable.useCounts[row[x]];
        }
    }
}
