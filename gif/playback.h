#pragma once
// Playing an animation as browsers do: when each frame is due, how the loop count ends the play,
// and the composed canvases kept for the view so that stepping through frames stays cheap.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "gif/composer.h"
#include "gif/document.h"

namespace velmora {

// How long a frame stays on show, in hundredths of a second: browsers play 0 and 1 as 10.
inline uint32_t shownDelay(uint16_t delay) {
    return delay <= 1 ? 10 : delay;
}

// The frames shown one after another, loop after loop. A step is one frame shown once; step s
// shows frame s % frames and starts at startOf(s) milliseconds after the play began. Times come
// from the start, never from the previous step, so a late step does not push the rest back.
class PlaySchedule {
public:
    PlaySchedule() = default;
    explicit PlaySchedule(const GifAnimation& doc);

    size_t frames() const { return starts_.empty() ? 0 : starts_.size() - 1; }
    // False when there is nothing to play or the play is over at step `step`.
    bool hasStep(uint64_t step) const { return frames() != 0 && (forever_ || step < frames() * plays_); }
    size_t frameOf(uint64_t step) const { return size_t(step % frames()); }
    uint64_t startOf(uint64_t step) const;
    // When the last step ends; UINT64_MAX when looping forever.
    uint64_t end() const;
    // The step on show `ms` after the start: the last one once the play is over.
    uint64_t stepAt(uint64_t ms) const;

private:
    std::vector<uint64_t> starts_;  // per frame within one loop, and the loop's length last
    uint32_t plays_ = 1;
    bool forever_ = false;
};

// The composed canvas of any frame, composed forward from the frame last composed, or taken from
// the canvases kept (while they stay under a budget). Stepping to the next frame composes one frame.
// Cleared whenever the document changes: it holds a reference to it.
class ComposedFrames {
public:
    explicit ComposedFrames(size_t budgetBytes = size_t(256) << 20) : budget_(budgetBytes) {}

    void clear();
    // width x height pixels (the document's screen), row after row; frame must exist. `keep` keeps
    // the canvases composed on the way; playing does without, as a first copy of a large canvas
    // costs many times its composition.
    const std::vector<Pixel>& canvasOf(const GifAnimation& doc, size_t frame, bool keep = true);
    // The canvas shrunk (nearest pixel) to fit `side` x `side`, kept apart from the budget: the
    // frame list draws many of them and only needs a few pixels of each. Its size is in *width and
    // *height.
    const std::vector<Pixel>& thumbnailOf(const GifAnimation& doc, size_t frame, uint32_t side,
                                          uint32_t* width, uint32_t* height);

private:
    size_t budget_;
    size_t keptBytes_ = 0;
    std::map<size_t, std::vector<Pixel>> kept_;
    std::map<size_t, std::vector<Pixel>> thumbnails_;
    uint32_t thumbnailSide_ = 0;
    std::unique_ptr<Composer> composer_;
    size_t shown_ = 0;  // frames the composer has drawn
};

}  // namespace velmora
