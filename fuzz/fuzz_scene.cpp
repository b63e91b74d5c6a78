// A scene file: its information read as the scenario does, and the scene
// loaded onto a stage (the folder holds no pictures).
#include "fuzz/fuzz_show.h"
#include "scenario/stage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetUp();
    WriteDataFile("fuzzScene/scene.xml", data, size);
    CStage stage;
    std::string title, author, url, description;
    stage.ReadSceneInfo("fuzzScene", &title, &author, &url, &description);
    stage.LoadScene("fuzzScene");
    return 0;
}
