#include <gtest/gtest.h>

#include "platform/x11/glx_swap_control.h"

namespace {

using namespace plat;

TEST(GlxSwapControl, ExtensionNamesMatchOnlyAsWholeWords) {
    const char* list = "GLX_ARB_create_context GLX_EXT_swap_control_tear GLX_MESA_swap_control";
    EXPECT_TRUE(HasGlxExtension(list, "GLX_ARB_create_context"));  // first
    EXPECT_TRUE(HasGlxExtension(list, "GLX_MESA_swap_control"));   // last
    EXPECT_FALSE(HasGlxExtension(list, "GLX_EXT_swap_control"));   // only a longer name
    EXPECT_FALSE(HasGlxExtension(list, "GLX_ARB_create"));         // only a prefix
    EXPECT_FALSE(HasGlxExtension(list, "swap_control"));           // only a suffix
    EXPECT_TRUE(HasGlxExtension("X GLX_EXT_swap_control_tear GLX_EXT_swap_control",
                                "GLX_EXT_swap_control"));  // after a longer name
    EXPECT_FALSE(HasGlxExtension(nullptr, "GLX_EXT_swap_control"));
    EXPECT_FALSE(HasGlxExtension("", "GLX_EXT_swap_control"));
    EXPECT_FALSE(HasGlxExtension(list, ""));
}

TEST(GlxSwapControl, IntervalZeroOnlyThroughWhatTheScreenOffers) {
    // Both offered (Mesa's DRI drivers): the EXT call, which names the window.
    EXPECT_EQ(SWAP_CONTROL_EXT,
              ChooseSwapControl("GLX_MESA_swap_control GLX_SGI_swap_control GLX_EXT_swap_control"));
    EXPECT_EQ(SWAP_CONTROL_MESA, ChooseSwapControl("GLX_SGI_swap_control GLX_MESA_swap_control"));
    // SGI alone cannot set 0: nothing is called.
    EXPECT_EQ(SWAP_CONTROL_NONE, ChooseSwapControl("GLX_SGI_swap_control"));
    // Xvfb's screen names none (its client library would still export them).
    EXPECT_EQ(SWAP_CONTROL_NONE,
              ChooseSwapControl("GLX_ARB_multisample GLX_EXT_visual_info GLX_OML_swap_method"));
    EXPECT_EQ(SWAP_CONTROL_NONE, ChooseSwapControl("GLX_EXT_swap_control_tear"));
    EXPECT_EQ(SWAP_CONTROL_NONE, ChooseSwapControl(nullptr));
    EXPECT_STREQ("GLX_EXT_swap_control", SwapControlName(SWAP_CONTROL_EXT));
    EXPECT_STREQ("GLX_MESA_swap_control", SwapControlName(SWAP_CONTROL_MESA));
    EXPECT_STREQ("none", SwapControlName(SWAP_CONTROL_NONE));
}

}  // namespace
