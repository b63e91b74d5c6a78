#include "tools/show_data/water.h"

#include <cmath>

namespace show_data {

Image WaterPicture(uint32_t seed, const WaterPalette& pal) {
    const int w = 2048, h = 512;
    Image im(w, h);
    Noise swell(seed), ripple(seed + 1), chop(seed + 2), warp(seed + 3);
    Ramp ramp{{{0, pal.deep}, {0.5f, pal.mid}, {1, pal.light}}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = float(x) / w, t = float(y) / h;
            // Lattice periods (across, down) keep each octave seamless.
            float wx = 0.6f * warp.Fbm(s * 8, t * 6, 3, 0.5f, 8, 6);
            float wy = 0.6f * warp.Fbm(s * 8 + 3.3f, t * 6, 3, 0.5f, 8, 6);
            float big = swell.Fbm(s * 16 + wx, t * 14 + wy, 5, 0.5f, 16, 14);
            float crest = ripple.Ridged(s * 32 + wx, t * 28 + wy, 4, 32, 28);
            float fine = chop.Fbm(s * 128, t * 112, 2, 0.5f, 128, 112);
            float k = Clamp01(0.5f + 0.75f * big + 0.08f * fine);
            Rgb col = ramp(k);
            float glint = std::pow(crest, pal.glintSharpness) * pal.glintAmount *
                          (0.6f + 0.6f * Clamp01(big + 0.5f));
            if (pal.caustics) {
                float net = ripple.Ridged(s * 24 + 1.5f * wx, t * 21 + 1.5f * wy, 2, 24, 21);
                glint += std::pow(net, 10.0f) * 0.9f;
            }
            col = col + pal.glint * glint;
            im.At(x, y) = col;
        }
    return im;
}

}  // namespace show_data
