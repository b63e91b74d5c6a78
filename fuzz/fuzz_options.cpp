// The options file: read, then written back as the saver window does
// (which keeps a copy of a file that is not well-formed).
#include <filesystem>

#include "fuzz/fuzz_show.h"
#include "options/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetUp();
    WriteDataFile("options.xml", data, size);
    COptions options;
    options.Load("options.xml");
    options.Save("options.xml");
    // The kept copies would pile up from one input to the next.
    for (const auto& entry : std::filesystem::directory_iterator(FuzzDataDir()))
        if (entry.path().filename().string().rfind("options.xml.", 0) == 0)
            std::filesystem::remove(entry.path());
    return 0;
}
