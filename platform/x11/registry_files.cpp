#include "platform/x11/registry_files.h"

#include "install_dirs.h"  // generated: WAVENDELL_SYSCONF_XDG_DIR
#include "platform/file.h"
#include "platform/strings.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace plat {

// The key as a relative path, or "" when it names no file (empty, or with
// an empty, "." or ".." part, which could leave the hive's directory).
static std::string KeyPath(const char* key) {
    if (!key) return "";
    std::string k = key;
    static const char kSoftware[] = "Software\\";
    const size_t prefix = sizeof kSoftware - 1;
    if (k.size() >= prefix && strncasecmp(k.c_str(), kSoftware, prefix) == 0) k.erase(0, prefix);
    std::string path;
    size_t start = 0;
    for (;;) {
        size_t end = k.find('\\', start);
        std::string part =
            k.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos)
            return "";
        if (!path.empty()) path += '/';
        path += part;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return path;
}

static bool IsRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

const char* const kInstalledConfigDir = WAVENDELL_SYSCONF_XDG_DIR;

std::vector<std::string> MachineHiveDirectories() {
    std::vector<std::string> dirs;
    auto add = [&dirs](const std::string& dir) {
        if (!dir.empty() && dir[0] == '/' && std::find(dirs.begin(), dirs.end(), dir) == dirs.end())
            dirs.push_back(dir);
    };
    const char* env = std::getenv("XDG_CONFIG_DIRS");
    const std::string list = (env && *env) ? env : "/etc/xdg";
    size_t start = 0;
    for (;;) {
        size_t end = list.find(':', start);
        add(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    add(kInstalledConfigDir);
    return dirs;
}

static std::vector<std::string> HiveDirectories(Hive hive) {
    if (hive == HKEY_LOCAL_MACHINE) return MachineHiveDirectories();
    std::vector<std::string> dirs;
    const char* env = std::getenv("XDG_CONFIG_HOME");
    if (env && env[0] == '/') {
        dirs.push_back(env);
    } else {
        const char* home = std::getenv("HOME");
        if (home && home[0] == '/') dirs.push_back(std::string(home) + "/.config");
    }
    return dirs;
}

std::string RegistryKeyFile(Hive hive, const char* key) {
    const std::string relative = KeyPath(key);
    if (relative.empty()) return "";
    for (const std::string& dir : HiveDirectories(hive)) {
        std::string file = dir + "/" + relative;
        if (IsRegularFile(file)) return file;
    }
    return "";
}

bool ReadRegistryFileValue(const std::string& file, const char* name, char* buf, size_t size) {
    if (file.empty() || !name || !buf || size == 0) return false;
    // A settings file holds a line or two; a huge one is not read at all.
    const size_t kMaxBytes = 64 * 1024;
    std::string text;
    if (ReadWholeFile(file, kMaxBytes, &text) != FileRead::OK) return false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (strcasecmp(Trimmed(line.substr(0, eq)).c_str(), name) != 0) continue;
        const std::string value = line.substr(eq + 1);
        if (value.size() + 1 > size || value.find('\0') != std::string::npos) return false;
        std::memcpy(buf, value.c_str(), value.size() + 1);
        return true;
    }
    return false;
}

}  // namespace plat
