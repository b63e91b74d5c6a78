// Choosing the run mode from the command line.
#pragma once

#include <cstdint>
#include <string>

enum RunMode {
    MODE_SAVER = 0,
    MODE_CONFIGURE = 1,
    MODE_PREVIEW = 2,
    MODE_TEST_PREVIEW = 3,
    MODE_CHANGE_PASSWORD = 4,
};

// Lower case, locale-aware for multibyte text.
std::string LowerCommandLine(const std::string& text);
// Substring tests on the lowered text; later hits override earlier ones.
RunMode ChooseRunMode(const std::string& lowered);
// The decimal window handle read three characters after the first "/p"
// (from the third character when there is none).  0 when there is no number.
uintptr_t PreviewHandleFrom(const std::string& lowered);
