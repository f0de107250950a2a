// Preview: the open editor's frame passed through the working palette's remap, on a copy.
#include "win32/gdiplus_win.h"
#include "win32/gdiplusview_win.h"
#include "ui/palettedialogs.h"
#include "ui/paletteeditor.h"
#include "resource.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The remapped copy; lives only while the dialog is open.
std::unique_ptr<IndexedBitmap> s_previewImage;

std::unique_ptr<IndexedBitmap> remappedCopy(const IndexedBitmap& frame, const PaletteEditModel& model) {
    std::unique_ptr<IndexedBitmap> copy = frame.clone();
    if (!copy) return nullptr;
    const PaletteRemapTable table = model.buildRemapTable();
    for (uint32_t y = 0; y < copy->height(); ++y) {
        uint8_t* row = copy->row(y);
        for (uint32_t x = 0; x < copy->width(); ++x) row[x] = table[row[x]];
    }
    IndexedPalette palette;
    palette.flags = kPaletteFlagsHasAlpha;
    palette.count = model.size() < kMaxPaletteEntries ? model.size() : kMaxPaletteEntries;
    for (uint32_t i = 0; i < palette.count; ++i) palette.entries[i] = model.editEntries[i].color.toArgb();
    copy->setPalette(palette);
    return copy;
}

void onInitDialog() {
    s_previewImage.reset();
    if (g_paletteFrameBitmap && g_paletteModel)
        s_previewImage = remappedCopy(*g_paletteFrameBitmap, *g_paletteModel);
}

void onDrawItem(const DRAWITEMSTRUCT* item) {
    if (!s_previewImage) return;
    GdiplusIndexedView view(*s_previewImage);
    if (!view) return;
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(item->hDC, &graphics) != Ok) return;
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(item->hDC, &item->rcItem, face);
    // One picture pixel per screen pixel, never blended with its neighbours.
    GdipSetInterpolationMode(graphics, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
    // The item's DC is clipped to the control, so a large frame is simply cut off.
    GdipDrawImageRectI(graphics, view.image(), item->rcItem.left, item->rcItem.top,
                       INT(s_previewImage->width()), INT(s_previewImage->height()));
    GdipDeleteGraphics(graphics);
}

void close(HWND dialog) {
    s_previewImage.reset();
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK previewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog();
            return TRUE;
        case WM_DRAWITEM:
            if (wParam != IDC_PREVIEW_PICTURE) return FALSE;
            onDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) close(dialog);
            return TRUE;
        case WM_DESTROY:
            // Whichever way the dialog went, the copy goes with it.
            s_previewImage.reset();
            return FALSE;
        default:
            return FALSE;
    }
}

void runPreviewDialog(HWND owner) {
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PALETTE_PREVIEW), owner,
                    previewDialogProc, 0);
}
