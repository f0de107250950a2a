// Saving as GIF89a: to a file through a temporary one that replaces the target only when it is
// complete, or to memory.
#include <algorithm>
#include <cstring>
#include <vector>

#include "gif/blocks.h"
#include "gif/document.h"
#include "gif/lzwencoder.h"
#include "gif/safesave.h"
#include "gif/tablebits.h"

namespace {

using namespace gifblock;

// How one colour table goes into the file. The table is written with 2^bits entries (at least 2);
// `bits` is normally the table's own bit count but grows when the frames that use the table
// hold larger indices, so that every index has an entry and fits the LZW minimum code size.
struct TableLayout {
    const ColorTable* table = nullptr;
    uint32_t bits = 0;

    uint32_t sizeField() const { return (bits > 0 ? bits - 1 : 0) & kTableSizeMask; }
    uint32_t entriesWritten() const { return std::max<uint32_t>(2, uint32_t(1) << bits); }
    uint32_t minimumCodeSize() const { return std::max<uint32_t>(2, bits); }
};

// Raises the layout so it covers every index of the bitmap. A full 256-entry table covers any
// byte, so the scan is skipped then.
void coverIndices(TableLayout& layout, const IndexedBitmap& bitmap) {
    if (layout.bits >= 8) return;
    layout.bits = std::max(layout.bits, indexBits(bitmap));
}

class Bytes {
public:
    void u8(uint32_t value) { data.push_back(uint8_t(value)); }
    void u16(uint32_t value) {
        data.push_back(uint8_t(value));
        data.push_back(uint8_t(value >> 8));
    }
    void text(const char* s) { data.insert(data.end(), s, s + std::strlen(s)); }
    void table(const TableLayout& layout) {
        const auto& entries = layout.table->entries;
        const uint32_t count = layout.entriesWritten();
        for (uint32_t i = 0; i < count; ++i) {
            // Padding entries are black.
            const RgbColor color = i < entries.size() ? entries[i] : RgbColor();
            u8(color.red);
            u8(color.green);
            u8(color.blue);
        }
    }
    // Full sub-blocks, the last one shorter, then the terminator: an empty text is the
    // terminator alone.
    void subBlocks(const std::string& s) {
        for (size_t at = 0; at < s.size(); at += kMaxSubBlock) {
            const size_t n = std::min(kMaxSubBlock, s.size() - at);
            u8(uint32_t(n));
            data.insert(data.end(), s.begin() + std::ptrdiff_t(at), s.begin() + std::ptrdiff_t(at + n));
        }
        u8(0);
    }

    std::vector<uint8_t> data;
};

void writeGraphicControl(Bytes& out, const GifFrame& frame) {
    out.u8(kExtension);
    out.u8(kGraphicControlLabel);
    out.u8(kGraphicControlSize);
    out.u8((frame.disposal & kDisposalMask) << kDisposalShift | (frame.transparent ? kTransparentFlag : 0));
    out.u16(frame.delay);
    out.u8(frame.transparentIndex);
    out.u8(0);
}

void writeLooping(Bytes& out, const GifAnimation& doc) {
    // The file counts repeats after the first play, the document counts plays; 0 is endless. The
    // reader keeps a file's 65535 as 65535 plays rather than wrapping, so that count goes back as
    // it came.
    out.u8(kExtension);
    out.u8(kApplicationLabel);
    out.u8(kApplicationIdSize);
    out.text(kLoopingId);
    out.u8(kLoopingSubBlockSize);
    out.u8(kLoopingSubBlockId);
    const uint32_t repeats = doc.loopCount == UINT16_MAX ? UINT16_MAX : uint32_t(doc.loopCount) - 1;
    out.u16(doc.loopForever ? 0 : repeats);
    out.u8(0);
}

// Frames a GIF cannot hold are refused before anything is written.
bool writable(const GifAnimation& doc) {
    for (const GifFrame& frame : doc.frames) {
        if (!frame.bitmap || frame.width() > kMaxImageSide || frame.height() > kMaxImageSide) return false;
    }
    return true;
}

// The whole file, handed to `write(bytes, count)` in pieces as it is made.
template <typename Write>
void writeGif(const GifAnimation& doc, Write& write) {
    TableLayout global{&doc.globalTable, ownBits(doc.globalTable)};
    // A frame with no local table draws from the global one, so one is written whenever such a
    // frame exists, even if the document has none.
    bool writeGlobal = doc.hasGlobalTable;
    std::vector<TableLayout> locals(doc.frames.size());
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const GifFrame& frame = doc.frames[i];
        if (frame.hasLocalTable) {
            locals[i] = TableLayout{&frame.localTable, ownBits(frame.localTable)};
            coverIndices(locals[i], *frame.bitmap);
        } else {
            writeGlobal = true;
            coverIndices(global, *frame.bitmap);
        }
    }

    auto drainToOutput = [](void* context, const std::vector<uint8_t>& bytes) {
        (*static_cast<Write*>(context))(bytes.data(), bytes.size());
    };
    const LzwEncoder::Drain drain{drainToOutput, &write};

    Bytes out;
    out.data.reserve(size_t(80) << 10);
    out.text("GIF89a");
    out.u16(doc.screenWidth);
    out.u16(doc.screenHeight);
    out.u8(writeGlobal ? kTableFlag | global.sizeField() : 0);
    out.u8(doc.backgroundIndex);
    out.u8(0);
    if (writeGlobal) out.table(global);
    if (doc.loopForever || doc.loopCount >= 2) writeLooping(out, doc);
    write(out.data.data(), out.data.size());

    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const GifFrame& frame = doc.frames[i];
        out.data.clear();
        writeGraphicControl(out, frame);
        for (const std::string& comment : frame.comments) {
            out.u8(kExtension);
            out.u8(kCommentLabel);
            out.subBlocks(comment);
        }
        out.u8(kImageSeparator);
        out.u16(frame.left);
        out.u16(frame.top);
        out.u16(frame.width());
        out.u16(frame.height());
        const TableLayout& layout = frame.hasLocalTable ? locals[i] : global;
        out.u8((frame.hasLocalTable ? kTableFlag | layout.sizeField() : 0) |
               (frame.interlaced ? kInterlaceFlag : 0));
        if (frame.hasLocalTable) out.table(layout);
        LzwEncoder encoder(*frame.bitmap, frame.interlaced, layout.minimumCodeSize());
        encoder.encode(out.data, &drain);
        write(out.data.data(), out.data.size());
    }
    write(&kTrailer, 1);
}

}  // namespace

bool GifAnimation::writeFile(const char* path) const {
    if (!writable(*this)) return false;
    SafeSave save;
    if (!save.open(path)) return false;
    auto toFile = [&save](const void* bytes, size_t count) { save.write(bytes, count); };
    writeGif(*this, toFile);
    return save.commit();
}

bool GifAnimation::writeBytes(std::vector<uint8_t>& bytes) const {
    bytes.clear();
    if (!writable(*this)) return false;
    auto toMemory = [&bytes](const void* data, size_t count) {
        const uint8_t* from = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), from, from + count);
    };
    writeGif(*this, toMemory);
    return true;
}
