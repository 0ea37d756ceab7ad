#include "host/class_info.h"

#include <map>

namespace vex::host {
namespace {

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Fold(c);
  return out;
}

std::map<std::string, const TClassInfo*>& Registry() {
  static std::map<std::string, const TClassInfo*> r;
  return r;
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent, TComponentFactory factory)
    : name_(std::move(name)), parent_(parent), factory_(factory) {}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

bool TClassInfo::InheritsFrom(std::string_view className) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    if (SameText(c->name_, className)) return true;
  return false;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TPropInfo*> all = parent_ ? parent_->Properties() : std::vector<const TPropInfo*>{};
  for (const TPropInfo& p : own_) {
    // A class may republish an inherited property: the new definition takes the old place.
    bool replaced = false;
    for (auto& q : all)
      if (SameText(q->name, p.name)) {
        q = &p;
        replaced = true;
      }
    if (!replaced) all.push_back(&p);
  }
  return all;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const TPropInfo& p : c->own_)
      if (SameText(p.name, name)) return &p;
  return nullptr;
}

TPropInfo& TClassInfo::AddProperty(TPropInfo info) {
  own_.push_back(std::move(info));
  return own_.back();
}

void RegisterFrameworkClass(const TClassInfo& info) { Registry().emplace(Folded(info.Name()), &info); }

const TClassInfo* FindClass(std::string_view name) {
  auto it = Registry().find(Folded(name));
  return it == Registry().end() ? nullptr : it->second;
}

}  // namespace vex::host
