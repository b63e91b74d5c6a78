// The fixed set of the show: camera, backdrop picture and water surface.
#pragma once

#include <string>

class CTexture;

// True when a lies strictly within 0.01 of b.
bool AspectMatches(double a, double b);

class CStage {
public:
    // eye x, y, z, centre x, y, z, up x, y, z: the arguments of gluLookAt.
    double camera[9];
    CTexture* backTexture = nullptr;   // owned
    CTexture* waterTexture = nullptr;  // owned
    int emitterColor[4] = {255, 180, 128, 90};  // r, g, b, a
    float halfWidth = 80.0f;  // W
    float height = 70.0f;     // H

    // Defaults, then the camera preset for g_viewAspect.
    CStage();
    ~CStage();
    CStage(const CStage&) = delete;
    CStage& operator=(const CStage&) = delete;

    void DrawBackdrop();
    void DrawWater();

    // Scene file "<scenePath>\scene.xml": colour and pictures.
    void LoadScene(const char* scenePath);
    // The four strings of its Info element; false (strings untouched) when
    // the file cannot be read.
    bool ReadSceneInfo(const char* scenePath, std::string* title, std::string* author,
                       std::string* url, std::string* description);
};
