// An action script with a figure file of its own: the input up to its first
// NUL byte is "_scripts/fuzz.xml", the rest "_figures/fuzz.xml" (the folder
// also holds "ring.xml").  The script is loaded and played for a while with
// simulated particles, across the wrap of the 32-bit tick.
#include <cstring>

#include "fuzz/fuzz_show.h"
#include "platform/globals.h"
#include "scenario/action_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QuietPlatform& p = FuzzSetUp();
    const uint8_t* nul = (const uint8_t*)std::memchr(data, 0, size);
    const size_t scriptSize = nul ? (size_t)(nul - data) : size;
    WriteDataFile("_scripts/fuzz.xml", data, scriptSize);
    WriteDataFile("_figures/fuzz.xml", nul ? nul + 1 : data, nul ? size - scriptSize - 1 : 0);
    p.tick = 0x7FFFF000u;
    CActionScript script;
    script.Load("fuzz.xml");
    script.SetEmitterColor(200, 220, 255, 120);
    bool hold = false;
    for (int frame = 0; frame < 400; ++frame) {
        p.tick += 11;
        g_frameParticleCount = 0;
        if (script.Run((int32_t)p.tick, hold)) hold = true;
        script.SimulateParticles((int32_t)p.tick);
    }
    return 0;
}
