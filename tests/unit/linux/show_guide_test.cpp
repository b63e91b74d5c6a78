// The complete small show at the end of docs/making-a-show.md, taken from
// the guide itself (each file is a fenced block headed by its path), with
// the sprites, shaders and pictures the guide says to copy: it checks clean
// and plays to its end, so the guide cannot drift from what the saver loads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "scenario/scenario.h"
#include "tests/support/shipped_show.h"
#include "tests/support/small_show.h"
#include "tests/support/test_support.h"
#include "tools/show_check/show_check.h"
#include "tools/show_play/show_play.h"

namespace fs = std::filesystem;

namespace {

// Files of the guide's example: path -> contents.
std::map<std::string, std::string> ExampleFiles(const std::string& guide) {
    std::map<std::string, std::string> files;
    std::istringstream in(guide);
    std::string line, path;
    bool inBlock = false;
    std::string text;
    while (std::getline(in, line)) {
        if (inBlock) {
            if (line == "```") {
                files[path] = text;
                inBlock = false;
                path.clear();
            } else {
                text += line + "\n";
            }
        } else if (line.rfind("#### `", 0) == 0 && line.size() > 7 && line.back() == '`') {
            path = line.substr(6, line.size() - 7);
        } else if (!path.empty() && line.rfind("```", 0) == 0) {
            inBlock = true;
            text.clear();
        }
    }
    return files;
}

TEST(ShowGuide, ExampleShowChecksCleanAndPlaysToItsEnd) {
    std::ifstream in(std::string(WAVENDELL_SOURCE_DIR) + "/docs/making-a-show.md");
    ASSERT_TRUE(in.good());
    std::stringstream guide;
    guide << in.rdbuf();
    const std::map<std::string, std::string> files = ExampleFiles(guide.str());

    // One scene, one figure, one script, the scenario and the options.
    std::string sceneFolder;
    int figures = 0, scripts = 0;
    for (const auto& f : files) {
        if (f.first.size() > 10 && f.first.compare(f.first.size() - 10, 10, "/scene.xml") == 0) {
            EXPECT_TRUE(sceneFolder.empty()) << f.first;
            sceneFolder = f.first.substr(0, f.first.size() - 10);
        }
        figures += f.first.rfind("_figures/", 0) == 0;
        scripts += f.first.rfind("_scripts/", 0) == 0;
    }
    ASSERT_EQ(5u, files.size());
    ASSERT_TRUE(files.count("defaultScenario.xml"));
    ASSERT_TRUE(files.count("options.xml"));
    ASSERT_FALSE(sceneFolder.empty());
    EXPECT_EQ(1, figures);
    EXPECT_EQ(1, scripts);

    // The copies the guide asks for, from the shipped show.
    TempDir dir;
    SmallShow show;
    for (const auto& f : files) show.texts[f.first] = f.second;
    for (const char* const* p = ShowSpritesAndShaders(); *p; ++p) show.shipped[*p] = true;
    ASSERT_TRUE(show.WriteTo(dir.path()));
    for (const char* picture : {"backdrop.jpg", "water.jpg"})
        fs::copy_file(ShippedDataDir() + "nightGarden/" + picture,
                      dir.path() + sceneFolder + "/" + picture);
    EXPECT_NE(std::string::npos,
              guide.str().find("cp nightGarden/backdrop.jpg nightGarden/water.jpg ~/my-show/" +
                               sceneFolder + "/"));

    const CheckReport report = CheckShow(dir.path());
    std::string lines;
    for (const Finding& f : report.findings) lines += FormatFinding(f) + "\n";
    EXPECT_EQ(0, report.ExitStatus()) << lines;

    // Played as the saver plays it, headless at the paced 11 ms a frame:
    // the script plays out, the water falls, and after the pause the
    // scenario switches to its next choice.
    MemoryPlatformScope scope;
    UseDataDir(dir.path());
    std::srand(7);
    {
        CScenario scenario;
        scope.platform.tick = 500000;
        scenario.Load("defaultScenario.xml");
        EXPECT_EQ(sceneFolder, scenario.playingScene);
        EXPECT_EQ(1, scenario.switchCount);
        PlayOptions options;
        options.startTick = scope.platform.tick;
        options.frames = 5 * 60 * 1000 / 11;
        options.untilSwitches = 2;
        const PlaySummary played = PlayScenario(scenario, scope.platform, options);
        const int frames = played.frames, peak = played.peakParticles;
        EXPECT_EQ(2, scenario.switchCount) << "still playing after five minutes";
        // It played: jets rose, for a while.
        EXPECT_GT(peak, 500);
        EXPECT_GT(frames * 0.011, 10.0);
        std::printf("the guide's example plays out and switches after %.1f s, %d drops at most\n",
                    frames * 0.011, peak);
    }
    EXPECT_TRUE(scope.platform.boxes.empty());
    ResetProcess();
}

}  // namespace
