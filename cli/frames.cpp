// velmora-gif frames FILE DIR: each frame's colour indices as DIR/frame-NNNN.pgm (binary,
// maxval 255, the frame's own size) and the table that applies to it as DIR/frame-NNNN.pal
// (its local table, else the global one; one "R G B" line per entry, empty without a table).
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/commands.h"
#include "cli/readerror.h"
#include "gif/document.h"

namespace {

bool writePgm(const std::string& path, const IndexedBitmap& bitmap) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P5\n%u %u\n255\n", bitmap.width(), bitmap.height());
    for (uint32_t y = 0; y < bitmap.height(); ++y) std::fwrite(bitmap.row(y), 1, bitmap.width(), file);
    const bool failed = std::ferror(file) != 0;
    return std::fclose(file) == 0 && !failed;
}

bool writePalette(const std::string& path, const ColorTable& table) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    for (const RgbColor& c : table.entries) std::fprintf(file, "%u %u %u\n", c.red, c.green, c.blue);
    const bool failed = std::ferror(file) != 0;
    return std::fclose(file) == 0 && !failed;
}

}  // namespace

int commandFrames(const char* path, const char* folder) {
    GifAnimation doc;
    if (int status = reportReadResult(doc.readFile(path), path)) return status;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (size_t i = 0; i < doc.frames.size(); ++i) {
        const GifFrame& frame = doc.frames[i];
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04zu", i);
        const std::string base = std::string(folder) + name;
        const ColorTable& table = frame.hasLocalTable ? frame.localTable : doc.globalTable;
        if (!writePgm(base + ".pgm", *frame.bitmap) || !writePalette(base + ".pal", table)) {
            std::fprintf(stderr, "velmora-gif: cannot write %s.pgm/.pal\n", base.c_str());
            return 1;
        }
    }
    return 0;
}
