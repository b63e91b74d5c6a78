#include "platform/platform_base.h"

#include <vector>

namespace plat {

PlatformBase::Window* PlatformBase::Find(HWND hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
}

bool PlatformBase::IsOwnWindow(HWND hwnd) const { return windows_.count(hwnd) != 0; }

bool PlatformBase::RegisterClass(const char* name, WNDPROC proc, uint32_t) {
    if (!name || !proc || classes_.count(name)) return false;
    classes_[name] = proc;
    return true;
}

HWND PlatformBase::CreateWindow(const char* className, const char* title, uint32_t style, int x,
                                int y, int w, int h, HWND parent) {
    auto cls = classes_.find(className ? className : "");
    if (cls == classes_.end()) return 0;
    if ((style & WS_CHILD) && !IsWindow(parent)) return 0;
    Window rec;
    rec.proc = cls->second;
    rec.parent = parent;
    rec.style = style;
    rec.x = x;
    rec.y = y;
    rec.w = w < 0 ? 0 : w;
    rec.h = h < 0 ? 0 : h;
    rec.visible = (style & WS_VISIBLE) != 0;
    HWND hwnd = NativeCreate(rec, title ? title : "");
    if (!hwnd) return 0;
    windows_[hwnd] = rec;
    // Creation and the first size arrive inside the creation call.
    if (rec.proc(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (IsWindow(hwnd)) rec.proc(hwnd, WM_SIZE, 0, MakeLParam(rec.w, rec.h));
    return IsWindow(hwnd) ? hwnd : 0;
}

bool PlatformBase::DestroyWindow(HWND hwnd) {
    Window* win = Find(hwnd);
    if (!win || win->destroying) return false;
    win->destroying = true;
    WNDPROC proc = win->proc;
    // Children go first, as they do when a parent is destroyed.
    std::vector<HWND> children;
    for (auto& kv : windows_)
        if (kv.second.parent == hwnd) children.push_back(kv.first);
    for (HWND child : children) DestroyWindow(child);
    proc(hwnd, WM_DESTROY, 0, 0);
    proc(hwnd, WM_NCDESTROY, 0, 0);
    windows_.erase(hwnd);
    // Messages still queued for a dead window are dropped.
    for (auto it = queue_.begin(); it != queue_.end();)
        it = (it->hwnd == hwnd) ? queue_.erase(it) : it + 1;
    NativeDestroy(hwnd);
    return true;
}

bool PlatformBase::IsWindow(HWND hwnd) {
    if (!hwnd) return false;
    if (Find(hwnd)) return true;  // still a window while its WM_DESTROY runs
    return ForeignIsWindow(hwnd);
}

bool PlatformBase::IsWindowVisible(HWND hwnd) {
    if (Window* w = Find(hwnd)) {
        if (!w->visible) return false;
        return w->parent ? IsWindowVisible(w->parent) : true;
    }
    return ForeignIsWindow(hwnd) && ForeignIsVisible(hwnd);
}

bool PlatformBase::ShowWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return false;
    bool was = w->visible;
    w->visible = true;
    NativeShow(hwnd);
    return was;
}

bool PlatformBase::GetClientRect(HWND hwnd, int* right, int* bottom) {
    if (Window* w = Find(hwnd)) {
        *right = w->w;
        *bottom = w->h;
        return true;
    }
    return ForeignClientRect(hwnd, right, bottom);
}

bool PlatformBase::MoveWindow(HWND hwnd, int x, int y, int w, int h) {
    Window* win = Find(hwnd);
    if (!win) return false;
    w = w < 0 ? 0 : w;
    h = h < 0 ? 0 : h;
    const bool resized = w != win->w || h != win->h;
    win->x = x;
    win->y = y;
    win->w = w;
    win->h = h;
    NativeMove(hwnd, x, y, w, h);
    if (resized) SendMessage(hwnd, WM_SIZE, 0, MakeLParam(w, h));
    return true;
}

void PlatformBase::PostMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    queue_.push_back(MSG{hwnd, message, wParam, lParam});
}

void PlatformBase::PostMonitorPower(LPARAM power) {
    for (auto& kv : windows_) {
        const HWND hwnd = kv.first;
        if (power != -1) {
            if (!IsOwnWindow(kv.second.parent))
                PostMessage(hwnd, WM_SYSCOMMAND, SC_MONITORPOWER, power);
            continue;
        }
        bool queued = false;
        for (const MSG& m : queue_) queued = queued || (m.hwnd == hwnd && m.message == WM_PAINT);
        if (!queued) PostMessage(hwnd, WM_PAINT, 0, 0);
    }
}

bool PlatformBase::PeekMessage(MSG* msg, HWND filter) {
    PumpEvents();
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (filter && it->hwnd != filter) continue;
        *msg = *it;
        queue_.erase(it);
        return true;
    }
    return false;
}

LRESULT PlatformBase::DispatchMessage(const MSG& msg) {
    Window* w = Find(msg.hwnd);
    if (!w) return 0;
    return w->proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

LRESULT PlatformBase::SendMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    return w->proc(hwnd, message, wParam, lParam);
}

LRESULT PlatformBase::DefWindowProc(HWND hwnd, uint32_t message, WPARAM, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    default:
        return 0;
    }
}

}  // namespace plat
