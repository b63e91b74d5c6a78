// A second connection to the test's X server that plays the user: synthetic
// keys, buttons and pointer motion through XTest, and windows of "another
// program".
#pragma once

#include <X11/Xlib.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"

class XTestUser {
public:
    XTestUser();
    ~XTestUser();
    Display* display() const { return dpy_; }
    bool ok() const { return dpy_ != nullptr; }
    int screenWidth() const;
    int screenHeight() const;

    void PressKey();  // press and release the space bar
    void ClickButton(unsigned button);
    void MovePointerTo(int x, int y);
    // A plain mapped window of another program, w x h at (x, y).
    Window MakeWindow(int x, int y, int w, int h, Window parent = 0);
    // Gives the keyboard focus to window.
    void Focus(Window window);
    void Sync();

    // Attributes of a window; false when it is no window.
    bool Attributes(Window window, XWindowAttributes* out);
    // The X parent of window, 0 when it is no window.
    Window ParentOf(Window window);
    // A viewable top-level window whose WM_CLASS name is resName, or 0.
    Window FindTopLevel(const char* resName);

private:
    Display* dpy_;
};

// Dispatches every message queued on the installed platform.
inline void ServeMessages() {
    plat::MSG msg;
    while (plat::PeekMessage(&msg, 0)) plat::DispatchMessage(msg);
}

// Serves the installed platform's messages, syncing with the server between
// turns, until pred holds; false when ms milliseconds pass first.
template <typename Pred>
bool PumpUntil(XTestUser& user, Pred pred, int ms = 2000) {
    for (int i = 0; i < ms / 10; ++i) {
        user.Sync();
        ServeMessages();
        if (pred()) return true;
        usleep(10 * 1000);
    }
    return false;
}
