#include "edit/editor.h"

#include <algorithm>
#include <utility>

#include "gif/limits.h"

void fittedScreenSize(const GifAnimation& doc, uint16_t* width, uint16_t* height) {
    *width = doc.screenWidth;
    *height = doc.screenHeight;
    if (doc.frames.empty()) return;
    uint32_t right = 0;
    uint32_t bottom = 0;
    for (const GifFrame& frame : doc.frames) {
        right = std::max(right, uint32_t(frame.left) + frame.width());
        bottom = std::max(bottom, uint32_t(frame.top) + frame.height());
    }
    *width = uint16_t(std::min<uint32_t>(right, velmora::kMaxScreenSide));
    *height = uint16_t(std::min<uint32_t>(bottom, velmora::kMaxScreenSide));
}

void keepColorsForTarget(GifAnimation& source, const GifAnimation& target) {
    if (!source.hasGlobalTable) return;
    const bool sameColors = target.hasGlobalTable && target.globalTable.entries == source.globalTable.entries;
    if (sameColors) return;
    for (GifFrame& frame : source.frames) {
        if (frame.hasLocalTable) continue;
        frame.hasLocalTable = true;
        frame.localTable.entries = source.globalTable.entries;
    }
}

namespace {

EditStep makeStep(const std::string& name, int frame, int frameBefore, const std::string& mergeKey = {}) {
    EditStep step;
    step.name = name;
    step.frame = frame;
    step.frameBefore = frameBefore;
    step.mergeKey = mergeKey;
    return step;
}

}  // namespace

const GifFrame* Editor::currentFramePtr() const {
    return current_ >= 0 && size_t(current_) < doc_.frames.size() ? &doc_.frames[size_t(current_)] : nullptr;
}

void Editor::selectFrame(int index) {
    current_ = index >= 0 && size_t(index) < doc_.frames.size() ? index : -1;
    history_.closeMerge();
}

void Editor::notify(bool framesChanged) {
    if (observer_) observer_(EditNotice{framesChanged});
}

void Editor::open(GifAnimation& doc, std::string path) {
    doc_.frames = std::move(doc.frames);
    doc.frames.clear();
    DocumentFields::of(doc).applyTo(doc_);
    // A size read from a file is the file's own; it follows the frames only when the user asks.
    doc_.autoScreenSize = false;
    doc_.hasGlobalTable = doc.hasGlobalTable;
    doc_.globalTable = doc.globalTable;
    path_ = std::move(path);
    current_ = -1;
    history_.clear();
    notify(true);
}

void Editor::startNew() {
    doc_.frames.clear();
    path_.clear();
    current_ = -1;
    history_.clear();
    notify(true);
}

bool Editor::save(const std::string& path) {
    if (!doc_.writeFile(path.c_str())) return false;
    markSaved(path);
    return true;
}

void Editor::markSaved(std::string path) {
    path_ = std::move(path);
    history_.markSaved();
    history_.closeMerge();
    notify(false);
}

void Editor::fitScreen(EditStep& step, ScreenAfterAdd how) {
    if (doc_.autoScreenSize) how = ScreenAfterAdd::Fit;
    if (how == ScreenAfterAdd::Keep) return;
    DocumentFields fitted = DocumentFields::of(doc_);
    fittedScreenSize(doc_, &fitted.screenWidth, &fitted.screenHeight);
    if (how == ScreenAfterAdd::Grow) {
        fitted.screenWidth = std::max(fitted.screenWidth, doc_.screenWidth);
        fitted.screenHeight = std::max(fitted.screenHeight, doc_.screenHeight);
    }
    if (fitted == DocumentFields::of(doc_)) return;
    ChangePtr change = documentFieldsChange(fitted);
    change->exchange(doc_);
    step.changes.push_back(std::move(change));
}

void Editor::commit(EditStep step, bool framesChanged, ScreenAfterAdd screen) {
    fitScreen(step, screen);
    step.frame = std::min(step.frame, int(doc_.frames.size()) - 1);
    current_ = step.frame;
    history_.record(std::move(step));
    notify(framesChanged);
}

bool Editor::setFrameFields(size_t index, const FrameFields& fields, const std::string& name,
                            const std::string& mergeKey) {
    if (index >= doc_.frames.size()) return false;
    const FrameFields before = FrameFields::of(doc_.frames[index]);
    if (before == fields) return false;
    EditStep step = makeStep(name, int(index), int(index), mergeKey);
    step.changes.push_back(frameFieldsChange(index, fields, !before.sameInFile(fields)));
    step.changes.back()->exchange(doc_);
    commit(std::move(step), false);
    return true;
}

bool Editor::setDocumentFields(const DocumentFields& fields, const std::string& name,
                               const std::string& mergeKey) {
    if (DocumentFields::of(doc_) == fields) return false;
    EditStep step = makeStep(name, current_, current_, mergeKey);
    step.changes.push_back(documentFieldsChange(fields));
    step.changes.back()->exchange(doc_);
    commit(std::move(step), false);
    return true;
}

bool Editor::insertFrames(size_t at, GifAnimation& source, const std::string& name, ScreenAfterAdd screen,
                          bool selectAdded) {
    if (source.frames.empty()) return false;
    keepColorsForTarget(source, doc_);
    at = std::min(at, doc_.frames.size());
    const int last = int(at + source.frames.size()) - 1;
    const int keptFrame = current_ >= int(at) ? current_ + int(source.frames.size()) : current_;
    EditStep step = makeStep(name, selectAdded ? last : keptFrame, current_);
    step.changes.push_back(spliceChange(at, 0, std::move(source.frames)));
    source.frames.clear();
    step.changes.back()->exchange(doc_);
    commit(std::move(step), true, screen);
    return true;
}

bool Editor::setDelays(const std::vector<uint16_t>& delays, const std::string& name) {
    if (delays.size() != doc_.frames.size()) return false;
    EditStep step = makeStep(name, current_, current_);
    for (size_t i = 0; i < delays.size(); ++i) {
        FrameFields fields = FrameFields::of(doc_.frames[i]);
        if (fields.delay == delays[i]) continue;
        fields.delay = delays[i];
        step.changes.push_back(frameFieldsChange(i, std::move(fields), true));
        step.changes.back()->exchange(doc_);
    }
    if (step.changes.empty()) return false;
    commit(std::move(step), false);
    return true;
}

bool Editor::remapGlobalTable(ColorTable table, const std::array<uint8_t, 256>& remap,
                              const std::string& name) {
    if (!doc_.hasGlobalTable) return false;
    EditStep step = makeStep(name, current_, current_);
    table.useCounts.clear();
    step.changes.push_back(globalTableChange(true, std::move(table)));
    step.changes.back()->exchange(doc_);
    for (size_t i = 0; i < doc_.frames.size(); ++i) {
        const GifFrame& frame = doc_.frames[i];
        if (frame.hasLocalTable || !frame.bitmap) continue;
        GifFrame remapped = frame;
        remapped.bitmap->remapIndices(remap.data());
        refreshDisplayPalette(remapped, doc_);
        step.changes.push_back(replaceFrameChange(i, std::move(remapped)));
        step.changes.back()->exchange(doc_);
    }
    commit(std::move(step), false);
    return true;
}

bool Editor::deleteFrame(size_t index) {
    if (index >= doc_.frames.size()) return false;
    // The next frame takes the place of the deleted one; after the last, the one before it.
    EditStep step = makeStep("Delete Frame", int(index), int(index));
    step.changes.push_back(spliceChange(index, 1, {}));
    step.changes.back()->exchange(doc_);
    commit(std::move(step), true);
    return true;
}

bool Editor::moveFrame(size_t index, bool up) {
    if (index >= doc_.frames.size() || (up && index == 0) || (!up && index + 1 >= doc_.frames.size()))
        return false;
    const size_t other = up ? index - 1 : index + 1;
    EditStep step = makeStep("Move Frame", int(other), int(index));
    step.changes.push_back(swapFramesChange(index, other));
    step.changes.back()->exchange(doc_);
    commit(std::move(step), true);
    return true;
}

bool Editor::replaceFrame(size_t index, GifFrame frame, const std::string& name) {
    if (index >= doc_.frames.size()) return false;
    EditStep step = makeStep(name, int(index), int(index));
    step.changes.push_back(replaceFrameChange(index, std::move(frame)));
    step.changes.back()->exchange(doc_);
    commit(std::move(step), false);
    return true;
}

bool Editor::replaceAnimation(GifAnimation& result, const std::string& name) {
    EditStep step = makeStep(name, current_, current_);
    DocumentFields fields = DocumentFields::of(result);
    fields.autoScreenSize = doc_.autoScreenSize;
    step.changes.push_back(spliceChange(0, doc_.frames.size(), std::move(result.frames)));
    result.frames.clear();
    step.changes.push_back(globalTableChange(result.hasGlobalTable, result.globalTable));
    step.changes.push_back(documentFieldsChange(fields));
    for (ChangePtr& change : step.changes) change->exchange(doc_);
    commit(std::move(step), true);
    return true;
}

bool Editor::undo() {
    if (!history_.canUndo()) return false;
    const int frame = history_.undo(doc_);
    current_ = std::min(frame, int(doc_.frames.size()) - 1);
    notify(true);
    return true;
}

bool Editor::redo() {
    if (!history_.canRedo()) return false;
    const int frame = history_.redo(doc_);
    current_ = std::min(frame, int(doc_.frames.size()) - 1);
    notify(true);
    return true;
}
