#include "tests/support/test_support.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "host/data_directory.h"

TempDir::TempDir() {
    char tmpl[] = "/tmp/wavendell_test_XXXXXX";
    char* made = mkdtemp(tmpl);
    path_ = std::string(made ? made : "/tmp") + "/";
}

TempDir::~TempDir() {
    if (path_.rfind("/tmp/wavendell_test_", 0) == 0) {
        std::string cmd = "rm -rf '" + path_ + "'";
        if (std::system(cmd.c_str()) != 0) {
        }
    }
}

static void MakeParents(const std::string& file) {
    for (size_t i = 1; i < file.size(); ++i)
        if (file[i] == '/') mkdir(file.substr(0, i).c_str(), 0755);
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
    return access((path_ + relative).c_str(), F_OK) == 0;
}

MemoryPlatformScope::MemoryPlatformScope() { plat::Install(&platform); }
MemoryPlatformScope::~MemoryPlatformScope() { plat::Install(nullptr); }

void UseDataDir(const std::string& dir) {
    std::strncpy(g_dataDir, dir.c_str(), sizeof g_dataDir - 1);
    g_dataDir[sizeof g_dataDir - 1] = '\0';
}
