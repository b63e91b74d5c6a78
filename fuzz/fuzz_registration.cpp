// The ~/.xscreensaver editor: for any input it either refuses, finds the
// saver already listed, or gives back every line of the input in order with
// our entry added, nothing lost (a line may gain the continuation that
// joins it to the entry).
#include <sstream>
#include <string>
#include <vector>

#include "host/xscreensaver_registration.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool Continued(const std::string& before, const std::string& after) {
    return after == before + "\\" || after == before + " \\n\\";
}

// Whether got is in with one line added at j, the line before it perhaps
// continued onto it.
bool AddedAt(const std::vector<std::string>& in, const std::vector<std::string>& got, size_t j) {
    for (size_t i = 0, k = 0; i < got.size(); ++i) {
        if (i == j) continue;
        if (got[i] != in[k] && !(i + 1 == j && Continued(in[k], got[i]))) return false;
        ++k;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text((const char*)data, size);
    const std::string entry = HackProgramLine("/usr/libexec/xscreensaver");
    std::string out, why;
    if (AddHackToSettings(text, entry, &out, &why) != REG_ADDED) return 0;
    const std::vector<std::string> in = Lines(text), got = Lines(out);
    const std::string lastEntry = entry.substr(0, entry.size() - 1);
    if (got.size() != in.size() + 1) __builtin_trap();
    for (size_t j = 0; j < got.size(); ++j)
        if ((got[j] == entry || got[j] == lastEntry) && AddedAt(in, got, j)) return 0;
    __builtin_trap();
}
