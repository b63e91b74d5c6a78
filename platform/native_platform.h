// The platform of the system the program was built for, and the clocks that
// differ between systems.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace plat {

// The X11/GLX platform on Linux, the Win32 one on Windows.
Platform* CreateNativePlatform();

// Milliseconds for the ripple's clock, counted from an arbitrary start:
// GLUT's elapsed time on Linux, the process clock on Windows.
int32_t ElapsedTimeMs();

}  // namespace plat
