// The director of the show: scene and script lists, random rotation, and
// the end-of-scene countdown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CActionScript;
class CStage;
class ScenePreloader;
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

// A switch's choice: the indices of the script entry and the scene entry
// (-1: none is listed, or the script names its own scene).
struct SwitchChoice {
    int script = -1;
    int scene = -1;
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
    // Choosing ahead.  When the pause begins and no frame before the switch
    // can draw a random number (CActionScript::QuietWhileHeld), the next
    // script and scene are chosen at once, drawing the same numbers in the
    // same order as the switch would, and the scene's pictures are made
    // ready during the pause (scene_preloader.h); the switch then shows
    // them, with every message, as it always did.  Otherwise the switch
    // chooses and loads as always.  False: always at the switch.
    bool chooseAhead = true;
    int32_t switchesChosenAhead = 0;

    CScenario();
    ~CScenario();
    CScenario(const CScenario&) = delete;
    CScenario& operator=(const CScenario&) = delete;

    // ReadLists, then the first scene switch; the worker that makes the
    // pictures of later scenes ready starts here.
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
    // Draws the next choice: the script entry, then the scene entry unless
    // the script names its scene.
    SwitchChoice Choose();
    // At the start of the pause: the next choice, and its pictures made
    // ready, when nothing can draw a random number before the switch.
    void ChooseAhead();

    bool choiceMade_ = false;
    SwitchChoice choice_;
    std::unique_ptr<ScenePreloader> preloader_;
};
