// What one step of playback costs on a 1920 x 1080 animation: one frame composed (disposal,
// transparency, the logical screen), the same step as playback takes it, and as the Composed view
// takes it when it keeps a copy of each canvas (a first touch of fresh memory). A figure of ours,
// with no peer. Goal: well under the 100 ms a frame of delay 0 or 1 is shown for.
#include <chrono>
#include <cstdio>

#include "gif/composer.h"
#include "gif/playback.h"

namespace {

constexpr uint16_t kWidth = 1920, kHeight = 1080;
constexpr int kFrames = 24;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Whole-screen frames, every third pixel see-through, disposal cycling through all four kinds.
void makeAnimation(GifAnimation& doc) {
    doc.screenWidth = kWidth;
    doc.screenHeight = kHeight;
    doc.hasGlobalTable = true;
    for (int c = 0; c < 256; ++c) doc.globalTable.entries.emplace_back(uint8_t(c), uint8_t(255 - c), 90);
    for (int i = 0; i < kFrames; ++i) {
        GifFrame& frame = doc.frames.emplace_back();
        frame.bitmap = IndexedBitmap::create(kWidth, kHeight);
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x)
                frame.bitmap->row(y)[x] = uint8_t((x + y + uint32_t(i)) % 3 ? x ^ y : 0);
        frame.transparent = true;
        frame.disposal = uint32_t(i % 4);
        frame.delay = 4;
    }
}

}  // namespace

int main() {
    GifAnimation doc;
    makeAnimation(doc);
    velmora::Composer composer(doc);
    double start = now();
    while (composer.advance()) {
    }
    const double composed = (now() - start) / kFrames;
    double step[2];
    for (bool keep : {false, true}) {
        velmora::ComposedFrames frames;
        start = now();
        for (size_t i = 0; i < size_t(kFrames); ++i) frames.canvasOf(doc, i, keep);
        step[keep] = (now() - start) / kFrames;
    }
    std::printf(
        "1920 x 1080, %d frames, per frame: %.2f ms composed, %.2f ms a playback step, %.2f ms kept\n",
        kFrames, composed * 1e3, step[0] * 1e3, step[1] * 1e3);
    return 0;
}
