// No visual styles library exists here: everything draws unthemed.
#include "platform/Themes.h"

namespace platform {

void LoadThemeLibrary() {}

ThemeState QueryThemeState() {
  return ThemeState::Unthemed;
}

void SetThemesSwitchedOff(bool) {}

std::unique_ptr<ThemeData> OpenThemeData(uintptr_t, const char16_t*) {
  return nullptr;
}

}  // namespace platform
