// Shared helpers of the tests: a temporary data directory, file writing,
// and the in-memory platform installed for a test's lifetime.
#pragma once

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

// A fresh directory in the system's temporary folder, removed with the object.  Its path ends in a
// slash, like the data directory.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    // Writes a file below the directory (subfolders are created).
    std::string Write(const std::string& relative, const std::string& content) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    // The names in the directory itself, sorted.
    std::vector<std::string> List() const;

private:
    std::string path_;
};

// Installs a MemoryPlatform while alive.
class MemoryPlatformScope {
public:
    MemoryPlatformScope();
    ~MemoryPlatformScope();
    plat::MemoryPlatform platform;
};

// Sets g_dataDir to dir (which ends with a slash).
void UseDataDir(const std::string& dir);

// Puts the process back as it starts: no show or sprite textures, initial
// options, and every other global and the run state at its start value.
void ResetProcess();
