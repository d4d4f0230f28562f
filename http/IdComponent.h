// The client's component base. TIdBaseComponent keeps the owner rule (an owner
// frees what it owns, newest first; without an owner the caller holds the
// object). TIdComponent keeps the process-wide socket stack alive: the first
// instance creates SharedStack, the last one frees it, under one lock. It also
// carries the status and work notifications, which fire only when set.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Types.h"

class TIdBaseComponent : public TObject {
 public:
  explicit TIdBaseComponent(TIdBaseComponent* AOwner);
  ~TIdBaseComponent() override;
  TIdBaseComponent(const TIdBaseComponent&) = delete;
  TIdBaseComponent& operator=(const TIdBaseComponent&) = delete;

  TIdBaseComponent* Owner() const { return FOwner; }
  int32_t ComponentCount() const { return static_cast<int32_t>(FComponents.size()); }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& v) { FName = v; }
  int32_t Tag() const { return FTag; }
  void SetTag(int32_t v) { FTag = v; }

 private:
  TIdBaseComponent* FOwner;
  std::vector<TIdBaseComponent*> FComponents;
  std::string FName;
  int32_t FTag = 0;
};

enum TIdStatus {
  hsResolving,
  hsConnecting,
  hsConnected,
  hsDisconnecting,
  hsDisconnected,
  hsStatusText
};
enum TWorkMode { wmRead, wmWrite };

using TIdStatusEvent =
    std::function<void(TObject* ASender, TIdStatus AStatus, const std::string& AStatusText)>;
using TWorkBeginEvent =
    std::function<void(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCountMax)>;
using TWorkEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCount)>;
using TWorkEndEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode)>;

class TIdComponent : public TIdBaseComponent {
 public:
  explicit TIdComponent(TIdBaseComponent* AOwner);
  ~TIdComponent() override;

  // Work counting per direction: the first begin records the expected total,
  // progress adds to a running total, the matching last end reports the end.
  void BeginWork(TWorkMode AWorkMode, int64_t ASize = 0);
  void DoWork(TWorkMode AWorkMode, int64_t ACount);
  void EndWork(TWorkMode AWorkMode);

  TIdStatusEvent OnStatus;
  TWorkEvent OnWork;
  TWorkBeginEvent OnWorkBegin;
  TWorkEndEvent OnWorkEnd;

 protected:
  void DoStatus(TIdStatus AStatus, const std::string& AText);

 private:
  struct WorkInfo {
    int64_t Current = 0;
    int64_t Max = 0;
    int32_t Level = 0;
  };
  WorkInfo FWorkInfos[2];
};

// Number of living TIdComponent instances.
int32_t StackUsers();
