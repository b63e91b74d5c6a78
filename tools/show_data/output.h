// Writing the generated files: pictures through the shared picture writers,
// text files, and the folders they go in.  Each writer reports a failure on
// stderr and returns false.
#pragma once

#include <string>

#include "tools/show_data/paint.h"

namespace show_data {

// Makes the folder and any missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

// Writes the picture as a JPEG, with a little dither so that smooth skies
// do not band.
bool WriteJpeg(const Image& im, const std::string& path, int quality);

// Writes a sprite as a 32-bit bottom-up BMP with alpha.
bool WriteBmp(const Image& im, const std::string& path);

bool WriteText(const std::string& path, const std::string& text);

}  // namespace show_data
