// The motion-blur trail: the picture shown is 0.9 times the last one plus
// 0.1 times the new frame.  It is made in one of two ways:
//   through textures  where the context offers framebuffer objects and a
//                     renderable 16-bit colour texture: the frame is drawn
//                     into a texture the size of the window, blended into an
//                     accumulator texture, and the accumulator is drawn into
//                     the window; all of it on the graphics hardware;
//   through glAccum   (multiply by 0.9, add 0.1 times the frame, return),
//                     which every Mesa driver does on the processor.
// The trail runs when the option DoNotUseAccumBuffer is 0 and the format
// allows it (g_accumAvailable); on a software rasteriser, where
// g_accumAvailable is 0, only when this run asks for it (--trail).
#pragma once

enum TrailPath { TRAIL_OFF, TRAIL_ACCUM, TRAIL_TEXTURES };

// The way the trail is made in the frames from now on.
TrailPath CurrentTrailPath();

// Whether a GL renderer of this name rasterises in software (Mesa's
// llvmpipe, softpipe and swrast, Windows' generic implementation).
bool IsSoftwareRendererName(const char* renderer);

// Starts the trail afresh for a window of w x h pixels: clears the
// accumulation buffer, or makes (or remakes at the new size) the textures
// and clears the accumulator; frees them when the trail is off.  Called by
// ResizeViewport.
void StartTrail(int w, int h);

// Directs the frame's drawing into the frame texture when the trail goes
// through textures.  Called before the frame clears.
void BeginTrailFrame();

// The trail's step of the frame; afterwards the picture is in the window's
// back buffer, and the window's framebuffer is bound.
void ApplyTrail();
