// The night backdrops: the garden, the city and the northern lights.

#include "tools/show_data/scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "tools/show_data/canvas.h"
#include "tools/show_data/paint.h"
#include "tools/show_data/trees.h"

namespace show_data {

namespace {

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

}  // namespace

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
    c.Layer(
        [&](float u, float v) { return v < far.Height(u) + 0.5f * n2.At(u * 0.8f, v * 0.8f); },
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
        if (v < 1.5f) return au < 8.0f;                                     // steps
        if (v < 11) return au < 7.0f && std::fmod(au + 0.5f, 3.2f) < 1.0f;  // columns
        if (v < 12.5f) return au < 7.6f;                                    // ring beam
        float dome = 7.0f * std::sqrt(Clamp01(1 - (v - 12.5f) * (v - 12.5f) / 36.0f));
        if (v < 18.5f) return au < dome;
        return au < 0.25f && v < 21.0f;  // finial
    };
    c.Layer(
        inPavilion,
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
        c.Layer(
            [&](float u, float v) {
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
        c.Layer(
            [&](float u, float v) { return v < 12 && std::fabs(u - cu) < 2.6f * (1 - v / 12.5f); },
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
        c.Layer([&](float u,
                    float v) { return std::fabs(u - lu) < 0.45f && std::fabs(v - 7.3f) < 0.6f; },
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

// City lights: layered towers with lit windows against a night sky that
// glows from the streets, a rising moon, beacons on the masts.
Image CitySkyline() {
    Canvas c;
    Noise n1(41), n2(42);
    Ramp sky{{{0, Hex(0x5a2f48)},
              {7, Hex(0x3c2550)},
              {22, Hex(0x1a1a44)},
              {45, Hex(0x0a0e2a)},
              {70, Hex(0x03050f)}}};
    c.Fill([&](float u, float v) {
        Rgb col = sky(v);
        float haze = Smooth(0.0f, 0.5f, n1.Fbm(u * 0.03f, v * 0.09f, 5)) * Smooth(10, 25, v) *
                     (1 - Smooth(35, 55, v));
        return col + Hex(0x2a1a30) * (haze * 0.8f);
    });
    c.Stars(501, 700, 30, 0.6f, [](float u, float v) { return Smooth(30, 60, v); });
    // A large moon low over the towers on the right.
    const float mu = 47, mv = 38, mr = 5;
    c.Glow(mu, mv, 18, Hex(0x141426));
    c.Layer([&](float u, float v) { return (u - mu) * (u - mu) + (v - mv) * (v - mv) < mr * mr; },
            [&](float u, float v) {
                return Hex(0xf4e6c8) * (0.88f + 0.12f * n2.Fbm(u * 0.6f, v * 0.6f, 4));
            },
            mv - mr - 1, mv + mr + 1);

    // Far towers in the haze, taller in the middle distance.
    auto far = BuildingRow(601, 8, 24, 3, 7, 0.15f,
                           [](float u) { return 0.8f + 0.4f * std::exp(-u * u / 900); });
    c.Layer(
        [&](float u, float v) {
            for (auto& b : far)
                if (InsideBuilding(b, u, v)) return true;
            return false;
        },
        [&](float u, float v) { return BuildingColour(far, u, v, Hex(0x2c2448), 0.45f); }, 0, 45);
    // Middle row.
    auto mid = BuildingRow(602, 8, 26, 4, 9, 0.3f,
                           [](float u) { return 0.7f + 0.5f * Smooth(10, 60, std::fabs(u)); });
    c.Layer(
        [&](float u, float v) {
            for (auto& b : mid)
                if (InsideBuilding(b, u, v)) return true;
            return false;
        },
        [&](float u, float v) { return BuildingColour(mid, u, v, Hex(0x16152a), 0.75f); }, 0, 50);
    // Near landmark towers at the sides, lower blocks in the middle.
    std::vector<Building> near = {
        {-80, -71, 44, 1, 0.45f, 11}, {-70, -64, 30, 0, 0.5f, 12},  {-63, -56, 52, 2, 0.4f, 13},
        {-55, -48, 22, 0, 0.55f, 14}, {-47, -40, 34, 3, 0.35f, 15}, {-30, -24, 14, 0, 0.5f, 16},
        {-12, -4, 10, 0, 0.45f, 17},  {6, 13, 12, 4, 0.5f, 18},     {24, 31, 16, 0, 0.4f, 19},
        {40, 46, 30, 3, 0.45f, 20},   {47, 55, 40, 1, 0.35f, 21},   {56, 63, 26, 0, 0.5f, 22},
        {64, 72, 48, 2, 0.45f, 23},   {73, 81, 33, 0, 0.5f, 24}};
    c.Layer(
        [&](float u, float v) {
            for (auto& b : near)
                if (InsideBuilding(b, u, v)) return true;
            return false;
        },
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
            [&](float u, float v) { return Mix(Hex(0x0c0b14), Hex(0x1a1626), Clamp01(v / 1.4f)); },
            0, 2);
    for (float lu = -78; lu <= 78; lu += 6.5f) {
        c.Glow(lu, 2.3f, 1.6f, Hex(0x3a2410));
        c.Glow(lu, 2.3f, 0.22f, Hex(0xffc070));
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
    auto mountain = [&](const std::function<float(float)>& ridge, Rgb rock, Rgb snowLit,
                        Rgb snowShade, float snowLine) {
        return [&, ridge, rock, snowLit, snowShade, snowLine](float u, float v) {
            float h = ridge(u);
            float slope = (ridge(u + 2.5f) - ridge(u - 2.5f)) / 5.0f;
            float snow =
                Smooth(snowLine - 3, snowLine + 3, v + 2.5f * n3.Fbm(u * 0.15f, v * 0.15f, 3)) *
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
    c.Layer(
        [&](float u, float v) {
            float du = u + 34;
            return (std::fabs(du) < 1.6f && v < 2.6f) ||
                   (v >= 2.6f && v < 3.8f - std::fabs(du) * 0.7f);
        },
        [&](float u, float v) { return Hex(0x05080c); }, 1, 4);
    c.Glow(-33.6f, 1.9f, 0.9f, Hex(0x3a2008));
    c.Layer([&](float u,
                float v) { return std::fabs(u + 33.6f) < 0.35f && std::fabs(v - 1.9f) < 0.35f; },
            [&](float u, float v) { return Hex(0xffc878); }, 1, 3);
    return std::move(c.im);
}

}  // namespace show_data
