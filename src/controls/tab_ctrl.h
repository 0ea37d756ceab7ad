// Tab controls drawn entirely from the skin: the page frame, every tab from the skin's tab images
// with its caption (and image), and the line that joins the selected tab to the page. Each paint
// composes the whole control off-screen and copies it in one blit; the control keeps its own
// keys, clicks and notifications.
#pragma once

#include <windows.h>

#include <string>

#include "engine/skin_control.h"
#include "host/bitmap.h"

namespace vex::engine {

// The framework's tab controls and page controls, with their tabs on any of the four sides. While
// the skin shows, the control stands in its parent's colour, so that what it holds (controls on a
// tab control, the pages of a page control) shows the skin's form colour too.
class TvexSkinTabControl : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinTabControl)
 public:
  TvexSkinTabControl(host::TControl* control, TvexSkinWindow* owner, const host::TClassInfo& cls = StaticClass())
      : TvexSkinControlVCL(control, owner, cls) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  bool WantsParentColor() const override { return true; }
  void Attached() override;
  void UpdateSkinState() override;
  void Detach() override;

  // The caption of tab `index` (empty for an index out of range).
  virtual std::wstring GetTabCaptionW(int index) const;
  // Builds tab `index` upright in the top orientation with its image and caption, turns it to
  // the control's tab side and draws it onto `b` at the tab's rectangle `t`.
  void DrawTab(host::TBitmap& b, int index, bool selected, const RECT& t);

  host::TColor SavedColor = host::clBtnFace;
  bool SavedParentColor = false;
};

// Native tab controls of dialogs, tabs on top.
class TvexSkinWndTabControl : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndTabControl)
 public:
  TvexSkinWndTabControl(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  // Repaints the control where no sibling below it in z-order stands on it.
  void Paint() override;
  // Paints the control, onto the part of it inside `clip` (client coordinates) when one is given.
  void PaintWithin(HRGN clip);
  void UpdateSkinState() override;
  void Attached() override;
  void Detach() override;

  // Tab `index` from the skin's image (at the bottom too when the tab is taller than the image)
  // with its caption in the menu font, drawn onto `b` at `t`.
  void DrawTab(host::TBitmap& b, int index, bool selected, const RECT& t);

  // The height of tab 0 as the control had it before the skin reset it to the control's own.
  int OriginalTabHeight = 0;
  // Whether the skin has reset the tab height (and OriginalTabHeight is to be given back), and
  // the height the reset left: another height found later was set while skinned.
  bool TabHeightReset = false;
  int SkinnedTabHeight = 0;
};

// Registers the framework rows (tab and page controls, and the pages) and the native row of
// "SysTabControl32" (once each).
void RegisterTabControlClasses();
void RegisterTabWindowClasses();

}  // namespace vex::engine
