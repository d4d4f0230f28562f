// Per-OS hooks of the application window (see AppWindow.h). Not for code above
// platform/.
#pragma once

#include <cstdint>
#include <string>

namespace platform::native {
// Retitles the native application window, if one exists.
void ApplicationTitleChanged(const std::u16string& title);
// Creates the native application window on first use when the native back end is
// in use on Windows; 0 where there is none.
uintptr_t AppWindowHandle();
}  // namespace platform::native
