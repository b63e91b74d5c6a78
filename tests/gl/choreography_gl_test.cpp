// Plays a script file with two figures and all three jet programs frame by
// frame through real drawing.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fountains/fountain_textures.h"
#include "render/rendering.h"
#include "scenario/action_script.h"
#include "tests/support/gl_test_window.h"
#include "tests/support/test_support.h"
#include "tools/show_play/show_play.h"

namespace {

// A 32-bit bottom-up BMP: a round spot of the given colour, fading out.
std::string SpriteBmp(unsigned char r, unsigned char g, unsigned char b) {
    const int side = 16;
    std::string out(54, '\0');
    auto put32 = [&out](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = (char)((v >> (8 * i)) & 0xff);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + side * side * 4);
    put32(10, 54);
    put32(14, 40);
    put32(18, side);
    put32(22, side);
    out[26] = 1;
    out[28] = 32;
    put32(34, side * side * 4);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            int dx = 2 * x - side + 1, dy = 2 * y - side + 1;
            int d2 = dx * dx + dy * dy, r2 = side * side;
            unsigned char a = d2 >= r2 ? 0 : (unsigned char)(255 - 255 * d2 / r2);
            out += (char)b;
            out += (char)g;
            out += (char)r;
            out += (char)a;
        }
    return out;
}

const char* const kFan =
    "<fan><Formula fid='1' count='5' cx='0' cy='0' rx='3' ry='0'/><Egroup id='1'>"
    "<Emmiter id='0' x='-3' y='0' z='0'/><Emmiter id='1' x='-1.5' y='0' z='0'/>"
    "<Emmiter id='2' x='0' y='0' z='0'/><Emmiter id='3' x='1.5' y='0' z='0'/>"
    "<Emmiter id='4' x='3' y='0' z='0'/></Egroup></fan>";
const char* const kCircle =
    "<circle><Formula fid='2' count='4' cx='0' cy='0' rx='2' ry='2'/><Egroup id='2'>"
    "<Emmiter id='0' x='2' y='0' z='0'/><Emmiter id='1' x='0' y='0' z='2'/>"
    "<Emmiter id='2' x='-2' y='0' z='0'/><Emmiter id='3' x='0' y='0' z='-2'/>"
    "</Egroup></circle>";
const char* const kShow =
    "<show><Uses>"
    "<Figure figureId='10' file='fan.xml' dx='0' dy='-2'/>"
    "<Figure figureId='11' file='circle.xml' dx='0' dy='-5'/>"
    "</Uses><ActionScript>"
    "<Command group='0' EType='1' tShift='150' effTime='800' effTimeD='0' cycles='2'"
    " vx1='-0.05' vy1='0.18' vz1='0' vx2='0.05' vy2='0.22' vz2='0' nextAfter='-1'/>"
    "<Command group='1' EType='2' effTime='1500' cycles='2' Angle1='30' Angle2='150'"
    " Power='0.2' YPowerK='1.1' centerX='0' centerY='-5' nextAfter='0'/>"
    "<Command group='0' first='4' last='0' EType='0' effTime='600' cycles='1'"
    " vy1='0.25' vy2='0.12' nextAfter='5'/>"
    "</ActionScript></show>";

TEST(ChoreographyGl, ScriptPlaysFrameByFrameThroughDrawing) {
    GlTestWindow win(320, 240);
    ASSERT_TRUE(win.ok());
    TempDir dir;
    MemoryPlatformScope scope;
    UseDataDir(dir.path());
    dir.Write("particle7.bmp", SpriteBmp(255, 255, 255));
    dir.Write("fSource.bmp", SpriteBmp(200, 220, 255));
    dir.Write("emitterTube.bmp", SpriteBmp(128, 128, 128));
    dir.Write("_figures/fan.xml", kFan);
    dir.Write("_figures/circle.xml", kCircle);
    dir.Write("_scripts/show.xml", kShow);

    std::srand(7);
    CFountainTextures textures;
    g_fountainTextures = &textures;
    glViewport(0, 0, win.width(), win.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (double)win.width() / win.height(), 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 4, 16, 0, 2, -3, 0, 1, 0);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);

    CActionScript s;
    s.Load("show.xml");
    s.SetEmitterColor(180, 200, 255, 120);
    ASSERT_EQ(3, s.commandCount);

    PlayOptions options;
    options.startTick = 100000;
    options.frames = 1500;
    options.draw = true;
    int ends = 0, litFramesChecked = 0;
    glClear(GL_COLOR_BUFFER_BIT);
    const PlaySummary played = PlayScript(s, scope.platform, options, [&](const PlayedFrame& f) {
        ends += f.ended;
        const GLenum error = glGetError();
        EXPECT_EQ((GLenum)GL_NO_ERROR, error) << "frame " << f.frame;
        if (error != GL_NO_ERROR) return false;
        if (f.frame % 250 == 249) {
            // Water on screen in every phase: the sweep sprays on after the
            // script has ended.
            std::vector<uint8_t> pixels = win.ReadAll();
            int lit = 0;
            for (size_t i = 0; i < pixels.size(); i += 4)
                if (pixels[i] > 16 || pixels[i + 1] > 16 || pixels[i + 2] > 16) ++lit;
            EXPECT_GT(lit, 100) << "frame " << f.frame;
            ++litFramesChecked;
        }
        win.Swap();
        glClear(GL_COLOR_BUFFER_BIT);  // for the next frame
        return true;
    });
    g_fountainTextures = nullptr;

    EXPECT_TRUE(scope.platform.boxes.empty());
    EXPECT_EQ(1, ends);
    EXPECT_GT(played.peakParticles, 1000);
    EXPECT_EQ(6, litFramesChecked);
}

}  // namespace
