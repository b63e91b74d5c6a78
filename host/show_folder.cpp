#include "host/show_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/file.h"

namespace fs = std::filesystem;

static const char kScenarioFile[] = "defaultScenario.xml";

// "~" and "~/..." stand for home when home is set.
static std::string WithHome(const std::string& given, const char* home) {
    if (home && *home && (given == "~" || given.rfind("~/", 0) == 0)) return home + given.substr(1);
    return given;
}

// A folder, or the scenario file of one (what a file chooser gives).
static bool NamesAShow(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec) return false;
    return fs::is_directory(st) ||
           (fs::is_regular_file(st) && fs::path(path).filename() == kScenarioFile);
}

std::string UnwrappedPath(const std::string& given) {
    std::string out;
    for (size_t i = 0; i < given.size();) {
        const char c = given[i];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            out += c;
            ++i;
            continue;
        }
        size_t end = i;
        bool broken = false;
        for (; end < given.size(); ++end) {
            const char b = given[end];
            if (b != ' ' && b != '\t' && b != '\n' && b != '\r') break;
            broken = broken || b != ' ';
        }
        if (broken)
            out += ' ';
        else
            out.append(given, i, end - i);
        i = end;
    }
    return out;
}

bool FindShowFolder(const std::string& given, const char* home, std::string* used,
                    std::string* dataDir, std::string* problem) {
    *used = given;
    if (!NamesAShow(WithHome(given, home))) {
        const std::string unwrapped = UnwrappedPath(given);
        if (unwrapped != given && NamesAShow(WithHome(unwrapped, home))) *used = unwrapped;
    }
    return CheckShowFolder(*used, home, dataDir, problem);
}

bool CheckShowFolder(const std::string& given, const char* home, std::string* dataDir,
                     std::string* problem) {
    if (given.empty()) {
        *problem = "no folder given";
        return false;
    }
    std::string path = WithHome(given, home);

    std::error_code ec;
    fs::file_status st = fs::status(path, ec);
    if (ec && st.type() != fs::file_type::not_found) {
        *problem = "cannot be reached (" + ec.message() + ")";
        return false;
    }
    if (st.type() == fs::file_type::not_found) {
        *problem = "there is no such folder";
        return false;
    }
    // A file chooser picks files: the show's scenario file names its folder.
    if (fs::is_regular_file(st) && fs::path(path).filename() == kScenarioFile) {
        path = fs::path(path).parent_path().string();
        if (path.empty()) path = ".";
    } else if (!fs::is_directory(st)) {
        *problem = "is not a folder";
        return false;
    }

    fs::directory_iterator listing(path, ec);
    if (ec) {
        *problem = "cannot be read (" + ec.message() + ")";
        return false;
    }
    std::string dir = path;
    if (dir.back() != '/' && dir.back() != '\\') dir += '/';
    if (dir.size() > kShowFolderPathMax) {
        *problem = "its path is too long (" + std::to_string(dir.size()) + " characters, at most " +
                   std::to_string((int)kShowFolderPathMax) + ")";
        return false;
    }
    const std::string scenario = dir + kScenarioFile;
    errno = 0;
    FILE* f = plat::OpenFile(scenario.c_str(), "rb");
    if (!f) {
        const int why = errno;
        const fs::file_status scenarioStatus = fs::status(scenario, ec);
        if (scenarioStatus.type() == fs::file_type::not_found)
            *problem = std::string("it has no ") + kScenarioFile + ", so it is not a show folder";
        else if (!fs::is_regular_file(scenarioStatus))
            *problem = std::string("its ") + kScenarioFile + " is not a file";
        else
            *problem = std::string("its ") + kScenarioFile + " cannot be read (" +
                       std::strerror(why ? why : EACCES) + ")";
        return false;
    }
    std::fclose(f);
    *dataDir = dir;
    return true;
}
