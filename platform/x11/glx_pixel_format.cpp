#include "platform/x11/glx_pixel_format.h"

#include <algorithm>
#include <array>

namespace plat {

namespace {

int ColourBits(const GlxFormat& f) { return f.red + f.green + f.blue + f.alpha; }
int AccumBits(const GlxFormat& f) { return f.accumRed + f.accumGreen + f.accumBlue + f.accumAlpha; }

// How far a size falls short of the wish, then how far it goes beyond it.
int Shortfall(int have, int want) { return have < want ? want - have : 0; }
int Excess(int have, int want) { return have > want ? have - want : 0; }

// Ranks a format against the request; smaller is closer.  The order of the
// criteria is the order of importance.
std::array<int, 10> Rank(const GlxFormat& f, const PixelFormatDescriptor& want, int screenDepth) {
    const bool wantDouble = (want.dwFlags & PFD_DOUBLEBUFFER) != 0;
    // The trail needs red, green and blue; accumulation alpha is not asked.
    const int perChannel = want.cAccumBits / 4;
    int accumMiss;
    if (perChannel > 0)
        accumMiss =
            (f.accumRed < perChannel || f.accumGreen < perChannel || f.accumBlue < perChannel) ? 1
                                                                                               : 0;
    else
        accumMiss = AccumBits(f) > 0 ? 1 : 0;  // an unused accumulation buffer only costs
    const int caveat = f.caveat == CAVEAT_NONE ? 0 : f.caveat == CAVEAT_SLOW ? 1 : 2;
    return {f.doubleBuffer == wantDouble ? 0 : 1,
            accumMiss,
            caveat,
            f.visualDepth == screenDepth ? 0 : 1,
            Shortfall(ColourBits(f), want.cColorBits),
            Excess(ColourBits(f), want.cColorBits),
            Shortfall(f.depth, want.cDepthBits),
            Excess(AccumBits(f), want.cAccumBits) + Excess(f.depth, want.cDepthBits),
            f.stencil,
            f.samples};
}

}  // namespace

int ChooseFormat(const std::vector<GlxFormat>& formats, const PixelFormatDescriptor& want,
                 int screenDepth) {
    int best = 0;
    std::array<int, 10> bestRank{};
    for (size_t i = 0; i < formats.size(); ++i) {
        std::array<int, 10> rank = Rank(formats[i], want, screenDepth);
        if (best == 0 || rank < bestRank) {
            best = (int)i + 1;
            bestRank = rank;
        }
    }
    return best;
}

PixelFormatDescriptor DescribeFormat(const GlxFormat& f, bool indirect) {
    PixelFormatDescriptor pfd;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (f.doubleBuffer) pfd.dwFlags |= PFD_DOUBLEBUFFER;
    if (indirect || f.caveat == CAVEAT_NON_CONFORMANT) pfd.dwFlags |= PFD_GENERIC_FORMAT;
    pfd.iPixelType = 0;
    pfd.cColorBits = (uint8_t)std::min(ColourBits(f), 255);
    pfd.cAccumBits = (uint8_t)std::min(AccumBits(f), 255);
    pfd.cDepthBits = (uint8_t)std::min(f.depth, 255);
    pfd.iLayerType = 0;
    return pfd;
}

}  // namespace plat
