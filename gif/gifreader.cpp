// readGif: a forgiving block scanner over a file held in memory. At block level it passes over any
// byte that starts no known block, and the end of the file may come anywhere: what was read stays.
#include "gif/gifreader.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "gif/blocks.h"
#include "gif/bytecursor.h"
#include "gif/filebytes.h"
#include "gif/lzwdecoder.h"

namespace {

using namespace gifblock;

// What a comment holds beyond its text: its string object, which a growing vector may hold three
// times over while it moves, and the heap block header of the text.
constexpr uint64_t kCommentBookkeeping = 3 * sizeof(std::string) + 32;

// What a frame's picture holds in memory, counted against the document's budget so that many
// tiny images cannot add up to more than one large one would: the pixel rows, the bitmap with its
// palette, the frame three times over (the frame list grows as a vector does), the local table.
uint64_t frameCost(uint32_t width, uint32_t height, size_t localEntries) {
    return ((uint64_t(width) + 3) & ~uint64_t(3)) * height + sizeof(IndexedBitmap) + 3 * sizeof(GifFrame) +
           3 * uint64_t(localEntries) + 64;
}

// The decoder writes the rows one after another in file order; they are moved in place to their
// rows of the bitmap, spread to the stride and, when interlaced, put in display order. This needs
// no second picture, so a large interlaced image costs no more memory than a plain one.
uint32_t interlacedFileRow(uint32_t y, uint32_t height) {
    const uint32_t pass1 = (height + 7) / 8, pass2 = (height + 3) / 8, pass3 = (height + 1) / 4;
    if (y % 8 == 0) return y / 8;
    if (y % 8 == 4) return pass1 + y / 8;
    if (y % 4 == 2) return pass1 + pass2 + y / 4;
    return pass1 + pass2 + pass3 + y / 2;
}

void arrangeRows(IndexedBitmap& bitmap, bool interlaced) {
    const uint32_t width = bitmap.width(), height = bitmap.height(), stride = bitmap.stride();
    uint8_t* const pixels = bitmap.pixels();
    if (stride != width) {
        // From the last row back, so no row is overwritten before it has moved.
        for (uint32_t y = height; y-- > 1;)
            std::memmove(pixels + size_t(y) * stride, pixels + size_t(y) * width, width);
        for (uint32_t y = 0; y < height; ++y)
            std::memset(pixels + size_t(y) * stride + width, 0, stride - width);
    }
    if (!interlaced) return;
    // Row y takes file row interlacedFileRow(y): follow each cycle of that permutation once.
    std::vector<uint8_t> saved(width);
    std::vector<bool> done(height);
    for (uint32_t start = 0; start < height; ++start) {
        if (done[start]) continue;
        std::memcpy(saved.data(), pixels + size_t(start) * stride, width);
        for (uint32_t y = start;;) {
            done[y] = true;
            const uint32_t from = interlacedFileRow(y, height);
            if (from == start) {
                std::memcpy(pixels + size_t(y) * stride, saved.data(), width);
                break;
            }
            std::memcpy(pixels + size_t(y) * stride, pixels + size_t(from) * stride, width);
            y = from;
        }
    }
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size, GifAnimation& doc, ReadBudget& budget)
        : in_{data, size, 0}, doc_(doc), budget_(budget) {}

    ReadResult read();

private:
    // False, and nothing spent, when the bytes would pass the budget: reading stops there.
    bool spend(uint64_t bytes) {
        if (bytes > budget_.limit - budget_.used) return false;
        budget_.used += bytes;
        return true;
    }

    void readLogicalScreen();
    void readColorTable(ColorTable& table, uint8_t sizeField);
    bool readBlocks();
    bool readExtension();
    void readGraphicControl();
    bool readComment();
    void readApplicationExtension();
    bool readImage();
    void handOverPending(GifFrame& frame);
    IndexedPalette framePalette(const ColorTable& source) const;

    ByteCursor in_;
    GifAnimation& doc_;
    ReadBudget& budget_;
    // The graphic control and the comments read before an image belong to it alone.
    GraphicControl pendingControl_;
    std::vector<std::string> pendingComments_;
    std::unique_ptr<LzwDecoder> decoder_;
};

void Reader::readColorTable(ColorTable& table, uint8_t sizeField) {
    const uint32_t entries = 1u << ((sizeField & kTableSizeMask) + 1);
    uint8_t bytes[256 * 3];
    in_.bytes(bytes, entries * 3);
    table.entries.resize(entries);
    for (uint32_t i = 0; i < entries; ++i)
        table.entries[i] = RgbColor(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
}

void Reader::readLogicalScreen() {
    uint8_t d[kScreenDescriptorBytes];
    in_.bytes(d, sizeof d);
    const uint16_t width = uint16_t(d[0] | d[1] << 8);
    const uint16_t height = uint16_t(d[2] | d[3] << 8);
    doc_.screenWidth = width > velmora::kMaxScreenSide ? velmora::kMaxScreenSide : width;
    doc_.screenHeight = height > velmora::kMaxScreenSide ? velmora::kMaxScreenSide : height;
    doc_.hasGlobalTable = (d[4] & kTableFlag) != 0;
    doc_.backgroundIndex = d[5];
    // Colour resolution, sort flag and aspect ratio mean nothing to the editor.
    doc_.globalTable.entries.clear();
    if (doc_.hasGlobalTable) {
        readColorTable(doc_.globalTable, d[4]);
        budget_.used += 3 * doc_.globalTable.entries.size();  // 768 bytes at most
    }
}

void Reader::readGraphicControl() {
    GraphicControl& control = pendingControl_;
    // Tolerated damage: a block size other than 4 still counts as a graphic control, with the
    // settings of the previous one; its bytes are then left to the block scan.
    if (in_.byte() == kGraphicControlSize) {
        uint8_t d[kGraphicControlSize + 1];  // with the terminator
        in_.bytes(d, sizeof d);
        control.disposal = (d[0] >> kDisposalShift) & kDisposalMask;
        control.transparent = (d[0] & kTransparentFlag) != 0;
        control.delay = uint16_t(d[1] | d[2] << 8);
        control.transparentIndex = control.transparent ? d[3] : 0;
    }
    control.present = true;
}

// Text ends at a zero byte within each sub-block, as a C string would.
size_t commentPart(const uint8_t* block, size_t length) {
    const void* zero = std::memchr(block, 0, length);
    return zero ? size_t(static_cast<const uint8_t*>(zero) - block) : length;
}

bool Reader::readComment() {
    // Measured first, so the text is allocated once at its size and only when the budget has room.
    ByteCursor measure = in_;
    const uint8_t* block = nullptr;
    size_t textLength = 0;
    while (const size_t length = measure.subBlock(block)) textLength += commentPart(block, length);
    if (!spend(textLength + kCommentBookkeeping)) return false;
    std::string text;
    text.reserve(textLength);
    while (const size_t length = in_.subBlock(block)) {
        text.append(reinterpret_cast<const char*>(block), commentPart(block, length));
    }
    pendingComments_.push_back(std::move(text));
    return true;
}

void Reader::readApplicationExtension() {
    if (in_.byte() != kApplicationIdSize) return;  // the block scan passes over the rest
    char id[kApplicationIdSize];
    in_.bytes(id, sizeof id);
    if (std::memcmp(id, kLoopingId, kApplicationIdSize) != 0) {
        in_.skipChain();
        return;
    }
    const uint8_t* block = nullptr;
    while (const size_t length = in_.subBlock(block)) {
        // A looping sub-block too short for its count reads the count as 0.
        if (block[0] == kLoopingSubBlockId)
            doc_.loopCount = length >= 3 ? uint16_t(block[1] | block[2] << 8) : 0;
    }
    // GIF stores repeats, the document stores plays: one more than the file says. A block
    // without a count still adds its play to the count that stands.
    if (doc_.loopCount == 0) {
        doc_.loopForever = true;
    } else if (doc_.loopCount < UINT16_MAX) {
        ++doc_.loopCount;  // 65535 repeats stays 65535 plays rather than wrapping to "forever"
    }
}

bool Reader::readExtension() {
    switch (in_.byte()) {
        case kGraphicControlLabel:
            readGraphicControl();
            return true;
        case kCommentLabel:
            return readComment();
        case kApplicationLabel:
            readApplicationExtension();
            return true;
        default:
            in_.skipChain();
            return true;
    }
}

void Reader::handOverPending(GifFrame& frame) {
    if (pendingControl_.present) {
        frame.disposal = pendingControl_.disposal;
        frame.transparent = pendingControl_.transparent;
        frame.delay = pendingControl_.delay;
        frame.transparentIndex = pendingControl_.transparentIndex;
        pendingControl_.present = false;
    }
    frame.comments = std::move(pendingComments_);
    pendingComments_.clear();
}

IndexedPalette Reader::framePalette(const ColorTable& source) const {
    IndexedPalette palette = source.toGdiplusPalette();
    if (pendingControl_.present && pendingControl_.transparent) {
        palette.entries[pendingControl_.transparentIndex] = 0x00FFFFFF;  // white, alpha 0
        palette.flags |= kPaletteFlagsHasAlpha;
    }
    return palette;
}

// Returns false when reading must stop: the document's budget or memory ran out.
bool Reader::readImage() {
    GifFrame frame;
    uint8_t d[kImageDescriptorBytes - 1];
    in_.bytes(d, sizeof d);
    frame.left = uint16_t(d[0] | d[1] << 8);
    frame.top = uint16_t(d[2] | d[3] << 8);
    const uint32_t width = uint32_t(d[4] | d[5] << 8);
    const uint32_t height = uint32_t(d[6] | d[7] << 8);
    frame.hasLocalTable = (d[8] & kTableFlag) != 0;
    frame.interlaced = (d[8] & kInterlaceFlag) != 0;
    if (frame.hasLocalTable) readColorTable(frame.localTable, d[8]);
    const ColorTable& source = frame.hasLocalTable ? frame.localTable : doc_.globalTable;

    const uint64_t pixelCount = uint64_t(width) * height;
    if (pixelCount == 0 || pixelCount > velmora::kMaxImagePixels) {
        // No picture can be made of it: its data is skipped, and what was meant for it with it.
        in_.byte();
        in_.skipChain();
        pendingControl_.present = false;
        pendingComments_.clear();
        return true;
    }
    if (!spend(frameCost(width, height, frame.localTable.entries.size()))) return false;

    // The decoder fills every pixel (zero past the end of the data), arrangeRows the padding.
    frame.bitmap = IndexedBitmap::createUncleared(width, height);
    if (!frame.bitmap) return false;
    decoder_->decode(in_, frame.bitmap->pixels(), uint32_t(pixelCount));
    arrangeRows(*frame.bitmap, frame.interlaced);
    frame.bitmap->setPalette(framePalette(source));

    handOverPending(frame);
    doc_.frames.push_back(std::move(frame));
    return true;
}

bool Reader::readBlocks() {
    decoder_.reset(new (std::nothrow) LzwDecoder);
    if (!decoder_) return false;
    while (!in_.atEnd()) {
        const int introducer = in_.byte();
        if (introducer == kTrailer) break;
        if (introducer == kExtension) {
            if (!readExtension()) break;
        } else if (introducer == kImageSeparator) {
            if (!readImage()) break;
        }
        // Tolerated damage: any other byte is passed over. This also steps over the zero
        // terminator (and any unused sub-blocks) left behind after an image's pixels.
    }
    return true;
}

ReadResult Reader::read() {
    doc_.frames.clear();
    char signature[3];
    in_.bytes(signature, sizeof signature);
    if (std::memcmp(signature, "GIF", 3) != 0) return ReadNotGif;
    char version[3];
    in_.bytes(version, sizeof version);
    if (std::memcmp(version, "89a", 3) != 0 && std::memcmp(version, "87a", 3) != 0) return ReadBadVersion;
    readLogicalScreen();
    try {
        readBlocks();
    } catch (const std::bad_alloc&) {
        // Memory ran out: what was read stays, as when the budget runs out.
    }
    return ReadOk;
}

// Every read starts from the defaults, whether or not the file can be read.
void resetHeader(GifAnimation& doc) {
    doc.screenWidth = 1;
    doc.screenHeight = 1;
    doc.autoScreenSize = false;
    doc.backgroundIndex = 0;
    doc.loopCount = 1;
    doc.loopForever = false;
}

}  // namespace

ReadResult readGif(const uint8_t* data, size_t size, GifAnimation& doc, ReadBudget* budget) {
    resetHeader(doc);
    ReadBudget own;
    try {
        // A fresh Reader: nothing pending from an earlier file can reach this one.
        return Reader(data, size, doc, budget ? *budget : own).read();
    } catch (const std::bad_alloc&) {
        return ReadOk;  // only the global table's few hundred bytes can fail before the blocks
    }
}

ReadResult GifAnimation::readFile(const char* path) {
    resetHeader(*this);
    FileBytes file;
    if (!file.open(path)) return ReadCannotOpen;
    return readGif(file.data(), file.size(), *this);
}
