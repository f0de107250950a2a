// The three everyday ways through the editor, each from a fresh start to a file on disk:
//   1. open a GIF, select a frame, change its delay, save, reopen;
//   2. start empty, add a PNG and a JPEG, set looping to Infinite, save as, reopen;
//   3. open a GIF, edit a frame's local palette (move, recolour, remove), OK, save, reopen.
// Each road leaves its GIF and a description of what giflib must find in it ("<name>.expect")
// in the test output's roads folder; roads-giflib-check then reads them natively with giflib.
// The expectations come from the recipes here, never from the document the editor holds.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"
#include "ui/support/appdriver.h"
#include "ui/support/paletteharness.h"
#include "ui/support/panelsdriver.h"
#include "ui/support/uiharness.h"

namespace {

// What one frame must look like on disk: place, delay and each pixel's colour, 0xRRGGBB, row by
// row; `tolerance` is the largest difference allowed per channel (JPEG pictures are not exact).
struct ExpectedFrame {
    uint16_t left = 0, top = 0, width = 0, height = 0, delay = 0;
    int tolerance = 0;
    std::vector<uint32_t> colors;
};

struct ExpectedGif {
    int loop = -1;  // NETSCAPE2.0 count; -1 when the file must have none
    std::vector<ExpectedFrame> frames;
};

// The checker's input: "loop L", "frames N", then per frame a line "frame left top width height
// delay tolerance" and a line of width * height colours in hex.
void writeExpectation(const std::string& name, const ExpectedGif& gif) {
    std::ofstream out(testOutputPath("roads/" + name + ".expect"));
    out << "loop " << gif.loop << "\nframes " << gif.frames.size() << "\n";
    for (const ExpectedFrame& f : gif.frames) {
        out << "frame " << f.left << " " << f.top << " " << f.width << " " << f.height << " " << f.delay << " "
            << f.tolerance << "\n";
        char hex[8];
        for (uint32_t color : f.colors) {
            std::snprintf(hex, sizeof(hex), "%06X", unsigned(color));
            out << hex << " ";
        }
        out << "\n";
    }
}

std::string roadPath(const std::string& name) { return windowsOutputPath("roads\\" + name + ".gif"); }

void removeRoadFiles(const std::string& name) {
    DeleteFileA(roadPath(name).c_str());
    DeleteFileA((windowsOutputPath("roads\\" + name) + ".expect").c_str());
}

// The colour of every pixel of a frame of the open document, through its local table (or the
// global one).
std::vector<uint32_t> documentColors(size_t index) {
    const GifFrame& frame = g_document.frames[index];
    const ColorTable& table = frame.hasLocalTable ? frame.localTable : g_document.globalTable;
    std::vector<uint32_t> colors;
    for (uint32_t y = 0; y < frame.height(); ++y)
        for (uint32_t x = 0; x < frame.width(); ++x) {
            const uint8_t i = frame.bitmap->at(x, y);
            const RgbColor c = i < table.entries.size() ? table.entries[i] : RgbColor(0, 0, 0);
            colors.push_back(uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue);
        }
    return colors;
}

bool within(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d > tolerance || -d > tolerance) return false;
    }
    return true;
}

// The open document against the expectation: what the editor shows after reopening.
void expectDocument(const ExpectedGif& expected) {
    ASSERT_EQ(g_document.frames.size(), expected.frames.size());
    EXPECT_EQ(frameListCount(), int(expected.frames.size()));
    EXPECT_EQ(g_document.loopForever, expected.loop == 0);
    for (size_t i = 0; i < expected.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const ExpectedFrame& want = expected.frames[i];
        const GifFrame& frame = g_document.frames[i];
        EXPECT_EQ(frame.left, want.left);
        EXPECT_EQ(frame.top, want.top);
        ASSERT_EQ(frame.width(), want.width);
        ASSERT_EQ(frame.height(), want.height);
        EXPECT_EQ(frame.delay, want.delay);
        const std::vector<uint32_t> colors = documentColors(i);
        for (size_t p = 0; p < colors.size(); ++p)
            ASSERT_TRUE(within(colors[p], want.colors[p], want.tolerance)) << "pixel " << p;
    }
}

class Roads : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session_.started());
        CreateDirectoryA(windowsOutputPath("roads").c_str(), nullptr);
        parkPointer();
    }

    void open(const std::string& path) {
        DialogAnswerer answers;
        answers.expect("Open", DialogAnswerer::chooseFile(path));
        sendMenuCommand(IDM_FILE_OPEN);
        EXPECT_TRUE(answers.allAnswered());
        for (const std::string& caption : answers.unexpected()) EXPECT_EQ(caption, "Velmora");
        EXPECT_EQ(g_documentPath, path);
    }

    // Reopening starts from an empty document, so what is seen comes from the file alone.
    void reopen(const std::string& path) {
        sendMenuCommand(IDM_FILE_NEW);
        ASSERT_EQ(frameListCount(), 0);
        open(path);
    }

    AppSession session_;
};

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000, kGrey = 0x080808;

// ---- 1: a frame's delay ----------------------------------------------------------------------

TEST_F(Roads, OpenSelectChangeDelaySaveReopen) {
    removeRoadFiles("delay");
    // Screen 8 x 4, global table {black, white, red, grey}; three frames, each after a graphic
    // control block with delays 10, 20, 30 (hundredths): 8 x 4 white at (0, 0), 4 x 2 red at
    // (2, 1), 2 x 2 grey at (6, 2).
    GifBytes gif;
    gif.header().screen(8, 4, 0x81).colors({kBlack, kWhite, kRed, kGrey});
    gif.graphicControl(0x04, 10, 0).imageDescriptor(0, 0, 8, 4).imageData(2, referenceLzwEncode(Bytes(32, 1), 2));
    gif.graphicControl(0x04, 20, 0).imageDescriptor(2, 1, 4, 2).imageData(2, referenceLzwEncode(Bytes(8, 2), 2));
    gif.graphicControl(0x04, 30, 0).imageDescriptor(6, 2, 2, 2).imageData(2, referenceLzwEncode(Bytes(4, 3), 2));
    gif.trailer();
    writeTestFile("roads/delay.gif", gif.bytes());
    const std::string path = roadPath("delay");

    open(path);
    ASSERT_EQ(frameListCount(), 3);
    paneltest::showPropertyTab(1);
    paneltest::selectFrame(1);
    EXPECT_EQ(paneltest::textOf(g_imagePanel, IDC_IMAGE_DELAY), "20");
    paneltest::typeText(g_imagePanel, IDC_IMAGE_DELAY, "125");
    paneltest::leaveField(g_imagePanel, IDC_IMAGE_DELAY);
    EXPECT_TRUE(g_modified);

    DialogAnswerer answers;
    sendMenuCommand(IDM_FILE_SAVE);  // the document has its path: no dialog
    EXPECT_TRUE(answers.seen().empty() || answers.unexpected() == std::vector<std::string>{"Velmora"});
    EXPECT_FALSE(g_modified);

    ExpectedGif expected;
    expected.loop = -1;
    expected.frames = {{0, 0, 8, 4, 10, 0, std::vector<uint32_t>(32, kWhite)},
                       {2, 1, 4, 2, 125, 0, std::vector<uint32_t>(8, kRed)},
                       {6, 2, 2, 2, 30, 0, std::vector<uint32_t>(4, kGrey)}};
    reopen(path);
    expectDocument(expected);
    writeExpectation("delay", expected);
}

// ---- 2: a new animation from pictures ----------------------------------------------------------

TEST_F(Roads, StartEmptyAddPngAndJpegLoopForeverSaveAsReopen) {
    removeRoadFiles("pictures");
    const std::string path = roadPath("pictures");
    ASSERT_EQ(frameListCount(), 0);
    ASSERT_TRUE(fileExists(importImagePath("colors256.png"))) << "run the ui_import_images step first";

    for (const char* picture : {"colors256.png", "flat.jpg"}) {
        DialogAnswerer answers;
        answers.expect("Open", DialogAnswerer::chooseFile(importImagePath(picture)));
        sendMenuCommand(IDM_IMAGE_ADD);
        EXPECT_TRUE(answers.allAnswered()) << picture;
    }
    ASSERT_EQ(frameListCount(), 2);
    paneltest::showPropertyTab(0);
    if (!paneltest::checked(g_globalPanel, IDC_GLOBAL_INFINITE)) paneltest::press(g_globalPanel, IDC_GLOBAL_INFINITE);
    EXPECT_TRUE(paneltest::checked(g_globalPanel, IDC_GLOBAL_INFINITE));

    DialogAnswerer answers;
    answers.expect("Save As", DialogAnswerer::chooseFile(path));
    sendMenuCommand(IDM_FILE_SAVE_AS);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(g_documentPath, path);

    // colors256.png: 16 x 16, pixel (x, y) has colour i = 16y + x: (i, 255 - i, 7i mod 256), as
    // make-import-images.sh draws it. flat.jpg: 48 x 32 of (100, 150, 200), JPEG-rounded.
    ExpectedGif expected;
    expected.loop = 0;
    ExpectedFrame png{0, 0, 16, 16, 0, 0, {}};
    for (uint32_t i = 0; i < 256; ++i) png.colors.push_back(i << 16 | (255 - i) << 8 | ((7 * i) & 0xFF));
    ExpectedFrame jpeg{0, 0, 48, 32, 0, 6, std::vector<uint32_t>(48 * 32, 0x6496C8)};
    expected.frames = {png, jpeg};
    reopen(path);
    expectDocument(expected);
    writeExpectation("pictures", expected);
}

// ---- 3: a frame's own palette ------------------------------------------------------------------

TEST_F(Roads, EditALocalPaletteSaveReopenEveryPixel) {
    removeRoadFiles("palette");
    // Screen 6 x 2, no global table; one 6 x 2 frame with a local table {black, white, red,
    // grey} and pixels 0 1 2 3 0 1 / 2 3 0 1 2 3.
    const uint8_t indices[12] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
    GifBytes gif;
    gif.header().screen(6, 2, 0x00);
    gif.imageDescriptor(0, 0, 6, 2, 0x81).colors({kBlack, kWhite, kRed, kGrey});
    gif.imageData(2, referenceLzwEncode(Bytes(indices, indices + 12), 2)).trailer();
    writeTestFile("roads/palette.gif", gif.bytes());
    const std::string path = roadPath("palette");

    open(path);
    ASSERT_EQ(frameListCount(), 1);
    paneltest::showPropertyTab(1);
    paneltest::selectFrame(0);
    {
        DialogAnswerer answers;
        answers.expect("Edit Palette", [](HWND editor) {
            // Move red one place right (grey comes to 2), make white (255, 128, 255), then remove
            // grey, whose nearest remaining colour is black.
            clickEditorCell(editor, 2);
            clickButton(editor, IDC_PALETTE_MOVE_RIGHT);
            EXPECT_EQ(controlText(editor, IDC_PALETTE_INDEX), "3");
            clickEditorCell(editor, 1);
            SetDlgItemTextA(editor, IDC_PALETTE_GREEN, "128");
            clickEditorCell(editor, 2);
            EXPECT_EQ(controlText(editor, IDC_PALETTE_RED), "8");
            clickButton(editor, IDC_PALETTE_REMOVE);
            EXPECT_EQ(controlText(editor, IDC_PALETTE_COUNT), "3");
            clickButton(editor, IDOK);
        });
        paneltest::press(g_imagePanel, IDC_IMAGE_LOCAL_PALETTE);
        EXPECT_TRUE(answers.allAnswered()) << "the editor did not open";
    }
    EXPECT_TRUE(g_modified);
    sendMenuCommand(IDM_FILE_SAVE);
    EXPECT_FALSE(g_modified);

    const uint32_t kPink = 0xFF80FF;
    const uint32_t after[4] = {kBlack, kPink, kRed, kBlack};  // old index -> colour now
    ExpectedGif expected;
    ExpectedFrame frame{0, 0, 6, 2, 0, 0, {}};
    for (uint8_t i : indices) frame.colors.push_back(after[i]);
    expected.frames = {frame};
    reopen(path);
    expectDocument(expected);
    // Three colours are left; a GIF table holds a power of two, so one padding entry follows.
    const std::vector<RgbColor>& table = g_document.frames[0].localTable.entries;
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(std::vector<RgbColor>(table.begin(), table.begin() + 3),
              (std::vector<RgbColor>{{0, 0, 0}, {255, 128, 255}, {255, 0, 0}}));
    writeExpectation("palette", expected);
}

}  // namespace
