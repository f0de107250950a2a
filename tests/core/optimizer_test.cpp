// The optimiser: every optimised animation must compose to the same pictures for the same delays
// (the composer is held to ImageMagick in the interop tests), save to no more bytes than it
// counted, and gain nothing from a second pass.
#include "gif/optimizer.h"

#include <gtest/gtest.h>

#include <functional>

#include "bench/animations.h"
#include "gif/composer.h"
#include "gif/playback.h"
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

// Delays 0 and 1 play as 10 hundredths; times count from the start; the loop count ends the play
// on the last frame, and looping forever never ends.
TEST(Playback, ScheduleSaysWhichFrameIsDueAndWhenThePlayEnds) {
    GifAnimation doc;
    for (uint16_t delay : {0, 1, 5, 20}) doc.frames.emplace_back().delay = delay;
    doc.loopCount = 2;
    const std::tuple<bool, uint64_t, uint64_t> cases[] = {
        {false, 0, 0},   {false, 99, 0},  {false, 100, 1}, {false, 249, 2},      {false, 250, 3},
        {false, 450, 4}, {false, 899, 7}, {false, 900, 7}, {true, 450001, 4000}, {true, 450250, 4003},
    };
    for (const auto& [forever, ms, step] : cases) {
        doc.loopForever = forever;
        const velmora::PlaySchedule schedule(doc);
        EXPECT_EQ(schedule.stepAt(ms), step) << forever << " " << ms;
        EXPECT_TRUE(schedule.startOf(step) <= ms && schedule.hasStep(step));
    }
    doc.loopForever = false;
    const velmora::PlaySchedule twice(doc);
    EXPECT_EQ(twice.end() * 100 + twice.hasStep(8) * 10 + twice.frameOf(6), 90002u);
    doc.loopCount = 0;  // no looping block: one play
    EXPECT_EQ(velmora::PlaySchedule(doc).end(), 450u);
}

// Frames asked for in any order, with room to keep every canvas or none, come out as the composer
// draws them, disposal and all; a thumbnail is the canvas's first pixel at its corner.
TEST(Playback, KeptCanvasesAreTheComposedOnes) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        TestRng rng(seed);
        GifAnimation doc;
        randomDocument(rng, doc, RandomDocumentShape{6, 24, 0, 0});
        doc.screenWidth = doc.screenHeight = 20;
        for (GifFrame& f : doc.frames) {
            f.left = uint16_t(rng.upTo(16));
            f.disposal = uint32_t(rng.upTo(4));
        }
        const auto composed = velmora::composeFrames(doc);
        if (composed.empty()) continue;
        for (size_t budget : {size_t(0), size_t(1) << 30}) {
            velmora::ComposedFrames frames(budget);
            for (size_t i = 0; i < 3 * composed.size(); ++i) {
                const size_t frame = size_t(rng.upTo(int(composed.size()) - 1));
                EXPECT_EQ(frames.canvasOf(doc, frame), composed[frame])
                    << seed << " " << budget << " " << frame;
            }
            uint32_t w = 0, h = 0;
            const velmora::Pixel corner = frames.thumbnailOf(doc, 0, 7, &w, &h)[0];
            EXPECT_EQ(std::tie(corner, w, h), std::make_tuple(composed[0][0], 7u, 7u));
        }
    }
}

}  // namespace
