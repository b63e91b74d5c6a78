// Adds the Wavendell fountains to the user's XScreenSaver settings.
// Usage: wavendell-register [settings file]   (default: ~/.xscreensaver)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/xscreensaver_registration.h"

int main(int argc, char** argv) {
    std::string path;
    if (argc > 1) {
        path = argv[1];
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            std::fprintf(stderr, "HOME is not set; name the settings file instead\n");
            return 1;
        }
        path = std::string(home) + "/.xscreensaver";
    }
    return RegisterHackInFile(path);
}
