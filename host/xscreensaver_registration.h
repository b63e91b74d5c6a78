// Adding the saver to a user's XScreenSaver settings (~/.xscreensaver): the
// daemon lists only the hacks named in its "programs:" resource.
#pragma once

#include <string>

// The entry added to the programs list.
extern const char* const kHackProgramLine;

enum RegistrationResult {
    REG_ADDED,          // entry added; the new text is in *out
    REG_ALREADY_THERE,  // nothing to do
    REG_UNPARSABLE,     // refused: *why says what is wrong
};

// Adds our GL: entry at the top of the programs list of text (the contents
// of ~/.xscreensaver), keeping every other line as it is.
RegistrationResult AddHackToSettings(const std::string& text, std::string* out, std::string* why);

// Does the same to the file at path: keeps a backup beside it (path +
// ".wavendell-backup") and replaces the file through a temporary one.
// Returns 0 on success or when already registered, 1 otherwise; messages go
// to standard output / error.
int RegisterHackInFile(const std::string& path);
