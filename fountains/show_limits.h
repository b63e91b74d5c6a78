// The largest show the saver loads.  Every emitter costs a pool of 1000
// particles (84 KB) that is allocated when its script is loaded; the
// shipped show's largest script uses 3 figures with 43 emitters in all.  A
// file beyond these bounds is not loaded, with the message of a file that
// cannot be read, instead of asking for gigabytes.
#pragma once

// Figures in one script's Uses section.
const int kMaxFiguresPerScript = 32;
// Emitters of all the figures of one script together (43 MB of pools).
const int kMaxEmittersPerScript = 512;
