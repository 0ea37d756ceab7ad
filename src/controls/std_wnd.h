// Wrappers of the native push buttons, check boxes and radio buttons of dialogs and message boxes.
#pragma once

#include <string>

#include "engine/skin_control.h"

namespace vex::engine {

class TvexSkinWndButton : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndButton)
 public:
  TvexSkinWndButton(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  ~TvexSkinWndButton() override;
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void MouseDown() override;
  void MouseUp() override;
  void Attached() override;
  void Detach() override;
  void UpdateSkinState() override;
  // A press of the wrapper's own ends without a click, and the mouse is let go.
  void EndPress();
  // Paints the whole button into a device context (the paint DC of its WM_PAINT).
  void PaintTo(HDC dc);
  // One tick of the hover timer.
  void Poll();
  bool HasHoverTimer() const { return HoverTimer != 0; }
  // BS_NOTIFY: the second press of a double click notifies BN_DOUBLECLICKED instead of clicking.
  bool NotifiesDoubleClicks() const;

  static constexpr UINT_PTR kHoverTimerId = 0x56455853;
  static constexpr UINT kHoverInterval = 138;
  bool ClickArmed = false;
  // The system reports the mouse leaving (windows where the hover timer is not allowed).
  bool TrackingLeave = false;
  UINT_PTR HoverTimer = 0;
  bool FirstPaintDone = false;
  // The window's text as last read (read again after WM_SETTEXT).
  std::wstring Caption;
  bool CaptionKnown = false;
};

class TvexSkinWndCheckBox : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndCheckBox)
 public:
  TvexSkinWndCheckBox(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  // The slice of the six-image check box strip for a BM_GETCHECK answer and an enabled state.
  static int Slice(LRESULT check, bool enabled);
};

class TvexSkinWndRadioButton : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndRadioButton)
 public:
  TvexSkinWndRadioButton(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  static int Slice(LRESULT check, bool enabled);
};

// Registers the native-window rows of the class table (once).
void RegisterStandardWindowClasses();

}  // namespace vex::engine
