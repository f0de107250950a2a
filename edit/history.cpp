#include "edit/history.h"

#include <algorithm>
#include <cstdint>

bool EditStep::affectsFile() const {
    return std::any_of(changes.begin(), changes.end(), [](const ChangePtr& c) { return c->affectsFile(); });
}

size_t EditStep::retainedBytes() const {
    size_t bytes = 0;
    for (const ChangePtr& change : changes) bytes += change->retainedBytes();
    return bytes;
}

void History::clear() {
    steps_.clear();
    position_ = 0;
    baseSerial_ = nextSerial_++;
    savedSerial_ = baseSerial_;
    retainedBytes_ = 0;
    mergeOpen_ = false;
}

void History::record(EditStep step) {
    steps_.erase(steps_.begin() + std::ptrdiff_t(position_), steps_.end());
    EditStep* last = steps_.empty() ? nullptr : &steps_.back();
    if (mergeOpen_ && last && !step.mergeKey.empty() && step.mergeKey == last->mergeKey &&
        savedSerial_ != last->serial) {
        for (ChangePtr& change : step.changes) last->changes.push_back(std::move(change));
    } else {
        step.serial = nextSerial_++;
        steps_.push_back(std::move(step));
        position_ = steps_.size();
    }
    mergeOpen_ = !steps_.back().mergeKey.empty();
    trim();
}

const std::string& History::undoName() const {
    static const std::string none;
    return canUndo() ? steps_[position_ - 1].name : none;
}

const std::string& History::redoName() const {
    static const std::string none;
    return canRedo() ? steps_[position_].name : none;
}

int History::undo(GifAnimation& doc) {
    if (!canUndo()) return -1;
    mergeOpen_ = false;
    EditStep& step = steps_[--position_];
    for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change)
        (*change)->exchange(doc);
    recount();
    return step.frameBefore;
}

int History::redo(GifAnimation& doc) {
    if (!canRedo()) return -1;
    mergeOpen_ = false;
    EditStep& step = steps_[position_++];
    for (ChangePtr& change : step.changes) change->exchange(doc);
    recount();
    return step.frame;
}

size_t History::stateOf(uint64_t serial) const {
    if (serial == baseSerial_) return 0;
    for (size_t i = 0; i < steps_.size(); ++i) {
        if (steps_[i].serial == serial) return i + 1;
    }
    return SIZE_MAX;
}

bool History::changed() const {
    const size_t saved = stateOf(savedSerial_);
    if (saved == SIZE_MAX) return true;
    const size_t from = std::min(saved, position_);
    const size_t to = std::max(saved, position_);
    for (size_t i = from; i < to; ++i) {
        if (steps_[i].affectsFile()) return true;
    }
    return false;
}

void History::recount() {
    retainedBytes_ = 0;
    for (const EditStep& step : steps_) retainedBytes_ += step.retainedBytes();
}

// The oldest undo steps go first; only when none is left do the farthest redo steps go.
void History::trim() {
    recount();
    while (!steps_.empty() && (steps_.size() > maxSteps_ || retainedBytes_ > maxBytes_)) {
        if (position_ > 0) {
            retainedBytes_ -= steps_.front().retainedBytes();
            baseSerial_ = steps_.front().serial;
            steps_.pop_front();
            --position_;
        } else {
            retainedBytes_ -= steps_.back().retainedBytes();
            steps_.pop_back();
        }
    }
}
