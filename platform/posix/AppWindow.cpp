// No application window of its own here: each form's window carries the title the
// task bar shows, and messages arrive through DeliverAppWindowMessage only.
#include "platform/AppWindowNative.h"

namespace platform::native {
void ApplicationTitleChanged(const std::u16string&) {}
uintptr_t AppWindowHandle() {
  return 0;
}
}  // namespace platform::native
