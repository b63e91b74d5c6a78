#include "tests/support/test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "fountains/fountain_textures.h"
#include "options/options.h"
#include "platform/globals.h"
#include "scenario/scenario.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
    // A folder with a name nobody else has: create_directory is false when
    // the name is taken.  The test cannot go on without it.
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "wavendell_test_%08x", (unsigned)random());
        std::error_code error;
        if (fs::create_directory(base / name, error)) {
            path_ = (base / name).string() + "/";
            return;
        }
        if (error) break;
    }
    std::fprintf(stderr, "cannot make a temporary folder in %s\n", base.string().c_str());
    std::abort();
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

static void MakeParents(const std::string& file) {
    std::error_code ignored;
    fs::create_directories(fs::path(file).parent_path(), ignored);
}

std::string TempDir::Write(const std::string& relative, const std::string& content) const {
    std::string full = path_ + relative;
    MakeParents(full);
    std::ofstream out(full, std::ios::binary);
    out << content;
    return full;
}

std::string TempDir::Read(const std::string& relative) const {
    std::ifstream in(path_ + relative, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TempDir::Exists(const std::string& relative) const {
    std::error_code ignored;
    return fs::exists(path_ + relative, ignored);
}

std::vector<std::string> TempDir::List() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(path_, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

MemoryPlatformScope::MemoryPlatformScope() { plat::Install(&platform); }
MemoryPlatformScope::~MemoryPlatformScope() { plat::Install(nullptr); }

void ResetProcess() {
    delete g_scenario;
    g_scenario = nullptr;
    delete g_fountainTextures;
    g_fountainTextures = nullptr;
    g_options = COptions();
    ResetProcessState();
}

void UseDataDir(const std::string& dir) {
    std::strncpy(g_dataDir, dir.c_str(), sizeof g_dataDir - 1);
    g_dataDir[sizeof g_dataDir - 1] = '\0';
}
