// The skin-aware label: transparent drawing, automatic size, right-justified
// labels, accelerators and disabled drawing.
#include <string>

#include "controls/skin/sLabel.h"
#include "skin_fixture.h"

namespace {

class LabelTest : public SkinFixture {
 protected:
  TsLabel* MakeLabel(int32_t left, int32_t top) {
    auto* l = new TsLabel(form);
    l->SetBounds(left, top, l->Width(), l->Height());
    l->SetParent(form);
    return l;
  }
  TPoint Measure(const TFont& f, const std::string& s, uint32_t flags = 0) {
    TCanvas* c = ScreenCanvas();
    c->Font()->Assign(f);
    TRect r{0, 0, 0, 0};
    c->DrawText(s, r, DT_CALCRECT | DT_EXPANDTABS | flags);
    return {r.Right, r.Bottom};
  }
  // Pixels inside r whose colour is c.
  int Count(const TRect& r, TColor c) {
    int n = 0;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
      for (int32_t x = r.Left; x < r.Right; ++x) n += Px(x, y) == c;
    return n;
  }
};

TEST_F(LabelTest, NewLabelIsTransparentAutoSizedAndUnskinned) {
  TsLabel l(nullptr);
  EXPECT_EQ(l.Width(), 65);
  EXPECT_EQ(l.Height(), 17);
  EXPECT_TRUE(l.Transparent());
  EXPECT_TRUE(l.AutoSize());
  EXPECT_EQ(l.Alignment(), taLeftJustify);
  EXPECT_EQ(l.Layout(), tlTop);
  EXPECT_FALSE(l.WordWrap());
  EXPECT_TRUE(l.ShowAccelChar());
  EXPECT_TRUE(l.UseSkinColor());
  EXPECT_EQ(l.SkinManager(), nullptr);
}

TEST_F(LabelTest, EmptyCaptionAndLoneAmpersandMeasureAsOneBlank) {
  auto* l = MakeLabel(17, 83);
  const TPoint blank = Measure(*l->Font(), " ");
  ASSERT_GT(blank.X, 0);
  struct {
    const char* caption;
    bool accel;
  } cases[] = {{"", true}, {"&", true}};
  for (auto c : cases) {
    l->SetCaption("something longer");
    l->SetShowAccelChar(c.accel);
    l->SetCaption(c.caption);
    EXPECT_EQ(l->Width(), blank.X) << c.caption;
    EXPECT_EQ(l->Height(), blank.Y) << c.caption;
    EXPECT_EQ(l->Left(), 17);
  }
  // Without accelerators "&" is a character of its own.
  l->SetShowAccelChar(false);
  l->SetCaption("x");
  l->SetCaption("&");
  EXPECT_EQ(l->Width(), Measure(*l->Font(), "&", DT_NOPREFIX).X);
}

TEST_F(LabelTest, RightJustifiedLabelKeepsItsRightEdge) {
  auto* size = MakeLabel(380, 83);
  size->SetWidth(18);
  size->SetHeight(13);
  size->SetAlignment(taRightJustify);
  auto* run = MakeLabel(17, 83);
  Show();
  for (const char* text : {"195.31 MB", "1", "", "A much longer text than before", "7"}) {
    size->SetCaption(Utf8ToAnsi(text));
    run->SetCaption(Utf8ToAnsi(text));
    EXPECT_EQ(size->Left() + size->Width(), 398) << text;
    EXPECT_EQ(size->Width(), Measure(*size->Font(), *text ? Utf8ToAnsi(text) : " ").X) << text;
    EXPECT_EQ(run->Left(), 17) << text;
  }
  // Russian texts resize the same way.
  size->SetCaption(Utf8ToAnsi("Прервано"));
  EXPECT_EQ(size->Left() + size->Width(), 398);
}

TEST_F(LabelTest, AccelCharIsNotDrawnOrMeasured) {
  auto* l = MakeLabel(10, 10);
  l->SetCaption("&Save");
  EXPECT_EQ(l->Width(), Measure(*l->Font(), "Save").X);
  l->SetShowAccelChar(false);
  l->SetCaption("x");
  l->SetCaption("&Save");
  EXPECT_EQ(l->Width(), Measure(*l->Font(), "&Save", DT_NOPREFIX).X);
  EXPECT_GT(l->Width(), Measure(*l->Font(), "Save").X);
}

TEST_F(LabelTest, AcceleratorTable) {
  struct {
    char key;
    const char* text;
    bool accel;
  } cases[] = {{'s', "&Save", true}, {'S', "&save", true}, {'a', "&Save", false},
               {'x', "a&&x", false}, {'x', "a&&&x", true}, {'x', "x&", false},
               {'x', "", false}};
  for (auto c : cases) EXPECT_EQ(IsAccel(c.key, c.text), c.accel) << c.text << " " << c.key;
}

TEST_F(LabelTest, TransparentLabelDrawsOnlyItsTextOverTheParent) {
  auto* l = MakeLabel(20, 20);
  l->Font()->SetColor(clBlack);
  l->SetCaption("WWW");
  l->SetSkinSection("ANY");  // no skin loaded: no effect
  Show();
  const TRect area = l->BoundsRect();
  EXPECT_GT(Count(area, clBlack), 0);
  // The label never fills: the corner below the baseline keeps the form colour.
  EXPECT_EQ(Px(area.Right - 1, area.Bottom - 1), kFormColor);
  // Opaque labels fill with their colour.
  l->SetTransparent(false);
  l->SetColor(clWhite);
  Settle();
  EXPECT_EQ(Px(area.Right - 1, area.Bottom - 1), clWhite);
}

TEST_F(LabelTest, DisabledLabelDrawsHighlightThenShadow) {
  auto* l = MakeLabel(20, 20);
  l->Font()->SetColor(clBlack);
  l->SetCaption("HHH");
  Show();
  const TRect area = l->BoundsRect().Inflate(1, 1);
  const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
  EXPECT_EQ(Count(area, hi), 0);
  EXPECT_EQ(Count(area, sh), 0);
  const int black = Count(area, clBlack);
  l->SetEnabled(false);
  Settle();
  EXPECT_EQ(Count(area, clBlack), 0);
  // Shadow in place, highlight where the offset copy is not covered by it.
  EXPECT_EQ(Count(area, sh), black);
  EXPECT_GT(Count(area, hi), 0);
  // Every shadow pixel's highlight twin lies one pixel down and right.
  for (int32_t y = area.Top; y < area.Bottom; ++y)
    for (int32_t x = area.Left; x < area.Right; ++x)
      if (Px(x, y) == hi) {
        EXPECT_EQ(Px(x - 1, y - 1), sh) << x << "," << y;
      }
}

TEST_F(LabelTest, FontChangeResizes) {
  auto* l = MakeLabel(10, 10);
  l->SetCaption("Text");
  const int32_t h = l->Height();
  l->Font()->SetHeight(-24);
  EXPECT_GT(l->Height(), h);
  EXPECT_EQ(l->Width(), Measure(*l->Font(), "Text").X);
}

TEST_F(LabelTest, SameCaptionDoesNothing) {
  auto* l = MakeLabel(10, 10);
  l->SetCaption("abc");
  Show();
  const int32_t before = Presents();
  l->SetCaption("abc");
  Settle();
  EXPECT_EQ(Presents(), before);
  l->SetCaption("abd");
  Settle();
  EXPECT_GT(Presents(), before);
}

}  // namespace
