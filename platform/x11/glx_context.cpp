// Pixel formats, contexts and buffer swaps of the X11 platform, through GLX.
#include <GL/glx.h>
#include <X11/Xutil.h>

#include "platform/x11/x11_platform_class.h"

namespace plat {

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
        f.caveat = caveat == GLX_SLOW_CONFIG             ? CAVEAT_SLOW
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

// Whether the screen's renderer works on the graphics hardware, as
// GLX_MESA_query_renderer answers before any context exists: asked once.
// Where the extension is missing (indirect rendering, other vendors'
// libraries) nothing is known here, and it counts as accelerated.
bool X11Platform::RendererAccelerated() {
    if (accelerated_ < 0) {
        accelerated_ = 1;
        const int screen = dpy_ ? DefaultScreen(dpy_) : 0;
        if (ReadFormats() &&
            HasGlxExtension(glXQueryExtensionsString(dpy_, screen), "GLX_MESA_query_renderer")) {
            typedef Bool (*QueryRendererInteger)(Display*, int, int, int, unsigned int*);
            auto query = (QueryRendererInteger)glXGetProcAddressARB(
                (const GLubyte*)"glXQueryRendererIntegerMESA");
            unsigned int value = 1;
            if (query && query(dpy_, screen, 0, GLX_RENDERER_ACCELERATED_MESA, &value))
                accelerated_ = value ? 1 : 0;
        }
    }
    return accelerated_ == 1;
}

bool X11Platform::SoftwareRenderer(HWND hwnd) {
    return native_.count(hwnd) && !RendererAccelerated();
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

}  // namespace plat
