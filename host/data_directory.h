// Finding the data directory (g_dataDir): the installation directory from
// the registry followed by "\data\".
#pragma once

#include "platform/globals.h"

// The product's registry key and its value.
extern const char* const kProductKey;

// Reads "Dir" of the product key (machine-wide first, else the user's) into
// g_dataDir.  Leaves g_dataDir unchanged when neither key exists; a missing,
// empty, relative or over-long value leaves it empty, which means there is
// no data folder.
void ReadDataDirectory();
