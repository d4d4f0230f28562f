// Text on the canvas: measuring, TextOut and the DrawText layout (lines, word
// break, ellipsis, prefixes, tabs, alignment), over the platform's font engine.
#include <algorithm>

#include "framework/Graphics.h"
#include "framework/Raster.h"
#include "platform/Font.h"

namespace {

// Advance of one character at pen position x (relative to the line start).
int32_t AdvanceAt(platform::FontFace* face, char16_t ch, int32_t x, int32_t tabWidth) {
  if (ch == u'\t' && tabWidth > 0) return (x / tabWidth + 1) * tabWidth - x;
  if (ch < 0x20) return 0;  // control characters take no room and show nothing
  return face->GetGlyph(ch).advance;
}

int32_t RunWidth(platform::FontFace* face, std::u16string_view s, int32_t tabWidth) {
  int32_t x = 0;
  for (char16_t ch : s) x += AdvanceAt(face, ch, x, tabWidth);
  return x;
}

// Draws the mask of one glyph at (x, y) (cell top-left, target coordinates) in a
// native colour, inside clip.
void DrawGlyph(TBitmap& b, const TRect& clip, const platform::Glyph& g, int32_t x, int32_t y,
               uint32_t color) {
  const TRect box = Bounds(x + g.left, y + g.top, g.w, g.h);
  const TRect d = IntersectRect(box, clip);
  if (d.IsEmpty()) return;
  const bool fast = b.PixelFormat() == pf32bit;
  for (int32_t py = d.Top; py < d.Bottom; ++py) {
    const uint8_t* m = g.mask.data() + size_t(py - box.Top) * g.w - box.Left;
    if (fast) {
      uint32_t* row = reinterpret_cast<uint32_t*>(b.ScanLine(py));
      for (int32_t px = d.Left; px < d.Right; ++px)
        if (m[px]) row[px] = color;
    } else {
      for (int32_t px = d.Left; px < d.Right; ++px)
        if (m[px]) raster::Write(b, px, py, color);
    }
  }
}

void HLine(TBitmap& b, const TRect& clip, int32_t x0, int32_t x1, int32_t y, uint32_t color) {
  const TRect d = IntersectRect({x0, y, x1, y + 1}, clip);
  for (int32_t x = d.Left; x < d.Right; ++x) raster::Write(b, x, y, color);
}

struct TextLine {
  std::u16string text;
  int32_t prefix = -1;  // index of the character to underline, -1 none
  int32_t width = 0;
};

}  // namespace

platform::FontFace* TCanvas::Face() {
  if (!FFace) {
    platform::FontRequest request;
    request.name = AnsiToWide(FFont.Name());
    request.height = FFont.Height();
    request.bold = FFont.Style() & fsBold;
    request.italic = FFont.Style() & fsItalic;
    request.charset = FFont.Charset();
    FFace = platform::OpenFontFace(request);
  }
  return FFace;
}

int32_t TCanvas::TextWidth(const std::string& text) {
  return TextExtent(text).X;
}
int32_t TCanvas::TextHeight(const std::string& text) {
  return TextExtent(text).Y;
}

TPoint TCanvas::TextExtent(const std::string& text) {
  platform::FontFace* face = Face();
  return {RunWidth(face, AnsiToWide(text), 0), face->Metrics().height};
}

void TCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  TextOutW(x, y, AnsiToWide(text));
}

void TCanvas::TextOutW(int32_t x, int32_t y, const std::u16string& text) {
  TRect r{x, y, x, y};
  DrawTextImpl(text, r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | 0x80000000u);
  FPenPos = {r.Right, y};
}

int32_t TCanvas::DrawText(const std::string& text, TRect& r, uint32_t flags) {
  return DrawTextImpl(AnsiToWide(text), r, flags);
}

int32_t TCanvas::DrawTextW(const std::u16string& text, TRect& r, uint32_t flags) {
  return DrawTextImpl(text, r, flags);
}

// Bit 31 of flags (internal): TextOut, which neither aligns nor clips to r and
// reports the pen position in r.Right.
int32_t TCanvas::DrawTextImpl(std::u16string text, TRect& r, uint32_t flags) {
  platform::FontFace* face = Face();
  const platform::FontMetrics& fm = face->Metrics();
  const bool textOut = flags & 0x80000000u;
  const bool single = flags & DT_SINGLELINE;
  const bool calc = flags & DT_CALCRECT;
  const int32_t tabWidth = (flags & DT_EXPANDTABS) ? 8 * std::max(1, fm.aveCharWidth) : 0;
  const int32_t lineH = fm.height + ((flags & DT_EXTERNALLEADING) ? fm.externalLeading : 0);
  const int32_t maxW = r.Width();

  // Prefixes: "&x" underlines x (the last one of a line counts), "&&" is one "&", a
  // final "&" is dropped.
  std::vector<int32_t> prefixAt;  // plain-text indexes of prefixed characters
  if (!(flags & DT_NOPREFIX)) {
    std::u16string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'&') {
        if (i + 1 >= text.size()) break;
        ++i;
        if (text[i] != u'&') prefixAt.push_back(int32_t(plain.size()));
      }
      plain += text[i];
    }
    text = std::move(plain);
  }

  // Lines: paragraphs at CR, LF or CR LF (unless single line), then word breaks.
  std::vector<TextLine> lines;
  auto addLine = [&](size_t b, size_t e) {
    TextLine l;
    l.text = text.substr(b, e - b);
    for (int32_t p : prefixAt)
      if (p >= int32_t(b) && p < int32_t(e)) l.prefix = p - int32_t(b);
    lines.push_back(std::move(l));
  };
  auto lineBreak = [&](size_t pb, size_t pe) {
    if (!(flags & DT_WORDBREAK)) {
      addLine(pb, pe);
      return;
    }
    size_t pos = pb;
    for (;;) {
      int32_t x = 0;
      size_t i = pos;
      size_t lastSpace = SIZE_MAX;
      while (i < pe) {
        const int32_t adv = AdvanceAt(face, text[i], x, tabWidth);
        if (text[i] == u' ') {
          lastSpace = i;
        } else if (x + adv > maxW && i > pos) {
          break;
        }
        x += adv;
        ++i;
      }
      if (i >= pe) {
        addLine(pos, pe);
        return;
      }
      size_t end = i, next = i;
      if (lastSpace != SIZE_MAX && lastSpace >= pos) {
        end = lastSpace;
        while (end > pos && text[end - 1] == u' ') --end;
        next = lastSpace + 1;
        if (end == pos) end = next = i;  // only blanks before: break inside the word
      }
      addLine(pos, end);
      while (next < pe && text[next] == u' ') ++next;
      pos = next;
      if (pos >= pe) return;
    }
  };
  if (single) {
    addLine(0, text.size());
  } else {
    size_t pb = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == u'\r' || text[i] == u'\n') {
        lineBreak(pb, i);
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
        pb = i + 1;
      }
    }
  }

  // Widths and end ellipses.
  const int32_t dotsW = RunWidth(face, u"...", 0);
  int32_t widest = 0;
  for (TextLine& l : lines) {
    l.width = RunWidth(face, l.text, tabWidth);
    if ((flags & DT_END_ELLIPSIS) && !textOut && l.width > maxW) {
      size_t k = l.text.size();
      while (k > 0 &&
             RunWidth(face, std::u16string_view(l.text).substr(0, k), tabWidth) + dotsW > maxW)
        --k;
      l.text = l.text.substr(0, k) + u"...";
      if (l.prefix >= int32_t(k)) l.prefix = -1;
      l.width = RunWidth(face, l.text, tabWidth);
    }
    widest = std::max(widest, l.width);
  }
  const int32_t total = lineH * int32_t(lines.size());

  if (calc) {
    if (!(flags & DT_WORDBREAK) || single || widest > maxW) r.Right = r.Left + widest;
    r.Bottom = r.Top + total;
    return total;
  }

  int32_t y = r.Top;
  if (single && !textOut) {
    if (flags & DT_VCENTER)
      y = r.Top + (r.Height() - lineH) / 2;
    else if (flags & DT_BOTTOM)
      y = r.Bottom - lineH;
  }
  const int32_t yStart = y;
  if (textOut) r.Right = r.Left + widest;
  if (!FTarget) return total;

  TRect clip = DeviceClip();
  if (!(flags & DT_NOCLIP)) clip = IntersectRect(clip, r.Offset(FOrigin.X, FOrigin.Y));
  const uint32_t color = raster::NativeOf(FFont.Color());
  const bool opaque = FBrush.Style() != bsClear;
  const uint32_t back = raster::NativeOf(FBrush.Color());
  const int32_t underlineY = std::min(fm.ascent + 1, fm.height - 1);
  const int32_t strikeY = fm.ascent - std::max(1, (fm.ascent - fm.internalLeading) / 3);
  for (const TextLine& l : lines) {
    int32_t x = r.Left;
    if (!textOut) {
      if (flags & DT_CENTER)
        x = r.Left + (r.Width() - l.width) / 2;
      else if (flags & DT_RIGHT)
        x = r.Right - l.width;
    }
    const int32_t dx = x + FOrigin.X, dy = y + FOrigin.Y;
    if (!clip.IsEmpty() &&
        !IntersectRect(clip, {dx - fm.height, dy, dx + l.width + fm.height, dy + lineH})
             .IsEmpty()) {
      if (opaque) {
        const TRect bg = IntersectRect({dx, dy, dx + l.width, dy + fm.height}, clip);
        for (int32_t py = bg.Top; py < bg.Bottom; ++py)
          HLine(*FTarget, bg, bg.Left, bg.Right, py, back);
      }
      int32_t pen = 0;
      for (size_t i = 0; i < l.text.size(); ++i) {
        const char16_t ch = l.text[i];
        const int32_t adv = AdvanceAt(face, ch, pen, tabWidth);
        if (ch >= 0x20) DrawGlyph(*FTarget, clip, face->GetGlyph(ch), dx + pen, dy, color);
        if (int32_t(i) == l.prefix)
          HLine(*FTarget, clip, dx + pen, dx + pen + adv, dy + underlineY, color);
        pen += adv;
      }
      if (FFont.Style() & fsUnderline)
        HLine(*FTarget, clip, dx, dx + l.width, dy + underlineY, color);
      if (FFont.Style() & fsStrikeOut) HLine(*FTarget, clip, dx, dx + l.width, dy + strikeY, color);
    }
    y += lineH;
  }
  if (single && (flags & (DT_VCENTER | DT_BOTTOM)) && !textOut) return yStart + lineH - r.Top;
  return total;
}

TCanvas* ScreenCanvas() {
  static TBitmap screen(1, 1, pf32bit);
  return screen.Canvas();
}
