// Adds the Wavendell fountains to the user's XScreenSaver settings.
// Usage: wavendell-register [settings file]   (default: ~/.xscreensaver)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/xscreensaver_registration.h"
#include "install_dirs.h"  // generated: WAVENDELL_HACK_DIR

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr,
                     "usage: wavendell-register [settings file]   (default: ~/.xscreensaver)\n");
        return 2;
    }
    const char* home = std::getenv("HOME");
    std::string path;
    if (argc > 1) {
        path = argv[1];
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
    const std::string entry = HackProgramLine(WAVENDELL_HACK_DIR);
    if (entry.empty()) {
        std::fprintf(stderr,
                     "The saver's directory %s cannot be named in a programs entry; "
                     "add it to %s by hand\n",
                     WAVENDELL_HACK_DIR, path.c_str());
        return 1;
    }
    return RegisterHackInFile(path, entry, within);
}
