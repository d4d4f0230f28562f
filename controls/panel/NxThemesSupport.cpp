#include "controls/panel/NxThemesSupport.h"

#include "platform/Themes.h"

namespace {

constexpr int kSchemes = 7, kSlots = 24;

// Rows by scheme (csDefault has none of its own); slots 2, 3, 9, 11, 12, 13 and
// 18 are what the panel and the button read, the rest are quiet neighbours of
// them for controls that may come later.
constexpr TColor kSchemeColors[kSchemes - 1][kSlots] = {
    // csBlack
    {15921648, 13222589, 6050636,  15921648, 13222589, 15921648, 13222589, 6050636,
     15921648, 0,        6050636,  13222589, 15921648, 11972007, 15921648, 13222589,
     6050636,  15921648, 10526878, 13222589, 15921648, 6050636,  15921648, 0},
    // csBlue
    {16773091, 16765615, 13603685, 16773091, 16765615, 16773091, 16765615, 13603685,
     16773091, 9126421,  13603685, 16765615, 16773091, 13603685, 16773091, 16765615,
     13603685, 16773091, 15323064, 16765615, 16773091, 13603685, 16773091, 9126421},
    // csSilver
    {16316406, 15196122, 7630959,  15921648, 15196122, 16316406, 15196122, 7630959,
     16316406, 9126421,  7630959,  15196122, 16316406, 7630959,  16316406, 15196122,
     7630959,  16316406, 12761010, 15196122, 16316406, 7630959,  16316406, 9126421},
    // csBlue2010
    {16316406, 15196122, 12426628, 15061183, 15196122, 16316406, 15196122, 12426628,
     16316406, 9126421,  12426628, 15196122, 16316406, 12426628, 16316406, 15196122,
     12426628, 16316406, 12761010, 15196122, 16316406, 12426628, 16316406, 9126421},
    // csSilver2010
    {16316406, 15196122, 11906213, 14736342, 15196122, 16316406, 15196122, 11906213,
     16316406, 9126421,  11906213, 15196122, 16316406, 11906213, 16316406, 15196122,
     11906213, 16316406, 12761010, 15196122, 16316406, 11906213, 16316406, 9126421},
    // csBlack2010
    {16316406, 15196122, 3881787,  8750469,  15196122, 16316406, 15196122, 3881787,
     16316406, 9126421,  3881787,  15196122, 16316406, 3881787,  16316406, 15196122,
     3881787,  16316406, 12761010, 15196122, 16316406, 3881787,  16316406, 9126421},
};

// The styles library is loaded before the first window exists.
const bool kThemeLibraryLoaded = (platform::LoadThemeLibrary(), true);

}  // namespace

TColor SchemeColor(int32_t Slot, TColorScheme Scheme) {
  if (Scheme == csDefault) Scheme = csBlue;
  if (Slot < 0 || Slot >= kSlots || Scheme >= kSchemes)
    throw Exception(Format("Colour scheme slot %d of scheme %d is out of range", Slot,
                           static_cast<int>(Scheme)));
  return kSchemeColors[Scheme - 1][Slot];
}

bool IsThemed() {
  (void)kThemeLibraryLoaded;
  switch (platform::QueryThemeState()) {
    case platform::ThemeState::Themed:
      return true;
    case platform::ThemeState::Unthemed:
      return false;
    case platform::ThemeState::Failed:
      break;
  }
  throw ENxThemeError("Error in Themes");
}
