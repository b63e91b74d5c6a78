#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <memory>

#include "host/data_directory.h"
#include "platform/x11/registry_files.h"
#include "platform/x11/x11_platform.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_support.h"

namespace {

using plat::HKEY_CURRENT_USER;
using plat::HKEY_LOCAL_MACHINE;

const char kKeyFile[] = "CorvelScreenSavers/FreeWavendell";

class RegistryFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Unset("DISPLAY");
        env.Set("XDG_CONFIG_DIRS",
                dir.path() + "missing:relative/dir:" + dir.path() + "sys1:" + dir.path() + "sys2");
        env.Set("XDG_CONFIG_HOME", dir.path() + "user");
    }
    std::string Value(const std::string& file, const char* name, size_t size = 512) {
        std::vector<char> buf(size, '#');
        if (!plat::ReadRegistryFileValue(file, name, buf.data(), size)) return "<none>";
        return buf.data();
    }
    ScopedEnv env;
    TempDir dir;
};

TEST_F(RegistryFilesTest, MachineHiveIsTheFirstConfigDirHoldingTheKey) {
    EXPECT_EQ("", plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, kProductKey));
    dir.Write(std::string("sys2/") + kKeyFile, "Dir=/b\n");
    EXPECT_EQ(dir.path() + "sys2/" + kKeyFile,
              plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, kProductKey));
    dir.Write(std::string("sys1/") + kKeyFile, "Dir=/a\n");
    EXPECT_EQ(dir.path() + "sys1/" + kKeyFile,
              plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, kProductKey));
    // The user's hive is another directory.
    EXPECT_EQ("", plat::RegistryKeyFile(HKEY_CURRENT_USER, kProductKey));
    dir.Write(std::string("user/") + kKeyFile, "Dir=/u\n");
    EXPECT_EQ(dir.path() + "user/" + kKeyFile,
              plat::RegistryKeyFile(HKEY_CURRENT_USER, kProductKey));
}

TEST_F(RegistryFilesTest, MachineHiveEndsWithTheInstallationsConfigDirectory) {
    // After $XDG_CONFIG_DIRS (relative entries dropped), once.
    EXPECT_EQ((std::vector<std::string>{dir.path() + "missing", dir.path() + "sys1",
                                        dir.path() + "sys2", plat::kInstalledConfigDir}),
              plat::MachineHiveDirectories());
    env.Set("XDG_CONFIG_DIRS", std::string(plat::kInstalledConfigDir) + ":" + dir.path() + "sys1");
    EXPECT_EQ((std::vector<std::string>{plat::kInstalledConfigDir, dir.path() + "sys1"}),
              plat::MachineHiveDirectories());
    // Without the variable: /etc/xdg, then the installation's directory
    // unless that is /etc/xdg itself (an installation under /usr).
    env.Unset("XDG_CONFIG_DIRS");
    std::vector<std::string> expected = {"/etc/xdg"};
    if (std::string(plat::kInstalledConfigDir) != "/etc/xdg")
        expected.push_back(plat::kInstalledConfigDir);
    EXPECT_EQ(expected, plat::MachineHiveDirectories());
    EXPECT_EQ('/', plat::kInstalledConfigDir[0]);
}

TEST_F(RegistryFilesTest, UserHiveFallsBackToHomeConfig) {
    env.Unset("XDG_CONFIG_HOME");
    env.Set("HOME", dir.path() + "home");
    dir.Write(std::string("home/.config/") + kKeyFile, "Dir=/h\n");
    EXPECT_EQ(dir.path() + "home/.config/" + kKeyFile,
              plat::RegistryKeyFile(HKEY_CURRENT_USER, kProductKey));
    // A relative XDG_CONFIG_HOME is ignored as well.
    env.Set("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(dir.path() + "home/.config/" + kKeyFile,
              plat::RegistryKeyFile(HKEY_CURRENT_USER, kProductKey));
}

TEST_F(RegistryFilesTest, KeysThatLeaveTheHiveOrNameADirectoryDoNotExist) {
    dir.Write("escaped", "Dir=/x\n");
    dir.Write("sys1/CorvelScreenSavers/inner/file", "Dir=/x\n");
    EXPECT_EQ("", plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, "Software\\..\\escaped"));
    EXPECT_EQ("", plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, "Software\\CorvelScreenSavers\\inner"));
    EXPECT_EQ("",
              plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, "Software\\CorvelScreenSavers\\\\inner"));
    EXPECT_EQ("",
              plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, "Software\\CorvelScreenSavers/inner/file"));
    EXPECT_EQ("", plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, ""));
    EXPECT_EQ("", plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, nullptr));
    EXPECT_EQ(
        dir.path() + "sys1/CorvelScreenSavers/inner/file",
        plat::RegistryKeyFile(HKEY_LOCAL_MACHINE, "Software\\CorvelScreenSavers\\inner\\file"));
}

TEST_F(RegistryFilesTest, ValuesAreNameEqualsValueLines) {
    const std::string file = dir.Write("key",
                                       "# a comment\n"
                                       "; another=1\n"
                                       "\n"
                                       "no equals sign\n"
                                       "  Dir  =/opt/with spaces = and more \r\n"
                                       "dir=/second\n"
                                       "Empty=\n"
                                       "Last=no newline");
    EXPECT_EQ("/opt/with spaces = and more ", Value(file, "Dir"));
    EXPECT_EQ("/opt/with spaces = and more ", Value(file, "DIR"));  // the first line of a name
    EXPECT_EQ("", Value(file, "Empty"));
    EXPECT_EQ("no newline", Value(file, "Last"));
    EXPECT_EQ("<none>", Value(file, "another"));
    EXPECT_EQ("<none>", Value(file, "Missing"));
    EXPECT_EQ("<none>", Value(dir.path() + "no-such-file", "Dir"));
    EXPECT_EQ("<none>", Value("", "Dir"));
}

TEST_F(RegistryFilesTest, AValueThatDoesNotFitIsNotRead) {
    const std::string file = dir.Write("key", "Dir=" + std::string(9, 'v') + "\n");
    EXPECT_EQ(std::string(9, 'v'), Value(file, "Dir", 10));
    EXPECT_EQ("<none>", Value(file, "Dir", 9));
    char one[1] = {'#'};
    EXPECT_FALSE(plat::ReadRegistryFileValue(file, "Dir", one, 0));
    EXPECT_EQ('#', one[0]);
}

// The data directory through the real platform, without a display.
TEST_F(RegistryFilesTest, DataDirectoryPrefersTheMachineHive) {
    std::unique_ptr<plat::Platform> x11(plat::CreateX11Platform());
    plat::Install(x11.get());
    std::strcpy(g_dataDir, "unchanged");

    testing::internal::CaptureStderr();
    ReadDataDirectory();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_STREQ("unchanged", g_dataDir);
    EXPECT_EQ(
        "Error: HKEY_LOCAL_MACHINE Registry not found! Please reinstall Corvel Vivaruzov "
        "Screen Saver\n"
        "Error: Registry not found! Please reinstall Corvel Vivaruzov Screen Saver\n",
        err);

    dir.Write(std::string("user/") + kKeyFile, "Dir=/home/me/wavendell\n");
    testing::internal::CaptureStderr();
    ReadDataDirectory();
    err = testing::internal::GetCapturedStderr();
    EXPECT_STREQ("/home/me/wavendell\\data\\", g_dataDir);
    EXPECT_EQ(
        "Error: HKEY_LOCAL_MACHINE Registry not found! Please reinstall Corvel Vivaruzov "
        "Screen Saver\n",
        err);

    dir.Write(std::string("sys2/") + kKeyFile, "Dir=/usr/share/wavendell\n");
    testing::internal::CaptureStderr();
    ReadDataDirectory();
    err = testing::internal::GetCapturedStderr();
    EXPECT_STREQ("/usr/share/wavendell\\data\\", g_dataDir);
    EXPECT_EQ("", err);

    // A machine key without a usable value does not fall back to the user's.
    dir.Write(std::string("sys1/") + kKeyFile, "Dir=" + std::string(600, 'd') + "\n");
    ReadDataDirectory();
    EXPECT_STREQ("", g_dataDir);
    plat::Install(nullptr);
}

}  // namespace
