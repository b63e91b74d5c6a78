#include "tests/support/small_show.h"

#include <filesystem>
#include <fstream>

#include "tests/support/picture_files.h"
#include "tests/support/shipped_show.h"

namespace fs = std::filesystem;

namespace {

const char* const kShippedParts[] = {"particle7.bmp",      "fSource.bmp",        "emitterTube.bmp",
                                     "shaders/ripple.vsh", "shaders/ripple.fsh", nullptr};

bool WriteText(const std::string& path, const std::string& text) {
    std::error_code ignored;
    fs::create_directories(fs::path(path).parent_path(), ignored);
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out);
}

}  // namespace

const char* const* ShowSpritesAndShaders() { return kShippedParts; }

bool SmallShow::WriteTo(const std::string& folder) const {
    bool ok = true;
    for (const auto& t : texts) ok = WriteText(folder + t.first, t.second) && ok;
    for (const auto& p : pictures) {
        const int w = p.second.first, h = p.second.second;
        std::vector<uint8_t> samples((size_t)w * h * 3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* s = &samples[((size_t)y * w + x) * 3];
                s[0] = (uint8_t)(20 + 60 * y / h);
                s[1] = (uint8_t)(40 + 80 * y / h);
                s[2] = (uint8_t)(90 + (x * 7 + y * 3) % 40);
            }
        std::error_code ignored;
        fs::create_directories(fs::path(folder + p.first).parent_path(), ignored);
        ok = WriteJpeg(folder + p.first, w, h, JPEG_COLOUR, samples, 85) && ok;
    }
    for (const auto& s : shipped) {
        if (!s.second) continue;
        std::error_code ec;
        fs::create_directories(fs::path(folder + s.first).parent_path(), ec);
        fs::copy_file(ShippedDataDir() + s.first, folder + s.first,
                      fs::copy_options::overwrite_existing, ec);
        ok = !ec && ok;
    }
    return ok;
}

SmallShow CleanSmallShow() {
    SmallShow show;
    show.texts["options.xml"] =
        "<OPTIONS><KeepAspect_1_6 v=\"0\"/><SoundsEnabled v=\"0\"/><DoNotUseAccumBuffer v=\"0\"/>"
        "<SleepEnabled v=\"1\"/><IgnoreMouseMove v=\"0\"/></OPTIONS>\n";
    show.texts["defaultScenario.xml"] =
        "<Scenario>\n"
        "  <Scenes><Scene path=\"pond\" enabled=\"1\"/></Scenes>\n"
        "  <Script action=\"jets.xml\" enabled=\"1\"/>\n"
        "</Scenario>\n";
    show.texts["pond/scene.xml"] =
        "<Scene>\n"
        "  <EColor r=\"200\" g=\"220\" b=\"255\" a=\"110\"/>\n"
        "  <Back file=\"backdrop.jpg\"/>\n"
        "  <Water file=\"water.jpg\"/>\n"
        "  <Info Title=\"Pond\" Author=\"Tests\" Url=\"\" Description=\"A test pond\"/>\n"
        "</Scene>\n";
    show.pictures["pond/backdrop.jpg"] = {256, 128};
    show.pictures["pond/water.jpg"] = {128, 64};
    std::string emitters;
    for (int i = 0; i < 6; ++i)
        emitters += "    <Emmiter id=\"" + std::to_string(i) + "\" x=\"" +
                    std::to_string(-10 + 4 * i) + "\" y=\"0\" z=\"30\"/>\n";
    show.texts["_figures/row.xml"] =
        "<Figure>\n  <Formula fid=\"1\" count=\"6\" cx=\"0\" cy=\"30\" rx=\"10\" ry=\"0\"/>\n"
        "  <Egroup id=\"0\">\n" +
        emitters + "  </Egroup>\n</Figure>\n";
    show.texts["_scripts/jets.xml"] =
        "<Script>\n"
        "  <Uses><Figure figureId=\"0\" file=\"row.xml\" dx=\"0\" dy=\"0\"/></Uses>\n"
        "  <ActionScript>\n"
        "    <Command group=\"0\" first=\"0\" last=\"5\" tShift=\"100\" effTime=\"600\" "
        "effTimeD=\"0\""
        " cycles=\"2\" EType=\"1\" vx1=\"0\" vy1=\"0.2\" vz1=\"0\" vx2=\"0\" vy2=\"0.45\" vz2=\"0\""
        " nextAfter=\"0\"/>\n"
        "    <Command group=\"0\" first=\"5\" last=\"0\" tShift=\"50\" effTime=\"800\" "
        "effTimeD=\"0\""
        " cycles=\"2\" EType=\"2\" centerX=\"0\" centerY=\"30\" Angle1=\"60\" Angle2=\"120\""
        " Power=\"0.3\" YPowerK=\"1.5\" vx1=\"0\" vy1=\"0\" vz1=\"0\" vx2=\"0\" vy2=\"0\" vz2=\"0\""
        " nextAfter=\"0\"/>\n"
        "  </ActionScript>\n"
        "</Script>\n";
    for (const char* const* p = kShippedParts; *p; ++p) show.shipped[*p] = true;
    return show;
}
