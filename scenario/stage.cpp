#include "scenario/stage.h"

#include <GL/gl.h>

#include "platform/globals.h"
#include "textures/texture.h"

bool AspectMatches(double a, double b) { return a > b - 0.01 && a < b + 0.01; }

namespace {

// Camera and stage half-width chosen by the viewport's aspect.
struct CameraPreset {
    double aspect;
    double eye[3];
    double centre[3];
    float halfWidth;
};

const CameraPreset kPresets[] = {
    {1.25, {0, 25, 123}, {0, 19, 0}, 70.0f},
    {1.33, {0, 25, 122}, {0, 20, 0}, 70.0f},
    {1.6, {0, 20, 118}, {0, 21, 7}, 80.0f},
    {1.77, {0, 20, 113}, {0, 23, -13}, 85.0f},
};

}  // namespace

CStage::CStage() { ApplyCameraPreset(g_viewAspect); }

void CStage::ApplyCameraPreset(double aspect) {
    static const double kDefaultCamera[9] = {0, 20, 118, 0, 21, 7, 0, 1, 0};
    for (int i = 0; i < 9; ++i) camera[i] = kDefaultCamera[i];
    halfWidth = 80.0f;
    for (const CameraPreset& p : kPresets) {
        if (!AspectMatches(aspect, p.aspect)) continue;
        for (int i = 0; i < 3; ++i) {
            camera[i] = p.eye[i];
            camera[3 + i] = p.centre[i];
        }
        halfWidth = p.halfWidth;
        break;
    }
}

CStage::~CStage() {
    delete backTexture;
    delete waterTexture;
}

// Before the first scene has loaded there is no texture object: nothing is
// drawn, so no texture left bound by other drawing shows on the stage.
void CStage::DrawBackdrop() {
    if (!backTexture) return;
    const float W = halfWidth, H = height;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    backTexture->Bind();
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(W, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(W, H, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-W, H, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-W, 0.0f, 0.0f);
    glEnd();
}

// As the backdrop: nothing before the first scene.
void CStage::DrawWater() {
    if (!waterTexture) return;
    const float W = halfWidth, H = height;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    waterTexture->Bind();
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(W, 0.0f, H);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(W, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-W, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-W, 0.0f, H);
    glEnd();
}
