#include "tools/show_data/sprites.h"

#include <cmath>
#include <cstddef>

#include "tools/show_data/output.h"
#include "tools/show_data/paint.h"

namespace show_data {

namespace {

// The particle: a soft round drop, brightest in the middle.  Colour is
// white throughout so that filtering at the rim does not darken it.
Image DropletSprite() {
    const int n = 64;
    Image im(n, n);
    im.alpha.assign(size_t(n) * n, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float dx = (x + 0.5f) / n * 2 - 1, dy = (y + 0.5f) / n * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::exp(-r * r * 4.5f) * (1 - Smooth(0.8f, 1.0f, r));
            float shine = std::exp(-((dx + 0.25f) * (dx + 0.25f) + (dy + 0.3f) * (dy + 0.3f)) * 30);
            im.At(x, y) = Mix(Hex(0xe4f0ff), Hex(0xffffff), shine);
            im.alpha[size_t(y) * n + x] = Clamp01(a + 0.25f * shine);
        }
    return im;
}

// The source splash: a ring of foam around the nozzle.  Transparent texels
// are black because the emitter pass blends with one minus the source colour.
Image SplashSprite() {
    const int n = 128;
    Image im(n, n);
    im.alpha.assign(size_t(n) * n, 0);
    Noise foam(71);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float dx = (x + 0.5f) / n * 2 - 1, dy = (y + 0.5f) / n * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float angle = std::atan2(dy, dx);
            // Foam lumps around the ring; the angle enters the noise through
            // a circle so that it closes without a seam.
            float lumps = foam.Fbm(std::cos(angle) * 3 + 5, std::sin(angle) * 3 + 5 + r * 4, 4);
            float ringR = 0.58f + 0.08f * lumps;
            float ring = std::exp(-std::pow((r - ringR) / 0.16f, 2.0f));
            float inner = 0.35f * (1 - Smooth(0.0f, 0.5f, r));
            float bubbles = Smooth(0.1f, 0.5f, foam.Fbm(dx * 9, dy * 9, 3));
            float a =
                Clamp01((ring * (0.65f + 0.35f * bubbles) + inner) * (1 - Smooth(0.85f, 0.99f, r)));
            // Opaque wherever there is foam: the emitter pass adds colour
            // times alpha and keeps the water behind in proportion to the
            // colour, so a weak alpha would only darken the water.
            float alpha = Smooth(0.0f, 0.3f, a);
            if (alpha < 0.5f / 255) a = alpha = 0;  // clear texels stay black
            im.At(x, y) = Hex(0xf4fbff) * (0.85f * a);
            im.alpha[size_t(y) * n + x] = alpha;
        }
    return im;
}

// The nozzle: a short metal pipe with a flared lip, lit from the upper left.
// The tube quad puts the picture's bottom row at its top, so the drawing is
// turned upside down before it is stored.
Image NozzleSprite() {
    const int n = 64;
    Image upright(n, n);
    upright.alpha.assign(size_t(n) * n, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float fx = (x + 0.5f) / n * 2 - 1;  // -1 left .. 1 right
            float fy = 1 - (y + 0.5f) / n;      // 0 bottom .. 1 top
            float half = fy > 0.78f ? 0.8f : (fy > 0.7f ? 0.8f - (0.78f - fy) * 2.5f : 0.6f);
            if (fy < 0.04f) half = 0.7f;  // foot ring
            float inside = 1 - Smooth(half - 0.04f, half + 0.02f, std::fabs(fx));
            if (inside < 0.5f / 255) continue;  // clear texels stay black
            float nx = Clamp01(std::fabs(fx) / half) * (fx < 0 ? -1 : 1);
            float nz = std::sqrt(std::max(0.0f, 1 - nx * nx));
            float diffuse = std::max(0.0f, -0.5f * nx + 0.85f * nz);
            float shine = std::pow(std::max(0.0f, 1 - std::fabs(nx + 0.35f) * 3), 4.0f);
            float bands = (fy > 0.78f && fy < 0.82f) || (fy > 0.02f && fy < 0.06f) ? 0.7f : 1.0f;
            float v = Clamp01((0.25f + 0.6f * diffuse) * bands + 0.6f * shine);
            Rgb metal = Mix(Hex(0x6a7078), Hex(0xf0f4f8), v);
            upright.At(x, y) = metal * inside;
            upright.alpha[size_t(y) * n + x] = inside;
        }
    Image im(n, n);
    im.alpha.assign(size_t(n) * n, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            im.At(x, y) = upright.At(x, n - 1 - y);
            im.alpha[size_t(y) * n + x] = upright.alpha[size_t(n - 1 - y) * n + x];
        }
    return im;
}

}  // namespace

bool WriteSprites(const std::string& data) {
    bool ok = WriteBmp(DropletSprite(), data + "particle7.bmp");
    ok = WriteBmp(SplashSprite(), data + "fSource.bmp") && ok;
    ok = WriteBmp(NozzleSprite(), data + "emitterTube.bmp") && ok;
    return ok;
}

}  // namespace show_data
