// The skin link every skin-aware control carries as its SkinData: the section
// name, the manager in effect and the skinned test, plus the skin command message
// the managers and controls talk through.
//
// Contract: a control is skinned only when the manager in effect (its own, else
// the process's default manager) exists, is not being destroyed, and has a loaded
// section at the link's SkinIndex. With no skin loaded there are no sections, so
// every control is unskinned. The test never throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Control.h"

class TsSkinManager;

// ---------------------------------------------------------------- skin commands

// The command travels in the high word of WParam (low word 0); for commands 1 to
// 3 LParam is the sending manager.
constexpr uintptr_t SkinCommand(uint16_t Command) {
  return static_cast<uintptr_t>(Command) << 16;
}
constexpr uint16_t SkinCommandOf(uintptr_t WParam) {
  return static_cast<uint16_t>((WParam >> 16) & 0xFFFF);
}

constexpr uint16_t ac_SetNewSkin = 1, ac_RemoveSkin = 2, ac_Refresh = 3, ac_EndParentUpdate = 6,
                   ac_CtrlHandled = 7, ac_IsUpdating = 10, ac_UpdateFromCache = 13,
                   ac_StopAnimation = 16, ac_SectionChanged = 17, ac_Reset = 18,
                   ac_MouseEnterHot = 29, ac_MouseLeaveHot = 30, ac_BeginUpdate = 31,
                   ac_EndUpdate = 32, ac_ApplySkinRequest = 71;

// Control type codes that pick the default section of an empty SkinSection.
constexpr int32_t COC_TsSpeedButton = 92, COC_TsGauge = 161;

// The default section for a control type code; empty for codes of their own
// (the caller then uses the owner's class name). Code 34 has two candidates: the
// first one the manager has loaded wins, else the first.
std::string DefaultSectionOf(int32_t COC, const TsSkinManager* Manager);
// Codes of controls that never take the hot state.
bool CanBeHot(int32_t COC);

enum TacOuterVisibility : uint8_t { ovNone, ovAlways };

// ---------------------------------------------------------------- the skin link

class TsCommonData : public TPersistent {
 public:
  // Owner: the control (or other object) the link serves; it outlives the link.
  // WithCache: the control paints through a 32-bit cache bitmap (0 by 0 at first).
  TsCommonData(TPersistent* AOwner, bool WithCache);
  ~TsCommonData() override;
  const char* ClassName() const override { return "TsCommonData"; }
  void Assign(TPersistent* Source) override;

  // Upper-cased when stored.
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& v);
  // The own manager when set, else the default manager (may be nullptr).
  TsSkinManager* SkinManager() const;
  void SetSkinManager(TsSkinManager* v);
  // The own manager only (what a stored layout would keep).
  TsSkinManager* OwnSkinManager() const { return FSkinManager; }
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool v) { FCustomColor = v; }
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool v) { FCustomFont = v; }
  TacOuterVisibility OuterEffectsVisibility() const { return FOuterVisibility; }
  void SetOuterEffectsVisibility(TacOuterVisibility v) { FOuterVisibility = v; }

  // The skinned test. CheckLoaded also asks for the manager's skin-loaded flag.
  bool Skinned(bool CheckLoaded = false) const;
  // Initialisation (the control's after-construction and load steps): resolves
  // the section; an empty one becomes the default of the control type code.
  void Loaded();
  // Re-reads SkinIndex from the manager in effect (-1 when it has no sections).
  void UpdateIndexes();
  // Repaints the control, but only once initialised and while it is neither
  // loading nor being destroyed.
  void Invalidate();
  // Handles the commands meant for the link itself (the control passes them on).
  void HandleCommand(uint16_t Command);

  TPersistent* FOwnerObject;
  TControl* FOwnerControl;
  int32_t SkinIndex = -1;
  int32_t BorderIndex = -1, Texture = -1, HotTexture = -1;
  int32_t COC = 0;
  std::unique_ptr<TBitmap> FCacheBmp;
  bool FMouseAbove = false;
  bool FUpdating = false;
  bool FNotInitialised = true;
  bool BGChanged = true;

 private:
  void TellOwner(TsSkinManager* Manager);

  std::string FSkinSection;
  TsSkinManager* FSkinManager = nullptr;
  bool FCustomColor = false;
  bool FCustomFont = false;
  TacOuterVisibility FOuterVisibility = ovNone;
};

class TsCtrlSkinData : public TsCommonData {
 public:
  using TsCommonData::TsCommonData;
  const char* ClassName() const override { return "TsCtrlSkinData"; }
  void Assign(TPersistent* Source) override;

  int32_t HUEOffset() const { return FHUEOffset; }
  void SetHUEOffset(int32_t v) { FHUEOffset = v; }
  int32_t Saturation() const { return FSaturation; }
  void SetSaturation(int32_t v) { FSaturation = v; }
  TColor ColorTone() const { return FColorTone; }
  void SetColorTone(TColor v) { FColorTone = v; }

 private:
  int32_t FHUEOffset = 0;
  int32_t FSaturation = 0;
  TColor FColorTone = clNone;
};
