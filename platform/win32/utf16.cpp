#include "platform/win32/utf16.h"

#include <windows.h>

namespace plat {

std::wstring Utf16(const char* utf8) {
    if (!utf8 || !*utf8) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], n);
    wide.resize((size_t)n - 1);  // the terminator
    return wide;
}

std::string Utf8(const wchar_t* utf16) {
    if (!utf16 || !*utf16) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string text((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16, -1, &text[0], n, nullptr, nullptr);
    text.resize((size_t)n - 1);
    return text;
}

}  // namespace plat
