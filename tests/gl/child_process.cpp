#include "tests/gl/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

ChildProcess::~ChildProcess() {
    if (pid_ <= 0) return;
    // Asked first, so that a server removes its lock and socket.
    kill(pid_, SIGTERM);
    int status = 0;
    if (!Wait(3000, &status)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<EnvChange>& env, const std::string& outFile,
                         const std::string& errFile) {
    // Everything the child needs is prepared before the fork.
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        bool changed = false;
        for (const EnvChange& c : env) changed = changed || c.name == name;
        if (!changed) envStrings.push_back(entry);
    }
    for (const EnvChange& c : env)
        if (c.set) envStrings.push_back(c.name + "=" + c.value);
    std::vector<char*> envp;
    for (std::string& s : envStrings) envp.push_back(&s[0]);
    envp.push_back(nullptr);
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argStrings) argv.push_back(&s[0]);
    argv.push_back(nullptr);

    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out, 1);
        dup2(err, 2);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out);
    close(err);
    return pid_ > 0;
}

bool ChildProcess::Wait(int ms, int* status) {
    if (pid_ <= 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        int raw = 0;
        pid_t done = waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            endSignal_ = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
            *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool ChildProcess::Signal(int sig) { return pid_ > 0 && kill(pid_, sig) == 0; }
