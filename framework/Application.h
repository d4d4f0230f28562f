// The application object: title, main form, the message queue and loop, timers,
// the hint switch and the hooks of the application window.
//
// One per process (the global `Application`, set by the constructor). Everything
// runs on one thread. Input from native windows, posted messages and the quit
// request go through one queue; the loop paints dirty forms and fires due timers
// when the queue is empty. Closing the main form posts the quit request; it ends
// the loop wherever it is taken, also inside a handler that processes pending
// messages itself, once control returns to the loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Messages.h"
#include "platform/Window.h"

class TForm;
class TControl;
class TTimer;

// Returns true when it handled the message (the application's own handling and
// later hooks are then skipped).
using TWindowHook = std::function<bool(TMessage& Message)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner = nullptr);
  ~TApplication() override;
  const char* ClassName() const override { return "TApplication"; }

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v);  // 8-bit (code page 1251)
  TForm* MainForm() const { return FMainForm; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) { FShowHint = v; }
  bool Terminated() const { return FTerminated; }

  // Creates a form owned by the application; the first becomes the main form.
  template <class T>
  T* CreateForm() {
    T* f = new T(this);
    if (!FMainForm) FMainForm = f;
    return f;
  }
  void SetMainForm(TForm* f) { FMainForm = f; }

  // Shows the main form and runs the loop until the quit request is taken.
  void Run();
  // Takes and handles one message; false when there was nothing to do.
  bool ProcessMessage();
  // Handles every pending message (paints and due timers included), then returns.
  void ProcessMessages();
  // One message, or waits for the next one.
  void HandleMessage();
  // Posts the quit request.
  void Terminate();

  // The application window: hooks see every message sent to it first.
  void HookMainWindow(TWindowHook hook, const void* key);
  void UnhookMainWindow(const void* key);
  intptr_t SendAppMessage(uint32_t Msg, uintptr_t WParam = 0, intptr_t LParam = 0);
  void PostAppMessage(uint32_t Msg, uintptr_t WParam = 0, intptr_t LParam = 0);
  uintptr_t Handle() const;
  // Posts a message for a control, delivered by the loop (dropped if it dies first).
  void PostMessage(TControl* target, uint32_t Msg, uintptr_t WParam = 0, intptr_t LParam = 0);

  // A plain message box with the application title as caption.
  void MessageBox(const std::string& Text);

  // ---- framework internals
  void QueueInput(TForm* f, const platform::InputEvent& e);
  void FormCreated(TForm* f);
  void FormDestroyed(TForm* f);
  void FormActivated(TForm* f);
  void ControlDestroyed(TControl* c);
  void TimerChanged(TTimer* t);
  bool AltDown() const { return FAltDown; }
  void SetAltDown(bool v) { FAltDown = v; }
  const std::vector<TForm*>& Forms() const { return FForms; }

 private:
  struct Queued {
    enum Kind { Input, Post, AppPost, Quit } kind = Input;
    TForm* form = nullptr;
    TControl* target = nullptr;
    platform::InputEvent event;
    TMessage msg;
  };
  bool AppWndProc(TMessage& m);
  bool FireDueTimer();
  int32_t MillisToNextTimer() const;

  std::string FTitle;
  TForm* FMainForm = nullptr;
  bool FShowHint = true;
  bool FTerminated = false;
  bool FAltDown = false;
  std::deque<Queued> FQueue;
  std::vector<TForm*> FForms;
  std::vector<std::pair<const void*, TWindowHook>> FHooks;
  std::vector<TTimer*> FTimers;
  uint64_t FTimerRound = 0;
};

extern TApplication* Application;

// Right-to-left languages are not supported by the systems we run on.
bool SysLocaleMiddleEast();
