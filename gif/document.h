#pragma once
// The in-memory animation: one GifAnimation with its frames and colour tables.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gif/indexedbitmap.h"

struct RgbColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    RgbColor() = default;
    RgbColor(uint8_t r, uint8_t g, uint8_t b) : red(r), green(g), blue(b) {}
    static RgbColor fromPacked(uint32_t rrggbb) {
        return RgbColor(uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb));
    }
    uint32_t packed() const { return uint32_t(red) << 16 | uint32_t(green) << 8 | blue; }
    uint32_t toArgb() const { return 0xFF000000u | packed(); }
    uint32_t toColorRef() const { return uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16; }

    bool operator==(const RgbColor& o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator!=(const RgbColor& o) const { return !(*this == o); }
    bool operator==(uint32_t rrggbb) const { return packed() == (rrggbb & 0xFFFFFFu); }
};

struct ColorTable {
    std::vector<RgbColor> entries;
    std::vector<uint32_t> useCounts;  // filled by countColorUse, empty otherwise

    // Count = entries (at most 256 are placed), every entry opaque, Flags 0.
    IndexedPalette toGdiplusPalette() const;
};

enum DisposalMethod : uint32_t {
    DisposalBrowserDecides = 0,
    DisposalDoNotRemove = 1,
    DisposalToBackground = 2,
    DisposalToPrevious = 3,
};

struct GraphicControl {
    bool present = false;
    uint32_t disposal = 0;
    bool transparent = false;
    uint16_t delay = 0;
    uint8_t transparentIndex = 0;
};

struct GifFrame {
    uint32_t sampleStep = 1;
    std::unique_ptr<IndexedBitmap> bitmap;
    uint16_t left = 0;
    uint16_t top = 0;
    bool transparent = false;
    uint8_t transparentIndex = 0;
    uint16_t delay = 0;
    bool interlaced = false;
    std::string title;
    uint32_t disposal = 0;
    std::vector<std::string> comments;
    bool hasLocalTable = false;
    ColorTable localTable;
    bool pinned = false;

    GifFrame() = default;
    GifFrame(const GifFrame& other);
    GifFrame& operator=(const GifFrame& other);
    GifFrame(GifFrame&&) noexcept = default;
    GifFrame& operator=(GifFrame&&) noexcept = default;

    uint32_t width() const { return bitmap ? bitmap->width() : 0; }
    uint32_t height() const { return bitmap ? bitmap->height() : 0; }

    void countColorUse();
};

// Result of GifAnimation::readFile.
enum ReadResult : uint32_t {
    ReadOk = 0,
    ReadCannotOpen = 1,
    ReadNotGif = 2,
    ReadBadVersion = 3,
};

class GifAnimation {
public:
    uint16_t screenWidth = 1;
    uint16_t screenHeight = 1;
    bool autoScreenSize = false;
    uint8_t backgroundIndex = 0;
    uint16_t loopCount = 1;
    bool loopForever = false;
    std::vector<GifFrame> frames;
    bool hasGlobalTable = false;
    ColorTable globalTable;

    GifAnimation() = default;
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // Maps the file (or reads it whole) and parses it with readGif (gif/gifreader.h).
    ReadResult readFile(const char* path);
    bool writeFile(const char* path) const;
    // The file writeFile would save, in memory; false (and empty) when a frame cannot be saved.
    bool writeBytes(std::vector<uint8_t>& bytes) const;
};
