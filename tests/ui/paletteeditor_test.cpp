// "Edit Palette" driven through its real window: each test opens the editor on a hand-made frame
// from inside the application, acts on the grid, buttons and fields from within the editor's own
// modal loop, answers the dialogs it opens, and checks both what the window shows and what
// happened to the frame once the editor has closed.
#include "palette/paletteeditor.h"

#include <windows.h>
// commctrl.h builds on the types windows.h declares.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/appdriver.h"
#include "ui/support/paletteharness.h"
#include "ui/support/uiharness.h"

namespace {

using Script = std::function<void(HWND editor)>;

// Colour i of a 256-entry test palette: every entry differs from every other.
RgbColor rampColor(uint32_t i) {
    return RgbColor(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
}

std::vector<RgbColor> rampPalette(uint32_t count) {
    std::vector<RgbColor> colors;
    for (uint32_t i = 0; i < count; ++i) colors.push_back(rampColor(i));
    return colors;
}

// Sixteen colours far enough apart that the nearest of any one is obvious.
const std::vector<RgbColor> kSixteen = {
    {0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {0, 255, 0},  {0, 0, 255}, {255, 255, 0},
    {0, 255, 255}, {255, 0, 255},   {128, 0, 0},     {0, 128, 0},  {0, 0, 128}, {128, 128, 0},
    {0, 128, 128}, {128, 0, 128},   {192, 192, 192}, {64, 64, 64},
};

// 16 x 16 pixels, pixel (x, y) = (16y + x) mod `used`: the first `used` entries are in use.
GifFrame gridFrame(const std::vector<RgbColor>& colors, uint32_t used) {
    return makePaletteFrame(colors, 16, 16,
                            [used](uint32_t x, uint32_t y) { return uint8_t((16 * y + x) % used); });
}

class PaletteEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session_.started());
        parkPointer();
    }

    // Runs the editor on the selected frame; the script acts inside it and must close it.
    bool runEditor(const Script& script) {
        answers_.expect("Edit Palette", script);
        for (auto& answer : nested_) answers_.expect(answer.first, std::move(answer.second));
        nested_.clear();
        const bool applied = editSelectedFramePalette();
        EXPECT_TRUE(answers_.allAnswered()) << "the editor did not open";
        EXPECT_TRUE(answers_.unexpected().empty()) << "unanswered dialog: " << answers_.unexpected().front();
        return applied;
    }

    GifFrame& frame() { return g_document.frames.back(); }

    // Arms an answer for a dialog the editor opens; answers are used in the order armed.
    void thenAnswer(const std::string& caption, DialogAnswerer::Answer answer) {
        nested_.emplace_back(caption, std::move(answer));
    }

    AppSession session_;
    DialogAnswerer answers_;
    std::vector<std::pair<std::string, DialogAnswerer::Answer>> nested_;
};

// ---- Opening ---------------------------------------------------------------------------------

TEST_F(PaletteEditorTest, FramesWithoutALocalTableOrSelectionOpenNothing) {
    GifFrame global = gridFrame(kSixteen, 16);
    global.hasLocalTable = false;
    EXPECT_FALSE(editFramePalette(g_mainWindow, global));
    EXPECT_FALSE(editSelectedFramePalette());  // nothing selected: the document is empty
    addSelectedFrame(global);
    EXPECT_FALSE(editSelectedFramePalette());
    EXPECT_TRUE(answers_.seen().empty());
    EXPECT_FALSE(g_modified);
    EXPECT_EQ(g_paletteModel, nullptr);
}

TEST_F(PaletteEditorTest, OpensOnEntryZeroWithTheModelOnlyWhileOpen) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    const PaletteEditModel* during = nullptr;
    runEditor([&](HWND editor) {
        during = g_paletteModel;
        EXPECT_EQ(controlText(editor, IDC_PALETTE_COUNT), "16");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "0");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_RED), "0");
        EXPECT_TRUE(isEnabled(editor, IDC_PALETTE_ADD));
        SendMessageA(editor, WM_CLOSE, 0, 0);  // the close box: Cancel
    });
    ASSERT_NE(during, nullptr);
    EXPECT_EQ(during->size(), 16u);
    EXPECT_EQ(g_paletteModel, nullptr);
    EXPECT_FALSE(g_modified);
}

// ---- Add and Remove --------------------------------------------------------------------------

TEST_F(PaletteEditorTest, AddIsDisabledAtTheLimitAndFollowsRemoveAndAdd) {
    addSelectedFrame(gridFrame(rampPalette(256), 200));
    struct Step {
        int button;
        const char* count;
        bool addEnabled;
    };
    // The count caption follows every operation.
    const Step steps[] = {
        {0, "256", false},
        {IDC_PALETTE_REMOVE, "255", true},
        {IDC_PALETTE_ADD, "256", false},
        {IDC_PALETTE_ADD, "256", false},  // a disabled button does nothing
    };
    runEditor([&](HWND editor) {
        for (const Step& step : steps) {
            if (step.button) clickButton(editor, step.button);
            EXPECT_EQ(controlText(editor, IDC_PALETTE_COUNT), step.count);
            EXPECT_EQ(isEnabled(editor, IDC_PALETTE_ADD), step.addEnabled) << "after " << step.count;
        }
        clickButton(editor, IDCANCEL);
    });
}

TEST_F(PaletteEditorTest, RemoveDoesNothingAtTwoEntries) {
    const std::vector<RgbColor> two = {{10, 20, 30}, {200, 100, 0}};
    addSelectedFrame(makePaletteFrame(two, 4, 1, [](uint32_t x, uint32_t) { return uint8_t(x & 1); }));
    const bool applied = runEditor([](HWND editor) {
        clickEditorCell(editor, 1);
        clickButton(editor, IDC_PALETTE_REMOVE);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_COUNT), "2");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "1");
        clickButton(editor, IDOK);
    });
    EXPECT_TRUE(applied);
    EXPECT_EQ(frame().localTable.entries, two);
    EXPECT_EQ(frameIndices(frame()), (std::vector<uint8_t>{0, 1, 0, 1}));
}

TEST_F(PaletteEditorTest, RemovingTheSelectedLastEntryMovesTheSelectionAndRemapsToTheNearest) {
    // Dark grey (8, 8, 8) is removed; of black and white, black is nearer.
    const std::vector<RgbColor> colors = {{255, 255, 255}, {0, 0, 0}, {255, 0, 0}, {8, 8, 8}};
    addSelectedFrame(makePaletteFrame(colors, 4, 1, [](uint32_t x, uint32_t) { return uint8_t(x); }));
    const bool applied = runEditor([](HWND editor) {
        clickEditorCell(editor, 3);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "3");
        clickButton(editor, IDC_PALETTE_REMOVE);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "2");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_RED), "255");  // the fields show red, entry 2
        EXPECT_EQ(controlText(editor, IDC_PALETTE_GREEN), "0");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_COUNT), "3");
        clickButton(editor, IDOK);
    });
    ASSERT_TRUE(applied);
    EXPECT_EQ(frame().localTable.entries, (std::vector<RgbColor>{{255, 255, 255}, {0, 0, 0}, {255, 0, 0}}));
    EXPECT_EQ(frameIndices(frame()), (std::vector<uint8_t>{0, 1, 2, 1}));
    EXPECT_TRUE(g_modified);
}

// ---- Fields ----------------------------------------------------------------------------------

TEST_F(PaletteEditorTest, FieldsCorrectWhatIsTypedAndColourTheSelectedEntry) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    struct Typing {
        int field;
        const char* typed;
        const char* shown;
    };
    // Entry 5 is (255, 255, 0); its green is then changed through the field.
    const Typing typing[] = {
        {IDC_PALETTE_RED, "300", "255"},
        {IDC_PALETTE_GREEN, "40", "40"},
        {IDC_PALETTE_BLUE, "256", "255"},
    };
    const bool applied = runEditor([&](HWND editor) {
        clickEditorCell(editor, 5);
        for (const Typing& t : typing) {
            SetDlgItemTextA(editor, t.field, t.typed);
            EXPECT_EQ(controlText(editor, t.field), t.shown) << "typed " << t.typed;
        }
        // Index beyond the last entry selects the last; the colour fields follow it.
        SetDlgItemTextA(editor, IDC_PALETTE_INDEX, "999");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "15");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_RED), "64");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_GREEN), "64");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_BLUE), "64");
        // Now the fields act on entry 15: clearing R makes its red 0.
        SetDlgItemTextA(editor, IDC_PALETTE_RED, "");
        clickButton(editor, IDOK);
    });
    ASSERT_TRUE(applied);
    std::vector<RgbColor> expected = kSixteen;
    expected[5] = RgbColor(255, 40, 255);
    expected[15] = RgbColor(0, 64, 64);
    EXPECT_EQ(frame().localTable.entries, expected);
}

TEST_F(PaletteEditorTest, DoubleClickOpensTheChooserWithTheCellsColour) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    UINT shown[3] = {};
    thenAnswer("Color", [&](HWND chooser) {
        shown[0] = GetDlgItemInt(chooser, kChooserRed, nullptr, FALSE);
        shown[1] = GetDlgItemInt(chooser, kChooserGreen, nullptr, FALSE);
        shown[2] = GetDlgItemInt(chooser, kChooserBlue, nullptr, FALSE);
        SetDlgItemInt(chooser, kChooserRed, 12, FALSE);
        SetDlgItemInt(chooser, kChooserGreen, 34, FALSE);
        SetDlgItemInt(chooser, kChooserBlue, 56, FALSE);
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    });
    const bool applied = runEditor([](HWND editor) {
        doubleClickEditorCell(editor, 11);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "11");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_BLUE), "56");
        clickButton(editor, IDOK);
    });
    EXPECT_EQ(shown[0], 128u);  // entry 11 is (128, 128, 0)
    EXPECT_EQ(shown[1], 128u);
    EXPECT_EQ(shown[2], 0u);
    ASSERT_TRUE(applied);
    EXPECT_EQ(frame().localTable.entries[11], RgbColor(12, 34, 56));
}

// ---- Status bar ------------------------------------------------------------------------------

TEST_F(PaletteEditorTest, StatusBarDescribesTheEntryUnderThePointer) {
    // 100 x 100 pixels: 1234 of index 0 (12.34 %), 4 of index 1 (0.04 %), the rest index 2
    // (87.62 %); index 3 is not used.
    const std::vector<RgbColor> colors = {{255, 128, 0}, {1, 2, 3}, {0, 0, 0}, {0, 0, 0}};
    addSelectedFrame(makePaletteFrame(colors, 100, 100, [](uint32_t x, uint32_t y) {
        const uint32_t i = 100 * y + x;
        return uint8_t(i < 1234 ? 0 : i < 1238 ? 1 : 2);
    }));
    struct Hover {
        int x, y;  // -1: the centre of cell `cell`
        uint32_t cell;
        const char* text;
    };
    const Hover hovers[] = {
        {-1, -1, 0, "Index:0  R:255  G:128  B:0  HTML:#FF8000  12.3%"},
        {-1, -1, 1, "Index:1  R:1  G:2  B:3  HTML:#010203  0.04%"},
        {-1, -1, 2, "Index:2  R:0  G:0  B:0  HTML:#000000  87.6%"},
        {-1, -1, 3, "Index:3  R:0  G:0  B:0  HTML:#000000  0% - not used"},
        {30, 20, 0, ""},                                                 // the gap right of cell 0
        {-1, -1, 4, ""},                                                 // a cell without an entry
        {5, 5, 0, ""},                                                   // outside the cells
        {29, 28, 0, "Index:0  R:255  G:128  B:0  HTML:#FF8000  12.3%"},  // the pixel after the cell
    };
    runEditor([&](HWND editor) {
        for (const Hover& hover : hovers) {
            if (hover.x < 0) {
                moveOverEditorCell(editor, hover.cell);
            } else {
                moveOverEditorPoint(editor, hover.x, hover.y);
            }
            EXPECT_EQ(statusBarText(editor), hover.text);
        }
        clickButton(editor, IDCANCEL);
    });
}

// ---- Cancel and OK ---------------------------------------------------------------------------

TEST_F(PaletteEditorTest, CancelAfterManyOperationsLeavesTheFrameAsItWas) {
    addSelectedFrame(gridFrame(kSixteen, 12));
    const GifFrame before = frame();
    thenAnswer("Sort palette entries", [](HWND sort) {
        SendDlgItemMessageA(sort, IDC_SORT_KEY, CB_SETCURSEL, 4, 0);  // "- R"
        PostMessageA(sort, WM_COMMAND, IDOK, 0);
    });
    const bool applied = runEditor([](HWND editor) {
        clickButton(editor, IDC_PALETTE_ADD);
        clickEditorCell(editor, 3);
        clickButton(editor, IDC_PALETTE_MOVE_RIGHT);
        clickButton(editor, IDC_PALETTE_REMOVE);
        SetDlgItemTextA(editor, IDC_PALETTE_GREEN, "77");
        clickButton(editor, IDC_PALETTE_SORT);
        clickButton(editor, IDC_PALETTE_DELETE_DUPLICATES);
        clickButton(editor, IDC_PALETTE_DELETE_UNUSED);
        clickButton(editor, IDC_PALETTE_MOVE_LEFT);
        EXPECT_NE(controlText(editor, IDC_PALETTE_COUNT), "16");
        clickButton(editor, IDCANCEL);
    });
    EXPECT_FALSE(applied);
    EXPECT_FALSE(g_modified);
    EXPECT_EQ(frame().localTable.entries, before.localTable.entries);
    EXPECT_EQ(frameIndices(frame()), frameIndices(before));
    EXPECT_EQ(std::memcmp(&frame().bitmap->palette(), &before.bitmap->palette(), sizeof(IndexedPalette)), 0);
}

TEST_F(PaletteEditorTest, OkAfterMovingAnEntryRemapsThePixelsSoThePictureLooksTheSame) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    const GifFrame before = frame();
    const bool applied = runEditor([](HWND editor) {
        clickEditorCell(editor, 3);
        clickButton(editor, IDC_PALETTE_MOVE_RIGHT);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "4");
        clickButton(editor, IDOK);
    });
    ASSERT_TRUE(applied);
    EXPECT_EQ(framePicture(frame()), framePicture(before));
    const std::vector<uint8_t> was = frameIndices(before);
    const std::vector<uint8_t> now = frameIndices(frame());
    for (size_t i = 0; i < was.size(); ++i) {
        const uint8_t expected = was[i] == 3 ? 4 : was[i] == 4 ? 3 : was[i];
        ASSERT_EQ(now[i], expected) << "pixel " << i;
    }
    // The picture's own palette is the new table, opaque.
    const IndexedPalette& palette = frame().bitmap->palette();
    EXPECT_EQ(palette.count, 16u);
    EXPECT_EQ(palette.entries[3], 0xFF0000FFu);  // blue moved to 3
    EXPECT_EQ(palette.entries[4], 0xFF00FF00u);
    EXPECT_TRUE(g_modified);
}

TEST_F(PaletteEditorTest, MovesStopAtTheEnds) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    const GifFrame before = frame();
    runEditor([](HWND editor) {
        clickButton(editor, IDC_PALETTE_MOVE_LEFT);  // entry 0 is selected
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "0");
        clickEditorCell(editor, 15);
        clickButton(editor, IDC_PALETTE_MOVE_RIGHT);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "15");
        clickButton(editor, IDOK);
    });
    EXPECT_EQ(frameIndices(frame()), frameIndices(before));
    EXPECT_EQ(frame().localTable.entries, before.localTable.entries);
}

// ---- Operations through their dialogs --------------------------------------------------------

TEST_F(PaletteEditorTest, ColorsDialogShrinksThePaletteAndTheSelectionFollows) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    const GifFrame before = frame();
    thenAnswer("Colors", [](HWND colors) {
        SetDlgItemTextA(colors, IDC_COLORS_COUNT, "4");
        PostMessageA(colors, WM_COMMAND, IDOK, 0);
    });
    const bool applied = runEditor([](HWND editor) {
        clickEditorCell(editor, 12);
        clickButton(editor, IDC_PALETTE_COUNT);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_COUNT), "4");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "3");
        clickButton(editor, IDOK);
    });
    ASSERT_TRUE(applied);
    const std::vector<RgbColor> kept(kSixteen.begin(), kSixteen.begin() + 4);
    ASSERT_EQ(frame().localTable.entries, kept);
    // Every pixel shows the nearest of the four kept colours to what it showed (first on ties).
    const std::vector<RgbColor> was = framePicture(before);
    const std::vector<RgbColor> now = framePicture(frame());
    for (size_t i = 0; i < was.size(); ++i) {
        int best = -1;
        int bestDistance = 0;
        for (int k = 0; k < 4; ++k) {
            const int dr = was[i].red - kept[k].red, dg = was[i].green - kept[k].green,
                      db = was[i].blue - kept[k].blue;
            const int distance = dr * dr + dg * dg + db * db;
            if (best < 0 || distance < bestDistance) best = k, bestDistance = distance;
        }
        ASSERT_EQ(now[i], kept[size_t(best)]) << "pixel " << i;
    }
}

TEST_F(PaletteEditorTest, GradientPaintsTheEntriesBetweenItsIndices) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    thenAnswer("Color Gradient", [](HWND gradient) {
        SetDlgItemTextA(gradient, IDC_GRADIENT_FROM_INDEX, "2");
        SetDlgItemTextA(gradient, IDC_GRADIENT_TO_INDEX, "6");
        for (int id : {IDC_GRADIENT_FROM_RED, IDC_GRADIENT_FROM_GREEN, IDC_GRADIENT_FROM_BLUE})
            SetDlgItemTextA(gradient, id, "0");
        SetDlgItemTextA(gradient, IDC_GRADIENT_TO_RED, "255");
        SetDlgItemTextA(gradient, IDC_GRADIENT_TO_GREEN, "20");
        SetDlgItemTextA(gradient, IDC_GRADIENT_TO_BLUE, "0");
        PostMessageA(gradient, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(runEditor([](HWND editor) {
        clickButton(editor, IDC_PALETTE_GRADIENT);
        clickButton(editor, IDOK);
    }));
    // Red steps by 255 / 4 = 63.75, green by 5: truncated, 0 63 127 191 255 and 0 5 10 15 20.
    const std::vector<RgbColor> painted = {{0, 0, 0}, {63, 5, 0}, {127, 10, 0}, {191, 15, 0}, {255, 20, 0}};
    for (size_t i = 0; i < painted.size(); ++i)
        EXPECT_EQ(frame().localTable.entries[2 + i], painted[i]) << 2 + i;
    EXPECT_EQ(frame().localTable.entries[1], kSixteen[1]);
    EXPECT_EQ(frame().localTable.entries[7], kSixteen[7]);
}

TEST_F(PaletteEditorTest, DeletingUnusedEntriesKeepsTheSelectionOnAnEntry) {
    addSelectedFrame(gridFrame(kSixteen, 6));  // entries 6 ... 15 unused
    ASSERT_TRUE(runEditor([](HWND editor) {
        clickEditorCell(editor, 14);
        clickButton(editor, IDC_PALETTE_DELETE_UNUSED);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_COUNT), "6");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "5");
        EXPECT_EQ(controlText(editor, IDC_PALETTE_RED), "255");  // entry 5, yellow
        EXPECT_EQ(controlText(editor, IDC_PALETTE_BLUE), "0");
        clickButton(editor, IDOK);
    }));
    EXPECT_EQ(frame().localTable.entries, std::vector<RgbColor>(kSixteen.begin(), kSixteen.begin() + 6));
}

// ---- Palette files ---------------------------------------------------------------------------

std::vector<uint8_t> readBytes(const std::string& name) {
    std::ifstream file(testOutputPath(name), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream file(testOutputPath(name), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST_F(PaletteEditorTest, WritePaletteSavesTheWorkingColours) {
    const std::vector<RgbColor> three = {{1, 2, 3}, {250, 128, 7}, {0, 0, 0}};
    addSelectedFrame(makePaletteFrame(three, 3, 1, [](uint32_t x, uint32_t) { return uint8_t(x); }));
    std::remove(testOutputPath("editor-written.plt").c_str());
    thenAnswer("Save Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-written.plt")));
    runEditor([](HWND editor) {
        clickEditorCell(editor, 2);
        SetDlgItemTextA(editor, IDC_PALETTE_BLUE, "9");
        clickButton(editor, IDC_PALETTE_WRITE);
        clickButton(editor, IDCANCEL);
    });
    // Count 3 little-endian, then the records; the edited blue is in the file.
    EXPECT_EQ(readBytes("editor-written.plt"),
              (std::vector<uint8_t>{3, 0, 0, 0, 1, 2, 3, 250, 128, 7, 0, 0, 9}));
}

TEST_F(PaletteEditorTest, ReadPaletteRecolours) {
    // Count 2: two records for a 4-entry palette; entries 2 and 3 stay.
    writeBytes("editor-read.plt", {2, 0, 0, 0, 10, 20, 30, 40, 50, 60});
    addSelectedFrame(gridFrame({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, 4));
    thenAnswer("Open Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-read.plt")));
    ASSERT_TRUE(runEditor([](HWND editor) {
        clickButton(editor, IDC_PALETTE_READ);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_RED), "10");  // entry 0 is selected
        clickButton(editor, IDOK);
    }));
    EXPECT_EQ(frame().localTable.entries,
              (std::vector<RgbColor>{{10, 20, 30}, {40, 50, 60}, {3, 3, 3}, {4, 4, 4}}));
}

TEST_F(PaletteEditorTest, AnUnreadablePaletteFileIsReportedAndChangesNothing) {
    writeBytes("editor-short.plt", {7, 0});  // not even the count
    addSelectedFrame(gridFrame({{1, 1, 1}, {2, 2, 2}}, 2));
    thenAnswer("Open Palette", DialogAnswerer::chooseFile(windowsOutputPath("editor-short.plt")));
    thenAnswer("Error", DialogAnswerer::pressButton(IDOK));
    ASSERT_TRUE(runEditor([](HWND editor) {
        clickButton(editor, IDC_PALETTE_READ);
        clickButton(editor, IDOK);
    }));
    EXPECT_EQ(answers_.lastMessageText(), "Unable to read the palette file.");
    EXPECT_EQ(frame().localTable.entries, (std::vector<RgbColor>{{1, 1, 1}, {2, 2, 2}}));
}

TEST_F(PaletteEditorTest, CancelledFileDialogsChangeNothing) {
    addSelectedFrame(gridFrame({{1, 1, 1}, {2, 2, 2}}, 2));
    thenAnswer("Open Palette", DialogAnswerer::cancel());
    thenAnswer("Save Palette", DialogAnswerer::cancel());
    ASSERT_TRUE(runEditor([](HWND editor) {
        clickButton(editor, IDC_PALETTE_READ);
        clickButton(editor, IDC_PALETTE_WRITE);
        clickButton(editor, IDOK);
    }));
    EXPECT_EQ(frame().localTable.entries, (std::vector<RgbColor>{{1, 1, 1}, {2, 2, 2}}));
}

// ---- Look --------------------------------------------------------------------------------------

TEST_F(PaletteEditorTest, GridShowsCellsCrossesAndTheSelectionFrame) {
    addSelectedFrame(gridFrame(rampPalette(256), 200));
    runEditor([](HWND editor) {
        clickEditorCell(editor, 37);
        moveOverEditorCell(editor, 210);
        RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpMessages(200);
        // Inside its border a used cell is all its colour; an unused one is crossed out.
        const Capture shot = captureWindow(editor);
        POINT origin = {0, 0};
        ClientToScreen(editor, &origin);
        RECT window;
        GetWindowRect(editor, &window);
        auto at = [&](int x, int y) {
            return shot.at(origin.x - window.left + x, origin.y - window.top + y);
        };
        auto offColour = [&](uint32_t index) {
            const RECT cell = paletteCellRect(index);
            int count = 0;
            for (int y = cell.top + 1; y < cell.bottom - 1; ++y) {
                for (int x = cell.left + 1; x < cell.right - 1; ++x)
                    count += at(x, y) != rampColor(index).packed();
            }
            return count;
        };
        EXPECT_EQ(offColour(20), 0);
        EXPECT_EQ(offColour(199), 0);
        EXPECT_GE(offColour(200), 12);  // two diagonals across 12 x 12 pixels
        EXPECT_GE(offColour(255), 12);
        // The selected cell is framed in red.
        const RECT selected = paletteCellRect(37);
        const int midY = (selected.top + selected.bottom) / 2;
        EXPECT_TRUE(at(selected.left, midY) == 0xFF0000u || at(selected.left - 1, midY) == 0xFF0000u);
        EXPECT_NE(at(selected.left + 3, midY), 0xFF0000u);
        EXPECT_NE(saveWindowScreenshot(editor, "palette-editor-256.png"), "");
        clickButton(editor, IDCANCEL);
    });
}

TEST_F(PaletteEditorTest, PreviewShowsTheRemappedFrameAndChangesNothing) {
    // 40 x 30: left half entry 3, right half entry 4.
    addSelectedFrame(
        makePaletteFrame(kSixteen, 40, 30, [](uint32_t x, uint32_t) { return uint8_t(x < 20 ? 3 : 4); }));
    const GifFrame before = frame();
    uint32_t left = 0, right = 0, outside = 0;
    thenAnswer("Preview", [&](HWND preview) {
        HWND picture = GetDlgItem(preview, IDC_PREVIEW_PICTURE);
        // Brings it to the front and repaints it before the pixels are read.
        saveWindowScreenshot(preview, "palette-preview.png");
        left = clientPixel(picture, 5, 15);
        right = clientPixel(picture, 35, 15);
        outside = clientPixel(picture, 45, 15);
        PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_FALSE(runEditor([](HWND editor) {
        clickEditorCell(editor, 3);
        clickButton(editor, IDC_PALETTE_MOVE_RIGHT);
        clickButton(editor, IDC_PALETTE_PREVIEW);
        EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "4");
        clickButton(editor, IDCANCEL);
    }));
    EXPECT_EQ(left, 0x00FF00u);   // entry 3 was green, now entry 4: still green on screen
    EXPECT_EQ(right, 0x0000FFu);  // blue
    const COLORREF face = GetSysColor(COLOR_BTNFACE);  // beside the picture, the control's background
    EXPECT_EQ(outside, uint32_t(GetRValue(face)) << 16 | uint32_t(GetGValue(face)) << 8 | GetBValue(face));
    EXPECT_EQ(frameIndices(frame()), frameIndices(before));
}

TEST_F(PaletteEditorTest, ButtonsCarryTheirTooltipsAndIcons) {
    addSelectedFrame(gridFrame(kSixteen, 16));
    struct Tool {
        int id;
        const char* tip;
    };
    const Tool tools[] = {
        {IDC_PALETTE_ADD, "Add Color Index"},
        {IDC_PALETTE_REMOVE, "Remove Color Index"},
        {IDC_PALETTE_REPLACE, "Replace Color"},
        {IDC_PALETTE_MOVE_LEFT, "Move palette item left"},
        {IDC_PALETTE_MOVE_RIGHT, "Move palette item right"},
        {IDC_PALETTE_SORT, "Sort palette entries"},
        {IDC_PALETTE_DELETE_DUPLICATES, "Delete extra palette entries with equal colors"},
        {IDC_PALETTE_DELETE_UNUSED, "Delete all unused palette entries"},
        {IDC_PALETTE_GRADIENT, "Color Gradient"},
        {IDC_PALETTE_READ, "Read palette"},
        {IDC_PALETTE_WRITE, "Write palette"},
    };
    runEditor([&](HWND editor) {
        // The editor's tooltip control is the tooltips_class32 window it owns.
        struct Search {
            HWND owner;
            HWND found;
        } search = {editor, nullptr};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM data) -> BOOL {
                Search* search = reinterpret_cast<Search*>(data);
                char name[64] = {};
                GetClassNameA(window, name, sizeof(name));
                if (std::strcmp(name, TOOLTIPS_CLASSA) != 0 || GetWindow(window, GW_OWNER) != search->owner)
                    return TRUE;
                search->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        HWND tooltip = search.found;
        ASSERT_NE(tooltip, nullptr);
        EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 11);
        for (const Tool& tool : tools) {
            char text[128] = {};
            TTTOOLINFOA info = {};
            info.cbSize = sizeof(info);
            info.hwnd = editor;
            info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(editor, tool.id));
            info.lpszText = text;
            SendMessageA(tooltip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
            EXPECT_STREQ(text, tool.tip);
            EXPECT_NE(SendDlgItemMessageA(editor, tool.id, BM_GETIMAGE, IMAGE_ICON, 0), 0) << tool.tip;
        }
        clickButton(editor, IDCANCEL);
    });
}

}  // namespace
