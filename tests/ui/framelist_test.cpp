// The frame list: owner-drawn items (title bar, body, check box, thumbnail), real clicks that pin
// a frame, and the selection handler that fills the Image and Comment panels.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "resource.h"
#include "support/gifbytes.h"
#include "ui/support/uiharness.h"

namespace {

constexpr uint32_t kNavy = 0x000080, kBody = 0xF0F0F0, kWhite = 0xFFFFFF, kBox = 0xCCCCCC;
constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

// One item drawn through the main window's WM_DRAWITEM into a 146 x 54 memory bitmap.
Capture drawItem(int itemId, bool selected) {
    return captureDrawing(146, 54, 0x123456, [&](HDC dc) {
        DRAWITEMSTRUCT item = {ODT_LISTBOX,
                               IDC_FRAME_LIST,
                               UINT(itemId),
                               ODA_DRAWENTIRE,
                               UINT(selected ? ODS_SELECTED : 0),
                               app().frameList,
                               dc,
                               {0, 0, 146, 54},
                               0};
        SendMessageA(app().window, WM_DRAWITEM, IDC_FRAME_LIST, LPARAM(&item));
    });
}

int count(const Capture& capture, RECT area, bool (*match)(uint32_t)) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += match(capture.at(x, y));
    return n;
}
bool isDark(uint32_t p) {
    return redOf(p) < 100 && greenOf(p) < 100 && blueOf(p) < 100;
}
bool isLight(uint32_t p) {
    return redOf(p) > 200 && greenOf(p) > 200 && blueOf(p) > 200;
}
bool notWhite(uint32_t p) {
    return p != kWhite;
}
bool notBackground(uint32_t p) {
    return p != 0x123456;
}

struct Probe {
    int x, y;
    uint32_t color;
};
void expectProbes(const Capture& item, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) EXPECT_EQ(item.at(p.x, p.y), p.color) << "at " << p.x << ", " << p.y;
}

TEST(FrameListDrawing, TitleBarBodyCheckBoxAndTick) {
    AppSession session;
    ASSERT_TRUE(session.started());
    setDocument({solidFrame(kBlue, 10, 10, 0, 0)}, 10, 10);
    for (bool selected : {true, false}) {
        SCOPED_TRACE(selected ? "selected" : "plain");
        const Capture item = drawItem(0, selected);
        const uint32_t bar = selected ? kNavy : kWhite;
        // A 16-pixel title bar right of an 18-pixel white strip, the body below, the 10 x 10
        // grey box at (4, 29) with nothing in it, and "Frame 1" written on the bar.
        expectProbes(item, {{140, 2, bar},
                            {19, 15, bar},
                            {140, 16, kBody},
                            {19, 50, kBody},
                            {17, 50, kWhite},
                            {1, 2, kWhite},
                            {4, 29, kBox},
                            {14, 39, kBox},
                            {9, 29, kBox},
                            {4, 34, kBox}});
        EXPECT_GT(count(item, {18, 0, 90, 16}, selected ? isLight : isDark), 15);
        EXPECT_EQ(count(item, {5, 30, 14, 39}, notWhite), 0);
    }
    app().editor.setPinned(0, true);
    const Capture pinned = drawItem(0, false);
    savePng(pinned, "framelist-item-pinned.png");
    const int tick = count(pinned, {6, 31, 14, 39}, isDark);
    EXPECT_GE(tick, 8);   // a stroke, not a speck
    EXPECT_LE(tick, 40);  // a tick, not a filled square
    for (int id : {1, 1000, -1})
        EXPECT_EQ(count(drawItem(id, true), {0, 0, 146, 54}, notBackground), 0) << id;
}

// Where the screen's picture goes in the item and where the frame lands in it; the colours follow
// from the scaling by hand.
TEST(FrameListDrawing, ThumbnailPlacesTheFrameOnTheScaledScreen) {
    AppSession session;
    ASSERT_TRUE(session.started());
    const struct {
        const char* name;
        uint16_t screenWidth, screenHeight;
        GifFrame frame;
        std::vector<Probe> probes;
    } cases[] = {
        // 400 x 100 -> 37 x 9.25 at (65.5, 29.4); the frame at (200, 50) is the lower right quarter.
        {"wide",
         400,
         100,
         solidFrame(kRed, 200, 50, 200, 50),
         {{93, 36, kRed},
          {100, 37, kRed},
          {75, 36, kWhite},
          {93, 31, kWhite},
          {60, 36, kBody},
          {108, 36, kBody},
          {84, 26, kBody},
          {84, 42, kBody}}},
        // 20 x 10 is not enlarged: x 74..94, y 29..39.
        {"small",
         20,
         10,
         solidFrame(kBlue, 20, 10, 0, 0),
         {{76, 31, kBlue},
          {92, 37, kBlue},
          {71, 34, kBody},
          {97, 34, kBody},
          {84, 26, kBody},
          {84, 42, kBody}}},
        // 100 x 400 -> 9.25 x 37 at (79.4, 15.5).
        {"tall",
         100,
         400,
         solidFrame(kBlue, 100, 400, 0, 0),
         {{84, 20, kBlue}, {84, 48, kBlue}, {76, 34, kBody}, {92, 34, kBody}}},
        // A 40 x 20 frame at (380, 90) runs past the screen's corner, where the clip cuts it.
        {"clipped",
         400,
         100,
         solidFrame(kGreen, 40, 20, 380, 90),
         {{101, 38, kGreen}, {105, 38, kBody}, {101, 41, kBody}, {95, 36, kWhite}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setDocument({c.frame}, c.screenWidth, c.screenHeight);
        expectProbes(drawItem(0, false), c.probes);
    }
}

// Screen 400 x 100, global table black, blue, red, green. Frame 1: disposal 1, transparent
// index 0 but no local table, delay 10, 400 x 100 blue. Frame 2: comments "first" and "second",
// disposal 2, transparent index 3, delay 25, at (200, 50), 200 x 50, interlaced, a local table of
// 8, red. Frame 3: no extensions, at (380, 90), 40 x 20 green.
void openThreeFrames() {
    GifBytes gif;
    gif.header().screen(400, 100, 0x81).colors({0, kBlue, kRed, kGreen});
    gif.graphicControl(1 << 2 | 1, 10, 0).imageDescriptor(0, 0, 400, 100);
    gif.imageData(2, referenceLzwEncode(Bytes(400 * 100, 1), 2)).comment({"first"}).comment({"second"});
    gif.graphicControl(2 << 2 | 1, 25, 3).imageDescriptor(200, 50, 200, 50, 0x80 | 0x40 | 0x02);
    gif.colors({0, kGreen, kRed, kWhite, 0x202020, 0x404040, 0x606060, 0x808080});
    gif.imageData(3, referenceLzwEncode(Bytes(200 * 50, 2), 3));
    gif.imageDescriptor(380, 90, 40, 20).imageData(2, referenceLzwEncode(Bytes(40 * 20, 3), 2));
    FileDialogStub stub({writeTestFile("framelist-three.gif", gif.trailer().bytes())});
    sendMenuCommand(IDM_FILE_OPEN);
    ASSERT_EQ(frameListCount(), 3);
}

// A real click: the pointer goes to the point (the list reads the cursor), then down and up.
void clickList(int item, int dx, int dy) {
    RECT rect = {};
    SendMessageA(app().frameList, LB_GETITEMRECT, WPARAM(item), LPARAM(&rect));
    POINT screen = {rect.left + dx, rect.top + dy};
    ClientToScreen(app().frameList, &screen);
    SetCursorPos(screen.x, screen.y);
    pumpMessages(30);
    SendMessageA(app().frameList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.left + dx, rect.top + dy));
    SendMessageA(app().frameList, WM_LBUTTONUP, 0, MAKELPARAM(rect.left + dx, rect.top + dy));
    pumpMessages(30);
}

TEST(FrameList, ClicksOnTheBoxPinAndEveryClickSelects) {
    AppSession session;
    ASSERT_TRUE(session.started());
    SetWindowPos(app().window, nullptr, 0, 0, 760, 560, SWP_NOMOVE | SWP_NOZORDER);
    openThreeFrames();
    const struct {
        const char* name;
        int item, dx, dy;  // from the item's top left
        const char* pinned;
    } steps[] = {
        {"box of item 2", 1, 9, 34, "-x-"},
        {"box of item 2 again", 1, 5, 30, "---"},
        {"box of item 3, its corner", 2, 4, 29, "--x"},
        {"title of item 1 only selects", 0, 60, 8, "--x"},
        {"thumbnail of item 3 only selects", 2, 84, 34, "--x"},
        {"just outside the box", 0, 14, 34, "--x"},
        {"box of item 2", 1, 13, 38, "-xx"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        app().canvas.scroll.x = 70;
        clickList(step.item, step.dx, step.dy);
        EXPECT_EQ(frameListSelection(), step.item);
        EXPECT_EQ(app().canvas.scroll.x, 0) << "a new selection scrolls the view home";
        std::string pinned;
        for (const GifFrame& frame : app().editor.document().frames) pinned += frame.pinned ? 'x' : '-';
        EXPECT_EQ(pinned, step.pinned);
    }
    // On the screen: the selected item's title bar is navy, the others white, its thumbnail red.
    const Capture list = captureClient(app().frameList);
    RECT second;
    SendMessageA(app().frameList, LB_GETITEMRECT, 1, LPARAM(&second));
    const int y = second.top;
    expectProbes(list, {{120, y + 3, kNavy},
                        {120, y - 54 + 3, kWhite},
                        {120, y + 54 + 3, kWhite},
                        {120, y + 45, kBody},
                        {93, y + 36, kRed},
                        {75, y + 36, kWhite}});
    // The clicks reached the selection handler: the Image panel shows frame 2.
    EXPECT_EQ(textOf(app().imagePanel, IDC_IMAGE_LEFT), "200");
}

}  // namespace
