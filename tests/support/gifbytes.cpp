#include "support/gifbytes.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "support/testpaths.h"

namespace {
struct Packer {
    Bytes out;
    uint32_t datum = 0;
    int bits = 0;
    void put(int code, int width) {
        for (datum |= uint32_t(code) << bits, bits += width; bits >= 8; datum >>= 8, bits -= 8)
            out.push_back(uint8_t(datum));
    }
    Bytes bytes() const {
        Bytes result = out;
        if (bits > 0) result.push_back(uint8_t(datum));
        return result;
    }
};
}  // namespace

Bytes packCodes(const std::vector<std::pair<int, int>>& codes) {
    Packer packer;
    for (const auto& [code, width] : codes) packer.put(code, width);
    return packer.bytes();
}

GifBytes& GifBytes::table(int count) {
    for (int i = 0; i < count; ++i) raw({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    return *this;
}
GifBytes& GifBytes::colors(const std::vector<uint32_t>& rrggbb) {
    for (uint32_t c : rrggbb) raw({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    return *this;
}
GifBytes& GifBytes::comment(const std::vector<std::string>& subBlocks) {
    raw({0x21, 0xFE});
    for (const std::string& s : subBlocks) raw({uint8_t(s.size())}).text(s);
    return raw({0});
}
GifBytes& GifBytes::imageData(uint8_t minCodeSize, const Bytes& data, int blockSize) {
    raw({minCodeSize});
    for (size_t at = 0; at < data.size(); at += size_t(blockSize)) {
        const size_t n = std::min(data.size() - at, size_t(blockSize));
        raw({uint8_t(n)}).raw(Bytes(data.begin() + long(at), data.begin() + long(at + n)));
    }
    return raw({0});
}

Bytes referenceLzwEncode(const Bytes& pixels, int minCodeSize, bool deferredClear) {
    const int clear = 1 << minCodeSize;
    std::map<Bytes, int> dictionary;
    int next = 0, width = 0, codesSinceClear = 0;
    auto resetTable = [&] {
        dictionary.clear();
        for (int i = 0; i < clear; ++i) dictionary[Bytes{uint8_t(i)}] = i;
        next = clear + 2;
        width = minCodeSize + 1;
        codesSinceClear = 0;
    };
    Packer packer;
    resetTable();
    packer.put(clear, width);
    Bytes current;
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
        }
        current = Bytes{pixel};
    }
    if (!current.empty()) {
        packer.put(dictionary[current], width);
        // The decoder adds one entry on reading that last code, and may widen before the end code.
        if (codesSinceClear > 0 && next == (1 << width) && width < 12) ++width;
    }
    packer.put(clear + 1, width);
    return packer.bytes();
}

std::string writeTestFile(const std::string& name, const Bytes& bytes) {
    const std::string path = testOutputPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

Bytes readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}
