// DrawText layout, TextOut, the font engine's fallback and the code page.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Graphics.h"
#include "platform/Font.h"

namespace {

constexpr TColor kInk = clBlack;
constexpr TColor kBackground = 0x00E0FF;

std::unique_ptr<TBitmap> Page(int32_t w = 120, int32_t h = 60) {
  auto b = std::make_unique<TBitmap>(w, h, pf32bit);
  b->Canvas()->Brush()->SetColor(clWhite);
  b->Canvas()->FillRect({0, 0, w, h});
  b->Canvas()->Brush()->SetStyle(bsClear);
  b->Canvas()->Font()->SetColor(kInk);
  return b;
}

// Bounding box of the pixels of one colour (empty when there are none).
TRect Ink(const TBitmap& b, TColor c = kInk) {
  TRect r{b.Width(), b.Height(), 0, 0};
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) == c)
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
             std::max(r.Bottom, y + 1)};
  return r.IsEmpty() ? TRect{} : r;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

std::unique_ptr<TBitmap> Drawn(const std::string& text, TRect r, uint32_t flags, int32_t w = 120,
                               int32_t h = 60) {
  auto b = Page(w, h);
  b->Canvas()->DrawText(text, r, flags);
  return b;
}

TEST(Text, AlignmentShiftsTheInkExactly) {
  auto page = Page();
  TCanvas* m = page->Canvas();
  const int32_t tw = m->TextWidth("Hello"), th = m->TextHeight("Hello");
  ASSERT_GT(tw, 10);
  ASSERT_GT(th, 8);
  const TRect r{0, 0, 100, 40};
  const TRect left = Ink(*Drawn("Hello", r, DT_SINGLELINE));
  ASSERT_FALSE(left.IsEmpty());
  struct {
    uint32_t flags;
    int32_t dx, dy;
  } cases[] = {
      {DT_SINGLELINE | DT_RIGHT, 100 - tw, 0},
      {DT_SINGLELINE | DT_CENTER, (100 - tw) / 2, 0},
      {DT_SINGLELINE | DT_VCENTER, 0, (40 - th) / 2},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 100 - tw, 40 - th},
      {DT_VCENTER, 0, 0},  // vertical placement needs a single line
      {DT_RIGHT | DT_RTLREADING, 100 - tw, 0},
  };
  for (const auto& t : cases)
    EXPECT_EQ(Ink(*Drawn("Hello", r, t.flags)), left.Offset(t.dx, t.dy)) << std::hex << t.flags;
  TRect rr = r;
  EXPECT_EQ(m->DrawText("Hello", rr, DT_SINGLELINE), th);
  EXPECT_EQ(m->DrawText("Hello", rr, DT_SINGLELINE | DT_VCENTER), (40 - th) / 2 + th);
}

TEST(Text, ClipsToTheRectangleUnlessNoClip) {
  const TRect r{10, 10, 14, 30};
  const TRect clipped = Ink(*Drawn("WWWW", r, DT_SINGLELINE));
  EXPECT_GE(clipped.Left, 10);
  EXPECT_LE(clipped.Right, 14);
  EXPECT_GT(Ink(*Drawn("WWWW", r, DT_SINGLELINE | DT_NOCLIP)).Right, 20);
}

TEST(Text, EndEllipsisCutsToFit) {
  const std::string text = "Downloading the installation package";
  auto page = Page();
  TCanvas* m = page->Canvas();
  const int32_t width = 80;
  ASSERT_GT(m->TextWidth(text), width);
  size_t k = text.size();
  while (k > 0 && m->TextWidth(text.substr(0, k) + "...") > width) --k;
  ASSERT_GT(k, 2u);
  const auto cut = Drawn(text, {0, 0, width, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
  const auto expect = Drawn(text.substr(0, k) + "...", {0, 0, 120, 20}, DT_SINGLELINE);
  EXPECT_TRUE(SamePixels(*cut, *expect));
  EXPECT_LE(Ink(*cut).Right, width);
  TRect calc{0, 0, width, 0};
  m->DrawText(text, calc, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(calc.Right, width);
  // Text that fits is untouched.
  EXPECT_TRUE(SamePixels(*Drawn("Short", {0, 0, width, 20}, DT_SINGLELINE | DT_END_ELLIPSIS),
                         *Drawn("Short", {0, 0, width, 20}, DT_SINGLELINE)));
}

TEST(Text, PrefixesUnderlineAndDoubleAmpersands) {
  auto page = Page();
  TCanvas* m = page->Canvas();
  const int32_t fw = m->TextWidth("F");
  const auto prefixed = Drawn("&File", {0, 0, 100, 20}, DT_SINGLELINE);
  const auto plain = Drawn("File", {0, 0, 100, 20}, DT_SINGLELINE | DT_NOPREFIX);
  // The only difference is one underline row below the "F".
  TRect diff{1000, 1000, -1, -1};
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 100; ++x)
      if (prefixed->GetPixel(x, y) != plain->GetPixel(x, y)) {
        EXPECT_EQ(prefixed->GetPixel(x, y), kInk);
        diff = {std::min(diff.Left, x), std::min(diff.Top, y), std::max(diff.Right, x + 1),
                std::max(diff.Bottom, y + 1)};
      }
  EXPECT_EQ(diff.Height(), 1);
  EXPECT_LE(diff.Right, fw);
  EXPECT_GT(diff.Width(), fw / 2);
  EXPECT_GT(diff.Top, Ink(*plain).Top + 4);

  struct {
    const char* text;
    uint32_t flags;
    const char* same_as;  // drawn with DT_NOPREFIX
  } cases[] = {
      {"&&A", DT_SINGLELINE, "&A"},
      {"A&&B", DT_SINGLELINE, "A&B"},
      {"&&&A", DT_SINGLELINE | DT_NOPREFIX, "&&&A"},
      {"AB&", DT_SINGLELINE, "AB"},
  };
  for (const auto& t : cases)
    EXPECT_TRUE(SamePixels(*Drawn(t.text, {0, 0, 100, 20}, t.flags),
                           *Drawn(t.same_as, {0, 0, 100, 20}, DT_SINGLELINE | DT_NOPREFIX)))
        << t.text;
  TRect r{0, 0, 100, 20};
  EXPECT_EQ(m->DrawText("&&", r, DT_CALCRECT | DT_SINGLELINE), m->TextHeight("&"));
  EXPECT_EQ(r.Right, m->TextWidth("&"));
}

TEST(Text, CalcRectMeasures) {
  auto page = Page();
  TCanvas* m = page->Canvas();
  const int32_t th = m->TextHeight("X");
  struct {
    std::string text;
    uint32_t flags;
    TRect in;
    int32_t width, height;
  } cases[] = {
      {"", DT_CALCRECT, {5, 7, 5, 7}, 0, th},
      {"", DT_CALCRECT | DT_WORDBREAK, {5, 7, 50, 7}, 45, th},
      {"Hello", DT_CALCRECT | DT_SINGLELINE, {0, 0, 0, 0}, m->TextWidth("Hello"), th},
      {"Hello",
       DT_CALCRECT | DT_SINGLELINE | DT_VCENTER,
       {0, 0, 200, 200},
       m->TextWidth("Hello"),
       th},
      {"ab\ncd", DT_CALCRECT, {0, 0, 0, 0}, m->TextWidth("ab"), 2 * th},
      {"ab\r\ncd",
       DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX,
       {0, 0, 0, 0},
       m->TextWidth("ab\r\ncd"),
       th},
  };
  for (const auto& t : cases) {
    TRect r = t.in;
    EXPECT_EQ(m->DrawText(t.text, r, t.flags), t.height) << t.text;
    EXPECT_EQ(r.Left, t.in.Left);
    EXPECT_EQ(r.Top, t.in.Top);
    EXPECT_EQ(r.Width(), t.width) << t.text;
    EXPECT_EQ(r.Height(), t.height) << t.text;
  }
}

TEST(Text, WordBreakAtBlanks) {
  auto page = Page();
  TCanvas* m = page->Canvas();
  const int32_t th = m->TextHeight("X");
  const int32_t w = m->TextWidth("aaa bbb");
  TRect r{0, 0, w, 0};
  EXPECT_EQ(m->DrawText("aaa bbb ccc", r, DT_CALCRECT | DT_WORDBREAK), 2 * th);
  EXPECT_EQ(r, (TRect{0, 0, w, 2 * th}));  // the width is kept where the text fits
  r = {0, 0, w - 1, 0};
  EXPECT_EQ(m->DrawText("aaa bbb", r, DT_CALCRECT | DT_WORDBREAK), 2 * th);
  EXPECT_EQ(r.Width(), w - 1);
  // A word wider than the rectangle is broken inside; the width stays.
  r = {0, 0, m->TextWidth("aaa"), 0};
  EXPECT_EQ(m->DrawText("aaaaaa", r, DT_CALCRECT | DT_WORDBREAK), 2 * th);
  // Drawn: the second line lies one line lower, starting at the left again.
  const auto two = Drawn("aaa bbb ccc", {0, 0, w, 60}, DT_WORDBREAK);
  const auto line2 = Drawn("ccc", {0, th, w, 60}, DT_WORDBREAK);
  const auto line1 = Drawn("aaa bbb", {0, 0, w, 60}, DT_WORDBREAK);
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 120; ++x)
      ASSERT_EQ(two->GetPixel(x, y), y < th ? line1->GetPixel(x, y) : line2->GetPixel(x, y))
          << x << "," << y;
  // External leading adds to every line.
  const auto* face = platform::OpenFontFace({u"MS Sans Serif", -11, false, false, 1});
  r = {0, 0, w, 0};
  EXPECT_EQ(m->DrawText("aaa bbb ccc", r, DT_CALCRECT | DT_WORDBREAK | DT_EXTERNALLEADING),
            2 * (th + const_cast<platform::FontFace*>(face)->Metrics().externalLeading));
}

TEST(Text, TabsExpandToEightAverageWidths) {
  auto page = Page();
  TCanvas* m = page->Canvas();
  platform::FontFace* face = platform::OpenFontFace({u"MS Sans Serif", -11, false, false, 1});
  const int32_t stop = 8 * face->Metrics().aveCharWidth;
  TRect r{0, 0, 0, 0};
  m->DrawText("a\tb", r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(r.Width(), stop + m->TextWidth("b"));
}

TEST(Text, TextOutFillsWithASolidBrushAndMovesThePen) {
  auto b = Page();
  TCanvas* c = b->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(kBackground);
  c->TextOut(3, 4, "Hi");
  const TPoint ext = c->TextExtent("Hi");
  EXPECT_EQ(Ink(*b, kBackground).Left, 3);
  EXPECT_EQ(Ink(*b, kBackground).Top, 4);
  EXPECT_LE(Ink(*b, kBackground).Right, 3 + ext.X);
  EXPECT_EQ(Ink(*b, kBackground).Bottom, 4 + ext.Y);
  EXPECT_FALSE(Ink(*b).IsEmpty());
  EXPECT_EQ(c->PenPos(), (TPoint{3 + ext.X, 4}));
}

TEST(Text, UnderlineAndStrikeOutStyles) {
  auto plain = Drawn("Text", {0, 0, 100, 20}, DT_SINGLELINE);
  for (TFontStyles s : {TFontStyles(fsUnderline), TFontStyles(fsStrikeOut)}) {
    auto b = Page(120, 60);
    b->Canvas()->Font()->SetStyle(s);
    TRect r{0, 0, 100, 20};
    b->Canvas()->DrawText("Text", r, DT_SINGLELINE);
    // A full row of ink as wide as the text.
    int32_t rows = 0;
    const int32_t tw = b->Canvas()->TextWidth("Text");
    for (int32_t y = 0; y < 20; ++y) {
      bool full = true;
      for (int32_t x = 0; x < tw; ++x) full = full && b->GetPixel(x, y) == kInk;
      rows += full;
    }
    EXPECT_GE(rows, 1) << int(s);
  }
  // A font change reaches the engine: bold ink differs.
  auto bold = Page();
  bold->Canvas()->Font()->SetStyle(fsBold);
  TRect r{0, 0, 100, 20};
  bold->Canvas()->DrawText("Text", r, DT_SINGLELINE);
  EXPECT_FALSE(SamePixels(*bold, *plain));
}

TEST(Text, UnknownFaceFallsBackToTheSystemSansFace) {
  platform::FontFace* face = platform::OpenFontFace({u"No Such Face Vx", -11, false, false, 1});
  EXPECT_FALSE(face->FamilyName().empty());
#ifndef _WIN32
  EXPECT_EQ(face->FamilyName(),
            platform::OpenFontFace({u"sans-serif", -11, false, false, 1})->FamilyName());
#endif
  auto b = Page();
  b->Canvas()->Font()->SetName("No Such Face Vx");
  EXPECT_GT(b->Canvas()->TextWidth("Hello"), 10);
  TRect r{0, 0, 100, 20};
  b->Canvas()->DrawText("Hello", r, DT_SINGLELINE);
  EXPECT_FALSE(Ink(*b).IsEmpty());
  EXPECT_GT(face->Metrics().height, 8);
  EXPECT_EQ(face->Metrics().height, face->Metrics().ascent + face->Metrics().descent);
}

TEST(Text, RussianTextsRoundTripThroughCodePage1251) {
  const std::string ansi = Utf8ToAnsi("Загрузчик 1.0");
  EXPECT_EQ(ansi, "\xC7\xE0\xE3\xF0\xF3\xE7\xF7\xE8\xEA 1.0");
  EXPECT_EQ(AnsiToUtf8(ansi), "Загрузчик 1.0");
  EXPECT_EQ(AnsiToWide(ansi), u"Загрузчик 1.0");
  EXPECT_EQ(WideToAnsi(u"Загрузчик 1.0"), ansi);
  EXPECT_EQ(WideToAnsi(u"Ёё№"), "\xA8\xB8\xB9");
  EXPECT_EQ(WideToAnsi(u"a\u65E5b"), "a?b");  // not in the code page
  EXPECT_EQ(AnsiToWide(""), u"");
  // Cyrillic text is drawn with real glyphs (not empty boxes of one kind).
  auto a = Page();
  auto b = Page();
  TRect r{0, 0, 100, 20};
  a->Canvas()->DrawText(Utf8ToAnsi("Загрузчик"), r, DT_SINGLELINE);
  b->Canvas()->DrawText(Utf8ToAnsi("Прервано"), r, DT_SINGLELINE);
  EXPECT_FALSE(Ink(*a).IsEmpty());
  EXPECT_FALSE(SamePixels(*a, *b));
}

}  // namespace
