// Files we write, read by other programs: giflib (DGifSlurp) and ImageMagick must see the same
// indices, colours and settings as the document holds; gifsicle --info must accept them without
// a warning; velmora-gif rewrite must keep what giflib sees in files made by other tools.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "gif/document.h"
#include "support/gifbytes.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GiflibFile = std::unique_ptr<GifFileType, GifCloser>;

GiflibFile slurp(const std::string& path, std::string& problem) {
    int error = 0;
    GiflibFile gif(DGifOpenFileName(path.c_str(), &error));
    if (!gif) {
        problem = std::string("open: ") + GifErrorString(error);
        return nullptr;
    }
    if (DGifSlurp(gif.get()) != GIF_OK) {
        problem = std::string("slurp: ") + GifErrorString(gif->Error);
        return nullptr;
    }
    return gif;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a shell command; its standard output and error go to files read back into the strings.
int run(const std::string& command, std::string* out, std::string* err) {
    const std::string outPath = testOutputPath("giflib-write-stdout.bin");
    const std::string errPath = testOutputPath("giflib-write-stderr.txt");
    const int status = std::system(("(" + command + ") >" + outPath + " 2>" + errPath).c_str());
    if (out) *out = readText(outPath);
    if (err) *err = readText(errPath);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The comments giflib saw before one image: each starts with a comment block, continued by
// CONTINUE blocks.
std::vector<std::string> giflibComments(const SavedImage& image) {
    std::vector<std::string> comments;
    bool inComment = false;
    for (int i = 0; i < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = image.ExtensionBlocks[i];
        const std::string bytes(reinterpret_cast<const char*>(block.Bytes), size_t(block.ByteCount));
        if (block.Function == COMMENT_EXT_FUNC_CODE) {
            comments.push_back(bytes);
            inComment = true;
        } else if (block.Function == CONTINUE_EXT_FUNC_CODE && inComment) {
            comments.back() += bytes;
        } else {
            inComment = false;
        }
    }
    return comments;
}

// The looping count of the NETSCAPE2.0 block giflib saw, or -1 without one.
int giflibLoopCount(const GifFileType& gif) {
    auto scan = [](const ExtensionBlock* blocks, int count) {
        for (int i = 0; i + 1 < count; ++i) {
            if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && blocks[i].ByteCount == 11 &&
                std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0 &&
                blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE && blocks[i + 1].ByteCount == 3 &&
                blocks[i + 1].Bytes[0] == 1)
                return blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;
        }
        return -1;
    };
    if (gif.ImageCount > 0)
        return scan(gif.SavedImages[0].ExtensionBlocks, gif.SavedImages[0].ExtensionBlockCount);
    return scan(gif.ExtensionBlocks, gif.ExtensionBlockCount);
}

void expectColorMap(const ColorMapObject* map, const std::vector<RgbColor>& expected) {
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(size_t(map->ColorCount), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const GifColorType& c = map->Colors[i];
        ASSERT_EQ(RgbColor(c.Red, c.Green, c.Blue), expected[i]) << "entry " << i;
    }
}

void expectGiflibSeesDocument(const std::string& path, const GifAnimation& doc) {
    std::string problem;
    if (doc.frames.empty()) {
        // DGifSlurp refuses every GIF without an image; the screen is still read and the blocks
        // up to the trailer must parse.
        int error = 0;
        GiflibFile gif(DGifOpenFileName(path.c_str(), &error));
        ASSERT_TRUE(gif) << GifErrorString(error);
        EXPECT_EQ(gif->SWidth, doc.screenWidth);
        EXPECT_EQ(gif->SHeight, doc.screenHeight);
        EXPECT_EQ(DGifSlurp(gif.get()), GIF_ERROR);
        EXPECT_EQ(gif->Error, D_GIF_ERR_NO_IMAG_DSCR);
        return;
    }
    GiflibFile gif = slurp(path, problem);
    ASSERT_TRUE(gif) << problem;
    EXPECT_EQ(gif->SWidth, doc.screenWidth);
    EXPECT_EQ(gif->SHeight, doc.screenHeight);
    EXPECT_EQ(gif->SBackGroundColor, doc.backgroundIndex);
    const int loop = giflibLoopCount(*gif);
    const int expectedLoop = doc.loopForever ? 0 : doc.loopCount >= 2 ? doc.loopCount - 1 : -1;
    EXPECT_EQ(loop, expectedLoop);

    bool anyWithoutLocal = false;
    for (const GifFrame& f : doc.frames) anyWithoutLocal = anyWithoutLocal || !f.hasLocalTable;
    EXPECT_EQ(gif->SColorMap != nullptr, doc.hasGlobalTable || anyWithoutLocal);

    ASSERT_EQ(size_t(gif->ImageCount), doc.frames.size());
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const GifFrame& frame = doc.frames[i];
        const SavedImage& image = gif->SavedImages[i];
        EXPECT_EQ(image.ImageDesc.Left, frame.left);
        EXPECT_EQ(image.ImageDesc.Top, frame.top);
        ASSERT_EQ(uint32_t(image.ImageDesc.Width), frame.width());
        ASSERT_EQ(uint32_t(image.ImageDesc.Height), frame.height());
        EXPECT_EQ(bool(image.ImageDesc.Interlace), frame.interlaced);
        EXPECT_EQ(image.ImageDesc.ColorMap != nullptr, frame.hasLocalTable);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        expectColorMap(map, savedColors(doc, i));
        // DGifSlurp puts interlaced rows back in display order.
        for (uint32_t y = 0; y < frame.height(); ++y) {
            ASSERT_TRUE(std::equal(frame.bitmap->row(y), frame.bitmap->row(y) + frame.width(),
                                   image.RasterBits + size_t(y) * frame.width()))
                << "row " << y;
        }
        GraphicsControlBlock gcb;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), int(i), &gcb), GIF_OK);
        EXPECT_EQ(uint32_t(gcb.DisposalMode), frame.disposal & 7);
        EXPECT_EQ(gcb.DelayTime, frame.delay);
        EXPECT_EQ(gcb.TransparentColor, frame.transparent ? frame.transparentIndex : NO_TRANSPARENT_COLOR);
        EXPECT_EQ(giflibComments(image), frame.comments);
    }
}

// ImageMagick decodes each frame on its own (its own size, in RGBA): every pixel must show the
// colour of its index in the table the file gives it, see-through exactly on the transparent index.
void expectImageMagickSeesDocument(const std::string& path, const GifAnimation& doc) {
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "ImageMagick, frame " << i);
        const GifFrame& frame = doc.frames[i];
        std::string rgba, errors;
        const int status =
            run("/usr/bin/convert '" + path + "[" + std::to_string(i) + "]' -depth 8 rgba:-", &rgba, &errors);
        ASSERT_EQ(status, 0) << errors;
        EXPECT_EQ(errors, "");
        ASSERT_EQ(rgba.size(), size_t(frame.width()) * frame.height() * 4);
        const std::vector<RgbColor> colors = savedColors(doc, i);
        for (uint32_t y = 0; y < frame.height(); ++y) {
            for (uint32_t x = 0; x < frame.width(); ++x) {
                const uint8_t index = frame.bitmap->at(x, y);
                const uint8_t* p =
                    reinterpret_cast<const uint8_t*>(rgba.data()) + (size_t(y) * frame.width() + x) * 4;
                const bool seeThrough = frame.transparent && index == frame.transparentIndex;
                ASSERT_EQ(p[3], seeThrough ? 0 : 255) << x << "," << y;
                if (!seeThrough) {
                    ASSERT_EQ(RgbColor(p[0], p[1], p[2]), colors[index]) << x << "," << y;
                }
            }
        }
    }
}

void expectGifsicleAccepts(const std::string& path, size_t frames) {
    std::string info, errors;
    ASSERT_EQ(run("gifsicle --info '" + path + "'", &info, &errors), 0) << errors;
    EXPECT_EQ(errors, "");
    if (frames == 0) return;  // gifsicle lists nothing for a file without images
    std::ostringstream images;
    images << frames << (frames == 1 ? " image" : " images");
    EXPECT_NE(info.find(images.str()), std::string::npos) << info;
}

// giflib's DGifSlurp reads the byte after an empty extension chain as one more sub-block length,
// so documents shown to it carry no empty comment.
void withoutEmptyComments(GifAnimation& doc) {
    for (GifFrame& frame : doc.frames) {
        auto& c = frame.comments;
        c.erase(std::remove(c.begin(), c.end(), std::string()), c.end());
    }
}

TEST(GiflibReadsOurFiles, RandomDocuments) {
    TestRng rng(4242);
    const std::string path = testOutputPath("giflib-write-random.gif");
    for (int run = 0; run < 120; ++run) {
        SCOPED_TRACE(testing::Message() << "document " << run);
        GifAnimation doc;
        randomDocument(rng, doc);
        withoutEmptyComments(doc);
        ASSERT_TRUE(doc.writeFile(path.c_str()));
        expectGiflibSeesDocument(path, doc);
    }
}

// An empty comment is written as its terminator alone (21 FE 00), a valid extension that
// gifsicle and ImageMagick read; giflib's DGifSlurp does not, so it is checked apart.
TEST(ImageMagickAndGifsicleReadOurFiles, EmptyComments) {
    GifAnimation doc;
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(3, 2);
    frame.hasLocalTable = true;
    frame.localTable.entries = {RgbColor(10, 20, 30), RgbColor(200, 100, 0)};
    frame.bitmap->row(1)[2] = 1;
    frame.comments = {"", "after an empty one", ""};
    doc.frames.push_back(frame);
    doc.frames.push_back(frame);
    doc.screenWidth = 3;
    doc.screenHeight = 2;
    const std::string path = testOutputPath("giflib-write-empty-comments.gif");
    ASSERT_TRUE(doc.writeFile(path.c_str()));
    expectGifsicleAccepts(path, doc.frames.size());
    expectImageMagickSeesDocument(path, doc);
    GifAnimation back;
    ASSERT_EQ(back.readFile(path.c_str()), ReadOk);
    ASSERT_EQ(back.frames.size(), 2u);
    EXPECT_EQ(back.frames[1].comments, frame.comments);
}

TEST(ImageMagickAndGifsicleReadOurFiles, RandomDocuments) {
    TestRng rng(777);
    RandomDocumentShape shape;
    shape.maxFrames = 3;
    shape.bigSide = 300;
    const std::string path = testOutputPath("giflib-write-im.gif");
    for (int run = 0; run < 25; ++run) {
        SCOPED_TRACE(testing::Message() << "document " << run);
        GifAnimation doc;
        randomDocument(rng, doc, shape);
        ASSERT_TRUE(doc.writeFile(path.c_str()));
        expectGifsicleAccepts(path, doc.frames.size());
        expectImageMagickSeesDocument(path, doc);
    }
}

// The tables a GIF cannot express, and indices beyond a table: every reader sees the frame as it
// is, with black where the document had no colour.
TEST(RepairedTables, ReadCleanlyEverywhere) {
    struct Case {
        const char* name;
        int localEntries;   // -1: no local table
        int globalEntries;  // -1: no global table
        int indexLimit;     // pixels use indices below this
    };
    const Case cases[] = {
        {"no table at all", -1, -1, 7},           {"no table, any byte", -1, -1, 256},
        {"empty local table", 0, -1, 3},          {"empty global table", -1, 0, 20},
        {"local of 300 entries", 300, -1, 256},   {"global of 300 entries", -1, 300, 256},
        {"local of 5, indices to 40", 5, -1, 41}, {"global of 2, indices to 200", -1, 2, 201},
    };
    TestRng rng(31);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifAnimation doc;
        if (c.globalEntries >= 0) {
            doc.hasGlobalTable = true;
            for (int i = 0; i < c.globalEntries; ++i)
                doc.globalTable.entries.emplace_back(uint8_t(i), 200, uint8_t(i * 3));
        }
        for (int f = 0; f < 2; ++f) {
            GifFrame frame;
            frame.bitmap = IndexedBitmap::create(37, 23);
            frame.interlaced = f == 1;
            for (uint32_t y = 0; y < 23; ++y)
                for (uint32_t x = 0; x < 37; ++x)
                    frame.bitmap->row(y)[x] = uint8_t(rng.upTo(c.indexLimit - 1));
            if (c.localEntries >= 0) {
                frame.hasLocalTable = true;
                for (int i = 0; i < c.localEntries; ++i)
                    frame.localTable.entries.emplace_back(100, uint8_t(i), 7);
            }
            doc.frames.push_back(std::move(frame));
        }
        const std::string path = testOutputPath("giflib-write-repaired.gif");
        ASSERT_TRUE(doc.writeFile(path.c_str()));
        expectGiflibSeesDocument(path, doc);
        expectGifsicleAccepts(path, doc.frames.size());
        expectImageMagickSeesDocument(path, doc);
    }
}

// Files made by other tools, rewritten by velmora-gif: giflib sees the same pictures in both.
TEST(RewriteCommand, KeepsWhatGiflibSees) {
    struct Case {
        const char* name;
        std::string make;  // shell command writing $OUT
    };
    const Case cases[] = {
        {"ImageMagick plasma, 64 colours",
         "/usr/bin/convert -seed 3 -size 60x45 plasma:fractal -colors 64 \"$OUT\""},
        {"ImageMagick animation with delays and loop",
         "/usr/bin/convert -delay 7 -size 40x30 xc:red xc:blue gradient:white-black -loop 3 \"$OUT\""},
        {"gifsicle interlaced, local tables, endless",
         "/usr/bin/convert -size 50x40 gradient:yellow-navy -colors 100 \"$OUT.a.gif\" && "
         "/usr/bin/convert -seed 1 -size 30x20 plasma: -colors 9 \"$OUT.b.gif\" && "
         "gifsicle --interlace --loopcount=forever --comment 'made by gifsicle' \"$OUT.a.gif\" "
         "--disposal previous --position 5,6 \"$OUT.b.gif\" > \"$OUT\""},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = testOutputPath("rewrite-in-" + std::to_string(index) + ".gif");
        const std::string out = testOutputPath("rewrite-out-" + std::to_string(index) + ".gif");
        ++index;
        std::string errors;
        ASSERT_EQ(run("OUT='" + in + "'; " + c.make, nullptr, &errors), 0) << errors;
        ASSERT_EQ(
            run(std::string(VELMORA_GIF_TOOL) + " rewrite '" + in + "' '" + out + "'", nullptr, &errors), 0)
            << errors;

        std::string problem;
        GiflibFile before = slurp(in, problem);
        ASSERT_TRUE(before) << problem;
        GiflibFile after = slurp(out, problem);
        ASSERT_TRUE(after) << problem;
        ASSERT_EQ(after->ImageCount, before->ImageCount);
        EXPECT_EQ(giflibLoopCount(*after), giflibLoopCount(*before));
        for (int i = 0; i < before->ImageCount; ++i) {
            SCOPED_TRACE(testing::Message() << "frame " << i);
            const SavedImage& a = before->SavedImages[i];
            const SavedImage& b = after->SavedImages[i];
            ASSERT_EQ(b.ImageDesc.Width, a.ImageDesc.Width);
            ASSERT_EQ(b.ImageDesc.Height, a.ImageDesc.Height);
            EXPECT_EQ(b.ImageDesc.Left, a.ImageDesc.Left);
            EXPECT_EQ(b.ImageDesc.Top, a.ImageDesc.Top);
            EXPECT_EQ(b.ImageDesc.Interlace, a.ImageDesc.Interlace);
            const size_t pixels = size_t(a.ImageDesc.Width) * size_t(a.ImageDesc.Height);
            ASSERT_TRUE(std::equal(a.RasterBits, a.RasterBits + pixels, b.RasterBits));
            const ColorMapObject* mapA = a.ImageDesc.ColorMap ? a.ImageDesc.ColorMap : before->SColorMap;
            const ColorMapObject* mapB = b.ImageDesc.ColorMap ? b.ImageDesc.ColorMap : after->SColorMap;
            ASSERT_TRUE(mapA && mapB);
            for (size_t p = 0; p < pixels; ++p) {
                const GifColorType& ca = mapA->Colors[a.RasterBits[p]];
                const GifColorType& cb = mapB->Colors[b.RasterBits[p]];
                ASSERT_TRUE(ca.Red == cb.Red && ca.Green == cb.Green && ca.Blue == cb.Blue) << "pixel " << p;
            }
            GraphicsControlBlock ga{}, gb{};
            const bool hadControl = DGifSavedExtensionToGCB(before.get(), i, &ga) == GIF_OK;
            ASSERT_EQ(DGifSavedExtensionToGCB(after.get(), i, &gb), GIF_OK);
            if (hadControl) {
                EXPECT_EQ(gb.DisposalMode, ga.DisposalMode);
                EXPECT_EQ(gb.DelayTime, ga.DelayTime);
                EXPECT_EQ(gb.TransparentColor, ga.TransparentColor);
            }
            EXPECT_EQ(giflibComments(b), giflibComments(a));
        }
    }
}

TEST(RewriteCommand, RefusesWhatItCannotReadOrWrite) {
    const std::string notGif = writeTestFile("rewrite-not-a-gif.gif", {'P', 'N', 'G', 1, 2, 3});
    const std::string good = testOutputPath("rewrite-good.gif");
    GifAnimation doc;
    doc.frames.emplace_back().bitmap = IndexedBitmap::create(2, 2);
    ASSERT_TRUE(doc.writeFile(good.c_str()));
    struct Case {
        const char* name;
        std::string arguments;
    };
    const Case cases[] = {
        {"not a GIF", "'" + notGif + "' '" + testOutputPath("rewrite-x.gif") + "'"},
        {"missing input",
         "'" + testOutputPath("no-such-file.gif") + "' '" + testOutputPath("rewrite-x.gif") + "'"},
        {"output folder missing", "'" + good + "' '" + testOutputPath("no-such-folder/x.gif") + "'"},
        {"output is a folder", "'" + good + "' '" + testOutputPath("") + "'"},
        {"one argument", "'" + good + "'"},
    };
    for (const Case& c : cases) {
        std::string errors;
        EXPECT_EQ(run(std::string(VELMORA_GIF_TOOL) + " rewrite " + c.arguments, nullptr, &errors), 1)
            << c.name;
        EXPECT_NE(errors, "") << c.name;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << c.name << ": " << errors;
    }
}

}  // namespace
