// r(n): a uniform integer from 0 to n - 1 drawn from the process-wide
// generator that InitRendering seeds.  The fountains' jitter depends on the
// order of these draws.
#pragma once

#include <cstdlib>

inline int RandomBelow(int n) { return std::rand() % n; }
