// The small window-system layer the saver runs on: windows with a window
// procedure, a per-thread message queue, screen metrics, the cursor, message
// boxes, the registry, the saver-running flag, password services, clocks and
// the GL pixel format / context / swap.
//
// Host code calls the free functions in namespace plat; they forward to the
// installed Platform.  Each implementation is a backend in a folder of its
// own: platform/x11 (with platform/posix) for the program on Linux,
// platform/win32 for the program on Windows, and platform/memory for the
// tests and tools.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/globals.h"

namespace plat {

typedef uintptr_t HWND;  // 0 is "no window"
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef LRESULT (*WNDPROC)(HWND, uint32_t, WPARAM, LPARAM);

// Window messages (values as the saver's host logic knows them).
enum : uint32_t {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_ERASEBKGND = 0x0014,
    WM_ACTIVATEAPP = 0x001C,
    WM_MOUSEACTIVATE = 0x0021,
    WM_NCDESTROY = 0x0082,
    WM_NCACTIVATE = 0x0086,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSCOMMAND = 0x0112,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
};

enum : WPARAM { SC_MONITORPOWER = 0xF170 };

// WM_MOUSEACTIVATE's answer: a click does not activate the window.
enum : LRESULT { MA_NOACTIVATE = 3 };

// Window styles.
enum : uint32_t {
    WS_POPUP = 0x80000000u,
    WS_CHILD = 0x40000000u,
    WS_VISIBLE = 0x10000000u,
    WS_CAPTION = 0x00C00000u,
};

// Window class styles.
enum : uint32_t { CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_OWNDC = 0x0020 };

// Message box flags.
enum : unsigned { MB_OK = 0x0, MB_ICONERROR = 0x10 };

enum { VER_PLATFORM_WIN32_WINDOWS = 1, VER_PLATFORM_WIN32_NT = 2 };

enum Hive { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER };

struct MSG {
    HWND hwnd;
    uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
};

// One monitor's place on the desktop, in physical pixels: the primary's
// top left is (0, 0), others may lie at negative coordinates.
struct MonitorRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool primary = false;
};

inline LPARAM MakeLParam(int lo, int hi) {
    return (LPARAM)(uint32_t)(((uint32_t)(uint16_t)lo) | ((uint32_t)(uint16_t)hi << 16));
}

// The pixel-format request and description, with the fields the saver uses.
enum : uint32_t {
    PFD_DOUBLEBUFFER = 0x01,
    PFD_DRAW_TO_WINDOW = 0x04,
    PFD_SUPPORT_OPENGL = 0x20,
    PFD_GENERIC_FORMAT = 0x40,
};
struct PixelFormatDescriptor {
    uint16_t nSize = 40;
    uint16_t nVersion = 1;
    uint32_t dwFlags = 0;
    uint8_t iPixelType = 0;  // 0: RGBA
    uint8_t cColorBits = 0;
    uint8_t cAccumBits = 0;
    uint8_t cDepthBits = 0;
    uint8_t iLayerType = 0;  // 0: main plane
};

// Everything the host needs of the window system.  On X11 and in memory,
// window bookkeeping, the message queue and dispatch are shared
// (PlatformBase) and an implementation supplies the native side; the Win32
// platform hands all of it to Windows.
class Platform {
public:
    virtual ~Platform() {}

    // Window classes and windows.  style holds CS_ flags; a platform
    // without class styles ignores them.
    virtual bool RegisterClass(const char* name, WNDPROC proc, uint32_t style = 0) = 0;
    virtual HWND CreateWindow(const char* className, const char* title, uint32_t style, int x,
                              int y, int w, int h, HWND parent) = 0;
    virtual bool DestroyWindow(HWND hwnd) = 0;
    virtual bool IsWindow(HWND hwnd) = 0;
    virtual bool IsWindowVisible(HWND hwnd) = 0;
    virtual bool ShowWindow(HWND hwnd) = 0;
    // Client area size; false when hwnd is not a window.
    virtual bool GetClientRect(HWND hwnd, int* right, int* bottom) = 0;
    virtual HWND GetDesktopWindow() = 0;

    // Messages.  PeekMessage removes the next message for filter (0: any).
    virtual bool PeekMessage(MSG* msg, HWND filter) = 0;
    virtual void TranslateMessage(const MSG& msg) = 0;
    virtual LRESULT DispatchMessage(const MSG& msg) = 0;
    virtual LRESULT SendMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT DefWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
    // Painting of a window that asks for it: fill with black.
    virtual void PaintBlack(HWND hwnd) = 0;
    // Moves and sizes one of our windows; a new size is sent as WM_SIZE.
    virtual bool MoveWindow(HWND hwnd, int x, int y, int w, int h) = 0;
    // Sleeps until input may be waiting or the process clock has gone
    // timeoutMs readings past the one it shows now: the wait ends as the
    // clock turns to that reading, not a whole reading later, so a frame
    // paced on it comes on time.  The run loops call it only when the queue
    // is empty, so nothing is delayed.
    virtual void WaitForEvents(int32_t timeoutMs) = 0;

    // Screen, cursor, message boxes.
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    // The monitors: writes up to capacity of them to out and returns how
    // many there are.  One screen that is the primary where the system
    // shows one picture over all its monitors (X11: the saver's window
    // covers the whole X screen).
    virtual int Monitors(MonitorRect* out, int capacity) {
        if (capacity > 0) out[0] = MonitorRect{0, 0, ScreenWidth(), ScreenHeight(), true};
        return 1;
    }
    virtual int ShowCursor(bool show) = 0;
    virtual void MessageBox(HWND owner, const char* text, const char* caption, unsigned type) = 0;

    // Registry: OpenRegistryKey is false when the key does not exist;
    // ReadRegistryValue reads a value of key under hive into buf
    // (NUL-terminated) and is false when the key or the value is missing or
    // the value does not fit.
    virtual bool OpenRegistryKey(Hive hive, const char* key) = 0;
    virtual bool ReadRegistryValue(Hive hive, const char* key, const char* value, char* buf,
                                   size_t size) = 0;

    // The system's "a screen saver is running" flag; returns the previous state.
    virtual bool SetScreenSaverRunning(bool running) = 0;

    // Platform family and run-time loaded libraries.
    virtual int PlatformId() = 0;
    virtual void* LoadLibrary(const char* name) = 0;
    virtual void* GetProcAddress(void* lib, const char* name) = 0;
    virtual void FreeLibrary(void* lib) = 0;

    // Clocks: wall milliseconds since process start, and the system tick
    // count (milliseconds since an arbitrary fixed point, wrapping at 2^32).
    virtual int32_t ProcessClockMs() = 0;
    virtual uint32_t TickCount() = 0;

    // GL: device context of a window is the window itself here.
    virtual int ChoosePixelFormat(HWND hwnd, const PixelFormatDescriptor& want) = 0;
    virtual bool DescribePixelFormat(HWND hwnd, int index, PixelFormatDescriptor* out) = 0;
    virtual bool SetPixelFormat(HWND hwnd, int index, const PixelFormatDescriptor& pfd) = 0;
    // Whether the GL renderer of the window's screen is a software
    // rasteriser, where the system tells before a context exists; false
    // where it cannot tell (the renderer's name tells once a context is
    // current).
    virtual bool SoftwareRenderer(HWND hwnd) = 0;
    virtual uintptr_t CreateContext(HWND hwnd) = 0;
    virtual bool MakeCurrent(HWND hwnd, uintptr_t context) = 0;
    virtual bool SwapBuffers(HWND hwnd) = 0;

    // The window system was needed and could not be reached (on X11: the
    // display would not open; that has been told on standard error).  The
    // program then ends with a failure status.
    virtual bool DisplayUnreachable() { return false; }
};

// The installed platform.  The native one (X11, or Win32 on Windows) is
// created on first use unless a test installed its own.
Platform& Current();
void Install(Platform* platform);  // nullptr: back to the default

// Convenience forwarding, so host code reads naturally.
inline bool RegisterClass(const char* n, WNDPROC p, uint32_t style = 0) {
    return Current().RegisterClass(n, p, style);
}
inline HWND CreateWindow(const char* c, const char* t, uint32_t s, int x, int y, int w, int h,
                         HWND parent) {
    return Current().CreateWindow(c, t, s, x, y, w, h, parent);
}
inline bool DestroyWindow(HWND h) { return Current().DestroyWindow(h); }
inline bool IsWindow(HWND h) { return Current().IsWindow(h); }
inline bool IsWindowVisible(HWND h) { return Current().IsWindowVisible(h); }
inline bool ShowWindow(HWND h) { return Current().ShowWindow(h); }
inline bool GetClientRect(HWND h, int* r, int* b) { return Current().GetClientRect(h, r, b); }
inline HWND GetDesktopWindow() { return Current().GetDesktopWindow(); }
inline bool PeekMessage(MSG* m, HWND f) { return Current().PeekMessage(m, f); }
inline void TranslateMessage(const MSG& m) { Current().TranslateMessage(m); }
inline LRESULT DispatchMessage(const MSG& m) { return Current().DispatchMessage(m); }
inline LRESULT SendMessage(HWND h, uint32_t m, WPARAM w, LPARAM l) {
    return Current().SendMessage(h, m, w, l);
}
inline LRESULT DefWindowProc(HWND h, uint32_t m, WPARAM w, LPARAM l) {
    return Current().DefWindowProc(h, m, w, l);
}
inline int ShowCursor(bool show) { return Current().ShowCursor(show); }
// A box stays open until the user answers it; meanwhile it has the focus
// the saver window had (g_run.messageBoxesOpen counts the open ones).
inline void MessageBox(HWND owner, const char* text, const char* caption, unsigned type) {
    ++g_run.messageBoxesOpen;
    Current().MessageBox(owner, text, caption, type);
    --g_run.messageBoxesOpen;
}
inline int32_t ProcessClockMs() { return Current().ProcessClockMs(); }
// The system tick count.  Tools and tests that play the show at a simulated
// pace install a MemoryPlatform and set its tick.
inline uint32_t TickCount() { return Current().TickCount(); }

}  // namespace plat
