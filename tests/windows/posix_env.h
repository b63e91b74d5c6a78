// setenv and unsetenv, which the MinGW runtime lacks, for the tests that
// set environment variables (force-included in the Windows unit tests).
#pragma once

#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
