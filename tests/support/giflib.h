#pragma once
// giflib's whole-file reader for the interop tests (native only: the support library does not link
// giflib, so this stays header-only).
#include <gif_lib.h>

#include <memory>
#include <string>

using GiflibFile = std::unique_ptr<GifFileType, void (*)(GifFileType*)>;

// The file slurped, or null when giflib refuses it.
inline GiflibFile slurp(const std::string& path) {
    int error = 0;
    GiflibFile gif(DGifOpenFileName(path.c_str(), &error), [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    if (gif && DGifSlurp(gif.get()) != GIF_OK) gif.reset();
    return gif;
}
