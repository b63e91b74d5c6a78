// The frame-rate read-out in the bottom-left corner ("--fps").
#pragma once

#include <cstdint>

#include "platform/globals.h"

// Counts one frame at clockMs; the rate is refreshed once a second.
void CountFrame(FrameRate& rate, int32_t clockMs);

// Formats "FPS: 12.3" into buf (at least 16 bytes).
void FormatFps(double rate, char* buf, int size);
