// The headless window back end, the application window's message path, the
// headless message box, and the UTF conversions the native back ends rely on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/AppWindow.h"
#include "platform/MessageBox.h"
#include "platform/Utf8.h"
#include "platform/Window.h"

namespace {

using platform::EventKind;
using platform::InputEvent;
using platform::IntRect;
namespace headless = platform::headless;

struct Recorder : platform::WindowListener {
  std::vector<InputEvent> events;
  std::function<void(const InputEvent&)> also;
  void OnWindowEvent(const InputEvent& e) override {
    events.push_back(e);
    if (also) also(e);
  }
};

// Other tests in this binary share the queue: start from an empty one.
void Drain() {
  while (platform::PumpEvents(0)) {
  }
}

bool Same(const InputEvent& a, const InputEvent& b) {
  return a.kind == b.kind && a.x == b.x && a.y == b.y && a.button == b.button &&
         a.clicks == b.clicks && a.shift == b.shift && a.key == b.key && a.ch == b.ch;
}

class HeadlessWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Drain();
    headless::SetScreenSize(1280, 1024);
  }
  void TearDown() override {
    headless::SetScreenSize(1280, 1024);
    Drain();
  }
};

TEST_F(HeadlessWindowTest, BackendIsHeadlessAndFixedOnceAWindowExists) {
  EXPECT_EQ(platform::CurrentBackend(), platform::Backend::Headless);
  Recorder r;
  auto w = platform::CreateNativeWindow(&r);
  EXPECT_EQ(w->Handle(), 0u);
  EXPECT_THROW(platform::SetBackend(platform::Backend::Native), std::logic_error);
  EXPECT_NO_THROW(platform::SetBackend(platform::Backend::Headless));
  EXPECT_EQ(platform::CurrentBackend(), platform::Backend::Headless);
}

TEST_F(HeadlessWindowTest, InjectedEventsArriveInOrderWithEveryField) {
  const std::vector<InputEvent> table = {
      {.kind = EventKind::MouseMove, .x = 5, .y = 6, .shift = platform::kShift},
      {.kind = EventKind::MouseDown,
       .x = 10,
       .y = 20,
       .button = 0,
       .clicks = 1,
       .shift = platform::kLeft},
      {.kind = EventKind::MouseDown,
       .x = 10,
       .y = 20,
       .button = 0,
       .clicks = 2,
       .shift = platform::kLeft | platform::kDouble},
      {.kind = EventKind::MouseUp, .x = 11, .y = 21, .button = 1},
      {.kind = EventKind::MouseDown,
       .x = -3,
       .y = 400,
       .button = 2,
       .shift = platform::kMiddle | platform::kCtrl},
      {.kind = EventKind::MouseLeave},
      {.kind = EventKind::KeyDown, .shift = platform::kAlt, .key = 0x73},
      {.kind = EventKind::Char, .ch = u'Ж'},
      {.kind = EventKind::KeyUp, .key = 27},
      {.kind = EventKind::Activate},
      {.kind = EventKind::Deactivate},
      {.kind = EventKind::Expose},
      {.kind = EventKind::Close},
  };
  Recorder r;
  auto w = platform::CreateNativeWindow(&r);
  for (const auto& e : table) headless::Inject(e, w.get());
  EXPECT_TRUE(r.events.empty()) << "delivered only from PumpEvents";
  EXPECT_TRUE(platform::PumpEvents(0));
  ASSERT_EQ(r.events.size(), table.size());
  for (size_t i = 0; i < table.size(); ++i) EXPECT_TRUE(Same(r.events[i], table[i])) << i;
  EXPECT_FALSE(platform::PumpEvents(0)) << "nothing left";
}

TEST_F(HeadlessWindowTest, EventsGoToTheirWindowAndWithoutTargetToTheNewest) {
  Recorder a, b;
  auto wa = platform::CreateNativeWindow(&a);
  auto wb = platform::CreateNativeWindow(&b);
  headless::Inject({.kind = EventKind::KeyDown, .key = 'A'}, wa.get());
  headless::Inject({.kind = EventKind::KeyDown, .key = 'B'});
  headless::Inject({.kind = EventKind::KeyDown, .key = 'C'}, wb.get());
  platform::PumpEvents(0);
  ASSERT_EQ(a.events.size(), 1u);
  EXPECT_EQ(a.events[0].key, uint32_t('A'));
  ASSERT_EQ(b.events.size(), 2u);
  EXPECT_EQ(b.events[0].key, uint32_t('B'));
  EXPECT_EQ(b.events[1].key, uint32_t('C'));
}

TEST_F(HeadlessWindowTest, DestroyedWindowsLoseTheirQueuedEvents) {
  Recorder a, b;
  auto wa = platform::CreateNativeWindow(&a);
  auto wb = platform::CreateNativeWindow(&b);
  platform::NativeWindow* gone = wb.get();
  headless::Inject({.kind = EventKind::Close}, gone);
  headless::Inject({.kind = EventKind::Expose}, wa.get());
  wb.reset();
  headless::Inject({.kind = EventKind::Close}, gone);  // no longer a window: dropped
  EXPECT_TRUE(platform::PumpEvents(0));
  EXPECT_TRUE(b.events.empty());
  ASSERT_EQ(a.events.size(), 1u);
  EXPECT_EQ(a.events[0].kind, EventKind::Expose);
}

TEST_F(HeadlessWindowTest, ListenerMayDestroyAWindowWithEventsStillQueued) {
  Recorder a, b;
  auto wa = platform::CreateNativeWindow(&a);
  auto wb = platform::CreateNativeWindow(&b);
  a.also = [&](const InputEvent&) { wb.reset(); };
  headless::Inject({.kind = EventKind::Close}, wa.get());
  headless::Inject({.kind = EventKind::Expose}, wb.get());
  headless::Inject({.kind = EventKind::Expose}, wa.get());
  platform::PumpEvents(0);
  EXPECT_EQ(a.events.size(), 2u);
  EXPECT_TRUE(b.events.empty());
}

TEST_F(HeadlessWindowTest, EventsInjectedDuringDeliveryWaitForTheNextPump) {
  Recorder r;
  auto w = platform::CreateNativeWindow(&r);
  r.also = [&](const InputEvent& e) {
    if (e.kind == EventKind::MouseMove) headless::Inject({.kind = EventKind::MouseMove}, w.get());
  };
  headless::Inject({.kind = EventKind::MouseMove}, w.get());
  EXPECT_TRUE(platform::PumpEvents(0));
  EXPECT_EQ(r.events.size(), 1u);
  EXPECT_TRUE(platform::PumpEvents(0));
  EXPECT_EQ(r.events.size(), 2u);
  r.also = nullptr;
  Drain();
}

// A w*h BGRX buffer whose pixel (x, y) is `base + y * 1000 + x`, rows `pad` words apart
// beyond the width.
std::vector<uint32_t> Pattern(int32_t w, int32_t h, int32_t pad, uint32_t base) {
  std::vector<uint32_t> p(size_t(w + pad) * size_t(h), 0xDEADBEEF);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      p[size_t(y) * size_t(w + pad) + size_t(x)] = base + y * 1000 + x;
  return p;
}

TEST_F(HeadlessWindowTest, PresentCopiesOnlyTheAreaAndCountsPresents) {
  Recorder r;
  auto w = platform::CreateNativeWindow(&r);
  const int32_t W = 40, H = 30, pad = 3, stride = (W + pad) * 4;
  auto first = Pattern(W, H, pad, 0x01000000);
  auto second = Pattern(W, H, pad, 0x02000000);
  auto bytes = [](const std::vector<uint32_t>& v) {
    return reinterpret_cast<const uint8_t*>(v.data());
  };
  w->Present(bytes(first), stride, W, H, {0, 0, W, H});
  const IntRect area{5, 7, 12, 9};
  w->Present(bytes(second), stride, W, H, area);
  const auto& f = headless::PresentedFrame(w.get());
  EXPECT_EQ(f.presents, 2);
  EXPECT_EQ(f.width, W);
  EXPECT_EQ(f.height, H);
  EXPECT_EQ(f.last_area.left, 5);
  EXPECT_EQ(f.last_area.bottom, 9);
  ASSERT_EQ(f.pixels.size(), size_t(W * H));
  for (int32_t y = 0; y < H; ++y) {
    for (int32_t x = 0; x < W; ++x) {
      const bool in = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
      const uint32_t want = (in ? 0x02000000u : 0x01000000u) + uint32_t(y * 1000 + x);
      ASSERT_EQ(f.pixels[size_t(y * W + x)], want) << x << "," << y;
    }
  }
}

TEST_F(HeadlessWindowTest, PresentClipsAreasOutsideTheBuffer) {
  Recorder r;
  auto w = platform::CreateNativeWindow(&r);
  const int32_t W = 8, H = 4;
  auto p = Pattern(W, H, 0, 0x05000000);
  const auto* bytes = reinterpret_cast<const uint8_t*>(p.data());
  const IntRect areas[] = {{-5, -5, 3, 2}, {6, 2, 100, 100}, {9, 0, 20, 4}, {3, 3, 3, 4}};
  for (const auto& a : areas) w->Present(bytes, W * 4, W, H, a);
  const auto& f = headless::PresentedFrame(w.get());
  EXPECT_EQ(f.presents, 4);
  for (int32_t y = 0; y < H; ++y) {
    for (int32_t x = 0; x < W; ++x) {
      const bool in = (x < 3 && y < 2) || (x >= 6 && y >= 2);
      EXPECT_EQ(f.pixels[size_t(y * W + x)], in ? 0x05000000u + uint32_t(y * 1000 + x) : 0u)
          << x << "," << y;
    }
  }
}

TEST_F(HeadlessWindowTest, ShowCentresOnTheScreenOrKeepsTheBounds) {
  struct Case {
    int32_t screen_w, screen_h, w, h;
    bool centered;
    int32_t want_x, want_y;
  } cases[] = {
      {1280, 1024, 417, 152, true, 431, 436},  {1024, 768, 417, 152, true, 303, 308},
      {800, 600, 801, 601, true, 0, 0},  // (-1) / 2 truncates toward zero
      {640, 480, 1000, 700, true, -180, -110}, {1280, 1024, 417, 152, false, 17, 23},
  };
  for (const auto& c : cases) {
    headless::SetScreenSize(c.screen_w, c.screen_h);
    int32_t sw = 0, sh = 0;
    platform::ScreenSize(sw, sh);
    EXPECT_EQ(sw, c.screen_w);
    EXPECT_EQ(sh, c.screen_h);
    Recorder r;
    auto w = platform::CreateNativeWindow(&r);
    w->SetBounds(17, 23, c.w, c.h);
    EXPECT_FALSE(w->Visible());
    w->Show(c.centered);
    EXPECT_TRUE(w->Visible());
    int32_t x = 0, y = 0;
    w->ScreenPosition(x, y);
    EXPECT_EQ(x, c.want_x) << c.screen_w << " " << c.w;
    EXPECT_EQ(y, c.want_y) << c.screen_h << " " << c.h;
    w->Hide();
    EXPECT_FALSE(w->Visible());
  }
}

TEST_F(HeadlessWindowTest, TitleCursorCaptureAndBorderAreRecorded) {
  Recorder r;
  auto w = platform::CreateNativeWindow(&r);
  EXPECT_TRUE(headless::IsBorderless(w.get()));
  EXPECT_EQ(headless::CursorOf(w.get()), platform::Cursor::Arrow);
  EXPECT_FALSE(headless::HasCapture(w.get()));
  w->SetTitle(u"Загрузчик 1.0");
  w->SetCursor(platform::Cursor::HandPoint);
  w->SetCapture(true);
  w->SetBorderless(false);
  EXPECT_EQ(headless::TitleOf(w.get()), u"Загрузчик 1.0");
  EXPECT_EQ(headless::CursorOf(w.get()), platform::Cursor::HandPoint);
  EXPECT_TRUE(headless::HasCapture(w.get()));
  EXPECT_FALSE(headless::IsBorderless(w.get()));
  w->SetCapture(false);
  EXPECT_FALSE(headless::HasCapture(w.get()));
}

TEST_F(HeadlessWindowTest, PumpWithoutEventsReturnsAtOnceOrAfterItsTimeout) {
  EXPECT_FALSE(platform::PumpEvents(0));
  EXPECT_FALSE(platform::PumpEvents(1));
}

TEST_F(HeadlessWindowTest, WakeUpFromAnotherThreadEndsAnUnlimitedWait) {
  std::atomic<bool> returned{false};
  std::thread waker([&] {
    // Keep waking until the pump has returned: the wait may start after the first.
    while (!returned) {
      platform::WakeUp();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  EXPECT_FALSE(platform::PumpEvents(-1));
  returned = true;
  waker.join();
}

TEST_F(HeadlessWindowTest, WakeUpBeforeTheWaitIsNotLost) {
  platform::WakeUp();
  EXPECT_FALSE(platform::PumpEvents(-1));
}

TEST_F(HeadlessWindowTest, InjectFromAnotherThreadEndsTheWaitAndIsDelivered) {
  Recorder r;
  auto w = platform::CreateNativeWindow(&r);
  std::thread injector([&] { headless::Inject({.kind = EventKind::Close}, w.get()); });
  bool delivered = false;
  while (!delivered) delivered = platform::PumpEvents(-1);
  injector.join();
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.events[0].kind, EventKind::Close);
}

TEST(AppWindowTest, MessagesReachTheHandlerWhileOneIsSet) {
  platform::SetApplicationTitle(u"Загрузчик 1.0");
  EXPECT_EQ(platform::ApplicationTitle(), u"Загрузчик 1.0");
  EXPECT_EQ(platform::AppWindowHandle(), 0u) << "headless: no native window";

  std::vector<uint32_t> seen;
  platform::SetAppWindowHandler([&](uint32_t msg, uintptr_t wp, intptr_t lp, intptr_t& result) {
    seen.push_back(msg);
    if (msg != 0x004A) return false;  // WM_COPYDATA only
    const char* data = reinterpret_cast<const char*>(lp);
    result = intptr_t(wp) + intptr_t(std::strlen(data));
    return true;
  });
  const char text[] = "hello";
  intptr_t result = -1;
  EXPECT_TRUE(
      platform::DeliverAppWindowMessage(0x004A, 10, reinterpret_cast<intptr_t>(text), result));
  EXPECT_EQ(result, 15);
  result = -1;
  EXPECT_FALSE(platform::DeliverAppWindowMessage(0x0010, 0, 0, result));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(seen, (std::vector<uint32_t>{0x004A, 0x0010}));

  platform::SetAppWindowHandler(nullptr);
  result = -1;
  EXPECT_FALSE(
      platform::DeliverAppWindowMessage(0x004A, 10, reinterpret_cast<intptr_t>(text), result));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(seen.size(), 2u);
}

TEST(AppWindowTest, HandlerMayRemoveItselfWhileRunning) {
  int calls = 0;
  platform::SetAppWindowHandler([&](uint32_t, uintptr_t, intptr_t, intptr_t&) {
    ++calls;
    platform::SetAppWindowHandler(nullptr);
    return true;
  });
  intptr_t result = 0;
  EXPECT_TRUE(platform::DeliverAppWindowMessage(1, 0, 0, result));
  EXPECT_FALSE(platform::DeliverAppWindowMessage(1, 0, 0, result));
  EXPECT_EQ(calls, 1);
}

TEST(MessageBoxTest, HeadlessRecordsTheBoxAndReturns) {
  const int before = headless::LastMessageBox().count;
  platform::ShowMessageBox(u"Загрузчик 1.0", u"Ошибка загрузки");
  platform::ShowMessageBox(u"Title", u"second text");
  const auto last = headless::LastMessageBox();
  EXPECT_EQ(last.count, before + 2);
  EXPECT_EQ(last.title, u"Title");
  EXPECT_EQ(last.text, u"second text");
}

TEST(UtfTest, ConvertsBothWaysAndReplacesMalformedInput) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  } both_ways[] = {
      {"", u""},
      {"abc", u"abc"},
      {"\x1b\r", u"\x1b\r"},
      {"Загрузчик 1.0", u"Загрузчик 1.0"},
      {"\xe2\x82\xac", u"\u20ac"},
      {"\xf0\x9f\x93\xa5", u"\U0001F4E5"},  // a surrogate pair
  };
  for (const auto& c : both_ways) {
    EXPECT_EQ(platform::utf::ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(platform::utf::ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
  struct Bad {
    std::string utf8;
    std::u16string utf16;
  } malformed[] = {
      {"a\xff"
       "b",
       u"a\uFFFDb"},
      {"\xd0", u"\uFFFD"},  // truncated two-byte sequence
      {"\xd0"
       "A",
       u"\uFFFDA"},                   // continuation missing: the next byte survives
      {"\xc0\xaf", u"\uFFFD\uFFFD"},  // overlong
      {"\xed\xa0\x80", u"\uFFFD"},    // an encoded surrogate
      {"\xe2\x82", u"\uFFFD"},
  };
  for (const auto& c : malformed) EXPECT_EQ(platform::utf::ToUtf16(c.utf8), c.utf16);
  EXPECT_EQ(platform::utf::ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xef\xbf\xbdx");
}

}  // namespace
