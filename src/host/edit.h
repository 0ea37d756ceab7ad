// Edit fields on the platform's "EDIT" control: single-line fields (TEdit), multi-line memos
// whose lines are a string list (TMemo), and fields whose input follows a mask (TMaskEdit).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/control_types.h"
#include "host/std_controls.h"
#include "host/string_list.h"
#include "host/win_control.h"

namespace vex::host {

class TCustomEdit : public TWinControl {
  VEX_CLASS(TCustomEdit)
 public:
  explicit TCustomEdit(TComponent* owner, const TClassInfo& cls = StaticClass());

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t c);
  // bsSingle: a sunken edge; bsNone: none.
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);

  // The selection, in UTF-16 code units of the text.
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  std::wstring SelText() const;
  // Replaces the selection (or inserts at the caret).
  void SetSelText(const std::wstring& s);
  void SelectAll();
  void Clear() { SetText(L""); }
  // Whether the user changed the text since it was last set or Modified was cleared.
  bool Modified() const;
  void SetModified(bool v);

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& m) override;
  // The text changed (the control said so); runs OnChange.
  virtual void Change();

 private:
  bool readOnly_ = false;
  int maxLength_ = 0;
  wchar_t passwordChar_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  // Kept while there is no window.
  int selStart_ = 0, selLength_ = 0;
  bool modified_ = false;
};

class TEdit : public TCustomEdit {
  VEX_CLASS(TEdit)
 public:
  explicit TEdit(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomEdit(owner, cls) {}
};

// A multi-line edit field. Its Lines are the control's text cut at its line breaks (not at the
// places where word wrapping breaks them on screen): reading them reads the control, changing
// them changes its text, before the window exists and after.
class TCustomMemo : public TCustomEdit {
  VEX_CLASS(TCustomMemo)
 public:
  explicit TCustomMemo(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomMemo() override;

  TStrings& Lines();
  const TStrings& Lines() const;
  void SetLines(const TStrings& lines) { Lines().Assign(lines); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle s);
  // Lines longer than the control wrap onto the next row; the text then never scrolls sideways.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  // Enter types a line break; without it Enter goes to the form (its default button) and
  // Ctrl+Enter types the line break.
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v);
  // Tab types a tab instead of moving to the next control.
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

  // The line and column of the caret, from zero (lines as the control shows them).
  POINT CaretPos() const;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;

 private:
  class TMemoStrings;
  std::unique_ptr<TMemoStrings> lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true, wantReturns_ = true, wantTabs_ = false;
  TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
  VEX_CLASS(TMemo)
 public:
  explicit TMemo(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomMemo(owner, cls) {}
};

// An edit field whose input follows a mask. The mask is "<pattern>[;<keep literals>[;<blank>]]":
// in the pattern 0 is a required digit, 9 an optional digit, # a digit or sign, L a required
// letter, l an optional letter, A a required letter or digit, a an optional one, C a required
// character, c an optional one, \ takes the next character literally, and every other
// character is a literal the user types over. The field always holds the whole pattern: typed
// characters overwrite the blank at the caret, literals are skipped, characters the mask refuses
// are refused with a beep. An empty mask leaves the field a plain edit.
class TCustomMaskEdit : public TCustomEdit {
  VEX_CLASS(TCustomMaskEdit)
 public:
  explicit TCustomMaskEdit(TComponent* owner, const TClassInfo& cls = StaticClass());

  const std::wstring& EditMask() const { return editMask_; }
  void SetEditMask(const std::wstring& mask);
  // What was typed: the characters at the input positions (blanks left out), with the literals
  // between them when the mask says to keep them.
  std::wstring Value() const;
  // Whether every required position holds a character.
  bool IsMaskComplete() const;

 protected:
  void WndProc(TMessage& m) override;

 private:
  struct TSlot {
    wchar_t code = 0;     // mask character, or 0 for a literal
    wchar_t literal = 0;  // the literal shown at a literal slot
    int letterCase = 0;   // > 0 upper case, < 0 lower case, 0 as typed
  };
  void ParseMask();
  bool Accepts(const TSlot& slot, wchar_t ch) const;
  // Types `ch` at position `pos`; answers the position after it, or -1 when refused.
  int TypeChar(std::wstring& text, int pos, wchar_t ch) const;
  int NextInputSlot(int pos, int step) const;
  std::wstring BlankText() const;
  void KeyChar(wchar_t ch);
  void EraseSelection(bool backwards);

  std::wstring editMask_;
  std::vector<TSlot> slots_;
  bool keepLiterals_ = true;
  wchar_t blank_ = L'_';
};

class TMaskEdit : public TCustomMaskEdit {
  VEX_CLASS(TMaskEdit)
 public:
  explicit TMaskEdit(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomMaskEdit(owner, cls) {}
};

}  // namespace vex::host
