// A settings file naming the installation directory: values read from it
// as the registry's are, by a fixed name and by one taken from the input.
#include <cstring>

#include "fuzz/fuzz_show.h"
#include "platform/x11/registry_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteDataFile("FreeWavendell", data, size);
    const std::string file = FuzzDataDir() + "FreeWavendell";
    char buf[512];
    if (plat::ReadRegistryFileValue(file, "Dir", buf, sizeof buf) && std::strlen(buf) >= sizeof buf)
        __builtin_trap();
    const std::string name((const char*)data, size < 8 ? size : 8);
    char small[16];
    plat::ReadRegistryFileValue(file, name.c_str(), small, sizeof small);
    return 0;
}
