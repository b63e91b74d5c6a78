// Small shows made by the tests: one scene, one figure, one script that
// plays out in seconds, with the shipped sprites and shaders and plain
// pictures, which the tests change one part at a time.
#pragma once

#include <map>
#include <string>
#include <utility>

struct SmallShow {
    // Text files by path inside the show.
    std::map<std::string, std::string> texts;
    // JPEG pictures by path: their sides.
    std::map<std::string, std::pair<int, int>> pictures;
    // The shipped sprites and shader files to copy (paths inside data/).
    std::map<std::string, bool> shipped;

    // Writes the show into folder (which ends with a slash).  False when a
    // file cannot be written.
    bool WriteTo(const std::string& folder) const;
};

// A clean show: scene "pond", figure "row.xml" of six emitters, script
// "jets.xml" of two commands.
SmallShow CleanSmallShow();

// The sprites and shader files every show has, as paths inside it.
const char* const* ShowSpritesAndShaders();
