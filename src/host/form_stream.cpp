#include "host/form_stream.h"

#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "host/collection.h"
#include "host/color.h"
#include "host/string_list.h"
#include "host/text_encoding.h"

namespace vex::host {

EReadError::EReadError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}

namespace {

// ----- writing -----

std::string QuoteString(std::string_view s) {
  std::string out;
  bool open = false;
  for (unsigned char c : s) {
    if (c < 0x20) {
      if (open) out += '\'';
      open = false;
      out += "#" + std::to_string(c);
    } else {
      if (!open) out += '\'';
      open = true;
      if (c == '\'') out += '\'';
      out += static_cast<char>(c);
    }
  }
  if (open) out += '\'';
  if (out.empty()) out = "''";
  return out;
}

std::string HexLines(const std::vector<std::uint8_t>& data, const std::string& indent) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out = "{";
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i % 32 == 0) out += "\n" + indent;
    out += kHex[data[i] >> 4];
    out += kHex[data[i] & 15];
  }
  return out + "}";
}

class TTextWriter : public TFiler {
 public:
  explicit TTextWriter(const TComponent& root) : root_(root) {}

  void WriteComponent(const TComponent& c, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out_ += indent + "object " + (c.Name().empty() ? std::string() : c.Name() + ": ") + c.ClassName() + "\n";
    WriteProperties(c, "", depth + 1);
    c.GetChildren([&](TComponent* child) { WriteComponent(*child, depth + 1); }, const_cast<TComponent*>(&root_));
    out_ += indent + "end\n";
  }

  std::string Take() { return std::move(out_); }

  void DefineProperty(const std::string& name, const std::function<void(const std::string&)>&,
                      const std::function<std::string()>& write, bool hasData) override {
    if (hasData) out_ += Indent() + prefix_ + name + " = " + QuoteString(write()) + "\n";
  }
  void DefineBinaryProperty(const std::string& name, const std::function<void(const std::vector<std::uint8_t>&)>&,
                            const std::function<std::vector<std::uint8_t>()>& write, bool hasData) override {
    if (hasData) out_ += Indent() + prefix_ + name + " = " + HexLines(write(), Indent() + "  ") + "\n";
  }

 private:
  std::string Indent() const { return std::string(static_cast<std::size_t>(depth_) * 2, ' '); }

  void WriteProperties(const TObject& obj, const std::string& prefix, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    for (const TPropInfo* p : obj.ClassInfo().Properties()) {
      if (p->stored && !p->stored(obj)) continue;
      if (SameText(p->name, "Name") && obj.Is<TComponent>()) continue;  // in the object line
      const TValue v = p->get(obj);
      const std::string lead = indent + prefix + p->name + " = ";
      switch (p->kind) {
        case TPropKind::String: {
          const auto& s = std::get<std::string>(v);
          if (!p->set || (s.empty() && !std::holds_alternative<std::string>(p->defaultValue))) break;
          if (p->defaultValue == v) break;
          out_ += lead + QuoteString(s) + "\n";
          break;
        }
        case TPropKind::WideString: {
          const auto& s = std::get<std::wstring>(v);
          if (!p->set || (s.empty() && !std::holds_alternative<std::wstring>(p->defaultValue))) break;
          if (p->defaultValue == v) break;
          out_ += lead + QuoteString(WideToUtf8(s)) + "\n";
          break;
        }
        case TPropKind::Method: {
          const auto& m = std::get<TMethodValue>(v);
          if (!m.name.empty()) out_ += lead + m.name + "\n";
          break;
        }
        case TPropKind::Object: {
          TObject* o = std::get<TObject*>(v);
          if (!o) break;
          if (o->Is<TComponent>()) {
            const auto* c = static_cast<const TComponent*>(o);
            if (!c->Name().empty() && p->set) out_ += lead + c->Name() + "\n";
          } else {
            WriteProperties(*o, prefix + p->name + ".", depth);
          }
          break;
        }
        case TPropKind::Collection: {
          auto* coll = static_cast<TCollection*>(std::get<TObject*>(v));
          if (!coll || coll->Count() == 0) break;
          out_ += lead + "<";
          for (int i = 0; i < coll->Count(); ++i) {
            out_ += "\n" + indent + "  item\n";
            WriteProperties(*coll->Items(i), "", depth + 2);
            out_ += indent + "  end";
          }
          out_ += ">\n";
          break;
        }
        case TPropKind::StringList: {
          auto* list = static_cast<TStrings*>(std::get<TObject*>(v));
          if (!list || list->Count() == 0) break;
          out_ += lead + "(";
          for (const auto& s : list->ToVector()) out_ += "\n" + indent + "  " + QuoteString(s);
          out_ += ")\n";
          break;
        }
        default: {
          if (!p->set) break;
          if (p->defaultValue == v) break;
          const std::int64_t n = std::get<std::int64_t>(v);
          std::string text;
          if (p->kind == TPropKind::Enumeration || p->kind == TPropKind::Boolean) {
            text = EnumToText(*p, n);
          } else if (p->kind == TPropKind::Set) {
            text = SetToText(*p, n);
          } else if (p->kind == TPropKind::Color) {
            if (auto name = ColorToIdent(static_cast<TColor>(n))) {
              text = *name;
            } else {
              char buf[16];
              std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(n));
              text = buf;
            }
          } else {
            text = std::to_string(n);
          }
          out_ += lead + text + "\n";
        }
      }
    }
    // Defined properties of this object follow its published ones.
    if (obj.Is<TPersistent>()) {
      const std::string savedPrefix = prefix_;
      const int savedDepth = depth_;
      prefix_ = prefix;
      depth_ = depth;
      const_cast<TPersistent&>(static_cast<const TPersistent&>(obj)).DefineProperties(*this);
      prefix_ = savedPrefix;
      depth_ = savedDepth;
    }
  }

  const TComponent& root_;
  std::string out_;
  std::string prefix_;
  int depth_ = 0;
};

// ----- reading -----

enum class TTok { End, Ident, Integer, String, Symbol, Binary };

struct TToken {
  TTok kind = TTok::End;
  std::string text;  // identifier, decoded string, symbol, hex digits
  std::int64_t number = 0;
  int line = 1;
};

class TLexer {
 public:
  explicit TLexer(std::string_view s) : s_(s) {}

  TToken Next() {
    SkipBlanks();
    TToken t;
    t.line = line_;
    if (pos_ >= s_.size()) return t;
    const char c = s_[pos_];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      t.kind = TTok::Ident;
      while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' || s_[pos_] == '.'))
        t.text += s_[pos_++];
      return t;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '$') {
      t.kind = TTok::Integer;
      bool neg = false;
      if (c == '-') {
        neg = true;
        ++pos_;
      }
      int base = 10;
      if (pos_ < s_.size() && s_[pos_] == '$') {
        base = 16;
        ++pos_;
      }
      std::uint64_t v = 0;
      int digits = 0;
      while (pos_ < s_.size()) {
        const char d = s_[pos_];
        int dv = std::isdigit(static_cast<unsigned char>(d)) ? d - '0'
                 : (base == 16 && std::isxdigit(static_cast<unsigned char>(d))) ? std::tolower(d) - 'a' + 10
                                                                                  : -1;
        if (dv < 0) break;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(dv);
        if (v > 0xFFFFFFFFFFull) throw EReadError(line_, "number too large");
        ++digits;
        ++pos_;
      }
      if (!digits) throw EReadError(line_, "a number has no digits");
      t.number = neg ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
      return t;
    }
    if (c == '\'' || c == '#') {
      t.kind = TTok::String;
      while (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) {
        if (s_[pos_] == '#') {
          ++pos_;
          int v = 0, digits = 0;
          while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])) && digits < 4) {
            v = v * 10 + (s_[pos_++] - '0');
            ++digits;
          }
          if (!digits || v > 255) throw EReadError(line_, "bad character code in a string");
          t.text += static_cast<char>(v);
          continue;
        }
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n') throw EReadError(line_, "unterminated string");
          if (s_[pos_] == '\'') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
              t.text += '\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          t.text += s_[pos_++];
        }
      }
      return t;
    }
    if (c == '{') {
      t.kind = TTok::Binary;
      ++pos_;
      for (;;) {
        if (pos_ >= s_.size()) throw EReadError(t.line, "unterminated binary data");
        const char d = s_[pos_++];
        if (d == '}') break;
        if (d == '\n') ++line_;
        if (std::isspace(static_cast<unsigned char>(d))) continue;
        if (!std::isxdigit(static_cast<unsigned char>(d))) throw EReadError(line_, "bad hexadecimal digit in binary data");
        t.text += d;
      }
      if (t.text.size() % 2) throw EReadError(line_, "odd number of hexadecimal digits");
      return t;
    }
    if (std::string_view("=:[](),<>").find(c) != std::string_view::npos) {
      t.kind = TTok::Symbol;
      t.text = std::string(1, c);
      ++pos_;
      return t;
    }
    throw EReadError(line_, std::string("unexpected character '") + c + "'");
  }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> out(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(i * 2, 2), nullptr, 16));
  return out;
}

// Matches a defined property by name and hands it the value.
class TDefinedMatcher : public TFiler {
 public:
  TDefinedMatcher(const std::string& name, const TToken& value) : name_(name), value_(value) {}
  bool found = false;

  void DefineProperty(const std::string& name, const std::function<void(const std::string&)>& read,
                      const std::function<std::string()>&, bool) override {
    if (found || !SameText(name, name_)) return;
    found = true;
    if (value_.kind != TTok::String) throw EReadError(value_.line, name + " takes a string");
    read(value_.text);
  }
  void DefineBinaryProperty(const std::string& name, const std::function<void(const std::vector<std::uint8_t>&)>& read,
                            const std::function<std::vector<std::uint8_t>()>&, bool) override {
    if (found || !SameText(name, name_)) return;
    found = true;
    if (value_.kind != TTok::Binary) throw EReadError(value_.line, name + " takes binary data in { }");
    read(FromHex(value_.text));
  }

 private:
  std::string name_;
  const TToken& value_;
};

class TTextReader {
 public:
  TTextReader(std::string_view text, TComponent& root) : lex_(text), root_(root) {}

  // Reads the root object: "object Name: Class" ... "end".
  void ReadRoot(bool rootCreatedHere) {
    Advance();
    const auto [name, cls, line] = Header();
    if (!root_.ClassInfo().InheritsFrom(cls)) throw EReadError(line, "the stream holds a " + cls + ", not a " + root_.ClassName());
    loaded_.push_back(&root_);
    root_.SetState(csLoading | csReading);
    if (!name.empty()) SetName(root_, name, line);
    ReadBody(root_);
    root_.ClearState(csReading);
    if (tok_.kind != TTok::End) throw EReadError(tok_.line, "text after the last end");
    Fixups();
    (void)rootCreatedHere;
  }

  // Undoes what the read created.
  void Abandon() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) TComponent::Free(*it);
    created_.clear();
    root_.ClearState(csLoading | csReading);
  }

  void CallLoaded() {
    for (TComponent* c : loaded_) c->Loaded();
  }

  static std::string PeekRootClass(std::string_view text) {
    TLexer lex(text);
    TToken t = lex.Next();
    if (t.kind != TTok::Ident || !(SameText(t.text, "object") || SameText(t.text, "inherited")))
      throw EReadError(t.line, "a stream starts with object");
    TToken a = lex.Next();
    TToken b = lex.Next();
    if (b.kind == TTok::Symbol && b.text == ":") {
      TToken c = lex.Next();
      if (c.kind != TTok::Ident) throw EReadError(c.line, "class name expected");
      return c.text;
    }
    if (a.kind != TTok::Ident) throw EReadError(a.line, "class name expected");
    return a.text;
  }

 private:
  struct THeader {
    std::string name, cls;
    int line;
  };

  void Advance() { tok_ = lex_.Next(); }
  bool IsIdent(const char* word) const { return tok_.kind == TTok::Ident && SameText(tok_.text, word); }
  bool IsSymbol(char c) const { return tok_.kind == TTok::Symbol && tok_.text[0] == c; }
  void Expect(char c) {
    if (!IsSymbol(c)) throw EReadError(tok_.line, std::string("'") + c + "' expected");
    Advance();
  }

  THeader Header() {
    if (!IsIdent("object") && !IsIdent("inherited")) throw EReadError(tok_.line, "object expected");
    const int line = tok_.line;
    Advance();
    if (tok_.kind != TTok::Ident) throw EReadError(tok_.line, "name or class expected");
    std::string first = tok_.text;
    Advance();
    if (IsSymbol(':')) {
      Advance();
      if (tok_.kind != TTok::Ident) throw EReadError(tok_.line, "class name expected");
      std::string cls = tok_.text;
      Advance();
      return {first, cls, line};
    }
    return {"", first, line};
  }

  void SetName(TComponent& c, const std::string& name, int line) {
    try {
      c.SetName(name);
    } catch (const EComponentError& e) {
      throw EReadError(line, e.what());
    }
  }

  // Properties, then nested objects, then "end".
  void ReadBody(TComponent& c) {
    while (!IsIdent("end") && !IsIdent("object") && !IsIdent("inherited")) {
      if (tok_.kind == TTok::End) throw EReadError(tok_.line, "end expected");
      ReadProperty(c);
    }
    while (IsIdent("object") || IsIdent("inherited")) ReadChild(c);
    if (!IsIdent("end")) throw EReadError(tok_.line, "end expected");
    Advance();
  }

  void ReadChild(TComponent& parent) {
    const auto [name, clsName, line] = Header();
    const TClassInfo* cls = FindClass(clsName);
    if (!cls) throw EReadError(line, "class " + clsName + " not found");
    if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CanCreate())
      throw EReadError(line, "class " + clsName + " cannot be created from a stream");
    TComponent* child = nullptr;
    try {
      child = cls->Create(&root_);
    } catch (const std::exception& e) {
      throw EReadError(line, e.what());
    }
    created_.push_back(child);
    loaded_.push_back(child);
    child->SetState(csLoading | csReading);
    if (!name.empty()) SetName(*child, name, line);
    try {
      child->SetParentComponent(&parent);
    } catch (const std::exception& e) {
      throw EReadError(line, e.what());
    }
    ReadBody(*child);
    child->ClearState(csReading);
  }

  // "Path = value" on an object; the path may go through object properties ("Font.Color").
  void ReadProperty(TObject& obj) {
    if (tok_.kind != TTok::Ident) throw EReadError(tok_.line, "property name expected");
    const std::string path = tok_.text;
    const int line = tok_.line;
    Advance();
    Expect('=');
    TObject* target = &obj;
    std::string name = path;
    for (std::size_t dot; (dot = name.find('.')) != std::string::npos;) {
      const std::string head = name.substr(0, dot);
      const TPropInfo* p = GetPropInfo(*target, head);
      if (!p || p->kind != TPropKind::Object) throw EReadError(line, target->ClassName() + " has no object property " + head);
      target = std::get<TObject*>(p->get(*target));
      if (!target) throw EReadError(line, head + " is empty");
      name = name.substr(dot + 1);
    }
    const TPropInfo* p = GetPropInfo(*target, name);
    if (!p) {
      ReadDefined(*target, name, line);
      return;
    }
    try {
      ReadValue(*target, *p, line);
    } catch (const EPropertyError& e) {
      throw EReadError(line, e.what());
    } catch (const EComponentError& e) {
      throw EReadError(line, e.what());
    }
  }

  void ReadDefined(TObject& target, const std::string& name, int line) {
    const TToken value = tok_;
    if (value.kind != TTok::String && value.kind != TTok::Binary)
      throw EReadError(line, target.ClassName() + " has no property " + name);
    Advance();
    TDefinedMatcher matcher(name, value);
    if (target.Is<TPersistent>()) {
      try {
        static_cast<TPersistent&>(target).DefineProperties(matcher);
      } catch (const EReadError&) {
        throw;
      } catch (const std::exception& e) {
        throw EReadError(line, name + ": " + e.what());
      }
    }
    if (!matcher.found) throw EReadError(line, target.ClassName() + " has no property " + name);
  }

  void Set(TObject& target, const TPropInfo& p, const TValue& v, int line) {
    if (!p.set) throw EReadError(line, p.name + " is read-only");
    try {
      p.set(target, v);
    } catch (const EReadError&) {
      throw;
    } catch (const std::exception& e) {
      throw EReadError(line, p.name + ": " + e.what());
    }
  }

  void ReadValue(TObject& target, const TPropInfo& p, int line) {
    switch (p.kind) {
      case TPropKind::String:
      case TPropKind::WideString: {
        if (tok_.kind != TTok::String) throw EReadError(line, p.name + " takes a string");
        const std::string s = tok_.text;
        Advance();
        Set(target, p, p.kind == TPropKind::String ? TValue(s) : TValue(Utf8ToWide(s)), line);
        return;
      }
      case TPropKind::Method: {
        if (tok_.kind != TTok::Ident) throw EReadError(line, p.name + " takes a method name");
        TMethodValue m = root_.FindMethod(tok_.text);
        if (!m.handler) throw EReadError(line, "method " + tok_.text + " not found");
        Advance();
        Set(target, p, m, line);
        return;
      }
      case TPropKind::Object: {
        if (tok_.kind != TTok::Ident) throw EReadError(line, p.name + " takes a component name");
        fixups_.push_back({&target, &p, tok_.text, line});
        Advance();
        return;
      }
      case TPropKind::Collection: {
        auto* coll = static_cast<TCollection*>(std::get<TObject*>(p.get(target)));
        Expect('<');
        if (coll) coll->Clear();
        while (IsIdent("item")) {
          Advance();
          if (!coll) throw EReadError(line, p.name + " is empty");
          TCollectionItem* item = coll->Add();
          while (!IsIdent("end")) {
            if (tok_.kind == TTok::End) throw EReadError(tok_.line, "end expected");
            ReadProperty(*item);
          }
          Advance();
        }
        Expect('>');
        return;
      }
      case TPropKind::StringList: {
        auto* list = static_cast<TStrings*>(std::get<TObject*>(p.get(target)));
        Expect('(');
        std::vector<std::string> items;
        while (tok_.kind == TTok::String) {
          items.push_back(tok_.text);
          Advance();
        }
        Expect(')');
        if (!list) throw EReadError(line, p.name + " is empty");
        list->SetItems(std::move(items));
        return;
      }
      default:
        break;
    }
    // Ordinal kinds.
    std::int64_t v = 0;
    if (p.kind == TPropKind::Set) {
      if (!IsSymbol('[')) throw EReadError(line, p.name + " takes a set in [ ]");
      std::string text = "[";
      Advance();
      while (!IsSymbol(']')) {
        if (tok_.kind == TTok::Ident) {
          text += tok_.text;
        } else if (IsSymbol(',')) {
          text += ",";
        } else {
          throw EReadError(tok_.line, "']' expected");
        }
        Advance();
      }
      Advance();
      v = TextToSet(p, text + "]");
    } else if (tok_.kind == TTok::Ident) {
      if (p.kind == TPropKind::Color) {
        auto c = IdentToColor(tok_.text);
        if (!c) throw EReadError(line, tok_.text + " is no colour");
        v = *c;
      } else {
        v = TextToEnum(p, tok_.text);
      }
      Advance();
    } else if (tok_.kind == TTok::Integer) {
      if (p.kind == TPropKind::Enumeration || p.kind == TPropKind::Boolean)
        throw EReadError(line, p.name + " takes a name of " + p.typeName);
      v = tok_.number;
      if (p.kind == TPropKind::Color) v = static_cast<TColor>(static_cast<std::uint32_t>(v));
      Advance();
    } else {
      throw EReadError(line, "value of " + p.name + " expected");
    }
    Set(target, p, v, line);
  }

  void Fixups() {
    for (const auto& f : fixups_) {
      TComponent* c = SameText(f.name, root_.Name()) ? &root_ : root_.FindComponent(f.name);
      if (!c) throw EReadError(f.line, "component " + f.name + " not found");
      if (f.prop->objectClass && !c->ClassInfo().InheritsFrom(*f.prop->objectClass))
        throw EReadError(f.line, f.name + " is no " + f.prop->objectClass->Name());
      Set(*f.target, *f.prop, TValue(static_cast<TObject*>(c)), f.line);
    }
  }

  struct TFixup {
    TObject* target;
    const TPropInfo* prop;
    std::string name;
    int line;
  };

  TLexer lex_;
  TToken tok_;
  TComponent& root_;
  std::vector<TComponent*> created_;
  std::vector<TComponent*> loaded_;
  std::vector<TFixup> fixups_;
};

}  // namespace

std::string WriteComponentText(const TComponent& root) {
  TTextWriter w(root);
  w.WriteComponent(root, 0);
  return w.Take();
}

void ReadComponentText(std::string_view text, TComponent& root) {
  TTextReader reader(text, root);
  try {
    reader.ReadRoot(false);
  } catch (...) {
    reader.Abandon();
    throw;
  }
  reader.CallLoaded();
}

TComponent* ReadComponentText(std::string_view text, TComponent* owner) {
  const std::string clsName = TTextReader::PeekRootClass(text);
  const TClassInfo* cls = FindClass(clsName);
  if (!cls || !cls->CanCreate()) throw EReadError(1, "class " + clsName + " not found");
  TComponentPtr<TComponent> root(cls->Create(owner));
  ReadComponentText(text, *root);
  return root.release();
}

}  // namespace vex::host

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vex::host {

void ReadComponentFile(const std::string& utf8Path, TComponent& root) {
  std::ifstream in(std::filesystem::u8path(utf8Path), std::ios::binary);
  if (!in) throw EReadError(0, "cannot read " + utf8Path);
  std::ostringstream text;
  text << in.rdbuf();
  ReadComponentText(text.str(), root);
}

void WriteComponentFile(const std::string& utf8Path, const TComponent& root) {
  const std::string text = WriteComponentText(root);
  const auto path = std::filesystem::u8path(utf8Path);
  auto part = path;
  part += ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(part, ec);
      throw std::runtime_error("cannot write " + utf8Path);
    }
  }
  std::error_code ec;
  std::filesystem::rename(part, path, ec);
  if (ec) {
    std::filesystem::remove(part, ec);
    throw std::runtime_error("cannot write " + utf8Path);
  }
}

}  // namespace vex::host
