#include "host/hot_key.h"

#include <commctrl.h>

#include "host/prop_builder.h"

namespace vex::host {

const TClassInfo& TCustomHotKey::StaticClass() {
  static const TClassInfo info("TCustomHotKey", &TWinControl::StaticClass());
  return info;
}

const TClassInfo& THotKey::StaticClass() {
  static TClassInfo info("THotKey", &TCustomHotKey::StaticClass(), ComponentFactory<THotKey>);
  static const bool once = [] {
    TPropBuilder<THotKey> b(info);
    b.Integer("HotKey", [](const THotKey& x) { return x.HotKey(); }, [](THotKey& x, std::int64_t v) { x.SetHotKey(static_cast<TShortCut>(v)); },
              "TShortCut")
        .defaultValue = std::int64_t{0};
    b.Set("InvalidKeys", "THKInvalidKeys", {"hcNone", "hcShift", "hcCtrl", "hcAlt", "hcShiftCtrl", "hcShiftAlt", "hcCtrlAlt", "hcShiftCtrlAlt"},
          [](const THotKey& x) { return x.InvalidKeys(); }, [](THotKey& x, std::int64_t v) { x.SetInvalidKeys(static_cast<int>(v)); })
        .defaultValue = std::int64_t{hcNone | hcShift};
    b.Set("Modifiers", "THKModifiers", {"hkShift", "hkCtrl", "hkAlt", "hkExt"}, [](const THotKey& x) { return x.Modifiers(); },
          [](THotKey& x, std::int64_t v) { x.SetModifiers(static_cast<int>(v)); })
        .defaultValue = std::int64_t{hkAlt};
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TCustomHotKey::TCustomHotKey(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  width_ = 121;
  height_ = 19;
  tabStop_ = true;
  controlStyle_ &= ~csSetCaption;
}

WORD TCustomHotKey::ShortCutToHotKeyValue(TShortCut sc) {
  BYTE flags = 0;
  if (sc & scShift) flags |= HOTKEYF_SHIFT;
  if (sc & scCtrl) flags |= HOTKEYF_CONTROL;
  if (sc & scAlt) flags |= HOTKEYF_ALT;
  return MAKEWORD(static_cast<BYTE>(sc & 0xFF), flags);
}

TShortCut TCustomHotKey::HotKeyValueToShortCut(WORD value) {
  const BYTE key = LOBYTE(value), flags = HIBYTE(value);
  if (!key) return 0;
  TShortCut sc = key;
  if (flags & HOTKEYF_SHIFT) sc |= scShift;
  if (flags & HOTKEYF_CONTROL) sc |= scCtrl;
  if (flags & HOTKEYF_ALT) sc |= scAlt;
  return sc;
}

void TCustomHotKey::CreateParams(TCreateParams& p) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_HOTKEY_CLASS};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(p);
  p.baseClass = HOTKEY_CLASSW;
  p.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomHotKey::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyRules();
  SendMessageW(handle_, HKM_SETHOTKEY, ShortCutToHotKeyValue(hotKey_), 0);
}

void TCustomHotKey::ApplyRules() {
  if (handle_) SendMessageW(handle_, HKM_SETRULES, static_cast<WPARAM>(invalidKeys_), MAKELPARAM(modifiers_, 0));
}

void TCustomHotKey::SetHotKey(TShortCut sc) {
  hotKey_ = sc;
  if (handle_) SendMessageW(handle_, HKM_SETHOTKEY, ShortCutToHotKeyValue(sc), 0);
}

void TCustomHotKey::SetInvalidKeys(int keys) {
  invalidKeys_ = keys & 0xFF;
  ApplyRules();
}

void TCustomHotKey::SetModifiers(int modifiers) {
  modifiers_ = modifiers & 0x0F;
  ApplyRules();
}

void TCustomHotKey::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
    hotKey_ = HotKeyValueToShortCut(LOWORD(SendMessageW(handle_, HKM_GETHOTKEY, 0, 0)));
    if (OnChange) OnChange(this);
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vex::host
