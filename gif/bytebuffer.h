#pragma once
// A growable byte array with a single read/write position: carries pixel indices and
// code streams through the codec.
#include <cstdint>

class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(int32_t capacity);
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // False when the block could not be allocated; the buffer is then empty.
    bool ok() const { return size_ == 0 || data_ != nullptr; }

    void putByte(uint8_t value);
    void write(const void* source, int32_t count);
    void append(const ByteBuffer& other);
    void seek(int origin, int32_t offset);
    bool atEnd() const { return position_ >= size_; }
    uint8_t getByte();
    uint16_t getWord();

    uint8_t* bytes() { return data_; }
    const uint8_t* bytes() const { return data_; }
    int32_t length() const { return size_; }
    int32_t tell() const { return position_; }
    void reset();

private:
    bool makeRoom(int32_t count);

    int32_t size_ = 0;
    uint8_t* data_ = nullptr;
    int32_t position_ = 0;
};
