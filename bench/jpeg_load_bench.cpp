// Loading a 1920 x 1200 JPEG into a texture: decoding (LoadJpegImage) and
// the upload with its mipmap chain, timed separately.  Needs an X display
// (Xvfb is fine): the upload runs against a real GL context.

#include <GL/glew.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/gl_test_window.h"
#include "tests/support/picture_files.h"
#include "textures/jpeg_file.h"
#include "textures/texture.h"

namespace {

const int kWidth = 1920;
const int kHeight = 1200;
const int kRounds = 7;

// A picture with smooth gradients and some fine detail, at quality 90.
bool WriteTestPicture(const std::string& path) {
    pictures::Rgb picture(kWidth, kHeight);
    unsigned noise = 12345;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = (int)(noise >> 27);
            uint8_t* px = picture.At(x, y);
            px[0] = (uint8_t)((x * 255 / kWidth + n) & 255);
            px[1] = (uint8_t)((y * 255 / kHeight + n) & 255);
            px[2] = (uint8_t)(((x + y) / 12 + n) & 255);
        }
    return pictures::WriteJpeg(path.c_str(), picture, 90);
}

double MsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    GlTestWindow gl(64, 64, false);
    if (!gl.ok()) {
        std::fprintf(stderr, "jpeg_load_bench: needs an X display with GLX (try xvfb-run)\n");
        return 1;
    }
    char name[] = "/tmp/jpeg_load_bench_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return 1;
    close(fd);
    const std::string path = name;
    if (!WriteTestPicture(path)) {
        std::fprintf(stderr, "jpeg_load_bench: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("renderer: %s\n", (const char*)glGetString(GL_RENDERER));

    // Decoding alone, then the whole load (decode + upload); the upload is
    // the difference.  The first whole load is left out of the figures: it
    // includes the driver's one-time set-up.
    {
        CTexture first;
        first.LoadJPEG(path.c_str());
        glFinish();
    }
    std::vector<double> decode, whole;
    for (int i = 0; i < kRounds; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        std::unique_ptr<JpegImage> image = LoadJpegImage(path.c_str());
        decode.push_back(MsSince(t0));
        if (!image) return 1;

        t0 = std::chrono::steady_clock::now();
        {
            CTexture texture;
            texture.LoadJPEG(path.c_str());
            glFinish();
            whole.push_back(MsSince(t0));
        }
    }
    std::remove(path.c_str());
    const double d = Median(decode), w = Median(whole);
    std::printf("1920x1200 JPEG (quality 90) into a texture, median of %d:\n", kRounds);
    std::printf("  decode (LoadJpegImage):          %7.1f ms\n", d);
    std::printf("  upload (mipmaps, filters):       %7.1f ms\n", w - d);
    std::printf("  whole load (CTexture::LoadJPEG): %7.1f ms\n", w);
    return 0;
}
