// Run-time class information of the framework: names, parents, factories and published properties.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vex::host {

class TObject;
class TComponent;
class TClassInfo;

// Kinds of published property.
enum class TPropKind { Ordinal, Enumeration, Boolean, Set, Integer, Color, String, WideString, Object, Collection, StringList, Method };

// A method property's value: the handler's name (what streaming writes) and the handler itself.
struct TMethodValue {
  std::string name;
  std::function<void(TObject* sender)> handler;
  explicit operator bool() const { return static_cast<bool>(handler) || !name.empty(); }
  bool operator==(const TMethodValue& other) const { return name == other.name; }
};

// A property value. Ordinal kinds (ordinal, enumeration, Boolean, set, integer, colour) are int64.
using TValue = std::variant<std::monostate, std::int64_t, std::string, std::wstring, TObject*, TMethodValue>;

struct TPropInfo {
  std::string name;
  TPropKind kind = TPropKind::Integer;
  std::string typeName;                       // "TBorderStyle", "Integer", "TFont", ...
  std::vector<std::string> valueNames;        // enumeration values, or set elements by bit
  std::function<TValue(const TObject&)> get;
  std::function<void(TObject&, const TValue&)> set;  // empty: read-only
  std::function<bool(const TObject&)> stored;        // empty: stored when not default
  TValue defaultValue;                        // monostate: no default
  const TClassInfo* objectClass = nullptr;    // for object, collection and string list properties

  bool IsOrdinal() const {
    return kind == TPropKind::Ordinal || kind == TPropKind::Enumeration || kind == TPropKind::Boolean ||
           kind == TPropKind::Set || kind == TPropKind::Integer || kind == TPropKind::Color;
  }
};

using TComponentFactory = TComponent* (*)(TComponent* owner);

// The factory of a class whose constructor takes the owner.
template <class T>
TComponent* ComponentFactory(TComponent* owner) {
  return new T(owner);
}

class TClassInfo {
 public:
  TClassInfo(std::string name, const TClassInfo* parent, TComponentFactory factory = nullptr);

  const std::string& Name() const { return name_; }
  const TClassInfo* Parent() const { return parent_; }
  // True for this class and every class derived from it.
  bool InheritsFrom(const TClassInfo& other) const;
  // The same by class name (ASCII case-insensitive), as a framework class name test does.
  bool InheritsFrom(std::string_view className) const;
  // Creates an instance owned by `owner`; null for classes that cannot be streamed in.
  TComponent* Create(TComponent* owner) const { return factory_ ? factory_(owner) : nullptr; }
  bool CanCreate() const { return factory_ != nullptr; }

  // Published properties: the parent's first, then this class's own in registration order.
  std::vector<const TPropInfo*> Properties() const;
  const TPropInfo* FindProperty(std::string_view name) const;
  TPropInfo& AddProperty(TPropInfo info);

 private:
  std::string name_;
  const TClassInfo* parent_;
  TComponentFactory factory_;
  std::vector<TPropInfo> own_;
  // Properties by folded name, this class's and its parents' (the nearest class's wins); made on
  // the first lookup and again after any class registered a property since. Painters read a few
  // properties by name on every paint: a walk over every class's list cost microseconds each.
  struct TLookup;
  mutable std::shared_ptr<TLookup> lookup_;
};

// The registry streaming creates components from. Registering a name twice keeps the first.
void RegisterFrameworkClass(const TClassInfo& info);
const TClassInfo* FindClass(std::string_view name);

bool SameText(std::string_view a, std::string_view b);

}  // namespace vex::host
