// Writes the small test data set: two scenes with procedural pictures,
// three short action scripts on two figures, the fountain sprites and the
// options file.  Its output is committed under tests/data/test_show; run
//   ./build/make_test_show tests/data/test_show
// after changing it.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/picture_files.h"

namespace {

std::string g_root;

void MakeDir(const std::string& relative) { mkdir((g_root + relative).c_str(), 0755); }

int g_failures = 0;

void WriteText(const std::string& relative, const std::string& text) {
    FILE* f = std::fopen((g_root + relative).c_str(), "wb");
    const bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (!(f && std::fclose(f) == 0 && ok)) {
        std::fprintf(stderr, "cannot write %s%s\n", g_root.c_str(), relative.c_str());
        ++g_failures;
    }
}

void Check(bool written, const std::string& relative) {
    if (written) return;
    std::fprintf(stderr, "cannot write %s%s\n", g_root.c_str(), relative.c_str());
    ++g_failures;
}

// Smooth value noise in [0, 1], deterministic.
double Hash(int x, int y) {
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}
double Noise(double x, double y) {
    const int xi = (int)std::floor(x), yi = (int)std::floor(y);
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = Hash(xi, yi), b = Hash(xi + 1, yi), c = Hash(xi, yi + 1),
                 d = Hash(xi + 1, yi + 1);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

uint8_t Clamp(double v) { return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v); }

struct Palette {
    double skyTop[3], skyLow[3], land[3], waterDeep[3], waterLight[3];
};

// A sky gradient over a hill line, and a tiling noise water picture.
void WriteScenePictures(const std::string& scene, const Palette& p, double hills) {
    pictures::Rgb back(320, 200);
    for (int y = 0; y < back.height; ++y) {
        for (int x = 0; x < back.width; ++x) {
            const double t = (double)y / (back.height - 1);
            const double ridge =
                back.height * (0.72 - 0.10 * std::sin(x * hills / back.width * 6.28) -
                               0.05 * Noise(x / 18.0, 3.0));
            uint8_t* px = back.At(x, y);
            for (int k = 0; k < 3; ++k) {
                const double sky = p.skyTop[k] + (p.skyLow[k] - p.skyTop[k]) * t;
                px[k] = Clamp(y > ridge ? p.land[k] * (0.8 + 0.3 * Noise(x / 9.0, y / 9.0)) : sky);
            }
        }
    }
    Check(pictures::WriteJpeg((g_root + scene + "/back.jpg").c_str(), back), scene + "/back.jpg");

    pictures::Rgb water(128, 128);
    for (int y = 0; y < water.height; ++y) {
        for (int x = 0; x < water.width; ++x) {
            const double n = 0.6 * Noise(x / 16.0, y / 8.0) + 0.4 * Noise(x / 5.0, y / 3.0);
            uint8_t* px = water.At(x, y);
            for (int k = 0; k < 3; ++k)
                px[k] = Clamp(p.waterDeep[k] + (p.waterLight[k] - p.waterDeep[k]) * n);
        }
    }
    Check(pictures::WriteJpeg((g_root + scene + "/water.jpg").c_str(), water),
          scene + "/water.jpg");
}

void WriteSprites() {
    pictures::Rgba drop(32, 32), splash(32, 32), tube(16, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double dx = (x - 15.5) / 15.5, dy = (y - 15.5) / 15.5;
            const double r = std::sqrt(dx * dx + dy * dy);
            uint8_t* d = drop.At(x, y);
            d[0] = d[1] = d[2] = 255;
            d[3] = Clamp(255 * std::pow(std::fmax(0.0, 1 - r), 1.5));
            // The splash is blended with one minus its colour: dark where
            // it is transparent.
            uint8_t* s = splash.At(x, y);
            s[0] = s[1] = s[2] = s[3] = Clamp(255 * std::exp(-std::pow((r - 0.6) / 0.2, 2)));
        }
    }
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 16; ++x) {
            uint8_t* t = tube.At(x, y);
            const double shade = 120 + 110 * std::sin(3.14159 * (x + 0.5) / 16);
            t[0] = t[1] = t[2] = Clamp(shade);
            t[3] = 255;
        }
    }
    Check(pictures::WriteBmp32((g_root + "particle7.bmp").c_str(), drop), "particle7.bmp");
    Check(pictures::WriteBmp32((g_root + "fSource.bmp").c_str(), splash), "fSource.bmp");
    Check(pictures::WriteBmp32((g_root + "emitterTube.bmp").c_str(), tube), "emitterTube.bmp");
}

std::string Emitters(int count, double (*place)(int, int, char)) {
    std::string out;
    char line[160];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "    <Emmiter id=\"%d\" x=\"%.2f\" y=\"0\" z=\"%.2f\"/>\n",
                      i, place(i, count, 'x'), place(i, count, 'z'));
        out += line;
    }
    return out;
}

double OnLine(int i, int n, char axis) { return axis == 'x' ? -35.0 + 70.0 * i / (n - 1) : 40.0; }
double OnRing(int i, int n, char axis) {
    const double a = 6.2831853 * i / n;
    return axis == 'x' ? 16.0 * std::cos(a) : 28.0 + 10.0 * std::sin(a);
}

void WriteFigures() {
    MakeDir("_figures");
    WriteText("_figures/line.xml",
              "<Figure>\n  <Formula fid=\"1\" count=\"8\" cx=\"0\" cy=\"40\" rx=\"35\" ry=\"0\"/>\n"
              "  <Egroup id=\"1\">\n" +
                  Emitters(8, OnLine) + "  </Egroup>\n</Figure>\n");
    WriteText(
        "_figures/ring.xml",
        "<Figure>\n  <Formula fid=\"2\" count=\"12\" cx=\"0\" cy=\"28\" rx=\"16\" ry=\"10\"/>\n"
        "  <Egroup id=\"1\">\n" +
            Emitters(12, OnRing) + "  </Egroup>\n</Figure>\n");
}

void WriteScripts() {
    MakeDir("_scripts");
    // A wave along the line and back: swing jets started one after another.
    WriteText(
        "_scripts/waves.xml",
        "<Script>\n"
        "  <Uses><Figure figureId=\"1\" file=\"line.xml\" dx=\"0\" dy=\"0\"/></Uses>\n"
        "  <ActionScript>\n"
        "    <Command id=\"1\" group=\"0\" first=\"0\" last=\"7\" tShift=\"150\" effTime=\"800\""
        " effTimeD=\"0\" cycles=\"2\" vx1=\"0\" vy1=\"0.35\" vz1=\"0\" vx2=\"0.02\" vy2=\"0.6\""
        " vz2=\"0\" EType=\"1\" nextAfter=\"0\"/>\n"
        "    <Command id=\"2\" group=\"0\" first=\"7\" last=\"0\" tShift=\"150\" effTime=\"800\""
        " effTimeD=\"0\" cycles=\"2\" vx1=\"0\" vy1=\"0.35\" vz1=\"0\" vx2=\"-0.02\""
        " vy2=\"0.6\" vz2=\"0\" EType=\"1\" nextAfter=\"0\"/>\n"
        "  </ActionScript>\n"
        "</Script>\n");
    // Jets of the ring bowing towards its centre, then a swing.
    WriteText("_scripts/rings.xml",
              "<Script>\n"
              "  <Uses><Figure figureId=\"2\" file=\"ring.xml\"/></Uses>\n"
              "  <ActionScript>\n"
              "    <Command group=\"0\" first=\"0\" last=\"11\" effTime=\"1500\" effTimeD=\"0\""
              " cycles=\"2\" EType=\"2\" centerX=\"0\" centerY=\"28\" Angle1=\"55\" Angle2=\"90\""
              " Power=\"0.45\" YPowerK=\"1.4\" nextAfter=\"0\"/>\n"
              "    <Command group=\"0\" first=\"0\" last=\"11\" tShift=\"120\" effTime=\"900\""
              " effTimeD=\"20\" cycles=\"1\" vx1=\"0\" vy1=\"0.3\" vz1=\"0\" vx2=\"0\" vy2=\"0.65\""
              " vz2=\"0\" EType=\"1\" nextAfter=\"0\"/>\n"
              "  </ActionScript>\n"
              "</Script>\n");
    // Both figures: arcs on the line overlapping a swing on the ring.
    WriteText("_scripts/bows.xml",
              "<Script>\n"
              "  <Uses>\n"
              "    <Figure figureId=\"1\" file=\"line.xml\"/>\n"
              "    <Figure figureId=\"2\" file=\"ring.xml\" dx=\"0\" dy=\"0\"/>\n"
              "  </Uses>\n"
              "  <ActionScript>\n"
              "    <Command group=\"0\" first=\"0\" last=\"7\" effTime=\"700\" effTimeD=\"50\""
              " cycles=\"3\" EType=\"2\" centerX=\"0\" centerY=\"40\" Angle1=\"70\" Angle2=\"110\""
              " Power=\"0.5\" YPowerK=\"1.2\" nextAfter=\"-1\"/>\n"
              "    <Command group=\"1\" first=\"11\" last=\"0\" tShift=\"80\" effTime=\"1200\""
              " effTimeD=\"0\" cycles=\"2\" vx1=\"0\" vy1=\"0.25\" vz1=\"0\" vx2=\"0\" vy2=\"0.5\""
              " vz2=\"0\" EType=\"1\" nextAfter=\"0\"/>\n"
              "  </ActionScript>\n"
              "</Script>\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_show OUTPUT_DIR\n");
        return 2;
    }
    g_root = argv[1];
    if (g_root.back() != '/') g_root += '/';
    for (size_t i = 1; i < g_root.size(); ++i)
        if (g_root[i] == '/') mkdir(g_root.substr(0, i).c_str(), 0755);

    WriteText("options.xml",
              "<?xml version=\"1.0\" ?>\n<OPTIONS>\n    <KeepAspect_1_6 v=\"0\" />\n"
              "    <SoundsEnabled v=\"0\" />\n    <DoNotUseAccumBuffer v=\"0\" />\n"
              "    <SleepEnabled v=\"1\" />\n    <IgnoreMouseMove v=\"0\" />\n</OPTIONS>\n");
    WriteText("defaultScenario.xml",
              "<Scenario>\n"
              "  <Scenes>\n"
              "    <Scene path=\"garden\" enabled=\"1\"/>\n"
              "    <Scene path=\"lake\" enabled=\"1\"/>\n"
              "  </Scenes>\n"
              "  <Script action=\"waves.xml\" enabled=\"1\"/>\n"
              "  <Script action=\"rings.xml\" enabled=\"1\" scenePath=\"lake\"/>\n"
              "  <Script action=\"bows.xml\" enabled=\"1\"/>\n"
              "</Scenario>\n");

    MakeDir("garden");
    WriteText("garden/scene.xml",
              "<Scene>\n  <EColor r=\"200\" g=\"230\" b=\"255\" a=\"110\"/>\n"
              "  <Back file=\"back.jpg\"/>\n  <Water file=\"water.jpg\"/>\n"
              "  <Info Title=\"Test garden\" Author=\"Wavendell tests\" Url=\"\" "
              "Description=\"Evening sky over green hills\"/>\n</Scene>\n");
    WriteScenePictures(
        "garden",
        Palette{{30, 50, 120}, {230, 150, 90}, {40, 90, 50}, {10, 40, 70}, {60, 130, 150}}, 2.0);
    MakeDir("lake");
    WriteText("lake/scene.xml",
              "<Scene>\n  <EColor r=\"255\" g=\"200\" b=\"150\" a=\"100\"/>\n"
              "  <Back file=\"back.jpg\"/>\n  <Water file=\"water.jpg\"/>\n"
              "  <Info Title=\"Test lake\" Author=\"Wavendell tests\" Url=\"\" "
              "Description=\"Violet dusk over mountains\"/>\n</Scene>\n");
    WriteScenePictures(
        "lake", Palette{{20, 10, 60}, {170, 90, 160}, {50, 40, 70}, {15, 20, 50}, {80, 80, 140}},
        3.5);
    WriteSprites();
    WriteFigures();
    WriteScripts();
    if (g_failures) return 1;
    std::printf("test show written to %s\n", g_root.c_str());
    return 0;
}
