#include <gtest/gtest.h>

#include "platform/file.h"

#include <string>

#include "host/data_directory.h"
#include "scenario/stage.h"
#include "tests/support/test_support.h"
#include "textures/texture.h"

namespace {

class SceneFile : public ::testing::Test {
protected:
    SceneFile() { UseDataDir(dir.path()); }

    void WriteScene(const std::string& scene, const std::string& body) {
        dir.Write(scene + "/scene.xml", "<Scene>" + body + "</Scene>");
    }
    const std::vector<plat::MemoryPlatform::Box>& Boxes() const { return scope.platform.boxes; }
    void ExpectColor(int r, int g, int b, int a) const {
        EXPECT_EQ(r, stage.emitterColor[0]);
        EXPECT_EQ(g, stage.emitterColor[1]);
        EXPECT_EQ(b, stage.emitterColor[2]);
        EXPECT_EQ(a, stage.emitterColor[3]);
    }

    TempDir dir;
    MemoryPlatformScope scope;
    CStage stage;
};

TEST_F(SceneFile, ColourDefaultsApplyPerAttributeAndValuesAreKeptAsTheyStand) {
    WriteScene("full", "<EColor r='1' g='2' b='3' a='4'/>");
    WriteScene("none", "");
    WriteScene("onlyR", "<EColor r='0'/>");
    WriteScene("big", "<EColor r='300' g='-5'/>");
    WriteScene("wrongCase", "<ecolor r='1' g='2' b='3' a='4'/><Ecolor r='1'/>");
    WriteScene("second", "<Info/><EColor r='10'/><EColor r='20' g='20' b='20' a='20'/>");

    stage.LoadScene("full");
    ExpectColor(1, 2, 3, 4);
    stage.LoadScene("none");  // a missing EColor gives all four defaults
    ExpectColor(255, 180, 128, 90);
    stage.LoadScene("full");
    stage.LoadScene("onlyR");
    ExpectColor(0, 180, 128, 90);
    stage.LoadScene("big");
    ExpectColor(300, -5, 128, 90);
    stage.LoadScene("full");
    stage.LoadScene("wrongCase");
    ExpectColor(255, 180, 128, 90);
    stage.LoadScene("second");
    ExpectColor(10, 180, 128, 90);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SceneFile, ValueThatIsNoNumberKeepsThePreviousComponent) {
    WriteScene("word", "<EColor r='red' g=' 12px' b='' a='+7'/>");
    WriteScene("seven", "<EColor r='7' g='7' b='7' a='7'/>");
    // In the very first scene the previous value is the stage's default.
    stage.LoadScene("word");
    ExpectColor(255, 12, 128, 7);
    stage.LoadScene("seven");
    stage.LoadScene("word");
    ExpectColor(7, 12, 7, 7);
}

TEST_F(SceneFile, PicturesAreNamedInTheSceneFolderAndOnlyTheFirstBackCounts) {
    WriteScene("s", "<Back file='first.jpg'/><Back file='second.jpg'/><Water file='w.jpg'/>");
    stage.LoadScene("s");
    // Neither picture exists: each load that was tried reports its path.
    ASSERT_EQ(2u, Boxes().size());
    EXPECT_EQ("Unable to load JPG File!", Boxes()[0].text);
    EXPECT_EQ(plat::DisplayPath((dir.path() + "s\\first.jpg").c_str()), Boxes()[0].caption);
    EXPECT_EQ(plat::DisplayPath((dir.path() + "s\\w.jpg").c_str()), Boxes()[1].caption);
    ASSERT_NE(nullptr, stage.backTexture);
    ASSERT_NE(nullptr, stage.waterTexture);
    EXPECT_EQ(0u, stage.backTexture->name);
    EXPECT_EQ(0u, stage.waterTexture->name);
}

TEST_F(SceneFile, TexturesAreRecreatedEvenWithoutPictureElements) {
    WriteScene("bare", "<Back/><EColor r='3'/>");
    stage.LoadScene("bare");
    EXPECT_NE(nullptr, stage.backTexture);
    EXPECT_NE(nullptr, stage.waterTexture);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SceneFile, UnreadableSceneFileLeavesTheStageAsItWas) {
    WriteScene("good", "<EColor r='1' g='2' b='3' a='4'/>");
    dir.Write("broken/scene.xml", "<Scene><EColor r='9'/>");
    dir.Write("rootless/scene.xml", "<?xml version='1.0'?><!-- nothing -->");
    dir.Write("empty/scene.xml", "");
    stage.LoadScene("good");
    const CTexture* back = stage.backTexture;
    const CTexture* water = stage.waterTexture;

    for (const char* scene : {"missing", "broken", "rootless", "empty"}) {
        SCOPED_TRACE(scene);
        scope.platform.boxes.clear();
        stage.LoadScene(scene);
        ASSERT_EQ(1u, Boxes().size());
        EXPECT_EQ("Error opening file for reading", Boxes()[0].text);
        EXPECT_EQ(plat::DisplayPath((dir.path() + scene + "\\scene.xml").c_str()),
                  Boxes()[0].caption);
        EXPECT_EQ(0u, Boxes()[0].owner);
        ExpectColor(1, 2, 3, 4);
        EXPECT_EQ(back, stage.backTexture);
        EXPECT_EQ(water, stage.waterTexture);
    }
}

TEST_F(SceneFile, OverLongPathsAreTreatedAsUnreadableFiles) {
    const std::string longScene(300, 'x');
    stage.LoadScene(longScene.c_str());
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("Error opening file for reading", Boxes()[0].text);
    EXPECT_EQ(plat::DisplayPath((dir.path() + longScene + "\\scene.xml").c_str()),
              Boxes()[0].caption);
    EXPECT_EQ(nullptr, stage.backTexture);

    // A scene file that fits but names a picture whose path does not.
    const std::string longFile(260, 'p');
    WriteScene("s", "<EColor r='5'/><Water file='" + longFile + "'/>");
    scope.platform.boxes.clear();
    stage.LoadScene("s");
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("Unable to load JPG File!", Boxes()[0].text);
    EXPECT_EQ(plat::DisplayPath((dir.path() + "s\\" + longFile).c_str()), Boxes()[0].caption);
    EXPECT_EQ(5, stage.emitterColor[0]);
    ASSERT_NE(nullptr, stage.waterTexture);
    EXPECT_EQ(0u, stage.waterTexture->name);
}

TEST_F(SceneFile, InfoGivesFourStringsAndNothingElseChanges) {
    WriteScene("told",
               "<EColor r='1'/><Info Title='Night' Author='Ann' Url='http://x' "
               "Description='Stars over water'/><Info Title='Second'/>");
    WriteScene("silent", "<EColor r='2'/>");
    WriteScene("partial", "<Info Author='Bo'/>");
    std::string t = "?", a = "?", u = "?", d = "?";

    EXPECT_TRUE(stage.ReadSceneInfo("told", &t, &a, &u, &d));
    EXPECT_EQ("Night", t);
    EXPECT_EQ("Ann", a);
    EXPECT_EQ("http://x", u);
    EXPECT_EQ("Stars over water", d);

    EXPECT_TRUE(stage.ReadSceneInfo("silent", &t, &a, &u, &d));
    EXPECT_EQ("", t);
    EXPECT_EQ("", a);
    EXPECT_EQ("", u);
    EXPECT_EQ("", d);

    EXPECT_TRUE(stage.ReadSceneInfo("partial", &t, &a, &u, &d));
    EXPECT_EQ("", t);
    EXPECT_EQ("Bo", a);

    // Reading information dresses nothing on the stage.
    ExpectColor(255, 180, 128, 90);
    EXPECT_EQ(nullptr, stage.backTexture);
    EXPECT_TRUE(Boxes().empty());

    t = "kept";
    EXPECT_FALSE(stage.ReadSceneInfo("missing", &t, &a, &u, &d));
    EXPECT_EQ("kept", t);
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(plat::DisplayPath((dir.path() + "missing\\scene.xml").c_str()), Boxes()[0].caption);
}

}  // namespace
