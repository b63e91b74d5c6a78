// The checker's passes over the parts of a show, run by CheckShow.
#pragma once

#include <set>
#include <string>

#include "tools/show_check/check_context.h"

// One script of the scenario: loaded with the saver's reader, its commands
// looked at, then played headless at 11 ms a frame to its end (the last
// command passed and every drop fallen) or the time limit, with its jets
// watched against what each camera preset shows.  The figure files it
// uses are added to figuresUsed.
void CheckScript(CheckContext& c, const std::string& action, std::set<std::string>* figuresUsed);

// The pictures of the show: sides GLU will rescale, and sizes beyond any
// screen's need.  file is relative to the show folder.
void CheckJpegPicture(CheckContext& c, const std::string& file, const std::string& element);
void CheckSprite(CheckContext& c, const std::string& file);
