#include <gtest/gtest.h>

#include <cstring>

#include "host/data_directory.h"
#include "tests/support/test_support.h"

namespace {

class DataDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override { std::strcpy(g_dataDir, "unchanged"); }
    void Set(const char* hive, const std::string& dir) {
        scope.platform.registry[std::string(hive) + "\\" + kProductKey]["Dir"] = dir;
    }
    MemoryPlatformScope scope;
};

TEST_F(DataDirectoryTest, MachineKeyGivesDirWithDataAppended) {
    Set("HKLM", "/opt/fountains");
    Set("HKCU", "/home/x");
    ReadDataDirectory();
    EXPECT_STREQ("/opt/fountains\\data\\", g_dataDir);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(DataDirectoryTest, UserKeyWorksAfterTheFirstBox) {
    Set("HKCU", "/home/x");
    ReadDataDirectory();
    EXPECT_STREQ("/home/x\\data\\", g_dataDir);
    ASSERT_EQ(1u, scope.platform.boxes.size());
    EXPECT_EQ("Error", scope.platform.boxes[0].caption);
    EXPECT_EQ(
        "HKEY_LOCAL_MACHINE Registry not found! Please reinstall Corvel Vivaruzov Screen Saver",
        scope.platform.boxes[0].text);
}

TEST_F(DataDirectoryTest, NoKeyShowsBothBoxesAndKeepsTheDirectory) {
    ReadDataDirectory();
    EXPECT_STREQ("unchanged", g_dataDir);
    ASSERT_EQ(2u, scope.platform.boxes.size());
    EXPECT_EQ("Registry not found! Please reinstall Corvel Vivaruzov Screen Saver",
              scope.platform.boxes[1].text);
}

TEST_F(DataDirectoryTest, MissingOrOverLongValueLeavesItEmpty) {
    scope.platform.registry[std::string("HKLM\\") + kProductKey]["Other"] = "x";
    ReadDataDirectory();
    EXPECT_STREQ("", g_dataDir);

    Set("HKLM", "/" + std::string(504, 'd'));  // fits exactly with "\data\" and the terminator
    ReadDataDirectory();
    EXPECT_EQ(511u, std::strlen(g_dataDir));
    Set("HKLM", "/" + std::string(505, 'd'));
    ReadDataDirectory();
    EXPECT_STREQ("", g_dataDir);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

}  // namespace
