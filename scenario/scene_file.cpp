// The scene description file "<scene>\scene.xml": particle colour, backdrop
// and water pictures, and the scene's descriptive information.
#include <string>

#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "scenario/scene_preloader.h"
#include "scenario/stage.h"
#include "textures/texture.h"

namespace {

enum { kPathSize = 256 };

// Parses the scene file of scenePath.  A file that is missing, not
// well-formed, without a root element, or whose path does not fit is
// reported with its full path as caption.
bool LoadSceneDocument(TiXmlDocument& doc, const char* scenePath) {
    char path[kPathSize];
    if (plat::FormatDataPath(path, sizeof path, "%s\\scene.xml", scenePath)) {
        if (LoadXmlFile(doc, path) && doc.RootElement()) return true;
        ShowFileOpenError(path);
    } else {
        ShowFileOpenError((std::string(g_dataDir) + scenePath + "\\scene.xml").c_str());
    }
    return false;
}

// The path of the picture file named by element's "file" in the data
// folder dataDir, as plat::FormatDataPath forms it; false (path empty)
// without the attribute, without a data folder or when the path does not
// fit.
bool ScenePicturePath(char (&path)[kPathSize], const char* dataDir, const char* scenePath,
                      const TiXmlElement* element) {
    const char* file = element ? element->Attribute("file") : nullptr;
    path[0] = '\0';
    return file && dataDir[0] &&
           plat::FormatPath(path, sizeof path, "%s%s\\%s", dataDir, scenePath, file);
}

// Loads the picture named by element's "file" into texture, taking it from
// ready when it was made ready there.  Without the attribute the texture
// stays empty.  A path that does not fit gets the message of a picture that
// cannot be loaded.
void LoadScenePicture(CTexture& texture, const char* scenePath, const TiXmlElement* element,
                      ScenePreloader* ready) {
    const char* file = element ? element->Attribute("file") : nullptr;
    if (!file) return;
    char path[kPathSize];
    if (ScenePicturePath(path, g_dataDir, scenePath, element)) {
        if (!ready || !ready->Take(path, texture)) texture.LoadJPEG(path);
    } else {
        const std::string whole = std::string(g_dataDir) + scenePath + "\\" + file;
        plat::MessageBox(0, "Unable to load JPG File!", plat::DisplayPath(whole.c_str()).c_str(),
                         plat::MB_OK);
    }
}

}  // namespace

void CStage::LoadScene(const char* scenePath, ScenePreloader* ready) {
    if (!scenePath) return;
    TiXmlDocument doc;
    if (!LoadSceneDocument(doc, scenePath)) return;
    const TiXmlElement* root = doc.RootElement();

    const TiXmlElement* color = FirstChildNamed(root, "EColor");
    ReadIntAttribute(color, "r", &emitterColor[0], 255);
    ReadIntAttribute(color, "g", &emitterColor[1], 180);
    ReadIntAttribute(color, "b", &emitterColor[2], 128);
    ReadIntAttribute(color, "a", &emitterColor[3], 90);

    // The previous scene's pictures go before the new ones are looked up
    // (their texture objects kept for pictures to come when made ready).
    if (ready) {
        if (backTexture) ready->Recycle(*backTexture);
        if (waterTexture) ready->Recycle(*waterTexture);
    }
    delete backTexture;
    delete waterTexture;
    backTexture = new CTexture;
    waterTexture = new CTexture;
    LoadScenePicture(*backTexture, scenePath, FirstChildNamed(root, "Back"), ready);
    LoadScenePicture(*waterTexture, scenePath, FirstChildNamed(root, "Water"), ready);
}

bool CStage::ReadSceneInfo(const char* scenePath, std::string* title, std::string* author,
                           std::string* url, std::string* description) {
    if (!scenePath) return false;
    TiXmlDocument doc;
    if (!LoadSceneDocument(doc, scenePath)) return false;
    const TiXmlElement* info = FirstChildNamed(doc.RootElement(), "Info");
    auto text = [info](const char* name) {
        const char* value = info ? info->Attribute(name) : nullptr;
        return std::string(value ? value : "");
    };
    *title = text("Title");
    *author = text("Author");
    *url = text("Url");
    *description = text("Description");
    return true;
}

bool ReadScenePicturePaths(const char* dataDir, const char* scenePath, char (&back)[256],
                           char (&water)[256]) {
    back[0] = water[0] = '\0';
    char path[kPathSize];
    TiXmlDocument doc;
    if (!scenePath || !dataDir[0] ||
        !plat::FormatPath(path, sizeof path, "%s%s\\scene.xml", dataDir, scenePath) ||
        !LoadXmlFile(doc, path) || !doc.RootElement())
        return false;
    const TiXmlElement* root = doc.RootElement();
    ScenePicturePath(back, dataDir, scenePath, FirstChildNamed(root, "Back"));
    ScenePicturePath(water, dataDir, scenePath, FirstChildNamed(root, "Water"));
    return true;
}
