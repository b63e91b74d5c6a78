#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "fountains/fountain_textures.h"
#include "render/motion_trail.h"
#include "render/rendering.h"
#include "render/ripple_shader.h"
#include "scenario/scenario.h"

void InitRendering() {
    std::srand((unsigned)std::time(nullptr) ^ g_run.seedSalt);
    g_fountainTextures = new CFountainTextures();

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glewInit();
    // The trail goes through textures where framebuffer objects exist, and
    // is off on a software rasteriser unless the run asks for it.
    g_run.framebufferObjects = GLEW_VERSION_3_0 || GLEW_ARB_framebuffer_object;
    if (IsSoftwareRendererName((const char*)glGetString(GL_RENDERER))) {
        g_run.softwareRenderer = true;
        g_accumAvailable = 0;
    }
    if (glewIsSupported("GL_VERSION_2_0")) {
        std::printf("Ready for OpenGL 2.0\n");
        if (!LoadRippleShader()) g_shadersAvailable = 0;
    } else {
        std::printf("OpenGL 2.0 not supported\n");
        g_shadersAvailable = 0;
    }
    std::fflush(stdout);

    g_scenario = new CScenario;
    g_scenario->Load("defaultScenario.xml");
}
