// The frame list: owner-drawn items (title bar, body, check box, thumbnail), the check box that
// pins a frame, and the selection handler that fills the Image and Comment panels.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "ui/support/uiharness.h"

namespace {

constexpr uint32_t kNavy = 0x000080;
constexpr uint32_t kLightGrey = 0xF0F0F0;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBoxGrey = 0xCCCCCC;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr int kItemWidth = 146;
constexpr int kItemHeight = 54;

// ---- Documents ---------------------------------------------------------------------------------

// A frame of one colour, built in memory: every pixel index 0, entry 0 the colour.
GifFrame solidFrame(uint32_t rgb, uint32_t width, uint32_t height, uint16_t left, uint16_t top) {
    GifFrame frame;
    frame.bitmap = IndexedBitmap::create(width, height);
    IndexedPalette palette;
    palette.count = 1;
    palette.entries[0] = 0xFF000000u | rgb;
    frame.bitmap->setPalette(palette);
    frame.left = left;
    frame.top = top;
    return frame;
}

void fillListFromDocument() {
    SendMessageA(g_frameList, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < g_document.frames.size(); ++i) {
        SendMessageA(g_frameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    }
}

// Recipe of the test file, block by block:
//   GIF89a, screen 400 x 100, global table of 4: black, blue, red, green.
//   Frame 1: graphic control (disposal 1, transparent, delay 10, index 0), image (0, 0) 400 x 100,
//            no local table, every pixel 1 (blue). Transparent, but with no local table.
//   Frame 2: comments "first" and "second"; graphic control (disposal 2, transparent, delay 25,
//            index 3); image (200, 50) 200 x 50, interlaced, local table of 8 (black, green, red,
//            white, then four greys), every pixel 2 (red).
//   Frame 3: no extensions; image (380, 90) 40 x 20, past the screen's corner, every pixel 3 (green).
Bytes threeFrameGif() {
    GifBytes gif;
    gif.header().screen(400, 100, 0x81).colors({0x000000, 0x0000FF, 0xFF0000, 0x00FF00});
    gif.graphicControl((1 << 2) | 1, 10, 0).imageDescriptor(0, 0, 400, 100);
    gif.imageData(2, referenceLzwEncode(Bytes(400 * 100, 1), 2));
    gif.comment({"first"}).comment({"second"});
    gif.graphicControl((2 << 2) | 1, 25, 3).imageDescriptor(200, 50, 200, 50, 0x80 | 0x40 | 0x02);
    gif.colors({0x000000, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x202020, 0x404040, 0x606060, 0x808080});
    gif.imageData(3, referenceLzwEncode(Bytes(200 * 50, 2), 3));
    gif.imageDescriptor(380, 90, 40, 20).imageData(2, referenceLzwEncode(Bytes(40 * 20, 3), 2));
    gif.trailer();
    return gif.bytes();
}

void readThreeFrameGif() {
    const std::string path = writeTestFile("framelist-three-frames.gif", threeFrameGif());
    ASSERT_EQ(g_document.readFile(path.c_str()), ReadOk);
    ASSERT_EQ(g_document.frames.size(), 3u);
    fillListFromDocument();
}

// ---- Drawing -----------------------------------------------------------------------------------

// One item drawn through the main window's WM_DRAWITEM into a memory bitmap.
Capture drawItem(int itemId, bool selected, uint32_t background = 0x123456) {
    return captureDrawing(kItemWidth, kItemHeight, background, [&](HDC dc) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTBOX;
        item.CtlID = IDC_FRAME_LIST;
        item.itemID = UINT(itemId);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = selected ? ODS_SELECTED : 0;
        item.hwndItem = g_frameList;
        item.hDC = dc;
        item.rcItem = {0, 0, kItemWidth, kItemHeight};
        SendMessageA(g_mainWindow, WM_DRAWITEM, IDC_FRAME_LIST, reinterpret_cast<LPARAM>(&item));
    });
}

int countPixels(const Capture& capture, RECT area, const std::function<bool(uint32_t)>& match) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) count += match(capture.at(x, y)) ? 1 : 0;
    }
    return count;
}

bool isDark(uint32_t rgb) {
    return redOf(rgb) < 100 && greenOf(rgb) < 100 && blueOf(rgb) < 100;
}
bool isLight(uint32_t rgb) {
    return redOf(rgb) > 200 && greenOf(rgb) > 200 && blueOf(rgb) > 200;
}

std::string hex(uint32_t rgb) {
    char text[16];
    snprintf(text, sizeof(text), "%06X", rgb);
    return text;
}

TEST(FrameListDrawing, TitleBarBodyAndCheckBox) {
    AppSession session;
    ASSERT_TRUE(session.started());
    g_document.screenWidth = 10;
    g_document.screenHeight = 10;
    g_document.frames.push_back(solidFrame(kBlue, 10, 10, 0, 0));
    const RECT title = {18, 0, 90, 16};  // where "Frame 1" is written

    struct Case {
        const char* name;
        bool selected;
        uint32_t titleBar;
        std::function<bool(uint32_t)> titleInk;
    };
    const Case cases[] = {
        {"selected", true, kNavy, [](uint32_t p) { return isLight(p); }},
        {"not selected", false, kWhite, [](uint32_t p) { return isDark(p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Capture item = drawItem(0, c.selected);
        savePng(item, std::string("framelist-item-") + (c.selected ? "selected" : "plain") + ".png");
        EXPECT_EQ(hex(item.at(140, 2)), hex(c.titleBar));
        EXPECT_EQ(hex(item.at(19, 15)), hex(c.titleBar));
        EXPECT_EQ(hex(item.at(140, 16)), hex(kLightGrey));  // body starts below the 16-pixel bar
        EXPECT_EQ(hex(item.at(140, 50)), hex(kLightGrey));
        EXPECT_EQ(hex(item.at(19, 50)), hex(kLightGrey));
        EXPECT_EQ(hex(item.at(17, 50)), hex(kWhite));  // the strip left of the body
        EXPECT_EQ(hex(item.at(1, 2)), hex(kWhite));
        // The title is drawn: enough text-coloured pixels on the bar.
        EXPECT_GT(countPixels(item, title, c.titleInk), 15);
        // Check box outline: 10 x 10 from (4, 29), grey.
        EXPECT_EQ(hex(item.at(4, 29)), hex(kBoxGrey));
        EXPECT_EQ(hex(item.at(14, 39)), hex(kBoxGrey));
        EXPECT_EQ(hex(item.at(9, 29)), hex(kBoxGrey));
        EXPECT_EQ(hex(item.at(4, 34)), hex(kBoxGrey));
        // Not pinned: nothing inside the box.
        EXPECT_EQ(countPixels(item, {5, 30, 14, 39}, [](uint32_t p) { return p != kWhite; }), 0);
    }
}

TEST(FrameListDrawing, PinnedFramesShowTheTick) {
    AppSession session;
    ASSERT_TRUE(session.started());
    g_document.frames.push_back(solidFrame(kBlue, 1, 1, 0, 0));
    g_document.frames[0].pinned = true;
    const Capture item = drawItem(0, false);
    savePng(item, "framelist-item-pinned.png");
    const int ink = countPixels(item, {6, 31, 14, 39}, [](uint32_t p) { return isDark(p); });
    EXPECT_GE(ink, 8);   // a stroke, not a speck
    EXPECT_LE(ink, 40);  // a tick, not a filled square
    EXPECT_EQ(hex(item.at(4, 29)), hex(kBoxGrey));
}

TEST(FrameListDrawing, ItemsWithoutAFrameDrawNothing) {
    AppSession session;
    ASSERT_TRUE(session.started());
    g_document.frames.push_back(solidFrame(kBlue, 1, 1, 0, 0));
    for (int id : {1, 2, 1000, -1}) {
        const Capture item = drawItem(id, true, 0x123456);
        EXPECT_EQ(
            countPixels(item, {0, 0, kItemWidth, kItemHeight}, [](uint32_t p) { return p != 0x123456; }), 0)
            << "item " << id;
    }
}

// Thumbnails: where the screen's picture goes and where the frame lands in it. Points are in
// item pixels; expected colours follow from the scaling by hand (see each case).
TEST(FrameListDrawing, ThumbnailPlacesTheFrameOnTheScaledScreen) {
    struct Probe {
        int x, y;
        uint32_t color;
    };
    struct Case {
        const char* name;
        uint16_t screenWidth, screenHeight;
        uint32_t frameColor;
        uint32_t frameWidth, frameHeight;
        uint16_t left, top;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        // 400 x 100 -> 37 x 9.25 at (65.5, 29.375); the frame at (200, 50) covers x 84..102.5,
        // y 34..38.6: the lower right quarter.
        {"400x100, frame at (200, 50)",
         400,
         100,
         kRed,
         200,
         50,
         200,
         50,
         {{93, 36, kRed},
          {100, 37, kRed},
          {75, 36, kWhite},
          {93, 31, kWhite},
          {70, 31, kWhite},
          {60, 36, kLightGrey},
          {108, 36, kLightGrey},
          {84, 26, kLightGrey},
          {84, 42, kLightGrey}}},
        // 20 x 10 is not enlarged: x 74..94, y 29..39.
        {"20x10 keeps its size",
         20,
         10,
         kBlue,
         20,
         10,
         0,
         0,
         {{84, 34, kBlue},
          {76, 31, kBlue},
          {92, 37, kBlue},
          {71, 34, kLightGrey},
          {97, 34, kLightGrey},
          {84, 26, kLightGrey},
          {84, 42, kLightGrey}}},
        // 100 x 400 -> 9.25 x 37 at (79.4, 15.5).
        {"100x400 tall",
         100,
         400,
         kBlue,
         100,
         400,
         0,
         0,
         {{84, 34, kBlue}, {84, 20, kBlue}, {84, 48, kBlue}, {76, 34, kLightGrey}, {92, 34, kLightGrey}}},
        // 400 x 100 with a 40 x 20 frame at (380, 90): it starts at x 100.7, y 37.7 and runs past
        // the screen's corner, where the clip (65..102, 29..39) cuts it.
        {"frame past the corner is clipped",
         400,
         100,
         kGreen,
         40,
         20,
         380,
         90,
         {{101, 38, kGreen},
          {105, 38, kLightGrey},
          {106, 41, kLightGrey},
          {101, 41, kLightGrey},
          {95, 36, kWhite}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppSession session;
        ASSERT_TRUE(session.started());
        g_document.screenWidth = c.screenWidth;
        g_document.screenHeight = c.screenHeight;
        g_document.frames.push_back(solidFrame(c.frameColor, c.frameWidth, c.frameHeight, c.left, c.top));
        const Capture item = drawItem(0, false);
        for (const Probe& probe : c.probes) {
            EXPECT_EQ(hex(item.at(probe.x, probe.y)), hex(probe.color))
                << "at " << probe.x << ", " << probe.y;
        }
    }
}

// ---- Clicks and selection --------------------------------------------------------------------

// A real click: the pointer goes to the point (the list reads the cursor position), then the
// button goes down and up on the list.
void clickList(POINT client) {
    POINT screen = client;
    ClientToScreen(g_frameList, &screen);
    SetCursorPos(screen.x, screen.y);
    pumpMessages(30);
    SendMessageA(g_frameList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    SendMessageA(g_frameList, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    pumpMessages(30);
}

RECT itemRect(int index) {
    RECT rect = {};
    SendMessageA(g_frameList, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

std::string text(HWND dialog, int id) {
    char buffer[256] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
    return buffer;
}

bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::string comboItem(HWND combo, int index) {
    char buffer[256] = {};
    SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void selectByUser(int index) {
    SendMessageA(g_frameList, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(IDC_FRAME_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(g_frameList));
}

TEST(FrameList, ReadingATestGifFillsTheList) {
    AppSession session;
    ASSERT_TRUE(session.started());
    readThreeFrameGif();
    EXPECT_EQ(SendMessageA(g_frameList, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(g_document.screenWidth, 400);
    // Each item draws its own frame: "Frame n" titles and the thumbnails of the recipe.
    const Capture first = drawItem(0, false);
    EXPECT_EQ(hex(first.at(70, 32)), hex(kBlue));
    const Capture second = drawItem(1, false);
    EXPECT_EQ(hex(second.at(93, 36)), hex(kRed));
    EXPECT_EQ(hex(second.at(75, 36)), hex(kWhite));
    const Capture third = drawItem(2, false);
    EXPECT_EQ(hex(third.at(101, 38)), hex(kGreen));
}

TEST(FrameList, ClickOnTheBoxTogglesPinnedAndSelects) {
    AppSession session;
    ASSERT_TRUE(session.started());
    readThreeFrameGif();
    pumpMessages(50);
    struct Step {
        const char* name;
        int item;
        int dx, dy;  // from the item's top left
        bool pinnedAfter[3];
    };
    const Step steps[] = {
        {"box of item 2", 1, 9, 34, {false, true, false}},
        {"box of item 2 again", 1, 5, 30, {false, false, false}},
        {"box of item 3, its corner", 2, 4, 29, {false, false, true}},
        {"title of item 1 only selects", 0, 60, 8, {false, false, true}},
        {"thumbnail of item 3 only selects", 2, 84, 34, {false, false, true}},
        {"just outside the box", 0, 14, 34, {false, false, true}},
        {"box of item 1", 0, 13, 38, {true, false, true}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const RECT item = itemRect(step.item);
        clickList({item.left + step.dx, item.top + step.dy});
        EXPECT_EQ(SendMessageA(g_frameList, LB_GETCURSEL, 0, 0), step.item);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(g_document.frames[size_t(i)].pinned, step.pinnedAfter[i]) << "frame " << i;
    }
    // The click reached the selection handler: the Image panel shows frame 1's size.
    EXPECT_EQ(text(g_imagePanel, IDC_IMAGE_WIDTH), "400");
    EXPECT_EQ(text(g_imagePanel, IDC_IMAGE_HEIGHT), "100");
}

TEST(FrameList, SelectionFillsTheImageAndCommentPanels) {
    AppSession session;
    ASSERT_TRUE(session.started());
    readThreeFrameGif();
    HWND image = g_imagePanel;
    HWND commentText = GetDlgItem(g_commentPanel, IDC_COMMENT_TEXT);

    // Frame 2 of the recipe: every control shows its value.
    selectByUser(1);
    EXPECT_EQ(text(image, IDC_IMAGE_WIDTH), "200");
    EXPECT_EQ(text(image, IDC_IMAGE_HEIGHT), "50");
    EXPECT_EQ(text(image, IDC_IMAGE_LEFT), "200");
    EXPECT_EQ(text(image, IDC_IMAGE_TOP), "50");
    EXPECT_EQ(text(image, IDC_IMAGE_DELAY), "25");
    EXPECT_EQ(text(image, IDC_IMAGE_TRANSPARENT_INDEX), "3");
    EXPECT_TRUE(enabled(image, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_TRUE(enabled(image, IDC_IMAGE_TRANSPARENT_SWATCH));
    EXPECT_TRUE(checked(image, IDC_IMAGE_TRANSPARENT));
    EXPECT_EQ(SendDlgItemMessageA(image, IDC_IMAGE_DISPOSAL, CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(checked(image, IDC_IMAGE_INTERLACED));
    EXPECT_TRUE(enabled(image, IDC_IMAGE_LOCAL_PALETTE));
    ASSERT_EQ(SendMessageA(g_commentList, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(comboItem(g_commentList, 0), "1. first");
    EXPECT_EQ(comboItem(g_commentList, 1), "2. second");
    EXPECT_EQ(SendMessageA(g_commentList, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(text(g_commentPanel, IDC_COMMENT_TEXT), "first");
    EXPECT_TRUE(IsWindowEnabled(g_commentList));
    EXPECT_TRUE(IsWindowEnabled(commentText));

    // Frame 1: transparent but without a local table, so the transparency controls are off;
    // no comments, so the comment controls are empty and off.
    selectByUser(0);
    EXPECT_EQ(text(image, IDC_IMAGE_WIDTH), "400");
    EXPECT_EQ(text(image, IDC_IMAGE_HEIGHT), "100");
    EXPECT_EQ(text(image, IDC_IMAGE_LEFT), "0");
    EXPECT_EQ(text(image, IDC_IMAGE_TOP), "0");
    EXPECT_EQ(text(image, IDC_IMAGE_DELAY), "10");
    EXPECT_EQ(text(image, IDC_IMAGE_TRANSPARENT_INDEX), "");
    EXPECT_FALSE(enabled(image, IDC_IMAGE_TRANSPARENT_INDEX));
    EXPECT_FALSE(enabled(image, IDC_IMAGE_TRANSPARENT_SWATCH));
    EXPECT_FALSE(checked(image, IDC_IMAGE_TRANSPARENT));
    EXPECT_EQ(SendDlgItemMessageA(image, IDC_IMAGE_DISPOSAL, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(checked(image, IDC_IMAGE_INTERLACED));
    EXPECT_FALSE(enabled(image, IDC_IMAGE_LOCAL_PALETTE));
    EXPECT_EQ(SendMessageA(g_commentList, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(text(g_commentPanel, IDC_COMMENT_TEXT), "");
    EXPECT_FALSE(IsWindowEnabled(g_commentList));
    EXPECT_FALSE(IsWindowEnabled(commentText));

    // Frame 3: no graphic control at all.
    selectByUser(2);
    EXPECT_EQ(text(image, IDC_IMAGE_LEFT), "380");
    EXPECT_EQ(text(image, IDC_IMAGE_TOP), "90");
    EXPECT_EQ(text(image, IDC_IMAGE_DELAY), "0");
    EXPECT_EQ(SendDlgItemMessageA(image, IDC_IMAGE_DISPOSAL, CB_GETCURSEL, 0, 0), 0);

    // A selection set by code sends no notification: the panels keep showing frame 3.
    SendMessageA(g_frameList, LB_SETCURSEL, 1, 0);
    pumpMessages(30);
    EXPECT_EQ(text(image, IDC_IMAGE_LEFT), "380");
}

TEST(FrameList, SelectionResetsTheScrollPositionAndIgnoresItemsWithoutFrames) {
    AppSession session;
    ASSERT_TRUE(session.started());
    readThreeFrameGif();
    selectByUser(2);
    ASSERT_EQ(text(g_imagePanel, IDC_IMAGE_LEFT), "380");
    g_scrollX = 70;
    g_scrollY = 40;
    selectByUser(0);
    EXPECT_EQ(g_scrollX, 0);
    EXPECT_EQ(g_scrollY, 0);
    // An item beyond the frames (the list and document out of step) touches no panel.
    SendMessageA(g_frameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    g_scrollX = 70;
    selectByUser(3);
    EXPECT_EQ(g_scrollX, 70);
    EXPECT_EQ(text(g_imagePanel, IDC_IMAGE_LEFT), "0");
}

TEST(FrameList, SelectedItemHasANavyTitleBarOnScreen) {
    AppSession session;
    ASSERT_TRUE(session.started());
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 760, 560, SWP_NOMOVE | SWP_NOZORDER);
    readThreeFrameGif();
    const RECT second = itemRect(1);
    clickList({second.left + 9, second.top + 34});  // pins frame 2 and selects it
    const RECT third = itemRect(2);
    clickList({third.left + 9, third.top + 34});     // pins frame 3 and selects it
    clickList({second.left + 100, second.top + 8});  // selects frame 2 again
    ASSERT_EQ(SendMessageA(g_frameList, LB_GETCURSEL, 0, 0), 1);
    ASSERT_TRUE(g_document.frames[1].pinned);
    ASSERT_TRUE(g_document.frames[2].pinned);

    saveWindowScreenshot(g_mainWindow, "framelist-main-window.png");
    const Capture list = captureWindow(g_frameList);
    savePng(list, "framelist-list.png");
    // Client origin inside the captured window (the list's border).
    RECT window;
    GetWindowRect(g_frameList, &window);
    POINT origin = {0, 0};
    ClientToScreen(g_frameList, &origin);
    const int dx = origin.x - window.left;
    const int dy = origin.y - window.top;
    const RECT first = itemRect(0);
    EXPECT_EQ(hex(list.at(dx + 120, dy + second.top + 3)), hex(kNavy));
    EXPECT_EQ(hex(list.at(dx + 120, dy + first.top + 3)), hex(kWhite));
    EXPECT_EQ(hex(list.at(dx + 120, dy + third.top + 3)), hex(kWhite));
    EXPECT_EQ(hex(list.at(dx + 120, dy + second.top + 45)), hex(kLightGrey));
    // The thumbnail of frame 2 on screen: red in its lower right quarter.
    EXPECT_EQ(hex(list.at(dx + 93, dy + second.top + 36)), hex(kRed));
    EXPECT_EQ(hex(list.at(dx + 75, dy + second.top + 36)), hex(kWhite));
}

}  // namespace
