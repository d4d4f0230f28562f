// The progress gauge: values, bounds, percentages, plain painting and its timer.
#include <chrono>
#include <string>

#include "controls/skin/sGauge.h"
#include "skin_fixture.h"

namespace {

constexpr TColor kFore = 0xBAEE8E;

// Counts its paints.
class CountingGauge : public TsGauge {
 public:
  using TsGauge::TsGauge;
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    TsGauge::Paint();
  }
};

class GaugeTest : public SkinFixture {
 protected:
  CountingGauge* MakeGauge(TRect r) {
    auto* g = new CountingGauge(form);
    g->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    g->SetParent(form);
    return g;
  }
};

TEST_F(GaugeTest, DefaultsAreThePublishedOnes) {
  TsGauge g(nullptr);
  EXPECT_EQ(g.MinValue(), 0);
  EXPECT_EQ(g.MaxValue(), 100);
  EXPECT_EQ(g.Progress(), 47);
  EXPECT_EQ(g.Kind(), gkHorizontalBar);
  EXPECT_TRUE(g.ShowText());
  EXPECT_EQ(g.Suffix(), "%");
  EXPECT_EQ(g.ForeColor(), clBlack);
  EXPECT_EQ(g.BackColor(), clWhite);
  EXPECT_EQ(g.BorderStyle(), bsSingle);
  EXPECT_TRUE(g.CalcPercents());
  EXPECT_TRUE(g.Animated());
  EXPECT_EQ(g.Width(), 120);
  EXPECT_EQ(g.Height(), 30);
  EXPECT_EQ(g.SkinData()->SkinSection(), "GAUGE");
  EXPECT_FALSE(g.SkinData()->Skinned());
  EXPECT_FALSE(g.AnimTimer()->Enabled());
  EXPECT_EQ(g.AnimTimer()->Interval(), 22u);
}

TEST_F(GaugeTest, BoundThatCrossesTheOtherIsRefusedAndNothingChanges) {
  struct Case {
    bool setMax;
    int32_t value;
    const char* message;
  } cases[] = {
      {true, -1, "Value must be between 1 and 2147483647"},
      {false, 201, "Value must be between -2147483647 and 199"},
  };
  for (const Case& c : cases) {
    TsGauge g(nullptr);
    g.SetMaxValue(200);
    g.SetProgress(50);
    try {
      if (c.setMax)
        g.SetMaxValue(c.value);
      else
        g.SetMinValue(c.value);
      ADD_FAILURE() << "no exception for " << c.value;
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 200);
    EXPECT_EQ(g.Progress(), 50);
  }
  // Equal bounds are accepted.
  TsGauge g(nullptr);
  g.SetMaxValue(0);
  EXPECT_EQ(g.MaxValue(), 0);
  g.SetMinValue(0);
  g.SetProgress(12345);
  EXPECT_EQ(g.Progress(), 0);
  EXPECT_EQ(g.PercentDone(), 0);
}

TEST_F(GaugeTest, BoundsAreNotCheckedWhileLoading) {
  TsGauge g(nullptr);
  g.BeginLoading();
  g.SetMinValue(500);
  g.SetMaxValue(10);
  g.EndLoading();
  EXPECT_EQ(g.MinValue(), 500);
  EXPECT_EQ(g.MaxValue(), 10);
}

TEST_F(GaugeTest, ProgressIsClampedAndPercentRoundsTiesToEven) {
  TsGauge g(nullptr);
  g.SetMaxValue(200);
  struct {
    int32_t set, read, percent;
  } cases[] = {{5, 5, 2},      {7, 7, 4},       {1, 1, 0},  {3, 3, 2},
               {100, 100, 50}, {300, 200, 100}, {-5, 0, 0}, {199, 199, 100}};
  for (auto c : cases) {
    g.SetProgress(c.set);
    EXPECT_EQ(g.Progress(), c.read) << c.set;
    EXPECT_EQ(g.PercentDone(), c.percent) << c.set;
  }
}

TEST_F(GaugeTest, OnChangeFiresForEveryProgressChangeButNotForBoundMoves) {
  TsGauge g(nullptr);
  g.SetMaxValue(1000);
  int changes = 0;
  g.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &g);
    ++changes;
  };
  g.SetProgress(500);
  g.SetProgress(501);  // same percentage: no repaint, still an event
  g.SetProgress(501);  // same value: nothing
  EXPECT_EQ(changes, 2);
  g.SetMaxValue(100);
  EXPECT_EQ(g.Progress(), 100);
  g.SetMinValue(100);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(g.Progress(), 100);
}

TEST_F(GaugeTest, BarWithoutBorderCoversItsShareOfTheWidth) {
  auto* g = MakeGauge(Bounds(0, 0, 415, 123));
  g->SetBorderStyle(bsNone);
  g->SetForeColor(kFore);
  g->SetShowText(false);
  g->SetMaxValue(200);
  g->SetProgress(100);
  Show();
  for (int32_t y : {0, 60, 122}) {
    EXPECT_EQ(Px(0, y), kFore);
    EXPECT_EQ(Px(207, y), kFore);
    EXPECT_EQ(Px(208, y), clWhite);
    EXPECT_EQ(Px(414, y), clWhite);
  }
  g->SetProgress(200);
  EXPECT_EQ(Px(414, 60), kFore);
  g->SetProgress(0);
  EXPECT_EQ(Px(0, 60), clWhite);
}

TEST_F(GaugeTest, SingleBorderLeavesABlackFrameAtEveryPercentage) {
  auto* g = MakeGauge(Bounds(10, 10, 120, 30));
  g->SetForeColor(kFore);
  g->SetShowText(false);
  Show();
  for (int32_t p : {0, 50, 100}) {
    g->SetProgress(p);
    for (int32_t x : {10, 70, 129}) {
      EXPECT_EQ(Px(x, 10), clBlack) << p;
      EXPECT_EQ(Px(x, 39), clBlack) << p;
    }
    for (int32_t y : {10, 25, 39}) {
      EXPECT_EQ(Px(10, y), clBlack) << p;
      EXPECT_EQ(Px(129, y), clBlack) << p;
    }
    EXPECT_EQ(Px(11, 11), p > 0 ? kFore : clWhite) << p;
    EXPECT_EQ(Px(128, 38), p == 100 ? kFore : clWhite) << p;
  }
}

TEST_F(GaugeTest, EveryKindPaintsItsFigure) {
  auto* g = MakeGauge(Bounds(0, 0, 100, 100));
  g->SetBorderStyle(bsNone);
  g->SetForeColor(kFore);
  g->SetColor(clRed);
  g->SetShowText(false);
  g->SetProgress(50);
  Show();
  struct {
    TsGaugeKind kind;
    TPoint fore, back, outside;  // outside: -1 when the figure covers everything
  } cases[] = {
      {gkText, {-1, -1}, {50, 50}, {-1, -1}},
      // H = 101, F = 50.5 rounded to even: rows 51 and below.
      {gkVerticalBar, {50, 51}, {50, 50}, {-1, -1}},
      {gkHorizontalBar, {49, 50}, {51, 50}, {-1, -1}},
      // The slice runs from the bottom counter-clockwise to the top: the right half.
      {gkPie, {75, 50}, {25, 50}, {1, 1}},
      // At 50 % the needle stands upright in the middle.
      {gkNeedle, {50, 25}, {30, 60}, {1, 99}},
  };
  for (auto c : cases) {
    g->SetKind(c.kind);
    if (c.fore.X >= 0) {
      EXPECT_EQ(Px(c.fore.X, c.fore.Y), kFore) << int(c.kind);
    }
    EXPECT_EQ(Px(c.back.X, c.back.Y), clWhite) << int(c.kind);
    if (c.outside.X >= 0) {
      EXPECT_EQ(Px(c.outside.X, c.outside.Y), clRed) << int(c.kind);
    }
  }
}

TEST_F(GaugeTest, TextInvertsWhatIsBeneathIt) {
  auto* g = MakeGauge(Bounds(0, 0, 415, 123));
  g->SetBorderStyle(bsNone);
  g->SetForeColor(kFore);
  g->Font()->SetStyle(fsBold);
  g->SetMaxValue(200);
  g->SetProgress(100);  // "50%" centred on the bar's edge
  Show();
  int overBar = 0, overBack = 0;
  for (int32_t y = 40; y < 83; ++y)
    for (int32_t x = 180; x < 240; ++x) {
      overBar += Px(x, y) == 0x451171;
      overBack += Px(x, y) == clBlack;
    }
  EXPECT_GT(overBar, 0);
  EXPECT_GT(overBack, 0);
  // Nothing of the text lands outside the middle.
  EXPECT_EQ(Px(100, 10), kFore);
  EXPECT_EQ(Px(300, 110), clWhite);
}

TEST_F(GaugeTest, CalcPercentsOffShowsTheValueItself) {
  TsGauge g(nullptr);
  std::string shown;
  g.OnPaintText = [&](TObject*, std::string& t) { shown = t; };
  g.SetMaxValue(1000);
  g.SetProgress(50);
  g.SetCalcPercents(false);
  g.SetParent(form);
  Show();
  EXPECT_EQ(shown, "50%");
  g.SetCalcPercents(true);
  form->PaintAll();
  EXPECT_EQ(shown, "5%");
  g.SetParent(nullptr);
}

TEST_F(GaugeTest, ZeroSizedGaugePaintsNothing) {
  auto* wide = MakeGauge(Bounds(20, 20, 0, 30));
  auto* flat = MakeGauge(Bounds(60, 20, 30, 0));
  Show();
  wide->SetProgress(90);
  flat->SetProgress(90);
  form->PaintAll();
  EXPECT_EQ(Px(20, 20), kFormColor);
  EXPECT_EQ(Px(60, 20), kFormColor);
  EXPECT_EQ(Px(61, 21), kFormColor);
}

TEST_F(GaugeTest, TransferLikeProgressRepaintsAtMostOncePerPercent) {
  auto* g = MakeGauge(Bounds(0, 27, 415, 123));
  Show();
  const int32_t pieces = 200000, piece = 1024;
  g->SetMaxValue(pieces * piece);
  g->SetProgress(0);
  g->paints = 0;
  for (int32_t i = 0; i < pieces; ++i) g->SetProgress(g->Progress() + piece);
  EXPECT_EQ(g->Progress(), pieces * piece);
  EXPECT_LE(g->paints, 101);
  EXPECT_GE(g->paints, 100);
}

TEST_F(GaugeTest, AnimationTimerFiresOnceAfterLoadingAndSwitchesItselfOff) {
  form->BeginLoading();
  auto* g = MakeGauge(Bounds(0, 0, 100, 20));
  form->FinishCreation();
  ASSERT_TRUE(g->AnimTimer()->Enabled());
  int fires = 0;
  TNotifyEvent inner = g->AnimTimer()->OnTimer();
  g->AnimTimer()->SetOnTimer([&](TObject* s) {
    ++fires;
    inner(s);
  });
  Show();
  // Bounded wait for the 22 ms tick; the loop sleeps until the timer is due.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (g->AnimTimer()->Enabled() && std::chrono::steady_clock::now() < deadline)
    app->HandleMessage();
  EXPECT_FALSE(g->AnimTimer()->Enabled());
  app->ProcessMessages();
  EXPECT_EQ(fires, 1);
}

}  // namespace
