// Back-end choice, the headless back end, and dispatch to the native one.
#include "platform/Window.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <stdexcept>

#include "platform/NativeBackend.h"

namespace platform {
namespace {

std::atomic<Backend> g_backend{Backend::Headless};
// Set by the first CreateNativeWindow: from then on the choice is fixed.
std::atomic<bool> g_backend_fixed{false};

class HeadlessWindow;

struct Pending {
  HeadlessWindow* window;
  InputEvent event;
};

// Everything the headless back end shares between threads.
struct HeadlessState {
  std::mutex mu;
  std::condition_variable cv;
  std::deque<Pending> queue;
  std::vector<HeadlessWindow*> windows;  // creation order
  bool woken = false;
  int32_t screen_w = 1280, screen_h = 1024;
};

HeadlessState& State() {
  static HeadlessState s;
  return s;
}

class HeadlessWindow final : public NativeWindow {
 public:
  explicit HeadlessWindow(WindowListener* listener) : listener_(listener) {
    auto& s = State();
    std::lock_guard lk(s.mu);
    s.windows.push_back(this);
  }
  ~HeadlessWindow() override {
    auto& s = State();
    std::lock_guard lk(s.mu);
    std::erase(s.windows, this);
    std::erase_if(s.queue, [this](const Pending& p) { return p.window == this; });
  }

  void SetTitle(const std::u16string& title) override { title_ = title; }
  void SetBorderless(bool b) override { borderless_ = b; }
  void SetBounds(int32_t x, int32_t y, int32_t width, int32_t height) override {
    x_ = x;
    y_ = y;
    w_ = std::max(0, width);
    h_ = std::max(0, height);
  }
  void Show(bool centered) override {
    if (centered) {
      auto& s = State();
      std::lock_guard lk(s.mu);
      x_ = (s.screen_w - w_) / 2;
      y_ = (s.screen_h - h_) / 2;
    }
    visible_ = true;
  }
  void Hide() override { visible_ = false; }
  bool Visible() const override { return visible_; }

  void Present(const uint8_t* pixels, int32_t stride, int32_t width, int32_t height,
               const IntRect& area) override {
    ++frame_.presents;
    frame_.last_area = area;
    if (width <= 0 || height <= 0 || !pixels) return;
    if (frame_.width != width || frame_.height != height) {
      frame_.width = width;
      frame_.height = height;
      frame_.pixels.assign(size_t(width) * size_t(height), 0);
    }
    const int32_t l = std::max(0, area.left), t = std::max(0, area.top);
    const int32_t r = std::min(width, area.right), b = std::min(height, area.bottom);
    if (r <= l || b <= t) return;
    for (int32_t y = t; y < b; ++y) {
      std::memcpy(&frame_.pixels[size_t(y) * size_t(width) + size_t(l)],
                  pixels + ptrdiff_t(y) * stride + ptrdiff_t(l) * 4, size_t(r - l) * 4);
    }
  }
  void SetCursor(Cursor c) override { cursor_ = c; }
  void SetCapture(bool on) override { capture_ = on; }
  void ScreenPosition(int32_t& x, int32_t& y) const override {
    x = x_;
    y = y_;
  }
  uintptr_t Handle() const override { return 0; }

  WindowListener* listener() const { return listener_; }
  const headless::Frame& frame() const { return frame_; }
  const std::u16string& title() const { return title_; }
  Cursor cursor() const { return cursor_; }
  bool capture() const { return capture_; }
  bool borderless() const { return borderless_; }

 private:
  WindowListener* listener_;
  std::u16string title_;
  int32_t x_ = 0, y_ = 0, w_ = 0, h_ = 0;
  bool visible_ = false, capture_ = false, borderless_ = true;
  Cursor cursor_ = Cursor::Arrow;
  headless::Frame frame_;
};

// Delivers the events queued when the call starts (events injected by a listener
// wait for the next call, so a listener that injects cannot loop forever).
bool PumpHeadless(int32_t timeout_ms) {
  auto& s = State();
  std::unique_lock lk(s.mu);
  if (s.queue.empty() && timeout_ms != 0 && !s.woken) {
    auto ready = [&s] { return !s.queue.empty() || s.woken; };
    if (timeout_ms < 0)
      s.cv.wait(lk, ready);
    else
      s.cv.wait_for(lk, std::chrono::milliseconds(timeout_ms), ready);
  }
  s.woken = false;
  bool delivered = false;
  for (size_t n = s.queue.size(); n > 0 && !s.queue.empty(); --n) {
    Pending p = s.queue.front();
    s.queue.pop_front();
    WindowListener* listener = p.window->listener();
    if (!listener) continue;
    // Unlocked: the listener may inject, present, or destroy windows (whose
    // queued events then vanish with them).
    lk.unlock();
    listener->OnWindowEvent(p.event);
    delivered = true;
    lk.lock();
  }
  return delivered;
}

void WakeHeadless() {
  auto& s = State();
  {
    std::lock_guard lk(s.mu);
    s.woken = true;
  }
  s.cv.notify_all();
}

bool UseNative() {
  return g_backend.load() == Backend::Native;
}

}  // namespace

void SetBackend(Backend b) {
  if (g_backend_fixed.load() && b != g_backend.load())
    throw std::logic_error("the window back end cannot change once a window exists");
  g_backend.store(b);
}

Backend CurrentBackend() {
  return g_backend.load();
}

std::unique_ptr<NativeWindow> CreateNativeWindow(WindowListener* listener) {
  g_backend_fixed.store(true);
  if (UseNative()) return native::MakeWindow(listener);
  return std::make_unique<HeadlessWindow>(listener);
}

bool PumpEvents(int32_t timeout_ms) {
  // Before the display is open there is nothing native to wait on; the headless
  // queue (always empty then) still waits and honours WakeUp.
  if (UseNative() && native::Ready()) return native::PumpEvents(timeout_ms);
  return PumpHeadless(timeout_ms);
}

void WakeUp() {
  if (UseNative()) native::WakeUp();
  WakeHeadless();
}

void ScreenSize(int32_t& width, int32_t& height) {
  if (UseNative()) return native::ScreenSize(width, height);
  auto& s = State();
  std::lock_guard lk(s.mu);
  width = s.screen_w;
  height = s.screen_h;
}

namespace headless {

void Inject(const InputEvent& e, NativeWindow* target) {
  auto& s = State();
  {
    std::lock_guard lk(s.mu);
    HeadlessWindow* w = nullptr;
    if (target) {
      auto it = std::find(s.windows.begin(), s.windows.end(), target);
      if (it != s.windows.end()) w = *it;
    } else if (!s.windows.empty()) {
      w = s.windows.back();
    }
    if (!w) return;  // no such headless window: nobody could receive it
    s.queue.push_back({w, e});
  }
  s.cv.notify_all();
}

namespace {
// Only for windows this back end made; others get the defaults.
const HeadlessWindow* Find(NativeWindow* w) {
  return dynamic_cast<const HeadlessWindow*>(w);
}
}  // namespace

const Frame& PresentedFrame(NativeWindow* w) {
  static const Frame empty;
  const HeadlessWindow* h = Find(w);
  return h ? h->frame() : empty;
}

void SetScreenSize(int32_t width, int32_t height) {
  auto& s = State();
  std::lock_guard lk(s.mu);
  s.screen_w = width;
  s.screen_h = height;
}

std::u16string TitleOf(NativeWindow* w) {
  const HeadlessWindow* h = Find(w);
  return h ? h->title() : std::u16string();
}

Cursor CursorOf(NativeWindow* w) {
  const HeadlessWindow* h = Find(w);
  return h ? h->cursor() : Cursor::Arrow;
}

bool HasCapture(NativeWindow* w) {
  const HeadlessWindow* h = Find(w);
  return h && h->capture();
}

bool IsBorderless(NativeWindow* w) {
  const HeadlessWindow* h = Find(w);
  return h && h->borderless();
}

}  // namespace headless
}  // namespace platform
