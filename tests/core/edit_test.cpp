// The editing layer: every kind of edit undone and redone back to the very same document, the
// "changed" flag against what a save would write, merged steps and the history's bounds.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "edit/animationtools.h"
#include "edit/editor.h"
#include "palette/palettemodel.h"
#include "support/randomdocument.h"
#include "support/testpaths.h"

namespace {

// Everything a document holds, the pictures and display palettes included, as one string.
std::string describe(const GifAnimation& doc) {
    std::ostringstream out;
    const DocumentFields d = DocumentFields::of(doc);
    out << d.screenWidth << ' ' << d.screenHeight << ' ' << d.autoScreenSize << ' ' << int(d.backgroundIndex)
        << ' ' << d.loopCount << ' ' << d.loopForever << ' ' << doc.hasGlobalTable
        << doc.globalTable.entries.size() << '\n';
    for (const GifFrame& frame : doc.frames) {
        const FrameFields f = FrameFields::of(frame);
        out << f.left << ',' << f.top << ',' << f.transparent << int(f.transparentIndex) << ',' << f.delay
            << ',' << f.interlaced << f.disposal << ',' << f.title << ',' << f.comments.size()
            << frame.hasLocalTable;
        for (const std::string& c : f.comments) out << '|' << c;
        for (const RgbColor& c : frame.localTable.entries) out << ' ' << c.packed();
        const IndexedBitmap& b = *frame.bitmap;
        out << ' ' << b.width() << 'x' << b.height() << ':';
        for (uint32_t y = 0; y < b.height(); ++y)
            out.write(reinterpret_cast<const char*>(b.row(y)), b.width());
        for (uint32_t i = 0; i < b.palette().count; ++i) out << b.palette().entries[i] << ' ';
        out << '\n';
    }
    return out.str();
}

// A random document of at least `minimumFrames` frames.
void randomDoc(uint32_t seed, GifAnimation& doc, size_t minimumFrames = 1) {
    TestRng rng(seed);
    while (doc.frames.size() < minimumFrames) randomDocument(rng, doc, {4, 20, 0, 0});
}

void openRandom(Editor& editor, uint32_t seed) {
    GifAnimation doc;
    randomDoc(seed, doc, 3);
    editor.open(doc, "");
}

FrameFields fieldsOf(const Editor& e, size_t i) {
    return FrameFields::of(e.document().frames.at(i));
}

// An edit, and a document of its own it may take over.
using EditFn = std::function<bool(Editor&, GifAnimation&)>;
EditFn frameEdit(size_t index, void (*change)(FrameFields&)) {
    return [=](Editor& e, GifAnimation&) {
        FrameFields f = fieldsOf(e, index);
        change(f);
        return e.setFrameFields(index, f, "Frame");
    };
}
EditFn documentEdit(void (*change)(DocumentFields&)) {
    return [=](Editor& e, GifAnimation&) {
        DocumentFields d = DocumentFields::of(e.document());
        change(d);
        return e.setDocumentFields(d, "Document");
    };
}

TEST(EditTest, EveryEditUndoesAndRedoesToTheSameDocument) {
    // clang-format off
    const std::vector<std::pair<const char*, EditFn>> edits = {
        {"offset", frameEdit(1, [](FrameFields& f) { f.left += 3, f.top = 7; })},
        {"delay", frameEdit(0, [](FrameFields& f) { f.delay = 555; })},
        {"transparency", frameEdit(2, [](FrameFields& f) { f.transparent = !f.transparent, f.transparentIndex = 1; })},
        {"interlace+disposal", frameEdit(1, [](FrameFields& f) { f.interlaced = !f.interlaced, f.disposal = 3; })},
        {"comments", frameEdit(0, [](FrameFields& f) { f.comments.push_back("new"); })},
        {"screen+loop", documentEdit([](DocumentFields& d) {
             d.screenWidth = 99, d.loopCount = 4, d.loopForever = !d.loopForever; })},
        {"auto size", documentEdit([](DocumentFields& d) { d.autoScreenSize = true; })},
        {"add", [](Editor& e, GifAnimation& d) { return e.insertFrames(1, d, "Add Image"); }},
        {"replace", [](Editor& e, GifAnimation& d) { return e.replaceFrame(1, d.frames[0], "Palette"); }},
        {"replace all", [](Editor& e, GifAnimation& d) { return e.replaceAnimation(d, "Optimize"); }},
        {"delete first", [](Editor& e, GifAnimation&) { return e.deleteFrame(0); }},
        {"delete last", [](Editor& e, GifAnimation&) { return e.deleteFrame(e.document().frames.size() - 1); }},
        {"move up", [](Editor& e, GifAnimation&) { return e.moveFrame(2, true); }},
        {"move down", [](Editor& e, GifAnimation&) { return e.moveFrame(0, false); }},
        {"delays", [](Editor& e, GifAnimation&) {
             return e.setDelays(std::vector<uint16_t>(e.document().frames.size(), 777), "Animation Delay"); }},
        {"empty frame", [](Editor& e, GifAnimation&) {
             GifAnimation empty;
             empty.frames.push_back(makeEmptyFrame(5, 4));
             return e.insertFrames(1, empty, "Add Empty Image"); }},
    };
    // clang-format on
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        for (const auto& [what, edit] : edits) {
            SCOPED_TRACE(std::string(what) + " seed " + std::to_string(seed));
            Editor editor;
            openRandom(editor, seed);
            GifAnimation fresh;
            randomDoc(seed + 70, fresh);
            const std::string before = describe(editor.document());
            ASSERT_TRUE(edit(editor, fresh));
            const std::string after = describe(editor.document());
            EXPECT_TRUE(before != after);
            EXPECT_TRUE(editor.changed());
            ASSERT_TRUE(editor.undo());
            EXPECT_TRUE(describe(editor.document()) == before);
            EXPECT_FALSE(editor.changed());
            ASSERT_TRUE(editor.redo());
            EXPECT_TRUE(describe(editor.document()) == after);
        }
    }
}

TEST(EditTest, ChangedMeansASaveWouldWriteSomethingElse) {
    Editor editor;
    openRandom(editor, 3);
    const std::string path = testOutputPath("edit-changed.gif");
    GifAnimation unused;
    const uint16_t original = fieldsOf(editor, 0).delay;
    auto delay = [&](int added) {
        FrameFields f = fieldsOf(editor, 0);
        f.delay = uint16_t(original + added);
        return editor.setFrameFields(0, f, "Delay");
    };
    editor.selectFrame(2);   // selecting is no edit
    EXPECT_FALSE(delay(0));  // the same value records nothing
    EXPECT_FALSE(editor.history().canUndo());
    ASSERT_TRUE(frameEdit(0, [](FrameFields& f) { f.title = "only in memory"; })(editor, unused));
    EXPECT_FALSE(editor.changed());  // a title never reaches the file
    ASSERT_TRUE(delay(1));
    EXPECT_TRUE(editor.changed());
    ASSERT_TRUE(editor.save(path));
    EXPECT_FALSE(editor.changed());
    EXPECT_EQ(editor.path(), path);
    editor.undo();  // back to before the save
    EXPECT_TRUE(editor.changed());
    editor.redo();
    EXPECT_FALSE(editor.changed());
    editor.undo();
    ASSERT_TRUE(delay(2));  // the saved state is on a discarded branch now
    EXPECT_TRUE(editor.changed());
    EXPECT_FALSE(editor.history().canRedo());
    editor.startNew();
    EXPECT_FALSE(editor.changed() || editor.history().canUndo());
    EXPECT_TRUE(editor.path().empty());
}

TEST(EditTest, TypedValuesMergeIntoOneStepWithTheirName) {
    Editor editor;
    openRandom(editor, 4);
    const FrameFields start = fieldsOf(editor, 1);
    auto type = [&](uint16_t left, uint16_t delay, const char* name) {
        FrameFields f = fieldsOf(editor, 1);
        f.left = left, f.delay = delay;
        editor.setFrameFields(1, f, name, name);
    };
    type(1, start.delay, "Offset");
    type(123, start.delay, "Offset");
    editor.selectFrame(0);
    type(123, 9, "Delay");
    EXPECT_EQ(editor.history().stepCount(), 2u);
    EXPECT_EQ(editor.history().undoName(), "Delay");
    editor.undo();
    EXPECT_EQ(editor.history().redoName(), "Delay");
    EXPECT_EQ(fieldsOf(editor, 1).left, 123);
    editor.undo();
    EXPECT_EQ(fieldsOf(editor, 1), start);
    EXPECT_EQ(editor.currentFrame(), 1);  // undo selects the frame the step touched
}

// 150 steps into a history of 100; deleted 100 x 100 frames keep about 10 kB each, so a 40 kB
// bound holds three of them.
TEST(EditTest, HistoryKeepsItsBoundsOldestStepsFirst) {
    Editor editor(History(100, size_t(256) << 20));
    openRandom(editor, 6);
    for (uint16_t delay = 1000; delay < 1150; ++delay) {
        FrameFields f = fieldsOf(editor, 0);
        f.delay = delay;
        editor.setFrameFields(0, f, "Delay");
    }
    EXPECT_EQ(editor.history().stepCount(), 100u);
    while (editor.undo()) {
    }
    EXPECT_EQ(fieldsOf(editor, 0).delay, 1049);  // the first 50 steps went
    EXPECT_TRUE(editor.changed());               // the opened state can no longer be reached
    Editor small(History(1000, 40000));
    GifAnimation doc;
    for (int i = 0; i < 8; ++i) doc.frames.emplace_back().bitmap = IndexedBitmap::create(100, 100);
    small.open(doc, "");
    for (int i = 0; i < 8; ++i) small.deleteFrame(0);
    EXPECT_LE(small.history().retainedBytes(), 40000u);
    EXPECT_EQ(small.history().stepCount(), 3u);
}

// Percentages scale with rounding to the nearest hundredth; a frame never becomes "as fast as the
// viewer likes" (0) unless it was, and nothing passes the field's 65535.
TEST(EditTest, DelaysScaleRoundedAndKeepTheirPause) {
    const struct {
        uint16_t delay;
        uint32_t percent;
        uint16_t scaled;
    } rows[] = {{0, 1000, 0}, {10, 50, 5},       {3, 50, 2},          {1, 10, 1},
                {15, 10, 2},  {100, 1000, 1000}, {7000, 1000, 65535}, {65535, 10, 6554}};
    for (const auto& row : rows) EXPECT_EQ(scaledDelay(row.delay, row.percent), row.scaled) << row.delay;
    EXPECT_EQ(playTime({0, 1, 2, 100}), 10u + 10 + 2 + 100);  // browsers play 0 and 1 as 10
}

// The global palette editor's OK: every pixel of a frame on the global table must show the colour
// of the entry that now holds its old index (found here by a plain search of the entries), the
// frames with their own tables stay, and one undo brings all back.
TEST(EditTest, GlobalPaletteRemapsEveryFrameOnTheTable) {
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GifAnimation doc;
        randomDoc(seed, doc, 3);
        doc.hasGlobalTable = true;
        doc.globalTable.entries.resize(std::max<size_t>(doc.globalTable.entries.size(), 3),
                                       RgbColor(9, 9, 9));
        Editor editor;
        editor.open(doc, "");
        const std::string before = describe(editor.document());
        PaletteEditModel model;
        model.loadFromTable(globalTableInUse(editor.document()));
        model.sortEntries(seed % 9);
        model.removeEntry(1);
        model.deleteDuplicates();
        ColorTable table;
        for (const PaletteEditEntry& entry : model.editEntries) table.entries.push_back(entry.color);
        const GifAnimation& was = editor.document();
        std::vector<GifFrame> old(was.frames.begin(), was.frames.end());
        ASSERT_TRUE(editor.remapGlobalTable(table, model.buildRemapTable(), "Global Palette"));
        const GifAnimation& now = editor.document();
        EXPECT_EQ(now.globalTable.entries, table.entries);
        for (size_t i = 0; i < old.size(); ++i) {
            const IndexedBitmap& from = *old[i].bitmap;
            const IndexedBitmap& to = *now.frames[i].bitmap;
            for (uint32_t p = 0; p < from.width() * from.height(); ++p) {
                const uint32_t x = p % from.width(), y = p / from.width();
                uint32_t holder = 0;  // a source nobody holds goes to entry 0; the last holder wins
                for (uint32_t e = 0; e < model.size(); ++e)
                    if (model.editEntries[e].sources.test(from.at(x, y))) holder = e;
                ASSERT_EQ(to.at(x, y), old[i].hasLocalTable ? from.at(x, y) : holder) << i << ' ' << p;
            }
        }
        ASSERT_TRUE(editor.undo());
        EXPECT_TRUE(describe(editor.document()) == before);
    }
}

}  // namespace
