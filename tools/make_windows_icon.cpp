// Paints the icon of the Windows saver and its installer: three jets of
// water rising from a basin on a night-blue tile, at 16, 32, 48 and 64
// pixels, written as one .ico (32-bit pictures with alpha).  Its output is
// committed as dist/windows/wavendell.ico; the build never runs it.
//   make_windows_icon OUTPUT.ico
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// Paints the colour (r, g, b) over dst with coverage a.
void Over(Rgba& dst, float r, float g, float b, float a) {
    const float out = a + dst.a * (1 - a);
    if (out <= 0) return;
    dst.r = (r * a + dst.r * dst.a * (1 - a)) / out;
    dst.g = (g * a + dst.g * dst.a * (1 - a)) / out;
    dst.b = (b * a + dst.b * dst.a * (1 - a)) / out;
    dst.a = out;
}

// Distance from (x, y) to a jet: the parabola x = cx + spread * t,
// y = base - height * (1 - (2t - 1)^2) for t in [0, 1], from the basin up and
// down again, followed as a polyline.
float JetDistance(float x, float y, float cx, float spread, float height, float base) {
    float best = 1e9f;
    float px = cx, py = base;
    for (int i = 1; i <= 48; ++i) {
        const float t = i / 48.0f;
        const float qx = cx + spread * t;
        const float qy = base - height * (1 - (2 * t - 1) * (2 * t - 1));
        const float dx = qx - px, dy = qy - py;
        const float len2 = dx * dx + dy * dy;
        float s = len2 > 0 ? ((x - px) * dx + (y - py) * dy) / len2 : 0;
        s = std::clamp(s, 0.0f, 1.0f);
        const float ex = px + s * dx - x, ey = py + s * dy - y;
        best = std::min(best, std::sqrt(ex * ex + ey * ey));
        px = qx;
        py = qy;
    }
    return best;
}

// The picture at a point of the unit square (y down).
Rgba Sample(float x, float y) {
    Rgba c;
    // The tile: a rounded square with a vertical night gradient.
    const float inset = 0.04f, radius = 0.18f;
    const float qx = std::max(std::fabs(x - 0.5f) - (0.5f - inset - radius), 0.0f);
    const float qy = std::max(std::fabs(y - 0.5f) - (0.5f - inset - radius), 0.0f);
    if (std::sqrt(qx * qx + qy * qy) > radius) return c;
    Over(c, 0.04f + 0.08f * y, 0.09f + 0.16f * y, 0.22f + 0.30f * y, 1);
    // A few stars.
    static const float kStars[][2] = {{0.22f, 0.2f}, {0.78f, 0.16f}, {0.66f, 0.3f}, {0.3f, 0.36f}};
    for (const auto& s : kStars) {
        const float d = std::hypot(x - s[0], y - s[1]);
        if (d < 0.02f) Over(c, 0.9f, 0.92f, 1.0f, 0.8f);
    }
    // The basin: a flat ellipse with a lighter rim.
    const float ex = (x - 0.5f) / 0.38f, ey = (y - 0.8f) / 0.09f;
    const float e = ex * ex + ey * ey;
    if (e < 1) Over(c, 0.18f, 0.46f, 0.78f, 1);
    if (e < 1 && e > 0.55f && y < 0.8f) Over(c, 0.55f, 0.8f, 1.0f, 0.9f);
    // Three jets: the middle one straight up and falling back, two arching
    // outwards.
    const float base = 0.78f;
    const float d = std::min({JetDistance(x, y, 0.5f, 0.0001f, 0.62f, base) * 0.8f,
                              JetDistance(x, y, 0.44f, -0.26f, 0.42f, base),
                              JetDistance(x, y, 0.56f, 0.26f, 0.42f, base)});
    const float width = 0.035f;
    if (d < width)
        Over(c, 0.82f, 0.95f, 1.0f, 1 - d / width * 0.5f);
    else if (d < width * 2.2f)
        Over(c, 0.5f, 0.8f, 1.0f, 0.35f * (1 - (d - width) / (width * 1.2f)));
    return c;
}

// size x size pixels, BGRA, bottom row first (as an icon's bitmap wants).
std::vector<uint8_t> Paint(int size) {
    const int kSub = 4;
    std::vector<uint8_t> out((size_t)size * size * 4);
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx) {
                    const Rgba c = Sample((col + (sx + 0.5f) / kSub) / size,
                                          (row + (sy + 0.5f) / kSub) / size);
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
                }
            const float n = kSub * kSub;
            uint8_t* p = &out[((size_t)(size - 1 - row) * size + col) * 4];
            const float alpha = a / n;
            auto channel = [&](float v) {
                return (uint8_t)std::lround(std::clamp(alpha > 0 ? v / a : 0.0f, 0.0f, 1.0f) * 255);
            };
            p[0] = channel(b);
            p[1] = channel(g);
            p[2] = channel(r);
            p[3] = (uint8_t)std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255);
        }
    return out;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_windows_icon OUTPUT.ico\n");
        return 2;
    }
    static const int kSizes[] = {16, 32, 48, 64};
    const int count = (int)(sizeof kSizes / sizeof kSizes[0]);
    std::vector<std::vector<uint8_t>> images;
    for (int size : kSizes) {
        std::vector<uint8_t> image;
        const uint32_t maskRow = (uint32_t)((size + 31) / 32 * 4);
        const uint32_t pixels = (uint32_t)(size * size * 4);
        // BITMAPINFOHEADER: the height counts the colour and mask pictures.
        Put32(image, 40);
        Put32(image, (uint32_t)size);
        Put32(image, (uint32_t)size * 2);
        Put16(image, 1);
        Put16(image, 32);
        Put32(image, 0);
        Put32(image, pixels + maskRow * (uint32_t)size);
        for (int i = 0; i < 4; ++i) Put32(image, 0);
        const std::vector<uint8_t> bgra = Paint(size);
        image.insert(image.end(), bgra.begin(), bgra.end());
        // The mask is unused with alpha: all zero.
        image.insert(image.end(), (size_t)maskRow * size, 0);
        images.push_back(image);
    }
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // icon
    Put16(file, (uint32_t)count);
    uint32_t offset = 6 + 16 * (uint32_t)count;
    for (int i = 0; i < count; ++i) {
        file.push_back((uint8_t)kSizes[i]);
        file.push_back((uint8_t)kSizes[i]);
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, (uint32_t)images[i].size());
        Put32(file, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
