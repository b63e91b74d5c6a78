// The director of the show: scene and script lists, random rotation, and
// the end-of-scene countdown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CActionScript;
class CStage;
class TiXmlElement;

// The most scenes, and the most scripts, a scenario file may list: each
// scene is read when the file is loaded (and named in a message when it is
// missing).  The shipped scenario lists 6 and 10.
const int kMaxScenarioEntries = 256;

// The end-of-scene countdown: playing; draining (the script has passed its
// last command, the jets run on until no particle is left); a pause counted
// down one step a frame from COUNTDOWN_PAUSE; the switch when it reaches
// COUNTDOWN_SWITCH, after which it is playing again.
enum CountdownPhase {
    COUNTDOWN_PLAYING = 0,
    COUNTDOWN_DRAINING = 1,
    COUNTDOWN_SWITCH = 2,
    COUNTDOWN_PAUSE = 100,
};

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
    int32_t countdown = COUNTDOWN_PLAYING;
    // Scene switches made so far (the first one included).
    int32_t switchCount = 0;
    // What the last switch chose, for tools and diagnostics: the script
    // entry's action and the scene folder (empty when none was chosen).
    std::string playingScript, playingScene;

    CScenario();
    ~CScenario();
    CScenario(const CScenario&) = delete;
    CScenario& operator=(const CScenario&) = delete;

    // ReadLists, then the first scene switch.
    void Load(const char* fileName);
    // Reads the scenario file's scene and script lists and shows one
    // message for the entries that cannot be played; false (lists
    // untouched) when the file cannot be read.
    bool ReadLists(const char* fileName);
    void Update(int32_t tick);
    void SwitchScene();
    int PickScene();
    int PickScript();
    CStage& Stage() { return *stage; }

private:
    // The parts of Load: the two lists, and one message naming the entries
    // that cannot be played.
    void ReadScenes(const TiXmlElement* root, std::string* problems);
    void ReadScripts(const TiXmlElement* root, std::string* problems);
    void ReportProblems(const char* path, std::string problems) const;
};
