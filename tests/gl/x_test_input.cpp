#include "tests/gl/x_test_input.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstring>

static int IgnoreXError(Display*, XErrorEvent*) { return 0; }

XTestUser::XTestUser() : dpy_(nullptr) {
    // Xvfb now and then drops a connection during its set-up.
    for (int attempt = 0; attempt < 3 && !dpy_; ++attempt) dpy_ = XOpenDisplay(nullptr);
    // Asking about windows that may have gone is part of the tests.
    XSetErrorHandler(IgnoreXError);
}

XTestUser::~XTestUser() {
    if (dpy_) XCloseDisplay(dpy_);
}

int XTestUser::screenWidth() const { return DisplayWidth(dpy_, DefaultScreen(dpy_)); }
int XTestUser::screenHeight() const { return DisplayHeight(dpy_, DefaultScreen(dpy_)); }

void XTestUser::Sync() { XSync(dpy_, False); }

void XTestUser::PressKey() {
    const KeyCode space = XKeysymToKeycode(dpy_, XK_space);
    XTestFakeKeyEvent(dpy_, space, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, space, False, CurrentTime);
    Sync();
}

void XTestUser::ClickButton(unsigned button) {
    XTestFakeButtonEvent(dpy_, button, True, CurrentTime);
    XTestFakeButtonEvent(dpy_, button, False, CurrentTime);
    Sync();
}

void XTestUser::MovePointerTo(int x, int y) {
    XTestFakeMotionEvent(dpy_, -1, x, y, CurrentTime);
    Sync();
}

Window XTestUser::MakeWindow(int x, int y, int w, int h, Window parent) {
    if (!parent) parent = DefaultRootWindow(dpy_);
    Window win = XCreateSimpleWindow(dpy_, parent, x, y, (unsigned)w, (unsigned)h, 0, 0, 0);
    XMapWindow(dpy_, win);
    Sync();
    return win;
}

void XTestUser::Focus(Window window) {
    XSetInputFocus(dpy_, window, RevertToPointerRoot, CurrentTime);
    Sync();
}

bool XTestUser::Attributes(Window window, XWindowAttributes* out) {
    return window && XGetWindowAttributes(dpy_, window, out) != 0;
}

Window XTestUser::ParentOf(Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy_, window, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    return parent;
}

Window XTestUser::FindTopLevel(const char* resName) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy_, children[i], &a) || a.map_state != IsViewable) continue;
        XClassHint cls{};
        if (!XGetClassHint(dpy_, children[i], &cls)) continue;
        if (cls.res_name && std::strcmp(cls.res_name, resName) == 0) found = children[i];
        if (cls.res_name) XFree(cls.res_name);
        if (cls.res_class) XFree(cls.res_class);
    }
    if (children) XFree(children);
    return found;
}
