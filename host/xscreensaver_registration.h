// Adding the saver to a user's XScreenSaver settings (~/.xscreensaver), and
// taking it out again: the daemon lists only the hacks named in its
// "programs:" resource.
#pragma once

#include <string>
#include <vector>

// XScreenSaver's own hack directory: the daemon finds programs there by name.
extern const char* const kXScreenSaverHackDir;

// Where XScreenSaver's system-wide defaults (its app-defaults file) are
// installed, in the order they are looked for: Debian's first.
extern const std::vector<std::string> kXScreenSaverDefaultsFiles;

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

enum RemovalResult {
    UNREG_REMOVED,     // every entry running wavendell taken out; the new text is in *out
    UNREG_NOT_THERE,   // no entry runs it (or there is no programs list)
    UNREG_UNPARSABLE,  // refused: *why says what is wrong
};

// Takes every entry of the programs list that runs a program named
// wavendell out of text, with the separator after it.  Every other byte
// stays: an entry that fills its lines goes with them, except that the
// list's last line, when it held only our entry, is left empty (the blank
// line that ends a list, as xscreensaver-settings writes it); an entry that
// shares a line leaves the rest of that line.
RemovalResult RemoveHackFromSettings(const std::string& text, std::string* out, std::string* why);

// The settings file xscreensaver-settings writes for a user who has none,
// made from defaults (the text of XScreenSaver's app-defaults file, read
// from source): its settings in the dialog's order and layout, with the
// values the defaults give, and the defaults' programs list as it stands.
// False, with *why, when the defaults have no programs list.
bool SettingsFromDefaults(const std::string& defaults, const std::string& source, std::string* out,
                          std::string* why);

// Registers in the file at path.  A missing file is written from the first
// of defaultsFiles that can be read, as the settings dialog would write it,
// with our entry added.  An existing one is changed with AddHackToSettings,
// keeping a backup beside it (path + ".wavendell-backup") and replacing the
// file through a temporary one with the same permissions.  A path that is a
// symbolic link is followed only to a file inside the folder home;
// elsewhere it is refused.  Returns 0 on success or when already
// registered, 1 otherwise; messages go to standard output / error.
int RegisterHackInFile(const std::string& path, const std::string& entry, const std::string& home,
                       const std::vector<std::string>& defaultsFiles);

// Takes the saver out of the file at path with RemoveHackFromSettings, with
// the same backup, replacement and link rules.  Returns 0 when it was taken
// out or was not there (a missing file included), 1 otherwise.
int UnregisterHackInFile(const std::string& path, const std::string& home);
