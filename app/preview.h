#pragma once
// The page that Animation, Animate opens in the browser.
#include <string>

// The page's text as the program hands it to the C library, with \n line ends; the file itself is
// written in text mode, so on disk every line ends with CR LF.
extern const char* const kPreviewPageParts[10];

// Writes the page to `path`; false when the file cannot be created or fully written.
bool writePreviewPage(const std::string& path);
