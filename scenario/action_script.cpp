#include "scenario/action_script.h"

#include <tinyxml.h>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "fountains/particle_system.h"
#include "fountains/show_limits.h"
#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/globals.h"
#include "platform/platform.h"

namespace {

// Ticks are 32-bit and wrap; absurd command values must wrap with them
// rather than overflow.
int32_t WrapTick(int64_t v) { return (int32_t)(uint32_t)(uint64_t)v; }

void ReadFloat(const TiXmlElement* e, const char* name, float* target, double def) {
    double value = def;
    ReadDoubleAttribute(e, name, &value, def);
    *target = ToFloat(value);
}

// Reads one Command.  The record starts at its defaults, so an attribute
// whose text is not a number keeps the default.  The velocities have no
// default: an absent one repeats the value last read in this file
// (carried in `velocity`), which starts at 0.
void ReadCommand(const TiXmlElement* e, CActionCommand* c, double velocity[6]) {
    ReadIntAttribute(e, "group", &c->group, 0);
    ReadIntAttribute(e, "first", &c->first, 0);
    ReadIntAttribute(e, "last", &c->last, EMITTER_RANGE_DEFAULT_LAST);
    ReadIntAttribute(e, "delayBS", &c->delayBS, 0);
    ReadIntAttribute(e, "tShift", &c->tShift, 0);
    ReadIntAttribute(e, "effTime", &c->effTime, 1000);
    ReadIntAttribute(e, "effTimeD", &c->effTimeD, 100);
    ReadIntAttribute(e, "cycles", &c->cycles, 2);
    ReadIntAttribute(e, "stop", &c->stop, 0);

    static const char* const kVelocity[6] = {"vx1", "vy1", "vz1", "vx2", "vy2", "vz2"};
    static float JetProgram::*const kVelocityField[6] = {&JetProgram::vx1, &JetProgram::vy1,
                                                         &JetProgram::vz1, &JetProgram::vx2,
                                                         &JetProgram::vy2, &JetProgram::vz2};
    for (int k = 0; k < 6; ++k) {
        ReadDoubleIfPresent(e, kVelocity[k], &velocity[k]);
        c->*kVelocityField[k] = ToFloat(velocity[k]);
    }

    ReadIntAttribute(e, "nextAfter", &c->nextAfter, 0);
    ReadFloat(e, "centerX", &c->centerX, 0.0);
    ReadFloat(e, "centerY", &c->centerY, 0.0);
    ReadFloat(e, "Angle1", &c->Angle1, 0.0);
    ReadFloat(e, "Angle2", &c->Angle2, 180.0);
    ReadFloat(e, "YPowerK", &c->YPowerK, 1.0);
    ReadFloat(e, "Power", &c->Power, 0.5);
    ReadIntAttribute(e, "EType", &c->EType, JET_SWING);
    ReadIntIfPresent(e, "id", &c->id);
}

}  // namespace

CActionScript::~CActionScript() {
    delete figureSet;
    for (int32_t i = 0; i < commandCount; ++i) delete commands[i];
    delete[] commands;
}

void CActionScript::Load(const char* fileName) {
    if (!fileName) fileName = "";

    // An entry without a name, or a path that does not fit the buffer, is a
    // file that cannot be opened.
    // So is a script that uses more figures than a show may have.
    char path[256];
    TiXmlDocument doc;
    if (!*fileName || !plat::FormatDataPath(path, sizeof path, "_scripts\\%s", fileName) ||
        !LoadXmlFile(doc, path) ||
        CountListFrom(FirstChildNamed(FirstChildNamed(doc.FirstChildElement(), "Uses"), "Figure")) >
            kMaxFiguresPerScript) {
        ShowFileOpenError(fileName);
        return;
    }

    // Loading again replaces the earlier figures and commands and restarts.
    delete figureSet;
    for (int32_t i = 0; i < commandCount; ++i) delete commands[i];
    delete[] commands;
    commands = nullptr;
    commandCount = 0;
    cursor = 0;
    issuedMark = -1;
    waitingThreshold = -1;

    const TiXmlElement* root = doc.FirstChildElement();
    figureSet = new CFigureSet();
    figureSet->Load(root);

    const TiXmlElement* first = FirstChildNamed(FirstChildNamed(root, "ActionScript"), "Command");
    int32_t n = CountListFrom(first);
    if (n <= 0) return;
    commands = new CActionCommand*[n]();
    commandCount = n;
    double velocity[6] = {0, 0, 0, 0, 0, 0};
    int32_t i = 0;
    for (const TiXmlElement* e = first; e && i < n; e = e->NextSiblingElement(), ++i) {
        commands[i] = new CActionCommand();
        ReadCommand(e, commands[i], velocity);
    }
}

void CActionScript::SetEmitterColor(int32_t r, int32_t g, int32_t b, int32_t a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

bool CActionScript::Run(int32_t tick, bool hold) {
    // A script without figures or without commands has nothing to play: it
    // counts as played out whenever commands are not held, so the show moves
    // on instead of waiting for a command that can never come.
    if (!figureSet || figureSet->count <= 0 || commandCount <= 0) return !hold;

    bool result = false;
    for (int32_t i = 0; i < figureSet->count; ++i) {
        if (!hold && StepCommands(i, tick)) result = true;
        CFigure* f = figureSet->figures[i];
        for (int32_t k = 0; k < f->emitterCount; ++k) f->emitters[k]->UpdateJet(tick);
    }
    return result;
}

bool CActionScript::StepCommands(int32_t figure, int32_t tick) {
    if (commandCount <= 0) {
        cursor = 0;
        return true;
    }
    if (cursor < 0 || cursor >= commandCount) cursor = 0;
    const CActionCommand& c = *commands[cursor];
    if (c.group != figure) return false;
    if (!figureSet || figure < 0 || figure >= figureSet->count) return false;
    CFigure& f = *figureSet->figures[figure];

    int32_t active = 0;
    for (int32_t k = 0; k < f.emitterCount; ++k)
        if (f.emitters[k]->IsActive()) ++active;
    if (waitingThreshold != -1 && active > waitingThreshold) return false;

    if (cursor == issuedMark) {
        ++cursor;
    } else {
        ApplyCommand(c, f);
        waitingThreshold = c.nextAfter;
        issuedMark = cursor;
    }
    if (cursor >= commandCount) {
        cursor = 0;
        return true;
    }
    return false;
}

void CActionScript::ApplyCommand(const CActionCommand& c, CFigure& f) {
    int64_t now = (int32_t)plat::TickCount();
    int32_t n = f.emitterCount;
    auto clamp = [n](int32_t v) {
        if (v < 0) v = 0;
        if (v > n - 1) v = n - 1;
        return v;
    };
    int32_t from = clamp(c.first);
    int32_t to = clamp(c.last);
    if (from == to) return;
    int32_t step = from < to ? 1 : -1;

    float r = color[0] / 255.0f, g = color[1] / 255.0f;
    float b = color[2] / 255.0f, a = color[3] / 255.0f;
    for (int64_t m = 0;; ++m, from += step) {
        if (step > 0 ? from > to : from < to) break;
        CEmitter& e = *f.emitters[from];
        e.duration = WrapTick(c.effTime + m * c.effTimeD);
        e.start = WrapTick(now + c.delayBS + m * c.tShift);
        e.end = WrapTick((int64_t)e.start + e.duration);
        static_cast<JetProgram&>(e) = c;
        e.direction = 1;
        e.r = r;
        e.g = g;
        e.b = b;
        e.a = a;
    }
}

bool CActionScript::QuietWhileHeld() const {
    if (!figureSet) return true;
    for (int32_t i = 0; i < figureSet->count; ++i) {
        const CFigure& f = *figureSet->figures[i];
        for (int32_t k = 0; k < f.emitterCount; ++k) {
            const CEmitter* e = f.emitters[k];
            const CParticleSystem* pool = f.particleSystems[k];
            if (e && (e->IsActive() || e->Sprays())) return false;
            if (pool && pool->emitter && pool->emitter->Sprays()) return false;
        }
    }
    return true;
}

void CActionScript::DrawEmitters() {
    if (figureSet) figureSet->DrawEmitters();
}

void CActionScript::AnimateParticles(int32_t tick) {
    if (figureSet) figureSet->AnimateParticles(tick);
}

void CActionScript::SimulateParticles(int32_t tick) {
    if (figureSet) figureSet->SimulateParticles(tick);
}

void CActionScript::DrawParticles() {
    if (figureSet) figureSet->DrawParticles();
}
