#include <sys/stat.h>

#include <cerrno>

#include "gif/safesave_platform.h"

FILE* createNewFile(const std::string& path, bool* taken) {
    // "x" refuses an existing file, so two saves never share a temporary file.
    FILE* stream = std::fopen(path.c_str(), "wbx");
    *taken = !stream && errno == EEXIST;
    return stream;
}

void keepPermissions(const std::string& target, const std::string& temporary) {
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        chmod(temporary.c_str(), old.st_mode & 07777);
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;  // atomic replacement on POSIX
}
