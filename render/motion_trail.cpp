#include "render/motion_trail.h"

#include <GL/glew.h>

#include <cctype>
#include <cstring>

#include "options/options.h"
#include "platform/globals.h"

namespace {

// The share of the new frame: 1 - 0.9 in single precision (0.100000024),
// as glAccum adds it.  The blend keeps 1 minus that of the accumulator,
// which is 0.9 in single precision again.
const float kNewShare = 1.0f - 0.9f;

bool TrailWanted() {
    if (g_options.DoNotUseAccumBuffer != 0) return false;
    return g_accumAvailable || (g_run.softwareRenderer && g_run.trail == 1);
}

void FreeTextures(TrailTextures& t) {
    if (t.frameBuffer) glDeleteFramebuffers(1, &t.frameBuffer);
    if (t.accumBuffer) glDeleteFramebuffers(1, &t.accumBuffer);
    if (t.frameTexture) glDeleteTextures(1, &t.frameTexture);
    if (t.accumTexture) glDeleteTextures(1, &t.accumTexture);
    t = TrailTextures();
}

// A texture of w x h pixels in the given format, read texel for texel, as
// the colour of a new framebuffer; false when the framebuffer cannot be
// drawn into.
bool MakeTarget(GLenum format, int w, int h, GLuint* texture, GLuint* framebuffer) {
    glGenTextures(1, texture);
    glBindTexture(GL_TEXTURE_2D, *texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, format, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, *framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, *texture, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// Whether the window's colour buffer is sRGB-encoded (Mesa's are).  The
// accumulation buffer then works in linear intensities: it decodes the
// frame and encodes what it returns.  The textures do the same, so that
// both ways show one picture.
bool WindowIsSrgb() {
    GLint encoding = GL_LINEAR;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT,
                                          GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING, &encoding);
    return glGetError() == GL_NO_ERROR && encoding == GL_SRGB;
}

// The frame texture (8 bits a channel, as the window; sRGB where the
// window is, so that reading it decodes) and the accumulator, which needs
// 16 bits: at 8, 0.9 times a value of 4/255 or less rounds back to itself,
// and faint ghosts would stay for good.  Half floats first: what graphics
// hardware blends fastest.
bool MakeTextures(TrailTextures& t, int w, int h) {
    static const GLenum kAccumFormats[] = {GL_RGBA16F, GL_RGBA16};
    t.srgb = WindowIsSrgb();
    glPushAttrib(GL_TEXTURE_BIT);
    bool made =
        MakeTarget(t.srgb ? GL_SRGB8_ALPHA8 : GL_RGBA8, w, h, &t.frameTexture, &t.frameBuffer);
    for (GLenum format : kAccumFormats) {
        if (!made) break;
        if (MakeTarget(format, w, h, &t.accumTexture, &t.accumBuffer)) {
            t.accumFormat = format;
            break;
        }
        glDeleteFramebuffers(1, &t.accumBuffer);
        glDeleteTextures(1, &t.accumTexture);
        t.accumBuffer = t.accumTexture = 0;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPopAttrib();
    t.width = w;
    t.height = h;
    if (made && t.accumFormat) return true;
    // A size or format the context refuses leaves its error behind.
    while (glGetError() != GL_NO_ERROR) {
    }
    return false;
}

// A quad over the whole viewport, texel for pixel.
void WholeViewport() {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
}

void PushIdentity(GLenum mode) {
    glMatrixMode(mode);
    glPushMatrix();
    glLoadIdentity();
}

void Pop(GLenum mode) {
    glMatrixMode(mode);
    glPopMatrix();
}

// The accumulator takes 0.9 of itself and 0.1 of the frame, then is drawn
// into the window (encoded where the window is sRGB), with the frame's
// state put back afterwards.
void BlendThroughTextures(const TrailTextures& t) {
    // The window's framebuffer first: the colour-buffer state pushed and
    // popped names its draw buffer.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT |
                 GL_TEXTURE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glViewport(0, 0, t.width, t.height);
    PushIdentity(GL_TEXTURE);
    PushIdentity(GL_PROJECTION);
    PushIdentity(GL_MODELVIEW);

    glBindFramebuffer(GL_FRAMEBUFFER, t.accumBuffer);
    glEnable(GL_BLEND);
    glBlendColor(0, 0, 0, kNewShare);
    glBlendFunc(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
    glBindTexture(GL_TEXTURE_2D, t.frameTexture);
    WholeViewport();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_BLEND);
    if (t.srgb) glEnable(GL_FRAMEBUFFER_SRGB);
    glBindTexture(GL_TEXTURE_2D, t.accumTexture);
    WholeViewport();
    if (t.srgb) glDisable(GL_FRAMEBUFFER_SRGB);

    Pop(GL_TEXTURE);
    Pop(GL_PROJECTION);
    Pop(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace

TrailPath CurrentTrailPath() {
    if (!TrailWanted()) return TRAIL_OFF;
    if (g_run.trailTextures.frameBuffer) return TRAIL_TEXTURES;
    return g_accumAvailable || g_run.formatHasAccum ? TRAIL_ACCUM : TRAIL_OFF;
}

bool IsSoftwareRendererName(const char* renderer) {
    static const char* const kSoftware[] = {"llvmpipe", "softpipe",    "software rasterizer",
                                            "swrast",   "gdi generic", "basic render driver"};
    char lower[256];
    size_t n = 0;
    for (; renderer && renderer[n] && n + 1 < sizeof lower; ++n)
        lower[n] = (char)std::tolower((unsigned char)renderer[n]);
    lower[n] = '\0';
    for (const char* name : kSoftware)
        if (std::strstr(lower, name)) return true;
    return false;
}

void StartTrail(int w, int h) {
    TrailTextures& t = g_run.trailTextures;
    const bool textures = TrailWanted() && g_run.framebufferObjects && w > 0 && h > 0;
    if (!textures) {
        if (t.frameBuffer) FreeTextures(t);
    } else if (!t.frameBuffer || t.width != w || t.height != h) {
        FreeTextures(t);
        if (!MakeTextures(t, w, h)) FreeTextures(t);
    }
    switch (CurrentTrailPath()) {
    case TRAIL_OFF:
        break;
    case TRAIL_ACCUM:
        glClearAccum(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_ACCUM_BUFFER_BIT);
        break;
    case TRAIL_TEXTURES:
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, t.accumBuffer);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glPopAttrib();
        break;
    }
}

void BeginTrailFrame() {
    if (CurrentTrailPath() == TRAIL_TEXTURES)
        glBindFramebuffer(GL_FRAMEBUFFER, g_run.trailTextures.frameBuffer);
}

void ApplyTrail() {
    switch (CurrentTrailPath()) {
    case TRAIL_OFF:
        break;
    case TRAIL_ACCUM:
        glAccum(GL_MULT, 0.9f);
        glAccum(GL_ACCUM, kNewShare);
        glAccum(GL_RETURN, 1.0f);
        break;
    case TRAIL_TEXTURES:
        BlendThroughTextures(g_run.trailTextures);
        break;
    }
}
