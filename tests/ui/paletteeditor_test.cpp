// The palette windows through their real messages: "Edit Palette" on a hand-made frame, acted on
// from inside its own modal loop together with the dialogs it opens; its small dialogs on their
// own; and the index picker popup. Every editor session costs seconds under Wine, so each one
// carries many checks.
#include "ui/paletteeditor.h"

#include <windows.h>

#include <gtest/gtest.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>

#include <cstring>
#include <tuple>

#include "app/application.h"
#include "ui/indexpicker.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

// The red, green and blue fields of the system colour chooser.
constexpr int kChooserRed = 706, kChooserBlue = 708;

// A document of the frames so far and this one, unchanged, with the new frame selected.
void addSelectedFrame(const GifFrame& frame) {
    std::vector<GifFrame> frames = app().editor.document().frames;
    frames.push_back(frame);
    setDocument(std::move(frames), 16, 16);
    selectFrame(int(app().editor.document().frames.size()) - 1);
}

const auto ramp = [](uint32_t i) { return RgbColor(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)); };

// Far enough apart that the nearest of any one is obvious.
const std::vector<RgbColor> kSixteen = {{0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {0, 255, 0},
                                        {0, 0, 255},   {255, 255, 0},   {0, 255, 255},   {255, 0, 255},
                                        {128, 0, 0},   {0, 128, 0},     {0, 0, 128},     {128, 128, 0},
                                        {0, 128, 128}, {128, 0, 128},   {192, 192, 192}, {64, 64, 64}};

// 16 x 16 pixels, pixel (x, y) = (16 y + x) mod `used`: entries from `used` on are unused.
GifFrame gridFrame(const std::vector<RgbColor>& colors, uint32_t used) {
    std::vector<uint32_t> packed;
    for (const RgbColor& c : colors) packed.push_back(c.packed());
    return makeFrame(16, 16, packed, [used](uint32_t x, uint32_t y) { return uint8_t((16 * y + x) % used); });
}

// A chooser answer that reports the colour it was opened with and picks `rgb`.
DialogAnswerer::Answer chooseColor(uint32_t* offered, uint32_t rgb) {
    return [=](HWND chooser) {
        *offered = 0;
        for (int field = kChooserRed, shift = 16; field <= kChooserBlue; ++field, shift -= 8) {
            *offered |= GetDlgItemInt(chooser, field, nullptr, FALSE) << shift;
            SetDlgItemInt(chooser, field, (rgb >> shift) & 0xFF, FALSE);
        }
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    };
}

using Typing = std::tuple<int, const char*, const char*>;  // field, typed, shown

// Types into the dialog's fields and checks what each then shows.
void typeAll(HWND dialog, const std::vector<Typing>& fields) {
    for (auto [id, typed, shown] : fields) {
        SetDlgItemTextA(dialog, id, typed);
        EXPECT_EQ(textOf(dialog, id), shown) << typed;
    }
}
// An answer that fills the dialog so and presses OK.
DialogAnswerer::Answer fill(std::vector<Typing> fields) {
    return [=](HWND dialog) {
        typeAll(dialog, fields);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
}

class Palette : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.started());
        parkPointer();
    }
    void TearDown() override {
        EXPECT_TRUE(answers.allAnswered()) << "a dialog did not open";
        EXPECT_TRUE(answers.unexpected().empty()) << "unanswered dialog: " << answers.unexpected().front();
    }
    // The editor on the selected frame; `script` acts inside it and closes it. `nested` answers
    // the dialogs it opens, in order.
    bool edit(const DialogAnswerer::Answer& script,
              const std::vector<std::pair<std::string, DialogAnswerer::Answer>>& nested = {}) {
        answers.expect("Edit Palette", script);
        for (const auto& answer : nested) answers.expect(answer.first, answer.second);
        return editCurrentFramePalette(app().window, app().editor);
    }
    const GifFrame& frame() { return app().editor.document().frames.back(); }

    AppSession session;
    DialogAnswerer answers;
};

TEST_F(Palette, EditsReachTheFrameOnOk) {
    // No selection, or a frame without a local table: nothing to edit.
    EXPECT_FALSE(editCurrentFramePalette(app().window, app().editor));
    GifFrame global = gridFrame(kSixteen, 16);
    global.hasLocalTable = false;
    addSelectedFrame(global);
    EXPECT_FALSE(editCurrentFramePalette(app().window, app().editor));
    EXPECT_TRUE(answers.seen().empty());
    addSelectedFrame(gridFrame(kSixteen, 12));  // entries 12 ... 15 unused
    uint32_t offered = 0;
    const bool applied = edit(
        [](HWND editor) {
            EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "16");
            EXPECT_EQ(textOf(editor, IDC_PALETTE_INDEX), "0");
            // 22 of 256 pixels use entry 0; a cell without an entry says nothing.
            const std::pair<uint32_t, const char*> hovers[] = {
                {0, "Index:0  R:0  G:0  B:0  HTML:#000000  8.59%"},
                {14, "Index:14  R:192  G:192  B:192  HTML:#C0C0C0  0% - not used"},
                {16, ""}};
            for (auto [cell, expected] : hovers) {
                sendAtCell(editor, cell, WM_MOUSEMOVE);
                char status[256] = {};
                SendDlgItemMessageA(editor, IDC_PALETTE_STATUSBAR, SB_GETTEXTA, 0, LPARAM(status));
                EXPECT_STREQ(status, expected);
            }
            // Typed values are corrected in place and colour the selected entry, 5.
            clickEditorCell(editor, 5);
            typeAll(editor, {{IDC_PALETTE_RED, "300", "255"},
                             {IDC_PALETTE_GREEN, "40", "40"},
                             {IDC_PALETTE_BLUE, "256", "255"},
                             {IDC_PALETTE_INDEX, "999", "15"}});
            EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "64");  // the fields follow the index
            clickEditorCell(editor, 11);
            sendAtCell(editor, 11, WM_LBUTTONDBLCLK, MK_LBUTTON);  // the chooser
            sendAtCell(editor, 11, WM_LBUTTONUP);
            EXPECT_EQ(textOf(editor, IDC_PALETTE_BLUE), "56");
            clickEditorCell(editor, 3);
            press(editor, IDC_PALETTE_MOVE_RIGHT);
            EXPECT_EQ(textOf(editor, IDC_PALETTE_INDEX), "4");
            clickEditorCell(editor, 15);
            press(editor, IDC_PALETTE_MOVE_RIGHT);
            press(editor, IDC_PALETTE_REMOVE);  // the last: the selection moves to the new last
            EXPECT_EQ(textOf(editor, IDC_PALETTE_INDEX), "14");
            EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "192");
            clickEditorCell(editor, 8);
            press(editor, IDC_PALETTE_REMOVE);  // dark red, used: its pixels go to red
            EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "14");
            press(editor, IDOK);
        },
        {{"Color", chooseColor(&offered, 0x0C2238)}});
    ASSERT_TRUE(applied);
    EXPECT_TRUE(app().editor.changed());
    EXPECT_EQ(offered, 0x808000u);
    std::vector<RgbColor> table = kSixteen;
    table[5] = {255, 40, 255};
    table[11] = {12, 34, 56};
    std::swap(table[3], table[4]);
    table.erase(table.begin() + 15);
    table.erase(table.begin() + 8);
    EXPECT_EQ(frame().localTable.entries, table);
    // The pixels follow the table (palette_test and the palette road check each pixel).
    EXPECT_EQ(frame().bitmap->palette().count, table.size());
}

TEST_F(Palette, CancelAfterTheOperationDialogsLeavesTheFrameAsItWas) {
    addSelectedFrame(gridFrame(kSixteen, 12));
    const GifFrame before = frame();
    const bool applied = edit(
        [](HWND editor) {
            clickEditorCell(editor, 14);
            press(editor, IDC_PALETTE_DELETE_UNUSED);  // the selection stays on an entry
            EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "12");
            EXPECT_EQ(textOf(editor, IDC_PALETTE_INDEX), "11");
            press(editor, IDC_PALETTE_GRADIENT);  // 2 ... 6 from black to (255, 20, 0), corrected
            clickEditorCell(editor, 4);
            EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "127");  // 255 / 4 steps, truncated
            EXPECT_EQ(textOf(editor, IDC_PALETTE_GREEN), "10");
            press(editor, IDC_PALETTE_SORT);  // "- R": the reddest first
            clickEditorCell(editor, 0);
            EXPECT_EQ(textOf(editor, IDC_PALETTE_RED), "255");
            press(editor, IDC_PALETTE_COUNT);  // Colors: 1, taken as the least, 2
            EXPECT_EQ(textOf(editor, IDC_PALETTE_COUNT), "2");
            SendMessageA(editor, WM_CLOSE, 0, 0);  // the close box cancels
        },
        {{"Color Gradient", fill({{IDC_GRADIENT_FROM_INDEX, "2", "2"},
                                  {IDC_GRADIENT_TO_INDEX, "6", "6"},
                                  {IDC_GRADIENT_FROM_RED, "", "0"},
                                  {IDC_GRADIENT_FROM_GREEN, "0", "0"},
                                  {IDC_GRADIENT_FROM_BLUE, "0", "0"},
                                  {IDC_GRADIENT_TO_RED, "300", "255"},
                                  {IDC_GRADIENT_TO_GREEN, "20", "20"},
                                  {IDC_GRADIENT_TO_BLUE, "abc", "0"}})},
         {"Sort palette entries",
          [](HWND sort) {
              SendDlgItemMessageA(sort, IDC_SORT_KEY, CB_SETCURSEL, 4, 0);
              PostMessageA(sort, WM_COMMAND, IDOK, 0);
          }},
         {"Colors", fill({{IDC_COLORS_COUNT, "1", "1"}})}});
    EXPECT_FALSE(applied);
    EXPECT_FALSE(app().editor.changed());
    EXPECT_EQ(frame().localTable.entries, before.localTable.entries);
    EXPECT_EQ(std::memcmp(frame().bitmap->pixels(), before.bitmap->pixels(), 16 * 16), 0);
    EXPECT_EQ(std::memcmp(&frame().bitmap->palette(), &before.bitmap->palette(), sizeof(IndexedPalette)), 0);
}

TEST_F(Palette, PaletteFilesAreWrittenAndReadAndABadOneIsReported) {
    addSelectedFrame(gridFrame({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, 4));
    writeTestFile("editor-short.plt", {7, 0});                               // not even the count
    writeTestFile("editor-read.plt", {2, 0, 0, 0, 10, 20, 30, 40, 50, 60});  // two records for four entries
    const bool applied = edit(
        [](HWND editor) {
            clickEditorCell(editor, 2);
            SetDlgItemTextA(editor, IDC_PALETTE_BLUE, "9");
            press(editor, IDC_PALETTE_WRITE);
            press(editor, IDC_PALETTE_READ);
            press(editor, IDC_PALETTE_READ);
            press(editor, IDOK);
        },
        {{"Save Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-written.plt"))},
         {"Open Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-short.plt"))},
         {"Error", DialogAnswerer::pressButton(IDOK)},
         {"Open Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-read.plt"))}});
    ASSERT_TRUE(applied);
    EXPECT_EQ(answers.lastMessageText(), "Unable to read the palette file.");
    // The count, little-endian, then the working colours.
    EXPECT_EQ(readWholeFile(testOutputPath("editor-written.plt")),
              (std::vector<uint8_t>{4, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 9, 4, 4, 4}));
    EXPECT_EQ(frame().localTable.entries,
              (std::vector<RgbColor>{{10, 20, 30}, {40, 50, 60}, {3, 3, 9}, {4, 4, 4}}));
}

TEST_F(Palette, GridButtonsAndPreviewShowWhatTheyShould) {
    std::vector<RgbColor> colors;
    for (uint32_t i = 0; i < 256; ++i) colors.push_back(ramp(i));
    addSelectedFrame(gridFrame(colors, 200));
    uint32_t seen[3] = {};
    edit(
        [](HWND editor) {
            EXPECT_FALSE(enabled(editor, IDC_PALETTE_ADD));  // 256 entries: the limit
            clickEditorCell(editor, 37);
            EXPECT_NE(saveWindowScreenshot(editor, "palette-editor-256.png"), "");
            // Inside its border a used cell is all its colour, an unused one crossed out; the
            // selected one framed in red.
            const Capture shot = captureClient(editor, false);
            auto offColour = [&](uint32_t index) {
                const RECT cell = paletteCellRect(index);
                int count = 0;
                for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
                    for (int x = cell.left + 1; x < cell.right - 1; ++x)
                        count += shot.at(x, y) != ramp(index).packed();
                return count;
            };
            EXPECT_EQ(offColour(199), 0);
            EXPECT_GE(offColour(200), 12);
            const RECT selected = paletteCellRect(37);
            const int midY = (selected.top + selected.bottom) / 2;
            EXPECT_TRUE(shot.at(selected.left, midY) == 0xFF0000u ||
                        shot.at(selected.left - 1, midY) == 0xFF0000u);
            clickEditorCell(editor, 3);
            press(editor, IDC_PALETTE_MOVE_RIGHT);
            press(editor, IDC_PALETTE_PREVIEW);
            press(editor, IDC_PALETTE_REMOVE);
            EXPECT_TRUE(enabled(editor, IDC_PALETTE_ADD));  // 255 entries
            press(editor, IDCANCEL);
        },
        {{"Preview", [&](HWND preview) {
              saveWindowScreenshot(preview, "palette-preview.png");  // brings it up and paints it
              // Entries 3 and 4 swapped, the pixels remapped: the picture looks as before.
              const Capture picture = captureClient(GetDlgItem(preview, IDC_PREVIEW_PICTURE), false);
              seen[0] = picture.at(3, 0);
              seen[1] = picture.at(4, 0);
              seen[2] = picture.at(20, 5);
              PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);
          }}});
    EXPECT_EQ(seen[0], ramp(3).packed());
    EXPECT_EQ(seen[1], ramp(4).packed());
    EXPECT_EQ(seen[2], systemRgb(COLOR_BTNFACE));  // beside the 16 x 16 picture
}

// The index picker opens two rows of 16 cells straight below its anchor; a click takes the
// cell last under the pointer.
TEST_F(Palette, PickerReturnsTheClickedCell) {
    HWND anchor = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 120, 90,
                                  60, 20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ColorTable table;
    for (uint32_t i = 0; i < 20; ++i) table.entries.push_back(RgbColor(uint8_t(i * 9), uint8_t(200 - i), 40));
    RECT popupRect = {}, anchorRect;
    answers.expect("", [&](HWND popup) {
        GetWindowRect(popup, &popupRect);
        const LPARAM cell19 = MAKELPARAM(8 + 17 * 3 + 7, 8 + 17 + 7);  // the last with an entry
        SendMessageA(popup, WM_MOUSEMOVE, 0, cell19);
        saveWindowScreenshot(popup, "palette-index-picker.png");
        SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, cell19);
    });
    EXPECT_EQ(pickPaletteIndex(&table, anchor, 5), 19);
    GetWindowRect(anchor, &anchorRect);
    EXPECT_EQ(popupRect.left * 1000 + popupRect.top, anchorRect.left * 1000 + anchorRect.bottom);
    EXPECT_EQ(popupRect.right - popupRect.left, 289);
    DestroyWindow(anchor);
}

}  // namespace
