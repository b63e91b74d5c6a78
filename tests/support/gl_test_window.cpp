#include "tests/support/gl_test_window.h"

#include "tests/support/test_display.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>

struct GlTestWindow::Impl {
    Display* dpy = nullptr;
    Window win = 0;
    GLXContext ctx = nullptr;
    Colormap cmap = 0;
};

GlTestWindow::GlTestWindow(int w, int h, bool accum) : impl_(new Impl), w_(w), h_(h) {
    impl_->dpy = TestDisplay();
    if (!impl_->dpy) {
        std::fprintf(stderr, "GlTestWindow: cannot open display\n");
        return;
    }
    int attrs[] = {GLX_RGBA,
                   GLX_DOUBLEBUFFER,
                   GLX_RED_SIZE,
                   8,
                   GLX_GREEN_SIZE,
                   8,
                   GLX_BLUE_SIZE,
                   8,
                   GLX_ALPHA_SIZE,
                   8,
                   GLX_DEPTH_SIZE,
                   24,
                   accum ? GLX_ACCUM_RED_SIZE : (int)None,
                   16,
                   GLX_ACCUM_GREEN_SIZE,
                   16,
                   GLX_ACCUM_BLUE_SIZE,
                   16,
                   None};
    XVisualInfo* vi = glXChooseVisual(impl_->dpy, DefaultScreen(impl_->dpy), attrs);
    if (!vi) {
        std::fprintf(stderr, "GlTestWindow: no matching visual\n");
        return;
    }
    Window root = RootWindow(impl_->dpy, vi->screen);
    XSetWindowAttributes swa{};
    impl_->cmap = XCreateColormap(impl_->dpy, root, vi->visual, AllocNone);
    swa.colormap = impl_->cmap;
    swa.border_pixel = 0;
    swa.event_mask = StructureNotifyMask;
    impl_->win = XCreateWindow(impl_->dpy, root, 0, 0, w, h, 0, vi->depth, InputOutput, vi->visual,
                               CWColormap | CWBorderPixel | CWEventMask, &swa);
    XMapWindow(impl_->dpy, impl_->win);
    // Draw only once the window is on screen.
    XEvent ev;
    do {
        XWindowEvent(impl_->dpy, impl_->win, StructureNotifyMask, &ev);
    } while (ev.type != MapNotify);
    impl_->ctx = glXCreateContext(impl_->dpy, vi, nullptr, True);
    XFree(vi);
    if (!impl_->ctx) {
        std::fprintf(stderr, "GlTestWindow: no GL context\n");
        return;
    }
    XSync(impl_->dpy, False);
    ok_ = glXMakeCurrent(impl_->dpy, impl_->win, impl_->ctx);
    if (!ok_) std::fprintf(stderr, "GlTestWindow: cannot make the context current\n");
    glViewport(0, 0, w, h);
}

GlTestWindow::~GlTestWindow() {
    if (impl_->dpy) {
        glXMakeCurrent(impl_->dpy, None, nullptr);
        if (impl_->ctx) glXDestroyContext(impl_->dpy, impl_->ctx);
        if (impl_->win) XDestroyWindow(impl_->dpy, impl_->win);
        if (impl_->cmap) XFreeColormap(impl_->dpy, impl_->cmap);
        XSync(impl_->dpy, False);
    }
    delete impl_;
}

void GlTestWindow::ReadPixel(int x, int y, uint8_t rgba[4]) const {
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

std::vector<uint8_t> GlTestWindow::ReadAll() const {
    std::vector<uint8_t> px((size_t)w_ * h_ * 4);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w_, h_, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

void GlTestWindow::Swap() { glXSwapBuffers(impl_->dpy, impl_->win); }
