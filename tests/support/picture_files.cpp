#include "tests/support/picture_files.h"

#include <cstdio>

#include <jpeglib.h>

static void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = (char)(v >> (8 * i));
}

static void Put16(std::string& s, size_t at, uint16_t v) {
    s[at] = (char)v;
    s[at + 1] = (char)(v >> 8);
}

std::string BmpBytes(int32_t width, int32_t height, uint32_t imageSize,
                     const std::vector<uint8_t>& data, uint32_t pixelOffset) {
    std::string s(54, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put32(s, 2, (uint32_t)(54 + data.size()));
    Put32(s, 10, pixelOffset);
    Put32(s, 14, 40);
    Put32(s, 18, (uint32_t)width);
    Put32(s, 22, (uint32_t)height);
    Put16(s, 26, 1);
    Put16(s, 28, 32);
    Put32(s, 34, imageSize);
    s.append(data.begin(), data.end());
    return s;
}

bool WriteJpeg(const std::string& path, int width, int height, JpegKind kind,
               const std::vector<uint8_t>& samples) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = (JDIMENSION)width;
    cinfo.image_height = (JDIMENSION)height;
    cinfo.input_components = kind == JPEG_COLOUR ? 3 : kind == JPEG_GREY ? 1 : 4;
    cinfo.in_color_space = kind == JPEG_COLOUR ? JCS_RGB : kind == JPEG_GREY ? JCS_GRAYSCALE
                                                                             : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = (size_t)width * cinfo.input_components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = (JSAMPROW)&samples[cinfo.next_scanline * rowBytes];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}
