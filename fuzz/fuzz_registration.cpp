// The ~/.xscreensaver editor: for any input it either refuses, finds the
// saver already listed, or gives back every line of the input in order with
// our entry added, nothing lost (a line may gain the continuation that
// joins it to the entry).  Taking the entry out of what adding made gives
// the input's lines back (the continued line with a blank line after it);
// taking entries out of any input leaves a list in which neither adding nor
// taking out finds one of ours, and only removes bytes.
#include <algorithm>
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

// Whether after is before continued onto our entry, or given the separator
// it lacked before its continuation.
bool Continued(const std::string& before, const std::string& after) {
    if (after == before + "\\" || after == before + " \\n\\") return true;
    return !before.empty() && before.back() == '\\' &&
           after == before.substr(0, before.size() - 1) + " \\n\\";
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

// Whether got is in, or in with one line continued (and perhaps a blank
// line after it, where the list ended on our line).
bool BackAgain(const std::vector<std::string>& in, const std::vector<std::string>& got) {
    if (got == in) return true;
    if (got.size() != in.size() && got.size() != in.size() + 1) return false;
    const size_t blank = got.size() - in.size();
    for (size_t j = 0; j < in.size(); ++j) {
        if (got[j] == in[j]) continue;
        if (!Continued(in[j], got[j]) || (blank && !got[j + 1].empty())) return false;
        return std::equal(in.begin() + (long)j + 1, in.end(), got.begin() + (long)(j + 1 + blank));
    }
    return false;
}

// Whether got is text with some bytes taken out (and perhaps a newline added
// at the end).
bool OnlyTakenOut(const std::string& text, std::string got) {
    if (!got.empty() && got.back() == '\n' && (text.empty() || text.back() != '\n')) got.pop_back();
    size_t k = 0;
    for (char c : text)
        if (k < got.size() && got[k] == c) ++k;
    return k == got.size();
}

void CheckRemoval(const std::string& text, const std::string& entry) {
    std::string out, again, why;
    if (RemoveHackFromSettings(text, &out, &why) != UNREG_REMOVED) return;
    if (!OnlyTakenOut(text, out)) __builtin_trap();
    if (RemoveHackFromSettings(out, &again, &why) != UNREG_NOT_THERE) __builtin_trap();
    if (AddHackToSettings(out, entry, &again, &why) != REG_ADDED) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text((const char*)data, size);
    const std::string entry = HackProgramLine("/usr/libexec/xscreensaver");
    CheckRemoval(text, entry);
    std::string out, why;
    if (AddHackToSettings(text, entry, &out, &why) != REG_ADDED) return 0;
    const std::vector<std::string> in = Lines(text), got = Lines(out);
    const std::string lastEntry = entry.substr(0, entry.size() - 1);
    if (got.size() != in.size() + 1) __builtin_trap();
    bool added = false;
    for (size_t j = 0; j < got.size() && !added; ++j)
        added = (got[j] == entry || got[j] == lastEntry) && AddedAt(in, got, j);
    if (!added) __builtin_trap();
    std::string back;
    if (RemoveHackFromSettings(out, &back, &why) != UNREG_REMOVED) __builtin_trap();
    if (!BackAgain(in, Lines(back))) __builtin_trap();
    return 0;
}
