// The application window: a captioned top-level window of zero size whose title
// the task bar shows; every form's window is owned by it, so forms get no task-bar
// buttons of their own. Messages go to the handler of AppWindow.h first.
#include "platform/AppWindow.h"

#include "platform/AppWindowNative.h"
#include "platform/Window.h"
#include "platform/win32/Win32Internal.h"

namespace platform {
namespace {

constexpr wchar_t kAppClass[] = L"VorlixApplication";

struct HwndDeleter {
  void operator()(HWND h) const { DestroyWindow(h); }
};
using HwndPtr = std::unique_ptr<std::remove_pointer_t<HWND>, HwndDeleter>;

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  intptr_t result = 0;
  if (DeliverAppWindowMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_CLOSE:  // the task bar's close: ask the main form
      win32::CloseFirstForm();
      return 0;
    case WM_ACTIVATE:
      // Activated from the task bar: the form that was last active takes over.
      if (LOWORD(wp) != WA_INACTIVE) {
        HWND popup = GetLastActivePopup(hwnd);
        if (popup && popup != hwnd && IsWindowVisible(popup) && IsWindowEnabled(popup))
          SetActiveWindow(popup);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HwndPtr& Slot() {
  static HwndPtr h;
  return h;
}

}  // namespace

namespace win32 {

HICON AppIcon() {
  static HICON icon = [] {
    HICON i = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    return i ? i : LoadIconW(nullptr, IDI_APPLICATION);
  }();
  return icon;
}

HWND AppWindow() {
  HwndPtr& slot = Slot();
  if (slot) return slot.get();
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = AppProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = AppIcon();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kAppClass;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return nullptr;
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  slot.reset(CreateWindowExW(0, kAppClass, W(ApplicationTitle()),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             x, y, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  return slot.get();
}

void ShowAppWindow() {
  HWND h = AppWindow();
  if (h && !IsWindowVisible(h))
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace win32

namespace native {

void ApplicationTitleChanged(const std::u16string& title) {
  if (HWND h = Slot().get()) SetWindowTextW(h, win32::W(title));
}

uintptr_t AppWindowHandle() {
  // Tests run headless and must not create windows.
  if (CurrentBackend() != Backend::Native) return 0;
  return reinterpret_cast<uintptr_t>(win32::AppWindow());
}

}  // namespace native
}  // namespace platform
