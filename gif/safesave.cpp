#include "gif/safesave.h"

#include "gif/safesave_platform.h"

namespace {

// A few names are tried in case an earlier crash left one behind or another save runs now.
constexpr int kTemporaryNameAttempts = 64;

}  // namespace

SafeSave::~SafeSave() {
    discard();
}

bool SafeSave::open(const char* target) {
    discard();
    if (!target || !*target) return false;
    target_ = target;
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        const std::string candidate = target_ + ".velmora-save-" + std::to_string(attempt) + ".tmp";
        bool taken = false;
        stream_ = createNewFile(candidate, &taken);
        if (taken) continue;
        if (!stream_) return false;
        temporary_ = candidate;
        failed_ = false;
        keepPermissions(target_, temporary_);
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
