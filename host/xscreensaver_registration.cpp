#include "host/xscreensaver_registration.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "platform/file.h"
#include "platform/strings.h"

const char* const kXScreenSaverHackDir = "/usr/libexec/xscreensaver";

const std::vector<std::string> kXScreenSaverDefaultsFiles = {
    "/etc/X11/app-defaults/XScreenSaver", "/usr/share/X11/app-defaults/XScreenSaver"};

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

// Entries are separated by a backslash and an n.
static bool EndsWithSeparator(const std::string& s) {
    return s.size() >= 2 && s.compare(s.size() - 2, 2, "\\n") == 0;
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
// The value of the list over lines first..last, as XScreenSaver reads it:
// each continuation joins its line to the next.
static std::string ListValue(const std::vector<std::string>& lines, size_t first, size_t last) {
    std::string value = lines[first].substr(sizeof "programs:" - 1);
    for (size_t i = first + 1; i <= last; ++i) {
        value.pop_back();  // the continuation of the line before
        value += lines[i];
    }
    return value;
}

static bool ListRunsUs(const std::vector<std::string>& lines, size_t first, size_t last) {
    const std::string value = ListValue(lines, first, last);
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
        // goes before that line.  XScreenSaver ends every entry with a
        // separator; where the one before ours has none (written by hand),
        // its line gets one.
        std::string before = ListValue(lines, header, last - 1);
        before.pop_back();  // the continuation onto the blank line
        const std::string kept = plat::Trimmed(before);
        if (!kept.empty() && !EndsWithSeparator(kept))
            lines[last - 1].insert(lines[last - 1].size() - 1, " \\n");
        lines.insert(lines.begin() + (long)last, entry);
    } else {
        // Continue the last line onto ours, separating the entries.
        std::string& tail = lines[last];
        const std::string kept = plat::Trimmed(ListValue(lines, header, last));
        if (!kept.empty() && !EndsWithSeparator(kept)) tail += " \\n";
        tail += "\\";
        lines.insert(lines.begin() + (long)last + 1, lastEntry);
    }
    std::string result;
    for (const std::string& l : lines) result += l + "\n";
    *out = result;
    return REG_ADDED;
}

// Where the programs list lies in text: from the start of its header line
// to the end of its last line (before that line's newline).
enum ListSearch { LIST_FOUND, LIST_NONE, LIST_BROKEN };
static ListSearch FindList(const std::string& text, size_t* begin, size_t* end) {
    size_t line = 0;
    while (line < text.size() && text.compare(line, 9, "programs:") != 0) {
        const size_t newline = text.find('\n', line);
        if (newline == std::string::npos) return LIST_NONE;
        line = newline + 1;
    }
    if (line >= text.size()) return LIST_NONE;
    *begin = line;
    for (;;) {
        size_t newline = text.find('\n', line);
        if (newline == std::string::npos) newline = text.size();
        if (newline == line || text[newline - 1] != '\\') {
            *end = newline;
            return LIST_FOUND;
        }
        // Continued: the next line must be there.
        if (newline + 1 >= text.size()) return LIST_BROKEN;
        line = newline + 1;
    }
}

RemovalResult RemoveHackFromSettings(const std::string& text, std::string* out, std::string* why) {
    if (text.find('\0') != std::string::npos) {
        *why = "the file holds binary data";
        return UNREG_UNPARSABLE;
    }
    size_t begin = 0, end = 0;
    switch (FindList(text, &begin, &end)) {
    case LIST_NONE:
        return UNREG_NOT_THERE;
    case LIST_BROKEN:
        *why = "the \"programs:\" list ends in the middle of a line continuation";
        return UNREG_UNPARSABLE;
    case LIST_FOUND:
        break;
    }
    // The list's value as XScreenSaver reads it (continuations joined), and
    // where each of its characters lies in text.
    std::string value;
    std::vector<size_t> at;
    for (size_t i = begin + 9; i < end; ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        value += text[i];
        at.push_back(i);
    }
    // The stretches of text that go, first to last: each entry of ours with
    // the separator after it.
    std::vector<std::pair<size_t, size_t>> cuts;
    for (size_t start = 0; start < value.size();) {
        const size_t sep = value.find("\\n", start);
        const size_t stop = sep == std::string::npos ? value.size() : sep;
        if (stop > start && EntryProgram(value.substr(start, stop - start)) == kProgramName) {
            // The entry with the blanks before it on its own line: those
            // before a continuation belong to the line before.
            size_t first = start;
            while (value[first] == ' ' || value[first] == '\t') ++first;
            size_t from = at[first];
            while (text[from - 1] == ' ' || text[from - 1] == '\t') --from;
            size_t to = sep == std::string::npos ? end : at[sep + 1] + 1;
            // An entry that begins its line and is followed only by the
            // line's continuation takes the whole line with it.
            if (from == 0 || text[from - 1] == '\n') {
                size_t k = to;
                while (k < end && (text[k] == ' ' || text[k] == '\t')) ++k;
                if (k + 1 < text.size() && text[k] == '\\' && text[k + 1] == '\n') to = k + 2;
            }
            cuts.push_back({from, to});
        }
        if (sep == std::string::npos) break;
        start = sep + 2;
    }
    if (cuts.empty()) return UNREG_NOT_THERE;
    std::string result;
    size_t kept = 0;
    for (const auto& cut : cuts) {
        result.append(text, kept, cut.first - kept);
        kept = cut.second;
    }
    result.append(text, kept, std::string::npos);
    // A file without a newline at its end, whose last line was ours: the
    // line before still continues, onto a blank line of its own.
    if (kept == text.size() && result.size() >= 2 &&
        result.compare(result.size() - 2, 2, "\\\n") == 0)
        result += "\n";
    *out = result;
    return UNREG_REMOVED;
}

// The settings xscreensaver-settings writes, in its order; an empty name
// stands for a blank line and "programs" for the list.  Each is given the
// value of the first resource of its list that the defaults hold, else
// fallback, else it is left out (XScreenSaver then reads the defaults).
namespace {
struct WrittenSetting {
    const char* name;
    std::vector<const char*> resources;
    const char* fallback;
};
}  // namespace
static const std::vector<WrittenSetting>& WrittenSettings() {
    static const std::vector<WrittenSetting> settings = {
        {"timeout", {"timeout"}, nullptr},
        {"cycle", {"cycle"}, nullptr},
        {"lock", {"lock"}, nullptr},
        {"lockTimeout", {"lockTimeout"}, nullptr},
        {"passwdTimeout", {"passwdTimeout"}, nullptr},
        {"visualID", {"visualID"}, nullptr},
        {"installColormap", {"installColormap"}, nullptr},
        {"verbose", {"verbose"}, nullptr},
        {"splash", {"splash"}, nullptr},
        {"splashDuration", {"splashDuration"}, nullptr},
        {"demoCommand", {"demoCommand"}, nullptr},
        {"nice", {"nice"}, nullptr},
        {"fade", {"fade"}, nullptr},
        {"unfade", {"unfade"}, nullptr},
        {"fadeSeconds", {"fadeSeconds"}, nullptr},
        {"ignoreUninstalledPrograms", {"ignoreUninstalledPrograms"}, nullptr},
        {"dpmsEnabled", {"dpmsEnabled"}, nullptr},
        // The dialog's name for what the defaults call dpmsQuickoffEnabled.
        {"dpmsQuickOff", {"dpmsQuickOff", "dpmsQuickoffEnabled"}, nullptr},
        {"dpmsStandby", {"dpmsStandby"}, nullptr},
        {"dpmsSuspend", {"dpmsSuspend"}, nullptr},
        {"dpmsOff", {"dpmsOff"}, nullptr},
        {"grabDesktopImages", {"grabDesktopImages"}, nullptr},
        {"grabVideoFrames", {"grabVideoFrames"}, nullptr},
        {"chooseRandomImages", {"chooseRandomImages"}, nullptr},
        {"imageDirectory", {"imageDirectory"}, nullptr},
        {"", {}, nullptr},
        {"mode", {"mode"}, nullptr},
        // No hack chosen yet, as the dialog writes it.
        {"selected", {"selected"}, "-1"},
        {"", {}, nullptr},
        {"textMode", {"textMode"}, nullptr},
        {"textLiteral", {"textLiteral"}, nullptr},
        {"textFile", {"textFile"}, nullptr},
        {"textProgram", {"textProgram"}, nullptr},
        {"textURL", {"textURL"}, nullptr},
        {"dialogTheme", {"dialogTheme"}, nullptr},
        {"", {}, nullptr},
        {"programs", {"programs"}, nullptr},
        {"", {}, nullptr},
        {"pointerHysteresis", {"pointerHysteresis"}, nullptr},
        {"authWarningSlack", {"authWarningSlack"}, nullptr},
        {"", {}, nullptr},
    };
    return settings;
}

// The resource a line of an app-defaults file sets for XScreenSaver itself
// ("*timeout", "XScreenSaver.timeout"), or "" for a comment, a directive, a
// resource of a part of it ("*hacks.maze.name"), with *colon where the
// value begins, or npos for a comment, a directive or a blank line.
static std::string ResourceName(const std::string& line, size_t* colon) {
    const std::string kept = plat::Trimmed(line);
    *colon = std::string::npos;
    if (kept.empty() || kept[0] == '!' || kept[0] == '#') return "";
    *colon = line.find(':');
    if (*colon == std::string::npos) return "";
    std::string name = plat::Trimmed(line.substr(0, *colon));
    for (const char* prefix :
         {"*", "XScreenSaver.", "XScreenSaver*", "xscreensaver.", "xscreensaver*"}) {
        const size_t n = std::strlen(prefix);
        if (name.compare(0, n, prefix) == 0) {
            name = name.substr(n);
            break;
        }
    }
    if (name.empty() || name.find_first_of(".*") != std::string::npos) return "";
    return name;
}

// The dialog's layout: the name and colon, then tabs to the 16th column,
// or, past that, blanks to the 20th.
static std::string SettingLine(const std::string& name, const std::string& value) {
    std::string line = name + ":";
    if (line.size() < 16) {
        for (size_t column = line.size(); column < 16; column = (column / 8 + 1) * 8) line += '\t';
    } else {
        while (line.size() < 20) line += ' ';
    }
    return line + value + "\n";
}

bool SettingsFromDefaults(const std::string& defaults, const std::string& source, std::string* out,
                          std::string* why) {
    // Each resource's lines as the defaults give them: the first from just
    // after its colon, then its continuation lines.  A later one wins.
    std::vector<std::pair<std::string, std::vector<std::string>>> resources;
    const std::vector<std::string> lines = SplitLines(defaults);
    for (size_t i = 0; i < lines.size(); ++i) {
        size_t colon = 0;
        const std::string name = ResourceName(lines[i], &colon);
        if (colon == std::string::npos) continue;
        std::vector<std::string> value = {lines[i].substr(colon + 1)};
        while (EndsWithContinuation(lines[i]) && i + 1 < lines.size()) value.push_back(lines[++i]);
        if (!name.empty()) resources.push_back({name, value});
    }
    auto find = [&](const char* name) -> const std::vector<std::string>* {
        for (auto r = resources.rbegin(); r != resources.rend(); ++r)
            if (r->first == name) return &r->second;
        return nullptr;
    };
    const std::vector<std::string>* programs = find("programs");
    if (!programs) {
        *why = source + " has no \"programs\" list";
        return false;
    }
    std::string text =
        "# XScreenSaver Preferences File\n# Written by wavendell-register from " + source + ".\n\n";
    for (const WrittenSetting& setting : WrittenSettings()) {
        const std::string name = setting.name;
        if (name.empty()) {
            text += "\n";
        } else if (name == "programs") {
            // The list as it stands, every entry continued onto the blank
            // line that ends it, as the dialog writes it.
            text += "programs:";
            for (size_t i = 0; i + 1 < programs->size(); ++i) text += (*programs)[i] + "\n";
            const std::string& last = programs->back();
            const std::string kept = plat::Trimmed(last);
            if (EndsWithContinuation(last)) {
                text += last + "\n";
            } else if (kept.empty() || EndsWithSeparator(kept)) {
                text += last + "\\\n\n";
            } else {
                text += last + " \\n\\\n\n";  // the last entry's separator
            }
        } else {
            const std::vector<std::string>* value = nullptr;
            for (const char* resource : setting.resources)
                if (!value) value = find(resource);
            if (value) {
                // One line: continuations joined.
                std::string joined;
                for (const std::string& part : *value)
                    joined += EndsWithContinuation(part) ? part.substr(0, part.size() - 1) : part;
                text += SettingLine(name, plat::Trimmed(joined));
            } else if (setting.fallback) {
                text += SettingLine(name, setting.fallback);
            }
        }
    }
    *out = text;
    return true;
}

// Whether path lies inside folder (both with every link resolved).
static bool Inside(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.size() > folder.size() &&
           path.compare(0, folder.size(), folder) == 0 &&
           (folder.back() == '/' || path[folder.size()] == '/');
}

// Settings files are a few kilobytes; a huge one is refused unread.
static const size_t kMaxBytes = 4 * 1024 * 1024;

// The file the settings at givenPath live in: givenPath, or where it links
// to when that lies inside home.  "" (after saying why) for a link
// elsewhere or to nothing.
static std::string SettingsFileOf(const std::string& givenPath, const std::string& home) {
    // A linked settings file (dotfiles kept in a folder of their own) is
    // changed where it lives, but only inside the home folder: nothing
    // else of the user's is written.
    if (!plat::IsLink(givenPath)) return givenPath;
    const std::string path = plat::ResolvedPath(givenPath);
    if (path.empty() || !Inside(path, plat::ResolvedPath(home))) {
        std::fprintf(stderr,
                     "%s is a link to a file outside %s; it was left unchanged (name the "
                     "file itself to change that one)\n",
                     givenPath.c_str(), home.c_str());
        return "";
    }
    return path;
}

// Says why the settings at givenPath could not be read; 1.
static int ReadFailed(const std::string& givenPath, plat::FileRead result) {
    switch (result) {
    case plat::FileRead::TOO_LARGE:
        std::fprintf(stderr, "%s is too large to be a settings file; nothing changed\n",
                     givenPath.c_str());
        break;
    case plat::FileRead::NOT_A_FILE:
        std::fprintf(stderr, "%s is not a regular file; nothing changed\n", givenPath.c_str());
        break;
    default:
        std::fprintf(stderr, "%s cannot be read; nothing changed\n", givenPath.c_str());
        break;
    }
    return 1;
}

// Replaces the settings in path (where givenPath leads) with updated,
// keeping the old text in a backup beside the name the user knows, as
// private as settings files are.  0, or 1 after saying what failed.
static int ReplaceWithBackup(const std::string& givenPath, const std::string& path,
                             const std::string& old, const std::string& updated,
                             std::string* backup) {
    *backup = givenPath + ".wavendell-backup";
    if (!plat::ReplaceFile(*backup, old, 0600)) {
        std::fprintf(stderr, "%s: cannot write the backup; nothing changed\n", backup->c_str());
        return 1;
    }
    if (!plat::ReplaceFile(path, updated)) {
        std::fprintf(stderr, "%s: cannot be replaced; nothing changed\n", givenPath.c_str());
        return 1;
    }
    return 0;
}

// Writes a settings file for a user who has none: XScreenSaver's defaults
// with our entry.
static int WriteFromDefaults(const std::string& givenPath, const std::string& path,
                             const std::string& entry,
                             const std::vector<std::string>& defaultsFiles) {
    std::string defaults, source;
    for (const std::string& file : defaultsFiles) {
        if (plat::ReadWholeFile(file, kMaxBytes, &defaults) == plat::FileRead::OK) {
            source = file;
            break;
        }
    }
    if (source.empty()) {
        std::string tried;
        for (const std::string& file : defaultsFiles) tried += (tried.empty() ? "" : ", ") + file;
        std::fprintf(stderr,
                     "%s does not exist, and XScreenSaver's defaults (%s) cannot be read to "
                     "write it: is XScreenSaver installed?\n",
                     givenPath.c_str(), tried.c_str());
        return 1;
    }
    std::string settings, updated, why;
    if (!SettingsFromDefaults(defaults, source, &settings, &why)) {
        std::fprintf(stderr, "%s was not written: %s\n", givenPath.c_str(), why.c_str());
        return 1;
    }
    const RegistrationResult added = AddHackToSettings(settings, entry, &updated, &why);
    if (added == REG_UNPARSABLE) {
        std::fprintf(stderr, "%s was not written: %s (in %s)\n", givenPath.c_str(), why.c_str(),
                     source.c_str());
        return 1;
    }
    if (added == REG_ALREADY_THERE) updated = settings;
    if (!plat::ReplaceFile(path, updated)) {
        std::fprintf(stderr, "%s: cannot be written\n", givenPath.c_str());
        return 1;
    }
    std::printf(
        "Wrote %s from XScreenSaver's defaults (%s) with the Wavendell fountains added.\n"
        "Pick it in xscreensaver-settings.\n",
        givenPath.c_str(), source.c_str());
    return 0;
}

int RegisterHackInFile(const std::string& givenPath, const std::string& entry,
                       const std::string& home, const std::vector<std::string>& defaultsFiles) {
    const std::string path = SettingsFileOf(givenPath, home);
    if (path.empty()) return 1;
    std::string text;
    const plat::FileRead read = plat::ReadWholeFile(path, kMaxBytes, &text);
    if (read == plat::FileRead::MISSING)
        return WriteFromDefaults(givenPath, path, entry, defaultsFiles);
    if (read != plat::FileRead::OK) return ReadFailed(givenPath, read);
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
    std::string backup;
    if (ReplaceWithBackup(givenPath, path, text, updated, &backup) != 0) return 1;
    std::printf(
        "Added the Wavendell fountains to %s (backup: %s).\n"
        "Pick it in xscreensaver-settings.\n",
        givenPath.c_str(), backup.c_str());
    return 0;
}

int UnregisterHackInFile(const std::string& givenPath, const std::string& home) {
    const std::string path = SettingsFileOf(givenPath, home);
    if (path.empty()) return 1;
    std::string text;
    const plat::FileRead read = plat::ReadWholeFile(path, kMaxBytes, &text);
    if (read == plat::FileRead::MISSING) {
        std::printf("%s does not exist; nothing to take out.\n", givenPath.c_str());
        return 0;
    }
    if (read != plat::FileRead::OK) return ReadFailed(givenPath, read);
    std::string updated, why;
    switch (RemoveHackFromSettings(text, &updated, &why)) {
    case UNREG_NOT_THERE:
        std::printf("%s does not list the Wavendell fountains; nothing to take out.\n",
                    givenPath.c_str());
        return 0;
    case UNREG_UNPARSABLE:
        std::fprintf(stderr, "%s was left unchanged: %s\n", givenPath.c_str(), why.c_str());
        return 1;
    case UNREG_REMOVED:
        break;
    }
    std::string backup;
    if (ReplaceWithBackup(givenPath, path, text, updated, &backup) != 0) return 1;
    std::printf("Took the Wavendell fountains out of %s (backup: %s).\n", givenPath.c_str(),
                backup.c_str());
    return 0;
}
