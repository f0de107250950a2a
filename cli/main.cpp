// velmora-gif: a command-line front end to the core, for scripts, interop tests and benchmarks.
#include <cstdio>
#include <cstring>

#include "cli/commands.h"

static int usage() {
    std::fprintf(stderr,
                 "usage: velmora-gif info FILE | frames FILE DIR | rewrite IN OUT | quantize IN.ppm OUT.gif "
                 "| optimize IN OUT\n");
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const char* command = argv[1];
    if (!std::strcmp(command, "info") && argc == 3) return commandInfo(argv[2]);
    if (!std::strcmp(command, "frames") && argc == 4) return commandFrames(argv[2], argv[3]);
    if (!std::strcmp(command, "rewrite") && argc == 4) return commandRewrite(argv[2], argv[3]);
    if (!std::strcmp(command, "quantize") && argc == 4) return commandQuantize(argv[2], argv[3]);
    if (!std::strcmp(command, "optimize") && argc == 4) return commandOptimize(argv[2], argv[3]);
    return usage();
}
