#pragma once
// The undo history: named steps, bounded in count and in the picture memory they keep, and the
// one place that knows whether the document differs from the file it was opened from or saved to.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "edit/changes.h"

struct EditStep {
    std::string name;
    int frame = -1;        // the frame to select after doing or redoing it
    int frameBefore = -1;  // the frame to select after undoing it
    std::vector<ChangePtr> changes;
    uint64_t serial = 0;
    std::string mergeKey;

    bool affectsFile() const;
    size_t retainedBytes() const;
};

class History {
public:
    static constexpr size_t kDefaultMaxSteps = 1000;
    static constexpr size_t kDefaultMaxBytes = size_t(256) << 20;

    explicit History(size_t maxSteps = kDefaultMaxSteps, size_t maxBytes = kDefaultMaxBytes)
        : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

    // Forgets every step; the document as it is now counts as saved.
    void clear();
    // Records an applied step. A step with the same non-empty merge key as the last one, made
    // right after it, joins it: typing "123" or dragging is one step, not one per keystroke.
    void record(EditStep step);
    void markSaved() { savedSerial_ = currentSerial(); }
    // Any later step ends the merging of typed values into the last one.
    void closeMerge() { mergeOpen_ = false; }

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    const std::string& undoName() const;
    const std::string& redoName() const;
    // Exchanges the step's changes backwards (undo) or forwards (redo); returns the step's frame.
    int undo(GifAnimation& doc);
    int redo(GifAnimation& doc);

    bool changed() const;
    size_t stepCount() const { return steps_.size(); }
    size_t retainedBytes() const { return retainedBytes_; }

private:
    uint64_t currentSerial() const { return position_ > 0 ? steps_[position_ - 1].serial : baseSerial_; }
    // 0 for the state before the first kept step, i + 1 after step i, SIZE_MAX when gone.
    size_t stateOf(uint64_t serial) const;
    void recount();
    void trim();

    size_t maxSteps_;
    size_t maxBytes_;
    std::deque<EditStep> steps_;
    size_t position_ = 0;  // steps applied
    uint64_t nextSerial_ = 1;
    uint64_t baseSerial_ = 0;
    uint64_t savedSerial_ = 0;
    size_t retainedBytes_ = 0;
    bool mergeOpen_ = false;
};
