// The monitors other than the primary, covered while the saver runs full
// screen: its own window covers the primary screen only, and the others
// would go on showing the desktop.
#pragma once

#include "platform/platform.h"

// Covers each monitor other than the primary with a plain black window of
// the saver window's style.  Called before the saver window is made, which
// then takes the focus.
void CoverOtherMonitors();
// Destroys the covers; called when the saver window goes.
void RemoveMonitorCovers();

// A cover's window procedure: black, never activated by a click, and the
// input that ends the saver goes to the saver window (mouse positions in
// desktop coordinates, which are the saver window's own).
plat::LRESULT MonitorCoverWindowProc(plat::HWND hwnd, uint32_t message, plat::WPARAM wParam,
                                     plat::LPARAM lParam);
