#include "http/IdComponent.h"

#include <algorithm>
#include <mutex>

#include "http/IdStack.h"

TIdBaseComponent::TIdBaseComponent(TIdBaseComponent* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TIdBaseComponent::~TIdBaseComponent() {
  while (!FComponents.empty()) {
    TIdBaseComponent* c = FComponents.back();
    FComponents.pop_back();
    c->FOwner = nullptr;
    delete c;
  }
  if (FOwner) {
    auto& v = FOwner->FComponents;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
}

namespace {
std::mutex gStackLock;
int32_t gStackUsers = 0;
}  // namespace

int32_t StackUsers() {
  std::lock_guard<std::mutex> lock(gStackLock);
  return gStackUsers;
}

TIdComponent::TIdComponent(TIdBaseComponent* AOwner) : TIdBaseComponent(AOwner) {
  std::lock_guard<std::mutex> lock(gStackLock);
  if (gStackUsers == 0) GStack = TIdStack::CreateStack();  // may raise: nothing counted yet
  ++gStackUsers;
}

TIdComponent::~TIdComponent() {
  std::lock_guard<std::mutex> lock(gStackLock);
  if (--gStackUsers == 0) {
    delete GStack;
    GStack = nullptr;
  }
}

void TIdComponent::DoStatus(TIdStatus AStatus, const std::string& AText) {
  if (OnStatus) OnStatus(this, AStatus, AText);
}

void TIdComponent::BeginWork(TWorkMode AWorkMode, int64_t ASize) {
  WorkInfo& w = FWorkInfos[AWorkMode];
  if (++w.Level == 1) {
    w.Max = ASize;
    w.Current = 0;
    if (OnWorkBegin) OnWorkBegin(this, AWorkMode, ASize);
  }
}

void TIdComponent::DoWork(TWorkMode AWorkMode, int64_t ACount) {
  WorkInfo& w = FWorkInfos[AWorkMode];
  if (w.Level > 0) {
    w.Current += ACount;
    if (OnWork) OnWork(this, AWorkMode, w.Current);
  }
}

void TIdComponent::EndWork(TWorkMode AWorkMode) {
  WorkInfo& w = FWorkInfos[AWorkMode];
  if (w.Level > 0 && --w.Level == 0 && OnWorkEnd) OnWorkEnd(this, AWorkMode);
}
