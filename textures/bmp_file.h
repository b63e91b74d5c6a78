// Reading the sprites' uncompressed 32-bit BMP files into memory.
#pragma once

#include <cstdint>
#include <memory>

// Pixels of a BMP as stored: width * height * 4 bytes (blue, green, red,
// alpha), bottom row first.
struct BmpPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<unsigned char[]> bgra;
};

// Reads the 14-byte file header and the 40-byte information header, then the
// pixel data from byte 54 (whatever offset the header names).  The image size
// comes from the information header, or is width * height * 4 when it is 0.
// False, with *out untouched, when the file cannot be opened, is shorter
// than its headers or its image size, gives a width or height that is not
// positive, a picture larger than the loaders accept, or an image size too
// small for width * height * 4 bytes.
bool ReadBmpFile(const char* path, BmpPixels* out);
