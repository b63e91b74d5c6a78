#include "tools/show_data/canvas.h"

#include <algorithm>
#include <cmath>

namespace show_data {

void Canvas::Fill(const std::function<Rgb(float, float)>& colour) {
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) im.At(x, y) = colour(U(x), V(y));
}

void Canvas::Layer(const std::function<bool(float, float)>& inside,
                   const std::function<Rgb(float, float)>& colour, float v0, float v1,
                   float opacity) {
    static const float kOffsets[8][2] = {{-0.375f, -0.125f}, {-0.125f, 0.375f},  {0.125f, -0.375f},
                                         {0.375f, 0.125f},   {-0.25f, -0.4375f}, {0.25f, 0.4375f},
                                         {-0.4375f, 0.25f},  {0.4375f, -0.25f}};
    int y0 = std::max(0, Row(v1) - 1), y1 = std::min(kH - 1, Row(v0) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = 0; x < kW; ++x) {
            float u = U(x), v = V(y);
            int hits = 0;
            for (auto& o : kOffsets) hits += inside(u + o[0] * Du(), v + o[1] * Dv()) ? 1 : 0;
            if (hits == 0) continue;
            float k = opacity * hits / 8.0f;
            im.At(x, y) = Mix(im.At(x, y), colour(u, v), k);
        }
    }
}

void Canvas::Glow(float cu, float cv, float radius, Rgb colour, float reach) {
    int x0 = std::max(0, Column(cu - radius * reach)),
        x1 = std::min(kW - 1, Column(cu + radius * reach));
    int y0 = std::max(0, Row(cv + radius * reach)), y1 = std::min(kH - 1, Row(cv - radius * reach));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float du = U(x) - cu, dv = V(y) - cv;
            float d2 = (du * du + dv * dv) / (radius * radius);
            float k = std::exp(-d2);
            if (k < 1e-4f) continue;
            im.At(x, y) = im.At(x, y) + colour * k;
        }
}

void Canvas::Stars(uint64_t seed, int count, float above, float brightness,
                   const std::function<float(float, float)>& density) {
    Random rnd(seed);
    for (int i = 0; i < count; ++i) {
        float u = rnd.Range(kU0, kU1), v = rnd.Range(above, kV1);
        float m = rnd.Unit();
        float keep = rnd.Unit();
        if (density && keep > density(u, v)) continue;
        float b = brightness * (0.15f + 0.85f * std::pow(m, 6.0f));
        float tint = rnd.Unit();
        Rgb c = tint < 0.3f ? Rgb{0.75f, 0.85f, 1.0f}
                            : (tint < 0.45f ? Rgb{1.0f, 0.9f, 0.75f} : Rgb{1, 1, 1});
        float size = 0.055f + 0.06f * std::pow(m, 4.0f);
        Glow(u, v, size, c * b, 3);
        if (m > 0.993f) {  // the brightest get a soft halo and a faint cross
            Glow(u, v, size * 5, c * (b * 0.08f), 3);
            for (int k = 1; k <= 8; ++k) {
                float f = b * 0.25f * (1 - k / 9.0f);
                Glow(u + k * 0.09f, v, size * 0.7f, c * f, 2);
                Glow(u - k * 0.09f, v, size * 0.7f, c * f, 2);
                Glow(u, v + k * 0.09f, size * 0.7f, c * f, 2);
                Glow(u, v - k * 0.09f, size * 0.7f, c * f, 2);
            }
        }
    }
}

}  // namespace show_data
