// Components, controls, forms and the loop through the headless window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Timer.h"
#include "platform/Window.h"

namespace {

std::vector<std::string> gLog;

class Logged : public TComponent {
 public:
  Logged(TComponent* owner, std::string n) : TComponent(owner) { SetName(n); }
  ~Logged() override { gLog.push_back("free " + Name()); }

 protected:
  void Loaded() override {
    TComponent::Loaded();
    gLog.push_back("loaded " + Name());
  }
};

// A windowless control that fills itself with one colour and logs its paints.
class Box : public TGraphicControl {
 public:
  Box(TComponent* owner, TWinControl* parent, std::string n, TColor c, TRect r)
      : TGraphicControl(owner), fill(c) {
    SetName(n);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    SetParent(parent);
  }
  TColor fill;
  int paints = 0;
  int enters = 0, leaves = 0;

 protected:
  void Paint() override {
    ++paints;
    gLog.push_back("paint " + Name());
    Canvas()->Brush()->SetColor(fill);
    Canvas()->FillRect(ClientRect());
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER && m.LParam == reinterpret_cast<intptr_t>(this)) ++enters;
    if (m.Msg == CM_MOUSELEAVE && m.LParam == reinterpret_cast<intptr_t>(this)) ++leaves;
    TGraphicControl::WndProc(m);
  }
};

class Panel : public TCustomControl {
 public:
  Panel(TComponent* owner, TWinControl* parent, std::string n, TColor c, TRect r)
      : TCustomControl(owner) {
    SetName(n);
    SetColor(c);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    SetParent(parent);
  }
  int paints = 0;
  std::vector<std::string> events;

 protected:
  void Paint() override {
    ++paints;
    gLog.push_back("paint " + Name());
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
  void MouseDown(TMouseButton b, TShiftState s, int32_t x, int32_t y) override {
    events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    TCustomControl::MouseDown(b, s, x, y);
  }
  void MouseMove(TShiftState s, int32_t x, int32_t y) override {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    TCustomControl::MouseMove(s, x, y);
  }
  void MouseUp(TMouseButton b, TShiftState s, int32_t x, int32_t y) override {
    events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    TCustomControl::MouseUp(b, s, x, y);
  }
  void KeyDown(uint16_t& k, TShiftState s) override {
    events.push_back("keydown " + std::to_string(k));
    TCustomControl::KeyDown(k, s);
  }
  void KeyPress(char& k) override {
    events.push_back(std::string("char ") + k);
    TCustomControl::KeyPress(k);
  }
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    platform::SetBackend(platform::Backend::Headless);
    platform::headless::SetScreenSize(1280, 1024);
    app = std::make_unique<TApplication>();
    form = app->CreateForm<TForm>();
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 100);
  }
  void TearDown() override {
    app.reset();
    gLog.clear();
  }
  void ShowForm() {
    form->Show();
    app->ProcessMessages();
    gLog.clear();
  }
  void Mouse(platform::EventKind k, int x, int y, int clicks = 1, uint32_t shift = 0) {
    platform::InputEvent e;
    e.kind = k;
    e.x = x;
    e.y = y;
    e.clicks = clicks;
    e.shift = shift;
    platform::headless::Inject(e, form->NativeWindow());
    app->ProcessMessages();
  }
  void Click(int x, int y) {
    Mouse(platform::EventKind::MouseMove, x, y);
    Mouse(platform::EventKind::MouseDown, x, y);
    Mouse(platform::EventKind::MouseUp, x, y);
  }
  void Key(platform::EventKind k, uint32_t vk, char16_t ch = 0, uint32_t shift = 0) {
    platform::InputEvent e;
    e.kind = k;
    e.key = vk;
    e.ch = ch;
    e.shift = shift;
    platform::headless::Inject(e, form->NativeWindow());
    app->ProcessMessages();
  }
  TColor Pixel(int x, int y) { return form->BackBuffer()->GetPixel(x, y); }
  TColor Presented(int x, int y) {
    const auto& f = platform::headless::PresentedFrame(form->NativeWindow());
    uint32_t p = f.pixels[static_cast<size_t>(y) * f.width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  std::unique_ptr<TApplication> app;
  TForm* form = nullptr;
};

TEST(Components, OwnerFreesOwnedInReverseCreationOrder) {
  gLog.clear();
  {
    Logged root(nullptr, "root");
    new Logged(&root, "a");
    auto* b = new Logged(&root, "b");
    new Logged(b, "b1");
    new Logged(&root, "c");
    ASSERT_EQ(root.ComponentCount(), 3);
    EXPECT_EQ(root.FindComponent("b"), b);
  }
  // Each destructor logs before its owned components go.
  EXPECT_EQ(gLog, (std::vector<std::string>{"free root", "free c", "free b", "free b1", "free a"}));
}

TEST(Components, FreedComponentLeavesItsOwner) {
  Logged root(nullptr, "root");
  auto* a = new Logged(&root, "a");
  new Logged(&root, "b");
  delete a;
  ASSERT_EQ(root.ComponentCount(), 1);
  EXPECT_EQ(root.Components(0)->Name(), "b");
}

TEST(Components, LoadingStateAndLoadedNotification) {
  gLog.clear();
  Logged root(nullptr, "root");
  root.BeginLoading();
  auto* a = new Logged(&root, "a");
  auto* b = new Logged(&root, "b");
  EXPECT_TRUE(a->Loading());
  EXPECT_TRUE(b->Loading());
  root.EndLoading();
  EXPECT_FALSE(a->Loading());
  EXPECT_FALSE(root.Loading());
  EXPECT_EQ(gLog, (std::vector<std::string>{"loaded root", "loaded a", "loaded b"}));
  gLog.clear();
}

TEST_F(FormTest, FormShowsCentredAndPaintsItsColour) {
  form->SetPosition(poScreenCenter);
  ShowForm();
  int32_t x = 0, y = 0;
  form->NativeWindow()->ScreenPosition(x, y);
  EXPECT_EQ(x, (1280 - 200) / 2);
  EXPECT_EQ(y, (1024 - 100) / 2);
  EXPECT_EQ(Presented(0, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(Presented(199, 99), ColorToRGB(clBtnFace));
}

TEST_F(FormTest, WindowlessInCreationOrderWindowedAboveWhateverTheOrder) {
  auto* win = new Panel(form, form, "win", clBlue, Rect(10, 10, 60, 60));
  new Box(form, form, "first", clRed, Rect(0, 0, 50, 50));
  new Box(form, form, "second", clLime, Rect(20, 20, 80, 80));
  ShowForm();
  form->PaintAll();
  EXPECT_EQ(gLog, (std::vector<std::string>{"paint first", "paint second", "paint win"}));
  EXPECT_EQ(Pixel(5, 5), clRed);     // only the first box
  EXPECT_EQ(Pixel(70, 70), clLime);  // second box over first
  EXPECT_EQ(Pixel(30, 30), clBlue);  // windowed control above both
  EXPECT_EQ(win->paints, 2);
}

TEST_F(FormTest, InvalidationWaitsForTheLoopImmediateRepaintDoesNot) {
  auto* box = new Box(form, form, "box", clRed, Rect(0, 0, 50, 50));
  box->SetControlStyle(box->ControlStyle() | csOpaque);
  auto* above = new Box(form, form, "above", clLime, Rect(40, 40, 60, 60));
  auto* win = new Panel(form, form, "win", clBlue, Rect(45, 0, 70, 20));
  ShowForm();
  const int presents = platform::headless::PresentedFrame(form->NativeWindow()).presents;

  box->fill = clNavy;
  box->Invalidate();
  EXPECT_EQ(Presented(1, 1), clRed);
  EXPECT_EQ(box->paints, 1);
  app->ProcessMessages();
  EXPECT_EQ(Presented(1, 1), clNavy);

  // Immediate: the box and the windowless control above it, at once; the
  // windowed control keeps its pixels.
  gLog.clear();
  box->fill = clMaroon;
  box->Repaint();
  EXPECT_EQ(gLog, (std::vector<std::string>{"paint box", "paint above"}));
  EXPECT_EQ(Presented(1, 1), clMaroon);
  EXPECT_EQ(Presented(45, 45), clLime);
  EXPECT_EQ(Presented(47, 5), clBlue);
  EXPECT_GT(platform::headless::PresentedFrame(form->NativeWindow()).presents, presents);
  EXPECT_EQ(above->paints, 3);
  EXPECT_EQ(win->paints, 2);
}

TEST_F(FormTest, ClickNeedsPressAndReleaseOnTheSameControlWithReleaseInside) {
  auto* a = new Panel(form, form, "a", clBlue, Rect(0, 0, 50, 50));
  auto* b = new Panel(form, form, "b", clRed, Rect(100, 0, 150, 50));
  int clicksA = 0, clicksB = 0;
  a->OnClick = [&](TObject*) { ++clicksA; };
  b->OnClick = [&](TObject*) { ++clicksB; };
  ShowForm();
  Click(10, 10);
  EXPECT_EQ(clicksA, 1);
  // Press in a, release in b: a has the capture, the release lies outside it.
  Mouse(platform::EventKind::MouseDown, 10, 10);
  Mouse(platform::EventKind::MouseMove, 120, 10);
  Mouse(platform::EventKind::MouseUp, 120, 10);
  EXPECT_EQ(clicksA, 1);
  EXPECT_EQ(clicksB, 0);
  EXPECT_EQ(a->events.back(), "up 120,10");
  // Out and back in before the release clicks.
  Mouse(platform::EventKind::MouseDown, 10, 10);
  Mouse(platform::EventKind::MouseMove, 120, 10);
  Mouse(platform::EventKind::MouseMove, 20, 20);
  Mouse(platform::EventKind::MouseUp, 20, 20);
  EXPECT_EQ(clicksA, 2);
  EXPECT_EQ(form->CaptureControl(), nullptr);
}

TEST_F(FormTest, DoubleClicksOnlyForControlsThatTakeThem) {
  auto* a = new Panel(form, form, "a", clBlue, Rect(0, 0, 50, 50));
  int clicks = 0, dbl = 0;
  a->OnClick = [&](TObject*) { ++clicks; };
  a->OnDblClick = [&](TObject*) { ++dbl; };
  ShowForm();
  auto doubleClick = [&] {
    Mouse(platform::EventKind::MouseDown, 5, 5);
    Mouse(platform::EventKind::MouseUp, 5, 5);
    Mouse(platform::EventKind::MouseDown, 5, 5, 2);
    Mouse(platform::EventKind::MouseUp, 5, 5);
  };
  doubleClick();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(dbl, 1);
  a->SetControlStyle(a->ControlStyle() & ~csDoubleClicks);
  clicks = dbl = 0;
  doubleClick();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(dbl, 0);
}

TEST_F(FormTest, MouseEnterAndLeave) {
  auto* a = new Box(form, form, "a", clRed, Rect(0, 0, 50, 50));
  auto* b = new Box(form, form, "b", clLime, Rect(60, 0, 100, 50));
  ShowForm();
  Mouse(platform::EventKind::MouseMove, 10, 10);
  Mouse(platform::EventKind::MouseMove, 20, 10);
  EXPECT_EQ(a->enters, 1);
  Mouse(platform::EventKind::MouseMove, 70, 10);
  EXPECT_EQ(a->leaves, 1);
  EXPECT_EQ(b->enters, 1);
  Mouse(platform::EventKind::MouseLeave, 0, 0);
  EXPECT_EQ(b->leaves, 1);
  EXPECT_EQ(form->MouseControl(), nullptr);
}

TEST_F(FormTest, KeyPreviewSeesKeysBeforeTheFocusedControl) {
  auto* p = new Panel(form, form, "p", clBlue, Rect(0, 0, 50, 50));
  std::vector<std::string> order;
  form->OnKeyPress = [&](TObject*, char& k) {
    order.push_back(std::string("form ") + k);
    if (k == 'x') k = 0;
  };
  p->OnKeyPress = [&](TObject*, char& k) { order.push_back(std::string("panel ") + k); };
  ShowForm();
  p->SetFocus();
  Key(platform::EventKind::Char, 0, u'a');
  EXPECT_EQ(order, (std::vector<std::string>{"panel a"}));
  form->SetKeyPreview(true);
  order.clear();
  Key(platform::EventKind::Char, 0, u'a');
  Key(platform::EventKind::Char, 0, u'x');
  EXPECT_EQ(order, (std::vector<std::string>{"form a", "panel a", "form x"}));
  // Character keys arrive as 8-bit code page 1251 characters.
  order.clear();
  Key(platform::EventKind::Char, 0, u'ж');
  EXPECT_EQ(order.front(), std::string("form ") + '\xE6');
}

TEST_F(FormTest, FocusChangesAreAnnouncedToEveryControl) {
  auto* a = new Panel(form, form, "a", clBlue, Rect(0, 0, 50, 50));
  auto* inner = new Panel(form, a, "inner", clRed, Rect(0, 0, 10, 10));
  std::vector<intptr_t> seen;
  struct Spy : TGraphicControl {
    std::vector<intptr_t>* out;
    Spy(TComponent* o, std::vector<intptr_t>* s) : TGraphicControl(o), out(s) {}
    void WndProc(TMessage& m) override {
      if (m.Msg == CM_FOCUSCHANGED) out->push_back(m.LParam);
      TGraphicControl::WndProc(m);
    }
  };
  auto* spy = new Spy(form, &seen);
  spy->SetParent(a);
  ShowForm();
  inner->SetFocus();
  EXPECT_TRUE(inner->Focused());
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], reinterpret_cast<intptr_t>(inner));
  form->AnnounceFocus();
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(FormTest, DialogKeysAndCharactersReachControlsThatWantThem) {
  struct Btn : TCustomControl {
    int enter = 0, accel = 0;
    using TCustomControl::TCustomControl;
    void WndProc(TMessage& m) override {
      if (m.Msg == CM_DIALOGKEY && m.WParam == VK_RETURN) {
        ++enter;
        m.Result = 1;
        return;
      }
      if (m.Msg == CM_DIALOGCHAR && m.WParam == 'o') {
        ++accel;
        m.Result = 1;
        return;
      }
      TCustomControl::WndProc(m);
    }
  };
  auto* b = new Btn(form);
  b->SetParent(form);
  ShowForm();
  Key(platform::EventKind::KeyDown, VK_RETURN);
  Key(platform::EventKind::Char, 0, u'o');
  EXPECT_EQ(b->enter, 1);
  EXPECT_EQ(b->accel, 1);
  // A key down handler that clears the key suppresses the dialog key.
  form->SetKeyPreview(true);
  form->OnKeyDown = [](TObject*, uint16_t& k, TShiftState) { k = 0; };
  Key(platform::EventKind::KeyDown, VK_RETURN);
  EXPECT_EQ(b->enter, 1);
}

TEST_F(FormTest, QuitTakenInsideAHandlerEndsTheLoopAfterTheHandlerReturns) {
  auto* a = new Panel(form, form, "a", clBlue, Rect(0, 0, 50, 50));
  bool handlerFinished = false, terminatedInside = false;
  a->OnClick = [&](TObject*) {
    form->Close();
    app->ProcessMessages();  // takes the quit request
    terminatedInside = app->Terminated();
    handlerFinished = true;
  };
  ShowForm();
  Mouse(platform::EventKind::MouseDown, 5, 5);
  platform::InputEvent up;
  up.kind = platform::EventKind::MouseUp;
  up.x = up.y = 5;
  platform::headless::Inject(up, form->NativeWindow());
  app->Run();  // returns only because the quit request was taken
  EXPECT_TRUE(handlerFinished);
  EXPECT_TRUE(terminatedInside);
  EXPECT_TRUE(form->Visible());  // the window stays until the program ends
}

TEST_F(FormTest, TimersFireFromTheLoopAndCanStopThemselves) {
  ShowForm();
  auto* t = new TTimer(form);
  int ticks = 0;
  t->SetInterval(5);
  t->SetOnTimer([&](TObject*) {
    if (++ticks == 3) t->SetEnabled(false);
  });
  for (int i = 0; i < 200 && ticks < 3; ++i) app->HandleMessage();
  EXPECT_EQ(ticks, 3);
  for (int i = 0; i < 5; ++i) app->ProcessMessages();
  EXPECT_EQ(ticks, 3);
}

TEST_F(FormTest, AlignAndAnchors) {
  auto* p = new Panel(form, form, "p", clBlue, Rect(0, 0, 10, 10));
  p->SetBorderWidth(1);
  p->SetAlign(alClient);
  EXPECT_EQ(p->BoundsRect(), Rect(0, 0, 200, 100));
  EXPECT_EQ(p->ClientRect(), Rect(0, 0, 198, 98));
  auto* right = new Box(form, p, "r", clRed, Rect(170, 5, 190, 15));
  right->SetAnchors(akTop | akRight);
  auto* client = new Box(form, p, "c", clRed, Rect(0, 0, 1, 1));
  client->SetAlign(alClient);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 198, 98));
  form->SetBounds(0, 0, 300, 100);
  EXPECT_EQ(right->BoundsRect(), Rect(270, 5, 290, 15));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 298, 98));
}

TEST_F(FormTest, ClosingTheMainFormPostsTheQuitRequest) {
  ShowForm();
  platform::InputEvent e;
  e.kind = platform::EventKind::Close;
  platform::headless::Inject(e, form->NativeWindow());
  app->Run();
  EXPECT_TRUE(app->Terminated());
}

TEST_F(FormTest, AppWindowHooksSeeMessagesFirstAndCanUnhook) {
  int seen = 0;
  int key = 0;
  app->HookMainWindow(
      [&](TMessage& m) {
        ++seen;
        if (m.Msg == WM_USER) {
          m.Result = 42;
          return true;
        }
        return false;
      },
      &key);
  EXPECT_EQ(app->SendAppMessage(WM_USER), 42);
  app->PostAppMessage(WM_USER + 1);
  EXPECT_EQ(seen, 1);
  app->ProcessMessages();
  EXPECT_EQ(seen, 2);
  app->UnhookMainWindow(&key);
  EXPECT_EQ(app->SendAppMessage(WM_USER), 0);
  EXPECT_EQ(seen, 2);
}

}  // namespace
