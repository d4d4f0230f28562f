// Entry point: the libraries' start-up steps, the application object and its
// title, the main window, the loop.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/Main.h"
#include "controls/skin/sSkinManager.h"
#include "framework/Application.h"
#include "platform/Window.h"

int main(int argc, char** argv) {
  platform::SetBackend(platform::Backend::Native);
  try {
    TApplication app;
    sSkinLibraryStartup(std::vector<std::string>(argv + 1, argv + argc));
    app.SetTitle(Utf8ToAnsi("Загрузчик 1.0"));
    DecimalSeparator();  // the user's setting, read once at start
    app.CreateForm<TMain_Form>();
    app.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vorlix-downloader: %s\n", e.what());
    return 1;
  }
  return 0;
}
