// Application title and message handler; the native window (Windows only) lives
// in the per-OS file behind the two hooks below.
#include "platform/AppWindow.h"

#include <mutex>

#include "platform/AppWindowNative.h"

namespace platform {
namespace {
std::mutex g_mu;
std::u16string g_title;
AppWindowHandler g_handler;
}  // namespace

void SetApplicationTitle(const std::u16string& title) {
  {
    std::lock_guard lk(g_mu);
    g_title = title;
  }
  native::ApplicationTitleChanged(title);
}

std::u16string ApplicationTitle() {
  std::lock_guard lk(g_mu);
  return g_title;
}

uintptr_t AppWindowHandle() {
  return native::AppWindowHandle();
}

void SetAppWindowHandler(AppWindowHandler handler) {
  std::lock_guard lk(g_mu);
  g_handler = std::move(handler);
}

bool DeliverAppWindowMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  result = 0;
  AppWindowHandler h;
  {
    std::lock_guard lk(g_mu);
    h = g_handler;
  }
  // A copy, so the handler may replace or remove itself while it runs.
  return h ? h(msg, wparam, lparam, result) : false;
}

}  // namespace platform
