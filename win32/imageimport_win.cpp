#include "win32/imageimport_win.h"

#include <cmath>

#include "gif/limits.h"
#include "imaging/reduction.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

const GUID kImageFormatWmf = {0xB96B3CAD, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

namespace {

constexpr REAL kScreenDpi = 96.0f;
constexpr uint32_t kMaxScreenField = 0xFFFF;

// A frame side as a whole number of pixels, or 0 when GDI+ gave nothing usable.
uint32_t wholePixels(REAL side) {
    if (!(side >= 1.0f) || side > REAL(velmora::kMaxImagePixels)) return 0;  // also rejects NaN
    return uint32_t(side);                                                   // toward zero
}

uint64_t documentPixels(const GifAnimation& document) {
    uint64_t total = 0;
    for (const GifFrame& frame : document.frames) total += uint64_t(frame.width()) * frame.height();
    return total;
}

// Draws the active frame stretched to width x height over transparent black and reduces it.
ReducedImage renderAndReduce(GpImage* image, uint32_t width, uint32_t height) {
    ReducedImage reduced;
    GpBitmap* canvas = nullptr;
    // No buffer of our own: GDI+ allocates it zeroed, so uncovered pixels stay transparent black.
    if (GdipCreateBitmapFromScan0(INT(width), INT(height), 0, PixelFormat32bppARGB, nullptr, &canvas) != Ok) {
        return reduced;
    }
    GpGraphics* graphics = nullptr;
    if (GdipGetImageGraphicsContext(canvas, &graphics) == Ok) {
        GdipDrawImageRectI(graphics, image, 0, 0, INT(width), INT(height));
        GdipDeleteGraphics(graphics);
    }
    const GpRect whole(0, 0, INT(width), INT(height));
    BitmapData locked = {};
    if (GdipBitmapLockBits(canvas, &whole, ImageLockModeRead, PixelFormat32bppARGB, &locked) == Ok) {
        reduced = reduceArgbPicture(locked.Scan0, locked.Width, locked.Height, locked.Stride);
        GdipBitmapUnlockBits(canvas, &locked);
    }
    GdipDisposeImage(canvas);
    return reduced;
}

}  // namespace

bool isWmfImage(GpImage* image) {
    GUID format = {};
    return image && GdipGetImageRawFormat(image, &format) == Ok && IsEqualGUID(format, kImageFormatWmf);
}

void importImage(GifAnimation& document, GpImage* image, bool scaleToScreenResolution) {
    if (!image) return;
    GUID dimension = {};
    UINT frameCount = 0;
    if (GdipImageGetFrameDimensionsList(image, &dimension, 1) != Ok ||
        GdipImageGetFrameCount(image, &dimension, &frameCount) != Ok) {
        return;
    }
    uint64_t pixelsSoFar = documentPixels(document);
    for (UINT index = 0; index < frameCount; ++index) {
        GdipImageSelectActiveFrame(image, &dimension, index);
        GpRectF bounds = {};
        GpUnit unit = UnitPixel;
        if (GdipGetImageBounds(image, &bounds, &unit) != Ok) continue;
        REAL width = bounds.Width;
        REAL height = bounds.Height;
        if (scaleToScreenResolution) {
            // A metafile's bounds are in its own device units; draw it as a 96-dpi screen would.
            REAL dpiX = 0, dpiY = 0;
            GdipGetImageHorizontalResolution(image, &dpiX);
            GdipGetImageVerticalResolution(image, &dpiY);
            if (!(dpiX > 0.0f) || !(dpiY > 0.0f)) continue;
            width = std::trunc(width * kScreenDpi / dpiX);
            height = std::trunc(height * kScreenDpi / dpiY);
        }
        const uint32_t w = wholePixels(width);
        const uint32_t h = wholePixels(height);
        if (w == 0 || h == 0 || uint64_t(w) * h > velmora::kMaxImagePixels) continue;
        if (pixelsSoFar + uint64_t(w) * h > velmora::kMaxDocumentBytes) break;

        // The logical screen is a 16-bit field; anything wider is clamped by the Global panel anyway.
        if (document.screenHeight < h)
            document.screenHeight = uint16_t(h > kMaxScreenField ? kMaxScreenField : h);
        if (document.screenWidth < w)
            document.screenWidth = uint16_t(w > kMaxScreenField ? kMaxScreenField : w);

        GifFrame frame;
        if (!storeInFrame(renderAndReduce(image, w, h), frame)) continue;
        pixelsSoFar += uint64_t(w) * h;
        document.frames.push_back(std::move(frame));
    }
}
