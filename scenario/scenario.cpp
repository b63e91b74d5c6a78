#include "scenario/scenario.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "scenario/action_script.h"
#include "scenario/scene_preloader.h"
#include "scenario/stage.h"
#include "textures/texture.h"

namespace {

enum { kPathSize = 256 };

// Index of a uniformly chosen enabled entry, or 0 when none is enabled.
template <typename Entry>
int PickEnabled(const std::vector<Entry>& entries) {
    int enabled = 0;
    for (const Entry& e : entries)
        if (e.enabled != 0) ++enabled;
    if (enabled == 0) return 0;
    int k = std::rand() % enabled;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].enabled == 0) continue;
        if (k-- == 0) return (int)i;
    }
    return 0;
}

void AddLine(std::string& text, const std::string& line) {
    if (!text.empty()) text += "\n";
    text += line;
}

std::string EntryLine(const char* format, int number) {
    char line[160];
    std::snprintf(line, sizeof line, format, number);
    return line;
}

// The worker for the next scene's pictures; without one (the system
// refusing a thread) every switch loads its pictures itself.
std::unique_ptr<ScenePreloader> StartPreloader() {
    try {
        return std::unique_ptr<ScenePreloader>(new ScenePreloader);
    } catch (const std::system_error&) {
        return nullptr;
    }
}

}  // namespace

CScenario::CScenario() : stage(new CStage) {}

CScenario::~CScenario() {
    delete script;
    delete stage;
}

void CScenario::Load(const char* fileName) {
    if (!ReadLists(fileName)) return;
    if (!preloader_) preloader_ = StartPreloader();
    SwitchScene();
    // Texture objects like the first scene's, for the pictures of the next.
    for (const CTexture* t : {stage->backTexture, stage->waterTexture})
        if (t && preloader_) preloader_->ReserveLike(*t);
}

bool CScenario::ReadLists(const char* fileName) {
    char path[kPathSize];
    TiXmlDocument doc;
    if (!plat::FormatDataPath(path, sizeof path, "\\%s", fileName)) {
        ShowFileOpenError((std::string(g_dataDir) + "\\" + fileName).c_str());
        return false;
    }
    // A document without a root element is not well-formed XML either; a
    // scenario with more entries than a show may have is not loaded.
    const TiXmlElement* root = LoadXmlFile(doc, path) ? doc.RootElement() : nullptr;
    if (!root ||
        CountListFrom(FirstChildNamed(FirstChildNamed(root, "Scenes"), "Scene")) >
            kMaxScenarioEntries ||
        CountListFrom(FirstChildNamed(root, "Script")) > kMaxScenarioEntries) {
        ShowFileOpenError(path);
        return false;
    }
    std::string problems;
    ReadScenes(doc.RootElement(), &problems);
    ReadScripts(doc.RootElement(), &problems);
    listsBuilt = true;
    ReportProblems(path, problems);
    return true;
}

// Entries that cannot be played are left out and named in the report.
void CScenario::ReadScenes(const TiXmlElement* root, std::string* problems) {
    scenes.clear();
    const TiXmlElement* first = FirstChildNamed(FirstChildNamed(root, "Scenes"), "Scene");
    scenes.reserve(CountListFrom(first));
    int number = 0;
    for (const TiXmlElement* e = first; e; e = e->NextSiblingElement()) {
        ++number;
        const char* scenePath = e->Attribute("path");
        if (!scenePath) {
            AddLine(*problems, EntryLine("Scene entry %d has no path; it is left out.", number));
            continue;
        }
        SceneEntry entry;
        entry.path = scenePath;
        ReadIntAttribute(e, "enabled", &entry.enabled, 1);
        stage->ReadSceneInfo(scenePath, &entry.title, &entry.author, &entry.url,
                             &entry.description);
        scenes.push_back(entry);
    }
}

void CScenario::ReadScripts(const TiXmlElement* root, std::string* problems) {
    scripts.clear();
    const TiXmlElement* first = FirstChildNamed(root, "Script");
    scripts.reserve(CountListFrom(first));
    int number = 0;
    for (const TiXmlElement* e = first; e; e = e->NextSiblingElement()) {
        ++number;
        const char* action = e->Attribute("action");
        if (!action || !*action) {
            AddLine(*problems, EntryLine("Script entry %d has no action; it is left out.", number));
            continue;
        }
        ScriptEntry entry;
        entry.action = action;
        ReadIntAttribute(e, "enabled", &entry.enabled, 1);
        if (const char* scenePath = e->Attribute("scenePath")) {
            entry.hasScenePath = true;
            entry.scenePath = scenePath;
        }
        scripts.push_back(entry);
    }
}

// One message for everything that keeps the lists from playing as written.
void CScenario::ReportProblems(const char* path, std::string problems) const {
    if (scripts.empty()) {
        AddLine(problems, scenes.empty()
                              ? "The scenario lists no scripts and no scenes: nothing to show."
                              : "The scenario lists no scripts: a scene is shown without "
                                "fountains.");
    } else if (scenes.empty()) {
        for (const ScriptEntry& s : scripts)
            if (!s.hasScenePath)
                AddLine(problems, "Script \"" + s.action +
                                      "\" has no scenePath and the scenario lists no scenes: "
                                      "it plays without a scene.");
    }
    if (!problems.empty())
        plat::MessageBox(0, problems.c_str(), plat::DisplayPath(path).c_str(), plat::MB_OK);
}

int CScenario::PickScene() { return PickEnabled(scenes); }

int CScenario::PickScript() { return PickEnabled(scripts); }

SwitchChoice CScenario::Choose() {
    SwitchChoice c;
    if (!scripts.empty()) c.script = PickScript();
    const bool named = c.script >= 0 && scripts[c.script].hasScenePath;
    if (!named && !scenes.empty()) c.scene = PickScene();
    return c;
}

void CScenario::ChooseAhead() {
    if (!chooseAhead || choiceMade_ || !script || !script->QuietWhileHeld()) return;
    choice_ = Choose();
    choiceMade_ = true;
    ++switchesChosenAhead;
    const char* scenePath = nullptr;
    if (choice_.script >= 0 && scripts[choice_.script].hasScenePath)
        scenePath = scripts[choice_.script].scenePath.c_str();
    else if (choice_.scene >= 0)
        scenePath = scenes[choice_.scene].path.c_str();
    if (scenePath && preloader_) preloader_->Request(scenePath);
}

void CScenario::SwitchScene() {
    // A choice made at the start of the pause is this switch's: its numbers
    // have been drawn.  The lists are not expected to change meanwhile.
    SwitchChoice choice = choiceMade_ ? choice_ : Choose();
    choiceMade_ = false;
    if (choice.script >= (int)scripts.size() || choice.scene >= (int)scenes.size())
        choice = Choose();

    ++switchCount;
    delete script;
    script = nullptr;
    playingScript.clear();
    playingScene.clear();

    const char* scenePath = nullptr;
    if (choice.script >= 0) {
        script = new CActionScript;
        const ScriptEntry& chosen = scripts[choice.script];
        playingScript = chosen.action;
        script->Load(chosen.action.c_str());
        if (chosen.hasScenePath) scenePath = chosen.scenePath.c_str();
    }
    if (!scenePath && choice.scene >= 0) scenePath = scenes[choice.scene].path.c_str();
    // Without any scene the stage keeps what it has.
    if (scenePath) {
        playingScene = scenePath;
        stage->LoadScene(scenePath, preloader_.get());
    }
    if (preloader_) preloader_->Reset();

    if (script) {
        const int* c = stage->emitterColor;
        script->SetEmitterColor(c[0], c[1], c[2], c[3]);
    }
}

void CScenario::Update(int32_t tick) {
    if (!listsBuilt || !script) return;
    if (countdown > COUNTDOWN_SWITCH) --countdown;
    if (script->Run(tick, countdown != COUNTDOWN_PLAYING)) {
        countdown = COUNTDOWN_DRAINING;
    } else if (countdown == COUNTDOWN_SWITCH) {
        countdown = COUNTDOWN_PLAYING;
        SwitchScene();
        return;
    }
    script->DrawEmitters();
    script->AnimateParticles(tick);
    if (countdown == COUNTDOWN_DRAINING && g_frameParticleCount == 0) {
        countdown = COUNTDOWN_PAUSE;
        ChooseAhead();
    } else if (countdown > COUNTDOWN_SWITCH && preloader_) {
        preloader_->Step();
    }
}
