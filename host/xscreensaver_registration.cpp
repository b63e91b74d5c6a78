#include "host/xscreensaver_registration.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

const char* const kHackProgramLine = "  GL: \"Wavendell fountains\" wavendell --root \\n\\";

static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

static bool EndsWithContinuation(const std::string& line) {
    size_t end = line.find_last_not_of(" \t");
    if (end == std::string::npos || line[end] != '\\') return false;
    // An even run of backslashes is an escaped backslash, not a continuation.
    size_t run = 0;
    for (size_t i = end + 1; i-- > 0 && line[i] == '\\';) ++run;
    return run % 2 == 1;
}

RegistrationResult AddHackToSettings(const std::string& text, std::string* out, std::string* why) {
    if (text.find('\0') != std::string::npos) {
        *why = "the file holds binary data";
        return REG_UNPARSABLE;
    }
    std::vector<std::string> lines = SplitLines(text);
    size_t header = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("programs:", 0) == 0) {
            header = i;
            break;
        }
    }
    if (header == lines.size()) {
        *why = "it has no \"programs:\" list (open xscreensaver-settings once and save)";
        return REG_UNPARSABLE;
    }
    // The list runs over continuation lines.
    size_t last = header;
    while (EndsWithContinuation(lines[last])) {
        if (last + 1 >= lines.size()) {
            *why = "the \"programs:\" list ends in the middle of a line continuation";
            return REG_UNPARSABLE;
        }
        ++last;
    }
    for (size_t i = header; i <= last; ++i) {
        if (lines[i].find("wavendell --root") != std::string::npos) return REG_ALREADY_THERE;
    }
    if (!EndsWithContinuation(lines[header])) {
        // A one-line list: continue it onto our entry and the old value.
        std::string value = lines[header].substr(9);
        size_t start = value.find_first_not_of(" \t");
        value = start == std::string::npos ? "" : value.substr(start);
        std::vector<std::string> replacement = {"programs:\t\\", kHackProgramLine};
        if (value.empty()) {
            replacement.back().resize(replacement.back().size() - 1);  // no continuation
        } else {
            replacement.push_back("  " + value);
        }
        lines.erase(lines.begin() + (long)header);
        lines.insert(lines.begin() + (long)header, replacement.begin(), replacement.end());
    } else {
        lines.insert(lines.begin() + (long)header + 1, kHackProgramLine);
    }
    std::string result;
    for (const std::string& l : lines) result += l + "\n";
    *out = result;
    return REG_ADDED;
}

int RegisterHackInFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read; start xscreensaver-settings once so it writes "
                             "its settings, then run this again\n", path.c_str());
        return 1;
    }
    std::stringstream buf;
    buf << in.rdbuf();
    in.close();
    const std::string text = buf.str();
    std::string updated, why;
    switch (AddHackToSettings(text, &updated, &why)) {
    case REG_ALREADY_THERE:
        std::printf("%s already lists the Wavendell fountains.\n", path.c_str());
        return 0;
    case REG_UNPARSABLE:
        std::fprintf(stderr, "%s was left unchanged: %s\n", path.c_str(), why.c_str());
        return 1;
    case REG_ADDED:
        break;
    }
    const std::string backup = path + ".wavendell-backup";
    const std::string temp = path + ".wavendell-new";
    {
        std::ofstream b(backup, std::ios::binary | std::ios::trunc);
        b << text;
        if (!b.flush()) {
            std::fprintf(stderr, "%s: cannot write the backup; nothing changed\n", backup.c_str());
            return 1;
        }
    }
    {
        std::ofstream t(temp, std::ios::binary | std::ios::trunc);
        t << updated;
        if (!t.flush()) {
            std::remove(temp.c_str());
            std::fprintf(stderr, "%s: cannot be written; nothing changed\n", temp.c_str());
            return 1;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "%s: cannot be replaced; nothing changed\n", path.c_str());
        return 1;
    }
    std::printf("Added the Wavendell fountains to %s (backup: %s).\n"
                "Pick it in xscreensaver-settings.\n", path.c_str(), backup.c_str());
    return 0;
}
