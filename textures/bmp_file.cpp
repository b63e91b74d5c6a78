#include "textures/bmp_file.h"

#include <sys/types.h>
#include <cstdio>
#include <new>

#include "platform/file.h"
#include "textures/picture_limits.h"

namespace {

const int kFileHeaderBytes = 14;
const int kInfoHeaderBytes = 40;
const int kPixelOffset = kFileHeaderBytes + kInfoHeaderBytes;

uint32_t LittleEndian32(const unsigned char* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// Bytes from the current position to the end of the file, or -1.
long long BytesLeft(FILE* f) {
    const off_t here = ftello(f);
    if (here < 0 || fseeko(f, 0, SEEK_END) != 0) return -1;
    const off_t end = ftello(f);
    if (end < 0 || fseeko(f, here, SEEK_SET) != 0) return -1;
    return (long long)(end - here);
}

bool ReadOpenBmp(FILE* f, BmpPixels* out) {
    unsigned char headers[kPixelOffset];
    if (std::fread(headers, 1, sizeof headers, f) != sizeof headers) return false;
    const unsigned char* info = headers + kFileHeaderBytes;
    const int32_t width = (int32_t)LittleEndian32(info + 4);
    const int32_t height = (int32_t)LittleEndian32(info + 8);
    const uint32_t imageSize = LittleEndian32(info + 20);

    // A negative height would be a top-down picture, which the upload does
    // not handle; neither a negative nor a zero side makes a texture.
    if (width <= 0 || height <= 0) return false;
    const uint64_t pixelCount = (uint64_t)width * (uint64_t)height;
    if (pixelCount > kMaxPicturePixels) return false;
    const uint64_t needed = pixelCount * 4;
    const uint64_t stored = imageSize != 0 ? imageSize : needed;
    // The upload reads width * height * 4 bytes, so the stored data must hold
    // them, and the file must hold what the header says it stores.
    if (stored < needed) return false;
    const long long left = BytesLeft(f);
    if (left < 0 || (uint64_t)left < stored) return false;

    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[needed]);
    if (!pixels) return false;
    if (std::fread(pixels.get(), 1, needed, f) != needed) return false;
    out->width = width;
    out->height = height;
    out->bgra = std::move(pixels);
    return true;
}

}  // namespace

bool ReadBmpFile(const char* path, BmpPixels* out) {
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) return false;
    const bool ok = ReadOpenBmp(f, out);
    std::fclose(f);
    return ok;
}
