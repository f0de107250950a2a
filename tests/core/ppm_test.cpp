// Binary PPM reading: hand-written headers, the refusals with their one-line reasons, and a
// round trip through a file.
#include "imaging/ppm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/testpaths.h"

namespace {

std::vector<uint8_t> bytes(const std::string& header, size_t pixelBytes, uint8_t fill = 7) {
    std::vector<uint8_t> data(header.begin(), header.end());
    data.insert(data.end(), pixelBytes, fill);
    return data;
}

TEST(Ppm, ReadsHeadersWithCommentsAndAnyWhitespace) {
    const struct {
        const char* header;
        uint32_t w, h;
    } cases[] = {
        {"P6\n2 3\n255\n", 2, 3},
        {"P6 2 3 255 ", 2, 3},
        {"P6\n# made by hand\n4 1\n# maxval next\n255\n", 4, 1},
        {"P6\t1\r\n1\r\n255\r", 1, 1},  // one whitespace byte ends the header, so \r alone
        {"P6\n0003 002\n255\n", 3, 2},  // leading zeros
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> data = bytes(c.header, size_t(c.w) * c.h * 3);
        RgbPicture picture;
        EXPECT_EQ(parsePpm(data.data(), data.size(), picture), "") << c.header;
        EXPECT_EQ(picture.width, c.w);
        EXPECT_EQ(picture.height, c.h);
        ASSERT_EQ(picture.rgb.size(), size_t(c.w) * c.h * 3);
        EXPECT_EQ(picture.rgb[0], 7);
    }
}

// The first pixel byte may itself be whitespace or '#': only the header is parsed for them.
TEST(Ppm, PixelDataStartsRightAfterOneSeparator) {
    const std::vector<uint8_t> data = bytes("P6\n1 1\n255\n", 0);
    std::vector<uint8_t> withPixels = data;
    withPixels.insert(withPixels.end(), {'\n', '#', ' '});
    RgbPicture picture;
    ASSERT_EQ(parsePpm(withPixels.data(), withPixels.size(), picture), "");
    EXPECT_EQ(picture.rgb, (std::vector<uint8_t>{'\n', '#', ' '}));
}

TEST(Ppm, RefusesWhatItCannotRead) {
    const struct {
        std::string header;
        size_t pixelBytes;
        const char* reason;
    } cases[] = {
        {"P3\n1 1\n255\n", 3, "not a binary PPM (P6) file"},
        {"P5\n1 1\n255\n", 3, "not a binary PPM (P6) file"},
        {"", 0, "not a binary PPM (P6) file"},
        {"P6\n1 1\n65535\n", 6, "only PPM files with maxval 255 are supported"},
        {"P6\n1 1\n15\n", 3, "only PPM files with maxval 255 are supported"},
        {"P6\n1 1\n99999999999999999999\n", 3, "only PPM files with maxval 255 are supported"},
        {"P6\n2 2\n255\n", 11, "PPM pixel data is cut off"},
        {"P6\n0 5\n255\n", 0, "PPM picture is empty"},
        {"P6\n70000 1\n255\n", 0, "PPM picture is wider or higher than 65535"},
        {"P6\n99999999999999999999 1\n255\n", 0, "PPM picture is wider or higher than 65535"},
        {"P6\n65535 65535\n255\n", 0, "PPM picture has too many pixels"},
        {"P6\n1 1\n", 0, "PPM header is incomplete"},
        {"P6\nx 1\n255\n", 0, "PPM header is incomplete"},
        {"P6\n1 1\n255", 0, "PPM header is malformed"},
        {"P6\n1 1\n255x", 3, "PPM header is malformed"},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> data = bytes(c.header, c.pixelBytes);
        RgbPicture picture;
        EXPECT_EQ(parsePpm(data.data(), data.size(), picture), c.reason) << c.header;
        EXPECT_EQ(picture.width, 0u);
        EXPECT_TRUE(picture.rgb.empty());
    }
}

TEST(Ppm, WritesWhatItReadsAndConvertsToGdiplusByteOrder) {
    RgbPicture picture;
    picture.width = 3;
    picture.height = 2;
    for (int i = 0; i < 18; ++i) picture.rgb.push_back(uint8_t(i * 13));
    const std::string path = testOutputPath("ppm-round-trip.ppm");
    ASSERT_TRUE(writePpmFile(path.c_str(), picture));
    RgbPicture back;
    ASSERT_EQ(readPpmFile(path.c_str(), back), "");
    EXPECT_EQ(back.width, 3u);
    EXPECT_EQ(back.height, 2u);
    EXPECT_EQ(back.rgb, picture.rgb);

    const std::vector<uint8_t> argb = toArgb(picture);
    ASSERT_EQ(argb.size(), 24u);
    // Pixel 1 is R 39, G 52, B 65: stored B, G, R, A.
    EXPECT_EQ(argb[4], 65);
    EXPECT_EQ(argb[5], 52);
    EXPECT_EQ(argb[6], 39);
    EXPECT_EQ(argb[7], 255);

    RgbPicture missing;
    EXPECT_NE(readPpmFile(testOutputPath("no-such-file.ppm").c_str(), missing), "");
}

}  // namespace
