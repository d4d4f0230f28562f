// Native windows behind forms, and the event pump.
//
// Three back ends: the operating system's own window (Win32 on Windows, SDL2
// elsewhere) and a headless one used by tests. The back end is chosen once per
// process before the first window is made; headless is the default, so tests need
// no set-up and never touch a display.
//
// A window shows a 32-bit BGRX pixel buffer that its owner composes; it reports
// raw input in client coordinates through its listener. Events are delivered only
// from inside PumpEvents, on the thread that calls it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct IntRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
};

// Modifier and button state, bit for bit the Windows MK_/shift layout the framework uses.
enum : uint32_t {
  kShift = 1,
  kAlt = 2,
  kCtrl = 4,
  kLeft = 8,
  kRight = 16,
  kMiddle = 32,
  kDouble = 64
};

enum class EventKind {
  MouseDown,  // button 0 left, 1 right, 2 middle; clicks 2 for a native double click
  MouseUp,
  MouseMove,
  MouseLeave,  // the pointer left the window
  KeyDown,     // key: Windows virtual-key code
  KeyUp,
  Char,      // ch: one UTF-16 unit typed
  Close,     // the user or window manager asks the window to close (Alt+F4, close box)
  Expose,    // the system lost the window's pixels: present everything again
  Activate,  // window became active (focus in)
  Deactivate,
};

struct InputEvent {
  EventKind kind = EventKind::MouseMove;
  int32_t x = 0, y = 0;
  int32_t button = 0;
  int32_t clicks = 1;
  uint32_t shift = 0;  // kShift | kAlt | kCtrl | kLeft | kRight | kMiddle
  uint32_t key = 0;
  char16_t ch = 0;
};

enum class Cursor { Arrow, HandPoint };

class WindowListener {
 public:
  virtual ~WindowListener() = default;
  virtual void OnWindowEvent(const InputEvent& e) = 0;
};

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual void SetTitle(const std::u16string& title) = 0;
  // Windows are created without a frame or caption (every form here is
  // borderless); false gives the system's normal frame.
  virtual void SetBorderless(bool borderless) { (void)borderless; }
  // Client size; position is the screen position of the client area's top-left.
  virtual void SetBounds(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
  virtual void Show(bool centered) = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  // Copies `area` of a top-down BGRX buffer (stride in bytes) to the screen at once.
  virtual void Present(const uint8_t* pixels, int32_t stride, int32_t width, int32_t height,
                       const IntRect& area) = 0;
  virtual void SetCursor(Cursor c) = 0;
  virtual void SetCapture(bool on) = 0;
  // Screen position of the client area's top-left (after Show).
  virtual void ScreenPosition(int32_t& x, int32_t& y) const = 0;
  // HWND on Windows, SDL window id elsewhere, 0 headless.
  virtual uintptr_t Handle() const = 0;
};

enum class Backend { Headless, Native };
// Chooses the back end for the whole process; call it before the first window is
// made. Changing it once a window exists throws std::logic_error.
void SetBackend(Backend b);
Backend CurrentBackend();

// Throws std::runtime_error with a one-line reason when no display can be opened.
std::unique_ptr<NativeWindow> CreateNativeWindow(WindowListener* listener);

// Delivers pending events to their windows' listeners. Waits up to timeout_ms
// (-1: without limit) for the first one when none is pending. Returns whether any
// event was delivered.
bool PumpEvents(int32_t timeout_ms);
// Makes a PumpEvents that waits return early (callable from any thread).
void WakeUp();

void ScreenSize(int32_t& width, int32_t& height);

// ---- headless back end only -------------------------------------------------
namespace headless {
// Queues an event for the given window (nullptr: the most recently created one);
// it is delivered by the next PumpEvents.
void Inject(const InputEvent& e, NativeWindow* target = nullptr);
// The pixels last presented to the window, top-down BGRX, width*height words.
struct Frame {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  int32_t presents = 0;  // number of Present calls so far
  IntRect last_area;
};
// An empty frame for a window that is not headless.
const Frame& PresentedFrame(NativeWindow* w);
void SetScreenSize(int32_t width, int32_t height);
// What the window was last told (defaults for a window that is not headless).
std::u16string TitleOf(NativeWindow* w);
Cursor CursorOf(NativeWindow* w);
bool HasCapture(NativeWindow* w);
bool IsBorderless(NativeWindow* w);
}  // namespace headless

}  // namespace platform
