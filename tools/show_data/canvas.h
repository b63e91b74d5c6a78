// The canvas the scene backdrops are painted on.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/show_data/paint.h"

namespace show_data {

// A backdrop painted in stage units: u from -80 (left) to 80, v from 0
// (the water line) to 70 (top).  The picture is 2048x1024, so a circle in
// these units stays round on screen.
class Canvas {
public:
    static constexpr int kW = 2048, kH = 1024;
    static constexpr float kU0 = -80, kU1 = 80, kV1 = 70;
    Image im{kW, kH};

    static float U(float x) { return kU0 + (kU1 - kU0) * (x + 0.5f) / kW; }
    static float V(float y) { return kV1 * (1 - (y + 0.5f) / kH); }
    static float Du() { return (kU1 - kU0) / kW; }
    static float Dv() { return kV1 / kH; }
    static int Column(float u) { return int((u - kU0) / (kU1 - kU0) * kW); }
    static int Row(float v) { return int((1 - v / kV1) * kH); }

    // Every pixel gets colour(u, v).
    void Fill(const std::function<Rgb(float, float)>& colour);

    // Blends a shape over the picture: inside(u, v) is sampled eight times a
    // pixel for smooth edges, colour(u, v) once.  v0..v1 bounds the work.
    void Layer(const std::function<bool(float, float)>& inside,
               const std::function<Rgb(float, float)>& colour, float v0 = 0, float v1 = 70,
               float opacity = 1);

    // Adds light: colour times a round glow of the given radius (stage
    // units) and fall-off power, around (cu, cv).
    void Glow(float cu, float cv, float radius, Rgb colour, float reach = 4);

    // A field of stars above the line v = above, few of them bright.  When
    // density is given, it is the share of stars kept at (u, v).
    void Stars(uint64_t seed, int count, float above, float brightness,
               const std::function<float(float, float)>& density = nullptr);
};

}  // namespace show_data
