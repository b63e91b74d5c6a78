// The painting kit every generated picture uses: colours and colour ramps,
// seeded random numbers, hash and gradient noise, and the picture buffer.
// Everything is deterministic so that a run gives the same files every time.
#pragma once

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace show_data {

constexpr float kPi = 3.14159265358979f;

struct Rgb {
    float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb Hex(uint32_t v) {
    return {((v >> 16) & 255) / 255.0f, ((v >> 8) & 255) / 255.0f, (v & 255) / 255.0f};
}
inline float Clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }
inline float Mix(float a, float b, float t) { return a + (b - a) * t; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
inline float Smooth(float e0, float e1, float x) {
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// A colour ramp: stops at increasing positions, smooth between them.
struct Ramp {
    std::vector<std::pair<float, Rgb>> stops;
    Rgb operator()(float t) const;
};

// Small deterministic generator (xorshift64*), independent of the library's
// distributions so that every platform draws the same numbers.
class Random {
public:
    explicit Random(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next() {
        s_ ^= s_ >> 12;
        s_ ^= s_ << 25;
        s_ ^= s_ >> 27;
        return s_ * 0x2545F4914F6CDD1Dull;
    }
    float Unit() { return (Next() >> 40) / float(1 << 24); }  // [0, 1)
    float Range(float a, float b) { return a + (b - a) * Unit(); }
    int Int(int n) { return int(Next() % uint64_t(n)); }

private:
    uint64_t s_;
};

inline uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2du ^ uint32_t(x) * 0x85ebca6bu ^ uint32_t(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}
inline float HashUnit(int x, int y, uint32_t seed) {
    return (Hash(x, y, seed) >> 8) / float(1 << 24);
}

// Gradient noise in [-1, 1] (roughly), periodic with px by py lattice cells.
// Defined in the class so that calls inline and the lattice wrap folds for
// the default periods: the backdrops spend most of their time here.
class Noise {
public:
    explicit Noise(uint32_t seed) : seed_(seed) {
        for (int i = 0; i < 16; ++i) {
            gx_[i] = std::cos(2 * kPi * i / 16);
            gy_[i] = std::sin(2 * kPi * i / 16);
        }
    }
    float At(float x, float y, int px = 1 << 16, int py = 1 << 16) const {
        float fx = std::floor(x), fy = std::floor(y);
        int ix = int(fx), iy = int(fy);
        float dx = x - fx, dy = y - fy;
        float ux = Fade(dx), uy = Fade(dy);
        float n00 = Grad(ix, iy, px, py, dx, dy);
        float n10 = Grad(ix + 1, iy, px, py, dx - 1, dy);
        float n01 = Grad(ix, iy + 1, px, py, dx, dy - 1);
        float n11 = Grad(ix + 1, iy + 1, px, py, dx - 1, dy - 1);
        return 1.4f * Mix(Mix(n00, n10, ux), Mix(n01, n11, ux), uy);
    }
    // Fractal sum; with periods given, every octave tiles with them.
    float Fbm(float x, float y, int octaves, float gain = 0.5f, int px = 1 << 16,
              int py = 1 << 16) const {
        float sum = 0, amp = 1, norm = 0;
        for (int o = 0; o < octaves; ++o) {
            sum += amp * At(x, y, px, py);
            norm += amp;
            amp *= gain;
            x *= 2;
            y *= 2;
            px *= 2;
            py *= 2;
            x += 17.3f;  // decorrelate octaves (a whole lattice shift keeps tiling)
            y += 5.0f;
        }
        return sum / norm;
    }
    // Ridged variant: sharp crests where the noise crosses zero.
    float Ridged(float x, float y, int octaves, int px = 1 << 16, int py = 1 << 16) const {
        float sum = 0, amp = 1, norm = 0;
        for (int o = 0; o < octaves; ++o) {
            float n = 1 - std::fabs(At(x, y, px, py));
            sum += amp * n * n;
            norm += amp;
            amp *= 0.5f;
            x *= 2;
            y *= 2;
            px *= 2;
            py *= 2;
        }
        return sum / norm;
    }

private:
    static float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    float Grad(int ix, int iy, int px, int py, float dx, float dy) const {
        ix = ((ix % px) + px) % px;
        iy = ((iy % py) + py) % py;
        uint32_t h = Hash(ix, iy, seed_) & 15;
        return gx_[h] * dx + gy_[h] * dy;
    }
    uint32_t seed_;
    float gx_[16], gy_[16];
};

// A picture being painted, top row first, colour in [0, 1] per channel.
struct Image {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    std::vector<float> alpha;  // only for sprites
    Image(int width, int height) : w(width), h(height), px(size_t(width) * height) {}
    Rgb& At(int x, int y) { return px[size_t(y) * w + x]; }
};

}  // namespace show_data
