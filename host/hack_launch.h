// The Linux command line of the hack form, the way the XScreenSaver daemon
// and its settings dialog start a hack: "--root" (draw in
// $XSCREENSAVER_WINDOW, else the root window), "--window-id ID" (draw in
// that window; wins over --root) and "--fps", with the settings dialog's
// options: "--trail" / "--no-trail", "--letterbox" / "--no-letterbox" (the
// options file's DoNotUseAccumBuffer and KeepAspect_1_6 for this run only)
// and "--data DIR" (a show folder of the user's own).  Each also takes one
// dash; "--help" and "--version" are answered.
//
// A command line holding an argument that begins with "--" (or the words
// "-root" or "-window-id") is read as this form throughout, values
// included: the run-mode switches' substring tests (run_mode.h) never see
// it, so no folder name or misspelt option can pass for "-s" or "/p".  Any
// other argument in it is an error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HackLaunch {
    bool root = false;         // --root given
    bool hasWindowId = false;  // --window-id given, or --root with XSCREENSAVER_WINDOW
    uintptr_t windowId = 0;
    bool fps = false;
    bool useRootWindow = false;  // --root without XSCREENSAVER_WINDOW
    // Neither --root nor --window-id: a window of the saver's own.
    bool ownWindow = false;
    // -1: as the options file says; 0 or 1: off or on for this run.  The
    // last of a pair on the line wins.
    int trail = -1;
    int letterbox = -1;
    // --data given, and the text after it (empty when it came last).
    bool hasData = false;
    std::string data;
};

// What a command line asks for.
enum HackCommand {
    HACK_NOT_GIVEN,  // not the hack form: the run-mode switches decide
    HACK_RUN,        // run as the HackLaunch says
    HACK_HELP,       // --help: print the usage
    HACK_VERSION,    // --version: print the version
    HACK_BAD,        // an unknown option or a bad value
};

// A window id in hex ("0x2a00007") or decimal; false when it is neither or
// does not fit 32 bits.
bool ParseWindowId(const std::string& text, uintptr_t* id);

// Reads args (without the program name).  envWindow is $XSCREENSAVER_WINDOW
// or null.  *out is set for HACK_RUN, *problem (one phrase naming the
// argument) for HACK_BAD; an error wins over --help and --version.
HackCommand ParseHackLaunch(const std::vector<std::string>& args, const char* envWindow,
                            HackLaunch* out, std::string* problem);

// The usage text (several lines, each ending in a newline), and the line
// --version prints.
const char* HackUsage();
std::string HackVersionLine();
