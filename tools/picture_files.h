// Writers of the two picture formats the saver reads: baseline JPEG for the
// scene pictures and uncompressed 32-bit bottom-up BMP with alpha for the
// sprites.  Used by the programs that make data sets (tools, benchmark,
// tests); the saver itself only reads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

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

inline bool WriteJpeg(const char* path, const Rgb& picture, int quality = 90) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = (JDIMENSION)picture.width;
    cinfo.image_height = (JDIMENSION)picture.height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(&picture.pixels[(size_t)cinfo.next_scanline * picture.width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

inline void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back((uint8_t)(v >> (8 * i)));
}

// 14-byte file header, 40-byte information header, then BGRA rows bottom
// first.
inline bool WriteBmp32(const char* path, const Rgba& picture) {
    const uint32_t imageSize = (uint32_t)picture.width * picture.height * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + imageSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, (uint32_t)picture.width, 4);
    PutLe(out, (uint32_t)picture.height, 4);
    PutLe(out, 1, 2);
    PutLe(out, 32, 2);
    PutLe(out, 0, 4);  // uncompressed
    PutLe(out, imageSize, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.pixels[((size_t)y * picture.width + x) * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            out.push_back(p[3]);
        }
    }
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace pictures
