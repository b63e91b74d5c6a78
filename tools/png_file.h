// A small PNG writer (8-bit RGB, one IDAT compressed with zlib) for
// screenshots taken by the tools.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zlib.h>

namespace png {

inline void PutBe(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back((uint8_t)(v >> (8 * i)));
}

inline void PutChunk(std::vector<uint8_t>& out, const char type[4], const uint8_t* data,
                     size_t size) {
    PutBe(out, (uint32_t)size);
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    PutBe(out, (uint32_t)crc32(0L, &out[start], (uInt)(out.size() - start)));
}

// rgba: width x height pixels of 4 bytes, rows bottom first as glReadPixels
// returns them; alpha is dropped.
inline bool WriteRgbaBottomUp(const std::string& path, int width, int height, const uint8_t* rgba) {
    // Filter byte 0 (none) before each row, rows top first.
    std::vector<uint8_t> raw;
    raw.reserve((size_t)height * (1 + (size_t)width * 3));
    for (int y = height - 1; y >= 0; --y) {
        raw.push_back(0);
        const uint8_t* row = rgba + (size_t)y * width * 4;
        for (int x = 0; x < width; ++x) raw.insert(raw.end(), row + x * 4, row + x * 4 + 3);
    }
    uLongf packedSize = compressBound((uLong)raw.size());
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 6) != Z_OK)
        return false;

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBe(header, (uint32_t)width);
    PutBe(header, (uint32_t)height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(out, "IHDR", header.data(), header.size());
    PutChunk(out, "IDAT", packed.data(), packedSize);
    PutChunk(out, "IEND", nullptr, 0);

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace png
