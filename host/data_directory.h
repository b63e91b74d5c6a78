// The data directory: the installation directory from the registry followed
// by "\data\".  Every content file is named relative to it.
#pragma once

extern char g_dataDir[512];

// The product's registry key and its value.
extern const char* const kProductKey;

// Reads "Dir" of the product key (machine-wide first, else the user's) into
// g_dataDir.  Leaves g_dataDir unchanged when neither key exists; a missing,
// empty or over-long value leaves it empty.
void ReadDataDirectory();
