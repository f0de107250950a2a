#pragma once
// Turns every frame of an image that GDI+ decodes (BMP, JPEG, PNG, WMF, EMF, ICO, TIFF) into an
// indexed frame at the end of a document.
#include "gif/document.h"
#include "win32/gdiplus_win.h"

// GDI+'s raw-format id of Windows metafiles, {B96B3CAD-0728-11D3-9D7B-0000F81EF32E}.
extern const GUID kImageFormatWmf;

// True when GDI+ decoded the image from a WMF file.
bool isWmfImage(Gdiplus::GpImage* image);

// Appends one frame per frame of `image` (pages of a TIFF, sizes of an icon), each drawn over
// transparent black into 32-bit colour and reduced to at most 256 colours, with its own colour
// table, at offset (0, 0). The logical screen grows to fit each frame and never shrinks here.
// `scaleToScreenResolution` draws a metafile at 96 dpi instead of its own resolution.
//
// A frame GDI+ reports with no size, an unreadable size or more pixels than a frame may have is
// left out; so are frames that would take the document past its pixel budget.
void importImage(GifAnimation& document, Gdiplus::GpImage* image, bool scaleToScreenResolution);
