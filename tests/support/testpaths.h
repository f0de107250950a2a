#pragma once
// Folders the tests read from and write to; the build fills them in (drive Z: under Wine).
#include <string>

inline std::string testDataPath(const std::string& name) {
    return std::string(VELMORA_TEST_DATA) + "/" + name;
}
inline std::string testOutputPath(const std::string& name) {
    return std::string(VELMORA_TEST_OUTPUT) + "/" + name;
}
