// Decode throughput: GifAnimation::readFile against giflib's DGifSlurp, same files, same run.
// The inputs are made here (pixels generated, written by giflib's encoder):
//   photo    one 1920 x 1080 frame, 256 colours, smooth shading with noise
//   anim     200 frames of 320 x 240, a moving scene over a shaded background
//   flat     one 512 x 512 drawing of a few flat-coloured shapes
// Prints MB/s of decoded pixels (per CPU second, best of the rounds) for both and the ratio
// ours/giflib (above 1 = we are faster).
//   usage: decode_bench [FOLDER] [ROUNDS]    (FOLDER for the generated files, default /tmp)
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "gif/document.h"

namespace {

struct Picture {
    int width, height;
    std::vector<uint8_t> pixels;
};

uint32_t noise(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

Picture photo(int width, int height, int phase) {
    Picture p{width, height, std::vector<uint8_t>(size_t(width) * height)};
    uint32_t state = 12345 + phase;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double v = 96 + 60 * std::sin((x + phase * 3) * 0.011) * std::cos(y * 0.017) +
                             30 * std::sin((x + y) * 0.003 + phase * 0.1);
            const int n = int(noise(state) % 9) - 4;
            p.pixels[size_t(y) * width + x] = uint8_t(std::clamp(int(v) + n, 0, 255));
        }
    }
    return p;
}

Picture flat(int size) {
    Picture p{size, size, std::vector<uint8_t>(size_t(size) * size, 0)};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint8_t c = 1;
            if (x > 40 && x < 300 && y > 60 && y < 200) c = 2;
            if ((x - 350) * (x - 350) + (y - 350) * (y - 350) < 110 * 110) c = 3;
            if (std::abs(x - y) < 6) c = 4;
            if (y > 440 && x > 20 && x < 490) c = 5;
            p.pixels[size_t(y) * size + x] = c;
        }
    }
    return p;
}

ColorMapObject* grayRamp() {
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i) colors[i] = {uint8_t(i), uint8_t(255 - i / 2), uint8_t(i / 3)};
    return GifMakeMapObject(256, colors);
}

bool writeGif(const std::string& path, const std::vector<Picture>& frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) return false;
    gif->SWidth = frames[0].width;
    gif->SHeight = frames[0].height;
    gif->SColorResolution = 8;
    gif->SBackGroundColor = 0;
    gif->SColorMap = grayRamp();
    for (const Picture& f : frames) {
        SavedImage image = {};
        image.ImageDesc.Width = f.width;
        image.ImageDesc.Height = f.height;
        image.RasterBits = const_cast<uint8_t*>(f.pixels.data());
        SavedImage* saved = GifMakeSavedImage(gif, &image);
        saved->RasterBits = static_cast<GifByteType*>(malloc(f.pixels.size()));
        std::copy(f.pixels.begin(), f.pixels.end(), saved->RasterBits);
        GraphicsControlBlock gcb = {DISPOSE_DO_NOT, false, 4, NO_TRANSPARENT_COLOR};
        EGifGCBToSavedExtension(&gcb, gif, gif->ImageCount - 1);
    }
    return EGifSpew(gif) == GIF_OK;
}

// CPU time of this process (user and system, so page faults count), not wall time: other
// processes on a shared machine then slow neither side.
double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double secondsOf(const std::function<void()>& work) {
    const double start = cpuSeconds();
    work();
    return cpuSeconds() - start;
}

uint64_t ourPixels(const std::string& path) {
    GifAnimation doc;
    if (doc.readFile(path.c_str()) != ReadOk) std::exit(2);
    uint64_t n = 0;
    for (const GifFrame& f : doc.frames) n += uint64_t(f.width()) * f.height();
    return n;
}

uint64_t giflibPixels(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) std::exit(2);
    uint64_t n = 0;
    for (int i = 0; i < gif->ImageCount; ++i)
        n += uint64_t(gif->SavedImages[i].ImageDesc.Width) * gif->SavedImages[i].ImageDesc.Height;
    DGifCloseFile(gif, &error);
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

    std::vector<Picture> anim;
    for (int f = 0; f < 200; ++f) {
        Picture p = photo(320, 240, f);
        for (int y = 60; y < 140; ++y) {
            for (int x = 0; x < 60; ++x) p.pixels[size_t(y) * 320 + size_t((x + f * 2) % 320)] = 200;
        }
        anim.push_back(std::move(p));
    }
    const struct {
        const char* name;
        std::vector<Picture> frames;
    } inputs[] = {
        {"photo 1920x1080", {photo(1920, 1080, 0)}},
        {"anim 200x320x240", anim},
        {"flat 512x512", {flat(512)}},
    };

    std::printf("%-18s %10s %12s %12s %8s\n", "input", "file KB", "ours MB/s", "giflib MB/s", "ratio");
    for (const auto& input : inputs) {
        const std::string path = folder + "/velmora-bench-" + std::string(input.name).substr(0, 4) + ".gif";
        if (!writeGif(path, input.frames)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        if (ourPixels(path) != giflibPixels(path)) return 3;
        // Best of the rounds, alternating the two so that both see the same machine load.
        double ours = 1e30, theirs = 1e30;
        uint64_t pixels = 0;
        for (int r = 0; r < rounds; ++r) {
            ours = std::min(ours, secondsOf([&] { pixels = ourPixels(path); }));
            theirs = std::min(theirs, secondsOf([&] { giflibPixels(path); }));
        }
        FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        const long bytes = std::ftell(f);
        std::fclose(f);
        const double mb = double(pixels) / 1e6;
        std::printf("%-18s %10ld %12.1f %12.1f %8.2f\n", input.name, bytes / 1024, mb / ours, mb / theirs,
                    theirs / ours);
        std::remove(path.c_str());
    }
    return 0;
}
