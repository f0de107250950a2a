// velmora-gif quantize end to end: the GIF it writes, decoded by giflib, shows every pixel in the
// colour the in-process reduction chose, in one frame at (0, 0) on a screen the picture's size.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "imaging/ppm.h"
#include "imaging/reduction.h"
#include "support/testpaths.h"

namespace {

int runTool(const std::string& arguments, std::string* errors = nullptr) {
    const std::string errorPath = testOutputPath("quantize-cli-stderr.txt");
    const std::string command = std::string(VELMORA_GIF_TOOL) + " " + arguments + " 2>" + errorPath;
    const int status = std::system(command.c_str());
    if (errors) {
        std::ifstream in(errorPath);
        std::stringstream text;
        text << in.rdbuf();
        *errors = text.str();
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RgbPicture makePicture(uint32_t w, uint32_t h, int colours, uint32_t seed) {
    RgbPicture picture;
    picture.width = w;
    picture.height = h;
    std::mt19937 rng(seed);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            if (colours > 0) {
                const uint32_t k = rng() % uint32_t(colours);
                picture.rgb.insert(picture.rgb.end(),
                                   {uint8_t(k * 40), uint8_t(255 - k * 3), uint8_t(k * 7)});
            } else {
                picture.rgb.insert(picture.rgb.end(), {uint8_t(x * 255 / w), uint8_t(y * 255 / h),
                                                       uint8_t((x * y + rng() % 16) & 0xFF)});
            }
        }
    return picture;
}

TEST(QuantizeCommand, GiflibSeesTheReducedPictureInOneFrame) {
    const struct {
        const char* name;
        uint32_t w, h;
        int colours;  // 0: a gradient with noise, far more than 256 colours
    } cases[] = {{"gradient", 211, 97, 0},
                 {"five colours", 40, 30, 5},
                 {"one colour", 3, 2, 1},
                 {"256 colours", 64, 64, 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RgbPicture picture = makePicture(c.w, c.h, c.colours, c.w);
        const std::string ppm = testOutputPath(std::string("quantize-") + std::to_string(c.w) + ".ppm");
        const std::string gif = testOutputPath(std::string("quantize-") + std::to_string(c.w) + ".gif");
        ASSERT_TRUE(writePpmFile(ppm.c_str(), picture));
        std::remove(gif.c_str());
        ASSERT_EQ(runTool("quantize " + ppm + " " + gif), 0);

        const std::vector<uint8_t> argb = toArgb(picture);
        const ReducedImage expected = reduceArgbPicture(argb.data(), c.w, c.h, int32_t(c.w * 4));
        ASSERT_TRUE(expected.bitmap);

        int error = 0;
        GifFileType* file = DGifOpenFileName(gif.c_str(), &error);
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(DGifSlurp(file), GIF_OK);
        EXPECT_EQ(file->SWidth, int(c.w));
        EXPECT_EQ(file->SHeight, int(c.h));
        ASSERT_EQ(file->ImageCount, 1);
        const SavedImage& image = file->SavedImages[0];
        EXPECT_EQ(image.ImageDesc.Left, 0);
        EXPECT_EQ(image.ImageDesc.Top, 0);
        EXPECT_EQ(image.ImageDesc.Width, int(c.w));
        EXPECT_EQ(image.ImageDesc.Height, int(c.h));
        ASSERT_NE(image.ImageDesc.ColorMap, nullptr);  // the palette travels as a local table
        EXPECT_GE(image.ImageDesc.ColorMap->ColorCount, int(expected.colors.entries.size()));
        for (uint32_t y = 0; y < c.h; ++y)
            for (uint32_t x = 0; x < c.w; ++x) {
                const uint8_t index = image.RasterBits[y * c.w + x];
                ASSERT_EQ(index, expected.bitmap->at(x, y)) << x << "," << y;
                const GifColorType& got = image.ImageDesc.ColorMap->Colors[index];
                const RgbColor want = expected.colors.entries[index];
                ASSERT_EQ(RgbColor(got.Red, got.Green, got.Blue), want) << x << "," << y;
            }
        DGifCloseFile(file, &error);
    }
}

TEST(QuantizeCommand, RefusesOtherPicturesWithOneLine) {
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"plain PPM", "P3\n1 1\n255\n1 2 3\n"},
        {"16-bit PPM", std::string("P6\n1 1\n65535\n") + std::string(6, '\x01')},
        {"cut off", std::string("P6\n4 4\n255\n") + std::string(5, '\x01')},
        {"not a picture", "GIF89a"},
    };
    const std::string gif = testOutputPath("quantize-refused.gif");
    for (const auto& c : cases) {
        const std::string ppm = testOutputPath("quantize-refused.ppm");
        std::ofstream(ppm, std::ios::binary) << c.content;
        std::string errors;
        EXPECT_EQ(runTool("quantize " + ppm + " " + gif, &errors), 1) << c.name;
        ASSERT_FALSE(errors.empty()) << c.name;
        EXPECT_EQ(errors.find('\n'), errors.size() - 1) << c.name << ": " << errors;
    }
    std::string errors;
    EXPECT_EQ(runTool("quantize " + testOutputPath("no-such.ppm") + " " + gif, &errors), 1);
    EXPECT_EQ(runTool("quantize onlyone", &errors), 1);
}

}  // namespace
