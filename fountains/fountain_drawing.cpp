// Drawing of emitters (splash and tube, immediate mode) and particle quads
// (vertex arrays).

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

namespace {

// Particle quads go through vertex arrays filled in batches of up to one
// full pool, in scratch space of static storage, so drawing allocates
// nothing.  A batch lives only during one Draw call: it is no state of the
// process.

struct QuadVertex {
    float x, y, z;
    float r, g, b, a;
};

const int kBatchQuads = PARTICLES_PER_POOL;
QuadVertex scratchVertices[kBatchQuads * 4];

// Every quad's corners take the sprite's corners in the same order.
struct QuadTexCoords {
    float st[kBatchQuads * 4 * 2];
    QuadTexCoords() {
        static const float kCorner[8] = {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
        for (int i = 0; i < kBatchQuads * 8; ++i) st[i] = kCorner[i % 8];
    }
};
const QuadTexCoords quadTexCoords;

void DrawBatch(int quads) {
    if (quads > 0) glDrawArrays(GL_QUADS, 0, quads * 4);
}

}  // namespace

// The live particles as quads through vertex arrays: the vertices, colours
// and texture coordinates immediate mode would give, in the same order and
// with the same state, at a fraction of the calls.
void CParticleSystem::Draw() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(QuadVertex), &scratchVertices[0].x);
    glColorPointer(4, GL_FLOAT, sizeof(QuadVertex), &scratchVertices[0].r);
    glTexCoordPointer(2, GL_FLOAT, 0, quadTexCoords.st);
    const CParticle* last = nullptr;
    int quads = 0;
    for (int32_t i = 0; i < count; ++i) {
        const CParticle& p = particles[i];
        if (!p.live) continue;
        QuadVertex* v = &scratchVertices[quads * 4];
        const float right = p.x + p.width, top = p.y + p.height;
        v[0] = QuadVertex{p.x, p.y, p.z, p.r, p.g, p.b, p.a};
        v[1] = QuadVertex{p.x, top, p.z, p.r, p.g, p.b, p.a};
        v[2] = QuadVertex{right, top, p.z, p.r, p.g, p.b, p.a};
        v[3] = QuadVertex{right, p.y, p.z, p.r, p.g, p.b, p.a};
        last = &p;
        if (++quads == kBatchQuads) {
            DrawBatch(quads);
            quads = 0;
        }
    }
    DrawBatch(quads);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    // The current colour and texture coordinate as immediate mode leaves
    // them (array drawing leaves them undefined).
    if (last) {
        glColor4f(last->r, last->g, last->b, last->a);
        glTexCoord2f(1.0f, 0.0f);
    }
}
