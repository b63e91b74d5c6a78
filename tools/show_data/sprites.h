// The fountain sprites: 32-bit bottom-up BMPs with alpha.
#pragma once

#include <string>

namespace show_data {

// Writes particle7.bmp (the drop), fSource.bmp (the splash at the nozzle)
// and emitterTube.bmp (the nozzle) into the data folder, which must exist
// and whose name ends in '/'.
bool WriteSprites(const std::string& data);

}  // namespace show_data
