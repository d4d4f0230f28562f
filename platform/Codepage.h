// Code page 1251 (Cyrillic) <-> UTF-16, independent of the system locale.
//
// Windows: MultiByteToWideChar / WideCharToMultiByte with code page 1251.
// Elsewhere: iconv ("CP1251" <-> "UTF-16LE"). Characters the code page cannot
// represent become '?'; byte 0x98 (unassigned) becomes U+FFFD. Nothing throws.
#pragma once

#include <string>
#include <string_view>

namespace platform {
std::u16string Cp1251ToUtf16(std::string_view s);
std::string Utf16ToCp1251(std::u16string_view s);
}  // namespace platform
