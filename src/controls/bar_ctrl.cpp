#include "controls/bar_ctrl.h"

#include <commctrl.h>

#include <memory>
#include <mutex>

#include "engine/skin_engine.h"
#include "host/color.h"
#include "host/status_bar.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/skin_reader.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;

void PaintStatusGrip(HDC dc, int w, int h, TColor fill) {
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(fill)));
  HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(static_cast<TColor>(0xFF000003))));
  if (!brush || !pen) {
    if (brush) DeleteObject(brush);
    if (pen) DeleteObject(pen);
    return;
  }
  const RECT g{w - 16, h - 15, w - 1, h - 1};
  FillRect(dc, &g, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, g.left + 1, g.bottom, nullptr);
  LineTo(dc, g.right, g.top);
  for (int i = 0; i < 3; ++i) {
    MoveToEx(dc, g.left + 5 + 4 * i, g.bottom, nullptr);
    LineTo(dc, g.right, g.top + 4 + 4 * i);
  }
  SelectObject(dc, oldPen);
  if (h - 15 > 3) {
    const RECT above{w - 16, 3, w - 1, h - 15};
    FillRect(dc, &above, brush);
  }
  const RECT beside{w - 20, 3, w - 16, h - 1};
  FillRect(dc, &beside, brush);
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace vex::engine

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

// ---------------------------------------------------------------------------------------------
// Status bars

const TClassInfo& TvexSkinStatusBar::StaticClass() {
  static const TClassInfo info("TvexSkinStatusBar", &TvexSkinPanel::StaticClass());
  return info;
}

TvexSkinStatusBar::TvexSkinStatusBar(TControl* control, TvexSkinWindow* owner) : TvexSkinPanel(control, owner, StaticClass()) {
  // The bar draws its panels' text in its font's colour.
  ColoursFont = true;
}

void TvexSkinStatusBar::Paint() {
  auto* bar = dynamic_cast<TCustomStatusBar*>(Control);
  if (!bar || !bar->HandleAllocated() || !bar->SizeGrip()) return;
  const HWND h = bar->Handle();
  HDC dc = GetDC(h);
  if (!dc) return;
  PaintStatusGrip(dc, bar->Width(), bar->Height(), bar->Color());
  ReleaseDC(h, dc);
}

// ---------------------------------------------------------------------------------------------
// Tool bars

namespace {

// The wrapper's handlers, told apart from the application's by their type.
struct TSkinBarDraw {
  std::weak_ptr<bool> alive;
  TvexSkinToolBar* wrapper;
  void operator()(TToolBar* bar, const RECT& r, bool& defaultDraw) const {
    if (!alive.expired()) wrapper->CustomDrawBar(bar, r, defaultDraw);
  }
};
struct TSkinButtonDraw {
  std::weak_ptr<bool> alive;
  TvexSkinToolBar* wrapper;
  void operator()(TToolBar* bar, TToolButton* button, UINT state, bool& defaultDraw) const {
    if (!alive.expired()) wrapper->CustomDrawButton(bar, button, state, defaultDraw);
  }
};

}  // namespace

const TClassInfo& TvexSkinToolBar::StaticClass() {
  static const TClassInfo info("TvexSkinToolBar", &TvexSkinControlVCL::StaticClass());
  return info;
}

TvexSkinToolBar::~TvexSkinToolBar() {
  // A wrapper freed without Detach (its frame going at once) leaves no handler of its own behind.
  RemoveHandlers();
}

void TvexSkinToolBar::RemoveHandlers() {
  // Only where the skin's handler is still the one installed: one the application set since stays.
  TToolBar* bar = Bar();
  if (!bar) return;
  if (bar->OnCustomDraw.target<TSkinBarDraw>()) bar->OnCustomDraw = SavedOnCustomDraw;
  if (bar->OnCustomDrawButton.target<TSkinButtonDraw>()) bar->OnCustomDrawButton = SavedOnCustomDrawButton;
}

TToolBar* TvexSkinToolBar::Bar() const { return dynamic_cast<TToolBar*>(Control); }

void TvexSkinToolBar::Attached() {
  TToolBar* bar = Bar();
  if (!bar) return;
  SavedFlat = bar->Flat();
  SavedColor = bar->Color();
  SavedParentColor = bar->ParentColor();
  SavedTransparent = bar->Transparent();
  SavedCaptionColor = bar->CaptionColor();
  SavedOnCustomDraw = bar->OnCustomDraw;
  SavedOnCustomDrawButton = bar->OnCustomDrawButton;
}

void TvexSkinToolBar::Restore() {
  TToolBar* bar = Bar();
  if (!bar || !skinned_) return;
  skinned_ = false;
  RemoveHandlers();
  if (bar->Flat() != SavedFlat) bar->SetFlat(SavedFlat);
  if (bar->Transparent() != SavedTransparent) bar->SetTransparent(SavedTransparent);
  if (SavedParentColor)
    bar->SetParentColor(true);
  else
    bar->SetColor(SavedColor);
  bar->SetCaptionColor(SavedCaptionColor);
  bar->Invalidate();
}

void TvexSkinToolBar::UpdateSkinState() {
  TToolBar* bar = Bar();
  if (!bar || !Engine) return;
  if (!Engine->IsSkinActive()) {
    Restore();
    return;
  }
  if (!skinned_) {
    // What the application set while the skin was off is what comes back next time.
    SavedFlat = bar->Flat();
    SavedColor = bar->Color();
    SavedParentColor = bar->ParentColor();
    SavedTransparent = bar->Transparent();
    SavedCaptionColor = bar->CaptionColor();
    if (!bar->OnCustomDraw.target<TSkinBarDraw>()) SavedOnCustomDraw = bar->OnCustomDraw;
    if (!bar->OnCustomDrawButton.target<TSkinButtonDraw>()) SavedOnCustomDrawButton = bar->OnCustomDrawButton;
  }
  skinned_ = true;
  if (!bar->Flat()) bar->SetFlat(true);
  if (bar->Transparent()) bar->SetTransparent(false);
  bar->SetColor(Engine->GetSkinColor(keys::color::SKIN2_TOOLBARSTARTCOLOR));
  // Captions in the skin's control font colour, so that they read on the skin's tool bar colours
  // (the font keeps its colour: controls standing on the bar take that).
  bar->SetCaptionColor(Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
  if (!bar->HasState(csDesigning)) {
    bar->OnCustomDraw = TSkinBarDraw{Alive, this};
    bar->OnCustomDrawButton = TSkinButtonDraw{Alive, this};
  }
  bar->Invalidate();
}

void TvexSkinToolBar::Detach() {
  TvexSkinControlVCL::Detach();
  if (Engine && Engine->HasState(csDestroying)) {
    // The engine goes: only its handlers leave the bar (the form may be going too).
    RemoveHandlers();
    return;
  }
  Restore();
}

void PaintToolBarBackground(TvexSkinEngine& engine, TCanvas& canvas, const RECT& r, int dpi) {
  const TColor start = engine.GetSkinColor(keys::color::SKIN2_TOOLBARSTARTCOLOR);
  const TColor end = engine.GetSkinColor(keys::color::SKIN2_TOOLBARENDCOLOR);
  if (const TBitmap* image = engine.CurrentReader(dpi)->GetBitmap(keys::bitmap::SKIN2_TOOLBAR); image && !image->Empty()) {
    canvas.SetStretchMode(COLORONCOLOR);
    canvas.StretchDraw(r, *image);
  } else if (start != end) {
    utils::GradientFillRows(canvas, r, start, end);
  } else {
    // The bar's Color is the first colour; filled here, it shows whatever the bar's own erase did.
    utils::FillRectColor(canvas, r, start);
  }
}

void TvexSkinToolBar::CustomDrawBar(TToolBar* bar, const RECT& rect, bool&) {
  if (!bar || !Engine) return;
  TCanvas& canvas = bar->Canvas();
  if (canvas.Handle()) PaintToolBarBackground(*Engine, canvas, rect, Dpi());
}

void TvexSkinToolBar::DrawButton(TToolBar* bar, TToolButton* button, bool down) {
  TCanvas& canvas = bar->Canvas();
  const RECT r = bar->ButtonRect(button);
  const bool dropDown = button->Style() == tbsDropDown;
  const TImageList* list = bar->HotImages() ? bar->HotImages() : bar->Images();
  canvas.Brush.style = TBrushStyle::bsSolid;
  canvas.Brush.color = Engine->GetSkinColor(down ? keys::color::SKIN2_TOOLBARDOWNCOLOR : keys::color::SKIN2_TOOLBARONCOLOR);
  canvas.Pen.color = Engine->GetSkinColor(keys::color::SKIN2_TOOLBARBORDERCOLOR);
  canvas.Pen.width = 1;
  canvas.Rectangle(r);
  const int w = dropDown ? r.right - 14 : r.right;
  const int index = button->ImageIndex();
  bool imageDrawn = false;
  int iw = 0, ih = 0;
  if (list) {
    iw = list->Width();
    ih = list->Height();
    // The down style draws any index (the list draws nothing for one it does not have).
    if (down || (index >= 0 && index < list->Count())) {
      if (bar->List())
        list->Draw(canvas, r.left + 5, r.top + 3, index, true);
      else
        list->Draw(canvas, r.left + (w - r.left - iw) / 2, r.top + 3, index, true);
      imageDrawn = true;
    }
  }
  if (!bar->ShowCaptions()) return;
  const std::wstring caption = button->Caption();
  canvas.Font().Assign(bar->Font());
  canvas.Font().SetColor(bar->InkColor());
  canvas.Brush.style = TBrushStyle::bsClear;
  int x = 0, y = 0;
  RECT tr = r;
  if (bar->List()) {
    if (list && (imageDrawn || down)) {
      x = r.left + iw + 7;
      y = r.top + (ih - 16) / 2 + 4;
    } else if (list) {
      x = r.left + 5;
      y = r.top + 4;
    } else {
      x = r.left + 8;
      y = r.top + 3;
    }
  } else {
    const int cx = (w - r.left - canvas.TextWidth(utils::StripAccelerators(caption))) / 2;
    x = r.left + cx;
    y = list ? r.top + ih + 4 : r.top + (down ? 5 : 4);
  }
  tr.left = x;
  tr.top = y;
  canvas.DrawText(caption, tr, 0);
  canvas.Brush.style = TBrushStyle::bsSolid;
}

void TvexSkinToolBar::CustomDrawButton(TToolBar* bar, TToolButton* button, UINT state, bool& defaultDraw) {
  if (!bar || !button || !Engine || !bar->Canvas().Handle()) return;
  const bool hot = (state & CDIS_HOT) != 0, selected = (state & CDIS_SELECTED) != 0, checked = (state & CDIS_CHECKED) != 0;
  if (hot) {
    DrawButton(bar, button, selected);
    if (button->Style() == tbsDropDown) {
      TCanvas& canvas = bar->Canvas();
      const RECT r = bar->ButtonRect(button);
      canvas.Brush.style = TBrushStyle::bsSolid;
      canvas.Brush.color = clBlack;
      canvas.Pen.color = clBlack;
      const int m = r.top + (r.bottom - r.top) / 2;
      canvas.Polygon({{r.right - 9, m}, {r.right - 5, m}, {r.right - 7, m + 2}});
      canvas.Polygon({{r.right - 8, m}, {r.right - 6, m}, {r.right - 7, m + 1}});
      canvas.MoveTo(r.right - 14, r.top);
      canvas.LineTo(r.right - 14, r.bottom);
    }
    defaultDraw = false;
  } else if (selected || checked) {
    DrawButton(bar, button, false);
    defaultDraw = false;
  }
}

}  // namespace vex::engine

namespace vex::engine {

void RegisterBarControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TControlClassRow rows[] = {
        {&TCustomStatusBar::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinStatusBar>(c, f); }},
        {&TToolBar::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinToolBar>(c, f); }},
    };
    RegisterControlClasses(rows);
  });
}

}  // namespace vex::engine
