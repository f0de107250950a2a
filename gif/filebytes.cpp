#include "gif/filebytes.h"

#include <cstdio>
#include <cstring>
#include <new>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define VELMORA_MAP_FILES 1
#endif

FileBytes::~FileBytes() {
#ifdef VELMORA_MAP_FILES
    if (mapped_) munmap(mapped_, size_);
#endif
}

bool FileBytes::open(const char* path) {
#ifdef VELMORA_MAP_FILES
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) return false;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        uint64_t(info.st_size) <= SIZE_MAX / 2) {
#ifdef MAP_POPULATE
        // The whole file is about to be read: map it in one step rather than fault by fault.
        const int flags = MAP_PRIVATE | MAP_POPULATE;
#else
        const int flags = MAP_PRIVATE;
#endif
        void* map = mmap(nullptr, size_t(info.st_size), PROT_READ, flags, fd, 0);
        if (map != MAP_FAILED) {
            mapped_ = map;
            data_ = static_cast<const uint8_t*>(map);
            size_ = size_t(info.st_size);
            ::close(fd);
            return true;
        }
    }
    ::close(fd);
#endif
    return readWhole(path);
}

bool FileBytes::readWhole(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    size_t capacity = 0, size = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        // One more than the size, so a file that has not grown is read in one pass.
        if (end >= 0) capacity = size_t(end) + 1;
        std::rewind(file);
    }
    for (capacity = capacity ? capacity : size_t(1) << 16;; capacity *= 2) {
        // A file ftell cannot measure (or that grew meanwhile) is read in doubling steps.
        std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[capacity]);
        if (!grown) {
            std::fclose(file);
            return false;
        }
        if (size) std::memcpy(grown.get(), owned_.get(), size);
        owned_ = std::move(grown);
        size += std::fread(owned_.get() + size, 1, capacity - size, file);
        if (size < capacity) break;
    }
    std::fclose(file);
    data_ = owned_.get();
    size_ = size;
    return true;
}
