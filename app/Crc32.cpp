#include "app/Crc32.h"

#include "framework/Graphics.h"
#include "platform/System.h"

int64_t FileSizeOf(const std::u16string& Path) {
  // Paths reach the system as 8-bit text in the program's code page.
  return platform::FileSize(WideToAnsi(Path));
}
