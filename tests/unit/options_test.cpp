#include <gtest/gtest.h>

#include "platform/file.h"

#include "options/options.h"
#include "options/xml_read.h"
#include "platform/globals.h"
#include "tests/support/test_support.h"

namespace {

const char kFreshFile[] =
    "<?xml version=\"1.0\" ?>\n"
    "<OPTIONS>\n"
    "    <KeepAspect_1_6 v=\"0\" />\n"
    "    <SoundsEnabled v=\"0\" />\n"
    "    <DoNotUseAccumBuffer v=\"0\" />\n"
    "    <SleepEnabled v=\"1\" />\n"
    "    <IgnoreMouseMove v=\"0\" />\n"
    "</OPTIONS>\n";

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_run = RunState();  // no message of an earlier test's file counts
        UseDataDir(dir.path());
    }
    COptions LoadFrom(const std::string& content) {
        dir.Write("options.xml", content);
        COptions o;
        o.Load("options.xml");
        return o;
    }
    MemoryPlatformScope scope;
    TempDir dir;
};

// Byte for byte as a text-mode file holds it (on Windows each newline is
// CR LF), and read back as it was written.
TEST_F(OptionsTest, FreshOptionsAreWrittenByteForByte) {
    COptions o;
    ASSERT_TRUE(o.Save("options.xml"));
    std::string expected;
    for (const char* c = kFreshFile; *c; ++c) {
#ifdef _WIN32
        if (*c == '\n') expected += '\r';
#endif
        expected += *c;
    }
    EXPECT_EQ(expected, dir.Read("options.xml"));
    EXPECT_FALSE(dir.Exists("options.xml.new"));
    COptions back;
    back.IgnoreMouseMove = 5;
    ASSERT_TRUE(back.Load("options.xml"));
    EXPECT_EQ(0, back.IgnoreMouseMove);
    EXPECT_EQ(1, back.SleepEnabled);
}

TEST_F(OptionsTest, MissingFileShowsMessageAndChangesNothing) {
    COptions o;
    o.IgnoreMouseMove = 5;
    EXPECT_FALSE(o.Load("options.xml"));
    EXPECT_EQ(5, o.IgnoreMouseMove);
    ASSERT_EQ(1u, scope.platform.boxes.size());
    EXPECT_EQ("Error opening file for reading", scope.platform.boxes[0].text);
    EXPECT_EQ(plat::DisplayPath((dir.path() + "\\options.xml").c_str()),
              scope.platform.boxes[0].caption);
}

TEST_F(OptionsTest, ElementWithoutValueGivesItsDefault) {
    COptions o = LoadFrom(
        "<OPTIONS><KeepAspect_1_6/><SoundsEnabled/><DoNotUseAccumBuffer/>"
        "<SleepEnabled/><IgnoreMouseMove/></OPTIONS>");
    EXPECT_EQ(0, o.KeepAspect_1_6);
    EXPECT_EQ(0, o.SoundsEnabled);
    EXPECT_EQ(0, o.DoNotUseAccumBuffer);
    EXPECT_EQ(1, o.SleepEnabled);
    EXPECT_EQ(1, o.IgnoreMouseMove);
}

TEST_F(OptionsTest, MissingElementsKeepInitialValues) {
    COptions o = LoadFrom("<OPTIONS/>");
    EXPECT_EQ(0, o.IgnoreMouseMove);
    EXPECT_EQ(1, o.SleepEnabled);
    EXPECT_TRUE(scope.platform.boxes.empty());
}

TEST_F(OptionsTest, ValuesAreReadAsDecimalPrefixes) {
    COptions o;
    o.KeepAspect_1_6 = 3;
    dir.Write("options.xml",
              "<X><KeepAspect_1_6 v=\"abc\"/><DoNotUseAccumBuffer v=\"7\"/>"
              "<IgnoreMouseMove v=\" 1x\"/><SoundsEnabled v=\"0x10\"/>"
              "<SleepEnabled v=\"-4\"/></X>");
    o.Load("options.xml");
    EXPECT_EQ(3, o.KeepAspect_1_6);  // letters only: unchanged
    EXPECT_EQ(7, o.DoNotUseAccumBuffer);
    EXPECT_EQ(1, o.IgnoreMouseMove);
    EXPECT_EQ(0, o.SoundsEnabled);  // hexadecimal gives 0
    EXPECT_EQ(-4, o.SleepEnabled);
    o.Save("options.xml");
    const std::string written = dir.Read("options.xml");
    EXPECT_NE(std::string::npos, written.find("<DoNotUseAccumBuffer v=\"7\" />"));
    EXPECT_NE(std::string::npos, written.find("<SleepEnabled v=\"-4\" />"));
    EXPECT_NE(std::string::npos, written.find("<OPTIONS>"));
}

TEST_F(OptionsTest, OnlyTheFirstElementOfANameCountsAndExtrasAreDropped) {
    COptions o = LoadFrom(
        "<?xml version=\"1.0\"?><!-- note --><OPTIONS><Other v=\"1\"/>"
        "<KeepAspect_1_6 v=\"1\"/><KeepAspect_1_6 v=\"0\"/></OPTIONS>");
    EXPECT_EQ(1, o.KeepAspect_1_6);
    o.Save("options.xml");
    const std::string written = dir.Read("options.xml");
    EXPECT_EQ(written.find("KeepAspect_1_6"), written.rfind("KeepAspect_1_6"));
    EXPECT_EQ(std::string::npos, written.find("Other"));
    EXPECT_EQ(std::string::npos, written.find("note"));
}

TEST_F(OptionsTest, NonElementNodeOfTheSameNameIsNotRead) {
    // A text node "KeepAspect_1_6" comes first; the element after it is not looked at.
    COptions o = LoadFrom("<OPTIONS>KeepAspect_1_6<KeepAspect_1_6 v=\"1\"/></OPTIONS>");
    EXPECT_EQ(0, o.KeepAspect_1_6);
}

TEST_F(OptionsTest, TruncatedFileShowsMessageAndChangesNothing) {
    COptions o = LoadFrom("<OPTIONS><KeepAspect_1_6 v=\"1\"");
    EXPECT_EQ(0, o.KeepAspect_1_6);
    EXPECT_EQ(1u, scope.platform.boxes.size());
}

TEST_F(OptionsTest, SaveReplacesTheFileWholeAndFailsSoftlyInAMissingDirectory) {
    dir.Write("options.xml", std::string(5000, 'x'));
    COptions o;
    o.SleepEnabled = 0;
    ASSERT_TRUE(o.Save("options.xml"));
    EXPECT_NE(std::string::npos, dir.Read("options.xml").find("<SleepEnabled v=\"0\" />"));
    EXPECT_EQ(std::string::npos, dir.Read("options.xml").find("xxx"));
    UseDataDir(dir.path() + "missing/");
    EXPECT_FALSE(o.Save("options.xml"));
}

TEST_F(OptionsTest, OverLongPathIsAFileThatCannotBeOpened) {
    UseDataDir(std::string(300, 'a') + "/");
    COptions o;
    o.IgnoreMouseMove = 2;
    EXPECT_FALSE(o.Load("options.xml"));
    EXPECT_EQ(2, o.IgnoreMouseMove);
    ASSERT_EQ(1u, scope.platform.boxes.size());
    EXPECT_FALSE(o.Save("options.xml"));
}

TEST(XmlAttributes, IntAndDoubleReadersFollowScanfRules) {
    TiXmlElement e("E");
    e.SetAttribute("a", " 12abc");
    e.SetAttribute("b", "x");
    e.SetAttribute("c", "-2.5e1q");
    int i = 9;
    ReadIntAttribute(&e, "a", &i, 4);
    EXPECT_EQ(12, i);
    ReadIntAttribute(&e, "b", &i, 4);
    EXPECT_EQ(12, i);
    ReadIntAttribute(&e, "missing", &i, 4);
    EXPECT_EQ(4, i);
    ReadIntAttribute(&e, "A", &i, 6);  // names are case-sensitive
    EXPECT_EQ(6, i);
    double d = 1;
    ReadDoubleAttribute(&e, "c", &d, 0);
    EXPECT_DOUBLE_EQ(-25.0, d);
    ReadDoubleAttribute(&e, "b", &d, 0);
    EXPECT_DOUBLE_EQ(-25.0, d);
    ReadDoubleAttribute(&e, "none", &d, 0.5);
    EXPECT_DOUBLE_EQ(0.5, d);
}

}  // namespace
