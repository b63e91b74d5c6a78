// A show folder of the user's own, named on the command line ("--data
// DIR"): checked before it is used, so that a wrong name gets one clear
// line and the installed show rather than a saver with nothing to show.
#pragma once

#include <string>

// The longest folder path taken (with its separator): the saver forms its
// file names in buffers of 256 characters and the show's own names need
// room after the folder.
enum { kShowFolderPathMax = 192 };

// Checks given as a show folder: a folder, or the defaultScenario.xml
// inside one (what a file chooser gives), that exists, can be read and
// holds a readable defaultScenario.xml.  A leading "~/" stands for home
// when home is set.  True with *dataDir the folder followed by a
// separator; false with *problem saying what is wrong, in a few words
// ("there is no such folder").
bool CheckShowFolder(const std::string& given, const char* home, std::string* dataDir,
                     std::string* problem);

// The path as it was before XScreenSaver wrapped the line holding it: its
// settings file breaks a long "programs:" line at a blank, inside quotes
// too, and reads it back with the blanks around the break (a backslash,
// a line break and tabs of indentation) in place of the one space there
// was.  Each run of blanks that holds a tab or a line break becomes one
// space; other runs are left as they are.
std::string UnwrappedPath(const std::string& given);

// CheckShowFolder of the path given, or, only when that names neither a
// folder nor a defaultScenario.xml, of its unwrapped form when that does.
// *used is the path checked: the given one or the unwrapped one.
bool FindShowFolder(const std::string& given, const char* home, std::string* used,
                    std::string* dataDir, std::string* problem);
