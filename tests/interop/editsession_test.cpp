// What the user sees is what is saved: random editing sessions (frames added from GIF files with
// their own global tables, empty pauses, deleted, moved, made see-through, recoloured, the global
// table rearranged) are saved after every few steps, and every frame giflib decodes from the file
// has, pixel for pixel, the colours the canvas shows for it (the picture's display palette;
// see-through pixels stay see-through).
#include <gtest/gtest.h>

#include "edit/animationtools.h"
#include "edit/editor.h"
#include "support/giflib.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace {

// A random GIF file read back by our reader, as Add reads one.
void readRandomGif(TestRng& rng, int number, GifAnimation& doc) {
    GifAnimation made;
    randomDocument(rng, made, {3, 24, 0, 0});
    for (GifFrame& frame : made.frames) frame.comments.clear();  // giflib refuses empty comments
    const std::string path = testOutputPath("edit-session-source-" + std::to_string(number) + ".gif");
    ASSERT_TRUE(made.writeFile(path.c_str()));
    ASSERT_EQ(doc.readFile(path.c_str()), ReadOk);
}

// See-through is 0: no colour in the file or on the canvas.
void expectFileShowsCanvas(const GifAnimation& doc, const std::string& path) {
    GiflibFile gif = slurp(path);
    ASSERT_TRUE(gif) << path;
    ASSERT_EQ(size_t(gif->ImageCount), doc.frames.size());
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb;
        DGifSavedExtensionToGCB(gif.get(), int(i), &gcb);
        const IndexedBitmap& picture = *doc.frames[i].bitmap;
        for (uint32_t p = 0; p < picture.width() * picture.height(); ++p) {
            const uint32_t shown =
                picture.palette().entries[picture.at(p % picture.width(), p / picture.width())];
            const int index = image.RasterBits[p];
            const GifColorType c = map->Colors[index];
            const uint32_t file =
                index == gcb.TransparentColor ? 0 : 0xFF000000u | c.Red << 16 | c.Green << 8 | c.Blue;
            ASSERT_EQ(file, shown >> 24 ? shown | 0xFF000000u : 0) << "frame " << i << " pixel " << p;
        }
    }
}

}  // namespace

TEST(EditSession, EverySavedFrameHasTheColoursTheCanvasShows) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TestRng rng(seed);
        Editor editor;
        GifAnimation start;
        readRandomGif(rng, 0, start);
        editor.open(start, "");
        for (int step = 1; step <= 40; ++step) {
            const GifAnimation& doc = editor.document();
            const size_t count = doc.frames.size();
            const size_t index = count ? size_t(rng.upTo(int(count) - 1)) : 0;
            const int kind = rng.upTo(99);
            if (kind < 30 || count == 0) {
                GifAnimation added;
                readRandomGif(rng, step, added);
                editor.insertFrames(size_t(rng.upTo(int(count))), added, "Add Image");
            } else if (kind < 45) {
                editor.deleteFrame(index);
            } else if (kind < 60) {
                editor.moveFrame(index, rng.chance(50));
            } else if (kind < 80 && doc.frames[index].hasLocalTable) {
                FrameFields fields = FrameFields::of(doc.frames[index]);
                fields.transparent = !fields.transparent;
                fields.transparentIndex =
                    uint8_t(rng.upTo(int(doc.frames[index].localTable.entries.size()) - 1));
                editor.setFrameFields(index, fields, "Transparency");
            } else if (kind < 90 && doc.frames[index].hasLocalTable) {
                // As the palette editor's OK leaves a frame: a new table, the picture remapped.
                GifFrame recoloured = doc.frames[index];
                for (RgbColor& c : recoloured.localTable.entries) c = RgbColor(c.blue, c.red, c.green);
                refreshDisplayPalette(recoloured, doc);
                editor.replaceFrame(index, std::move(recoloured), "Palette");
            } else if (kind < 93) {
                GifAnimation empty;  // a pause: giflib must find every pixel see-through
                empty.frames.push_back(makeEmptyFrame(doc.screenWidth, doc.screenHeight));
                editor.insertFrames(index, empty, "Add Empty Image");
            } else if (kind < 96 && doc.hasGlobalTable) {
                // The global palette editor's OK with the table reversed: every frame on it remapped.
                const size_t n = std::min<size_t>(doc.globalTable.entries.size(), 256);
                ColorTable reversed;
                std::array<uint8_t, 256> remap;
                for (size_t i = 0; i < 256; ++i) remap[i] = uint8_t(i < n ? n - 1 - i : i);
                for (size_t i = 0; i < n; ++i) reversed.entries.push_back(doc.globalTable.entries[n - 1 - i]);
                editor.remapGlobalTable(reversed, remap, "Global Palette");
            } else if (editor.history().canUndo()) {
                editor.undo();
            }
            if (step % 5 == 0 && !editor.document().frames.empty()) {
                const std::string path = testOutputPath("edit-session.gif");
                ASSERT_TRUE(editor.save(path));
                ASSERT_NO_FATAL_FAILURE(expectFileShowsCanvas(editor.document(), path));
            }
        }
    }
}
