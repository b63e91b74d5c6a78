#include "fuzz/fuzz_show.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/globals.h"

namespace fs = std::filesystem;

namespace {

std::string g_dir;

void RemoveScratch() {
    std::error_code ignored;
    if (!g_dir.empty()) fs::remove_all(g_dir, ignored);
}

void MakeScratch() {
    std::string pattern = (fs::temp_directory_path() / "wavendell_fuzz_XXXXXX").string();
    if (!mkdtemp(&pattern[0])) {
        std::perror("mkdtemp");
        std::abort();
    }
    g_dir = pattern + "/";
    std::atexit(RemoveScratch);
    std::string ring = "<Figure><Formula fid='1' count='6'/><Egroup id='1'>";
    for (int i = 0; i < 6; ++i)
        ring += "<Emmiter id='" + std::to_string(i) + "' x='" + std::to_string(4 * i - 10) +
                "' y='0' z='" + std::to_string(20 + i) + "'/>";
    WriteDataFile("_figures/ring.xml", ring + "</Egroup></Figure>");
    WriteDataFile("_scripts/play.xml",
                  "<Script><Uses><Figure figureId='1' file='ring.xml' dx='0' dy='0'/></Uses>"
                  "<ActionScript><Command first='0' last='5' tShift='40' EType='0' cycles='2'"
                  " vx1='0' vy1='0.4' vz1='0' vx2='0.05' vy2='0.5' vz2='0' nextAfter='-1'/>"
                  "<Command first='5' last='0' EType='2' Angle1='30' Angle2='150'/>"
                  "</ActionScript></Script>");
    WriteDataFile("lake/scene.xml",
                  "<Scene><EColor r='200' g='220' b='255' a='120'/>"
                  "<Info Title='Lake' Author='' Url='' Description=''/></Scene>");
    WriteDataFile("defaultScenario.xml",
                  "<Scenario><Scenes><Scene path='lake'/></Scenes><Script action='play.xml'/>"
                  "</Scenario>");
}

}  // namespace

const std::string& FuzzDataDir() {
    if (g_dir.empty()) MakeScratch();
    return g_dir;
}

QuietPlatform& FuzzSetUp() {
    static QuietPlatform platform;
    plat::Install(&platform);
    const std::string& dir = FuzzDataDir();
    std::snprintf(g_dataDir, sizeof g_dataDir, "%s", dir.c_str());
    return platform;
}

void WriteDataFile(const std::string& relative, const uint8_t* data, size_t size) {
    const std::string path = FuzzDataDir() + relative;
    std::error_code ignored;
    fs::create_directories(fs::path(path).parent_path(), ignored);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::abort();
    }
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

void WriteDataFile(const std::string& relative, const std::string& text) {
    WriteDataFile(relative, (const uint8_t*)text.data(), text.size());
}
