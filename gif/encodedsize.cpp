// encodedSize: the writer's file layout, counted instead of written. It follows the writer's
// repairs (tables padded to a power of two that reaches every index, a global table whenever a
// frame draws from it), so the optimiser can compare candidates by the bytes a save produces.
#include <algorithm>

#include "gif/blocks.h"
#include "gif/lzwencoder.h"
#include "gif/optimizer.h"
#include "gif/tablebits.h"

namespace velmora {

namespace {

using namespace gifblock;

constexpr uint64_t kHeader = kSignatureBytes + kScreenDescriptorBytes;
constexpr uint64_t kFrameFixed = kGraphicControlBytes + kImageDescriptorBytes;

uint64_t tableBytes(uint32_t bits) {
    return 3 * uint64_t(std::max<uint32_t>(2, 1u << bits));
}

uint64_t commentBytes(const std::string& text) {
    // Introducer and label, the text with a length byte per sub-block, the terminator.
    return 2 + text.size() + (text.size() + kMaxSubBlock - 1) / kMaxSubBlock + 1;
}

}  // namespace

uint64_t encodedSize(const GifAnimation& doc) {
    for (const GifFrame& frame : doc.frames) {
        if (!frame.bitmap || frame.width() > kMaxImageSide || frame.height() > kMaxImageSide) return 0;
    }
    uint32_t globalBits = ownBits(doc.globalTable);
    bool writeGlobal = doc.hasGlobalTable;
    for (const GifFrame& frame : doc.frames) {
        if (frame.hasLocalTable) continue;
        writeGlobal = true;
        if (globalBits < 8) globalBits = std::max(globalBits, indexBits(*frame.bitmap));
    }
    uint64_t total = kHeader + (writeGlobal ? tableBytes(globalBits) : 0) + sizeof kTrailer;
    if (doc.loopForever || doc.loopCount >= 2) total += kLoopingBytes;
    std::vector<uint8_t> encoded;
    for (const GifFrame& frame : doc.frames) {
        uint32_t bits = globalBits;
        if (frame.hasLocalTable) {
            bits = ownBits(frame.localTable);
            if (bits < 8) bits = std::max(bits, indexBits(*frame.bitmap));
            total += tableBytes(bits);
        }
        total += kFrameFixed;
        for (const std::string& comment : frame.comments) total += commentBytes(comment);
        encoded.clear();
        LzwEncoder(*frame.bitmap, frame.interlaced, std::max<uint32_t>(2, bits)).encode(encoded);
        total += encoded.size();
    }
    return total;
}

}  // namespace velmora
