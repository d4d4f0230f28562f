#include "platform/Codepage.h"

#include <windows.h>

namespace platform {

std::u16string Cp1251ToUtf16(std::string_view s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(1251, 0, s.data(), int(s.size()), nullptr, 0);
  std::u16string out(size_t(n > 0 ? n : 0), u'\0');
  if (n > 0)
    MultiByteToWideChar(1251, 0, s.data(), int(s.size()), reinterpret_cast<wchar_t*>(out.data()),
                        n);
  return out;
}

std::string Utf16ToCp1251(std::u16string_view s) {
  if (s.empty()) return {};
  const auto* w = reinterpret_cast<const wchar_t*>(s.data());
  const int n = WideCharToMultiByte(1251, 0, w, int(s.size()), nullptr, 0, "?", nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(1251, 0, w, int(s.size()), out.data(), n, "?", nullptr);
  return out;
}

}  // namespace platform
