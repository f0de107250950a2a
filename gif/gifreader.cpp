// GifAnimation::readFile: a forgiving block scanner. At block level it passes over any byte
// that starts no known block, and the end of the file may come anywhere: what was read stays.
#include <cstring>
#include <new>

#include "gif/document.h"
#include "gif/limits.h"
#include "gif/lzwdecoder.h"

namespace {

constexpr int kExtensionIntroducer = 0x21;
constexpr int kImageSeparator = 0x2C;
constexpr int kTrailer = 0x3B;
constexpr int kGraphicControlLabel = 0xF9;
constexpr int kCommentLabel = 0xFE;
constexpr int kApplicationLabel = 0xFF;
constexpr int kGraphicControlSize = 4;
constexpr int kApplicationIdSize = 11;
constexpr int kLoopingSubBlockId = 1;

// A field cut off by the end of the file reads its missing bytes as 0.
void readBytes(FILE* stream, void* target, size_t count) {
    const size_t got = std::fread(target, 1, count, stream);
    if (got < count) std::memset(static_cast<uint8_t*>(target) + got, 0, count - got);
}

uint8_t readByte(FILE* stream) {
    const int value = std::getc(stream);
    return value == EOF ? 0 : uint8_t(value);
}

// One sub-block into `buffer` (at most 255 bytes); returns its length, 0 at the chain's end.
// The end of the file ends a chain as a zero length byte would; a sub-block cut off by it
// gives the bytes that are there.
int readSubBlock(FILE* stream, uint8_t* buffer) {
    const int length = std::getc(stream);
    if (length == EOF || length == 0) return 0;
    return int(std::fread(buffer, 1, size_t(length), stream));
}

void skipSubBlockChain(FILE* stream) {
    for (;;) {
        const int length = std::getc(stream);
        if (length == EOF || length == 0) return;
        std::fseek(stream, length, SEEK_CUR);
    }
}

void readColorTable(GifAnimation& doc, ColorTable& table, uint8_t sizeField) {
    doc.tableSize = 1u << ((sizeField & 7) + 1);
    uint8_t bytes[256 * 3];
    readBytes(doc.stream, bytes, doc.tableSize * 3);
    table.entries.resize(doc.tableSize);
    for (uint32_t i = 0; i < doc.tableSize; ++i) {
        table.entries[i] = RgbColor(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
    }
}

void readLogicalScreen(GifAnimation& doc) {
    uint8_t d[7];
    readBytes(doc.stream, d, sizeof d);
    const uint16_t width = uint16_t(d[0] | d[1] << 8);
    const uint16_t height = uint16_t(d[2] | d[3] << 8);
    doc.screenWidth = width > velmora::kMaxScreenSide ? velmora::kMaxScreenSide : width;
    doc.screenHeight = height > velmora::kMaxScreenSide ? velmora::kMaxScreenSide : height;
    doc.hasGlobalTable = (d[4] & 0x80) != 0;
    doc.tableSize = d[4] & 7;
    doc.backgroundIndex = d[5];
    // Colour resolution, sort flag and aspect ratio mean nothing to the editor.
}

void readGlobalTable(GifAnimation& doc) {
    doc.globalTable.entries.clear();
    if (doc.hasGlobalTable) readColorTable(doc, doc.globalTable, uint8_t(doc.tableSize));
}

void readGraphicControl(GifAnimation& doc) {
    GraphicControl& control = doc.pendingControl;
    // Tolerated damage: a block size other than 4 still counts as a graphic control, with the
    // settings of the previous one; its bytes are then left to the block scan.
    if (readByte(doc.stream) == kGraphicControlSize) {
        uint8_t d[5];
        readBytes(doc.stream, d, sizeof d);
        control.disposal = (d[0] >> 2) & 7;
        control.transparent = (d[0] & 1) != 0;
        control.delay = uint16_t(d[1] | d[2] << 8);
        control.transparentIndex = control.transparent ? d[3] : 0;
    }
    control.present = true;
}

void readComment(GifAnimation& doc) {
    std::string text;
    uint8_t block[255];
    while (const int length = readSubBlock(doc.stream, block)) {
        // Text ends at a zero byte within each sub-block, as a C string would.
        const void* zero = std::memchr(block, 0, size_t(length));
        const size_t kept = zero ? size_t(static_cast<const uint8_t*>(zero) - block) : size_t(length);
        text.append(reinterpret_cast<const char*>(block), kept);
    }
    doc.pendingComments.push_back(std::move(text));
}

void readLoopingSubBlocks(GifAnimation& doc) {
    uint8_t block[255];
    ByteBuffer data;
    while (const int length = readSubBlock(doc.stream, block)) {
        data.reset();
        data.write(block, length);
        data.seek(0, 0);
        if (data.getByte() == kLoopingSubBlockId) doc.loopCount = data.getWord();
    }
    // GIF stores repeats, the document stores plays: one more than the file says. A block
    // without a count still adds its play to the count that stands.
    if (doc.loopCount == 0) {
        doc.loopForever = true;
    } else if (doc.loopCount < UINT16_MAX) {
        ++doc.loopCount;  // 65535 repeats stays 65535 plays rather than wrapping to "forever"
    }
}

void readApplicationExtension(GifAnimation& doc) {
    if (readByte(doc.stream) != kApplicationIdSize) return;  // the block scan passes over the rest
    char id[kApplicationIdSize];
    readBytes(doc.stream, id, sizeof id);
    if (std::memcmp(id, "NETSCAPE2.0", kApplicationIdSize) == 0) {
        readLoopingSubBlocks(doc);
    } else {
        skipSubBlockChain(doc.stream);
    }
}

void readExtension(GifAnimation& doc) {
    switch (readByte(doc.stream)) {
        case kGraphicControlLabel:
            readGraphicControl(doc);
            break;
        case kCommentLabel:
            readComment(doc);
            break;
        case kApplicationLabel:
            readApplicationExtension(doc);
            break;
        default:
            skipSubBlockChain(doc.stream);
            break;
    }
}

// The graphic control and the comments read before an image belong to it alone.
void handOverPending(GifAnimation& doc, GifFrame& frame) {
    if (doc.pendingControl.present) {
        frame.disposal = doc.pendingControl.disposal;
        frame.transparent = doc.pendingControl.transparent;
        frame.delay = doc.pendingControl.delay;
        frame.transparentIndex = doc.pendingControl.transparentIndex;
        doc.pendingControl.present = false;
    }
    for (std::string& comment : doc.pendingComments) frame.comments.push_back(std::move(comment));
    doc.pendingComments.clear();
}

IndexedPalette framePalette(const GifAnimation& doc, const ColorTable& source) {
    IndexedPalette palette = source.toGdiplusPalette();
    if (doc.pendingControl.present && doc.pendingControl.transparent) {
        palette.entries[doc.pendingControl.transparentIndex] = 0x00FFFFFF;  // white, alpha 0
        palette.flags |= kPaletteFlagsHasAlpha;
    }
    return palette;
}

void fillRows(IndexedBitmap& bitmap, const uint8_t* pixels, bool interlaced) {
    const uint32_t width = bitmap.width();
    const uint32_t height = bitmap.height();
    if (!interlaced) {
        for (uint32_t y = 0; y < height; ++y, pixels += width) std::memcpy(bitmap.row(y), pixels, width);
        return;
    }
    static const uint32_t passStart[4] = {0, 4, 2, 1};
    static const uint32_t passStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (uint32_t y = passStart[pass]; y < height; y += passStep[pass], pixels += width) {
            std::memcpy(bitmap.row(y), pixels, width);
        }
    }
}

// What a frame's picture holds in memory, counted against the document's budget so that many
// tiny images cannot add up to more than one large one would.
uint64_t frameCost(uint32_t width, uint32_t height) {
    return ((uint64_t(width) + 3) & ~uint64_t(3)) * height + sizeof(IndexedPalette);
}

// Returns false when reading must stop: the document's pixel budget or memory ran out.
bool readImage(GifAnimation& doc, LzwDecoder& decoder, uint64_t& documentCost) {
    GifFrame frame;
    uint8_t d[9];
    readBytes(doc.stream, d, sizeof d);
    frame.left = uint16_t(d[0] | d[1] << 8);
    frame.top = uint16_t(d[2] | d[3] << 8);
    const uint32_t width = uint32_t(d[4] | d[5] << 8);
    const uint32_t height = uint32_t(d[6] | d[7] << 8);
    frame.hasLocalTable = (d[8] & 0x80) != 0;
    frame.interlaced = (d[8] & 0x40) != 0;
    if (frame.hasLocalTable) readColorTable(doc, frame.localTable, d[8]);
    const ColorTable& source = frame.hasLocalTable ? frame.localTable : doc.globalTable;

    const uint64_t pixelCount = uint64_t(width) * height;
    if (pixelCount == 0 || pixelCount > velmora::kMaxImagePixels) {
        // No picture can be made of it: its data is skipped, and what was meant for it with it.
        readByte(doc.stream);
        skipSubBlockChain(doc.stream);
        doc.pendingControl.present = false;
        doc.pendingComments.clear();
        return true;
    }
    documentCost += frameCost(width, height);
    if (documentCost > velmora::kMaxDocumentPixels) return false;

    frame.bitmap = IndexedBitmap::create(width, height);
    if (!frame.bitmap) return false;
    if (!frame.interlaced && frame.bitmap->stride() == width) {
        // Rows follow each other without padding: the indices can go straight into place.
        decoder.decode(doc.stream, frame.bitmap->pixels(), uint32_t(pixelCount));
    } else {
        ByteBuffer pixels{int32_t(pixelCount)};
        if (!pixels.ok()) return false;
        decoder.decode(doc.stream, pixels, uint32_t(pixelCount));
        pixels.seek(0, 0);
        fillRows(*frame.bitmap, pixels.bytes(), frame.interlaced);
    }
    frame.bitmap->setPalette(framePalette(doc, source));

    handOverPending(doc, frame);
    try {
        doc.frames.push_back(std::move(frame));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void readBlocks(GifAnimation& doc) {
    doc.pendingControl.present = false;
    LzwDecoder* decoder = new (std::nothrow) LzwDecoder;
    if (!decoder) return;
    uint64_t documentCost = 0;
    while (!std::feof(doc.stream)) {
        const int introducer = std::getc(doc.stream);
        if (introducer == kTrailer) break;
        if (introducer == kExtensionIntroducer) {
            readExtension(doc);
        } else if (introducer == kImageSeparator) {
            if (!readImage(doc, *decoder, documentCost)) break;
        }
        // Tolerated damage: any other byte is passed over. This also steps over the zero
        // terminator (and any unused sub-blocks) left behind after an image's pixels.
    }
    delete decoder;
}

ReadResult readOpenFile(GifAnimation& doc) {
    doc.frames.clear();
    char signature[3];
    readBytes(doc.stream, signature, sizeof signature);
    if (std::memcmp(signature, "GIF", 3) != 0) return ReadNotGif;
    char version[3];
    readBytes(doc.stream, version, sizeof version);
    if (std::memcmp(version, "89a", 3) != 0 && std::memcmp(version, "87a", 3) != 0) return ReadBadVersion;
    readLogicalScreen(doc);
    readGlobalTable(doc);
    readBlocks(doc);
    return ReadOk;
}

}  // namespace

ReadResult GifAnimation::readFile(const char* path) {
    stream = std::fopen(path, "rb");
    screenWidth = 1;
    screenHeight = 1;
    autoScreenSize = false;
    backgroundIndex = 0;
    loopCount = 1;
    loopForever = false;
    pendingComments.clear();
    // Nothing an earlier file left pending may reach this one.
    pendingControl = GraphicControl();
    if (!stream) return ReadCannotOpen;

    const ReadResult result = readOpenFile(*this);
    std::fclose(stream);
    stream = nullptr;
    return result;
}
