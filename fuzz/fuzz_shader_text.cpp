// A shader source file, read whole as the ripple program's sources are.
#include <cstring>

#include "fuzz/fuzz_show.h"
#include "render/ripple_shader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetUp();
    WriteDataFile("shaders/ripple.vsh", data, size);
    char* text = ReadTextFile((FuzzDataDir() + "shaders/ripple.vsh").c_str());
    if (text && std::strlen(text) > size) __builtin_trap();
    delete[] text;
    return 0;
}
