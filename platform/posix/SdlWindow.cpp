// The SDL2 back end: a real window on X11 or Wayland showing the form's pixels
// through the window surface, with SDL's input translated to the Windows terms
// the framework speaks (virtual-key codes, UTF-16 characters, double clicks).
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/NativeBackend.h"
#include "platform/Utf8.h"

namespace platform::native {
namespace {

struct WindowDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct CursorDeleter {
  void operator()(SDL_Cursor* c) const { SDL_FreeCursor(c); }
};
using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;
using CursorPtr = std::unique_ptr<SDL_Cursor, CursorDeleter>;

class SdlWindow;

// SDL itself, opened once and closed at process exit.
struct Video {
  std::mutex init_mu;
  std::atomic<bool> ready{false};
  std::atomic<uint32_t> wake_type{0};
  CursorPtr arrow, hand;
  std::map<uint32_t, SdlWindow*> windows;  // by SDL window id; GUI thread only
  std::vector<SdlWindow*> order;           // creation order
  uint32_t focused = 0;
  uint32_t button_mask = 0;  // kLeft | kRight | kMiddle as the events reported them

  ~Video() {
    if (!ready) return;
    arrow.reset();
    hand.reset();
    SDL_Quit();
  }
};

Video& V() {
  static Video v;
  return v;
}

void Open() {
  Video& v = V();
  if (v.ready) return;
  std::lock_guard lk(v.init_mu);
  if (v.ready) return;
  // SDL_QUIT then comes only from signals (Ctrl+C), never doubling a window's close.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // The plain window surface: the accelerated one recreates the window as an
  // OpenGL window, which forgets its position, and needs a GL driver for nothing.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // A click that activates the window also counts, as on Windows.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  auto set = [](const char* var) {
    const char* v = SDL_getenv(var);
    return v && *v;
  };
  if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER"))
    throw std::runtime_error("cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY is set");
  // Only X11 then: trying Wayland as well would just print its own complaint.
  if (!set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::string why = SDL_GetError();
    if (set("DISPLAY") && !set("WAYLAND_DISPLAY"))
      why = std::string("X display '") + SDL_getenv("DISPLAY") + "' is not reachable (" + why + ")";
    SDL_Quit();
    if (why.empty()) why = "no video device";
    throw std::runtime_error("cannot open a display: " + why);
  }
  // With no display SDL falls back to drivers that show nothing; a window nobody
  // can see is an error unless someone asked for such a driver by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string name = driver ? driver : "";
  if ((name == "offscreen" || name == "dummy" || name == "evdev") && !set("SDL_VIDEODRIVER")) {
    SDL_Quit();
    throw std::runtime_error("cannot open a display: DISPLAY and WAYLAND_DISPLAY are not usable");
  }
  SDL_EnableScreenSaver();
  SDL_StartTextInput();
  v.wake_type = SDL_RegisterEvents(1);
  v.arrow.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
  v.hand.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND));
  v.ready = true;
}

uint32_t Modifiers(uint16_t mod) {
  uint32_t s = 0;
  if (mod & KMOD_SHIFT) s |= kShift;
  if (mod & KMOD_ALT) s |= kAlt;
  if (mod & KMOD_CTRL) s |= kCtrl;
  return s;
}

// Windows virtual-key code of a physical key (0: none we report). Letters and
// digits go by position, as Windows reports them under a Cyrillic layout too.
uint32_t VirtualKey(const SDL_Keysym& k) {
  const SDL_Scancode sc = k.scancode;
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return '0';
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 0x70 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return 0x61 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_ESCAPE:
      return 0x1B;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return 0x0D;
    case SDL_SCANCODE_SPACE:
      return 0x20;
    case SDL_SCANCODE_TAB:
      return 0x09;
    case SDL_SCANCODE_BACKSPACE:
      return 0x08;
    case SDL_SCANCODE_LEFT:
      return 0x25;
    case SDL_SCANCODE_UP:
      return 0x26;
    case SDL_SCANCODE_RIGHT:
      return 0x27;
    case SDL_SCANCODE_DOWN:
      return 0x28;
    case SDL_SCANCODE_PAGEUP:
      return 0x21;
    case SDL_SCANCODE_PAGEDOWN:
      return 0x22;
    case SDL_SCANCODE_END:
      return 0x23;
    case SDL_SCANCODE_HOME:
      return 0x24;
    case SDL_SCANCODE_INSERT:
      return 0x2D;
    case SDL_SCANCODE_DELETE:
      return 0x2E;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return 0x10;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return 0x11;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return 0x12;
    case SDL_SCANCODE_PAUSE:
      return 0x13;
    case SDL_SCANCODE_CAPSLOCK:
      return 0x14;
    case SDL_SCANCODE_KP_0:
      return 0x60;
    case SDL_SCANCODE_KP_MULTIPLY:
      return 0x6A;
    case SDL_SCANCODE_KP_PLUS:
      return 0x6B;
    case SDL_SCANCODE_KP_MINUS:
      return 0x6D;
    case SDL_SCANCODE_KP_PERIOD:
      return 0x6E;
    case SDL_SCANCODE_KP_DIVIDE:
      return 0x6F;
    case SDL_SCANCODE_SEMICOLON:
      return 0xBA;
    case SDL_SCANCODE_EQUALS:
      return 0xBB;
    case SDL_SCANCODE_COMMA:
      return 0xBC;
    case SDL_SCANCODE_MINUS:
      return 0xBD;
    case SDL_SCANCODE_PERIOD:
      return 0xBE;
    case SDL_SCANCODE_SLASH:
      return 0xBF;
    case SDL_SCANCODE_GRAVE:
      return 0xC0;
    case SDL_SCANCODE_LEFTBRACKET:
      return 0xDB;
    case SDL_SCANCODE_BACKSLASH:
      return 0xDC;
    case SDL_SCANCODE_RIGHTBRACKET:
      return 0xDD;
    case SDL_SCANCODE_APOSTROPHE:
      return 0xDE;
    default:
      return 0;
  }
}

// The character Windows would type for a key SDL sends no text for (0: none).
char16_t ControlChar(const SDL_Keysym& k) {
  switch (k.scancode) {
    case SDL_SCANCODE_ESCAPE:
      return 27;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return 13;
    case SDL_SCANCODE_BACKSPACE:
      return 8;
    case SDL_SCANCODE_TAB:
      return 9;
    default:
      break;
  }
  if ((k.mod & KMOD_CTRL) && !(k.mod & KMOD_ALT) && k.scancode >= SDL_SCANCODE_A &&
      k.scancode <= SDL_SCANCODE_Z)
    return char16_t(1 + (k.scancode - SDL_SCANCODE_A));  // Ctrl+A = 1 ... Ctrl+Z = 26
  return 0;
}

class SdlWindow final : public NativeWindow {
 public:
  explicit SdlWindow(WindowListener* listener) : listener_(listener) {
    Open();
    window_.reset(SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                   SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS));
    if (!window_) throw std::runtime_error(std::string("cannot open a window: ") + SDL_GetError());
    id_ = SDL_GetWindowID(window_.get());
    V().windows[id_] = this;
    V().order.push_back(this);
  }
  ~SdlWindow() override {
    Video& v = V();
    if (v.hand && SDL_GetCursor() == v.hand.get()) SDL_SetCursor(v.arrow.get());
    v.windows.erase(id_);
    std::erase(v.order, this);
    if (v.focused == id_) v.focused = 0;
  }

  void SetTitle(const std::u16string& title) override {
    SDL_SetWindowTitle(window_.get(), utf::ToUtf8(title).c_str());
  }
  void SetBorderless(bool b) override {
    SDL_SetWindowBordered(window_.get(), b ? SDL_FALSE : SDL_TRUE);
  }
  void SetBounds(int32_t x, int32_t y, int32_t width, int32_t height) override {
    w_ = std::max(1, width);
    h_ = std::max(1, height);
    SDL_SetWindowSize(window_.get(), w_, h_);
    SDL_SetWindowPosition(window_.get(), x, y);
  }
  void Show(bool centered) override {
    // Centred from the size asked for: SDL's own centring may still see the size
    // the window had before the server confirmed the change.
    SDL_Rect screen{0, 0, 0, 0};
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
    if (centered && SDL_GetDisplayBounds(display, &screen) == 0)
      SDL_SetWindowPosition(window_.get(), screen.x + (screen.w - w_) / 2,
                            screen.y + (screen.h - h_) / 2);
    SDL_ShowWindow(window_.get());
    SDL_RaiseWindow(window_.get());
    // Without a window manager nobody else gives the new window the keyboard.
    SDL_SetWindowInputFocus(window_.get());
  }
  void Hide() override { SDL_HideWindow(window_.get()); }
  bool Visible() const override {
    return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_SHOWN) != 0;
  }

  void Present(const uint8_t* pixels, int32_t stride, int32_t width, int32_t height,
               const IntRect& area) override {
    SDL_Surface* s = SDL_GetWindowSurface(window_.get());
    if (!s || !pixels) return;
    const int32_t l = std::max(0, area.left), t = std::max(0, area.top);
    const int32_t r = std::min({width, s->w, area.right});
    const int32_t b = std::min({height, s->h, area.bottom});
    if (r <= l || b <= t) return;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return;
    const uint8_t* src = pixels + ptrdiff_t(t) * stride + ptrdiff_t(l) * 4;
    auto* dst = static_cast<uint8_t*>(s->pixels) + ptrdiff_t(t) * s->pitch +
                ptrdiff_t(l) * s->format->BytesPerPixel;
    const uint32_t f = s->format->format;
    if (f == SDL_PIXELFORMAT_RGB888 || f == SDL_PIXELFORMAT_ARGB8888) {
      for (int32_t y = t; y < b; ++y, src += stride, dst += s->pitch)
        std::memcpy(dst, src, size_t(r - l) * 4);
    } else {
      SDL_ConvertPixels(r - l, b - t, SDL_PIXELFORMAT_RGB888, src, stride, f, dst, s->pitch);
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    const SDL_Rect rect{l, t, r - l, b - t};
    SDL_UpdateWindowSurfaceRects(window_.get(), &rect, 1);
  }

  void SetCursor(Cursor c) override {
    cursor_ = c;
    ApplyCursor();
  }
  void ApplyCursor() {
    Video& v = V();
    SDL_Cursor* want = cursor_ == Cursor::HandPoint ? v.hand.get() : v.arrow.get();
    if (want && SDL_GetCursor() != want) SDL_SetCursor(want);
  }
  void SetCapture(bool on) override { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }
  void ScreenPosition(int32_t& x, int32_t& y) const override {
    SDL_GetWindowPosition(window_.get(), &x, &y);
  }
  uintptr_t Handle() const override { return id_; }

  void Deliver(const InputEvent& e) {
    if (listener_) listener_->OnWindowEvent(e);
  }

 private:
  WindowListener* listener_;
  WindowPtr window_;
  uint32_t id_ = 0;
  int32_t w_ = 1, h_ = 1;
  Cursor cursor_ = Cursor::Arrow;
};

// The window an event belongs to; nullptr when it is gone.
SdlWindow* Exact(uint32_t id) {
  Video& v = V();
  auto it = v.windows.find(id);
  return it != v.windows.end() ? it->second : nullptr;
}

// Keyboard events sent straight to a window that has no keyboard focus (no window
// manager) carry id 0: the focused or newest visible window takes them.
SdlWindow* KeyTarget(uint32_t id) {
  Video& v = V();
  if (id) return Exact(id);
  if (SdlWindow* w = Exact(v.focused)) return w;
  for (auto it = v.order.rbegin(); it != v.order.rend(); ++it)
    if ((*it)->Visible()) return *it;
  return nullptr;
}

uint32_t MouseModifiers() {
  return Modifiers(uint16_t(SDL_GetModState())) | V().button_mask;
}

// Returns whether an event reached a listener. A listener may destroy windows, so
// a window is looked up again for every event.
bool Dispatch(const SDL_Event& ev) {
  Video& v = V();
  InputEvent e;
  SdlWindow* w = nullptr;
  auto button_of = [](uint8_t b) -> int32_t {
    return b == SDL_BUTTON_LEFT ? 0 : b == SDL_BUTTON_RIGHT ? 1 : b == SDL_BUTTON_MIDDLE ? 2 : -1;
  };
  static constexpr uint32_t kMask[] = {kLeft, kRight, kMiddle};
  switch (ev.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int32_t b = button_of(ev.button.button);
      if (b < 0 || !(w = Exact(ev.button.windowID))) return false;
      const bool down = ev.type == SDL_MOUSEBUTTONDOWN;
      if (down)
        v.button_mask |= kMask[b];
      else
        v.button_mask &= ~kMask[b];
      e.kind = down ? EventKind::MouseDown : EventKind::MouseUp;
      e.x = ev.button.x;
      e.y = ev.button.y;
      e.button = b;
      // Windows reports every second click of a run as the double click.
      e.clicks = down && ev.button.clicks >= 2 && ev.button.clicks % 2 == 0 ? 2 : 1;
      e.shift = MouseModifiers() | (down && e.clicks == 2 ? uint32_t(kDouble) : 0u);
      break;
    }
    case SDL_MOUSEMOTION:
      if (!(w = Exact(ev.motion.windowID))) return false;
      v.button_mask = 0;
      if (ev.motion.state & SDL_BUTTON_LMASK) v.button_mask |= kLeft;
      if (ev.motion.state & SDL_BUTTON_RMASK) v.button_mask |= kRight;
      if (ev.motion.state & SDL_BUTTON_MMASK) v.button_mask |= kMiddle;
      e.kind = EventKind::MouseMove;
      e.x = ev.motion.x;
      e.y = ev.motion.y;
      e.shift = MouseModifiers();
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      if (!(w = KeyTarget(ev.key.windowID))) return false;
      e.kind = ev.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
      e.key = VirtualKey(ev.key.keysym);
      e.shift = Modifiers(ev.key.keysym.mod);
      const uint32_t id = ev.key.windowID;
      if (e.key) w->Deliver(e);
      if (ev.type != SDL_KEYDOWN) return e.key != 0;
      // Without a window manager nobody turns Alt+F4 into a close request.
      if (ev.key.keysym.scancode == SDL_SCANCODE_F4 && (ev.key.keysym.mod & KMOD_ALT) &&
          !(ev.key.keysym.mod & (KMOD_CTRL | KMOD_SHIFT))) {
        if ((w = KeyTarget(id))) w->Deliver(InputEvent{.kind = EventKind::Close});
        return true;
      }
      if (const char16_t c = ControlChar(ev.key.keysym); c && (w = KeyTarget(id))) {
        w->Deliver(InputEvent{.kind = EventKind::Char, .shift = e.shift, .ch = c});
        return true;
      }
      return e.key != 0;
    }
    case SDL_TEXTINPUT: {
      const uint32_t id = ev.text.windowID;
      const uint32_t mods = Modifiers(uint16_t(SDL_GetModState()));
      bool any = false;
      for (char16_t c : utf::ToUtf16(ev.text.text)) {
        if (!(w = KeyTarget(id))) break;
        w->Deliver(InputEvent{.kind = EventKind::Char, .shift = mods, .ch = c});
        any = true;
      }
      return any;
    }
    case SDL_WINDOWEVENT:
      if (!(w = Exact(ev.window.windowID))) return false;
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          e.kind = EventKind::Close;
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          e.kind = EventKind::Expose;
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          v.focused = ev.window.windowID;
          e.kind = EventKind::Activate;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          if (v.focused == ev.window.windowID) v.focused = 0;
          e.kind = EventKind::Deactivate;
          break;
        case SDL_WINDOWEVENT_LEAVE:
          e.kind = EventKind::MouseLeave;
          break;
        case SDL_WINDOWEVENT_ENTER:
          w->ApplyCursor();
          return false;
        default:
          return false;
      }
      break;
    case SDL_QUIT:  // a signal: ask the first window, as closing it ends the program
      for (SdlWindow* x : v.order) {
        if (x->Visible()) {
          x->Deliver(InputEvent{.kind = EventKind::Close});
          return true;
        }
      }
      return false;
    default:
      return false;
  }
  w->Deliver(e);
  return true;
}

}  // namespace

std::unique_ptr<NativeWindow> MakeWindow(WindowListener* listener) {
  return std::make_unique<SdlWindow>(listener);
}

bool Ready() {
  return V().ready;
}

bool PumpEvents(int32_t timeout_ms) {
  Open();
  SDL_Event ev;
  bool got;
  if (timeout_ms == 0)
    got = SDL_PollEvent(&ev);
  else if (timeout_ms < 0)
    got = SDL_WaitEvent(&ev);
  else
    got = SDL_WaitEventTimeout(&ev, timeout_ms);
  bool delivered = false;
  // Bounded, so a flood of motion cannot keep the caller from its own work.
  for (int budget = 1024; got && budget > 0; --budget) {
    delivered |= Dispatch(ev);
    got = SDL_PollEvent(&ev);
  }
  return delivered;
}

void WakeUp() {
  Video& v = V();
  if (!v.ready) return;
  SDL_Event ev{};
  ev.type = v.wake_type;
  SDL_PushEvent(&ev);
}

void ScreenSize(int32_t& width, int32_t& height) {
  Open();
  SDL_Rect r{0, 0, 0, 0};
  if (SDL_GetDisplayBounds(0, &r) != 0) r = {0, 0, 1280, 1024};
  width = r.w;
  height = r.h;
}

}  // namespace platform::native
