// Immediate-mode drawing of emitters (splash and tube) and particle quads.

#include <GL/glew.h>

#include "fountains/emitter.h"
#include "fountains/fountain_textures.h"
#include "fountains/particle_system.h"
#include "platform/globals.h"

namespace {

const float kTubeHalfWidth = 0.35f;
const float kTubeHeight = 0.5f;
const float kSplashFullTally = 30.0f;

void BindFountainTexture(int index) {
    if (g_fountainTextures) g_fountainTextures->Bind(index);
}

}  // namespace

void CEmitter::Draw() {
    // The splash grows with the particles of the last pass: half-size 0.5
    // with none, 2.0 from 30 on.
    float k = (float)liveTally / kSplashFullTally;
    if (k < 0.0f) k = 0.0f;
    if (k > 1.0f) k = 1.0f;
    const float h = (1.0f + 3.0f * k) / 2.0f;

    BindFountainTexture(FTEX_SOURCE);
    glBegin(GL_QUADS);
    glColor4f(r, g, b, 0.5f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x + h, y, z + h);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x - h, y, z + h);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x - h, y, z - h);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x + h, y, z - h);
    glEnd();

    BindFountainTexture(FTEX_TUBE);
    glBegin(GL_QUADS);
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x + kTubeHalfWidth, y, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x - kTubeHalfWidth, y, z);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x - kTubeHalfWidth, y + kTubeHeight, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x + kTubeHalfWidth, y + kTubeHeight, z);
    glEnd();
}

void CParticleSystem::Draw() {
    glBegin(GL_QUADS);
    for (int32_t i = 0; i < count; ++i) {
        const CParticle& p = particles[i];
        if (!p.live) continue;
        glColor4f(p.r, p.g, p.b, p.a);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(p.x, p.y, p.z);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(p.x, p.y + p.height, p.z);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(p.x + p.width, p.y + p.height, p.z);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(p.x + p.width, p.y, p.z);
    }
    glEnd();
}
