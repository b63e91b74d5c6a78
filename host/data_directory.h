// Finding the data directory (g_dataDir): the installation directory from
// the registry followed by "\data\".
#pragma once

#include "platform/globals.h"

// The product's registry key and its value.
extern const char* const kProductKey;

// The data directory of this run: the show folder the launch form named
// (g_run.showFolder, already checked) when there is one, else the installed
// one as ReadDataDirectory finds it.
void FindDataDirectory();

// Reads "Dir" of the product key (machine-wide first, else the user's) into
// g_dataDir.  Leaves g_dataDir unchanged when neither key exists; a missing,
// empty, relative or over-long value leaves it empty, which means there is
// no data folder.
void ReadDataDirectory();
