// The shipped show in the source tree's data folder, as its checks see it:
// where it is, and the scenes and scripts its scenario lists.
#pragma once

#include <string>
#include <vector>

// The data folder of the source tree, ending with a slash.
std::string ShippedDataDir();

struct ScenarioListing {
    std::vector<std::string> scenes;   // Scene paths, in file order
    std::vector<std::string> scripts;  // Script actions, in file order
};
// The lists of "defaultScenario.xml" read the way the scenario reads them;
// both empty when the file cannot be read.
ScenarioListing ShippedScenario();

// Names of the files directly in a folder of the data directory (empty for
// the data directory itself) that end in suffix, sorted.
std::vector<std::string> ShippedFiles(const std::string& folder, const std::string& suffix);
// Names of the folders of the data directory that hold a "scene.xml", sorted.
std::vector<std::string> ShippedSceneFolders();
