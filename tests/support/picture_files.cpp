#include "tests/support/picture_files.h"

#include <cstdio>

#include <jpeglib.h>

namespace {

// The one JPEG writer: rows of components bytes a pixel, top row first.
bool WriteJpegRows(const char* path, int width, int height, int components, J_COLOR_SPACE space,
                   const uint8_t* samples, int quality) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = (JDIMENSION)width;
    cinfo.image_height = (JDIMENSION)height;
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = (size_t)width * components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples + cinfo.next_scanline * rowBytes);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

void PutLe(std::string& out, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = (char)(v >> (8 * i));
}

}  // namespace

namespace pictures {

bool WriteJpeg(const char* path, const Rgb& picture, int quality) {
    return WriteJpegRows(path, picture.width, picture.height, 3, JCS_RGB, picture.pixels.data(),
                         quality);
}

bool WriteBmp32(const char* path, const Rgba& picture) {
    const uint32_t imageSize = (uint32_t)picture.width * picture.height * 4;
    std::vector<uint8_t> data;
    data.reserve(imageSize);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.pixels[((size_t)y * picture.width + x) * 4];
            data.insert(data.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    std::string out = BmpBytes(picture.width, picture.height, imageSize, data);
    PutLe(out, 38, 2835, 4);  // 72 dots an inch, both ways
    PutLe(out, 42, 2835, 4);
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace pictures

std::string BmpBytes(int32_t width, int32_t height, uint32_t imageSize,
                     const std::vector<uint8_t>& data, uint32_t pixelOffset) {
    std::string s(54, '\0');
    s[0] = 'B';
    s[1] = 'M';
    PutLe(s, 2, (uint32_t)(54 + data.size()), 4);
    PutLe(s, 10, pixelOffset, 4);
    PutLe(s, 14, 40, 4);
    PutLe(s, 18, (uint32_t)width, 4);
    PutLe(s, 22, (uint32_t)height, 4);
    PutLe(s, 26, 1, 2);
    PutLe(s, 28, 32, 2);
    PutLe(s, 34, imageSize, 4);
    s.append(data.begin(), data.end());
    return s;
}

bool WriteJpeg(const std::string& path, int width, int height, JpegKind kind,
               const std::vector<uint8_t>& samples, int quality) {
    const int components = kind == JPEG_COLOUR ? 3 : kind == JPEG_GREY ? 1 : 4;
    const J_COLOR_SPACE space = kind == JPEG_COLOUR ? JCS_RGB
                                : kind == JPEG_GREY ? JCS_GRAYSCALE
                                                    : JCS_CMYK;
    return WriteJpegRows(path.c_str(), width, height, components, space, samples.data(), quality);
}
