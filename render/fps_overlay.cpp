#include "render/fps_overlay.h"

#include <GL/gl.h>

#include <cstdio>

#include "platform/clock_ticks.h"

void CountFrame(FrameRate& rate, int32_t clockMs) {
    if (!rate.counting) {
        rate.counting = true;
        rate.windowStartMs = clockMs;
    }
    ++rate.frames;
    const int32_t elapsed = plat::TickDiff(clockMs, rate.windowStartMs);
    if (elapsed >= 1000) {
        rate.rate = rate.frames * 1000.0 / elapsed;
        rate.frames = 0;
        rate.windowStartMs = clockMs;
    }
}

void FormatFps(double rate, char* buf, int size) {
    std::snprintf(buf, (size_t)size, "FPS: %.1f", rate);
}

// Rows top to bottom, 5 bits each (bit 4 is the left column).
struct Glyph {
    char c;
    uint8_t rows[7];
};
static const Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
};

static const Glyph* FindGlyph(char c) {
    for (const Glyph& g : kGlyphs)
        if (g.c == c) return &g;
    return nullptr;
}

void DrawOverlayText(const char* text, int x, int y, int scale, int winW, int winH) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    // Window pixels, whatever the letterbox viewport is.
    glViewport(0, 0, winW, winH);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, winW, 0, winH, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    for (int pass = 0; pass < 2; ++pass) {
        // A dark shadow first, then the text, so it reads on any picture.
        const int off = pass == 0 ? 1 : 0;
        if (pass == 0)
            glColor4f(0, 0, 0, 1);
        else
            glColor4f(1, 1, 0.4f, 1);
        int penX = x;
        for (const char* p = text; *p; ++p, penX += 6 * scale) {
            const Glyph* g = FindGlyph(*p);
            if (!g) continue;
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col) {
                    if (!(g->rows[row] & (0x10 >> col))) continue;
                    const float px = (float)(penX + col * scale + off);
                    const float py = (float)(y + (6 - row) * scale - off);
                    glVertex2f(px, py);
                    glVertex2f(px + scale, py);
                    glVertex2f(px + scale, py + scale);
                    glVertex2f(px, py + scale);
                }
        }
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
