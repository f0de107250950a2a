// Fuzz target: any bytes read as a GIF, saved, read back and saved again, all in memory. What we
// save must read back to the same pictures and settings, and saving that again must give the very
// same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gif/gifreader.h"

namespace {

constexpr uint64_t kMaxFuzzPixels = uint64_t(1) << 20;

void require(bool condition) {
    if (!condition) std::abort();
}

bool samePixels(const GifFrame& a, const GifFrame& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (uint32_t y = 0; y < a.height(); ++y)
        for (uint32_t x = 0; x < a.width(); ++x)
            if (a.bitmap->at(x, y) != b.bitmap->at(x, y)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GifAnimation original;
    ReadBudget budget;
    if (readGif(data, size, original, &budget) != ReadOk) return 0;
    // Saving may add a table; a document near the budget could then lose its last frame.
    if (budget.used > budget.limit / 2) return 0;
    // Huge pictures add nothing the small ones do not reach, and would slow the search to a
    // crawl under the sanitizers; the read fuzzer covers the reader's limits.
    uint64_t pixels = 0;
    for (const GifFrame& frame : original.frames) pixels += uint64_t(frame.width()) * frame.height();
    if (pixels > kMaxFuzzPixels) return 0;
    std::vector<uint8_t> firstBytes, secondBytes;
    require(original.writeBytes(firstBytes));
    GifAnimation reread;
    require(readGif(firstBytes.data(), firstBytes.size(), reread) == ReadOk);
    require(reread.screenWidth == original.screenWidth && reread.screenHeight == original.screenHeight);
    require(reread.backgroundIndex == original.backgroundIndex);
    require(reread.loopForever == original.loopForever);
    require(original.loopForever || reread.loopCount == original.loopCount);
    require(reread.frames.size() == original.frames.size());
    for (size_t i = 0; i < original.frames.size(); ++i) {
        const GifFrame& a = original.frames[i];
        const GifFrame& b = reread.frames[i];
        require(samePixels(a, b));
        require(a.left == b.left && a.top == b.top && a.delay == b.delay && a.disposal == b.disposal);
        require(a.transparent == b.transparent && a.transparentIndex == b.transparentIndex);
        require(a.interlaced == b.interlaced && a.comments == b.comments &&
                a.hasLocalTable == b.hasLocalTable);
    }

    require(reread.writeBytes(secondBytes));
    require(firstBytes == secondBytes);
    return 0;
}
