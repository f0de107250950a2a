#include "ui/animationview.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "resource.h"
#include "win32/gdiplus_win.h"
#include "win32/gdiplusview_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr UINT kDragPeriodMs = 50;
constexpr ARGB kScreenWhite = 0xFFFFFFFF;
// The screen is opaque white under everything: no alpha to keep.
constexpr PixelFormat kScreenFormat = PixelFormat24bppRGB;
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

void drawFrame(GpGraphics* canvas, GpPen* greyPen, GpPen* redPen, const GifFrame& frame) {
    if (!frame.bitmap) return;
    const INT width = INT(frame.width());
    const INT height = INT(frame.height());
    {
        GdiplusIndexedView picture(*frame.bitmap);
        if (picture) {
            useExactPixels(canvas);
            GdipDrawImageRectI(canvas, picture.image(), frame.left, frame.top, width, height);
        }
    }
    // Outlines sit on whole pixels in the default mode.
    GdipSetPixelOffsetMode(canvas, PixelOffsetModeDefault);
    GdipDrawRectangleI(canvas, greyPen, frame.left - 1, frame.top - 1, width + 2, height + 2);
    GdipDrawRectangleI(canvas, redPen, frame.left - 1, frame.top - 1, width + 2, height + 2);
}

// The composed screen straight onto the window, its see-through pixels showing the white screen:
// nothing is drawn over it, and through GDI+ a playing frame would cost many times its
// composition.
void paintComposed(HDC dc, const std::vector<velmora::Pixel>& picture, const RECT& part, int scrollX,
                   int scrollY, INT screenWidth) {
    const LONG width = part.right - part.left;
    const LONG height = part.bottom - part.top;
    std::vector<velmora::Pixel> shown(size_t(width) * size_t(height));
    for (LONG y = 0; y < height; ++y) {
        const velmora::Pixel* row = picture.data() + size_t(part.top + y) * size_t(screenWidth) + part.left;
        for (LONG x = 0; x < width; ++x)
            shown[size_t(y) * size_t(width) + size_t(x)] =
                row[x] == velmora::kSeeThrough ? kScreenWhite : row[x];
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top down, as the canvas holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, part.left - scrollX, part.top - scrollY, DWORD(width), DWORD(height), 0, 0, 0,
                      UINT(height), shown.data(), &info, DIB_RGB_COLORS);
}

// The part of the logical screen a paint has to show: the damaged client area moved by the
// scroll positions and cut to the screen. Empty when the damage lies beside the screen.
RECT visibleScreenPart(const RECT& damaged, int scrollX, int scrollY, INT screenWidth, INT screenHeight) {
    RECT part;
    part.left = std::max<LONG>(0, damaged.left + scrollX);
    part.top = std::max<LONG>(0, damaged.top + scrollY);
    part.right = std::min<LONG>(screenWidth, damaged.right + scrollX);
    part.bottom = std::min<LONG>(screenHeight, damaged.bottom + scrollY);
    return part;
}

// A frame with its outline (one pixel round it) touches the part.
bool touches(const GifFrame& frame, const RECT& part) {
    const LONG left = LONG(frame.left) - 1;
    const LONG top = LONG(frame.top) - 1;
    const LONG right = LONG(frame.left) + LONG(frame.width()) + 2;
    const LONG bottom = LONG(frame.top) + LONG(frame.height()) + 2;
    return left < part.right && right > part.left && top < part.bottom && bottom > part.top;
}

// The logical screen is composed off screen and put on the window in one draw, so the view
// never shows a half-built picture. Only what the damaged area shows is composed and copied: a
// 2000 x 2000 screen would otherwise cost many times the work the window can show.
void paintScreen(HWND view, HDC dc, const RECT& damaged, int selection) {
    const INT screenWidth = std::max<INT>(1, document(view).screenWidth);
    const INT screenHeight = std::max<INT>(1, document(view).screenHeight);
    const int scrollX = scrollPosition(view, SB_HORZ);
    const int scrollY = scrollPosition(view, SB_VERT);
    const RECT part = visibleScreenPart(damaged, scrollX, scrollY, screenWidth, screenHeight);
    if (part.right <= part.left || part.bottom <= part.top) return;
    const CanvasState& state = stateOf(view);
    const std::vector<velmora::Pixel>* picture = state.composedPicture ? state.composedPicture() : nullptr;
    if (picture && picture->size() == size_t(screenWidth) * size_t(screenHeight)) {
        paintComposed(dc, *picture, part, scrollX, scrollY, screenWidth);
        return;
    }

    GpGraphics* window = nullptr;
    if (GdipCreateFromHDC(dc, &window) != Ok) return;
    // The off-screen picture covers just the part; screen coordinates are moved onto it.
    const INT partWidth = part.right - part.left;
    const INT partHeight = part.bottom - part.top;
    GpBitmap* screen = nullptr;
    GpGraphics* canvas = nullptr;
    if (GdipCreateBitmapFromScan0(partWidth, partHeight, 0, kScreenFormat, nullptr, &screen) != Ok ||
        GdipGetImageGraphicsContext(screen, &canvas) != Ok) {
        if (screen) GdipDisposeImage(screen);
        GdipDeleteGraphics(window);
        return;
    }
    GdipTranslateWorldTransform(canvas, REAL(-part.left), REAL(-part.top), MatrixOrderPrepend);
    GdipGraphicsClear(canvas, kScreenWhite);

    GpPen* redPen = nullptr;
    GpPen* greyPen = nullptr;
    GdipCreatePen1(kFrameDarkRed, 1.0f, UnitPixel, &redPen);
    GdipSetPenDashStyle(redPen, DashStyleDash);
    GdipCreatePen1(kFrameGrey, 1.0f, UnitPixel, &greyPen);

    // Later frames lie over earlier ones, as they would play.
    for (size_t i = 0; i < document(view).frames.size(); ++i) {
        const GifFrame& frame = document(view).frames[i];
        if ((frame.pinned || int(i) == selection) && touches(frame, part))
            drawFrame(canvas, greyPen, redPen, frame);
    }

    useExactPixels(window);
    GdipDrawImageRectI(window, screen, part.left - scrollX, part.top - scrollY, partWidth, partHeight);

    GdipDeletePen(greyPen);
    GdipDeletePen(redPen);
    GdipDeleteGraphics(canvas);
    GdipDisposeImage(screen);
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

    if (step.effect == ScrollEffect::Move && moved != 0) {
        ScrollWindowEx(view, horizontal ? -moved : 0, horizontal ? 0 : -moved, nullptr, nullptr, nullptr,
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
    const int x = int(LOWORD(lParam)) + scrollPosition(view, SB_HORZ);
    const int y = int(HIWORD(lParam)) + scrollPosition(view, SB_VERT);
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
    drag.pointerX = GET_X_LPARAM(lParam) + scrollPosition(view, SB_HORZ);
    drag.pointerY = GET_Y_LPARAM(lParam) + scrollPosition(view, SB_VERT);
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

// ---- Scroll bars -------------------------------------------------------------------------------

// Showing or hiding a bar re-lays the window out (slow under Wine, and called on every drag tick),
// so it is done only when the bar's visibility really changes.
void showScrollBar(HWND view, int bar, bool show) {
    const LONG_PTR style = GetWindowLongPtrA(view, GWL_STYLE);
    const bool shown = (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    if (shown != show) ShowScrollBar(view, bar, show ? TRUE : FALSE);
}

// Sets one scroll bar from the screen side, the view side and the stored position.
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
    scroll.maxY = int(doc.screenHeight) - clientHeight;
    scroll.maxX = int(doc.screenWidth) - clientWidth;
    updateScrollBar(view, SB_VERT, doc.screenHeight, clientHeight, scroll.y, scroll.maxY);
    updateScrollBar(view, SB_HORZ, doc.screenWidth, clientWidth, scroll.x, scroll.maxX);
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
