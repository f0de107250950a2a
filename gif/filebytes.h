#pragma once
// A file's bytes in memory, for the reader: mapped where the system can map files (no copy, and
// no fresh pages to fill), else read whole.
#include <cstddef>
#include <cstdint>
#include <memory>

class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // False when the file cannot be opened, or is too large to hold.
    bool open(const char* path);

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    bool readWhole(const char* path);

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    std::unique_ptr<uint8_t[]> owned_;
    void* mapped_ = nullptr;
};
