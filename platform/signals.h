// Process-level services of the launch form XScreenSaver uses.
#pragma once

namespace plat {

// SIGTERM (and SIGINT) end the process at once with status 0.
void EndProcessOnTerminationSignal();

// A value that differs between processes started in the same second, to mix
// into the random seed.
unsigned ProcessSeedSalt();

}  // namespace plat
