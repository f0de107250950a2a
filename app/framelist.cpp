#include "app/framelist.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/commands.h"
#include "app/dpi.h"
#include "app/editorviews.h"
#include "app/layout.h"
#include "resource.h"
#include "ui/animationview.h"
#include "win32/gdiplus_win.h"
#include "win32/gdiplusview_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr ARGB kNavy = 0xFF000080;
constexpr ARGB kLightGrey = 0xFFF0F0F0;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kBlack = 0xFF000000;
constexpr ARGB kBoxGrey = 0xFFCCCCCC;

constexpr int kBodyLeft = 18;
constexpr int kTitleHeight = 16;
constexpr REAL kTitleX = 18.0f;
constexpr REAL kTitleFontSize = 13.0f;
constexpr int kBoxLeft = 4;
constexpr int kBoxSide = 10;
constexpr int kTickX = 6;
constexpr int kTickSide = 8;
constexpr REAL kThumbnailMax = 37.0f;
constexpr REAL kThumbnailCentreX = 84.0f;
constexpr int kThumbnailCentreDy = 34;

constexpr int kTitleBufferSize = 100;

// The box sits in the lower part of the item, below the title bar: 29 pixels down for 54.
int boxTop(int itemTop, int itemHeight) {
    constexpr int kCentringHeight = 15;
    constexpr int kBelowTitle = 10;
    return itemTop + (itemHeight - kCentringHeight) / 2 + kBelowTitle;
}

// The list is drawn and hit-tested in its 96-DPI pixel sizes; this many device pixels make one.
REAL dpiScale(const Application& app) {
    return REAL(app.dpi) / REAL(kDesignDpi);
}

RECT unscaled(const RECT& rect, REAL scale) {
    return {LONG(rect.left / scale), LONG(rect.top / scale), LONG(rect.right / scale),
            LONG(rect.bottom / scale)};
}

int selectedFrame(Application& app) {
    return int(SendMessageA(app.frameList, LB_GETCURSEL, 0, 0));
}

const GifAnimation& document(Application& app) {
    return app.editor.document();
}

bool isFrameIndex(Application& app, int index) {
    return index >= 0 && size_t(index) < document(app).frames.size();
}

// "Arial" is not known to every GDI+ (Wine's has none); a generic sans-serif face keeps the
// titles drawn.
GpFontFamily* titleFontFamily() {
    GpFontFamily* family = nullptr;
    if (GdipCreateFontFamilyFromName(L"Arial", nullptr, &family) == Ok && family) return family;
    family = nullptr;
    GdipGetGenericFontFamilySansSerif(&family);
    return family;
}

void fillRect(GpGraphics* graphics, ARGB color, REAL x, REAL y, REAL width, REAL height) {
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(color, &brush);
    GdipFillRectangle(graphics, brush, x, y, width, height);
    GdipDeleteBrush(brush);
}

void drawTitle(GpGraphics* graphics, int itemId, int top, ARGB color) {
    wchar_t title[kTitleBufferSize];
    swprintf(title, kTitleBufferSize, L"Frame %d", itemId + 1);
    GpFontFamily* family = titleFontFamily();
    GpFont* font = nullptr;
    GdipCreateFont(family, kTitleFontSize, FontStyleRegular, UnitPixel, &font);
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(color, &brush);
    const RectF origin(kTitleX, REAL(top), 0.0f, 0.0f);
    GdipDrawString(graphics, title, -1, font, &origin, format, brush);
    GdipDeleteBrush(brush);
    GdipDeleteStringFormat(format);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
}

void drawCheckBox(Application& app, GpGraphics* graphics, GpPen* greyPen, int left, int top, int height,
                  bool pinned) {
    const int y = boxTop(top, height);
    GdipDrawRectangleI(graphics, greyPen, left + kBoxLeft, y, kBoxSide, kBoxSide);
    if (!pinned) return;
    HICON tick =
        HICON(LoadImageA(app.instance, MAKEINTRESOURCEA(IDI_TICK), IMAGE_ICON, kTickSide, kTickSide, 0));
    GpBitmap* tickBitmap = nullptr;
    if (tick && GdipCreateBitmapFromHICON(tick, &tickBitmap) == Ok) {
        GdipDrawImageRectI(graphics, tickBitmap, kTickX, y + 2, kTickSide, kTickSide);
        GdipDisposeImage(tickBitmap);
    }
    GdipDrawRectangleI(graphics, greyPen, left + kBoxLeft, y, kBoxSide, kBoxSide);
    if (tick) DestroyIcon(tick);
}

// In the Composed view, the frame as it appears when played, from the kept small copies: drawing
// the list must not compose the whole animation again.
void drawComposedThumbnail(Application& app, GpGraphics* graphics, size_t index, REAL x, REAL y, REAL width,
                           REAL height) {
    uint32_t smallWidth = 0, smallHeight = 0;
    const std::vector<velmora::Pixel>& small = app.playback.frames.thumbnailOf(
        document(app), index, uint32_t(kThumbnailMax), &smallWidth, &smallHeight);
    GpBitmap* bitmap = nullptr;
    auto* pixels = reinterpret_cast<BYTE*>(const_cast<velmora::Pixel*>(small.data()));
    if (GdipCreateBitmapFromScan0(INT(smallWidth), INT(smallHeight), INT(smallWidth * 4),
                                  PixelFormat32bppPARGB, pixels, &bitmap) != Ok)
        return;
    GdipSetInterpolationMode(graphics, InterpolationModeNearestNeighbor);
    GdipDrawImageRect(graphics, bitmap, x, y, width, height);
    GdipDisposeImage(bitmap);
}

// The logical screen scaled into at most 37 x 37, the frame scaled by the same factors and
// placed at its offset; what falls outside the screen is clipped away.
void drawThumbnail(Application& app, GpGraphics* graphics, size_t index, int top) {
    const GifFrame& frame = document(app).frames[index];
    const REAL screenWidth = document(app).screenWidth;
    const REAL screenHeight = document(app).screenHeight;
    REAL width = screenWidth;
    REAL height = screenHeight;
    if (width > kThumbnailMax) {
        height = height * kThumbnailMax / width;
        width = kThumbnailMax;
    }
    if (height > kThumbnailMax) {
        width = kThumbnailMax / height * width;
        height = kThumbnailMax;
    }
    const REAL x = kThumbnailCentreX - width / 2;
    const REAL y = REAL(top + kThumbnailCentreDy) - height / 2;

    fillRect(graphics, kWhite, x, y, width, height);
    GpPen* blackPen = nullptr;
    GdipCreatePen1(kBlack, 1.0f, UnitWorld, &blackPen);
    GdipDrawRectangle(graphics, blackPen, x, y, width, height);
    GdipDeletePen(blackPen);

    if (app.playback.composed) {
        drawComposedThumbnail(app, graphics, index, x, y, width, height);
        return;
    }
    if (!frame.bitmap || screenWidth <= 0 || screenHeight <= 0) return;
    GdipSetClipRectI(graphics, INT(x), INT(y), INT(width), INT(height + 1), CombineModeReplace);
    GdiplusIndexedView view(*frame.bitmap);
    if (view) {
        GdipDrawImageRect(graphics, view.image(), x + frame.left * width / screenWidth,
                          y + frame.top * height / screenHeight, frame.width() * width / screenWidth,
                          frame.height() * height / screenHeight);
    }
    GdipResetClip(graphics);
}

}  // namespace

void drawFrameListItem(Application& app, const DRAWITEMSTRUCT* item) {
    const int itemId = int(item->itemID);
    if (!isFrameIndex(app, itemId)) return;
    const GifFrame& frame = document(app).frames[size_t(itemId)];
    const REAL scale = dpiScale(app);
    const RECT r = unscaled(item->rcItem, scale);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;

    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(item->hDC, &graphics) != Ok) return;
    GdipScaleWorldTransform(graphics, scale, scale, MatrixOrderPrepend);
    fillRect(graphics, kWhite, REAL(r.left), REAL(r.top), REAL(width), REAL(height));
    fillRect(graphics, kLightGrey, REAL(r.left + kBodyLeft), REAL(r.top), REAL(width - kBodyLeft),
             REAL(height));
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    fillRect(graphics, selected ? kNavy : kWhite, REAL(r.left + kBodyLeft), REAL(r.top),
             REAL(width - kBodyLeft), REAL(kTitleHeight));
    drawTitle(graphics, itemId, r.top, selected ? kWhite : kBlack);

    GpPen* greyPen = nullptr;
    GdipCreatePen1(kBoxGrey, 1.0f, UnitWorld, &greyPen);
    drawCheckBox(app, graphics, greyPen, r.left, r.top, height, frame.pinned);
    GdipDeletePen(greyPen);

    drawThumbnail(app, graphics, size_t(itemId), r.top);
    GdipDeleteGraphics(graphics);
}

LRESULT CALLBACK frameListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application& app = applicationOf(GetParent(window));
    // Delete belongs to the list, not to the whole window: in an edit field it deletes text.
    if (message == WM_KEYDOWN && wParam == VK_DELETE) {
        commandDeleteImage(app);
        return 0;
    }
    if (message == WM_LBUTTONDOWN) {
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(window, &point);
        const LRESULT hit = SendMessageA(window, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        const int index = LOWORD(hit);
        RECT itemRect;
        if (HIWORD(hit) == 0 && isFrameIndex(app, index) &&
            SendMessageA(window, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&itemRect)) !=
                LB_ERR) {
            const REAL scale = dpiScale(app);
            const RECT item = unscaled(itemRect, scale);
            const POINT unscaledPoint = {LONG(point.x / scale), LONG(point.y / scale)};
            const int top = boxTop(item.top, kFrameItemHeight);
            const RECT box = {item.left + kBoxLeft, top, item.left + kBoxLeft + kBoxSide, top + kBoxSide};
            if (PtInRect(&box, unscaledPoint)) {
                app.editor.setPinned(size_t(index), !document(app).frames[size_t(index)].pinned);
                RedrawWindow(app.frameList, &itemRect, nullptr, RDW_INVALIDATE);
            }
        }
    }
    // Every message goes on to the list box, so a click on the box also selects the item.
    return CallWindowProcA(app.frameListBaseProc, window, message, wParam, lParam);
}

void installFrameListSubclass(Application& app) {
    app.frameList = GetDlgItem(app.window, IDC_FRAME_LIST);
    app.frameListBaseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(app.frameList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frameListProc)));
}

// The values typed for the frame being left are taken first: they belong to that frame.
void onFrameSelectionChanged(Application& app) {
    commitTypedValues(app);
    app.editor.selectFrame(selectedFrame(app));
    scrollViewHome(app.animationView);
    // A new frame shows its comments from the first.
    SendDlgItemMessageA(app.commentPanel, IDC_COMMENT_LIST, CB_RESETCONTENT, 0, 0);
    showEditorState(app, EditNotice{});
}

void redrawFrameList(Application& app) {
    RedrawWindow(app.frameList, nullptr, nullptr, RDW_INVALIDATE);
}
