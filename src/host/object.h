// The framework's root class and the property access that works on every class by name.
#pragma once

#include <stdexcept>
#include <optional>
#include <string>
#include <string_view>

#include "host/class_info.h"

namespace vex::host {

// Declares a framework class's class information: put it first in the class body. Every
// constructor of the class passes its class on to the base (`cls = StaticClass()`), so an object
// reports its real class from the first base constructor to the last destructor, as the
// framework's notifications need.
#define VEX_CLASS(Cls) \
 public:               \
  static const ::vex::host::TClassInfo& StaticClass();

class TObject {
 public:
  explicit TObject(const TClassInfo& cls = StaticClass()) : class_(&cls) {}
  virtual ~TObject() = default;
  static const TClassInfo& StaticClass();
  const TClassInfo& ClassInfo() const { return *class_; }

  const std::string& ClassName() const { return ClassInfo().Name(); }
  bool InheritsFrom(std::string_view className) const { return ClassInfo().InheritsFrom(className); }
  template <class T>
  bool Is() const {
    return ClassInfo().InheritsFrom(T::StaticClass());
  }

 private:
  const TClassInfo* class_;
};

// A property that does not exist, is read-only, or is used as another kind than it is.
class EPropertyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

const TPropInfo* GetPropInfo(const TObject& obj, std::string_view name);
inline bool IsPublishedProp(const TObject& obj, std::string_view name) { return GetPropInfo(obj, name) != nullptr; }
TPropKind PropKind(const TObject& obj, std::string_view name);
const std::string& PropTypeName(const TObject& obj, std::string_view name);

TValue GetPropValue(const TObject& obj, std::string_view name);
void SetPropValue(TObject& obj, std::string_view name, const TValue& value);

// Ordinal kinds: ordinal, enumeration, Boolean, set (a bit mask), integer and colour.
std::int64_t GetOrdProp(const TObject& obj, std::string_view name);
void SetOrdProp(TObject& obj, std::string_view name, std::int64_t value);
std::string GetStrProp(const TObject& obj, std::string_view name);
void SetStrProp(TObject& obj, std::string_view name, const std::string& value);
std::wstring GetWideStrProp(const TObject& obj, std::string_view name);
void SetWideStrProp(TObject& obj, std::string_view name, const std::wstring& value);
TObject* GetObjectProp(const TObject& obj, std::string_view name);
void SetObjectProp(TObject& obj, std::string_view name, TObject* value);
TMethodValue GetMethodProp(const TObject& obj, std::string_view name);
void SetMethodProp(TObject& obj, std::string_view name, const TMethodValue& value);

// Enumerations by value name ("bsSizeable"), sets as "[biSystemMenu,biMinimize]".
std::string GetEnumProp(const TObject& obj, std::string_view name);
void SetEnumProp(TObject& obj, std::string_view name, std::string_view valueName);
std::string GetSetProp(const TObject& obj, std::string_view name);
void SetSetProp(TObject& obj, std::string_view name, std::string_view elements);
bool SetPropContains(const TObject& obj, std::string_view name, std::string_view element);

// A published property read by name when it is there: nothing when the object does not publish
// it, or publishes it as a value of another type (ordinal kinds read as std::int64_t; a string
// property as std::string, a wide string one as std::wstring; object properties as TObject*).
template <class T>
std::optional<T> TryGetProp(const TObject& obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !p->get) return std::nullopt;
  TValue v = p->get(obj);
  if (T* value = std::get_if<T>(&v)) return std::move(*value);
  return std::nullopt;
}
// The same for a property of the given type name ("TBorderStyle"), so that a property of the
// same name but another meaning is not taken for it.
template <class T>
std::optional<T> TryGetProp(const TObject& obj, std::string_view name, std::string_view typeName) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || p->typeName != typeName || !p->get) return std::nullopt;
  TValue v = p->get(obj);
  if (T* value = std::get_if<T>(&v)) return std::move(*value);
  return std::nullopt;
}

// Text forms used by streaming; they throw EPropertyError for names a type does not have.
std::string EnumToText(const TPropInfo& p, std::int64_t value);
std::int64_t TextToEnum(const TPropInfo& p, std::string_view text);
std::string SetToText(const TPropInfo& p, std::int64_t mask);
std::int64_t TextToSet(const TPropInfo& p, std::string_view text);

}  // namespace vex::host
