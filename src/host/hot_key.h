// Hot key editors: the common control "msctls_hotkey32", where the user types a key combination.
#pragma once

#include "host/menus.h"
#include "host/win_control.h"

namespace vex::host {

// Combinations the control refuses (HKCOMB_*): it adds Modifiers to a key typed with one of them.
enum THKInvalidKey : int { hcNone = 1, hcShift = 2, hcCtrl = 4, hcAlt = 8, hcShiftCtrl = 16, hcShiftAlt = 32, hcCtrlAlt = 64,
                           hcShiftCtrlAlt = 128 };
// Modifier keys (HOTKEYF_*).
enum THKModifier : int { hkShift = 1, hkCtrl = 2, hkAlt = 4, hkExt = 8 };

// The key combination shown and typed, as a shortcut (virtual key | scShift | scCtrl | scAlt).
// What the user types is read back into HotKey when the control reports the change (EN_CHANGE),
// then OnChange runs.
class TCustomHotKey : public TWinControl {
  VEX_CLASS(TCustomHotKey)
 public:
  explicit TCustomHotKey(TComponent* owner, const TClassInfo& cls = StaticClass());

  TShortCut HotKey() const { return hotKey_; }
  void SetHotKey(TShortCut sc);
  // A set of THKInvalidKey bits; default hcNone | hcShift.
  int InvalidKeys() const { return invalidKeys_; }
  void SetInvalidKeys(int keys);
  // A set of THKModifier bits; default hkAlt.
  int Modifiers() const { return modifiers_; }
  void SetModifiers(int modifiers);
  TNotifyEvent OnChange;

  // The control's HKM_SETHOTKEY value of a shortcut, and back.
  static WORD ShortCutToHotKeyValue(TShortCut sc);
  static TShortCut HotKeyValueToShortCut(WORD value);

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  void ApplyRules();
  TShortCut hotKey_ = 0;
  int invalidKeys_ = hcNone | hcShift;
  int modifiers_ = hkAlt;
};

// The hot key editor of forms: TCustomHotKey with its properties published.
class THotKey : public TCustomHotKey {
  VEX_CLASS(THotKey)
 public:
  explicit THotKey(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomHotKey(owner, cls) {}
};

}  // namespace vex::host
