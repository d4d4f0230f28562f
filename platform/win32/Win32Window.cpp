// The Win32 back end: one HWND per form showing the form's pixels with
// SetDIBitsToDevice. The window procedure only queues events; PumpEvents hands
// them to the listeners, so no listener runs inside a Win32 call made by the
// framework (SetWindowPos, ShowWindow and the like send messages synchronously).
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/NativeBackend.h"
#include "platform/win32/Win32Internal.h"

namespace platform::native {
namespace {

constexpr wchar_t kFormClass[] = L"VorlixForm";

struct HwndDeleter {
  void operator()(HWND h) const { DestroyWindow(h); }
};
using HwndPtr = std::unique_ptr<std::remove_pointer_t<HWND>, HwndDeleter>;
struct HandleDeleter {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using HandlePtr = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleDeleter>;

class Win32Window;

struct Queued {
  HWND hwnd;
  InputEvent event;
};

// GUI-thread state; only the wake event is touched by other threads.
struct Pump {
  std::deque<Queued> queue;
  std::vector<Win32Window*> order;  // creation order
  HandlePtr wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

Pump& P() {
  static Pump p;
  return p;
}

uint32_t KeyModifiers() {
  uint32_t s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= kShift;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  if (GetKeyState(VK_CONTROL) < 0) s |= kCtrl;
  return s;
}

uint32_t MouseModifiers(WPARAM wp) {
  uint32_t s = 0;
  if (wp & MK_SHIFT) s |= kShift;
  if (wp & MK_CONTROL) s |= kCtrl;
  if (wp & MK_LBUTTON) s |= kLeft;
  if (wp & MK_RBUTTON) s |= kRight;
  if (wp & MK_MBUTTON) s |= kMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  return s;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void RegisterFormClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = win32::AppIcon();
    wc.hCursor = nullptr;  // chosen per message in WM_SETCURSOR
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered)
    throw std::runtime_error("cannot open a window: RegisterClassEx failed (error " +
                             std::to_string(GetLastError()) + ")");
}

class Win32Window final : public NativeWindow {
 public:
  explicit Win32Window(WindowListener* listener) : listener_(listener) {
    RegisterFormClass();
    HWND owner = win32::AppWindow();
    HWND h = CreateWindowExW(0, kFormClass, L"", Style(), 0, 0, 1, 1, owner, nullptr,
                             GetModuleHandleW(nullptr), this);
    if (!h) {
      const DWORD error = GetLastError();
      (void)hwnd_.release();  // the system destroyed what WM_NCCREATE attached
      throw std::runtime_error("cannot open a window: CreateWindowEx failed (error " +
                               std::to_string(error) + ")");
    }
    P().order.push_back(this);
  }
  ~Win32Window() override {
    // Messages sent while the window is destroyed must not reach this object.
    SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, 0);
    if (GetCapture() == hwnd_.get()) ReleaseCapture();
    auto& p = P();
    std::erase(p.order, this);
    std::erase_if(p.queue, [this](const Queued& q) { return q.hwnd == hwnd_.get(); });
  }

  void SetTitle(const std::u16string& title) override {
    SetWindowTextW(hwnd_.get(), win32::W(title));
  }
  void SetBorderless(bool b) override {
    if (b == borderless_) return;
    borderless_ = b;
    SetWindowLongPtrW(hwnd_.get(), GWL_STYLE,
                      Style() | (IsWindowVisible(hwnd_.get()) ? WS_VISIBLE : 0));
    SetBounds(x_, y_, w_, h_);
  }
  void SetBounds(int32_t x, int32_t y, int32_t width, int32_t height) override {
    x_ = x;
    y_ = y;
    w_ = std::max(0, width);
    h_ = std::max(0, height);
    RECT r{x_, y_, x_ + w_, y_ + h_};
    AdjustWindowRectEx(&r, Style(), FALSE, 0);
    SetWindowPos(hwnd_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  void Show(bool centered) override {
    if (centered) {
      RECT wa{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
      SetBounds(wa.left + (wa.right - wa.left - w_) / 2, wa.top + (wa.bottom - wa.top - h_) / 2, w_,
                h_);
    }
    win32::ShowAppWindow();
    ShowWindow(hwnd_.get(), SW_SHOW);
    SetForegroundWindow(hwnd_.get());
  }
  void Hide() override { ShowWindow(hwnd_.get(), SW_HIDE); }
  bool Visible() const override { return IsWindowVisible(hwnd_.get()) != FALSE; }

  void Present(const uint8_t* pixels, int32_t stride, int32_t width, int32_t height,
               const IntRect& area) override {
    if (!pixels || width <= 0 || height <= 0) return;
    if (fw_ != width || fh_ != height) {
      fw_ = width;
      fh_ = height;
      frame_.assign(size_t(width) * size_t(height), 0);
    }
    const int32_t l = std::max(0, area.left), t = std::max(0, area.top);
    const int32_t r = std::min(width, area.right), b = std::min(height, area.bottom);
    if (r <= l || b <= t) return;
    for (int32_t y = t; y < b; ++y)
      std::memcpy(&frame_[size_t(y) * size_t(fw_) + size_t(l)],
                  pixels + ptrdiff_t(y) * stride + ptrdiff_t(l) * 4, size_t(r - l) * 4);
    HDC dc = GetDC(hwnd_.get());
    if (!dc) return;
    Blit(dc, RECT{l, t, r, b});
    ReleaseDC(hwnd_.get(), dc);
  }

  void SetCursor(Cursor c) override {
    cursor_ = c;
    // Take effect at once when the pointer is over the window already.
    POINT pt;
    if (GetCursorPos(&pt) && WindowFromPoint(pt) == hwnd_.get()) ::SetCursor(CursorHandle());
  }
  void SetCapture(bool on) override {
    if (on)
      ::SetCapture(hwnd_.get());
    else if (GetCapture() == hwnd_.get())
      ReleaseCapture();
  }
  void ScreenPosition(int32_t& x, int32_t& y) const override {
    POINT pt{0, 0};
    ClientToScreen(hwnd_.get(), &pt);
    x = pt.x;
    y = pt.y;
  }
  uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(hwnd_.get()); }

  void Deliver(const InputEvent& e) {
    if (listener_) listener_->OnWindowEvent(e);
  }
  LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp);
  // From WM_NCCREATE on: messages arrive before CreateWindowEx returns.
  void Attach(HWND h) { hwnd_.reset(h); }

 private:
  DWORD Style() const { return WS_CLIPCHILDREN | (borderless_ ? WS_POPUP : WS_OVERLAPPEDWINDOW); }
  HCURSOR CursorHandle() const {
    // Shared system cursors: never destroyed, so nothing to own.
    return LoadCursorW(nullptr, cursor_ == Cursor::HandPoint ? IDC_HAND : IDC_ARROW);
  }
  // Draws `r` (inside the frame) of the kept frame; the DIB given to GDI covers
  // exactly the rows drawn, so top-down row order needs no source offset.
  void Blit(HDC dc, RECT r) const {
    r.right = std::min<LONG>(r.right, fw_);
    r.bottom = std::min<LONG>(r.bottom, fh_);
    if (r.right <= r.left || r.bottom <= r.top) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = fw_;
    bi.bmiHeader.biHeight = -(r.bottom - r.top);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, r.left, 0, 0,
                      r.bottom - r.top, &frame_[size_t(r.top) * size_t(fw_)], &bi, DIB_RGB_COLORS);
  }
  void Queue(const InputEvent& e) { P().queue.push_back({hwnd_.get(), e}); }
  void Mouse(EventKind kind, int32_t button, int32_t clicks, WPARAM wp, LPARAM lp) {
    InputEvent e;
    e.kind = kind;
    e.x = GET_X_LPARAM(lp);
    e.y = GET_Y_LPARAM(lp);
    e.button = button;
    e.clicks = clicks;
    e.shift = MouseModifiers(wp) | (clicks == 2 ? uint32_t(kDouble) : 0u);
    Queue(e);
  }
  void Key(EventKind kind, WPARAM wp, bool alt) {
    InputEvent e;
    e.kind = kind;
    e.key = uint32_t(wp);
    e.shift = KeyModifiers() | (alt ? uint32_t(kAlt) : 0u);
    Queue(e);
  }

  WindowListener* listener_;
  HwndPtr hwnd_;
  bool borderless_ = true, tracking_ = false;
  int32_t x_ = 0, y_ = 0, w_ = 0, h_ = 0;
  Cursor cursor_ = Cursor::Arrow;
  std::vector<uint32_t> frame_;  // the last frame, for WM_PAINT
  int32_t fw_ = 0, fh_ = 0;
};

LRESULT Win32Window::Proc(UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = hwnd_.get();
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (fw_ > 0)
        Blit(dc, ps.rcPaint);
      else
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        ::SetCursor(CursorHandle());
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, h, 0};
        tracking_ = TrackMouseEvent(&t) != FALSE;
      }
      Mouse(EventKind::MouseMove, 0, 1, wp, lp);
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      Queue(InputEvent{.kind = EventKind::MouseLeave});
      return 0;
    case WM_LBUTTONDOWN:
      Mouse(EventKind::MouseDown, 0, 1, wp, lp);
      return 0;
    case WM_LBUTTONDBLCLK:
      Mouse(EventKind::MouseDown, 0, 2, wp, lp);
      return 0;
    case WM_LBUTTONUP:
      Mouse(EventKind::MouseUp, 0, 1, wp, lp);
      return 0;
    case WM_RBUTTONDOWN:
      Mouse(EventKind::MouseDown, 1, 1, wp, lp);
      return 0;
    case WM_RBUTTONDBLCLK:
      Mouse(EventKind::MouseDown, 1, 2, wp, lp);
      return 0;
    case WM_RBUTTONUP:
      Mouse(EventKind::MouseUp, 1, 1, wp, lp);
      return 0;
    case WM_MBUTTONDOWN:
      Mouse(EventKind::MouseDown, 2, 1, wp, lp);
      return 0;
    case WM_MBUTTONDBLCLK:
      Mouse(EventKind::MouseDown, 2, 2, wp, lp);
      return 0;
    case WM_MBUTTONUP:
      Mouse(EventKind::MouseUp, 2, 1, wp, lp);
      return 0;
    case WM_KEYDOWN:
      Key(EventKind::KeyDown, wp, false);
      return 0;
    case WM_KEYUP:
      Key(EventKind::KeyUp, wp, false);
      return 0;
    case WM_SYSKEYDOWN:
      // Reported, then left to the system, which turns Alt+F4 into WM_CLOSE.
      Key(EventKind::KeyDown, wp, (lp & (1 << 29)) != 0);
      break;
    case WM_SYSKEYUP:
      Key(EventKind::KeyUp, wp, (lp & (1 << 29)) != 0);
      break;
    case WM_CHAR:
    case WM_SYSCHAR:  // Alt+letter: the framework's accelerators (and no menu beep)
      Queue(InputEvent{.kind = EventKind::Char,
                       .shift = KeyModifiers() | (msg == WM_SYSCHAR ? uint32_t(kAlt) : 0u),
                       .ch = char16_t(wp)});
      return 0;
    case WM_CLOSE:  // the framework decides whether the window goes
      Queue(InputEvent{.kind = EventKind::Close});
      return 0;
    case WM_ACTIVATE:
      Queue(InputEvent{.kind = LOWORD(wp) == WA_INACTIVE ? EventKind::Deactivate
                                                         : EventKind::Activate});
      break;
    default:
      break;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    auto* self = static_cast<Win32Window*>(cs->lpCreateParams);
    self->Attach(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* w = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return w ? w->Proc(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

// Window procedures run here (and only queue); listeners run after.
void DrainMessages() {
  MSG m;
  for (int budget = 1024; budget > 0 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); --budget) {
    if (m.message == WM_QUIT) continue;  // the framework has its own quit request
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

Win32Window* FromHwnd(HWND h) {
  for (Win32Window* w : P().order)
    if (reinterpret_cast<HWND>(w->Handle()) == h) return w;
  return nullptr;
}

}  // namespace

std::unique_ptr<NativeWindow> MakeWindow(WindowListener* listener) {
  return std::make_unique<Win32Window>(listener);
}

bool Ready() {
  return true;
}

bool PumpEvents(int32_t timeout_ms) {
  Pump& p = P();
  DrainMessages();
  if (p.queue.empty() && timeout_ms != 0) {
    HANDLE wake = p.wake.get();
    const DWORD limit = timeout_ms < 0 ? INFINITE : DWORD(timeout_ms);
    MsgWaitForMultipleObjectsEx(wake ? 1 : 0, wake ? &wake : nullptr, limit, QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    DrainMessages();
  }
  if (p.wake) ResetEvent(p.wake.get());  // a wake-up consumed by this call
  bool delivered = false;
  for (size_t n = p.queue.size(); n > 0 && !p.queue.empty(); --n) {
    Queued q = p.queue.front();
    p.queue.pop_front();
    // Looked up again each time: a listener may have destroyed windows.
    if (Win32Window* w = FromHwnd(q.hwnd)) {
      w->Deliver(q.event);
      delivered = true;
    }
  }
  return delivered;
}

void WakeUp() {
  if (HANDLE h = P().wake.get()) SetEvent(h);
}

void ScreenSize(int32_t& width, int32_t& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace platform::native

namespace platform::win32 {

void CloseFirstForm() {
  for (auto* w : native::P().order) {
    if (w->Visible()) {
      PostMessageW(reinterpret_cast<HWND>(w->Handle()), WM_CLOSE, 0, 0);
      return;
    }
  }
}

}  // namespace platform::win32
