#include "platform/signals.h"

#include "platform/posix/file_in_flight.h"

#include <unistd.h>
#include <csignal>

namespace plat {

bool HackLaunchFormAvailable() { return true; }

// A save under way leaves the old file or the new one, and nothing else.
static void EndNow(int) {
    RemoveFileInFlight();
    _exit(0);
}

void EndProcessOnTerminationSignal() {
    struct sigaction sa {};
    sa.sa_handler = EndNow;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

unsigned ProcessSeedSalt() { return (unsigned)getpid() * 2654435761u; }

}  // namespace plat
