// The frame-rate read-out in the bottom-left corner ("--fps").
#pragma once

#include <cstdint>

class FpsCounter {
public:
    // Counts one frame at clock ms; the rate is refreshed once a second.
    void Frame(int32_t clockMs);
    double Rate() const { return rate_; }

private:
    int32_t windowStart_ = -1;
    int frames_ = 0;
    double rate_ = 0.0;
};

// Formats "FPS: 12.3" into buf (at least 16 bytes).
void FormatFps(double rate, char* buf, int size);

// Draws text (digits, '.', ':', ' ', and the letters F, P, S) with a built-in
// 5x7 pixel font at pixel (x, y) of a winW x winH window, scale pixels per
// font pixel.  Leaves the GL state as it found it.
void DrawOverlayText(const char* text, int x, int y, int scale, int winW, int winH);

extern bool g_showFps;
extern FpsCounter g_fpsCounter;
