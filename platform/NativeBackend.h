// Entry points of the operating system's window back end (SDL2 or Win32), used by
// the portable dispatch in Window.cpp and MessageBox.cpp. Not for code above
// platform/.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Window.h"

namespace platform::native {

// Opens the display on first use; throws std::runtime_error ("cannot open a
// display: ...") when that fails.
std::unique_ptr<NativeWindow> MakeWindow(WindowListener* listener);
// Whether the display has been opened (by MakeWindow or ScreenSize).
bool Ready();
bool PumpEvents(int32_t timeout_ms);
// Thread-safe; a no-op before the display is open.
void WakeUp();
// Throws like MakeWindow when no display can be opened.
void ScreenSize(int32_t& width, int32_t& height);
// Shows a modal box; returns false when no native box could be shown.
bool ShowMessageBox(const std::u16string& title, const std::u16string& text);

}  // namespace platform::native
