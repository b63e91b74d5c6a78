// Process-level services of the launch form XScreenSaver uses.  Windows
// has no XScreenSaver: there the launch form is not recognised and these
// services do nothing of note.
#pragma once

namespace plat {

// True where savers are started in XScreenSaver's launch form (X11).
bool HackLaunchFormAvailable();

// SIGTERM (and SIGINT) end the process at once: a file being replaced is
// cleaned up, then the process ends by that signal (the parent sees it
// killed by SIGTERM or SIGINT, not an exit status).
void EndProcessOnTerminationSignal();

// A value that differs between processes started in the same second, to mix
// into the random seed.
unsigned ProcessSeedSalt();

}  // namespace plat
