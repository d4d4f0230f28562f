// A timer component: OnTimer fires every Interval milliseconds while Enabled,
// delivered by the message loop (never from another thread).
#pragma once

#include <chrono>

#include "framework/Component.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  const char* ClassName() const override { return "TTimer"; }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t v);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent v);
  // Runs only while enabled with an interval and a handler, as the loop needs.
  bool Active() const { return FEnabled && FInterval > 0 && FOnTimer != nullptr; }

  // Loop internals.
  std::chrono::steady_clock::time_point Due() const { return FDue; }
  void Fire();
  uint64_t LastRound = 0;

 private:
  void Update();
  bool FEnabled = true;
  uint32_t FInterval = 1000;
  TNotifyEvent FOnTimer;
  std::chrono::steady_clock::time_point FDue;
};
