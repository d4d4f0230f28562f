// The header panel and the glyph push button, with their common base and the
// margin value classes.
//
// TNxHeaderPanel: a container with a caption strip (the header) of HeaderSize
// pixels along its top, a body that hosts children below it and a BorderWidth
// frame in the non-client area. It collapses to CollapseWidth and expands back to
// FullWidth. TNxButton: a push button with a bitmap glyph beside, above or below
// its caption, drawn with the visual style when one is active and as a classic
// raised button otherwise; default and cancel roles, a latched Down look, a
// drop-down arrow and a grey glyph while disabled.
//
// Both paint their whole client area opaquely and answer the erase-background
// request without erasing. Owned objects (fonts, bitmaps, margins) are freed with
// the control. Painting raises ENxThemeError when the visual-styles test fails.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/panel/NxThemesSupport.h"
#include "framework/Control.h"
#include "framework/Form.h"
#include "platform/Themes.h"

class TNxIndent : public TPersistent {
 public:
  TNxIndent() = default;
  const char* ClassName() const override { return "TNxIndent"; }
  // Copies Left then Top through their setters; other sources: conversion error.
  void Assign(TPersistent* Source) override;

  int32_t Left() const { return FLeft; }
  void SetLeft(int32_t v);
  int32_t Top() const { return FTop; }
  void SetTop(int32_t v);

  // Fired after every assignment of a value, equal or not.
  TNotifyEvent OnChange;

 protected:
  virtual void DoChange();

 private:
  int32_t FLeft = 0;
  int32_t FTop = 0;
};

class TNxMargins : public TNxIndent {
 public:
  TNxMargins() = default;
  const char* ClassName() const override { return "TNxMargins"; }
  // As TNxIndent, then Bottom and Right when the source is a TNxMargins.
  void Assign(TPersistent* Source) override;

  int32_t Bottom() const { return FBottom; }
  void SetBottom(int32_t v);
  int32_t Right() const { return FRight; }
  void SetRight(int32_t v);

 private:
  int32_t FBottom = 0;
  int32_t FRight = 0;
};

class TNxCollectionControl : public TCustomControl {
 public:
  explicit TNxCollectionControl(TComponent* AOwner) : TCustomControl(AOwner) {}
  const char* ClassName() const override { return "TNxCollectionControl"; }
};

// ================================================================ header panel

enum TNxHeaderStyle : uint8_t { psFlat, psNormal, psSectionHeader, psVista, psWindowsLive };
enum TNxPanelStyle : uint8_t { ptDefault, ptGradient, ptInverseGradient };
enum TDisplayStyle : uint8_t { dsNormal, dsHeaderOnly, dsPanelOnly };
enum TDirection : uint8_t { diLeftToRight, diRightToLeft };
enum THeaderOption : uint8_t {
  hoClickOnBodyExpand = 1,
  hoColorSchemeFont = 2,
  hoCollapseButton = 4
};
using THeaderOptions = uint8_t;  // set of THeaderOption bits

using TCollapseEvent = std::function<void(TObject* Sender, bool& Accept)>;

class TNxHeaderPanel : public TNxCollectionControl {
 public:
  explicit TNxHeaderPanel(TComponent* AOwner);
  ~TNxHeaderPanel() override;
  const char* ClassName() const override { return "TNxHeaderPanel"; }

  bool AdaptiveColors() const { return FAdaptiveColors; }
  void SetAdaptiveColors(bool v);
  TColor BorderColor() const { return FBorderColor; }
  // Repaints the frame at once.
  void SetBorderColor(TColor v);
  // The header's text (wide); the inherited 8-bit Text is a separate value.
  const std::u16string& Caption() const { return FCaption; }
  void SetCaption(const std::u16string& v);
  int32_t CollapseWidth() const { return FCollapseWidth; }
  void SetCollapseWidth(int32_t v) { FCollapseWidth = v; }
  TColorScheme ColorScheme() const { return FColorScheme; }
  void SetColorScheme(TColorScheme v);
  TDisplayStyle DisplayStyle() const { return FDisplayStyle; }
  void SetDisplayStyle(TDisplayStyle v);
  TDirection DrawDirection() const { return FDrawDirection; }
  void SetDrawDirection(TDirection v);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(const TBitmap* v) { FGlyph->Assign(v); }
  TColor HeaderColor() const { return FHeaderColor; }
  void SetHeaderColor(TColor v);
  TFont* HeaderFont() const { return FHeaderFont.get(); }
  void SetHeaderFont(const TFont& v) { FHeaderFont->Assign(v); }
  int32_t HeaderSize() const { return FHeaderSize; }
  void SetHeaderSize(int32_t v);
  TNxHeaderStyle HeaderStyle() const { return FHeaderStyle; }
  void SetHeaderStyle(TNxHeaderStyle v);
  int32_t Indent() const { return FIndent; }
  void SetIndent(int32_t v);
  TNxMargins* InnerMargins() const { return FInnerMargins.get(); }
  void SetInnerMargins(TNxMargins* v) { FInnerMargins->Assign(v); }
  THeaderOptions Options() const { return FOptions; }
  void SetOptions(THeaderOptions v);
  TNxPanelStyle PanelStyle() const { return FPanelStyle; }
  void SetPanelStyle(TNxPanelStyle v);
  bool ParentHeaderFont() const { return FParentHeaderFont; }
  void SetParentHeaderFont(bool v);
  // The picture stretched over the body; empty: the body style paints it.
  TBitmap* Picture() const { return FPicture.get(); }
  void SetPicture(const TBitmap* v) { FPicture->Assign(v); }
  // The width restored on expanding; part of the stored layout.
  int32_t FullWidth() const { return FFullWidth; }
  void SetFullWidth(int32_t v) { FFullWidth = v; }

  // Geometry in client coordinates.
  TRect HeaderRect() const { return {0, 0, ClientWidth(), FHeaderSize}; }
  TRect BodyRect() const { return {0, FHeaderSize, ClientWidth(), ClientHeight()}; }
  TRect CollapseButtonRect() const;
  TRect GlyphRect() const;

  void AdjustClientRect(TRect& Rect) override;

  TNotifyEvent OnChange;
  TCollapseEvent OnCollapse;
  TCollapseEvent OnExpand;
  TNotifyEvent OnGlyphClick;
  TNotifyEvent OnHeaderClick;

 protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void ParentFontChanged() override;

  virtual void DrawCollapseButton(const TRect& Rect);
  virtual void DrawCollapseButtonBackground(const TRect& Rect);
  virtual void DrawFlatHeader(const TRect& Rect);
  virtual void DrawNormalHeader(const TRect& Rect);
  virtual void DrawSectionHeader(const TRect& Rect);
  virtual void DrawVistaHeader(const TRect& Rect);
  virtual void DrawWindowsLiveHeader(const TRect& Rect);
  // Frames the whole window BorderWidth times; the canvas must cover the window
  // area with its origin at the window's top-left.
  virtual void DrawBorder();

  virtual void DoCollapse(bool& Accept);
  virtual void DoExpand(bool& Accept);
  virtual void DoGlyphClick();
  virtual void DoHeaderClick();

 private:
  enum : uint8_t { bsHot = 1, bsPressed = 2 };
  void PaintBody(const TRect& Rect);
  void SetButtonState(uint8_t v);
  void GlyphChanged();
  void HeaderFontChanged();
  void CopyFontToHeader();
  void SizeChanged();

  bool FAdaptiveColors = true;
  TColor FBorderColor = clBlack;
  std::u16string FCaption;
  int32_t FCollapseWidth = 33;
  TColorScheme FColorScheme = csDefault;
  TDisplayStyle FDisplayStyle = dsNormal;
  TDirection FDrawDirection = diLeftToRight;
  bool FExpanded = true;
  std::unique_ptr<TBitmap> FGlyph;
  TColor FHeaderColor = clActiveCaption;
  std::unique_ptr<TFont> FHeaderFont;
  int32_t FHeaderSize = 27;
  TNxHeaderStyle FHeaderStyle = psNormal;
  int32_t FIndent = 9;
  std::unique_ptr<TNxMargins> FInnerMargins;
  THeaderOptions FOptions = hoColorSchemeFont;
  TNxPanelStyle FPanelStyle = ptDefault;
  bool FParentHeaderFont = true;
  std::unique_ptr<TBitmap> FPicture;
  int32_t FFullWidth = 0;

  uint8_t FButtonState = 0;
  bool FHeaderDown = false;
  bool FChangingExpanded = false;
  bool FKeyingGlyph = false;
  bool FCopyingFont = false;
};

// ================================================================ glyph button

// Scoped: the framework's speed button has layouts of the same names.
enum class TNxButtonLayout : uint8_t { blGlyphBottom, blGlyphLeft, blGlyphRight, blGlyphTop };

class TNxButton : public TNxCollectionControl {
 public:
  explicit TNxButton(TComponent* AOwner);
  ~TNxButton() override;
  const char* ClassName() const override { return "TNxButton"; }

  bool Cancel() const { return FCancel; }
  void SetCancel(bool v) { FCancel = v; }
  bool Default() const { return FDefault; }
  // With a window, asks the form to announce its focused control again so that
  // every button recomputes ActiveDefault.
  void SetDefault(bool v);
  bool Down() const { return FDown; }
  void SetDown(bool v);
  bool EnableDblClick() const { return FEnableDblClick; }
  // False turns each double click into a second press (and so a second click).
  void SetEnableDblClick(bool v);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(const TBitmap* v) { FGlyph->Assign(v); }
  int32_t GlyphSpacing() const { return FGlyphSpacing; }
  void SetGlyphSpacing(int32_t v);
  TNxButtonLayout Layout() const { return FLayout; }
  void SetLayout(TNxButtonLayout v);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }
  bool ShowArrow() const { return FShowArrow; }
  void SetShowArrow(bool v);
  // Keys the glyph's bottom-left colour out; the face never lets the parent through.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);

  // Clicks on Enter (set from Default and on every focus change).
  bool ActiveDefault() const { return FActiveDefault; }
  TBitmap* DisabledGlyph() const { return FDisabledGlyph.get(); }
  bool Hot() const { return FHot; }
  bool MousePressed() const { return FMousePressed; }
  bool SpaceDown() const { return FSpaceDown; }

  // Sets the form's modal result to ModalResult, then the ordinary click.
  void Click() override;

 protected:
  void CreateWnd() override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyUp(uint16_t& Key, TShiftState Shift) override;
  virtual void DrawButtonFace(TCanvas* Canvas);

 private:
  void GlyphChanged();
  void UpdateGlyphTransparency();
  void OpenTheme();
  void DrawClassicFace(TCanvas* Canvas);

  bool FCancel = false;
  bool FDefault = false;
  bool FDown = false;
  bool FEnableDblClick = true;
  std::unique_ptr<TBitmap> FGlyph;
  std::unique_ptr<TBitmap> FDisabledGlyph;
  int32_t FGlyphSpacing = 3;
  TNxButtonLayout FLayout = TNxButtonLayout::blGlyphLeft;
  TModalResult FModalResult = 0;
  bool FShowArrow = false;
  bool FTransparent = false;

  bool FActiveDefault = false;
  std::unique_ptr<platform::ThemeData> FThemeHandle;
  bool FHot = false;
  bool FMousePressed = false;
  bool FSpaceDown = false;
  bool FKeyingGlyph = false;
};
