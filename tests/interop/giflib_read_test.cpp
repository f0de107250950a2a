// Our reader against giflib's DGifSlurp on GIFs that ImageMagick and gifsicle make at test time,
// and `velmora-gif frames` against the same giflib decode.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gif/document.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"

namespace {

const char* const kConvert = "/usr/bin/convert";  // /usr/local/bin/convert is not ImageMagick

struct GifFileCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GiflibFile = std::unique_ptr<GifFileType, GifFileCloser>;

GiflibFile slurp(const std::string& path) {
    int error = 0;
    GiflibFile gif(DGifOpenFileName(path.c_str(), &error));
    if (!gif) return nullptr;
    if (DGifSlurp(gif.get()) != GIF_OK) return nullptr;
    return gif;
}

bool run(const std::string& command) {
    const int status = std::system((command + " 2>/dev/null").c_str());
    return status == 0;
}

std::string out(const std::string& name) {
    return testOutputPath("interop-" + name);
}

std::vector<RgbColor> colors(const ColorMapObject* map) {
    std::vector<RgbColor> result;
    if (!map) return result;
    for (int i = 0; i < map->ColorCount; ++i) {
        result.emplace_back(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    }
    return result;
}

// Comment texts and the NETSCAPE2.0 count as giflib's extension blocks hold them: a block with a
// function code starts an extension, CONTINUE_EXT_FUNC_CODE blocks carry its further sub-blocks.
struct Extensions {
    std::vector<std::string> comments;
    bool hasLoop = false;
    int loop = -1;
};

Extensions extensions(int count, const ExtensionBlock* blocks) {
    Extensions e;
    int current = 0;
    bool netscape = false;
    for (int i = 0; i < count; ++i) {
        const ExtensionBlock& b = blocks[i];
        const std::string bytes(reinterpret_cast<const char*>(b.Bytes), size_t(b.ByteCount));
        if (b.Function != CONTINUE_EXT_FUNC_CODE) {
            current = b.Function;
            netscape = current == APPLICATION_EXT_FUNC_CODE && bytes == "NETSCAPE2.0";
            if (netscape) e.hasLoop = true;
            if (current == COMMENT_EXT_FUNC_CODE) e.comments.push_back(bytes);
            continue;
        }
        if (current == COMMENT_EXT_FUNC_CODE) e.comments.back() += bytes;
        if (netscape && b.ByteCount >= 3 && b.Bytes[0] == 1) e.loop = b.Bytes[1] | b.Bytes[2] << 8;
    }
    return e;
}

void compareWithGiflib(const std::string& path) {
    SCOPED_TRACE(path);
    GiflibFile gif = slurp(path);
    ASSERT_TRUE(gif) << "giflib cannot read it";
    GifAnimation doc;
    ASSERT_EQ(doc.readFile(path.c_str()), ReadOk);

    EXPECT_EQ(doc.screenWidth, std::min(gif->SWidth, 2000));
    EXPECT_EQ(doc.screenHeight, std::min(gif->SHeight, 2000));
    EXPECT_EQ(doc.backgroundIndex, gif->SBackGroundColor);
    EXPECT_EQ(doc.hasGlobalTable, gif->SColorMap != nullptr);
    EXPECT_EQ(doc.globalTable.entries, colors(gif->SColorMap));
    ASSERT_EQ(doc.frames.size(), size_t(gif->ImageCount));

    bool hasLoop = false;
    int loop = -1;
    std::vector<std::string> trailing = extensions(gif->ExtensionBlockCount, gif->ExtensionBlocks).comments;
    for (int i = 0; i < gif->ImageCount; ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const SavedImage& image = gif->SavedImages[i];
        const GifFrame& frame = doc.frames[size_t(i)];
        const Extensions e = extensions(image.ExtensionBlockCount, image.ExtensionBlocks);
        if (e.hasLoop) {
            hasLoop = true;
            if (e.loop >= 0) loop = e.loop;
        }
        EXPECT_EQ(frame.comments, e.comments);
        EXPECT_EQ(frame.left, image.ImageDesc.Left);
        EXPECT_EQ(frame.top, image.ImageDesc.Top);
        ASSERT_EQ(frame.width(), uint32_t(image.ImageDesc.Width));
        ASSERT_EQ(frame.height(), uint32_t(image.ImageDesc.Height));
        EXPECT_EQ(frame.interlaced, image.ImageDesc.Interlace);
        EXPECT_EQ(frame.hasLocalTable, image.ImageDesc.ColorMap != nullptr);
        if (frame.hasLocalTable) {
            EXPECT_EQ(frame.localTable.entries, colors(image.ImageDesc.ColorMap));
        }

        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif.get(), i, &gcb) == GIF_OK) {
            EXPECT_EQ(frame.disposal, uint32_t(gcb.DisposalMode));
            EXPECT_EQ(frame.delay, gcb.DelayTime);
            EXPECT_EQ(frame.transparent, gcb.TransparentColor != NO_TRANSPARENT_COLOR);
            EXPECT_EQ(frame.transparentIndex,
                      gcb.TransparentColor == NO_TRANSPARENT_COLOR ? 0 : gcb.TransparentColor);
        } else {
            EXPECT_EQ(frame.disposal, 0u);
            EXPECT_EQ(frame.delay, 0);
            EXPECT_FALSE(frame.transparent);
        }
        // giflib de-interlaces in DGifSlurp, so both hold rows top to bottom.
        size_t differing = 0;
        for (uint32_t y = 0; y < frame.height(); ++y) {
            const uint8_t* theirs = image.RasterBits + size_t(y) * frame.width();
            if (std::memcmp(frame.bitmap->row(y), theirs, frame.width()) != 0) ++differing;
        }
        EXPECT_EQ(differing, 0u) << "rows differ";
    }
    EXPECT_EQ(doc.pendingComments, trailing);
    if (!hasLoop) {
        EXPECT_EQ(doc.loopCount, 1);
        EXPECT_FALSE(doc.loopForever);
    } else if (loop == 0) {
        EXPECT_TRUE(doc.loopForever);
    } else {
        EXPECT_EQ(int(doc.loopCount), std::min(65535, loop < 0 ? 2 : loop + 1));
    }
}

Bytes fileBytes(const std::string& path) {
    return readWholeFile(path);
}

void compareFramesTool(const std::string& path) {
    SCOPED_TRACE(path);
    GiflibFile gif = slurp(path);
    ASSERT_TRUE(gif);
    const std::string folder = path + ".frames";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(run(std::string(VELMORA_GIF_TOOL) + " frames '" + path + "' '" + folder + "'"));
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04d", i);
        std::ostringstream header;
        header << "P5\n" << image.ImageDesc.Width << " " << image.ImageDesc.Height << "\n255\n";
        const std::string h = header.str();
        Bytes expected(h.begin(), h.end());
        expected.insert(expected.end(), image.RasterBits,
                        image.RasterBits + size_t(image.ImageDesc.Width) * size_t(image.ImageDesc.Height));
        EXPECT_EQ(fileBytes(folder + name + ".pgm"), expected) << name;

        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        std::string palette;
        for (const RgbColor& c : colors(map)) {
            palette +=
                std::to_string(c.red) + " " + std::to_string(c.green) + " " + std::to_string(c.blue) + "\n";
        }
        const Bytes pal = fileBytes(folder + name + ".pal");
        EXPECT_EQ(std::string(pal.begin(), pal.end()), palette) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "/frame-" +
                                         std::to_string(10000 + gif->ImageCount).substr(1) + ".pgm"));
}

// Files made once for all tests of this executable.
class GeneratedGifs : public testing::Test {
protected:
    static std::vector<std::string> files;

    static void SetUpTestSuite() {
        const std::string c = kConvert;
        struct Recipe {
            const char* name;
            std::string command;
        };
        // 300 frames of 32 x 24 with a moving dot, written plainly by the test's builder, then
        // re-encoded and optimised by gifsicle (sub-rectangles at offsets, transparency, disposals).
        GifBytes raw;
        raw.header()
            .screen(32, 24, 0x82)
            .colors({0x000000, 0xFFFFFF, 0xFF0000, 0x0000C8, 0x28C828, 0x808080, 0x101010, 0xFFFF00});
        for (int f = 0; f < 300; ++f) {
            Bytes pixels(32 * 24);
            for (int y = 0; y < 24; ++y) {
                for (int x = 0; x < 32; ++x) {
                    const bool dot = (x - f % 32) * (x - f % 32) + (y - 12) * (y - 12) < 20;
                    pixels[size_t(y * 32 + x)] = uint8_t(dot ? 2 + f % 3 : (y / 6) % 2 ? 3 : 6);
                }
            }
            raw.graphicControl(0x04, 4, 0)
                .imageDescriptor(0, 0, 32, 24)
                .imageData(3, referenceLzwEncode(pixels, 3));
        }
        raw.trailer();
        writeTestFile("interop-animation-300-raw.gif", raw.bytes());
        const Recipe recipes[] = {
            {"interlaced.gif", c + " -size 64x37 gradient:red-blue -interlace GIF " + out("interlaced.gif")},
            {"transparent.gif",
             c + " -size 40x30 xc:white -fill red -draw 'circle 20,15 20,5' -transparent white " +
                 out("transparent.gif")},
            {"local-tables.gif",
             c + " -delay 20 -size 32x32 gradient:red-yellow gradient:blue-green -loop 0 " +
                 out("local-tables.gif")},
            {"one-pixel.gif", c + " -size 1x1 xc:red " + out("one-pixel.gif")},
            {"one-by-300.gif", c + " -size 1x300 gradient:black-white " + out("one-by-300.gif")},
            {"colors-256.gif",
             c + " -size 128x96 -seed 5 plasma:fractal -colors 256 " + out("colors-256.gif")},
            {"full-hd.gif", c + " -size 1920x1080 -seed 3 plasma:fractal -colors 256 " + out("full-hd.gif")},
            {"comments.gif", c + " -size 20x10 xc:green -set comment 'first frame, a comment' -loop 4 " +
                                 out("comments.gif")},
            {"animation-300.gif", "gifsicle -O2 --loopcount=forever " + out("animation-300-raw.gif") +
                                      " -o " + out("animation-300.gif")},
            {"previous.gif",
             "gifsicle --disposal=previous --delay=7 --loopcount=2 --comment 'gifsicle says hi' " +
                 out("local-tables.gif") + " -o " + out("previous.gif")},
            {"lossy.gif", "gifsicle --lossy=60 " + out("full-hd.gif") + " -o " + out("lossy.gif")},
            {"interlaced-gifsicle.gif", "gifsicle --interlace " + out("animation-300.gif") + " '#0-9' -o " +
                                            out("interlaced-gifsicle.gif")},
        };
        for (const Recipe& r : recipes) {
            if (run(r.command))
                files.push_back(out(r.name));
            else
                ADD_FAILURE() << "could not make " << r.name << ": " << r.command;
        }
    }
};
std::vector<std::string> GeneratedGifs::files;

TEST_F(GeneratedGifs, TheFilesCoverWhatTheyShould) {
    // Guards the recipes: each file must show the feature it stands for.
    auto find = [](const char* name) { return out(name); };
    GiflibFile local = slurp(find("local-tables.gif"));
    ASSERT_TRUE(local);
    EXPECT_NE(local->SavedImages[1].ImageDesc.ColorMap, nullptr);
    GiflibFile interlaced = slurp(find("interlaced.gif"));
    ASSERT_TRUE(interlaced);
    EXPECT_TRUE(interlaced->SavedImages[0].ImageDesc.Interlace);
    GiflibFile colors256 = slurp(find("colors-256.gif"));
    ASSERT_TRUE(colors256);
    const ColorMapObject* map =
        colors256->SColorMap ? colors256->SColorMap : colors256->SavedImages[0].ImageDesc.ColorMap;
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->ColorCount, 256);
    GiflibFile animation = slurp(find("animation-300.gif"));
    ASSERT_TRUE(animation);
    EXPECT_EQ(animation->ImageCount, 300);
    GraphicsControlBlock gcb;
    bool offset = false, transparent = false;
    for (int i = 0; i < animation->ImageCount; ++i) {
        offset |=
            animation->SavedImages[i].ImageDesc.Left != 0 || animation->SavedImages[i].ImageDesc.Top != 0;
        if (DGifSavedExtensionToGCB(animation.get(), i, &gcb) == GIF_OK) {
            transparent |= gcb.TransparentColor != NO_TRANSPARENT_COLOR;
        }
    }
    EXPECT_TRUE(offset);
    EXPECT_TRUE(transparent);
    GiflibFile transparentFile = slurp(find("transparent.gif"));
    ASSERT_TRUE(transparentFile);
    ASSERT_EQ(DGifSavedExtensionToGCB(transparentFile.get(), 0, &gcb), GIF_OK);
    EXPECT_NE(gcb.TransparentColor, NO_TRANSPARENT_COLOR);
}

TEST_F(GeneratedGifs, ReaderAgreesWithGiflib) {
    ASSERT_GE(files.size(), 12u);
    for (const std::string& path : files) compareWithGiflib(path);
}

TEST_F(GeneratedGifs, FramesCommandAgreesWithGiflib) {
    for (const std::string& path : files) compareFramesTool(path);
}

TEST(GiflibAgreement, HandEncodedStreamsIncludingDeferredClear) {
    // Streams from the plain test encoder, with and without clears once the table is full:
    // giflib and our reader must both give back the original pixels.
    std::mt19937 random(99);
    const struct {
        uint16_t width, height;
        int codeSize;
        bool deferred;
    } cases[] = {{300, 200, 8, false}, {300, 200, 8, true}, {64, 64, 2, true}, {500, 100, 5, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " deferred " << c.deferred);
        Bytes pixels(size_t(c.width) * c.height);
        for (uint8_t& p : pixels) p = uint8_t(random() % (1u << c.codeSize));
        GifBytes gif;
        gif.header()
            .screen(c.width, c.height, uint8_t(0x80 | (c.codeSize - 1)))
            .table(1 << c.codeSize)
            .imageDescriptor(0, 0, c.width, c.height)
            .imageData(uint8_t(c.codeSize), referenceLzwEncode(pixels, c.codeSize, c.deferred))
            .trailer();
        const std::string path = writeTestFile("interop-hand.gif", gif.bytes());
        GiflibFile theirs = slurp(path);
        ASSERT_TRUE(theirs);
        EXPECT_EQ(Bytes(theirs->SavedImages[0].RasterBits, theirs->SavedImages[0].RasterBits + pixels.size()),
                  pixels);
        compareWithGiflib(path);
    }
}

TEST(FramesCommand, ErrorsGiveStatusOneAndOneLine) {
    const std::string tool = VELMORA_GIF_TOOL;
    const std::string notGif = writeTestFile("interop-not-a-gif.gif", {'P', 'N', 'G', 0, 0, 0, 0});
    const std::string badVersion = writeTestFile("interop-bad-version.gif", {'G', 'I', 'F', '9', '0', 'a'});
    const struct {
        std::string arguments;
        const char* message;
    } cases[] = {
        {"frames " + out("does-not-exist.gif") + " " + out("x"), "cannot open"},
        {"frames " + notGif + " " + out("x"), "is not a GIF file"},
        {"info " + badVersion, "version other than 87a and 89a"},
        {"info", "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string errors = out("stderr.txt");
        const int status = std::system((tool + " " + c.arguments + " >/dev/null 2>" + errors).c_str());
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
        const Bytes text = readWholeFile(errors);
        const std::string message(text.begin(), text.end());
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
}

}  // namespace
