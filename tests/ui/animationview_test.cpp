// The compose canvas through its real messages, checked on the window's pixels: what it paints
// (workspace, white screen, selected and pinned frames with outlines), dragging the selected
// frame on its 50 ms timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "app/application.h"
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
        RedrawWindow(app().animationView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return captureClient(app().animationView);
    }
    void mouse(UINT message, int x, int y) {
        SendMessageA(app().animationView, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void tick() { SendMessageA(app().animationView, WM_TIMER, ID_TIMER_VIEW_DRAG, 0); }
    // A press at `from`, a move to `to` applied by a tick of the drag timer if a drag began
    // (the timer runs only then), the release.
    void drag(POINT from, POINT to) {
        mouse(WM_LBUTTONDOWN, from.x, from.y);
        mouse(WM_MOUSEMOVE, to.x, to.y);
        if (GetCapture() == app().animationView) tick();
        mouse(WM_LBUTTONUP, to.x, to.y);
    }
    const GifFrame& frame(size_t i) { return app().editor.document().frames[i]; }
    AppSession session;
};

TEST_F(AnimationView, PaintsTheSelectedAndPinnedFramesWithOutlines) {
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
    EXPECT_FALSE(savePng(canvas, "animationview-canvas.png").empty());
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
}

TEST_F(AnimationView, DraggingMovesOnlyTheSelectedFrameAndStopsAtZero) {
    std::vector<GifFrame> frames;
    frames.push_back(solidFrame(kRed, 30, 30, 20, 20));
    frames.push_back(solidFrame(kBlue, 30, 30, 100, 100));
    frames.back().pinned = true;
    setDocument(std::move(frames), 200, 200);
    selectFrame(0);
    // A press on the pinned frame moves nothing; past the origin, also left of the view, the
    // selected frame stops at 0.
    for (auto [from, to, left] :
         {std::tuple{POINT{110, 110}, POINT{117, 119}, 20}, {{25, 25}, {-40, 4}, 0}}) {
        drag(from, to);
        EXPECT_EQ(frame(0).left * 1000 + frame(0).top, left * 1001);
        EXPECT_EQ(textOf(app().imagePanel, IDC_IMAGE_LEFT), std::to_string(left));
        EXPECT_EQ(frame(1).left, 100);
    }

    // The real 50 ms timer applies a move; one released before its tick is lost.
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

}  // namespace
