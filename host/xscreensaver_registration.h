// Adding the saver to a user's XScreenSaver settings (~/.xscreensaver): the
// daemon lists only the hacks named in its "programs:" resource.
#pragma once

#include <string>

// XScreenSaver's own hack directory: the daemon finds programs there by name.
extern const char* const kXScreenSaverHackDir;

// The programs entry that runs the saver installed in hackDir, ending in a
// line continuation: "  GL: "Wavendell fountains" wavendell --root \n\".
// Outside XScreenSaver's directory the program is named by its full path.
// "" when hackDir cannot be written in an entry as it stands (not absolute,
// or with blanks or shell characters).
std::string HackProgramLine(const std::string& hackDir);

enum RegistrationResult {
    REG_ADDED,          // entry added; the new text is in *out
    REG_ALREADY_THERE,  // the list already runs a program named wavendell
    REG_UNPARSABLE,     // refused: *why says what is wrong
};

// Appends entry (from HackProgramLine) to the programs list of text (the
// contents of ~/.xscreensaver), keeping every other line as it is.  The
// entry goes last, so the "selected:" index of the user's hack still names
// the same hack.
RegistrationResult AddHackToSettings(const std::string& text, const std::string& entry,
                                     std::string* out, std::string* why);

// Does the same to the file at path: keeps a backup beside it (path +
// ".wavendell-backup") and replaces the file through a temporary one with
// the same permissions.  A path that is a symbolic link is followed only to
// a file inside the folder home; elsewhere it is refused.  Returns 0 on
// success or when already registered, 1 otherwise; messages go to standard
// output / error.
int RegisterHackInFile(const std::string& path, const std::string& entry, const std::string& home);
