#include "gif/composer.h"

#include <algorithm>

namespace velmora {

void frameColors(const GifAnimation& doc, const GifFrame& frame, Pixel colors[256]) {
    const ColorTable& table = frame.hasLocalTable ? frame.localTable : doc.globalTable;
    const size_t count = std::min<size_t>(table.entries.size(), 256);
    for (size_t i = 0; i < 256; ++i) colors[i] = i < count ? table.entries[i].toArgb() : 0xFF000000u;
    if (frame.transparent) colors[frame.transparentIndex] = kSeeThrough;
}

ScreenRect visibleRect(const GifAnimation& doc, const GifFrame& frame) {
    ScreenRect r;
    r.left = std::min<uint32_t>(frame.left, doc.screenWidth);
    r.top = std::min<uint32_t>(frame.top, doc.screenHeight);
    r.right = std::min<uint32_t>(uint32_t(frame.left) + frame.width(), doc.screenWidth);
    r.bottom = std::min<uint32_t>(uint32_t(frame.top) + frame.height(), doc.screenHeight);
    return r;
}

Composer::Composer(const GifAnimation& doc) : doc_(doc), width_(doc.screenWidth), height_(doc.screenHeight) {
    restart();
}

void Composer::restart() {
    canvas_.assign(size_t(width_) * height_, kSeeThrough);
    next_ = 0;
}

void Composer::dispose() {
    if (next_ == 0) return;
    const GifFrame& shown = doc_.frames[next_ - 1];
    const ScreenRect r = visibleRect(doc_, shown);
    if (r.empty()) return;
    const uint32_t w = r.right - r.left;
    for (uint32_t y = r.top; y < r.bottom; ++y) {
        Pixel* row = canvas_.data() + size_t(y) * width_ + r.left;
        if (shown.disposal == DisposalToBackground) {
            std::fill(row, row + w, kSeeThrough);
        } else if (shown.disposal == DisposalToPrevious) {
            std::copy_n(saved_.data() + size_t(y - r.top) * w, w, row);
        }
    }
}

bool Composer::advance() {
    if (next_ >= doc_.frames.size()) return false;
    dispose();
    const GifFrame& frame = doc_.frames[next_++];
    const ScreenRect r = visibleRect(doc_, frame);
    if (!frame.bitmap || r.empty()) return true;
    const uint32_t w = r.right - r.left;
    if (frame.disposal == DisposalToPrevious) {
        saved_.resize(size_t(w) * (r.bottom - r.top));
        for (uint32_t y = r.top; y < r.bottom; ++y)
            std::copy_n(canvas_.data() + size_t(y) * width_ + r.left, w,
                        saved_.data() + size_t(y - r.top) * w);
    }
    Pixel colors[256];
    frameColors(doc_, frame, colors);
    for (uint32_t y = r.top; y < r.bottom; ++y) {
        const uint8_t* source = frame.bitmap->row(y - frame.top) + (r.left - frame.left);
        Pixel* row = canvas_.data() + size_t(y) * width_ + r.left;
        for (uint32_t x = 0; x < w; ++x) {
            const Pixel p = colors[source[x]];
            if (p != kSeeThrough) row[x] = p;
        }
    }
    return true;
}

std::vector<std::vector<Pixel>> composeFrames(const GifAnimation& doc) {
    std::vector<std::vector<Pixel>> result;
    Composer composer(doc);
    while (composer.advance()) result.push_back(composer.canvas());
    return result;
}

}  // namespace velmora
