#pragma once
// An 8-bit indexed picture laid out exactly as GDI+ holds a PixelFormat8bppIndexed bitmap,
// so the Win32 layer can draw it by wrapping these very bytes.
#include <cstdint>
#include <memory>

// Same layout as GDI+'s ColorPalette with room for 256 entries (1032 bytes).
struct IndexedPalette {
    uint32_t flags = 0;          // bit 0: some entry has alpha (PaletteFlagsHasAlpha)
    uint32_t count = 0;          // entries in use
    uint32_t entries[256] = {};  // ARGB
};
static_assert(sizeof(IndexedPalette) == 1032, "must match the GDI+ ColorPalette block");

constexpr uint32_t kPaletteFlagsHasAlpha = 1;

class IndexedBitmap {
public:
    // Returns nullptr when the size is 0 or the pixels cannot be allocated.
    static std::unique_ptr<IndexedBitmap> create(uint32_t width, uint32_t height);
    // The same without clearing the pixels, for a caller that writes every byte of every row,
    // padding included (the reader: clearing first would cost a second pass over each picture).
    static std::unique_ptr<IndexedBitmap> createUncleared(uint32_t width, uint32_t height);

    std::unique_ptr<IndexedBitmap> clone() const;

    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    // Bytes from one row to the next, a multiple of 4 as in GDI+.
    uint32_t stride() const { return stride_; }

    uint8_t* row(uint32_t y) { return pixels_.get() + size_t(y) * stride_; }
    const uint8_t* row(uint32_t y) const { return pixels_.get() + size_t(y) * stride_; }
    uint8_t* pixels() { return pixels_.get(); }
    const uint8_t* pixels() const { return pixels_.get(); }
    uint8_t at(uint32_t x, uint32_t y) const { return row(y)[x]; }

    // Every pixel index i becomes table[i] (a palette edit moving entries).
    void remapIndices(const uint8_t table[256]);

    const IndexedPalette& palette() const { return palette_; }
    void setPalette(const IndexedPalette& palette) { palette_ = palette; }

private:
    IndexedBitmap() = default;

    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t stride_ = 0;
    std::unique_ptr<uint8_t[]> pixels_;
    IndexedPalette palette_;
};
