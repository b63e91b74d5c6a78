// Tree outlines shared by several backdrops, in stage units.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/show_data/paint.h"

namespace show_data {

// Crown line of a row of round-topped trees: the height of the tallest crown
// over u, roughened by noise.
struct TreeRow {
    struct Crown {
        float u, v, r;
    };
    std::vector<Crown> crowns;
    TreeRow(uint64_t seed, float u0, float u1, float spacing, float base, float rMin, float rMax);
    float Height(float u) const;
};

// A narrow pointed tree (cypress, poplar): half width at height v.
float CypressHalfWidth(float v, float base, float height, float width);

// A spruce: jagged tiers narrowing to a spire.
bool InsideSpruce(float u, float v, float cu, float base, float height, float width, const Noise& n,
                  uint32_t id);

}  // namespace show_data
