#include "gif/safesave.h"

#include <cerrno>

#ifdef _WIN32
// Declared here rather than through windows.h, which portable code does not include.
extern "C" __declspec(dllimport) int __stdcall MoveFileExA(const char* existing, const char* replacement,
                                                           unsigned long flags);
#else
#include <sys/stat.h>
#endif

namespace {

#ifdef _WIN32
constexpr unsigned long kMoveFileReplaceExisting = 1;
constexpr unsigned long kMoveFileWriteThrough = 8;
#endif

// A few names are tried in case an earlier crash left one behind or another save runs now.
constexpr int kTemporaryNameAttempts = 64;

#ifdef _WIN32
bool exists(const std::string& path) {
    FILE* probe = std::fopen(path.c_str(), "rb");
    if (!probe) return false;
    std::fclose(probe);
    return true;
}
#endif

bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    // rename() will not replace an existing file on Windows.
    return MoveFileExA(from.c_str(), to.c_str(), kMoveFileReplaceExisting | kMoveFileWriteThrough) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;  // atomic replacement on POSIX
#endif
}

}  // namespace

SafeSave::~SafeSave() {
    discard();
}

bool SafeSave::open(const char* target) {
    discard();
    if (!target || !*target) return false;
    target_ = target;
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        std::string candidate = target_ + ".velmora-save-" + std::to_string(attempt) + ".tmp";
#ifdef _WIN32
        if (exists(candidate)) continue;
        stream_ = std::fopen(candidate.c_str(), "wb");
#else
        // "x" refuses an existing file, so two saves never share a temporary file.
        stream_ = std::fopen(candidate.c_str(), "wbx");
        if (!stream_ && errno == EEXIST) continue;
#endif
        if (!stream_) return false;
        temporary_ = candidate;
        failed_ = false;
#ifndef _WIN32
        // The replacement keeps the permissions the old file had.
        struct stat old;
        if (stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            chmod(temporary_.c_str(), old.st_mode & 07777);
#endif
        return true;
    }
    return false;
}

void SafeSave::write(const void* bytes, size_t count) {
    if (!stream_ || failed_ || count == 0) return;
    if (std::fwrite(bytes, 1, count, stream_) != count) failed_ = true;
}

bool SafeSave::commit() {
    if (!stream_) return false;
    bool ok = !failed_;
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) ok = false;
    if (std::fclose(stream_) != 0) ok = false;
    stream_ = nullptr;
    if (ok) ok = replaceFile(temporary_, target_);
    if (!ok) std::remove(temporary_.c_str());
    temporary_.clear();
    return ok;
}

void SafeSave::discard() {
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        temporary_.clear();
    }
    failed_ = false;
}
