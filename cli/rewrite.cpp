// velmora-gif rewrite IN OUT: read a GIF with the reader and save it with the writer, exactly as
// the editor would on Open then Save.
#include <cstdio>

#include "cli/commands.h"
#include "cli/readerror.h"
#include "gif/document.h"

int commandRewrite(const char* input, const char* output) {
    GifAnimation doc;
    if (const int status = reportReadResult(doc.readFile(input), input)) return status;
    if (!doc.writeFile(output)) {
        std::fprintf(stderr, "velmora-gif: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
