// What the undo history costs on a long animation: 300 frames of 320 x 240 after 100 edits of the
// usual mix (delays and offsets typed, frames deleted, moved and recoloured), the steps and picture
// memory it keeps, and how long Undo of a Delete takes there. A figure of ours, with no peer: the
// frames a step keeps are moved in and out of the document, never copied.
#include <chrono>
#include <cstdio>

#include "edit/editor.h"

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void makeAnimation(GifAnimation& doc) {
    doc.screenWidth = 320;
    doc.screenHeight = 240;
    for (int i = 0; i < 300; ++i) {
        GifFrame& frame = doc.frames.emplace_back();
        frame.bitmap = IndexedBitmap::create(320, 240);
        for (uint32_t y = 0; y < 240; ++y)
            for (uint32_t x = 0; x < 320; ++x)
                frame.bitmap->row(y)[x] = uint8_t((x * 7 + y * 3 + uint32_t(i)) % 251);
        frame.hasLocalTable = true;
        for (int c = 0; c < 256; ++c)
            frame.localTable.entries.emplace_back(uint8_t(c), uint8_t(i), uint8_t(255 - c));
        frame.delay = 10;
    }
}

}  // namespace

int main() {
    Editor editor;
    GifAnimation doc;
    makeAnimation(doc);
    editor.open(doc, "");

    for (int i = 0; i < 100; ++i) {
        const size_t index = size_t(i * 37 % int(editor.document().frames.size()));
        FrameFields fields = FrameFields::of(editor.document().frames[index]);
        switch (i % 10) {
            case 0:
            case 1:
                editor.deleteFrame(index);
                break;
            case 2:
                editor.moveFrame(index, index > 0);
                break;
            case 3: {
                GifFrame recoloured = editor.document().frames[index];
                for (RgbColor& c : recoloured.localTable.entries) c = RgbColor(c.blue, c.green, c.red);
                editor.replaceFrame(index, std::move(recoloured), "Palette");
                break;
            }
            default:
                fields.delay = uint16_t(20 + i);
                fields.left = uint16_t(i);
                editor.setFrameFields(index, fields, "Delay");
                break;
        }
    }
    const History& history = editor.history();
    std::printf("history after 100 edits on 300 frames of 320 x 240: %zu steps, %.1f MB of pictures kept\n",
                history.stepCount(), double(history.retainedBytes()) / 1048576.0);

    editor.deleteFrame(150);
    const double start = now();
    editor.undo();
    std::printf("undo of a delete there: %.3f ms\n", (now() - start) * 1e3);
    return 0;
}
