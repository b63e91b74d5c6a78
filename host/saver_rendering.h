// The rendering steps the saver window drives: its pixel format, the
// one-time set-up, the viewport and the frame.  This file's definitions
// (saver_rendering.cpp) call the renderer and are alone in their object
// file, so that the host's tests can link definitions of their own in their
// place and run the window without GL.
#pragma once

#include "platform/platform.h"

namespace saver_rendering {

void SetupPixelFormat(plat::HWND window);
void Init();
void Resize(int width, int height);
void Frame();

}  // namespace saver_rendering
