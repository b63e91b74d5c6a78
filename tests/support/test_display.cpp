#include "tests/support/test_display.h"

#include <GL/glx.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>

Display* TestDisplay() {
    static Display* shared = nullptr;
    for (int attempt = 0; attempt < 40 && !shared; ++attempt) {
        shared = XOpenDisplay(nullptr);
        if (!shared && !std::getenv("DISPLAY")) break;
        if (!shared) usleep(50 * 1000);
    }
    return shared;
}

namespace {
// The window's attributes without Xlib's default handler ending the
// process when the window is already gone.
bool g_badWindow = false;
int NoteBadWindow(Display*, XErrorEvent*) {
    g_badWindow = true;
    return 0;
}
}  // namespace

int AccumRedBitsOfWindow(Window window) {
    Display* dpy = TestDisplay();
    if (!dpy) return -1;
    XSync(dpy, False);
    g_badWindow = false;
    XErrorHandler previous = XSetErrorHandler(NoteBadWindow);
    XWindowAttributes a{};
    const bool known = XGetWindowAttributes(dpy, window, &a) != 0;
    XSync(dpy, False);
    XSetErrorHandler(previous);
    if (!known || g_badWindow) return -1;
    XVisualInfo want{};
    want.visualid = XVisualIDFromVisual(a.visual);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(dpy, VisualIDMask, &want, &count);
    if (!info) return -1;
    int bits = -1;
    if (glXGetConfig(dpy, info, GLX_ACCUM_RED_SIZE, &bits) != 0) bits = -1;
    XFree(info);
    return bits;
}
