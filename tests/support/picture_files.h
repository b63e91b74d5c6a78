// Writers of the two picture formats the saver reads, for the programs that
// make pictures (tests, tools, benchmarks); the saver itself only reads.
// Baseline JPEG for the scene pictures; uncompressed 32-bit bottom-up BMP
// with alpha for the sprites, also with chosen header fields so that tests
// can make broken ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pictures {

// An RGB picture, top row first, 3 bytes a pixel.
struct Rgb {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    Rgb(int w, int h) : width(w), height(h), pixels((size_t)w * h * 3) {}
    uint8_t* At(int x, int y) { return &pixels[((size_t)y * width + x) * 3]; }
};

// An RGBA picture, top row first, 4 bytes a pixel.
struct Rgba {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    Rgba(int w, int h) : width(w), height(h), pixels((size_t)w * h * 4) {}
    uint8_t* At(int x, int y) { return &pixels[((size_t)y * width + x) * 4]; }
};

// Writes picture as a baseline JPEG; false when the file cannot be written.
bool WriteJpeg(const char* path, const Rgb& picture, int quality = 90);
// Writes picture as a 32-bit BMP: 14-byte file header, 40-byte information
// header, then BGRA rows bottom first.
bool WriteBmp32(const char* path, const Rgba& picture);

}  // namespace pictures

// A BMP file: 14-byte file header naming pixelOffset, 40-byte information
// header with width, height, 32 bits a pixel and imageSize, then data.
std::string BmpBytes(int32_t width, int32_t height, uint32_t imageSize,
                     const std::vector<uint8_t>& data, uint32_t pixelOffset = 54);

// BGRA data of a width x height picture (bottom row first) whose pixel at
// (x, y) is colour(x, y) as 0xAARRGGBB.
template <typename ColourOf>
std::vector<uint8_t> BgraPixels(int width, int height, ColourOf colour) {
    std::vector<uint8_t> px;
    px.reserve((size_t)width * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t c = colour(x, y);
            px.push_back((uint8_t)c);
            px.push_back((uint8_t)(c >> 8));
            px.push_back((uint8_t)(c >> 16));
            px.push_back((uint8_t)(c >> 24));
        }
    return px;
}

enum JpegKind { JPEG_COLOUR, JPEG_GREY, JPEG_CMYK };

// Writes a JPEG of width x height from samples (top row first, 3, 1 or 4
// bytes a pixel for colour, grey and CMYK).  False when the file cannot be
// written.
bool WriteJpeg(const std::string& path, int width, int height, JpegKind kind,
               const std::vector<uint8_t>& samples, int quality = 100);
