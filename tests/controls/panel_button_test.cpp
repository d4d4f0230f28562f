// The glyph button through the headless window: glyph and caption placement,
// keyed and disabled glyphs, the classic face, and the mouse, keyboard, dialog
// key and accelerator rules.
#include <algorithm>
#include <string>
#include <vector>

#include "controls/panel/NxCollection.h"
#include "controls/panel/NxSharedDraw.h"
#include "platform/Themes.h"
#include "tests/controls/panel_fixture.h"

namespace {

constexpr TColor kGlyphInk = RGB(30, 60, 90);  // its grey copy is 60, 60, 60
constexpr TColor kGlyphGrey = RGB(60, 60, 60);

// The option buttons' glyph: 24 x 24, pure red in three pixels of each corner.
void MakeOptionGlyph(TBitmap& g) {
  g.SetPixelFormat(pf24bit);
  g.SetSize(24, 24);
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 24; ++x) g.SetPixel(x, y, kGlyphInk);
  for (auto [cx, cy] : std::vector<std::pair<int, int>>{{0, 0}, {23, 0}, {0, 23}, {23, 23}}) {
    const int dx = cx == 0 ? 1 : -1, dy = cy == 0 ? 1 : -1;
    g.SetPixel(cx, cy, clRed);
    g.SetPixel(cx + dx, cy, clRed);
    g.SetPixel(cx, cy + dy, clRed);
  }
}

class GlyphButton : public PanelFixture {
 protected:
  // An option button as the main window has it, at (16, 39), 383 x 43.
  TNxButton* OptionButton(const std::string& caption, TWinControl* parent = nullptr) {
    auto* b = new TNxButton(form);
    b->SetParent(parent ? parent : form);
    b->SetBounds(16, 39, 383, 43);
    b->SetCaption(caption);
    b->SetEnableDblClick(false);
    b->Font()->SetColor(5197647);
    b->SetParentFont(false);
    TBitmap g;
    MakeOptionGlyph(g);
    b->SetGlyph(&g);
    b->SetGlyphSpacing(15);
    b->SetTransparent(true);
    b->SetTabStop(false);
    return b;
  }
  TNxButton* Plain(const std::string& caption, TRect bounds) {
    auto* b = new TNxButton(form);
    b->SetParent(form);
    b->SetBoundsRect(bounds);
    b->SetCaption(caption);
    return b;
  }
  TPoint Origin(TNxButton* b) { return b->ClientOrigin(); }

  // Bounding box (button client coordinates) of the pixels of one colour.
  TRect Find(TNxButton* b, TColor c) {
    TRect r{1 << 20, 1 << 20, -1, -1};
    const TPoint o = Origin(b);
    for (int32_t y = 0; y < b->Height(); ++y)
      for (int32_t x = 0; x < b->Width(); ++x)
        if (Px(o.X + x, o.Y + y) == c) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }
  int32_t Count(TNxButton* b, TColor c) {
    int32_t n = 0;
    const TPoint o = Origin(b);
    for (int32_t y = 0; y < b->Height(); ++y)
      for (int32_t x = 0; x < b->Width(); ++x) n += Px(o.X + x, o.Y + y) == c;
    return n;
  }
  // Pixels of the caption: those that change with the font colour.
  TRect TextBox(TNxButton* b) {
    const TPoint o = Origin(b);
    std::vector<TColor> before;
    for (int32_t y = 0; y < b->Height(); ++y)
      for (int32_t x = 0; x < b->Width(); ++x) before.push_back(Px(o.X + x, o.Y + y));
    const TColor old = b->Font()->Color();
    b->Font()->SetColor(old == clLime ? clFuchsia() : clLime);
    Pump();
    TRect r{1 << 20, 1 << 20, -1, -1};
    for (int32_t y = 0; y < b->Height(); ++y)
      for (int32_t x = 0; x < b->Width(); ++x)
        if (Px(o.X + x, o.Y + y) != before[static_cast<size_t>(y) * b->Width() + x]) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    b->Font()->SetColor(old);
    Pump();
    return r;
  }
  static constexpr TColor clFuchsia() { return 0xFF00FF; }
  // Columns between a left-aligned text rectangle and the caption's first ink.
  int32_t LeftBearing(TNxButton* b, const std::string& s) {
    TBitmap m(400, 43, pf32bit);
    m.Canvas()->Brush()->SetColor(clWhite);
    m.Canvas()->FillRect({0, 0, 400, 43});
    m.Canvas()->SetFont(*b->Font());
    DrawTextRect(m.Canvas(), {0, 0, 400, 42}, taLeftJustify, false, AnsiToWide(s));
    for (int32_t x = 0; x < 400; ++x)
      for (int32_t y = 0; y < 43; ++y)
        if (m.GetPixel(x, y) != clWhite) return x;
    return -1;
  }
  int32_t TextWidthOf(TNxButton* b, const std::string& s) {
    TBitmap m(1, 1, pf32bit);
    m.Canvas()->SetFont(*b->Font());
    return m.Canvas()->TextWidth(s);
  }
  int32_t TextHeightOf(TNxButton* b, const std::string& s) {
    TBitmap m(1, 1, pf32bit);
    m.Canvas()->SetFont(*b->Font());
    return m.Canvas()->TextHeight(s);
  }
};

TEST_F(GlyphButton, GlyphAndCaptionOfTheOptionButton) {
  const std::string caption = Utf8ToAnsi("Установочный пакет Windows XP,7,8,8.1,10 x64");
  TNxButton* b = OptionButton(caption);
  ShowForm();
  const int32_t tw = TextWidthOf(b, caption);
  ASSERT_GT(tw, 100);
  EXPECT_EQ(Find(b, kGlyphInk), Bounds(179 - tw / 2, 9, 24, 24));
  const TRect text = TextBox(b);
  ASSERT_GE(text.Right, 0) << "no caption drawn";
  EXPECT_EQ(text.Left, 218 - tw / 2 + LeftBearing(b, caption));
  EXPECT_LE(text.Right, 218 - tw / 2 + tw + 1);
  // Vertically centred between y 0 and 42.
  EXPECT_GE(text.Top, 0);
  EXPECT_LE(text.Bottom, 42);
  EXPECT_LE(std::abs(text.Top + text.Bottom - 42), 4) << text.Top << ".." << text.Bottom;

  b->SetCaption("");  // no caption, no spacing
  Pump();
  EXPECT_EQ(Find(b, kGlyphInk), Bounds(179, 9, 24, 24));
}

TEST_F(GlyphButton, Layouts) {
  TNxButton* b = OptionButton("Hi");
  ShowForm();
  const int32_t tw = TextWidthOf(b, "Hi"), th = TextHeightOf(b, "Hi");
  struct Case {
    TNxButtonLayout layout;
    TPoint glyph;
  } cases[] = {
      {TNxButtonLayout::blGlyphLeft, {179 - tw / 2, 9}},
      {TNxButtonLayout::blGlyphRight, {179 + tw / 2, 9}},
      {TNxButtonLayout::blGlyphTop, {179, 9 - th / 2}},
      {TNxButtonLayout::blGlyphBottom, {179, 9 + th / 2}},
  };
  for (const Case& c : cases) {
    b->SetLayout(c.layout);
    Pump();
    EXPECT_EQ(Find(b, kGlyphInk), Bounds(c.glyph.X, c.glyph.Y, 24, 24))
        << static_cast<int>(c.layout);
    const TRect t = TextBox(b);
    switch (c.layout) {
      case TNxButtonLayout::blGlyphLeft:
        EXPECT_GE(t.Left, c.glyph.X + 24 + 15);
        break;
      case TNxButtonLayout::blGlyphRight:
        EXPECT_LE(t.Right, c.glyph.X - 15 + 1);
        break;
      case TNxButtonLayout::blGlyphTop:
        EXPECT_GE(t.Top, c.glyph.Y + 24);
        break;
      case TNxButtonLayout::blGlyphBottom:
        EXPECT_LE(t.Bottom, c.glyph.Y);
        break;
    }
  }
}

TEST_F(GlyphButton, KeyedGlyphShowsNoBackground) {
  TNxButton* b = OptionButton("x");
  ShowForm();
  EXPECT_EQ(Count(b, clRed), 0);
  EXPECT_EQ(Count(b, kGlyphInk), 24 * 24 - 12);

  b->SetEnabled(false);
  Pump();
  EXPECT_EQ(Count(b, kGlyphInk), 0);
  EXPECT_EQ(Count(b, clRed), 0);
  EXPECT_EQ(Count(b, RGB(85, 85, 85)), 0);  // the grey of the red corners
  EXPECT_EQ(Count(b, kGlyphGrey), 24 * 24 - 12);

  b->SetTransparent(false);
  Pump();
  EXPECT_EQ(Count(b, RGB(85, 85, 85)), 12);
  b->SetEnabled(true);
  Pump();
  EXPECT_EQ(Count(b, clRed), 12);

  // A glyph given after Transparent is keyed as it arrives.
  b->SetTransparent(true);
  TBitmap g;
  MakeOptionGlyph(g);
  b->SetGlyph(&g);
  Pump();
  EXPECT_EQ(Count(b, clRed), 0);
}

// The classic face, also where a visual style is active.
class ClassicButton : public GlyphButton {
 protected:
  void SetUp() override {
    platform::SetThemesSwitchedOff(true);
    GlyphButton::SetUp();
  }
  void TearDown() override {
    GlyphButton::TearDown();
    platform::SetThemesSwitchedOff(false);
  }
};

TEST_F(ClassicButton, Face) {
  ASSERT_FALSE(IsThemed());
  TNxButton* b = Plain("Face", Bounds(20, 20, 80, 30));
  TNxButton* other = Plain("Other", Bounds(200, 20, 80, 30));
  ShowForm();
  auto at = [&](int32_t x, int32_t y) { return Px(20 + x, 20 + y); };
  struct Probe {
    int32_t x, y;
    TColor c;
  };
  auto check = [&](const char* what, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes)
      EXPECT_EQ(at(p.x, p.y), ColorToRGB(p.c)) << what << " at " << p.x << "," << p.y;
  };
  check("raised", {{0, 0, clBtnHighlight},
                   {78, 0, clBtnHighlight},
                   {0, 28, clBtnHighlight},
                   {79, 0, cl3DDkShadow},
                   {79, 29, cl3DDkShadow},
                   {0, 29, cl3DDkShadow},
                   {78, 1, clBtnShadow},
                   {1, 28, clBtnShadow},
                   {78, 28, clBtnShadow},
                   {2, 2, clBtnFace}});
  b->SetFocus();
  Pump();
  check("focused", {{0, 0, clWindowFrame},
                    {79, 29, clWindowFrame},
                    {1, 1, clBtnHighlight},
                    {78, 28, cl3DDkShadow},
                    {77, 27, clBtnShadow}});
  other->SetFocus();
  b->SetDown(true);
  Pump();
  check("down",
        {{0, 0, clBtnShadow}, {79, 29, clBtnShadow}, {1, 1, clBtnFace}, {78, 28, clBtnFace}});
  b->SetDown(false);
  // Pressed with the mouse over it: the pressed look; moved off: raised again.
  Down(30, 30);
  check("pressed", {{0, 0, clWindowFrame}, {1, 1, clBtnShadow}, {2, 2, clBtnFace}});
  Move(150, 100);
  check("pressed, pointer away", {{1, 1, clBtnHighlight}, {77, 27, clBtnShadow}});
  Up(150, 100);
}

TEST_F(GlyphButton, ThemedFace) {
  if (!IsThemed()) GTEST_SKIP() << "no visual style is active";
  TNxButton* b = Plain("", Bounds(20, 20, 80, 30));
  b->SetColor(clLime);
  ShowForm();
  auto snapshot = [&] {
    std::vector<TColor> px;
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 80; ++x) px.push_back(Px(20 + x, 20 + y));
    return px;
  };
  const std::vector<TColor> normal = snapshot();
  // The style draws the push button over the Color fill, and each state differently.
  EXPECT_LT(std::count(normal.begin(), normal.end(), clLime), 80 * 30 / 2);
  b->SetDown(true);
  Pump();
  EXPECT_NE(snapshot(), normal);
  b->SetDown(false);
  // A theme change reopens the style's data; the face is drawn as before.
  b->Perform(WM_THEMECHANGED);
  Pump();
  EXPECT_EQ(snapshot(), normal);
  b->SetEnabled(false);
  Pump();
  EXPECT_NE(snapshot(), normal);
}

TEST_F(ClassicButton, DisabledLook) {
  TNxButton* b = Plain("Disabled", Bounds(20, 20, 100, 30));
  TBitmap g;
  MakeOptionGlyph(g);
  b->SetGlyph(&g);
  b->SetEnabled(false);
  ShowForm();
  EXPECT_EQ(Count(b, kGlyphGrey), 24 * 24 - 12);
  EXPECT_EQ(Count(b, RGB(85, 85, 85)), 12);  // not transparent: the corners show grey
  EXPECT_GT(Count(b, ColorToRGB(clBtnShadow)), 0);
  bool highlightInside = false;  // embossed text: highlight pixels off the frame
  const TPoint o = Origin(b);
  for (int32_t y = 2; y < 28; ++y)
    for (int32_t x = 2; x < 98; ++x)
      highlightInside |= Px(o.X + x, o.Y + y) == ColorToRGB(clBtnHighlight);
  EXPECT_TRUE(highlightInside);
}

TEST_F(GlyphButton, Arrow) {
  TNxButton* b = OptionButton("");
  b->SetShowArrow(true);
  ShowForm();
  const TPoint o = Origin(b);
  // AX 363, AY 19: a triangle from (363..371, 19) down to (367, 23).
  EXPECT_EQ(Px(o.X + 367, o.Y + 20), clBlack);
  EXPECT_EQ(Px(o.X + 365, o.Y + 19), clBlack);
  EXPECT_NE(Px(o.X + 367, o.Y + 25), clBlack);
  Down(o.X + 367, o.Y + 20);  // no popup menu: a press opens nothing
  Up(o.X + 367, o.Y + 20);
}

TEST_F(GlyphButton, MouseClickRules) {
  TNxButton* b = OptionButton("Go");
  int clicks = 0, dbl = 0;
  bool pressedDuringClick = false;
  b->OnClick = [&](TObject*) {
    ++clicks;
    pressedDuringClick = b->MousePressed() && b->Hot();
  };
  b->OnDblClick = [&](TObject*) { ++dbl; };
  ShowForm();
  Move(100, 60);
  EXPECT_TRUE(b->Hot());
  Down(100, 60);
  EXPECT_TRUE(b->MousePressed());
  EXPECT_TRUE(b->Focused());  // takes the focus although it is no tab stop
  Move(100, 120);
  EXPECT_FALSE(b->Hot());
  Up(100, 120);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(b->MousePressed());

  Down(100, 60);
  Move(100, 120);
  Move(120, 70);
  Up(120, 70);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(pressedDuringClick);

  // Right and middle buttons press the look but never click.
  Down(100, 60, 1);
  EXPECT_TRUE(b->MousePressed());
  Up(100, 60, 1);
  EXPECT_EQ(clicks, 1);

  // Double clicks: two clicks while EnableDblClick is False ...
  clicks = 0;
  Down(100, 60);
  Up(100, 60);
  Down(100, 60, 0, 2);
  Up(100, 60);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(dbl, 0);
  // ... one click and one double click while it is True.
  b->SetEnableDblClick(true);
  clicks = 0;
  Down(100, 60);
  Up(100, 60);
  Down(100, 60, 0, 2);
  Up(100, 60);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(dbl, 1);

  Move(300, 140);
  EXPECT_FALSE(b->Hot());
}

TEST_F(GlyphButton, SpaceClicksOnRelease) {
  TNxButton* b = Plain("Space", Bounds(10, 10, 80, 25));
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  b->SetFocus();
  Key(platform::EventKind::KeyDown, VK_SPACE);
  EXPECT_TRUE(b->SpaceDown());
  EXPECT_EQ(clicks, 0);
  Key(platform::EventKind::KeyUp, VK_SPACE);
  EXPECT_FALSE(b->SpaceDown());
  EXPECT_EQ(clicks, 1);

  // Space pressed here and released after the focus moved on clicks neither button.
  TNxButton* other = Plain("Other", Bounds(100, 10, 80, 25));
  int otherClicks = 0;
  other->OnClick = [&](TObject*) { ++otherClicks; };
  Key(platform::EventKind::KeyDown, VK_SPACE);
  other->SetFocus();
  EXPECT_FALSE(b->SpaceDown());
  Key(platform::EventKind::KeyUp, VK_SPACE);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(otherClicks, 0);
  b->SetFocus();

  // A key handler that swallows the key suppresses the click.
  b->OnKeyUp = [](TObject*, uint16_t& key, TShiftState) { key = 0; };
  Press(VK_SPACE);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b->SpaceDown());
}

TEST_F(GlyphButton, EnterEscAndActiveDefault) {
  TNxButton* ok = Plain("OK", Bounds(10, 10, 80, 25));
  TNxButton* cancel = Plain("Cancel", Bounds(100, 10, 80, 25));
  auto* panel = new TNxHeaderPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 50, 100, 60);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  ok->SetModalResult(1);
  cancel->SetModalResult(2);
  std::vector<std::string> log;
  ok->OnClick = [&](TObject*) { log.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
  ShowForm();
  EXPECT_TRUE(ok->ActiveDefault());
  EXPECT_FALSE(cancel->ActiveDefault());

  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_EQ(log, (std::vector<std::string>{"ok", "cancel"}));
  EXPECT_EQ(form->ModalResult(), 2);

  // Focusing another button: it becomes the active default, the default one not.
  log.clear();
  cancel->SetFocus();
  EXPECT_FALSE(ok->ActiveDefault());
  EXPECT_TRUE(cancel->ActiveDefault());
  Press(VK_RETURN);
  EXPECT_EQ(log, (std::vector<std::string>{"cancel"}));

  // Focusing any other kind of control restores it from Default.
  log.clear();
  panel->SetFocus();
  EXPECT_TRUE(ok->ActiveDefault());
  EXPECT_FALSE(cancel->ActiveDefault());
  Press(VK_RETURN);
  EXPECT_EQ(log, (std::vector<std::string>{"ok"}));
  EXPECT_EQ(form->ModalResult(), 1);

  // Modifiers stop the dialog keys.
  log.clear();
  Press(VK_RETURN, platform::kShift);
  Press(VK_ESCAPE, platform::kCtrl);
  EXPECT_TRUE(log.empty());

  // Clearing Default is announced at once.
  ok->SetDefault(false);
  EXPECT_FALSE(ok->ActiveDefault());
  Press(VK_RETURN);
  EXPECT_TRUE(log.empty());

  // Disabled buttons ignore Enter and Esc.
  ok->SetDefault(true);
  ok->SetEnabled(false);
  cancel->SetEnabled(false);
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_TRUE(log.empty());
}

TEST_F(GlyphButton, Accelerators) {
  TNxButton* go = Plain("&Go", Bounds(10, 10, 80, 25));
  TNxButton* amp = Plain("A&&B", Bounds(100, 10, 80, 25));
  TNxButton* ru = Plain(Utf8ToAnsi("&Да"), Bounds(200, 10, 80, 25));
  std::vector<std::string> log;
  go->OnClick = [&](TObject*) { log.push_back("go"); };
  amp->OnClick = [&](TObject*) { log.push_back("amp"); };
  ru->OnClick = [&](TObject*) { log.push_back("ru"); };
  ShowForm();
  Char(u'g');
  Char(u'G', platform::kAlt);
  Char(u'b');  // "&&" is a literal ampersand, not a marker
  Char(u'x');
  Char(u'д');
  EXPECT_EQ(log, (std::vector<std::string>{"go", "go", "ru"}));

  go->SetEnabled(false);
  log.clear();
  Char(u'g');
  EXPECT_TRUE(log.empty());
  go->SetEnabled(true);
  go->Hide();
  Char(u'g');
  EXPECT_TRUE(log.empty());
}

TEST_F(GlyphButton, MainWindowOptionOnThePanel) {
  auto* panel = new TNxHeaderPanel(form);
  panel->SetParent(form);
  panel->SetAlign(alClient);
  panel->SetAdaptiveColors(false);
  panel->SetBorderColor(16744757);
  panel->SetHeaderStyle(psWindowsLive);
  panel->SetOptions(0);
  TNxButton* b = OptionButton(Utf8ToAnsi("Установочный пакет Windows XP,7,8,8.1 x86     "), panel);
  b->SetAnchors(akLeft | akTop | akRight);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  EXPECT_EQ(b->ClientOrigin(), (TPoint{17, 40}));
  const int32_t tw = TextWidthOf(b, b->Caption());
  EXPECT_EQ(Find(b, kGlyphInk), Bounds(179 - tw / 2, 9, 24, 24));
  EXPECT_EQ(Count(b, clRed), 0);
  Down(17 + 10, 40 + 10);
  Up(17 + 10, 40 + 10);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), 0);
}

}  // namespace
