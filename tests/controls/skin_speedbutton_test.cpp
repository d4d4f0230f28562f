// The flat speed button as the close button uses it: keyed glyph, hover and
// pressed edges, the click rule, hint suppression.
#include "controls/skin/sSpeedButton.h"
#include "skin_fixture.h"

namespace {

using platform::EventKind;
constexpr TColor kGrey = 0x808080;

bool OnCross(int32_t x, int32_t y) {
  return x >= 2 && x <= 13 && (x == y || x == 15 - y);
}

// 16 by 16, 24 bits, white background (its bottom-left pixel too) with a grey
// diagonal cross.
std::unique_ptr<TBitmap> CrossGlyph() {
  auto b = std::make_unique<TBitmap>(16, 16, pf24bit);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) b->SetPixel(x, y, OnCross(x, y) ? kGrey : clWhite);
  return b;
}

class SpeedButtonTest : public SkinFixture {
 protected:
  void SetUp() override {
    SkinFixture::SetUp();
    bclose = new TsSpeedButton(form);
    bclose->SetBounds(389, 2, 26, 24);
    bclose->SetAnchors(akTop | akRight);
    bclose->SetCursor(crHandPoint);
    bclose->SetHint(Utf8ToAnsi("Закрыть"));
    bclose->SetFlat(true);
    bclose->SetShowCaption(false);
    auto g = CrossGlyph();
    bclose->SetGlyph(g.get());
    bclose->OnClick = [this](TObject*) { ++clicks; };
    bclose->SetParent(form);
  }
  // Form coordinates of a button pixel.
  int32_t X(int32_t x) const { return 389 + x; }
  int32_t Y(int32_t y) const { return 2 + y; }
  TColor At(int32_t x, int32_t y) const { return Px(X(x), Y(y)); }
  // The glyph cross drawn with its top-left at (gx, gy) in the button.
  void ExpectCrossAt(int32_t gx, int32_t gy, TColor background) {
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        ASSERT_EQ(At(gx + x, gy + y), OnCross(x, y) ? kGrey : background) << x << "," << y;
      }
  }

  TsSpeedButton* bclose = nullptr;
  int clicks = 0;
};

TEST_F(SpeedButtonTest, Defaults) {
  TsSpeedButton b(nullptr);
  EXPECT_EQ(b.SkinData()->SkinSection(), "SPEEDBUTTON");
  EXPECT_FALSE(b.SkinData()->Skinned());
  EXPECT_TRUE(b.ShowCaption());
  EXPECT_EQ(b.Alignment(), taCenter);
  EXPECT_EQ(b.ButtonStyle(), tbsButton);
  EXPECT_EQ(b.NumGlyphs(), 1);
  EXPECT_EQ(b.Layout(), blGlyphLeft);
  EXPECT_EQ(b.Margin(), -1);
  EXPECT_EQ(b.Spacing(), 4);
  EXPECT_FALSE(b.Flat());
  EXPECT_TRUE(b.Transparent());
  EXPECT_TRUE(b.Caption().empty());
  EXPECT_EQ(b.Color(), clBtnFace);
  EXPECT_EQ(b.ImageIndex(), -1);
  b.SetBlend(150);
  EXPECT_EQ(b.Blend(), 100);
}

TEST_F(SpeedButtonTest, AtRestOnlyTheKeyedGlyphIsDrawn) {
  Show();
  ExpectCrossAt(5, 4, kFormColor);
  // No frame anywhere around it.
  for (int32_t x = 0; x < 26; ++x) {
    EXPECT_EQ(At(x, 0), kFormColor);
    EXPECT_EQ(At(x, 23), kFormColor);
  }
}

TEST_F(SpeedButtonTest, TheGlyphsBottomLeftPixelChoosesTheTransparentColour) {
  auto g = CrossGlyph();
  g->SetPixel(0, 15, kGrey);  // grey is now the key, white is drawn
  bclose->SetGlyph(g.get());
  Show();
  EXPECT_EQ(At(5 + 1, 4 + 0), clWhite);
  EXPECT_EQ(At(5 + 3, 4 + 3), kFormColor);
  EXPECT_EQ(At(5 + 0, 4 + 15), kFormColor);
}

TEST_F(SpeedButtonTest, HoverShowsARaisedEdgeWithoutFill) {
  Show();
  Mouse(EventKind::MouseMove, X(12), Y(12));
  EXPECT_TRUE(bclose->MouseInControl());
  EXPECT_EQ(At(0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(25, 23), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(2, 2), kFormColor);
  ExpectCrossAt(5, 4, kFormColor);
  Mouse(EventKind::MouseMove, X(12), Y(40));
  EXPECT_FALSE(bclose->MouseInControl());
  EXPECT_EQ(At(0, 0), kFormColor);
  EXPECT_EQ(At(25, 23), kFormColor);
}

TEST_F(SpeedButtonTest, PressDoesNotRepaintByItselfButAPaintShowsThePressedLook) {
  Show();
  Mouse(EventKind::MouseMove, X(10), Y(10));
  Mouse(EventKind::MouseDown, X(10), Y(10));
  EXPECT_EQ(bclose->State(), bsDown);
  EXPECT_EQ(At(0, 0), ColorToRGB(clBtnHighlight));  // still the hover look
  ExpectCrossAt(5, 4, kFormColor);
  form->PaintAll();
  EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(25, 23), ColorToRGB(clBtnHighlight));
  ExpectCrossAt(6, 5, kFormColor);
  Mouse(EventKind::MouseUp, X(10), Y(10));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(bclose->State(), bsUp);
  ExpectCrossAt(5, 4, kFormColor);
}

TEST_F(SpeedButtonTest, ReleaseClicksOnlyInsideWithTheRowBelowCounted) {
  Show();
  struct {
    int32_t x, y;
    bool click;
  } cases[] = {{10, 10, true},  {0, 0, true},    {25, 23, true},  {10, 24, true},
               {10, 25, false}, {26, 10, false}, {-1, 10, false}, {10, -1, false}};
  for (auto c : cases) {
    clicks = 0;
    Mouse(EventKind::MouseDown, X(10), Y(10));
    Mouse(EventKind::MouseMove, X(c.x), Y(c.y));
    EXPECT_EQ(bclose->State(), c.click ? bsDown : bsUp) << c.x << "," << c.y;
    Mouse(EventKind::MouseUp, X(c.x), Y(c.y));
    EXPECT_EQ(clicks, c.click ? 1 : 0) << c.x << "," << c.y;
    EXPECT_EQ(bclose->State(), bsUp);
    EXPECT_FALSE(bclose->Dragging());
  }
}

TEST_F(SpeedButtonTest, HintsAreOffWhileHeld) {
  Show();
  for (bool before : {true, false}) {
    Application->SetShowHint(before);
    Mouse(EventKind::MouseDown, X(10), Y(10));
    EXPECT_FALSE(Application->ShowHint());
    EXPECT_TRUE(TsSpeedButton::HintsSuppressed());
    Mouse(EventKind::MouseUp, X(40), Y(40));
    EXPECT_EQ(Application->ShowHint(), before);
    EXPECT_FALSE(TsSpeedButton::HintsSuppressed());
  }
}

TEST_F(SpeedButtonTest, GlyphPlacementFollowsLayoutAndAlignment) {
  TsSpeedButton b(nullptr);
  auto g = CrossGlyph();
  b.SetGlyph(g.get());
  b.SetShowCaption(false);
  b.SetFlat(true);
  b.SetBounds(0, 0, 40, 30);
  b.SetParent(form);
  struct {
    TButtonLayout layout;
    TAlignment align;
    int32_t margin;
    int32_t gx, gy;
  } cases[] = {
      {blGlyphLeft, taCenter, -1, 12, 7},       {blGlyphLeft, taLeftJustify, -1, 0, 7},
      {blGlyphLeft, taLeftJustify, 2, 5, 7},    {blGlyphLeft, taRightJustify, 2, 19, 7},
      {blGlyphRight, taRightJustify, 2, 19, 7}, {blGlyphTop, taCenter, -1, 13, 7},
      {blGlyphBottom, taCenter, -1, 13, 7},
  };
  Show();
  for (auto c : cases) {
    b.SetLayout(c.layout);
    b.SetAlignment(c.align);
    b.SetMargin(c.margin);
    form->PaintAll();
    EXPECT_EQ(Px(c.gx + 2, c.gy + 2), kGrey)
        << int(c.layout) << " " << int(c.align) << " " << c.margin;
    EXPECT_EQ(Px(c.gx + 13, c.gy + 2), kGrey);
    EXPECT_EQ(Px(c.gx + 1, c.gy + 1), kFormColor);
  }
  b.SetParent(nullptr);
}

TEST_F(SpeedButtonTest, SeparatorDrawsNothingAndDropDownWidens) {
  bclose->SetButtonStyle(tbsSeparator);
  Show();
  EXPECT_EQ(At(5 + 2, 4 + 2), kFormColor);
  bclose->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(bclose->Width(), 42);
  bclose->SetButtonStyle(tbsButton);
  EXPECT_EQ(bclose->Width(), 26);
}

}  // namespace
