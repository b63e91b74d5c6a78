// The X11/GLX platform: real windows on $DISPLAY, X input turned into
// window messages, GLX visuals as pixel formats.
#pragma once

#include "platform/platform.h"
#include "platform/x11/glx_swap_control.h"

namespace plat {

// Creates the X11 platform.  The display is opened on first need, so modes
// that open no window (configuration, password change) run without X.
Platform* CreateX11Platform();

// The X window currently behind a window of the installed X11 platform (a
// foreign handle is its own X window); 0 when there is none, or when the
// installed platform is not the X11 one.
unsigned long X11WindowOf(HWND hwnd);

// How the swap interval of one of our windows was set to 0 when a context
// was first made current on it: none when the screen offers no way (or the
// window has had no current context, or the platform is not the X11 one).
SwapControl X11SwapControlOf(HWND hwnd);

}  // namespace plat
