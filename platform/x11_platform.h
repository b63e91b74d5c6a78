// The X11/GLX platform: real windows on $DISPLAY, X input turned into
// window messages, GLX visuals as pixel formats.
#pragma once

#include "platform/platform.h"

namespace plat {

// Creates the X11 platform.  The display is opened on first need, so modes
// that open no window (configuration, password change) run without X.
Platform* CreateX11Platform();

}  // namespace plat
