// Picture files made by the tests: BMP bytes with chosen header fields, and
// JPEG files written with libjpeg's compressor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
// bytes a pixel for colour, grey and CMYK) at quality 100.  False when the
// file cannot be written.
bool WriteJpeg(const std::string& path, int width, int height, JpegKind kind,
               const std::vector<uint8_t>& samples);
