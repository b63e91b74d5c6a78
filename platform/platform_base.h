// Window bookkeeping, the message queue and dispatch, shared by the X11 and
// in-memory platforms (the Win32 one leaves all of it to Windows).  A
// platform built on it adds the native windows, events, clocks and GL;
// foreign windows (parents given by handle) are asked of it directly.
#pragma once

#include <deque>
#include <map>
#include <string>

#include "platform/platform.h"

namespace plat {

class PlatformBase : public Platform {
public:
    bool RegisterClass(const char* name, WNDPROC proc, uint32_t style = 0) override;
    HWND CreateWindow(const char* className, const char* title, uint32_t style, int x, int y, int w,
                      int h, HWND parent) override;
    bool DestroyWindow(HWND hwnd) override;
    bool IsWindow(HWND hwnd) override;
    bool IsWindowVisible(HWND hwnd) override;
    bool ShowWindow(HWND hwnd) override;
    bool GetClientRect(HWND hwnd, int* right, int* bottom) override;
    bool MoveWindow(HWND hwnd, int x, int y, int w, int h) override;

    bool PeekMessage(MSG* msg, HWND filter) override;
    void TranslateMessage(const MSG&) override {}
    LRESULT DispatchMessage(const MSG& msg) override;
    LRESULT SendMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override;

    // Queues a message for a window (what native input turns into).
    void PostMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam);
    // A change of the display's power, as native power management reports
    // it.  A power-down (1 low power, 2 off) is queued as WM_SYSCOMMAND
    // SC_MONITORPOWER for each of our windows whose parent is not ours;
    // power back on (-1) queues a paint for each of our windows that has
    // none queued, so that a paused preview resumes.
    void PostMonitorPower(LPARAM power);
    bool IsOwnWindow(HWND hwnd) const;

protected:
    struct Window {
        WNDPROC proc = nullptr;
        HWND parent = 0;
        uint32_t style = 0;
        int x = 0, y = 0, w = 0, h = 0;
        bool visible = false;
        bool destroying = false;
    };

    // Native side.  NativeCreate returns the new handle (0 on failure).
    virtual HWND NativeCreate(const Window& w, const char* title) = 0;
    virtual void NativeDestroy(HWND hwnd) = 0;
    virtual void NativeShow(HWND hwnd) = 0;
    virtual void NativeMove(HWND, int /*x*/, int /*y*/, int /*w*/, int /*h*/) {}
    // Moves pending native events into the queue.
    virtual void PumpEvents() = 0;
    // Foreign windows: not created by us.
    virtual bool ForeignIsWindow(HWND hwnd) = 0;
    virtual bool ForeignIsVisible(HWND hwnd) = 0;
    virtual bool ForeignClientRect(HWND hwnd, int* right, int* bottom) = 0;

    Window* Find(HWND hwnd);

    std::map<std::string, WNDPROC> classes_;
    std::map<HWND, Window> windows_;
    std::deque<MSG> queue_;
};

}  // namespace plat
