// velmora-gif rewrite (placeholder until the command lands).
#include <cstdio>

#include "cli/commands.h"

int commandRewrite(const char*, const char*) {
    std::fprintf(stderr, "velmora-gif: rewrite is not available in this build\n");
    return 1;
}
