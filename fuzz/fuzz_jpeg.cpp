// A JPEG picture, decoded as a scene picture is.
#include "fuzz/fuzz_show.h"
#include "textures/jpeg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetUp();
    WriteDataFile("picture.jpg", data, size);
    std::unique_ptr<JpegImage> image = LoadJpegImage((FuzzDataDir() + "picture.jpg").c_str());
    if (image && (image->width <= 0 || image->height <= 0 || !image->pixels)) __builtin_trap();
    return 0;
}
