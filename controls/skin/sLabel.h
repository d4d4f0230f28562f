// The skin-aware label. With no skin loaded it draws exactly like the framework
// label, with a transparent background; with a loaded skin it takes its text
// colour from its SkinSection.
//
// Contract: transparent and auto-sized from construction; a right-justified
// label keeps its right edge when its text changes. Font changes made while any
// label paints are ignored (the paint itself sets the skin's text colour), and
// one label at a time handles a font change by resizing and invalidating.
#pragma once

#include <string>

#include "controls/skin/sCommonData.h"
#include "framework/Label.h"

class TsCustomLabel : public TCustomLabel {
 public:
  explicit TsCustomLabel(TComponent* AOwner);
  const char* ClassName() const override { return "TsCustomLabel"; }

  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& v);
  // The own manager when set, else the default manager.
  TsSkinManager* SkinManager() const;
  void SetSkinManager(TsSkinManager* v);
  TsSkinManager* OwnSkinManager() const { return FSkinManager; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void DoDrawText(TRect& Rect, uint32_t Flags) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual TFont* GetTextFont() { return Font(); }
  virtual TColor GetTextColor();

  // Index of SkinSection during a paint; -1 ("none") otherwise.
  int32_t FSectionIndex = -1;

 private:
  std::string FSkinSection;
  TsSkinManager* FSkinManager = nullptr;
};

class TsLabel : public TsCustomLabel {
 public:
  explicit TsLabel(TComponent* AOwner);
  const char* ClassName() const override { return "TsLabel"; }

  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool v);

 protected:
  TColor GetTextColor() override;

 private:
  bool FUseSkinColor = true;
};
