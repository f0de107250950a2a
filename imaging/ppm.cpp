#include "imaging/ppm.h"

#include <cstdio>
#include <memory>

#include "gif/limits.h"

namespace {

constexpr uint32_t kMaxSide = 65535;  // GIF sizes are 16-bit
constexpr size_t kMaxHeaderBytes = 4096;

struct HeaderReader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    static bool isSpace(uint8_t c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    // Whitespace and comments may stand between header fields.
    void skipSeparators() {
        while (pos < size) {
            if (isSpace(data[pos])) {
                ++pos;
            } else if (data[pos] == '#') {
                while (pos < size && data[pos] != '\n' && data[pos] != '\r') ++pos;
            } else {
                break;
            }
        }
    }

    // False when no digits follow; values past `limit` are reported as limit + 1.
    bool number(uint32_t limit, uint32_t& value) {
        skipSeparators();
        if (pos >= size || data[pos] < '0' || data[pos] > '9') return false;
        uint64_t v = 0;
        while (pos < size && data[pos] >= '0' && data[pos] <= '9') {
            if (v <= limit) v = v * 10 + (data[pos] - '0');
            ++pos;
        }
        value = v > limit ? limit + 1 : uint32_t(v);
        return true;
    }
};

}  // namespace

std::string parsePpm(const uint8_t* data, size_t size, RgbPicture& picture) {
    if (size < 2 || data[0] != 'P' || data[1] != '6') return "not a binary PPM (P6) file";
    HeaderReader header{data, size, 2};
    uint32_t width = 0, height = 0, maxval = 0;
    if (!header.number(kMaxSide, width) || !header.number(kMaxSide, height) || !header.number(65535, maxval))
        return "PPM header is incomplete";
    if (maxval != 255) return "only PPM files with maxval 255 are supported";
    if (width == 0 || height == 0) return "PPM picture is empty";
    if (width > kMaxSide || height > kMaxSide) return "PPM picture is wider or higher than 65535";
    if (uint64_t(width) * height > velmora::kMaxImagePixels) return "PPM picture has too many pixels";
    // Exactly one whitespace byte separates the header from the pixels.
    if (header.pos >= size || !HeaderReader::isSpace(data[header.pos])) return "PPM header is malformed";
    const size_t start = header.pos + 1;
    const size_t bytes = size_t(width) * height * 3;
    if (size - start < bytes) return "PPM pixel data is cut off";
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(data + start, data + start + bytes);
    return {};
}

std::string readPpmFile(const char* path, RgbPicture& picture) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file) return std::string("cannot open ") + path;
    // Nothing past the largest picture we accept can matter, so never read more than that.
    const size_t limit = kMaxHeaderBytes + 3 * size_t(velmora::kMaxImagePixels);
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    while (data.size() < limit) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        if (got == 0) break;
        data.insert(data.end(), chunk, chunk + got);
    }
    return parsePpm(data.data(), data.size(), picture);
}

bool writePpmFile(const char* path, const RgbPicture& picture) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "wb"), &std::fclose);
    if (!file) return false;
    std::fprintf(file.get(), "P6\n%u %u\n255\n", picture.width, picture.height);
    const size_t bytes = size_t(picture.width) * picture.height * 3;
    if (picture.rgb.size() < bytes) return false;
    return std::fwrite(picture.rgb.data(), 1, bytes, file.get()) == bytes;
}

std::vector<uint8_t> toArgb(const RgbPicture& picture) {
    const size_t pixels = size_t(picture.width) * picture.height;
    std::vector<uint8_t> argb(pixels * 4);
    for (size_t i = 0; i < pixels && 3 * i + 2 < picture.rgb.size(); ++i) {
        argb[4 * i] = picture.rgb[3 * i + 2];
        argb[4 * i + 1] = picture.rgb[3 * i + 1];
        argb[4 * i + 2] = picture.rgb[3 * i];
        argb[4 * i + 3] = 0xFF;
    }
    return argb;
}
