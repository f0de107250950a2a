// The portable share of the two heavy commands, natively: what adding a photograph and opening a
// long animation cost before any window or GDI+ work.
//   - adding a 1920 x 1080 photograph: the reduction of its 32-bit pixels (quantise and map),
//     with ImageMagick's own reduction to 256 colours as the peer;
//   - opening a 300-frame 320 x 240 GIF: GifAnimation::readFile, with giflib's DGifSlurp as the peer.
#include <gif_lib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gif/document.h"
#include "imaging/ppm.h"
#include "imaging/reduction.h"

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

template <typename F>
double bestOf(int runs, F&& work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double start = now();
        work();
        const double took = now() - start;
        if (took < best) best = took;
    }
    return best;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

}  // namespace

int main() {
    const std::string dir = "/tmp/velmora-commands-bench";
    run("mkdir -p " + dir);
    const std::string jpg = dir + "/photo.jpg", ppm = dir + "/photo.ppm";
    if (!run("/usr/bin/convert -seed 7 -size 1920x1080 plasma:fractal -blur 0x2 -quality 90 " + jpg) ||
        !run("/usr/bin/convert " + jpg + " " + ppm)) {
        std::fprintf(stderr, "ImageMagick could not make the photograph\n");
        return 1;
    }
    RgbPicture picture;
    if (!readPpmFile(ppm.c_str(), picture).empty()) return 1;
    const std::vector<uint8_t> argb = toArgb(picture);
    bool quantized = false;
    const double reduce = bestOf(3, [&] {
        ReducedImage reduced =
            reduceArgbPicture(argb.data(), picture.width, picture.height, int32_t(picture.width * 4));
        quantized = reduced.quantized;
    });
    const double magick =
        bestOf(3, [&] { run("/usr/bin/convert " + ppm + " +dither -colors 256 " + dir + "/magick.gif"); });
    std::printf(
        "photo 1920x1080 (plasma, JPEG q90): reduceArgbPicture %.3f s (quantised: %s); "
        "ImageMagick -colors 256 +dither %.3f s (whole process); ours / peer = %.2f\n",
        reduce, quantized ? "yes" : "no", magick, reduce / magick);

    // 300 frames of 320 x 240.
    GifAnimation animation;
    animation.screenWidth = 320;
    animation.screenHeight = 240;
    animation.hasGlobalTable = true;
    for (int i = 0; i < 64; ++i)
        animation.globalTable.entries.push_back(
            RgbColor(uint8_t(i * 4), uint8_t(255 - i * 4), uint8_t(i * 2)));
    for (int f = 0; f < 300; ++f) {
        GifFrame frame;
        frame.bitmap = IndexedBitmap::create(320, 240);
        for (uint32_t y = 0; y < 240; ++y)
            for (uint32_t x = 0; x < 320; ++x)
                frame.bitmap->row(y)[x] = uint8_t(((x + y + uint32_t(f)) / 5) % 64);
        frame.delay = 4;
        animation.frames.push_back(std::move(frame));
    }
    const std::string gif = dir + "/frames300.gif";
    if (!animation.writeFile(gif.c_str())) return 1;
    size_t frames = 0;
    const double read = bestOf(3, [&] {
        GifAnimation back;
        back.readFile(gif.c_str());
        frames = back.frames.size();
    });
    const double slurp = bestOf(3, [&] {
        int error = 0;
        GifFileType* file = DGifOpenFileName(gif.c_str(), &error);
        if (file) {
            DGifSlurp(file);
            DGifCloseFile(file, &error);
        }
    });
    std::printf(
        "300 frames 320x240: readFile %.3f s (%zu frames); giflib DGifSlurp %.3f s; ours / peer = %.2f\n",
        read, frames, slurp, read / slurp);
    return 0;
}
