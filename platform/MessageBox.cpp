// Message box dispatch and the headless record.
#include "platform/MessageBox.h"

#include <cstdio>
#include <mutex>

#include "platform/NativeBackend.h"
#include "platform/Utf8.h"
#include "platform/Window.h"

namespace platform {
namespace {
std::mutex g_mu;
headless::MessageBoxRecord g_last;
}  // namespace

void ShowMessageBox(const std::u16string& title, const std::u16string& text) {
  {
    std::lock_guard lk(g_mu);
    g_last.title = title;
    g_last.text = text;
    ++g_last.count;
  }
  if (CurrentBackend() == Backend::Native && native::ShowMessageBox(title, text)) return;
  std::fprintf(stderr, "%s: %s\n", utf::ToUtf8(title).c_str(), utf::ToUtf8(text).c_str());
  std::fflush(stderr);
}

namespace headless {
MessageBoxRecord LastMessageBox() {
  std::lock_guard lk(g_mu);
  return g_last;
}
}  // namespace headless

}  // namespace platform
