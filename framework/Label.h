// The label: a windowless control that draws its caption.
//
// Contract: a new label is 65 by 17, auto-sized and opaque. With AutoSize every
// change of text, font or WordWrap (and the end of loading) resizes it to the
// measured text; an empty caption (or a lone "&" with ShowAccelChar) measures as
// one blank. A right-justified label keeps its right edge when it resizes. With
// ShowAccelChar, "&x" marks x as the accelerator ("&&" is a literal "&"); the
// accelerator focuses FocusControl.
#pragma once

#include "framework/Control.h"

enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* AOwner);
  const char* ClassName() const override { return "TCustomLabel"; }

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* v);

 protected:
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Loaded() override;
  void AdjustSize() override { AdjustBounds(); }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Draws (or with DT_CALCRECT measures into Rect) the caption on Canvas.
  virtual void DoDrawText(TRect& Rect, uint32_t Flags);
  // The caption as drawn and the flags adjusted for accelerators and reading order.
  std::string TextToDraw(uint32_t& Flags) const;
  virtual void AdjustBounds();
  // The canvas the label measures and draws on: its own while painting, the
  // screen canvas otherwise.
  TCanvas* DrawCanvas() { return FMeasuring ? ScreenCanvas() : Canvas(); }

  bool FMeasuring = false;

 private:
  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  bool FTransparent = false;
  TWinControl* FFocusControl = nullptr;
};

// True when Text marks Key (compared without regard to case) as its accelerator.
bool IsAccel(char Key, const std::string& Text);
