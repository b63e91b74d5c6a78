// The X11/GLX platform's one class, shared by its source files:
// x11_platform.cpp (the connection, the registry, clocks and the factory),
// x11_windows.cpp (windows and events), x11_input.cpp (focus, keyboard grab
// and cursor) and glx_context.cpp (pixel formats, contexts and swaps).
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
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/platform_base.h"
#include "platform/x11/display_power.h"
#include "platform/x11/glx_pixel_format.h"
#include "platform/x11/glx_swap_control.h"
#include "platform/x11/registry_files.h"

namespace plat {

// Milliseconds of the monotonic clock.
int64_t MonotonicMs();
int64_t MonotonicUs();

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
    bool SoftwareRenderer(HWND hwnd) override;
    uintptr_t CreateContext(HWND hwnd) override;
    bool MakeCurrent(HWND hwnd, uintptr_t context) override;
    bool SwapBuffers(HWND hwnd) override;
    bool DisplayUnreachable() override { return triedOpen_ && !dpy_; }

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
        bool popup = false;             // takes focus and keyboard
        bool overrideRedirect = false;  // left alone by the window manager
        bool captioned = false;         // managed, titled, closable
        bool topLevel = true;
        bool mapPending = false;
        bool mapped = false;
        bool gone = false;  // destroyed by someone else
        int format = 0;     // pixel format, 0 until set
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
    bool RendererAccelerated();
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
    int indirect_ = -1;     // unknown until asked
    int accelerated_ = -1;  // unknown until asked

    MonitorPowerWatch powerWatch_;
    int dpmsPresent_ = -1;  // unknown until asked
};

}  // namespace plat
