// velmora-gif info FILE: what the reader made of a GIF file, one fact per line.
//
//   screen 320 x 240
//   background 0
//   loop forever                      (or: loop 3 plays; a file without looping plays once)
//   global table 256                  (entries; "global table none" without one)
//   frames 2
//   frame 0 offset 0 0 size 320 x 240 delay 10 disposal 1 transparent 3 interlaced no local table none
//   frame 0 comment "made with \x01 care"
//
// "transparent no" when the frame has no transparency; "local table 16" gives its entry count.
// Comments are quoted with \\, \" and bytes outside printable ASCII written as \xNN.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/readerror.h"
#include "gif/document.h"

namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

void printFrame(size_t index, const GifFrame& frame) {
    std::printf("frame %zu offset %u %u size %u x %u delay %u disposal %u ", index, frame.left, frame.top,
                frame.width(), frame.height(), frame.delay, frame.disposal);
    if (frame.transparent) {
        std::printf("transparent %u ", frame.transparentIndex);
    } else {
        std::printf("transparent no ");
    }
    std::printf("interlaced %s local table ", frame.interlaced ? "yes" : "no");
    if (frame.hasLocalTable) {
        std::printf("%zu\n", frame.localTable.entries.size());
    } else {
        std::printf("none\n");
    }
    for (const std::string& comment : frame.comments) {
        std::printf("frame %zu comment %s\n", index, quoted(comment).c_str());
    }
}

}  // namespace

int commandInfo(const char* path) {
    GifAnimation doc;
    if (int status = reportReadResult(doc.readFile(path), path)) return status;
    std::printf("screen %u x %u\n", doc.screenWidth, doc.screenHeight);
    std::printf("background %u\n", doc.backgroundIndex);
    if (doc.loopForever) {
        std::printf("loop forever\n");
    } else {
        std::printf("loop %u plays\n", doc.loopCount);
    }
    if (doc.hasGlobalTable) {
        std::printf("global table %zu\n", doc.globalTable.entries.size());
    } else {
        std::printf("global table none\n");
    }
    std::printf("frames %zu\n", doc.frames.size());
    for (size_t i = 0; i < doc.frames.size(); ++i) printFrame(i, doc.frames[i]);
    return 0;
}
