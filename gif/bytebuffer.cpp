#include "gif/bytebuffer.h"

#include <cstdlib>
#include <cstring>

ByteBuffer::ByteBuffer(int32_t capacity) {
    if (capacity > 0) {
        data_ = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
        size_ = data_ ? capacity : 0;
    }
}

ByteBuffer::~ByteBuffer() { std::free(data_); }

// Grows in steps of at least 255 bytes so byte-by-byte writers do not reallocate each time.
bool ByteBuffer::makeRoom(int32_t count) {
    if (int64_t(position_) + count <= size_) return true;
    int64_t needed = int64_t(position_) + (count > 255 ? count : 255);
    if (needed > INT32_MAX) return false;
    void* grown = std::realloc(data_, static_cast<size_t>(needed));
    if (!grown) return false;
    data_ = static_cast<uint8_t*>(grown);
    size_ = position_ + count;
    return true;
}

void ByteBuffer::putByte(uint8_t value) {
    if (!makeRoom(1)) return;
    data_[position_++] = value;
}

void ByteBuffer::write(const void* source, int32_t count) {
    if (count <= 0 || !makeRoom(count)) return;
    std::memcpy(data_ + position_, source, static_cast<size_t>(count));
    position_ += count;
}

void ByteBuffer::append(const ByteBuffer& other) { write(other.data_, other.size_); }

void ByteBuffer::seek(int origin, int32_t offset) {
    int64_t target = position_;
    if (origin == 0) target = offset;
    else if (origin == 1) target = int64_t(position_) + offset;
    else if (origin == 2) target = int64_t(size_) - 1 - offset;
    if (target < 0) target = 0;
    if (target >= size_) target = size_ > 0 ? size_ - 1 : 0;
    position_ = static_cast<int32_t>(target);
}

uint8_t ByteBuffer::getByte() {
    if (int64_t(position_) + 1 > size_) return 0;
    return data_[position_++];
}

uint16_t ByteBuffer::getWord() {
    if (int64_t(position_) + 2 > size_) return 0;
    uint16_t value = uint16_t(data_[position_] | (data_[position_ + 1] << 8));
    position_ += 2;
    return value;
}

void ByteBuffer::reset() {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
    position_ = 0;
}
