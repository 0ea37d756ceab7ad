#include "controls/tab_ctrl.h"

#include "controls/paint_message.h"

#include <commctrl.h>

#include <algorithm>
#include <mutex>

#include "controls/std_ctrl.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/canvas.h"
#include "host/image_list.h"
#include "host/tab_controls.h"
#include "host/text_encoding.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/skin_res.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;
using utils::TvexSkinTabRes;

const TClassInfo& TvexSkinTabControl::StaticClass() {
  static const TClassInfo info("TvexSkinTabControl", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndTabControl::StaticClass() {
  static const TClassInfo info("TvexSkinWndTabControl", &TvexSkinControlWnd::StaticClass());
  return info;
}

namespace {

RECT ItemRect(HWND wnd, int index) {
  RECT t{};
  if (!SendMessageW(wnd, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&t))) t = RECT{};
  return t;
}

// The height the control gives its tabs, from tab 0's rectangle. Wine refuses the query for a
// control not yet laid out (a dialog's, when the dialog is skinned as it first activates) but
// fills in the height all the same, so the rectangle is read whatever the answer; where nothing
// is filled in the height is 0 and nothing is given back.
int TabHeight(HWND wnd) {
  RECT t{};
  SendMessageW(wnd, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&t));
  return std::max<int>(t.bottom - t.top, 0);
}

// The width the control gives fixed-width tabs (the low half of TCM_SETITEMSIZE, which sets it
// whenever the control has TCS_FIXEDWIDTH), or 0 for tabs as wide as their captions.
int FixedTabWidth(HWND wnd) {
  if (!(GetWindowLongW(wnd, GWL_STYLE) & TCS_FIXEDWIDTH)) return 0;
  RECT t{};
  SendMessageW(wnd, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&t));
  return std::max<int>(t.right - t.left, 0);
}

// The skin's tab image of a selected or an unselected tab, as stored (top orientation).
const TBitmap* TabImage(TvexSkinEngine& engine, bool selected, int dpi) {
  const TBitmap* s = engine.TabRes(dpi).Image(selected ? TvexSkinTabRes::tkSelected : TvexSkinTabRes::tkUnselected, TvexSkinTabRes::toStored);
  return s && !s->Empty() ? s : nullptr;
}

// Tab images are drawn over the page's colour when the skin says they have transparent parts.
void SetTabTransparency(TvexSkinEngine& engine, TBitmap& g) {
  g.SetTransparentColor(engine.SkinMetrics().TransparentColor);
  g.SetTransparent(engine.GetSkinSwitch(keys::switches::SKIN2_TABCONTROLTRANS));
}

// Composes a whole tab control into `b`: the background, the page frame around `page` (the
// display area the control reports), the tabs, drawn by `drawTab` in index order so that a later
// tab overlaps an earlier one, and the line that joins the selected tab to the page on the tab
// side. `skipEmpty` leaves out tabs whose rectangle has no area.
template <class DrawTab>
void ComposeTabControl(TvexSkinEngine& engine, HWND wnd, TBitmap& b, const RECT& background, RECT page, TTabPosition side,
                       bool skipEmpty, int dpi, DrawTab drawTab) {
  TCanvas& canvas = b.Canvas();
  const TColor form = engine.GetFormColor();
  utils::FillRectColor(canvas, background, form);
  SendMessageW(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  RECT p = page;
  InflateRect(&p, 2, 2);
  canvas.Pen.color = engine.GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR);
  canvas.Brush.style = TBrushStyle::bsSolid;
  canvas.Brush.color = form;
  canvas.Rectangle(p);

  const int selected = static_cast<int>(SendMessageW(wnd, TCM_GETCURSEL, 0, 0));
  const int count = static_cast<int>(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const RECT t = ItemRect(wnd, i);
    if (skipEmpty && (t.right <= t.left || t.bottom <= t.top)) continue;
    drawTab(i, i == selected, t);
  }

  // The page frame's edge on the tab side goes (its corners stay); the skin's line stands one
  // pixel further out in its place.
  TvexSkinTabRes::TOrientation turn = TvexSkinTabRes::toStored;
  canvas.Pen.color = form;
  switch (side) {
    case tpBottom:
      canvas.MoveTo(p.left + 1, p.bottom - 1);
      canvas.LineTo(p.right - 1, p.bottom - 1);
      turn = TvexSkinTabRes::to180;
      break;
    case tpLeft:
      canvas.MoveTo(p.left, p.top + 1);
      canvas.LineTo(p.left, p.bottom - 1);
      turn = TvexSkinTabRes::toLeft;
      break;
    case tpRight:
      canvas.MoveTo(p.right - 1, p.top + 1);
      canvas.LineTo(p.right - 1, p.bottom - 1);
      turn = TvexSkinTabRes::toRight;
      break;
    default:
      canvas.MoveTo(p.left + 1, p.top);
      canvas.LineTo(p.right - 1, p.top);
      break;
  }
  const TBitmap* line = engine.TabRes(dpi).Image(TvexSkinTabRes::tkLine, turn);
  if (!line || line->Empty()) return;
  switch (side) {
    case tpBottom:
      p.bottom += 1;
      p.top = p.bottom - line->Height();
      break;
    case tpLeft:
      p.left -= 1;
      p.right = p.left + line->Width();
      break;
    case tpRight:
      p.right += 1;
      p.left = p.right - line->Width();
      break;
    default:
      p.top -= 1;
      p.bottom = p.top + line->Height();
      break;
  }
  canvas.CopyRect(p, const_cast<TBitmap*>(line)->Canvas(), RECT{0, 0, line->Width(), line->Height()});
}

// Copies a composed picture onto a window: its client area, or the whole window; only inside
// `clip` (client coordinates) when one is given. Sibling windows above it stay as they are (a
// dialog's controls have no WS_CLIPSIBLINGS), and so do its child windows (the pages of a page
// control, the controls on a tab control), which paint themselves.
void Present(HWND wnd, const TBitmap& picture, bool wholeWindow, HRGN clip = nullptr) {
  HDC dc = GetDCEx(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_CLIPCHILDREN | (wholeWindow ? DCX_WINDOW : 0u));
  if (!dc) return;
  if (clip) {
    TOwnedRegion r(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(r.Get(), clip, nullptr, RGN_COPY);
    if (wholeWindow) {
      // From client to window coordinates.
      RECT w{};
      GetWindowRect(wnd, &w);
      POINT origin{0, 0};
      ClientToScreen(wnd, &origin);
      OffsetRgn(r.Get(), origin.x - w.left, origin.y - w.top);
    }
    SelectClipRgn(dc, r.Get());
  }
  BitBlt(dc, 0, 0, picture.Width(), picture.Height(), const_cast<TBitmap&>(picture).Canvas().Handle(), 0, 0, SRCCOPY);
  SelectClipRgn(dc, nullptr);
  ReleaseDC(wnd, dc);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The framework's tab and page controls

bool TvexSkinTabControl::BeforeMessage(TMessage& m) {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return true;
  return TakePaint(m, wc->Handle(), [this] { Paint(); });
}

void TvexSkinTabControl::AfterMessage(TMessage& m) {
  // Painted inside the message already: the erase and the paint need no second picture.
  if (m.Msg == WM_PAINT || m.Msg == WM_ERASEBKGND) return;
  TvexSkinControlVCL::AfterMessage(m);
}

void TvexSkinTabControl::Attached() {
  if (!Control) return;
  SavedColor = Control->Color();
  SavedParentColor = Control->ParentColor();
}

void TvexSkinTabControl::UpdateSkinState() {
  if (Control) FollowParentColour(*Control, Engine && Engine->IsSkinActive(), SavedColor, SavedParentColor);
}

void TvexSkinTabControl::Detach() {
  if (Control) FollowParentColour(*Control, false, SavedColor, SavedParentColor);
  TvexSkinControlVCL::Detach();
}

std::wstring TvexSkinTabControl::GetTabCaptionW(int index) const {
  auto* tc = dynamic_cast<TCustomTabControl*>(Control);
  if (!tc || index < 0 || index >= tc->Tabs().Count()) return std::wstring();
  return Utf8ToWide(tc->Tabs().Get(index));
}

void TvexSkinTabControl::Paint() {
  auto* tc = dynamic_cast<TCustomTabControl*>(Control);
  if (!Engine || !tc || !tc->HandleAllocated()) return;
  const HWND h = tc->Handle();
  const int w = tc->Width(), ht = tc->Height();
  if (w <= 0 || ht <= 0) return;
  TBitmap b(w, ht, TPixelFormat::pf24bit);
  RECT client{};
  GetClientRect(h, &client);
  ComposeTabControl(*Engine, h, b, client, client, tc->TabPosition(), true, Dpi(),
                    [&](int i, bool selected, const RECT& t) { DrawTab(b, i, selected, t); });
  Present(h, b, false);
}

void TvexSkinTabControl::DrawTab(TBitmap& b, int index, bool selected, const RECT& t) {
  auto* tc = dynamic_cast<TCustomTabControl*>(Control);
  if (!Engine || !tc || !tc->HandleAllocated()) return;
  const TTabPosition side = tc->TabPosition();
  const bool standing = side == tpLeft || side == tpRight;
  const int tw = t.right - t.left, th = t.bottom - t.top;
  if (tw <= 0 || th <= 0) return;
  // Built as a top tab; a left or right tab is as long as its rectangle is tall.
  TBitmap g(standing ? th : tw, standing ? tw : th, TPixelFormat::pf24bit);
  const int gw = g.Width(), gh = g.Height();
  if (const TBitmap* s = TabImage(*Engine, selected, Dpi())) {
    TCanvas& cells = g.Canvas();
    utils::PaintThreeCells(*s, cells, RECT{0, 0, gw, gh}, false, Engine->SkinMetrics().TransparentColor);
    // A tab taller than the image: the painted rows stretched over all of it, the top and
    // bottom thirds kept as they are.
    if (gh > s->Height() + 1) {
      TBitmap top(gw, s->Height(), TPixelFormat::pf24bit);
      BitBlt(top.Canvas().Handle(), 0, 0, gw, s->Height(), cells.Handle(), 0, 0, SRCCOPY);
      utils::StretchThreeVertical(top, cells, RECT{0, 0, gw, gh}, 0);
    }
  }
  // A bottom tab is turned before its image and caption go on, so that they stand upright on
  // it. (Turning gives the bitmap a new canvas: the one to draw on is taken after.)
  if (side == tpBottom) utils::RotateBitmap180(g);

  TCanvas& canvas = g.Canvas();
  canvas.Font().Assign(tc->Font());
  canvas.Font().SetColor(Engine->GetSkinColor(selected ? keys::color::SKIN2_TABCONTROLACTIVEFONTCOLOR
                                                      : keys::color::SKIN2_TABCONTROLINACTIVEFONTCOLOR));
  const std::wstring caption = GetTabCaptionW(index);
  const int w1 = canvas.TextWidth(caption);
  // Centred by what shows: a doubled ampersand draws as one.
  const int w2 = canvas.TextWidth(utils::ReplaceAll(caption, L"&&", L"&"));
  RECT x{(gw - w2) / 2, 2, gw, gh};

  TImageList* images = tc->Images();
  const int iw = images ? images->Width() : 0, ih = images ? images->Height() : 0;
  const int textHeight = canvas.TextHeight(caption);
  int bottomImage = -1;
  if (images) {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = -1;
    SendMessageW(tc->Handle(), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const int k = item.iImage;
    if (k < images->Count()) {
      if (side == tpBottom) {
        bottomImage = k;
      } else {
        // An image index of -1 draws nothing but keeps the caption's place beside it.
        const int ix = (gw - w1 - iw - 4) / 2;
        const int iy = std::max(0, (gh - std::max(textHeight, ih)) / 2);
        if (k >= 0) images->Draw(canvas, ix, iy + 1, k, true);
        x.left = ix + iw + 4;
      }
    }
  }

  canvas.Brush.style = TBrushStyle::bsClear;
  constexpr UINT kFlags = DT_SINGLELINE | DT_VCENTER;
  switch (side) {
    case tpBottom:
      if (bottomImage >= 0) {
        const int ix = (gw - w1 - iw - 4) / 2;
        const int iy = std::max(1, (gh - std::max(textHeight, ih)) / 2);
        images->Draw(canvas, ix, iy, bottomImage, true);
        x.left = ix + iw + 4;
      }
      canvas.DrawText(caption, x, kFlags);
      break;
    case tpLeft:
      canvas.DrawText(caption, x, kFlags);
      utils::RotateBitmapLeft(g);
      break;
    case tpRight:
      canvas.DrawText(caption, x, kFlags);
      utils::RotateBitmapRight(g);
      break;
    default:
      canvas.DrawText(caption, x, kFlags);
      break;
  }
  SetTabTransparency(*Engine, g);
  b.Canvas().Draw(t.left, t.top, g);
}

// ---------------------------------------------------------------------------------------------
// Native tab controls

bool TvexSkinWndTabControl::BeforeMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return false;
    case WM_PAINT: {
      // Only what was invalidated is painted, as the control itself does: a dialog's controls
      // standing on the page are often below the tab control in z-order, and repaint only where
      // they were invalidated themselves.
      TOwnedRegion update(CreateRectRgn(0, 0, 0, 0));
      const int kind = GetUpdateRgn(Handle, update.Get(), FALSE);
      {
        TPaintDC dc(Handle);
        if (kind != NULLREGION && kind != ERROR) PaintWithin(update.Get());
      }
      m.Result = 0;
      return false;
    }
    default:
      return true;
  }
}

void TvexSkinWndTabControl::AfterMessage(TMessage& m) {
  // Painted already, or about to be: the control invalidates what a click or a key changes.
  // A repaint of the whole control here would cover the controls standing on its page.
  if (!RedrawnByTheControl(m.Msg)) TvexSkinControlWnd::AfterMessage(m);
}

void TvexSkinWndTabControl::Attached() {
  OriginalTabHeight = TabHeight(Handle);
  // A control wrapped under a skin that shows has its own tab height at once, not only after
  // the next skin change.
  if (Engine && Engine->IsSkinActive()) UpdateSkinState();
}

void TvexSkinWndTabControl::UpdateSkinState() {
  if (!Handle || !IsWindow(Handle)) return;
  if (Engine && Engine->IsSkinActive()) {
    // The height to give back is the control's as the skin finds it, unless it is still the one
    // the skin left (a new skin over the old one), which is not the application's.
    const int now = TabHeight(Handle);
    if (!TabHeightReset || now != SkinnedTabHeight) OriginalTabHeight = now;
    // A height of zero: the tabs take the height the control gives them for their font and
    // images. Fixed-width tabs keep their width.
    SendMessageW(Handle, TCM_SETITEMSIZE, 0, MAKELPARAM(FixedTabWidth(Handle), 0));
    SkinnedTabHeight = TabHeight(Handle);
    TabHeightReset = true;
  } else if (TabHeightReset) {
    TabHeightReset = false;
    // The height lives in the high half; the low half is the width of fixed-width tabs, which
    // stays what it is.
    if (OriginalTabHeight > 0) SendMessageW(Handle, TCM_SETITEMSIZE, 0, MAKELPARAM(FixedTabWidth(Handle), OriginalTabHeight));
  }
}

void TvexSkinWndTabControl::Detach() {
  TvexSkinControlWnd::Detach();
  if (!Handle || !IsWindow(Handle)) return;
  if (TabHeightReset && OriginalTabHeight > 0)
    SendMessageW(Handle, TCM_SETITEMSIZE, 0, MAKELPARAM(FixedTabWidth(Handle), OriginalTabHeight));
  TabHeightReset = false;
  InvalidateRect(Handle, nullptr, TRUE);
}

void TvexSkinWndTabControl::Paint() {
  // A repaint outside a paint message: the windows standing on the control below it in z-order
  // (a dialog's controls on the page) are not repainted after it, so their places are left out.
  RECT whole{};
  GetWindowRect(Handle, &whole);
  MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&whole), 2);
  TOwnedRegion clip(CreateRectRgnIndirect(&whole));
  if (!clip) return;
  for (HWND below = GetWindow(Handle, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
    if (!IsWindowVisible(below)) continue;
    RECT r{};
    GetWindowRect(below, &r);
    MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&r), 2);
    TOwnedRegion covered(CreateRectRgnIndirect(&r));
    if (covered) CombineRgn(clip.Get(), clip.Get(), covered.Get(), RGN_DIFF);
  }
  PaintWithin(clip.Get());
}

void TvexSkinWndTabControl::PaintWithin(HRGN clip) {
  if (!Engine || !Handle) return;
  const int w = WindowWidth(), h = WindowHeight();
  if (w <= 0 || h <= 0) return;
  TBitmap b(w, h, TPixelFormat::pf24bit);
  const RECT whole{0, 0, w, h};
  ComposeTabControl(*Engine, Handle, b, whole, whole, tpTop, false, Dpi(), [&](int i, bool selected, const RECT& t) { DrawTab(b, i, selected, t); });
  Present(Handle, b, true, clip);
}

void TvexSkinWndTabControl::DrawTab(TBitmap& b, int index, bool selected, const RECT& t) {
  const int gw = t.right - t.left, gh = t.bottom - t.top;
  if (!Engine || gw <= 0 || gh <= 0) return;
  TBitmap g(gw, gh, TPixelFormat::pf24bit);
  TCanvas& canvas = g.Canvas();
  if (const TBitmap* stored = TabImage(*Engine, selected, Dpi())) {
    TBitmap s;
    s.Assign(*stored);
    s.SetPixelFormat(TPixelFormat::pf24bit);
    const TColor mask = Engine->SkinMetrics().TransparentColor;
    // A tab taller than the image: the image at the bottom as well as at the top.
    if (gh > s.Height() + 1) utils::PaintThreeCells(s, canvas, RECT{0, gh - s.Height() - 1, gw, gh}, false, mask);
    utils::PaintThreeCells(s, canvas, RECT{0, 0, gw, gh}, false, mask);
  }
  wchar_t buffer[260] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = 260;
  SendMessageW(Handle, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  const std::wstring caption = item.pszText ? std::wstring(item.pszText) : std::wstring();
  utils::AssignMenuFont(canvas.Font(), Dpi());
  canvas.Font().SetColor(Engine->GetSkinColor(selected ? keys::color::SKIN2_TABCONTROLACTIVEFONTCOLOR
                                                      : keys::color::SKIN2_TABCONTROLINACTIVEFONTCOLOR));
  RECT x{(gw - canvas.TextWidth(caption)) / 2, 2, gw, gh};
  canvas.Brush.style = TBrushStyle::bsClear;
  canvas.DrawText(caption, x, DT_SINGLELINE | DT_VCENTER);
  SetTabTransparency(*Engine, g);
  b.Canvas().Draw(t.left, t.top, g);
}

// ---------------------------------------------------------------------------------------------
// Registration

void RegisterTabControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TControlClassRow rows[] = {
        {&TCustomTabControl::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinTabControl>(c, f); }},
        // The pages stand in the skin's form colour, as panels do.
        {&TTabSheet::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinPanel>(c, f); }},
    };
    RegisterControlClasses(rows);
  });
}

void RegisterTabWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TWindowClassRow rows[] = {
        {"SYSTABCONTROL32", [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndTabControl>(h, f); }},
    };
    RegisterWindowClasses(rows);
  });
}

}  // namespace vex::engine
