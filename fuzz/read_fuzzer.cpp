// Fuzz target: any bytes given to GifAnimation::readFile. The reader works on a file, so each
// input is written to a scratch file first; invariants of a read document are checked after.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gif/document.h"
#include "gif/limits.h"

#include "fuzz/scratchfile.h"

static const std::string& scratchPath() {
    static const std::string path = fuzzScratchPath("read-fuzz") + ".gif";
    return path;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(scratchPath().c_str(), "wb");
    if (!file) return 0;
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);

    GifAnimation doc;
    const ReadResult result = doc.readFile(scratchPath().c_str());
    if (result > ReadBadVersion) std::abort();
    if (doc.screenWidth > velmora::kMaxScreenSide || doc.screenHeight > velmora::kMaxScreenSide) std::abort();
    if (doc.stream) std::abort();
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
