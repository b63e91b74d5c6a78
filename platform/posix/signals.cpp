#include "platform/signals.h"

#include <unistd.h>
#include <csignal>

namespace plat {

bool HackLaunchFormAvailable() { return true; }

static void EndNow(int) { _exit(0); }

void EndProcessOnTerminationSignal() {
    struct sigaction sa {};
    sa.sa_handler = EndNow;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

unsigned ProcessSeedSalt() { return (unsigned)getpid() * 2654435761u; }

}  // namespace plat
