#include "ui/animationview.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/viewzoom.h"
#include "resource.h"
#include "win32/gdiplus_win.h"
#include "win32/gdiplusview_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr UINT kDragPeriodMs = 50;
constexpr ARGB kScreenWhite = 0xFFFFFFFF;
constexpr ARGB kCheckerGrey = 0xFFCCCCCC;
// In view pixels, so the pattern looks the same at every zoom.
constexpr int kCheckerSquare = 8;
// The frames are composed on a see-through picture; what the view shows is opaque.
constexpr PixelFormat kPictureFormat = PixelFormat32bppPARGB;
constexpr PixelFormat kShownFormat = PixelFormat24bppRGB;
constexpr ARGB kFrameGrey = 0xFFD3D3D3;
constexpr ARGB kFrameDarkRed = 0xFF800000;
// The offset fields are 16 bits; the Image panel narrows further to its own range.
constexpr int kMaxFrameOffset = 0xFFFF;

CanvasState& stateOf(HWND view) {
    return *reinterpret_cast<CanvasState*>(GetWindowLongPtrA(view, DWLP_USER));
}
const GifAnimation& document(HWND view) {
    return stateOf(view).editor->document();
}
int selectedIndex(HWND view) {
    return stateOf(view).editor->currentFrame();
}
const GifFrame* selectedFrame(HWND view) {
    return stateOf(view).editor->currentFramePtr();
}

// A hidden bar scrolls nothing: the screen fits the view along that axis.
int scrollPosition(HWND view, int bar) {
    const LONG_PTR style = GetWindowLongPtrA(view, GWL_STYLE);
    if (!(style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL))) return 0;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    if (!GetScrollInfo(view, bar, &info)) return 0;
    return info.nPos;
}

// ---- Painting ----------------------------------------------------------------------------------

// Copies pixels one to one: frames are placed at whole-pixel offsets at their own size, so no
// smoothing may blend a see-through entry into its neighbours.
void useExactPixels(GpGraphics* graphics) {
    GdipSetInterpolationMode(graphics, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
}

void drawFrame(GpGraphics* picture, const GifFrame& frame) {
    if (!frame.bitmap) return;
    GdiplusIndexedView pixels(*frame.bitmap);
    if (!pixels) return;
    useExactPixels(picture);
    GdipDrawImageRectI(picture, pixels.image(), frame.left, frame.top, INT(frame.width()),
                       INT(frame.height()));
}

// The scroll position (picture pixels) and zoom: x and y place a picture position in the view.
struct ViewPlace {
    int scrollX;
    int scrollY;
    int zoom;
    int x(int picture) const { return toView(picture, scrollX, zoom); }
    int y(int picture) const { return toView(picture, scrollY, zoom); }
};

// One view pixel round the frame whatever the zoom, on whole pixels in the default mode.
void drawOutline(GpGraphics* shown, GpPen* greyPen, GpPen* redPen, const GifFrame& frame,
                 const ViewPlace& at) {
    const INT left = at.x(frame.left) - 1;
    const INT top = at.y(frame.top) - 1;
    const INT width = at.x(frame.left + int(frame.width())) - left + 1;
    const INT height = at.y(frame.top + int(frame.height())) - top + 1;
    GdipSetPixelOffsetMode(shown, PixelOffsetModeDefault);
    GdipDrawRectangleI(shown, greyPen, left, top, width, height);
    GdipDrawRectangleI(shown, redPen, left, top, width, height);
}

// Squares fixed to the screen's corner, so they scroll with it.
void fillCheckerboard(GpGraphics* shown, const RECT& area, const ViewPlace& at) {
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(kScreenWhite, &brush);
    GdipFillRectangleI(shown, brush, area.left, area.top, area.right - area.left, area.bottom - area.top);
    const int originX = at.x(0);
    const int originY = at.y(0);
    auto squareOf = [](int offset) { return offset / kCheckerSquare; };  // offsets are never negative
    std::vector<GpRect> greys;
    for (int row = squareOf(area.top - originY); row <= squareOf(area.bottom - 1 - originY); ++row)
        for (int column = squareOf(area.left - originX); column <= squareOf(area.right - 1 - originX);
             ++column)
            if ((row + column) % 2)
                greys.push_back({originX + column * kCheckerSquare, originY + row * kCheckerSquare,
                                 kCheckerSquare, kCheckerSquare});
    GdipSetSolidFillColor(brush, kCheckerGrey);
    if (!greys.empty()) GdipFillRectanglesI(shown, brush, greys.data(), INT(greys.size()));
    GdipDeleteBrush(brush);
}

// A frame with its outline (one pixel round it) touches the part.
bool touches(const GifFrame& frame, const RECT& part) {
    const LONG left = LONG(frame.left) - 1;
    const LONG top = LONG(frame.top) - 1;
    const LONG right = LONG(frame.left) + LONG(frame.width()) + 2;
    const LONG bottom = LONG(frame.top) + LONG(frame.height()) + 2;
    return left < part.right && right > part.left && top < part.bottom && bottom > part.top;
}

// A composed picture goes straight onto the window: its view pixels are picked here, nearest
// neighbour over the checkerboard or white, and handed over in one SetDIBitsToDevice. Through GDI+
// a playing frame would cost several times its composition under Wine.
void paintComposed(HDC dc, const std::vector<velmora::Pixel>& picture, INT screenWidth, const RECT& shown,
                   const ViewPlace& at, bool checkerboard) {
    const LONG width = shown.right - shown.left;
    const LONG height = shown.bottom - shown.top;
    std::vector<int> columns(size_t(width), 0);
    for (LONG x = 0; x < width; ++x) columns[size_t(x)] = toPicture(shown.left + x, at.scrollX, at.zoom);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    const int originX = at.x(0), originY = at.y(0);
    for (LONG y = 0; y < height; ++y) {
        const velmora::Pixel* row =
            picture.data() + size_t(toPicture(shown.top + y, at.scrollY, at.zoom)) * size_t(screenWidth);
        const int squareRow = (shown.top + y - originY) / kCheckerSquare;
        uint32_t* out = pixels.data() + size_t(y) * size_t(width);
        for (LONG x = 0; x < width; ++x) {
            const velmora::Pixel pixel = row[columns[size_t(x)]];
            const bool grey = checkerboard && (squareRow + (shown.left + x - originX) / kCheckerSquare) % 2;
            out[x] = pixel != velmora::kSeeThrough ? pixel : grey ? kCheckerGrey : kScreenWhite;
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, shown.left, shown.top, DWORD(width), DWORD(height), 0, 0, 0, UINT(height),
                      pixels.data(), &info, DIB_RGB_COLORS);
}

// The logical screen is composed off screen and put on the window in one draw, so the view
// never shows a half-built picture. Only what the damaged area shows is composed and copied: a
// 2000 x 2000 screen would otherwise cost many times the work the window can show. The frames
// are composed at their own size, then enlarged or shrunk onto the background with nearest
// pixels, and the outlines drawn at view size on top.
void paintScreen(HWND view, HDC dc, const RECT& damaged, int selection) {
    const CanvasState& state = stateOf(view);
    const INT screenWidth = std::max<INT>(1, document(view).screenWidth);
    const INT screenHeight = std::max<INT>(1, document(view).screenHeight);
    const ViewPlace at{scrollPosition(view, SB_HORZ), scrollPosition(view, SB_VERT), state.zoom};
    // The damage cut to the screen, in view pixels, and the picture pixels it shows.
    RECT shown;
    shown.left = std::max<LONG>(damaged.left, at.x(0));
    shown.top = std::max<LONG>(damaged.top, at.y(0));
    shown.right = std::min<LONG>(damaged.right, at.x(screenWidth));
    shown.bottom = std::min<LONG>(damaged.bottom, at.y(screenHeight));
    if (shown.right <= shown.left || shown.bottom <= shown.top) return;
    RECT part;
    part.left = toPicture(shown.left, at.scrollX, at.zoom);
    part.top = toPicture(shown.top, at.scrollY, at.zoom);
    part.right = toPicture(shown.right - 1, at.scrollX, at.zoom) + 1;
    part.bottom = toPicture(shown.bottom - 1, at.scrollY, at.zoom) + 1;
    // While playing, or in the Composed view, the screen as a viewer shows it at that moment.
    const std::vector<velmora::Pixel>* composed = state.composedPicture ? state.composedPicture() : nullptr;
    if (composed && composed->size() == size_t(screenWidth) * size_t(screenHeight)) {
        paintComposed(dc, *composed, screenWidth, shown, at, state.checkerboard);
        return;
    }

    GpGraphics* window = nullptr;
    if (GdipCreateFromHDC(dc, &window) != Ok) return;
    const INT partWidth = part.right - part.left;
    const INT partHeight = part.bottom - part.top;
    const INT shownWidth = shown.right - shown.left;
    const INT shownHeight = shown.bottom - shown.top;
    GpBitmap *picture = nullptr, *shownBitmap = nullptr;
    GpGraphics *pictureCanvas = nullptr, *shownCanvas = nullptr;
    if (GdipCreateBitmapFromScan0(partWidth, partHeight, 0, kPictureFormat, nullptr, &picture) == Ok &&
        GdipGetImageGraphicsContext(picture, &pictureCanvas) == Ok &&
        GdipCreateBitmapFromScan0(shownWidth, shownHeight, 0, kShownFormat, nullptr, &shownBitmap) == Ok &&
        GdipGetImageGraphicsContext(shownBitmap, &shownCanvas) == Ok) {
        // Each off-screen picture covers just its part; screen and view coordinates are moved onto it.
        GdipTranslateWorldTransform(pictureCanvas, REAL(-part.left), REAL(-part.top), MatrixOrderPrepend);
        GdipTranslateWorldTransform(shownCanvas, REAL(-shown.left), REAL(-shown.top), MatrixOrderPrepend);
        // Later frames lie over earlier ones, as they would play.
        const auto& frames = document(view).frames;
        GdipGraphicsClear(pictureCanvas, 0);
        for (size_t i = 0; i < frames.size(); ++i)
            if ((frames[i].pinned || int(i) == selection) && touches(frames[i], part))
                drawFrame(pictureCanvas, frames[i]);

        if (state.checkerboard) {
            fillCheckerboard(shownCanvas, shown, at);
        } else {
            GdipGraphicsClear(shownCanvas, kScreenWhite);
        }
        useExactPixels(shownCanvas);
        GdipDrawImageRectRectI(shownCanvas, picture, at.x(part.left), at.y(part.top),
                               at.x(part.right) - at.x(part.left), at.y(part.bottom) - at.y(part.top), 0, 0,
                               partWidth, partHeight, UnitPixel, nullptr, nullptr, nullptr);

        GpPen* redPen = nullptr;
        GpPen* greyPen = nullptr;
        GdipCreatePen1(kFrameDarkRed, 1.0f, UnitPixel, &redPen);
        GdipSetPenDashStyle(redPen, DashStyleDash);
        GdipCreatePen1(kFrameGrey, 1.0f, UnitPixel, &greyPen);
        for (size_t i = 0; i < frames.size(); ++i)
            if ((frames[i].pinned || int(i) == selection) && frames[i].bitmap)
                drawOutline(shownCanvas, greyPen, redPen, frames[i], at);
        GdipDeletePen(greyPen);
        GdipDeletePen(redPen);

        useExactPixels(window);
        GdipDrawImageRectI(window, shownBitmap, shown.left, shown.top, shownWidth, shownHeight);
    }
    if (shownCanvas) GdipDeleteGraphics(shownCanvas);
    if (shownBitmap) GdipDisposeImage(shownBitmap);
    if (pictureCanvas) GdipDeleteGraphics(pictureCanvas);
    if (picture) GdipDisposeImage(picture);
    GdipDeleteGraphics(window);
}

void onPaint(HWND view) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(view, &paint);
    const int selection = selectedIndex(view);
    // With nothing selected the view keeps its erased background.
    if (selection >= 0) paintScreen(view, dc, paint.rcPaint, selection);
    EndPaint(view, &paint);
}

// The canvas sits on the application-workspace colour wherever no logical screen is drawn.
BOOL onEraseBackground(HWND view, HDC dc) {
    RECT client;
    GetClientRect(view, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    return TRUE;
}

// ---- Scrolling ---------------------------------------------------------------------------------

enum class ScrollEffect { None, Move, RepaintAll };

struct ScrollStep {
    int position;
    ScrollEffect effect;
};

// Where one scroll request leads from `info`, and how the window content follows.
ScrollStep stepFor(WORD request, const SCROLLINFO& info, int maximum) {
    const int position = info.nPos;
    const int page = int(info.nPage);
    switch (request) {
        case SB_LINEUP:
            if (position - 1 < 0) return {0, ScrollEffect::None};
            return {position - 1, ScrollEffect::Move};
        case SB_LINEDOWN:
            if (position + 1 > maximum) return {maximum, ScrollEffect::None};
            return {position + 1, ScrollEffect::Move};
        case SB_PAGEUP:
            if (position - page < 0) return {0, ScrollEffect::RepaintAll};
            return {position - page, ScrollEffect::Move};
        case SB_PAGEDOWN:
            if (position + page > maximum) return {maximum, ScrollEffect::RepaintAll};
            return {position + page, ScrollEffect::Move};
        case SB_THUMBTRACK:
            return {info.nTrackPos, ScrollEffect::Move};
        case SB_TOP:
            return {0, ScrollEffect::RepaintAll};
        case SB_BOTTOM:
            // The bar's range ends at the screen side, but no position past the largest useful one
            // shows anything more.
            return {std::min(info.nMax, maximum), ScrollEffect::RepaintAll};
        default:
            return {position, ScrollEffect::None};
    }
}

void onScroll(HWND view, int bar, WORD request) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(view, bar, &info)) return;
    const bool horizontal = bar == SB_HORZ;
    // A screen smaller than the view leaves nothing to scroll to.
    ViewScroll& scroll = stateOf(view).scroll;
    const int maximum = std::max(0, horizontal ? scroll.maxX : scroll.maxY);
    const ScrollStep step = stepFor(request, info, maximum);
    const int moved = step.position - info.nPos;
    // Whole picture pixels always move the view by whole view pixels, possibly none when shrunk.
    const int shift = toView(step.position, info.nPos, stateOf(view).zoom);

    if (step.effect == ScrollEffect::Move && shift != 0) {
        ScrollWindowEx(view, horizontal ? -shift : 0, horizontal ? 0 : -shift, nullptr, nullptr, nullptr,
                       nullptr, SW_INVALIDATE);
    } else if (step.effect == ScrollEffect::RepaintAll || moved != 0) {
        // A clamp that still moved the position cannot reuse the old content.
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE);
    }
    (horizontal ? scroll.x : scroll.y) = step.position;
    SCROLLINFO update = {};
    update.cbSize = sizeof(update);
    update.fMask = SIF_POS;
    update.nPos = step.position;
    SetScrollInfo(view, bar, &update, TRUE);
}

// ---- Dragging ----------------------------------------------------------------------------------

void onButtonDown(HWND view, LPARAM lParam) {
    const GifFrame* frame = selectedFrame(view);
    if (!frame) return;
    const int zoom = stateOf(view).zoom;
    const int x = toPicture(int(LOWORD(lParam)), scrollPosition(view, SB_HORZ), zoom);
    const int y = toPicture(int(HIWORD(lParam)), scrollPosition(view, SB_VERT), zoom);
    // Edges count as inside, so a one-pixel frame can still be picked up.
    const bool inside = x >= frame->left && x <= frame->left + int(frame->width()) && y >= frame->top &&
                        y <= frame->top + int(frame->height());
    if (!inside) return;
    CanvasState& state = stateOf(view);
    DragState& drag = state.drag;
    drag.dragging = true;
    ++state.dragNumber;
    drag.grabX = x - frame->left;
    drag.grabY = y - frame->top;
    drag.pointerX = x;
    drag.pointerY = y;
    SetCapture(view);
}

// Moves only record the pointer; the timer applies the latest one, so a burst of moves costs
// one update.
void onMouseMove(HWND view, LPARAM lParam) {
    DragState& drag = stateOf(view).drag;
    if (!drag.dragging) return;
    const int zoom = stateOf(view).zoom;
    drag.pointerX = toPicture(GET_X_LPARAM(lParam), scrollPosition(view, SB_HORZ), zoom);
    drag.pointerY = toPicture(GET_Y_LPARAM(lParam), scrollPosition(view, SB_VERT), zoom);
    SetTimer(view, ID_TIMER_VIEW_DRAG, kDragPeriodMs, nullptr);
}

uint16_t dragOffset(int pointer, int grab) {
    const int offset = pointer - grab;
    return uint16_t(offset >= 1 ? std::min(offset, kMaxFrameOffset) : 0);
}

void onDragTick(HWND view) {
    CanvasState& state = stateOf(view);
    const DragState& drag = state.drag;
    if (const GifFrame* frame = selectedFrame(view)) {
        FrameFields fields = FrameFields::of(*frame);
        fields.left = dragOffset(drag.pointerX, drag.grabX);
        fields.top = dragOffset(drag.pointerY, drag.grabY);
        state.editor->setFrameFields(size_t(selectedIndex(view)), fields, "Drag Frame",
                                     "drag" + std::to_string(state.dragNumber));
    }
    KillTimer(view, ID_TIMER_VIEW_DRAG);
}

// A move still waiting for its tick is dropped: the frame stays where the last tick put it.
void endDrag(HWND view) {
    DragState& drag = stateOf(view).drag;
    if (!drag.dragging) return;
    KillTimer(view, ID_TIMER_VIEW_DRAG);
    drag.dragging = false;
    if (GetCapture() == view) ReleaseCapture();
}

// ---- Zoom -------------------------------------------------------------------------------------

// One step per wheel message, about the picture pixel under the pointer.
void onZoomWheel(HWND view, WPARAM wParam, LPARAM lParam) {
    POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(view, &pointer);
    const int zoom = stateOf(view).zoom;
    setViewZoom(view, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? nextZoom(zoom) : previousZoom(zoom), pointer);
}

// ---- Scroll bars -------------------------------------------------------------------------------

// Showing or hiding a bar re-lays the window out (slow under Wine, and called on every drag tick),
// so it is done only when the bar's visibility really changes.
void showScrollBar(HWND view, int bar, bool show) {
    const LONG_PTR style = GetWindowLongPtrA(view, GWL_STYLE);
    const bool shown = (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    if (shown != show) ShowScrollBar(view, bar, show ? TRUE : FALSE);
}

// Sets one scroll bar from the screen side, the picture pixels the view shows and the stored position.
void updateScrollBar(HWND view, int bar, int screenSide, int viewSide, int position, int maximum) {
    if (maximum < 1) {
        showScrollBar(view, bar, false);
        return;
    }
    showScrollBar(view, bar, true);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = screenSide;
    info.nPage = UINT(viewSide);
    // The stored position stays as it is; only what the bar shows is clamped.
    info.nPos = std::min(position, maximum);
    info.nTrackPos = 0;
    SetScrollInfo(view, bar, &info, TRUE);
}

}  // namespace

void updateViewScrollBars(HWND view) {
    if (!view || !GetWindowLongPtrA(view, DWLP_USER)) return;
    RECT client;
    GetClientRect(view, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    const GifAnimation& doc = document(view);
    ViewScroll& scroll = stateOf(view).scroll;
    const int shownWidth = pictureSpan(clientWidth, stateOf(view).zoom);
    const int shownHeight = pictureSpan(clientHeight, stateOf(view).zoom);
    scroll.maxY = int(doc.screenHeight) - shownHeight;
    scroll.maxX = int(doc.screenWidth) - shownWidth;
    updateScrollBar(view, SB_VERT, doc.screenHeight, shownHeight, scroll.y, scroll.maxY);
    updateScrollBar(view, SB_HORZ, doc.screenWidth, shownWidth, scroll.x, scroll.maxX);
}

void setViewZoom(HWND view, int percent, POINT anchor) {
    if (!view || !GetWindowLongPtrA(view, DWLP_USER)) return;
    CanvasState& state = stateOf(view);
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    const int x =
        toPicture(anchor.x, scrollPosition(view, SB_HORZ), state.zoom) - pictureSpan(anchor.x, percent);
    const int y =
        toPicture(anchor.y, scrollPosition(view, SB_VERT), state.zoom) - pictureSpan(anchor.y, percent);
    state.zoom = percent;
    // The bars clamp what lies past the end.
    state.scroll.x = std::max(0, x);
    state.scroll.y = std::max(0, y);
    updateViewScrollBars(view);
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    if (state.zoomShown) state.zoomShown(percent);
}

int fitViewZoom(HWND view) {
    if (!view || !GetWindowLongPtrA(view, DWLP_USER)) return 100;
    RECT client;
    GetClientRect(view, &client);
    // Fitting hides the bars, so their room counts.
    const LONG_PTR style = GetWindowLongPtrA(view, GWL_STYLE);
    const int width = client.right + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    const int height = client.bottom + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    return fitZoom(document(view).screenWidth, document(view).screenHeight, width, height);
}

void setViewCheckerboard(HWND view, bool shown) {
    if (!view || !GetWindowLongPtrA(view, DWLP_USER)) return;
    stateOf(view).checkerboard = shown;
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE);
}

void scrollViewHome(HWND view) {
    if (!view || !GetWindowLongPtrA(view, DWLP_USER)) return;
    stateOf(view).scroll.x = 0;
    stateOf(view).scroll.y = 0;
}

INT_PTR CALLBACK animationViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG && !GetWindowLongPtrA(window, DWLP_USER)) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(window, DWLP_USER, lParam);
            return TRUE;
        case WM_ERASEBKGND:
            SetWindowLongPtrA(window, DWLP_MSGRESULT,
                              onEraseBackground(window, reinterpret_cast<HDC>(wParam)));
            return TRUE;
        case WM_PAINT:
            onPaint(window);
            return TRUE;
        case WM_HSCROLL:
            onScroll(window, SB_HORZ, LOWORD(wParam));
            return TRUE;
        case WM_VSCROLL:
            onScroll(window, SB_VERT, LOWORD(wParam));
            return TRUE;
        case WM_LBUTTONDOWN:
            onButtonDown(window, lParam);
            return TRUE;
        case WM_MOUSEWHEEL:
            if (!(GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL)) return FALSE;
            onZoomWheel(window, wParam, lParam);
            return TRUE;
        case WM_MOUSEMOVE:
            onMouseMove(window, lParam);
            return TRUE;
        case WM_TIMER:
            if (wParam == ID_TIMER_VIEW_DRAG) onDragTick(window);
            return TRUE;
        case WM_LBUTTONUP:
            endDrag(window);
            return TRUE;
        case WM_CAPTURECHANGED:
            // Losing the mouse to another window ends the drag as a release would.
            if (reinterpret_cast<HWND>(lParam) != window) endDrag(window);
            return TRUE;
        default:
            break;
    }
    return FALSE;
}
