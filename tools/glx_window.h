// A plain X window with a double-buffered GLX context, for the tools that
// drive the frame themselves (player, benchmark) without the saver window.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

class ToolGlxWindow {
public:
    // A w x h window; with accum the visual has a 16-bit-per-channel
    // accumulation buffer.  ok() tells whether the context is current.
    ToolGlxWindow(int w, int h, bool accum) : w_(w), h_(h) {
        // A busy X server may refuse a connection for a moment (EAGAIN).
        for (int attempt = 0; attempt < 50 && !dpy_; ++attempt) {
            dpy_ = XOpenDisplay(nullptr);
            if (!dpy_) usleep(20000);
        }
        if (!dpy_) return;
        int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                       GLX_BLUE_SIZE, 8, GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 24,
                       accum ? GLX_ACCUM_RED_SIZE : (int)None, 16, GLX_ACCUM_GREEN_SIZE, 16,
                       GLX_ACCUM_BLUE_SIZE, 16, None};
        XVisualInfo* vi = glXChooseVisual(dpy_, DefaultScreen(dpy_), attrs);
        if (!vi) return;
        Window root = RootWindow(dpy_, vi->screen);
        XSetWindowAttributes swa{};
        cmap_ = XCreateColormap(dpy_, root, vi->visual, AllocNone);
        swa.colormap = cmap_;
        swa.border_pixel = 0;
        win_ = XCreateWindow(dpy_, root, 0, 0, w, h, 0, vi->depth, InputOutput, vi->visual,
                             CWColormap | CWBorderPixel, &swa);
        XMapWindow(dpy_, win_);
        ctx_ = glXCreateContext(dpy_, vi, nullptr, True);
        XFree(vi);
        if (!ctx_) return;
        XSync(dpy_, False);
        ok_ = glXMakeCurrent(dpy_, win_, ctx_);
    }
    ~ToolGlxWindow() {
        if (!dpy_) return;
        glXMakeCurrent(dpy_, None, nullptr);
        if (ctx_) glXDestroyContext(dpy_, ctx_);
        if (win_) XDestroyWindow(dpy_, win_);
        if (cmap_) XFreeColormap(dpy_, cmap_);
        XCloseDisplay(dpy_);
    }
    ToolGlxWindow(const ToolGlxWindow&) = delete;
    ToolGlxWindow& operator=(const ToolGlxWindow&) = delete;

    bool ok() const { return ok_; }
    int width() const { return w_; }
    int height() const { return h_; }
    void Swap() { glXSwapBuffers(dpy_, win_); }
    // The back buffer, RGBA rows bottom first.
    void ReadBack(std::vector<uint8_t>& rgba) const {
        rgba.resize((size_t)w_ * h_ * 4);
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w_, h_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }

private:
    Display* dpy_ = nullptr;
    Window win_ = 0;
    GLXContext ctx_ = nullptr;
    Colormap cmap_ = 0;
    bool ok_ = false;
    int w_, h_;
};
