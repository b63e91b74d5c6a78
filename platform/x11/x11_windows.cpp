// Windows and events of the X11 platform.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#ifdef WAVENDELL_HAVE_XEXT
#include <X11/extensions/dpms.h>
#endif
#include <poll.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "platform/x11/x11_input.h"
#include "platform/x11/x11_platform_class.h"

namespace plat {

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
    const unsigned long mask =
        CWColormap | CWBorderPixel | CWBackPixel | CWEventMask | CWOverrideRedirect;
    // X has no empty windows; a zero size still counts as zero for the host.
    XWindow xid =
        XCreateWindow(dpy_, n.xparent, rec.x, rec.y, (unsigned)std::max(rec.w, 1),
                      (unsigned)std::max(rec.h, 1), 0, depth, InputOutput, visual, mask, &attrs);
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

void X11Platform::PaintBlack(HWND hwnd) {
    auto it = native_.find(hwnd);
    if (it == native_.end() || it->second.gone) return;
    MapPending();
    XClearWindow(dpy_, it->second.xid);  // the background is black
    XFlush(dpy_);
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
    // The microsecond at which the clock turns to the reading asked for.
    const int64_t now = MonotonicUs();
    const int64_t left = (now / 1000 + timeoutMs) * 1000 - now;
    const timespec ts{(time_t)(left / 1000000), (long)(left % 1000000) * 1000};
    if (!dpy_) {
        nanosleep(&ts, nullptr);
        return;
    }
    // XPending sends what is buffered and takes in what has arrived; only
    // when nothing is waiting does the connection need watching.
    if (XPending(dpy_)) return;
    pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
    ppoll(&fd, 1, &ts, nullptr);  // a signal ends the wait early, never late
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

}  // namespace plat
