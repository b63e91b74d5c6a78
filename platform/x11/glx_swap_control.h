// Turning off the wait for the display's refresh on a GLX window.
//
// Most drivers make a buffer swap wait for the next vertical blank unless
// the program sets a swap interval of 0, which caps the saver at the
// display's refresh rate.  GLX offers three extensions for it:
//   GLX_EXT_swap_control   glXSwapIntervalEXT(display, drawable, interval)
//   GLX_MESA_swap_control  glXSwapIntervalMESA(interval), current drawable
//   GLX_SGI_swap_control   glXSwapIntervalSGI(interval), refuses below 1
// The SGI one cannot set 0, and an interval of 1 is the very wait to
// avoid, so it is never called.  Only what the screen's extension string
// (glXQueryExtensionsString) names is called: Mesa's client library exports
// all three entry points even where the server supports none (Xvfb), and
// calling one there raises an X error.
#pragma once

namespace plat {

enum SwapControl { SWAP_CONTROL_NONE, SWAP_CONTROL_EXT, SWAP_CONTROL_MESA };

// Whether a space-separated extension string names extension exactly.
bool HasGlxExtension(const char* extensions, const char* extension);

// The way to set the interval to 0 given the screen's extension string
// (null counts as empty): EXT before MESA, else none.
SwapControl ChooseSwapControl(const char* extensions);

// "GLX_EXT_swap_control", "GLX_MESA_swap_control" or "none".
const char* SwapControlName(SwapControl control);

}  // namespace plat
