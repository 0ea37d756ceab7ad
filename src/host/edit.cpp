#include "host/edit.h"

#include <algorithm>
#include <cwctype>

#include "host/prop_builder.h"
#include "host/text_encoding.h"

namespace vex::host {

namespace {

const std::vector<std::string> kImeModeNames{"imDisable", "imClose",  "imOpen",  "imDontCare", "imSAlpha",    "imAlpha",
                                             "imHira",    "imSKata",  "imKata",  "imChinese",  "imSHanguel", "imHanguel"};

template <class C>
void PublishEditProperties(TPropBuilder<C>& b) {
  b.Enum("BorderStyle", "TBorderStyle", {"bsNone", "bsSingle"}, [](const C& x) { return x.BorderStyle(); },
         [](C& x, std::int64_t v) { x.SetBorderStyle(v ? bsSingle : bsNone); })
      .defaultValue = std::int64_t{bsSingle};
  b.Enum("ImeMode", "TImeMode", kImeModeNames, [](const C& x) { return x.ImeMode(); },
         [](C& x, std::int64_t v) { x.SetImeMode(static_cast<TImeMode>(v)); })
      .defaultValue = std::int64_t{imDontCare};
}

}  // namespace

const TClassInfo& TCustomEdit::StaticClass() {
  static TClassInfo info("TCustomEdit", &TWinControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomEdit> b(info);
    b.Boolean("ReadOnly", [](const TCustomEdit& x) { return x.ReadOnly(); }, [](TCustomEdit& x, std::int64_t v) { x.SetReadOnly(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Integer("MaxLength", [](const TCustomEdit& x) { return x.MaxLength(); },
              [](TCustomEdit& x, std::int64_t v) { x.SetMaxLength(static_cast<int>(v)); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TEdit::StaticClass() {
  static TClassInfo info("TEdit", &TCustomEdit::StaticClass(), ComponentFactory<TEdit>);
  static const bool once = [] {
    TPropBuilder<TEdit> b(info);
    PublishEditProperties(b);
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

// ----- TCustomEdit -----

TCustomEdit::TCustomEdit(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 121;
  height_ = 21;
  tabStop_ = true;
  color_ = clWindow;
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.baseClass = L"EDIT";
  p.style |= ES_AUTOHSCROLL | ES_LEFT;
  if (readOnly_) p.style |= ES_READONLY;
  if (passwordChar_) p.style |= ES_PASSWORD;
  if (borderStyle_ == bsSingle) p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) SendMessageW(handle_, EM_SETPASSWORDCHAR, passwordChar_, 0);
  SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_ + selLength_);
  SendMessageW(handle_, EM_SETMODIFY, modified_, 0);
}

void TCustomEdit::DestroyWnd() {
  // The text, selection and modified flag live in the window: kept for the next one.
  if (handle_ && !HasState(csDestroying)) {
    text_ = GetText();
    selStart_ = SelStart();
    selLength_ = SelLength();
    modified_ = Modified();
  }
  TWinControl::DestroyWnd();
}

void TCustomEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  if (handle_) SendMessageW(handle_, EM_SETREADONLY, v, 0);
}

void TCustomEdit::SetMaxLength(int v) {
  maxLength_ = v < 0 ? 0 : v;
  if (handle_) SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetPasswordChar(wchar_t c) {
  passwordChar_ = c;
  if (handle_) {
    SendMessageW(handle_, EM_SETPASSWORDCHAR, c, 0);
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

void TCustomEdit::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

int TCustomEdit::SelStart() const {
  if (!handle_) return selStart_;
  DWORD from = 0, to = 0;
  SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return static_cast<int>(from);
}

void TCustomEdit::SetSelStart(int v) {
  selStart_ = std::max(v, 0);
  selLength_ = 0;
  if (handle_) SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_);
}

int TCustomEdit::SelLength() const {
  if (!handle_) return selLength_;
  DWORD from = 0, to = 0;
  SendMessageW(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return static_cast<int>(to - from);
}

void TCustomEdit::SetSelLength(int v) {
  const int start = SelStart();
  selStart_ = start;
  selLength_ = std::max(v, 0);
  if (handle_) SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(start), start + selLength_);
}

std::wstring TCustomEdit::SelText() const {
  const std::wstring text = GetText();
  const auto start = std::min<std::size_t>(static_cast<std::size_t>(SelStart()), text.size());
  return text.substr(start, static_cast<std::size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const std::wstring& s) {
  if (handle_) {
    SendMessageW(handle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(s.c_str()));
    return;
  }
  std::wstring text = text_;
  const auto start = std::min<std::size_t>(static_cast<std::size_t>(selStart_), text.size());
  text.replace(start, static_cast<std::size_t>(selLength_), s);
  selStart_ = static_cast<int>(start + s.size());
  selLength_ = 0;
  SetText(text);
}

void TCustomEdit::SelectAll() {
  if (handle_) {
    SendMessageW(handle_, EM_SETSEL, 0, -1);
  } else {
    selStart_ = 0;
    selLength_ = static_cast<int>(text_.size());
  }
}

bool TCustomEdit::Modified() const { return handle_ ? SendMessageW(handle_, EM_GETMODIFY, 0, 0) != 0 : modified_; }

void TCustomEdit::SetModified(bool v) {
  modified_ = v;
  if (handle_) SendMessageW(handle_, EM_SETMODIFY, v, 0);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
    Change();
    m.Result = 0;
    return;
  }
  if (m.Msg == WM_GETDLGCODE) {
    // Asked without the message: told about a key message, the control takes itself for part of
    // a dialog box and acts as one (Escape posts WM_CLOSE to its parent, Tab sends it
    // WM_NEXTDLGCTL, Enter looks for a default button there); a form does those keys itself.
    TMessage plain{m.Msg, m.WParam, 0, 0};
    TWinControl::WndProc(plain);
    m.Result = plain.Result;
    return;
  }
  if (m.Msg == WM_DESTROY && !HasState(csDestroying)) {
    // Destroyed with its parent's window: the next window shows the same text.
    text_ = GetText();
    modified_ = Modified();
  }
  TWinControl::WndProc(m);
}

// ----- TCustomMemo -----

// The memo's lines, read from and written to its text. The text is parsed into lines once and
// parsed again only after it changed (every message that can change it forgets the parse).
class TCustomMemo::TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo& memo) : memo_(memo) {}

  int Count() const override { return static_cast<int>(Parsed().lines.size()); }
  std::string Get(int index) const override {
    const TParsed& p = Parsed();
    CheckIndex(index, static_cast<int>(p.lines.size()));
    const TLine& l = p.lines[static_cast<std::size_t>(index)];
    return WideToUtf8(std::wstring_view(p.text).substr(l.start, l.length));
  }
  void Insert(int index, const std::string& s) override {
    const TParsed& p = Parsed();
    const int n = static_cast<int>(p.lines.size());
    if (index < 0 || index > n) throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
    const std::wstring line = Utf8ToWide(s);
    if (index < n) {
      Replace(p.lines[static_cast<std::size_t>(index)].start, p.lines[static_cast<std::size_t>(index)].start, line + L"\r\n");
    } else if (p.text.empty()) {
      Replace(0, 0, line);
    } else if (p.lines.back().start + p.lines.back().length < p.text.size()) {
      // The text ends with a line break: the new line goes after it.
      Replace(p.text.size(), p.text.size(), line);
    } else {
      Replace(p.text.size(), p.text.size(), L"\r\n" + line);
    }
  }
  void Delete(int index) override {
    const TParsed& p = Parsed();
    const int n = static_cast<int>(p.lines.size());
    CheckIndex(index, n);
    const TLine& l = p.lines[static_cast<std::size_t>(index)];
    const std::size_t end = l.start + l.length;
    if (index + 1 < n || end < p.text.size())
      Replace(l.start, index + 1 < n ? p.lines[static_cast<std::size_t>(index) + 1].start : p.text.size(), L"");
    else if (index > 0)  // the last line, without a break after it: the break before it goes
      Replace(p.lines[static_cast<std::size_t>(index) - 1].start + p.lines[static_cast<std::size_t>(index) - 1].length, end, L"");
    else
      Replace(0, end, L"");
  }
  void Put(int index, const std::string& s) override {
    const TParsed& p = Parsed();
    CheckIndex(index, static_cast<int>(p.lines.size()));
    const TLine& l = p.lines[static_cast<std::size_t>(index)];
    Replace(l.start, l.start + l.length, Utf8ToWide(s));
  }
  void Clear() override { SetWhole(L""); }
  void SetItems(std::vector<std::string> items) override {
    std::wstring text;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i) text += L"\r\n";
      text += Utf8ToWide(items[i]);
    }
    SetWhole(text);
  }
  void Forget() { valid_ = false; }

 private:
  struct TLine {
    std::size_t start, length;
  };
  struct TParsed {
    std::wstring text;
    std::vector<TLine> lines;
  };

  const TParsed& Parsed() const {
    // A parse is trusted while nothing said the text changed and its length is the same.
    if (valid_) {
      if (memo_.handle_ ? static_cast<std::size_t>(GetWindowTextLengthW(memo_.handle_)) == parsed_.text.size()
                        : memo_.text_ == parsed_.text)
        return parsed_;
    }
    parsed_.text = memo_.GetText();
    parsed_.lines.clear();
    const std::wstring& t = parsed_.text;
    std::size_t i = 0;
    while (i < t.size()) {
      std::size_t j = i;
      while (j < t.size() && t[j] != L'\r' && t[j] != L'\n') ++j;
      parsed_.lines.push_back({i, j - i});
      if (j < t.size() && t[j] == L'\r') {
        ++j;
        if (j < t.size() && t[j] == L'\n') ++j;
      } else if (j < t.size()) {
        ++j;
      }
      i = j;
    }
    valid_ = true;
    return parsed_;
  }

  // Replaces characters [from, to) of the text; on a window through its selection, so the
  // control keeps its scroll position and undo.
  void Replace(std::size_t from, std::size_t to, const std::wstring& with) {
    if (memo_.handle_) {
      SendMessageW(memo_.handle_, EM_SETSEL, from, static_cast<LPARAM>(to));
      SendMessageW(memo_.handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(with.c_str()));
      valid_ = false;
      return;
    }
    std::wstring text = Parsed().text;
    text.replace(from, to - from, with);
    SetWhole(text);
  }
  void SetWhole(const std::wstring& text) {
    valid_ = false;
    memo_.SetText(text);
    valid_ = false;
  }

  TCustomMemo& memo_;
  mutable TParsed parsed_;
  mutable bool valid_ = false;
};

const TClassInfo& TCustomMemo::StaticClass() {
  static TClassInfo info("TCustomMemo", &TCustomEdit::StaticClass());
  return info;
}

const TClassInfo& TMemo::StaticClass() {
  static TClassInfo info("TMemo", &TCustomMemo::StaticClass(), ComponentFactory<TMemo>);
  static const bool once = [] {
    TPropBuilder<TMemo> b(info);
    // The text is stored as Lines.
    b.WideString("Caption", [](const TMemo& x) { return x.Caption(); }, [](TMemo& x, const std::wstring& v) { x.SetCaption(v); })
        .stored = [](const TObject&) { return false; };
    PublishEditProperties(b);
    b.Enum("Alignment", "TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [](const TMemo& x) { return x.Alignment(); },
           [](TMemo& x, std::int64_t v) { x.SetAlignment(static_cast<TAlignment>(v)); })
        .defaultValue = std::int64_t{taLeftJustify};
    b.Object("Lines", TPropKind::StringList, TStrings::StaticClass(), [](const TMemo& x) { return const_cast<TStrings*>(&x.Lines()); },
             [](TMemo& x, TObject* o) {
               if (o && o->Is<TStrings>()) x.SetLines(*static_cast<TStrings*>(o));
             });
    b.Enum("ScrollBars", "TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, [](const TMemo& x) { return x.ScrollBars(); },
           [](TMemo& x, std::int64_t v) { x.SetScrollBars(static_cast<TScrollStyle>(v)); })
        .defaultValue = std::int64_t{ssNone};
    b.Boolean("WantReturns", [](const TMemo& x) { return x.WantReturns(); }, [](TMemo& x, std::int64_t v) { x.SetWantReturns(v != 0); })
        .defaultValue = std::int64_t{1};
    b.Boolean("WantTabs", [](const TMemo& x) { return x.WantTabs(); }, [](TMemo& x, std::int64_t v) { x.SetWantTabs(v != 0); })
        .defaultValue = std::int64_t{0};
    b.Boolean("WordWrap", [](const TMemo& x) { return x.WordWrap(); }, [](TMemo& x, std::int64_t v) { x.SetWordWrap(v != 0); })
        .defaultValue = std::int64_t{1};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomMemo::TCustomMemo(TComponent* owner, const TClassInfo& cls)
    : TCustomEdit(owner, cls), lines_(std::make_unique<TMemoStrings>(*this)) {
  width_ = 185;
  height_ = 89;
}

TCustomMemo::~TCustomMemo() = default;

TStrings& TCustomMemo::Lines() { return *lines_; }
const TStrings& TCustomMemo::Lines() const { return *lines_; }

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.style |= ES_MULTILINE | ES_AUTOVSCROLL;
  // A wrapping memo neither scrolls sideways as the user types nor shows a horizontal bar (the
  // control stops wrapping when it has one).
  if (wordWrap_) p.style &= ~ES_AUTOHSCROLL;
  if (wantReturns_) p.style |= ES_WANTRETURN;
  if (alignment_ == taRightJustify) p.style |= ES_RIGHT;
  if (alignment_ == taCenter) p.style |= ES_CENTER;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.style |= WS_VSCROLL;
  if ((scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !wordWrap_) p.style |= WS_HSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle s) {
  if (s == scrollBars_) return;
  scrollBars_ = s;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  RecreateWnd();
}

void TCustomMemo::SetWantReturns(bool v) {
  if (v == wantReturns_) return;
  wantReturns_ = v;
  RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  RecreateWnd();
}

POINT TCustomMemo::CaretPos() const {
  if (!handle_) return POINT{0, 0};
  const int start = SelStart();
  const LRESULT line = SendMessageW(handle_, EM_LINEFROMCHAR, static_cast<WPARAM>(start), 0);
  const LRESULT first = SendMessageW(handle_, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  return POINT{static_cast<LONG>(start - first), static_cast<LONG>(line)};
}

void TCustomMemo::WndProc(TMessage& m) {
  switch (m.Msg) {
    // Everything that can change the text makes the lines read it again.
    case WM_SETTEXT:
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case EM_SETHANDLE:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_CREATE:
    case WM_DESTROY:
    case CN_COMMAND:
      lines_->Forget();
      break;
    default:
      break;
  }
  if (m.Msg == WM_GETDLGCODE) {
    TCustomEdit::WndProc(m);
    if (wantTabs_)
      m.Result |= DLGC_WANTTAB;
    else
      m.Result &= ~DLGC_WANTTAB;
    if (!wantReturns_) m.Result &= ~DLGC_WANTALLKEYS;
    return;
  }
  if (m.Msg == WM_CHAR) {
    // Without WantReturns, Enter types nothing (Ctrl+Enter, a line feed, still breaks the line);
    // without WantTabs a tab is never typed.
    if ((m.WParam == L'\r' && !wantReturns_) || (m.WParam == L'\t' && !wantTabs_)) return;
  }
  TCustomEdit::WndProc(m);
  if (m.Msg == EM_REPLACESEL || m.Msg == WM_SETTEXT) lines_->Forget();
}

// ----- TCustomMaskEdit -----

const TClassInfo& TCustomMaskEdit::StaticClass() {
  static TClassInfo info("TCustomMaskEdit", &TCustomEdit::StaticClass());
  return info;
}

const TClassInfo& TMaskEdit::StaticClass() {
  static TClassInfo info("TMaskEdit", &TCustomMaskEdit::StaticClass(), ComponentFactory<TMaskEdit>);
  static const bool once = [] {
    TPropBuilder<TMaskEdit> b(info);
    PublishEditProperties(b);
    b.WideString("EditMask", [](const TMaskEdit& x) { return x.EditMask(); }, [](TMaskEdit& x, const std::wstring& v) { x.SetEditMask(v); });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner, const TClassInfo& cls) : TCustomEdit(owner, cls) {}

void TCustomMaskEdit::SetEditMask(const std::wstring& mask) {
  editMask_ = mask;
  ParseMask();
  if (!slots_.empty()) SetText(BlankText());
}

void TCustomMaskEdit::ParseMask() {
  slots_.clear();
  keepLiterals_ = true;
  blank_ = L'_';
  // The pattern ends at the first ';' that is not escaped; the fields after it say whether
  // literals are kept in the value and which character stands for a blank.
  std::size_t end = 0;
  for (; end < editMask_.size(); ++end) {
    if (editMask_[end] == L'\\') {
      ++end;
      continue;
    }
    if (editMask_[end] == L';') break;
  }
  if (end < editMask_.size()) {
    const std::wstring rest = editMask_.substr(end + 1);
    if (!rest.empty()) keepLiterals_ = rest[0] != L'0';
    const std::size_t semi = rest.find(L';');
    if (semi != std::wstring::npos && semi + 1 < rest.size()) blank_ = rest[semi + 1];
  }
  int letterCase = 0;
  for (std::size_t i = 0; i < end; ++i) {
    const wchar_t c = editMask_[i];
    TSlot slot;
    switch (c) {
      case L'\\':
        if (++i >= end) return;
        slot.literal = editMask_[i];
        break;
      case L'>':
        if (i + 1 < end && editMask_[i + 1] == L'<') {
          letterCase = 0;
          ++i;
        } else {
          letterCase = 1;
        }
        continue;
      case L'<':
        letterCase = -1;
        continue;
      case L'!':
        continue;
      case L'0': case L'9': case L'#': case L'L': case L'l': case L'A': case L'a': case L'C': case L'c':
        slot.code = c;
        slot.letterCase = letterCase;
        break;
      default:
        slot.literal = c;
        break;
    }
    slots_.push_back(slot);
  }
}

std::wstring TCustomMaskEdit::BlankText() const {
  std::wstring text;
  for (const TSlot& s : slots_) text += s.code ? blank_ : s.literal;
  return text;
}

bool TCustomMaskEdit::Accepts(const TSlot& slot, wchar_t ch) const {
  const bool digit = ch >= L'0' && ch <= L'9';
  const bool letter = IsCharAlphaW(ch) != FALSE;
  switch (slot.code) {
    case L'0': return digit;
    case L'9': return digit || ch == L' ';
    case L'#': return digit || ch == L'+' || ch == L'-' || ch == L' ';
    case L'L': return letter;
    case L'l': return letter || ch == L' ';
    case L'A': return letter || digit;
    case L'a': return letter || digit || ch == L' ';
    case L'C': case L'c': return ch >= L' ';
    default: return false;
  }
}

int TCustomMaskEdit::NextInputSlot(int pos, int step) const {
  for (int i = pos; i >= 0 && i < static_cast<int>(slots_.size()); i += step)
    if (slots_[static_cast<std::size_t>(i)].code) return i;
  return -1;
}

int TCustomMaskEdit::TypeChar(std::wstring& text, int pos, wchar_t ch) const {
  const int at = NextInputSlot(pos, 1);
  if (at < 0 || static_cast<std::size_t>(at) >= text.size()) return -1;
  const TSlot& slot = slots_[static_cast<std::size_t>(at)];
  if (!Accepts(slot, ch)) return -1;
  if (slot.letterCase > 0) ch = static_cast<wchar_t>(std::towupper(ch));
  if (slot.letterCase < 0) ch = static_cast<wchar_t>(std::towlower(ch));
  text[static_cast<std::size_t>(at)] = ch;
  const int next = NextInputSlot(at + 1, 1);
  return next < 0 ? at + 1 : next;
}

void TCustomMaskEdit::KeyChar(wchar_t ch) {
  std::wstring text = GetText();
  if (text.size() != slots_.size()) text = BlankText();
  const int start = SelStart(), length = SelLength();
  for (int i = start; i < start + length && i < static_cast<int>(slots_.size()); ++i)
    if (slots_[static_cast<std::size_t>(i)].code) text[static_cast<std::size_t>(i)] = blank_;
  const int caret = TypeChar(text, start, ch);
  if (caret < 0) {
    MessageBeep(MB_OK);
    return;
  }
  SetText(text);
  SetSelStart(caret);
}

void TCustomMaskEdit::EraseSelection(bool backwards) {
  std::wstring text = GetText();
  if (text.size() != slots_.size()) text = BlankText();
  int start = SelStart();
  const int length = SelLength();
  if (length > 0) {
    for (int i = start; i < start + length && i < static_cast<int>(slots_.size()); ++i)
      if (slots_[static_cast<std::size_t>(i)].code) text[static_cast<std::size_t>(i)] = blank_;
  } else {
    const int at = backwards ? NextInputSlot(start - 1, -1) : NextInputSlot(start, 1);
    if (at < 0) return;
    text[static_cast<std::size_t>(at)] = blank_;
    if (backwards) start = at;
  }
  SetText(text);
  SetSelStart(start);
}

std::wstring TCustomMaskEdit::Value() const {
  const std::wstring text = GetText();
  if (slots_.empty()) return text;
  std::wstring out;
  for (std::size_t i = 0; i < slots_.size() && i < text.size(); ++i) {
    if (!slots_[i].code) {
      if (keepLiterals_) out += text[i];
    } else if (text[i] != blank_) {
      out += text[i];
    }
  }
  return out;
}

bool TCustomMaskEdit::IsMaskComplete() const {
  const std::wstring text = GetText();
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const wchar_t code = slots_[i].code;
    if ((code == L'0' || code == L'L' || code == L'A' || code == L'C') && (i >= text.size() || text[i] == blank_)) return false;
  }
  return true;
}

void TCustomMaskEdit::WndProc(TMessage& m) {
  if (!slots_.empty() && !ReadOnly()) {
    switch (m.Msg) {
      case WM_CHAR:
        if (m.WParam == L'\b') {
          EraseSelection(true);
          return;
        }
        if (m.WParam >= L' ') {
          KeyChar(static_cast<wchar_t>(m.WParam));
          return;
        }
        break;  // copy, paste and cut arrive as their own messages
      case WM_KEYDOWN:
        if (m.WParam == VK_DELETE) {
          EraseSelection(false);
          return;
        }
        break;
      case WM_CLEAR:
        EraseSelection(false);
        return;
      case WM_CUT:
        Perform(WM_COPY);
        EraseSelection(false);
        return;
      case WM_PASTE: {
        // Pasted text is typed character by character; what the mask refuses is left out.
        if (!OpenClipboard(handle_)) return;
        std::wstring pasted;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
          if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            pasted = chars;
            GlobalUnlock(data);
          }
        CloseClipboard();
        std::wstring text = GetText();
        if (text.size() != slots_.size()) text = BlankText();
        int caret = SelStart();
        for (wchar_t ch : pasted) {
          const int next = TypeChar(text, caret, ch);
          if (next >= 0) caret = next;
        }
        SetText(text);
        SetSelStart(caret);
        return;
      }
      case WM_UNDO:
      case EM_UNDO:
        return;  // the control's undo knows nothing of the mask
      default:
        break;
    }
  }
  TCustomEdit::WndProc(m);
}

}  // namespace vex::host
