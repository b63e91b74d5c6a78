// Adds the Wavendell fountains to the user's XScreenSaver settings, or takes
// them out again.
// Usage: wavendell-register [--remove] [settings file]   (default: ~/.xscreensaver)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/xscreensaver_registration.h"
#include "install_dirs.h"  // generated: WAVENDELL_HACK_DIR

namespace {

const char kUsage[] =
    "usage: wavendell-register [--remove] [SETTINGS-FILE]\n"
    "Adds the Wavendell fountains to the programs list of XScreenSaver's settings\n"
    "(SETTINGS-FILE, default ~/.xscreensaver), writing that file from XScreenSaver's\n"
    "defaults when there is none; with --remove takes them out again.\n"
    "  --remove   take the fountains out of the list\n"
    "  --help     print this and exit\n";

}  // namespace

int main(int argc, char** argv) {
    bool remove = false, options = true;
    const char* named = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (options && std::strcmp(arg, "--remove") == 0) {
            remove = true;
        } else if ((options && arg[0] == '-' && arg[1] != '\0') || named) {
            // An unknown option, or a second file.
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            named = arg;
        }
    }
    const char* home = std::getenv("HOME");
    std::string path;
    if (named) {
        path = named;
    } else if (!home || !*home) {
        std::fprintf(stderr, "HOME is not set; name the settings file instead\n");
        return 1;
    } else {
        path = std::string(home) + "/.xscreensaver";
    }
    // A linked settings file is followed only into the home folder (without
    // one, into the folder of the file named).
    std::string within = home && *home ? home : path.substr(0, path.find_last_of('/') + 1);
    if (within.empty()) within = ".";
    if (remove) return UnregisterHackInFile(path, within);
    const std::string entry = HackProgramLine(WAVENDELL_HACK_DIR);
    if (entry.empty()) {
        std::fprintf(stderr,
                     "The saver's directory %s cannot be named in a programs entry; "
                     "add it to %s by hand\n",
                     WAVENDELL_HACK_DIR, path.c_str());
        return 1;
    }
    return RegisterHackInFile(path, entry, within, kXScreenSaverDefaultsFiles);
}
