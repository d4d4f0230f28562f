#include "controls/panel/NxSharedDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Rgb {
  int32_t r, g, b;
};

Rgb Split(TColor c) {
  c = ColorToRGB(c);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// One channel of BlendColors.
inline int32_t Blend(int32_t a, int32_t b, int32_t alpha) {
  return (a * alpha + b * (255 - alpha)) >> 8;
}

// 24-bit pixels are B, G, R in memory.
inline void Put24(uint8_t* p, int32_t r, int32_t g, int32_t b) {
  p[0] = static_cast<uint8_t>(b);
  p[1] = static_cast<uint8_t>(g);
  p[2] = static_cast<uint8_t>(r);
}

// What the canvas holds under (X, Y, W, H), as a 24-bit image.
std::unique_ptr<TBitmap> CopyUnder(TCanvas* Canvas, int32_t X, int32_t Y, int32_t W, int32_t H) {
  auto under = std::make_unique<TBitmap>(W, H, pf24bit);
  under->Canvas()->CopyRect({0, 0, W, H}, Canvas, {X, Y, X + W, Y + H});
  return under;
}

uint32_t TextFlags(TAlignment Alignment, bool NoPrefix) {
  uint32_t f = DT_SINGLELINE | DT_VCENTER | DT_EXTERNALLEADING | DT_END_ELLIPSIS;
  if (Alignment == taRightJustify)
    f |= DT_RIGHT;
  else if (Alignment == taCenter)
    f |= DT_CENTER;
  if (NoPrefix) f |= DT_NOPREFIX;
  return f;
}

// ---- embedded bitmaps: 8 x 7 chevrons, 'X' ink and '.' the pure green key.

struct EmbeddedBitmap {
  const char* name;
  const char* rows[7];
};

constexpr EmbeddedBitmap kEmbedded[] = {
    {"HEADERCOLLAPSE",
     {"...X...X", "..XX..XX", ".XX..XX.", "XX..XX..", ".XX..XX.", "..XX..XX", "...X...X"}},
    {"HEADEREXPAND",
     {"X...X...", "XX..XX..", ".XX..XX.", "..XX..XX", ".XX..XX.", "XX..XX..", "X...X..."}},
};

constexpr TColor kChevronInk = RGB(49, 52, 49);
constexpr TColor kChevronKey = RGB(0, 255, 0);

}  // namespace

TColor BlendColors(TColor A, TColor B, int32_t Alpha) {
  const Rgb a = Split(A), b = Split(B);
  return RGB(Blend(a.r, b.r, Alpha), Blend(a.g, b.g, Alpha), Blend(a.b, b.b, Alpha));
}

TColor MixColors(TColor C1, TColor C2, double Ratio) {
  const Rgb a = Split(C1), b = Split(C2);
  auto mix = [Ratio](int32_t c1, int32_t c2) {
    return static_cast<int32_t>(std::nearbyint(c2 * Ratio + (1 - Ratio) * c1));
  };
  return RGB(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
}

void DrawGradient(TCanvas* Canvas, const TRect& Rect, TColor Start, TColor End) {
  const int32_t h = Rect.Bottom - Rect.Top;
  if (h <= 0) return;
  for (int32_t y = Rect.Top; y < Rect.Bottom; ++y) {
    Canvas->Pen()->SetColor(MixColors(Start, End, static_cast<double>(y - Rect.Top) / h));
    Canvas->MoveTo(Rect.Left, y);
    Canvas->LineTo(Rect.Right, y);
  }
}

void DrawGlossyGradient(TCanvas* Canvas, const TRect& Rect, TColor TopColor, TColor BaseColor,
                        int32_t HighlightRows) {
  const int32_t w = Rect.Right - Rect.Left, h = Rect.Bottom - Rect.Top;
  if (w <= 0 || h <= 0) return;
  // Nothing to compose when the clip (a repaint elsewhere on the panel) misses it.
  if (IntersectRect(Rect, Canvas->ClipRect()).IsEmpty()) return;
  const TColor top = ColorToRGB(TopColor), base = ColorToRGB(BaseColor);
  TBitmap image(w, h, pf24bit);
  const int32_t c = w / 2;
  // The sheen's weight per column does not depend on the row.
  std::vector<int32_t> sheen(static_cast<size_t>(w));
  for (int32_t x = 0; x < w; ++x) sheen[x] = std::clamp(std::abs(c - x) * 2 + 100, 0, 255);
  for (int32_t r = 0; r < h; ++r) {
    const int32_t a1 = static_cast<int32_t>(std::nearbyint(static_cast<double>(r) / h * 255));
    TColor row = BlendColors(base, top, a1);
    if (r < HighlightRows) {
      const int32_t a2 =
          static_cast<int32_t>(std::nearbyint(static_cast<double>(r) / (2 * HighlightRows) * 255));
      row = BlendColors(row, clWhite, a2);
    }
    const int32_t rr = GetRValue(row), rg = GetGValue(row), rb = GetBValue(row);
    uint8_t* line = image.ScanLine(r);
    for (int32_t x = 0; x < w; ++x) {
      const int32_t v = sheen[x];
      Put24(line + 3 * x, Blend(rr, 255, v), Blend(rg, 255, v), Blend(rb, 255, v));
    }
  }
  Canvas->Draw(Rect.Left, Rect.Top, &image);
}

void DrawGlass(TCanvas* Canvas, const TRect& Rect) {
  const int32_t w = Rect.Right - Rect.Left, hh = Rect.Bottom / 2;
  if (w <= 0 || hh <= 0) return;
  auto image = CopyUnder(Canvas, Rect.Left, Rect.Top, w, hh);
  int32_t alpha = 150;
  for (int32_t y = 0; y < hh && alpha >= 0; ++y, alpha -= 7) {
    uint8_t* line = image->ScanLine(y);
    for (int32_t x = 0; x < 3 * w; ++x) line[x] = static_cast<uint8_t>(Blend(255, line[x], alpha));
  }
  Canvas->Draw(Rect.Left, Rect.Top, image.get());
}

void DrawTextRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, bool NoPrefix,
                  const std::u16string& Text) {
  TRect r = Rect;
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->DrawTextW(Text, r, TextFlags(Alignment, NoPrefix));
  Canvas->Brush()->SetStyle(bsSolid);
}

void DrawCaptionText(TCanvas* Canvas, const TRect& Rect, const std::u16string& Text,
                     bool RightToLeft) {
  TRect r = Rect;
  uint32_t flags =
      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXTERNALLEADING | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (RightToLeft) flags |= DT_RTLREADING;
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->DrawTextW(Text, r, flags);
  Canvas->Brush()->SetStyle(bsSolid);
}

void DrawDisabledText(TCanvas* Canvas, const TRect& Rect, const std::string& Text, bool NoPrefix,
                      TAlignment Alignment) {
  const uint32_t flags = TextFlags(Alignment, NoPrefix);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetColor(clBtnHighlight);
  TRect r = Rect.Offset(1, 1);
  Canvas->DrawText(Text, r, flags);
  Canvas->Font()->SetColor(clBtnShadow);
  r = Rect;
  Canvas->DrawText(Text, r, flags);
  Canvas->Brush()->SetStyle(bsSolid);
}

void MakeDisabledGlyph(TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty()) return;
  const int32_t w = Bitmap->Width(), h = Bitmap->Height();
  switch (Bitmap->PixelFormat()) {
    case pf24bit:
    case pf32bit: {
      const int32_t step = Bitmap->PixelFormat() == pf24bit ? 3 : 4;
      for (int32_t y = 0; y < h; ++y) {
        uint8_t* p = Bitmap->ScanLine(y);
        for (int32_t x = 0; x < w; ++x, p += step) {
          const auto grey = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
          p[0] = p[1] = p[2] = grey;
        }
      }
      return;
    }
    case pf4bit: {
      // The background (the bottom-left colour) is paper, everything else ink.
      const TColor key = Bitmap->GetPixel(0, h - 1);
      std::vector<uint8_t> ink(static_cast<size_t>(w) * h);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
          ink[static_cast<size_t>(y) * w + x] = Bitmap->GetPixel(x, y) != key;
      // The embossed picture needs colours a 16-colour palette may lack.
      Bitmap->SetPixelFormat(pf24bit);
      Bitmap->SetTransparentColor(key);
      const Rgb face = Split(clBtnFace), light = Split(clBtnHighlight), dark = Split(clBtnShadow);
      for (int32_t y = 0; y < h; ++y) {
        uint8_t* p = Bitmap->ScanLine(y);
        for (int32_t x = 0; x < w; ++x) Put24(p + 3 * x, face.r, face.g, face.b);
      }
      for (int32_t y = 0; y + 1 < h; ++y)
        for (int32_t x = 0; x + 1 < w; ++x)
          if (ink[static_cast<size_t>(y) * w + x])
            Put24(Bitmap->ScanLine(y + 1) + 3 * (x + 1), light.r, light.g, light.b);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
          if (ink[static_cast<size_t>(y) * w + x])
            Put24(Bitmap->ScanLine(y) + 3 * x, dark.r, dark.g, dark.b);
      return;
    }
    default:
      return;
  }
}

namespace {

template <class Combine>
void Composite(TCanvas* Canvas, int32_t X, int32_t Y, const TBitmap* Bitmap, Combine combine) {
  const int32_t w = Bitmap->Width(), h = Bitmap->Height();
  auto under = CopyUnder(Canvas, X, Y, w, h);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = Bitmap->ScanLine(y);
    uint8_t* d = under->ScanLine(y);
    for (int32_t x = 0; x < w; ++x, s += 4, d += 3) {
      const int32_t a = s[3];
      for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>(combine(s[i], d[i], a));
    }
  }
  Canvas->Draw(X, Y, under.get());
}

}  // namespace

void DrawGlyph(TCanvas* Canvas, int32_t X, int32_t Y, const TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty()) return;
  if (Bitmap->PixelFormat() == pf32bit) {
    Composite(Canvas, X, Y, Bitmap, [](int32_t s, int32_t d, int32_t a) { return Blend(s, d, a); });
    return;
  }
  Canvas->Draw(X, Y, Bitmap);
}

void TDrawProvider::DrawGlyph(TCanvas* Canvas, int32_t X, int32_t Y, const TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty()) return;
  if (Bitmap->PixelFormat() == pf32bit) {
    Composite(Canvas, X, Y, Bitmap, [](int32_t s, int32_t d, int32_t a) {
      const auto v =
          static_cast<int32_t>(std::nearbyint(s * a / 255.0) + std::nearbyint((1 - a / 255.0) * d));
      return std::min(255, v);
    });
    return;
  }
  Canvas->Draw(X, Y, Bitmap);
}

std::unique_ptr<TBitmap> LoadResourceBitmap(const std::string& Name) {
  for (const EmbeddedBitmap& e : kEmbedded) {
    if (Name != e.name) continue;
    auto b = std::make_unique<TBitmap>(8, 7, pf24bit);
    for (int32_t y = 0; y < 7; ++y)
      for (int32_t x = 0; x < 8; ++x)
        b->SetPixel(x, y, e.rows[y][x] == 'X' ? kChevronInk : kChevronKey);
    return b;
  }
  return nullptr;
}

void DrawResourceBitmap(TCanvas* Canvas, int32_t X, int32_t Y, TColor KeyColor,
                        const std::string& Name) {
  std::unique_ptr<TBitmap> b = LoadResourceBitmap(Name);
  if (!b) throw Exception("Bitmap resource \"" + Name + "\" not found");
  b->SetTransparentColor(KeyColor);
  b->SetTransparent(true);
  Canvas->Draw(X, Y, b.get());
}
