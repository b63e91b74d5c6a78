// Checks of the shipped show in data/ that need no display: every content
// file parses, the scenario lists what is shipped, scripts address figures
// and emitters that exist, figures stand on the water, pictures and sprites
// are what the loaders and the stage expect, and every script, played
// headless at the paced rate, ends within five minutes with its jets in the
// picture.

#include <gtest/gtest.h>

#include <ftw.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "fountains/particle_system.h"
#include "options/xml_read.h"
#include "scenario/action_script.h"
#include "scenario/stage.h"
#include "tests/support/shipped_show.h"
#include "tests/support/test_support.h"
#include "textures/jpeg_file.h"
#include "textures/texture.h"
#include "tools/show_play/show_play.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ShippedShow : public ::testing::Test {
protected:
    ShippedShow() { UseDataDir(ShippedDataDir()); }
    const std::vector<plat::MemoryPlatform::Box>& Boxes() const { return scope.platform.boxes; }

    MemoryPlatformScope scope;
};

TEST_F(ShippedShow, EveryContentFileParses) {
    std::vector<std::string> files = {"options.xml", "defaultScenario.xml"};
    for (const std::string& scene : ShippedSceneFolders()) files.push_back(scene + "/scene.xml");
    for (const std::string& s : ShippedFiles("_scripts", ".xml")) files.push_back("_scripts/" + s);
    for (const std::string& f : ShippedFiles("_figures", ".xml")) files.push_back("_figures/" + f);
    EXPECT_GE(files.size(), 2u + 5 + 8 + 10);
    for (const std::string& file : files) {
        TiXmlDocument doc;
        EXPECT_TRUE(LoadXmlFile(doc, (ShippedDataDir() + file).c_str())) << file;
        EXPECT_NE(nullptr, doc.RootElement()) << file;
    }
}

TEST_F(ShippedShow, OptionsFileHoldsTheWrittenDefaults) {
    EXPECT_EQ(
        "<?xml version=\"1.0\" ?>\n"
        "<OPTIONS>\n"
        "    <KeepAspect_1_6 v=\"0\" />\n"
        "    <SoundsEnabled v=\"0\" />\n"
        "    <DoNotUseAccumBuffer v=\"0\" />\n"
        "    <SleepEnabled v=\"1\" />\n"
        "    <IgnoreMouseMove v=\"0\" />\n"
        "</OPTIONS>\n",
        ReadAll(ShippedDataDir() + "options.xml"));
}

long long g_shippedBytes = 0;

int AddFileSize(const char*, const struct stat* st, int type, struct FTW*) {
    if (type == FTW_F) g_shippedBytes += st->st_size;
    return 0;
}

// Installed copies carry the whole folder.
TEST_F(ShippedShow, DataFolderStaysUnderFifteenMegabytes) {
    g_shippedBytes = 0;
    ASSERT_EQ(0, nftw(ShippedDataDir().c_str(), AddFileSize, 16, FTW_PHYS));
    EXPECT_GT(g_shippedBytes, 1000000);
    EXPECT_LT(g_shippedBytes, 15LL * 1024 * 1024);
}

// Everything shipped can be chosen, and everything listed is shipped.
TEST_F(ShippedShow, ScenarioListsEverySceneAndScriptShipped) {
    const ScenarioListing listing = ShippedScenario();
    std::vector<std::string> scenes = listing.scenes, scripts = listing.scripts;
    std::sort(scenes.begin(), scenes.end());
    std::sort(scripts.begin(), scripts.end());
    EXPECT_EQ(ShippedSceneFolders(), scenes);
    EXPECT_EQ(ShippedFiles("_scripts", ".xml"), scripts);
    EXPECT_GE(scenes.size(), 5u);
    EXPECT_GE(scripts.size(), 8u);
    EXPECT_EQ(std::set<std::string>(scenes.begin(), scenes.end()).size(), scenes.size());
    EXPECT_EQ(std::set<std::string>(scripts.begin(), scripts.end()).size(), scripts.size());

    // Every entry is enabled, and no script is tied to a scene.
    TiXmlDocument doc;
    ASSERT_TRUE(LoadXmlFile(doc, (ShippedDataDir() + "defaultScenario.xml").c_str()));
    const TiXmlElement* root = doc.RootElement();
    std::vector<const TiXmlElement*> entries;
    for (const TiXmlElement* e = FirstChildNamed(FirstChildNamed(root, "Scenes"), "Scene"); e;
         e = e->NextSiblingElement())
        entries.push_back(e);
    for (const TiXmlElement* e = FirstChildNamed(root, "Script"); e; e = e->NextSiblingElement())
        entries.push_back(e);
    EXPECT_EQ(scenes.size() + scripts.size(), entries.size());
    for (const TiXmlElement* e : entries) {
        int enabled = 1;
        ReadIntAttribute(e, "enabled", &enabled, 1);
        EXPECT_NE(0, enabled) << e->Value();
        EXPECT_EQ(nullptr, e->Attribute("scenePath")) << e->Value();
    }
}

TEST_F(ShippedShow, ScenesCarryColourPicturesAndInformation) {
    for (const std::string& scene : ShippedScenario().scenes) {
        TiXmlDocument doc;
        ASSERT_TRUE(LoadXmlFile(doc, (ShippedDataDir() + scene + "/scene.xml").c_str())) << scene;
        const TiXmlElement* root = doc.RootElement();
        const TiXmlElement* colour = FirstChildNamed(root, "EColor");
        ASSERT_NE(nullptr, colour) << scene;
        for (const char* c : {"r", "g", "b", "a"}) {
            int v = -1;
            ASSERT_NE(nullptr, colour->Attribute(c)) << scene << " " << c;
            ReadIntAttribute(colour, c, &v, -1);
            EXPECT_GE(v, 0) << scene << " " << c;
            EXPECT_LE(v, 255) << scene << " " << c;
        }
        int alpha = 0;
        ReadIntAttribute(colour, "a", &alpha, 0);
        EXPECT_GE(alpha, 60) << scene << ": jets this faint would hardly show";
        for (const char* element : {"Back", "Water"}) {
            const TiXmlElement* e = FirstChildNamed(root, element);
            ASSERT_NE(nullptr, e) << scene << " " << element;
            ASSERT_NE(nullptr, e->Attribute("file")) << scene << " " << element;
            std::ifstream picture(ShippedDataDir() + scene + "/" + e->Attribute("file"));
            EXPECT_TRUE(picture.good()) << scene << " " << e->Attribute("file");
        }
        const TiXmlElement* info = FirstChildNamed(root, "Info");
        ASSERT_NE(nullptr, info) << scene;
        for (const char* a : {"Title", "Author", "Url", "Description"})
            EXPECT_NE(nullptr, info->Attribute(a)) << scene << " " << a;

        CStage stage;
        std::string title, author, url, description;
        EXPECT_TRUE(stage.ReadSceneInfo(scene.c_str(), &title, &author, &url, &description));
        EXPECT_FALSE(title.empty()) << scene;
        EXPECT_FALSE(author.empty()) << scene;
        EXPECT_GT(description.size(), 20u) << scene;
    }
    EXPECT_TRUE(Boxes().empty());
}

// Mean absolute difference between pixel line a and pixel line b of an RGB
// picture: columns when alongColumns, else rows.
double LineDifference(const JpegImage& p, bool alongColumns, int a, int b) {
    const int count = alongColumns ? p.height : p.width;
    double sum = 0;
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) {
            const size_t pa =
                alongColumns ? (size_t)i * p.rowBytes + a * 3 : (size_t)a * p.rowBytes + i * 3;
            const size_t pb =
                alongColumns ? (size_t)i * p.rowBytes + b * 3 : (size_t)b * p.rowBytes + i * 3;
            sum += std::abs(int(p.pixels[pa + c]) - int(p.pixels[pb + c]));
        }
    return sum / (count * 3.0);
}

// The same between neighbouring lines that straddle the picture's 8-pixel
// coding blocks, averaged: what a seamless edge may differ by.
double BlockBoundaryDifference(const JpegImage& p, bool alongColumns) {
    const int lines = alongColumns ? p.width : p.height;
    double sum = 0;
    int n = 0;
    for (int k = 8; k < lines; k += 8, ++n) sum += LineDifference(p, alongColumns, k - 1, k);
    return n ? sum / n : 0;
}

// Backdrops are large enough for a full screen; water pictures tile, so the
// ripple can push the look-up past an edge without a visible seam: the
// jump across each edge is no bigger than between neighbours inside.
TEST_F(ShippedShow, ScenePicturesHaveTheStageSizesAndWaterTiles) {
    for (const std::string& scene : ShippedScenario().scenes) {
        const std::string back = ShippedDataDir() + scene + "/backdrop.jpg";
        std::unique_ptr<JpegImage> b = LoadJpegImage(back.c_str());
        ASSERT_NE(nullptr, b) << back;
        EXPECT_GE(b->width, 1600) << back;
        EXPECT_GE(b->height, 1000) << back;

        const std::string water = ShippedDataDir() + scene + "/water.jpg";
        std::unique_ptr<JpegImage> w = LoadJpegImage(water.c_str());
        ASSERT_NE(nullptr, w) << water;
        EXPECT_GE(w->width, 512) << water;
        EXPECT_GE(w->height, 256) << water;
        const double sides = LineDifference(*w, true, 0, w->width - 1);
        const double ends = LineDifference(*w, false, 0, w->height - 1);
        EXPECT_LE(sides, 1.5 * BlockBoundaryDifference(*w, true) + 1) << water;
        EXPECT_LE(ends, 1.5 * BlockBoundaryDifference(*w, false) + 1) << water;
    }
    EXPECT_TRUE(Boxes().empty());
}

struct Bmp {
    bool ok = false;
    int32_t width = 0, height = 0;
    uint16_t bits = 0;
    uint32_t compression = 1, offset = 0, imageSize = 0;
    std::vector<uint8_t> bgra;
};

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t(uint8_t(b[at + i])) << (8 * i);
    return v;
}

Bmp ReadBmp(const std::string& path) {
    Bmp bmp;
    const std::string b = ReadAll(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le(b, 14, 4) != 40) return bmp;
    bmp.offset = Le(b, 10, 4);
    bmp.width = int32_t(Le(b, 18, 4));
    bmp.height = int32_t(Le(b, 22, 4));
    bmp.bits = uint16_t(Le(b, 28, 2));
    bmp.compression = Le(b, 30, 4);
    bmp.imageSize = Le(b, 34, 4);
    if (bmp.width <= 0 || bmp.height <= 0 || b.size() != 54 + size_t(bmp.width) * bmp.height * 4)
        return bmp;
    bmp.bgra.assign(b.begin() + 54, b.end());
    bmp.ok = true;
    return bmp;
}

bool PowerOfTwo(int32_t v) { return v > 0 && (v & (v - 1)) == 0; }

// The sprites are read as 32-bit bottom-up pictures from byte 54 without a
// look at the headers, so they must be exactly that.  The splash and the
// tube are drawn adding their colour and keeping the background in
// proportion to one minus it: where they are transparent they must be black.
TEST_F(ShippedShow, SpritesAre32BitBottomUpPicturesWithAlpha) {
    for (const char* name : {"particle7.bmp", "fSource.bmp", "emitterTube.bmp"}) {
        const Bmp bmp = ReadBmp(ShippedDataDir() + name);
        ASSERT_TRUE(bmp.ok) << name;
        EXPECT_EQ(54u, bmp.offset) << name;
        EXPECT_EQ(32, bmp.bits) << name;
        EXPECT_EQ(0u, bmp.compression) << name;
        EXPECT_EQ(uint32_t(bmp.width * bmp.height * 4), bmp.imageSize) << name;
        EXPECT_TRUE(PowerOfTwo(bmp.width) && PowerOfTwo(bmp.height)) << name;
        EXPECT_GE(bmp.width, 32) << name;
        int minAlpha = 255, maxAlpha = 0;
        for (size_t i = 3; i < bmp.bgra.size(); i += 4) {
            minAlpha = std::min<int>(minAlpha, bmp.bgra[i]);
            maxAlpha = std::max<int>(maxAlpha, bmp.bgra[i]);
        }
        EXPECT_EQ(0, minAlpha) << name;
        EXPECT_GE(maxAlpha, 200) << name;
        // The corners are clear, so the quads show shapes, not squares.
        EXPECT_EQ(0, bmp.bgra[3]) << name;
        EXPECT_EQ(0, bmp.bgra[bmp.bgra.size() - 1]) << name;
        if (std::string(name) != "particle7.bmp") {
            for (size_t i = 0; i < bmp.bgra.size(); i += 4) {
                if (bmp.bgra[i + 3] == 0) {
                    ASSERT_EQ(0, bmp.bgra[i] + bmp.bgra[i + 1] + bmp.bgra[i + 2])
                        << name << " texel " << i / 4;
                }
            }
        }
    }
    // The droplet is opaque in the middle: its centre texel.
    const Bmp drop = ReadBmp(ShippedDataDir() + "particle7.bmp");
    ASSERT_TRUE(drop.ok);
    const size_t centre = (size_t(drop.height / 2) * drop.width + drop.width / 2) * 4;
    EXPECT_GE(drop.bgra[centre + 3], 200);
}

// Loads a shipped script with the project's loader.
struct LoadedScript {
    CActionScript script;
    explicit LoadedScript(const std::string& name) { script.Load(name.c_str()); }
};

TEST_F(ShippedShow, FiguresStandOnTheWaterOfTheNarrowestStage) {
    for (const std::string& name : ShippedScenario().scripts) {
        LoadedScript loaded(name);
        const CFigureSet* set = loaded.script.figureSet;
        ASSERT_NE(nullptr, set) << name;
        for (int g = 0; g < set->count; ++g) {
            const CFigure* f = set->figures[g];
            for (int i = 0; i < f->emitterCount; ++i) {
                const CEmitter* e = f->emitters[i];
                EXPECT_EQ(0.0f, e->y) << name << " figure " << g << " emitter " << i;
                EXPECT_LE(std::fabs(e->x), 70.0f) << name << " figure " << g << " emitter " << i;
                EXPECT_GE(e->z, 0.0f) << name << " figure " << g << " emitter " << i;
                EXPECT_LE(e->z, 70.0f) << name << " figure " << g << " emitter " << i;
            }
        }
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ShippedShow, CommandsAddressExistingFiguresAndRangesOfSeveralEmitters) {
    for (const std::string& name : ShippedScenario().scripts) {
        LoadedScript loaded(name);
        const CActionScript& s = loaded.script;
        ASSERT_NE(nullptr, s.figureSet) << name;
        EXPECT_GE(s.figureSet->count, 1) << name;
        EXPECT_LE(s.figureSet->count, 3) << name;
        EXPECT_GE(s.commandCount, 2) << name;
        for (int i = 0; i < s.commandCount; ++i) {
            const CActionCommand& c = *s.commands[i];
            ASSERT_GE(c.group, 0) << name << " command " << i;
            ASSERT_LT(c.group, s.figureSet->count) << name << " command " << i;
            const int n = s.figureSet->figures[c.group]->emitterCount;
            EXPECT_GE(c.first, 0) << name << " command " << i;
            EXPECT_LT(c.first, n) << name << " command " << i;
            EXPECT_GE(c.last, 0) << name << " command " << i;
            EXPECT_LT(c.last, n) << name << " command " << i;
            EXPECT_NE(c.first, c.last) << name << " command " << i;
            EXPECT_GE(c.nextAfter, -1) << name << " command " << i;
            EXPECT_TRUE(c.EType >= JET_SWEEP && c.EType <= JET_ARC) << name << " command " << i;
            EXPECT_GT(c.effTime, 0) << name << " command " << i;
        }
    }
    EXPECT_TRUE(Boxes().empty());
}

// A velocity attribute left out takes the previous command's value, which
// makes a script hard to read and to change: every command gives all six.
TEST_F(ShippedShow, EveryCommandGivesAllItsVelocities) {
    for (const std::string& name : ShippedScenario().scripts) {
        TiXmlDocument doc;
        ASSERT_TRUE(LoadXmlFile(doc, (ShippedDataDir() + "_scripts/" + name).c_str())) << name;
        const TiXmlElement* list = FirstChildNamed(doc.RootElement(), "ActionScript");
        ASSERT_NE(nullptr, list) << name;
        int index = 0;
        for (const TiXmlElement* c = FirstChildNamed(list, "Command"); c;
             c = c->NextSiblingElement(), ++index) {
            EXPECT_STREQ("Command", c->Value()) << name << " command " << index;
            for (const char* a : {"vx1", "vy1", "vz1", "vx2", "vy2", "vz2"})
                EXPECT_NE(nullptr, c->Attribute(a)) << name << " command " << index << " " << a;
        }
    }
}

// ---------------------------------------------------------------- playing

struct PlayResult {
    bool paused = false;      // the end-of-scene pause was reached
    double endSeconds = 0;    // when the script went past its last command
    double pauseSeconds = 0;  // when the last particle had fallen
    int peakParticles = 0;    // most particles moved in one frame
    float highest = 0;        // top of the highest particle quad
};

// Plays a script from its start the way the scenario does, without
// drawing, at 11 ms a frame, until the pause.
PlayResult Play(plat::MemoryPlatform& platform, const std::string& name, int maxFrames) {
    std::srand(20240607);
    CActionScript script;
    script.Load(name.c_str());
    script.SetEmitterColor(200, 230, 255, 110);
    PlayOptions options;
    options.startTick = 1000000;
    options.firstFrame = 1;
    options.frames = maxFrames;
    PlayResult r;
    const PlaySummary played = PlayScript(script, platform, options, [&](const PlayedFrame& f) {
        for (int g = 0; g < script.figureSet->count; ++g) {
            const CFigure* fig = script.figureSet->figures[g];
            for (int k = 0; k < fig->emitterCount; ++k) {
                const CParticleSystem* ps = fig->particleSystems[k];
                for (int p = 0; p < ps->count; ++p)
                    if (ps->particles[p].live)
                        r.highest =
                            std::max(r.highest, ps->particles[p].y + ps->particles[p].height);
            }
        }
        return !f.paused;
    });
    r.paused = played.pauseFrame >= 0;
    if (played.endFrame >= 0) r.endSeconds = played.endFrame * 0.011;
    if (r.paused) r.pauseSeconds = played.pauseFrame * 0.011;
    r.peakParticles = played.peakParticles;
    return r;
}

class ShippedScript : public ::testing::TestWithParam<std::string> {};

TEST_P(ShippedScript, EndsWithinFiveMinutesWithItsJetsInThePicture) {
    MemoryPlatformScope scope;
    UseDataDir(ShippedDataDir());
    const std::string& name = GetParam();
    const int fiveMinutes = 5 * 60 * 1000 / 11;
    const PlayResult r = Play(scope.platform, name, fiveMinutes);
    EXPECT_TRUE(scope.platform.boxes.empty());
    EXPECT_TRUE(r.paused) << name << " still plays after five minutes";
    EXPECT_LE(r.highest, 75.0f) << name;
    // A script that ends within seconds has commands that do not play.
    EXPECT_GE(r.endSeconds, 30.0) << name;
    std::printf(
        "%-22s ends after %5.1f s, pause after %5.1f s, peak %5d particles, highest %4.1f\n",
        name.c_str(), r.endSeconds, r.pauseSeconds, r.peakParticles, r.highest);
    RecordProperty("peakParticles", r.peakParticles);
    RecordProperty("pauseSeconds", std::to_string(r.pauseSeconds));
}

std::string ScriptTestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (char c : info.param)
        if (std::isalnum((unsigned char)c)) name += c;
    return name.empty() ? "unnamed" : name;
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedScript, ::testing::ValuesIn(ShippedScenario().scripts),
                         ScriptTestName);

}  // namespace
