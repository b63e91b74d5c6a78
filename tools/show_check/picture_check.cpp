// The pictures of a show: their sides as the files give them, what GLU
// makes of sides that are not powers of two, and sizes no screen needs.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>

#include "platform/file.h"
#include "textures/bmp_file.h"
#include "tools/show_check/check_passes.h"

int RescaledSide(int side) {
    // GLU halves the side down to 1 and, when the two highest bits are both
    // set, rounds up: 1920 becomes 2048 and 1200 becomes 1024.
    if (side <= 0) return side;
    long long power = 1;
    for (unsigned v = (unsigned)side;; v >>= 1, power *= 2) {
        if (v == 1) return (int)power;
        if (v == 3) return power * 4 > 0x40000000LL ? 0x40000000 : (int)(power * 4);
    }
}

namespace {

bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

struct HeaderTrap {
    jpeg_error_mgr pub;
    jmp_buf resume;
};

void TrapError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<HeaderTrap*>(cinfo->err)->resume, 1);
}
void Silent(j_common_ptr) {}

// The sides of a JPEG file from its header alone; false when it has none.
bool JpegSides(const std::string& path, int* width, int* height) {
    FILE* f = plat::OpenFile(path.c_str(), "rb");
    if (!f) return false;
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    HeaderTrap trap;
    cinfo.err = jpeg_std_error(&trap.pub);
    trap.pub.error_exit = TrapError;
    trap.pub.output_message = Silent;
    bool ok = false;
    if (setjmp(trap.resume) == 0) {
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, f);
        if (jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK) {
            *width = (int)cinfo.image_width;
            *height = (int)cinfo.image_height;
            ok = *width > 0 && *height > 0;
        }
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return ok;
}

void CheckSides(CheckContext& c, const std::string& file, const std::string& element, int w,
                int h) {
    const std::string sides = std::to_string(w) + "x" + std::to_string(h);
    if (!PowerOfTwo(w) || !PowerOfTwo(h))
        c.Warn(file, element,
               sides + " pixels: sides that are not powers of two are rescaled to " +
                   std::to_string(RescaledSide(w)) + "x" + std::to_string(RescaledSide(h)) +
                   " when the picture is loaded (a slower start and a softer or squeezed picture)");
    if (w > kLargestUsefulSide || h > kLargestUsefulSide)
        c.Warn(file, element,
               sides + " pixels: larger than any screen needs (a side of " +
                   std::to_string((int)kLargestUsefulSide) +
                   " serves a 3840-pixel-wide screen); it costs loading time and memory");
}

}  // namespace

void CheckJpegPicture(CheckContext& c, const std::string& file, const std::string& element) {
    int w = 0, h = 0;
    // One the saver cannot load has been reported with its message.
    if (JpegSides(c.dataDir + file, &w, &h)) CheckSides(c, file, element, w, h);
}

void CheckSprite(CheckContext& c, const std::string& file) {
    const std::string path = c.dataDir + file;
    BmpPixels pixels;
    if (!ReadBmpFile(path.c_str(), &pixels)) {
        c.Error(file, "",
                "missing, or not a picture the saver reads (an uncompressed 32-bit BMP with "
                "alpha): it is drawn without this sprite, as plain squares");
        return;
    }
    // The reader takes 4 bytes a pixel from byte 54 whatever the header says.
    unsigned char header[54] = {0};
    FILE* f = plat::OpenFile(path.c_str(), "rb");
    const bool read = f && std::fread(header, 1, sizeof header, f) == sizeof header;
    if (f) std::fclose(f);
    const int bits = read ? header[28] | header[29] << 8 : 0;
    const unsigned compression =
        read ? header[30] | header[31] << 8 | header[32] << 16 | (unsigned)header[33] << 24 : 1;
    const unsigned offset =
        read ? header[10] | header[11] << 8 | header[12] << 16 | (unsigned)header[13] << 24 : 0;
    if (!read || header[0] != 'B' || header[1] != 'M' || bits != 32 || compression != 0 ||
        offset != 54)
        c.Error(file, "",
                "not an uncompressed 32-bit BMP with its pixels from byte 54 (" +
                    std::to_string(bits) +
                    " bits a pixel): the saver reads it as one all the "
                    "same and draws noise");
    CheckSides(c, file, "", pixels.width, pixels.height);
}
