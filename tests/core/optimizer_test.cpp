// The optimiser: every optimised animation must compose to the same pictures for the same delays
// (the composer is held to ImageMagick in the interop tests), save to no more bytes than it
// counted, and gain nothing from a second pass.
#include "gif/optimizer.h"

#include <gtest/gtest.h>

#include <functional>

#include "bench/animations.h"
#include "gif/composer.h"
#include "support/gifbytes.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace {

uint64_t savedBytes(GifAnimation& doc) {
    const std::string path = testOutputPath("optimizer-saved.gif");
    EXPECT_TRUE(doc.writeFile(path.c_str()));
    return readWholeFile(path).size();
}

bool checkOptimize(GifAnimation& in, const std::string& what) {
    SCOPED_TRACE(what);
    GifAnimation out, again;
    const velmora::OptimizeResult result = velmora::optimizeAnimation(in, out);
    EXPECT_EQ(velmora::composeFrames(out), velmora::composeFrames(in));
    EXPECT_EQ(result.bytesBefore, savedBytes(in));
    EXPECT_EQ(result.bytesAfter, savedBytes(out));
    EXPECT_LE(result.bytesAfter, result.bytesBefore);
    EXPECT_EQ(std::tie(out.loopForever, out.loopCount), std::tie(in.loopForever, in.loopCount));
    for (size_t i = 0; i < in.frames.size() && i < out.frames.size(); ++i)
        EXPECT_EQ(std::tie(out.frames[i].delay, out.frames[i].comments),
                  std::tie(in.frames[i].delay, in.frames[i].comments));
    EXPECT_FALSE(velmora::optimizeAnimation(out, again).changed);
    return result.changed;
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
        GifAnimation in;
        make(in);
        EXPECT_TRUE(checkOptimize(in, name)) << name;
    }
}

// Small screens that the frames overlap, so that every disposal shows, and indices past the tables.
TEST(Optimizer, RandomDocumentsComposeTheSame) {
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        TestRng rng(seed);
        GifAnimation in;
        randomDocument(rng, in, RandomDocumentShape{6, 24, 0, 0});
        in.screenWidth = uint16_t(rng.between(1, 30));
        in.screenHeight = uint16_t(rng.between(1, 30));
        for (GifFrame& f : in.frames) {
            f.left = uint16_t(rng.upTo(in.screenWidth + 2));
            f.top = uint16_t(rng.upTo(in.screenHeight + 2));
            if (rng.chance(50)) f.disposal = uint32_t(rng.between(1, 3));
        }
        checkOptimize(in, "seed " + std::to_string(seed));
    }
}

}  // namespace
