// What the fuzz targets share: an in-memory platform that counts message
// boxes instead of keeping them, and a scratch data folder made once per
// process (removed at exit) into which each input is written as the file
// the saver would read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/memory/memory_platform.h"

class QuietPlatform : public plat::MemoryPlatform {
public:
    void MessageBox(plat::HWND, const char*, const char*, unsigned) override { ++messages; }
    int messages = 0;
};

// Installs the quiet platform and points g_dataDir at the scratch folder,
// which holds a small show: "_figures/ring.xml" (six emitters),
// "_scripts/play.xml" (uses it), a scene folder "lake" without pictures,
// and a scenario listing both.
QuietPlatform& FuzzSetUp();

// The scratch folder, ending with '/'.
const std::string& FuzzDataDir();

// Writes size bytes of data to the file relative of the scratch folder.
void WriteDataFile(const std::string& relative, const uint8_t* data, size_t size);
void WriteDataFile(const std::string& relative, const std::string& text);
