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
