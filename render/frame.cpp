#include <GL/glew.h>
#include <GL/glu.h>

#include "options/options.h"
#include "platform/native_platform.h"
#include "render/fps_overlay.h"
#include "render/motion_trail.h"
#include "render/notice.h"
#include "render/overlay_text.h"
#include "render/rendering.h"
#include "scenario/scenario.h"
#include "scenario/stage.h"

void ResizeViewport(int w, int h) {
    g_run.windowWidth = w;
    g_run.windowHeight = h;
    const int v = g_options.KeepAspect_1_6 ? (int)(w / 1.6) : h;
    // A collapsed window (no height, or no width with the letterbox) has no
    // aspect: keep the last one so the projection stays defined.
    if (v > 0 && w > 0) g_viewAspect = (double)w / (double)v;
    if (g_scenario) g_scenario->Stage().ApplyCameraPreset(g_viewAspect);
    glViewport(0, (h - v) / 2, w > 0 ? w : 0, v > 0 ? v : 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, g_viewAspect, 0.5, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    StartTrail(w, h);
}

float RippleSeconds() {
    const int32_t now = plat::ElapsedTimeMs();
    if (!g_run.rippleStarted) {
        g_run.rippleStarted = true;
        g_run.rippleStartMs = now;
    }
    // Time since the first water frame, whatever the clock reads.
    return (float)((uint32_t)now - (uint32_t)g_run.rippleStartMs) * 0.001f;
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

static CStage* CurrentStage() { return g_scenario ? &g_scenario->Stage() : nullptr; }

void BeginFrame() {
    g_frameParticleCount = 0;
    BeginTrailFrame();
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (CStage* stage = CurrentStage()) {
        const double* c = stage->camera;
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
    }
}

void DrawStage() {
    glPushMatrix();
    glDisable(GL_BLEND);
    if (CStage* stage = CurrentStage()) {
        stage->DrawBackdrop();
        DrawWaterSurface(*stage);
    }
    glPopMatrix();
}

void UpdateShow(int32_t tick) {
    // Advances the show and draws the fountains, which count their particles.
    if (g_scenario) g_scenario->Update(tick);
}

void PresentFrame() {
    glPopMatrix();
    const int32_t clock = plat::ProcessClockMs();
    if (g_run.showFps) {
        char text[32];
        CountFrame(g_run.frameRate, clock);
        FormatFps(g_run.frameRate.rate, text, sizeof text);
        const int scale = OverlayScale(g_run.windowHeight);
        DrawOverlayText(text, 4 * scale, 4 * scale, scale, g_run.windowWidth, g_run.windowHeight);
    }
    DrawNotice(clock);
    glFlush();
    plat::Current().SwapBuffers(g_saverDC);
}

void RenderFrame() {
    BeginFrame();
    DrawStage();
    UpdateShow((int32_t)plat::TickCount());
    ApplyTrail();
    PresentFrame();
}
