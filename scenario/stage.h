// The fixed set of the show: camera, backdrop picture and water surface.
#pragma once

#include <string>

class CTexture;
class ScenePreloader;

// True when a lies strictly within 0.01 of b.
bool AspectMatches(double a, double b);

class CStage {
public:
    // eye x, y, z, centre x, y, z, up x, y, z: the arguments of gluLookAt.
    double camera[9];
    CTexture* backTexture = nullptr;            // owned
    CTexture* waterTexture = nullptr;           // owned
    int emitterColor[4] = {255, 180, 128, 90};  // r, g, b, a
    float halfWidth = 80.0f;                    // W
    float height = 70.0f;                       // H

    // Defaults, then the camera preset for g_viewAspect.
    CStage();
    // The camera and half-width for a viewport of this aspect: the preset
    // made for it (5:4, 4:3, 16:10, 16:9), else the 16:10 one.  Applied again
    // whenever the viewport changes, as the window's size is known only
    // after the stage is built.
    void ApplyCameraPreset(double aspect);
    ~CStage();
    CStage(const CStage&) = delete;
    CStage& operator=(const CStage&) = delete;

    void DrawBackdrop();
    void DrawWater();

    // Scene file "<scenePath>\scene.xml": colour and pictures.  Pictures
    // made ready in ready (when given) are taken from it, the others loaded.
    void LoadScene(const char* scenePath, ScenePreloader* ready = nullptr);
    // The four strings of its Info element; false (strings untouched) when
    // the file cannot be read.
    bool ReadSceneInfo(const char* scenePath, std::string* title, std::string* author,
                       std::string* url, std::string* description);
};

// The picture files "<scenePath>\scene.xml" in dataDir names for the
// backdrop and the water, as LoadScene forms their paths (empty when a
// picture is not named or its path does not fit), without showing
// anything; false when the scene file cannot be read.  Safe on any thread.
bool ReadScenePicturePaths(const char* dataDir, const char* scenePath, char (&back)[256],
                           char (&water)[256]);
