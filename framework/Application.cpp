#include "framework/Application.h"

#include <algorithm>

#include "framework/Form.h"
#include "framework/Graphics.h"
#include "framework/Timer.h"
#include "platform/AppWindow.h"
#include "platform/MessageBox.h"

TApplication* Application = nullptr;

bool SysLocaleMiddleEast() { return false; }

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  Application = this;
  platform::SetAppWindowHandler(
      [this](uint32_t msg, uintptr_t wp, intptr_t lp, intptr_t& result) {
        TMessage m{msg, wp, lp, 0};
        bool handled = AppWndProc(m);
        result = m.Result;
        return handled;
      });
}

TApplication::~TApplication() {
  MarkDestroying();
  // Forms and other owned components go first, while the application still exists.
  DestroyComponents();
  platform::SetAppWindowHandler(nullptr);
  if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const std::string& v) {
  FTitle = v;
  platform::SetApplicationTitle(AnsiToWide(v));
}

uintptr_t TApplication::Handle() const { return platform::AppWindowHandle(); }

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() {
  Queued q;
  q.kind = Queued::Quit;
  FQueue.push_back(q);
}

bool TApplication::ProcessMessage() {
  platform::PumpEvents(0);
  if (!FQueue.empty()) {
    Queued q = FQueue.front();
    FQueue.pop_front();
    switch (q.kind) {
      case Queued::Quit:
        FTerminated = true;
        break;
      case Queued::Input:
        q.form->HandleInput(q.event);
        break;
      case Queued::Post:
        q.target->Perform(q.msg.Msg, q.msg.WParam, q.msg.LParam);
        break;
      case Queued::AppPost:
        AppWndProc(q.msg);
        break;
    }
    return true;
  }
  for (TForm* f : std::vector<TForm*>(FForms)) {
    if (f->HasDirty() && f->Showing()) {
      f->PaintPending();
      return true;
    }
  }
  return FireDueTimer();
}

void TApplication::ProcessMessages() {
  // Each timer fires at most once per call, so a slow handler cannot keep us here.
  ++FTimerRound;
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  ++FTimerRound;
  if (ProcessMessage()) return;
  platform::PumpEvents(MillisToNextTimer());
}

bool TApplication::FireDueTimer() {
  const auto now = std::chrono::steady_clock::now();
  for (TTimer* t : FTimers) {
    if (t->Active() && t->Due() <= now && t->LastRound != FTimerRound) {
      t->LastRound = FTimerRound;
      t->Fire();
      return true;
    }
  }
  return false;
}

int32_t TApplication::MillisToNextTimer() const {
  int64_t best = -1;
  const auto now = std::chrono::steady_clock::now();
  for (TTimer* t : FTimers) {
    if (!t->Active()) continue;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t->Due() - now).count();
    if (ms < 0) ms = 0;
    if (best < 0 || ms < best) best = ms;
  }
  return static_cast<int32_t>(best < 0 ? -1 : std::min<int64_t>(best + 1, 1 << 30));
}

void TApplication::TimerChanged(TTimer* t) {
  auto it = std::find(FTimers.begin(), FTimers.end(), t);
  if (t->Active()) {
    if (it == FTimers.end()) FTimers.push_back(t);
  } else if (it != FTimers.end()) {
    FTimers.erase(it);
  }
}

void TApplication::HookMainWindow(TWindowHook hook, const void* key) {
  FHooks.emplace_back(key, std::move(hook));
}

void TApplication::UnhookMainWindow(const void* key) {
  FHooks.erase(std::remove_if(FHooks.begin(), FHooks.end(),
                              [key](const auto& h) { return h.first == key; }),
               FHooks.end());
}

bool TApplication::AppWndProc(TMessage& m) {
  // A hook may unhook itself while it runs: walk a copy.
  auto hooks = FHooks;
  for (auto& h : hooks)
    if (h.second(m)) return true;
  return false;
}

intptr_t TApplication::SendAppMessage(uint32_t Msg, uintptr_t WParam, intptr_t LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  AppWndProc(m);
  return m.Result;
}

void TApplication::PostAppMessage(uint32_t Msg, uintptr_t WParam, intptr_t LParam) {
  Queued q;
  q.kind = Queued::AppPost;
  q.msg = {Msg, WParam, LParam, 0};
  FQueue.push_back(q);
  platform::WakeUp();
}

void TApplication::PostMessage(TControl* target, uint32_t Msg, uintptr_t WParam, intptr_t LParam) {
  Queued q;
  q.kind = Queued::Post;
  q.target = target;
  q.msg = {Msg, WParam, LParam, 0};
  FQueue.push_back(q);
  platform::WakeUp();
}

void TApplication::QueueInput(TForm* f, const platform::InputEvent& e) {
  Queued q;
  q.kind = Queued::Input;
  q.form = f;
  q.event = e;
  FQueue.push_back(q);
}

void TApplication::MessageBox(const std::string& Text) {
  platform::ShowMessageBox(AnsiToWide(FTitle), AnsiToWide(Text));
}

void TApplication::FormCreated(TForm* f) { FForms.push_back(f); }

void TApplication::FormDestroyed(TForm* f) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end());
  if (FMainForm == f) FMainForm = nullptr;
  FQueue.erase(std::remove_if(FQueue.begin(), FQueue.end(),
                              [f](const Queued& q) { return q.form == f; }),
               FQueue.end());
}

void TApplication::FormActivated(TForm*) { SendAppMessage(CM_ACTIVATE); }

void TApplication::ControlDestroyed(TControl* c) {
  FQueue.erase(std::remove_if(FQueue.begin(), FQueue.end(),
                              [c](const Queued& q) { return q.target == c; }),
               FQueue.end());
}

// ------------------------------------------------------------------ TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  FEnabled = false;
  if (Application) Application->TimerChanged(this);
}

void TTimer::Update() {
  FDue = std::chrono::steady_clock::now() + std::chrono::milliseconds(FInterval);
  if (Application) Application->TimerChanged(this);
}

void TTimer::SetEnabled(bool v) {
  if (FEnabled == v) return;
  FEnabled = v;
  Update();
}

void TTimer::SetInterval(uint32_t v) {
  if (FInterval == v) return;
  FInterval = v;
  Update();
}

void TTimer::SetOnTimer(TNotifyEvent v) {
  FOnTimer = std::move(v);
  Update();
}

void TTimer::Fire() {
  FDue = std::chrono::steady_clock::now() + std::chrono::milliseconds(FInterval);
  if (FOnTimer) FOnTimer(this);
}
