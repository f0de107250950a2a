// Fuzz target: any bytes given to readGif, straight from memory; invariants of a read document
// are checked after.
#include <cstdint>
#include <cstdlib>

#include "gif/gifreader.h"
#include "gif/limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GifAnimation doc;
    ReadBudget budget;
    const ReadResult result = readGif(data, size, doc, &budget);
    if (result > ReadBadVersion || budget.used > budget.limit) std::abort();
    if (doc.screenWidth > velmora::kMaxScreenSide || doc.screenHeight > velmora::kMaxScreenSide) std::abort();
    for (const GifFrame& frame : doc.frames) {
        if (!frame.bitmap || frame.width() == 0 || frame.height() == 0) std::abort();
        if (uint64_t(frame.width()) * frame.height() > velmora::kMaxImagePixels) std::abort();
        if (frame.hasLocalTable && frame.localTable.entries.size() > 256) std::abort();
        // Touch the corners so the sanitizers see a picture that is smaller than it claims.
        const uint32_t right = frame.width() - 1, bottom = frame.height() - 1;
        const unsigned sum = frame.bitmap->at(0, 0) + frame.bitmap->at(right, 0) +
                             frame.bitmap->at(0, bottom) + frame.bitmap->at(right, bottom);
        if (sum > 4 * 255) std::abort();
    }
    return 0;
}
