// The progress gauge: a windowless control showing Progress between MinValue and
// MaxValue as a bar, a pie or a needle, with the percentage written over it in
// inverted pixels.
//
// Contract: Progress is clamped into the bounds and never throws; a bound that
// would cross the other raises EInvalidOperation ("Value must be between %d and
// %d") and changes nothing. Moving a bound moves Progress without OnChange.
// Progress repaints at once only when the whole percentage changes, so a long
// transfer repaints about a hundred times at most. The control is opaque and
// composes its picture off screen. Unskinned (always, with no skin loaded) the
// animation timer switches itself off at its first tick.
#pragma once

#include <memory>
#include <string>

#include "controls/skin/sCommonData.h"
#include "framework/Form.h"
#include "framework/Timer.h"

enum TsGaugeKind : uint8_t { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
using TsPaintTextEvent = std::function<void(TObject* Sender, std::string& Text)>;

class TsGauge : public TGraphicControl {
 public:
  explicit TsGauge(TComponent* AOwner);
  ~TsGauge() override;
  const char* ClassName() const override { return "TsGauge"; }

  int32_t MinValue() const { return FMinValue; }
  void SetMinValue(int32_t v);
  int32_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(int32_t v);
  int32_t Progress() const { return FCurValue; }
  void SetProgress(int32_t v);
  // Adds to Progress (clamped like an assignment).
  void AddProgress(int32_t v);
  // The whole percentage, ties to even; 0 when the bounds are equal.
  int32_t PercentDone() const;

  TsGaugeKind Kind() const { return FKind; }
  void SetKind(TsGaugeKind v);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool v);
  const std::string& Suffix() const { return FSuffix; }
  void SetSuffix(const std::string& v);
  TColor ForeColor() const { return FForeColor; }
  void SetForeColor(TColor v);
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor v);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle v);  // bsNone or bsSingle
  const std::string& ProgressSkin() const { return FProgressSkin; }
  void SetProgressSkin(const std::string& v);
  bool CalcPercents() const { return FCalcPercents; }
  void SetCalcPercents(bool v);
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool v);
  TsCtrlSkinData* SkinData() { return FCommonData.get(); }
  // The animation timer (owned).
  TTimer* AnimTimer() { return FTimer; }

  TNotifyEvent OnChange;
  TsPaintTextEvent OnPaintText;

 protected:
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void PaintPlain();
  void DrawFigure(TCanvas* c, const TRect& R);
  void TimerTick();
  void DropAnimationImage() { FAnimImage.reset(); }
  void RepaintNow() { Repaint(); }

  int32_t FMinValue = 0;
  int32_t FMaxValue = 100;
  int32_t FCurValue = 47;
  TsGaugeKind FKind = gkHorizontalBar;
  bool FShowText = true;
  std::string FSuffix = "%";
  std::unique_ptr<TsCtrlSkinData> FCommonData;
  TColor FForeColor = clBlack;
  TFormBorderStyle FBorderStyle = bsSingle;
  TColor FBackColor = clWhite;
  std::string FProgressSkin;
  bool FCalcPercents = true;
  bool FAnimated = true;
  int32_t FAnimPos = 0, FAnimStep = 0;
  std::unique_ptr<TBitmap> FProgressImage;
  TTimer* FTimer = nullptr;
  std::unique_ptr<TBitmap> FAnimImage;
  // The last unskinned picture and what it was made from: a control painted
  // over the gauge (a label whose text changes) repaints it without composing.
  std::unique_ptr<TBitmap> FPlainImage;
  std::string FPlainKey;
  bool FSkinCacheStale = true;
};
