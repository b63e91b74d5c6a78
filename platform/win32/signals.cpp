// Windows starts savers with its own switches, never in XScreenSaver's
// launch form, and ends them through their windows.
#include <windows.h>

#include "platform/signals.h"

namespace plat {

bool HackLaunchFormAvailable() { return false; }

void EndProcessOnTerminationSignal() {}

unsigned ProcessSeedSalt() { return (unsigned)GetCurrentProcessId() * 2654435761u; }

}  // namespace plat
