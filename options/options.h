// The user's options, kept in "options.xml" in the data directory.
#pragma once

#include "platform/globals.h"

class COptions {
public:
    int SoundsEnabled = 0;
    int KeepAspect_1_6 = 0;
    int DoNotUseAccumBuffer = 0;
    int SleepEnabled = 1;
    int IgnoreMouseMove = 0;

    // Reads fileName (relative to the data directory).  A missing or
    // malformed file shows "Error opening file for reading" and changes
    // nothing; options whose element is missing keep their values.
    bool Load(const char* fileName);
    // Writes all five options.  The file is replaced whole (see
    // plat::ReplaceFile), so an interrupted write never leaves a truncated
    // options file.
    bool Save(const char* fileName);
};
