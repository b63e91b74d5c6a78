// The figure files: where the emitters of each fountain figure stand on the
// water, in the order the action scripts address them.
#pragma once

#include <string>

namespace show_data {

// Writes every figure file into dir (made if missing; the name ends in '/').
bool WriteFigures(const std::string& dir);

}  // namespace show_data
