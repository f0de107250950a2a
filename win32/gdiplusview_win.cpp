#include "win32/gdiplusview_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

static_assert(sizeof(IndexedPalette) == sizeof(UINT) * 2 + sizeof(ARGB) * 256,
              "IndexedPalette must be laid out as a ColorPalette with 256 entries");

GdiplusIndexedView::GdiplusIndexedView(const IndexedBitmap& source) {
    // GDI+ only reads the scan lines while drawing, so handing it the const buffer is safe.
    BYTE* scan0 = const_cast<BYTE*>(source.pixels());
    if (GdipCreateBitmapFromScan0(INT(source.width()), INT(source.height()), INT(source.stride()),
                                  PixelFormat8bppIndexed, scan0, &bitmap_) != Ok) {
        bitmap_ = nullptr;
        return;
    }
    const IndexedPalette& palette = source.palette();
    GdipSetImagePalette(bitmap_, reinterpret_cast<const ColorPalette*>(&palette));
}

GdiplusIndexedView::~GdiplusIndexedView() {
    if (bitmap_) GdipDisposeImage(bitmap_);
}
