// Components: named, owned, notified of each other, streamed with their owner.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/persistent.h"

namespace vex::host {

enum TComponentStateFlag : unsigned {
  csLoading = 1u << 0,     // being read, until Loaded
  csReading = 1u << 1,     // its properties are being read now
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
};

enum class TOperation { opInsert, opRemove };

class EComponentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TComponent : public TPersistent {
  VEX_CLASS(TComponent)
 public:
  explicit TComponent(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Destroys a component the way its owner does: notifications go out while the component is
  // still whole (so receivers see its real class), then it is deleted. Null is ignored.
  static void Free(TComponent* component);

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // A name is empty or an identifier, unique (ignoring case) among the owner's components.
  virtual void SetName(const std::string& name);
  std::int64_t Tag() const { return tag_; }
  void SetTag(std::int64_t tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
  int ComponentIndex() const;
  TComponent* FindComponent(std::string_view name) const;

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // Told when a component is inserted into or removed from this one's owner (every owned
  // component hears of its siblings), and when a component this one asked to be told about
  // (FreeNotification) goes away. The base forwards to all owned components. An owner that is
  // being destroyed frees its components without telling their siblings.
  virtual void Notification(TComponent* component, TOperation operation);
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  unsigned ComponentState() const { return state_; }
  bool HasState(TComponentStateFlag f) const { return (state_ & f) != 0; }
  void SetState(unsigned flags) { state_ |= flags; }
  void ClearState(unsigned flags) { state_ &= ~flags; }
  // Design mode for this component and, with children, for those it owns.
  void SetDesigning(bool designing, bool children = true);

  // Called once the component and the whole tree it was read with have been read.
  virtual void Loaded();

  // Streaming structure: the component that streams this one as a nested object (a control's
  // parent), and the components written nested inside this one.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) {}
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const;

  // Event handlers by name, as streams name them (on the root component that owns the stream).
  void RegisterMethod(const std::string& name, std::function<void(TObject*)> handler);
  virtual TMethodValue FindMethod(std::string_view name) const;
  std::string MethodName(const TMethodValue& method) const;

 protected:
  virtual void BeforeDestruction();
  // For destructors of classes whose state their owner's other components may look at when they
  // hear of the removal: runs the removal while that state still exists (plain delete).
  void DestroyingNow() {
    if (!destructionDone_) BeforeDestruction();
  }

 private:
  void DestroyComponents();

  TComponent* owner_ = nullptr;
  std::string name_;
  std::int64_t tag_ = 0;
  unsigned state_ = 0;
  bool destructionDone_ = false;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::map<std::string, std::function<void(TObject*)>> methods_;
};

// Deletes through TComponent::Free.
struct TComponentDeleter {
  void operator()(TComponent* c) const { TComponent::Free(c); }
};
template <class T>
using TComponentPtr = std::unique_ptr<T, TComponentDeleter>;

bool IsValidIdent(std::string_view name);

}  // namespace vex::host
