// Runs a program as a child process with a changed environment and its
// output in files, for tests of the built program.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

class ChildProcess {
public:
    struct EnvChange {
        std::string name;
        bool set;  // false: removed
        std::string value;
    };

    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Ends the child if it still runs (SIGTERM, then SIGKILL).
    ~ChildProcess();

    // Starts program with args (without the program name); standard output
    // and error go to the two files.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<EnvChange>& env, const std::string& outFile,
               const std::string& errFile);
    // Waits up to ms milliseconds for the end.  True when it ended; *status
    // is then its exit status, or 128 + the signal that killed it.
    bool Wait(int ms, int* status);
    // The signal that ended the child at the last successful Wait, 0 when
    // it exited.
    int EndSignal() const { return endSignal_; }
    // Sends sig to the child; false when it is not running.
    bool Signal(int sig);

private:
    pid_t pid_ = -1;
    int endSignal_ = 0;
};
