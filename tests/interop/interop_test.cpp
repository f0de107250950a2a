// Against other GIF programs: files ImageMagick and gifsicle make read as giflib reads them, files
// we write (random documents, tables repaired among them, those files rewritten) read in giflib and
// gifsicle as the document holds them, and optimised files coalesce in ImageMagick to what our composer
// shows for the input.
#include <gtest/gtest.h>

#include <cstring>

#include "bench/animations.h"
#include "gif/composer.h"
#include "support/gifbytes.h"
#include "support/giflib.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace {

const std::string kTool = VELMORA_GIF_TOOL;
const std::string kConvert = "/usr/bin/convert";  // /usr/local/bin/convert is not ImageMagick

std::string out(const std::string& name) {
    return testOutputPath("interop-" + name);
}

// Runs a shell command; its standard output and error are read back into the strings.
int run(const std::string& command, std::string* stdOut = nullptr, std::string* stdErr = nullptr) {
    const int status = std::system(("(" + command + ") >" + out("stdout") + " 2>" + out("stderr")).c_str());
    const Bytes o = readWholeFile(out("stdout")), e = readWholeFile(out("stderr"));
    if (stdOut) *stdOut = std::string(o.begin(), o.end());
    if (stdErr) *stdErr = std::string(e.begin(), e.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Comments before one image: a comment block, continued by CONTINUE blocks. The NETSCAPE2.0
// count goes to `loop`.
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
    EXPECT_EQ(std::tie(gif->SWidth, gif->SHeight, gif->SBackGroundColor),
              std::make_tuple(int(doc.screenWidth), int(doc.screenHeight), int(doc.backgroundIndex)));
    ASSERT_EQ(size_t(gif->ImageCount), doc.frames.size());
    int loop = -1;
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const GifFrame& frame = doc.frames[i];
        const GifImageDesc& desc = gif->SavedImages[i].ImageDesc;
        EXPECT_EQ(comments(gif->SavedImages[i], &loop), frame.comments);
        ASSERT_EQ(std::tie(desc.Left, desc.Top, desc.Width, desc.Height),
                  std::make_tuple(int(frame.left), int(frame.top), int(frame.width()), int(frame.height())));
        EXPECT_EQ(std::make_pair(bool(desc.Interlace), desc.ColorMap != nullptr),
                  std::make_pair(frame.interlaced, frame.hasLocalTable));
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        ASSERT_NE(map, nullptr);
        std::vector<RgbColor> colors;
        for (int c = 0; c < map->ColorCount; ++c)
            colors.emplace_back(map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue);
        EXPECT_TRUE(colors == savedColors(doc, i));
        for (uint32_t y = 0; y < frame.height(); ++y)  // giflib de-interlaces too
            ASSERT_EQ(0,
                      std::memcmp(frame.bitmap->row(y),
                                  gif->SavedImages[i].RasterBits + size_t(y) * frame.width(), frame.width()))
                << "row " << y;
        GraphicsControlBlock gcb{0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif.get(), int(i), &gcb);
        EXPECT_EQ(std::make_tuple(uint32_t(gcb.DisposalMode), gcb.DelayTime, gcb.TransparentColor),
                  std::make_tuple(frame.disposal & 7, int(frame.delay),
                                  frame.transparent ? frame.transparentIndex : NO_TRANSPARENT_COLOR));
    }
    // 65535 plays goes out as 65535, the count a file with 65535 reads as.
    const int repeats = doc.loopCount == 65535 ? 65535 : doc.loopCount - 1;
    EXPECT_EQ(loop, doc.loopForever ? 0 : doc.loopCount >= 2 ? repeats : -1);
}

// Files from ImageMagick and gifsicle: our reader sees what giflib sees; rewritten by velmora-gif,
// giflib sees the same document in the copy.
TEST(OtherProgramsFiles, ReadAsGiflibReadsThemAndSurviveARewrite) {
    // A sprite walking, written by us, then optimised by gifsicle into sub-rectangles at offsets
    // with transparency. ImageMagick gives the second of two frames its own table; gifsicle
    // interlaces, disposes to previous and loses detail on request.
    GifAnimation sprite;
    animations::makeSprite(sprite, 2);
    ASSERT_TRUE(sprite.writeFile(out("raw.gif").c_str()));
    // Streams that do not clear once the code table is full, which our encoder never makes.
    std::mt19937 rng(99);
    Bytes noise(300 * 200);
    for (auto& p : noise) p = uint8_t(rng());
    GifBytes deferred;
    deferred.header().screen(300, 200, 0x87).table(256).imageDescriptor(0, 0, 300, 200);
    writeTestFile("interop-deferred.gif",
                  deferred.imageData(8, referenceLzwEncode(noise, 8, true)).trailer().bytes());
    const std::string recipes[] = {
        kConvert + " -delay 20 -size 32x32 gradient:red-yellow gradient:blue-green -loop 3 $OUT",
        "gifsicle -O2 --loopcount=forever " + out("raw.gif") + " -o $OUT",
        "gifsicle -O2 " + out("raw.gif") +
            " '#0-5' | gifsicle --interlace --disposal=previous --comment hi -o $OUT",
        kConvert + " -seed 3 -size 1920x1080 plasma:fractal -colors 200 $OUT && gifsicle --lossy=60 -b $OUT",
        "cp " + out("deferred.gif") + " $OUT",
    };
    for (const std::string& recipe : recipes) {
        SCOPED_TRACE(recipe);
        const std::string theirs = out("theirs.gif"), ours = out("ours.gif");
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
// so documents shown to it carry no empty comment; gifsicle reads those.
TEST(OurFiles, ReadInGiflibImageMagickAndGifsicle) {
    std::vector<GifAnimation> docs(140);
    TestRng rng(4242);
    for (int i = 0; i < 140; ++i) randomDocument(rng, docs[size_t(i)], {3, 40, 5, i % 5 ? 700 : 300});
    for (size_t d = 0; d < docs.size(); ++d) {
        SCOPED_TRACE(testing::Message() << "document " << d);
        GifAnimation& doc = docs[d];
        const std::string path = out("written.gif");
        std::string text, errors;
        if (d % 5 == 0) {  // gifsicle reads them as they are, empty comments and all
            ASSERT_TRUE(doc.writeFile(path.c_str()));
            ASSERT_EQ(run("gifsicle --info '" + path + "'", &text, &errors), 0) << errors;
            EXPECT_EQ(errors, "");
            const size_t n = doc.frames.size();
            EXPECT_TRUE(!n ||
                        text.find(std::to_string(n) + (n > 1 ? " images" : " image")) != std::string::npos);
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

// velmora-gif optimize, then ImageMagick's -coalesce: each frame of the result as ImageMagick
// composes it is the picture our composer gives for the input (any colour where both are
// see-through).
TEST(CommandLine, OptimizedFilesCoalesceInImageMagickAsTheInputComposes) {
    std::vector<GifAnimation> docs(6);
    animations::makeSprite(docs[0], 2);
    animations::makeClip(docs[1], animations::syntheticPhoto(120, 80), 4);
    animations::makeScreen(docs[2], 4);
    TestRng rng(17);
    for (size_t d = 3; d < docs.size(); ++d) {  // every disposal on a screen the frames overlap
        randomDocument(rng, docs[d], {8, 30, 0, 0});
        docs[d].screenWidth = docs[d].screenHeight = 32;
        for (GifFrame& f : docs[d].frames) f.left %= 30, f.top %= 30, f.disposal %= 4;
    }
    for (GifAnimation& doc : docs) {
        SCOPED_TRACE(testing::Message() << "document " << &doc - docs.data());
        ASSERT_TRUE(doc.writeFile(out("unoptimized.gif").c_str()));
        std::string said;
        ASSERT_EQ(run(kTool + " optimize " + out("unoptimized.gif") + " " + out("optimized.gif"), &said), 0);
        EXPECT_NE(said.find("after"), std::string::npos) << said;
        // A first frame without a transparent colour would give ImageMagick an opaque canvas.
        ASSERT_EQ(run(kConvert + " " + out("optimized.gif") +
                      " -alpha set -background none -coalesce -depth 8 rgba:" + out("frames.rgba")),
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

}  // namespace
