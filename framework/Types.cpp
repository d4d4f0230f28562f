#include "framework/Types.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "platform/SysColors.h"

TColor ColorToRGB(TColor c) {
  if ((static_cast<uint32_t>(c) & 0xFF000000u) == 0xFF000000u)
    return static_cast<TColor>(platform::SysColor(c & 0xFF));
  return c;
}

TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? TRect{} : b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

std::string Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  char small[256];
  const int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  std::string out;
  if (n < 0) {
    va_end(ap2);
    return out;
  }
  if (n < int(sizeof small)) {
    out.assign(small, n);
  } else {
    out.resize(n + 1);
    std::vsnprintf(out.data(), out.size(), fmt, ap2);
    out.resize(n);
  }
  va_end(ap2);
  return out;
}
