#pragma once
// A file name of this process's own in the temporary folder, for fuzz targets whose code under
// test reads or writes files: parallel fuzzing jobs never share one.
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <process.h>
inline int fuzzProcessId() {
    return _getpid();
}
#else
#include <unistd.h>
inline int fuzzProcessId() {
    return int(getpid());
}
#endif

inline std::string fuzzScratchPath(const std::string& name) {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/velmora-" + name + "-" +
           std::to_string(fuzzProcessId());
}
