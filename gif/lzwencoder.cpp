#include "gif/lzwencoder.h"

#include <algorithm>
#include <cstring>

#include "gif/indexedbitmap.h"

#if defined(__GNUC__) || defined(__clang__)
#define VELMORA_ALWAYS_INLINE __attribute__((always_inline))
#else
#define VELMORA_ALWAYS_INLINE
#endif

namespace {

constexpr uint32_t kMasks[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F, 0x00FF,
                                 0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

// Interlaced rows are stored in four passes: start row and step of each.
constexpr uint32_t kPassStart[4] = {0, 4, 2, 1};
constexpr uint32_t kPassStep[4] = {8, 8, 4, 2};

uint32_t clampCodeSize(uint32_t size) {
    return std::min<uint32_t>(std::max<uint32_t>(size, 2), 8);
}

}  // namespace

// Yields the pixels in file order as runs of consecutive bytes, one per bitmap row, so the
// compressor's inner loop walks plain memory.
class LzwEncoder::PixelRuns {
public:
    PixelRuns(const IndexedBitmap& bitmap, bool interlaced) : bitmap_(&bitmap), interlaced_(interlaced) {}

    bool next(const uint8_t*& run, size_t& length) {
        const uint32_t height = bitmap_->height();
        if (!interlaced_) {
            if (row_ >= height) return false;
        } else {
            while (pass_ < 4 && row_ >= height) {
                if (++pass_ < 4) row_ = kPassStart[pass_];
            }
            if (pass_ >= 4) return false;
        }
        run = bitmap_->row(row_);
        length = bitmap_->width();
        row_ += interlaced_ ? kPassStep[pass_] : 1;
        return true;
    }

    const IndexedBitmap* bitmap_ = nullptr;
    bool interlaced_ = false;
    uint32_t pass_ = 0;
    uint32_t row_ = 0;
};

// Collects the code bytes into sub-blocks: a length byte, then up to 254 data bytes.
class LzwEncoder::Output {
public:
    Output(std::vector<uint8_t>& out, const Drain* drain) : out_(out), drain_(drain) {}

    void put(uint8_t byte) {
        packet_[1 + length_] = byte;
        if (++length_ == kPacketCapacity) flush();
    }
    void flush() {
        if (length_ == 0) return;
        packet_[0] = uint8_t(length_);
        out_.insert(out_.end(), packet_, packet_ + 1 + length_);
        length_ = 0;
        if (drain_ && out_.size() >= kDrainThreshold) {
            drain_->function(drain_->context, out_);
            out_.clear();
        }
    }

private:
    static constexpr size_t kDrainThreshold = size_t(64) << 10;

    std::vector<uint8_t>& out_;
    const Drain* drain_;
    int length_ = 0;
    uint8_t packet_[1 + kPacketCapacity];
};

LzwEncoder::LzwEncoder(const IndexedBitmap& bitmap, bool interlaced, uint32_t minimumCodeSize)
    : minimumCodeSize_(clampCodeSize(minimumCodeSize)), bitmap_(&bitmap), interlaced_(interlaced) {}

void LzwEncoder::encode(std::vector<uint8_t>& output, const Drain* drain) {
    output.push_back(uint8_t(minimumCodeSize_));
    Output out(output, drain);
    PixelRuns pixels(*bitmap_, interlaced_);
    compress(pixels, out);
    output.push_back(0);
}

void LzwEncoder::compress(PixelRuns& pixels, Output& out) {
    const uint32_t initialWidth = minimumCodeSize_ + 1;
    const uint32_t clearCode = 1u << minimumCodeSize_;
    const uint32_t endCode = clearCode + 1;
    uint32_t codeWidth = initialWidth;
    uint32_t maxCode = (1u << codeWidth) - 1;
    uint32_t nextCode = clearCode + 2;
    bool clearPending = false;
    uint32_t accumulator = 0;
    int bitsHeld = 0;

    // Rare: the width changes only a few times between clears.
    auto adjustWidth = [&] {
        if (clearPending) {
            codeWidth = initialWidth;
            maxCode = (1u << codeWidth) - 1;
            clearPending = false;
        } else {
            ++codeWidth;
            maxCode = codeWidth == kMaxCodeWidth ? kCodeLimit : (1u << codeWidth) - 1;
        }
    };
    auto finish = [&] {
        while (bitsHeld > 0) {
            out.put(uint8_t(accumulator));
            accumulator >>= 8;
            bitsHeld -= 8;
        }
        bitsHeld = 0;
        out.flush();
    };
    // Called for nearly every new string: kept inline in the pixel loop.
    auto emit = [&](uint32_t code) VELMORA_ALWAYS_INLINE {
        // masks[0] is 0, so with no bits held the accumulator becomes the code itself.
        accumulator = (accumulator & kMasks[bitsHeld]) | (code << bitsHeld);
        bitsHeld += int(codeWidth);
        while (bitsHeld >= 8) {
            out.put(uint8_t(accumulator));
            accumulator >>= 8;
            bitsHeld -= 8;
        }
        // The width follows the next code to be assigned; after a clear it falls back at once.
        if (nextCode > maxCode || clearPending) adjustWidth();
        if (code == endCode) finish();
    };

    // Each slot packs the string's key (pixel << 12 | prefix, 20 bits) above its code (12 bits),
    // so a probe is one load. All ones marks an empty slot; no string has that word (it would
    // be code 4095 with prefix 4095, and a code always comes after its prefix), but its key
    // bits are those of prefix 4095 and pixel 255, so emptiness is tested before the key.
    uint32_t* const slots = slots_;
    uint16_t* const taken = taken_;
    uint32_t takenCount = 0;
    constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    // In front of the hash: each code's most recent child (pixel << 12 | code). Pictures repeat
    // the same continuations, so most steps end here without a probe; the hash stays the
    // dictionary, so the codes and bytes are the same either way. All ones: no child yet.
    uint32_t* const lastChild = lastChild_;
    // A frame of few pixels makes few strings: its hash is sized to them (still at most a quarter
    // full) and only the codes it can reach are reset, so many small frames stay cheap.
    const uint64_t pixelTotal = uint64_t(bitmap_->width()) * bitmap_->height();
    const uint32_t maxStrings = uint32_t(std::min<uint64_t>(pixelTotal, kCodeLimit));
    uint32_t hashBits = 6;
    while (hashBits < kHashBits && (1u << hashBits) < 4 * maxStrings) ++hashBits;
    const uint32_t slotMask = (1u << hashBits) - 1;
    // A prefix is a pixel (any byte, even one above the clear code) or a code assigned so far.
    const uint32_t reachableCodes = std::min(kCodeLimit, std::max(256u, clearCode + 2 + maxStrings));
    std::memset(slots, 0xFF, sizeof slots_[0] * (slotMask + 1));
    auto emptyTable = [&] {
        for (uint32_t k = 0; k < takenCount; ++k) slots[taken[k]] = kEmpty;
        takenCount = 0;
        std::memset(lastChild, 0xFF, sizeof lastChild_[0] * reachableCodes);
    };

    const uint8_t* run = nullptr;
    size_t length = 0;
    bool any = false;
    while ((any = pixels.next(run, length)) && length == 0) {
    }
    emptyTable();
    if (!any) {
        // No pixels at all: a clear code and the end code make a valid empty stream.
        emit(clearCode);
        emit(endCode);
        return;
    }
    uint32_t prefix = *run++;
    --length;
    emit(clearCode);

    // Fibonacci hashing: the key times 2^32 / phi, its top bits the slot; linear probing after.
    constexpr uint32_t kHashMultiplier = 0x9E3779B1u;
    const uint32_t hashShift = 32 - hashBits;
    for (;;) {
        for (const uint8_t* const stop = run + length; run != stop; ++run) {
            const uint32_t c = *run;
            const uint32_t memo = lastChild[prefix];
            if ((memo >> kMaxCodeWidth) == c) {
                prefix = memo & (kCodeLimit - 1);
                continue;
            }
            const uint32_t key = (c << kMaxCodeWidth) + prefix;
            uint32_t i = (key * kHashMultiplier) >> hashShift;
            uint32_t slot = slots[i];
            while (slot != kEmpty && (slot >> kMaxCodeWidth) != key) {
                i = (i + 1) & slotMask;
                slot = slots[i];
            }
            if (slot != kEmpty) {
                lastChild[prefix] = c << kMaxCodeWidth | (slot & (kCodeLimit - 1));
                prefix = slot & (kCodeLimit - 1);
                continue;
            }
            emit(prefix);
            if (nextCode < kCodeLimit) {
                lastChild[prefix] = c << kMaxCodeWidth | nextCode;
                slots[i] = key << kMaxCodeWidth | nextCode++;
                taken[takenCount++] = uint16_t(i);
                prefix = c;
            } else {
                prefix = c;
                emptyTable();
                nextCode = clearCode + 2;
                clearPending = true;
                emit(clearCode);
            }
        }
        if (!pixels.next(run, length)) break;
    }
    emit(prefix);
    emit(endCode);
}
