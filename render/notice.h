// A short notice over the picture for the first seconds of a run: why the
// show asked for is not the one playing (g_run.notice), for a user who
// never reads the daemon's log.
#pragma once

#include <cstdint>

// How long the notice stays, from the first frame that draws it.
enum { kNoticeMs = 10000 };

// Draws g_run.notice, wrapped to the window's width in at most four lines
// from its top-left corner, while its time lasts (clockMs: the process
// clock).  Draws nothing and allocates nothing when there is none.
void DrawNotice(int32_t clockMs);
