#include "host/object.h"

#include <algorithm>

namespace vex::host {

const TClassInfo& TObject::StaticClass() {
  static const TClassInfo info("TObject", nullptr);
  return info;
}

namespace {

const TPropInfo& Need(const TObject& obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p) throw EPropertyError(obj.ClassName() + " has no property " + std::string(name));
  return *p;
}

const TPropInfo& NeedKind(const TObject& obj, std::string_view name, bool ok, const char* what) {
  const TPropInfo& p = Need(obj, name);
  if (!ok) throw EPropertyError(obj.ClassName() + "." + p.name + " is not " + what);
  return p;
}

bool Ordinal(const TPropInfo& p) { return p.IsOrdinal(); }

std::string Trim(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
  return std::string(s.substr(a, b - a));
}

}  // namespace

const TPropInfo* GetPropInfo(const TObject& obj, std::string_view name) { return obj.ClassInfo().FindProperty(name); }

TPropKind PropKind(const TObject& obj, std::string_view name) { return Need(obj, name).kind; }

const std::string& PropTypeName(const TObject& obj, std::string_view name) { return Need(obj, name).typeName; }

TValue GetPropValue(const TObject& obj, std::string_view name) { return Need(obj, name).get(obj); }

void SetPropValue(TObject& obj, std::string_view name, const TValue& value) {
  const TPropInfo& p = Need(obj, name);
  if (!p.set) throw EPropertyError(obj.ClassName() + "." + p.name + " is read-only");
  p.set(obj, value);
}

std::int64_t GetOrdProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = Need(obj, name);
  if (!Ordinal(p)) throw EPropertyError(obj.ClassName() + "." + p.name + " is not ordinal");
  return std::get<std::int64_t>(p.get(obj));
}

void SetOrdProp(TObject& obj, std::string_view name, std::int64_t value) {
  NeedKind(obj, name, Ordinal(Need(obj, name)), "ordinal");
  SetPropValue(obj, name, value);
}

std::string GetStrProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = NeedKind(obj, name, Need(obj, name).kind == TPropKind::String, "a string");
  return std::get<std::string>(p.get(obj));
}

void SetStrProp(TObject& obj, std::string_view name, const std::string& value) {
  NeedKind(obj, name, Need(obj, name).kind == TPropKind::String, "a string");
  SetPropValue(obj, name, value);
}

std::wstring GetWideStrProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = NeedKind(obj, name, Need(obj, name).kind == TPropKind::WideString, "a wide string");
  return std::get<std::wstring>(p.get(obj));
}

void SetWideStrProp(TObject& obj, std::string_view name, const std::wstring& value) {
  NeedKind(obj, name, Need(obj, name).kind == TPropKind::WideString, "a wide string");
  SetPropValue(obj, name, value);
}

TObject* GetObjectProp(const TObject& obj, std::string_view name) {
  const TPropKind k = Need(obj, name).kind;
  const TPropInfo& p =
      NeedKind(obj, name, k == TPropKind::Object || k == TPropKind::Collection || k == TPropKind::StringList, "an object");
  return std::get<TObject*>(p.get(obj));
}

void SetObjectProp(TObject& obj, std::string_view name, TObject* value) {
  const TPropKind k = Need(obj, name).kind;
  NeedKind(obj, name, k == TPropKind::Object || k == TPropKind::Collection || k == TPropKind::StringList, "an object");
  SetPropValue(obj, name, value);
}

TMethodValue GetMethodProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = NeedKind(obj, name, Need(obj, name).kind == TPropKind::Method, "a method");
  return std::get<TMethodValue>(p.get(obj));
}

void SetMethodProp(TObject& obj, std::string_view name, const TMethodValue& value) {
  NeedKind(obj, name, Need(obj, name).kind == TPropKind::Method, "a method");
  SetPropValue(obj, name, value);
}

std::string EnumToText(const TPropInfo& p, std::int64_t value) {
  if (p.kind == TPropKind::Boolean) return value ? "True" : "False";
  if (value < 0 || value >= static_cast<std::int64_t>(p.valueNames.size()))
    throw EPropertyError(std::to_string(value) + " is no value of " + p.typeName);
  return p.valueNames[static_cast<std::size_t>(value)];
}

std::int64_t TextToEnum(const TPropInfo& p, std::string_view text) {
  if (p.kind == TPropKind::Boolean) {
    if (SameText(text, "True")) return 1;
    if (SameText(text, "False")) return 0;
  } else {
    for (std::size_t i = 0; i < p.valueNames.size(); ++i)
      if (SameText(p.valueNames[i], text)) return static_cast<std::int64_t>(i);
  }
  throw EPropertyError(std::string(text) + " is no value of " + p.typeName);
}

std::string SetToText(const TPropInfo& p, std::int64_t mask) {
  std::string out = "[";
  for (std::size_t i = 0; i < p.valueNames.size(); ++i)
    if (mask & (std::int64_t{1} << i)) {
      if (out.size() > 1) out += ", ";
      out += p.valueNames[i];
    }
  return out + "]";
}

std::int64_t TextToSet(const TPropInfo& p, std::string_view text) {
  std::string t = Trim(text);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') throw EPropertyError("a set is written [a, b]: " + t);
  std::int64_t mask = 0;
  std::string_view body(t);
  body = body.substr(1, body.size() - 2);
  while (!Trim(body).empty()) {
    const std::size_t comma = body.find(',');
    const std::string element = Trim(body.substr(0, comma));
    bool found = false;
    for (std::size_t i = 0; i < p.valueNames.size() && !found; ++i)
      if (SameText(p.valueNames[i], element)) {
        mask |= std::int64_t{1} << i;
        found = true;
      }
    if (!found) throw EPropertyError(element + " is no element of " + p.typeName);
    if (comma == std::string_view::npos) break;
    body = body.substr(comma + 1);
  }
  return mask;
}

std::string GetEnumProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = Need(obj, name);
  return EnumToText(p, GetOrdProp(obj, name));
}

void SetEnumProp(TObject& obj, std::string_view name, std::string_view valueName) {
  SetOrdProp(obj, name, TextToEnum(Need(obj, name), valueName));
}

std::string GetSetProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = NeedKind(obj, name, Need(obj, name).kind == TPropKind::Set, "a set");
  return SetToText(p, GetOrdProp(obj, name));
}

void SetSetProp(TObject& obj, std::string_view name, std::string_view elements) {
  const TPropInfo& p = NeedKind(obj, name, Need(obj, name).kind == TPropKind::Set, "a set");
  SetOrdProp(obj, name, TextToSet(p, elements));
}

bool SetPropContains(const TObject& obj, std::string_view name, std::string_view element) {
  const TPropInfo& p = NeedKind(obj, name, Need(obj, name).kind == TPropKind::Set, "a set");
  const std::int64_t mask = GetOrdProp(obj, name);
  for (std::size_t i = 0; i < p.valueNames.size(); ++i)
    if (SameText(p.valueNames[i], element)) return (mask >> i) & 1;
  throw EPropertyError(std::string(element) + " is no element of " + p.typeName);
}

}  // namespace vex::host
