// A real GL context in a plain X window, for the tests, tools and benchmarks
// that draw with OpenGL without going through the saver's window.  Needs
// $DISPLAY (Xvfb in CI).
#pragma once

#include <cstdint>
#include <vector>

class GlTestWindow {
public:
    // Opens a w x h window with a double-buffered RGBA visual (with an
    // accumulation buffer when accum is true) and makes its context current.
    GlTestWindow(int w, int h, bool accum = false);
    ~GlTestWindow();
    bool ok() const { return ok_; }
    int width() const { return w_; }
    int height() const { return h_; }
    // RGBA pixel of the back buffer at window coordinates (origin bottom-left).
    void ReadPixel(int x, int y, uint8_t rgba[4]) const;
    // The whole back buffer, RGBA rows bottom first.
    std::vector<uint8_t> ReadAll() const;
    void Swap();

private:
    struct Impl;
    Impl* impl_;
    bool ok_ = false;
    int w_, h_;
};
