// velmora-gif frames (placeholder until the command lands).
#include <cstdio>

#include "cli/commands.h"

int commandFrames(const char*, const char*) {
    std::fprintf(stderr, "velmora-gif: frames is not available in this build\n");
    return 1;
}
