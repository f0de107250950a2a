#include "support/gifbytes.h"

#include <algorithm>
#include <map>

#include "support/testpaths.h"

LzwCodePacker& LzwCodePacker::put(int code, int width) {
    datum_ |= uint32_t(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
        out_.push_back(uint8_t(datum_));
        datum_ >>= 8;
        bits_ -= 8;
    }
    return *this;
}

Bytes LzwCodePacker::bytes() const {
    Bytes result = out_;
    if (bits_ > 0) result.push_back(uint8_t(datum_));
    return result;
}

Bytes packCodes(const std::vector<std::pair<int, int>>& codes) {
    LzwCodePacker packer;
    for (const auto& [code, width] : codes) packer.put(code, width);
    return packer.bytes();
}

GifBytes& GifBytes::raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

GifBytes& GifBytes::text(const std::string& s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    return *this;
}

GifBytes& GifBytes::u16(uint16_t value) {
    return raw({uint8_t(value), uint8_t(value >> 8)});
}

GifBytes& GifBytes::header(const char* signature, const char* version) {
    return text(signature).text(version);
}

GifBytes& GifBytes::screen(uint16_t width, uint16_t height, uint8_t packed, uint8_t background) {
    return u16(width).u16(height).raw({packed, background, 0});
}

GifBytes& GifBytes::table(int count) {
    for (int i = 0; i < count; ++i) raw({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    return *this;
}

GifBytes& GifBytes::colors(const std::vector<uint32_t>& rrggbb) {
    for (uint32_t c : rrggbb) raw({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    return *this;
}

GifBytes& GifBytes::graphicControl(uint8_t packed, uint16_t delay, uint8_t index) {
    return raw({0x21, 0xF9, 4, packed}).u16(delay).raw({index, 0});
}

GifBytes& GifBytes::comment(const std::vector<std::string>& subBlocks) {
    raw({0x21, 0xFE});
    for (const std::string& s : subBlocks) {
        bytes_.push_back(uint8_t(s.size()));
        text(s);
    }
    return raw({0});
}

GifBytes& GifBytes::netscapeLoop(uint16_t count) {
    return application("NETSCAPE2.0", {{1, uint8_t(count), uint8_t(count >> 8)}});
}

GifBytes& GifBytes::application(const std::string& id, const std::vector<Bytes>& subBlocks) {
    raw({0x21, 0xFF, uint8_t(id.size())}).text(id);
    for (const Bytes& b : subBlocks) {
        bytes_.push_back(uint8_t(b.size()));
        raw(b);
    }
    return raw({0});
}

GifBytes& GifBytes::imageDescriptor(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                                    uint8_t packed) {
    return raw({0x2C}).u16(left).u16(top).u16(width).u16(height).raw({packed});
}

GifBytes& GifBytes::imageData(uint8_t minCodeSize, const Bytes& data, int blockSize, bool terminate) {
    bytes_.push_back(minCodeSize);
    for (size_t at = 0; at < data.size(); at += size_t(blockSize)) {
        const size_t n = std::min(data.size() - at, size_t(blockSize));
        bytes_.push_back(uint8_t(n));
        bytes_.insert(bytes_.end(), data.begin() + long(at), data.begin() + long(at + n));
    }
    if (terminate) bytes_.push_back(0);
    return *this;
}

GifBytes& GifBytes::trailer() {
    return raw({0x3B});
}

Bytes referenceLzwEncode(const Bytes& pixels, int minCodeSize, bool deferredClear) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::map<Bytes, int> dictionary;
    int next = 0;
    int width = 0;
    auto resetTable = [&] {
        dictionary.clear();
        for (int i = 0; i < clear; ++i) dictionary[Bytes{uint8_t(i)}] = i;
        next = clear + 2;
        width = minCodeSize + 1;
    };
    LzwCodePacker packer;
    resetTable();
    packer.put(clear, width);
    Bytes current;
    int codesSinceClear = 0;
    for (uint8_t pixel : pixels) {
        Bytes extended = current;
        extended.push_back(pixel);
        if (dictionary.count(extended)) {
            current = std::move(extended);
            continue;
        }
        packer.put(dictionary[current], width);
        ++codesSinceClear;
        if (next < 4096) {
            dictionary[extended] = next++;
            // The decoder learns each entry one code later, so widths follow its count.
            if (next > (1 << width) && width < 12) ++width;
        } else if (!deferredClear) {
            packer.put(clear, width);
            resetTable();
            codesSinceClear = 0;
        }
        current = Bytes{pixel};
    }
    if (!current.empty()) {
        packer.put(dictionary[current], width);
        // The decoder adds one entry on reading that last code, and may widen before the end code.
        if (codesSinceClear > 0 && next == (1 << width) && width < 12) ++width;
    }
    packer.put(end, width);
    return packer.bytes();
}

std::string writeTestFile(const std::string& name, const Bytes& bytes) {
    const std::string path = testOutputPath(name);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

FILE* openBytes(const std::string& name, const Bytes& bytes) {
    return std::fopen(writeTestFile(name, bytes).c_str(), "rb");
}

Bytes readWholeFile(const std::string& path) {
    Bytes bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}
