#include "platform/signals.h"

#include "platform/posix/file_in_flight.h"

#include <pthread.h>
#include <unistd.h>
#include <csignal>

namespace plat {

bool HackLaunchFormAvailable() { return true; }

// A save under way leaves the old file or the new one, and nothing else.
// Then the process ends by the signal itself, as the one who sent it
// expects of a program it stops: the default action, raised again with the
// signal no longer blocked.  Every call here is async-signal-safe.
static void EndNow(int sig) {
    RemoveFileInFlight();
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(sig, &byDefault, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(sig);
    _exit(128 + sig);  // not reached: the default action of both ends the process
}

void EndProcessOnTerminationSignal() {
    struct sigaction sa {};
    sa.sa_handler = EndNow;
    sigemptyset(&sa.sa_mask);
    // Either signal arriving while the other is handled waits: the clean-up
    // runs once.
    sigaddset(&sa.sa_mask, SIGTERM);
    sigaddset(&sa.sa_mask, SIGINT);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

unsigned ProcessSeedSalt() { return (unsigned)getpid() * 2654435761u; }

}  // namespace plat
