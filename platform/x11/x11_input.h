// X input and window events as the window messages the host understands.
#pragma once

#include <X11/Xlib.h>

#include "platform/platform.h"

namespace plat {

struct InputMessage {
    uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The message that event ev of a window stands for; false when it stands
// for none.  topLevel: the window has no parent (only such windows are
// activated).  width, height: the window's size as last known, so that a
// ConfigureNotify becomes WM_SIZE only when the size changed.
//
//   KeyPress / KeyRelease    WM_KEYDOWN / WM_KEYUP, wParam the X keycode
//   ButtonPress 1, 2, 3      WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN
//                            (X button 2 is the middle one), likewise releases
//   ButtonPress 4, 5         WM_MOUSEWHEEL, one notch up or down; the
//                            sideways wheel (6, 7) and extra buttons: nothing
//   MotionNotify             WM_MOUSEMOVE, window-relative x and y in lParam
//   EnterNotify              WM_MOUSEMOVE at the entry point, as a window that
//                            appears under the pointer sees a move
//   FocusIn / FocusOut       WM_ACTIVATE, wParam 1 / 0, see below
//   ConfigureNotify          WM_SIZE with the new width and height
//   Expose (last of a run)   WM_PAINT
//
// Focus: only a real change of the focus activates or deactivates.  Events
// caused by grabs (mode NotifyGrab / NotifyUngrab: focus returns when the
// grab ends), by focus moving within the window's own subtree
// (NotifyInferior) or by the pointer while the focus is PointerRoot
// (NotifyPointer, NotifyPointerRoot, NotifyDetailNone) are ignored.
bool TranslateInputEvent(const XEvent& ev, bool topLevel, int width, int height, InputMessage* out);

}  // namespace plat
