// GIF encoding: GifAnimation::writeFile against giflib's EGifSpew writing the same documents
// (same tables, a graphic control block per frame, the looping block), on the generated inputs
// of bench/gifinputs.h. Prints throughput in megapixels per second, the ratio (giflib time over
// ours: above 1 means we are faster) and both file sizes. Best of several interleaved runs, in
// process CPU time.
#include <gif_lib.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/gifinputs.h"
#include "gif/document.h"

namespace {

// Process CPU time (user and system, so file writing counts): on a shared machine wall time
// mostly measures the neighbours.
double now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

long fileSize(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return -1;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size;
}

ColorMapObject* giflibMap(const ColorTable& table) {
    size_t count = 2;
    while (count < table.entries.size()) count *= 2;
    std::vector<GifColorType> colors(count, GifColorType{0, 0, 0});
    for (size_t i = 0; i < table.entries.size() && i < count; ++i)
        colors[i] = GifColorType{table.entries[i].red, table.entries[i].green, table.entries[i].blue};
    return GifMakeMapObject(int(count), colors.data());
}

// Builds giflib's picture of the document (outside the timing: it is only giflib's input
// format), then times EGifSpew, which encodes, writes and closes.
double writeWithGiflib(const GifAnimation& doc, const std::string& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) {
        std::fprintf(stderr, "giflib cannot create %s\n", path.c_str());
        std::exit(1);
    }
    gif->SWidth = doc.screenWidth;
    gif->SHeight = doc.screenHeight;
    gif->SColorResolution = 8;
    gif->SBackGroundColor = doc.backgroundIndex;
    gif->SColorMap = doc.hasGlobalTable ? giflibMap(doc.globalTable) : nullptr;
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const GifFrame& frame = doc.frames[i];
        SavedImage* image = GifMakeSavedImage(gif, nullptr);
        image->ImageDesc.Left = frame.left;
        image->ImageDesc.Top = frame.top;
        image->ImageDesc.Width = int(frame.width());
        image->ImageDesc.Height = int(frame.height());
        image->ImageDesc.Interlace = frame.interlaced;
        image->ImageDesc.ColorMap = frame.hasLocalTable ? giflibMap(frame.localTable) : nullptr;
        image->RasterBits = static_cast<GifByteType*>(std::malloc(size_t(frame.width()) * frame.height()));
        for (uint32_t y = 0; y < frame.height(); ++y)
            std::memcpy(image->RasterBits + size_t(y) * frame.width(), frame.bitmap->row(y), frame.width());
        if (i == 0 && (doc.loopForever || doc.loopCount >= 2)) {
            const uint16_t count = doc.loopForever ? 0 : uint16_t(doc.loopCount - 1);
            const GifByteType loop[3] = {1, GifByteType(count), GifByteType(count >> 8)};
            GifAddExtensionBlock(&image->ExtensionBlockCount, &image->ExtensionBlocks,
                                 APPLICATION_EXT_FUNC_CODE, 11, (GifByteType*)"NETSCAPE2.0");
            GifAddExtensionBlock(&image->ExtensionBlockCount, &image->ExtensionBlocks, CONTINUE_EXT_FUNC_CODE,
                                 3, (GifByteType*)loop);
        }
        GraphicsControlBlock gcb;
        gcb.DisposalMode = int(frame.disposal & 7);
        gcb.UserInputFlag = false;
        gcb.DelayTime = frame.delay;
        gcb.TransparentColor = frame.transparent ? frame.transparentIndex : NO_TRANSPARENT_COLOR;
        EGifGCBToSavedExtension(&gcb, gif, int(i));
    }
    const double start = now();
    if (EGifSpew(gif) != GIF_OK) {
        std::fprintf(stderr, "EGifSpew failed on %s\n", path.c_str());
        std::exit(1);
    }
    return now() - start;
}

double writeWithOurs(GifAnimation& doc, const std::string& path) {
    const double start = now();
    if (!doc.writeFile(path.c_str())) {
        std::fprintf(stderr, "writeFile failed on %s\n", path.c_str());
        std::exit(1);
    }
    return now() - start;
}

// Our file must decode (with giflib) to the document's pixels: a benchmark of a wrong encoder
// would mean nothing.
bool giflibDecodesAsDocument(const std::string& path, const GifAnimation& doc) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return false;
    bool same = DGifSlurp(gif) == GIF_OK && size_t(gif->ImageCount) == doc.frames.size();
    for (size_t i = 0; same && i < doc.frames.size(); ++i) {
        const GifFrame& frame = doc.frames[i];
        for (uint32_t y = 0; same && y < frame.height(); ++y)
            same = std::memcmp(gif->SavedImages[i].RasterBits + size_t(y) * frame.width(),
                               frame.bitmap->row(y), frame.width()) == 0;
    }
    DGifCloseFile(gif, &error);
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const char* shm = "/dev/shm";
    FILE* probe = std::fopen("/dev/shm/.velmora-probe", "wb");
    const std::string folder = probe ? shm : "/tmp";
    if (probe) {
        std::fclose(probe);
        std::remove("/dev/shm/.velmora-probe");
    }

    GifAnimation photo, animation, drawing;
    gifbench::makePhoto(photo);
    gifbench::makeAnimation(animation);
    gifbench::makeDrawing(drawing);
    const gifbench::Input inputs[] = {
        {"photo 1920x1080", &photo}, {"animation 200 x 320x240", &animation}, {"drawing 512x512", &drawing}};

    std::printf("GIF encode: writeFile vs giflib %d.%d.%d EGifSpew, best of %d runs, files in %s\n",
                GIFLIB_MAJOR, GIFLIB_MINOR, GIFLIB_RELEASE, runs, folder.c_str());
    std::printf("%-26s %10s %10s %7s %12s %12s %7s\n", "input", "ours MP/s", "giflib", "ratio", "ours bytes",
                "giflib bytes", "size");
    bool allGood = true;
    for (const gifbench::Input& input : inputs) {
        const std::string ours = folder + "/velmora-encode-bench-ours.gif";
        const std::string theirs = folder + "/velmora-encode-bench-giflib.gif";
        double best = 1e30, bestPeer = 1e30;
        for (int r = 0; r < runs; ++r) {
            best = std::min(best, writeWithOurs(*input.doc, ours));
            bestPeer = std::min(bestPeer, writeWithGiflib(*input.doc, theirs));
        }
        double pixels = 0;
        for (const GifFrame& frame : input.doc->frames) pixels += double(frame.width()) * frame.height();
        const long size = fileSize(ours), peerSize = fileSize(theirs);
        const bool decodes = giflibDecodesAsDocument(ours, *input.doc);
        allGood = allGood && decodes;
        std::printf("%-26s %10.1f %10.1f %7.2f %12ld %12ld %+6.2f%%%s\n", input.name.c_str(),
                    pixels / best / 1e6, pixels / bestPeer / 1e6, bestPeer / best, size, peerSize,
                    100.0 * (size - peerSize) / peerSize,
                    decodes ? "" : "  (OUR FILE DOES NOT DECODE TO THE DOCUMENT)");
        std::remove(ours.c_str());
        std::remove(theirs.c_str());
    }
    std::printf("ratio = giflib time / our time (above 1: faster); size = ours against giflib's\n");
    return allGood ? 0 : 1;
}
