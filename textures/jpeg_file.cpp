#include "textures/jpeg_file.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>

#include "platform/file.h"
#include "platform/platform.h"
#include "textures/picture_limits.h"

namespace {

// libjpeg's standard error manager ends the process on a fatal error.  This
// one writes the library's message the same way and then returns control to
// the decoder, which gives the picture up.  Warnings keep the standard
// behaviour (first one written, later ones counted, decoding goes on).
// With a message store, the library's text goes there instead, line by
// line as it would have been written.
struct ErrorTrap {
    jpeg_error_mgr pub;
    jmp_buf resume;
    std::string* messages;
};

void TrapFatalError(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->resume, 1);
}

void KeepMessage(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    reinterpret_cast<ErrorTrap*>(cinfo->err)->messages->append(text).append("\n");
}

// Colour spaces libjpeg can turn into three-byte RGB rows.
bool ConvertsToRgb(J_COLOR_SPACE space) {
    return space == JCS_GRAYSCALE || space == JCS_YCbCr || space == JCS_RGB;
}

// Decodes the whole of f into a new record with RGB rows, bottom row first,
// or returns null; libjpeg's text goes to messages when given, else to
// standard error.  Only plain pointers live across the setjmp: nothing with
// a destructor may be skipped by the jump back.
std::unique_ptr<JpegImage> Decode(FILE* f, std::string* messages) {
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    ErrorTrap trap;
    unsigned char* volatile pixels = nullptr;
    JSAMPROW* volatile rows = nullptr;

    cinfo.err = jpeg_std_error(&trap.pub);
    trap.pub.error_exit = TrapFatalError;
    trap.messages = messages;
    if (messages) trap.pub.output_message = KeepMessage;
    if (setjmp(trap.resume)) {
        jpeg_destroy_decompress(&cinfo);
        delete[] rows;
        delete[] pixels;
        return nullptr;
    }

    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    // Greyscale and colour pictures are converted to RGB; CMYK and YCCK
    // pictures, which libjpeg cannot convert, are refused.
    const bool usable = ConvertsToRgb(cinfo.jpeg_color_space) && cinfo.image_width > 0 &&
                        cinfo.image_height > 0 &&
                        (uint64_t)cinfo.image_width * cinfo.image_height <= kMaxPicturePixels;
    if (!usable) {
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }

    const int32_t width = (int32_t)cinfo.output_width;
    const int32_t height = (int32_t)cinfo.output_height;
    const int32_t rowBytes = width * 3;
    pixels = new (std::nothrow) unsigned char[(size_t)rowBytes * height];
    rows = new (std::nothrow) JSAMPROW[height];
    if (!pixels || !rows) {
        jpeg_destroy_decompress(&cinfo);
        delete[] rows;
        delete[] pixels;
        return nullptr;
    }
    // The file stores the top row first; each decoded row goes straight to
    // its place from the bottom, so the buffer ends up bottom row first.
    for (int32_t i = 0; i < height; ++i) rows[i] = pixels + (size_t)(height - 1 - i) * rowBytes;
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, rows + cinfo.output_scanline,
                            cinfo.output_height - cinfo.output_scanline);
    }
    delete[] rows;
    rows = nullptr;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    std::unique_ptr<JpegImage> image(new (std::nothrow) JpegImage);
    if (!image) {
        delete[] pixels;
        return nullptr;
    }
    image->rowBytes = rowBytes;
    image->width = width;
    image->height = height;
    image->pixels.reset(pixels);
    return image;
}

void ShowUnableToLoad(const char* path) {
    plat::MessageBox(0, "Unable to load JPG File!", plat::DisplayPath(path).c_str(), plat::MB_OK);
}

}  // namespace

std::unique_ptr<JpegImage> LoadJpegImage(const char* path) {
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) {
        ShowUnableToLoad(path);
        return nullptr;
    }
    std::unique_ptr<JpegImage> image = Decode(f, nullptr);
    std::fclose(f);
    if (!image) ShowUnableToLoad(path);
    return image;
}

std::unique_ptr<JpegImage> DecodeJpegFile(const char* path, std::string* messages) {
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) return nullptr;
    std::unique_ptr<JpegImage> image = Decode(f, messages);
    std::fclose(f);
    return image;
}
