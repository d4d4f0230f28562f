// Colour schemes and the visual-styles test shared by the header panel and the
// glyph button.
//
// The scheme table is constant data; the styles library is loaded when this unit
// is initialised (before any control exists) and stays loaded.
#pragma once

#include <cstdint>

#include "framework/Types.h"

enum TColorScheme : uint8_t {
  csDefault,
  csBlack,
  csBlue,
  csSilver,
  csBlue2010,
  csSilver2010,
  csBlack2010
};

// Raised by IsThemed when the styles library is present but cannot answer.
class ENxThemeError : public Exception {
  using Exception::Exception;
};

// Colour of slot 0..23 in a scheme; csDefault reads csBlue. A slot or scheme out
// of range raises Exception rather than reading outside the table.
TColor SchemeColor(int32_t Slot, TColorScheme Scheme);

// True when styled drawing is to be used: the styles library is loaded, the
// application is themed and a theme is active, asked afresh at every call.
// Raises ENxThemeError("Error in Themes") when the library is present but fails.
bool IsThemed();
