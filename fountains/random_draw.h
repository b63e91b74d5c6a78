// RandomBelow(n): rand() modulo n, an integer from 0 to n - 1 drawn from the
// standard library's process-wide generator, which is seeded once when
// rendering starts.  Scene choice and the fountains' jitter share it, so the
// show depends on the order of these draws.
#pragma once

#include <cstdlib>

inline int RandomBelow(int n) { return std::rand() % n; }
