#include "imaging/reduction.h"

#include <cstring>
#include <new>
#include <vector>

#include "gif/limits.h"
#include "imaging/colorquantizer.h"

namespace {

constexpr int kMaxExactColors = 256;

inline uint32_t rgbAt(const uint8_t* row, uint32_t x) {
    const uint8_t* p = row + size_t(x) * 4;  // B, G, R, A
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

inline const uint8_t* rowAt(const uint8_t* base, int32_t stride, uint32_t y) {
    return base + int64_t(y) * stride;
}

// Position of each distinct colour in first-appearance order. An open-addressed table instead of
// a walk along the list: a picture with 256 colours would otherwise cost 256 compares a pixel.
class DistinctColors {
public:
    DistinctColors() {
        std::memset(keys_, 0xFF, sizeof keys_);
        colors.reserve(kMaxExactColors);
    }

    // Position of the colour, appending it when new; -1 when it would be colour 257.
    int positionOf(uint32_t rgb) {
        uint32_t slot = hash(rgb);
        for (;;) {
            if (keys_[slot] == kEmpty) {
                if (colors.size() == kMaxExactColors) return -1;
                keys_[slot] = rgb;
                positions_[slot] = uint8_t(colors.size());
                colors.push_back(RgbColor::fromPacked(rgb));
                return positions_[slot];
            }
            if (keys_[slot] == rgb) return positions_[slot];
            slot = (slot + 1) & (kSlots - 1);
        }
    }

    std::vector<RgbColor> colors;

private:
    static constexpr uint32_t kSlots = 1024;  // never more than a quarter full
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    static uint32_t hash(uint32_t rgb) { return (rgb * 2654435761u) >> 22; }

    uint32_t keys_[kSlots];
    uint8_t positions_[kSlots];
};

// Remembers mapColor's answer for every 24-bit colour already seen, so a photograph with a few
// hundred thousand colours costs that many searches rather than one per pixel.
class NearestColorCache {
public:
    NearestColorCache(const ColorQuantizer& quantizer, size_t pixelCount) : quantizer_(quantizer) {
        // A small picture cannot repay setting up 18 MB of table; it searches for every colour.
        if (pixelCount < kMinPixelsForTable) return;
        // The answers need no clearing: an answer is read only after its bit is set.
        answers_.reset(new (std::nothrow) uint8_t[kColors]);
        if (answers_) known_.assign(kColors / 64, 0);
    }

    uint8_t nearest(uint32_t rgb) {
        if (!answers_) return search(rgb);
        uint64_t& word = known_[rgb >> 6];
        const uint64_t bit = uint64_t(1) << (rgb & 63);
        if (!(word & bit)) {
            answers_[rgb] = search(rgb);
            word |= bit;
        }
        return answers_[rgb];
    }

private:
    static constexpr uint32_t kColors = 1u << 24;
    static constexpr size_t kMinPixelsForTable = size_t(1) << 16;

    uint8_t search(uint32_t rgb) const {
        return uint8_t(quantizer_.mapColor(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)));
    }

    const ColorQuantizer& quantizer_;
    std::unique_ptr<uint8_t[]> answers_;
    std::vector<uint64_t> known_;
};

// Exact mapping in one pass: writes each pixel's position as it goes. False at colour 257.
bool mapExactly(const uint8_t* base, uint32_t width, uint32_t height, int32_t stride, IndexedBitmap& target,
                DistinctColors& distinct) {
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = rowAt(base, stride, y);
        uint8_t* out = target.row(y);
        uint32_t lastRgb = 0xFFFFFFFFu;
        int lastPosition = 0;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = rgbAt(row, x);
            if (rgb != lastRgb) {
                lastPosition = distinct.positionOf(rgb);
                if (lastPosition < 0) return false;
                lastRgb = rgb;
            }
            out[x] = uint8_t(lastPosition);
        }
    }
    return true;
}

bool quantize(const uint8_t* base, uint32_t width, uint32_t height, int32_t stride, IndexedBitmap& target,
              ColorTable& colors) {
    const size_t pixelCount = size_t(width) * height;
    std::unique_ptr<uint8_t[]> samples(new (std::nothrow) uint8_t[pixelCount * 3]);
    if (!samples) return false;
    uint8_t* s = samples.get();
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* p = rowAt(base, stride, y);
        for (uint32_t x = 0; x < width; ++x, p += 4, s += 3) {
            s[0] = p[2];
            s[1] = p[1];
            s[2] = p[0];
        }
    }

    ColorQuantizer quantizer(samples.get(), int32_t(pixelCount * 3), kImportSamplingFactor);
    uint8_t colorMap[3 * ColorQuantizer::kNetworkSize];
    quantizer.process(colorMap);
    samples.reset();  // learning is done with it; keep the peak lower while mapping

    colors.entries.resize(ColorQuantizer::kNetworkSize);
    for (int i = 0; i < ColorQuantizer::kNetworkSize; ++i)
        colors.entries[i] = RgbColor(colorMap[3 * i], colorMap[3 * i + 1], colorMap[3 * i + 2]);

    NearestColorCache cache(quantizer, pixelCount);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = rowAt(base, stride, y);
        uint8_t* out = target.row(y);
        uint32_t lastRgb = 0xFFFFFFFFu;
        uint8_t lastIndex = 0;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = rgbAt(row, x);
            if (rgb != lastRgb) {
                lastIndex = cache.nearest(rgb);
                lastRgb = rgb;
            }
            out[x] = lastIndex;
        }
    }
    return true;
}

}  // namespace

ReducedImage reduceArgbPicture(const void* pixels, uint32_t width, uint32_t height, int32_t stride) {
    ReducedImage result;
    if (!pixels || width == 0 || height == 0) return result;
    if (uint64_t(width) * height > velmora::kMaxImagePixels) return result;
    const int64_t strideMagnitude = stride < 0 ? -int64_t(stride) : int64_t(stride);
    if (strideMagnitude < int64_t(width) * 4) return result;

    std::unique_ptr<IndexedBitmap> target = IndexedBitmap::create(width, height);
    if (!target) return result;
    const uint8_t* base = static_cast<const uint8_t*>(pixels);

    auto distinct = std::make_unique<DistinctColors>();
    if (mapExactly(base, width, height, stride, *target, *distinct)) {
        result.colors.entries = std::move(distinct->colors);
    } else {
        if (!quantize(base, width, height, stride, *target, result.colors)) return result;
        result.quantized = true;
    }
    target->setPalette(result.colors.toGdiplusPalette());
    result.bitmap = std::move(target);
    return result;
}

bool storeInFrame(ReducedImage&& reduced, GifFrame& frame) {
    if (!reduced.bitmap) return false;
    frame.bitmap = std::move(reduced.bitmap);
    frame.localTable.entries = std::move(reduced.colors.entries);
    frame.localTable.useCounts.clear();
    frame.hasLocalTable = true;
    return true;
}
