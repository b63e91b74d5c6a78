// Largest picture the loaders accept.  Beyond it a file is taken as broken
// rather than allocating hundreds of megabytes for one texture.
#pragma once

#include <cstdint>

// Pixels in one picture (an 8192 x 8192 picture, or 8K video frames, fit).
const uint64_t kMaxPicturePixels = 64ull * 1024 * 1024;
