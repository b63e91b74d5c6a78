// The settings dialog's options of the hack form, end to end on the
// in-memory platform: the trail and letterbox overrides hold for the run
// and never reach the options file; "--data" plays a folder of the user's
// own (whose options file is then the one read and written), and a folder
// that will not do is named on standard error and the installed show used.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/show_folder.h"
#include "options/options.h"
#include "tests/support/host_fixture.h"

using namespace plat;

namespace {

const char kInstalledOptions[] =
    "<OPTIONS><KeepAspect_1_6 v=\"0\"/><DoNotUseAccumBuffer v=\"0\"/>"
    "<IgnoreMouseMove v=\"0\"/></OPTIONS>";

class LaunchOptionsTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        install.Write("data/options.xml", kInstalledOptions);
        p.foreign[500] = MemoryPlatform::Foreign{true, 320, 200};
    }
    // Runs the hack form with args until a few frames have been drawn, as
    // the program would with these arguments; returns standard error.
    std::string RunHack(std::vector<std::string> args) {
        const int start = p.pumps;
        p.onPump = [this, start] {
            p.processClock += 11;
            if (p.pumps - start == 6) p.foreign.erase(500);
        };
        args.insert(args.begin(), {"--window-id", "500"});
        App().m_args = args;
        testing::internal::CaptureStderr();
        App().InitInstance();
        return testing::internal::GetCapturedStderr();
    }
    std::string InstalledDataDir() const {
        std::string dir = install.path();
        dir.pop_back();
        return dir + "\\data\\";
    }
};

TEST_F(LaunchOptionsTest, TrailAndLetterboxOverrideTheFileForTheRunAndAreNotWritten) {
    EXPECT_EQ("", RunHack({"--no-trail", "--letterbox"}));
    EXPECT_GT(g_renderLog.frames, 0);
    EXPECT_EQ(1, g_options.DoNotUseAccumBuffer);
    EXPECT_EQ(1, g_options.KeepAspect_1_6);
    // The file was rewritten at window creation, with its own values.
    const std::string written = install.Read("data/options.xml");
    EXPECT_NE(std::string::npos, written.find("<DoNotUseAccumBuffer v=\"0\" />")) << written;
    EXPECT_NE(std::string::npos, written.find("<KeepAspect_1_6 v=\"0\" />")) << written;

    // The other way round over a file that asks for the opposite.
    TearDown();
    SetUp();
    install.Write("data/options.xml",
                  "<OPTIONS><KeepAspect_1_6 v=\"1\"/><DoNotUseAccumBuffer v=\"1\"/></OPTIONS>");
    EXPECT_EQ("", RunHack({"--trail", "--no-letterbox", "--root"}));
    EXPECT_EQ(0, g_options.DoNotUseAccumBuffer);
    EXPECT_EQ(0, g_options.KeepAspect_1_6);
    const std::string kept = install.Read("data/options.xml");
    EXPECT_NE(std::string::npos, kept.find("<DoNotUseAccumBuffer v=\"1\" />")) << kept;
    EXPECT_NE(std::string::npos, kept.find("<KeepAspect_1_6 v=\"1\" />")) << kept;

    // Without the options, the file decides.
    TearDown();
    SetUp();
    install.Write("data/options.xml", "<OPTIONS><DoNotUseAccumBuffer v=\"1\"/></OPTIONS>");
    EXPECT_EQ("", RunHack({}));
    EXPECT_EQ(1, g_options.DoNotUseAccumBuffer);
    EXPECT_EQ(0, g_options.KeepAspect_1_6);
}

TEST_F(LaunchOptionsTest, DataFolderIsPlayedAndItsOptionsFileIsTheOneReadAndWritten) {
    // A folder with a space in its name, given as one argument.
    install.Write("my show/defaultScenario.xml", "<Scenario/>");
    install.Write("my show/options.xml", "<OPTIONS><IgnoreMouseMove v=\"1\"/></OPTIONS>");
    EXPECT_EQ("", RunHack({"--data", install.path() + "my show", "--no-trail"}));
    EXPECT_EQ(install.path() + "my show/", std::string(g_dataDir));
    EXPECT_EQ(1, g_options.IgnoreMouseMove);
    EXPECT_EQ(1, g_options.DoNotUseAccumBuffer);
    const std::string mine = install.Read("my show/options.xml");
    EXPECT_NE(std::string::npos, mine.find("<IgnoreMouseMove v=\"1\" />")) << mine;
    EXPECT_NE(std::string::npos, mine.find("<DoNotUseAccumBuffer v=\"0\" />")) << mine;
    // The installed show's file is not touched.
    EXPECT_EQ(kInstalledOptions, install.Read("data/options.xml"));
    EXPECT_TRUE(p.boxes.empty());
}

TEST_F(LaunchOptionsTest, BadDataFolderIsNamedOnStandardErrorAndTheInstalledShowPlays) {
    install.Write("not a show/readme.txt", "hello");
    const struct {
        std::string given, why;
    } cases[] = {
        {install.path() + "nowhere", "there is no such folder"},
        {install.path() + "not a show/readme.txt", "is not a folder"},
        {install.path() + "not a show", "it has no defaultScenario.xml"},
        {"", "no folder given"},
    };
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        const std::string err = RunHack({"--data", c.given});
        EXPECT_EQ(InstalledDataDir(), std::string(g_dataDir)) << c.given;
        EXPECT_GT(g_renderLog.frames, 0) << c.given;
        // One line, naming the folder and why, and what happens instead.
        EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n')) << err;
        EXPECT_NE(std::string::npos, err.find("\"" + c.given + "\"")) << err;
        EXPECT_NE(std::string::npos, err.find(c.why)) << err;
        EXPECT_NE(std::string::npos, err.find("installed show instead")) << err;
    }
}

// XScreenSaver read back a "programs:" line it had wrapped inside the
// quoted folder: the space became the blanks before the break, the
// backslash and line break gone, and the next line's indentation.
const char kWrapped[] = "My   \t\t\t\t  Shows/copy show";

TEST_F(LaunchOptionsTest, WrappedDataFolderIsRecoveredAndSaidSo) {
    install.Write("My Shows/copy show/defaultScenario.xml", "<Scenario/>");
    const std::string err = RunHack({"--data", install.path() + kWrapped});
    EXPECT_EQ(install.path() + "My Shows/copy show/", std::string(g_dataDir));
    EXPECT_GT(g_renderLog.frames, 0);
    EXPECT_EQ("wavendell: --data \"" + install.path() +
                  "My   \\t\\t\\t\\t  Shows/copy show\" is no folder; playing \"" + install.path() +
                  "My Shows/copy show\", the path without the line break that wrapped it in "
                  "XScreenSaver's settings\n",
              err);
}

TEST(ShowFolder, WrappedPathIsTriedOnlyWhenThePathAsGivenNamesNoFolder) {
    EXPECT_EQ("My Shows/copy show", UnwrappedPath(kWrapped));
    EXPECT_EQ("/a b/c d", UnwrappedPath("/a \n\t\t  b/c\t\td"));
    EXPECT_EQ(" a b ", UnwrappedPath("\ta\n\nb \t"));
    // Runs of spaces alone are the folder's own.
    EXPECT_EQ("/two  spaces/x", UnwrappedPath("/two  spaces/x"));
    EXPECT_EQ("", UnwrappedPath(""));

    TempDir dir;
    dir.Write("My Shows/copy show/defaultScenario.xml", "<Scenario/>");
    std::string used, dataDir, problem;
    ASSERT_TRUE(FindShowFolder(dir.path() + kWrapped, nullptr, &used, &dataDir, &problem))
        << problem;
    EXPECT_EQ(dir.path() + "My Shows/copy show", used);
    EXPECT_EQ(dir.path() + "My Shows/copy show/", dataDir);
    // What the Browse button gives, and a path from home, wrapped as well.
    ASSERT_TRUE(FindShowFolder(dir.path() + kWrapped + "/defaultScenario.xml", nullptr, &used,
                               &dataDir, &problem));
    EXPECT_EQ(dir.path() + "My Shows/copy show/", dataDir);
    std::string home = dir.path();
    home.pop_back();
    ASSERT_TRUE(
        FindShowFolder(std::string("~/") + kWrapped, home.c_str(), &used, &dataDir, &problem));
    EXPECT_EQ("~/My Shows/copy show", used);
    EXPECT_EQ(dir.path() + "My Shows/copy show/", dataDir);

    // A folder really named with the blanks is the one played, and stays
    // the one named even when it is not a show.
    dir.Write(std::string("My   \t\t\t\t  Shows/copy show/readme.txt"), "");
    EXPECT_FALSE(FindShowFolder(dir.path() + kWrapped, nullptr, &used, &dataDir, &problem));
    EXPECT_EQ(dir.path() + kWrapped, used);
    EXPECT_EQ(0u, problem.find("it has no defaultScenario.xml")) << problem;
    dir.Write(std::string("My   \t\t\t\t  Shows/copy show/defaultScenario.xml"), "<Scenario/>");
    ASSERT_TRUE(FindShowFolder(dir.path() + kWrapped, nullptr, &used, &dataDir, &problem));
    EXPECT_EQ(dir.path() + kWrapped + "/", dataDir);

    // Neither form names a folder: the path as given is the one told.
    const std::string nowhere = dir.path() + "Other\t\t  Shows";
    EXPECT_FALSE(FindShowFolder(nowhere, nullptr, &used, &dataDir, &problem));
    EXPECT_EQ(nowhere, used);
    EXPECT_EQ("there is no such folder", problem);
    // An unwrapped path that is a file, not a show's folder, is not taken.
    dir.Write("Plain File", "");
    EXPECT_FALSE(FindShowFolder(dir.path() + "Plain\t\tFile", nullptr, &used, &dataDir, &problem));
    EXPECT_EQ(dir.path() + "Plain\t\tFile", used);
}

TEST(ShowFolder, FolderOrItsScenarioFileIsTakenAndEveryOtherPathRefused) {
    TempDir dir;
    dir.Write("show/defaultScenario.xml", "<Scenario/>");
    std::string dataDir, problem;
    ASSERT_TRUE(CheckShowFolder(dir.path() + "show", nullptr, &dataDir, &problem)) << problem;
    EXPECT_EQ(dir.path() + "show/", dataDir);
    ASSERT_TRUE(CheckShowFolder(dir.path() + "show/", nullptr, &dataDir, &problem));
    EXPECT_EQ(dir.path() + "show/", dataDir);
    // What a file chooser gives: the scenario file names its folder.
    ASSERT_TRUE(
        CheckShowFolder(dir.path() + "show/defaultScenario.xml", nullptr, &dataDir, &problem));
    EXPECT_EQ(dir.path() + "show/", dataDir);
    // "~/" is the home folder.
    std::string home = dir.path();
    home.pop_back();
    ASSERT_TRUE(CheckShowFolder("~/show", home.c_str(), &dataDir, &problem)) << problem;
    EXPECT_EQ(dir.path() + "show/", dataDir);

    dir.Write("odd/defaultScenario.xml/inner", "");
    dir.Write("other/scene.xml", "<Scene/>");
    const std::string tooLong = dir.path() + std::string(kShowFolderPathMax, 'x');
    dir.Write(tooLong.substr(dir.path().size()) + "/defaultScenario.xml", "<Scenario/>");
    const struct {
        std::string given, why;
    } refused[] = {
        {dir.path() + "missing", "there is no such folder"},
        {dir.path() + "other/scene.xml", "is not a folder"},
        {dir.path() + "other", "it has no defaultScenario.xml"},
        {dir.path() + "odd", "its defaultScenario.xml is not a file"},
        {tooLong, "its path is too long"},
        {"~/show", "there is no such folder"},  // no home: "~" is a name
    };
    for (const auto& r : refused) {
        dataDir = "unchanged";
        problem.clear();
        EXPECT_FALSE(CheckShowFolder(r.given, nullptr, &dataDir, &problem)) << r.given;
        EXPECT_EQ("unchanged", dataDir) << r.given;
        EXPECT_EQ(0u, problem.find(r.why)) << r.given << ": " << problem;
    }
    // A folder that cannot be listed (only for an unprivileged user: root
    // reads anything).
    if (geteuid() != 0) {
        dir.Write("closed/defaultScenario.xml", "<Scenario/>");
        chmod((dir.path() + "closed").c_str(), 0);
        EXPECT_FALSE(CheckShowFolder(dir.path() + "closed", nullptr, &dataDir, &problem));
        EXPECT_EQ(0u, problem.find("cannot be read")) << problem;
        chmod((dir.path() + "closed").c_str(), 0755);
    }
}

}  // namespace
