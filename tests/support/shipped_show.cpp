#include "tests/support/shipped_show.h"

#include <dirent.h>
#include <sys/stat.h>
#include <tinyxml.h>

#include <algorithm>

#include "options/xml_read.h"

std::string ShippedDataDir() { return std::string(WAVENDELL_SOURCE_DIR) + "/data/"; }

ScenarioListing ShippedScenario() {
    ScenarioListing listing;
    TiXmlDocument doc;
    if (!LoadXmlFile(doc, (ShippedDataDir() + "defaultScenario.xml").c_str())) return listing;
    const TiXmlElement* root = doc.RootElement();
    if (!root) return listing;
    if (const TiXmlElement* scenes = FirstChildNamed(root, "Scenes"))
        for (const TiXmlElement* e = FirstChildNamed(scenes, "Scene"); e;
             e = e->NextSiblingElement())
            listing.scenes.push_back(e->Attribute("path") ? e->Attribute("path") : "");
    for (const TiXmlElement* e = FirstChildNamed(root, "Script"); e; e = e->NextSiblingElement())
        listing.scripts.push_back(e->Attribute("action") ? e->Attribute("action") : "");
    return listing;
}

namespace {

std::vector<std::string> Entries(const std::string& folder, bool wantFolders) {
    std::vector<std::string> names;
    const std::string path = ShippedDataDir() + folder;
    DIR* dir = opendir(path.c_str());
    if (!dir) return names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (stat((path + "/" + name).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode) == wantFolders) names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> ShippedFiles(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    for (const std::string& name : Entries(folder, false))
        if (name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    return names;
}

std::vector<std::string> ShippedSceneFolders() {
    std::vector<std::string> names;
    for (const std::string& name : Entries("", true)) {
        struct stat st;
        if (stat((ShippedDataDir() + name + "/scene.xml").c_str(), &st) == 0) names.push_back(name);
    }
    return names;
}
