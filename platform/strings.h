// Small text helpers shared by the readers of plain-text files.
#pragma once

#include <string>

namespace plat {

// s without the blanks and tabs at either end.
inline std::string Trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace plat
