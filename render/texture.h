// One GL texture loaded from a 32-bit BMP or a JPEG file.
#pragma once

#include <cstdint>

enum { TEX_PLAIN = 571, TEX_SPHEREMAP = 572 };

class CTexture {
public:
    uint32_t name = 0;   // GL texture name; 0 until a load succeeds
    bool sphereMap = false;

    CTexture() = default;
    ~CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    bool Bind();
    bool SetMapping(int mode);
    bool LoadBMP(const char* path);
    bool LoadJPEG(const char* path);
};

// A decoded JPEG, bottom row first.
struct JpegImage {
    int32_t rowBytes;
    int32_t width;
    int32_t height;
    unsigned char* pixels;
};

// Decodes a JPEG into a new JpegImage (RGB, 3 bytes a pixel), or null when
// the file cannot be opened or decoded ("Unable to load JPG File!").  The
// caller frees pixels (delete[]) and the record (delete).
JpegImage* LoadJpegImage(const char* path);
