#include "platform/SysColors.h"

#include <windows.h>

namespace platform {
uint32_t SysColor(int index) {
  if (index < 0 || index > 30) return 0;
  return static_cast<uint32_t>(GetSysColor(index)) & 0xFFFFFF;
}
}  // namespace platform
