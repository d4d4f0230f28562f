// Colour arithmetic, scheme table, margins and the shared canvas routines, drawn
// into off-screen bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controls/panel/NxCollection.h"
#include "controls/panel/NxSharedDraw.h"
#include "controls/panel/NxThemesSupport.h"

namespace {

std::unique_ptr<TBitmap> Filled(int32_t w, int32_t h, TColor c, TPixelFormat pf = pf32bit) {
  auto b = std::make_unique<TBitmap>(w, h, pf);
  b->Canvas()->Brush()->SetColor(c);
  b->Canvas()->FillRect({0, 0, w, h});
  return b;
}

TEST(PanelDraw, BlendColors) {
  struct Case {
    TColor a, b;
    int32_t alpha;
    TColor want;
  } cases[] = {
      {clWhite, clBlack, 0, 0x000000},
      {clWhite, clBlack, 255, 0xFEFEFE},
      {0x0000FF, 0xFF0000, 128, 0x7E007F},
      {0x102030, 0x302010, 64,
       RGB((0x30 * 64 + 0x10 * 191) >> 8, (0x20 * 255) >> 8, (0x10 * 64 + 0x30 * 191) >> 8)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BlendColors(c.a, c.b, c.alpha), c.want)
        << std::hex << c.a << " " << c.b << " " << c.alpha;
    EXPECT_EQ(TMaskProvider::BlendColors(c.a, c.b, c.alpha), c.want);
  }
  // System colours are resolved before the arithmetic.
  EXPECT_EQ(BlendColors(clWindow, clBlack, 255), BlendColors(ColorToRGB(clWindow), clBlack, 255));
}

TEST(PanelDraw, MixColorsRoundsHalfToEven) {
  struct Case {
    TColor c1, c2;
    double ratio;
    TColor want;
  } cases[] = {
      {clBlack, 0x010101, 0.5, 0x000000},   // 0.5 -> 0
      {clBlack, clWhite, 0.5, 0x808080},    // 127.5 -> 128
      {0x030303, 0x000000, 0.5, 0x020202},  // 1.5 -> 2
      {0x123456, 0xABCDEF, 0.0, 0x123456}, {0x123456, 0xABCDEF, 1.0, 0xABCDEF},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MixColors(c.c1, c.c2, c.ratio), c.want)
        << std::hex << c.c1 << " " << c.c2 << " " << c.ratio;
  EXPECT_EQ(MixColors(clWindow, clBlack, 0), ColorToRGB(clWindow));
}

TEST(PanelDraw, GradientRows) {
  auto b = Filled(10, 8, 0x00FF00);
  DrawGradient(b->Canvas(), {2, 1, 8, 1}, clBlack, clWhite);  // height 0
  DrawGradient(b->Canvas(), {2, 3, 8, 2}, clBlack, clWhite);  // negative height
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(b->GetPixel(x, y), 0x00FF00);

  DrawGradient(b->Canvas(), {2, 1, 8, 2}, 0x102030, clWhite);  // height 1: the start colour
  EXPECT_EQ(b->GetPixel(2, 1), 0x102030);
  EXPECT_EQ(b->GetPixel(7, 1), 0x102030);
  EXPECT_EQ(b->GetPixel(8, 1), 0x00FF00);  // right edge excluded
  EXPECT_EQ(b->GetPixel(1, 1), 0x00FF00);

  // Four rows from black to 0x404040: 0, 0x10, 0x20, 0x30; never the end colour.
  DrawGradient(b->Canvas(), {0, 3, 10, 7}, clBlack, 0x404040);
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(b->GetPixel(5, 3 + i), 0x101010 * i) << i;
  EXPECT_EQ(b->GetPixel(5, 7), 0x00FF00);
}

TEST(PanelDraw, GlossyBandOfTheMainWindow) {
  // 415 x 24 drawn at (1, 2) of a larger image: nothing outside it changes.
  auto b = Filled(420, 30, 0x00FF00);
  DrawGlossyGradient(b->Canvas(), {1, 2, 416, 26}, 12424044, clWhite, 12);
  auto at = [&](int32_t x, int32_t row) { return b->GetPixel(1 + x, 2 + row); };
  for (int32_t x = 0; x < 415; ++x) ASSERT_EQ(at(x, 0), 0xFDFDFD) << x;
  EXPECT_EQ(at(0, 12), RGB(180, 199, 220));
  EXPECT_EQ(at(207, 12), RGB(225, 232, 240));
  EXPECT_EQ(at(0, 23), RGB(246, 248, 250));
  // The sheen is symmetric about the centre column and flat 78 pixels away from it.
  for (int32_t row : {5, 12, 20}) {
    for (int32_t d = 1; d <= 207; ++d)
      ASSERT_EQ(at(207 - d, row), at(207 + d, row)) << row << " " << d;
    EXPECT_EQ(at(207 - 78, row), at(0, row));
    EXPECT_NE(at(207 - 70, row), at(0, row));
  }
  for (int32_t x = 0; x < 420; ++x) {
    ASSERT_EQ(b->GetPixel(x, 1), 0x00FF00);
    ASSERT_EQ(b->GetPixel(x, 26), 0x00FF00);
  }
  for (int32_t y = 0; y < 30; ++y) {
    ASSERT_EQ(b->GetPixel(0, y), 0x00FF00);
    ASSERT_EQ(b->GetPixel(416, y), 0x00FF00);
  }
  DrawGlossyGradient(b->Canvas(), {5, 27, 5, 30}, clBlack, clBlack, 3);  // empty: nothing
  DrawGlossyGradient(b->Canvas(), {5, 27, 9, 27}, clBlack, clBlack, 3);
  for (int32_t x = 0; x < 12; ++x) EXPECT_EQ(b->GetPixel(x, 27), 0x00FF00);
}

TEST(PanelDraw, GlassWhitensTheUpperRows) {
  struct Case {
    int32_t bottom, whitened;
  } cases[] = {{27, 13}, {60, 22}, {1, 0}};
  for (const Case& c : cases) {
    auto b = Filled(20, 64, clBlack);
    DrawGlass(b->Canvas(), {2, 0, 18, c.bottom});
    for (int32_t y = 0; y < 64; ++y) {
      const int32_t v = y < c.whitened ? (255 * (150 - 7 * y)) >> 8 : 0;
      ASSERT_EQ(b->GetPixel(5, y), RGB(v, v, v)) << c.bottom << " row " << y;
      ASSERT_EQ(b->GetPixel(1, y), clBlack);
      ASSERT_EQ(b->GetPixel(18, y), clBlack);
    }
  }
}

TEST(PanelDraw, DisabledGlyphs) {
  TBitmap b24(2, 1, pf24bit);
  b24.SetPixel(0, 0, RGB(255, 0, 0));
  b24.SetPixel(1, 0, RGB(10, 20, 33));
  MakeDisabledGlyph(&b24);
  EXPECT_EQ(b24.GetPixel(0, 0), RGB(85, 85, 85));
  EXPECT_EQ(b24.GetPixel(1, 0), RGB(21, 21, 21));

  TBitmap b32(1, 1, pf32bit);
  uint8_t* p = b32.ScanLine(0);
  p[0] = 30, p[1] = 60, p[2] = 90, p[3] = 77;
  MakeDisabledGlyph(&b32);
  EXPECT_EQ(p[0], 60);
  EXPECT_EQ(p[1], 60);
  EXPECT_EQ(p[2], 60);
  EXPECT_EQ(p[3], 77);

  TBitmap b8(1, 1, pf8bit);
  b8.SetPixel(0, 0, RGB(200, 0, 0));
  const TColor before = b8.GetPixel(0, 0);
  MakeDisabledGlyph(&b8);
  EXPECT_EQ(b8.GetPixel(0, 0), before);
}

TEST(PanelDraw, DisabledFourBitGlyphIsEmbossed) {
  // A 4 x 4 glyph: white background, one black ink pixel at (1, 1).
  TBitmap b(4, 4, pf4bit);
  std::vector<TColor> palette(16, clWhite);
  palette[0] = clBlack;
  palette[15] = clWhite;
  b.SetPalette(palette);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) b.SetPixel(x, y, clWhite);
  b.SetPixel(1, 1, clBlack);
  MakeDisabledGlyph(&b);
  EXPECT_EQ(b.GetPixel(1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(b.GetPixel(2, 2), ColorToRGB(clBtnHighlight));
  for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {3, 3}, {0, 3}, {2, 1}})
    EXPECT_EQ(b.GetPixel(x, y), ColorToRGB(clBtnFace)) << x << "," << y;
}

TEST(PanelDraw, ThirtyTwoBitGlyphsBlendByTheirFourthByte) {
  TBitmap glyph(1, 1, pf32bit);
  uint8_t* p = glyph.ScanLine(0);
  p[0] = p[1] = p[2] = 200;
  p[3] = 128;
  auto panel = Filled(3, 3, RGB(100, 100, 100));
  DrawGlyph(panel->Canvas(), 1, 1, &glyph);
  EXPECT_EQ(panel->GetPixel(1, 1), RGB(149, 149, 149));  // (200*128 + 100*127) >> 8
  EXPECT_EQ(panel->GetPixel(0, 0), RGB(100, 100, 100));
  auto button = Filled(3, 3, RGB(100, 100, 100));
  TDrawProvider::DrawGlyph(button->Canvas(), 1, 1, &glyph);
  EXPECT_EQ(button->GetPixel(1, 1), RGB(150, 150, 150));  // Round(100.4) + Round(49.8)
}

TEST(PanelDraw, KeyedGlyphsLeaveTheirTransparentColourOut) {
  TBitmap glyph(2, 1, pf24bit);
  glyph.SetPixel(0, 0, clRed);
  glyph.SetPixel(1, 0, clBlue);
  glyph.SetTransparentColor(clRed);
  glyph.SetTransparent(true);
  auto b = Filled(4, 1, clLime);
  DrawGlyph(b->Canvas(), 1, 0, &glyph);
  EXPECT_EQ(b->GetPixel(1, 0), clLime);
  EXPECT_EQ(b->GetPixel(2, 0), clBlue);
}

TEST(PanelDraw, ChevronBitmaps) {
  const char* collapse[7] = {"...X...X", "..XX..XX", ".XX..XX.", "XX..XX..",
                             ".XX..XX.", "..XX..XX", "...X...X"};
  const char* expand[7] = {"X...X...", "XX..XX..", ".XX..XX.", "..XX..XX",
                           ".XX..XX.", "XX..XX..", "X...X..."};
  for (auto [name, rows] :
       {std::pair{"HEADERCOLLAPSE", collapse}, std::pair{"HEADEREXPAND", expand}}) {
    auto b = Filled(12, 10, clWhite);
    DrawResourceBitmap(b->Canvas(), 2, 1, 65280, name);
    for (int32_t y = 0; y < 7; ++y)
      for (int32_t x = 0; x < 8; ++x)
        ASSERT_EQ(b->GetPixel(2 + x, 1 + y), rows[y][x] == 'X' ? RGB(49, 52, 49) : clWhite)
            << name << " " << x << "," << y;
  }
  auto b = Filled(12, 10, clWhite);
  EXPECT_THROW(DrawResourceBitmap(b->Canvas(), 0, 0, 65280, "NOSUCHBITMAP"), Exception);
}

TEST(PanelDraw, DisabledTextLeavesTheShadowColour) {
  auto b = Filled(60, 20, ColorToRGB(clBtnFace));
  b->Canvas()->Font()->SetColor(clRed);
  DrawDisabledText(b->Canvas(), {0, 0, 60, 20}, "Wg", false, taLeftJustify);
  EXPECT_EQ(b->Canvas()->Font()->Color(), clBtnShadow);
  EXPECT_EQ(b->Canvas()->Brush()->Style(), bsSolid);
  bool highlight = false, shadow = false;
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      highlight |= b->GetPixel(x, y) == ColorToRGB(clBtnHighlight);
      shadow |= b->GetPixel(x, y) == ColorToRGB(clBtnShadow);
    }
  EXPECT_TRUE(highlight);
  EXPECT_TRUE(shadow);
}

TEST(PanelDraw, TextPrefixes) {
  // With prefixes an ampersand is not drawn; without, it is: the two differ.
  auto withPrefix = Filled(80, 20, clWhite), noPrefix = Filled(80, 20, clWhite);
  for (auto* b : {withPrefix.get(), noPrefix.get()}) b->Canvas()->Font()->SetColor(clBlack);
  DrawTextRect(withPrefix->Canvas(), {0, 0, 80, 20}, taLeftJustify, false, u"&&&A");
  DrawTextRect(noPrefix->Canvas(), {0, 0, 80, 20}, taLeftJustify, true, u"&&&A");
  bool differ = false;
  for (int32_t y = 0; y < 20 && !differ; ++y)
    for (int32_t x = 0; x < 80 && !differ; ++x)
      differ = withPrefix->GetPixel(x, y) != noPrefix->GetPixel(x, y);
  EXPECT_TRUE(differ);
  EXPECT_EQ(withPrefix->Canvas()->Brush()->Style(), bsSolid);
}

TEST(PanelDraw, TextAlignmentAndEllipsis) {
  auto inkRange = [](TBitmap& b) {
    int32_t lo = b.Width(), hi = -1;
    for (int32_t y = 0; y < b.Height(); ++y)
      for (int32_t x = 0; x < b.Width(); ++x)
        if (b.GetPixel(x, y) != clWhite) {
          lo = std::min(lo, x);
          hi = std::max(hi, x);
        }
    return std::pair{lo, hi};
  };
  std::vector<std::pair<int32_t, int32_t>> ranges;
  for (TAlignment a : {taLeftJustify, taCenter, taRightJustify}) {
    auto b = Filled(120, 20, clWhite);
    b->Canvas()->Font()->SetColor(clBlack);
    DrawTextRect(b->Canvas(), {10, 0, 110, 20}, a, false, u"Mid");
    ranges.push_back(inkRange(*b));
  }
  EXPECT_LT(ranges[0].first, 15);
  EXPECT_GT(ranges[2].second, 104);
  EXPECT_LE(ranges[2].second, 109);
  EXPECT_LT(ranges[0].first, ranges[1].first);
  EXPECT_LT(ranges[1].first, ranges[2].first);
  EXPECT_LE(std::abs((ranges[1].first + ranges[1].second) - 120), 3);

  // Too long for the rectangle: cut inside it.
  auto b = Filled(120, 20, clWhite);
  b->Canvas()->Font()->SetColor(clBlack);
  DrawCaptionText(b->Canvas(), {10, 0, 60, 20}, std::u16string(40, u'W'), false);
  auto [lo, hi] = inkRange(*b);
  EXPECT_GE(lo, 10);
  EXPECT_LT(hi, 60);
  EXPECT_GT(hi, 40);
}

TEST(PanelSchemes, PublishedSlots) {
  struct Row {
    int32_t slot;
    TColor colors[6];  // csBlack .. csBlack2010
  } rows[] = {
      {2, {6050636, 13603685, 7630959, 12426628, 11906213, 3881787}},
      {3, {15921648, 16773091, 15921648, 15061183, 14736342, 8750469}},
      {9, {0, 9126421, 9126421, 9126421, 9126421, 9126421}},
      {11, {13222589, 16765615, 15196122, 15196122, 15196122, 15196122}},
      {12, {15921648, 16773091, 16316406, 16316406, 16316406, 16316406}},
      {13, {11972007, 13603685, 7630959, 12426628, 11906213, 3881787}},
      {18, {10526878, 15323064, 12761010, 12761010, 12761010, 12761010}},
  };
  for (const Row& r : rows) {
    for (int s = 0; s < 6; ++s)
      EXPECT_EQ(SchemeColor(r.slot, static_cast<TColorScheme>(csBlack + s)), r.colors[s])
          << "slot " << r.slot << " scheme " << s + 1;
  }
  for (int32_t slot = 0; slot < 24; ++slot)
    EXPECT_EQ(SchemeColor(slot, csDefault), SchemeColor(slot, csBlue)) << slot;
  EXPECT_EQ(SchemeColor(3, csDefault), 16773091);
  EXPECT_THROW(SchemeColor(24, csBlue), Exception);
  EXPECT_THROW(SchemeColor(-1, csBlue), Exception);
  EXPECT_THROW(SchemeColor(0, static_cast<TColorScheme>(7)), Exception);
}

TEST(PanelSchemes, VisualStyles) {
#ifdef _WIN32
  // The answer depends on the system's theme; asking twice gives the same answer.
  EXPECT_EQ(IsThemed(), IsThemed());
#else
  EXPECT_FALSE(IsThemed());
#endif
}

TEST(PanelMargins, EverySetterNotifiesAndAssignCopiesInOrder) {
  std::vector<std::string> log;
  TNxMargins m;
  m.OnChange = [&](TObject* s) {
    auto* x = static_cast<TNxMargins*>(s);
    log.push_back(std::to_string(x->Left()) + "," + std::to_string(x->Top()) + "," +
                  std::to_string(x->Bottom()) + "," + std::to_string(x->Right()));
  };
  m.SetLeft(0);  // same value: notifies all the same
  EXPECT_EQ(log.size(), 1u);

  TNxMargins src;
  src.SetLeft(1);
  src.SetTop(2);
  src.SetBottom(3);
  src.SetRight(4);
  log.clear();
  m.Assign(&src);
  EXPECT_EQ(log, (std::vector<std::string>{"1,0,0,0", "1,2,0,0", "1,2,3,0", "1,2,3,4"}));

  TNxIndent indent;
  indent.SetLeft(7);
  indent.SetTop(8);
  log.clear();
  m.Assign(&indent);  // an indent copies only Left and Top
  EXPECT_EQ(log, (std::vector<std::string>{"7,2,3,4", "7,8,3,4"}));

  TNxIndent copy;
  int notified = 0;
  copy.OnChange = [&](TObject*) { ++notified; };
  copy.Assign(&src);
  EXPECT_EQ(notified, 2);
  EXPECT_EQ(copy.Left(), 1);
  EXPECT_EQ(copy.Top(), 2);

  TComponent other(nullptr);
  EXPECT_THROW(m.Assign(&other), EConvertError);
  EXPECT_EQ(m.Left(), 7);
}

}  // namespace
