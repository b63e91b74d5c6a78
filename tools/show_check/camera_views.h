// What the camera presets of the stage show: a world point's place in the
// picture, for the checker's test of jets that leave it.
#pragma once

#include <vector>

struct CameraView {
    const char* name;  // the screen shape, "16:10"
    double aspect;
    double eye[3];
    double side[3], up[3], forward[3];  // the camera's axes
    double tanHalfFovY;

    // The point's place across the picture: x and y from -1 (left, bottom)
    // to 1 (right, top).  False when it lies behind the near plane.
    bool Place(double x, double y, double z, double* px, double* py) const;
};

// The four presets of the stage (5:4, 4:3, 16:10, 16:9) with the saver's
// projection: 45 degrees high, near plane 0.5.
std::vector<CameraView> StageCameraViews();
