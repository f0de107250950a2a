// velmora-gif quantize IN.ppm OUT.gif: reduces a picture exactly as an image import does and
// writes it as a one-frame GIF whose screen is the picture.
#include <cstdio>

#include "cli/commands.h"
#include "gif/document.h"
#include "imaging/ppm.h"
#include "imaging/reduction.h"

int commandQuantize(const char* ppmPath, const char* gifPath) {
    RgbPicture picture;
    const std::string problem = readPpmFile(ppmPath, picture);
    if (!problem.empty()) {
        std::fprintf(stderr, "velmora-gif: %s: %s\n", ppmPath, problem.c_str());
        return 1;
    }
    const std::vector<uint8_t> argb = toArgb(picture);
    ReducedImage reduced =
        reduceArgbPicture(argb.data(), picture.width, picture.height, int32_t(picture.width * 4));

    GifAnimation document;
    GifFrame frame;
    if (!storeInFrame(std::move(reduced), frame)) {
        std::fprintf(stderr, "velmora-gif: %s: not enough memory to reduce the picture\n", ppmPath);
        return 1;
    }
    document.screenWidth = uint16_t(picture.width);
    document.screenHeight = uint16_t(picture.height);
    document.frames.push_back(std::move(frame));
    if (!document.writeFile(gifPath)) {
        std::fprintf(stderr, "velmora-gif: cannot write %s\n", gifPath);
        return 1;
    }
    return 0;
}
