// Shared between the Win32 window and the application window. Not for code above
// platform/.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>
#include <string>

namespace platform::win32 {

// The application window, created on first use (owner of every form's window).
HWND AppWindow();
// Shows it, at zero size, so the task bar shows the application title.
void ShowAppWindow();
// The task bar's close: a close request for the first visible form.
void CloseFirstForm();
// The icon resource "MAINICON" of the program, or the system's default.
HICON AppIcon();

inline const wchar_t* W(const std::u16string& s) {
  return reinterpret_cast<const wchar_t*>(s.c_str());
}

}  // namespace platform::win32
