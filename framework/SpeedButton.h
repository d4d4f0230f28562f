// The speed button: a windowless push button with a glyph (NumGlyphs cells side
// by side: up, disabled, down, exclusive) and an optional caption.
//
// Contract: a left press starts a drag (state down); moving while dragging flips
// between down and up by whether the pointer is inside (0 <= X < Width and
// 0 <= Y <= Height: the row just below the button still counts); a release
// inside clicks. The click runs from MouseUp, not from the framework's click
// synthesis, because of that one-row allowance. GroupIndex > 0 makes the button
// stay down (exclusive) and releases the other buttons of its group on the same
// parent; AllowAllUp lets the last one of a group come up again.
#pragma once

#include <memory>

#include "framework/Control.h"

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int32_t;

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  const char* ClassName() const override { return "TSpeedButton"; }

  // Owned; assigning copies. Changes repaint the button.
  TBitmap* Glyph() { return FGlyph.get(); }
  void SetGlyph(const TBitmap* v) { FGlyph->Assign(v); }
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs v);  // clamped to 1..4
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout v);
  int32_t Margin() const { return FMargin; }  // -1: centred
  void SetMargin(int32_t v);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t v);
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  bool Down() const { return FDown; }
  void SetDown(bool v);  // ignored while GroupIndex is 0
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t v);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v);

  TButtonState State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }
  bool Dragging() const { return FDragging; }

  void Click() override;

 protected:
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  virtual void GlyphChanged();
  virtual void MouseEnterNotify();
  virtual void MouseLeaveNotify();
  // Sends the button itself an enter or leave notification matching whether the
  // point (client coordinates) lies on it; flat, enabled buttons only.
  void UpdateTracking(int32_t X, int32_t Y);
  // The inside test of the drag and click rules.
  bool InsideForDrag(int32_t X, int32_t Y) const {
    return X >= 0 && X < Width() && Y >= 0 && Y <= Height();
  }

  TButtonState FState = bsUp;
  bool FMouseInControl = false;
  bool FDragging = false;

 private:
  void UpdateExclusive();
  void ButtonPressed(TSpeedButton* Sender);

  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int32_t FMargin = -1;
  int32_t FSpacing = 4;
  bool FFlat = false;
  bool FTransparent = true;
  bool FDown = false;
  int32_t FGroupIndex = 0;
  bool FAllowAllUp = false;
};
