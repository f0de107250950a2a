#pragma once
// The reversible pieces an edit is made of. Each change holds the other side of what it changes
// and swaps it with the document, so the one call both applies and undoes it.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "gif/document.h"

// What the Image and Comment panels edit on a frame; the picture and its table stay out.
struct FrameFields {
    uint16_t left = 0;
    uint16_t top = 0;
    bool transparent = false;
    uint8_t transparentIndex = 0;
    uint16_t delay = 0;
    bool interlaced = false;
    uint32_t disposal = 0;
    std::string title;
    std::vector<std::string> comments;

    static FrameFields of(const GifFrame& frame);
    void applyTo(GifFrame& frame) const;
    bool sameInFile(const FrameFields& other) const;  // equal but for the title
    bool operator==(const FrameFields& other) const { return sameInFile(other) && title == other.title; }
};

// What the Global panel edits.
struct DocumentFields {
    uint16_t screenWidth = 1;
    uint16_t screenHeight = 1;
    bool autoScreenSize = false;
    uint8_t backgroundIndex = 0;
    uint16_t loopCount = 1;
    bool loopForever = false;

    static DocumentFields of(const GifAnimation& doc);
    void applyTo(GifAnimation& doc) const;
    bool operator==(const DocumentFields& other) const;
};

class Change {
public:
    virtual ~Change() = default;
    // Applies the change, or undoes it when it was applied last.
    virtual void exchange(GifAnimation& doc) = 0;
    // Picture memory the change keeps outside the document while it waits to be exchanged.
    virtual size_t retainedBytes() const { return 0; }
    // False for changes a saved file cannot show (a frame's title).
    virtual bool affectsFile() const { return true; }
};

using ChangePtr = std::unique_ptr<Change>;

// Bytes a frame's picture and tables hold.
size_t framePictureBytes(const GifFrame& frame);
// Rebuilds a frame's display palette after its table or transparency changed: the canvas must
// show the transparent entry as see-through, exactly as a viewer of the saved file would.
void refreshDisplayPalette(GifFrame& frame, const GifAnimation& doc);

ChangePtr frameFieldsChange(size_t index, FrameFields other, bool affectsFile);
ChangePtr documentFieldsChange(DocumentFields other);
// Replaces `count` frames at `at` with `frames` (an insertion when count is 0, a removal when
// frames is empty).
ChangePtr spliceChange(size_t at, size_t count, std::vector<GifFrame> frames);
ChangePtr swapFramesChange(size_t first, size_t second);
ChangePtr replaceFrameChange(size_t index, GifFrame frame);
ChangePtr globalTableChange(bool hasTable, ColorTable table);
