// Entry point: the application object, its title, the main window, the loop.
#include <cstdio>
#include <exception>

#include "app/Main.h"
#include "framework/Application.h"
#include "platform/Window.h"

int main() {
  platform::SetBackend(platform::Backend::Native);
  try {
    TApplication app;
    app.SetTitle(Utf8ToAnsi("Загрузчик 1.0"));
    app.CreateForm<TMain_Form>();
    app.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vorlix-downloader: %s\n", e.what());
    return 1;
  }
  return 0;
}
