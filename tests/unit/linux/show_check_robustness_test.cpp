// wavendell-check never crashes or hangs on broken files: each one, put into
// a small show in every part a file can play (options, scene, script,
// figure, picture, sprite, and separately the scenario), ends the program
// with status 0, 1 or 2 within a bounded time.  The files are a handful made
// here and, when the folder is there, the fuzzing corpora in fuzz/corpus/.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/small_show.h"
#include "tests/support/test_support.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

const int kTimeoutMs = 60000;
// Corpora can hold thousands of files: this many of each, spread evenly.
const size_t kFilesPerCorpus = 25;

struct Outcome {
    bool ended = false;  // within the time allowed
    bool signalled = false;
    int status = -1;
};

Outcome RunChecker(const std::string& folder) {
    Outcome o;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {WAVENDELL_CHECK_BINARY, "--seconds", "20", folder};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return o;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return o;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    o.ended = true;
    o.signalled = WIFSIGNALED(status);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return o;
}

// The small show with bytes in every part but the scenario, or in the
// scenario alone.
SmallShow WithBytes(const std::string& bytes, bool asScenario) {
    SmallShow show = CleanSmallShow();
    if (asScenario) {
        show.texts["defaultScenario.xml"] = bytes;
        return show;
    }
    std::string& scenario = show.texts["defaultScenario.xml"];
    scenario.replace(scenario.find("</Scenes>"), 9, "<Scene path=\"odd\"/></Scenes>");
    scenario.replace(scenario.find("</Scenario>"), 11, "<Script action=\"odd.xml\"/></Scenario>");
    show.texts["options.xml"] = bytes;
    show.texts["odd/scene.xml"] =
        "<Scene><Back file=\"odd.jpg\"/><Water file=\"water.jpg\"/></Scene>";
    show.texts["odd/odd.jpg"] = bytes;
    show.pictures["odd/water.jpg"] = {64, 64};
    show.texts["_scripts/odd.xml"] = bytes;
    show.texts["_figures/odd.xml"] = bytes;
    // A script that plays the broken figure.
    std::string uses = show.texts["_scripts/jets.xml"];
    uses.replace(uses.find("</Uses>"), 7, "<Figure file=\"odd.xml\"/></Uses>");
    show.texts["_scripts/jets.xml"] = uses;
    show.shipped["particle7.bmp"] = false;
    show.texts["particle7.bmp"] = bytes;
    return show;
}

std::vector<std::string> HandMadeFiles() {
    std::string deep;
    for (int i = 0; i < 400; ++i) deep += "<Script><Uses>";
    std::string manyEmitters = "<Figure><Formula/><Egroup>";
    for (int i = 0; i < 5000; ++i) manyEmitters += "<Emmiter x=\"1\"/>";
    manyEmitters += "</Egroup></Figure>";
    return {
        "",
        "<Script><Uses><Figure file=",
        std::string("\0\xff\xfe<<<>>>&&;\x01", 12),
        deep,
        manyEmitters,
        "<Script><Uses><Figure file=\"odd.xml\"/><Figure file=\"../_scripts/odd.xml\"/></Uses>"
        "<ActionScript><Command group=\"0\" first=\"-2147483648\" last=\"2147483647\""
        " delayBS=\"2147483647\" tShift=\"2147483647\" effTime=\"-5\" effTimeD=\"2147483647\""
        " cycles=\"2147483647\" nextAfter=\"99999999999\" EType=\"7\" vx1=\"nan\" vy1=\"inf\""
        " vz1=\"-inf\" vx2=\"1e308\" vy2=\"1e308\" vz2=\"1e-320\"/><Other/><Command group=\"5\"/>"
        "</ActionScript></Script>",
        "<Scenario><Scenes><Scene path=\"\"/><Scene/><Scene path=\"../../..\"/></Scenes>"
        "<Script action=\"../defaultScenario.xml\" scenePath=\"\"/><Script action=\"\"/>"
        "<Script action=\"odd.xml\" enabled=\"x\"/></Scenario>",
        "<Figure><Formula count=\"-1\"/><Egroup><Emmiter x=\"1e39\" y=\"-1e39\" z=\"nan\"/>"
        "<Emmiter/></Egroup></Figure>",
        "<OPTIONS><KeepAspect_1_6 v=\"99999999999999999999\"/><OPTIONS/>",
    };
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> picked;
    const fs::path corpus = fs::path(WAVENDELL_SOURCE_DIR) / "fuzz" / "corpus";
    std::error_code ec;
    if (!fs::is_directory(corpus, ec)) return picked;
    for (const auto& target : fs::directory_iterator(corpus, ec)) {
        std::vector<std::string> files;
        for (const auto& f : fs::recursive_directory_iterator(target.path(), ec))
            if (f.is_regular_file(ec)) files.push_back(f.path().string());
        std::sort(files.begin(), files.end());
        const size_t step = std::max<size_t>(1, files.size() / kFilesPerCorpus);
        for (size_t i = 0; i < files.size(); i += step) picked.push_back(files[i]);
    }
    return picked;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ShowCheckRobustness, BrokenFilesEndTheCheckerWithAStatusWithinBoundedTime) {
    std::vector<std::pair<std::string, std::string>> cases;  // name, bytes
    int n = 0;
    for (const std::string& bytes : HandMadeFiles())
        cases.push_back({"hand-made " + std::to_string(++n), bytes});
    for (const std::string& path : CorpusFiles()) cases.push_back({path, ReadBytes(path)});

    for (const auto& c : cases) {
        for (bool asScenario : {false, true}) {
            TempDir dir;
            ASSERT_TRUE(WithBytes(c.second, asScenario).WriteTo(dir.path()));
            const auto start = std::chrono::steady_clock::now();
            const Outcome o = RunChecker(dir.path());
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            SCOPED_TRACE(c.first + (asScenario ? " as the scenario" : " in every part"));
            ASSERT_TRUE(o.ended) << "still running after " << kTimeoutMs / 1000 << " s";
            EXPECT_FALSE(o.signalled);
            EXPECT_TRUE(o.status >= 0 && o.status <= 2) << o.status;
            // Broken parts are found: never a clean report.
            if (!c.second.empty() || !asScenario) {
                EXPECT_NE(0, o.status);
            }
            EXPECT_LT(seconds, 30.0);
        }
    }
}

}  // namespace
