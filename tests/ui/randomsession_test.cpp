// Random user actions with a fixed seed through the real messages, against a model of what each
// must do to the frames: after each, the document, frame list and panels agree with it; now and then
// Save As writes a file our reader must find it in. No GDI or USER objects may leak. The file
// dialogs are stubbed: Wine's real ones keep objects of their own and cost seconds.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "resource.h"
#include "support/testpaths.h"
#include "ui/support/uiharness.h"

namespace {

constexpr int kActions = 600, kWarmUp = 100, kSaveEvery = 150;
// Caches may settle a little; one object lost per action of any common kind is far more.
constexpr long kObjectSlack = 10;

// What the model compares; a file keeps no pins.
std::vector<uint32_t> fields(const GifFrame& f, bool file) {
    return {f.width(),     f.height(),   f.left,           f.top, f.delay, f.disposal,
            f.transparent, f.interlaced, !file && f.pinned};
}

constexpr uint32_t kSeeThrough = 0xFF000000;

// Each pixel's colour, see-through marked: as a viewer shows a frame of the saved `file`, or
// without one as the canvas draws it from the picture's own palette.
std::vector<uint32_t> colorsOf(const GifFrame& frame, const GifAnimation* file = nullptr) {
    const ColorTable& table = !file || frame.hasLocalTable ? frame.localTable : file->globalTable;
    std::vector<uint32_t> colors;
    for (uint32_t p = 0; p < frame.width() * frame.height(); ++p) {
        const uint8_t i = frame.bitmap->at(p % frame.width(), p / frame.width());
        const uint32_t argb = frame.bitmap->palette().entries[i];
        colors.push_back(!file ? (argb >> 24 ? argb & 0xFFFFFFu : kSeeThrough)
                         : frame.transparent && i == frame.transparentIndex ? kSeeThrough
                         : i < table.entries.size()                         ? table.entries[i].packed()
                                                                            : 0);
    }
    return colors;
}

// Wine answers GetGuiResources with 0. Its handle tables hand out freed slots first, the last freed
// first, then new slots in order: once a burst gets 64 consecutive slots, all below are in use, and
// the top slot less the burst is the count in use (plus a constant). Freed backwards, the free list
// is as it was.
long guiObjects(DWORD kind) {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), kind)) return long(count);
    const bool gdi = kind == GR_GDIOBJECTS;
    std::vector<HANDLE> burst;
    int run = 0, last = -1;
    while (run < 64 && burst.size() < 60000) {
        burst.push_back(gdi ? HANDLE(CreateRectRgn(0, 0, 1, 1)) : HANDLE(CreateMenu()));
        const int slot = LOWORD(reinterpret_cast<UINT_PTR>(burst.back())) >> (gdi ? 0 : 1);
        run = slot == last + 1 ? run + 1 : 0;
        last = slot;
    }
    for (auto h = burst.rbegin(); h != burst.rend(); ++h) gdi ? DeleteObject(*h) : DestroyMenu(HMENU(*h));
    return last + 1 - long(burst.size());
}

// What each action must have done to the frames; their pictures play no part.
std::vector<GifFrame> s_model;

// The document, or a file read back, against the model; the file's pictures against what the
// canvas shows of the document's.
void expectModel(const GifAnimation& doc, bool file) {
    ASSERT_EQ(doc.frames.size(), s_model.size());
    for (size_t i = 0; i < s_model.size(); ++i) {
        const GifFrame& f = doc.frames[i];
        SCOPED_TRACE("frame " + std::to_string(i));
        ASSERT_EQ(fields(f, file), fields(s_model[i], file));
        ASSERT_EQ(f.comments, s_model[i].comments);
        ASSERT_TRUE(!file || colorsOf(f, &doc) == colorsOf(app().editor.document().frames[i]));
    }
}

// The panels always show the current frame, whatever made it current.
void checkAgreement() {
    ASSERT_TRUE(IsWindow(app().window));
    expectModel(app().editor.document(), false);
    ASSERT_EQ(frameListCount(), int(s_model.size()));
    const int s = frameListSelection();
    ASSERT_EQ(s, app().editor.currentFrame());
    if (s < 0) return;
    const GifFrame& m = s_model[size_t(s)];
    std::vector<uint32_t> shown;
    for (int id : {IDC_IMAGE_LEFT, IDC_IMAGE_TOP, IDC_IMAGE_WIDTH, IDC_IMAGE_HEIGHT, IDC_IMAGE_DELAY})
        shown.push_back(GetDlgItemInt(app().imagePanel, id, nullptr, FALSE));
    shown.push_back(uint32_t(SendDlgItemMessageA(app().imagePanel, IDC_IMAGE_DISPOSAL, CB_GETCURSEL, 0, 0)));
    shown.push_back(checked(app().imagePanel, IDC_IMAGE_INTERLACED));
    shown.push_back(uint32_t(SendDlgItemMessageA(app().commentPanel, IDC_COMMENT_LIST, CB_GETCOUNT, 0, 0)));
    ASSERT_EQ(shown, std::vector<uint32_t>({m.left, m.top, m.width(), m.height(), m.delay, m.disposal,
                                            m.interlaced, uint32_t(m.comments.size())}));
}

void saveAndCompare() {
    const std::string path = windowsOutputPath("random-session.gif");
    DeleteFileA(path.c_str());
    DialogStubs stub({path});
    sendMenuCommand(IDM_FILE_SAVE_AS);
    ASSERT_FALSE(app().editor.changed());
    GifAnimation back;
    ASSERT_EQ(back.readFile(path.c_str()), ReadOk);
    expectModel(back, true);
}

TEST(RandomSession, HundredsOfActionsKeepDocumentListPanelsAndFileInStep) {
    AppSession session;
    ASSERT_TRUE(session.started);
    SetWindowPos(app().window, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    // Three frames with comments, two with local tables, one transparent; the model starts as read.
    GifAnimation sample;
    ASSERT_EQ(sample.readFile(testDataPath("panels-sample.gif").c_str()), ReadOk);
    app().editor.open(sample, "");
    s_model = app().editor.document().frames;
    showPropertyTab(1);

    std::mt19937 rng(20261205);
    auto below = [&](int n) { return int(rng() % uint32_t(n)); };
    const DWORD kinds[2] = {GR_GDIOBJECTS, GR_USEROBJECTS};
    long atWarmUp[2] = {};
    for (int step = 1; step <= kActions; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int count = int(s_model.size()), sel = frameListSelection(), kind = below(100);
        GifFrame* m = sel >= 0 ? &s_model[size_t(sel)] : nullptr;
        std::string action = "repaint";
        if (kind < 18 || !m) {
            action = "select";
            selectFrame(below(count));
        } else if (kind < 35) {
            // Offsets are taken as typed, the delay once the field is left.
            const int edit = below(3), ids[] = {IDC_IMAGE_LEFT, IDC_IMAGE_TOP, IDC_IMAGE_DELAY};
            uint16_t& value = edit == 0 ? m->left : edit == 1 ? m->top : m->delay;
            value = uint16_t(below(edit == 2 ? 1000 : 60));
            action = edit == 0 ? "left" : edit == 1 ? "top" : "delay";
            typeText(app().imagePanel, ids[edit], std::to_string(value));
            if (edit == 2) leaveField(app().imagePanel, IDC_IMAGE_DELAY);
        } else if (kind < 41) {
            // The frame takes the box's new state; transparency needs a local table to pick from.
            action = "flags";
            const int box = below(2) ? IDC_IMAGE_INTERLACED : IDC_IMAGE_TRANSPARENT;
            if (box == IDC_IMAGE_INTERLACED || m->hasLocalTable)
                (box == IDC_IMAGE_INTERLACED ? m->interlaced : m->transparent) =
                    !checked(app().imagePanel, box);
            press(app().imagePanel, box);
        } else if (kind < 45) {
            action = "disposal";
            m->disposal = uint32_t(below(4));
            SendDlgItemMessageA(app().imagePanel, IDC_IMAGE_DISPOSAL, CB_SETCURSEL, m->disposal, 0);
            SendMessageA(app().imagePanel, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_DISPOSAL, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(app().imagePanel, IDC_IMAGE_DISPOSAL)));
        } else if (kind < 55) {
            // Add goes to the selected frame; picking, editing and deleting to the listed position.
            const int listed =
                int(SendDlgItemMessageA(app().commentPanel, IDC_COMMENT_LIST, CB_GETCOUNT, 0, 0));
            const int which = listed ? below(3) : 0, item = listed ? below(listed) : 0;
            const bool has = size_t(item) < m->comments.size();
            const std::string note = "note " + std::to_string(step);
            action = which == 0 ? "comment add" : which == 1 ? "comment delete" : "comment edit";
            if (which == 0) {
                press(app().commentPanel, IDC_COMMENT_ADD);
                m->comments.push_back("Comment " + std::to_string(m->comments.size() + 1));
            } else {
                SendDlgItemMessageA(app().commentPanel, IDC_COMMENT_LIST, CB_SETCURSEL, WPARAM(item), 0);
                SendMessageA(app().commentPanel, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_LIST, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(GetDlgItem(app().commentPanel, IDC_COMMENT_LIST)));
                if (which == 1) press(app().commentPanel, IDC_COMMENT_DELETE);
                if (which == 2) typeText(app().commentPanel, IDC_COMMENT_TEXT, note);
                if (which == 2) leaveField(app().commentPanel, IDC_COMMENT_TEXT);
                if (has && which == 1) m->comments.erase(m->comments.begin() + item);
                if (has && which == 2) m->comments[size_t(item)] = note;
            }
        } else if (kind < 63) {
            // A real click on an item's box pins or unpins it, and selects it.
            action = "pin";
            const int index =
                std::min(count - 1, int(SendMessageA(app().frameList, LB_GETTOPINDEX, 0, 0)) + below(2));
            clickPinBox(index);
            s_model[size_t(index)].pinned = !s_model[size_t(index)].pinned;
            ASSERT_EQ(frameListSelection(), index);
        } else if (kind < 73) {
            // Drag the selected frame by its top-left corner; offsets stop at 0. The canvas moves it
            // on its real 50 ms timer. The screen fits the view, so nothing scrolls.
            action = "drag";
            RECT view = {};
            GetClientRect(app().animationView, &view);
            if (m->left < view.right && m->top < view.bottom) {
                const int x = m->left + below(41) - 20, y = m->top + below(41) - 20;
                SendMessageA(app().animationView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(m->left, m->top));
                SendMessageA(app().animationView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
                m->left = uint16_t(std::max(0, x));
                m->top = uint16_t(std::max(0, y));
                const auto moved = [&] {
                    return fields(app().editor.document().frames[size_t(sel)], false) == fields(*m, false);
                };
                pumpUntil(moved, 1000);
                SendMessageA(app().animationView, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            }
        } else if (kind < 83) {
            // The selection goes with the frame. The key test sends the menu commands instead.
            const bool up = below(2) == 0;
            action = up ? "move up" : "move down";
            clickToolbarButton(up ? IDT_MOVE_UP : IDT_MOVE_DOWN);
            const int other = std::clamp(up ? sel - 1 : sel + 1, 0, count - 1);
            std::swap(s_model[size_t(sel)], s_model[size_t(other)]);
            ASSERT_EQ(frameListSelection(), other);
        } else if (kind < 90 && (kind < 86 ? count > 2 : count < 10)) {
            // An added picture becomes the current frame; after a delete, the one in its place.
            const bool add = kind >= 86, png = below(2) == 0;
            action = add ? "add" : "delete";
            if (add) {
                DialogStubs stub({importImagePath(png ? "colors256.png" : "flat.jpg")});
                clickToolbarButton(IDT_ADD);
                s_model.push_back(makeFrame(png ? 16 : 48, png ? 16 : 32, {0}));
            } else {
                clickToolbarButton(IDT_DELETE);
                s_model.erase(s_model.begin() + sel);
            }
            ASSERT_EQ(frameListSelection(), add ? count : std::min(sel, count - 2));
        } else if (kind < 97) {
            // Undo, and half of the time Redo right after it, which brings back what was there; the
            // model then follows the document, whose steps edit_test checks.
            const bool redo = below(2) == 0;
            action = redo ? "undo, redo" : "undo";
            const std::vector<GifFrame> before = app().editor.document().frames;
            clickToolbarButton(IDT_UNDO);
            if (redo) clickToolbarButton(IDT_REDO);
            for (size_t i = 0; redo && i < before.size(); ++i)
                ASSERT_EQ(fields(app().editor.document().frames.at(i), false), fields(before[i], false));
            s_model = app().editor.document().frames;
        } else {
            RedrawWindow(app().window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        pumpMessages(0);
        SCOPED_TRACE(action);
        ASSERT_NO_FATAL_FAILURE(checkAgreement());
        if (step % kSaveEvery == 0) saveAndCompare();
        ASSERT_FALSE(HasFatalFailure());
        for (int k = 0; step == kWarmUp && k < 2; ++k) atWarmUp[k] = guiObjects(kinds[k]);
    }
    pumpMessages(50);
    for (int k = 0; k < 2; ++k) {
        const long atEnd = guiObjects(kinds[k]);
        std::printf("%s objects after %d actions: %ld after the warm-up, %ld at the end\n",
                    k ? "USER" : "GDI", kActions, atWarmUp[k], atEnd);
        EXPECT_LE(atEnd, atWarmUp[k] + kObjectSlack) << (k ? "USER" : "GDI") << " objects leak";
    }
}

}  // namespace
