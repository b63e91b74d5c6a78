// The show checker on small shows made here, one mistake each: it names the
// file, the element and what goes wrong, with the right weight, and reports
// nothing else; the clean show and the shipped one pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/globals.h"
#include "tests/support/small_show.h"
#include "tests/support/test_support.h"
#include "tools/show_check/show_check.h"

namespace {

// Replaces the one occurrence of from in text.
void Change(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(std::string::npos, at) << from;
    ASSERT_EQ(std::string::npos, text.find(from, at + 1)) << from;
    text.replace(at, from.size(), to);
}

std::string AllLines(const CheckReport& report) {
    std::string lines;
    for (const Finding& f : report.findings) lines += FormatFinding(f) + "\n";
    return lines;
}

CheckReport Check(const SmallShow& show, int playSeconds = 40) {
    TempDir dir;
    EXPECT_TRUE(show.WriteTo(dir.path()));
    CheckSettings settings;
    settings.playSeconds = playSeconds;
    return CheckShow(dir.path(), settings);
}

const char kCommand1[] = "first=\"0\" last=\"5\" tShift=\"100\"";

struct Mistake {
    const char* name;
    std::function<void(SmallShow&)> make;
    Finding::Severity severity;
    // What each finding says: file, a piece of its element and of its text.
    struct Expected {
        const char* file;
        const char* element;
        const char* text;
    };
    std::vector<Expected> findings;
};

const std::string kScenario = "defaultScenario.xml";
const std::string kScript = "_scripts/jets.xml";
const std::string kFigure = "_figures/row.xml";

std::vector<Mistake> Mistakes() {
    return {
        {"a listed scene without its scene file",
         [](SmallShow& s) {
             Change(s.texts[kScenario], "</Scenes>", "<Scene path=\"lake\"/></Scenes>");
         },
         Finding::ERROR,
         {{"lake/scene.xml", "", "the saver says \"Error opening file for reading\""}}},
        {"a figure file that is not there",
         [](SmallShow& s) {
             Change(s.texts[kScript], "</Uses>", "<Figure file=\"gone.xml\"/></Uses>");
         },
         Finding::ERROR,
         {{"_scripts/jets.xml", "", "\"gone.xml: Error opening file for reading\""}}},
        {"a picture that is not a JPEG",
         [](SmallShow& s) {
             s.pictures.erase("pond/water.jpg");
             s.texts["pond/water.jpg"] = "not a picture";
         },
         Finding::ERROR,
         {{"pond/water.jpg", "", "Unable to load JPG File!"}}},
        {"no options file",
         [](SmallShow& s) { s.texts.erase("options.xml"); },
         Finding::ERROR,
         {{"options.xml", "", "Error opening file for reading"}}},
        {"a command for a group no figure has",
         [](SmallShow& s) {
             Change(s.texts[kScript], "<Command group=\"0\" first=\"5\"",
                    "<Command group=\"1\" first=\"5\"");
         },
         Finding::ERROR,
         {{"_scripts/jets.xml", "Command 2",
           "group 1, but the script uses 1 figure (0..0): the script can never play out"}}},
        {"an empty range",
         [](SmallShow& s) {
             Change(s.texts[kScript], kCommand1, "first=\"3\" last=\"3\" tShift=\"100\"");
         },
         Finding::WARNING,
         {{"_scripts/jets.xml", "Command 1", "an empty range, the command switches on no jet"}}},
        {"a negative wait",
         [](SmallShow& s) {
             Change(s.texts[kScript], "nextAfter=\"0\"/>\n    <Command",
                    "nextAfter=\"-2\"/>\n    <Command");
         },
         Finding::ERROR,
         {{"_scripts/jets.xml", "Command 1", "nextAfter -2 can never be met"}}},
        {"a wait on sweeping jets",
         [](SmallShow& s) {
             Change(s.texts[kScript], "cycles=\"2\" EType=\"1\"", "cycles=\"2\" EType=\"0\"");
             Change(s.texts[kScript], "nextAfter=\"0\"/>\n    <Command",
                    "nextAfter=\"2\"/>\n    <Command");
         },
         Finding::ERROR,
         {{"_scripts/jets.xml", "Command 1",
           "nextAfter 2 can never be met: 6 jets of figure 0 (row.xml) run a sweep"}}},
        {"jets that run past the time limit",
         [](SmallShow& s) {
             Change(s.texts[kScript], "cycles=\"2\" EType=\"1\"", "cycles=\"500\" EType=\"1\"");
         },
         Finding::ERROR,
         {{"_scripts/jets.xml", "", "does not play out within 40.0 s"}}},
        {"a sweep left spraying at the end",
         [](SmallShow& s) {
             Change(s.texts[kScript], "cycles=\"2\" EType=\"2\"", "cycles=\"2\" EType=\"0\"");
             Change(s.texts[kScript], "vy2=\"0\" vz2=\"0\"", "vy2=\"0.3\" vz2=\"0\"");
             // No wait after it, so the script does pass its end.
             Change(s.texts[kScript], "nextAfter=\"0\"/>\n  </ActionScript>",
                    "nextAfter=\"-1\"/>\n  </ActionScript>");
         },
         Finding::ERROR,
         {{"_scripts/jets.xml", "", "but its jets still spray 40.0 s in (a sweep, EType 0"}}},
        {"jets higher than the picture",
         [](SmallShow& s) { Change(s.texts[kScript], "vy2=\"0.45\"", "vy2=\"1.3\""); },
         Finding::WARNING,
         {{"_scripts/jets.xml", "Figure 1 (row.xml)",
           "jets leave the top of the picture the camera shows at 16:10 and 16:9"}}},
        {"a backdrop that is rescaled",
         [](SmallShow& s) {
             s.pictures["pond/backdrop.jpg"] = {320, 200};
         },
         Finding::WARNING,
         {{"pond/backdrop.jpg", "Back",
           "320x200 pixels: sides that are not powers of two are rescaled to 256x256"}}},
        {"a picture larger than any screen needs",
         [](SmallShow& s) {
             s.pictures["pond/water.jpg"] = {8192, 16};
         },
         Finding::WARNING,
         {{"pond/water.jpg", "Water", "8192x16 pixels: larger than any screen needs"}}},
        {"a figure no script uses",
         [](SmallShow& s) { s.texts["_figures/spare.xml"] = s.texts[kFigure]; },
         Finding::WARNING,
         {{"_figures/spare.xml", "", "no script of the scenario uses this figure"}}},
        {"a scene disabled everywhere",
         [](SmallShow& s) {
             Change(s.texts[kScenario], "</Scenes>",
                    "<Scene path=\"lake\" enabled=\"0\"/></Scenes>");
             s.texts["lake/scene.xml"] = s.texts["pond/scene.xml"];
             s.pictures["lake/backdrop.jpg"] = s.pictures["pond/backdrop.jpg"];
             s.pictures["lake/water.jpg"] = s.pictures["pond/water.jpg"];
         },
         Finding::WARNING,
         {{"defaultScenario.xml", "",
           "scene \"lake\" is disabled everywhere it is listed: it is never shown"}}},
        {"a script disabled everywhere",
         [](SmallShow& s) {
             Change(s.texts[kScenario], "</Scenario>",
                    "<Script action=\"more.xml\" enabled=\"0\"/></Scenario>");
             s.texts["_scripts/more.xml"] = s.texts[kScript];
         },
         Finding::WARNING,
         {{"defaultScenario.xml", "",
           "script \"more.xml\" is disabled everywhere it is listed: it never plays"}}},
        {"a script the scenario does not list",
         [](SmallShow& s) { s.texts["_scripts/draft.xml"] = s.texts[kScript]; },
         Finding::WARNING,
         {{"_scripts/draft.xml", "", "the scenario does not list this script"}}},
        {"an attribute name in the wrong case",
         [](SmallShow& s) { Change(s.texts[kScript], "effTime=\"800\"", "efftime=\"800\""); },
         Finding::WARNING,
         {{"_scripts/jets.xml", "Command 2",
           "attribute efftime is not one the saver reads (did you mean effTime?)"}}},
        {"a number the reader cuts short",
         [](SmallShow& s) { Change(s.texts[kScript], "effTime=\"800\"", "effTime=\"0.8s\""); },
         Finding::WARNING,
         {{"_scripts/jets.xml", "Command 2", "effTime=\"0.8s\" is read as 0 (a whole number)"}}},
        {"emitters spelled the usual way",
         [](SmallShow& s) {
             std::string& f = s.texts[kFigure];
             for (size_t at; (at = f.find("<Emmiter")) != std::string::npos;)
                 f.replace(at, 8, "<Emitter");
         },
         Finding::WARNING,
         {{"_figures/row.xml", "Egroup",
           "no <Emmiter> element (spelled so), but <Emitter>: the figure has no emitters"},
          {"_scripts/jets.xml", "Command 1", "an empty range"},
          {"_scripts/jets.xml", "Command 2", "an empty range"}}},
        {"a missing sprite",
         [](SmallShow& s) { s.shipped["fSource.bmp"] = false; },
         Finding::ERROR,
         {{"fSource.bmp", "", "drawn without this sprite"}}},
        {"a missing shader",
         [](SmallShow& s) { s.shipped["shaders/ripple.fsh"] = false; },
         Finding::WARNING,
         {{"shaders/ripple.fsh", "", "the water is drawn without ripples"}}},
    };
}

TEST(ShowCheck, CleanSmallShowPassesAndEachMistakeIsFoundAloneWithItsWeight) {
    const CheckReport clean = Check(CleanSmallShow());
    EXPECT_EQ(0, clean.ExitStatus()) << AllLines(clean);
    EXPECT_TRUE(clean.findings.empty()) << AllLines(clean);

    for (const Mistake& m : Mistakes()) {
        SCOPED_TRACE(m.name);
        SmallShow show = CleanSmallShow();
        m.make(show);
        const CheckReport report = Check(show);
        EXPECT_EQ(m.severity == Finding::ERROR ? 2 : 1, report.ExitStatus()) << AllLines(report);
        ASSERT_EQ(m.findings.size(), report.findings.size()) << AllLines(report);
        for (size_t i = 0; i < m.findings.size(); ++i) {
            const Finding& f = report.findings[i];
            EXPECT_EQ(m.severity, f.severity) << FormatFinding(f);
            EXPECT_EQ(m.findings[i].file, f.file) << FormatFinding(f);
            EXPECT_NE(std::string::npos, f.element.find(m.findings[i].element)) << FormatFinding(f);
            EXPECT_NE(std::string::npos, f.text.find(m.findings[i].text)) << FormatFinding(f);
        }
    }
}

TEST(ShowCheck, LinesNameFileElementAndWeightAndTheProcessStateIsLeftAsItWas) {
    Finding f{Finding::ERROR, "_scripts/a.xml", "Command 3", "group 2"};
    EXPECT_EQ("_scripts/a.xml: Command 3: error: group 2", FormatFinding(f));
    f = Finding{Finding::WARNING, "", "", "x"};
    EXPECT_EQ(".: warning: x", FormatFinding(f));

    std::strcpy(g_dataDir, "/somewhere/data/");
    TempDir dir;
    const CheckReport missing = CheckShow(dir.path() + "nowhere");
    ASSERT_EQ(1u, missing.findings.size());
    EXPECT_EQ(2, missing.ExitStatus());
    EXPECT_NE(std::string::npos, missing.findings[0].text.find("there is no such folder"));
    Check(CleanSmallShow(), 5);
    EXPECT_STREQ("/somewhere/data/", g_dataDir);
    g_dataDir[0] = '\0';
}

// GLU makes every side a power of two near it; those stay as they are.
TEST(ShowCheck, RescaledSidesArePowersOfTwoNearTheGivenSide) {
    for (int side = 1; side <= 20000; side += (side < 300 ? 1 : 37)) {
        const int r = RescaledSide(side);
        EXPECT_EQ(0, r & (r - 1)) << side;
        EXPECT_GT(r, side * 2 / 3) << side;
        EXPECT_LT(r, side * 4 / 3 + 1) << side;
        if ((side & (side - 1)) == 0) {
            EXPECT_EQ(side, r);
        }
    }
}

}  // namespace
