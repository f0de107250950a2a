#pragma once
// Play and Stop, and the Composed view: the animation shown in the window as a browser shows it.
// Playing only selects frames; it never edits, and any edit stops it.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "gif/playback.h"

struct Application;

struct PlaybackState {
    bool playing = false;
    // The Composed view: the canvas and the thumbnails show each frame as it appears when played.
    bool composed = false;
    velmora::PlaySchedule schedule;
    uint64_t step = 0;  // the schedule's step on show
    LARGE_INTEGER start = {};
    HANDLE timer = nullptr;  // the pending one-shot timer of the next step
    velmora::ComposedFrames frames;
    // How late the frames shown in the last play came against the schedule, in milliseconds, and
    // how many were passed over to keep it.
    uint64_t ticks = 0;
    uint64_t skipped = 0;
    double lateSum = 0;
    double lateMost = 0;
};

// Play when stopped, Stop when playing.
void commandPlay(Application& app);
void commandComposed(Application& app);
void stopPlayback(Application& app);
// Posted to the main window when the next step of a play is due.
constexpr UINT kPlaybackTickMessage = WM_APP + 1;
void onPlaybackTick(Application& app);
// After every edit notice: the play stops and the composed canvases are stale.
void onDocumentEdited(Application& app);
// The picture the canvas shows instead of the frames: the current frame composed, while playing or
// in the Composed view; null otherwise.
const std::vector<velmora::Pixel>* composedPicture(Application& app);
// A key the focused control needs for itself (a space typed into a field, a button pressed with
// it), which no shortcut may take.
bool keyBelongsToFocus(const MSG& message);
