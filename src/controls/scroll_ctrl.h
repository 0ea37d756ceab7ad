// Skinned scroll bars: overlays drawn from the skin over native scroll bars (of scroll-bar
// controls and of the built-in bars of scrolling controls), the wrappers that place and paint
// them, the grid's fixed colour and the list view's column header.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/scroll_painters.h"
#include "engine/scroll_track.h"
#include "engine/skin_control.h"
#include "host/bitmap.h"
#include "host/std_controls.h"

namespace vex::engine {

// What an overlay tells the wrapper that placed it.
class IScrollOverlayOwner {
 public:
  virtual ~IScrollOverlayOwner() = default;
  // The arrow under the mouse or pressed changed: the bar is painted again.
  virtual void OverlayArrowsChanged() = 0;
  // The overlay is going (freed by the engine or by its parent window).
  virtual void OverlayGone(class TvexSkinScrollOverlay* overlay) = 0;
};

// What both kinds of overlay share: a window over a native scroll bar showing an off-screen
// picture of the skinned bar, which knows which of its arrows the mouse is over or pressing.
class TvexSkinScrollOverlay : public host::TCustomPanel {
  VEX_CLASS(TvexSkinScrollOverlay)
 public:
  TvexSkinScrollOverlay(host::TComponent* owner, const host::TClassInfo& cls = StaticClass());
  ~TvexSkinScrollOverlay() override;

  // The window whose bar it covers (a framework control's or a native one).
  HWND ScrolledWindow() const;
  // The bar's picture; empty until the wrapper first paints it.
  host::TBitmap Buffer;
  bool Vertical = true;
  // Arrow states (1 normal, 2 hot, 3 pressed) the wrapper paints with.
  TScrollArrowStates Arrows;
  host::TWinControl* ScrolledControl = nullptr;
  HWND ScrolledHandle = nullptr;
  IScrollOverlayOwner* Wrapper = nullptr;
  std::weak_ptr<bool> WrapperAlive;

  // Places the overlay over `bounds` (client coordinates of its parent) and shows it; it goes
  // above its siblings when it moves, is shown, or was asked to (RaiseLater). A paint that finds
  // it in place changes nothing: raising it on every paint would make two overlays of one
  // control trade places, with a repaint each time.
  void ShowAt(const RECT& bounds);
  // The covered window changed its place in the z order: the next ShowAt raises the overlay.
  void RaiseLater() { raise_ = true; }
  void HideOverlay();
  // Copies the buffer to the window now.
  void Present();
  // Which arrow a point of the overlay is on: 1 the first (up or left), 2 the second, 0 none.
  int ArrowAt(POINT p) const;

  // What the buffer shows: painting the same again is skipped (a scroll paints the control
  // several times, and most lines leave the thumb where it was).
  struct TPaintKey {
    int width = 0, height = 0;
    RECT thumb{};
    bool drawThumb = false, focused = false;
    TScrollArrowStates arrows;
    bool operator==(const TPaintKey& o) const {
      return width == o.width && height == o.height && EqualRect(&thumb, &o.thumb) && drawThumb == o.drawThumb &&
             focused == o.focused && arrows.up == o.arrows.up && arrows.down == o.arrows.down;
    }
  };
  // True when the buffer already shows `key`; otherwise records it as what will be painted.
  bool ShowsAlready(const TPaintKey& key);
  // The next paint draws the buffer again (a new skin, the bar painting switched back on).
  void ForgetPaint() { painted_ = false; }

 protected:
  void Paint() override;
  void WndProc(host::TMessage& m) override;
  // Hands a mouse message on to the covered window (after the panel's own handling).
  virtual void Forward(host::TMessage& m) = 0;
  void SetArrows(TScrollArrowStates a);
  void ClearWrapper();
  // False once the overlay is gone: checked after calls that may free it.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

 private:
  TPaintKey paintedKey_;
  bool painted_ = false, raise_ = true;
};

// The overlay of a scroll-bar control: mouse messages go to the control itself, in its client
// coordinates.
class TvexSkinInternalScrollBar2 : public TvexSkinScrollOverlay {
  VEX_CLASS(TvexSkinInternalScrollBar2)
 public:
  explicit TvexSkinInternalScrollBar2(host::TComponent* owner) : TvexSkinScrollOverlay(owner, StaticClass()) {}

 protected:
  void Forward(host::TMessage& m) override;
};

// The overlay of a built-in bar: presses become non-client presses on the bar of the covered
// window, which runs its own tracking.
class TvexSkinInternalScrollBar : public TvexSkinScrollOverlay {
  VEX_CLASS(TvexSkinInternalScrollBar)
 public:
  explicit TvexSkinInternalScrollBar(host::TComponent* owner) : TvexSkinScrollOverlay(owner, StaticClass()) {}
  // 0 vertical, 1 horizontal.
  int Horizontal = 0;

 protected:
  void Forward(host::TMessage& m) override;
};

// A framework scroll-bar control.
class TvexSkinScrollBar : public TvexSkinControlVCL, public IScrollOverlayOwner {
  VEX_CLASS(TvexSkinScrollBar)
 public:
  TvexSkinScrollBar(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  ~TvexSkinScrollBar() override;
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;
  void OverlayArrowsChanged() override { Repaint(); }
  void OverlayGone(TvexSkinScrollOverlay* overlay) override;

  TvexSkinInternalScrollBar2* Overlay = nullptr;

 private:
  void DestroyOverlay();
};

// Built-in bars of a framework control (custom controls, scroll boxes, tree views, list boxes,
// multi-line edits): one overlay per orientation, placed and painted after every change.
class TvexSkinScrollWinControl : public TvexSkinBorderWinControl, public IScrollOverlayOwner {
  VEX_CLASS(TvexSkinScrollWinControl)
 public:
  TvexSkinScrollWinControl(host::TControl* control, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass())
      : TvexSkinBorderWinControl(control, owner, cls) {}
  ~TvexSkinScrollWinControl() override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;
  void OverlayArrowsChanged() override { Repaint(); }
  void OverlayGone(TvexSkinScrollOverlay* overlay) override;
  void PaintOverlays();

  TvexSkinInternalScrollBar* VertOverlay = nullptr;
  TvexSkinInternalScrollBar* HorzOverlay = nullptr;

 private:
  void DestroyOverlays();
};

// A grid: its fixed cells take the skin's form colour while the skin shows.
class TvexSkinGrid : public TvexSkinScrollWinControl {
  VEX_CLASS(TvexSkinGrid)
 public:
  TvexSkinGrid(host::TControl* control, TvexSkinWindow* owner) : TvexSkinScrollWinControl(control, owner, StaticClass()) {}
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;

  host::TColor SavedFixedColor = host::clBtnFace;

 private:
  // The skin's colour is on the fixed cells (the application's is in SavedFixedColor).
  bool fixedColorApplied_ = false;
};

// A column of a list view's header as the header painter needs it.
struct THeaderColumn {
  std::wstring caption;
  host::TAlignment alignment = host::taLeftJustify;
  int imageIndex = -1;
};

// Paints a list view's header from the skin over the header's window: columns in the form
// colour with their captions (shortened to fit) and images, separators and the bottom line in
// the control border colour. `images` are the list view's small images (or none).
void PaintListViewHeader(TvexSkinEngine& engine, HWND header, const std::vector<THeaderColumn>& columns, HIMAGELIST images);

// Paints a list view's header from the skin while it is hooked and `active` says so: the
// header's own painting does not run then, and a changed item paints the header again.
class THeaderHook {
 public:
  THeaderHook(std::function<bool()> active, std::function<void()> paint) : active_(std::move(active)), paint_(std::move(paint)) {}
  ~THeaderHook() { Unhook(); }
  THeaderHook(const THeaderHook&) = delete;
  THeaderHook& operator=(const THeaderHook&) = delete;
  // Hooks `header` (the one hooked before, when it is still there, is given back first).
  void Hook(HWND header);
  void Unhook();
  // The hooked header; none once it is destroyed.
  HWND Header() const { return header_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  std::function<bool()> active_;
  std::function<void()> paint_;
  HWND header_ = nullptr;
  bool hooked_ = false;
};

// A framework list view: the scrolling control's bars and its own header painting.
class TvexSkinListView : public TvexSkinScrollWinControl {
  VEX_CLASS(TvexSkinListView)
 public:
  TvexSkinListView(host::TControl* control, TvexSkinWindow* owner) : TvexSkinScrollWinControl(control, owner, StaticClass()) {}
  ~TvexSkinListView() override;
  void AfterMessage(host::TMessage& m) override;
  void Attached() override;
  void Detach() override;
  void PaintHeader();
  // Subclasses the list view's current header (a window made anew has a new one); the previous
  // header, when it is still there, is given back.
  void HookHeader();

  HWND ListHandle = nullptr;
  HWND HeaderHandle() const { return header_.Header(); }

 private:
  THeaderHook header_{[this] { return Engine && Engine->IsSkinActive() && !Detached; }, [this] { PaintHeader(); }};
};

// The same bars over native windows (list boxes, multi-line edits, list views, tree views in
// native dialogs), with the flat skin border; a list view's header is painted too.
class TvexSkinWndScrollControl : public TvexSkinBorderWndControl, public IScrollOverlayOwner {
  VEX_CLASS(TvexSkinWndScrollControl)
 public:
  TvexSkinWndScrollControl(HWND handle, TvexSkinWindow* owner);
  ~TvexSkinWndScrollControl() override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;
  void OverlayArrowsChanged() override { Repaint(); }
  void OverlayGone(TvexSkinScrollOverlay* overlay) override;
  void PaintOverlays();
  void PaintHeader();

  TvexSkinInternalScrollBar* VertOverlay = nullptr;
  TvexSkinInternalScrollBar* HorzOverlay = nullptr;
  HWND HeaderHandle() const { return header_.Header(); }

 private:
  void DestroyOverlays();
  THeaderHook header_{[this] { return Engine && Engine->IsSkinActive() && !Detached; }, [this] { PaintHeader(); }};
  // The window got WS_CLIPSIBLINGS from the wrapper (taken away again at Detach).
  bool addedClipSiblings_ = false;
};

// Registers the framework rows and the native rows of the scrolling controls (once each).
void RegisterScrollControlClasses();
void RegisterScrollWindowClasses();

}  // namespace vex::engine
