#include <gtest/gtest.h>

#include <memory>

#include "render/ripple_shader.h"
#include "tests/support/test_support.h"

namespace {

std::unique_ptr<char[]> Read(const std::string& path) {
    return std::unique_ptr<char[]>(ReadTextFile(path.c_str()));
}

TEST(RippleSource, WholeFileWithItsLineEnds) {
    TempDir dir;
    auto text = Read(dir.Write("a.vsh", "void main() {\n  gl_Position = ftransform();\n}\n"));
    ASSERT_TRUE(text);
    EXPECT_STREQ("void main() {\n  gl_Position = ftransform();\n}\n", text.get());
}

TEST(RippleSource, CarriageReturnLineEndsReadAsNewlines) {
    TempDir dir;
    auto text = Read(dir.Write("b.fsh", "uniform float time;\r\nvoid main() {}\r\n\rx"));
    ASSERT_TRUE(text);
    // A lone carriage return is kept; only CR LF pairs become LF.
    EXPECT_STREQ("uniform float time;\nvoid main() {}\n\rx", text.get());
}

TEST(RippleSource, EmptyMissingAndNullCountAsMissing) {
    TempDir dir;
    EXPECT_FALSE(Read(dir.Write("empty.vsh", "")));
    EXPECT_FALSE(Read(dir.path() + "absent.vsh"));
    EXPECT_EQ(nullptr, ReadTextFile(nullptr));
    EXPECT_FALSE(Read(dir.path()));  // a folder is no source file
}

TEST(RippleSource, BackslashPathsOpenTheSameFile) {
    TempDir dir;
    dir.Write("shaders/ripple.vsh", "x");
    auto text = Read(dir.path() + "shaders\\ripple.vsh");
    ASSERT_TRUE(text);
    EXPECT_STREQ("x", text.get());
}

}  // namespace
