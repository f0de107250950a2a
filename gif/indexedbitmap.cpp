#include "gif/indexedbitmap.h"

#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

// A new picture is written in full at once (decoded, cleared or copied into). Fresh memory
// otherwise arrives one page fault per page as the writes reach it, and on a virtual machine a
// fault can cost four times what each page costs when all are asked for in one call. Asking
// costs a microsecond when the pages are already there, so small pictures skip it. Best effort:
// where the call is missing or refused, the pages still come on first write.
void takePagesBeforeWriting(uint8_t* bytes, size_t size) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    static const size_t kPage = size_t(sysconf(_SC_PAGESIZE));
    const size_t kWorthAsking = 4 * kPage;
    if (size < kWorthAsking) return;
    const uintptr_t first = (uintptr_t(bytes) + kPage - 1) & ~uintptr_t(kPage - 1);
    const uintptr_t last = (uintptr_t(bytes) + size) & ~uintptr_t(kPage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)bytes;
    (void)size;
#endif
}

}  // namespace

std::unique_ptr<IndexedBitmap> IndexedBitmap::create(uint32_t width, uint32_t height) {
    auto bitmap = createUncleared(width, height);
    if (bitmap) std::memset(bitmap->pixels_.get(), 0, size_t(bitmap->stride_) * height);
    return bitmap;
}

std::unique_ptr<IndexedBitmap> IndexedBitmap::createUncleared(uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) return nullptr;
    const uint64_t stride = (uint64_t(width) + 3) & ~uint64_t(3);
    const uint64_t bytes = stride * height;
    if (bytes > SIZE_MAX / 2) return nullptr;
    std::unique_ptr<IndexedBitmap> bitmap(new (std::nothrow) IndexedBitmap());
    if (!bitmap) return nullptr;
    bitmap->pixels_.reset(new (std::nothrow) uint8_t[size_t(bytes)]);
    if (!bitmap->pixels_) return nullptr;
    takePagesBeforeWriting(bitmap->pixels_.get(), size_t(bytes));
    bitmap->width_ = width;
    bitmap->height_ = height;
    bitmap->stride_ = uint32_t(stride);
    return bitmap;
}

std::unique_ptr<IndexedBitmap> IndexedBitmap::clone() const {
    auto copy = createUncleared(width_, height_);  // every byte, padding too, is copied over
    if (!copy) return nullptr;
    std::memcpy(copy->pixels_.get(), pixels_.get(), size_t(stride_) * height_);
    copy->palette_ = palette_;
    return copy;
}

void IndexedBitmap::remapIndices(const uint8_t table[256]) {
    for (uint32_t y = 0; y < height_; ++y) {
        uint8_t* pixels = row(y);
        for (uint32_t x = 0; x < width_; ++x) pixels[x] = table[pixels[x]];
    }
}
