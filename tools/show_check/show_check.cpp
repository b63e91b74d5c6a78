// The checker's driver and its passes over the options, the scenario, the
// scenes, the sprites and the shaders; the scripts are in script_check.cpp.
#include "tools/show_check/show_check.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

#include "host/show_folder.h"
#include "options/options.h"
#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/globals.h"
#include "render/ripple_shader.h"
#include "scenario/scenario.h"
#include "scenario/stage.h"
#include "tools/show_check/check_passes.h"

// ------------------------------------------------------------ findings

std::string FormatFinding(const Finding& f) {
    std::string line = f.file.empty() ? "." : f.file;
    line += ": ";
    if (!f.element.empty()) line += f.element + ": ";
    line += f.severity == Finding::ERROR ? "error: " : "warning: ";
    return line + f.text;
}

int CheckReport::Count(Finding::Severity severity) const {
    return (int)std::count_if(findings.begin(), findings.end(),
                              [severity](const Finding& f) { return f.severity == severity; });
}

int CheckReport::ExitStatus() const {
    if (Count(Finding::ERROR) > 0) return 2;
    return Count(Finding::WARNING) > 0 ? 1 : 0;
}

std::string Numbered(const char* what, int index0) {
    return std::string(what) + " " + std::to_string(index0 + 1);
}

std::string InFolder(const char* folder, const std::string& name) {
    return std::string(folder) + "/" + name;
}

// ------------------------------------------------------------ context

void CheckContext::Error(const std::string& file, const std::string& element,
                         const std::string& text) {
    report.findings.push_back(Finding{Finding::ERROR, file, element, text});
}

void CheckContext::Warn(const std::string& file, const std::string& element,
                        const std::string& text) {
    report.findings.push_back(Finding{Finding::WARNING, file, element, text});
}

std::string CheckContext::ShowPath(const std::string& caption) const {
    std::string path = plat::NativePath(caption.c_str());
    if (path.compare(0, dataDir.size(), dataDir) != 0) return "";
    path.erase(0, dataDir.size());
    // Some names are formed with a separator of their own after the folder's.
    while (!path.empty() && path[0] == '/') path.erase(0, 1);
    return path;
}

void CheckContext::TakeBoxes(const std::string& file, const std::string& element) {
    const std::vector<plat::MemoryPlatform::Box>& boxes = platform.boxes;
    for (; boxesTaken_ < boxes.size(); ++boxesTaken_) {
        const plat::MemoryPlatform::Box& box = boxes[boxesTaken_];
        std::string where = ShowPath(box.caption);
        std::string lead;
        std::string inElement;
        if (where.empty()) {
            where = file;
            inElement = element;
            lead = box.caption + ": ";
        }
        // A message of several lines is one finding a line.
        std::istringstream lines(box.text);
        for (std::string line; std::getline(lines, line);) {
            const std::string text = "the saver says \"" + lead + line + "\"";
            if (!told_.insert(where + "\n" + inElement + "\n" + text).second) continue;
            Error(where, inElement, text);
        }
    }
}

bool CheckContext::Parse(const std::string& file, TiXmlDocument* doc) const {
    return LoadXmlFile(*doc, (dataDir + file).c_str()) && doc->RootElement();
}

static std::string Quoted(const char* text) { return std::string("\"") + text + "\""; }

void CheckContext::CheckAttributes(const std::string& file, const std::string& element,
                                   const TiXmlElement* e, const std::vector<AttributeRule>& rules) {
    if (!e) return;
    for (const TiXmlAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
        const char* name = a->Name();
        const char* value = a->Value();
        auto rule = std::find_if(rules.begin(), rules.end(), [name](const AttributeRule& r) {
            return std::strcmp(r.name, name) == 0;
        });
        if (rule == rules.end()) {
            std::string text = std::string("attribute ") + name + " is not one the saver reads";
            // A wrong case is the likeliest slip.
            for (const AttributeRule& r : rules)
                if (strcasecmp(r.name, name) == 0)
                    text += std::string(" (did you mean ") + r.name + "?)";
            Warn(file, element, text + "; it is ignored");
            continue;
        }
        if (rule->kind == ATTR_TEXT) continue;
        int used = 0;
        int i = 0;
        double d = 0;
        const int converted = rule->kind == ATTR_INT ? std::sscanf(value, "%d%n", &i, &used)
                                                     : std::sscanf(value, "%lf%n", &d, &used);
        if (converted != 1) {
            Warn(file, element,
                 std::string(name) + "=" + Quoted(value) + " is not a number; the default is used");
            continue;
        }
        const char* rest = value + used;
        while (*rest == ' ' || *rest == '\t') ++rest;
        if (*rest != '\0') {
            char read[64];
            if (rule->kind == ATTR_INT)
                std::snprintf(read, sizeof read, "%d", i);
            else
                std::snprintf(read, sizeof read, "%g", d);
            Warn(file, element,
                 std::string(name) + "=" + Quoted(value) + " is read as " + read +
                     (rule->kind == ATTR_INT ? " (a whole number)" : ""));
        }
    }
}

void CheckContext::CheckChildren(const std::string& file, const TiXmlElement* parent,
                                 const std::vector<std::string>& known) {
    if (!parent) return;
    for (const TiXmlElement* e = parent->FirstChildElement(); e; e = e->NextSiblingElement()) {
        if (std::find(known.begin(), known.end(), e->Value()) != known.end()) continue;
        std::string text = std::string("element <") + e->Value() + "> is not one the saver reads";
        for (const std::string& k : known)
            if (strcasecmp(k.c_str(), e->Value()) == 0) text += " (did you mean <" + k + ">?)";
        Warn(file, "", text + "; it is ignored");
    }
}

void CheckContext::CheckListNames(const std::string& file, const TiXmlElement* first,
                                  const char* name) {
    int index = 0;
    for (const TiXmlElement* e = first; e; e = e->NextSiblingElement(), ++index) {
        if (std::strcmp(e->Value(), name) == 0) continue;
        Warn(file, Numbered(name, index),
             std::string("element <") + e->Value() + "> follows the first <" + name +
                 "> and is read as one (every later element of the list is)");
    }
}

// ------------------------------------------------------------ folders

namespace {

// Names in folder (relative to the show) that are files ending in suffix,
// or folders holding a scene.xml.
std::vector<std::string> Listing(const std::string& dataDir, const std::string& folder,
                                 bool sceneFolders, const char* suffix = "") {
    std::vector<std::string> names;
    DIR* dir = opendir((dataDir + folder).c_str());
    if (!dir) return names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = dataDir + folder + (folder.empty() ? "" : "/") + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;
        if (sceneFolders) {
            struct stat scene;
            if (S_ISDIR(st.st_mode) && stat((path + "/scene.xml").c_str(), &scene) == 0)
                names.push_back(name);
        } else if (S_ISREG(st.st_mode) && name.size() > std::strlen(suffix) &&
                   name.compare(name.size() - std::strlen(suffix), std::string::npos, suffix) ==
                       0) {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// ------------------------------------------------------------ options

void CheckOptions(CheckContext& c) {
    const std::string file = "options.xml";
    COptions options;
    options.Load(file.c_str());
    c.TakeBoxes(file);
    TiXmlDocument doc;
    if (!c.Parse(file, &doc)) return;
    static const char* const kNames[] = {"KeepAspect_1_6", "SoundsEnabled", "DoNotUseAccumBuffer",
                                         "SleepEnabled", "IgnoreMouseMove"};
    std::vector<std::string> known(std::begin(kNames), std::end(kNames));
    c.CheckChildren(file, doc.RootElement(), known);
    for (const char* name : kNames) {
        int count = 0;
        for (const TiXmlElement* e = doc.RootElement()->FirstChildElement(name); e;
             e = e->NextSiblingElement(name)) {
            if (++count == 2) c.Warn(file, name, "given more than once: only the first counts");
            c.CheckAttributes(file, name, e, {{"v", ATTR_INT}});
        }
    }
}

// ------------------------------------------------------------ scenes

void CheckScene(CheckContext& c, const std::string& scenePath) {
    const std::string file = scenePath + "/scene.xml";
    CStage stage;
    stage.LoadScene(scenePath.c_str());
    c.TakeBoxes(file);
    TiXmlDocument doc;
    if (!c.Parse(file, &doc)) return;
    const TiXmlElement* root = doc.RootElement();
    c.CheckChildren(file, root, {"EColor", "Back", "Water", "Info"});
    const TiXmlElement* colour = FirstChildNamed(root, "EColor");
    c.CheckAttributes(file, "EColor", colour,
                      {{"r", ATTR_INT}, {"g", ATTR_INT}, {"b", ATTR_INT}, {"a", ATTR_INT}});
    for (int i = 0; i < 4; ++i) {
        const int v = stage.emitterColor[i];
        if (v < 0 || v > 255)
            c.Warn(file, "EColor",
                   std::string(1, "rgba"[i]) + "=" + std::to_string(v) +
                       " lies outside 0..255: the drawing clamps it");
    }
    if (colour && colour->Attribute("a") && stage.emitterColor[3] <= 0)
        c.Warn(file, "EColor",
               "a=" + std::to_string(stage.emitterColor[3]) + ": the jets are fully transparent");
    c.CheckAttributes(file, "Info", FirstChildNamed(root, "Info"),
                      {{"Title", ATTR_TEXT},
                       {"Author", ATTR_TEXT},
                       {"Url", ATTR_TEXT},
                       {"Description", ATTR_TEXT}});
    for (const char* name : {"Back", "Water"}) {
        const TiXmlElement* e = FirstChildNamed(root, name);
        c.CheckAttributes(file, name, e, {{"file", ATTR_TEXT}});
        const char* picture = e ? e->Attribute("file") : nullptr;
        const char* what = std::strcmp(name, "Back") == 0 ? "backdrop" : "water";
        if (!picture) {
            c.Warn(file, name,
                   std::string(e ? "no file attribute" : "no <") + (e ? "" : name) +
                       (e ? "" : "> element") + ": the " + what + " is drawn without a picture");
            continue;
        }
        CheckJpegPicture(c, scenePath + "/" + picture, name);
    }
}

// ------------------------------------------------------------ scenario

struct Entries {
    std::map<std::string, bool> sceneEnabled;   // scene path -> enabled somewhere
    std::map<std::string, bool> scriptEnabled;  // action -> enabled somewhere
    std::vector<std::string> scenePaths;        // every scene to load, in order
    std::vector<std::string> actions;           // every script to load, in order
};

void Remember(std::vector<std::string>* list, const std::string& name) {
    if (std::find(list->begin(), list->end(), name) == list->end()) list->push_back(name);
}

bool CheckScenario(CheckContext& c, Entries* entries) {
    const std::string file = "defaultScenario.xml";
    CScenario scenario;
    const bool read = scenario.ReadLists(file.c_str());
    c.TakeBoxes(file);
    if (!read) return false;

    for (const SceneEntry& s : scenario.scenes) {
        bool& on = entries->sceneEnabled[s.path];
        on = on || s.enabled != 0;
        Remember(&entries->scenePaths, s.path);
    }
    for (const ScriptEntry& s : scenario.scripts) {
        bool& on = entries->scriptEnabled[s.action];
        on = on || s.enabled != 0;
        Remember(&entries->actions, s.action);
        if (s.hasScenePath) {
            Remember(&entries->scenePaths, s.scenePath);
            // A scene an enabled script is tied to is shown with it.
            if (s.enabled != 0)
                entries->sceneEnabled[s.scenePath] = true;
            else
                entries->sceneEnabled.emplace(s.scenePath, false);
        }
    }

    TiXmlDocument doc;
    if (!c.Parse(file, &doc)) return true;
    const TiXmlElement* root = doc.RootElement();
    const TiXmlElement* scenes = FirstChildNamed(root, "Scenes");
    const TiXmlElement* firstScene = FirstChildNamed(scenes, "Scene");
    const TiXmlElement* firstScript = FirstChildNamed(root, "Script");
    for (const TiXmlElement* e = root->FirstChildElement(); e && e != firstScript;
         e = e->NextSiblingElement())
        if (std::strcmp(e->Value(), "Scenes") != 0)
            c.Warn(file, "",
                   std::string("element <") + e->Value() +
                       "> is not one the saver reads; it is ignored");
    c.CheckListNames(file, firstScene, "Scene");
    c.CheckListNames(file, firstScript, "Script");
    int index = 0;
    for (const TiXmlElement* e = firstScene; e; e = e->NextSiblingElement(), ++index)
        c.CheckAttributes(file, Numbered("Scene", index), e,
                          {{"path", ATTR_TEXT}, {"enabled", ATTR_INT}});
    index = 0;
    for (const TiXmlElement* e = firstScript; e; e = e->NextSiblingElement(), ++index)
        c.CheckAttributes(file, Numbered("Script", index), e,
                          {{"action", ATTR_TEXT}, {"enabled", ATTR_INT}, {"scenePath", ATTR_TEXT}});
    if (scenes && !firstScene && scenes->FirstChildElement())
        c.Warn(file, "Scenes", "no <Scene> element: the list is empty");
    return true;
}

// Scenes and scripts that can never be chosen, and shipped files nothing
// refers to.
void CheckUse(CheckContext& c, const Entries& e, const std::set<std::string>& figuresUsed) {
    const std::string file = "defaultScenario.xml";
    const bool anySceneOn = std::any_of(e.sceneEnabled.begin(), e.sceneEnabled.end(),
                                        [](const auto& s) { return s.second; });
    const bool anyScriptOn = std::any_of(e.scriptEnabled.begin(), e.scriptEnabled.end(),
                                         [](const auto& s) { return s.second; });
    for (const auto& s : e.sceneEnabled)
        if (!s.second && anySceneOn)
            c.Warn(
                file, "",
                "scene \"" + s.first + "\" is disabled everywhere it is listed: it is never shown");
    for (const auto& s : e.scriptEnabled)
        if (!s.second && anyScriptOn)
            c.Warn(
                file, "",
                "script \"" + s.first + "\" is disabled everywhere it is listed: it never plays");
    // With nothing enabled the saver takes the first entry every time.
    if (!e.sceneEnabled.empty() && !anySceneOn)
        c.Warn(file, "", "every scene is disabled: the first one listed is shown every time");
    if (!e.scriptEnabled.empty() && !anyScriptOn)
        c.Warn(file, "", "every script is disabled: the first one listed plays every time");

    for (const std::string& scene : Listing(c.dataDir, "", true))
        if (!e.sceneEnabled.count(scene))
            c.Warn(scene + "/scene.xml", "",
                   "the scenario does not list this scene: it is never shown");
    for (const std::string& script : Listing(c.dataDir, "_scripts", false, ".xml"))
        if (!e.scriptEnabled.count(script))
            c.Warn(InFolder("_scripts", script), "",
                   "the scenario does not list this script: it never plays");
    for (const std::string& figure : Listing(c.dataDir, "_figures", false, ".xml"))
        if (!figuresUsed.count(figure))
            c.Warn(InFolder("_figures", figure), "", "no script of the scenario uses this figure");
}

// ------------------------------------------------------------ sprites and shaders

void CheckShaders(CheckContext& c) {
    for (const char* name : {"shaders/ripple.vsh", "shaders/ripple.fsh"}) {
        char* text = ReadTextFile((c.dataDir + name).c_str());
        if (!text)
            c.Warn(name, "", "missing, empty or unreadable: the water is drawn without ripples");
        delete[] text;
    }
}

}  // namespace

// ------------------------------------------------------------ the whole show

CheckReport CheckShow(const std::string& folder, const CheckSettings& settings) {
    std::string dataDir, problem;
    if (!CheckShowFolder(folder, nullptr, &dataDir, &problem)) {
        CheckReport report;
        report.findings.push_back(Finding{Finding::ERROR, "", "", folder + ": " + problem});
        return report;
    }

    // The saver's process-wide state, as the readers use it.
    char keptDataDir[sizeof g_dataDir];
    std::memcpy(keptDataDir, g_dataDir, sizeof g_dataDir);
    const COptions keptOptions = g_options;
    std::strncpy(g_dataDir, dataDir.c_str(), sizeof g_dataDir - 1);
    g_dataDir[sizeof g_dataDir - 1] = '\0';

    CheckContext c(dataDir, settings);
    plat::Install(&c.platform);
    // Scene choice and the jets' jitter draw from the standard generator:
    // the same show is checked the same way every time.
    std::srand(20240607);

    CheckOptions(c);
    Entries entries;
    std::set<std::string> figuresUsed;
    if (CheckScenario(c, &entries)) {
        for (const std::string& scene : entries.scenePaths) CheckScene(c, scene);
        for (const std::string& action : entries.actions) CheckScript(c, action, &figuresUsed);
        CheckUse(c, entries, figuresUsed);
    }
    for (const char* sprite : {"particle7.bmp", "fSource.bmp", "emitterTube.bmp"})
        CheckSprite(c, sprite);
    CheckShaders(c);

    plat::Install(nullptr);
    std::memcpy(g_dataDir, keptDataDir, sizeof g_dataDir);
    g_options = keptOptions;
    return c.report;
}
