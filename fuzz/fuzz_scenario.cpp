// The scenario file: loaded as the saver loads it (which switches to its
// first script and scene), then played for a few frames.
#include "fuzz/fuzz_show.h"
#include "platform/globals.h"
#include "scenario/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QuietPlatform& p = FuzzSetUp();
    WriteDataFile("fuzzScenario.xml", data, size);
    CScenario show;
    show.Load("fuzzScenario.xml");
    p.tick = 0x7FFFFF00u;  // the 32-bit tick wraps while it plays
    for (int frame = 0; frame < 30; ++frame) {
        p.tick += 11;
        g_frameParticleCount = 0;
        show.Update((int32_t)p.tick);
    }
    return 0;
}
