// X input: events turned into window messages, and the focus, keyboard
// grab and cursor of our windows.
#include "platform/x11/x11_input.h"

#include "platform/x11/x11_platform_class.h"

namespace plat {

static bool ButtonMessage(unsigned button, bool press, uint32_t* message) {
    switch (button) {
    case Button1:
        *message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        return true;
    case Button2:
        *message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        return true;
    case Button3:
        *message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        return true;
    default:
        return false;
    }
}

static bool RealFocusChange(const XFocusChangeEvent& e) {
    if (e.mode != NotifyNormal && e.mode != NotifyWhileGrabbed) return false;
    return e.detail == NotifyAncestor || e.detail == NotifyVirtual || e.detail == NotifyNonlinear ||
           e.detail == NotifyNonlinearVirtual;
}

bool TranslateInputEvent(const XEvent& ev, bool topLevel, int width, int height,
                         InputMessage* out) {
    switch (ev.type) {
    case KeyPress:
    case KeyRelease:
        *out = {ev.type == KeyPress ? WM_KEYDOWN : WM_KEYUP, (WPARAM)ev.xkey.keycode, 1};
        return true;
    case ButtonPress:
    case ButtonRelease: {
        const XButtonEvent& b = ev.xbutton;
        uint32_t message;
        if (ButtonMessage(b.button, ev.type == ButtonPress, &message)) {
            *out = {message, 0, MakeLParam(b.x, b.y)};
            return true;
        }
        if (ev.type == ButtonPress && (b.button == Button4 || b.button == Button5)) {
            const int delta = b.button == Button4 ? 120 : -120;  // one notch
            *out = {WM_MOUSEWHEEL, (WPARAM)(uint32_t)((uint32_t)(uint16_t)delta << 16),
                    MakeLParam(b.x_root, b.y_root)};
            return true;
        }
        return false;
    }
    case MotionNotify:
        *out = {WM_MOUSEMOVE, 0, MakeLParam(ev.xmotion.x, ev.xmotion.y)};
        return true;
    case EnterNotify:
        if (ev.xcrossing.mode != NotifyNormal) return false;
        *out = {WM_MOUSEMOVE, 0, MakeLParam(ev.xcrossing.x, ev.xcrossing.y)};
        return true;
    case FocusIn:
    case FocusOut:
        if (!topLevel || !RealFocusChange(ev.xfocus)) return false;
        *out = {WM_ACTIVATE, ev.type == FocusIn ? (WPARAM)1 : (WPARAM)0, 0};
        return true;
    case ConfigureNotify: {
        const XConfigureEvent& c = ev.xconfigure;
        if (c.width == width && c.height == height) return false;
        *out = {WM_SIZE, 0, MakeLParam(c.width, c.height)};
        return true;
    }
    case Expose:
        if (ev.xexpose.count != 0) return false;
        *out = {WM_PAINT, 0, 0};
        return true;
    default:
        return false;
    }
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
    grabbed_ =
        XGrabKeyboard(dpy_, n.xid, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
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

}  // namespace plat
