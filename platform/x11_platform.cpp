// The X11/GLX platform.
//
// Windows.  The handle of one of our windows is the id of the X window first
// made for it.  An X window's visual is fixed at creation, so when
// SetPixelFormat picks a GLX configuration of another visual, the X window is
// made anew with that visual under the same handle (children are moved
// over); X ids are never reused by the client that allocated them, so a
// handle cannot be mistaken for another window.  A window created visible is
// mapped on first need (its pixel format set, the first event pump, a paint
// or a swap), so the saver's window is mapped once, with its final visual.
//
// A popup (the full-screen saver window) is override-redirect: no window
// manager decorates or moves it, and it stays above the other windows.
// Since no window manager gives such a window the focus, it takes the focus
// itself when mapped and grabs the keyboard, so keys reach it with or
// without a window manager (Xvfb has none).  The focus goes back to its
// previous owner when the window is destroyed.  A captioned window is an
// ordinary managed window with its title; the window manager's close button
// (WM_DELETE_WINDOW) sends it WM_CLOSE.
//
// Foreign windows (handles given on the command line) are asked of the
// server each time; moving our own window inside one (to follow its size)
// moves the X window.
//
// Waiting: the run loops ask to sleep when their queue is empty; the wait
// ends when the X connection becomes readable or the time is up.
//
// Display power: where the server has the DPMS extension, its power level
// is read at most every half second while we have windows, and a change is
// told to our windows (display_power.h).  Without the extension nothing is
// told.
//
// Swap interval: when a context is first made current on one of our
// windows, its swap interval is set to 0 where the screen offers a way
// (glx_swap_control.h), so swaps never wait for the display's refresh and
// the frame clock alone paces the saver.
//
// X errors never end the process: a window vanishing under us is expected,
// and the requests that touch such windows simply fail.
#include "platform/x11_platform.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#ifdef WAVENDELL_HAVE_XEXT
#include <X11/extensions/dpms.h>
#endif
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/display_power.h"
#include "platform/glx_pixel_format.h"
#include "platform/glx_swap_control.h"
#include "platform/native_platform.h"
#include "platform/platform_base.h"
#include "platform/registry_files.h"
#include "platform/x11_input.h"

namespace plat {

namespace {

int64_t MonotonicMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

// X errors are expected (windows vanish) and never fatal.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The largest X resource id: ids have 29 bits.
const HWND kMaxXid = 0x1FFFFFFF;

const long kEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                        PointerMotionMask | EnterWindowMask | FocusChangeMask |
                        StructureNotifyMask | ExposureMask;

class X11Platform : public PlatformBase {
public:
    X11Platform() : startMs_(MonotonicMs()) {}

    // --- windows, screen, cursor ---
    HWND GetDesktopWindow() override {
        Display* dpy = Dpy();
        return dpy ? (HWND)DefaultRootWindow(dpy) : 0;
    }
    int ScreenWidth() override {
        Display* dpy = Dpy();
        return dpy ? DisplayWidth(dpy, DefaultScreen(dpy)) : 0;
    }
    int ScreenHeight() override {
        Display* dpy = Dpy();
        return dpy ? DisplayHeight(dpy, DefaultScreen(dpy)) : 0;
    }
    void PaintBlack(HWND hwnd) override;
    int ShowCursor(bool show) override;
    void WaitForEvents(int32_t timeoutMs) override;

    // --- message boxes, registry, system ---
    void MessageBox(HWND, const char* text, const char* caption, unsigned) override {
        std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
        std::fflush(stderr);
    }
    bool OpenRegistryKey(Hive hive, const char* key) override {
        return !RegistryKeyFile(hive, key).empty();
    }
    bool ReadRegistryValue(Hive hive, const char* key, const char* value, char* buf,
                           size_t size) override {
        return ReadRegistryFileValue(RegistryKeyFile(hive, key), value, buf, size);
    }
    bool SetScreenSaverRunning(bool running) override {
        bool was = saverRunning_;
        saverRunning_ = running;
        return was;
    }
    int PlatformId() override { return VER_PLATFORM_WIN32_NT; }
    // The legacy password services do not exist here.
    void* LoadLibrary(const char*) override { return nullptr; }
    void* GetProcAddress(void*, const char*) override { return nullptr; }
    void FreeLibrary(void*) override {}

    // --- clocks ---
    int32_t ProcessClockMs() override { return (int32_t)(uint32_t)(MonotonicMs() - startMs_); }
    uint32_t TickCount() override { return (uint32_t)MonotonicMs(); }

    // --- GL ---
    int ChoosePixelFormat(HWND hwnd, const PixelFormatDescriptor& want) override;
    bool DescribePixelFormat(HWND hwnd, int index, PixelFormatDescriptor* out) override;
    bool SetPixelFormat(HWND hwnd, int index, const PixelFormatDescriptor& pfd) override;
    uintptr_t CreateContext(HWND hwnd) override;
    bool MakeCurrent(HWND hwnd, uintptr_t context) override;
    bool SwapBuffers(HWND hwnd) override;

    SwapControl SwapControlOf(HWND hwnd) {
        auto it = native_.find(hwnd);
        return it != native_.end() ? it->second.swapControl : SWAP_CONTROL_NONE;
    }

    unsigned long XWindowOf(HWND hwnd) {
        auto it = native_.find(hwnd);
        if (it != native_.end()) return it->second.gone ? 0 : it->second.xid;
        return ForeignIsWindow(hwnd) ? (unsigned long)hwnd : 0;
    }

protected:
    HWND NativeCreate(const Window& w, const char* title) override;
    void NativeDestroy(HWND hwnd) override;
    void NativeShow(HWND hwnd) override;
    void NativeMove(HWND hwnd, int x, int y, int w, int h) override;
    void PumpEvents() override;
    bool ForeignIsWindow(HWND hwnd) override;
    bool ForeignIsVisible(HWND hwnd) override;
    bool ForeignClientRect(HWND hwnd, int* right, int* bottom) override;

private:
    typedef ::Window XWindow;

    struct NativeWindow {
        XWindow xid = 0;
        XWindow xparent = 0;
        Colormap colormap = 0;
        bool popup = false;      // takes focus and keyboard
        bool overrideRedirect = false;  // left alone by the window manager
        bool captioned = false;  // managed, titled, closable
        bool topLevel = true;
        bool mapPending = false;
        bool mapped = false;
        bool gone = false;       // destroyed by someone else
        int format = 0;          // pixel format, 0 until set
        std::string title;
        XWindow intervalSetOn = 0;                    // the X window whose swap interval was set
        SwapControl swapControl = SWAP_CONTROL_NONE;  // how it was set
    };

    Display* Dpy();
    XWindow MakeXWindow(NativeWindow& n, const Window& rec, Visual* visual, int depth);
    void MapPending();
    void TakeInput(HWND hwnd);
    void ApplyCursor(const NativeWindow& n);
    void HandleEvent(const XEvent& ev);
    void MarkGone(HWND hwnd);
    bool ReadFormats();
    bool RendersIndirectly();
    void PollDisplayPower();
    DpmsReading ReadDpms();
    SwapControl SetSwapIntervalZero(XWindow xid);

    Display* dpy_ = nullptr;
    bool triedOpen_ = false;
    Atom wmProtocols_ = 0, wmDeleteWindow_ = 0, netWmName_ = 0, utf8String_ = 0;
    Cursor blankCursor_ = 0;
    int cursorCount_ = 0;
    bool saverRunning_ = false;
    const int64_t startMs_;

    std::map<HWND, NativeWindow> native_;
    std::map<XWindow, HWND> byXid_;

    // Keyboard grab of the popup: retried while another client holds it.
    HWND grabOwner_ = 0;
    bool grabbed_ = false;
    int64_t lastGrabTryMs_ = 0;
    XWindow focusBefore_ = 0;
    int revertBefore_ = RevertToPointerRoot;

    bool formatsRead_ = false;
    std::vector<GLXFBConfig> configs_;
    std::vector<GlxFormat> formats_;
    int indirect_ = -1;  // unknown until asked

    MonitorPowerWatch powerWatch_;
    int dpmsPresent_ = -1;  // unknown until asked
};

Display* X11Platform::Dpy() {
    if (!triedOpen_) {
        triedOpen_ = true;
        // A busy server now and then drops a connection during its set-up;
        // a missing server fails every attempt at once.
        for (int attempt = 0; attempt < 3 && !dpy_; ++attempt) dpy_ = XOpenDisplay(nullptr);
        if (!dpy_) {
            std::fprintf(stderr, "Cannot open display \"%s\"\n", XDisplayName(nullptr));
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

// --- windows ---

X11Platform::XWindow X11Platform::MakeXWindow(NativeWindow& n, const Window& rec, Visual* visual,
                                              int depth) {
    XSetWindowAttributes attrs{};
    n.colormap = XCreateColormap(dpy_, DefaultRootWindow(dpy_), visual, AllocNone);
    attrs.colormap = n.colormap;
    attrs.border_pixel = 0;
    attrs.background_pixel = BlackPixel(dpy_, DefaultScreen(dpy_));
    attrs.event_mask = kEventMask;
    attrs.override_redirect = n.overrideRedirect ? True : False;
    const unsigned long mask = CWColormap | CWBorderPixel | CWBackPixel | CWEventMask |
                               CWOverrideRedirect;
    // X has no empty windows; a zero size still counts as zero for the host.
    XWindow xid = XCreateWindow(dpy_, n.xparent, rec.x, rec.y, (unsigned)std::max(rec.w, 1),
                                (unsigned)std::max(rec.h, 1), 0, depth, InputOutput, visual, mask,
                                &attrs);
    if (!xid) return 0;
    if (n.topLevel) {
        XClassHint cls;
        cls.res_name = const_cast<char*>("wavendell");
        cls.res_class = const_cast<char*>("Wavendell");
        XSetClassHint(dpy_, xid, &cls);
    }
    if (n.captioned) {
        XStoreName(dpy_, xid, n.title.c_str());
        XChangeProperty(dpy_, xid, netWmName_, utf8String_, 8, PropModeReplace,
                        (const unsigned char*)n.title.c_str(), (int)n.title.size());
        XSetWMProtocols(dpy_, xid, &wmDeleteWindow_, 1);
        XSizeHints hints{};
        hints.flags = PPosition | PSize;
        hints.x = rec.x;
        hints.y = rec.y;
        hints.width = rec.w;
        hints.height = rec.h;
        XSetWMNormalHints(dpy_, xid, &hints);
    }
    ApplyCursor(n);
    return xid;
}

HWND X11Platform::NativeCreate(const Window& rec, const char* title) {
    if (!Dpy()) return 0;
    NativeWindow n;
    n.title = title ? title : "";
    n.topLevel = !(rec.style & WS_CHILD);
    n.popup = n.topLevel && (rec.style & WS_POPUP);
    n.captioned = n.topLevel && !n.popup && (rec.style & WS_CAPTION) == WS_CAPTION;
    if (n.topLevel) {
        n.xparent = DefaultRootWindow(dpy_);
    } else {
        auto parent = native_.find(rec.parent);
        if (parent != native_.end()) {
            if (parent->second.gone) return 0;
            n.xparent = parent->second.xid;
        } else {
            if (rec.parent > kMaxXid) return 0;
            n.xparent = (XWindow)rec.parent;
        }
    }
    // A child of a root window (drawing on the desktop) would otherwise be
    // taken for a top-level window by the window manager.
    n.overrideRedirect = n.popup;
    for (int s = 0; s < ScreenCount(dpy_); ++s)
        if (n.xparent == RootWindow(dpy_, s) && !n.topLevel) n.overrideRedirect = true;
    const int screen = DefaultScreen(dpy_);
    XWindow xid = MakeXWindow(n, rec, DefaultVisual(dpy_, screen), DefaultDepth(dpy_, screen));
    // A foreign parent may have vanished: the creation then fails.
    XSync(dpy_, False);
    XWindowAttributes check;
    if (!xid || !XGetWindowAttributes(dpy_, xid, &check)) {
        if (n.colormap) XFreeColormap(dpy_, n.colormap);
        return 0;
    }
    n.xid = xid;
    n.mapPending = rec.visible;
    HWND hwnd = (HWND)xid;
    native_[hwnd] = n;
    byXid_[xid] = hwnd;
    return hwnd;
}

void X11Platform::NativeDestroy(HWND hwnd) {
    auto it = native_.find(hwnd);
    if (it == native_.end()) return;
    NativeWindow& n = it->second;
    byXid_.erase(n.xid);
    if (!n.gone) {
        if (glXGetCurrentDrawable() == n.xid) glXMakeCurrent(dpy_, None, nullptr);
        if (grabOwner_ == hwnd) {
            if (grabbed_) XUngrabKeyboard(dpy_, CurrentTime);
            XWindow focus;
            int revert;
            XGetInputFocus(dpy_, &focus, &revert);
            if (focus == n.xid && focusBefore_ != None)
                XSetInputFocus(dpy_, focusBefore_, revertBefore_, CurrentTime);
        }
        XDestroyWindow(dpy_, n.xid);
    }
    if (grabOwner_ == hwnd) grabOwner_ = 0, grabbed_ = false;
    if (n.colormap) XFreeColormap(dpy_, n.colormap);
    native_.erase(it);
    XFlush(dpy_);
}

void X11Platform::NativeShow(HWND hwnd) {
    auto it = native_.find(hwnd);
    if (it == native_.end()) return;
    if (!it->second.mapped) it->second.mapPending = true;
    MapPending();
}

void X11Platform::NativeMove(HWND hwnd, int x, int y, int w, int h) {
    auto it = native_.find(hwnd);
    if (it == native_.end() || it->second.gone) return;
    XMoveResizeWindow(dpy_, it->second.xid, x, y, (unsigned)std::max(w, 1),
                      (unsigned)std::max(h, 1));
    XFlush(dpy_);
}

void X11Platform::MapPending() {
    if (!dpy_) return;
    bool any = false;
    std::vector<HWND> popups;
    for (auto& kv : native_) {
        NativeWindow& n = kv.second;
        if (!n.mapPending || n.gone) continue;
        n.mapPending = false;
        n.mapped = true;
        XMapRaised(dpy_, n.xid);
        if (n.popup) popups.push_back(kv.first);
        any = true;
    }
    for (HWND hwnd : popups) TakeInput(hwnd);
    if (any) XFlush(dpy_);
}

// Focus and keyboard for a mapped popup.  The map request goes first on the
// connection and an override-redirect window is mapped at once, so the
// window is viewable when these requests arrive.
void X11Platform::TakeInput(HWND hwnd) {
    NativeWindow& n = native_[hwnd];
    if (grabOwner_ != hwnd) {
        XGetInputFocus(dpy_, &focusBefore_, &revertBefore_);
        if (byXid_.count(focusBefore_)) focusBefore_ = PointerRoot;
        grabOwner_ = hwnd;
        grabbed_ = false;
        XSetInputFocus(dpy_, n.xid, RevertToPointerRoot, CurrentTime);
    }
    lastGrabTryMs_ = MonotonicMs();
    grabbed_ = XGrabKeyboard(dpy_, n.xid, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
               GrabSuccess;
}

void X11Platform::PaintBlack(HWND hwnd) {
    auto it = native_.find(hwnd);
    if (it == native_.end() || it->second.gone) return;
    MapPending();
    XClearWindow(dpy_, it->second.xid);  // the background is black
    XFlush(dpy_);
}

void X11Platform::ApplyCursor(const NativeWindow& n) {
    if (!n.topLevel) return;  // children show their parent's cursor
    if (cursorCount_ < 0) {
        if (!blankCursor_) {
            static const char kEmpty[1] = {0};
            Pixmap blank = XCreateBitmapFromData(dpy_, DefaultRootWindow(dpy_), kEmpty, 1, 1);
            XColor black{};
            blankCursor_ = XCreatePixmapCursor(dpy_, blank, blank, &black, &black, 0, 0);
            XFreePixmap(dpy_, blank);
        }
        XDefineCursor(dpy_, n.xid, blankCursor_);
    } else {
        XUndefineCursor(dpy_, n.xid);
    }
}

// The display counter of the cursor: below zero the cursor is hidden over
// our windows.
int X11Platform::ShowCursor(bool show) {
    const bool hiddenBefore = cursorCount_ < 0;
    cursorCount_ += show ? 1 : -1;
    if (dpy_ && hiddenBefore != (cursorCount_ < 0)) {
        for (auto& kv : native_)
            if (!kv.second.gone && kv.second.xid) ApplyCursor(kv.second);
        XFlush(dpy_);
    }
    return cursorCount_;
}

// --- events ---

void X11Platform::PumpEvents() {
    if (!dpy_) return;
    MapPending();
    if (grabOwner_ && !grabbed_ && MonotonicMs() - lastGrabTryMs_ >= 100) TakeInput(grabOwner_);
    while (XPending(dpy_)) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        HandleEvent(ev);
    }
    PollDisplayPower();
}

void X11Platform::WaitForEvents(int32_t timeoutMs) {
    if (timeoutMs <= 0) return;
    if (!dpy_) {
        timespec ts{timeoutMs / 1000, (long)(timeoutMs % 1000) * 1000000};
        nanosleep(&ts, nullptr);
        return;
    }
    // XPending sends what is buffered and takes in what has arrived; only
    // when nothing is waiting does the connection need watching.
    if (XPending(dpy_)) return;
    pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
    poll(&fd, 1, timeoutMs);  // a signal ends the wait early, never late
}

void X11Platform::PollDisplayPower() {
    if (native_.empty() || !powerWatch_.PollDue(MonotonicMs())) return;
    LPARAM power = 0;
    if (powerWatch_.Update(ReadDpms(), &power)) PostMonitorPower(power);
}

DpmsReading X11Platform::ReadDpms() {
    DpmsReading r;
#ifdef WAVENDELL_HAVE_XEXT
    // Asked once; without the extension its requests would only warn.
    if (dpmsPresent_ < 0) {
        int event = 0, error = 0;
        dpmsPresent_ = DPMSQueryExtension(dpy_, &event, &error) && DPMSCapable(dpy_) ? 1 : 0;
    }
    CARD16 level = 0;
    BOOL enabled = False;
    if (dpmsPresent_ == 1 && DPMSInfo(dpy_, &level, &enabled)) {
        r.present = true;
        r.enabled = enabled != False;
        r.level = level;
    }
#endif
    return r;
}

// A window destroyed by someone else (its parent went, say): it and our
// windows inside it are gone.
void X11Platform::MarkGone(HWND hwnd) {
    auto it = native_.find(hwnd);
    if (it == native_.end() || it->second.gone) return;
    it->second.gone = true;
    for (auto& kv : windows_)
        if (kv.second.parent == hwnd) MarkGone(kv.first);
}

void X11Platform::HandleEvent(const XEvent& ev) {
    auto owner = byXid_.find(ev.xany.window);
    if (ev.type == DestroyNotify) owner = byXid_.find(ev.xdestroywindow.window);
    if (owner == byXid_.end()) return;
    const HWND hwnd = owner->second;
    Window* rec = Find(hwnd);
    if (!rec) return;

    if (ev.type == DestroyNotify) {
        MarkGone(hwnd);
        DestroyWindow(hwnd);
        return;
    }
    if (ev.type == ClientMessage) {
        if (ev.xclient.message_type == wmProtocols_ &&
            (Atom)ev.xclient.data.l[0] == wmDeleteWindow_)
            PostMessage(hwnd, WM_CLOSE, 0, 0);
        return;
    }
    InputMessage m;
    // X has no empty windows: one of zero size is 1 x 1 there.
    if (!TranslateInputEvent(ev, rec->parent == 0, std::max(rec->w, 1), std::max(rec->h, 1), &m))
        return;
    if (m.message == WM_SIZE) {
        rec->w = ev.xconfigure.width;
        rec->h = ev.xconfigure.height;
    }
    if (m.message == WM_PAINT) {
        for (const MSG& queued : queue_)
            if (queued.hwnd == hwnd && queued.message == WM_PAINT) return;
    }
    PostMessage(hwnd, m.message, m.wParam, m.lParam);
}

// --- foreign windows ---

bool X11Platform::ForeignIsWindow(HWND hwnd) {
    if (hwnd == 0 || hwnd > kMaxXid || !Dpy()) return false;
    XWindowAttributes a;
    return XGetWindowAttributes(dpy_, (XWindow)hwnd, &a) != 0;
}

bool X11Platform::ForeignIsVisible(HWND hwnd) {
    if (hwnd == 0 || hwnd > kMaxXid || !Dpy()) return false;
    XWindowAttributes a;
    return XGetWindowAttributes(dpy_, (XWindow)hwnd, &a) != 0 && a.map_state == IsViewable;
}

bool X11Platform::ForeignClientRect(HWND hwnd, int* right, int* bottom) {
    if (hwnd == 0 || hwnd > kMaxXid || !Dpy()) return false;
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy_, (XWindow)hwnd, &a)) return false;
    *right = a.width;
    *bottom = a.height;
    return true;
}

// --- GL ---

bool X11Platform::ReadFormats() {
    if (formatsRead_) return !formats_.empty();
    formatsRead_ = true;
    if (!Dpy()) return false;
    int major = 0, minor = 0;
    if (!glXQueryVersion(dpy_, &major, &minor) || major < 1 || (major == 1 && minor < 3))
        return false;
    int count = 0;
    GLXFBConfig* all = glXGetFBConfigs(dpy_, DefaultScreen(dpy_), &count);
    for (int i = 0; i < count; ++i) {
        auto get = [&](int attr) {
            int v = 0;
            return glXGetFBConfigAttrib(dpy_, all[i], attr, &v) == Success ? v : 0;
        };
        if (!(get(GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) || !(get(GLX_RENDER_TYPE) & GLX_RGBA_BIT) ||
            !get(GLX_X_RENDERABLE) || get(GLX_LEVEL) != 0 || !get(GLX_VISUAL_ID))
            continue;
        XVisualInfo* vi = glXGetVisualFromFBConfig(dpy_, all[i]);
        if (!vi) continue;
        GlxFormat f;
        f.visualDepth = vi->depth;
        XFree(vi);
        f.doubleBuffer = get(GLX_DOUBLEBUFFER) != 0;
        f.red = get(GLX_RED_SIZE);
        f.green = get(GLX_GREEN_SIZE);
        f.blue = get(GLX_BLUE_SIZE);
        f.alpha = get(GLX_ALPHA_SIZE);
        f.depth = get(GLX_DEPTH_SIZE);
        f.stencil = get(GLX_STENCIL_SIZE);
        f.accumRed = get(GLX_ACCUM_RED_SIZE);
        f.accumGreen = get(GLX_ACCUM_GREEN_SIZE);
        f.accumBlue = get(GLX_ACCUM_BLUE_SIZE);
        f.accumAlpha = get(GLX_ACCUM_ALPHA_SIZE);
        f.samples = get(GLX_SAMPLES);
        const int caveat = get(GLX_CONFIG_CAVEAT);
        f.caveat = caveat == GLX_SLOW_CONFIG            ? CAVEAT_SLOW
                   : caveat == GLX_NON_CONFORMANT_CONFIG ? CAVEAT_NON_CONFORMANT
                                                        : CAVEAT_NONE;
        configs_.push_back(all[i]);
        formats_.push_back(f);
    }
    if (all) XFree(all);
    return !formats_.empty();
}

// Whether the display renders only indirectly: asked once, of a throw-away
// context of the first format.
bool X11Platform::RendersIndirectly() {
    if (indirect_ < 0) {
        indirect_ = 0;
        if (ReadFormats()) {
            GLXContext probe = glXCreateNewContext(dpy_, configs_[0], GLX_RGBA_TYPE, nullptr, True);
            if (probe) {
                indirect_ = glXIsDirect(dpy_, probe) ? 0 : 1;
                glXDestroyContext(dpy_, probe);
            }
        }
    }
    return indirect_ == 1;
}

int X11Platform::ChoosePixelFormat(HWND hwnd, const PixelFormatDescriptor& want) {
    if (!native_.count(hwnd) || !ReadFormats()) return 0;
    return ChooseFormat(formats_, want, DefaultDepth(dpy_, DefaultScreen(dpy_)));
}

bool X11Platform::DescribePixelFormat(HWND hwnd, int index, PixelFormatDescriptor* out) {
    if (!native_.count(hwnd) || !ReadFormats()) return false;
    if (index < 1 || index > (int)formats_.size()) return false;
    *out = DescribeFormat(formats_[index - 1], RendersIndirectly());
    return true;
}

// Sets the window's format once, as Windows does; the X window is made anew
// when the format's visual differs from the window's.
bool X11Platform::SetPixelFormat(HWND hwnd, int index, const PixelFormatDescriptor&) {
    auto it = native_.find(hwnd);
    Window* rec = Find(hwnd);
    if (it == native_.end() || !rec || it->second.gone || !ReadFormats()) return false;
    if (index < 1 || index > (int)formats_.size()) return false;
    NativeWindow& n = it->second;
    if (n.format) return n.format == index;
    XVisualInfo* vi = glXGetVisualFromFBConfig(dpy_, configs_[index - 1]);
    if (!vi) return false;
    XWindowAttributes current;
    const bool known = XGetWindowAttributes(dpy_, n.xid, &current) != 0;
    if (!known || XVisualIDFromVisual(current.visual) != vi->visualid) {
        const XWindow oldXid = n.xid;
        const Colormap oldColormap = n.colormap;
        XWindow xid = MakeXWindow(n, *rec, vi->visual, vi->depth);
        if (!xid) {
            n.colormap = oldColormap;
            XFree(vi);
            return false;
        }
        for (auto& kv : native_)
            if (kv.second.xparent == oldXid && !kv.second.gone) {
                const Window* child = Find(kv.first);
                XReparentWindow(dpy_, kv.second.xid, xid, child ? child->x : 0,
                                child ? child->y : 0);
                kv.second.xparent = xid;
            }
        byXid_.erase(oldXid);
        XDestroyWindow(dpy_, oldXid);
        XFreeColormap(dpy_, oldColormap);
        n.xid = xid;
        byXid_[xid] = hwnd;
        if (n.mapped) {
            n.mapped = false;
            n.mapPending = true;
            if (grabOwner_ == hwnd) grabOwner_ = 0, grabbed_ = false;
        }
    }
    XFree(vi);
    n.format = index;
    MapPending();
    XFlush(dpy_);
    return true;
}

uintptr_t X11Platform::CreateContext(HWND hwnd) {
    auto it = native_.find(hwnd);
    if (it == native_.end() || !it->second.format) return 0;
    GLXContext ctx =
        glXCreateNewContext(dpy_, configs_[it->second.format - 1], GLX_RGBA_TYPE, nullptr, True);
    return (uintptr_t)ctx;
}

bool X11Platform::MakeCurrent(HWND hwnd, uintptr_t context) {
    if (!dpy_) return false;
    if (!hwnd && !context) return glXMakeCurrent(dpy_, None, nullptr) == True;
    auto it = native_.find(hwnd);
    if (it == native_.end() || it->second.gone || !context) return false;
    NativeWindow& n = it->second;
    if (glXMakeCurrent(dpy_, n.xid, (GLXContext)context) != True) return false;
    // Once per X window: a new pixel format may have made the window anew.
    if (n.intervalSetOn != n.xid) {
        n.intervalSetOn = n.xid;
        n.swapControl = SetSwapIntervalZero(n.xid);
    }
    return true;
}

// Sets the swap interval of the current window to 0 with what the screen
// offers; returns what was used (none when nothing was called).
SwapControl X11Platform::SetSwapIntervalZero(XWindow xid) {
    typedef void (*SwapIntervalExt)(Display*, GLXDrawable, int);
    typedef int (*SwapIntervalMesa)(unsigned int);
    const SwapControl control =
        ChooseSwapControl(glXQueryExtensionsString(dpy_, DefaultScreen(dpy_)));
    if (control == SWAP_CONTROL_EXT) {
        auto set = (SwapIntervalExt)glXGetProcAddressARB((const GLubyte*)"glXSwapIntervalEXT");
        if (!set) return SWAP_CONTROL_NONE;
        set(dpy_, xid, 0);
    } else if (control == SWAP_CONTROL_MESA) {
        auto set = (SwapIntervalMesa)glXGetProcAddressARB((const GLubyte*)"glXSwapIntervalMESA");
        if (!set || set(0) != 0) return SWAP_CONTROL_NONE;
    } else {
        return SWAP_CONTROL_NONE;
    }
    // An error the call may raise arrives now, at the handler that ignores
    // X errors.
    XSync(dpy_, False);
    return control;
}

bool X11Platform::SwapBuffers(HWND hwnd) {
    auto it = native_.find(hwnd);
    if (it == native_.end() || it->second.gone || !it->second.format) return false;
    MapPending();
    glXSwapBuffers(dpy_, it->second.xid);
    // Waiting for the server keeps frames from piling up in it (swaps are
    // not throttled otherwise) and puts the picture on the screen now.
    XSync(dpy_, False);
    return true;
}

}  // namespace

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
