// Text drawn over the picture (the frame-rate read-out, notices) with a
// built-in 5x7 pixel font, scaled with the window.
#pragma once

// Window pixels per font pixel for a window winH pixels high: 1 up to a
// 540-pixel height (the 320x200 preview), then one more for each 360 (3 at
// 1080, 6 at 2160).
int OverlayScale(int winH);

// Draws text (printable ASCII; any other character as '?', one for each
// UTF-8 sequence) with its bottom-left at pixel (x, y) of a winW x winH
// window, scale pixels per font pixel, each character 6 font pixels wide.
// Leaves the GL state as it found it.
void DrawOverlayText(const char* text, int x, int y, int scale, int winW, int winH);
