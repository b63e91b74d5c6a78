#include "platform/x11/x11_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/native_platform.h"
#include "platform/x11/x11_platform_class.h"

namespace plat {

int64_t MonotonicUs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

int64_t MonotonicMs() { return MonotonicUs() / 1000; }

// X errors are expected (windows vanish) and never fatal.
static int IgnoreXError(Display*, XErrorEvent*) { return 0; }

Display* X11Platform::Dpy() {
    if (!triedOpen_) {
        triedOpen_ = true;
        // A busy server now and then drops a connection during its set-up;
        // a missing server fails every attempt at once.
        for (int attempt = 0; attempt < 3 && !dpy_; ++attempt) dpy_ = XOpenDisplay(nullptr);
        if (!dpy_) {
            const char* name = std::getenv("DISPLAY");
            if (name && *name)
                std::fprintf(stderr, "%s: cannot open the X display \"%s\"\n",
                             program_invocation_short_name, name);
            else
                std::fprintf(stderr, "%s: cannot open the X display (DISPLAY is not set)\n",
                             program_invocation_short_name);
            std::fflush(stderr);
            return nullptr;
        }
        XSetErrorHandler(IgnoreXError);
        wmProtocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
        wmDeleteWindow_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", False);
        netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
        utf8String_ = XInternAtom(dpy_, "UTF8_STRING", False);
    }
    return dpy_;
}

Platform* CreateX11Platform() { return new X11Platform(); }

Platform* CreateNativePlatform() { return CreateX11Platform(); }

unsigned long X11WindowOf(HWND hwnd) {
    auto* x11 = dynamic_cast<X11Platform*>(&Current());
    return x11 ? x11->XWindowOf(hwnd) : 0;
}

SwapControl X11SwapControlOf(HWND hwnd) {
    auto* x11 = dynamic_cast<X11Platform*>(&Current());
    return x11 ? x11->SwapControlOf(hwnd) : SWAP_CONTROL_NONE;
}

}  // namespace plat
