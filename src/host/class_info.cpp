#include "host/class_info.h"

#include <atomic>
#include <map>
#include <mutex>
#include <unordered_map>

namespace vex::host {
namespace {

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Fold(c);
  return out;
}

// Counts property registrations: a lookup table made before the last one is made again.
std::atomic<std::uint64_t> gPropertyGeneration{1};
std::mutex gLookupMutex;

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

struct TClassInfo::TLookup {
  std::uint64_t generation = 0;
  std::unordered_map<std::string, const TPropInfo*> byName;
};

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  const std::string key = Folded(name);
  std::lock_guard<std::mutex> lock(gLookupMutex);
  const std::uint64_t generation = gPropertyGeneration.load();
  if (!lookup_ || lookup_->generation != generation) {
    auto table = std::make_shared<TLookup>();
    table->generation = generation;
    for (const TClassInfo* c = this; c; c = c->parent_)
      for (const TPropInfo& p : c->own_) table->byName.emplace(Folded(p.name), &p);  // the nearest class first
    lookup_ = std::move(table);
  }
  const auto it = lookup_->byName.find(key);
  return it == lookup_->byName.end() ? nullptr : it->second;
}

TPropInfo& TClassInfo::AddProperty(TPropInfo info) {
  own_.push_back(std::move(info));
  ++gPropertyGeneration;
  return own_.back();
}

void RegisterFrameworkClass(const TClassInfo& info) { Registry().emplace(Folded(info.Name()), &info); }

const TClassInfo* FindClass(std::string_view name) {
  auto it = Registry().find(Folded(name));
  return it == Registry().end() ? nullptr : it->second;
}

}  // namespace vex::host
