// The way the XScreenSaver daemon and its settings dialog start a hack:
// "--root" (draw in $XSCREENSAVER_WINDOW, else the root window),
// "--window-id ID" (draw in that window; wins over --root) and "--fps".
// Recognised before the run-mode switches, whose substring tests would
// misread these words.  The settings dialog's options come with them:
// "--trail" / "--no-trail", "--letterbox" / "--no-letterbox" (the options
// file's DoNotUseAccumBuffer and KeepAspect_1_6 for this run only) and
// "--data DIR" (a show folder of the user's own).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HackLaunch {
    bool root = false;         // --root given
    bool hasWindowId = false;  // --window-id given with a valid id
    uintptr_t windowId = 0;
    bool fps = false;
    bool useRootWindow = false;  // --root without XSCREENSAVER_WINDOW
    // -1: as the options file says; 0 or 1: off or on for this run.  The
    // last of a pair on the line wins.
    int trail = -1;
    int letterbox = -1;
    // --data given, and the text after it (empty when it came last).
    bool hasData = false;
    std::string data;
};

// A window id in hex ("0x2a00007") or decimal; false when it is neither or
// does not fit 32 bits.
bool ParseWindowId(const std::string& text, uintptr_t* id);

// True when args (without the program name) are the hack launch form; out
// then tells where to draw.  envWindow is $XSCREENSAVER_WINDOW or null.
bool ParseHackLaunch(const std::vector<std::string>& args, const char* envWindow, HackLaunch* out);
