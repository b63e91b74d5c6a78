#include "tools/show_data/figures.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/show_data/output.h"
#include "tools/show_data/paint.h"

namespace show_data {

namespace {

struct Spot {
    float x, z;
};

// A figure file: the emitters in the order the scripts address them, all
// on the water surface (y = 0).
std::string FigureXml(int fid, float cx, float cz, float rx, float rz,
                      const std::vector<Spot>& spots) {
    char line[160];
    std::string xml = "<?xml version=\"1.0\" ?>\n<Figure>\n";
    std::snprintf(
        line, sizeof line,
        "    <Formula fid=\"%d\" count=\"%d\" cx=\"%g\" cy=\"%g\" rx=\"%g\" ry=\"%g\" />\n", fid,
        int(spots.size()), cx, cz, rx, rz);
    xml += line;
    xml += "    <Egroup id=\"0\">\n";
    for (size_t i = 0; i < spots.size(); ++i) {
        std::snprintf(line, sizeof line,
                      "        <Emmiter id=\"%d\" x=\"%.2f\" y=\"0\" z=\"%.2f\" />\n", int(i),
                      spots[i].x, spots[i].z);
        xml += line;
    }
    xml += "    </Egroup>\n</Figure>\n";
    return xml;
}

// count emitters on a circle, starting nearest the viewer and running
// anticlockwise seen from above.
std::vector<Spot> Ring(float cx, float cz, float r, int count, float turn = 0) {
    std::vector<Spot> spots;
    for (int i = 0; i < count; ++i) {
        float a = 2 * kPi * (i + turn) / count;
        spots.push_back({cx + r * std::sin(a), cz + r * std::cos(a)});
    }
    return spots;
}

std::vector<Spot> Line(float x0, float z0, float x1, float z1, int count) {
    std::vector<Spot> spots;
    for (int i = 0; i < count; ++i) {
        float t = count > 1 ? float(i) / (count - 1) : 0;
        spots.push_back({Mix(x0, x1, t), Mix(z0, z1, t)});
    }
    return spots;
}

std::vector<Spot> Join(std::vector<Spot> a, const std::vector<Spot>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

bool WriteFigures(const std::string& dir) {
    bool ok = MakeDirectories(dir);
    auto put = [&](const char* name, const std::string& xml) {
        ok = WriteText(dir + name, xml) && ok;
    };
    put("ringSmall.xml", FigureXml(1, 0, 36, 6, 6, Ring(0, 36, 6, 8)));
    put("ringMedium.xml", FigureXml(2, 0, 34, 12, 12, Ring(0, 34, 12, 12)));
    put("ringLarge.xml", FigureXml(3, 0, 36, 20, 20, Ring(0, 36, 20, 20)));
    // Inner ring first (0-7), then the outer one (8-23).
    put("doubleRing.xml",
        FigureXml(4, 0, 34, 15, 15, Join(Ring(0, 34, 7, 8), Ring(0, 34, 15, 16, 0.5f))));
    put("lineBack.xml", FigureXml(5, 0, 8, 56, 0, Line(-56, 8, 56, 8, 15)));
    put("lineFront.xml", FigureXml(6, 0, 50, 30, 0, Line(-30, 50, 30, 50, 11)));
    // A half circle around the foot of the backdrop, left to right: every
    // emitter is equally far from the world origin, so jets aimed at the
    // origin all lean alike.
    {
        std::vector<Spot> arc;
        for (int i = 0; i < 13; ++i) {
            float a = kPi * (165 - 150.0f * i / 12) / 180;
            arc.push_back({34 * std::cos(a), 34 * std::sin(a)});
        }
        put("arcAmphitheatre.xml", FigureXml(7, 0, 0, 34, 34, arc));
    }
    // Five columns by three rows, back row first, each row left to right.
    {
        std::vector<Spot> grid;
        for (float z : {20.0f, 30.0f, 40.0f})
            for (float x : {-24.0f, -12.0f, 0.0f, 12.0f, 24.0f}) grid.push_back({x, z});
        put("grid.xml", FigureXml(8, 0, 30, 24, 10, grid));
    }
    // A six-armed star: the centre, then rings of six at growing radii, so
    // that a wave through the range runs outwards.
    {
        std::vector<Spot> star = {{0, 32}};
        for (float r : {5.0f, 10.0f, 15.0f})
            for (int k = 0; k < 6; ++k) {
                float a = 2 * kPi * k / 6 + kPi / 6;
                star.push_back({r * std::sin(a), 32 + r * std::cos(a)});
            }
        put("star.xml", FigureXml(9, 0, 32, 15, 15, star));
    }
    // A cross: the crossbar left to right, then the upright from back to front.
    put("cross.xml", FigureXml(10, 0, 30, 24, 16,
                               Join(Line(-24, 30, 24, 30, 13),
                                    Join(Line(0, 14, 0, 26, 4), Line(0, 34, 0, 46, 4)))));
    // An Archimedean spiral, from the centre outwards.
    {
        std::vector<Spot> spiral;
        for (int i = 0; i < 18; ++i) {
            float a = i * 40.0f * kPi / 180, r = 2 + 1.1f * i;
            spiral.push_back({r * std::sin(a), 34 + r * std::cos(a)});
        }
        put("spiral.xml", FigureXml(11, 0, 34, 21, 21, spiral));
    }
    // A chevron opening towards the viewer: the left arm from the tip
    // outwards (0-6), then the right arm (7-13).
    put("chevron.xml",
        FigureXml(12, 0, 30, 30, 14, Join(Line(-4, 18, -30, 42, 7), Line(4, 18, 30, 42, 7))));
    return ok;
}

}  // namespace show_data
