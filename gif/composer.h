#pragma once
// Frames as a viewer shows them: a canvas of the logical screen, see-through at the start of
// each loop; each frame drawn at its offset (see-through pixels leave the canvas as it is), then
// disposed of before the next: "background" clears its rectangle to see-through, "previous"
// brings back the canvas as it was before the frame, every other value leaves it. Playback,
// the optimiser and the tests all compose through this one place.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif/document.h"

namespace velmora {

// A canvas pixel: ARGB with alpha 255, or 0 where nothing has been drawn (see-through).
using Pixel = uint32_t;
constexpr Pixel kSeeThrough = 0;

// Each index of the frame as the saved file shows it: its table's colour, black for an index
// past the end of the table (the writer pads tables with black), kSeeThrough for the
// transparent index.
void frameColors(const GifAnimation& doc, const GifFrame& frame, Pixel colors[256]);

// The part of a frame inside the logical screen; empty when the frame lies outside it.
struct ScreenRect {
    uint32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool empty() const { return right <= left || bottom <= top; }
    uint64_t area() const { return empty() ? 0 : uint64_t(right - left) * (bottom - top); }
};
ScreenRect visibleRect(const GifAnimation& doc, const GifFrame& frame);

// Steps through a document frame by frame. Holds a reference to the document, which must
// outlive it and stay unchanged while it steps.
class Composer {
public:
    explicit Composer(const GifAnimation& doc);

    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }

    // Back to the start of a loop: a see-through canvas and no frame on show.
    void restart();
    // Disposes of the frame on show and draws the next one. False after the last frame, with the
    // canvas left as it is.
    bool advance();
    // width() x height() pixels, row after row.
    const std::vector<Pixel>& canvas() const { return canvas_; }

private:
    void dispose();

    const GifAnimation& doc_;
    uint32_t width_;
    uint32_t height_;
    std::vector<Pixel> canvas_;
    std::vector<Pixel> saved_;  // the canvas under a "previous" frame's rectangle
    size_t next_ = 0;
};

// Every frame composed, in order: frames.size() canvases of width x height.
std::vector<std::vector<Pixel>> composeFrames(const GifAnimation& doc);

}  // namespace velmora
