#include "platform/SysColors.h"

namespace platform {

namespace {
constexpr uint32_t C(int r, int g, int b) {
  return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}
// The classic Windows 2000 scheme, indexed by COLOR_*.
constexpr uint32_t kClassic[] = {
    C(212, 208, 200),  // 0 scroll bar
    C(58, 110, 165),   // 1 background
    C(10, 36, 106),    // 2 active caption
    C(128, 128, 128),  // 3 inactive caption
    C(212, 208, 200),  // 4 menu
    C(255, 255, 255),  // 5 window
    C(0, 0, 0),        // 6 window frame
    C(0, 0, 0),        // 7 menu text
    C(0, 0, 0),        // 8 window text
    C(255, 255, 255),  // 9 caption text
    C(212, 208, 200),  // 10 active border
    C(212, 208, 200),  // 11 inactive border
    C(128, 128, 128),  // 12 application workspace
    C(10, 36, 106),    // 13 highlight
    C(255, 255, 255),  // 14 highlight text
    C(212, 208, 200),  // 15 button face
    C(128, 128, 128),  // 16 button shadow
    C(128, 128, 128),  // 17 grey text
    C(0, 0, 0),        // 18 button text
    C(212, 208, 200),  // 19 inactive caption text
    C(255, 255, 255),  // 20 button highlight
    C(64, 64, 64),     // 21 3D dark shadow
    C(212, 208, 200),  // 22 3D light
    C(0, 0, 0),        // 23 info text
    C(255, 255, 225),  // 24 info background
    C(181, 181, 181),  // 25 (unused)
    C(0, 0, 128),      // 26 hot light
    C(166, 202, 240),  // 27 gradient active caption
    C(192, 192, 192),  // 28 gradient inactive caption
    C(10, 36, 106),    // 29 menu highlight
    C(212, 208, 200),  // 30 menu bar
};
}  // namespace

uint32_t SysColor(int index) {
  if (index < 0 || index >= int(sizeof(kClassic) / sizeof(kClassic[0]))) return 0;
  return kClassic[index];
}

}  // namespace platform
