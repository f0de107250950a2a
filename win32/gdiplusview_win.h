#pragma once
// A GDI+ bitmap that wraps an IndexedBitmap's own pixel bytes and palette, made only to draw the
// frame and released at once. Frames never hold GDI+ bitmaps themselves.
#include "gif/indexedbitmap.h"
#include "win32/gdiplus_win.h"

class GdiplusIndexedView {
public:
    explicit GdiplusIndexedView(const IndexedBitmap& source);
    ~GdiplusIndexedView();
    GdiplusIndexedView(const GdiplusIndexedView&) = delete;
    GdiplusIndexedView& operator=(const GdiplusIndexedView&) = delete;

    // Null when GDI+ refused the bitmap; drawing then draws nothing.
    Gdiplus::GpBitmap* get() const { return bitmap_; }
    Gdiplus::GpImage* image() const { return bitmap_; }
    explicit operator bool() const { return bitmap_ != nullptr; }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};
