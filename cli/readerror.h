#pragma once
// The one-line message velmora-gif prints when a GIF cannot be read; shared by its commands.
#include <cstdio>

#include "gif/document.h"

// Prints the message for a failed read and returns the exit status 1; returns 0 for ReadOk.
inline int reportReadResult(ReadResult result, const char* path) {
    switch (result) {
        case ReadOk:
            return 0;
        case ReadCannotOpen:
            std::fprintf(stderr, "velmora-gif: cannot open %s\n", path);
            break;
        case ReadNotGif:
            std::fprintf(stderr, "velmora-gif: %s is not a GIF file\n", path);
            break;
        case ReadBadVersion:
            std::fprintf(stderr, "velmora-gif: %s has a GIF version other than 87a and 89a\n", path);
            break;
    }
    return 1;
}
