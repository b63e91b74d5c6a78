#include "fountains/fountain_textures.h"

#include <GL/glew.h>

#include "platform/file.h"
#include "platform/globals.h"

static const char* const kSpriteFiles[3] = {"particle7.bmp", "fSource.bmp", "emitterTube.bmp"};

CFountainTextures::CFountainTextures() {
    for (int i = 0; i < 3; ++i) {
        textures[i].SetMapping(TEX_PLAIN);
        char path[256];
        // An over-long path leaves an empty name, which loads nothing.
        plat::FormatDataPath(path, sizeof path, "%s", kSpriteFiles[i]);
        textures[i].LoadBMP(path);
    }
}

void CFountainTextures::Bind(int index) {
    if (index >= 0 && index < 3) textures[index].Bind();
}

void SetupEmitterPass() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
}

void SetupParticlePass() {
    if (g_fountainTextures) g_fountainTextures->Bind(FTEX_PARTICLE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
