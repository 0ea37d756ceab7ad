// Control wrappers: small objects that sit in one control's message path and paint it from the
// skin, while the control keeps its own behaviour. Two kinds: framework controls (the wrapper takes
// the control's WindowProc) and native child windows (the wrapper subclasses the window).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/control_view.h"
#include "host/bitmap.h"
#include "host/control.h"
#include "host/messages.h"
#include "host/span.h"
#include "host/object.h"
#include "host/string_list.h"

namespace vex::engine {

class TvexSkinEngine;
class TvexSkinWindow;

// State bits of a control wrapper.
inline constexpr std::uint8_t csHot = 1;
inline constexpr std::uint8_t csPressed = 2;

class TvexSkinControl : public host::TObject {
  VEX_CLASS(TvexSkinControl)
 public:
  TvexSkinControl(TvexSkinWindow* owner, const host::TClassInfo& cls);
  ~TvexSkinControl() override;

  // Slot order of the virtual operations is fixed; the control wrappers override by these.
  virtual bool BeforeMessage(host::TMessage& m) { return true; }
  virtual void AfterMessage(host::TMessage& m);
  virtual void Paint() {}
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void MouseDown() {}
  virtual void MouseUp() {}
  virtual void KeyDown(WPARAM key) {}
  virtual void KeyUp(WPARAM key) {}
  virtual void UpdateSkinState() {}
  virtual void Attached() {}
  virtual void Detach() { Detached = true; }
  virtual void GetClientBounds(RECT& r) const = 0;
  virtual HWND GetHandle() const = 0;
  virtual bool GetEnabled() const = 0;
  virtual bool WantsParentColor() const { return false; }
  // The control as its painter sees it now.
  virtual TControlView View() const;
  // Makes the control repaint after a skin or activation change.
  virtual void Refresh() = 0;
  // Takes the wrapper out of the control's message path (a native wrapper's destructor does it
  // by itself).
  virtual void Unhook() {}

  // The resolution the control shows at: its window's.
  int Dpi() const;
  bool Hot() const { return (State & csHot) != 0; }
  bool Pressed() const { return (State & csPressed) != 0; }
  // Whether `window` (the control's own) has the keyboard focus: followed from the focus messages
  // that pass the wrapper, the system asked only the first time (on some platforms that question
  // is a round trip to a server, and painters ask it on every paint).
  bool HasFocus(HWND window) const;
  // Every message of the control's window passes here first, whatever the wrapper does with it.
  void NoteMessage(UINT msg);

  TvexSkinWindow* Owner = nullptr;
  TvexSkinEngine* Engine = nullptr;
  std::uint8_t State = 0;
  bool Detached = false;
  // The focus as the focus messages told it: -1 not known yet.
  mutable int Focus = -1;
  // False once the wrapper is gone: a forwarded message may destroy the control, its form, the
  // frame or the engine, and the wrapper with them.
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);

 protected:
  // Paint only while the skin is active.
  void Repaint();
};

// Makes a wrapper of the most derived class and runs its per-class initialisation.
// A failing initialisation leaves the control as it was.
template <class T, class... A>
T* NewControlWrapper(A&&... args) {
  std::unique_ptr<T> w(new T(std::forward<A>(args)...));
  try {
    w->Attached();
  } catch (...) {
    w->Unhook();
    throw;
  }
  return w.release();
}

// The wrapper of a framework control: it replaces the control's WindowProc and calls the saved one.
class TvexSkinControlVCL : public TvexSkinControl {
  VEX_CLASS(TvexSkinControlVCL)
 public:
  TvexSkinControlVCL(host::TControl* control, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass());
  ~TvexSkinControlVCL() override;
  void GetClientBounds(RECT& r) const override;
  HWND GetHandle() const override;
  bool GetEnabled() const override;
  void Refresh() override;
  TControlView View() const override;
  // Takes the wrapper out of the control's WindowProc chain (the destructor does it too). Saved
  // procedures go back last in, first out: answers false when something hooked the control after
  // this wrapper and is still there; the wrapper's link then stays in the chain and passes every
  // message straight to the procedure it saved, so the chain keeps working.
  bool RestoreWindowProc();
  void Unhook() override { RestoreWindowProc(); }
  // Whether a wrapper sits in the control's WindowProc now.
  static bool IsWrapped(const host::TControl* control);
  void Route(host::TMessage& m);

  host::TWndMethod OldWindowProc;
  host::TControl* Control = nullptr;

  // What the wrapper puts into the control's WindowProc: it reaches the wrapper while the wrapper
  // is in the chain, and the saved procedure after.
  struct TRouteLink {
    TvexSkinControlVCL* wrapper;
    host::TWndMethod saved;
  };
  struct TRouteThunk {
    std::shared_ptr<TRouteLink> link;
    void operator()(host::TMessage& m) const;
  };

 private:
  // Hears when the control is freed before the wrapper.
  class TControlWatch : public host::TComponent {
   public:
    explicit TControlWatch(TvexSkinControlVCL* wrapper) : host::TComponent(nullptr), wrapper_(wrapper) {}
    void Notification(host::TComponent* c, host::TOperation op) override;

   private:
    TvexSkinControlVCL* wrapper_;
  };
  std::shared_ptr<TRouteLink> link_;
  std::unique_ptr<TControlWatch, host::TComponentDeleter> watch_;
};

// The wrapper of a native child window, subclassed for as long as the wrapper lives.
class TvexSkinControlWnd : public TvexSkinControl {
  VEX_CLASS(TvexSkinControlWnd)
 public:
  TvexSkinControlWnd(HWND handle, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass());
  ~TvexSkinControlWnd() override;
  void GetClientBounds(RECT& r) const override;
  HWND GetHandle() const override { return Handle; }
  bool GetEnabled() const override { return IsWindowEnabled(Handle) != FALSE; }
  void Refresh() override;
  TControlView View() const override;
  int WindowWidth() const;
  int WindowHeight() const;
  // Repaints the window now, through its WM_PAINT.
  void RedrawNow() const;
  std::string WindowText() const;
  void Route(host::TMessage& m);

  HWND Handle = nullptr;

 private:
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  bool subclassed_ = false;
};

// Flat one-pixel skin borders in place of the control's own.
class TvexSkinBorderWinControl : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinBorderWinControl)
 public:
  TvexSkinBorderWinControl(host::TControl* control, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass())
      : TvexSkinControlVCL(control, owner, cls) {}
  void Paint() override;
};

class TvexSkinBorderWndControl : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinBorderWndControl)
 public:
  TvexSkinBorderWndControl(HWND handle, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass())
      : TvexSkinControlWnd(handle, owner, cls) {}
  void Paint() override;
};

// Updates the engine's scroll-thumb records for a message of a tracked control (window `wnd`,
// parent `parent`).
void TrackScrollThumb(TvexSkinEngine& engine, HWND wnd, HWND parent, const host::TMessage& m);
// Whether a framework control's scroll thumb is tracked: by its class name.
bool IsScrollTrackedClass(const std::string& className);
// Whether a framework control's scroll thumb is tracked: grids, scroll boxes, and the classes
// named above.
bool TakesPartInThumbTracking(const host::TControl& control);

// The framework control class table: rows appended in registration order, looked up from the last
// row back, so a more specific class registered later wins over a general one registered earlier.
using TControlWrapperFactory = std::function<TvexSkinControlVCL*(host::TControl*, TvexSkinWindow*)>;
struct TControlClassRow {
  const host::TClassInfo* controlClass;
  TControlWrapperFactory create;
};
void RegisterControlClasses(host::TSpan<const TControlClassRow> rows);
const std::vector<TControlClassRow>& ControlClassTable();
void ClearControlClassTable();
// The wrapper for a framework control from the table, or none (no matching row, or the wrapper's
// construction failed: the control then stays as it is).
TvexSkinControlVCL* CreateControlWrapper(host::TControl* control, TvexSkinWindow* frame);

// The native-window class table: upper-case keys, looked up from the first row.
using TWindowWrapperFactory = std::function<TvexSkinControlWnd*(HWND, TvexSkinWindow*)>;
struct TWindowClassRow {
  std::string key;  // at most 67 characters
  TWindowWrapperFactory create;
};
void RegisterWindowClasses(host::TSpan<const TWindowClassRow> rows);
const std::vector<TWindowClassRow>& WindowClassTable();
void ClearWindowClassTable();

// An animation or progress control: its window gets no hover timers for its push buttons.
bool IsAnimationOrProgress(HWND window);

// The wrapper a native child window gets (none for simple combo boxes, animations, push-like,
// owner-drawn, split and command-link buttons, unknown classes); group boxes are looked up as
// "BUTTON_GROUPBOX". Sets the frame's animation flag for animation and progress controls.
TvexSkinControlWnd* CreateWindowWrapper(HWND window, TvexSkinWindow* frame);

// Process-wide names: classes whose borders are left alone.
host::TStringList& NoBorderClassNames();
void RegisterNoBorderClassName(const std::string& name);

}  // namespace vex::engine
