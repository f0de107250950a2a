// optimizeAnimation: composes the input frame by frame and builds, for each composed picture,
// the cheapest frame that turns the previous output's canvas into it. A frame's disposal is
// chosen once the next picture is known, since it decides which canvas that picture starts
// from; the frame is encoded then.
#include "gif/optimizer.h"

#include <algorithm>
#include <cstring>

#include "gif/composer.h"
#include "gif/optimizeframe.h"

namespace velmora {

namespace {

ScreenRect unite(const ScreenRect& a, const ScreenRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

void include(ScreenRect& r, uint32_t x, uint32_t y) {
    if (r.empty()) {
        r = {x, y, x + 1, y + 1};
        return;
    }
    r.left = std::min(r.left, x);
    r.top = std::min(r.top, y);
    r.right = std::max(r.right, x + 1);
    r.bottom = std::max(r.bottom, y + 1);
}

// Where two canvases of `width` columns differ, looking only inside `within`.
ScreenRect changedRect(const std::vector<Pixel>& before, const std::vector<Pixel>& after, uint32_t width,
                       const ScreenRect& within) {
    ScreenRect r;
    if (within.empty()) return r;
    const size_t rowBytes = size_t(within.right - within.left) * sizeof(Pixel);
    for (uint32_t y = within.top; y < within.bottom; ++y) {
        const Pixel* a = before.data() + size_t(y) * width;
        const Pixel* b = after.data() + size_t(y) * width;
        if (std::memcmp(a + within.left, b + within.left, rowBytes) == 0) continue;
        uint32_t x = within.left;
        while (a[x] == b[x]) ++x;
        uint32_t last = within.right - 1;
        while (a[last] == b[last]) --last;
        include(r, x, y);
        include(r, last, y);
    }
    return r;
}

// The global table: every colour the pictures show when they are few enough for one table,
// else the first picture's colours, which a frame covering the screen needs anyway. Both come
// from the composed pictures alone, never from how the input's frames were cut, so a second
// pass over the result chooses the same table. The most used colours come first.
void chooseGlobal(const GifAnimation& in, GlobalPalette& global) {
    ColorIndex& index = global.index;
    index.clear();
    std::vector<uint64_t> uses;
    auto count = [&](Pixel p) {
        if (p == kSeeThrough) return;
        const int i = index.findOrAdd(p);
        if (size_t(i) >= uses.size()) uses.resize(size_t(i) + 1, 0);
        ++uses[size_t(i)];
    };
    // A picture differs from the one before only where its frame was drawn, and what a
    // disposal brings back was shown before.
    Composer composer(in);
    composer.advance();
    for (Pixel p : composer.canvas()) count(p);
    const size_t firstColors = size_t(index.size());
    std::vector<Pixel> before = composer.canvas();
    for (size_t i = 1; composer.advance() && index.size() <= 256; ++i) {
        const std::vector<Pixel>& now = composer.canvas();
        const ScreenRect r = changedRect(before, now, in.screenWidth, visibleRect(in, in.frames[i]));
        for (uint32_t y = r.top; y < r.bottom; ++y)
            for (uint32_t x = r.left; x < r.right; ++x) {
                const size_t at = size_t(y) * in.screenWidth + x;
                if (now[at] != before[at]) count(now[at]);
            }
        before = now;
    }
    std::vector<Pixel> colors = index.colors();
    if (colors.size() > 256) colors.resize(firstColors);
    std::vector<size_t> order(colors.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return uses[a] > uses[b]; });
    index.clear();
    for (size_t i : order) index.add(colors[i]);
    global.bits = index.size() ? tableBitsFor(uint32_t(index.size())) : 0;
}

class Planner {
public:
    Planner(const GifAnimation& in, GifAnimation& out)
        : in_(in), out_(out), width_(in.screenWidth), height_(in.screenHeight) {}

    // Fills out_'s frames; false when some picture needs more colours than a frame can hold.
    bool run();
    // Gives out_ the global table, when a frame draws from it.
    void finish();

private:
    struct Choice {
        uint32_t disposal = DisposalDoNotRemove;
        ScreenRect rect;  // of the frame before: grown when it must clear more
        uint64_t score = UINT64_MAX;
    };

    size_t at(uint32_t x, uint32_t y) const { return size_t(y) * width_ + x; }
    Choice chooseDisposal(const ScreenRect& within) const;
    bool emit(size_t index, const ScreenRect& rect, uint32_t disposal);

    const GifAnimation& in_;
    GifAnimation& out_;
    uint32_t width_, height_;
    GlobalPalette global_;
    FrameBuilder builder_;
    // The canvas before the previous picture was drawn, that picture, the canvas the current
    // one starts from, and the current one.
    std::vector<Pixel> beforePrevious_, previous_, before_, current_;
    ScreenRect previousRect_;  // where the previous picture differs from the canvas before it
};

// Which canvas the current picture should start from: the previous picture left in place, its
// rectangle cleared (grown to take in every pixel that must turn see-through), or the canvas
// from before it. Estimated by the pixels that would change and the rectangles to encode.
Planner::Choice Planner::chooseDisposal(const ScreenRect& within) const {
    ScreenRect mustClear;
    bool previousKeepsClear = true;
    for (uint32_t y = within.top; y < within.bottom; ++y) {
        for (uint32_t x = within.left; x < within.right; ++x) {
            const size_t i = at(x, y);
            if (current_[i] != kSeeThrough) continue;
            if (previous_[i] != kSeeThrough) include(mustClear, x, y);
            if (beforePrevious_[i] != kSeeThrough) previousKeepsClear = false;
        }
    }
    const ScreenRect cleared = unite(previousRect_, mustClear);
    const bool keepAllowed = mustClear.empty();
    const bool clearAllowed = !cleared.empty() && cleared.area() != 0;
    const bool restoreAllowed = previousKeepsClear && !previousRect_.empty();
    uint64_t count[3] = {};
    ScreenRect changed[3];
    for (uint32_t y = within.top; y < within.bottom; ++y) {
        for (uint32_t x = within.left; x < within.right; ++x) {
            const size_t i = at(x, y);
            const Pixel p = current_[i];
            const bool inCleared =
                x >= cleared.left && x < cleared.right && y >= cleared.top && y < cleared.bottom;
            const Pixel canvases[3] = {previous_[i], inCleared ? kSeeThrough : previous_[i],
                                       beforePrevious_[i]};
            for (int k = 0; k < 3; ++k) {
                if (canvases[k] == p) continue;
                ++count[k];
                include(changed[k], x, y);
            }
        }
    }
    Choice best;
    const bool allowed[3] = {keepAllowed, clearAllowed, restoreAllowed};
    const uint32_t disposals[3] = {DisposalDoNotRemove, DisposalToBackground, DisposalToPrevious};
    for (int k = 0; k < 3; ++k) {
        if (!allowed[k]) continue;
        uint64_t score = 4 * count[k] + changed[k].area();
        if (k == 1) score += cleared.area() - previousRect_.area();
        if (score < best.score) best = Choice{disposals[k], k == 1 ? cleared : previousRect_, score};
    }
    return best;
}

bool Planner::emit(size_t index, const ScreenRect& rect, uint32_t disposal) {
    const GifFrame& source = in_.frames[index];
    GifFrame frame;
    frame.delay = source.delay;
    frame.comments = source.comments;
    frame.title = source.title;
    frame.pinned = source.pinned;
    frame.disposal = disposal;
    // A frame that changes nothing still holds its delay: one pixel that shows through.
    const ScreenRect r = rect.empty() ? ScreenRect{0, 0, 1, 1} : rect;
    if (!builder_.build(FrameJob{beforePrevious_.data(), previous_.data(), width_, r}, global_, frame))
        return false;
    out_.frames.push_back(std::move(frame));
    return true;
}

bool Planner::run() {
    const size_t pixels = size_t(width_) * height_;
    beforePrevious_.assign(pixels, kSeeThrough);
    Composer composer(in_);
    composer.advance();
    previous_ = composer.canvas();
    chooseGlobal(in_, global_);
    const ScreenRect screen{0, 0, width_, height_};
    previousRect_ = changedRect(beforePrevious_, previous_, width_, screen);
    for (size_t i = 1; i < in_.frames.size(); ++i) {
        composer.advance();
        current_ = composer.canvas();
        // Pictures differ only where a frame was drawn or disposed of; the canvas before the
        // previous picture differs from it only where that picture changed.
        const ScreenRect drawn = unite(visibleRect(in_, in_.frames[i]), visibleRect(in_, in_.frames[i - 1]));
        const ScreenRect within = unite(changedRect(previous_, current_, width_, drawn), previousRect_);
        const Choice choice = chooseDisposal(within);
        if (!emit(i - 1, choice.rect, choice.disposal)) return false;
        if (choice.disposal == DisposalToPrevious) {
            before_ = beforePrevious_;
        } else {
            before_ = previous_;
            if (choice.disposal == DisposalToBackground) {
                for (uint32_t y = choice.rect.top; y < choice.rect.bottom; ++y)
                    std::fill_n(before_.data() + at(choice.rect.left, y),
                                choice.rect.right - choice.rect.left, kSeeThrough);
            }
        }
        previousRect_ = changedRect(before_, current_, width_, unite(within, choice.rect));
        beforePrevious_.swap(before_);
        previous_.swap(current_);
    }
    return emit(in_.frames.size() - 1, previousRect_, DisposalDoNotRemove);
}

void Planner::finish() {
    out_.hasGlobalTable = std::any_of(out_.frames.begin(), out_.frames.end(),
                                      [](const GifFrame& f) { return !f.hasLocalTable; });
    if (out_.hasGlobalTable) {
        for (Pixel p : global_.index.colors()) out_.globalTable.entries.push_back(RgbColor::fromPacked(p));
        out_.globalTable.entries.resize(global_.entries());
    }
    // Each picture gets the palette the reader would give it: its table, the see-through
    // entry clear.
    for (GifFrame& frame : out_.frames) {
        IndexedPalette palette =
            (frame.hasLocalTable ? frame.localTable : out_.globalTable).toGdiplusPalette();
        if (frame.transparent) {
            palette.entries[frame.transparentIndex] = 0x00FFFFFF;
            palette.flags |= kPaletteFlagsHasAlpha;
        }
        frame.bitmap->setPalette(palette);
    }
}

}  // namespace

namespace {

void copySettings(const GifAnimation& from, GifAnimation& to) {
    to.screenWidth = from.screenWidth;
    to.screenHeight = from.screenHeight;
    to.autoScreenSize = from.autoScreenSize;
    to.backgroundIndex = from.backgroundIndex;
    to.loopCount = from.loopCount;
    to.loopForever = from.loopForever;
    to.hasGlobalTable = from.hasGlobalTable;
    to.globalTable.entries = from.globalTable.entries;
    to.globalTable.useCounts.clear();
}

}  // namespace

void copyAnimation(const GifAnimation& from, GifAnimation& to) {
    copySettings(from, to);
    to.frames = from.frames;
}

OptimizeResult optimizeAnimation(const GifAnimation& in, GifAnimation& out) {
    OptimizeResult result;
    result.bytesBefore = encodedSize(in);
    result.bytesAfter = result.bytesBefore;
    GifAnimation candidate;
    copySettings(in, candidate);
    candidate.hasGlobalTable = false;
    candidate.globalTable.entries.clear();
    // A document the writer refuses, or one with nothing on screen, is left as it is.
    const bool workable = result.bytesBefore != 0 && !in.frames.empty() && in.screenWidth && in.screenHeight;
    Planner planner(in, candidate);
    if (workable && planner.run()) {
        planner.finish();
        const uint64_t after = encodedSize(candidate);
        if (after != 0 && after < result.bytesBefore) {
            result.bytesAfter = after;
            result.changed = true;
            copySettings(candidate, out);
            out.frames = std::move(candidate.frames);
            return result;
        }
    }
    copyAnimation(in, out);
    return result;
}

}  // namespace velmora
