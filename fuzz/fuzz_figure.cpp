// A figure file, placed at offsets taken from the input's first bytes.
#include "fountains/figure.h"
#include "fuzz/fuzz_show.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetUp();
    WriteDataFile("_figures/fuzz.xml", data, size);
    const double dx = size > 0 ? data[0] - 128.0 : 0.0;
    const double dy = size > 1 ? data[1] - 128.0 : 0.0;
    CFigure figure;
    figure.Load("fuzz.xml", 7, dx, dy, dy);
    figure.SimulateParticles(1000);
    return 0;
}
