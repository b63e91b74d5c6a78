// The daylight backdrops: the sunset lake, the marble plaza and the misty
// forest at dawn.

#include "tools/show_data/scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "tools/show_data/canvas.h"
#include "tools/show_data/paint.h"
#include "tools/show_data/trees.h"

namespace show_data {

// Sunset over a lake: a low sun between layered hills, lit cloud streaks,
// a pine-clad shore on the right and a few birds.
Image SunsetLake() {
    Canvas c;
    Noise n1(21), n2(22), n3(23);
    const float su = -14, sv = 9.0f, sr = 4.2f;
    Ramp sky{{{0, Hex(0xffd27a)},
              {6, Hex(0xffa44d)},
              {16, Hex(0xf07a4a)},
              {28, Hex(0xc65a5e)},
              {44, Hex(0x7a3f6c)},
              {70, Hex(0x2c2250)}}};
    c.Fill([&](float u, float v) {
        float du = u - su, dv = (v - sv) * 1.6f;
        float d = std::sqrt(du * du + dv * dv);
        // The sky is brighter around the sun.
        Rgb col = sky(v - 6 * std::exp(-d / 30));
        col = col + Hex(0xffc070) * (0.35f * std::exp(-d / 14));
        // Long cloud streaks, lit from below.
        float streak = n1.Fbm(u * 0.018f, v * 0.16f, 5, 0.55f);
        float mask = Smooth(0.05f, 0.35f, streak) * Smooth(14, 24, v) * (1 - Smooth(56, 68, v));
        float under = Clamp01(0.5f - n2.Fbm(u * 0.02f, v * 0.16f + 0.6f, 4));
        Rgb cloudLit = Mix(Hex(0xffb46e), Hex(0xff7f6a), Clamp01((v - 20) / 30));
        Rgb cloudDark = Mix(Hex(0x8a4565), Hex(0x3c2a55), Clamp01((v - 20) / 40));
        Rgb cloud = Mix(cloudDark, cloudLit, Clamp01(under * 1.6f + std::exp(-d / 45)));
        col = Mix(col, cloud, mask * 0.85f);
        return col;
    });
    // The sun: a bright disc with a wide warm halo.
    c.Glow(su, sv, 22, Hex(0x3a1c08));
    c.Glow(su, sv, 8, Hex(0x5a3010));
    c.Layer(
        [&](float u, float v) { return (u - su) * (u - su) + (v - sv) * (v - sv) < sr * sr; },
        [&](float u, float v) { return Mix(Hex(0xfff6d8), Hex(0xffd27a), Clamp01((sv - v) / sr)); },
        sv - sr - 1, sv + sr + 1);

    // Far hills, hazy violet, then nearer and darker ones.
    auto hill = [&](const Noise& n, float u, float base, float amp, float freq) {
        return base + amp * (0.5f + 0.5f * n.Fbm(u * freq, 0.5f, 5, 0.45f));
    };
    c.Layer(
        [&](float u, float v) { return v < hill(n1, u, 3, 11, 0.02f); },
        [&](float u, float v) { return Mix(Hex(0x9a5a78), Hex(0xb06a78), Clamp01(1 - v / 14)); }, 0,
        16);
    c.Layer(
        [&](float u, float v) {
            return v < hill(n2, u + 40, 1, 8, 0.03f) - 2 * Smooth(-30, 10, u);
        },
        [&](float u, float v) { return Mix(Hex(0x5c3456), Hex(0x6e3c5a), Clamp01(1 - v / 10)); }, 0,
        12);
    // Pine-clad shore on the right, rising out of the water.
    auto shore = [&](float u) {
        return -2 + 14 * Smooth(10, 60, u) + 2 * n3.Fbm(u * 0.05f, 1.5f, 3);
    };
    c.Layer(
        [&](float u, float v) {
            float h = shore(u);
            if (v < h) return true;
            // Pines standing on the shore line, two staggered rows.
            for (int row = 0; row < 2; ++row) {
                float pitch = row ? 1.3f : 1.9f;
                float cell = std::floor((u + row * 0.7f) / pitch);
                for (float k = cell - 1; k <= cell + 1; ++k) {
                    float cu =
                        (k + 0.5f) * pitch - row * 0.7f + 0.6f * (HashUnit(int(k), row, 5) - 0.5f);
                    if (cu < 6) continue;
                    float ph = (2.5f + 6.5f * HashUnit(int(k), row + 7, 5)) *
                               (0.3f + 0.7f * Smooth(0, 45, cu));
                    float base = shore(cu) - 0.5f - row * 1.2f;
                    if (v < base || v > base + ph) continue;
                    float t = (v - base) / ph;
                    float tier = std::fmod(t * (5 + row) + HashUnit(int(k), 3, 5), 1.0f);
                    if (std::fabs(u - cu) < 1.0f * (1 - t) * (0.6f + 0.4f * tier)) return true;
                }
            }
            return false;
        },
        [&](float u, float v) { return Mix(Hex(0x24142a), Hex(0x2e1a32), Clamp01(v / 20)); }, 0,
        24);
    // A low headland on the left.
    c.Layer(
        [&](float u, float v) {
            return v < -1.0f + 8.5f * (1 - Smooth(-80, -45, u)) + 1.2f * n2.Fbm(u * 0.12f, 4.4f, 3);
        },
        [&](float u, float v) { return Hex(0x2a1730); }, 0, 8);
    // Glitter of the sun on the far water at the foot of the hills.
    c.Layer([&](float u, float v) { return v < 1.1f; },
            [&](float u, float v) {
                float glint = std::exp(-std::pow((u - su) / 9, 2.0f)) *
                              Clamp01(n3.At(u * 3, v * 12) * 2 + 0.3f);
                return Mix(Hex(0x7a4a5a), Hex(0xffd090), glint);
            },
            0, 1.5f);
    // Birds.
    Random rb(401);
    for (int i = 0; i < 7; ++i) {
        float bu = rb.Range(8, 40), bv = rb.Range(30, 48), bs = rb.Range(0.5f, 0.9f);
        c.Layer(
            [&](float u, float v) {
                float du = (u - bu) / bs;
                if (std::fabs(du) > 1) return false;
                float wing = bv + bs * 0.45f * std::pow(std::fabs(du), 0.8f) - bs * 0.12f * du * du;
                return std::fabs(v - wing) < 0.07f * (1.4f - std::fabs(du));
            },
            [&](float u, float v) { return Hex(0x3a2038); }, bv - 2, bv + 2);
    }
    return std::move(c.im);
}

// Marble plaza: a sunlit colonnade with a pediment, steps down to the pool,
// cypresses and summer clouds.
Image MarblePlaza() {
    Canvas c;
    Noise n1(31), n2(32), n3(33);
    Ramp sky{{{0, Hex(0xcfe2ef)}, {20, Hex(0x9cc6e6)}, {45, Hex(0x5f9fd6)}, {70, Hex(0x3a78c0)}}};
    c.Fill([&](float u, float v) {
        Rgb col = sky(v);
        // Fair-weather clouds, lit from above.
        float d = n1.Fbm(u * 0.025f, v * 0.05f, 6, 0.5f) + 0.25f * (v - 40) / 30;
        float cloud = Smooth(0.05f, 0.3f, d);
        float shade = Clamp01(0.5f + 1.8f * (n1.Fbm(u * 0.025f, (v + 1.5f) * 0.05f, 6) -
                                             n1.Fbm(u * 0.025f, (v - 1.5f) * 0.05f, 6)));
        Rgb cloudCol = Mix(Hex(0xc9d3de), Hex(0xfbfbf8), 1 - shade);
        return Mix(col, cloudCol, cloud * 0.9f);
    });
    // Distant hills and cypresses seen beyond the wings.
    c.Layer([&](float u, float v) { return v < 12 + 6 * n2.Fbm(u * 0.02f, 0.3f, 4); },
            [&](float u, float v) { return Mix(Hex(0x8aa6ae), Hex(0x9cb4b8), v / 20); }, 0, 20);

    auto marble = [&](float u, float v) {
        float vein = n3.Ridged(u * 0.22f + n2.At(u * 0.2f, v * 0.2f), v * 0.22f, 3);
        return Hex(0xf1ece2) * (0.97f - 0.06f * Smooth(0.8f, 0.97f, vein));
    };
    // Back wall in the shade of the portico, with three dark doorways.
    c.Layer([&](float u, float v) { return std::fabs(u) < 58.5f && v < 31; },
            [&](float u, float v) {
                Rgb wall = Mix(Hex(0x8b8174), Hex(0x5f574e), Smooth(3, 30, v));
                for (float du : {-36.0f, 0.0f, 36.0f}) {  // doorways between columns
                    float w = du == 0 ? 4.5f : 3.5f, top = du == 0 ? 19.0f : 16.0f;
                    if (std::fabs(u - du) < w && v < top)
                        wall = Hex(0x2c2520);
                    else if (std::fabs(u - du) < w + 0.8f && v < top + 0.8f)
                        wall = Hex(0xa39886);
                }
                return wall * (0.95f + 0.05f * n1.At(u, v));
            },
            0, 32);
    // Columns: fluted, shaded as cylinders lit from the front left, each
    // casting a shadow to its right on the wall.
    const float columnBase = 3, capital = 28.2f;
    for (int k = 0; k < 10; ++k) {
        float cu = -54 + 12.0f * k;
        c.Layer([&](float u,
                    float v) { return u > cu && u < std::min(cu + 5, 58.5f) && v > 3 && v < 30; },
                [&](float u, float v) { return Hex(0x4a423a); }, 3, 30, 0.35f);
        auto radius = [&](float v) {
            float t = (v - columnBase) / (capital - columnBase);
            return 1.65f - 0.3f * t * t;
        };
        c.Layer(
            [&](float u, float v) {
                if (v < columnBase || v > 31) return false;
                if (v < columnBase + 0.5f) return std::fabs(u - cu) < 2.3f;  // plinth
                if (v < columnBase + 1.2f) return std::fabs(u - cu) < 2.0f;  // torus
                if (v < capital) return std::fabs(u - cu) < radius(v);       // shaft
                if (v < capital + 0.8f) return std::fabs(u - cu) < 1.7f + (v - capital) * 0.9f;
                return std::fabs(u - cu) < 2.5f;  // abacus
            },
            [&](float u, float v) {
                float r = v < capital && v > columnBase + 1.2f ? radius(v) : 2.4f;
                float nx = Clamp01((u - cu) / r * 0.5f + 0.5f) * 2 - 1;
                float nz = std::sqrt(std::max(0.0f, 1 - nx * nx));
                float light = std::max(0.0f, -0.55f * nx + 0.83f * nz);
                float flute = v < capital && v > columnBase + 1.2f
                                  ? 0.9f + 0.1f * std::cos(std::asin(nx) * 24)
                                  : 1.0f;
                return marble(u, v) * ((0.38f + 0.62f * light) * flute);
            },
            3, 31.5f);
    }
    // Entablature: architrave, a frieze of triglyphs, the cornice.
    c.Layer(
        [&](float u, float v) {
            return std::fabs(u) < (v > 35.5f ? 60.0f : 59.0f) && v >= 30.8f && v < 37.2f;
        },
        [&](float u, float v) {
            Rgb m = marble(u, v);
            if (v < 33) return m * (v < 31.4f ? 0.78f : 0.95f);
            if (v < 35.5f) {
                float pos = std::fmod(u + 300, 6.0f);
                bool glyph = pos < 1.6f;
                float groove = glyph && std::fmod(pos, 0.55f) < 0.18f ? 0.7f : 1.0f;
                return m * ((glyph ? 0.88f : 0.8f) * groove);
            }
            return m * (v < 36.0f ? 0.62f : 1.0f);
        },
        30, 38);
    // Pediment over the middle with its shaded tympanum.
    c.Layer(
        [&](float u, float v) { return v >= 37.2f && v < 37.2f + 11.5f * (1 - std::fabs(u) / 34); },
        [&](float u, float v) {
            float edge = 11.5f * (1 - std::fabs(u) / 34) + 37.2f - v;
            Rgb m = marble(u, v);
            if (edge < 1.2f || v < 38.2f) return m * (u < 0 ? 1.0f : 0.9f);
            return m * 0.7f;
        },
        37, 50);
    // Steps down to the water.
    c.Layer([&](float u, float v) { return v < 3 && std::fabs(u) < 61 + 2.4f * (3 - v); },
            [&](float u, float v) {
                float inStep = std::fmod(v, 1.0f);
                return marble(u, v) * (inStep > 0.8f ? 1.0f : 0.8f - 0.05f * (3 - v));
            },
            0, 3.2f);
    // Cypresses and urns at the ends.
    for (float tu : {-73.0f, -66.5f, 67.0f, 74.0f}) {
        float h = std::fabs(tu) > 70 ? 36 : 27;
        c.Layer(
            [&](float u, float v) {
                float w = CypressHalfWidth(v, 2, h, 2.6f);
                return w > 0 && std::fabs(u - tu) < w * (1 + 0.2f * n2.At(v * 1.5f, tu));
            },
            [&](float u, float v) {
                float lit = Clamp01((tu - u) / 2.6f * 0.5f + 0.5f);
                return Mix(Hex(0x1c3320), Hex(0x4c6e3c), lit * 0.8f) *
                       (0.85f + 0.15f * n1.At(u * 2, v * 2));
            },
            0, h + 3);
    }
    for (float uu : {-60.5f, 60.5f}) {
        c.Layer(
            [&](float u, float v) {
                float du = std::fabs(u - uu), dv = v - 5.2f;
                return (v > 3 && v < 3.6f && du < 1.0f) || (du * du / 2.6f + dv * dv / 2.2f < 1) ||
                       (v > 6.3f && v < 6.8f && du < 1.2f);
            },
            [&](float u, float v) {
                return Mix(Hex(0xd9cbb4), Hex(0x8c7b66), Clamp01((u - uu) / 1.6f + 0.4f));
            },
            3, 7);
    }
    return std::move(c.im);
}

// Misty forest at dawn: ranks of spruces fading into the morning mist, a
// pale sun and light shafts through the haze.
Image MistyForest() {
    Canvas c;
    Noise n1(51), n2(52), n3(53);
    const float su = 16, sv = 30;
    Ramp sky{{{0, Hex(0xf6dcc0)}, {15, Hex(0xf0d2bc)}, {35, Hex(0xc9c4cc)}, {70, Hex(0x8098b4)}}};
    auto glow = [&](float u, float v) {
        float du = u - su, dv = v - sv;
        return std::exp(-std::sqrt(du * du + dv * dv) / 14);
    };
    c.Fill([&](float u, float v) {
        Rgb col = sky(v) + Hex(0xffe8c0) * (0.45f * glow(u, v));
        float cloud = Smooth(0.1f, 0.5f, n1.Fbm(u * 0.02f, v * 0.08f, 5)) * Smooth(30, 50, v);
        return Mix(col, Hex(0xe8d6d2), cloud * 0.4f);
    });
    c.Glow(su, sv, 3.5f, Hex(0x8a7450));
    c.Glow(su, sv, 1.8f, Hex(0xb09060));

    // Ranks of spruces, far to near: each rank darker and less hazy, with
    // mist pooling in the hollows between them.
    struct Rank {
        float base, hMin, hMax, spacing, width;
        Rgb colour;
        float haze;
    };
    const Rank ranks[] = {{9, 7, 13, 2.6f, 0.3f, Hex(0x9aa2aa), 0.0f},
                          {6, 9, 17, 3.4f, 0.3f, Hex(0x76848c), 0.15f},
                          {3, 11, 22, 5.0f, 0.3f, Hex(0x4e6268), 0.3f},
                          {0, 14, 30, 9.0f, 0.28f, Hex(0x2a3e42), 0.45f}};
    Rgb fog = Hex(0xe6dcd6);
    uint32_t seed = 0;
    for (const Rank& r : ranks) {
        Random rnd(700 + seed);
        struct Tree {
            float u, h, w;
            uint32_t id;
        };
        std::vector<Tree> trees;
        for (float u = -86; u < 86; u += r.spacing * rnd.Range(0.5f, 1.2f)) {
            float h = rnd.Range(r.hMin, r.hMax);
            trees.push_back({u, h, h * r.width * rnd.Range(0.8f, 1.1f), seed++});
        }
        c.Layer(
            [&](float u, float v) {
                if (v < r.base + 1.5f + n2.At(u * 0.1f, r.base)) return true;
                for (const Tree& t : trees)
                    if (std::fabs(u - t.u) < t.w &&
                        InsideSpruce(u, v, t.u, r.base, t.h, t.w, n3, t.id))
                        return true;
                return false;
            },
            [&](float u, float v) {
                Rgb col = r.colour * (0.92f + 0.08f * n1.At(u * 0.8f, v * 0.8f));
                // Sunward edges catch a little light.
                col = col + Hex(0x40301c) * (0.5f * glow(u, v));
                return col;
            },
            0, r.base + r.hMax + 1);
        // Mist in front of this rank, thick near the ground.
        float lift = r.base + 3;
        for (int y = Canvas::Row(lift + 12); y < Canvas::kH; ++y)
            for (int x = 0; x < Canvas::kW; ++x) {
                float u = Canvas::U(x), v = Canvas::V(y);
                float band = std::exp(-std::max(0.0f, v - r.base) / 6.0f);
                float wisps = 0.55f + 0.45f * n1.Fbm(u * 0.025f + seed, v * 0.12f, 4);
                float k = Clamp01(band * wisps * (0.55f + r.haze * 0.4f));
                c.im.At(x, y) = Mix(c.im.At(x, y), fog + Hex(0x302010) * glow(u, v), k);
            }
    }
    // Tall spruces framing the scene at both sides.
    const float frame[][3] = {{-77, 64, 11},  {-64, 48, 8.5f}, {-55, 34, 6},
                              {57, 38, 6.5f}, {67, 54, 9.5f},  {79, 66, 11}};
    for (const auto& f : frame) {
        uint32_t id = uint32_t(f[0] + 200);
        c.Layer([&](float u, float v) { return InsideSpruce(u, v, f[0], -1, f[1], f[2], n3, id); },
                [&](float u, float v) {
                    return Hex(0x13221f) * (0.85f + 0.15f * n2.At(u * 1.5f, v * 1.5f)) +
                           Hex(0x302418) * (0.3f * glow(u, v));
                },
                0, f[1]);
    }
    // Light shafts from the sun through the haze.
    for (int y = 0; y < Canvas::kH; ++y)
        for (int x = 0; x < Canvas::kW; ++x) {
            float u = Canvas::U(x), v = Canvas::V(y);
            if (v > sv) continue;
            float angle = std::atan2(u - su, sv - v);
            float ray = Smooth(0.15f, 0.6f, n2.Fbm(angle * 6, 0.5f, 3) * 0.5f + 0.5f);
            float fade = Smooth(0, 8, sv - v) * std::exp(-(sv - v) / 30) *
                         (1 - Smooth(0.6f, 1.1f, std::fabs(angle)));
            c.im.At(x, y) = c.im.At(x, y) + Hex(0x40382a) * (ray * fade);
        }
    return std::move(c.im);
}

}  // namespace show_data
