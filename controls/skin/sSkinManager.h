// The skin manager: the non-visual component that owns the current skin, and the
// library's start-up step.
//
// Contract: the first manager created becomes the process's default manager and
// hooks the application window (NT family, outside design mode); destroying it
// removes the hook and leaves no default, so the next manager created takes over.
// Whichever manager is default holds the hook. At rest (no skin loaded) the hook
// takes a skin change request (WM_COPYDATA, WParam 7, data starting with 0xA400),
// answers it as handled and posts command 71 of the skin command message to the
// application window; taking command 71 hands the request to the skinning
// engine. WM_THEMECHANGED is answered as handled; the activation notification
// sends command 18 to every form that has a window. Everything else passes on.
//
// The skinning engine itself is not part of this program: skins are loaded
// through the loader set with SetSkinLoader, and without one nothing ever loads,
// so the section table stays empty and every control is unskinned.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/skin/sCommonData.h"
#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"

// A published property: field F<Name>, getter <Name>() and setter Set<Name>().
#define AC_PROPERTY(Type, Name, Default) \
 public:                                 \
  Type Name() const {                    \
    return F##Name;                      \
  }                                      \
  void Set##Name(Type v) {               \
    F##Name = std::move(v);              \
  }                                      \
                                         \
 private:                                \
  Type F##Name = Default;

// ---------------------------------------------------------------- the request

// The data descriptor of WM_COPYDATA, laid out as the platform's: pointer-sized
// tag, 32-bit byte count, pointer to the bytes (valid only during the message).
struct TacCopyDataStruct {
  uintptr_t dwData = 0;
  uint32_t cbData = 0;
  const void* lpData = nullptr;
};

constexpr uint32_t acSkinRequestMagic = 0xA400;
constexpr uintptr_t acSkinRequestParam = 7;
constexpr size_t acSkinRequestSize = 30646;
// Offsets of the request block's fields (little-endian, NUL-terminated texts).
constexpr size_t acRequestNameOffset = 4, acRequestNameSize = 128;
constexpr size_t acRequestDirOffset = 132, acRequestDirSize = 513;
constexpr size_t acRequestOptionsOffset = 645, acRequestOptionsSize = 30001;

// ---------------------------------------------------------------- the skinning engine

struct TsGeneralData {
  std::string ClassName;  // the section name
  TColor FontColor = clNone;
  TColor Color = clNone;
};
struct TsSkinSource {
  std::string Directory, Name;
  std::string OptionsText;  // from a skin change request: used instead of the file
  bool FromRequest = false;
};
struct TsLoadedSkin {
  std::vector<TsGeneralData> Sections;
  double Version = 0;
};
// Fills Skin from Source; false when nothing could be loaded.
using TsSkinLoader = std::function<bool(const TsSkinSource& Source, TsLoadedSkin& Skin)>;
// Installs the skinning engine's loader (nullptr: none, the program's state).
void SetSkinLoader(TsSkinLoader Loader);

// ---------------------------------------------------------------- sub-objects

class TacMenuSupport : public TPersistent {
  AC_PROPERTY(int32_t, AlphaBlend, 255)
  AC_PROPERTY(std::string, IcoLineSkin, {})
  AC_PROPERTY(bool, UseExtraLine, false)
  AC_PROPERTY(int32_t, ExtraLineWidth, 32)
 public:
  const char* ClassName() const override { return "TacMenuSupport"; }
  TFont* ExtraLineFont() { return &FExtraLineFont; }

 private:
  TFont FExtraLineFont;
};

enum TacThirdIndex : int32_t {
  tpEdit,
  tpButton,
  tpBitBtn,
  tpCheckBox,
  tpComboBox,
  tpGrid,
  tpGroupBox,
  tpListView,
  tpPanel,
  tpTreeView,
  tpwwEdit,
  tpGridEh,
  tpVirtualTree,
  tpPageControl,
  tpTabControl,
  tpToolBar,
  tpStatusBar,
  tpSpeedButton,
  tpScrollControl,
  tpUpDown,
  tpScrollBar,
  tpStaticText,
  tpNativePaint,
  acThirdCount
};

// The 23 newline-separated class lists of foreign controls to skin.
class TacThirdPartyList : public TPersistent {
 public:
  const char* ClassName() const override { return "TacThirdPartyList"; }
  const std::string& Text(int32_t Index) const { return FTexts.at(Index); }
  void SetText(int32_t Index, const std::string& v) { FTexts.at(Index) = v; }
  // The built-in default of a list: "TButton" for the buttons, else one blank.
  static std::string DefaultText(int32_t Index);

#define AC_THIRD(Name, Index)            \
  const std::string& Name() const {      \
    return FTexts[Index];                \
  }                                      \
  void Set##Name(const std::string& v) { \
    FTexts[Index] = v;                   \
  }
  AC_THIRD(ThirdEdits, tpEdit)
  AC_THIRD(ThirdButtons, tpButton)
  AC_THIRD(ThirdBitBtns, tpBitBtn)
  AC_THIRD(ThirdCheckBoxes, tpCheckBox)
  AC_THIRD(ThirdComboBoxes, tpComboBox)
  AC_THIRD(ThirdGrids, tpGrid)
  AC_THIRD(ThirdGroupBoxes, tpGroupBox)
  AC_THIRD(ThirdListViews, tpListView)
  AC_THIRD(ThirdPanels, tpPanel)
  AC_THIRD(ThirdTreeViews, tpTreeView)
  AC_THIRD(ThirdWWEdits, tpwwEdit)
  AC_THIRD(ThirdGridEh, tpGridEh)
  AC_THIRD(ThirdVirtualTrees, tpVirtualTree)
  AC_THIRD(ThirdPageControl, tpPageControl)
  AC_THIRD(ThirdTabControl, tpTabControl)
  AC_THIRD(ThirdToolBar, tpToolBar)
  AC_THIRD(ThirdStatusBar, tpStatusBar)
  AC_THIRD(ThirdSpeedButton, tpSpeedButton)
  AC_THIRD(ThirdScrollControl, tpScrollControl)
  AC_THIRD(ThirdUpDown, tpUpDown)
  AC_THIRD(ThirdScrollBar, tpScrollBar)
  AC_THIRD(ThirdStaticText, tpStaticText)
  AC_THIRD(ThirdNativePaint, tpNativePaint)
#undef AC_THIRD

 private:
  std::array<std::string, acThirdCount> FTexts;
};

enum TacOptimizingPriority : uint8_t { opSpeed, opMemory };
class TacSkinManagerOptions : public TPersistent {
  AC_PROPERTY(bool, CheckEmptyAlpha, false)
  AC_PROPERTY(bool, NoMouseHover, false)
  AC_PROPERTY(bool, NativeBordersMaximized, false)
  AC_PROPERTY(bool, StdGlyphsOrder, false)
  AC_PROPERTY(TacOptimizingPriority, OptimizingPriority, opSpeed)
};
class TacButtonsOptions : public TPersistent {
  AC_PROPERTY(bool, ShowFocusRect, true)
  AC_PROPERTY(bool, ShiftContentOnClick, true)
};
class TacLabelsOptions : public TPersistent {
  AC_PROPERTY(bool, TransparentAlways, true)
};
class TacScrollsOptions : public TPersistent {
  AC_PROPERTY(int32_t, ScrollSize, -1)
  AC_PROPERTY(int32_t, ButtonsSize, -1)
};
class TacSkinEffects : public TPersistent {
  AC_PROPERTY(bool, AllowAeroBluring, true)
  AC_PROPERTY(bool, AllowGlowing, true)
  AC_PROPERTY(bool, AllowOuterEffects, false)
  AC_PROPERTY(bool, DiscoloredGlyphs, false)
};
enum TacBtnEvent : uint8_t { beMouseEnter = 1, beMouseLeave = 2, beMouseDown = 4, beMouseUp = 8 };
class TacAnimEffects : public TPersistent {
  AC_PROPERTY(bool, BlendOnMoving, false)
  AC_PROPERTY(uint8_t, ButtonsEvents, beMouseEnter | beMouseLeave | beMouseDown | beMouseUp)
  AC_PROPERTY(bool, DialogShow, true)
  AC_PROPERTY(bool, FormShow, true)
  AC_PROPERTY(bool, FormHide, true)
  AC_PROPERTY(bool, DialogHide, true)
  AC_PROPERTY(bool, Minimizing, true)
  AC_PROPERTY(bool, PageChange, true)
  AC_PROPERTY(bool, SkinChanging, true)
};

// The menus object: the layout of skinned menus.
class TacSkinnedMenus : public TPersistent {
  AC_PROPERTY(int32_t, Margin, 2)
  AC_PROPERTY(int32_t, BorderWidth, 3)
  AC_PROPERTY(int32_t, Spacing, 8)
  AC_PROPERTY(bool, Bevel, false)
};

// One skin stored with the window.
struct TsInternalSkin {
  std::string Name;
  std::unique_ptr<TBitmap> MasterBitmap;
  TColor Shadow1Color = clBlack;
  int32_t Shadow1Offset = 0;
  int32_t Shadow1Blur = -1;
  int32_t Shadow1Transparency = 0;
  TColor BorderColor = clNone;
  double Version = 0;
  std::string Author, Description;
};

enum TacSkinningRule : uint8_t { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };
using TacSkinningRules = uint8_t;

// ---------------------------------------------------------------- the manager

class TsSkinManager : public TComponent {
 public:
  explicit TsSkinManager(TComponent* AOwner);
  ~TsSkinManager() override;
  const char* ClassName() const override { return "TsSkinManager"; }

  // The process's default manager, or nullptr.
  static TsSkinManager* DefaultManager();

  bool Active() const { return FActive; }
  void SetActive(bool v);
  const std::string& SkinName() const { return FSkinName; }
  void SetSkinName(const std::string& v);
  const std::string& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& v);
  std::vector<TsInternalSkin>& InternalSkins() { return FInternalSkins; }
  // "N/A" while no skin is loaded, else the skin's version ("." separated).
  std::string SkinInfo() const;
  void SetSkinInfo(const std::string&) {}  // stored value ignored
  std::string Version() const { return "9.14"; }
  bool IsDefault() const { return DefaultManager() == this; }
  void SetIsDefault(bool v);
  TacMenuSupport* MenuSupport() { return &FMenuSupport; }
  TacThirdPartyList* ThirdParty() { return &FThirdParty; }
  TacSkinManagerOptions* Options() { return &FOptions; }
  TacButtonsOptions* ButtonsOptions() { return &FButtonsOptions; }
  TacLabelsOptions* LabelsOptions() { return &FLabelsOptions; }
  TacScrollsOptions* ScrollsOptions() { return &FScrollsOptions; }
  TacSkinEffects* Effects() { return &FEffects; }
  TacAnimEffects* AnimEffects() { return &FAnimEffects; }
  TacSkinnedMenus* SkinnedMenus() { return &FSkinnedMenus; }
  std::vector<std::string>& CommonSections() { return FCommonSections; }

  AC_PROPERTY(bool, SkinnedPopups, true)
  AC_PROPERTY(bool, ExtendedBorders, false)
  AC_PROPERTY(TacSkinningRules, SkinningRules, srStdForms | srStdDialogs | srThirdParty)
  AC_PROPERTY(int32_t, HueOffset, 0)
  AC_PROPERTY(int32_t, Saturation, 0)
  AC_PROPERTY(int32_t, Brightness, 0)

 public:
  TNotifyEvent OnActivate, OnDeactivate, OnAfterChange, OnBeforeChange, OnSkinListChanged,
      OnSkinLoading;

  // ---- the loaded skin
  bool SkinLoaded() const { return FSkinLoaded; }
  int32_t SectionCount() const { return static_cast<int32_t>(FSections.size()); }
  const TsGeneralData& Section(int32_t i) const { return FSections.at(i); }
  // Exact, case-sensitive, first match; -1 for an empty name or no sections.
  int32_t GetSkinIndex(const std::string& Name) const;
  // The case-sensitive class lists built from ThirdParty.
  const std::vector<std::string>& ThirdList(int32_t Index) const { return FThirdLists.at(Index); }
  // The last skin change request taken (acSkinRequestSize bytes; zeros until one).
  const std::vector<uint8_t>& RequestBuffer() const { return FRequest; }
  // The button hot under a loaded skin; a control being destroyed clears itself.
  TControl* ActiveControl = nullptr;

  // Loads SkinName from SkinDirectory through the skinning engine; on success
  // every form hears command 1.
  void UpdateSkin();
  // Drops the loaded skin; every form hears command 2.
  void RemoveSkin();

 protected:
  void Loaded() override;

 private:
  bool MainWindowHook(TMessage& Message);
  void Hook();
  void Unhook();
  void LoadSkin(const TsSkinSource& Source);
  void ApplyRequest();
  void RebuildThirdLists();
  void SendToForms(uint16_t Command, bool WithWindowOnly);

  bool FActive = true;
  std::string FSkinName;
  std::string FSkinDirectory;
  std::vector<TsInternalSkin> FInternalSkins;
  TacMenuSupport FMenuSupport;
  TacThirdPartyList FThirdParty;
  TacSkinManagerOptions FOptions;
  TacButtonsOptions FButtonsOptions;
  TacLabelsOptions FLabelsOptions;
  TacScrollsOptions FScrollsOptions;
  TacSkinEffects FEffects;
  TacAnimEffects FAnimEffects;
  TacSkinnedMenus FSkinnedMenus;
  std::vector<std::string> FCommonSections;
  std::array<std::vector<std::string>, acThirdCount> FThirdLists;
  std::vector<TsGeneralData> FSections;
  bool FSkinLoaded = false;
  double FSkinVersion = 0;
  std::vector<uint8_t> FRequest;
  bool FHooked = false;
};

// ---------------------------------------------------------------- start-up

// The library's start-up step, run once before the main window exists. Args are
// the program's arguments without its name: any one that, lower-cased, equals
// "/luver" shows "Lumora v9.14" in a message box.
void sSkinLibraryStartup(const std::vector<std::string>& Args);
// Whether the system is of the NT family (every system this program runs on).
bool acIsNTFamily();
