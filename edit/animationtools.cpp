#include "edit/animationtools.h"

#include <algorithm>

GifFrame makeEmptyFrame(uint16_t width, uint16_t height) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(width, height);  // every pixel index 0
    frame.hasLocalTable = true;
    // Two entries make the smallest table a GIF can hold; neither colour is ever seen.
    frame.localTable.entries = {RgbColor(255, 255, 255), RgbColor(0, 0, 0)};
    frame.transparent = true;
    frame.transparentIndex = 0;
    frame.delay = kEmptyFrameDelay;
    frame.disposal = DisposalDoNotRemove;
    if (frame.bitmap) {
        IndexedPalette palette;
        palette.flags = kPaletteFlagsHasAlpha;
        palette.count = 2;
        palette.entries[0] = 0x00FFFFFFu;  // see-through, as the canvas must show it
        palette.entries[1] = 0xFF000000u;
        frame.bitmap->setPalette(palette);
    }
    return frame;
}

uint16_t scaledDelay(uint16_t delay, uint32_t percent) {
    if (delay == 0) return 0;
    const uint64_t scaled = (uint64_t(delay) * percent + 50) / 100;
    return uint16_t(std::clamp<uint64_t>(scaled, 1, 65535));
}

uint64_t playTime(const std::vector<uint16_t>& delays) {
    uint64_t total = 0;
    // Browsers play a delay of 0 or 1 as 10, so a user sees that long.
    for (uint16_t delay : delays) total += delay <= 1 ? 10 : delay;
    return total;
}

std::vector<uint16_t> delaysOf(const GifAnimation& doc) {
    std::vector<uint16_t> delays;
    for (const GifFrame& frame : doc.frames) delays.push_back(frame.delay);
    return delays;
}

ColorTable globalTableInUse(const GifAnimation& doc) {
    ColorTable table = doc.globalTable;
    table.useCounts.assign(table.entries.size(), 0);
    for (const GifFrame& frame : doc.frames) {
        if (frame.hasLocalTable || !frame.bitmap) continue;
        const IndexedBitmap& bitmap = *frame.bitmap;
        for (uint32_t y = 0; y < bitmap.height(); ++y) {
            const uint8_t* row = bitmap.row(y);
            for (uint32_t x = 0; x < bitmap.width(); ++x)
                if (row[x] < table.useCounts.size()) ++table.useCounts[row[x]];
        }
    }
    return table;
}
