// Palette remap: PaletteEditModel::applyToFrame against giflib's GifApplyTranslation passing the
// same 1920x1080 picture through the same 256-entry table. The picture is generated here (a
// diagonal ramp with noise, every index used); the model is the one an editing session leaves
// behind: reduced to 64 colours, sorted by red, duplicates merged. Prints megapixels per second and
// the ratio (giflib time over ours: above 1 means we are faster). Best of several interleaved runs.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "palette/palettemodel.h"

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

constexpr uint32_t kWidth = 1920, kHeight = 1080;

void fillPicture(IndexedBitmap& bitmap) {
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            bitmap.row(y)[x] = uint8_t((x + y) / 12 + (noise >> 28));
        }
}

}  // namespace

int main() {
    ColorTable table;
    for (uint32_t i = 0; i < 256; ++i)
        table.entries.push_back(RgbColor(uint8_t(i * 37), uint8_t(i * 11), uint8_t(255 - i)));
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(kWidth, kHeight);
    fillPicture(*frame.bitmap);
    frame.localTable = table;
    frame.countColorUse();
    PaletteEditModel model;
    model.loadFromTable(frame.localTable);
    model.reduceTo(64);
    model.sortEntries(PaletteSortRedDescending);
    model.deleteDuplicates();
    const PaletteRemapTable remap = model.buildRemapTable();

    std::vector<GifByteType> raster(size_t(kWidth) * kHeight);
    GifPixelType translation[256];
    std::memcpy(translation, remap.data(), 256);

    double best = 1e9, bestGiflib = 1e9;
    for (int run = 0; run < 7; ++run) {
        fillPicture(*frame.bitmap);
        double start = now();
        model.applyToFrame(frame);
        best = std::min(best, now() - start);

        fillPicture(*frame.bitmap);  // the same picture for giflib, laid out without padding
        for (uint32_t y = 0; y < kHeight; ++y)
            std::memcpy(&raster[size_t(y) * kWidth], frame.bitmap->row(y), kWidth);
        SavedImage image{};
        image.ImageDesc.Width = int(kWidth);
        image.ImageDesc.Height = int(kHeight);
        image.RasterBits = raster.data();
        start = now();
        GifApplyTranslation(&image, translation);
        bestGiflib = std::min(bestGiflib, now() - start);
    }

    // Both must have produced the same pixels, or the timing compares different work.
    model.applyToFrame(frame);
    for (uint32_t y = 0; y < kHeight; ++y) {
        if (std::memcmp(&raster[size_t(y) * kWidth], frame.bitmap->row(y), kWidth) != 0) {
            std::fprintf(stderr, "palette_bench: remapped pixels differ from giflib's in row %u\n", y);
            return 1;
        }
    }
    const double megapixels = double(kWidth) * kHeight / 1e6;
    std::printf("remap %ux%u through %u entries: ours %.0f MP/s, giflib %.0f MP/s, ratio %.2f\n", kWidth,
                kHeight, model.size(), megapixels / best, megapixels / bestGiflib, bestGiflib / best);
    return 0;
}
