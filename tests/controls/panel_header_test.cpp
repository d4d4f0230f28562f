// The header panel through the headless window: geometry, the header styles and
// the frame, mouse rules, collapsing and expanding.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controls/panel/NxCollection.h"
#include "controls/panel/NxSharedDraw.h"
#include "tests/controls/panel_fixture.h"

namespace {

constexpr TColor kBorder = 16744757;  // 0xFF8135
constexpr TColor kHeader = 12424044;  // 0xBD936C
constexpr TColor kHeaderText = 5789784;
constexpr TColor kYellowish = 0x80FFFF;

class HeaderPanel : public PanelFixture {
 protected:
  // The main window's panel: the whole 417 x 152 form.
  TNxHeaderPanel* MainPanel(const std::u16string& caption) {
    auto* p = new TNxHeaderPanel(form);
    p->SetParent(form);
    p->SetAlign(alClient);
    p->SetAdaptiveColors(false);
    p->SetBorderColor(kBorder);
    p->SetCaption(caption);
    p->Font()->SetColor(5197647);
    p->SetParentFont(false);
    p->SetHeaderColor(kHeader);
    p->HeaderFont()->SetColor(kHeaderText);
    p->SetHeaderStyle(psWindowsLive);
    p->SetOptions(0);
    return p;
  }
  // A free-standing panel at (10, 10) on a larger form, for width changes.
  TNxHeaderPanel* LoosePanel(int32_t w = 200, int32_t h = 100) {
    form->SetBounds(0, 0, 400, 200);
    auto* p = new TNxHeaderPanel(form);
    p->SetParent(form);
    p->SetBounds(10, 10, w, h);
    p->SetOptions(hoCollapseButton);
    return p;
  }
  // Form point of a panel client point.
  TPoint At(TNxHeaderPanel* p, int32_t x, int32_t y) {
    TPoint o = p->ClientOrigin();
    return {o.X + x, o.Y + y};
  }
  void Click(TNxHeaderPanel* p, int32_t x, int32_t y, int32_t button = 0) {
    TPoint f = At(p, x, y);
    Down(f.X, f.Y, button);
    Up(f.X, f.Y, button);
  }
};

TEST_F(HeaderPanel, MainWindowGeometry) {
  TNxHeaderPanel* p = MainPanel(u"");
  auto* child = new TNxHeaderPanel(form);
  child->SetParent(p);
  child->SetAlign(alClient);
  ShowForm();
  EXPECT_EQ(p->BoundsRect(), Rect(0, 0, 417, 152));
  EXPECT_EQ(p->ClientRect(), Rect(0, 0, 415, 150));
  TRect r;
  p->AdjustClientRect(r);
  EXPECT_EQ(r, Rect(0, 27, 415, 150));
  EXPECT_EQ(child->BoundsRect(), Rect(0, 27, 415, 150));  // top 27, height 123
  EXPECT_EQ(p->CollapseButtonRect(), Rect(415 - 21, 4, 415 - 3, 22));
  EXPECT_TRUE(p->GlyphRect().IsEmpty());

  p->InnerMargins()->SetLeft(2);
  p->InnerMargins()->SetTop(3);
  p->InnerMargins()->SetRight(4);
  p->InnerMargins()->SetBottom(5);
  EXPECT_EQ(child->BoundsRect(), Rect(2, 30, 411, 145));
  p->SetDisplayStyle(dsPanelOnly);
  EXPECT_EQ(child->BoundsRect(), Rect(2, 3, 411, 145));
}

TEST_F(HeaderPanel, MainWindowHeaderRowsAndFrame) {
  TNxHeaderPanel* p = MainPanel(u"");
  ShowForm();
  // The band as the shared routine draws it over the same 415 x 24.
  TBitmap band(415, 24, pf32bit);
  DrawGlossyGradient(band.Canvas(), {0, 0, 415, 24}, kHeader, clWindow, 12);
  for (int32_t x = 0; x < 415; ++x) {
    ASSERT_EQ(Px(1 + x, 1), clWhite) << x;  // header row 0
    for (int32_t row = 1; row <= 24; ++row)
      ASSERT_EQ(Px(1 + x, 1 + row), band.GetPixel(x, row - 1)) << x << "," << row;
    ASSERT_EQ(Px(1 + x, 1 + 25), clWhite) << x;
    ASSERT_EQ(Px(1 + x, 1 + 26), kBorder) << x;
    ASSERT_EQ(Px(1 + x, 1 + 27), ColorToRGB(clWindow)) << x;  // body
  }
  EXPECT_EQ(Px(1, 1 + 13), RGB(180, 199, 220));
  EXPECT_EQ(Px(1, 1 + 24), RGB(246, 248, 250));
  for (int32_t x = 0; x < 417; ++x) {
    ASSERT_EQ(Px(x, 0), kBorder);
    ASSERT_EQ(Px(x, 151), kBorder);
  }
  for (int32_t y = 0; y < 152; ++y) {
    ASSERT_EQ(Px(0, y), kBorder);
    ASSERT_EQ(Px(416, y), kBorder);
  }

  // The frame follows BorderColor at once, without waiting for the loop.
  p->SetBorderColor(clRed);
  EXPECT_EQ(Px(0, 0), clRed);
  EXPECT_EQ(Px(416, 100), clRed);
  EXPECT_EQ(Px(1, 1 + 26), kBorder);  // the separator waits for the next paint
  Pump();
  EXPECT_EQ(Px(1, 1 + 26), clRed);
}

TEST_F(HeaderPanel, CaptionStartsAtTheIndent) {
  TNxHeaderPanel* p = MainPanel(u"");
  ShowForm();
  std::vector<TColor> before;
  for (int32_t y = 0; y < 27; ++y)
    for (int32_t x = 0; x < 415; ++x) before.push_back(Px(1 + x, 1 + y));
  p->SetCaption(u"Загрузчик 1.0 (скачиваемый файл до 200 МБ)");
  Pump();
  int32_t first = 415, last = -1, top = 27, bottom = -1;
  for (int32_t y = 0; y < 27; ++y)
    for (int32_t x = 0; x < 415; ++x)
      if (Px(1 + x, 1 + y) != before[static_cast<size_t>(y) * 415 + x]) {
        first = std::min(first, x);
        last = std::max(last, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(last, 0) << "no caption drawn";
  // The text's own left bearing, measured on a blank image.
  TBitmap probe(415, 27, pf32bit);
  probe.Canvas()->Brush()->SetColor(clWhite);
  probe.Canvas()->FillRect({0, 0, 415, 27});
  probe.Canvas()->SetFont(*p->HeaderFont());
  DrawCaptionText(probe.Canvas(), {0, 0, 415, 27}, p->Caption(), false);
  int32_t bearing = -1;
  for (int32_t x = 0; x < 415 && bearing < 0; ++x)
    for (int32_t y = 0; y < 27; ++y)
      if (probe.GetPixel(x, y) != clWhite) {
        bearing = x;
        break;
      }
  EXPECT_EQ(first, 9 + bearing);
  EXPECT_GT(last, 150);
  // One line, vertically centred in the 27-pixel header.
  EXPECT_GE(top, 3);
  EXPECT_LE(bottom, 23);
  EXPECT_LE(std::abs((top + bottom) - 26), 4) << top << ".." << bottom;
  // Text in the header font's colour (the scheme font is off).
  bool ink = false;
  for (int32_t y = top; y <= bottom; ++y)
    for (int32_t x = first; x <= last; ++x) ink |= Px(1 + x, 1 + y) == kHeaderText;
  EXPECT_TRUE(ink);

  // A caption wider than the space ends before TextRight (the collapse button).
  p->SetOptions(hoCollapseButton);
  p->SetCaption(std::u16string(200, u'W'));
  Pump();
  const TRect button = p->CollapseButtonRect();
  for (int32_t y = 0; y < 27; ++y)
    for (int32_t x = button.Left; x < 415; ++x) {
      const TColor c = Px(1 + x, 1 + y);
      ASSERT_TRUE(c != kHeaderText) << x << "," << y;
    }
}

TEST_F(HeaderPanel, HeaderStyles) {
  TNxHeaderPanel* p = MainPanel(u"");
  p->SetBorderColor(clBlue);
  ShowForm();
  auto row = [&](int32_t y) { return Px(1 + 300, 1 + y); };  // away from sheen and text

  p->SetHeaderStyle(psFlat);
  Pump();
  for (int32_t y = 0; y < 27; ++y) EXPECT_EQ(row(y), kHeader) << y;

  p->SetHeaderStyle(psNormal);
  Pump();
  EXPECT_EQ(Px(1, 1 + 0), clWhite);
  EXPECT_EQ(Px(1, 1 + 27), clWhite);  // the left line reaches the first body row
  EXPECT_EQ(Px(1, 1 + 28), ColorToRGB(clWindow));
  EXPECT_EQ(row(0), clWhite);
  EXPECT_EQ(row(26), SchemeColor(13, csDefault));  // also without adaptive colours
  EXPECT_EQ(row(1), ColorToRGB(clWindow));
  EXPECT_EQ(row(25), MixColors(clWindow, kHeader, 24.0 / 25));

  p->SetAdaptiveColors(true);
  p->SetColorScheme(csBlack);
  Pump();
  EXPECT_EQ(row(1), SchemeColor(12, csBlack));
  EXPECT_EQ(row(26), SchemeColor(13, csBlack));
  EXPECT_EQ(Px(0, 50), SchemeColor(2, csBlack));  // the frame follows the scheme

  p->SetHeaderStyle(psVista);
  Pump();
  EXPECT_EQ(row(0), RGB(149, 149, 149));  // black whitened with alpha 150
  EXPECT_EQ(row(12), RGB(65, 65, 65));    // alpha 66
  EXPECT_EQ(row(13), clBlack);

  p->SetHeaderStyle(psWindowsLive);
  p->SetColorScheme(csDefault);
  Pump();
  EXPECT_EQ(row(26), 15323064);
  TBitmap band(415, 24, pf32bit);
  DrawGlossyGradient(band.Canvas(), {0, 0, 415, 24}, 15323064, clWindow, 12);
  EXPECT_EQ(row(1), band.GetPixel(300, 0));
  EXPECT_EQ(row(13), band.GetPixel(300, 12));

  if (!IsThemed()) {
    p->SetHeaderStyle(psSectionHeader);
    Pump();
    EXPECT_EQ(row(0), ColorToRGB(clGrayText));
    EXPECT_EQ(row(26), ColorToRGB(clGrayText));
    p->SetAdaptiveColors(false);
    Pump();
    EXPECT_EQ(row(0), kHeader);
    EXPECT_EQ(row(26), MixColors(kHeader, BlendColors(kHeader, clBlack, 170), 26.0 / 27));
  }
}

TEST_F(HeaderPanel, BodyStylesAndDisplayStyles) {
  TNxHeaderPanel* p = MainPanel(u"Title");
  ShowForm();
  p->SetPanelStyle(ptGradient);
  Pump();
  EXPECT_EQ(Px(100, 1 + 27), ColorToRGB(clWindow));
  EXPECT_EQ(Px(100, 1 + 149), MixColors(clWindow, 16773091, 122.0 / 123));
  p->SetPanelStyle(ptInverseGradient);
  Pump();
  EXPECT_EQ(Px(100, 1 + 27), 16773091);

  p->SetPanelStyle(ptDefault);
  p->SetColor(kYellowish);
  p->SetDisplayStyle(dsPanelOnly);
  Pump();
  for (int32_t y = 0; y < 150; y += 7) EXPECT_EQ(Px(100, 1 + y), kYellowish) << y;
}

TEST_F(HeaderPanel, HeaderOnlyKeepsTheHeaderHeight) {
  TNxHeaderPanel* p = LoosePanel();
  ShowForm();
  p->SetDisplayStyle(dsHeaderOnly);
  EXPECT_EQ(p->ClientHeight(), 27);
  p->SetHeight(80);
  EXPECT_EQ(p->ClientHeight(), 27);
}

TEST_F(HeaderPanel, HeaderClicksNeedPressAndReleaseInTheHeader) {
  TNxHeaderPanel* p = MainPanel(u"");
  int header = 0, glyph = 0, clicks = 0;
  p->OnHeaderClick = [&](TObject*) { ++header; };
  p->OnGlyphClick = [&](TObject*) { ++glyph; };
  p->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  struct Case {
    TPoint down, up;
    int32_t button;
    int want;
  } cases[] = {
      {{50, 60}, {50, 10}, 0, 0},  // body, then header
      {{50, 10}, {50, 60}, 0, 0},  // header, then body
      {{50, 10}, {60, 20}, 0, 1},  // header, header
      {{50, 10}, {60, 20}, 1, 1},  // any button
      {{50, 26}, {50, 0}, 2, 1},   // the strip's first and last rows
      {{50, 60}, {50, 70}, 0, 0},  // body only
  };
  for (const Case& c : cases) {
    header = 0;
    TPoint d = At(p, c.down.X, c.down.Y), u = At(p, c.up.X, c.up.Y);
    Down(d.X, d.Y, c.button);
    Up(u.X, u.Y, c.button);
    EXPECT_EQ(header, c.want) << c.down.X << "," << c.down.Y << " -> " << c.up.X << "," << c.up.Y;
  }
  EXPECT_EQ(glyph, 0);   // no glyph, no glyph clicks
  EXPECT_GT(clicks, 0);  // the ordinary click events still come

  // With a 16 x 16 glyph, a click on it is a header click and a glyph click.
  TBitmap g(16, 16, pf24bit);
  p->SetGlyph(&g);
  EXPECT_EQ(p->GlyphRect(), Rect(5, 5, 21, 21));
  header = 0;
  Click(p, 10, 10);
  EXPECT_EQ(header, 1);
  EXPECT_EQ(glyph, 1);
  Click(p, 30, 10);
  EXPECT_EQ(header, 2);
  EXPECT_EQ(glyph, 1);
}

TEST_F(HeaderPanel, GlyphIsKeyedFromItsBottomLeftPixel) {
  TNxHeaderPanel* p = MainPanel(u"");
  p->SetHeaderStyle(psFlat);
  ShowForm();
  TBitmap g(16, 16, pf24bit);
  g.Canvas()->Brush()->SetColor(clRed);
  g.Canvas()->FillRect({0, 0, 16, 16});
  g.SetPixel(8, 8, clBlue);
  p->SetGlyph(&g);
  Pump();
  EXPECT_TRUE(p->Glyph()->Transparent());
  EXPECT_EQ(Px(1 + 5, 1 + 5), kHeader);
  EXPECT_EQ(Px(1 + 5 + 8, 1 + 5 + 8), clBlue);
}

TEST_F(HeaderPanel, CollapseButtonAndChevrons) {
  TNxHeaderPanel* p = LoosePanel();
  p->SetHeaderStyle(psFlat);
  p->SetHeaderColor(clWhite);
  ShowForm();
  const int32_t cw = p->ClientWidth();
  const TRect b = p->CollapseButtonRect();
  EXPECT_EQ(b, Rect(cw - 21, 4, cw - 3, 22));
  // "HEADERCOLLAPSE" at (ClientWidth - 16, 10): its first row is ...X...X.
  TPoint o = At(p, cw - 16, 10);
  EXPECT_EQ(Px(o.X + 3, o.Y), RGB(49, 52, 49));
  EXPECT_EQ(Px(o.X, o.Y), clWhite);

  // Hovering repaints only the button's 18 x 18, in the hot gradient.
  TPoint in = At(p, b.Left + 2, b.Top + 2);
  Move(in.X - 30, in.Y);
  platform::InputEvent e;
  e.kind = platform::EventKind::MouseMove;
  e.x = in.X;
  e.y = in.Y;
  form->HandleInput(e);
  TPoint bo = At(p, b.Left, b.Top);
  EXPECT_EQ(form->DirtyRect(), Bounds(bo.X, bo.Y, 18, 18));
  Pump();
  EXPECT_EQ(Px(bo.X, bo.Y), 14483455);
  Move(in.X - 30, in.Y);
  EXPECT_EQ(Px(bo.X, bo.Y), clWhite);
}

TEST_F(HeaderPanel, CollapsedLookAndDrawDirection) {
  TNxHeaderPanel* p = LoosePanel(200, 100);
  p->SetHeaderStyle(psFlat);
  p->SetHeaderColor(clWhite);
  p->SetCaption(u"WWWW");
  p->HeaderFont()->SetColor(clBlue);
  p->SetOptions(hoCollapseButton);
  ShowForm();
  auto inkIn = [&](int32_t right) {
    int32_t n = 0;
    for (int32_t y = 0; y < 27; ++y)
      for (int32_t x = 0; x < right; ++x) n += Px(At(p, x, y).X, At(p, x, y).Y) == clBlue;
    return n;
  };
  EXPECT_GT(inkIn(p->ClientWidth()), 0);
  // Collapsed: no caption; the chevrons point the other way ("HEADEREXPAND": row 0 X...X...).
  p->SetExpanded(false);
  Pump();
  EXPECT_EQ(inkIn(p->ClientWidth()), 0);
  TPoint c = At(p, p->ClientWidth() - 16, 10);
  EXPECT_EQ(Px(c.X, c.Y), RGB(49, 52, 49));
  EXPECT_EQ(Px(c.X + 3, c.Y), clWhite);

  // Right to left: collapsed, the button moves to x 4 and the chevrons swap back.
  p->SetDrawDirection(diRightToLeft);
  Pump();
  EXPECT_EQ(p->CollapseButtonRect(), Rect(4, 4, 22, 22));
  c = At(p, 4 + 5, 10);
  EXPECT_EQ(Px(c.X + 3, c.Y), RGB(49, 52, 49));
  EXPECT_EQ(Px(c.X, c.Y), clWhite);

  // Pressing the button shows the pressed gradient until the release.
  const TRect b = p->CollapseButtonRect();
  const TPoint in = At(p, b.Left + 1, b.Top + 1);
  Down(in.X, in.Y);
  const TPoint corner = At(p, b.Left, b.Top);
  EXPECT_EQ(Px(corner.X, corner.Y), 557032);
  Up(in.X, in.Y);
  EXPECT_TRUE(p->Expanded());
  EXPECT_EQ(Px(At(p, 4, 4).X, At(p, 4, 4).Y), clWhite);
}

TEST_F(HeaderPanel, PictureIsStretchedOverTheBody) {
  TNxHeaderPanel* p = MainPanel(u"");
  TBitmap pic(2, 2, pf24bit);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 2; ++x) pic.SetPixel(x, y, y == 0 ? clRed : clBlue);
  ShowForm();
  p->SetPicture(&pic);
  Pump();
  EXPECT_EQ(Px(1 + 10, 1 + 27), clRed);
  EXPECT_EQ(Px(1 + 400, 1 + 80), clRed);
  EXPECT_EQ(Px(1 + 10, 1 + 149), clBlue);
  EXPECT_EQ(Px(1 + 10, 1 + 26), kBorder);  // the header is not covered
  p->Picture()->Assign(nullptr);
  Pump();
  EXPECT_EQ(Px(1 + 10, 1 + 27), ColorToRGB(clWindow));
}

TEST_F(HeaderPanel, CollapseAndExpandWithVetoes) {
  TNxHeaderPanel* p = LoosePanel(200, 100);
  bool acceptCollapse = false, acceptExpand = false;
  int changes = 0;
  p->OnCollapse = [&](TObject*, bool& a) {
    EXPECT_TRUE(a);
    a = acceptCollapse;
  };
  p->OnExpand = [&](TObject*, bool& a) {
    EXPECT_TRUE(a);
    a = acceptExpand;
  };
  p->OnChange = [&](TObject*) { ++changes; };
  ShowForm();
  auto clickButton = [&] {
    TRect b = p->CollapseButtonRect();
    Click(p, b.Left + 5, b.Top + 5);
  };
  clickButton();
  EXPECT_TRUE(p->Expanded());
  EXPECT_EQ(p->Width(), 200);
  EXPECT_EQ(changes, 0);

  acceptCollapse = true;
  clickButton();
  EXPECT_FALSE(p->Expanded());
  EXPECT_EQ(p->Width(), 33);
  EXPECT_EQ(p->FullWidth(), 200);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(p->CollapseButtonRect(), Rect(31 - 21, 4, 31 - 3, 22));

  EXPECT_FALSE(p->Focused());
  clickButton();  // vetoed, but the panel takes the focus
  EXPECT_FALSE(p->Expanded());
  EXPECT_TRUE(p->Focused());

  acceptExpand = true;
  clickButton();
  EXPECT_TRUE(p->Expanded());
  EXPECT_EQ(p->Width(), 200);
  EXPECT_EQ(changes, 2);

  // Without the option the button area is only header.
  p->SetOptions(0);
  clickButton();
  EXPECT_TRUE(p->Expanded());
}

TEST_F(HeaderPanel, BodyClickExpands) {
  TNxHeaderPanel* p = LoosePanel(200, 100);
  p->SetOptions(hoClickOnBodyExpand);
  ShowForm();
  p->SetExpanded(false);
  ASSERT_FALSE(p->Expanded());
  Click(p, 10, 10);  // header: nothing
  EXPECT_FALSE(p->Expanded());
  Click(p, 10, 50);
  EXPECT_TRUE(p->Expanded());
  EXPECT_EQ(p->Width(), 200);
}

TEST_F(HeaderPanel, ThirtyThreePixelRule) {
  TNxHeaderPanel* p = LoosePanel(200, 100);
  ShowForm();
  p->SetWidth(33);
  EXPECT_FALSE(p->Expanded());
  EXPECT_EQ(p->FullWidth(), 33);
  p->SetWidth(120);
  EXPECT_TRUE(p->Expanded());
  EXPECT_EQ(p->FullWidth(), 120);
  p->SetWidth(34);
  EXPECT_TRUE(p->Expanded());

  p->SetWidth(20);  // resizing below the threshold collapses at 33
  EXPECT_FALSE(p->Expanded());
  EXPECT_EQ(p->Width(), 33);

  TNxHeaderPanel* q = LoosePanel(60, 100);
  q->SetCollapseWidth(50);
  q->SetExpanded(false);
  EXPECT_EQ(q->Width(), 50);
  EXPECT_EQ(q->FullWidth(), 60);
  EXPECT_FALSE(q->Expanded());
  q->SetExpanded(true);
  EXPECT_EQ(q->Width(), 60);

  // While loading, size changes leave Expanded alone.
  q->BeginLoading();
  q->SetWidth(10);
  EXPECT_TRUE(q->Expanded());
  q->EndLoading();
}

TEST_F(HeaderPanel, CollapsingANarrowPanelWidensItFirst) {
  TNxHeaderPanel* p = LoosePanel(200, 100);
  p->BeginLoading();
  p->SetWidth(20);
  p->EndLoading();
  ASSERT_TRUE(p->Expanded());
  p->SetExpanded(false);
  EXPECT_FALSE(p->Expanded());
  EXPECT_EQ(p->Width(), 33);
}

TEST_F(HeaderPanel, HeaderFontFollowsThePanelFont) {
  auto* p = new TNxHeaderPanel(form);
  p->SetParent(form);
  EXPECT_TRUE(p->ParentHeaderFont());
  p->HeaderFont()->SetHeight(-20);
  EXPECT_FALSE(p->ParentHeaderFont());
  p->SetParentHeaderFont(true);
  EXPECT_TRUE(p->ParentHeaderFont());
  EXPECT_TRUE(*p->HeaderFont() == *p->Font());

  // With both parent switches on, a form font change reaches the header font.
  form->Font()->SetHeight(-14);
  EXPECT_EQ(p->Font()->Height(), -14);
  EXPECT_EQ(p->HeaderFont()->Height(), -14);
  EXPECT_TRUE(p->ParentHeaderFont());
  p->HeaderFont()->SetColor(clRed);
  EXPECT_FALSE(p->ParentHeaderFont());
  form->Font()->SetHeight(-16);
  EXPECT_EQ(p->HeaderFont()->Height(), -14);
}

TEST_F(HeaderPanel, TextChangesRepaintOnlyTheHeader) {
  TNxHeaderPanel* p = MainPanel(u"");
  ShowForm();
  ASSERT_FALSE(form->HasDirty());
  p->SetText("x");
  EXPECT_EQ(form->DirtyRect(), Rect(1, 1, 416, 28));
}

TEST_F(HeaderPanel, SchemeFontColour) {
  TNxHeaderPanel* p = MainPanel(u"WWWWWWWW");
  p->SetHeaderStyle(psFlat);
  p->SetHeaderColor(clWhite);
  p->SetOptions(hoColorSchemeFont);
  p->SetColorScheme(csBlack);  // the font colour comes from csDefault all the same
  ShowForm();
  bool ink = false;
  for (int32_t y = 1; y < 28; ++y)
    for (int32_t x = 1; x < 120; ++x) ink |= Px(x, y) == 9126421;
  EXPECT_TRUE(ink);
}

}  // namespace
