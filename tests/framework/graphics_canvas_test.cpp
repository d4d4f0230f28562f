// Pixel results of the canvas primitives, on every pixel format the canvas draws to.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Graphics.h"

namespace {

constexpr TColor kBack = 0x00FF00;

std::unique_ptr<TBitmap> Filled(int32_t w, int32_t h, TColor c, TPixelFormat pf = pf32bit) {
  auto b = std::make_unique<TBitmap>(w, h, pf);
  b->Canvas()->Brush()->SetColor(c);
  b->Canvas()->FillRect({0, 0, w, h});
  return b;
}

// The set of pixels of colour c, as "x,y" rows for readable failures.
std::string Mask(const TBitmap& b, TColor c) {
  std::string s;
  for (int32_t y = 0; y < b.Height(); ++y) {
    for (int32_t x = 0; x < b.Width(); ++x) s += b.GetPixel(x, y) == c ? '#' : '.';
    s += '\n';
  }
  return s;
}

class CanvasFormats : public ::testing::TestWithParam<TPixelFormat> {};

TEST_P(CanvasFormats, FillFrameAndRectangleHitExactPixels) {
  auto b = Filled(6, 5, clWhite, GetParam());
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clBlack);
  c->FillRect({1, 1, 3, 3});
  EXPECT_EQ(Mask(*b, clBlack), "......\n.##...\n.##...\n......\n......\n");

  b = Filled(6, 5, clWhite, GetParam());
  c = b->Canvas();
  c->Brush()->SetColor(clRed);
  c->FrameRect({1, 0, 5, 4});
  EXPECT_EQ(Mask(*b, clRed), ".####.\n.#..#.\n.#..#.\n.####.\n......\n");

  b = Filled(6, 5, clWhite, GetParam());
  c = b->Canvas();
  c->Pen()->SetColor(clBlue);
  c->Brush()->SetColor(clRed);
  c->Rectangle(0, 0, 5, 4);
  EXPECT_EQ(Mask(*b, clBlue), "#####.\n#...#.\n#...#.\n#####.\n......\n");
  EXPECT_EQ(Mask(*b, clRed), "......\n.###..\n.###..\n......\n......\n");

  // Without a pen the fill stops one pixel short on the right and at the bottom.
  b = Filled(6, 5, clWhite, GetParam());
  c = b->Canvas();
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetColor(clBlack);
  c->Rectangle(1, 1, 5, 4);
  EXPECT_EQ(Mask(*b, clBlack), "......\n.###..\n.###..\n......\n......\n");
}

INSTANTIATE_TEST_SUITE_P(Formats, CanvasFormats,
                         ::testing::Values(pf32bit, pf24bit, pf8bit, pf4bit));

TEST(Canvas, LinesLeaveOutTheirEndPoint) {
  struct {
    TPoint from, to;
    const char* mask;
  } cases[] = {
      {{0, 1}, {4, 1}, ".....\n####.\n.....\n.....\n"},
      {{4, 2}, {0, 2}, ".....\n.....\n.####\n.....\n"},
      {{2, 0}, {2, 3}, "..#..\n..#..\n..#..\n.....\n"},
      {{0, 0}, {3, 3}, "#....\n.#...\n..#..\n.....\n"},
      {{4, 3}, {4, 3}, ".....\n.....\n.....\n.....\n"},
  };
  for (const auto& t : cases) {
    auto b = Filled(5, 4, clWhite);
    b->Canvas()->MoveTo(t.from.X, t.from.Y);
    b->Canvas()->LineTo(t.to.X, t.to.Y);
    EXPECT_EQ(Mask(*b, clBlack), t.mask) << t.from.X << "," << t.from.Y;
    EXPECT_EQ(b->Canvas()->PenPos(), t.to);
  }
}

TEST(Canvas, XorPenAndClearBrush) {
  auto b = Filled(4, 1, 0x0F0F0F);
  TCanvas* c = b->Canvas();
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(0xFFFFFF);
  c->MoveTo(0, 0);
  c->LineTo(2, 0);
  EXPECT_EQ(b->GetPixel(0, 0), 0xF0F0F0);
  EXPECT_EQ(b->GetPixel(2, 0), 0x0F0F0F);
  c->Brush()->SetStyle(bsClear);
  c->FillRect({0, 0, 4, 1});
  EXPECT_EQ(b->GetPixel(3, 0), 0x0F0F0F);
}

TEST(Canvas, OriginTranslatesAndClipBounds) {
  auto b = Filled(8, 6, clWhite);
  TCanvas* c = b->Canvas();
  c->SetOrigin({2, 1});
  c->SetClip({2, 1, 6, 4});
  EXPECT_EQ(c->ClipRect(), (TRect{0, 0, 4, 3}));
  c->Brush()->SetColor(clBlack);
  c->FillRect({-5, -5, 50, 50});
  EXPECT_EQ(Mask(*b, clBlack), "........\n..####..\n..####..\n..####..\n........\n........\n");
  c->SetPixel(0, 0, clRed);
  c->SetPixel(-1, 0, clRed);  // outside the clip: ignored
  EXPECT_EQ(b->GetPixel(2, 1), clRed);
  EXPECT_EQ(b->GetPixel(1, 1), clWhite);
  EXPECT_EQ(c->Pixel(0, 0), clRed);
  EXPECT_EQ(c->Pixel(-1, 0), clNone);
  c->ResetClip();
  EXPECT_EQ(c->ClipRect(), (TRect{-2, -1, 6, 5}));
  // Fully outside: nothing happens.
  c->FillRect({100, 100, 120, 120});
  c->MoveTo(-50, -50);
  c->LineTo(-40, -50);
}

TEST(Canvas, BlitRasterOperations) {
  auto src = Filled(3, 2, 0x654321);
  auto dst = Filled(3, 2, 0x123456);
  dst->Canvas()->BitBlt(0, 0, 3, 2, src->Canvas(), 0, 0, SRCINVERT);
  EXPECT_EQ(dst->GetPixel(2, 1), 0x123456 ^ 0x654321);
  dst->Canvas()->BitBlt(1, 0, 5, 5, src->Canvas(), 0, 0, SRCCOPY);  // clipped to both bitmaps
  EXPECT_EQ(dst->GetPixel(0, 0), 0x123456 ^ 0x654321);
  EXPECT_EQ(dst->GetPixel(2, 1), 0x654321);

  struct {
    uint32_t rop;
    TColor expect;
  } rops[] = {
      {SRCAND, 0x123456 & 0x654321},
      {SRCPAINT, 0x123456 | 0x654321},
      {BLACKNESS, 0},
      {WHITENESS, 0xFFFFFF},
      {PATCOPY, 0x0000FF},
      {0x00330008 /* NOTSRCCOPY */, 0xFFFFFF & ~0x654321},
      {0x005A0049 /* PATINVERT */, 0x123456 ^ 0x0000FF},
      {0x00BB0226 /* MERGEPAINT: ~S | D */, (~0x654321 | 0x123456) & 0xFFFFFF},
  };
  for (const auto& t : rops) {
    auto d = Filled(2, 2, 0x123456);
    d->Canvas()->Brush()->SetColor(clRed);
    d->Canvas()->BitBlt(0, 0, 2, 2, src->Canvas(), 0, 0, t.rop);
    EXPECT_EQ(d->GetPixel(1, 1), t.expect) << std::hex << t.rop;
  }
}

TEST(Canvas, MaskedPatternWithOneBitSource) {
  // DSPDxax: where the mask is white the brush colour lands, elsewhere the
  // destination stays.
  TBitmap mask(4, 1, pf1bit);
  mask.SetPixel(0, 0, clBlack);
  mask.SetPixel(1, 0, clWhite);
  mask.SetPixel(2, 0, clBlack);
  mask.SetPixel(3, 0, clWhite);
  for (TPixelFormat pf : {pf32bit, pf24bit}) {
    auto d = Filled(4, 1, 0x123456, pf);
    d->Canvas()->Brush()->SetColor(0xABCDEF);
    d->Canvas()->BitBlt(0, 0, 4, 1, mask.Canvas(), 0, 0, ROP_DSPDXAX);
    EXPECT_EQ(d->GetPixel(0, 0), 0x123456);
    EXPECT_EQ(d->GetPixel(1, 0), 0xABCDEF);
    EXPECT_EQ(d->GetPixel(2, 0), 0x123456);
    EXPECT_EQ(d->GetPixel(3, 0), 0xABCDEF);
  }
  // A one-bit source copies as black and white whatever its palette.
  mask.SetPalette({clRed, clBlue});
  auto d = Filled(4, 1, 0x123456);
  d->Canvas()->BitBlt(0, 0, 4, 1, mask.Canvas(), 0, 0, SRCCOPY);
  EXPECT_EQ(d->GetPixel(0, 0), clBlack);
  EXPECT_EQ(d->GetPixel(1, 0), clWhite);
}

TEST(Canvas, DrawHonoursTheTransparentColour) {
  TBitmap g(3, 2, pf24bit);
  g.SetPixel(0, 0, clRed);
  g.SetPixel(1, 0, clBlue);
  g.SetPixel(2, 0, clRed);
  g.SetPixel(0, 1, clBlue);  // bottom-left: the default transparent colour
  g.SetPixel(1, 1, clRed);
  g.SetPixel(2, 1, clBlue);
  struct {
    bool transparent;
    TColor key;
    const char* red;
    const char* blue;
  } cases[] = {
      {false, clDefault, "#.#\n.#.\n", ".#.\n#.#\n"},
      {true, clDefault, "#.#\n.#.\n", "...\n...\n"},
      {true, clRed, "...\n...\n", ".#.\n#.#\n"},
  };
  for (const auto& t : cases) {
    g.SetTransparent(t.transparent);
    g.SetTransparentColor(t.key);
    auto d = Filled(3, 2, kBack);
    d->Canvas()->Draw(0, 0, &g);
    EXPECT_EQ(Mask(*d, clRed), t.red);
    EXPECT_EQ(Mask(*d, clBlue), t.blue);
  }
  EXPECT_EQ(g.TransparentColor(), clRed);
  g.SetTransparentColor(clDefault);
  EXPECT_EQ(g.TransparentColor(), clBlue);

  // Stretched to twice the size, transparency still holds.
  g.SetTransparent(true);
  auto d = Filled(6, 4, kBack);
  d->Canvas()->StretchDraw({0, 0, 6, 4}, &g);
  EXPECT_EQ(Mask(*d, clRed), "##..##\n##..##\n..##..\n..##..\n");
  EXPECT_EQ(Mask(*d, kBack), "..##..\n..##..\n##..##\n##..##\n");
}

TEST(Canvas, CopyRectBetweenCanvases) {
  auto s = Filled(4, 4, clBlue);
  s->SetPixel(1, 1, clRed);
  auto d = Filled(4, 4, clWhite);
  d->Canvas()->CopyRect({2, 2, 4, 4}, s->Canvas(), {1, 1, 3, 3});
  EXPECT_EQ(d->GetPixel(2, 2), clRed);
  EXPECT_EQ(d->GetPixel(3, 3), clBlue);
  EXPECT_EQ(d->GetPixel(1, 1), clWhite);
  // Overlapping copy within one bitmap.
  d->Canvas()->CopyRect({1, 1, 3, 3}, d->Canvas(), {2, 2, 4, 4});
  EXPECT_EQ(d->GetPixel(1, 1), clRed);
  EXPECT_EQ(d->GetPixel(2, 2), clBlue);
}

TEST(Canvas, EdgesInClassicColours) {
  const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow),
               dk = ColorToRGB(cl3DDkShadow), lt = ColorToRGB(cl3DLight),
               face = ColorToRGB(clBtnFace);
  struct {
    uint32_t edge, flags;
    TColor topLeft, bottomRight, innerTopLeft, innerBottomRight, middle;
  } cases[] = {
      {BDR_RAISEDINNER, BF_RECT, hi, sh, kBack, kBack, kBack},
      {BDR_SUNKENOUTER, BF_RECT, sh, hi, kBack, kBack, kBack},
      {BDR_RAISEDOUTER, BF_RECT | BF_MIDDLE, lt, dk, face, face, face},
      {BDR_SUNKENINNER, BF_RECT, dk, lt, kBack, kBack, kBack},
      {EDGE_RAISED, BF_RECT | BF_MIDDLE, lt, dk, hi, sh, face},
      {EDGE_SUNKEN, BF_RECT, sh, hi, dk, lt, kBack},
  };
  for (const auto& t : cases) {
    auto b = Filled(8, 6, kBack);
    TRect r{1, 0, 7, 6};
    b->Canvas()->DrawEdge(r, t.edge, t.flags);
    EXPECT_EQ(r, (TRect{1, 0, 7, 6}));
    EXPECT_EQ(b->GetPixel(1, 0), t.topLeft) << t.edge;
    EXPECT_EQ(b->GetPixel(1, 4), t.topLeft) << t.edge;
    EXPECT_EQ(b->GetPixel(6, 0), t.bottomRight) << t.edge;  // owns the top-right corner
    EXPECT_EQ(b->GetPixel(1, 5), t.bottomRight) << t.edge;  // and the bottom-left one
    EXPECT_EQ(b->GetPixel(2, 1), t.innerTopLeft) << t.edge;
    EXPECT_EQ(b->GetPixel(5, 4), t.innerBottomRight) << t.edge;
    EXPECT_EQ(b->GetPixel(3, 2), t.middle) << t.edge;
    EXPECT_EQ(b->GetPixel(0, 2), kBack);
    EXPECT_EQ(b->GetPixel(7, 2), kBack);
  }
  // One side only.
  auto b = Filled(4, 4, kBack);
  TRect r{0, 0, 4, 4};
  b->Canvas()->DrawEdge(r, BDR_SUNKENOUTER, BF_LEFT);
  EXPECT_EQ(Mask(*b, sh), "#...\n#...\n#...\n#...\n");
}

TEST(Canvas, PushButtonFrame) {
  const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow),
               dk = ColorToRGB(cl3DDkShadow), lt = ColorToRGB(cl3DLight),
               face = ColorToRGB(clBtnFace);
  struct {
    uint32_t state;
    TColor outerTL, innerTL, innerBR, outerBR;
  } cases[] = {
      {DFCS_BUTTONPUSH, hi, lt, sh, dk},
      {DFCS_BUTTONPUSH | DFCS_PUSHED, dk, sh, lt, hi},
  };
  for (const auto& t : cases) {
    auto b = Filled(10, 8, kBack);
    TRect r{0, 0, 10, 8};
    b->Canvas()->DrawFrameControl(r, DFC_BUTTON, t.state);
    EXPECT_EQ(r, (TRect{0, 0, 10, 8}));
    EXPECT_EQ(b->GetPixel(0, 0), t.outerTL);
    EXPECT_EQ(b->GetPixel(1, 1), t.innerTL);
    EXPECT_EQ(b->GetPixel(8, 6), t.innerBR);
    EXPECT_EQ(b->GetPixel(9, 7), t.outerBR);
    EXPECT_EQ(b->GetPixel(4, 4), face);
  }
  auto b = Filled(10, 8, kBack);
  TRect r{0, 0, 10, 8};
  b->Canvas()->DrawFrameControl(r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(r, (TRect{2, 2, 8, 6}));
}

TEST(Canvas, PolygonEllipseAndPie) {
  auto b = Filled(7, 5, clWhite);
  TCanvas* c = b->Canvas();
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetColor(clBlack);
  c->Polygon({{0, 0}, {6, 0}, {3, 3}});  // pixel centres inside a downward triangle
  EXPECT_EQ(Mask(*b, clBlack), "#####..\n.###...\n..#....\n.......\n.......\n");

  b = Filled(7, 5, clWhite);
  c = b->Canvas();
  c->Pen()->SetColor(clRed);
  c->Brush()->SetColor(clBlue);
  c->Ellipse(0, 0, 7, 5);
  EXPECT_EQ(Mask(*b, clRed), ".#####.\n#.....#\n#.....#\n#.....#\n.#####.\n");
  EXPECT_EQ(Mask(*b, clBlue), ".......\n.#####.\n.#####.\n.#####.\n.......\n");

  // A quarter pie, counter-clockwise from the right radial to the top radial.
  b = Filled(9, 9, clWhite);
  c = b->Canvas();
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetColor(clBlack);
  c->Pie(0, 0, 9, 9, 9, 4, 4, 0);
  EXPECT_EQ(b->GetPixel(6, 2), clBlack);  // upper right
  EXPECT_EQ(b->GetPixel(2, 2), clWhite);  // upper left
  EXPECT_EQ(b->GetPixel(6, 6), clWhite);  // lower right
  EXPECT_EQ(b->GetPixel(2, 6), clWhite);
}

TEST(Canvas, PatternBrushAndDashedPen) {
  TBitmap pat(8, 8, pf24bit);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) pat.SetPixel(x, y, (x + y) % 2 ? clBlack : clWhite);
  auto b = Filled(4, 2, kBack);
  b->Canvas()->Brush()->SetBitmap(&pat);
  b->Canvas()->FillRect({0, 0, 4, 2});
  EXPECT_EQ(Mask(*b, clBlack), ".#.#\n#.#.\n");

  b = Filled(30, 1, clWhite);
  b->Canvas()->Pen()->SetStyle(psDot);
  b->Canvas()->MoveTo(0, 0);
  b->Canvas()->LineTo(12, 0);
  EXPECT_EQ(Mask(*b, clBlack).substr(0, 13), "###...###....");
}

TEST(Canvas, SystemColoursResolve) {
  EXPECT_EQ(ColorToRGB(clRed), clRed);
#ifndef _WIN32
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
  EXPECT_EQ(ColorToRGB(clBtnHighlight), RGB(255, 255, 255));
  EXPECT_EQ(ColorToRGB(cl3DDkShadow), RGB(64, 64, 64));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(clActiveCaption), RGB(10, 36, 106));
#endif
  EXPECT_EQ(IntersectRect({0, 0, 5, 5}, {6, 6, 8, 8}), TRect{});
  EXPECT_EQ(IntersectRect({0, 0, 5, 5}, {2, 3, 8, 8}), (TRect{2, 3, 5, 5}));
  EXPECT_EQ(UnionRect({}, {1, 1, 2, 2}), (TRect{1, 1, 2, 2}));
  EXPECT_EQ(UnionRect({0, 0, 1, 1}, {3, 3, 4, 4}), (TRect{0, 0, 4, 4}));
  EXPECT_EQ(Format("%s=%d", "x", 42), "x=42");
  EXPECT_EQ(Format("%s", std::string(300, 'a').c_str()).size(), 300u);
}

}  // namespace
