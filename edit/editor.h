#pragma once
// The editing layer: the document, the current frame, the document's path and the undo history.
// Every change to the document goes through one of the edits below, each one named undoable step;
// the windows turn what the user did into these calls and redraw from what this reports.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "edit/changes.h"
#include "edit/history.h"
#include "gif/document.h"

// How the logical screen follows frames that are added (besides Auto, which always fits).
enum class ScreenAfterAdd { Keep, Grow, Fit };

// What an observer learns after each edit, undo, redo, open or new.
struct EditNotice {
    bool framesChanged = false;  // frames were added, removed or reordered
};

class Editor {
public:
    Editor() = default;
    explicit Editor(History history) : history_(std::move(history)) {}
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    const GifAnimation& document() const { return doc_; }
    const std::string& path() const { return path_; }
    // "Changed" means a save would write something else than the file holds.
    bool changed() const { return history_.changed(); }
    const History& history() const { return history_; }

    int currentFrame() const { return current_; }
    const GifFrame* currentFramePtr() const;
    // Selecting is no edit: it changes nothing a file would hold.
    void selectFrame(int index);

    // Pins say which frames the canvas shows beside the current one: a way of looking, not an edit.
    void setPinned(size_t index, bool pinned) {
        if (index < doc_.frames.size()) doc_.frames[index].pinned = pinned;
    }

    void setObserver(std::function<void(const EditNotice&)> observer) { observer_ = std::move(observer); }

    // Takes a freshly read document; the history starts anew and nothing counts as changed.
    void open(GifAnimation& doc, std::string path);
    // Drops the frames and the path; screen size, looping and the global table stay.
    void startNew();
    // Writes the document to `path`; on success it becomes the document's path and the saved state.
    bool save(const std::string& path);
    // Writes a copy (the browser preview) without touching the path or the saved state.
    bool writeCopy(const std::string& path) { return doc_.writeFile(path.c_str()); }

    // The edits. Each returns false, recording nothing, when it would change nothing. Typed values
    // and drags pass a merge key so that a run of them with the same key is one step.
    bool setFrameFields(size_t index, const FrameFields& fields, const std::string& name,
                        const std::string& mergeKey = std::string());
    bool setDocumentFields(const DocumentFields& fields, const std::string& name,
                           const std::string& mergeKey = std::string());
    // Inserts the frames taken from `source` (their colours made to survive in this document);
    // the last of them becomes the current frame when `selectAdded`.
    bool insertFrames(size_t at, GifAnimation& source, const std::string& name,
                      ScreenAfterAdd screen = ScreenAfterAdd::Keep, bool selectAdded = true);
    // Every frame's delay at once (Animation Delay), as one step; `delays` has one per frame.
    bool setDelays(const std::vector<uint16_t>& delays, const std::string& name);
    bool deleteFrame(size_t index);
    bool moveFrame(size_t index, bool up);
    // Every frame, the global table, the screen and looping replaced by `result`'s (the optimiser's
    // output), as one step; Auto stays as it is.
    bool replaceAnimation(GifAnimation& result, const std::string& name);
    // The frame's picture and table replaced as a whole (the palette editor's OK).
    bool replaceFrame(size_t index, GifFrame frame, const std::string& name);
    // The global table replaced by `table` and every frame that draws from it remapped through
    // `remap` (old index -> new index), as one step: the global palette editor's OK.
    bool remapGlobalTable(ColorTable table, const std::array<uint8_t, 256>& remap, const std::string& name);
    void closeMerge() { history_.closeMerge(); }

    bool undo();
    bool redo();

private:
    void commit(EditStep step, bool framesChanged, ScreenAfterAdd screen = ScreenAfterAdd::Keep);
    void fitScreen(EditStep& step, ScreenAfterAdd how);
    void notify(bool framesChanged);
    void markSaved(std::string path);

    GifAnimation doc_;
    std::string path_;
    int current_ = -1;
    History history_;
    std::function<void(const EditNotice&)> observer_;
};

// The logical screen that just holds every frame at its offset, at most 2000 each way; the
// current size when there is no frame.
void fittedScreenSize(const GifAnimation& doc, uint16_t* width, uint16_t* height);
// Gives each frame that draws from `source`'s global table that table as its own, unless `target`'s
// global table holds the same colours, so the frames keep their colours once moved to `target`.
void keepColorsForTarget(GifAnimation& source, const GifAnimation& target);
