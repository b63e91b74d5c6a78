#include "tools/show_data/trees.h"

#include <algorithm>
#include <cmath>

namespace show_data {

TreeRow::TreeRow(uint64_t seed, float u0, float u1, float spacing, float base, float rMin,
                 float rMax) {
    Random rnd(seed);
    for (float u = u0; u < u1; u += spacing * rnd.Range(0.6f, 1.3f)) {
        float r = rnd.Range(rMin, rMax);
        crowns.push_back({u, base + rnd.Range(-0.3f, 1.0f) * r * 0.6f, r});
    }
}

float TreeRow::Height(float u) const {
    float h = -1e9f;
    for (const Crown& c : crowns) {
        float d = u - c.u;
        if (std::fabs(d) < c.r) h = std::max(h, c.v + std::sqrt(c.r * c.r - d * d) * 0.85f);
    }
    return h;
}

float CypressHalfWidth(float v, float base, float height, float width) {
    float t = (v - base) / height;
    if (t < 0 || t > 1) return -1;
    return width * std::pow(1 - t, 0.6f) * std::min(1.0f, 0.35f + t * 5);
}

bool InsideSpruce(float u, float v, float cu, float base, float height, float width, const Noise& n,
                  uint32_t id) {
    float t = (v - base) / height;
    if (t < -0.02f || t > 1) return false;
    if (t < 0.05f) return std::fabs(u - cu) < width * 0.07f;  // trunk
    float tiers = 11 + float(id % 5);
    float tier = std::fmod(t * tiers + 0.37f * id, 1.0f);
    float w = width * std::pow(1 - t, 0.9f) * (0.68f + 0.32f * tier);
    w *= 1 + 0.3f * n.At(v * 2.3f, float(id) * 3.1f + (u < cu ? 0 : 7.7f));
    return std::fabs(u - cu) < w;
}

}  // namespace show_data
