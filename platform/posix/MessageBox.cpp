// SDL's simple message box; it opens its own connection when no window exists.
#include <SDL.h>

#include "platform/NativeBackend.h"
#include "platform/Utf8.h"

namespace platform::native {

bool ShowMessageBox(const std::u16string& title, const std::u16string& text) {
  return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, utf::ToUtf8(title).c_str(),
                                  utf::ToUtf8(text).c_str(), nullptr) == 0;
}

}  // namespace platform::native
