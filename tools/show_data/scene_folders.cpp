#include "tools/show_data/scene_folders.h"

#include <cstdint>
#include <cstdio>

#include "tools/show_data/output.h"
#include "tools/show_data/paint.h"
#include "tools/show_data/scenes.h"
#include "tools/show_data/water.h"

namespace show_data {

bool WriteScenes(const std::string& data) {
    bool ok = true;
    auto scene = [&](const char* folder, Image (*paint)(), uint32_t seed,
                     const WaterPalette& water) {
        std::string dir = data + folder + "/";
        ok = MakeDirectories(dir) && ok;
        ok = WriteJpeg(paint(), dir + "backdrop.jpg", 84) && ok;
        ok = WriteJpeg(WaterPicture(seed, water), dir + "water.jpg", 84) && ok;
        std::printf("%s\n", folder);
    };
    scene("nightGarden", NightGarden, 1100,
          {Hex(0x04101e), Hex(0x0b2438), Hex(0x1c4660), Hex(0x6a8cb8), 0.5f, 7, false});
    scene("sunsetLake", SunsetLake, 1200,
          {Hex(0x101a3a), Hex(0x22305c), Hex(0x3c4a72), Hex(0xffa050), 0.6f, 4.5f, false});
    scene("marblePlaza", MarblePlaza, 1300,
          {Hex(0x0c6478), Hex(0x2496a6), Hex(0x50bcc0), Hex(0xd8fff8), 0.35f, 7, true});
    scene("citySkyline", CitySkyline, 1400,
          {Hex(0x050a1a), Hex(0x0e1a34), Hex(0x1e2e50), Hex(0xffb860), 0.55f, 6, false});
    scene("mistyForest", MistyForest, 1500,
          {Hex(0x2a3e42), Hex(0x4c6466), Hex(0x7e9290), Hex(0xf0e6d4), 0.45f, 5, false});
    scene("northernLights", NorthernLights, 1600,
          {Hex(0x03101a), Hex(0x082632), Hex(0x104244), Hex(0x58ffb8), 0.5f, 6, false});
    return ok;
}

}  // namespace show_data
