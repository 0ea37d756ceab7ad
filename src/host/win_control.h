// Windowed controls: a window whose every message passes through the control's WindowProc.
#pragma once

#include <windows.h>

#include <vector>

#include "host/control.h"
#include "host/control_types.h"

namespace vex::host {

struct TCreateParams {
  std::wstring caption;
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;
  HMENU menu = nullptr;
  // The window class: its name is the framework class's name; a control built on a native
  // control names that class here and the framework class superclasses it.
  std::wstring className;
  std::wstring baseClass;  // empty: an own window class
  UINT classStyle = CS_DBLCLKS;
  void* createParam = nullptr;  // lpParam of CreateWindowEx
};

class TWinControl : public TControl {
  VEX_CLASS(TWinControl)
 public:
  explicit TWinControl(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TWinControl() override;

  // The window, created on first use (with its parent's first).
  HWND Handle();
  // A window that is not a framework control to be the parent of this control's window (used
  // only while the control has no Parent); set with a window, an existing window moves there.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND parent);
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
  // The topmost visible child control (windowless or not) at a client point.
  TControl* ControlAtPos(POINT p, bool allowDisabled = false) const;
  // The framework control a window belongs to, if any.
  static TWinControl* FindControl(HWND wnd);

  void SetBounds(int left, int top, int width, int height) override;
  void ChangeScale(int m, int d) override;
  // The children scaled (ChangeScale without the control's own place, size and font).
  void ScaleChildren(int m, int d);
  RECT ClientRect() const override;
  void SetVisible(bool v) override;
  void SetEnabled(bool e) override;
  void SetText(const std::wstring& s) override;
  std::wstring GetText() const override;

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  int TabOrder() const;
  void SetTabOrder(int order);
  bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The next (or previous) tab stop after `current` among this control's descendants.
  TWinControl* FindNextControl(TWinControl* current, bool forward) const;

  void Invalidate() override;
  void Repaint() override;
  // Lays the children out by Align and Anchors.
  void Realign();
  // The part of the client area the aligned children left free at the last layout.
  RECT AlignedRest() const { return alignedRest_; }

  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;

  // The input method state asked for when the control gets the focus (imDontCare: left alone).
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode mode);

  // Destroys the window and makes a new one from CreateParams (style changes that the native
  // control only takes at creation); the control keeps its state across.
  void RecreateWnd();

  // A new identifier for a child window (CreateParams' menu field), unique in the process.
  static UINT NewControlId();

 protected:
  friend class TControl;
  friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  // Paints the window's own face (custom windows); windowless children are painted after it.
  virtual void PaintWindow(HDC dc);
  void PaintControls(HDC dc);
  void BeforeDestruction() override;
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  // Whether the window is built on a native control that paints itself.
  bool IsNativeBased() const { return nativeBased_; }
  void UpdateAnchorDistances(TControl* c);
  // The free part of the client area changed (a multiple-document frame moves its client window).
  virtual void AlignedRestChanged() {}
  // A child control was moved, resized, shown or hidden.
  virtual void ControlBoundsChanged(TControl* child) {}
  void ApplyImeMode();
  // Moves a child's recorded place by (dx, dy) without repainting: for a windowless child whose
  // pixels were moved with the parent's (scrolling).
  static void OffsetControl(TControl* c, int dx, int dy) {
    c->left_ += dx;
    c->top_ += dy;
  }

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  WNDPROC defProc_ = nullptr;
  bool nativeBased_ = false;
  std::vector<TControl*> controls_;
  bool tabStop_ = false;
  TOwnedBrush colorBrush_;
  TColor colorBrushColor_ = clNone;
  TImeMode imeMode_ = imDontCare;

 private:
  void RouteMouse(TMessage& m);
  TControl* mouseControl_ = nullptr;    // windowless child under the mouse
  TControl* captureControl_ = nullptr;  // windowless child that took the left button
  bool tracking_ = false;
  RECT oldClient_{};
  RECT alignedRest_{};
  // While the children scale, each at its turn, the layout waits: laid out with some children at
  // the new scale and some at the old one, aligned controls would change their order.
  int alignHeld_ = 0;
  bool alignPending_ = false;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
  VEX_CLASS(TCustomControl)
 public:
  explicit TCustomControl(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomControl() override;
  TCanvas& Canvas() { return canvas_; }
  // The control paints its caption itself: a new caption paints it again (the system's own text
  // change repaints only controls of its own classes).
  void SetText(const std::wstring& s) override;

 protected:
  void PaintWindow(HDC dc) override;
  virtual void Paint();

 private:
  TCanvas canvas_;
};

LRESULT CALLBACK FrameworkWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Exceptions that reach a window procedure stop there: they are handed to this handler (the
// application's), never unwound into the system.
void HandleWindowProcException(const std::exception* e);
// Who HandleWindowProcException hands exceptions to (the application sets it); unset, a message box.
extern std::function<void(const std::exception*)> gExceptionHandler;

// Draws a common control with the system's visual styles (the default) or without them (the
// classic drawing, which honours the colours the control is given). Nothing where the visual
// styles library is absent.
void UseVisualStyles(HWND wnd, bool on);

}  // namespace vex::host
