#pragma once
// Binary PPM (P6, maxval 255): the plain true-colour format the command-line tool and the
// benchmarks exchange with ImageMagick.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RgbPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb;  // R, G, B per pixel, rows top to bottom, no padding
};

// Empty on success, otherwise a one-line reason; `picture` is filled only on success.
// Refused: anything but P6, a maxval other than 255, a width or height of 0 or above 65535 (a GIF
// cannot hold it), more than kMaxImagePixels pixels, pixel data cut off by the end of the file.
std::string parsePpm(const uint8_t* data, size_t size, RgbPicture& picture);
std::string readPpmFile(const char* path, RgbPicture& picture);
bool writePpmFile(const char* path, const RgbPicture& picture);

// The picture as PixelFormat32bppARGB words (bytes B, G, R, A; opaque), stride width * 4.
std::vector<uint8_t> toArgb(const RgbPicture& picture);
