// Against other GIF programs: files ImageMagick and gifsicle make read as giflib reads them, and
// files we write (random documents, repaired tables, those files rewritten) read in giflib,
// ImageMagick and gifsicle as the document holds them. Then velmora-gif on the command line.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "bench/animations.h"
#include "gif/composer.h"
#include "imaging/ppm.h"
#include "imaging/reduction.h"
#include "support/gifbytes.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace {

const std::string kTool = VELMORA_GIF_TOOL;
const std::string kConvert = "/usr/bin/convert";  // /usr/local/bin/convert is not ImageMagick

std::string out(const std::string& name) { return testOutputPath("interop-" + name); }

// Runs a shell command; its standard output and error are read back into the strings.
int run(const std::string& command, std::string* stdOut = nullptr, std::string* stdErr = nullptr) {
    const int status = std::system(("(" + command + ") >" + out("stdout") + " 2>" + out("stderr")).c_str());
    const Bytes o = readWholeFile(out("stdout")), e = readWholeFile(out("stderr"));
    if (stdOut) *stdOut = std::string(o.begin(), o.end());
    if (stdErr) *stdErr = std::string(e.begin(), e.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GiflibFile = std::unique_ptr<GifFileType, GifCloser>;

GiflibFile slurp(const std::string& path) {
    int error = 0;
    GiflibFile gif(DGifOpenFileName(path.c_str(), &error));
    if (gif && DGifSlurp(gif.get()) != GIF_OK) gif.reset();
    return gif;
}

// Comments before one image: a comment block, continued by CONTINUE blocks. The NETSCAPE2.0
// count, -1 without one.
std::vector<std::string> comments(const SavedImage& image, int* loop) {
    std::vector<std::string> result;
    int function = 0;
    for (int i = 0; i < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& b = image.ExtensionBlocks[i];
        const std::string bytes(reinterpret_cast<const char*>(b.Bytes), size_t(b.ByteCount));
        const bool netscape = b.Function == APPLICATION_EXT_FUNC_CODE && bytes == "NETSCAPE2.0";
        if (b.Function != CONTINUE_EXT_FUNC_CODE) function = netscape ? -1 : b.Function;
        if (b.Function == COMMENT_EXT_FUNC_CODE) result.push_back(bytes);
        if (b.Function == CONTINUE_EXT_FUNC_CODE && function == COMMENT_EXT_FUNC_CODE) result.back() += bytes;
        if (b.Function == CONTINUE_EXT_FUNC_CODE && function == -1 && b.ByteCount >= 3 && b.Bytes[0] == 1)
            *loop = b.Bytes[1] | b.Bytes[2] << 8;
    }
    return result;
}

// giflib's view of the file at `path` is the document: a document read from that file, or one
// written to it (its tables padded as saved).
void expectGiflibSees(const std::string& path, const GifAnimation& doc) {
    GiflibFile gif = slurp(path);
    ASSERT_TRUE(gif) << "giflib cannot read " << path;
    EXPECT_EQ(gif->SWidth, doc.screenWidth);
    EXPECT_EQ(gif->SHeight, doc.screenHeight);
    EXPECT_EQ(gif->SBackGroundColor, doc.backgroundIndex);
    ASSERT_EQ(size_t(gif->ImageCount), doc.frames.size());
    int loop = -1;
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const GifFrame& frame = doc.frames[i];
        const SavedImage& image = gif->SavedImages[i];
        EXPECT_EQ(comments(image, &loop), frame.comments);
        EXPECT_EQ(std::tie(image.ImageDesc.Left, image.ImageDesc.Top),
            std::make_tuple(int(frame.left), int(frame.top)));
        ASSERT_EQ(std::tie(image.ImageDesc.Width, image.ImageDesc.Height),
            std::make_tuple(int(frame.width()), int(frame.height())));
        EXPECT_EQ(bool(image.ImageDesc.Interlace), frame.interlaced);
        EXPECT_EQ(image.ImageDesc.ColorMap != nullptr, frame.hasLocalTable);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        ASSERT_NE(map, nullptr);
        std::vector<RgbColor> colors;
        for (int c = 0; c < map->ColorCount; ++c) colors.emplace_back(map->Colors[c].Red,
            map->Colors[c].Green, map->Colors[c].Blue);
        EXPECT_TRUE(colors == savedColors(doc, i));
        for (uint32_t y = 0; y < frame.height(); ++y)  // giflib de-interlaces too
            ASSERT_EQ(0,
                std::memcmp(frame.bitmap->row(y), image.RasterBits + size_t(y) * frame.width(),
                frame.width())) << "row " << y;
        GraphicsControlBlock gcb{0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif.get(), int(i), &gcb);
        EXPECT_EQ(uint32_t(gcb.DisposalMode), frame.disposal & 7);
        EXPECT_EQ(gcb.DelayTime, frame.delay);
        EXPECT_EQ(gcb.TransparentColor, frame.transparent ? frame.transparentIndex : NO_TRANSPARENT_COLOR);
    }
    // 65535 plays goes out as 65535, the count a file with 65535 reads as.
    const int repeats = doc.loopCount == 65535 ? 65535 : doc.loopCount - 1;
    EXPECT_EQ(loop, doc.loopForever ? 0 : doc.loopCount >= 2 ? repeats : -1);
}

// ImageMagick decodes each frame on its own in RGBA: the colour of its index in the saved table,
// see-through exactly on the transparent index. gifsicle --info accepts the file without a word.
void expectImageMagickAndGifsicleSee(const std::string& path, const GifAnimation& doc) {
    std::string text, errors;
    ASSERT_EQ(run("gifsicle --info '" + path + "'", &text, &errors), 0) << errors;
    EXPECT_EQ(errors, "");
    const std::string images = std::to_string(doc.frames.size()) +
                               (doc.frames.size() > 1 ? " images" : " image");
    EXPECT_TRUE(doc.frames.empty() || text.find(images) != std::string::npos) << text;
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "ImageMagick, frame " << i);
        const GifFrame& frame = doc.frames[i];
        ASSERT_EQ(run(kConvert + " '" + path + "[" + std::to_string(i) + "]' -depth 8 rgba:-", &text,
            &errors), 0) << errors;
        EXPECT_EQ(errors, "");
        ASSERT_EQ(text.size(), size_t(frame.width()) * frame.height() * 4);
        const std::vector<RgbColor> colors = savedColors(doc, i);
        for (uint32_t p = 0; p < frame.width() * frame.height(); ++p) {
            const uint8_t index = frame.bitmap->at(p % frame.width(), p / frame.width());
            const uint8_t* rgba = reinterpret_cast<const uint8_t*>(text.data()) + 4 * size_t(p);
            const bool seeThrough = frame.transparent && index == frame.transparentIndex;
            ASSERT_EQ(rgba[3], seeThrough ? 0 : 255) << "pixel " << p;
            ASSERT_TRUE(seeThrough || RgbColor(rgba[0], rgba[1], rgba[2]) == colors[index]) << "pixel " << p;
        }
    }
}

// Files from ImageMagick and gifsicle: our reader sees what giflib sees; rewritten by velmora-gif,
// giflib sees the same document in the copy.
TEST(OtherProgramsFiles, ReadAsGiflibReadsThemAndSurviveARewrite) {
    // 300 frames of 32 x 24 with a moving dot, written plainly, then optimised by gifsicle into
    // sub-rectangles at offsets with transparency. ImageMagick gives the second of two frames its
    // own table; gifsicle interlaces, disposes to previous and loses detail on request.
    GifBytes raw;
    raw.header().screen(32, 24,
        0x82).colors({0, 0xFFFFFF, 0xFF0000, 0xC8, 0x28C828, 0x808080, 0x101010, 0xFFFF00});
    for (int f = 0; f < 300; ++f) {
        Bytes pixels(32 * 24);
        for (int p = 0; p < 32 * 24; ++p) {
            const int x = p % 32 - f % 32, y = p / 32 - 12;
            pixels[size_t(p)] = uint8_t(x * x + y * y < 20 ? 2 + f % 3 : (p / 32 / 6) % 2 ? 3 : 6);
        }
        raw.graphicControl(0x04, 4, 0).imageDescriptor(0, 0, 32, 24).imageData(3,
            referenceLzwEncode(pixels, 3));
    }
    writeTestFile("interop-raw.gif", raw.trailer().bytes());
    // Streams that do not clear once the code table is full, which our encoder never makes.
    std::mt19937 rng(99);
    Bytes noise(300 * 200);
    for (auto& p : noise) p = uint8_t(rng());
    writeTestFile("interop-deferred.gif",
        GifBytes().header().screen(300, 200, 0x87).table(256).imageDescriptor(0, 0, 300, 200)
                                               .imageData(8,
                                                   referenceLzwEncode(noise, 8, true)).trailer().bytes());
    const std::string c = kConvert;
    const std::string recipes[] = {
        c + " -delay 20 -size 32x32 gradient:red-yellow gradient:blue-green -loop 3 $OUT",
        "gifsicle -O2 --loopcount=forever " + out("raw.gif") + " -o $OUT",
        "gifsicle -O2 " + out("raw.gif") + " '#0-9' |"
        " gifsicle --interlace --disposal=previous --comment hi -o $OUT",
        c + " -seed 3 -size 1920x1080 plasma:fractal -colors 200 $OUT && gifsicle --lossy=60 -b $OUT",
        "cp " + out("deferred.gif") + " $OUT",
    };
    int n = 0;
    for (const std::string& recipe : recipes) {
        SCOPED_TRACE(recipe);
        const std::string theirs = out("theirs-" + std::to_string(n) + ".gif"),
            ours = out("ours-" + std::to_string(n++) + ".gif");
        std::string errors;
        ASSERT_EQ(run("OUT='" + theirs + "'; " + recipe, nullptr, &errors), 0) << errors;
        GifAnimation doc;
        ASSERT_EQ(doc.readFile(theirs.c_str()), ReadOk);
        expectGiflibSees(theirs, doc);
        ASSERT_EQ(run(kTool + " rewrite '" + theirs + "' '" + ours + "'", nullptr, &errors), 0) << errors;
        expectGiflibSees(ours, doc);
    }
}

// giflib's DGifSlurp reads the byte after an empty extension chain as one more sub-block length,
// so documents shown to it carry no empty comment; ImageMagick and gifsicle read those.
TEST(OurFiles, ReadInGiflibImageMagickAndGifsicle) {
    std::vector<GifAnimation> docs(142);
    TestRng rng(4242);
    for (int i = 0; i < 140; ++i) randomDocument(rng, docs[size_t(i)], {3, 40, 5, i % 5 ? 700 : 300});
    // Tables a GIF cannot express, and indices beyond a table: the saved table is padded with black.
    const int repairs[][3] = {{0, -1, 3}, {300, -1, 256}};
    for (int r = 0; r < 2; ++r) {  // local entries, global entries (-1: none), index limit
        GifAnimation& doc = docs[size_t(140 + r)];
        doc.hasGlobalTable = repairs[r][1] >= 0;
        for (int i = 0; i < repairs[r][1]; ++i) doc.globalTable.entries.emplace_back(uint8_t(i), 200,
            uint8_t(i * 3));
        for (int f = 0; f < 2; ++f) {
            GifFrame& frame = doc.frames.emplace_back();
            frame.bitmap = IndexedBitmap::create(37, 23);
            frame.interlaced = f == 1;
            for (uint32_t p = 0; p < 37 * 23; ++p)
                frame.bitmap->row(p / 37)[p % 37] = uint8_t(rng.upTo(repairs[r][2] - 1));
            frame.hasLocalTable = repairs[r][0] >= 0;
            for (int i = 0; i < repairs[r][0]; ++i) frame.localTable.entries.emplace_back(100, uint8_t(i), 7);
        }
    }
    for (size_t d = 0; d < docs.size(); ++d) {
        SCOPED_TRACE(testing::Message() << "document " << d);
        GifAnimation& doc = docs[d];
        const std::string path = out("written.gif");
        if (d % 5 == 0 || d >= 140) {
            ASSERT_TRUE(doc.writeFile(path.c_str()));
            expectImageMagickAndGifsicleSee(path, doc);
        }
        if (doc.frames.empty()) continue;  // DGifSlurp refuses a GIF without an image
        for (GifFrame& frame : doc.frames) {
            std::vector<std::string>& c = frame.comments;
            c.erase(std::remove(c.begin(), c.end(), ""), c.end());
        }
        ASSERT_TRUE(doc.writeFile(path.c_str()));
        expectGiflibSees(path, doc);
    }
}

// quantize: giflib sees one frame at (0, 0) on a screen the picture's size, every pixel in the
// colour the in-process reduction gave it. A gradient with noise has far more than 256 colours.
TEST(CommandLine, QuantizeAsGiflibSeesIt) {
    const uint32_t w = 211, h = 97;
    RgbPicture picture;
    picture.width = w, picture.height = h;
    std::mt19937 rng(w);
    for (uint32_t p = 0, x = 0, y = 0; p < w * h; ++p, x = p % w, y = p / w)
        picture.rgb.insert(picture.rgb.end(),
            {uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t(x * y + rng() % 16)});
    ASSERT_TRUE(writePpmFile(out("in.ppm").c_str(), picture));
    ASSERT_EQ(run(kTool + " quantize " + out("in.ppm") + " " + out("quantized.gif")), 0);
    const std::vector<uint8_t> argb = toArgb(picture);
    const ReducedImage expected = reduceArgbPicture(argb.data(), w, h, int32_t(w * 4));
    GiflibFile gif = slurp(out("quantized.gif"));
    ASSERT_TRUE(gif && expected.bitmap);
    ASSERT_EQ(std::tie(gif->SWidth, gif->SHeight, gif->ImageCount), std::make_tuple(int(w), int(h), 1));
    const SavedImage& image = gif->SavedImages[0];
    EXPECT_EQ(std::tie(image.ImageDesc.Left, image.ImageDesc.Top, image.ImageDesc.Width),
        std::make_tuple(0, 0, int(w)));
    ASSERT_NE(image.ImageDesc.ColorMap, nullptr);  // the palette travels as a local table
    for (uint32_t p = 0; p < w * h; ++p) {
        const uint8_t index = image.RasterBits[p];
        ASSERT_EQ(index, expected.bitmap->at(p % w, p / w)) << p;
        const GifColorType& got = image.ImageDesc.ColorMap->Colors[index];
        ASSERT_EQ(RgbColor(got.Red, got.Green, got.Blue), expected.colors.entries[index]) << p;
    }
}

// Every failure exits with status 1 and one line on standard error.
TEST(CommandLine, FailuresGiveStatusOneAndOneLine) {
    // `message` is part of the line.
    const struct { std::string arguments; const char* message; } cases[] = {
        {"info", "usage"}, {"frames " + out("missing.gif") + " " + out("frames"), "cannot open"},
        {"optimize " + out("missing.gif") + " " + out("o.gif"), "cannot open"},
        {"optimize " + testDataPath("panels-sample.gif") + " /no/such/folder/o.gif", "cannot write"}};
    for (const auto& c : cases) {
        std::string errors;
        EXPECT_EQ(run(kTool + " " + c.arguments, nullptr, &errors), 1) << c.arguments;
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << c.arguments << ": " << errors;
    }
}

}  // namespace

// optimize, then ImageMagick's -coalesce: each frame of the result as ImageMagick composes it is
// the picture our composer gives for the input (any colour where both are see-through).
TEST(CommandLine, OptimizedFilesCoalesceInImageMagickAsTheInputComposes) {
    std::vector<GifAnimation> docs(4);
    animations::makeSprite(docs[0], 2);
    animations::makeClip(docs[1], animations::syntheticPhoto(120, 80), 4);
    animations::makeScreen(docs[2], 4);
    TestRng rng(17);
    randomDocument(rng, docs[3], {8, 30, 0, 0});
    docs[3].screenWidth = docs[3].screenHeight = 32;
    for (GifFrame& f : docs[3].frames) f.left %= 30, f.top %= 30, f.disposal %= 4;
    for (GifAnimation& doc : docs) {
        SCOPED_TRACE(testing::Message() << "document " << &doc - docs.data());
        ASSERT_TRUE(doc.writeFile(out("unoptimized.gif").c_str()));
        std::string said;
        ASSERT_EQ(run(kTool + " optimize " + out("unoptimized.gif") + " " + out("optimized.gif"), &said), 0);
        EXPECT_NE(said.find("after"), std::string::npos) << said;
        // A first frame without a transparent colour would give ImageMagick an opaque canvas.
        ASSERT_EQ(run(kConvert + " " + out("optimized.gif") + " -alpha set -background none -coalesce -depth 8 rgba:" +
                      out("frames.rgba")),
                  0);
        const Bytes rgba = readWholeFile(out("frames.rgba"));
        const auto expected = velmora::composeFrames(doc);
        const size_t screen = size_t(doc.screenWidth) * doc.screenHeight;
        ASSERT_EQ(rgba.size(), expected.size() * screen * 4);
        for (size_t p = 0; p < rgba.size() / 4; ++p) {
            const uint8_t* got = &rgba[4 * p];
            const uint32_t seen = got[3] ? 0xFF000000u | got[0] << 16 | got[1] << 8 | got[2] : 0;
            ASSERT_EQ(seen, expected[p / screen][p % screen]) << "pixel " << p;
        }
    }
}
