#pragma once
// Saving that loses nothing: the new file is written beside the target under a temporary name
// and replaces the target only once it is complete and closed without error.
#include <cstdio>
#include <string>

class SafeSave {
public:
    SafeSave() = default;
    ~SafeSave();  // an uncommitted save is discarded
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;

    // Creates the temporary file in the target's folder; false when it cannot be created.
    bool open(const char* target);
    FILE* stream() const { return stream_; }
    // Writes bytes, remembering any short write so commit() refuses the file.
    void write(const void* bytes, size_t count);
    // Flushes and closes the temporary file, then moves it over the target. On any failure the
    // temporary file is removed, the target is left as it was, and the result is false.
    bool commit();
    // Closes and removes the temporary file; the target is not touched.
    void discard();

private:
    FILE* stream_ = nullptr;
    bool failed_ = false;
    std::string target_;
    std::string temporary_;
};
