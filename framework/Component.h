// Components: an owner frees what it owns, in reverse creation order; a component
// knows when it is loading (its stored values being set) and gets a loaded
// notification afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Types.h"

enum TComponentStateFlag : uint32_t {
  csLoading = 1,
  csReading = 2,
  csWriting = 4,
  csDestroying = 8,
  csDesigning = 16,
  csFreeNotification = 32,
};
enum class TOperation { opInsert, opRemove };

// Copying properties between objects of the same kind (fonts, margins, glyphs).
class TPersistent : public TObject {
 public:
  // The default path: a conversion error naming both classes.
  virtual void Assign(TPersistent* Source);
  virtual const char* ClassName() const { return "TPersistent"; }
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& v) { FName = v; }
  int32_t Tag() const { return FTag; }
  void SetTag(int32_t v) { FTag = v; }
  uint32_t ComponentState() const { return FComponentState; }
  bool Loading() const { return FComponentState & csLoading; }
  bool Destroying() const { return FComponentState & csDestroying; }

  int32_t ComponentCount() const { return static_cast<int32_t>(FComponents.size()); }
  TComponent* Components(int32_t i) const { return FComponents[i]; }
  TComponent* FindComponent(const std::string& name) const;

  // Stored-layout reading: BeginLoading marks this component and everything it
  // owns (and will create meanwhile) as loading; EndLoading clears it and calls
  // Loaded on this component, then on every owned one, in creation order.
  void BeginLoading();
  void EndLoading();

  // Frees owned components now, newest first. Control destructors call this while
  // their own part is still intact, so owned controls can detach safely.
  void DestroyComponents();

  // Tells other components about one being removed (opRemove) or added.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  void FreeNotification(TComponent* AComponent);

 protected:
  // Called after the stored values have been set; clears csLoading.
  virtual void Loaded();
  void SetDesigning(bool v);
  void MarkDestroying();

 private:
  void Insert(TComponent* c);
  void Remove(TComponent* c);

  TComponent* FOwner = nullptr;
  std::string FName;
  int32_t FTag = 0;
  uint32_t FComponentState = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};
