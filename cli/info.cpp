// velmora-gif info (placeholder until the command lands).
#include <cstdio>

#include "cli/commands.h"

int commandInfo(const char*) {
    std::fprintf(stderr, "velmora-gif: info is not available in this build\n");
    return 1;
}
