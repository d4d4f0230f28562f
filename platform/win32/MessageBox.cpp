// MessageBoxW, modal to the active form.
#include "platform/NativeBackend.h"
#include "platform/win32/Win32Internal.h"

namespace platform::native {

bool ShowMessageBox(const std::u16string& title, const std::u16string& text) {
  return MessageBoxW(GetActiveWindow(), win32::W(text), win32::W(title), MB_OK) != 0;
}

}  // namespace platform::native
