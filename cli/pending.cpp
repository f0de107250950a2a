// Commands whose implementation has not landed yet.
#include <cstdio>

#include "cli/commands.h"

static int notYet(const char* name) {
    std::fprintf(stderr, "velmora-gif: %s is not available in this build\n", name);
    return 1;
}
int commandInfo(const char*) { return notYet("info"); }
int commandFrames(const char*, const char*) { return notYet("frames"); }
int commandRewrite(const char*, const char*) { return notYet("rewrite"); }
int commandQuantize(const char*, const char*) { return notYet("quantize"); }
