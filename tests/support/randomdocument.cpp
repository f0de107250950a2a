#include "support/randomdocument.h"

#include <algorithm>
#include <string>

namespace {

std::vector<RgbColor> randomColors(TestRng& rng, int count) {
    std::vector<RgbColor> result;
    for (int i = 0; i < count; ++i)
        result.emplace_back(uint8_t(rng.upTo(255)), uint8_t(rng.upTo(255)), uint8_t(rng.upTo(255)));
    return result;
}

int largestIndex(const GifFrame& frame) {
    int largest = 0;
    for (uint32_t y = 0; y < frame.height(); ++y)
        for (uint32_t x = 0; x < frame.width(); ++x) largest = std::max<int>(largest, frame.bitmap->at(x, y));
    return largest;
}

}  // namespace

void randomDocument(TestRng& rng, GifAnimation& doc, const RandomDocumentShape& shape) {
    doc.screenWidth = uint16_t(rng.between(1, 2000));
    doc.screenHeight = uint16_t(rng.between(1, 2000));
    doc.backgroundIndex = uint8_t(rng.upTo(255));
    doc.loopForever = rng.chance(30);
    doc.loopCount = uint16_t(rng.chance(10) ? 65535 : rng.upTo(5));
    doc.hasGlobalTable = rng.chance(70);
    if (doc.hasGlobalTable) doc.globalTable.entries = randomColors(rng, rng.between(1, 256));
    for (int f = rng.upTo(shape.maxFrames); f > 0; --f) {
        GifFrame& frame = doc.frames.emplace_back();
        const int side = rng.chance(shape.bigPercent) ? shape.bigSide : shape.maxSide;
        frame.bitmap = IndexedBitmap::create(uint32_t(rng.between(1, side)), uint32_t(rng.between(1, side)));
        frame.left = uint16_t(rng.upTo(65535));
        frame.top = uint16_t(rng.upTo(65535));
        frame.delay = uint16_t(rng.chance(20) ? 65535 : rng.upTo(500));
        frame.disposal = uint32_t(rng.upTo(7));
        frame.transparent = rng.chance(40);
        frame.transparentIndex = frame.transparent ? uint8_t(rng.upTo(255)) : 0;
        frame.interlaced = rng.chance(40);
        for (int c = rng.chance(50) ? 0 : rng.between(1, 3); c > 0; --c) {
            const int kind = rng.upTo(2);
            std::string& text = frame.comments.emplace_back(size_t(kind == 0   ? 0
                                                                   : kind == 1 ? rng.between(1, 40)
                                                                               : rng.between(200, 800)),
                                                            ' ');
            for (char& ch : text) ch = char(rng.between(1, 255));  // a sub-block cannot carry a 0
        }
        frame.hasLocalTable = rng.chance(50);
        if (frame.hasLocalTable) frame.localTable.entries = randomColors(rng, rng.between(1, 256));
        const size_t own = (frame.hasLocalTable ? frame.localTable : doc.globalTable).entries.size();
        // Mostly indices the table has; sometimes any byte, which the writer must make room for.
        const int limit = own == 0 || rng.chance(15) ? 256 : int(own);
        // Noise, runs or a single colour.
        const int kind = rng.upTo(2);
        uint8_t value = uint8_t(rng.upTo(limit - 1));
        for (uint32_t y = 0; y < frame.height(); ++y)
            for (uint32_t x = 0; x < frame.width(); ++x) {
                if (kind == 0 || (kind == 1 && rng.chance(5))) value = uint8_t(rng.upTo(limit - 1));
                frame.bitmap->row(y)[x] = value;
            }
    }
}

std::vector<RgbColor> savedColors(const GifAnimation& doc, size_t index) {
    const GifFrame& frame = doc.frames[index];
    int largest = 0;
    for (const GifFrame& f : doc.frames)
        if (&f == &frame || (!f.hasLocalTable && !frame.hasLocalTable))
            largest = std::max(largest, largestIndex(f));
    const std::vector<RgbColor>& entries = (frame.hasLocalTable ? frame.localTable : doc.globalTable).entries;
    size_t size = 2;
    while (size < std::max<size_t>(std::min<size_t>(entries.size(), 256), size_t(largest) + 1)) size *= 2;
    std::vector<RgbColor> result(entries.begin(), entries.begin() + long(std::min(size, entries.size())));
    result.resize(size);
    return result;
}
