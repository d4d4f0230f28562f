// The skin-aware speed button. With no skin loaded (always, here) it paints the
// standard look: the frame by ButtonStyle (flat buttons show a raised edge under
// the mouse and a sunken one while pressed, nothing otherwise), the caption when
// ShowCaption, and the glyph keyed by the colour of its cell's bottom-left pixel,
// one pixel right and down while pressed.
//
// Contract: the button repaints by invalidating, and never while its state is
// down, so a press without a move shows nothing new until the next paint. While
// any speed button is held the application shows no hints; the release restores
// the setting. There are no error paths; an empty glyph draws nothing.
#pragma once

#include <memory>
#include <string>

#include "controls/skin/sCommonData.h"
#include "framework/SpeedButton.h"

enum TToolButtonStyle : uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TsDisabledGlyphKindFlag : uint8_t { dgBlended = 1, dgGrayed = 2 };
using TsDisabledGlyphKind = uint8_t;
enum TsDisabledKindFlag : uint8_t { dkBlended = 1, dkGrayed = 2 };
using TsDisabledKind = uint8_t;
enum TacAnimatEventFlag : uint8_t { aeGlobalDef = 1, aeMouseEnter = 2, aeMouseLeave = 4 };
using TacAnimatEvents = uint8_t;

class TsSpeedButton : public TSpeedButton {
 public:
  explicit TsSpeedButton(TComponent* AOwner);
  ~TsSpeedButton() override;
  const char* ClassName() const override { return "TsSpeedButton"; }

  TsCtrlSkinData* SkinData() { return FCommonData.get(); }
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(TAlignment v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  int32_t TextOffset() const { return FTextOffset; }
  void SetTextOffset(int32_t v);
  TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TToolButtonStyle v);
  // The drop-down menu (shown by the arrow part); no popup is shown here.
  TComponent* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TComponent* v) { FDropdownMenu = v; }
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t v);
  int32_t Blend() const { return FBlend; }
  void SetBlend(int32_t v);  // clamped to 0..100
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool v);
  TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind v);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind v);
  bool Reflected() const { return FReflected; }
  void SetReflected(bool v);
  bool DrawOverBorder() const { return FDrawOverBorder; }
  void SetDrawOverBorder(bool v);
  TacAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TacAnimatEvents v);

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnPaint;

  void Invalidate() override;

  virtual bool GetGrayed();
  virtual void PaintGlyph(TCanvas* C);
  virtual int32_t GlyphWidth();
  virtual int32_t GlyphHeight();
  virtual void PrepareCache() {}
  // 2 pressed, 1 hot, 0 normal.
  virtual int32_t CurrentState();

  // The shared hint suppression: set while a speed button is held.
  static bool HintsSuppressed();

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void GlyphChanged() override;

 private:
  struct Placement {
    TRect glyph;    // where the glyph goes (before the pressed offset)
    TRect caption;  // where the caption goes
  };
  Placement Place(int32_t tw, int32_t th);
  TPoint MeasureCaption(TCanvas* C);
  void DrawCaption(TCanvas* C, const TRect& R);
  void DrawFrame(TCanvas* C, TRect& Content);
  void UpdateOpaque();
  bool Skinned() { return FCommonData->Skinned(); }
  void ReLookUpSection();

  std::unique_ptr<TsCtrlSkinData> FCommonData;
  bool FShowCaption = true;
  TAlignment FAlignment = taCenter;
  TAlignment FTextAlignment = taCenter;
  bool FWordWrap = true;
  int32_t FTextOffset = 0;
  TToolButtonStyle FButtonStyle = tbsButton;
  TComponent* FDropdownMenu = nullptr;
  int32_t FImageIndex = -1;
  int32_t FBlend = 0;
  bool FGrayed = false;
  TsDisabledGlyphKind FDisabledGlyphKind = dgBlended;
  TsDisabledKind FDisabledKind = dkBlended;
  bool FReflected = false;
  bool FDrawOverBorder = true;
  TacAnimatEvents FAnimatEvents = aeGlobalDef;
  // Last Layout and Margin seen by Invalidate.
  TButtonLayout FOldLayout = blGlyphLeft;
  int32_t FOldMargin = -1;
  bool FMenuVisible = false;
  std::unique_ptr<TBitmap> FCheckers;
};
