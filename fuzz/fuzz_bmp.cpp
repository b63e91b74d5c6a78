// A sprite BMP file, read as the fountain textures are.
#include "fuzz/fuzz_show.h"
#include "textures/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetUp();
    WriteDataFile("sprite.bmp", data, size);
    BmpPixels bmp;
    if (ReadBmpFile((FuzzDataDir() + "sprite.bmp").c_str(), &bmp)) {
        // What the upload will read must be there.
        volatile unsigned char last = bmp.bgra[(size_t)bmp.width * bmp.height * 4 - 1];
        (void)last;
    }
    return 0;
}
