// Looks at the X screen from outside, for the checks of the installed saver
// and of the XScreenSaver daemon (scripts/package-test.sh):
//   screen_probe window W H
//       makes and maps a W x H window, prints its id (0x...) and keeps it
//       until killed or the display goes away.
//   screen_probe watch TARGET SECONDS
//       TARGET is "root" (the whole screen) or a window id.  Captures it
//       every half second until two captures in a row are both lit (at least
//       20% of the pixels not near black, spread over at least 75% of its
//       width and height, so a picture in a corner does not count) and
//       differ (at least 0.2% of the pixels changed): then prints the
//       figures and exits with 0.  Exits with 1 when that does not happen
//       within SECONDS.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kUsage[] =
    "usage: screen_probe window W H\n"
    "       screen_probe watch root|WINDOW-ID SECONDS\n";

int g_xErrors = 0;
int CountXError(Display*, XErrorEvent*) {
    ++g_xErrors;
    return 0;
}

struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, row by row
};

// One capture; empty when the target cannot be read (not mapped yet,
// destroyed).
Capture Take(Display* dpy, Window target) {
    XWindowAttributes a;
    g_xErrors = 0;
    if (!XGetWindowAttributes(dpy, target, &a) || a.map_state != IsViewable) return {};
    XImage* image = XGetImage(dpy, target, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    XSync(dpy, False);
    if (!image || g_xErrors) {
        if (image) XDestroyImage(image);
        return {};
    }
    Capture capture;
    capture.width = a.width;
    capture.height = a.height;
    std::vector<uint32_t>& pixels = capture.pixels;
    pixels.resize((size_t)a.width * a.height);
    const unsigned long masks[3] = {image->red_mask, image->green_mask, image->blue_mask};
    int shifts[3];
    for (int c = 0; c < 3; ++c) {
        shifts[c] = 0;
        while (masks[c] && !((masks[c] >> shifts[c]) & 1)) ++shifts[c];
    }
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            uint32_t rgb = 0;
            for (int c = 0; c < 3; ++c) {
                const unsigned long max = masks[c] >> shifts[c];
                const unsigned long v = max ? ((p & masks[c]) >> shifts[c]) * 255 / max : 0;
                rgb = (rgb << 8) | (uint32_t)v;
            }
            pixels[(size_t)y * a.width + x] = rgb;
        }
    }
    XDestroyImage(image);
    return capture;
}

struct Lit {
    double fraction = 0;
    double spanX = 0, spanY = 0;  // of the box around the lit pixels
    bool Enough() const { return fraction >= 0.2 && spanX >= 0.75 && spanY >= 0.75; }
};

Lit LitPart(const Capture& c) {
    Lit lit;
    if (c.pixels.empty()) return lit;
    size_t count = 0;
    int x0 = c.width, y0 = c.height, x1 = -1, y1 = -1;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const uint32_t v = c.pixels[(size_t)y * c.width + x];
            if ((v >> 16 & 255) + (v >> 8 & 255) + (v & 255) <= 48) continue;
            ++count;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    lit.fraction = (double)count / c.pixels.size();
    if (count) {
        lit.spanX = (double)(x1 - x0 + 1) / c.width;
        lit.spanY = (double)(y1 - y0 + 1) / c.height;
    }
    return lit;
}

double ChangedFraction(const Capture& a, const Capture& b) {
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 0;
    size_t changed = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) changed += a.pixels[i] != b.pixels[i];
    return (double)changed / a.pixels.size();
}

int Watch(Display* dpy, Window target, double seconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds((long)(seconds * 1000));
    Capture before;
    Lit lit, litBefore;
    double changed = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        Capture now = Take(dpy, target);
        lit = LitPart(now);
        changed = ChangedFraction(before, now);
        if (lit.Enough() && litBefore.Enough() && changed >= 0.002) {
            std::printf("lit %.1f%% over %.0f%% x %.0f%%, changed %.2f%% of %dx%d pixels\n",
                        lit.fraction * 100, lit.spanX * 100, lit.spanY * 100, changed * 100,
                        now.width, now.height);
            return 0;
        }
        before = std::move(now);
        litBefore = lit;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    std::printf("no show within %.0f s: lit %.1f%% over %.0f%% x %.0f%%, changed %.2f%%\n", seconds,
                lit.fraction * 100, lit.spanX * 100, lit.spanY * 100, changed * 100);
    return 1;
}

int KeepWindow(Display* dpy, int w, int h) {
    const int screen = DefaultScreen(dpy);
    Window win = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, w, h, 0,
                                     BlackPixel(dpy, screen), BlackPixel(dpy, screen));
    XStoreName(dpy, win, "screen_probe");
    XSelectInput(dpy, win, StructureNotifyMask);
    XMapWindow(dpy, win);
    for (;;) {  // until mapped, so the id names a visible window
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == MapNotify) break;
    }
    std::printf("0x%lx\n", win);
    std::fflush(stdout);
    for (;;) {
        XEvent e;
        XNextEvent(dpy, &e);  // ends the process when the display goes away
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "window") != 0 && std::strcmp(argv[1], "watch") != 0)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "screen_probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(CountXError);
    if (std::strcmp(argv[1], "window") == 0) {
        const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
        if (w <= 0 || h <= 0 || w > 10000 || h > 10000) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return KeepWindow(dpy, w, h);
    }
    Window target = DefaultRootWindow(dpy);
    if (std::strcmp(argv[2], "root") != 0) {
        char* end = nullptr;
        target = std::strtoul(argv[2], &end, 0);
        if (!*argv[2] || *end) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    return Watch(dpy, target, std::atof(argv[3]));
}
