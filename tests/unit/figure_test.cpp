#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "fountains/particle_system.h"
#include "tests/support/test_support.h"

namespace {

// A figure file with the given emitter elements inside Egroup.
std::string FigureFile(const std::string& egroupContent,
                       const std::string& formula =
                           "<Formula fid='3' count='10' "
                           "cx='1.5' cy='-2' rx='4' ry='0.25'/>") {
    return "<figure>" + formula + "<Egroup id='1'>" + egroupContent + "</Egroup></figure>";
}

// Loads a figure set from a script document given as text.
void LoadSet(CFigureSet& set, const std::string& scriptXml) {
    TiXmlDocument doc;
    doc.Parse(scriptXml.c_str());
    ASSERT_FALSE(doc.Error()) << doc.ErrorDesc();
    set.Load(doc.FirstChildElement());
}

class FigureTest : public ::testing::Test {
protected:
    void SetUp() override { UseDataDir(dir.path()); }
    TempDir dir;
    MemoryPlatformScope scope;
};

void ExpectAt(const CFigure& f, int i, float x, float y, float z) {
    ASSERT_LT(i, f.emitterCount);
    EXPECT_FLOAT_EQ(x, f.emitters[i]->x);
    EXPECT_FLOAT_EQ(y, f.emitters[i]->y);
    EXPECT_FLOAT_EQ(z, f.emitters[i]->z);
    // The pool sits at its emitter and is fed by it.
    EXPECT_FLOAT_EQ(x, f.particleSystems[i]->x);
    EXPECT_FLOAT_EQ(y, f.particleSystems[i]->y);
    EXPECT_FLOAT_EQ(z, f.particleSystems[i]->z);
    EXPECT_EQ(f.emitters[i], f.particleSystems[i]->emitter);
    EXPECT_EQ(PARTICLES_PER_POOL, f.particleSystems[i]->count);
}

TEST_F(FigureTest, OffsetsMoveEmittersAndDyShiftsHeightAndDepth) {
    dir.Write("_figures/one.xml", FigureFile("<Emmiter id='0' x='1' y='0' z='3'/>"));
    CFigureSet set;
    LoadSet(set,
            "<script><Uses>"
            "<Figure figureId='1' file='one.xml' dx='10' dy='0'/>"
            "<Figure figureId='2' file='one.xml' dx='0' dy='2'/>"
            "<Figure figureId='3' file='one.xml' dx='-0.5' dy='0.25'/>"
            "</Uses></script>");
    ASSERT_EQ(3, set.count);
    ExpectAt(*set.figures[0], 0, 11, 0, 3);
    ExpectAt(*set.figures[1], 0, 1, 2, 5);
    ExpectAt(*set.figures[2], 0, 0.5f, 0.25f, 3.25f);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(FigureTest, EmitterListStartsAtFirstEmmiterAndTakesEveryLaterElement) {
    // count says 10, the file holds four emitter elements after a leading
    // element of another name.
    dir.Write("_figures/mixed.xml", FigureFile("<Nozzle x='99' y='99' z='99'/>"
                                               "<Emmiter id='0' x='1' y='2' z='3'/>"
                                               "<Jet x='4' y='5' z='6'/>"
                                               "<Emmiter x='7' y='8' z='9'/>"
                                               "<Other x='-1' y='-2' z='-3'/>"));
    CFigure f;
    EXPECT_TRUE(f.Load("mixed.xml", 42, 0, 0, 0));
    ASSERT_EQ(4, f.emitterCount);
    ExpectAt(f, 0, 1, 2, 3);
    ExpectAt(f, 1, 4, 5, 6);
    ExpectAt(f, 2, 7, 8, 9);
    ExpectAt(f, 3, -1, -2, -3);
    EXPECT_EQ(42, f.figureId);
    EXPECT_EQ(3, f.fid);
    EXPECT_FLOAT_EQ(1.5f, f.cx);
    EXPECT_FLOAT_EQ(-2.0f, f.cy);
    EXPECT_FLOAT_EQ(4.0f, f.rx);
    EXPECT_FLOAT_EQ(0.25f, f.ry);
    // New emitters start idle with their defaults.
    for (int i = 0; i < f.emitterCount; ++i) {
        EXPECT_FALSE(f.emitters[i]->IsActive());
        EXPECT_EQ(1, f.emitters[i]->cycles);
    }
}

TEST_F(FigureTest, MissingOrUnreadableFigureIsReportedByNameAndLaterFiguresLoad) {
    dir.Write("_figures/good.xml",
              FigureFile("<Emmiter x='1' y='1' z='1'/><Emmiter x='2' y='2' z='2'/>"));
    dir.Write("_figures/broken.xml", "<figure><Formula><Egroup></figure>");
    CFigureSet set;
    LoadSet(set,
            "<script><Uses>"
            "<Figure figureId='5' file='absent.xml'/>"
            "<Figure figureId='9' file='good.xml' dx='1'/>"
            "<Figure figureId='7' file='broken.xml'/>"
            "<Figure figureId='8' file='good.xml'/>"
            "</Uses></script>");
    ASSERT_EQ(4, set.count);
    ASSERT_EQ(2u, scope.platform.boxes.size());
    EXPECT_EQ("Error opening file for reading", scope.platform.boxes[0].text);
    EXPECT_EQ("absent.xml", scope.platform.boxes[0].caption);
    EXPECT_EQ(0u, scope.platform.boxes[0].owner);
    EXPECT_EQ(0u, scope.platform.boxes[0].type);
    EXPECT_EQ("broken.xml", scope.platform.boxes[1].caption);

    EXPECT_EQ(0, set.figures[0]->emitterCount);
    EXPECT_EQ(nullptr, set.figures[0]->emitters);
    // The second entry is figure 1 whatever its figureId says.
    EXPECT_EQ(9, set.figures[1]->figureId);
    ExpectAt(*set.figures[1], 1, 3, 2, 2);
    EXPECT_EQ(0, set.figures[2]->emitterCount);
    ExpectAt(*set.figures[3], 0, 1, 1, 1);
}

TEST_F(FigureTest, FilesWithoutFormulaEgroupOrRootGiveEmptyFiguresSilently) {
    dir.Write("_figures/noformula.xml",
              "<figure><Egroup><Emmiter x='1' y='1' z='1'/></Egroup></figure>");
    // count must not stand in for the missing emitter list.
    dir.Write("_figures/noegroup.xml", "<figure><Formula fid='1' count='10'/></figure>");
    dir.Write("_figures/noemmiter.xml", FigureFile("<Nozzle x='1' y='1' z='1'/>"));
    dir.Write("_figures/noroot.xml", "<!-- only a comment -->");
    for (const char* name : {"noformula.xml", "noegroup.xml", "noemmiter.xml", "noroot.xml"}) {
        CFigure f;
        EXPECT_TRUE(f.Load(name, 1, 0, 0, 0)) << name;
        EXPECT_EQ(0, f.emitterCount) << name;
        EXPECT_EQ(nullptr, f.emitters) << name;
        EXPECT_EQ(nullptr, f.particleSystems) << name;
        // The per-frame passes of an empty figure do nothing (and need no GL).
        f.DrawEmitters();
        f.AnimateParticles(1000);
    }
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(FigureTest, MissingOrNonNumericCoordinatesAreZero) {
    dir.Write("_figures/partial.xml",
              FigureFile("<Emmiter x='2'/><Emmiter y='abc' z='4'/><Emmiter/>"));
    CFigure f;
    ASSERT_TRUE(f.Load("partial.xml", 0, 1, 10, 100));
    ASSERT_EQ(3, f.emitterCount);
    ExpectAt(f, 0, 3, 10, 100);
    ExpectAt(f, 1, 1, 10, 104);
    ExpectAt(f, 2, 1, 10, 100);
}

TEST_F(FigureTest, UsesWithoutFiguresOrEntriesWithoutFileOrIdStayUsable) {
    dir.Write("_figures/one.xml", FigureFile("<Emmiter x='1' y='0' z='0'/>"));
    {
        CFigureSet set;
        LoadSet(set, "<script><ActionScript/></script>");
        EXPECT_EQ(0, set.count);
        EXPECT_EQ(nullptr, set.figures);
    }
    {
        CFigureSet set;
        LoadSet(set, "<script><Uses><Other file='one.xml'/></Uses></script>");
        EXPECT_EQ(0, set.count);
    }
    EXPECT_TRUE(scope.platform.boxes.empty());

    // An entry without file cannot be opened: reported, empty figure, and
    // the next entry still loads.  A missing figureId is stored as 0.
    CFigureSet set;
    LoadSet(set,
            "<script><Uses><Figure figureId='4' dx='1'/>"
            "<Figure file='one.xml' figureId='x'/></Uses></script>");
    ASSERT_EQ(2, set.count);
    EXPECT_EQ(0, set.figures[0]->emitterCount);
    ASSERT_EQ(1u, scope.platform.boxes.size());
    EXPECT_EQ("", scope.platform.boxes[0].caption);
    EXPECT_EQ(0, set.figures[1]->figureId);
    ExpectAt(*set.figures[1], 0, 1, 0, 0);
}

TEST_F(FigureTest, OverLongPathIsAFileThatCannotBeOpened) {
    // The name fits a file system entry but not the 256-character path.
    std::string name(240, 'f');
    name += ".xml";
    dir.Write("_figures/" + name, FigureFile("<Emmiter x='1' y='0' z='0'/>"));
    CFigure f;
    EXPECT_FALSE(f.Load(name.c_str(), 0, 0, 0, 0));
    EXPECT_EQ(0, f.emitterCount);
    ASSERT_EQ(1u, scope.platform.boxes.size());
    EXPECT_EQ(name, scope.platform.boxes[0].caption);
}

TEST_F(FigureTest, ReloadingAFigureReplacesItsEmitters) {
    dir.Write("_figures/three.xml", FigureFile("<Emmiter x='1'/><Emmiter x='2'/><Emmiter x='3'/>"));
    dir.Write("_figures/one.xml", FigureFile("<Emmiter x='9'/>"));
    CFigure f;
    ASSERT_TRUE(f.Load("three.xml", 1, 0, 0, 0));
    ASSERT_EQ(3, f.emitterCount);
    ASSERT_TRUE(f.Load("one.xml", 2, 0, 0, 0));
    ASSERT_EQ(1, f.emitterCount);
    ExpectAt(f, 0, 9, 0, 0);
    EXPECT_EQ(2, f.figureId);
}

TEST_F(FigureTest, FolderNamedAsFigureFileIsReportedNotRead) {
    dir.Write("_figures/sub/one.xml", FigureFile("<Emmiter x='1'/>"));
    CFigureSet set;
    LoadSet(set,
            "<script><Uses><Figure file='.'/><Figure file='sub'/>"
            "<Figure file='sub\\one.xml'/></Uses></script>");
    ASSERT_EQ(3, set.count);
    EXPECT_EQ(0, set.figures[0]->emitterCount);
    EXPECT_EQ(0, set.figures[1]->emitterCount);
    ExpectAt(*set.figures[2], 0, 1, 0, 0);
    ASSERT_EQ(2u, scope.platform.boxes.size());
    EXPECT_EQ(".", scope.platform.boxes[0].caption);
    EXPECT_EQ("sub", scope.platform.boxes[1].caption);
}

}  // namespace
