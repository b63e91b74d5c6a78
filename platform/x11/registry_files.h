// The registry as small text files.
//
// A key names a file: "Software\CorvelScreenSavers\FreeWavendell" becomes
// "CorvelScreenSavers/FreeWavendell" (the leading "Software\" is dropped and
// every backslash separates a directory) below the hive's directory:
//   HKEY_LOCAL_MACHINE: the first directory of $XDG_CONFIG_DIRS (a colon
//                       separated list, default /etc/xdg) that holds the file,
//                       else the configuration directory of the installation
//                       the program was built for (<sysconfdir>/xdg, where
//                       "cmake --install" puts the file under a prefix other
//                       than /usr);
//   HKEY_CURRENT_USER:  $XDG_CONFIG_HOME (default $HOME/.config).
// Relative directories in these variables are ignored, as XDG asks.
//
// The file holds one value a line, "Name=value":
//   Dir=/usr/share/wavendell
// The name is everything before the first '=', without surrounding blanks,
// compared without regard to case; the value is the rest of the line as it
// stands (a trailing CR is dropped).  Blank lines and lines starting with
// '#' or ';' are ignored; the first line of a name wins.  A key whose file is
// missing does not exist.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat {

// The installation's machine-wide configuration directory (<sysconfdir>/xdg).
extern const char* const kInstalledConfigDir;

// The directories searched for HKEY_LOCAL_MACHINE keys, in order, without
// repeats.
std::vector<std::string> MachineHiveDirectories();

// The file of key under hive, or "" when the key does not exist.
std::string RegistryKeyFile(Hive hive, const char* key);

// Reads value name of a key file into buf (NUL-terminated).  False when the
// file cannot be read, has no such value, or the value does not fit.
bool ReadRegistryFileValue(const std::string& file, const char* name, char* buf, size_t size);

}  // namespace plat
