// The water pictures under the backdrops: 2048x512 and seamless in both
// directions, because the ripple shader pushes texture coordinates past the
// edges.
#pragma once

#include <cstdint>

#include "tools/show_data/paint.h"

namespace show_data {

// Colours of one water picture: a ramp from deep to light water and the
// colour of glints on the wave crests.
struct WaterPalette {
    Rgb deep, mid, light, glint;
    float glintAmount;
    float glintSharpness;  // higher: thinner glints on the crests
    bool caustics;         // a bright network as on the floor of a pool
};

// A water surface that tiles in both directions: swells, crossing ripples
// and fine chop, all from noise with whole periods across the picture.  The
// picture spans 160 by 70 stage units, so features are stretched to look
// round (or a little wider than deep) on the water.
Image WaterPicture(uint32_t seed, const WaterPalette& pal);

}  // namespace show_data
