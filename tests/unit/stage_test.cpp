#include <gtest/gtest.h>

#include "render/rendering.h"
#include "scenario/stage.h"

namespace {

// Builds a stage for a viewport aspect and puts the aspect back afterwards.
struct StageFor {
    explicit StageFor(double aspect) : saved(g_viewAspect) {
        g_viewAspect = aspect;
        stage = new CStage;
    }
    ~StageFor() {
        delete stage;
        g_viewAspect = saved;
    }
    double saved;
    CStage* stage;
};

void ExpectCamera(const CStage& s, double ey, double ez, double cy, double cz, float w) {
    const double want[9] = {0, ey, ez, 0, cy, cz, 0, 1, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(want[i], s.camera[i]) << "camera[" << i << "]";
    EXPECT_EQ(w, s.halfWidth);
    EXPECT_EQ(70.0f, s.height);
}

TEST(Stage, AspectBoundsAreExclusiveInDoublePrecision) {
    EXPECT_TRUE(AspectMatches(1.25, 1.25));
    EXPECT_TRUE(AspectMatches(1.2599, 1.25));
    EXPECT_TRUE(AspectMatches(1.2401, 1.25));
    EXPECT_FALSE(AspectMatches(1.26, 1.25));
    EXPECT_FALSE(AspectMatches(1.24, 1.25));
    EXPECT_TRUE(AspectMatches(4.0 / 3.0, 1.33));
    EXPECT_TRUE(AspectMatches(16.0 / 9.0, 1.77));
    EXPECT_FALSE(AspectMatches(1.5, 1.6));
}

TEST(Stage, CommonScreenShapesChooseTheirPresets) {
    ExpectCamera(*StageFor(4.0 / 3.0).stage, 25, 122, 20, 0, 70.0f);     // 4:3
    ExpectCamera(*StageFor(16.0 / 9.0).stage, 20, 113, 23, -13, 85.0f);  // 16:9
    ExpectCamera(*StageFor(5.0 / 4.0).stage, 25, 123, 19, 0, 70.0f);     // 5:4
    ExpectCamera(*StageFor(16.0 / 10.0).stage, 20, 118, 21, 7, 80.0f);   // 16:10
    ExpectCamera(*StageFor(1280.0 / 800.0).stage, 20, 118, 21, 7, 80.0f);
}

TEST(Stage, AspectsBetweenPresetsKeepTheDefaultCamera) {
    for (double aspect : {1.24, 1.26, 1.5, 1.0, 2.4, 0.0}) {
        SCOPED_TRACE(aspect);
        ExpectCamera(*StageFor(aspect).stage, 20, 118, 21, 7, 80.0f);
    }
}

}  // namespace
