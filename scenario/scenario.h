// The director of the show: scene and script lists, random rotation, and
// the end-of-scene countdown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CActionScript;
class CStage;

struct SceneEntry {
    std::string path;
    int32_t enabled = 1;
    std::string title, author, url, description;
};

struct ScriptEntry {
    std::string action;
    int32_t enabled = 1;
    bool hasScenePath = false;
    std::string scenePath;
};

class CScenario {
public:
    std::vector<SceneEntry> scenes;
    std::vector<ScriptEntry> scripts;
    bool listsBuilt = false;
    CActionScript* script = nullptr;  // owned
    CStage* stage = nullptr;          // owned
    int32_t countdown = 0;
    // What the last switch chose, for tools and diagnostics: the script
    // entry's action and the scene folder (empty when none was chosen).
    std::string playingScript, playingScene;

    CScenario();
    ~CScenario();
    CScenario(const CScenario&) = delete;
    CScenario& operator=(const CScenario&) = delete;

    void Load(const char* fileName);
    void Update(int32_t tick);
    void SwitchScene();
    int PickScene();
    int PickScript();
    CStage& Stage() { return *stage; }
};
