// PPM parsing, reduction and the quantiser on arbitrary bytes: nothing may crash, read outside
// its buffers, or give an index outside the palette.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/colorquantizer.h"
#include "imaging/ppm.h"
#include "imaging/reduction.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RgbPicture picture;
    if (parsePpm(data, size, picture).empty()) {
        const std::vector<uint8_t> argb = toArgb(picture);
        const ReducedImage r =
            reduceArgbPicture(argb.data(), picture.width, picture.height, int32_t(picture.width * 4));
        if (!r.bitmap || r.colors.entries.empty() || r.colors.entries.size() > 256) std::abort();
        for (uint32_t y = 0; y < picture.height; ++y)
            for (uint32_t x = 0; x < picture.width; ++x)
                if (r.bitmap->at(x, y) >= r.colors.entries.size()) std::abort();
    }

    // The raw bytes as a picture of any length, with a sampling factor taken from the first byte.
    const int32_t factor = size ? data[0] % 40 : 1;
    const int32_t length = int32_t(size < (1u << 20) ? size : (1u << 20));
    ColorQuantizer quantizer(data, length, factor);
    uint8_t map[768];
    quantizer.process(map);
    for (size_t i = 0; i + 2 < size && i < 3000; i += 3)
        if (quantizer.mapColor(data[i], data[i + 1], data[i + 2]) > 255) std::abort();
    return 0;
}
