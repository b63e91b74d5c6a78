#include "host/data_directory.h"

#include <cstring>

#include "platform/file.h"
#include "platform/globals.h"
#include "platform/platform.h"

const char* const kProductKey = "Software\\CorvelScreenSavers\\FreeWavendell";

void FindDataDirectory() {
    if (g_run.showFolder[0] != '\0') {
        std::strcpy(g_dataDir, g_run.showFolder);
        return;
    }
    ReadDataDirectory();
}

void ReadDataDirectory() {
    plat::Platform& p = plat::Current();
    plat::Hive hive = plat::HKEY_LOCAL_MACHINE;
    if (!p.OpenRegistryKey(hive, kProductKey)) {
        hive = plat::HKEY_CURRENT_USER;
        bool userOpened = p.OpenRegistryKey(hive, kProductKey);
        plat::MessageBox(0,
                         "HKEY_LOCAL_MACHINE Registry not found! Please reinstall Corvel "
                         "Vivaruzov Screen Saver",
                         "Error", plat::MB_OK);
        if (!userOpened) {
            plat::MessageBox(0,
                             "Registry not found! Please reinstall Corvel Vivaruzov Screen Saver",
                             "Error", plat::MB_OK);
            return;
        }
    }
    // The value must leave room for "\data\" and the terminator, and name
    // a folder wherever the saver is started from.
    static const char kSuffix[] = "\\data\\";
    char value[512];
    if (!p.ReadRegistryValue(hive, kProductKey, "Dir", value, sizeof value) ||
        std::strlen(value) + sizeof kSuffix > sizeof g_dataDir || !plat::IsAbsolutePath(value)) {
        g_dataDir[0] = '\0';
        return;
    }
    std::strcpy(g_dataDir, value);
    std::strcat(g_dataDir, kSuffix);
}
