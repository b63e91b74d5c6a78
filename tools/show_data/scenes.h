// The six scene backdrops: 2048x1024 pictures painted on a Canvas in stage
// units, each from its own fixed seeds.
#pragma once

#include "tools/show_data/paint.h"

namespace show_data {

// At night.
Image NightGarden();
Image CitySkyline();
Image NorthernLights();

// By daylight, from dawn to sunset.
Image SunsetLake();
Image MarblePlaza();
Image MistyForest();

}  // namespace show_data
