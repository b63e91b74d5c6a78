#include "textures/texture_levels.h"

#include <cmath>
#include <cstring>
#include <new>

int GluLevelSide(int n) {
    // Halves n until it is 1 or 3, doubling the answer as it goes: a side
    // whose two top bits are set rounds up, any other down.
    int side = 1;
    for (unsigned v = (unsigned)n; v > 1; v >>= 1, side *= 2)
        if (v == 3) return side * 4;
    return side;
}

namespace {

const int kRgb = 3;

// GLU's box filter from an RGB picture to another size: every output pixel
// is the area-weighted mean of the input pixels its box covers, summed in
// single precision in GLU's order (first row, last row, first and last
// columns, then the inside), divided by the box's area and truncated.
// Reads outside the picture count as 0.
class BoxScaler {
public:
    BoxScaler(const unsigned char* in, int inW, int inH) : in_(in), inW_(inW), inH_(inH) {}

    void Scale(unsigned char* out, int outW, int outH) const {
        const float convy = (float)inH_ / outH;
        const float convx = (float)inW_ / outW;
        const int convyInt = (int)std::floor(convy);
        const float convyFrac = convy - convyInt;
        const int convxInt = (int)std::floor(convx);
        const float convxFrac = convx - convxInt;
        const float area = convx * convy;

        int lowY = 0, highY = convyInt;
        float lowYf = 0, highYf = convyFrac;
        for (int i = 0; i < outH; ++i) {
            if (highY >= inH_) highY = inH_ - 1;
            int lowX = 0, highX = convxInt;
            float lowXf = 0, highXf = convxFrac;
            for (int j = 0; j < outW; ++j) {
                float totals[kRgb] = {0, 0, 0};
                Box(totals, lowX, lowXf, highX, highXf, lowY, lowYf, highY, highYf);
                unsigned char* o = out + ((size_t)i * outW + j) * kRgb;
                for (int k = 0; k < kRgb; ++k) o[k] = (unsigned char)(int)(totals[k] / area);
                lowX = highX;
                lowXf = highXf;
                highX += convxInt;
                highXf += convxFrac;
                if (highXf > 1) {
                    highXf -= 1.0f;
                    ++highX;
                }
            }
            lowY = highY;
            lowYf = highYf;
            highY += convyInt;
            highYf += convyFrac;
            if (highYf > 1) {
                highYf -= 1.0f;
                ++highY;
            }
        }
    }

private:
    // Sample k of pixel (x, y), addressed as one run of rows.
    float At(int x, int y, int k) const {
        const long index = ((long)y * inW_ + x) * kRgb + k;
        return index >= 0 && index < (long)inW_ * inH_ * kRgb ? (float)in_[index] : 0.0f;
    }
    void AddRow(float* t, int y, int x0, int x1, float first, float middle, float last) const {
        for (int k = 0; k < kRgb; ++k) t[k] += At(x0, y, k) * first;
        for (int x = x0 + 1; x < x1; ++x)
            for (int k = 0; k < kRgb; ++k) t[k] += At(x, y, k) * middle;
        for (int k = 0; k < kRgb; ++k) t[k] += At(x1, y, k) * last;
    }

    void Box(float* t, int lowX, float lowXf, int highX, float highXf, int lowY, float lowYf,
             int highY, float highYf) const {
        if (highY > lowY && highX > lowX) {
            float yPart = 1 - lowYf;
            AddRow(t, lowY, lowX, highX, yPart * (1 - lowXf), yPart, yPart * highXf);
            yPart = highYf;
            AddRow(t, highY, lowX, highX, yPart * (1 - lowXf), yPart, yPart * highXf);
            for (int y = lowY + 1; y < highY; ++y)
                for (int k = 0; k < kRgb; ++k)
                    t[k] += At(lowX, y, k) * (1 - lowXf) + At(highX, y, k) * highXf;
        } else if (highY > lowY) {
            const float xPart = highXf - lowXf;
            for (int k = 0; k < kRgb; ++k) t[k] += At(lowX, lowY, k) * ((1 - lowYf) * xPart);
            for (int y = lowY + 1; y < highY; ++y)
                for (int k = 0; k < kRgb; ++k) t[k] += At(lowX, y, k) * xPart;
            for (int k = 0; k < kRgb; ++k) t[k] += At(lowX, highY, k) * (xPart * highYf);
        } else if (highX > lowX) {
            const float yPart = highYf - lowYf;
            AddRow(t, lowY, lowX, highX, (1 - lowXf) * yPart, yPart, yPart * highXf);
        } else {
            const float part = (highYf - lowYf) * (highXf - lowXf);
            for (int k = 0; k < kRgb; ++k) t[k] += At(lowX, lowY, k) * part;
        }
        // The pixels wholly inside the box.
        for (int y = lowY + 1; y < highY; ++y)
            for (int x = lowX + 1; x < highX; ++x)
                for (int k = 0; k < kRgb; ++k) t[k] += At(x, y, k);
    }

    const unsigned char* in_;
    int inW_, inH_;
};

// GLU's halving of a level whose sides are powers of two: the rounded mean
// of each 2 x 2 block, or the truncated mean of each pair along a side of 1.
void Halve(const unsigned char* in, int w, int h, unsigned char* out) {
    const size_t row = (size_t)w * kRgb;
    if (w == 1 || h == 1) {
        const size_t step = h == 1 ? kRgb : row;
        const int n = (w == 1 ? h : w) / 2;
        for (int i = 0; i < n; ++i, in += 2 * step)
            for (int k = 0; k < kRgb; ++k) *out++ = (unsigned char)((in[k] + in[k + step]) / 2);
        return;
    }
    for (int y = 0; y < h / 2; ++y) {
        const unsigned char* t = in + 2 * y * row;
        for (int x = 0; x < w / 2; ++x, t += 2 * kRgb)
            for (int k = 0; k < kRgb; ++k)
                *out++ =
                    (unsigned char)((t[k] + t[k + kRgb] + t[k + row] + t[k + row + kRgb] + 2) / 4);
    }
}

}  // namespace

void TextureLevels::Clear() {
    count_ = 0;
    pixels_.reset();
}

bool TextureLevels::Build(const unsigned char* rgb, int width, int height) {
    Clear();
    if (!rgb || width <= 0 || height <= 0) return false;
    int w = GluLevelSide(width), h = GluLevelSide(height);
    size_t total = 0;
    int n = 0;
    for (;; ++n) {
        width_[n] = w;
        height_[n] = h;
        offset_[n] = total;
        total += (size_t)w * h * kRgb;
        if (w == 1 && h == 1) break;
        if (w > 1) w /= 2;
        if (h > 1) h /= 2;
    }
    pixels_.reset(new (std::nothrow) unsigned char[total]);
    if (!pixels_) return false;
    count_ = n + 1;
    unsigned char* level0 = pixels_.get();
    if (width_[0] == width && height_[0] == height)
        std::memcpy(level0, rgb, (size_t)width * height * kRgb);
    else
        BoxScaler(rgb, width, height).Scale(level0, width_[0], height_[0]);
    for (int i = 1; i < count_; ++i)
        Halve(pixels(i - 1), width_[i - 1], height_[i - 1], pixels_.get() + offset_[i]);
    return true;
}
