// One GL texture loaded from a 32-bit BMP or a JPEG file.
#pragma once

#include <cstdint>

enum { TEX_PLAIN = 571, TEX_SPHEREMAP = 572 };

class CTexture {
public:
    uint32_t name = 0;  // GL texture name; 0 until a load succeeds
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
