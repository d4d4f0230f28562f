#include "framework/Component.h"

#include <algorithm>
#include <typeinfo>

void TPersistent::Assign(TPersistent* Source) {
  const char* from = Source ? Source->ClassName() : "nil";
  throw EConvertError(Format("Cannot assign a %s to a %s", from, ClassName()));
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) {
    if (AOwner->FComponentState & csLoading) FComponentState |= csLoading;
    AOwner->Insert(this);
  }
}

TComponent::~TComponent() {
  FComponentState |= csDestroying;
  // Tell those who asked that this component goes away.
  auto notifies = FFreeNotifies;
  FFreeNotifies.clear();
  for (TComponent* c : notifies) {
    auto& back = c->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->Remove(this);
}

void TComponent::MarkDestroying() { FComponentState |= csDestroying; }

void TComponent::SetDesigning(bool v) {
  if (v)
    FComponentState |= csDesigning;
  else
    FComponentState &= ~csDesigning;
}

void TComponent::DestroyComponents() {
  FComponentState |= csDestroying;
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    // Detach first so the component's own destructor does not search the list.
    FComponents.pop_back();
    c->FOwner = nullptr;
    for (TComponent* other : FComponents) other->Notification(c, TOperation::opRemove);
    delete c;
  }
}

void TComponent::Insert(TComponent* c) {
  FComponents.push_back(c);
  c->FOwner = this;
}

void TComponent::Remove(TComponent* c) {
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), c), FComponents.end());
  c->FOwner = nullptr;
  if (!(FComponentState & csDestroying)) {
    Notification(c, TOperation::opRemove);
    for (TComponent* other : FComponents) other->Notification(c, TOperation::opRemove);
  }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : FComponents)
    if (c->FName == name) return c;
  return nullptr;
}

void TComponent::BeginLoading() {
  FComponentState |= csLoading | csReading;
  for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::EndLoading() {
  // Collect first: Loaded handlers may create components of their own.
  std::vector<TComponent*> all{this};
  for (size_t i = 0; i < all.size(); ++i)
    for (TComponent* c : all[i]->FComponents) all.push_back(c);
  for (TComponent* c : all) c->FComponentState &= ~csReading;
  for (TComponent* c : all)
    if (c->FComponentState & csLoading) c->Loaded();
}

void TComponent::Loaded() { FComponentState &= ~csLoading; }

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  FComponentState |= csFreeNotification;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
    FFreeNotifies.push_back(AComponent);
  auto& back = AComponent->FFreeNotifies;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}
