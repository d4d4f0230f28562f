// Change-notifying graphics objects (font, pen, brush) and the code page 1251
// conversions.
#include <cstdlib>

#include "framework/Graphics.h"
#include "platform/Codepage.h"
#include "platform/Utf8.h"

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

namespace {
int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  const int64_t p = int64_t(a) * b;
  // Rounds half away from zero, as the platform's MulDiv.
  return int32_t(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}
}  // namespace

TFont::TFont() = default;

void TFont::Assign(const TFont& src) {
  if (this == &src || *this == src) return;
  FCharset = src.FCharset;
  FColor = src.FColor;
  FHeight = src.FHeight;
  FName = src.FName;
  FStyle = src.FStyle;
  Changed();
}

#define VX_SETTER(Class, Name, Type, Field) \
  void Class::Set##Name(Type v) {           \
    if (Field == v) return;                 \
    Field = v;                              \
    Changed();                              \
  }

VX_SETTER(TFont, Charset, uint8_t, FCharset)
VX_SETTER(TFont, Color, TColor, FColor)
VX_SETTER(TFont, Height, int32_t, FHeight)
VX_SETTER(TFont, Name, const std::string&, FName)
VX_SETTER(TFont, Style, TFontStyles, FStyle)
VX_SETTER(TPen, Color, TColor, FColor)
VX_SETTER(TPen, Width, int32_t, FWidth)
VX_SETTER(TPen, Style, TPenStyle, FStyle)
VX_SETTER(TPen, Mode, TPenMode, FMode)
VX_SETTER(TBrush, Color, TColor, FColor)
VX_SETTER(TBrush, Style, TBrushStyle, FStyle)
#undef VX_SETTER

void TBrush::SetBitmap(TBitmap* v) {
  // The brush refers to the pattern; the caller keeps it alive while it is used.
  if (FBitmap == v) return;
  FBitmap = v;
  Changed();
}

int32_t TFont::Size() const {
  return -MulDiv(FHeight, 72, 96);
}
void TFont::SetSize(int32_t points) {
  SetHeight(-MulDiv(points, 96, 72));
}

bool TFont::operator==(const TFont& o) const {
  return FCharset == o.FCharset && FColor == o.FColor && FHeight == o.FHeight && FName == o.FName &&
         FStyle == o.FStyle;
}

std::u16string AnsiToWide(std::string_view s) {
  return platform::Cp1251ToUtf16(s);
}
std::string WideToAnsi(std::u16string_view s) {
  return platform::Utf16ToCp1251(s);
}
std::string Utf8ToAnsi(std::string_view utf8) {
  return platform::Utf16ToCp1251(platform::utf::ToUtf16(std::string(utf8)));
}
std::string AnsiToUtf8(std::string_view ansi) {
  return platform::utf::ToUtf8(platform::Cp1251ToUtf16(ansi));
}
