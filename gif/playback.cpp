#include "gif/playback.h"

#include <algorithm>

namespace velmora {

PlaySchedule::PlaySchedule(const GifAnimation& doc)
    : plays_(doc.loopCount == 0 ? 1 : doc.loopCount), forever_(doc.loopForever) {
    if (doc.frames.empty()) return;
    uint64_t at = 0;
    for (const GifFrame& frame : doc.frames) {
        starts_.push_back(at);
        at += uint64_t(shownDelay(frame.delay)) * 10;
    }
    starts_.push_back(at);
}

uint64_t PlaySchedule::startOf(uint64_t step) const {
    return step / frames() * starts_.back() + starts_[frameOf(step)];
}

uint64_t PlaySchedule::end() const {
    if (frames() == 0) return 0;
    return forever_ ? UINT64_MAX : starts_.back() * plays_;
}

uint64_t PlaySchedule::stepAt(uint64_t ms) const {
    if (frames() == 0) return 0;
    if (ms >= end()) return frames() * plays_ - 1;
    const uint64_t loop = ms / starts_.back();
    const uint64_t within = ms % starts_.back();
    size_t frame = 0;
    while (frame + 1 < frames() && starts_[frame + 1] <= within) ++frame;
    return loop * frames() + frame;
}

void ComposedFrames::clear() {
    kept_.clear();
    thumbnails_.clear();
    keptBytes_ = 0;
    composer_.reset();
    shown_ = 0;
}

const std::vector<Pixel>& ComposedFrames::canvasOf(const GifAnimation& doc, size_t frame, bool keep) {
    const auto found = kept_.find(frame);
    if (found != kept_.end()) return found->second;
    if (!composer_) composer_ = std::make_unique<Composer>(doc);
    // A composer only goes forward; an earlier frame starts the loop again.
    if (shown_ > frame + 1) {
        composer_->restart();
        shown_ = 0;
    }
    while (shown_ <= frame && composer_->advance()) {
        ++shown_;
        const std::vector<Pixel>& canvas = composer_->canvas();
        const size_t bytes = canvas.size() * sizeof(Pixel);
        if (keep && keptBytes_ + bytes <= budget_ && kept_.emplace(shown_ - 1, canvas).second)
            keptBytes_ += bytes;
    }
    const auto kept = kept_.find(frame);
    return kept != kept_.end() ? kept->second : composer_->canvas();
}

}  // namespace velmora

namespace velmora {

const std::vector<Pixel>& ComposedFrames::thumbnailOf(const GifAnimation& doc, size_t frame, uint32_t side,
                                                      uint32_t* width, uint32_t* height) {
    const uint32_t screenWidth = std::max<uint32_t>(1, doc.screenWidth);
    const uint32_t screenHeight = std::max<uint32_t>(1, doc.screenHeight);
    const uint32_t longer = std::max(screenWidth, screenHeight);
    *width =
        longer <= side ? screenWidth : std::max<uint32_t>(1, uint32_t(uint64_t(screenWidth) * side / longer));
    *height = longer <= side ? screenHeight
                             : std::max<uint32_t>(1, uint32_t(uint64_t(screenHeight) * side / longer));
    if (side != thumbnailSide_) thumbnails_.clear();
    thumbnailSide_ = side;
    std::vector<Pixel>& small = thumbnails_[frame];
    if (!small.empty()) return small;
    const std::vector<Pixel>& canvas = canvasOf(doc, frame, false);
    small.assign(size_t(*width) * *height, kSeeThrough);
    if (canvas.size() != size_t(doc.screenWidth) * doc.screenHeight) return small;
    for (uint32_t y = 0; y < *height; ++y)
        for (uint32_t x = 0; x < *width; ++x)
            small[size_t(y) * *width + x] =
                canvas[size_t(uint64_t(y) * doc.screenHeight / *height) * doc.screenWidth +
                       uint64_t(x) * doc.screenWidth / *width];
    return small;
}

}  // namespace velmora
