// Typed helpers that register a class's published properties.
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/object.h"

namespace vex::host {

// Registers properties of class C with getters and setters written against C:
//   TPropBuilder<TButton> b(info);
//   b.Integer("Tag", [](const TButton& c) { return c.Tag(); }, [](TButton& c, std::int64_t v) { c.SetTag(v); });
// A null setter makes the property read-only.
template <class C>
class TPropBuilder {
 public:
  explicit TPropBuilder(TClassInfo& info) : info_(info) {}

  template <class G, class S>
  TPropInfo& Integer(const char* name, G get, S set, const char* typeName = "Integer") {
    return Ordinal(TPropKind::Integer, name, typeName, {}, get, set);
  }
  template <class G, class S>
  TPropInfo& Boolean(const char* name, G get, S set) {
    return Ordinal(TPropKind::Boolean, name, "Boolean", {"False", "True"}, get, set);
  }
  template <class G, class S>
  TPropInfo& Color(const char* name, G get, S set) {
    return Ordinal(TPropKind::Color, name, "TColor", {}, get, set);
  }
  template <class G, class S>
  TPropInfo& Enum(const char* name, const char* typeName, std::vector<std::string> values, G get, S set) {
    return Ordinal(TPropKind::Enumeration, name, typeName, std::move(values), get, set);
  }
  template <class G, class S>
  TPropInfo& Set(const char* name, const char* typeName, std::vector<std::string> elements, G get, S set) {
    return Ordinal(TPropKind::Set, name, typeName, std::move(elements), get, set);
  }

  template <class G, class S>
  TPropInfo& String(const char* name, G get, S set) {
    TPropInfo p = Base(TPropKind::String, name, "string");
    p.get = [get](const TObject& o) { return TValue(std::string(get(static_cast<const C&>(o)))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.set = [set](TObject& o, const TValue& v) { set(static_cast<C&>(o), std::get<std::string>(v)); };
    return info_.AddProperty(std::move(p));
  }
  template <class G, class S>
  TPropInfo& WideString(const char* name, G get, S set) {
    TPropInfo p = Base(TPropKind::WideString, name, "WideString");
    p.get = [get](const TObject& o) { return TValue(std::wstring(get(static_cast<const C&>(o)))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.set = [set](TObject& o, const TValue& v) { set(static_cast<C&>(o), std::get<std::wstring>(v)); };
    return info_.AddProperty(std::move(p));
  }

  // Object, collection and string-list properties: the getter returns the object (owned by C or
  // a referenced component); a setter, when given, takes a pointer (Assign or reference).
  template <class G, class S>
  TPropInfo& Object(const char* name, TPropKind kind, const TClassInfo& cls, G get, S set) {
    TPropInfo p = Base(kind, name, cls.Name().c_str());
    p.objectClass = &cls;
    p.get = [get](const TObject& o) { return TValue(static_cast<TObject*>(get(static_cast<const C&>(o)))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.set = [set](TObject& o, const TValue& v) { set(static_cast<C&>(o), std::get<TObject*>(v)); };
    return info_.AddProperty(std::move(p));
  }

  template <class G, class S>
  TPropInfo& Method(const char* name, const char* typeName, G get, S set) {
    TPropInfo p = Base(TPropKind::Method, name, typeName);
    p.get = [get](const TObject& o) { return TValue(TMethodValue(get(static_cast<const C&>(o)))); };
    p.set = [set](TObject& o, const TValue& v) { set(static_cast<C&>(o), std::get<TMethodValue>(v)); };
    return info_.AddProperty(std::move(p));
  }

 private:
  TPropInfo Base(TPropKind kind, const char* name, const char* typeName) {
    TPropInfo p;
    p.name = name;
    p.kind = kind;
    p.typeName = typeName;
    return p;
  }

  template <class G, class S>
  TPropInfo& Ordinal(TPropKind kind, const char* name, const char* typeName, std::vector<std::string> values, G get,
                     S set) {
    TPropInfo p = Base(kind, name, typeName);
    p.valueNames = std::move(values);
    p.get = [get](const TObject& o) { return TValue(static_cast<std::int64_t>(get(static_cast<const C&>(o)))); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      p.set = [set](TObject& o, const TValue& v) { set(static_cast<C&>(o), std::get<std::int64_t>(v)); };
    return info_.AddProperty(std::move(p));
  }

  TClassInfo& info_;
};

}  // namespace vex::host
