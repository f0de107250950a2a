#include "app/playback.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>

#include "app/application.h"
#include "app/editorviews.h"
#include "resource.h"
#include "ui/commentpanel.h"
#include "ui/imagepanel.h"

namespace {

double millisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

void CALLBACK postTick(void* window, BOOLEAN) {
    PostMessageA(static_cast<HWND>(window), kPlaybackTickMessage, 0, 0);
}

void cancelTick(PlaybackState& p) {
    // Does not wait for a tick being posted; a tick that comes after the play is ignored.
    if (p.timer) DeleteTimerQueueTimer(nullptr, p.timer, nullptr);
    p.timer = nullptr;
}

// One timer for the next step only, set from the play's start: waits never add up. A timer-queue
// timer posts its tick at the millisecond, where WM_TIMER waits at least 10 ms and comes only when
// nothing is left to paint. Rounded up, so it does not come a fraction early.
void scheduleTick(Application& app, uint64_t dueMs) {
    PlaybackState& p = app.playback;
    cancelTick(p);
    const double wait = std::ceil(std::max(0.0, double(dueMs) - millisecondsSince(p.start)));
    if (!CreateTimerQueueTimer(&p.timer, nullptr, postTick, app.window, DWORD(wait), 0,
                               WT_EXECUTEONLYONCE | WT_EXECUTEINTIMERTHREAD))
        p.timer = nullptr;
}

void scheduleNextStep(Application& app) {
    const PlaybackState& p = app.playback;
    scheduleTick(app, p.schedule.hasStep(p.step + 1) ? p.schedule.startOf(p.step + 1) : p.schedule.end());
}

void showPlayState(Application& app) {
    const bool playing = app.playback.playing;
    if (HMENU menu = GetMenu(app.window)) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STRING;
        item.dwTypeData = const_cast<char*>(playing ? "&Stop\tSpace" : "&Play\tSpace");
        SetMenuItemInfoA(menu, IDM_ANIMATION_PLAY, FALSE, &item);
    }
    SendMessageA(app.toolbar, TB_CHECKBUTTON, IDT_PLAY, MAKELONG(playing, 0));
}

// Selecting is no edit: the list, the panels and the canvas follow as a click in the list would
// make them.
void showPlayingFrame(Application& app, size_t frame) {
    // The one composition of this tick; the paint finds the canvas ready.
    app.playback.frames.canvasOf(app.editor.document(), frame, false);
    app.editor.selectFrame(int(frame));
    SendMessageA(app.frameList, LB_SETCURSEL, WPARAM(frame), 0);
    SendDlgItemMessageA(app.commentPanel, IDC_COMMENT_LIST, CB_RESETCONTENT, 0, 0);
    showFrameInImagePanel(app.imagePanel);
    showFrameInCommentPanel(app.commentPanel);
    RedrawWindow(app.animationView, nullptr, nullptr, RDW_INVALIDATE);
}

void redrawPictures(Application& app) {
    RedrawWindow(app.animationView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    RedrawWindow(app.frameList, nullptr, nullptr, RDW_INVALIDATE);
}

}  // namespace

void commandPlay(Application& app) {
    PlaybackState& p = app.playback;
    if (p.playing) {
        stopPlayback(app);
        return;
    }
    p.schedule = velmora::PlaySchedule(app.editor.document());
    if (!p.schedule.hasStep(0)) return;
    p.playing = true;
    p.step = 0;
    p.ticks = p.skipped = 0;
    p.lateSum = p.lateMost = 0;
    // Windows ticks every 15.6 ms unless asked; a frame would show up to a tick late.
    timeBeginPeriod(1);
    QueryPerformanceCounter(&p.start);
    showPlayingFrame(app, 0);
    showPlayState(app);
    scheduleNextStep(app);
}

void stopPlayback(Application& app) {
    PlaybackState& p = app.playback;
    if (!p.playing) return;
    cancelTick(p);
    timeEndPeriod(1);
    p.playing = false;
    showPlayState(app);
    redrawPictures(app);
}

void onPlaybackTick(Application& app) {
    PlaybackState& p = app.playback;
    if (!p.playing) return;
    const double now = millisecondsSince(p.start);
    if (!p.schedule.hasStep(p.step + 1)) {
        if (now >= double(p.schedule.end())) {
            stopPlayback(app);
        } else {
            scheduleTick(app, p.schedule.end());
        }
        return;
    }
    const double due = double(p.schedule.startOf(p.step + 1));
    // A timer may fire a little early; the step waits for its time.
    if (now < due) {
        scheduleTick(app, p.schedule.startOf(p.step + 1));
        return;
    }
    // What is being typed belongs to the frame on show; taking it is an edit, which stops the play.
    commitTypedValues(app);
    if (!p.playing) return;
    // One frame composed per tick, even when late: the composer only steps forward. A step whose
    // successor is already due is composed but not shown, so a slow paint costs frames on screen,
    // never the schedule.
    ++p.step;
    const size_t frame = p.schedule.frameOf(p.step);
    if (p.schedule.hasStep(p.step + 1) && now >= double(p.schedule.startOf(p.step + 1))) {
        p.frames.canvasOf(app.editor.document(), frame, false);
        ++p.skipped;
    } else {
        ++p.ticks;
        p.lateSum += now - due;
        p.lateMost = std::max(p.lateMost, now - due);
        showPlayingFrame(app, frame);
    }
    scheduleNextStep(app);
}

void commandComposed(Application& app) {
    app.playback.composed = !app.playback.composed;
    if (HMENU menu = GetMenu(app.window))
        CheckMenuItem(menu, IDM_ANIMATION_COMPOSED, app.playback.composed ? MF_CHECKED : MF_UNCHECKED);
    redrawPictures(app);
}

void onDocumentEdited(Application& app) {
    stopPlayback(app);
    app.playback.frames.clear();
}

const std::vector<velmora::Pixel>* composedPicture(Application& app) {
    const int current = app.editor.currentFrame();
    if (current < 0 || !(app.playback.playing || app.playback.composed)) return nullptr;
    return &app.playback.frames.canvasOf(app.editor.document(), size_t(current));
}

bool keyBelongsToFocus(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_SPACE) return false;
    char name[32] = {};
    GetClassNameA(GetFocus(), name, sizeof(name));
    // A combo box's own edit field is an "Edit" too.
    for (const char* typing : {"Edit", "ComboBox", "Button"})
        if (lstrcmpiA(name, typing) == 0) return true;
    return false;
}
