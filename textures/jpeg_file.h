// Decoding JPEG pictures with libjpeg.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A decoded picture: RGB, 3 bytes a pixel, bottom row first.
struct JpegImage {
    int32_t rowBytes = 0;  // width * 3
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<unsigned char[]> pixels;  // height rows of rowBytes
};

// Decodes a JPEG file (colour or greyscale) into a new JpegImage, or returns
// null after showing "Unable to load JPG File!" (caption: the path) when the
// file cannot be opened or decoded.
std::unique_ptr<JpegImage> LoadJpegImage(const char* path);

// Decodes like LoadJpegImage but shows nothing, so it may run on any
// thread: null when the file cannot be opened or decoded.  The text libjpeg
// would write to standard error (its first warning, or the error that ended
// decoding), each line ending in a newline, is added to *messages instead
// (with messages null it goes to standard error).
std::unique_ptr<JpegImage> DecodeJpegFile(const char* path, std::string* messages);
