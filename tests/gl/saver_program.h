// The built saver program run as a child process against a temporary
// installation, with a second X connection playing the user.
#pragma once

#include <gtest/gtest.h>  // first: before the X headers' macros

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/gl/child_process.h"
#include "tests/gl/x_test_input.h"
#include "tests/support/test_support.h"

class SaverProgramTest : public ::testing::Test {
protected:
    // The machine-wide settings file naming the installation.
    void WriteMachineKey() {
        std::string dir = install.path();
        dir.pop_back();
        install.Write("xdg/CorvelScreenSavers/FreeWavendell", "Dir=" + dir + "\n");
    }
    // Starts the program with args; its output goes to out.txt and err.txt
    // of the installation.
    bool Start(const std::vector<std::string>& args) {
        return program.Start(WAVENDELL_BINARY, args, env, install.path() + "out.txt",
                             install.path() + "err.txt");
    }
    std::string Out() const { return install.Read("out.txt"); }
    std::string Err() const { return install.Read("err.txt"); }
    // Polls pred every 20 ms; false when ms (default: patienceMs) pass first.
    template <typename Pred>
    bool WaitFor(Pred pred, int ms = -1) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(ms < 0 ? patienceMs : ms);
        while (std::chrono::steady_clock::now() < deadline) {
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    int patienceMs = 20000;
    XTestUser user;
    TempDir install;
    std::vector<ChildProcess::EnvChange> env;
    ChildProcess program;
};
