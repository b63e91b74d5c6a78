// Frames of the saver window on real GLX: the accumulation visual, the
// clear, and the motion-blur trail.
#include "tests/gl/saver_run.h"  // first: gtest before the X headers' macros

#include <GL/glew.h>
#include <X11/Xutil.h>

#include <cmath>
#include <vector>

#include "platform/platform.h"
#include "render/motion_trail.h"
#include "render/rendering.h"

namespace {

using namespace plat;

// Fills the colour buffer and the trail's memory (the accumulation buffer,
// or the accumulator texture) with white, as if the last frame had shown a
// bright picture.
void LoadBrightPicture() {
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (CurrentTrailPath() == TRAIL_TEXTURES) {
        glBindFramebuffer(GL_FRAMEBUFFER, g_run.trailTextures.accumBuffer);
        glClear(GL_COLOR_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    } else {
        glAccum(GL_LOAD, 1.0f);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

// The way the trail is made in a test: through textures where the context
// offers them (it does under Mesa), or through the accumulation buffer.
void UseTrailPath(TrailPath path, HWND window) {
    if (path == TRAIL_ACCUM) g_run.framebufferObjects = false;
    int w = 0, h = 0;
    GetClientRect(window, &w, &h);
    ResizeViewport(w, h);
}

// Whether the window's colour buffer is sRGB-encoded.  Mesa gives window
// visuals sRGB colour buffers, and its accumulation operations convert from
// and to sRGB whatever GL_FRAMEBUFFER_SRGB says, so the trail works in
// linear intensities there.
bool ColourBufferIsSrgb() {
    if (!glGetFramebufferAttachmentParameteriv) return false;
    GLint encoding = GL_LINEAR;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT,
                                          GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING, &encoding);
    return glGetError() == GL_NO_ERROR && encoding == GL_SRGB;
}

// The intensity (0 to 1) that an 8-bit colour value stands for.
double Intensity(int value, bool srgb) {
    const double c = value / 255.0;
    if (!srgb) return c;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

class SaverFrameTest : public SaverRunTest {
protected:
    // The red value at the centre of the saver window, as the X server
    // shows it.
    int Shown() {
        Window xwin = SaverXWindow();
        XWindowAttributes a{};
        if (!user.Attributes(xwin, &a)) return -1;
        XImage* image =
            XGetImage(user.display(), xwin, a.width / 2, a.height / 2, 1, 1, AllPlanes, ZPixmap);
        if (!image) return -1;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        const unsigned long mask = a.visual->red_mask;
        XDestroyImage(image);
        unsigned long shifted = pixel & mask, m = mask;
        while (m && !(m & 1)) m >>= 1, shifted >>= 1;
        return (int)(shifted * 255 / (m ? m : 1));
    }
    // The red value at the centre that the trail's memory holds.
    int Accumulated() {
        int w = 0, h = 0;
        GetClientRect(SaverWindow(), &w, &h);
        uint8_t rgba[4] = {7, 7, 7, 7};
        if (CurrentTrailPath() == TRAIL_TEXTURES) {
            glBindFramebuffer(GL_FRAMEBUFFER, g_run.trailTextures.accumBuffer);
            ReadCentre(GL_COLOR_ATTACHMENT0, w, h, rgba);
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
        } else {
            glAccum(GL_RETURN, 1.0f);
            ReadCentre(GL_BACK, w, h, rgba);
        }
        return rgba[0];
    }
    void Close() { SendMessage(SaverWindow(), WM_CLOSE, 0, 0); }

    // Each frame keeps 0.9 of the last picture and adds 0.1 of a black one,
    // through the given path; resizing starts the trail afresh.  The run
    // asks for the trail (--trail), as the renderer is a software one.
    void FadesAndRestarts(TrailPath path) {
        std::vector<int> shown;
        bool srgb = false;
        int accumulated = -1;
        TrailPath used = TRAIL_OFF;
        g_run.trail = 1;
        Run([&](int frame) {
            if (frame == 1) UseTrailPath(path, SaverWindow());
            if (frame == 2) {
                used = CurrentTrailPath();
                LoadBrightPicture();
                srgb = ColourBufferIsSrgb();
            }
            if (frame >= 3) shown.push_back(Shown());
            if (frame == 8) {
                LoadBrightPicture();
                int w = 0, h = 0;
                GetClientRect(SaverWindow(), &w, &h);
                ResizeViewport(w, h);
                accumulated = Accumulated();
                Close();
            }
        });
        EXPECT_EQ(path, used);
        ASSERT_EQ(6u, shown.size());
        // 8-bit steps allow about 1/255 of error.
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_NEAR(std::pow(0.9, (double)(i + 1)), Intensity(shown[i], srgb), 0.006)
                << "frame " << i + 1 << " shows " << shown[i];
        EXPECT_EQ(0, accumulated);
    }
};

// The format chooser still asks for an accumulation buffer, but Mesa's
// llvmpipe is a software rasteriser: the trail is off unless the run asks.
TEST_F(SaverFrameTest, SoftwareKeepsTheAccumulationVisualAndTurnsTheTrailOff) {
    GLint accumRed = 0, accumGreen = 0, accumBlue = 0, doubleBuffer = 0, red = 0;
    TrailPath path = TRAIL_TEXTURES;
    Run([&](int frame) {
        glGetIntegerv(GL_ACCUM_RED_BITS, &accumRed);
        glGetIntegerv(GL_ACCUM_GREEN_BITS, &accumGreen);
        glGetIntegerv(GL_ACCUM_BLUE_BITS, &accumBlue);
        glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffer);
        glGetIntegerv(GL_RED_BITS, &red);
        path = CurrentTrailPath();
        Close();
    });
    EXPECT_TRUE(g_run.softwareRenderer);
    EXPECT_EQ(0, g_accumAvailable);
    EXPECT_EQ(TRAIL_OFF, path);
    EXPECT_GE(accumRed, 16);
    EXPECT_GE(accumGreen, 16);
    EXPECT_GE(accumBlue, 16);
    EXPECT_TRUE(doubleBuffer);
    EXPECT_EQ(8, red);
}

TEST_F(SaverFrameTest, AFrameClearsToBlack) {
    int before = -1, shown = -1;
    Run([&](int frame) {
        if (frame == 2) {
            // Paint the screen white, and leave nothing in the trail.
            glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_ACCUM_BUFFER_BIT);
            Current().SwapBuffers(SaverWindow());
            before = Shown();
        }
        if (frame == 3) {
            shown = Shown();
            Close();
        }
    });
    EXPECT_EQ(255, before);
    EXPECT_EQ(0, shown);
}

TEST_F(SaverFrameTest, ThroughTexturesABrightPictureFadesByNineTenthsAFrame) {
    FadesAndRestarts(TRAIL_TEXTURES);
}

TEST_F(SaverFrameTest, ThroughGlAccumABrightPictureFadesByNineTenthsAFrame) {
    FadesAndRestarts(TRAIL_ACCUM);
}

TEST_F(SaverFrameTest, DoNotUseAccumBufferTurnsTheTrailOff) {
    WriteOptions("<DoNotUseAccumBuffer v=\"1\"/>");
    int shown = -1, accumulated = -1;
    Run([&](int frame) {
        if (frame == 1) {
            // As on graphics hardware, where the format alone decides.
            g_accumAvailable = 1;
            UseTrailPath(TRAIL_ACCUM, SaverWindow());
        }
        if (frame == 2) {
            LoadBrightPicture();
            int w = 0, h = 0;
            GetClientRect(SaverWindow(), &w, &h);
            ResizeViewport(w, h);
        }
        if (frame == 3) shown = Shown();
        if (frame == 6) {
            accumulated = Accumulated();
            Close();
        }
    });
    EXPECT_EQ(0, shown);
    EXPECT_EQ(255, accumulated);
}

}  // namespace
