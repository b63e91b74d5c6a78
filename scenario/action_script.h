// The choreography of one scene: figures and timed commands.
#pragma once

#include <cstdint>

#include "fountains/jet_program.h"

class CFigure;
class CFigureSet;

enum { EMITTER_RANGE_DEFAULT_LAST = 500 };

// One command: the program it gives the jets of a range of emitters, and
// when.
struct CActionCommand : JetProgram {
    // A command's program defaults are not an idle emitter's.
    CActionCommand() {
        cycles = 2;
        Angle2 = 180;
        YPowerK = 1;
        Power = 0.5f;
        EType = JET_SWING;
    }

    int32_t group = 0;
    int32_t first = 0;
    int32_t last = 500;
    int32_t delayBS = 0;
    int32_t tShift = 0;
    int32_t effTime = 1000;
    int32_t effTimeD = 100;
    int32_t nextAfter = 0;
    int32_t id = 0;
};

class CActionScript {
public:
    CFigureSet* figureSet = nullptr;      // owned
    CActionCommand** commands = nullptr;  // [commandCount], owned
    int32_t commandCount = 0;
    int32_t color[4] = {255, 180, 128, 90};  // r, g, b, a
    int32_t cursor = 0;
    int32_t issuedMark = -1;
    int32_t waitingThreshold = -1;

    CActionScript() = default;
    ~CActionScript();
    CActionScript(const CActionScript&) = delete;
    CActionScript& operator=(const CActionScript&) = delete;

    // Reads "_scripts\<fileName>".
    void Load(const char* fileName);
    void SetEmitterColor(int32_t r, int32_t g, int32_t b, int32_t a);
    // Issues due commands (unless hold) and advances every jet; true when
    // the script has just gone past its last command.
    bool Run(int32_t tick, bool hold);
    // True when, with commands held, no frame can draw a random number: no
    // emitter is active (a running jet program may draw) and no jet sprays
    // (emission draws).  Held commands change no emitter, so it stays true
    // until commands are issued again.
    bool QuietWhileHeld() const;
    void DrawEmitters();
    void AnimateParticles(int32_t tick);
    // AnimateParticles in its two halves, for benchmarks and tools.
    void SimulateParticles(int32_t tick);
    void DrawParticles();

    bool StepCommands(int32_t figure, int32_t tick);
    void ApplyCommand(const CActionCommand& c, CFigure& f);
};
