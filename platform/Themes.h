// The system's visual styles (themed push buttons and the like).
//
// On Windows the styles library is loaded once, the first time it is asked for
// (the controls ask at start-up), and stays loaded until the process ends; its
// entries are looked up by name. Elsewhere there is no such library, so nothing is
// ever themed. Failures are reported as values; the layers above decide how to
// raise them.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// Loads the library and looks up its entries; later calls do nothing.
void LoadThemeLibrary();

enum class ThemeState {
  Unthemed,  // no library, or the application or system has styles switched off
  Themed,    // styled drawing is to be used
  Failed,    // the library is present but an entry is missing or a query failed
};
// Asks the library afresh (is the application themed, then is a theme active).
ThemeState QueryThemeState();
// For tests of the unthemed look: while set, QueryThemeState answers Unthemed.
void SetThemesSwitchedOff(bool off);

// An open theme-data handle for one window class list (for example u"button");
// closed when the owner goes.
class ThemeData {
 public:
  virtual ~ThemeData() = default;
  // Draws one part in one state into a device context (an HDC on Windows) over the
  // rectangle (left, top, right, bottom). False when nothing could be drawn.
  virtual bool DrawBackground(void* dc, int32_t part, int32_t state, int32_t left, int32_t top,
                              int32_t right, int32_t bottom) = 0;
};
// nullptr when the library is absent or has no data for the class list. window is
// the native window handle (0: none).
std::unique_ptr<ThemeData> OpenThemeData(uintptr_t window, const char16_t* classList);

}  // namespace platform
