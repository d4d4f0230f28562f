#include "controls/skin/sCommonData.h"

#include <algorithm>
#include <cctype>

#include "controls/skin/sSkinManager.h"

namespace {

struct SectionRange {
  int32_t from, to;
  const char* section;
};

// Code ranges (inclusive) and their default sections; code 34 is handled apart.
constexpr SectionRange kDefaultSections[] = {
    {2, 8, "EDIT"},          {10, 10, "EDIT"},          {41, 41, "EDIT"},
    {76, 76, "EDIT"},        {78, 78, "EDIT"},          {83, 85, "EDIT"},
    {96, 96, "EDIT"},        {131, 131, "EDIT"},        {140, 140, "EDIT"},
    {230, 230, "EDIT"},      {11, 18, "COMBOBOX"},      {81, 82, "COMBOBOX"},
    {19, 19, "BAR"},         {20, 20, "BARTITLE"},      {32, 33, "CHECKBOX"},
    {50, 50, "CHECKBOX"},    {152, 152, "CHECKBOX"},    {51, 51, "PANEL"},
    {59, 59, "PANEL"},       {68, 68, "PANEL"},         {73, 73, "PANEL"},
    {52, 52, "PANEL_LOW"},   {58, 58, "PANEL_LOW"},     {53, 54, "TOOLBAR"},
    {60, 60, "TOOLBAR"},     {56, 56, "DRAGBAR"},       {57, 57, "TABSHEET"},
    {74, 74, "GROUPBOX"},    {226, 226, "GROUPBOX"},    {75, 75, "SPLITTER"},
    {92, 92, "SPEEDBUTTON"}, {95, 95, "SPEEDBUTTON"},   {93, 94, "BUTTON"},
    {98, 98, "TOOLBUTTON"},  {141, 141, "PAGECONTROL"}, {143, 143, "PAGECONTROL"},
    {151, 151, "STATUSBAR"}, {161, 161, "GAUGE"},       {165, 165, "TRACKBAR"},
};

std::string UpperCase(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

}  // namespace

std::string DefaultSectionOf(int32_t COC, const TsSkinManager* Manager) {
  if (COC == 34) {
    for (const char* s : {"SLIDER_OFF", "PANEL_LOW"})
      if (Manager && Manager->GetSkinIndex(s) >= 0) return s;
    return "SLIDER_OFF";
  }
  for (const SectionRange& r : kDefaultSections)
    if (COC >= r.from && COC <= r.to) return r.section;
  return {};
}

bool CanBeHot(int32_t COC) {
  return !(COC == 19 || (COC >= 51 && COC <= 74) || COC == 110 || (COC >= 141 && COC <= 161));
}

// ---------------------------------------------------------------- TsCommonData

TsCommonData::TsCommonData(TPersistent* AOwner, bool WithCache)
    : FOwnerObject(AOwner), FOwnerControl(dynamic_cast<TControl*>(AOwner)) {
  if (WithCache) FCacheBmp = std::make_unique<TBitmap>(0, 0, pf32bit);
}

TsCommonData::~TsCommonData() = default;

void TsCommonData::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TsCommonData*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  FCustomColor = src->FCustomColor;
  FCustomFont = src->FCustomFont;
  FOuterVisibility = src->FOuterVisibility;
  SetSkinManager(src->FSkinManager);
  SetSkinSection(src->FSkinSection);
}

void TsCtrlSkinData::Assign(TPersistent* Source) {
  TsCommonData::Assign(Source);
  if (auto* src = dynamic_cast<TsCtrlSkinData*>(Source)) {
    FHUEOffset = src->FHUEOffset;
    FSaturation = src->FSaturation;
    FColorTone = src->FColorTone;
  }
}

TsSkinManager* TsCommonData::SkinManager() const {
  return FSkinManager ? FSkinManager : TsSkinManager::DefaultManager();
}

void TsCommonData::UpdateIndexes() {
  TsSkinManager* sm = SkinManager();
  SkinIndex = sm && sm->SectionCount() > 0 ? sm->GetSkinIndex(FSkinSection) : -1;
}

void TsCommonData::TellOwner(TsSkinManager* Manager) {
  if (!FOwnerControl || FOwnerControl->Loading() || !FOwnerControl->Parent()) return;
  const bool exists = Manager && Manager->SkinLoaded() && SkinIndex >= 0;
  FOwnerControl->Perform(SM_SKINCOMMAND, SkinCommand(exists ? ac_Refresh : ac_RemoveSkin),
                         reinterpret_cast<intptr_t>(Manager));
}

void TsCommonData::SetSkinSection(const std::string& v) {
  std::string up = UpperCase(v);
  if (FOwnerControl && (FOwnerControl->ComponentState() & csDesigning) && up == "RADIOBUTTON")
    up = "TRANSPARENT";
  if (up == FSkinSection) return;
  FSkinSection = up;
  UpdateIndexes();
  TellOwner(SkinManager());
}

void TsCommonData::SetSkinManager(TsSkinManager* v) {
  if (v == TsSkinManager::DefaultManager()) v = nullptr;
  if (v == FSkinManager) return;
  FSkinManager = v;
  // The control hears when the manager goes and drops it then.
  if (v && FOwnerControl) v->FreeNotification(FOwnerControl);
  UpdateIndexes();
  TellOwner(SkinManager());
}

bool TsCommonData::Skinned(bool CheckLoaded) const {
  try {
    TsSkinManager* sm = SkinManager();
    if (!sm || sm->Destroying()) return false;
    if (SkinIndex < 0 || SkinIndex >= sm->SectionCount()) return false;
    if (FOwnerControl && FOwnerControl->Destroying()) return false;
    if (CheckLoaded && !sm->SkinLoaded()) return false;
    return true;
  } catch (...) {
    return false;
  }
}

void TsCommonData::Loaded() {
  FNotInitialised = false;
  if (FSkinSection.empty()) {
    std::string def = DefaultSectionOf(COC, SkinManager());
    if (def.empty() && FOwnerObject) def = FOwnerObject->ClassName();
    FSkinSection = UpperCase(def);
  }
  UpdateIndexes();
  // What more a skinned control needs belongs to the skinning engine.
}

void TsCommonData::Invalidate() {
  if (FNotInitialised || !FOwnerControl) return;
  if (FOwnerControl->Loading() || FOwnerControl->Destroying()) return;
  BGChanged = true;
  FOwnerControl->Repaint();
}

void TsCommonData::HandleCommand(uint16_t Command) {
  switch (Command) {
    case ac_SetNewSkin:
    case ac_Refresh:
      UpdateIndexes();
      BGChanged = true;
      break;
    case ac_RemoveSkin:
      SkinIndex = -1;
      BGChanged = true;
      break;
    case ac_Reset:
      BGChanged = true;
      break;
    case ac_BeginUpdate:
      FUpdating = true;
      break;
    case ac_EndUpdate:
      FUpdating = false;
      break;
    default:
      break;
  }
}
