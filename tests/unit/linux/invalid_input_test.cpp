// What the saver makes of input it cannot use: no settings, options files it
// may not or cannot use, documents nested too deeply, shows too large, and
// numbers that are not numbers.  Each case ends with the message of the
// file (or the default values) and the saver going on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "fountains/emitter.h"
#include "fountains/figure.h"
#include "fountains/figure_set.h"
#include "fountains/particle_system.h"
#include "host/data_directory.h"
#include "host/hack_launch.h"
#include "host/show_folder.h"
#include "options/options.h"
#include "options/xml_nesting.h"
#include "options/xml_read.h"
#include "platform/file.h"
#include "platform/signals.h"
#include "scenario/action_script.h"
#include "scenario/scenario.h"
#include "tests/support/host_fixture.h"
#include "tests/support/picture_files.h"
#include "tests/support/scoped_env.h"
#include "textures/texture.h"

using namespace plat;

namespace {

class InvalidInput : public HostFixture {
protected:
    size_t BoxesWith(const std::string& text) const {
        size_t n = 0;
        for (const auto& b : p.boxes) n += b.text.find(text) != std::string::npos;
        return n;
    }
    void OpenAndCloseSaverWindow() {
        App().ReadStartupOptions();
        const HWND h = App().CreateSaverWindow();
        ASSERT_NE(0u, h);
        DestroyWindow(h);
    }
};

// A file's size, modification time and mode, or that there is none.
struct FileState {
    bool exists = false;
    off_t size = 0;
    time_t mtime = 0;
    mode_t mode = 0;
    bool operator==(const FileState& o) const {
        return exists == o.exists && size == o.size && mtime == o.mtime && mode == o.mode;
    }
};
FileState StateOf(const std::string& path) {
    FileState s;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        s.exists = true;
        s.size = st.st_size;
        s.mtime = st.st_mtime;
        s.mode = st.st_mode;
    }
    return s;
}

// Runs check as an ordinary user: in a child process that gives up root
// when the tests run as root.  True when check passed.
bool AsUnprivilegedUser(const std::function<bool()>& check) {
    if (geteuid() != 0) return check();
    const pid_t pid = fork();
    if (pid == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST_F(InvalidInput, WithoutSettingsNothingIsReadOrWrittenAnywhere) {
    p.registry.clear();
    TempDir cwd, home;
    ScopedEnv env;
    env.Set("HOME", home.path());
    char before[4096];
    ASSERT_NE(nullptr, getcwd(before, sizeof before));
    ASSERT_EQ(0, chdir(cwd.path().c_str()));
    const FileState root = StateOf("/options.xml");

    OpenAndCloseSaverWindow();
    EXPECT_STREQ("", g_dataDir);
    // The options file's message, once though the file is read at start
    // and at window creation, named by the file; the initial values stay.
    EXPECT_EQ(1u, BoxesWith("Error opening file for reading"));
    EXPECT_EQ(0, g_options.IgnoreMouseMove);
    EXPECT_EQ(1, g_options.SleepEnabled);
    // Content files have no folder either.
    CScenario show;
    show.Load("defaultScenario.xml");
    EXPECT_FALSE(show.listsBuilt);

    EXPECT_EQ(0, chdir(before));
    EXPECT_TRUE(StateOf("/options.xml") == root);
    EXPECT_FALSE(cwd.Exists("options.xml"));
    EXPECT_FALSE(home.Exists("options.xml"));

    // A relative installation directory would depend on where the saver
    // was started: it counts as none.
    p.registry["HKLM\\" + std::string(kProductKey)]["Dir"] = "wavendell";
    ReadDataDirectory();
    EXPECT_STREQ("", g_dataDir);
}

TEST_F(InvalidInput, OptionsFileTheUserMayNotWriteIsLeftAsItIs) {
    const std::string text = "<OPTIONS><KeepAspect_1_6 v=\"1\"/></OPTIONS>\n";
    install.Write("data/options.xml", text);
    const std::string file = install.path() + "data/options.xml";
    // The folder is anyone's to write; the file is not.
    ASSERT_EQ(0, chmod(install.path().c_str(), 0777));
    ASSERT_EQ(0, chmod((install.path() + "data").c_str(), 0777));
    ASSERT_EQ(0, chmod(file.c_str(), 0444));
    const FileState state = StateOf(file);
    EXPECT_TRUE(AsUnprivilegedUser([&] {
        OpenAndCloseSaverWindow();
        return g_options.KeepAspect_1_6 == 1 && install.Read("data/options.xml") == text &&
               StateOf(file) == state;
    }));
}

// No options file, and a folder that may not take one: one message, and the
// saver shows the show all the same, with the initial options.  A box shown
// while the saver runs (a picture of the next scene that cannot be read)
// takes the focus as boxes do, and does not end it either.
TEST_F(InvalidInput, AnUnwritableFolderWithoutOptionsDoesNotEndTheSaver) {
    std::remove((install.path() + "data/options.xml").c_str());
    ASSERT_EQ(0, chmod(install.path().c_str(), 0755));
    ASSERT_EQ(0, chmod((install.path() + "data").c_str(), 0555));
    EXPECT_TRUE(AsUnprivilegedUser([&] {
        p.onMessageBox = [&] {
            if (App().m_hSaverWnd) p.SendMessage(App().m_hSaverWnd, WM_ACTIVATEAPP, 0, 0);
        };
        p.onPump = [&] {
            p.processClock += 11;
            if (p.pumps == 5) MessageBox(0, "Unable to load JPG File!", "next.jpg", MB_OK);
            if (p.pumps == 20) p.Inject(App().m_hSaverWnd, WM_KEYDOWN);
        };
        App().m_lpCmdLine = "/s";
        App().InitInstance();
        return p.pumps >= 20 && g_renderLog.frames >= 15 &&
               BoxesWith("Error opening file for reading") == 1 && g_options.IgnoreMouseMove == 0 &&
               !install.Exists("data/options.xml");
    }));
}

TEST_F(InvalidInput, BrokenOptionsFileIsKeptBesideTheNewOne) {
    const std::string typo = "<OPTIONS><KeepAspect_1_6 v=\"1\"></OPTIONS>\n";
    install.Write("data/options.xml", typo);
    install.Write("data/options.xml.broken", "an earlier one");
    OpenAndCloseSaverWindow();
    // Rewritten whole, the user's text kept under a free name and named in
    // a message.
    EXPECT_NE(std::string::npos, install.Read("data/options.xml").find("<SleepEnabled v=\"1\" />"));
    EXPECT_EQ("an earlier one", install.Read("data/options.xml.broken"));
    EXPECT_EQ(typo, install.Read("data/options.xml.broken-2"));
    EXPECT_EQ(1u, BoxesWith("options.xml.broken-2"));
    // A valid file is rewritten without another copy.
    OpenAndCloseSaverWindow();
    EXPECT_FALSE(install.Exists("data/options.xml.broken-3"));
}

// Runs check in a child process that a hang fails instead of stopping the
// tests.  True when check passed in time.
bool WithinSeconds(int seconds, const std::function<bool()>& check) {
    const pid_t pid = fork();
    if (pid == 0) {
        alarm((unsigned)seconds);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// FIFOs, a device and a folder where a show has files: each is refused
// unopened with its reader's message, and the saver goes on.
TEST_F(InvalidInput, SpecialFilesAreRefusedWithoutWaiting) {
    TempDir show;
    show.Write("_figures/pair.xml", "<Figure/>");
    show.Write("_scripts/jet.xml",
               "<Script><Uses><Figure figureId='1' file='fifo.xml'/></Uses></Script>");
    show.Write("s/scene.xml", "<Scene><Back file='back.jpg'/><Water file='dir'/></Scene>");
    for (const char* fifo :
         {"options.xml", "defaultScenario.xml", "_figures/fifo.xml", "s/back.jpg"})
        ASSERT_EQ(0, mkfifo((show.path() + fifo).c_str(), 0600));
    ASSERT_EQ(0, mkdir((show.path() + "s/dir").c_str(), 0700));
    ASSERT_EQ(0, symlink("/dev/zero", (show.path() + "device.xml").c_str()));
    EXPECT_TRUE(WithinSeconds(20, [&] {
        UseDataDir(show.path());
        std::string text, dataDir, problem;
        bool ok = ReadWholeFile(show.path() + "device.xml", 100, &text) == FileRead::NOT_A_FILE &&
                  !OpenFile((show.path() + "options.xml").c_str(), "rb") &&
                  !g_options.Load("options.xml") && !g_options.Save("options.xml") &&
                  !CheckShowFolder(show.path(), nullptr, &dataDir, &problem) &&
                  problem.find("is not a file") != std::string::npos;
        CScenario scenario;
        scenario.Load("defaultScenario.xml");
        CActionScript script;
        script.Load("jet.xml");
        CTexture back, water;
        back.LoadJPEG((show.path() + "s/back.jpg").c_str());
        water.LoadJPEG((show.path() + "s/dir").c_str());
        // options.xml (its save says nothing), the scenario, the figure,
        // two pictures.
        return ok && !scenario.listsBuilt && BoxesWith("Error opening file for reading") == 3 &&
               BoxesWith("Unable to load JPG File!") == 2;
    }));
}

// A linked options file, dangling or not, is neither followed nor replaced.
TEST_F(InvalidInput, ALinkedOptionsFileIsLeftAlone) {
    const std::string profile = install.Write("profile", "export A=1\n");
    const std::string link = install.path() + "data/options.xml";
    std::remove(link.c_str());
    ASSERT_EQ(0, symlink("../profile", link.c_str()));
    OpenAndCloseSaverWindow();
    EXPECT_EQ("export A=1\n", install.Read("profile"));
    EXPECT_TRUE(IsLink(link));
    EXPECT_FALSE(install.Exists("data/options.xml.broken"));
    EXPECT_EQ(1u, BoxesWith("The options file is a link"));
    ASSERT_EQ(0, unlink(profile.c_str()));
    OpenAndCloseSaverWindow();
    EXPECT_TRUE(IsLink(link));
    EXPECT_FALSE(install.Exists("profile"));
}

// What the saver says of its options file is so when it says it: nothing
// "written anew" that is not, one copy of a broken file however often it
// starts, the options of the show folder it plays, one separator a path.
TEST_F(InvalidInput, WhatItSaysOfTheOptionsFileIsTrue) {
    const std::string typo = "<OPTIONS><KeepAspect_1_6 v=\"1\"></OPTIONS>\n";
    const std::string file = install.Write("data/options.xml", typo);
    // The folder is anyone's to write; the file is not.
    ASSERT_EQ(0, chmod(install.path().c_str(), 0777));
    ASSERT_EQ(0, chmod((install.path() + "data").c_str(), 0777));
    ASSERT_EQ(0, chmod(file.c_str(), 0444));
    EXPECT_TRUE(AsUnprivilegedUser([&] {
        OpenAndCloseSaverWindow();
        OpenAndCloseSaverWindow();
        return !install.Exists("data/options.xml.broken") && BoxesWith("written anew") == 0;
    }));
    ASSERT_EQ(0, chmod(file.c_str(), 0644));
    for (int start = 0; start < 3; ++start) {
        install.Write("data/options.xml", typo);
        OpenAndCloseSaverWindow();
    }
    EXPECT_EQ(typo, install.Read("data/options.xml.broken"));
    EXPECT_FALSE(install.Exists("data/options.xml.broken-2"));
    EXPECT_EQ(3u, BoxesWith("It is kept as " + install.path() +
                            "data/options.xml.broken and "
                            "written anew."));
    for (const auto& b : p.boxes) EXPECT_EQ(std::string::npos, b.caption.find("/\\")) << b.caption;

    // A show folder of the user's, without installed settings: its options
    // are the ones read, with no message about a file elsewhere.
    p.registry.clear();
    p.boxes.clear();
    TempDir show;
    show.Write("defaultScenario.xml", "<Scenario/>");
    show.Write("options.xml", "<OPTIONS><SleepEnabled v=\"7\"/></OPTIONS>");
    HackLaunch launch;
    launch.hasData = true;
    launch.data = show.path();
    App().PrepareHack(launch);
    App().ReadStartupOptions();
    EXPECT_EQ(7, g_options.SleepEnabled);
    EXPECT_TRUE(p.boxes.empty());
}

// A termination signal during a save leaves the old file or the new one and
// no temporary file, and the process ends by that signal; an options file
// far over the size limit is kept without being read or copied.
TEST_F(InvalidInput, NoDebrisFromASignalOrAHugeOptionsFile) {
    TempDir dir;
    const std::string path = dir.path() + "options.xml";
    const std::string older(1 << 20, 'o'), newer(1 << 20, 'n');
    ASSERT_TRUE(ReplaceFile(path, older));
    for (int attempt = 0; attempt < 40; ++attempt) {
        const pid_t pid = fork();
        if (pid == 0) {
            EndProcessOnTerminationSignal();
            for (;;) ReplaceFile(path, newer);
        }
        usleep(1000 * (attempt % 10));
        kill(pid, SIGTERM);
        int raw = 0;
        waitpid(pid, &raw, 0);
        // Cleaned up, then ended by the signal itself.
        EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == SIGTERM) << "attempt " << attempt;
        EXPECT_EQ(std::vector<std::string>{"options.xml"}, dir.List()) << "attempt " << attempt;
        const std::string now = dir.Read("options.xml");
        EXPECT_TRUE(now == older || now == newer);
    }

    const std::string huge = install.path() + "data/options.xml";
    const int fd = open(huge.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(0, ftruncate(fd, 4ll << 30));  // sparse: no disk, all zeros
    close(fd);
    struct stat before, kept;
    ASSERT_EQ(0, stat(huge.c_str(), &before));
    OpenAndCloseSaverWindow();
    ASSERT_EQ(0, stat((huge + ".broken").c_str(), &kept));
    EXPECT_EQ(before.st_ino, kept.st_ino);  // the same file under a second name
    EXPECT_LT(RegularFileSize(huge), 1000);
    EXPECT_EQ(1u, BoxesWith("too large to hold options"));
}

std::string Nested(int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += "<a>";
    for (int i = 0; i < depth; ++i) s += "</a>";
    return s;
}

TEST(XmlNesting, CountsWhatTheParserWouldRecurseInto) {
    auto depth = [](const std::string& s) { return XmlNestingDepth(s.data(), s.size(), 1000); };
    EXPECT_EQ(3, depth(Nested(3)));
    // Empty elements, quoted '>' and '/', comments, CDATA and declarations
    // open nothing.
    EXPECT_EQ(1, depth("<?xml version='1.0'?><r><e a='x>' b=\"/\"/><e/><!-- <x> --></r>"));
    EXPECT_EQ(1, depth("<r><![CDATA[<a><b>]]><!DOCTYPE x><e b=x/></r>"));
    // Anything the parser might take as an open element counts.
    EXPECT_EQ(2, depth("<r><e / ></r>"));
    EXPECT_EQ(3, depth("</x></x><a><b><\xc3\xa9>"));
    const std::string deep = Nested(300000);
    EXPECT_EQ(1001, XmlNestingDepth(deep.data(), deep.size(), 1000));
}

TEST_F(InvalidInput, DeepDocumentIsNotWellFormedAndTheShowGoesOn) {
    UseDataDir(install.path() + "data/");
    install.Write("data/defaultScenario.xml", Nested(300000));
    CScenario show;
    show.Load("defaultScenario.xml");
    EXPECT_FALSE(show.listsBuilt);
    EXPECT_EQ(1u, BoxesWith("Error opening file for reading"));
    // A document at the limit still loads.
    install.Write("data/options.xml",
                  "<OPTIONS>" + Nested(kMaxXmlNesting - 2) + "<KeepAspect_1_6 v=\"3\"/></OPTIONS>");
    COptions options;
    EXPECT_TRUE(options.Load("options.xml"));
}

TEST_F(InvalidInput, CharacterCutOffByTheEndOfAFileIsReadNoFurther) {
    // The parser steps over the whole of a multi-byte character, past the
    // end of the text when the file ends within one.
    UseDataDir(install.path() + "data/");
    install.Write("data/_scripts/cut.xml", "<S><ActionScript><Command id='1' last=\"\xcc");
    install.Write("data/_figures/cut.xml", "<F><Formula/><Egroup><Emmiter x='\xe2\x82");
    CActionScript s;
    s.Load("cut.xml");
    CFigure f;
    f.Load("cut.xml", 0, 0, 0, 0);
    EXPECT_EQ(2u, BoxesWith("Error opening file for reading"));
}

std::string FigureOf(int emitters) {
    std::string s = "<F><Formula fid='1' count='1'/><Egroup id='1'>";
    for (int i = 0; i < emitters; ++i) s += "<Emmiter x='1' y='0' z='2'/>";
    return s + "</Egroup></F>";
}

TEST_F(InvalidInput, ShowsBeyondTheBoundsAreNotLoaded) {
    UseDataDir(install.path() + "data/");
    install.Write("data/_figures/huge.xml", FigureOf(kMaxEmittersPerScript + 1));
    install.Write("data/_figures/ring.xml", FigureOf(6));
    // The oversized figure stays empty with its message; the next loads.
    install.Write("data/_scripts/huge.xml",
                  "<S><Uses><Figure file='huge.xml'/><Figure file='ring.xml'/></Uses></S>");
    CActionScript huge;
    huge.Load("huge.xml");
    ASSERT_NE(nullptr, huge.figureSet);
    EXPECT_EQ(0, huge.figureSet->figures[0]->emitterCount);
    EXPECT_EQ(6, huge.figureSet->figures[1]->emitterCount);
    ASSERT_EQ(1u, p.boxes.size());
    EXPECT_EQ("huge.xml", p.boxes[0].caption);

    // A Uses list repeating a figure past the bound: the script is not
    // loaded at all.
    std::string uses = "<S><Uses>";
    for (int i = 0; i <= kMaxFiguresPerScript; ++i) uses += "<Figure file='ring.xml'/>";
    install.Write("data/_scripts/many.xml", uses + "</Uses></S>");
    CActionScript many;
    many.Load("many.xml");
    EXPECT_EQ(nullptr, many.figureSet);
    EXPECT_EQ("many.xml", p.boxes.back().caption);
    // Within the bound, the emitters of all figures share one budget.
    uses = "<S><Uses>";
    for (int i = 0; i < kMaxFiguresPerScript; ++i) uses += "<Figure file='ring.xml'/>";
    install.Write("data/_scripts/budget.xml", uses + "</Uses></S>");
    install.Write("data/_figures/ring.xml", FigureOf(kMaxEmittersPerScript / 16));
    CActionScript budget;
    budget.Load("budget.xml");
    int total = 0;
    for (int i = 0; i < budget.figureSet->count; ++i)
        total += budget.figureSet->figures[i]->emitterCount;
    EXPECT_EQ(kMaxEmittersPerScript, total);
}

TEST_F(InvalidInput, NumbersThatAreNotFiniteKeepTheDefaults) {
    UseDataDir(install.path() + "data/");
    install.Write("data/_figures/f.xml",
                  "<F><Formula fid='1'/><Egroup><Emmiter x='nan' y='inf' z='1e999'/>"
                  "<Emmiter x='3e38' y='-1e300' z='4'/></Egroup></F>");
    install.Write("data/_scripts/s.xml",
                  "<S><Uses><Figure file='f.xml' dx='inf'/></Uses><ActionScript>"
                  "<Command last='1' vx1='nan' vy1='0.4' vx2='1e999' vy2='-inf' Power='nan'"
                  " YPowerK='1e40' Angle1='inf' effTime='99999999999' effTimeD='-99999999999'"
                  " delayBS='2147483647' tShift='-2147483648' cycles='1e999' EType='0'/>"
                  "</ActionScript></S>");
    CActionScript s;
    s.Load("s.xml");
    ASSERT_EQ(1, s.commandCount);
    const CActionCommand& c = *s.commands[0];
    EXPECT_EQ(0.0f, c.vx1);  // nothing converted: the value before
    EXPECT_EQ(0.0f, c.vx2);
    EXPECT_EQ(0.0f, c.vy2);
    EXPECT_EQ(0.5f, c.Power);  // the default
    EXPECT_EQ(0.0f, c.Angle1);
    EXPECT_TRUE(std::isfinite(c.YPowerK));
    EXPECT_EQ(2147483647, c.effTime);  // the end of the range
    EXPECT_EQ(-2147483647 - 1, c.effTimeD);
    EXPECT_EQ(1, c.cycles);
    CFigure& f = *s.figureSet->figures[0];
    ASSERT_EQ(2, f.emitterCount);
    EXPECT_EQ(0.0f, f.emitters[0]->x);
    EXPECT_TRUE(std::isfinite(f.emitters[1]->x) && std::isfinite(f.emitters[1]->y));

    // Played across the tick's wrap, nothing overflows into the particles.
    p.tick = 0x7FFFF000u;
    bool hold = false;
    for (int frame = 0; frame < 600; ++frame) {
        p.tick += 11;
        if (s.Run((int32_t)p.tick, hold)) hold = true;
        s.SimulateParticles((int32_t)p.tick);
        for (int k = 0; k < f.emitterCount; ++k) {
            const CParticleSystem& ps = *f.particleSystems[k];
            for (int i = 0; i < ps.count; ++i) {
                const CParticle& q = ps.particles[i];
                ASSERT_TRUE(!q.live || std::isfinite(q.vx + q.vy + q.x + q.y)) << frame;
            }
        }
    }
}

TEST_F(InvalidInput, PicturesLoadedWithoutAContextMakeNoTexture) {
    // Tools load shows without a display: the picture is read, and nothing
    // is uploaded (the mipmap builder would fail without a context).
    install.Write("p.bmp",
                  BmpBytes(4, 4, 0, BgraPixels(4, 4, [](int, int) { return 0xFF336699u; })));
    CTexture t;
    t.LoadBMP((install.path() + "p.bmp").c_str());
    EXPECT_EQ(0u, t.name);
}

}  // namespace
