#include "fountains/figure.h"

#include <tinyxml.h>

#include "fountains/emitter.h"
#include "fountains/fountain_textures.h"
#include "fountains/particle_system.h"
#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/globals.h"

CFigure::~CFigure() {
    for (int32_t i = 0; i < emitterCount; ++i) {
        if (particleSystems) delete particleSystems[i];
        if (emitters) delete emitters[i];
    }
    delete[] particleSystems;
    delete[] emitters;
}

void CFigure::AllocateEmitters(int32_t count, int32_t id) {
    // Reloading a figure replaces what it held.
    for (int32_t i = 0; i < emitterCount; ++i) {
        if (particleSystems) delete particleSystems[i];
        if (emitters) delete emitters[i];
    }
    delete[] particleSystems;
    delete[] emitters;
    particleSystems = nullptr;
    emitters = nullptr;
    emitterCount = 0;

    if (count > 0) {
        particleSystems = new CParticleSystem*[count]();
        emitters = new CEmitter*[count]();
        emitterCount = count;
    }
    figureId = id;
}

bool CFigure::Load(const char* fileName, int32_t id, double dx, double dy, double dz,
                   int32_t maxEmitters) {
    if (!fileName) fileName = "";
    figureId = id;

    // An entry without a file name, or a path that does not fit the buffer,
    // is a file that cannot be opened.
    char path[256];
    TiXmlDocument doc;
    if (!*fileName || !plat::FormatDataPath(path, sizeof path, "_figures\\%s", fileName) ||
        !LoadXmlFile(doc, path)) {
        ShowFileOpenError(fileName);
        return false;
    }

    const TiXmlElement* root = doc.FirstChildElement();
    const TiXmlElement* formula = FirstChildNamed(root, "Formula");
    if (!formula) return true;

    int value = fid;
    ReadIntIfPresent(formula, "fid", &value);
    fid = value;
    // count is superseded by the number of emitter elements.
    double real = cx;
    ReadDoubleIfPresent(formula, "cx", &real);
    cx = ToFloat(real);
    real = cy;
    ReadDoubleIfPresent(formula, "cy", &real);
    cy = ToFloat(real);
    real = rx;
    ReadDoubleIfPresent(formula, "rx", &real);
    rx = ToFloat(real);
    real = ry;
    ReadDoubleIfPresent(formula, "ry", &real);
    ry = ToFloat(real);

    // Without an Egroup there is nothing to place: an empty figure.
    const TiXmlElement* group = FirstChildNamed(root, "Egroup");
    if (!group) return true;

    const TiXmlElement* first = FirstChildNamed(group, "Emmiter");
    int32_t count = CountListFrom(first);
    if (count > maxEmitters) {
        ShowFileOpenError(fileName);
        return false;
    }
    AllocateEmitters(count, id);

    int32_t i = 0;
    for (const TiXmlElement* e = first; e && i < count; e = e->NextSiblingElement(), ++i) {
        // A missing or non-numeric coordinate is 0.
        double x = 0, y = 0, z = 0;
        ReadDoubleAttribute(e, "x", &x, 0.0);
        ReadDoubleAttribute(e, "y", &y, 0.0);
        ReadDoubleAttribute(e, "z", &z, 0.0);
        float px = ToFloat(x + dx);
        float py = ToFloat(y + dy);
        float pz = ToFloat(z + dz);
        emitters[i] = new CEmitter(px, py, pz);
        particleSystems[i] = new CParticleSystem(PARTICLES_PER_POOL, px, py, pz);
        particleSystems[i]->emitter = emitters[i];
    }
    return true;
}

void CFigure::DrawEmitters() {
    if (emitterCount == 0) return;
    SetupEmitterPass();
    for (int32_t i = 0; i < emitterCount; ++i) emitters[i]->Draw();
}

void CFigure::AnimateParticles(int32_t tick) {
    SimulateParticles(tick);
    DrawParticles();
}

void CFigure::SimulateParticles(int32_t tick) {
    for (int32_t i = 0; i < emitterCount; ++i) {
        particleSystems[i]->Emit(tick);
        particleSystems[i]->Move(tick);
    }
}

void CFigure::DrawParticles() {
    if (emitterCount == 0) return;
    SetupParticlePass();
    for (int32_t i = 0; i < emitterCount; ++i) particleSystems[i]->Draw();
}
