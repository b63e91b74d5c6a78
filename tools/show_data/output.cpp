#include "tools/show_data/output.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include <sys/stat.h>

#include "tests/support/picture_files.h"

namespace show_data {

namespace {

uint8_t ToByte(float v, float dither) {
    int b = int(std::floor(Clamp01(v) * 255.0f + 0.5f + dither));
    return uint8_t(std::min(255, std::max(0, b)));
}

}  // namespace

bool MakeDirectories(const std::string& path) {
    std::string partial;
    for (size_t i = 0; i < path.size(); ++i) {
        partial += path[i];
        if (path[i] == '/' || i + 1 == path.size()) mkdir(partial.c_str(), 0755);
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool WriteJpeg(const Image& im, const std::string& path, int quality) {
    pictures::Rgb out(im.w, im.h);
    Random dither(99);
    for (int y = 0; y < im.h; ++y)
        for (int x = 0; x < im.w; ++x) {
            Rgb c = im.px[size_t(y) * im.w + x];
            float d = dither.Unit() - 0.5f;
            uint8_t* p = out.At(x, y);
            p[0] = ToByte(c.r, d);
            p[1] = ToByte(c.g, d);
            p[2] = ToByte(c.b, d);
        }
    if (pictures::WriteJpeg(path.c_str(), out, quality)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

bool WriteBmp(const Image& im, const std::string& path) {
    pictures::Rgba out(im.w, im.h);
    for (int y = 0; y < im.h; ++y)
        for (int x = 0; x < im.w; ++x) {
            size_t i = size_t(y) * im.w + x;
            uint8_t* p = out.At(x, y);
            p[0] = ToByte(im.px[i].r, 0);
            p[1] = ToByte(im.px[i].g, 0);
            p[2] = ToByte(im.px[i].b, 0);
            p[3] = ToByte(im.alpha[i], 0);
        }
    if (pictures::WriteBmp32(path.c_str(), out)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

bool WriteText(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace show_data
