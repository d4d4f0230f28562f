// Visual styles on Windows: "uxtheme.dll" loaded at run time, so the program also
// starts where the library is missing (it then draws unthemed).
#include "platform/Themes.h"

#include <windows.h>

namespace platform {
namespace {

using HTHEME_ = HANDLE;
using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME_);
using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME_, HDC, int, int, const RECT*, const RECT*);
using DrawThemeEdgeFn = HRESULT(WINAPI*)(HTHEME_, HDC, int, int, const RECT*, UINT, UINT, RECT*);
using GetThemeSysSizeFn = int(WINAPI*)(HTHEME_, int);
using IsThemeActiveFn = BOOL(WINAPI*)();
using IsAppThemedFn = BOOL(WINAPI*)();
using OpenThemeDataFn = HTHEME_(WINAPI*)(HWND, LPCWSTR);

// The loaded library and its entries; the module is released at process exit.
class ThemeLibrary {
 public:
  ThemeLibrary() {
    module_ = ::LoadLibraryA("uxtheme.dll");
    if (!module_) return;
    Get(closeThemeData, "CloseThemeData");
    Get(drawThemeBackground, "DrawThemeBackground");
    Get(drawThemeEdge, "DrawThemeEdge");
    Get(getThemeSysSize, "GetThemeSysSize");
    Get(isThemeActive, "IsThemeActive");
    Get(isAppThemed, "IsAppThemed");
    Get(openThemeData, "OpenThemeData");
  }
  ~ThemeLibrary() {
    if (module_) ::FreeLibrary(module_);
  }
  ThemeLibrary(const ThemeLibrary&) = delete;
  ThemeLibrary& operator=(const ThemeLibrary&) = delete;

  bool Loaded() const { return module_ != nullptr; }

  CloseThemeDataFn closeThemeData = nullptr;
  DrawThemeBackgroundFn drawThemeBackground = nullptr;
  DrawThemeEdgeFn drawThemeEdge = nullptr;
  GetThemeSysSizeFn getThemeSysSize = nullptr;
  IsThemeActiveFn isThemeActive = nullptr;
  IsAppThemedFn isAppThemed = nullptr;
  OpenThemeDataFn openThemeData = nullptr;

 private:
  template <class F>
  void Get(F& fn, const char* name) {
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
  }
  HMODULE module_ = nullptr;
};

bool gSwitchedOff = false;

ThemeLibrary& Library() {
  // Never destroyed: the library stays loaded until the process ends, so theme
  // data closed by controls that outlive static destruction still finds it.
  static ThemeLibrary* lib = new ThemeLibrary;
  return *lib;
}

class WinThemeData : public ThemeData {
 public:
  explicit WinThemeData(HTHEME_ h) : handle_(h) {}
  ~WinThemeData() override {
    ThemeLibrary& lib = Library();
    if (lib.closeThemeData) lib.closeThemeData(handle_);
  }
  bool DrawBackground(void* dc, int32_t part, int32_t state, int32_t left, int32_t top,
                      int32_t right, int32_t bottom) override {
    ThemeLibrary& lib = Library();
    if (!dc || !lib.drawThemeBackground) return false;
    RECT r{left, top, right, bottom};
    HRESULT hr = lib.drawThemeBackground(handle_, static_cast<HDC>(dc), part, state, &r, nullptr);
    // The caller reads the pixels straight after; let GDI finish writing them.
    ::GdiFlush();
    return SUCCEEDED(hr);
  }

 private:
  HTHEME_ handle_;
};

}  // namespace

void LoadThemeLibrary() {
  Library();
}

ThemeState QueryThemeState() {
  ThemeLibrary& lib = Library();
  if (!lib.Loaded() || gSwitchedOff) return ThemeState::Unthemed;
  if (!lib.isAppThemed || !lib.isThemeActive) return ThemeState::Failed;
  if (!lib.isAppThemed()) return ThemeState::Unthemed;
  if (!lib.isThemeActive()) return ThemeState::Unthemed;
  return ThemeState::Themed;
}

void SetThemesSwitchedOff(bool off) {
  gSwitchedOff = off;
}

std::unique_ptr<ThemeData> OpenThemeData(uintptr_t window, const char16_t* classList) {
  ThemeLibrary& lib = Library();
  if (!lib.openThemeData) return nullptr;
  HTHEME_ h =
      lib.openThemeData(reinterpret_cast<HWND>(window), reinterpret_cast<LPCWSTR>(classList));
  if (!h) return nullptr;
  return std::make_unique<WinThemeData>(h);
}

}  // namespace platform
