#include "host/component.h"

#include <algorithm>

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TComponent::StaticClass() {
  static TClassInfo info("TComponent", &TPersistent::StaticClass());
  static const bool registered = [] {
    TPropBuilder<TComponent> b(info);
    b.String("Name", [](const TComponent& c) { return c.Name(); }, [](TComponent& c, const std::string& v) { c.SetName(v); });
    b.Integer("Tag", [](const TComponent& c) { return c.Tag(); }, [](TComponent& c, std::int64_t v) { c.SetTag(v); })
        .defaultValue = std::int64_t{0};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)registered;
  return info;
}

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(name[0])) return false;
  for (char c : name)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

TComponent::TComponent(TComponent* owner, const TClassInfo& cls) : TPersistent(cls) {
  if (owner) {
    try {
      owner->InsertComponent(this);
    } catch (...) {
      // A sibling refused the newcomer: take it out again before the exception leaves.
      if (owner_) owner_->RemoveComponent(this);
      throw;
    }
  }
}

TComponent::~TComponent() {
  if (!destructionDone_) BeforeDestruction();
}

void TComponent::Free(TComponent* component) {
  if (!component) return;
  component->BeforeDestruction();
  delete component;
}

void TComponent::BeforeDestruction() {
  if (destructionDone_) return;
  destructionDone_ = true;
  state_ |= csDestroying;
  // Components that asked to hear of this one's end drop their references to it.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    c->RemoveFreeNotification(this);
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    Free(c);
  }
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError("\"" + name + "\" is not a valid component name");
  if (!name.empty() && owner_) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->owner_) component->owner_->RemoveComponent(component);
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError("A component named " + component->name_ + " already exists");
  components_.push_back(component);
  component->owner_ = this;
  if (state_ & csDesigning) component->SetDesigning(true);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  Notification(component, TOperation::opRemove);
  it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
  // Walk backwards and re-check the bounds: a receiver may destroy components on the way.
  for (int i = static_cast<int>(components_.size()) - 1; i >= 0; --i) {
    if (i >= static_cast<int>(components_.size())) {
      i = static_cast<int>(components_.size());
      continue;
    }
    components_[static_cast<std::size_t>(i)]->Notification(component, operation);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
    component->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
  if (it == freeNotifies_.end()) return;
  freeNotifies_.erase(it);
  component->RemoveFreeNotification(this);
}

void TComponent::SetDesigning(bool designing, bool children) {
  if (designing)
    state_ |= csDesigning;
  else
    state_ &= ~csDesigning;
  if (children)
    for (TComponent* c : components_) c->SetDesigning(designing, true);
}

void TComponent::Loaded() { state_ &= ~csLoading; }

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  if (root != this) return;
  for (TComponent* c : components_)
    if (!c->HasParent()) proc(c);
}

void TComponent::RegisterMethod(const std::string& name, std::function<void(TObject*)> handler) {
  methods_[name] = std::move(handler);
}

TMethodValue TComponent::FindMethod(std::string_view name) const {
  for (const auto& [n, h] : methods_)
    if (SameText(n, name)) return TMethodValue{n, h};
  return TMethodValue{};
}

std::string TComponent::MethodName(const TMethodValue& method) const { return method.name; }

}  // namespace vex::host
