#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include "options/options.h"
#include "render/fps_overlay.h"
#include "render/rendering.h"
#include "render/ripple_shader.h"
#include "scenario/scenario.h"
#include "scenario/stage.h"

double g_viewAspect = 1.6;
int g_frameParticleCount = 0;

// The window's size, for the frame-rate read-out.
static int g_windowWidth = 0, g_windowHeight = 0;

static bool TrailOn() { return g_options.DoNotUseAccumBuffer == 0 && g_accumAvailable; }

void ResizeViewport(int w, int h) {
    g_windowWidth = w;
    g_windowHeight = h;
    const int v = g_options.KeepAspect_1_6 ? (int)(w / 1.6) : h;
    // A collapsed window (no height, or no width with the letterbox) has no
    // aspect: keep the last one so the projection stays defined.
    if (v > 0 && w > 0) g_viewAspect = (double)w / (double)v;
    glViewport(0, (h - v) / 2, w > 0 ? w : 0, v > 0 ? v : 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, g_viewAspect, 0.5, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (TrailOn()) {
        glClearAccum(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_ACCUM_BUFFER_BIT);
    }
}

float RippleSeconds() {
    static int base = -1;
    int now = glutGet(GLUT_ELAPSED_TIME);
    if (base < 0) base = now;
    return (float)(now - base) * 0.001f;
}

void DrawWaterSurface(CStage& stage) {
    if (!g_shadersAvailable) {
        stage.DrawWater();
        return;
    }
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glUseProgram(g_rippleProgram);
    const GLint time = glGetUniformLocationARB(g_rippleProgram, "time");
    glUniform1fARB(time, RippleSeconds());
    stage.DrawWater();
    glUseProgram(0);
    glMatrixMode(GL_MODELVIEW);
}

void RenderFrame() {
    g_frameParticleCount = 0;
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    CStage* stage = g_scenario ? &g_scenario->Stage() : nullptr;
    if (stage) {
        const double* c = stage->camera;
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
    }

    // Backdrop and water opaque.
    glPushMatrix();
    glDisable(GL_BLEND);
    if (stage) {
        stage->DrawBackdrop();
        DrawWaterSurface(*stage);
    }
    glPopMatrix();

    // Advances the show and draws the fountains, which count their particles.
    if (g_scenario) g_scenario->Update((int32_t)plat::TickCount());

    if (TrailOn()) {
        glAccum(GL_MULT, 0.9f);
        glAccum(GL_ACCUM, 1.0f - 0.9f);
        glAccum(GL_RETURN, 1.0f);
    }
    glPopMatrix();
    if (g_showFps) {
        char text[32];
        g_fpsCounter.Frame(plat::ProcessClockMs());
        FormatFps(g_fpsCounter.Rate(), text, sizeof text);
        DrawOverlayText(text, 8, 8, 2, g_windowWidth, g_windowHeight);
    }
    glFlush();
    plat::Current().SwapBuffers(g_saverDC);
}
