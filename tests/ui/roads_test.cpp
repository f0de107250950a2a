// The three everyday ways through the editor, as the test names tell them, from a fresh start to a
// file on disk. Each leaves its GIF and what giflib must find in it ("<name>.expect", from the
// recipes here, never the editor's document) for roads-giflib-check. Each kind of dialog is driven
// for real once.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "resource.h"
#include "support/gifbytes.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000, kGrey = 0x080808;

// One frame on disk: place, size, delay, the largest difference allowed per channel (JPEG
// pictures are not exact) and each pixel's colour, 0xRRGGBB, row by row.
struct ExpectedFrame {
    uint16_t left, top, width, height, delay;
    int tolerance;
    std::vector<uint32_t> colors;
};

// Reopens the road's GIF and writes "loop L" (NETSCAPE2.0 count, -1: none), "frames N", then per
// frame "frame left top width height delay tolerance" and a line of its colours in hex.
void expectAndRecord(const std::string& name, int loop, const std::vector<ExpectedFrame>& frames) {
    sendMenuCommand(IDM_FILE_NEW);  // the reopened document shows only what the file holds
    DialogStubs stub({windowsOutputPath("roads\\" + name + ".gif")});
    sendMenuCommand(IDM_FILE_OPEN);
    EXPECT_EQ(frameListCount(), int(frames.size()));
    EXPECT_EQ(checked(app().globalPanel, IDC_GLOBAL_INFINITE), loop == 0);
    std::ofstream out(testOutputPath("roads/" + name + ".expect"));
    out << "loop " << loop << "\nframes " << frames.size() << "\n";
    for (const ExpectedFrame& f : frames) {
        out << std::dec << "frame " << f.left << " " << f.top << " " << f.width << " " << f.height << " "
            << f.delay << " " << f.tolerance << "\n"
            << std::hex;
        for (uint32_t rgb : f.colors) out << rgb << " ";
        out << "\n";
    }
}

// The road's GIF path, with what an earlier run left of it gone, so a stale file cannot pass.
std::string freshRoad(const std::string& name) {
    DeleteFileA(windowsOutputPath("roads\\" + name + ".expect").c_str());
    DeleteFileA(windowsOutputPath("roads\\" + name + ".gif").c_str());
    return windowsOutputPath("roads\\" + name + ".gif");
}

class Roads : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session_.started);
        CreateDirectoryA(windowsOutputPath("roads").c_str(), nullptr);
    }
    AppSession session_;
};

TEST_F(Roads, OpenSelectChangeDelaySaveReopen) {
    GifBytes gif;
    gif.header().screen(8, 4, 0x81).colors({kBlack, kWhite, kRed, kGrey});
    for (auto [left, top, width, height, delay] :
         {std::array{0, 0, 8, 4, 10}, {2, 1, 4, 2, 20}, {6, 2, 2, 2, 30}})
        gif.graphicControl(0x04, uint16_t(delay), 0)
            .imageDescriptor(uint16_t(left), uint16_t(top), uint16_t(width), uint16_t(height))
            .imageData(2, referenceLzwEncode(Bytes(size_t(width * height), uint8_t(delay / 10)), 2));
    const std::string path = freshRoad("delay");
    writeTestFile("roads/delay.gif", gif.trailer().bytes());
    DialogAnswerer answers;
    answers.expect("Open", DialogAnswerer::chooseFile(path));
    sendMenuCommand(IDM_FILE_OPEN);
    ASSERT_EQ(frameListCount(), 3);
    showPropertyTab(1);
    selectFrame(1);
    typeText(app().imagePanel, IDC_IMAGE_DELAY, "125");
    leaveField(app().imagePanel, IDC_IMAGE_DELAY);
    EXPECT_TRUE(app().editor.changed());
    sendMenuCommand(IDM_FILE_SAVE);  // the document has its path: no dialog
    EXPECT_FALSE(app().editor.changed());
    EXPECT_TRUE(answers.allAnswered());
    expectAndRecord("delay", -1,
                    {{0, 0, 8, 4, 10, 0, std::vector<uint32_t>(32, kWhite)},
                     {2, 1, 4, 2, 125, 0, std::vector<uint32_t>(8, kRed)},
                     {6, 2, 2, 2, 30, 0, std::vector<uint32_t>(4, kGrey)}});
}

TEST_F(Roads, StartEmptyAddPngAndJpegLoopForeverSaveAsReopen) {
    DialogAnswerer answers;
    answers.expect("Open", DialogAnswerer::chooseFile(importImagePath("colors256.png")));
    sendMenuCommand(IDM_IMAGE_ADD);
    {
        DialogStubs stub({importImagePath("flat.jpg")});
        sendMenuCommand(IDM_IMAGE_ADD);
    }
    ASSERT_EQ(frameListCount(), 2);
    showPropertyTab(0);
    press(app().globalPanel, IDC_GLOBAL_INFINITE);
    EXPECT_TRUE(checked(app().globalPanel, IDC_GLOBAL_INFINITE));
    // A name typed without its extension gets ".gif".
    const std::string path = freshRoad("pictures");
    answers.expect("Save As", DialogAnswerer::chooseFile(path.substr(0, path.size() - 4)));
    sendMenuCommand(IDM_FILE_SAVE_AS);
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_STRCASEEQ(app().editor.path().c_str(), path.c_str());
    // colors256.png: 16 x 16, pixel i = 16y + x has colour (i, 255 - i, 7i mod 256), as
    // make-import-images.sh draws it; flat.jpg: 48 x 32 of (100, 150, 200), JPEG-rounded.
    ExpectedFrame png{0, 0, 16, 16, 0, 0, {}};
    for (uint32_t i = 0; i < 256; ++i) png.colors.push_back(i << 16 | (255 - i) << 8 | ((7 * i) & 0xFF));
    expectAndRecord("pictures", 0, {png, {0, 0, 48, 32, 0, 6, std::vector<uint32_t>(48 * 32, 0x6496C8)}});
}

TEST_F(Roads, EditALocalPaletteSaveReopenEveryPixel) {
    const uint8_t indices[12] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
    const std::string path = freshRoad("palette");
    GifBytes gif;
    gif.header().screen(6, 2, 0x00).imageDescriptor(0, 0, 6, 2, 0x81).colors({kBlack, kWhite, kRed, kGrey});
    writeTestFile("roads/palette.gif",
                  gif.imageData(2, referenceLzwEncode(Bytes(indices, indices + 12), 2)).trailer().bytes());
    {
        DialogStubs stub({path});
        sendMenuCommand(IDM_FILE_OPEN);
    }
    ASSERT_EQ(frameListCount(), 1);
    showPropertyTab(1);
    selectFrame(0);
    DialogAnswerer answers;
    answers.expect("Edit Palette", [](HWND editor) {
        // Move red one place right (grey comes to 2), make white (255, 128, 255), then remove
        // grey, whose nearest remaining colour is black.
        clickEditorCell(editor, 2);
        press(editor, IDC_PALETTE_MOVE_RIGHT);
        clickEditorCell(editor, 1);
        SetDlgItemTextA(editor, IDC_PALETTE_GREEN, "128");
        clickEditorCell(editor, 2);
        press(editor, IDC_PALETTE_REMOVE);
        press(editor, IDOK);
    });
    press(app().imagePanel, IDC_IMAGE_LOCAL_PALETTE);
    EXPECT_TRUE(answers.allAnswered()) << "the editor did not open";
    sendMenuCommand(IDM_FILE_SAVE);
    EXPECT_FALSE(app().editor.changed());
    const uint32_t after[4] = {kBlack, 0xFF80FF, kRed, kBlack};  // old index -> colour now
    ExpectedFrame frame{0, 0, 6, 2, 0, 0, {}};
    for (uint8_t i : indices) frame.colors.push_back(after[i]);
    expectAndRecord("palette", -1, {frame});
}

}  // namespace
