#include "gif/optimizeframe.h"

#include <algorithm>
#include <cstring>

#include "gif/lzwencoder.h"

namespace velmora {

namespace {

// Room for one table's colours and one more, so an overflow shows.
constexpr int kMaxColors = 256;
constexpr int kTrackedColors = kMaxColors + 1;

}  // namespace

void ColorIndex::clear() {
    std::fill(std::begin(keys_), std::end(keys_), kSeeThrough);
    colors_.clear();
}

int ColorIndex::find(Pixel color) const {
    for (uint32_t i = slot(color);; i = (i + 1) & (kSlots - 1)) {
        if (keys_[i] == color) return values_[i];
        if (keys_[i] == kSeeThrough) return -1;
    }
}

int ColorIndex::add(Pixel color) {
    uint32_t i = slot(color);
    while (keys_[i] != kSeeThrough) i = (i + 1) & (kSlots - 1);
    keys_[i] = color;
    values_[i] = int16_t(colors_.size());
    colors_.push_back(color);
    return values_[i];
}

uint32_t writerCodeSize(uint32_t tableBits, uint32_t /*largestIndex*/) {
    return std::max<uint32_t>(2, tableBits);
}

uint32_t tableBitsFor(uint32_t count) {
    uint32_t bits = 1;
    while ((1u << bits) < count) ++bits;
    return bits;
}

// The dictionary LzwEncoder builds, step for step: codes from clear + 2, a new string after
// every code sent, and a fresh table when the 4096th would be added. Following it lets the
// free pixels take whichever value extends the string the encoder is matching.
class FrameBuilder::LzwModel {
public:
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    void start(uint32_t minimumCodeSize) {
        first_ = (1u << minimumCodeSize) + 2;
        reset();
    }
    uint32_t find(uint32_t prefix, uint32_t pixel) const {
        const uint32_t key = pixel << 12 | prefix;
        for (uint32_t i = hash(key);; i = (i + 1) & (kSlots - 1)) {
            const uint32_t s = slots_[i];
            if (s == kNone) return kNone;
            if (s >> 12 == key) return s & 0xFFF;
        }
    }
    bool full() const { return next_ >= LzwEncoder::kCodeLimit; }
    // The encoder sends `prefix` and records prefix + pixel, or starts over when full.
    void miss(uint32_t prefix, uint32_t pixel) {
        if (full()) {
            reset();
            return;
        }
        const uint32_t key = pixel << 12 | prefix;
        uint32_t i = hash(key);
        while (slots_[i] != kNone) i = (i + 1) & (kSlots - 1);
        slots_[i] = key << 12 | next_++;
    }

private:
    static constexpr uint32_t kSlots = 8192;
    static uint32_t hash(uint32_t key) { return (key * 2654435761u) >> 19; }
    void reset() {
        std::fill(std::begin(slots_), std::end(slots_), kNone);
        next_ = first_;
    }

    uint32_t slots_[kSlots];
    uint32_t first_ = 0;
    uint32_t next_ = 0;
};

// How one encoding indexes the colours: each entry of colors_ to its table index (-1: not in
// the table, the pixel can only be see-through), and the index that is see-through.
struct FrameBuilder::Table {
    bool global = false;
    uint32_t bits = 1;
    uint32_t seeThrough = 0;
    std::vector<int16_t> map;
    std::vector<RgbColor> entries;  // a local table's colours
};

FrameBuilder::FrameBuilder() : model_(new LzwModel) {}
FrameBuilder::~FrameBuilder() = default;

size_t FrameBuilder::lzwBytes(const IndexedBitmap& bitmap, uint32_t minimumCodeSize) {
    encoded_.clear();
    LzwEncoder(bitmap, false, minimumCodeSize).encode(encoded_);
    return encoded_.size();
}

bool FrameBuilder::classify(const FrameJob& job) {
    const ScreenRect& r = job.rect;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    const size_t count = size_t(width_) * height_;
    pixels_.resize(count);
    flexible_.assign(count, 0);
    slot_.assign(count, -1);
    colors_.clear();
    needsClear_ = anyFlexible_ = tooManyColors_ = false;
    size_t at = 0;
    for (uint32_t y = r.top; y < r.bottom; ++y) {
        const Pixel* before = job.before + size_t(y) * job.screenWidth;
        const Pixel* target = job.target + size_t(y) * job.screenWidth;
        for (uint32_t x = r.left; x < r.right; ++x, ++at) {
            const Pixel p = target[x];
            pixels_[at] = p;
            if (p != before[x]) {
                // Only an opaque pixel can be drawn over the canvas; the disposal chosen
                // before this frame has made every pixel that must turn see-through so.
                if (p == kSeeThrough) return false;
                if (colors_.size() == kTrackedColors && colors_.find(p) < 0) return false;
                slot_[at] = int16_t(colors_.findOrAdd(p));
            } else if (p == kSeeThrough) {
                needsClear_ = true;
            } else {
                flexible_[at] = 1;
                anyFlexible_ = true;
            }
        }
    }
    drawnColors_ = colors_.size();
    if (drawnColors_ > kMaxColors) return false;
    for (size_t i = 0; i < count; ++i) {
        if (!flexible_[i]) continue;
        const int found = colors_.find(pixels_[i]);
        if (found >= 0) {
            slot_[i] = int16_t(found);
        } else if (colors_.size() < kTrackedColors) {
            slot_[i] = int16_t(colors_.add(pixels_[i]));
        } else {
            tooManyColors_ = true;
        }
    }
    return true;
}

// Searches the dictionary for the longest string the next pixels can follow, taking either
// value where a pixel is free; the values of the best path found are kept in `best`.
class FrameBuilder::PathSearch {
public:
    static constexpr int kDepth = 24;   // a string this long is worth taking without looking further
    static constexpr int kBudget = 48;  // dictionary probes per search

    PathSearch(const LzwModel& model, const std::vector<uint16_t>& first, const std::vector<uint16_t>& second)
        : model_(model), first_(first), second_(second) {}

    // How many pixels from `at` on the string `node` can be extended by.
    int longest(uint32_t node, size_t at) {
        length = 0;
        budget_ = kBudget;
        walk(node, at, 0);
        return length;
    }

    int length = 0;
    uint8_t best[kDepth];

private:
    void walk(uint32_t node, size_t at, int depth) {
        if (depth > length) {
            length = depth;
            std::copy(path_, path_ + depth, best);
        }
        if (depth == kDepth || at == first_.size() || --budget_ <= 0) return;
        for (const uint16_t value : {first_[at], second_[at]}) {
            if (value > 0xFF) break;
            const uint32_t child = model_.find(node, value);
            if (child == LzwModel::kNone) continue;
            path_[depth] = uint8_t(value);
            walk(child, at + 1, depth + 1);
            if (length == kDepth) return;
        }
    }

    const LzwModel& model_;
    const std::vector<uint16_t>& first_;
    const std::vector<uint16_t>& second_;
    int budget_ = 0;
    uint8_t path_[kDepth];
};

void FrameBuilder::greedyFill(IndexedBitmap& bitmap, const int16_t* colorIndex, uint32_t seeThrough,
                              uint32_t minimumCodeSize) {
    // The values each pixel may take; a free pixel tries see-through first, so that where both
    // reach as far the runs of see-through stay unbroken.
    const size_t count = size_t(width_) * height_;
    first_.resize(count);
    second_.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const int colour = slot_[i] >= 0 ? colorIndex[slot_[i]] : -1;
        const bool free = flexible_[i] && colour >= 0 && uint32_t(colour) != seeThrough;
        first_[i] = uint16_t(free || colour < 0 ? seeThrough : uint32_t(colour));
        second_[i] = free ? uint16_t(colour) : 0xFFFF;
    }
    LzwModel& model = *model_;
    model.start(minimumCodeSize);
    PathSearch search(model, first_, second_);
    std::vector<uint8_t>& values = values_;
    values.resize(count);
    // Starts a string at `at`: the value from which the dictionary follows furthest.
    auto startString = [&](size_t at) {
        uint32_t chosen = first_[at];
        int reach = search.longest(chosen, at + 1);
        uint8_t path[PathSearch::kDepth];
        std::copy(search.best, search.best + reach, path);
        if (second_[at] <= 0xFF && search.longest(second_[at], at + 1) > reach) {
            chosen = second_[at];
            reach = search.length;
            std::copy(search.best, search.best + reach, path);
        }
        values[at] = uint8_t(chosen);
        std::copy(path, path + reach, values.begin() + std::ptrdiff_t(at + 1));
        return reach;
    };
    size_t at = 0;
    int planned = startString(0);
    uint32_t prefix = values[0];
    for (++at; at < count; ++at) {
        if (planned == 0) {
            planned = search.longest(prefix, at);
            std::copy(search.best, search.best + planned, values.begin() + std::ptrdiff_t(at));
        }
        if (planned > 0) {
            prefix = model.find(prefix, values[at]);
            --planned;
            continue;
        }
        // No value continues the string: the encoder sends it and starts the next one here.
        // A full table starts over first, so the next string is planned in the new one.
        const uint32_t ended = prefix;
        const bool startsOver = model.full();
        if (startsOver) model.miss(ended, 0);
        planned = startString(at);
        if (!startsOver) model.miss(ended, values[at]);
        prefix = values[at];
    }
    for (uint32_t y = 0; y < height_; ++y)
        std::copy_n(values.data() + size_t(y) * width_, width_, bitmap.row(y));
}

bool FrameBuilder::tryEncoding(const Table& table, Fill fill, GifFrame& best, size_t& bestBytes) {
    std::unique_ptr<IndexedBitmap> bitmap = IndexedBitmap::create(width_, height_);
    if (!bitmap) return false;
    uint32_t largest = table.seeThrough;
    for (int16_t index : table.map) largest = std::max<uint32_t>(largest, index >= 0 ? uint32_t(index) : 0);
    const uint32_t codeSize = writerCodeSize(table.bits, largest);
    if (fill == FillGreedy) {
        greedyFill(*bitmap, table.map.data(), table.seeThrough, codeSize);
    } else {
        size_t at = 0;
        for (uint32_t y = 0; y < height_; ++y) {
            uint8_t* row = bitmap->row(y);
            for (uint32_t x = 0; x < width_; ++x, ++at) {
                const int colour = slot_[at] >= 0 ? table.map[size_t(slot_[at])] : -1;
                const bool keep = !flexible_[at] || fill == FillOpaque;
                row[x] = uint8_t(keep && colour >= 0 ? uint32_t(colour) : table.seeThrough);
            }
        }
    }
    bool usesSeeThrough = false;
    for (uint32_t y = 0; y < height_ && !usesSeeThrough; ++y) {
        const uint8_t* row = bitmap->row(y);
        usesSeeThrough = std::memchr(row, int(table.seeThrough), width_) != nullptr;
    }
    const size_t bytes = lzwBytes(*bitmap, codeSize) + (table.global ? 0 : 3 * (size_t(1) << table.bits));
    if (bytes >= bestBytes) return true;
    bestBytes = bytes;
    best.bitmap = std::move(bitmap);
    best.transparent = usesSeeThrough;
    best.transparentIndex = usesSeeThrough ? uint8_t(table.seeThrough) : 0;
    best.hasLocalTable = !table.global;
    best.localTable.entries = table.entries;
    return true;
}

bool FrameBuilder::build(const FrameJob& job, const GlobalPalette& global, GifFrame& frame) {
    if (!classify(job)) return false;
    const int drawn = drawnColors_;
    const int known = colors_.size();
    auto toRgb = [](Pixel p) { return RgbColor::fromPacked(p); };

    // The global table, when it holds every colour drawn and an index the frame leaves free.
    Table shared;
    shared.global = true;
    shared.bits = global.bits;
    bool sharedFits = global.bits != 0;
    bool sharedHasAll = !tooManyColors_;
    std::vector<bool> taken(global.entries(), false);
    for (int i = 0; i < known && sharedFits; ++i) {
        const int index = global.index.find(colors_.colors()[size_t(i)]);
        if (index < 0) (i < drawn ? sharedFits : sharedHasAll) = false;
        shared.map.push_back(int16_t(index));
        if (i < drawn && index >= 0) taken[size_t(index)] = true;
    }
    const auto freeIndex = std::find(taken.begin(), taken.end(), false);
    sharedFits = sharedFits && freeIndex != taken.end();
    if (sharedFits) shared.seeThrough = uint32_t(freeIndex - taken.begin());

    GifFrame best;
    size_t bestBytes = SIZE_MAX;
    // A local table of the changing colours and a see-through entry. Relabelling colours leaves
    // the LZW codes as they are, so a local table no smaller than the global one cannot win.
    Table local;
    local.map.assign(size_t(known), -1);
    for (int i = 0; i < drawn; ++i) {
        local.map[size_t(i)] = int16_t(i);
        local.entries.push_back(toRgb(colors_.colors()[size_t(i)]));
    }
    local.seeThrough = uint32_t(drawn);
    local.entries.emplace_back();
    local.bits = tableBitsFor(uint32_t(drawn + 1));
    if (drawn < kMaxColors && !(sharedFits && local.bits >= shared.bits)) {
        if (!tryEncoding(local, FillGreedy, best, bestBytes)) return false;
        if (anyFlexible_) tryEncoding(local, FillSeeThrough, best, bestBytes);
    }
    // Every colour in the rectangle: no see-through entry unless some pixel must stay clear.
    const int opaqueCount = known + (needsClear_ ? 1 : 0);
    Table all;
    all.bits = tableBitsFor(uint32_t(opaqueCount));
    const bool sharedCoversAll = sharedFits && sharedHasAll && all.bits >= shared.bits;
    if ((anyFlexible_ || !needsClear_ || drawn == kMaxColors) && !tooManyColors_ &&
        opaqueCount <= kMaxColors && !sharedCoversAll) {
        for (int i = 0; i < known; ++i) {
            all.map.push_back(int16_t(i));
            all.entries.push_back(toRgb(colors_.colors()[size_t(i)]));
        }
        all.seeThrough = uint32_t(known);
        if (needsClear_) all.entries.emplace_back();
        tryEncoding(all, FillOpaque, best, bestBytes);
    }
    if (sharedFits) {
        if (anyFlexible_) {
            tryEncoding(shared, FillOpaque, best, bestBytes);
            if (known > drawn) tryEncoding(shared, FillGreedy, best, bestBytes);
        }
        // Free pixels of colours the frame does not draw left see-through.
        std::fill(shared.map.begin() + drawn, shared.map.end(), int16_t(-1));
        tryEncoding(shared, FillGreedy, best, bestBytes);
    }
    if (!best.bitmap) return false;
    frame.bitmap = std::move(best.bitmap);
    frame.left = uint16_t(job.rect.left);
    frame.top = uint16_t(job.rect.top);
    frame.transparent = best.transparent;
    frame.transparentIndex = best.transparentIndex;
    frame.hasLocalTable = best.hasLocalTable;
    frame.localTable.entries = std::move(best.localTable.entries);
    return true;
}

}  // namespace velmora
