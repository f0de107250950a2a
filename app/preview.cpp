#include "app/preview.h"

#include <cstdio>
#include <cstring>

// The picture is named relative to the page, so the two files only need to sit side by side.
// The image tag and the closing body tag share a line.
const char* const kPreviewPageParts[10] = {
    "<html>\n",   "<head>\n",  "<title>",  "Preview",
    "</title>\n", "</head>\n", "<body>\n", "<img src='preview.gif'>",
    "</body>\n",  "</html>\n",
};

bool writePreviewPage(const std::string& path) {
    FILE* page = std::fopen(path.c_str(), "wt");
    if (!page) return false;
    bool written = true;
    for (const char* part : kPreviewPageParts) {
        written = std::fputs(part, page) >= 0 && written;
    }
    return std::fclose(page) == 0 && written;
}
