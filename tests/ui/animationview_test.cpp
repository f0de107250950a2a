// The compose canvas: what it paints (workspace colour, white screen, frames with their outlines,
// see-through colours), scrolling by every request, and dragging the selected frame with its
// 50 ms timer, driven through the real messages and checked on the window's pixels.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framelist.h"
#include "app/globals.h"
#include "resource.h"
#include "ui/support/panelsdriver.h"
#include "ui/support/uiharness.h"

using namespace paneltest;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kOutlineGrey = 0xD3D3D3;
constexpr uint32_t kOutlineRed = 0x800000;

bool isOutline(uint32_t rgb) { return rgb == kOutlineGrey || rgb == kOutlineRed; }

class AnimationView : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.started()); }

    // The canvas after a full repaint, background included.
    Capture repaintAndCapture() {
        RedrawWindow(g_animationView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return captureClient(g_animationView);
    }
    void mouse(UINT message, int x, int y) {
        SendMessageA(g_animationView, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void tick() { SendMessageA(g_animationView, WM_TIMER, ID_TIMER_VIEW_DRAG, 0); }
    GifFrame& frame(size_t i) { return g_document.frames[i]; }

    AppSession session;
};

TEST_F(AnimationView, WithNothingSelectedShowsOnlyTheWorkspaceColour) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 40, 40, 0, 0));
    frames.back().pinned = true;  // pinned frames too wait for a selection
    setDocument(std::move(frames), 60, 60);
    const Capture canvas = repaintAndCapture();
    ASSERT_GT(canvas.width, 0);
    const uint32_t workspace = systemRgb(COLOR_APPWORKSPACE);
    size_t other = 0;
    for (uint32_t pixel : canvas.pixels) other += pixel != workspace;
    EXPECT_EQ(other, 0u);
}

// Screen 120 x 80. Frame 0 red 20 x 10 at (10, 10), pinned; frame 1 green at (50, 30), neither
// pinned nor selected; frame 2 blue 10 x 10 at (80, 50), selected.
TEST_F(AnimationView, PaintsTheSelectedAndPinnedFramesOnAWhiteScreen) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 20, 10, 10, 10));
    frames.back().pinned = true;
    frames.push_back(solidFrame(kGreen, 20, 10, 50, 30));
    frames.push_back(solidFrame(kBlue, 10, 10, 80, 50));
    setDocument(std::move(frames), 120, 80);
    selectFrame(2);
    const Capture canvas = repaintAndCapture();
    ASSERT_GE(canvas.width, 130);
    ASSERT_GE(canvas.height, 80);

    const struct {
        int x, y;
        uint32_t rgb;
        const char* what;
    } probes[] = {
        {10, 10, kRed, "pinned frame's first pixel"},
        {29, 19, kRed, "pinned frame's last pixel"},
        {60, 35, kWhite, "a frame neither pinned nor selected"},
        {80, 50, kBlue, "selected frame"},
        {89, 59, kBlue, "selected frame's last pixel"},
        {2, 2, kWhite, "screen"},
        {119, 79, kWhite, "screen's last pixel"},
        {30, 15, kWhite, "the gap between a frame and the right side of its outline"},
        {9, 9, kOutlineRed, "outline corner: the dash starts there"},
    };
    for (const auto& p : probes) EXPECT_EQ(canvas.at(p.x, p.y), p.rgb) << p.what << " at " << p.x << "," << p.y;
    if (canvas.width > 121) EXPECT_EQ(canvas.at(121, 5), systemRgb(COLOR_APPWORKSPACE)) << "beside the screen";

    // The outline's four sides: (left - 1, top - 1) drawn width + 2 by height + 2, grey under the
    // dark red dashes, so every pixel of them is one of the two.
    auto outline = [&](int x, int y) { return isOutline(canvas.at(x, y)); };
    for (int y = 9; y <= 21; ++y) {
        EXPECT_TRUE(outline(9, y)) << "left side, y " << y;
        EXPECT_TRUE(outline(31, y)) << "right side, y " << y;
    }
    for (int x = 9; x <= 31; ++x) {
        EXPECT_TRUE(outline(x, 9)) << "top side, x " << x;
        EXPECT_TRUE(outline(x, 21)) << "bottom side, x " << x;
    }
    int dashes = 0;
    int gaps = 0;
    for (int x = 9; x <= 31; ++x) (canvas.at(x, 9) == kOutlineRed ? dashes : gaps)++;
    EXPECT_GT(dashes, 0);
    EXPECT_GT(gaps, 0) << "the dark red line is dashed over the grey one";
}

// Frame 0 red 30 x 30 pinned; frame 1 over it, left half index 0 (white), right half index 1
// (blue), made transparent with index 0 through the Image panel.
TEST_F(AnimationView, TransparentPixelsShowTheFrameBelow) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 30, 30, 0, 0));
    frames.back().pinned = true;
    frames.push_back(makeFrame(30, 30, {kWhite, kBlue}, [](uint32_t x, uint32_t) { return uint8_t(x >= 15); }, 0, 0));
    setDocument(std::move(frames), 40, 40);
    selectFrame(1);
    Capture canvas = repaintAndCapture();
    EXPECT_EQ(canvas.at(5, 5), kWhite) << "opaque before it is made transparent";
    EXPECT_EQ(canvas.at(25, 5), kBlue);

    press(g_imagePanel, IDC_IMAGE_TRANSPARENT);
    ASSERT_TRUE(frame(1).transparent);
    canvas = repaintAndCapture();
    for (int y : {0, 14, 29}) {
        EXPECT_EQ(canvas.at(0, y), kRed) << y;
        EXPECT_EQ(canvas.at(14, y), kRed) << y;
        EXPECT_EQ(canvas.at(15, y), kBlue) << y;
        EXPECT_EQ(canvas.at(29, y), kBlue) << y;
    }
    // Index 1 see-through instead: now the blue half shows red, the white half is opaque.
    typeText(g_imagePanel, IDC_IMAGE_TRANSPARENT_INDEX, "1");
    canvas = repaintAndCapture();
    EXPECT_EQ(canvas.at(5, 5), kWhite);
    EXPECT_EQ(canvas.at(25, 5), kRed);
}

// ---- Dragging ----------------------------------------------------------------------------------

TEST_F(AnimationView, DraggedUpAndLeftTheFrameStopsAtZero) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 30, 30, 20, 20));
    setDocument(std::move(frames), 200, 200);
    selectFrame(0);
    // Grabbed 5 pixels inside its corner; the pointer then moves by (dx, dy).
    const struct {
        int x, y;
        uint16_t left, top;
    } cases[] = {
        {2, 3, 0, 0},      // past the origin: held at 0
        {6, 7, 1, 2},      // offset 1 is kept
        {-40, 4, 0, 0},    // a pointer left of the view (signed coordinates)
        {105, 55, 100, 50},
        {5, 5, 0, 0},      // offset exactly 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        const int grabX = frame(0).left + 5;
        const int grabY = frame(0).top + 5;
        mouse(WM_LBUTTONDOWN, grabX, grabY);
        EXPECT_EQ(GetCapture(), g_animationView);
        mouse(WM_MOUSEMOVE, c.x, c.y);
        g_modified = false;
        tick();
        EXPECT_EQ(frame(0).left, c.left);
        EXPECT_EQ(frame(0).top, c.top);
        EXPECT_EQ(textOf(g_imagePanel, IDC_IMAGE_LEFT), std::to_string(c.left));
        EXPECT_EQ(textOf(g_imagePanel, IDC_IMAGE_TOP), std::to_string(c.top));
        EXPECT_TRUE(g_modified);
        mouse(WM_LBUTTONUP, c.x, c.y);
        EXPECT_NE(GetCapture(), g_animationView);
    }
    // The canvas shows the frame at its last place.
    const Capture canvas = repaintAndCapture();
    EXPECT_EQ(canvas.at(0, 0), kRed);
    EXPECT_EQ(canvas.at(29, 29), kRed);
    EXPECT_EQ(canvas.at(30, 5), kWhite);
    EXPECT_TRUE(isOutline(canvas.at(31, 5)));
}

TEST_F(AnimationView, APressOutsideTheSelectedFrameDragsNothing) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 30, 30, 20, 20));
    frames.push_back(solidFrame(kBlue, 30, 30, 100, 100));
    frames.back().pinned = true;
    setDocument(std::move(frames), 200, 200);
    selectFrame(0);
    // Edges count as inside: (20, 20) and (50, 50) start a drag, (51, 50) and a pinned frame do not.
    const struct {
        int x, y;
        bool drags;
    } presses[] = {{20, 20, true}, {50, 50, true}, {51, 50, false}, {19, 30, false}, {110, 110, false}};
    for (const auto& p : presses) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        mouse(WM_LBUTTONDOWN, p.x, p.y);
        mouse(WM_MOUSEMOVE, p.x + 7, p.y + 9);
        // Only a drag starts the timer; let it run if there is one.
        pumpMessages(120);
        EXPECT_EQ(frame(0).left, p.drags ? 27 : 20);
        EXPECT_EQ(frame(1).left, 100);
        mouse(WM_LBUTTONUP, p.x + 7, p.y + 9);
        frame(0).left = 20;
        frame(0).top = 20;
    }
}

TEST_F(AnimationView, DraggingPastTheRightEdgeWithAutoGrowsTheScreen) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 50, 40, 0, 0));
    frames.push_back(solidFrame(kBlue, 20, 20, 10, 10));
    setDocument(std::move(frames), 50, 40);
    press(g_globalPanel, IDC_GLOBAL_AUTO_SIZE);
    ASSERT_TRUE(g_document.autoScreenSize);
    selectFrame(0);
    mouse(WM_LBUTTONDOWN, 10, 10);  // grab (10, 10)
    const struct {
        int x, y;
        uint16_t width, height;
    } moves[] = {
        {160, 10, 200, 40},   // left 150 + 50
        {160, 70, 200, 100},  // top 60 + 40
        {2500, 10, 2000, 40}, // left 2490: the screen stops at 2000
        {10, 10, 50, 40},     // back home: the screen shrinks to the frames again
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.x);
        mouse(WM_MOUSEMOVE, m.x, m.y);
        tick();
        EXPECT_EQ(frame(0).left, m.x - 10);
        EXPECT_EQ(g_document.screenWidth, m.width);
        EXPECT_EQ(g_document.screenHeight, m.height);
        EXPECT_EQ(textOf(g_globalPanel, IDC_GLOBAL_WIDTH), std::to_string(m.width));
    }
    mouse(WM_LBUTTONUP, 10, 10);
}

TEST_F(AnimationView, WithoutAutoTheScreenKeepsItsSize) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 50, 40, 0, 0));
    setDocument(std::move(frames), 50, 40);
    selectFrame(0);
    mouse(WM_LBUTTONDOWN, 10, 10);
    mouse(WM_MOUSEMOVE, 510, 10);
    tick();
    mouse(WM_LBUTTONUP, 510, 10);
    EXPECT_EQ(frame(0).left, 500);  // beyond the screen: no upper limit but the field's
    EXPECT_EQ(g_document.screenWidth, 50);
}

// The real 50 ms timer: a move applied by its tick stays; a move released before its tick is lost.
TEST_F(AnimationView, ReleaseWithin50MillisecondsKeepsThePreviousPosition) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 30, 30, 0, 0));
    setDocument(std::move(frames), 300, 300);
    selectFrame(0);
    mouse(WM_LBUTTONDOWN, 5, 5);
    mouse(WM_MOUSEMOVE, 45, 25);
    EXPECT_EQ(frame(0).left, 0) << "a move alone changes nothing";
    ASSERT_TRUE(pumpUntil([&] { return frame(0).left == 40; }, 1000)) << "the timer never applied the move";
    EXPECT_EQ(frame(0).top, 20);

    mouse(WM_MOUSEMOVE, 105, 85);
    mouse(WM_LBUTTONUP, 105, 85);
    pumpMessages(200);
    EXPECT_EQ(frame(0).left, 40);
    EXPECT_EQ(frame(0).top, 20);
    // Moves after the release are not a drag.
    mouse(WM_MOUSEMOVE, 200, 200);
    pumpMessages(150);
    EXPECT_EQ(frame(0).left, 40);
}

// ---- Scrolling ---------------------------------------------------------------------------------

TEST_F(AnimationView, ScrollRequestsMoveAndClampThePosition) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 30, 30, 0, 0));
    setDocument(std::move(frames), 2000, 2000);
    selectFrame(0);
    ASSERT_GT(g_scrollMaxX, 100);
    ASSERT_GT(g_scrollMaxY, 100);
    for (int bar : {SB_HORZ, SB_VERT}) {
        const bool horizontal = bar == SB_HORZ;
        SCOPED_TRACE(horizontal ? "horizontal" : "vertical");
        const int maximum = horizontal ? g_scrollMaxX : g_scrollMaxY;
        const int page = horizontal ? g_viewClientWidth : g_viewClientHeight;
        const struct {
            WORD request;
            int from, to;
        } cases[] = {
            {SB_LINEUP, 10, 9},
            {SB_LINEUP, 0, 0},
            {SB_LINEDOWN, 10, 11},
            {SB_LINEDOWN, maximum, maximum},
            {SB_PAGEUP, page + 7, 7},
            {SB_PAGEUP, page - 1, 0},
            {SB_PAGEDOWN, 3, page + 3},
            {SB_PAGEDOWN, maximum - 1, maximum},
            {SB_TOP, 500, 0},
            {SB_BOTTOM, 5, maximum},
            {SB_THUMBPOSITION, 42, 42},  // not acted on
            {SB_ENDSCROLL, 42, 42},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE("request " + std::to_string(c.request) + " from " + std::to_string(c.from));
            SetScrollPos(g_animationView, bar, c.from, TRUE);
            SendMessageA(g_animationView, horizontal ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(c.request, 0), 0);
            EXPECT_EQ(GetScrollPos(g_animationView, bar), c.to);
            EXPECT_EQ(horizontal ? g_scrollX : g_scrollY, c.to);
        }
        SetScrollPos(g_animationView, bar, 0, TRUE);
        if (horizontal) g_scrollX = 0; else g_scrollY = 0;
    }
}

// The canvas shows the screen shifted by the scroll positions, also after ScrollWindowEx moved
// what was there: a blue frame at (100, 60) on a 2000 x 2000 screen.
TEST_F(AnimationView, ScrolledCanvasShowsTheScreenFromTheScrollPosition) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kBlue, 40, 40, 100, 60));
    setDocument(std::move(frames), 2000, 2000);
    selectFrame(0);
    Capture canvas = repaintAndCapture();
    EXPECT_EQ(canvas.at(100, 60), kBlue);
    for (int i = 0; i < 20; ++i) SendMessageA(g_animationView, WM_HSCROLL, SB_LINEDOWN, 0);  // by 1 pixel each
    SendMessageA(g_animationView, WM_VSCROLL, SB_LINEDOWN, 0);
    canvas = captureClient(g_animationView, false);
    EXPECT_EQ(canvas.at(80, 59), kBlue);
    EXPECT_EQ(canvas.at(119, 98), kBlue);
    EXPECT_TRUE(isOutline(canvas.at(79, 59)));
    EXPECT_EQ(canvas.at(120, 59), kWhite);
    EXPECT_TRUE(isOutline(canvas.at(121, 59)));
    SendMessageA(g_animationView, WM_HSCROLL, SB_TOP, 0);
    canvas = captureClient(g_animationView, false);
    EXPECT_EQ(canvas.at(100, 59), kBlue);
    EXPECT_TRUE(isOutline(canvas.at(99, 70)));
}

// ---- Pinning -----------------------------------------------------------------------------------

void forgetPendingPaint() {
    pumpMessages(50);
    ValidateRect(g_animationView, nullptr);
}

// A click on an item's check box, as the mouse gives it: the cursor really there, then the press.
void clickPinBox(int item) {
    RECT rect;
    SendMessageA(g_frameList, LB_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&rect));
    // The box: 10 x 10, 4 pixels from the item's left, (54 - 15) / 2 + 10 = 29 below its top.
    POINT box = {rect.left + 9, rect.top + 29 + 5};
    POINT screen = box;
    ClientToScreen(g_frameList, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(g_frameList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
    SendMessageA(g_frameList, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
}

TEST_F(AnimationView, PinningAFrameRepaintsTheCanvasAtOnce) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 20, 20, 0, 0));
    frames.push_back(solidFrame(kBlue, 20, 20, 40, 0));
    setDocument(std::move(frames), 80, 30);
    selectFrame(0);
    Capture canvas = repaintAndCapture();
    EXPECT_EQ(canvas.at(45, 5), kWhite);

    forgetPendingPaint();
    clickPinBox(1);
    ASSERT_TRUE(frame(1).pinned);
    EXPECT_TRUE(GetUpdateRect(g_animationView, nullptr, FALSE)) << "the canvas waits for another reason to repaint";
    canvas = captureClient(g_animationView);
    EXPECT_EQ(canvas.at(45, 5), kBlue);

    selectFrame(0);
    canvas = captureClient(g_animationView);
    EXPECT_EQ(canvas.at(5, 5), kRed);
    EXPECT_EQ(canvas.at(45, 5), kBlue) << "the pinned frame stays";

    forgetPendingPaint();
    clickPinBox(1);  // unpin; the click selects it as well
    ASSERT_FALSE(frame(1).pinned);
    EXPECT_TRUE(GetUpdateRect(g_animationView, nullptr, FALSE));
    selectFrame(0);
    canvas = captureClient(g_animationView);
    EXPECT_EQ(canvas.at(45, 5), kWhite);
}

TEST_F(AnimationView, ScreenshotOfASelectedAndTwoPinnedFrames) {
    ASSERT_TRUE(readSampleGif());
    // Wide enough for the whole panel in the screenshot.
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 1000, 640, SWP_NOMOVE | SWP_NOZORDER);
    g_document.frames[0].pinned = true;
    g_document.frames[2].pinned = true;
    // The logo's transparent entry is see-through as read; the Image panel keeps it so.
    selectFrame(2);
    ASSERT_TRUE(g_document.frames[2].transparent);
    ASSERT_EQ(g_document.frames[2].transparentIndex, 63);
    selectFrame(1);
    const Capture canvas = repaintAndCapture();
    EXPECT_FALSE(savePng(canvas, "animationview-canvas.png").empty());
    EXPECT_FALSE(saveWindowScreenshot(g_mainWindow, "animationview-main.png").empty());
    // Granite (selected, at 150, 40) lies over the rose, the logo (pinned, 60..188 x 70..166) over
    // both; where the logo is see-through the rose or the white screen shows.
    ASSERT_GE(canvas.width, 200);
    EXPECT_EQ(canvas.at(255, 5), kWhite);
    EXPECT_NE(canvas.at(5, 5), kWhite);  // rose
}

}  // namespace
