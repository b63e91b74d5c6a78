// Pixel formats on GLX.
//
// The formats of a display are its GLX frame-buffer configurations that can
// draw to a window in RGBA and have an X visual, numbered from 1 in the order
// the server lists them.  ChooseFormat picks the closest one to a request the
// way the saver asks: an accumulation request of 64 bits wants 16 bits per
// colour channel, 32 bits wants 8, 0 wants none.
//
// The "generic" format: on Windows the generic format is the system's own
// software implementation behind GDI, slow and without hardware help.  The
// GLX counterpart is rendering that does not go to the driver at all:
// indirect rendering (GLX protocol executed by the X server, as over a
// remote connection or with LIBGL_ALWAYS_INDIRECT), or a configuration the
// server marks GLX_NON_CONFORMANT_CONFIG.  Such formats are described with
// PFD_GENERIC_FORMAT, so the accumulation trail is not used on them.  A
// GLX_SLOW_CONFIG caveat alone is not generic: Mesa marks every
// accumulation-capable configuration slow, hardware drivers included,
// because the accumulation buffer itself is done in software; the rest of
// the rendering is the driver's.  So Mesa's llvmpipe under Xvfb (direct
// rendering) offers non-generic formats with an accumulation buffer.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace plat {

enum GlxCaveat { CAVEAT_NONE, CAVEAT_SLOW, CAVEAT_NON_CONFORMANT };

// What the choice needs to know of one GLX frame-buffer configuration.
struct GlxFormat {
    bool doubleBuffer = false;
    int red = 0, green = 0, blue = 0, alpha = 0;
    int depth = 0, stencil = 0;
    int accumRed = 0, accumGreen = 0, accumBlue = 0, accumAlpha = 0;
    int samples = 0;
    GlxCaveat caveat = CAVEAT_NONE;
    int visualDepth = 0;  // depth of its X visual
};

// Index (1-based) of the format closest to want, or 0 when no format fits
// at all.  screenDepth is the depth of the screen's default visual.
int ChooseFormat(const std::vector<GlxFormat>& formats, const PixelFormatDescriptor& want,
                 int screenDepth);

// The description of a format; indirect says the display renders only
// indirectly.
PixelFormatDescriptor DescribeFormat(const GlxFormat& format, bool indirect);

}  // namespace plat
