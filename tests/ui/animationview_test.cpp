// The compose canvas through its real messages, checked on the window's pixels: what it paints
// (workspace, white screen, selected and pinned frames with outlines, see-through colours),
// scrolling, dragging the selected frame on its 50 ms timer, and pinning from the frame list.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <tuple>

#include "app/globals.h"
#include "resource.h"
#include "ui/support/uiharness.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

bool isOutline(uint32_t rgb) {
    return rgb == 0xD3D3D3 || rgb == 0x800000;
}  // grey under dark red dashes

class AnimationView : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.started()); }
    Capture repaint() {
        RedrawWindow(g_animationView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return captureClient(g_animationView);
    }
    void mouse(UINT message, int x, int y) {
        SendMessageA(g_animationView, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void tick() { SendMessageA(g_animationView, WM_TIMER, ID_TIMER_VIEW_DRAG, 0); }
    // A press at `from`, a move to `to` applied by a tick of the drag timer if a drag began
    // (the timer runs only then), the release.
    void drag(POINT from, POINT to) {
        mouse(WM_LBUTTONDOWN, from.x, from.y);
        mouse(WM_MOUSEMOVE, to.x, to.y);
        if (GetCapture() == g_animationView) tick();
        mouse(WM_LBUTTONUP, to.x, to.y);
    }
    GifFrame& frame(size_t i) { return g_document.frames[i]; }
    AppSession session;
};

TEST_F(AnimationView, PaintsTheSelectedAndPinnedFramesAndLetsSeeThroughColoursShowBelow) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 20, 10, 10, 10));
    frames.back().pinned = true;
    frames.push_back(solidFrame(kGreen, 20, 10, 50, 30));
    frames.push_back(solidFrame(kBlue, 10, 10, 80, 50));
    setDocument(std::move(frames), 120, 80);
    Capture canvas = repaint();
    ASSERT_GE(canvas.width, 130);
    const uint32_t workspace = systemRgb(COLOR_APPWORKSPACE);
    EXPECT_EQ(std::count(canvas.pixels.begin(), canvas.pixels.end(), workspace), canvas.width * canvas.height)
        << "nothing selected: not even the pinned frame shows";
    selectFrame(2);
    canvas = repaint();
    const std::tuple<int, int, uint32_t, const char*> probes[] = {
        {10, 10, kRed, "pinned frame"},
        {29, 19, kRed, "its last pixel"},
        {30, 15, kWhite, "between it and its outline"},
        {60, 35, kWhite, "neither pinned nor selected"},
        {80, 50, kBlue, "selected"},
        {89, 59, kBlue, "its last pixel"},
        {119, 79, kWhite, "the screen's last pixel"},
        {121, 5, workspace, "beside the screen"}};
    for (auto [x, y, rgb, what] : probes) EXPECT_EQ(canvas.at(x, y), rgb) << what;
    int dashes = 0;
    for (int x = 9; x <= 31; ++x) {
        EXPECT_TRUE(isOutline(canvas.at(x, 9)) && isOutline(canvas.at(x, 21))) << "top and bottom, x " << x;
        dashes += canvas.at(x, 9) == 0x800000;
    }
    for (int y = 9; y <= 21; ++y)
        EXPECT_TRUE(isOutline(canvas.at(9, y)) && isOutline(canvas.at(31, y))) << "sides, y " << y;
    EXPECT_GT(dashes, 0);
    EXPECT_LT(dashes, 23) << "the dark red line is dashed";

    // Over a pinned red frame, a white and blue one made see-through through the Image panel.
    frames.clear();
    frames.push_back(solidFrame(kRed, 30, 30, 0, 0));
    frames.back().pinned = true;
    frames.push_back(
        makeFrame(30, 30, {kWhite, kBlue}, [](uint32_t x, uint32_t) { return uint8_t(x >= 15); }));
    setDocument(std::move(frames), 40, 40);
    selectFrame(1);
    press(g_imagePanel, IDC_IMAGE_TRANSPARENT);  // index 0, the white half
    canvas = repaint();
    EXPECT_EQ(canvas.at(14, 29), kRed);
    EXPECT_EQ(canvas.at(15, 0), kBlue);
    typeText(g_imagePanel, IDC_IMAGE_TRANSPARENT_INDEX, "1");
    canvas = repaint();
    EXPECT_EQ(canvas.at(5, 5), kWhite);
    EXPECT_EQ(canvas.at(25, 5), kRed);
}

TEST_F(AnimationView, DraggingMovesOnlyTheSelectedFrameAndStopsAtZero) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 30, 30, 20, 20));
    frames.push_back(solidFrame(kBlue, 30, 30, 100, 100));
    frames.back().pinned = true;
    setDocument(std::move(frames), 200, 200);
    selectFrame(0);
    // A press inside the selected frame (edges included) grabs it; elsewhere, even on a pinned
    // frame, nothing moves. Past the origin, also left of the view, the frame stops at 0.
    const struct {
        POINT from, to;
        int left, top;
    } drags[] = {{{51, 50}, {58, 59}, 20, 20}, {{110, 110}, {117, 119}, 20, 20}, {{20, 20}, {27, 29}, 27, 29},
                 {{56, 58}, {0, 0}, 0, 0},     {{6, 7}, {-40, 4}, 0, 0},         {{5, 5}, {105, 55}, 100, 50}};
    for (const auto& d : drags) {
        SCOPED_TRACE(testing::Message() << d.from.x << "," << d.from.y << " to " << d.to.x << "," << d.to.y);
        drag(d.from, d.to);
        EXPECT_EQ(frame(0).left, d.left);
        EXPECT_EQ(frame(0).top, d.top);
        EXPECT_EQ(textOf(g_imagePanel, IDC_IMAGE_LEFT), std::to_string(d.left));
        EXPECT_EQ(frame(1).left, 100);
    }
    // With Auto the screen follows the frame up to 2000 and shrinks back; without, it stays.
    press(g_globalPanel, IDC_GLOBAL_AUTO_SIZE);
    mouse(WM_LBUTTONDOWN, 105, 55);
    for (auto [x, width] : {std::pair{2605, 2000}, std::pair{10, 130}}) {  // the pinned frame reaches 130
        mouse(WM_MOUSEMOVE, x, 55);
        tick();
        EXPECT_EQ(g_document.screenWidth, width);
        EXPECT_EQ(textOf(g_globalPanel, IDC_GLOBAL_WIDTH), std::to_string(width));
    }
    mouse(WM_LBUTTONUP, 10, 55);
    press(g_globalPanel, IDC_GLOBAL_AUTO_SIZE);
    drag({10, 55}, {510, 55});
    EXPECT_EQ(frame(0).left, 505);
    EXPECT_EQ(g_document.screenWidth, 130);

    // The real 50 ms timer applies a move; one released before its tick is lost.
    frame(0).left = frame(0).top = 0;
    mouse(WM_LBUTTONDOWN, 5, 5);
    mouse(WM_MOUSEMOVE, 45, 25);
    EXPECT_EQ(frame(0).left, 0) << "a move alone changes nothing";
    ASSERT_TRUE(pumpUntil([&] { return frame(0).left == 40; }, 1000)) << "the timer never applied the move";
    mouse(WM_MOUSEMOVE, 105, 85);
    mouse(WM_LBUTTONUP, 105, 85);
    mouse(WM_MOUSEMOVE, 150, 150);
    pumpMessages(200);
    EXPECT_EQ(frame(0).left, 40);
    EXPECT_EQ(frame(0).top, 20);
    const Capture canvas = repaint();
    EXPECT_EQ(canvas.at(40, 20), kRed);
    EXPECT_TRUE(isOutline(canvas.at(71, 25)));
}

TEST_F(AnimationView, ScrollRequestsMoveTheCanvasWithinItsRange) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kBlue, 40, 40, 100, 60));
    setDocument(std::move(frames), 2000, 2000);
    selectFrame(0);
    ASSERT_GT(g_scrollMaxX, 100);
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCOPED_TRACE(bar == SB_HORZ ? "horizontal" : "vertical");
        const int maximum = bar == SB_HORZ ? g_scrollMaxX : g_scrollMaxY;
        const int page = bar == SB_HORZ ? g_viewClientWidth : g_viewClientHeight;
        const std::tuple<WORD, int, int> requests[] = {
            {SB_LINEUP, 0, 0},        {SB_LINEDOWN, 10, 11},    {SB_LINEDOWN, maximum, maximum},
            {SB_PAGEUP, page + 7, 7}, {SB_PAGEUP, page - 1, 0}, {SB_PAGEDOWN, maximum - 1, maximum},
            {SB_TOP, 500, 0},         {SB_BOTTOM, 5, maximum},  {SB_THUMBPOSITION, 42, 42}};  // not acted on
        for (auto [request, from, to] : requests) {
            SetScrollPos(g_animationView, bar, from, TRUE);
            SendMessageA(g_animationView, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, request, 0);
            EXPECT_EQ(GetScrollPos(g_animationView, bar), to) << "request " << request << " from " << from;
            EXPECT_EQ(bar == SB_HORZ ? g_scrollX : g_scrollY, to);
        }
        SendMessageA(g_animationView, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, SB_TOP, 0);
    }
    // What was on the canvas moves with ScrollWindowEx and the uncovered strip is painted.
    repaint();
    for (int i = 0; i < 20; ++i) SendMessageA(g_animationView, WM_HSCROLL, SB_LINEDOWN, 0);
    SendMessageA(g_animationView, WM_VSCROLL, SB_LINEDOWN, 0);
    const Capture canvas = captureClient(g_animationView, false);
    EXPECT_EQ(canvas.at(80, 59), kBlue);
    EXPECT_EQ(canvas.at(119, 98), kBlue);
    EXPECT_TRUE(isOutline(canvas.at(79, 59)));
    EXPECT_EQ(canvas.at(120, 59), kWhite);
}

TEST_F(AnimationView, PinningFromTheFrameListRepaintsTheCanvasAtOnce) {
    ASSERT_TRUE(readSampleGif());
    SetWindowPos(g_mainWindow, nullptr, 0, 0, 1000, 640, SWP_NOMOVE | SWP_NOZORDER);
    selectFrame(1);  // granite at (150, 40); the rose is at (0, 0)
    EXPECT_EQ(repaint().at(5, 5), kWhite);
    for (bool pinned : {true, false, true}) {
        pumpMessages(50);
        ValidateRect(g_animationView, nullptr);
        // A real click on item 0's check box: 10 x 10, 4 pixels from the left, 29 below the top.
        RECT item;
        SendMessageA(g_frameList, LB_GETITEMRECT, 0, LPARAM(&item));
        POINT box = {item.left + 9, item.top + 34}, screen = box;
        ClientToScreen(g_frameList, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(g_frameList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
        SendMessageA(g_frameList, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
        ASSERT_EQ(frame(0).pinned, pinned);
        EXPECT_TRUE(GetUpdateRect(g_animationView, nullptr, FALSE))
            << "the canvas waits for another reason to repaint";
        selectFrame(1);  // the click selects the item as well
        EXPECT_EQ(captureClient(g_animationView).at(5, 5) != kWhite, pinned);
    }
    // Granite (selected) over the pinned rose, the logo's see-through entry as read.
    g_document.frames[2].pinned = true;
    const Capture canvas = repaint();
    EXPECT_EQ(canvas.at(255, 5), kWhite);
    EXPECT_FALSE(savePng(canvas, "animationview-canvas.png").empty());
}

}  // namespace
