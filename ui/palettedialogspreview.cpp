// Preview: the open editor's frame passed through the working palette's remap, on a copy.
#include <memory>

#include "resource.h"
#include "ui/palettedialogs.h"
#include "win32/gdiplus_win.h"
#include "win32/gdiplusview_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The frame's picture as OK would leave it, on a copy: the frame itself stays as it is.
std::unique_ptr<IndexedBitmap> remappedCopy(const IndexedBitmap& frame, const PaletteEditModel& model) {
    GifFrame copy;
    copy.bitmap = frame.clone();
    if (!copy.bitmap) return nullptr;
    model.applyToFrame(copy);
    return std::move(copy.bitmap);
}

// The remapped copy, kept by the opener while the dialog is open.
const IndexedBitmap* previewOf(HWND dialog) {
    return reinterpret_cast<const IndexedBitmap*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void onDrawItem(HWND dialog, const DRAWITEMSTRUCT* item) {
    const IndexedBitmap* preview = previewOf(dialog);
    if (!preview) return;
    GdiplusIndexedView view(*preview);
    if (!view) return;
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(item->hDC, &graphics) != Ok) return;
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(item->hDC, &item->rcItem, face);
    // One picture pixel per screen pixel, never blended with its neighbours.
    GdipSetInterpolationMode(graphics, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
    // The item's DC is clipped to the control, so a large frame is simply cut off.
    GdipDrawImageRectI(graphics, view.image(), item->rcItem.left, item->rcItem.top, INT(preview->width()),
                       INT(preview->height()));
    GdipDeleteGraphics(graphics);
}

}  // namespace

INT_PTR CALLBACK previewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            return TRUE;
        case WM_DRAWITEM:
            if (wParam != IDC_PREVIEW_PICTURE) return FALSE;
            onDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

void runPreviewDialog(HWND owner, const IndexedBitmap& frame, const PaletteEditModel& model) {
    // The copy lives exactly as long as the dialog, whichever way it closes.
    const std::unique_ptr<IndexedBitmap> preview = remappedCopy(frame, model);
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PALETTE_PREVIEW), owner,
                    previewDialogProc, reinterpret_cast<LPARAM>(preview.get()));
}
