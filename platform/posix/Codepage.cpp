#include "platform/Codepage.h"

#include <errno.h>
#include <iconv.h>

#include <stdexcept>

namespace platform {

namespace {
// One conversion descriptor per direction, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : FCd(iconv_open(to, from)) {
    if (FCd == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(FCd); }
  // Converts in; on a byte sequence the target cannot hold, emits `bad` and skips
  // `skip` input bytes.
  std::string Run(const char* in, size_t len, const std::string& bad, size_t skip) {
    std::string out;
    out.resize(len * 4 + 8);
    char* src = const_cast<char*>(in);
    size_t srcLeft = len;
    size_t used = 0;
    iconv(FCd, nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      const size_t r = iconv(FCd, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != size_t(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {  // EILSEQ or EINVAL: replace and go on
        out.replace(used, bad.size(), bad);
        used += bad.size();
        const size_t n = skip < srcLeft ? skip : srcLeft;
        src += n;
        srcLeft -= n;
      }
      if (out.size() - used < 8) out.resize(out.size() * 2);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t FCd;
};
}  // namespace

std::u16string Cp1251ToUtf16(std::string_view s) {
  static Converter conv("UTF-16LE", "CP1251");
  const std::string bytes = conv.Run(s.data(), s.size(), std::string("\xFD\xFF", 2), 1);
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = char16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8);
  return out;
}

std::string Utf16ToCp1251(std::u16string_view s) {
  static Converter conv("CP1251", "UTF-16LE");
  std::string in(s.size() * 2, '\0');
  for (size_t i = 0; i < s.size(); ++i) {
    in[2 * i] = char(s[i] & 0xFF);
    in[2 * i + 1] = char(s[i] >> 8);
  }
  // A surrogate pair that cannot be mapped is skipped as two units, one '?' each.
  return conv.Run(in.data(), in.size(), "?", 2);
}

}  // namespace platform
