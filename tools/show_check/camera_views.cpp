#include "tools/show_check/camera_views.h"

#include <cmath>

#include "platform/globals.h"
#include "scenario/stage.h"

namespace {

void Normalise(double v[3]) {
    const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (n > 0)
        for (int i = 0; i < 3; ++i) v[i] /= n;
}

void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

const double kPi = 3.14159265358979323846;
const double kFovYDegrees = 45.0;  // as the viewport's gluPerspective
const double kNear = 0.5;

}  // namespace

bool CameraView::Place(double x, double y, double z, double* px, double* py) const {
    const double d[3] = {x - eye[0], y - eye[1], z - eye[2]};
    const double depth = Dot(d, forward);
    if (depth < kNear) return false;
    *px = Dot(d, side) / depth / (tanHalfFovY * aspect);
    *py = Dot(d, up) / depth / tanHalfFovY;
    return true;
}

std::vector<CameraView> StageCameraViews() {
    static const struct {
        const char* name;
        double aspect;
    } kShapes[] = {{"5:4", 1.25}, {"4:3", 1.33}, {"16:10", 1.6}, {"16:9", 1.77}};
    std::vector<CameraView> views;
    const double keptAspect = g_viewAspect;
    for (const auto& shape : kShapes) {
        // The stage picks its camera by the aspect it is made at, as the
        // saver's does.
        g_viewAspect = shape.aspect;
        CStage stage;
        CameraView v{};
        v.name = shape.name;
        v.aspect = shape.aspect;
        const double* c = stage.camera;
        for (int i = 0; i < 3; ++i) {
            v.eye[i] = c[i];
            v.forward[i] = c[3 + i] - c[i];
        }
        const double worldUp[3] = {c[6], c[7], c[8]};
        Normalise(v.forward);
        Cross(v.forward, worldUp, v.side);
        Normalise(v.side);
        Cross(v.side, v.forward, v.up);
        v.tanHalfFovY = std::tan(kFovYDegrees / 2 * kPi / 180.0);
        views.push_back(v);
    }
    g_viewAspect = keptAspect;
    return views;
}
