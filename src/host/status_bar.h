// Status bars on the platform's "msctls_statusbar32" control: a row of panels (or one simple
// panel) along the bottom of a form, with an optional size grip.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/canvas.h"
#include "host/collection.h"
#include "host/std_controls.h"
#include "host/win_control.h"

namespace vex::host {

class TCustomStatusBar;

enum TStatusPanelStyle : int { psText, psOwnerDraw };
enum TStatusPanelBevel : int { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
  VEX_CLASS(TStatusPanel)
 public:
  explicit TStatusPanel(TCollection* collection, const TClassInfo& cls = StaticClass()) : TCollectionItem(collection, cls) {}
  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& s);
  int Width() const { return width_; }
  void SetWidth(int w);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle s);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel b);
  void Assign(const TPersistent& source) override;

 private:
  void Changed();
  std::wstring text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelStyle style_ = psText;
  TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels : public TCollection {
  VEX_CLASS(TStatusPanels)
 public:
  explicit TStatusPanels(TCustomStatusBar* owner);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
  void Update(TCollectionItem* item) override;

 private:
  TCustomStatusBar* bar_;
};

class TCustomStatusBar : public TWinControl {
  VEX_CLASS(TCustomStatusBar)
 public:
  explicit TCustomStatusBar(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCustomStatusBar() override;

  TStatusPanels& Panels() { return *panels_; }
  const TStatusPanels& Panels() const { return *panels_; }
  // One panel across the whole bar showing SimpleText instead of the panels.
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const std::wstring& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::wstring& s);
  // The grip in the bottom right corner that sizes the form (a new window).
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v);
  // The drawing surface while OnDrawPanel runs.
  TCanvas& Canvas() { return canvas_; }
  // Draws a panel of style psOwnerDraw on Canvas, within the rectangle.
  std::function<void(TCustomStatusBar*, TStatusPanel*, const RECT&)> OnDrawPanel;

  // The panels' edges and texts go to the window again.
  void UpdatePanels();
  // The panels' widths scale with the bar.
  void ChangeScale(int m, int d) override;

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void WndProc(TMessage& m) override;

 private:
  // Whether the bar draws its text panels itself: the font has a colour of its own (the control
  // would draw the text in the system's colour).
  bool DrawsOwnText() const;
  void ApplyColor();
  void DrawText(const std::wstring& text, TAlignment alignment, HDC dc, const RECT& r);
  std::unique_ptr<TStatusPanels> panels_;
  bool simplePanel_ = false, sizeGrip_ = true;
  bool themeOff_ = false;  // the window is drawn without visual styles (it has a colour of its own)
  std::wstring simpleText_;
  TCanvas canvas_;
};

class TStatusBar : public TCustomStatusBar {
  VEX_CLASS(TStatusBar)
 public:
  explicit TStatusBar(TComponent* owner, const TClassInfo& cls = StaticClass()) : TCustomStatusBar(owner, cls) {}
};

}  // namespace vex::host
