// Where text crosses into Windows: the saver keeps text in UTF-8, the
// wide-character Win32 calls take UTF-16, so that any folder name, whatever
// the system's code page, reaches the file system as it is.
#pragma once

#include <string>

namespace plat {

// A malformed sequence becomes U+FFFD; a null pointer an empty text.
std::wstring Utf16(const char* utf8);
inline std::wstring Utf16(const std::string& utf8) { return Utf16(utf8.c_str()); }
std::string Utf8(const wchar_t* utf16);

}  // namespace plat
