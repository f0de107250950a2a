#pragma once
// The optimiser's work on one frame: given the canvas before the frame and the picture it must
// leave, find the cheapest frame that draws one into the other. Internal to the optimiser.
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/composer.h"
#include "gif/document.h"

namespace velmora {

// Colour to table index for up to a few hundred colours, in the order they were added.
class ColorIndex {
public:
    ColorIndex() { clear(); }
    void clear();
    int find(Pixel color) const;
    // Adds a colour not yet present and returns its index.
    int add(Pixel color);
    int findOrAdd(Pixel color) {
        const int i = find(color);
        return i >= 0 ? i : add(color);
    }
    int size() const { return int(colors_.size()); }
    const std::vector<Pixel>& colors() const { return colors_; }

private:
    // Twice the most colours ever held (a frame's 256 and one more to notice the overflow).
    static constexpr uint32_t kSlots = 1024;
    uint32_t slot(Pixel color) const { return (color * 2654435761u) >> 22; }

    Pixel keys_[kSlots];  // kSeeThrough marks a free slot: no table colour is see-through
    int16_t values_[kSlots];
    std::vector<Pixel> colors_;
};

// The document's global table as the optimiser lays it out: every entry opaque, padded with
// black to 2^bits entries so each frame finds a spare index for its transparency.
struct GlobalPalette {
    ColorIndex index;
    uint32_t bits = 0;  // 0: no global table
    uint32_t entries() const { return bits ? 1u << bits : 0; }
};

// The LZW minimum code size the writer gives a frame drawing from a table of 2^tableBits
// entries with indices up to largestIndex: today the table's own size, at least 2.
uint32_t writerCodeSize(uint32_t tableBits, uint32_t largestIndex);

// Smallest b >= 1 with 2^b >= count.
uint32_t tableBitsFor(uint32_t count);

// The canvas before the frame (`before`) and the one it must leave (`target`), both of the
// screen's width, and the rectangle the frame covers: the pixels that differ lie inside it.
struct FrameJob {
    const Pixel* before;
    const Pixel* target;
    uint32_t screenWidth;
    ScreenRect rect;
};

class FrameBuilder {
public:
    FrameBuilder();
    ~FrameBuilder();

    // Sets the frame's picture, offset, transparency and table to the smallest of the encodings
    // tried. False when the pixels to draw need more colours than a table holds.
    bool build(const FrameJob& job, const GlobalPalette& global, GifFrame& frame);
    // The LZW bytes of `bitmap` (code size byte, sub-blocks and terminator), as the writer
    // would produce them.
    size_t lzwBytes(const IndexedBitmap& bitmap, uint32_t minimumCodeSize);

private:
    struct Table;
    enum Fill { FillGreedy, FillOpaque, FillSeeThrough };
    bool classify(const FrameJob& job);
    // One encoding of the frame; false when the table cannot hold what it needs.
    bool tryEncoding(const Table& table, Fill fill, GifFrame& best, size_t& bestBytes);
    void greedyFill(IndexedBitmap& bitmap, const int16_t* colorIndex, uint32_t seeThrough,
                    uint32_t minimumCodeSize);

    class LzwModel;
    class PathSearch;
    std::vector<uint16_t> first_, second_;  // the values a pixel may take (second: 0xFFFF for none)
    std::vector<uint8_t> values_;
    std::unique_ptr<LzwModel> model_;
    std::vector<uint8_t> encoded_;
    uint32_t width_ = 0, height_ = 0;
    std::vector<Pixel> pixels_;      // the target's pixels in the rectangle; kSeeThrough: must stay clear
    std::vector<uint8_t> flexible_;  // 1 where the canvas already shows the target's colour
    ColorIndex colors_;              // the changing pixels' colours first, then the others'
    int drawnColors_ = 0;            // how many of colors_ belong to changing pixels
    bool tooManyColors_ = false;     // the unchanged pixels' colours did not all fit in colors_
    std::vector<int16_t> slot_;      // per pixel: its colour's position in colors_, or -1
    bool needsClear_ = false;        // some pixel must stay see-through
    bool anyFlexible_ = false;
};

}  // namespace velmora
