// Generates the pictures, sprites and figure files of the shipped show.
//
//   make_show_data <data folder> [scenes] [sprites] [figures]
//
// Without a part named, all three are made.  Everything is procedural and seeded with fixed numbers, so a run gives the
// same files every time.  The output is committed; a build never runs this.
//
// Backdrops are 2048x1024 JPEGs painted in stage units: the picture covers
// x from -80 to 80 and y from 0 to 70, so a circle in those units stays round
// on screen.  Water pictures are 2048x512 JPEGs that tile in both directions,
// because the ripple shader pushes texture coordinates past the edges.
// Sprites are 32-bit bottom-up BMPs with alpha.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "tools/show_data/canvas.h"
#include "tools/show_data/figures.h"
#include "tools/show_data/output.h"
#include "tools/show_data/paint.h"
#include "tools/show_data/sprites.h"
#include "tools/show_data/trees.h"
#include "tools/show_data/water.h"

namespace {

using namespace show_data;

// ---------------------------------------------------------------- scenes

// Night garden: stars and a crescent moon over clipped hedges, topiary,
// cypresses and warm lanterns.
Image NightGarden() {
    Canvas c;
    Noise n1(11), n2(12), n3(13);
    Ramp sky{{{0, Hex(0x1c2d45)}, {12, Hex(0x111d36)}, {35, Hex(0x070d22)}, {70, Hex(0x02040f)}}};
    // The Milky Way runs diagonally across the sky.
    auto band = [](float u, float v) {
        float d = (0.35f * u - v + 44) / 1.06f;
        return std::exp(-d * d / 60.0f);
    };
    c.Fill([&](float u, float v) {
        Rgb col = sky(v + 2 * n1.Fbm(u * 0.03f, v * 0.03f, 3));
        float b = band(u, v);
        float clouds = Clamp01(n2.Fbm(u * 0.05f, v * 0.12f, 5) * 1.4f + 0.1f);
        float dust = Clamp01(n3.Ridged(u * 0.06f, v * 0.06f, 4) * 1.6f - 0.7f);
        col = col + Hex(0x1f2233) * (b * clouds * (1 - 0.7f * dust));
        return col;
    });
    c.Stars(101, 9000, 8, 0.9f, [&](float u, float v) { return 0.22f + 0.78f * band(u, v); });
    c.Stars(102, 700, 10, 1.2f);

    // Moon with its glow; the dark side faintly lit.
    const float mu = -52, mv = 55, mr = 3.0f;
    c.Glow(mu, mv, 16, Hex(0x0c1220) * 1.0f);
    c.Glow(mu, mv, 5, Hex(0x2a2c30) * 0.8f);
    c.Layer([&](float u, float v) { return (u - mu) * (u - mu) + (v - mv) * (v - mv) < mr * mr; },
            [&](float u, float v) {
                float su = u + 1.7f - mu, sv = v - 0.5f - mv;
                bool lit = su * su + sv * sv > mr * mr * 0.96f;
                float maria = 0.85f + 0.15f * n1.Fbm(u * 0.9f, v * 0.9f, 3);
                return lit ? Hex(0xf6efd9) * maria : Hex(0x10182a) * maria;
            },
            mv - mr - 1, mv + mr + 1);

    // Distant tree line.
    TreeRow far(201, -84, 84, 4.5f, 7, 2.5f, 5.5f);
    c.Layer([&](float u, float v) { return v < far.Height(u) + 0.5f * n2.At(u * 0.8f, v * 0.8f); },
            [&](float u, float v) { return Mix(Hex(0x0b1424), Hex(0x101c30), Clamp01((v - 6) / 10)); },
            0, 22);

    // Two broad old trees behind the hedge.
    TreeRow leftTree(211, -52, -36, 3.0f, 13, 4.5f, 6.5f);
    TreeRow rightTree(212, 38, 56, 3.0f, 12, 4.5f, 6.0f);
    for (const TreeRow* t : {&leftTree, &rightTree}) {
        c.Layer(
            [&](float u, float v) {
                float crown = t->Height(u) + 0.8f * n1.Fbm(u * 0.5f, v * 0.5f, 3);
                float mid = (t->crowns.front().u + t->crowns.back().u) / 2;
                return v < crown || (v < 14 && std::fabs(u - mid) < 0.9f + 0.15f * (14 - v));
            },
            [&](float u, float v) {
                float leaf = 0.8f + 0.2f * n3.Fbm(u * 0.9f, v * 0.9f, 3);
                return Hex(0x08121c) * leaf;
            },
            0, 30);
    }

    // A small domed pavilion in the middle of the garden.
    auto inPavilion = [&](float u, float v) {
        float au = std::fabs(u);
        if (v < 1.5f) return au < 8.0f;                           // steps
        if (v < 11) return au < 7.0f && std::fmod(au + 0.5f, 3.2f) < 1.0f;  // columns
        if (v < 12.5f) return au < 7.6f;                          // ring beam
        float dome = 7.0f * std::sqrt(Clamp01(1 - (v - 12.5f) * (v - 12.5f) / 36.0f));
        if (v < 18.5f) return au < dome;
        return au < 0.25f && v < 21.0f;                           // finial
    };
    c.Layer(inPavilion,
            [&](float u, float v) {
                float lit = Clamp01((-u + 7) / 14) * Smooth(10, 18, v);
                return Mix(Hex(0x0d1622), Hex(0x2c3a4c), lit * 0.7f);
            },
            0, 22);
    // Warm light inside it.
    c.Glow(0, 6, 5, Hex(0x2a1a0c));

    // Cypresses at both sides.
    struct Tall {
        float u, h, w;
    };
    const Tall talls[] = {{-72, 40, 3.6f}, {-63, 31, 3.0f}, {-56, 22, 2.4f},
                          {57, 24, 2.5f},  {65, 35, 3.2f},  {74, 44, 3.8f}};
    for (const Tall& t : talls) {
        c.Layer(
            [&](float u, float v) {
                float w = CypressHalfWidth(v, 0, t.h, t.w);
                return w > 0 && std::fabs(u - t.u) < w * (1 + 0.18f * n3.At(v * 1.3f, t.u));
            },
            [&](float u, float v) {
                float rim = Clamp01((t.u - u) / t.w) * 0.5f;  // moon on the left
                return Mix(Hex(0x050b12), Hex(0x182636), rim * Clamp01(v / t.h + 0.3f));
            },
            0, t.h + 1);
    }

    // Clipped hedge with a rim of moonlight along its top.
    auto hedgeTop = [&](float u) { return 4.2f + 0.12f * n1.At(u * 0.7f, 3.3f); };
    c.Layer([&](float u, float v) { return v < hedgeTop(u); },
            [&](float u, float v) {
                float leaf = 0.75f + 0.25f * n2.Fbm(u * 1.5f, v * 1.5f, 3);
                Rgb col = Hex(0x0a1a1c) * leaf;
                return Mix(col, Hex(0x2d4452), Smooth(hedgeTop(u) - 0.5f, hedgeTop(u), v) * 0.6f);
            },
            0, 6);

    // Topiary: balls on square plinths and cones.
    for (float bu : {-44.0f, -30.0f, 30.0f, 44.0f}) {
        c.Layer([&](float u, float v) { return std::fabs(u - bu) < 1.0f && v < 6.2f; },
                [&](float u, float v) { return Hex(0x0b121a); }, 0, 7);
        c.Layer([&](float u, float v) {
                    float du = u - bu, dv = v - 7.9f;
                    return du * du + dv * dv < 4.0f * (1 + 0.1f * n3.At(u * 2, v * 2));
                },
                [&](float u, float v) {
                    float lit = Clamp01(((bu - u) + (v - 7.9f)) / 3);
                    return Mix(Hex(0x08171a), Hex(0x2b4350), lit * 0.7f);
                },
                5, 11);
    }
    for (float cu : {-16.0f, 16.0f}) {
        c.Layer([&](float u, float v) { return v < 12 && std::fabs(u - cu) < 2.6f * (1 - v / 12.5f); },
                [&](float u, float v) {
                    float lit = Clamp01((cu - u) / 2.6f);
                    return Mix(Hex(0x071416), Hex(0x2a414e), lit * 0.6f);
                },
                0, 13);
    }

    // Lanterns on slim posts.
    for (float lu : {-37.0f, -23.0f, -8.0f, 8.0f, 23.0f, 37.0f}) {
        c.Layer([&](float u, float v) { return std::fabs(u - lu) < 0.18f && v < 6.8f; },
                [&](float u, float v) { return Hex(0x0b0f14); }, 0, 7);
        c.Glow(lu, 7.3f, 4.5f, Hex(0x3a2410) * 0.9f);
        c.Glow(lu, 7.3f, 1.2f, Hex(0xa0642a));
        c.Layer([&](float u, float v) { return std::fabs(u - lu) < 0.45f && std::fabs(v - 7.3f) < 0.6f; },
                [&](float u, float v) { return Hex(0xffd89a); }, 6, 8.5f);
    }

    // Fireflies over the hedge.
    Random ff(301);
    for (int i = 0; i < 60; ++i) {
        float u = ff.Range(-75, 75), v = ff.Range(2.5f, 14);
        c.Glow(u, v, 0.35f, Hex(0x3a4a14) * ff.Range(0.4f, 1.0f));
        c.Glow(u, v, 0.08f, Hex(0xe8ff9a) * ff.Range(0.5f, 1.0f));
    }
    return std::move(c.im);
}


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
    c.Layer([&](float u, float v) { return (u - su) * (u - su) + (v - sv) * (v - sv) < sr * sr; },
            [&](float u, float v) { return Mix(Hex(0xfff6d8), Hex(0xffd27a), Clamp01((sv - v) / sr)); },
            sv - sr - 1, sv + sr + 1);

    // Far hills, hazy violet, then nearer and darker ones.
    auto hill = [&](const Noise& n, float u, float base, float amp, float freq) {
        return base + amp * (0.5f + 0.5f * n.Fbm(u * freq, 0.5f, 5, 0.45f));
    };
    c.Layer([&](float u, float v) { return v < hill(n1, u, 3, 11, 0.02f); },
            [&](float u, float v) { return Mix(Hex(0x9a5a78), Hex(0xb06a78), Clamp01(1 - v / 14)); },
            0, 16);
    c.Layer([&](float u, float v) { return v < hill(n2, u + 40, 1, 8, 0.03f) - 2 * Smooth(-30, 10, u); },
            [&](float u, float v) { return Mix(Hex(0x5c3456), Hex(0x6e3c5a), Clamp01(1 - v / 10)); },
            0, 12);
    // Pine-clad shore on the right, rising out of the water.
    auto shore = [&](float u) { return -2 + 14 * Smooth(10, 60, u) + 2 * n3.Fbm(u * 0.05f, 1.5f, 3); };
    c.Layer(
        [&](float u, float v) {
            float h = shore(u);
            if (v < h) return true;
            // Pines standing on the shore line, two staggered rows.
            for (int row = 0; row < 2; ++row) {
                float pitch = row ? 1.3f : 1.9f;
                float cell = std::floor((u + row * 0.7f) / pitch);
                for (float k = cell - 1; k <= cell + 1; ++k) {
                    float cu = (k + 0.5f) * pitch - row * 0.7f + 0.6f * (HashUnit(int(k), row, 5) - 0.5f);
                    if (cu < 6) continue;
                    float ph = (2.5f + 6.5f * HashUnit(int(k), row + 7, 5)) * (0.3f + 0.7f * Smooth(0, 45, cu));
                    float base = shore(cu) - 0.5f - row * 1.2f;
                    if (v < base || v > base + ph) continue;
                    float t = (v - base) / ph;
                    float tier = std::fmod(t * (5 + row) + HashUnit(int(k), 3, 5), 1.0f);
                    if (std::fabs(u - cu) < 1.0f * (1 - t) * (0.6f + 0.4f * tier)) return true;
                }
            }
            return false;
        },
        [&](float u, float v) { return Mix(Hex(0x24142a), Hex(0x2e1a32), Clamp01(v / 20)); }, 0, 24);
    // A low headland on the left.
    c.Layer([&](float u, float v) { return v < -1.0f + 8.5f * (1 - Smooth(-80, -45, u)) + 1.2f * n2.Fbm(u * 0.12f, 4.4f, 3); },
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
                    if (std::fabs(u - du) < w && v < top) wall = Hex(0x2c2520);
                    else if (std::fabs(u - du) < w + 0.8f && v < top + 0.8f) wall = Hex(0xa39886);
                }
                return wall * (0.95f + 0.05f * n1.At(u, v));
            },
            0, 32);
    // Columns: fluted, shaded as cylinders lit from the front left, each
    // casting a shadow to its right on the wall.
    const float columnBase = 3, capital = 28.2f;
    for (int k = 0; k < 10; ++k) {
        float cu = -54 + 12.0f * k;
        c.Layer([&](float u, float v) { return u > cu && u < std::min(cu + 5, 58.5f) && v > 3 && v < 30; },
                [&](float u, float v) { return Hex(0x4a423a); }, 3, 30, 0.35f);
        auto radius = [&](float v) {
            float t = (v - columnBase) / (capital - columnBase);
            return 1.65f - 0.3f * t * t;
        };
        c.Layer(
            [&](float u, float v) {
                if (v < columnBase || v > 31) return false;
                if (v < columnBase + 0.5f) return std::fabs(u - cu) < 2.3f;         // plinth
                if (v < columnBase + 1.2f) return std::fabs(u - cu) < 2.0f;         // torus
                if (v < capital) return std::fabs(u - cu) < radius(v);              // shaft
                if (v < capital + 0.8f) return std::fabs(u - cu) < 1.7f + (v - capital) * 0.9f;
                return std::fabs(u - cu) < 2.5f;                                    // abacus
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
    c.Layer([&](float u, float v) { return std::fabs(u) < (v > 35.5f ? 60.0f : 59.0f) && v >= 30.8f && v < 37.2f; },
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
    c.Layer([&](float u, float v) { return v >= 37.2f && v < 37.2f + 11.5f * (1 - std::fabs(u) / 34); },
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
                return Mix(Hex(0x1c3320), Hex(0x4c6e3c), lit * 0.8f) * (0.85f + 0.15f * n1.At(u * 2, v * 2));
            },
            0, h + 3);
    }
    for (float uu : {-60.5f, 60.5f}) {
        c.Layer([&](float u, float v) {
                    float du = std::fabs(u - uu), dv = v - 5.2f;
                    return (v > 3 && v < 3.6f && du < 1.0f) || (du * du / 2.6f + dv * dv / 2.2f < 1) ||
                           (v > 6.3f && v < 6.8f && du < 1.2f);
                },
                [&](float u, float v) { return Mix(Hex(0xd9cbb4), Hex(0x8c7b66), Clamp01((u - uu) / 1.6f + 0.4f)); },
                3, 7);
    }
    return std::move(c.im);
}

// A row of buildings for the city: each has a roof style and its own
// pattern of lit windows.
struct Building {
    float u0, u1, h;
    int style;  // 0 flat, 1 set-back, 2 spire, 3 antenna, 4 pyramid
    float lit;  // share of lit windows
    uint32_t seed;
};

bool InsideBuilding(const Building& b, float u, float v) {
    if (u < b.u0 || u > b.u1 || v < 0) return false;
    float mid = (b.u0 + b.u1) / 2, half = (b.u1 - b.u0) / 2;
    float du = std::fabs(u - mid);
    switch (b.style) {
        case 1:
            if (v < b.h * 0.8f) return true;
            if (v < b.h * 0.92f) return du < half * 0.7f;
            return v < b.h && du < half * 0.4f;
        case 2:
            if (v < b.h) return true;
            return v < b.h + half * 3.2f && du < half * (1 - (v - b.h) / (half * 3.2f)) * 0.35f;
        case 3:
            if (v < b.h) return true;
            return v < b.h + 5 && du < 0.09f;
        case 4:
            if (v < b.h) return true;
            return v < b.h + half * 0.9f && du < half * (1 - (v - b.h) / (half * 0.9f));
        default:
            return v < b.h;
    }
}

std::vector<Building> BuildingRow(uint64_t seed, float hMin, float hMax, float wMin, float wMax,
                                  float lit, const std::function<float(float)>& heightScale) {
    Random rnd(seed);
    std::vector<Building> row;
    for (float u = -84; u < 84;) {
        float w = rnd.Range(wMin, wMax);
        float h = rnd.Range(hMin, hMax) * heightScale(u + w / 2);
        int style = rnd.Unit() < 0.55f ? 0 : 1 + rnd.Int(4);
        row.push_back({u, u + w, h, style, lit * rnd.Range(0.5f, 1.3f), uint32_t(rnd.Next())});
        u += w + rnd.Range(-0.4f * w, 0.3f);
    }
    return row;
}

Rgb BuildingColour(const std::vector<Building>& row, float u, float v, Rgb body, float windowGain) {
    for (const Building& b : row) {
        if (!InsideBuilding(b, u, v)) continue;
        // Windows: a grid over the main block; whole floors are sometimes lit.
        if (v > b.h - 0.4f || u < b.u0 + 0.3f || u > b.u1 - 0.3f) return body;
        float gx = (u - b.u0 - 0.3f) / 0.7f, gy = v / 1.0f;
        int col = int(gx), floor = int(gy);
        float fx = gx - col, fy = gy - floor;
        if (fx < 0.25f || fx > 0.8f || fy < 0.3f || fy > 0.8f) return body;
        float floorLit = HashUnit(floor, 7, b.seed) < 0.1f ? 0.85f : 0.0f;
        float p = HashUnit(col, floor, b.seed);
        if (p > std::max(b.lit, floorLit)) return body + Hex(0x0a0a12);
        float tone = HashUnit(col, floor, b.seed ^ 0x5555u);
        Rgb light = tone < 0.6f ? Hex(0xffd690) : (tone < 0.85f ? Hex(0xd8ecff) : Hex(0xffa860));
        return Mix(body, light * (0.55f + 0.45f * HashUnit(col + 99, floor, b.seed)), windowGain);
    }
    return body;
}

// City lights: layered towers with lit windows against a night sky that
// glows from the streets, a rising moon, beacons on the masts.
Image CitySkyline() {
    Canvas c;
    Noise n1(41), n2(42);
    Ramp sky{{{0, Hex(0x5a2f48)}, {7, Hex(0x3c2550)}, {22, Hex(0x1a1a44)}, {45, Hex(0x0a0e2a)}, {70, Hex(0x03050f)}}};
    c.Fill([&](float u, float v) {
        Rgb col = sky(v);
        float haze = Smooth(0.0f, 0.5f, n1.Fbm(u * 0.03f, v * 0.09f, 5)) * Smooth(10, 25, v) * (1 - Smooth(35, 55, v));
        return col + Hex(0x2a1a30) * (haze * 0.8f);
    });
    c.Stars(501, 700, 30, 0.6f, [](float u, float v) { return Smooth(30, 60, v); });
    // A large moon low over the towers on the right.
    const float mu = 47, mv = 38, mr = 5;
    c.Glow(mu, mv, 18, Hex(0x141426));
    c.Layer([&](float u, float v) { return (u - mu) * (u - mu) + (v - mv) * (v - mv) < mr * mr; },
            [&](float u, float v) { return Hex(0xf4e6c8) * (0.88f + 0.12f * n2.Fbm(u * 0.6f, v * 0.6f, 4)); },
            mv - mr - 1, mv + mr + 1);

    // Far towers in the haze, taller in the middle distance.
    auto far = BuildingRow(601, 8, 24, 3, 7, 0.15f, [](float u) { return 0.8f + 0.4f * std::exp(-u * u / 900); });
    c.Layer([&](float u, float v) { for (auto& b : far) if (InsideBuilding(b, u, v)) return true; return false; },
            [&](float u, float v) { return BuildingColour(far, u, v, Hex(0x2c2448), 0.45f); }, 0, 45);
    // Middle row.
    auto mid = BuildingRow(602, 8, 26, 4, 9, 0.3f, [](float u) { return 0.7f + 0.5f * Smooth(10, 60, std::fabs(u)); });
    c.Layer([&](float u, float v) { for (auto& b : mid) if (InsideBuilding(b, u, v)) return true; return false; },
            [&](float u, float v) { return BuildingColour(mid, u, v, Hex(0x16152a), 0.75f); }, 0, 50);
    // Near landmark towers at the sides, lower blocks in the middle.
    std::vector<Building> near = {
        {-80, -71, 44, 1, 0.45f, 11}, {-70, -64, 30, 0, 0.5f, 12}, {-63, -56, 52, 2, 0.4f, 13},
        {-55, -48, 22, 0, 0.55f, 14}, {-47, -40, 34, 3, 0.35f, 15}, {-30, -24, 14, 0, 0.5f, 16},
        {-12, -4, 10, 0, 0.45f, 17},  {6, 13, 12, 4, 0.5f, 18},     {24, 31, 16, 0, 0.4f, 19},
        {40, 46, 30, 3, 0.45f, 20},   {47, 55, 40, 1, 0.35f, 21},   {56, 63, 26, 0, 0.5f, 22},
        {64, 72, 48, 2, 0.45f, 23},   {73, 81, 33, 0, 0.5f, 24}};
    c.Layer([&](float u, float v) { for (auto& b : near) if (InsideBuilding(b, u, v)) return true; return false; },
            [&](float u, float v) { return BuildingColour(near, u, v, Hex(0x08080f), 0.95f); }, 0, 62);
    // Red beacons on the masts and spires.
    for (const Building& b : near) {
        float mid = (b.u0 + b.u1) / 2, half = (b.u1 - b.u0) / 2;
        float top = b.style == 3 ? b.h + 5 : (b.style == 2 ? b.h + half * 3.2f : -1);
        if (top < 0) continue;
        c.Glow(mid, top, 1.4f, Hex(0x501010));
        c.Glow(mid, top, 0.2f, Hex(0xff5040));
    }
    // Embankment with a row of street lamps at the water's edge.
    c.Layer([&](float u, float v) { return v < 1.4f; },
            [&](float u, float v) { return Mix(Hex(0x0c0b14), Hex(0x1a1626), Clamp01(v / 1.4f)); }, 0, 2);
    for (float lu = -78; lu <= 78; lu += 6.5f) {
        c.Glow(lu, 2.3f, 1.6f, Hex(0x3a2410));
        c.Glow(lu, 2.3f, 0.22f, Hex(0xffc070));
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
                    if (std::fabs(u - t.u) < t.w && InsideSpruce(u, v, t.u, r.base, t.h, t.w, n3, t.id))
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
    const float frame[][3] = {{-77, 64, 11}, {-64, 48, 8.5f}, {-55, 34, 6},
                              {57, 38, 6.5f}, {67, 54, 9.5f}, {79, 66, 11}};
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
            float fade = Smooth(0, 8, sv - v) * std::exp(-(sv - v) / 30) * (1 - Smooth(0.6f, 1.1f, std::fabs(angle)));
            c.im.At(x, y) = c.im.At(x, y) + Hex(0x40382a) * (ray * fade);
        }
    return std::move(c.im);
}

// Northern lights: green and violet curtains over snowy peaks on a still
// winter night.
Image NorthernLights() {
    Canvas c;
    Noise n1(61), n2(62), n3(63);
    Ramp sky{{{0, Hex(0x0f2a36)}, {15, Hex(0x0a1a2c)}, {40, Hex(0x050c1c)}, {70, Hex(0x02040c)}}};
    c.Fill([&](float u, float v) { return sky(v); });
    c.Stars(801, 5000, 6, 0.8f);
    // Two curtains: a ribbon that winds across the sky, with rays rising
    // from its bright lower edge, green below turning violet at the top.
    struct Curtain {
        float base, amp, freq, phase, gain;
    };
    const Curtain curtains[] = {{30, 8, 0.035f, 0.3f, 1.0f}, {44, 5, 0.05f, 2.1f, 0.55f}};
    for (int y = 0; y < Canvas::kH; ++y)
        for (int x = 0; x < Canvas::kW; ++x) {
            float u = Canvas::U(x), v = Canvas::V(y);
            Rgb add;
            for (const Curtain& k : curtains) {
                float edge = k.base + k.amp * std::sin(u * k.freq + k.phase) +
                             3 * n1.Fbm(u * 0.02f + k.phase, 0.7f, 3);
                float above = v - edge;
                if (above < -2.0f) continue;
                float r = n2.Fbm(u * 0.5f + k.phase, above * 0.012f, 4) * 0.5f + 0.5f;
                float rays = 0.4f + 0.6f * Smooth(0.3f, 0.75f, r);
                float body = (0.35f * std::exp(-std::max(0.0f, above) / 14) +
                              0.65f * std::exp(-std::max(0.0f, above) / 3.5f)) *
                             Smooth(-2.0f, 0.3f, above);
                float sway = 0.5f + 0.5f * Smooth(-0.3f, 0.5f, n3.Fbm(u * 0.03f, k.phase, 3));
                float kk = body * rays * sway * k.gain;
                Rgb tint = Mix(Hex(0x7affc0), Hex(0x30e088), Smooth(0, 3, above));
                tint = Mix(tint, Hex(0xa050e0), Smooth(6, 22, above));
                add = add + tint * (kk * 0.9f);
            }
            c.im.At(x, y) = c.im.At(x, y) + add;
        }
    // Mountains: a far ridge and a near one, snow on the upper slopes, the
    // slopes facing left catching the glow of the sky.
    auto farRidge = [&](float u) {
        float r = n1.Ridged(u * 0.022f, 0.3f, 6);
        return 4 + 28 * r * r;
    };
    auto nearRidge = [&](float u) {
        float r = n2.Ridged(u * 0.03f + 3, 0.3f, 6);
        return 1 + (3 + 20 * r * r) * Smooth(5, 45, std::fabs(u + 8));
    };
    auto mountain = [&](const std::function<float(float)>& ridge, Rgb rock, Rgb snowLit, Rgb snowShade, float snowLine) {
        return [&, ridge, rock, snowLit, snowShade, snowLine](float u, float v) {
            float h = ridge(u);
            float slope = (ridge(u + 2.5f) - ridge(u - 2.5f)) / 5.0f;
            float snow = Smooth(snowLine - 3, snowLine + 3, v + 2.5f * n3.Fbm(u * 0.15f, v * 0.15f, 3)) *
                         Smooth(h - 14, h - 2, v + 4);
            Rgb white = Mix(snowShade, snowLit, Smooth(-1.2f, 1.2f, slope));
            return Mix(rock, white, snow * (0.8f + 0.2f * n2.At(u * 0.3f, v * 0.3f)));
        };
    };
    c.Layer([&](float u, float v) { return v < farRidge(u); },
            mountain(farRidge, Hex(0x0f1c2c), Hex(0x86a8b4), Hex(0x3c5466), 12), 0, 36);
    c.Layer([&](float u, float v) { return v < nearRidge(u); },
            mountain(nearRidge, Hex(0x070d18), Hex(0x6e8e94), Hex(0x2a3c48), 10), 0, 30);
    // A dark shoreline with a lit cabin.
    c.Layer([&](float u, float v) { return v < 1.2f + 0.3f * n3.At(u * 0.3f, 0.5f); },
            [&](float u, float v) { return Hex(0x03070c); }, 0, 2);
    c.Layer([&](float u, float v) {
                float du = u + 34;
                return (std::fabs(du) < 1.6f && v < 2.6f) || (v >= 2.6f && v < 3.8f - std::fabs(du) * 0.7f);
            },
            [&](float u, float v) { return Hex(0x05080c); }, 1, 4);
    c.Glow(-33.6f, 1.9f, 0.9f, Hex(0x3a2008));
    c.Layer([&](float u, float v) { return std::fabs(u + 33.6f) < 0.35f && std::fabs(v - 1.9f) < 0.35f; },
            [&](float u, float v) { return Hex(0xffc878); }, 1, 3);
    return std::move(c.im);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <data folder> [scenes] [sprites] [figures]\n", argv[0]);
        return 2;
    }
    std::string data = argv[1];
    if (data.back() != '/') data += '/';
    // Without a part named, everything is made.
    auto wanted = [&](const char* part) {
        if (argc == 2) return true;
        for (int i = 2; i < argc; ++i)
            if (std::strcmp(argv[i], part) == 0) return true;
        return false;
    };
    bool ok = true;
    auto scene = [&](const char* folder, Image (*paint)(), uint32_t seed, const WaterPalette& water) {
        std::string dir = data + folder + "/";
        ok = MakeDirectories(dir) && ok;
        ok = WriteJpeg(paint(), dir + "backdrop.jpg", 84) && ok;
        ok = WriteJpeg(WaterPicture(seed, water), dir + "water.jpg", 84) && ok;
        std::printf("%s\n", folder);
    };
    if (wanted("scenes")) {
        scene("nightGarden", NightGarden, 1100,
              {Hex(0x04101e), Hex(0x0b2438), Hex(0x1c4660), Hex(0x6a8cb8), 0.5f, 7, false});
        scene("sunsetLake", SunsetLake, 1200,
              {Hex(0x101a3a), Hex(0x22305c), Hex(0x3c4a72), Hex(0xffa050), 0.6f, 4.5f, false});
        scene("marblePlaza", MarblePlaza, 1300,
              {Hex(0x0c6478), Hex(0x2496a6), Hex(0x50bcc0), Hex(0xd8fff8), 0.35f, 7, true});
        scene("citySkyline", CitySkyline, 1400,
              {Hex(0x050a1a), Hex(0x0e1a34), Hex(0x1e2e50), Hex(0xffb860), 0.55f, 6, false});
        scene("mistyForest", MistyForest, 1500,
              {Hex(0x2a3e42), Hex(0x4c6466), Hex(0x7e9290), Hex(0xf0e6d4), 0.45f, 5, false});
        scene("northernLights", NorthernLights, 1600,
              {Hex(0x03101a), Hex(0x082632), Hex(0x104244), Hex(0x58ffb8), 0.5f, 6, false});
    }
    if (wanted("sprites")) ok = WriteSprites(data) && ok;
    if (wanted("figures")) ok = WriteFigures(data + "_figures/") && ok;
    return ok ? 0 : 1;
}
