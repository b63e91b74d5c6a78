#include "host/xscreensaver_registration.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "platform/file.h"
#include "platform/strings.h"

const char* const kXScreenSaverHackDir = "/usr/libexec/xscreensaver";

static const char kProgramName[] = "wavendell";

std::string HackProgramLine(const std::string& hackDir) {
    if (hackDir.empty() || hackDir[0] != '/') return "";
    for (char c : hackDir) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-' ||
                           c == '+';
        if (!plain) return "";
    }
    std::string dir = hackDir;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    const std::string program =
        dir == kXScreenSaverHackDir ? kProgramName : dir + "/" + kProgramName;
    return "  GL: \"Wavendell fountains\" " + program + " --root \\n\\";
}

static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// XScreenSaver continues a line only when a backslash comes right before
// its newline.
static bool EndsWithContinuation(const std::string& line) {
    return !line.empty() && line.back() == '\\';
}

static bool IsBlank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

// The program an entry runs: entries read "[-] [visual:] ["name"] command".
static std::string EntryProgram(std::string entry) {
    entry = plat::Trimmed(entry);
    if (!entry.empty() && entry[0] == '-') entry = plat::Trimmed(entry.substr(1));
    size_t word = entry.find_first_of(" \t");
    if (word != std::string::npos && word > 0 && entry[word - 1] == ':')
        entry = plat::Trimmed(entry.substr(word));
    else if (word == std::string::npos && !entry.empty() && entry.back() == ':')
        return "";
    if (!entry.empty() && entry[0] == '"') {
        size_t close = entry.find('"', 1);
        if (close == std::string::npos) return "";
        entry = plat::Trimmed(entry.substr(close + 1));
    }
    const std::string command = entry.substr(0, entry.find_first_of(" \t"));
    const size_t slash = command.rfind('/');
    return slash == std::string::npos ? command : command.substr(slash + 1);
}

// True when an entry of the list (lines first..last) runs our program.
static bool ListRunsUs(const std::vector<std::string>& lines, size_t first, size_t last) {
    std::string value = lines[first].substr(sizeof "programs:" - 1);
    for (size_t i = first + 1; i <= last; ++i) {
        value.pop_back();  // the continuation of the line before
        value += lines[i];
    }
    size_t start = 0;
    for (;;) {
        size_t end = value.find("\\n", start);
        if (EntryProgram(value.substr(start, end == std::string::npos ? end : end - start)) ==
            kProgramName)
            return true;
        if (end == std::string::npos) return false;
        start = end + 2;
    }
}

RegistrationResult AddHackToSettings(const std::string& text, const std::string& entry,
                                     std::string* out, std::string* why) {
    if (!EndsWithContinuation(entry)) {
        *why = "the programs entry is malformed";
        return REG_UNPARSABLE;
    }
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
    if (ListRunsUs(lines, header, last)) return REG_ALREADY_THERE;

    const std::string lastEntry = entry.substr(0, entry.size() - 1);  // not continued
    if (last > header && IsBlank(lines[last])) {
        // The list ends with a blank line, as XScreenSaver writes it: ours
        // goes before that line.
        lines.insert(lines.begin() + (long)last, entry);
    } else {
        // Continue the last line onto ours, separating the entries.
        std::string& tail = lines[last];
        const std::string kept = plat::Trimmed(tail);
        const bool separated = kept.empty() || kept == "programs:" ||
                               (kept.size() >= 2 && kept.compare(kept.size() - 2, 2, "\\n") == 0);
        if (!separated) tail += " \\n";
        tail += "\\";
        lines.insert(lines.begin() + (long)last + 1, lastEntry);
    }
    std::string result;
    for (const std::string& l : lines) result += l + "\n";
    *out = result;
    return REG_ADDED;
}

// Whether path lies inside folder (both with every link resolved).
static bool Inside(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.size() > folder.size() &&
           path.compare(0, folder.size(), folder) == 0 &&
           (folder.back() == '/' || path[folder.size()] == '/');
}

int RegisterHackInFile(const std::string& givenPath, const std::string& entry,
                       const std::string& home) {
    // A linked settings file (dotfiles kept in a folder of their own) is
    // changed where it lives, but only inside the home folder: nothing
    // else of the user's is written.
    std::string path = givenPath;
    if (plat::IsLink(givenPath)) {
        path = plat::ResolvedPath(givenPath);
        if (path.empty() || !Inside(path, plat::ResolvedPath(home))) {
            std::fprintf(stderr,
                         "%s is a link to a file outside %s; it was left unchanged (name the "
                         "file itself to register there)\n",
                         givenPath.c_str(), home.c_str());
            return 1;
        }
    }
    // Settings files are a few kilobytes; a huge one is refused unread.
    const size_t kMaxBytes = 4 * 1024 * 1024;
    std::string text;
    switch (plat::ReadWholeFile(path, kMaxBytes, &text)) {
    case plat::FileRead::OK:
        break;
    case plat::FileRead::TOO_LARGE:
        std::fprintf(stderr, "%s is too large to be a settings file; nothing changed\n",
                     givenPath.c_str());
        return 1;
    case plat::FileRead::NOT_A_FILE:
        std::fprintf(stderr, "%s is not a regular file; nothing changed\n", givenPath.c_str());
        return 1;
    default:
        std::fprintf(stderr,
                     "%s: cannot be read; start xscreensaver-settings once so it writes "
                     "its settings, then run this again\n",
                     givenPath.c_str());
        return 1;
    }
    std::string updated, why;
    switch (AddHackToSettings(text, entry, &updated, &why)) {
    case REG_ALREADY_THERE:
        std::printf("%s already lists the Wavendell fountains.\n", givenPath.c_str());
        return 0;
    case REG_UNPARSABLE:
        std::fprintf(stderr, "%s was left unchanged: %s\n", givenPath.c_str(), why.c_str());
        return 1;
    case REG_ADDED:
        break;
    }
    // The backup goes beside the name the user knows, as private as
    // settings files are.
    const std::string backup = givenPath + ".wavendell-backup";
    if (!plat::ReplaceFile(backup, text, 0600)) {
        std::fprintf(stderr, "%s: cannot write the backup; nothing changed\n", backup.c_str());
        return 1;
    }
    if (!plat::ReplaceFile(path, updated)) {
        std::fprintf(stderr, "%s: cannot be replaced; nothing changed\n", givenPath.c_str());
        return 1;
    }
    std::printf(
        "Added the Wavendell fountains to %s (backup: %s).\n"
        "Pick it in xscreensaver-settings.\n",
        givenPath.c_str(), backup.c_str());
    return 0;
}
