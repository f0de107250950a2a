// The optimiser against a composer written here, plainly and apart from gif/composer.cpp: every
// optimised animation must show the same pictures for the same delays, save to no more bytes,
// and gain nothing from a second pass.
#include "gif/optimizer.h"

#include <gtest/gtest.h>

#include <functional>

#include "bench/animations.h"
#include "gif/composer.h"
#include "support/gifbytes.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace {

using Pictures = std::vector<std::vector<uint32_t>>;

// Canvas of the screen, see-through (0) at first; each frame's pixels in its table's colour
// (black past its end) unless transparent; then "background" clears, "previous" restores.
Pictures compose(const GifAnimation& doc) {
    const int W = doc.screenWidth, H = doc.screenHeight;
    Pictures shown;
    std::vector<uint32_t> canvas(size_t(W) * H, 0);
    for (const GifFrame& f : doc.frames) {
        const std::vector<uint32_t> before = canvas;
        const auto& table = (f.hasLocalTable ? f.localTable : doc.globalTable).entries;
        for (int y = 0; y < int(f.height()); ++y)
            for (int x = 0; x < int(f.width()); ++x) {
                const int cx = f.left + x, cy = f.top + y, i = f.bitmap->at(uint32_t(x), uint32_t(y));
                if (cx >= W || cy >= H || (f.transparent && i == f.transparentIndex)) continue;
                canvas[size_t(cy) * W + cx] =
                    i < int(table.size()) && i < 256 ? table[size_t(i)].toArgb() : 0xFF000000u;
            }
        shown.push_back(canvas);
        for (int y = f.top; y < f.top + int(f.height()) && y < H; ++y)
            for (int x = f.left; x < f.left + int(f.width()) && x < W; ++x) {
                if (f.disposal == 2) canvas[size_t(y) * W + x] = 0;
                if (f.disposal == 3) canvas[size_t(y) * W + x] = before[size_t(y) * W + x];
            }
    }
    return shown;
}

uint64_t savedBytes(GifAnimation& doc) {
    const std::string path = testOutputPath("optimizer-saved.gif");
    EXPECT_TRUE(doc.writeFile(path.c_str()));
    return readWholeFile(path).size();
}

// Optimises `in` and checks all the promises; returns the result for more checks.
velmora::OptimizeResult checkOptimize(GifAnimation& in, GifAnimation& out, const std::string& what) {
    SCOPED_TRACE(what);
    const velmora::OptimizeResult result = velmora::optimizeAnimation(in, out);
    const Pictures expected = compose(in);
    EXPECT_EQ(velmora::composeFrames(in), expected);
    EXPECT_EQ(compose(out), expected);
    EXPECT_EQ(result.bytesBefore, savedBytes(in));
    EXPECT_EQ(result.bytesAfter, savedBytes(out));
    EXPECT_LE(result.bytesAfter, result.bytesBefore);
    EXPECT_EQ(out.loopForever, in.loopForever);
    EXPECT_EQ(out.loopCount, in.loopCount);
    for (size_t i = 0; i < in.frames.size() && i < out.frames.size(); ++i) {
        EXPECT_EQ(out.frames[i].delay, in.frames[i].delay);
        EXPECT_EQ(out.frames[i].comments, in.frames[i].comments);
    }
    GifAnimation again;
    const velmora::OptimizeResult second = velmora::optimizeAnimation(out, again);
    EXPECT_FALSE(second.changed) << result.bytesAfter << " then " << second.bytesAfter;
    return result;
}

TEST(Optimizer, EveryKindOfBenchmarkAnimationComposesTheSameAndShrinks) {
    const RgbPicture photo = animations::syntheticPhoto(200, 120);
    const std::pair<const char*, std::function<void(GifAnimation&)>> kinds[] = {
        {"screen", [](GifAnimation& d) { animations::makeScreen(d, 4); }},
        {"video", [&](GifAnimation& d) { animations::makeVideo(d, photo, 4); }},
        {"cinemagraph", [&](GifAnimation& d) { animations::makeCinemagraph(d, photo, 4); }},
        {"clip", [&](GifAnimation& d) { animations::makeClip(d, photo, 4); }},
        {"cartoon", [](GifAnimation& d) { animations::makeCartoon(d, 4); }},
        {"sprite", [](GifAnimation& d) { animations::makeSprite(d, 4); }},
        {"spinner", [](GifAnimation& d) { animations::makeSpinner(d, 4); }},
        {"chart", [](GifAnimation& d) { animations::makeChart(d, 4); }},
        {"ticker", [](GifAnimation& d) { animations::makeTicker(d, 4); }},
    };
    for (const auto& [name, make] : kinds) {
        GifAnimation in, out;
        make(in);
        EXPECT_TRUE(checkOptimize(in, out, name).changed) << name;
    }
}

// Frames drawn from a row of digits (indices into a 10-colour global table; '.' is the
// transparent index 9): left, top, width, disposal, digits.
struct Sketch {
    int left, top, width, disposal;
    const char* pixels;
};

void draw(GifAnimation& doc, std::initializer_list<Sketch> frames) {
    doc.screenWidth = doc.screenHeight = 6;
    doc.hasGlobalTable = true;
    for (int i = 0; i < 10; ++i)
        doc.globalTable.entries.emplace_back(uint8_t(i * 25), uint8_t(200 - i * 9), 7);
    for (const Sketch& s : frames) {
        GifFrame& f = doc.frames.emplace_back();
        const std::string text = s.pixels;
        f.bitmap = IndexedBitmap::create(uint32_t(s.width), uint32_t(text.size() / size_t(s.width)));
        for (size_t i = 0; i < text.size(); ++i)
            f.bitmap->row(uint32_t(i / size_t(s.width)))[i % size_t(s.width)] =
                text[i] == '.' ? 9 : uint8_t(text[i] - '0');
        f.left = uint16_t(s.left), f.top = uint16_t(s.top), f.disposal = uint32_t(s.disposal);
        f.transparent = text.find('.') != std::string::npos, f.transparentIndex = 9;
        f.delay = uint16_t(doc.frames.size());
    }
}

TEST(Optimizer, DisposalAndTransparencyCorners) {
    const struct {
        const char* what;
        std::initializer_list<Sketch> frames;
    } cases[] = {
        {"pixels turn see-through again",
         {{0, 0, 3, 1, "111111111"}, {1, 1, 3, 1, "..2..2..."}, {4, 4, 2, 0, "3333"}}},
        {"previous restores a see-through canvas",
         {{0, 0, 2, 3, "4444"}, {2, 2, 2, 3, "5555"}, {0, 0, 6, 1, ".........6.."}}},
        {"previous over previous",
         {{0, 0, 6, 1, "777777777777"}, {1, 0, 2, 3, "8.8."}, {2, 0, 2, 3, ".8.8"}, {3, 0, 2, 0, "88"}}},
        {"background after a see-through frame",
         {{0, 0, 4, 2, "1.1..1.1"}, {0, 0, 4, 2, ".2.22.2."}, {0, 0, 4, 0, "...."}}},
        {"nothing changes",
         {{0, 0, 6, 0, "123456123456"}, {0, 0, 6, 0, "123456123456"}, {0, 0, 6, 0, "123456123456"}}},
        {"frames past the screen and the table",
         {{4, 4, 4, 0, "7777777777777777"}, {5, 0, 3, 2, "999888"}, {9, 9, 1, 0, "1"}}},
    };
    for (const auto& c : cases) {
        GifAnimation in, out;
        draw(in, c.frames);
        in.globalTable.entries.resize(8);  // indices 8 and 9 draw black unless transparent
        checkOptimize(in, out, c.what);
    }
}

TEST(Optimizer, RandomDocumentsComposeTheSame) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        TestRng rng(seed);
        GifAnimation in, out;
        randomDocument(rng, in, RandomDocumentShape{6, 24, 0, 0});
        // Small screens that the frames overlap, so that every disposal shows.
        in.screenWidth = uint16_t(rng.between(1, 30));
        in.screenHeight = uint16_t(rng.between(1, 30));
        for (GifFrame& f : in.frames) {
            f.left = uint16_t(rng.upTo(in.screenWidth + 2));
            f.top = uint16_t(rng.upTo(in.screenHeight + 2));
            if (rng.chance(50)) f.disposal = uint32_t(rng.between(1, 3));
        }
        checkOptimize(in, out, "seed " + std::to_string(seed));
    }
}

}  // namespace
