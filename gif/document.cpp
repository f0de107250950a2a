#include "gif/document.h"

#include <algorithm>

IndexedPalette ColorTable::toGdiplusPalette() const {
    IndexedPalette palette;
    const size_t count = std::min<size_t>(entries.size(), 256);
    palette.count = uint32_t(entries.size());
    for (size_t i = 0; i < count; ++i) palette.entries[i] = entries[i].toArgb();
    return palette;
}

GifFrame::GifFrame(const GifFrame& other) { *this = other; }

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

void GifFrame::swapContents(GifFrame& other) {
    std::swap(bitmap, other.bitmap);
    std::swap(left, other.left);
    std::swap(top, other.top);
    std::swap(transparent, other.transparent);
    std::swap(transparentIndex, other.transparentIndex);
    std::swap(delay, other.delay);
    std::swap(interlaced, other.interlaced);
    std::swap(title, other.title);
    std::swap(disposal, other.disposal);
    std::swap(comments, other.comments);
    std::swap(hasLocalTable, other.hasLocalTable);
    std::swap(pinned, other.pinned);
    std::swap(localTable.entries, other.localTable.entries);
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

void GifAnimation::appendFrames(const GifAnimation& other) {
    frames.insert(frames.end(), other.frames.begin(), other.frames.end());
}

void GifAnimation::removeFrame(size_t index) {
    if (index < frames.size()) frames.erase(frames.begin() + std::ptrdiff_t(index));
}

bool GifAnimation::moveFrameDown(size_t index) {
    if (index + 1 >= frames.size()) return false;
    frames[index].swapContents(frames[index + 1]);
    return true;
}

bool GifAnimation::moveFrameUp(size_t index) {
    if (index == 0 || index >= frames.size()) return false;
    frames[index - 1].swapContents(frames[index]);
    return true;
}
