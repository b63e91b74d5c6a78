// Checking a show folder the way the saver loads it, without a display:
// every message the saver would show, and what an author gets wrong that
// the saver puts up with silently.  The program wavendell-check prints it.
#pragma once

#include <string>
#include <vector>

struct Finding {
    enum Severity { WARNING, ERROR };
    Severity severity = WARNING;
    std::string file;     // relative to the show folder ("_scripts/a.xml"); empty: the folder
    std::string element;  // "Command 3", "Figure 2", ...; empty: the whole file
    std::string text;
};

// One line: "file: element: error: text".
std::string FormatFinding(const Finding& finding);

struct CheckSettings {
    // Simulated time a script is played for, headless at 11 ms a frame,
    // before it counts as one that does not play out.
    int playSeconds = 300;
    // Jets are watched against the pictures of the wide camera presets
    // (16:10, which the letterbox option gives, and 16:9); with this also
    // against the narrower 4:3 and 5:4 ones.
    bool allScreenShapes = false;
};

struct CheckReport {
    std::vector<Finding> findings;
    int Count(Finding::Severity severity) const;
    // 0: clean; 1: warnings only; 2: errors.
    int ExitStatus() const;
};

// Checks the show in folder (a path, with or without a trailing slash).
// Uses the saver's process-wide state (the data directory, the options, the
// installed platform) while it runs and leaves it as it starts.
CheckReport CheckShow(const std::string& folder, const CheckSettings& settings = CheckSettings());

// --- rules the checker applies, for its tests and documentation ---

// The side GLU gives a picture side when it builds the texture: a power of
// two near it (sides that are powers of two stay as they are).
int RescaledSide(int side);
// Pictures with a side above this are larger than any screen shows them:
// the backdrop spans at most about 1.1 screen widths, so even a
// 3840-pixel-wide screen shows it at about 4200 pixels.
enum { kLargestUsefulSide = 4096 };
// The largest script the checker loads: its particle pools alone would take
// more than 300 MB in the saver.
enum { kMostEmittersLoaded = 4096 };
