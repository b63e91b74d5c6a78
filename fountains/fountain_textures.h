// The three sprite textures of the fountains, and the blending set-ups of
// the emitter and particle passes.
#pragma once

#include "textures/texture.h"

enum { FTEX_PARTICLE = 0, FTEX_SOURCE = 1, FTEX_TUBE = 2 };

class CFountainTextures {
public:
    CTexture textures[3];
    // Loads "particle7.bmp", "fSource.bmp", "emitterTube.bmp" from the data
    // directory.
    CFountainTextures();
    void Bind(int index);
};

// Enables blending with the emitters' factors.
void SetupEmitterPass();
// Binds the particle sprite and enables blending with the particles' factors.
void SetupParticlePass();
