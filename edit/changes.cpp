#include "edit/changes.h"

#include <algorithm>
#include <utility>

FrameFields FrameFields::of(const GifFrame& frame) {
    FrameFields f;
    f.left = frame.left;
    f.top = frame.top;
    f.transparent = frame.transparent;
    f.transparentIndex = frame.transparentIndex;
    f.delay = frame.delay;
    f.interlaced = frame.interlaced;
    f.disposal = frame.disposal;
    f.title = frame.title;
    f.comments = frame.comments;
    return f;
}

void FrameFields::applyTo(GifFrame& frame) const {
    frame.left = left;
    frame.top = top;
    frame.transparent = transparent;
    frame.transparentIndex = transparentIndex;
    frame.delay = delay;
    frame.interlaced = interlaced;
    frame.disposal = disposal;
    frame.title = title;
    frame.comments = comments;
}

bool FrameFields::sameInFile(const FrameFields& o) const {
    return left == o.left && top == o.top && transparent == o.transparent &&
           transparentIndex == o.transparentIndex && delay == o.delay && interlaced == o.interlaced &&
           disposal == o.disposal && comments == o.comments;
}

DocumentFields DocumentFields::of(const GifAnimation& doc) {
    DocumentFields f;
    f.screenWidth = doc.screenWidth;
    f.screenHeight = doc.screenHeight;
    f.autoScreenSize = doc.autoScreenSize;
    f.backgroundIndex = doc.backgroundIndex;
    f.loopCount = doc.loopCount;
    f.loopForever = doc.loopForever;
    return f;
}

void DocumentFields::applyTo(GifAnimation& doc) const {
    doc.screenWidth = screenWidth;
    doc.screenHeight = screenHeight;
    doc.autoScreenSize = autoScreenSize;
    doc.backgroundIndex = backgroundIndex;
    doc.loopCount = loopCount;
    doc.loopForever = loopForever;
}

bool DocumentFields::operator==(const DocumentFields& o) const {
    return screenWidth == o.screenWidth && screenHeight == o.screenHeight &&
           autoScreenSize == o.autoScreenSize && backgroundIndex == o.backgroundIndex &&
           loopCount == o.loopCount && loopForever == o.loopForever;
}

size_t framePictureBytes(const GifFrame& frame) {
    size_t bytes = sizeof(GifFrame) + frame.localTable.entries.size() * sizeof(RgbColor);
    if (frame.bitmap)
        bytes += size_t(frame.bitmap->stride()) * frame.bitmap->height() + sizeof(IndexedPalette);
    return bytes;
}

void refreshDisplayPalette(GifFrame& frame, const GifAnimation& doc) {
    if (!frame.bitmap) return;
    const ColorTable& table = frame.hasLocalTable ? frame.localTable : doc.globalTable;
    IndexedPalette palette = frame.bitmap->palette();
    const size_t count = std::min<size_t>(table.entries.size(), 256);
    for (size_t i = 0; i < count; ++i) palette.entries[i] = table.entries[i].toArgb();
    palette.flags = 0;
    if (frame.transparent && frame.transparentIndex < count) {
        palette.entries[frame.transparentIndex] &= 0x00FFFFFFu;
        palette.flags = kPaletteFlagsHasAlpha;
    }
    frame.bitmap->setPalette(palette);
}

namespace {

class FrameFieldsChange : public Change {
public:
    FrameFieldsChange(size_t index, FrameFields other, bool affectsFile)
        : index_(index), other_(std::move(other)), affectsFile_(affectsFile) {}
    void exchange(GifAnimation& doc) override {
        GifFrame& frame = doc.frames[index_];
        FrameFields current = FrameFields::of(frame);
        const bool transparencyChanged =
            current.transparent != other_.transparent || current.transparentIndex != other_.transparentIndex;
        other_.applyTo(frame);
        other_ = std::move(current);
        if (transparencyChanged) refreshDisplayPalette(frame, doc);
    }
    bool affectsFile() const override { return affectsFile_; }

private:
    size_t index_;
    FrameFields other_;
    bool affectsFile_;
};

class DocumentFieldsChange : public Change {
public:
    explicit DocumentFieldsChange(DocumentFields other) : other_(other) {}
    void exchange(GifAnimation& doc) override {
        const DocumentFields current = DocumentFields::of(doc);
        other_.applyTo(doc);
        other_ = current;
    }

private:
    DocumentFields other_;
};

class SpliceChange : public Change {
public:
    SpliceChange(size_t at, size_t count, std::vector<GifFrame> frames)
        : at_(at), count_(count), held_(std::move(frames)) {}
    void exchange(GifAnimation& doc) override {
        auto first = doc.frames.begin() + std::ptrdiff_t(at_);
        std::vector<GifFrame> taken(std::make_move_iterator(first),
                                    std::make_move_iterator(first + std::ptrdiff_t(count_)));
        first = doc.frames.erase(first, first + std::ptrdiff_t(count_));
        doc.frames.insert(first, std::make_move_iterator(held_.begin()),
                          std::make_move_iterator(held_.end()));
        count_ = held_.size();
        held_ = std::move(taken);
    }
    size_t retainedBytes() const override {
        size_t bytes = 0;
        for (const GifFrame& frame : held_) bytes += framePictureBytes(frame);
        return bytes;
    }

private:
    size_t at_;
    size_t count_;
    std::vector<GifFrame> held_;
};

class SwapFramesChange : public Change {
public:
    SwapFramesChange(size_t first, size_t second) : first_(first), second_(second) {}
    void exchange(GifAnimation& doc) override { std::swap(doc.frames[first_], doc.frames[second_]); }

private:
    size_t first_;
    size_t second_;
};

class ReplaceFrameChange : public Change {
public:
    ReplaceFrameChange(size_t index, GifFrame frame) : index_(index), other_(std::move(frame)) {}
    void exchange(GifAnimation& doc) override { std::swap(doc.frames[index_], other_); }
    size_t retainedBytes() const override { return framePictureBytes(other_); }

private:
    size_t index_;
    GifFrame other_;
};

class GlobalTableChange : public Change {
public:
    GlobalTableChange(bool hasTable, ColorTable table) : hasTable_(hasTable), table_(std::move(table)) {}
    void exchange(GifAnimation& doc) override {
        std::swap(doc.hasGlobalTable, hasTable_);
        std::swap(doc.globalTable, table_);
    }

private:
    bool hasTable_;
    ColorTable table_;
};

}  // namespace

ChangePtr frameFieldsChange(size_t index, FrameFields other, bool affectsFile) {
    return std::make_unique<FrameFieldsChange>(index, std::move(other), affectsFile);
}
ChangePtr documentFieldsChange(DocumentFields other) {
    return std::make_unique<DocumentFieldsChange>(other);
}
ChangePtr spliceChange(size_t at, size_t count, std::vector<GifFrame> frames) {
    return std::make_unique<SpliceChange>(at, count, std::move(frames));
}
ChangePtr swapFramesChange(size_t first, size_t second) {
    return std::make_unique<SwapFramesChange>(first, second);
}
ChangePtr replaceFrameChange(size_t index, GifFrame frame) {
    return std::make_unique<ReplaceFrameChange>(index, std::move(frame));
}
ChangePtr globalTableChange(bool hasTable, ColorTable table) {
    return std::make_unique<GlobalTableChange>(hasTable, std::move(table));
}
