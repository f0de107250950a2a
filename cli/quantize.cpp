// velmora-gif quantize (placeholder until the command lands).
#include <cstdio>

#include "cli/commands.h"

int commandQuantize(const char*, const char*) {
    std::fprintf(stderr, "velmora-gif: quantize is not available in this build\n");
    return 1;
}
