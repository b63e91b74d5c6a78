// The texture levels gluBuild2DMipmaps makes of an RGB picture, made on the
// processor without GL, so that a worker thread can make them ahead of the
// frame that shows them; the main thread then uploads them one by one.
//
// GLU sizes level 0 by rounding each side to a power of two (its own
// rounding: 1920 becomes 2048, 1200 becomes 1024), scales the picture to
// that size with its box filter when the size differs, and halves level by
// level down to 1 x 1.  The same arithmetic here gives the same bytes in
// every level, so a texture made from these levels is the one GLU makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The side GLU gives level 0 for a picture side of n pixels (n > 0).
int GluLevelSide(int n);

class TextureLevels {
public:
    enum { kMaxLevels = 32 };

    // Builds every level from a width x height picture of RGB pixels, rows
    // bottom first with no padding.  False (nothing built) when the sides
    // are not positive or the memory cannot be had.
    bool Build(const unsigned char* rgb, int width, int height);

    int count() const { return count_; }
    int width(int level) const { return width_[level]; }
    int height(int level) const { return height_[level]; }
    const unsigned char* pixels(int level) const { return pixels_.get() + offset_[level]; }
    void Clear();

private:
    int count_ = 0;
    int width_[kMaxLevels] = {};
    int height_[kMaxLevels] = {};
    size_t offset_[kMaxLevels] = {};
    std::unique_ptr<unsigned char[]> pixels_;
};
