// The framework's status bars and tool bars in the skin's colours: the status bar with a grip drawn
// from the skin's lines, the tool bar drawn through its custom-draw events. (Native bars are in
// container_wnd.h.)
#pragma once

#include <windows.h>

#include <functional>

#include "controls/std_ctrl.h"
#include "engine/skin_control.h"
#include "host/color.h"
#include "host/tool_bar.h"

namespace vex::engine {

// The size grip of a status bar of w x h on `dc`: four diagonal lines in the system's inactive
// caption colour on `fill`, with the strips around it blanked in `fill` so the bar's own grip does
// not show beside it.
void PaintStatusGrip(HDC dc, int w, int h, host::TColor fill);

// A tool bar's background in the skin: its tool bar image stretched over `r`, else the gradient
// of its two tool bar colours, else the first of them.
void PaintToolBarBackground(TvexSkinEngine& engine, host::TCanvas& canvas, const RECT& r, int dpi = 96);

// The framework's status bar: it stands in its parent's (the form's) colour, its text takes the
// skin's control font colour, and its size grip is drawn again in the skin's lines.
class TvexSkinStatusBar : public TvexSkinPanel {
  VEX_CLASS(TvexSkinStatusBar)
 public:
  TvexSkinStatusBar(host::TControl* control, TvexSkinWindow* owner);
  void Paint() override;
};

// The framework's tool bar: flat, in the skin's tool bar colours, its background and its hot,
// pressed and checked buttons drawn through the bar's custom-draw events. Switched off, the bar
// gets back exactly what it had: Flat, Color (or its parent's), Transparent and both events.
class TvexSkinToolBar : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinToolBar)
 public:
  TvexSkinToolBar(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  ~TvexSkinToolBar() override;
  bool WantsParentColor() const override { return true; }
  void Attached() override;
  void UpdateSkinState() override;
  void Detach() override;

  // The background event: the skin's tool bar image stretched over the rectangle, or the
  // gradient of its two tool bar colours, or the first of them.
  void CustomDrawBar(host::TToolBar* bar, const RECT& rect, bool& defaultDraw);
  // The button event: hot, pressed and checked buttons in the skin's colours; the others are the
  // bar's own.
  void CustomDrawButton(host::TToolBar* bar, host::TToolButton* button, UINT state, bool& defaultDraw);
  // Draws a button in the down (pressed) or hot style.
  void DrawButton(host::TToolBar* bar, host::TToolButton* button, bool down);

  bool SavedFlat = true;
  host::TColor SavedColor = host::clBtnFace;
  bool SavedParentColor = false;
  bool SavedTransparent = false;
  host::TColor SavedCaptionColor = host::clDefault;
  std::function<void(host::TToolBar*, const RECT&, bool&)> SavedOnCustomDraw;
  std::function<void(host::TToolBar*, host::TToolButton*, UINT, bool&)> SavedOnCustomDrawButton;

 private:
  host::TToolBar* Bar() const;
  // Gives the bar back its own events where the skin's are still installed.
  void RemoveHandlers();
  // Gives the bar its own look and events back (once per skinned stretch).
  void Restore();
  bool skinned_ = false;
};

// Registers the framework rows of the status bar and the tool bar (once).
void RegisterBarControlClasses();

}  // namespace vex::engine
