// The test process's own X connection, opened once and kept until the
// process exits.  GL questions asked of the server load Mesa's driver into
// the process; on a connection that later closes, the driver is unloaded
// again, and LeakSanitizer can then no longer name the library that holds
// the driver's lasting allocations (so its suppressions miss them).  Every
// GLX call a test makes itself goes through this connection.
#pragma once

#include <X11/Xlib.h>

// The connection, or nullptr when no X server answers.  An X server
// without -noreset restarts when its last client leaves and refuses
// connections meanwhile, so the first connection is retried briefly.
Display* TestDisplay();

// GLX_ACCUM_RED_SIZE of the visual a window of this server uses, or -1
// when the window or its visual is unknown.
int AccumRedBitsOfWindow(Window window);
