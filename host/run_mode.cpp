#include "host/run_mode.h"

#include <cctype>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <vector>

std::string LowerCommandLine(const std::string& text) {
    std::setlocale(LC_CTYPE, "");
    std::mbstate_t state{};
    const char* src = text.c_str();
    size_t n = std::mbsrtowcs(nullptr, &src, 0, &state);
    if (n == (size_t)-1) {
        // Not valid in the locale's encoding: lower the ASCII letters only.
        std::string out = text;
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        return out;
    }
    std::vector<wchar_t> wide(n + 1);
    src = text.c_str();
    state = std::mbstate_t{};
    std::mbsrtowcs(wide.data(), &src, n + 1, &state);
    for (size_t i = 0; i < n; ++i) wide[i] = (wchar_t)std::towlower((wint_t)wide[i]);
    const wchar_t* wsrc = wide.data();
    state = std::mbstate_t{};
    size_t m = std::wcsrtombs(nullptr, &wsrc, 0, &state);
    if (m == (size_t)-1) return text;
    std::string out(m, '\0');
    wsrc = wide.data();
    state = std::mbstate_t{};
    std::wcsrtombs(&out[0], &wsrc, m, &state);
    return out;
}

static bool Has(const std::string& s, const char* what) {
    return s.find(what) != std::string::npos;
}

RunMode ChooseRunMode(const std::string& t) {
    RunMode mode = (Has(t, "/s") || Has(t, "-s")) ? MODE_SAVER : MODE_CONFIGURE;
    if (Has(t, "/a") || Has(t, "-a")) mode = MODE_CHANGE_PASSWORD;
    if (Has(t, "/p") || Has(t, "-p")) mode = MODE_PREVIEW;
    if (Has(t, "/testpreview")) mode = MODE_TEST_PREVIEW;
    return mode;
}

uintptr_t PreviewHandleFrom(const std::string& t) {
    size_t found = t.find("/p");
    long long pos = (found == std::string::npos) ? -1 : (long long)found;
    long long from = pos + 3;
    if (from < 0 || from >= (long long)t.size()) return 0;
    // Leading white space, an optional sign, digits up to the first non-digit.
    const char* p = t.c_str() + from;
    while (std::isspace((unsigned char)*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    unsigned long long value = 0;
    for (; std::isdigit((unsigned char)*p); ++p) {
        value = value * 10 + (unsigned)(*p - '0');
        if (value > UINT32_MAX) return 0;  // no window has such a handle
    }
    return negative ? (uintptr_t)(-(long long)value) : (uintptr_t)value;
}
