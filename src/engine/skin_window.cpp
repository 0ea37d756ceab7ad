#include "engine/skin_window.h"
#include "engine/skin_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "engine/skin_engine.h"
#include "host/application.h"
#include "host/callback_guard.h"
#include "host/canvas.h"
#include "host/dpi.h"
#include "host/form.h"
#include "host/menu_tracking.h"
#include "host/subclass.h"
#include "skin2/skin_keys.h"
#include "utils/back_buffer.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

HWND& LastDestroyedDialog() {
  static HWND h = nullptr;
  return h;
}

const TClassInfo& TvexSkinWindow::StaticClass() {
  static const TClassInfo info("TvexSkinWindow", &TComponent::StaticClass());
  return info;
}

const TClassInfo& TvexSkinWindowWnd::StaticClass() {
  static const TClassInfo info("TvexSkinWindowWnd", &TvexSkinWindow::StaticClass());
  return info;
}

TvexSkinWindow::TvexSkinWindow(TComponent* owner, TvexSkinEngine* engine, const TClassInfo& cls)
    : TComponent(owner, cls), FEngine(engine) {
  FCaptionLeft = TvexSkinEngine::DefaultCaptionLeft;
  FTitleBuffer.SetPixelFormat(TPixelFormat::pf24bit);
  FBottomBuffer.SetPixelFormat(TPixelFormat::pf24bit);
  FTitleBuffer.SetTransparentMode(TTransparentMode::tmFixed);
  FBottomBuffer.SetTransparentMode(TTransparentMode::tmFixed);
  FSkinned = engine && engine->IsSkinActive();
}

TvexSkinWindow::~TvexSkinWindow() = default;

void TvexSkinWindow::BeforeDestruction() {
  if (!FDestroying) {
    FDestroying = true;
    *FAlive = false;
    if (FTitleCapture) EndTitleCapture();
    if (FEngine) {
      FEngine->ForgetFrame(this);
      if (FEngine->SystemMenuTarget == this) FEngine->SystemMenuTarget = nullptr;
    }
    if (Handle() && IsWindow(Handle()) && !FWindowDying) SetSkinned(false);
    DetachControls();
    Detach();
  }
  TComponent::BeforeDestruction();
}

std::wstring TvexSkinWindow::GetCaptionW() const { return L""; }

const TSkinMetrics& TvexSkinWindow::Metrics() const { return FEngine->SkinMetrics(FDpi); }

utils::TvexSkinReader* TvexSkinWindow::Reader() const { return FEngine->CurrentReader(FDpi); }

int TvexSkinWindow::Px(int length) const { return skin2::ScaleLength(length, FDpi); }

void TvexSkinWindow::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == FDpi) return;
  const int old = FDpi;
  FDpi = dpi;
  // What was measured of the window's own frame, and the size change skinning applied, are at
  // the old resolution; the system's frame is as much larger at the new one.
  auto scale = [dpi, old](int& v) { v = host::ScaleForDpi(v, dpi, old); };
  scale(FNativeTop);
  scale(FNativeLeft);
  scale(FNativeBottom);
  scale(FFrameSide);
  scale(FFrameBottom);
  scale(FExtraTop);
  scale(FMenuHeight);
  scale(FSavedClientWidth);
  scale(FSavedClientHeight);
  int cx = FAppliedSize.cx, cy = FAppliedSize.cy;
  scale(cx);
  scale(cy);
  FAppliedSize = SIZE{cx, cy};
  ForgetComposedFrame();
}

void TvexSkinWindow::DpiChanged(TMessage& m) {
  const std::shared_ptr<bool> alive = FAlive;
  SetDpi(LOWORD(m.WParam));
  const RECT suggested = m.LParam ? *reinterpret_cast<const RECT*>(m.LParam) : RECT{0, 0, 0, 0};
  // The window's own handling first: a framework form scales its controls and fonts and takes
  // the suggested place itself (through its frame while skinned: skinning takes its Scaled).
  if (!(FSkinned && ScaleContents(LOWORD(m.WParam), m.LParam ? &suggested : nullptr))) CallDefault(m);
  if (!*alive) return;
  HWND h = Handle();
  if (!FEngine->IsSkinActive() || !FEnabled || !FSkinned || !h) return;
  RECT now{};
  GetWindowRect(h, &now);
  FMoving = true;
  if (m.LParam && suggested.right > suggested.left && suggested.bottom > suggested.top && !EqualRect(&now, &suggested))
    SetWindowPos(h, nullptr, suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (!*alive) return;
  // The frame's own sizes changed even where the window's did not: the client area is measured
  // again.
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!*alive) return;
  FMoving = false;
  RecordSkinnedSize();
  if (!*alive) return;
  UpdateRegion();
  UpdateDwmAttributes();
  RefreshControls();
  if (!*alive) return;
  PaintFrame();
  m.Result = 0;
}

int TvexSkinWindow::TitleHeight() const {
  return FShowTitle && FSkinned && FEngine ? Metrics().TitleBarHeight : 0;
}

void TvexSkinWindow::SetSkinned(bool value) {
  // Only a skin that shows changes the window: an engine switched on before it has a skin (or
  // whose skin file names nothing) leaves the window's own frame, size and style alone.
  FSkinned = FEnabled && value && FEngine && FEngine->IsSkinActive();
  ForgetComposedFrame();
  if (FInitialised) {
    const std::shared_ptr<bool> alive = FAlive;
    UpdateSkinState();
    if (!*alive) return;
    if (FSkinned) UpdateRegion();
    UpdateDwmAttributes();
  } else if (Handle() && (IsWindowVisible(Handle()) || InitWhenHidden())) {
    InitFrame();
  }
}

void TvexSkinWindow::UpdateDwmAttributes() {
  HWND h = Handle();
  if (!h || !IsWindow(h) || !FEngine || FEngine->Designing() || FWindowDying) return;
  // A window shaped by a region is not rounded by the desktop window manager (rounding would cut
  // into the skin's own shape), and its border line takes the colour of the skin's border.
  const DWORD corner = FSkinned && (FTitleRegion || FBottomRegion) ? utils::kDwmCornerDoNotRound : utils::kDwmCornerDefault;
  DWORD border = utils::kDwmColorDefault;
  if (FSkinned)
    if (const TBitmap* b = Reader()->GetBitmap(keys::bitmap::SKIN2_FORMLEFTBORDER); b && b->Width() > 0 && b->Height() > 0)
      border = static_cast<DWORD>(ColorToRGB(b->PixelColor(0, b->Height() / 2)));
  // A window never given an attribute is left alone (nothing to give back).
  if (!FDwmSet && corner == utils::kDwmCornerDefault && border == utils::kDwmColorDefault) return;
  if (FDwmSet && corner == FDwmCorner && border == FDwmBorder) return;
  utils::LateDwmSetWindowAttribute(h, utils::kDwmWindowCornerPreference, &corner, sizeof corner);
  utils::LateDwmSetWindowAttribute(h, utils::kDwmBorderColor, &border, sizeof border);
  FDwmSet = true;
  FDwmCorner = corner;
  FDwmBorder = border;
}

void TvexSkinWindow::InitFrame() {
  if (Handle()) FDpi = host::WindowDpi(Handle());
  CaptureFrameMetrics();
  FInitialised = true;
  SetSkinned(FSkinned);
}

void TvexSkinWindow::ForgetComposedFrame() {
  FTitleComposed = false;
  FBottomComposedWidth = -1;
}

void TvexSkinWindow::ApplySkinSwitches() {
  ReadSkinSwitches();
  if (FEngine->IsSkinActive() && FSkinned && FInitialised) {
    PaintFrame();
    UpdateRegion();
    UpdateDwmAttributes();
  }
}

void TvexSkinWindow::ReadSkinSwitches() {
  utils::TvexSkinReader* r = Reader();
  FTitleRegion = r->GetSwitch(keys::switches::SKIN2_TITLEBARNEEDREGION);
  FBottomRegion = r->GetSwitch(keys::switches::SKIN2_BOTTOMBORDERNEEDREGION);
  // A new skin: the title is composed anew.
  ForgetComposedFrame();
  FTitleBuffer.SetTransparent(FTitleRegion);
  FBottomBuffer.SetTransparent(FBottomRegion);
  const TColor t = Metrics().TransparentColor;
  FTitleBuffer.SetTransparentColor(t);
  FBottomBuffer.SetTransparentColor(t);
  auto composite = [](bool on, std::unique_ptr<TBitmap>& c) {
    if (on && !c) {
      c = std::make_unique<TBitmap>();
    } else if (!on) {
      c.reset();
    }
  };
  composite(FTitleRegion, FTitleComposite);
  composite(FBottomRegion, FBottomComposite);
}

image::TFrameSkin TvexSkinWindow::FrameSkin() const {
  utils::TvexSkinReader* r = Reader();
  const TSkinMetrics& m = Metrics();
  auto width = [r](int key) {
    const TBitmap* b = r->GetBitmap(key);
    return b ? b->Width() : 0;
  };
  image::TFrameSkin s;
  s.t1w = width(keys::bitmap::SKIN2_TITLEBAR1);
  s.t2w = width(keys::bitmap::SKIN2_TITLEBAR2);
  s.t3w = width(keys::bitmap::SKIN2_TITLEBAR3);
  s.t4w = width(keys::bitmap::SKIN2_TITLEBAR4);
  s.t5w = width(keys::bitmap::SKIN2_TITLEBAR5);
  s.titleHeight = m.TitleBarHeight;
  const TBitmap* strip = r->GetBitmap(keys::bitmap::SKIN2_TITLEBUTTONS);
  s.buttonStripWidth = strip ? strip->Width() : 0;
  s.buttonStripHeight = strip ? strip->Height() : 0;
  s.fiveSections = r->GetSwitch(keys::switches::SKIN2_TITLEFIVESECT);
  s.iconX = m.IconPosX;
  s.iconY = m.IconPosY;
  s.captionTop = m.CaptionTop;
  s.buttonX = m.ButtonPosX;
  s.buttonY = m.ButtonPosY;
  s.leftBorder = m.LeftBorderWidth;
  s.rightBorder = m.RightBorderWidth;
  s.bottomBorder = m.BottomBorderHeight;
  s.dpi = FDpi;
  return s;
}

image::TTitleWindow TvexSkinWindow::TitleWindow() const {
  RECT r;
  GetWindowRect(Handle(), &r);
  image::TTitleWindow w;
  w.width = r.right - r.left;
  w.height = r.bottom - r.top;
  w.minimized = IsIconic(Handle()) != FALSE;
  w.zoomed = IsZoomed(Handle()) != FALSE;
  w.hasClose = HasCloseButton();
  w.hasMaximize = HasMaximizeButton();
  w.hasMinimize = HasMinimizeButton();
  w.hasHelp = HasHelpButton();
  w.hasSystemIcon = HasSystemIcon();
  return w;
}

void TvexSkinWindow::PaintFrame() {
  if (!FEngine || !FEngine->IsSkinActive() || !FSkinned || !Handle()) return;
  const TSkinMetrics& m = Metrics();
  TFramePaint f{Reader(), m, FrameSkin(), TitleWindow()};
  f.layout = image::LayoutTitle(f.skin, f.window);
  f.width = f.window.width;
  f.height = f.window.height;
  f.titleHeight = TitleHeight();
  f.menuBarHeight = MenuBarHeight();
  f.zoomedChild = IsMDIChild() && f.window.zoomed;
  f.bufferHeight = std::max(f.titleHeight, FNativeTop);
  TWindowCanvas window(Handle(), TWindowDC::TKind::Whole);

  const bool titleShown = FShowTitle && !f.zoomedChild;
  if (titleShown) {
    // The title is composed again only when something it shows changed.
    const int hot = ElementUnderCursor(f);
    TTitleKey key = TitleKey(f, hot);
    if (!FTitleComposed || !(key == FTitleKey)) {
      FTitleComposed = false;
      FTitleBuffer.SetSize(f.width, f.bufferHeight);
      TCanvas& title = FTitleBuffer.Canvas();
      const std::wstring caption = PaintTitle(f, title);
      PaintTitleButtons(f, title);
      PaintCaption(f, title, caption);
      if (FTitleRegion && FTitleComposite)
        utils::CopyReplacingColor(FTitleBuffer, *FTitleComposite, FTitleBuffer.TransparentColor(), f.metrics.FormColor);
      FTitleKey = std::move(key);
      FTitleComposed = true;
    } else {
      FHotButton = hot;
    }
    CopyTitleToWindow(f, window);
  }
  const bool minimized = titleShown && f.window.minimized;
  if (FShowBorders && !minimized) PaintBorders(f, window);
  PaintUncoveredFrame(f, window);
  // The window's own menu bar, below the title.
  if (!minimized && !f.zoomedChild) {
    const RECT band = MenuBandRect();
    if (band.bottom > band.top) PaintMenuBand(window, band);
  }
}

bool TvexSkinWindow::TTitleKey::operator==(const TTitleKey& o) const {
  return width == o.width && bufferHeight == o.bufferHeight && titleHeight == o.titleHeight && menuBarHeight == o.menuBarHeight &&
         hot == o.hot && minimized == o.minimized && zoomed == o.zoomed && hasClose == o.hasClose && hasMaximize == o.hasMaximize &&
         hasMinimize == o.hasMinimize && hasHelp == o.hasHelp && hasSystemIcon == o.hasSystemIcon && active == o.active &&
         pressed == o.pressed && showBorders == o.showBorders && captionLeft == o.captionLeft && extraTop == o.extraTop &&
         nativeTop == o.nativeTop && icon == o.icon && caption == o.caption;
}

TvexSkinWindow::TTitleKey TvexSkinWindow::TitleKey(const TFramePaint& f, int hot) const {
  TTitleKey k;
  k.width = f.width;
  k.bufferHeight = f.bufferHeight;
  k.titleHeight = f.titleHeight;
  k.menuBarHeight = f.menuBarHeight;
  k.hot = hot;
  k.minimized = f.window.minimized;
  k.zoomed = f.window.zoomed;
  k.hasClose = f.window.hasClose;
  k.hasMaximize = f.window.hasMaximize;
  k.hasMinimize = f.window.hasMinimize;
  k.hasHelp = f.window.hasHelp;
  k.hasSystemIcon = f.window.hasSystemIcon;
  k.active = FActive;
  k.pressed = FPressed;
  k.showBorders = FShowBorders;
  k.captionLeft = FCaptionLeft;
  k.extraTop = FExtraTop;
  k.nativeTop = FNativeTop;
  if (f.window.hasSystemIcon) {
    k.icon = IconHandle();
    if (!k.icon) k.icon = Application().Icon().Handle();
  }
  k.caption = GetCaptionW();
  return k;
}

std::wstring TvexSkinWindow::PaintTitle(const TFramePaint& f, TCanvas& title) {
  const TSkinMetrics& m = f.metrics;
  const int W = f.width, TH = f.titleHeight, BL = m.LeftBorderWidth, BR = m.RightBorderWidth;
  utils::FillRectColor(title, RECT{0, 0, W, TH}, m.FormColor);
  if (TH < FNativeTop)
    utils::FillRectColor(title, RECT{0, TH, W, FNativeTop}, f.menuBarHeight >= 1 ? m.MenuColors[mcMenuBarStart] : m.FormColor);
  std::wstring caption = GetCaptionW();
  utils::AssignCaptionFont(title.Font(), FDpi);
  const TBitmap* first = f.reader->GetBitmap(keys::bitmap::SKIN2_TITLEBAR1);
  if (f.window.minimized) {
    if (const TBitmap* minimizedTitle = f.reader->GetBitmap(keys::bitmap::SKIN2_MINIMIZEDTITLE))
      title.StretchDraw(RECT{0, 0, W, f.height}, *minimizedTitle);
    return utils::EllipsisTextW(title, caption, f.layout.captionFitWidth);
  }
  if (!first) return caption;
  // Three sections: left, stretched middle, right. Five: left, a middle stretched to the
  // caption's end, a piece after the caption, a stretched filler, right.
  const bool five = f.skin.fiveSections;
  const TBitmap* right = f.reader->GetBitmap(five ? keys::bitmap::SKIN2_TITLEBAR5 : keys::bitmap::SKIN2_TITLEBAR3);
  const int rightWidth = right ? right->Width() : 0;
  if (right) title.Draw(W - rightWidth, 0, *right);
  const int fillerEnd = W - rightWidth;
  title.Draw(0, 0, *first);
  int x = first->Width();
  caption = utils::EllipsisTextW(title, caption, f.layout.captionFitWidth);
  const TBitmap* filler = f.reader->GetBitmap(five ? keys::bitmap::SKIN2_TITLEBAR4 : keys::bitmap::SKIN2_TITLEBAR2);
  if (five) {
    const TBitmap* middle = f.reader->GetBitmap(keys::bitmap::SKIN2_TITLEBAR2);
    const TBitmap* afterCaption = f.reader->GetBitmap(keys::bitmap::SKIN2_TITLEBAR3);
    const int captionRight = f.skin.iconX + 20 + title.TextWidth(caption);
    // A short caption without an icon would invert the stretch; it then draws nothing.
    if (middle && captionRight + 2 > first->Width())
      title.StretchDraw(RECT{first->Width(), 0, captionRight + 2, middle->Height()}, *middle);
    if (afterCaption) {
      title.Draw(captionRight + 2, 0, *afterCaption);
      x = captionRight + 2 + afterCaption->Width();
    }
  }
  if (filler && x < fillerEnd) title.StretchDraw(RECT{x, 0, fillerEnd, filler->Height()}, *filler);
  int fillerHeight = filler ? filler->Height() : 0;
  if (f.layout.narrow && right) {
    // Too narrow for the sections: the right section, then the left one stretched up to it.
    if (W - rightWidth > BL) {
      title.Draw(W - rightWidth, 0, *right);
    } else {
      RECT dst{BL, 0, W, f.bufferHeight};
      RECT src{rightWidth - W + BL, 0, rightWidth, right->Height()};
      title.CopyRect(dst, const_cast<TBitmap*>(right)->Canvas(), src);
    }
    title.StretchDraw(RECT{BL, 0, std::max(BL, W - rightWidth), f.bufferHeight}, *first);
    fillerHeight = first->Height();
  }
  if (fillerHeight < f.bufferHeight) {
    if (FShowBorders)
      utils::FillRectColor(title, RECT{BL, fillerHeight + FExtraTop, W - BR, f.bufferHeight}, m.FormColor);
    else
      utils::FillRectColor(title, RECT{0, fillerHeight, W, f.bufferHeight}, m.FormColor);
  }
  return caption;
}

void TvexSkinWindow::PaintTitleButtons(const TFramePaint& f, TCanvas& title) {
  // The element under the cursor shows hot, or pressed while the left button is down on it.
  FHotButton = ElementUnderCursor(f);
  FMaximizeDrawn = FMinimizeDrawn = FCloseDrawn = false;
  if (f.window.hasSystemIcon) {
    HICON icon = IconHandle();
    if (!icon && Application().Icon().Handle()) icon = Application().Icon().Handle();
    const int size = f.skin.Px(16);
    if (!icon) icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, LR_SHARED));
    if (icon) DrawIconEx(title.Handle(), f.layout.iconX, f.layout.iconY, icon, size, size, 0, nullptr, DI_NORMAL);
  }
  const TBitmap* strip = f.reader->GetBitmap(keys::bitmap::SKIN2_TITLEBUTTONS);
  const bool buttonsTransparent = f.reader->GetSwitch(keys::switches::SKIN2_TITLEBTNTRANS);
  const TColor mask = f.metrics.TransparentColor;
  for (const image::TTitleButton& b : f.layout.buttons) {
    if (b.element == image::teClose) FCloseDrawn = true;
    if (b.element == image::teMaximize) FMaximizeDrawn = true;
    if (b.element == image::teMinimize) FMinimizeDrawn = true;
    if (!strip) continue;
    int slice = b.firstSlice;
    if (FHotButton == b.element) slice += FPressed ? 2 : 1;
    // Straight from the strip: no slice bitmap per button and paint.
    const int sliceWidth = strip->Width() / 18;
    HDC source = const_cast<TBitmap*>(strip)->Canvas().Handle();
    if (buttonsTransparent && !IsNoColor(mask))
      TransparentBlt(title.Handle(), b.rect.left, b.rect.top, sliceWidth, strip->Height(), source, (slice - 1) * sliceWidth, 0,
                     sliceWidth, strip->Height(), static_cast<UINT>(ColorToRGB(mask)));
    else
      BitBlt(title.Handle(), b.rect.left, b.rect.top, sliceWidth, strip->Height(), source, (slice - 1) * sliceWidth, 0, SRCCOPY);
  }
  FButtonsLeft = f.layout.buttonsLeft;
}

void TvexSkinWindow::PaintCaption(const TFramePaint& f, TCanvas& title, const std::wstring& caption) {
  if (caption.empty()) return;
  title.Brush.style = TBrushStyle::bsClear;
  title.Font().SetColor(FActive ? f.metrics.TitleFontColor : TvexSkinEngine::InactiveTitleFontColor);
  const int x = FCaptionLeft >= 0 ? FCaptionLeft : f.layout.captionX;
  RECT r{x, f.layout.captionY, 2048, 100};
  title.DrawText(caption, r, DT_SINGLELINE | DT_NOPREFIX);
  title.Brush.style = TBrushStyle::bsSolid;
}

void TvexSkinWindow::CopyTitleToWindow(const TFramePaint& f, TCanvas& window) {
  // Through the composite when the title shapes the region: its transparent pixels show the form
  // colour until the region cuts them away.
  HDC source = FTitleRegion && FTitleComposite ? FTitleComposite->Canvas().Handle() : FTitleBuffer.Canvas().Handle();
  BitBlt(window.Handle(), 0, 0, f.width, f.bufferHeight, source, 0, 0, SRCCOPY);
}

void TvexSkinWindow::PaintBorders(const TFramePaint& f, TCanvas& window) {
  const TSkinMetrics& m = f.metrics;
  const int W = f.width, H = f.height, BL = m.LeftBorderWidth, BR = m.RightBorderWidth, BB = m.BottomBorderHeight;
  int top = f.titleHeight;
  if (f.zoomedChild) {
    top = 0;
    // The frame form around the child's client window repaints its own frame.
    if (HWND client = GetParent(Handle()))
      if (HWND frame = GetParent(client)) PostMessageW(frame, SKM_MDICHILDZOOMED, 0, 0);
  }
  if (const TBitmap* left = f.reader->GetBitmap(keys::bitmap::SKIN2_FORMLEFTBORDER)) window.StretchDraw(RECT{0, top, BL, H - BB}, *left);
  if (const TBitmap* right = f.reader->GetBitmap(keys::bitmap::SKIN2_FORMRIGHTBORDER))
    window.StretchDraw(RECT{W - BR, top, W, H - BB}, *right);
  const TBitmap* bottomLeft = f.reader->GetBitmap(keys::bitmap::SKIN2_FORMBOTTOMBORDER1);
  if (!bottomLeft) return;
  const int rows = bottomLeft->Height();
  TBitmap* out = FBottomRegion && FBottomComposite ? FBottomComposite.get() : &FBottomBuffer;
  // The bottom border depends on the width and the skin only: composed again when either changed.
  if (FBottomComposedWidth == W && FBottomBuffer.Height() == rows) {
    BitBlt(window.Handle(), 0, H - BB, out->Width(), out->Height(), out->Canvas().Handle(), 0, 0, SRCCOPY);
    return;
  }
  FBottomComposedWidth = -1;
  FBottomBuffer.SetSize(W, rows);
  TCanvas& bottom = FBottomBuffer.Canvas();
  if (f.reader->GetSwitch(keys::switches::SKIN2_BOTTOMBORDERTHREESECT)) {
    const TBitmap* middle = f.reader->GetBitmap(keys::bitmap::SKIN2_FORMBOTTOMBORDER2);
    const TBitmap* bottomRight = f.reader->GetBitmap(keys::bitmap::SKIN2_FORMBOTTOMBORDER3);
    bottom.Draw(0, 0, *bottomLeft);
    if (bottomRight) bottom.Draw(W - bottomRight->Width(), 0, *bottomRight);
    if (middle) bottom.StretchDraw(RECT{bottomLeft->Width(), 0, W - (bottomRight ? bottomRight->Width() : 0), rows}, *middle);
  } else {
    utils::PaintThreeCells(*bottomLeft, bottom, RECT{0, 0, W, rows}, false, m.TransparentColor);
  }
  if (FBottomRegion && FBottomComposite)
    utils::CopyReplacingColor(FBottomBuffer, *FBottomComposite, FBottomBuffer.TransparentColor(), m.FormColor);
  FBottomComposedWidth = W;
  BitBlt(window.Handle(), 0, H - BB, out->Width(), out->Height(), out->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TvexSkinWindow::PaintUncoveredFrame(const TFramePaint& f, TCanvas& window) {
  // Frame areas the skin's bitmaps do not cover (borders thinner than the frame the window keeps).
  const TSkinMetrics& m = f.metrics;
  const int W = f.width, H = f.height, BL = m.LeftBorderWidth, BR = m.RightBorderWidth, BB = m.BottomBorderHeight;
  const int MH = f.menuBarHeight, top = MH + f.titleHeight;
  // Beside the skinned menu bar the strips carry on its band, and under it the lines that part it
  // from a tool bar right below it.
  const auto band = [&](int left, int right) {
    if (MH <= 0) return;
    const RECT r{left, f.titleHeight + FExtraTop, right, MH + f.titleHeight + FExtraTop};
    const auto& mc = m.MenuColors;
    if (const TBitmap* image = f.reader->GetBitmap(keys::bitmap::SKIN2_MENUBAR))
      window.StretchDraw(r, *image);
    else if (mc[mcMenuBarStart] == mc[mcMenuBarEnd])
      utils::FillRectColor(window, r, mc[mcMenuBarStart]);
    else
      utils::GradientFillRows(window, r, mc[mcMenuBarStart], mc[mcMenuBarEnd]);
    if (MenuBarSeparator() && mc[mcMenuBarStart] != m.FormColor) {
      utils::FillRectColor(window, RECT{left, r.bottom, right, r.bottom + 1}, 0x808080);
      utils::FillRectColor(window, RECT{left, r.bottom + 1, right, r.bottom + 2}, 0xFFFFFF);
    }
  };
  if (BL < FFrameSide) {
    utils::FillRectColor(window, RECT{BL, top, FFrameSide, H - BB}, m.FormColor);
    band(BL, FFrameSide);
  }
  if (BB < FFrameBottom) utils::FillRectColor(window, RECT{BL, H - FFrameBottom, W - BR, H - BB}, m.FormColor);
  if (BR < FFrameSide) {
    utils::FillRectColor(window, RECT{W - FFrameSide, top, W - BR, H - BB}, m.FormColor);
    band(W - FFrameSide, W - BR);
  }
}

RECT TvexSkinWindow::MenuBandRect() const {
  const int height = NativeMenuHeight();
  if (height <= 0 || !FSkinned || !FEngine) return RECT{0, 0, 0, 0};
  RECT wr;
  GetWindowRect(Handle(), &wr);
  const TSkinMetrics& sm = Metrics();
  const int top = std::max(TitleHeight(), FNativeTop);
  const int left = FShowBorders ? std::max(sm.LeftBorderWidth, Px(4)) : 0;
  const int right = (wr.right - wr.left) - (FShowBorders ? std::max(sm.RightBorderWidth, Px(4)) : 0);
  return RECT{left, top, std::max(left, right), top + height};
}

void TvexSkinWindow::UpdateRegion() {
  if (!Handle() || utils::IsWin95() || !CanSetRegion() || FEngine->Designing()) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  const int W = r.right - r.left, H = r.bottom - r.top;
  if (!FTitleRegion && !FBottomRegion) {
    // The whole window shows: a region the window still has from a shaped skin goes. A window
    // without one is left alone (setting a region the size of the window changes nothing, and
    // under Wine without a window manager it takes a maximized window out of its maximized state).
    RECT box;
    if (GetWindowRgnBox(Handle(), &box) != ERROR) SetWindowRgn(Handle(), nullptr, TRUE);
    return;
  }
  const TSkinMetrics& m = Metrics();
  utils::BuildWindowRegion(Handle(), &FTitleBuffer, &FBottomBuffer, FTitleRegion && !FTitleBuffer.Empty(),
                           FBottomRegion && !FBottomBuffer.Empty(), m.TitleRegionMinY, m.TitleRegionMaxY,
                           m.BottomRegionMinY, m.BottomRegionMaxY, m.TransparentColor, H, W);
}

void TvexSkinWindow::ComputeClientRect(TMessage& m) {
  if (!m.WParam) {
    m.Result = 0;
    return;
  }
  if (FCreatedByHook && !FInitialised) return;
  auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
  const WINDOWPOS* pos = p->lppos;
  if (!pos) return;
  const TSkinMetrics& sm = Metrics();
  const int TH = TitleHeight();
  RECT& r = p->rgrc[0];
  const bool zoomedChild = IsMDIChild() && IsZoomed(Handle());
  if (TH == 0 && !zoomedChild) {
    r.top = pos->y;
  } else if (zoomedChild) {
    r.top = 0;
  } else if (FNativeTop > 0) {
    FExtraTop = std::max(FNativeTop - TH, 0);
    r.top = pos->y + std::max(TH, FNativeTop) + NativeMenuHeight();
  }
  if (!FShowBorders) {
    r.left = pos->x;
    r.right = pos->x + pos->cx;
    if (FNativeTop > 0) r.bottom = pos->y + pos->cy;
  } else if (IsMDIForm() || IsMDIChild()) {
    if (FFrameSide > 0) {
      r.left = pos->x + std::max(sm.LeftBorderWidth, FFrameSide);
      r.right = pos->x + pos->cx - std::max(sm.RightBorderWidth, FFrameSide);
      r.bottom = pos->y + pos->cy - std::max(sm.BottomBorderHeight, FFrameBottom);
    }
  } else {
    r.left = pos->x + std::max(sm.LeftBorderWidth, Px(4));
    r.right = pos->x + pos->cx - std::max(sm.RightBorderWidth, Px(4));
    r.bottom = pos->y + pos->cy - std::max(sm.BottomBorderHeight, Px(4));
  }
  p->rgrc[1] = p->rgrc[0];
  m.Result = WVR_REDRAW;
}

int TvexSkinWindow::ElementUnderCursor(const TFramePaint& f) const {
  // Window coordinates, measured from the window rectangle: the client origin lies elsewhere when
  // a border is under 4 pixels or the title is shorter than the window's own caption.
  // Asking for the cursor is a round trip to the display server: a frame the mouse is not over
  // has no hot element.
  if (!FMouseOverFrame && !FTitleCapture) return -1;
  POINT cursor;
  RECT wr;
  if (!GetCursorPos(&cursor) || !GetWindowRect(Handle(), &wr)) return -1;
  return image::HitTitleElement(f.layout, f.skin, f.window, cursor.x - wr.left, cursor.y - wr.top);
}

void TvexSkinWindow::AdjustHitTest(TMessage& m) {
  const TSkinMetrics& sm = Metrics();
  RECT wr;
  GetWindowRect(Handle(), &wr);
  const int W = wr.right - wr.left;
  const int x = GET_X_LPARAM(m.LParam) - wr.left, y = GET_Y_LPARAM(m.LParam) - wr.top;
  const bool topEdge = m.Result == HTTOP || m.Result == HTTOPRIGHT;
  const RECT band = MenuBandRect();
  if (x >= band.left && x < band.right && y >= band.top && y < band.bottom) {
    m.Result = HTMENU;
    return;
  }
  if (sm.ButtonPosY < 4 && topEdge) {
    if (y < 8 && y >= sm.ButtonPosY && x >= FButtonsLeft && x <= W - sm.ButtonPosX) m.Result = HTCAPTION;
    return;
  }
  // Every row of the skinned title drags the window: the window's own answer there comes from its
  // native caption, which may be shorter than the skin's title. Sizing edges keep their answers.
  const bool zoomedChild = IsMDIChild() && IsZoomed(Handle());
  if (zoomedChild || !FShowTitle || y < 0 || y >= TitleHeight() || x < 0 || x >= W) return;
  switch (m.Result) {
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTLEFT:
    case HTRIGHT:
      return;
    default:
      m.Result = HTCAPTION;
  }
}

void TvexSkinWindow::ApplySizeDelta(SIZE delta) {
  HWND h = Handle();
  if (!h || !IsWindow(h) || FWindowDying) return;
  if (delta.cx == FAppliedSize.cx && delta.cy == FAppliedSize.cy) return;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (IsIconic(h) || IsZoomed(h)) {
    // The change belongs to the restored size; the minimized or maximized one is the system's.
    if (!GetWindowPlacement(h, &wp)) return;
    wp.rcNormalPosition.right += delta.cx - FAppliedSize.cx;
    wp.rcNormalPosition.bottom += delta.cy - FAppliedSize.cy;
    wp.flags = 0;
    wp.showCmd = IsIconic(h) ? SW_SHOWMINNOACTIVE : SW_SHOWMAXIMIZED;
    if (!IsWindowVisible(h)) wp.showCmd = SW_HIDE;
    FAppliedSize = delta;
    // Setting the placement moves a maximized window to its maximized position brought on screen
    // (the system's own one hangs its borders off the screen's edges): it goes back where it was.
    RECT zoomed{};
    const bool keepZoomed = IsZoomed(h) && GetWindowRect(h, &zoomed);
    SetWindowPlacement(h, &wp);
    // Only the window is used from here on: the frame may have gone with the messages sent.
    RECT now{};
    if (keepZoomed && IsWindow(h) && IsZoomed(h) && GetWindowRect(h, &now) && !EqualRect(&now, &zoomed)) {
      // A child window (a document of a multiple-document frame) is placed in its parent's
      // client coordinates, not the screen's.
      HWND parent = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr;
      if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&zoomed), 2);
      SetWindowPos(h, nullptr, zoomed.left, zoomed.top, zoomed.right - zoomed.left, zoomed.bottom - zoomed.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  RECT r;
  GetWindowRect(h, &r);
  const int ownWidth = (r.right - r.left) - FAppliedSize.cx, ownHeight = (r.bottom - r.top) - FAppliedSize.cy;
  // Far-out skin values are bounded here: the system clamps what it must, and what it applied is
  // what is recorded and taken back later.
  const auto target = [](int own, int d) { return static_cast<int>(std::clamp<long long>(static_cast<long long>(own) + d, 0, 32767)); };
  FMoving = true;
  const std::shared_ptr<bool> alive = FAlive;
  // Only the size changes: the window stays where it is (a child window's place is in its parent's
  // coordinates; the screen's, given for it, moved a document by its frame's offset each time).
  SetWindowPos(h, nullptr, 0, 0, target(ownWidth, delta.cx), target(ownHeight, delta.cy), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!*alive || !IsWindow(h)) return;
  FMoving = false;
  GetWindowRect(h, &r);
  FAppliedSize = SIZE{(r.right - r.left) - ownWidth, (r.bottom - r.top) - ownHeight};
}

void TvexSkinWindow::CloseWindow() { PostMessageW(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }
void TvexSkinWindow::ContextHelp() { PostMessageW(Handle(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0); }

void TvexSkinWindow::ToggleMaximize() {
  if (IsIconic(Handle()))
    PostMessageW(Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  else if (IsZoomed(Handle()))
    PostMessageW(Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  else if (FMaximizeDrawn)
    PostMessageW(Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void TvexSkinWindow::ToggleMinimize() {
  PostMessageW(Handle(), WM_SYSCOMMAND, IsIconic(Handle()) ? SC_RESTORE : SC_MINIMIZE, 0);
}

void TvexSkinWindow::SystemMenuCommand(int item) {
  switch (item) {
    case 0: ToggleMinimize(); break;
    case 1: ToggleMaximize(); break;
    case 3: CloseWindow(); break;
    default: break;
  }
}

void TvexSkinWindow::ShowSystemMenuAtIcon() {
  FEngine->SystemMenuTarget = this;
  POINT p{0, 0};
  ClientToScreen(Handle(), &p);
  p.x = std::max<LONG>(p.x, 0);
  if (IsIconic(Handle())) p.y += 24 - Metrics().TitleBarHeight;
  FEngine->GetSystemMenu()->Popup(p.x, p.y);
}

void TvexSkinWindow::ShowSystemMenuAt(POINT screen) {
  FEngine->SystemMenuTarget = this;
  FEngine->GetSystemMenu()->Popup(screen.x, screen.y);
}

void TvexSkinWindow::ReleaseTitlePress() {
  if (FTitleCapture) EndTitleCapture();
  FPressed = false;
  PaintFrame();
  switch (FHotButton) {
    case 0: ShowSystemMenuAtIcon(); break;
    case 1: CloseWindow(); break;
    case 2: ToggleMaximize(); break;
    case 3: ToggleMinimize(); break;
    case 4: ContextHelp(); break;
    default: break;
  }
}

void TvexSkinWindow::EndTitleCapture() {
  FTitleCapture = false;
  if (GetCapture() == Handle()) ReleaseCapture();
}

void TvexSkinWindow::FrameWndProc(TMessage& m) {
  // Anything forwarded below may destroy the window, the engine or this wrapper.
  const std::shared_ptr<bool> alive = FAlive;
  const auto gone = [&alive] { return !*alive; };
  if (m.Msg == WM_PAINT && !FInitialised && !InitWhenHidden()) InitFrame();
  if (m.Msg == WM_NULL) return;
  if (m.Msg == WM_DPICHANGED) {
    DpiChanged(m);
    return;
  }
  // High contrast or the app mode may have changed: the engine looks once the broadcast is over
  // (also while no window shows the skin, as in high contrast).
  if ((m.Msg == WM_SETTINGCHANGE || m.Msg == WM_SYSCOLORCHANGE) && FEngine) FEngine->PostSystemCheck();
  // Unskinned (the engine off, the window opted out, or its skin being taken away), the window is
  // its own: every message reaches its procedure unchanged.
  if (!FEngine->IsSkinActive() || !FEnabled || !FSkinned) {
    if (m.Msg == WM_SIZE) SaveClientSize();
    CallDefault(m);
    if (m.Msg == SKM_QUERYSKINNED && FEnabled && FEngine->IsSkinActive() && *alive) m.Result = 1;
    return;
  }
  // While a title element is pressed the frame holds the mouse: its moves and release are the
  // frame's, not the window's.
  if (FTitleCapture) {
    switch (m.Msg) {
      case WM_MOUSEMOVE:
        PaintFrame();
        if (FHotButton == -1) FPressed = false;
        m.Result = 0;
        return;
      case WM_LBUTTONUP:
        ReleaseTitlePress();
        m.Result = 0;
        return;
      case WM_CAPTURECHANGED:
        FTitleCapture = false;
        FPressed = false;
        PaintFrame();
        break;
      default:
        break;
    }
  }
  if (m.Msg == WM_SETTINGCHANGE || m.Msg == WM_SYSCOLORCHANGE || m.Msg == WM_THEMECHANGED) {
    // The caption font or the system's colours may be new: read again, and the title composed anew.
    utils::ForgetNonClientMetrics();
    ForgetComposedFrame();
  }
  if (m.Msg >= WM_NCMOUSEMOVE && m.Msg <= WM_NCXBUTTONDBLCLK) FMouseOverFrame = true;
  if (m.Msg == WM_NCMOUSELEAVE || (m.Msg == WM_MOUSEMOVE && !FTitleCapture)) FMouseOverFrame = false;
  switch (m.Msg) {
    case WM_NCPAINT:
      PaintFrame();
      return;
    case WM_NCACTIVATE:
      PaintFrame();
      if (!IsMDIForm() && ClaimNCActivate()) {
        m.Result = TRUE;
        return;
      }
      break;
    case WM_NCLBUTTONDOWN: {
      FPressed = true;
      PaintFrame();
      if (FHotButton == -1 && m.WParam == HTCAPTION && IsZoomed(Handle())) {
        RECT wr, work;
        GetWindowRect(Handle(), &wr);
        utils::GetWorkArea(Handle(), work);
        if (wr.right - wr.left >= work.right - work.left && wr.bottom - wr.top >= work.bottom - work.top) m.WParam = HTNOWHERE;
      }
      if (FHotButton != -1) {
        m.WParam = HTNOWHERE;
        SetCapture(Handle());
        FTitleCapture = GetCapture() == Handle();
      }
      SetActiveWindow(Handle());
      if (gone()) return;
      break;
    }
    case WM_NCMOUSELEAVE:
      FTrackingLeave = false;
      if (!FTitleCapture && (FHotButton != -1 || FPressed)) {
        FPressed = false;
        PaintFrame();
      }
      break;
    case WM_EXITSIZEMOVE:
      // A drag or a resize has ended: no title element stays hot or pressed.
      FPressed = false;
      PaintFrame();
      break;
    case WM_NCLBUTTONDBLCLK:
      PaintFrame();
      if (FHotButton == -1 && m.WParam == HTCAPTION) {
        ToggleMaximize();
        FPressed = false;
        PaintFrame();
        return;
      }
      if (FHotButton == 0) {
        CloseWindow();
        FPressed = false;
        return;
      }
      m.WParam = HTNOWHERE;
      break;
    case WM_CTLCOLORDLG:
      m.Result = reinterpret_cast<LRESULT>(Metrics().FormBrush.Get());
      return;
    default:
      break;
  }
  if (!BeforeMessage(m) || gone()) return;
  CallDefault(m);
  if (gone()) return;
  if (m.Msg == WM_DESTROY || m.Msg == WM_ACTIVATEAPP || m.Msg == WM_COMMAND || m.Msg == WM_SYSCOMMAND || m.Msg == CM_RELEASE)
    return;
  AfterMessage(m);
  if (gone()) return;
  switch (m.Msg) {
    case WM_ACTIVATE:
      FActive = LOWORD(m.WParam) != 0;
      PaintFrame();
      UpdateRegion();
      break;
    case WM_NCCALCSIZE:
      ComputeClientRect(m);
      break;
    case WM_NCACTIVATE:
      FActive = (m.WParam & 0xFF) != 0;
      PaintFrame();
      break;
    case WM_NCMOUSEMOVE:
      if (!FTrackingLeave) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE | TME_NONCLIENT, Handle(), 0};
        FTrackingLeave = TrackMouseEvent(&t) != FALSE;
      }
      if (m.WParam == HTCAPTION) {
        if (FPressed) {
          PaintFrame();
          if (FHotButton == -1) FPressed = false;
        }
        PaintFrame();
      } else if (FHotButton != -1) {
        PaintFrame();  // off the title: the hot image goes
      }
      break;
    case WM_NCLBUTTONUP:
      ReleaseTitlePress();
      break;
    case WM_NCRBUTTONDOWN:
      PaintFrame();
      if (m.WParam == HTCAPTION && FHotButton == -1) ShowSystemMenuAt(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      break;
    case WM_SETTEXT:
    case CM_TEXTCHANGED:
      PaintFrame();
      UpdateRegion();
      break;
    case WM_SETICON:
      // The system draws the caption itself when a window's icon changes.
      PaintFrame();
      break;
    case WM_NCHITTEST:
      AdjustHitTest(m);
      break;
    case SKM_QUERYACTIVE:
      m.Result = FActive ? 1 : 2;
      break;
    case SKM_QUERYMENUBARHEIGHT:
      m.Result = MenuBarHeight();
      break;
    case SKM_QUERYSKINNED:
      m.Result = 1;
      break;
    case SKM_MDICHILDZOOMED:
      if (IsMDIForm()) PaintFrame();
      break;
    default:
      break;
  }
}

// ----- the window's own menu bar, kept in a band of the frame -----

int TvexSkinWindow::MeasureNativeMenu(int nativeTop) const {
  HWND h = Handle();
  HMENU menu = GetMenu(h);
  if (!menu || !IsMenu(menu) || (GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) return 0;
  RECT wr;
  GetWindowRect(h, &wr);
  MENUBARINFO info{};
  info.cbSize = sizeof info;
  if (GetMenuBarInfo(h, OBJID_MENU, 0, &info) && info.rcBar.bottom > info.rcBar.top && info.rcBar.top >= wr.top &&
      info.rcBar.top - wr.top < nativeTop)
    return nativeTop - (info.rcBar.top - wr.top);
  return std::min(GetSystemMetrics(SM_CYMENU), nativeTop);
}

int TvexSkinWindow::NativeMenuHeight() const {
  if (FMenuHeight <= 0 || !FSkinned) return 0;
  HMENU menu = GetMenu(Handle());
  return menu && IsMenu(menu) ? FMenuHeight : 0;
}

std::vector<RECT> TvexSkinWindow::MenuItemRects() const {
  std::vector<RECT> out;
  HMENU menu = GetMenu(Handle());
  const RECT band = MenuBandRect();
  if (!menu || band.bottom <= band.top) return out;
  // Measured on the thread's back buffer: no bitmap made per paint or hit test.
  TCanvas& measure = utils::TBackBuffer::ForThread().Canvas(1, 1);
  utils::AssignMenuFont(measure.Font(), FDpi);
  int x = band.left;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    const int width = measure.TextWidth(utils::StripAccelerators(std::wstring(text))) + 16;
    out.push_back(RECT{x, band.top, std::min<LONG>(x + width, band.right), band.bottom});
    x = std::min<LONG>(x + width, band.right);
  }
  return out;
}

void TvexSkinWindow::PaintMenuBand(TCanvas& canvas, const RECT& band) {
  const auto& mc = Metrics().MenuColors;
  if (mc[mcMenuBarStart] == mc[mcMenuBarEnd])
    utils::FillRectColor(canvas, band, mc[mcMenuBarStart]);
  else
    utils::GradientFillColumns(canvas, band, mc[mcMenuBarStart], mc[mcMenuBarEnd]);
  HMENU menu = GetMenu(Handle());
  utils::AssignMenuFont(canvas.Font(), FDpi);
  canvas.Brush.style = TBrushStyle::bsClear;
  const std::vector<RECT> items = MenuItemRects();
  for (std::size_t i = 0; i < items.size(); ++i) {
    RECT r = items[i];
    if (r.right <= r.left) break;
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    TColor colour = mc[mcTopMenuFont];
    if (static_cast<int>(i) == FMenuOpen) {
      canvas.Brush.style = TBrushStyle::bsSolid;
      utils::FillRectColor(canvas, r, mc[mcTopSelected]);
      utils::FrameRectColor(canvas, r, mc[mcTopSelectedBorder]);
      canvas.Brush.style = TBrushStyle::bsClear;
      colour = mc[mcTopSelectedFont];
    }
    if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED))
      colour = TvexSkinEngine::DisabledMenuFontColor;
    canvas.Font().SetColor(colour);
    canvas.DrawText(text, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  canvas.Brush.style = TBrushStyle::bsSolid;
}

int TvexSkinWindow::MenuItemByMnemonic(wchar_t ch) const {
  HMENU menu = GetMenu(Handle());
  if (!menu) return -1;
  const wchar_t wanted = static_cast<wchar_t>(towupper(ch));
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    for (const wchar_t* p = text; *p; ++p) {
      if (*p != L'&') continue;
      if (p[1] == L'&') {
        ++p;
        continue;
      }
      if (p[1] && towupper(p[1]) == wanted) return i;
      break;
    }
  }
  return -1;
}

void TvexSkinWindow::TrackMenuItem(int index) {
  HMENU bar = GetMenu(Handle());
  if (!bar) return;
  const std::shared_ptr<bool> alive = FAlive;
  const HWND owner = Handle();
  SendMessageW(owner, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  if (!*alive) return;
  host::TMenuBarItems items;
  items.count = static_cast<int>(MenuItemRects().size());
  // Items that are disabled or have no popup are passed over.
  items.popup = [bar](int i) -> HMENU {
    if (GetMenuState(bar, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) return nullptr;
    return GetSubMenu(bar, i);
  };
  items.screenRect = [this, owner](int i) {
    const std::vector<RECT> rects = MenuItemRects();
    RECT r = i < static_cast<int>(rects.size()) ? rects[static_cast<std::size_t>(i)] : RECT{0, 0, 0, 0};
    RECT wr;
    GetWindowRect(owner, &wr);
    OffsetRect(&r, wr.left, wr.top);
    return r;
  };
  items.shown = [this, alive](int i) {
    if (!*alive) return;
    FMenuOpen = i;
    PaintFrame();
  };
  if (index < 0 || index >= items.count) return;
  if (host::TrackMenuBar(owner, index, items) >= 0) return;
  // An enabled item without a popup is a command.
  if (!(GetMenuState(bar, static_cast<UINT>(index), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) && !GetSubMenu(bar, index))
    PostMessageW(owner, WM_COMMAND, GetMenuItemID(bar, index), 0);
}

bool TvexSkinWindow::MenuBandMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_SYSCOMMAND: {
      if ((m.WParam & 0xFFF0) != SC_KEYMENU) return false;
      const wchar_t ch = static_cast<wchar_t>(LOWORD(m.LParam));
      // Alt+Space opens the system menu the window had: skinning took its WS_SYSMENU, so the
      // system would open none.
      if (ch == L' ' && (FStrippedStyle & WS_SYSMENU)) {
        ShowSystemMenuAtIcon();
        return true;
      }
      // Alt and Alt with a letter reach the menu bar in the frame.
      if (NativeMenuHeight() > 0) {
        const int index = ch ? MenuItemByMnemonic(ch) : 0;
        if (index >= 0) TrackMenuItem(index);
        return true;
      }
      return false;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      // The menu bar in the frame is the frame's: the system would track it at its own places.
      if (m.WParam != HTMENU || NativeMenuHeight() <= 0) return false;
      FPressed = false;
      POINT p;
      RECT wr;
      GetCursorPos(&p);
      GetWindowRect(Handle(), &wr);
      const std::vector<RECT> items = MenuItemRects();
      const POINT at{p.x - wr.left, p.y - wr.top};
      for (std::size_t i = 0; i < items.size(); ++i)
        if (m.Msg == WM_NCLBUTTONDOWN && PtInRect(&items[i], at)) {
          TrackMenuItem(static_cast<int>(i));
          break;
        }
      m.Result = 0;
      return true;
    }
    default:
      return false;
  }
}

// ----- native windows -----

TvexSkinWindowWnd::TvexSkinWindowWnd(HWND handle, bool isDialog, TvexSkinEngine* engine)
    : TvexSkinWindow(nullptr, engine, StaticClass()) {
  if (TCustomForm* form = utils::FindFormByHandle(handle); form && form->Tag() == engine->DisabledTag()) FEnabled = false;
  FCreatedByHook = isDialog;
  Attach(handle);
  try {
    // A window opted out is never touched: no control wrappers, no size or style change.
    if (FEnabled) AttachControls();
    SetSkinned(FSkinned);
  } catch (...) {
    // The window is left exactly as it was.
    FDestroying = true;
    *FAlive = false;
    try {
      if (FInitialised && IsWindow(FHandle)) {
        FSkinned = false;
        UpdateSkinState();
      }
    } catch (...) {
    }
    DetachControls();
    Detach();
    throw;
  }
}

TvexSkinWindowWnd::~TvexSkinWindowWnd() { DestroyingNow(); }

std::wstring TvexSkinWindowWnd::GetCaptionW() const { return utils::GetWindowTextUnicode(FHandle); }

LRESULT CALLBACK TvexSkinWindowWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR data) {
  auto* self = reinterpret_cast<TvexSkinWindowWnd*>(data);
  if (msg == WM_NCDESTROY) {
    // The last message of the window: the wrapper goes with it, whatever the engine's state.
    self->FWindowDying = true;
    host::RemoveSubclass(wnd, SubclassProc, sidFrame);
    self->attached_ = false;
    const LRESULT result = host::DefSubclass(wnd, msg, wParam, lParam);
    TvexSkinEngine* engine = self->FEngine;
    GuardCallback([&] { engine->DetachWindow(wnd); });
    return result;
  }
  TMessage m{msg, wParam, lParam, 0};
  GuardCallback([&] { self->FrameWndProc(m); });
  return m.Result;
}

void TvexSkinWindowWnd::Attach(HWND handle) {
  FHandle = handle;
  FStrippedStyle = 0;
  FHeightFixed = FShellFileDialog = FFolderBrowser = false;
  attached_ = host::SetSubclass(handle, SubclassProc, sidFrame, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void TvexSkinWindowWnd::Detach() {
  if (!attached_) return;
  attached_ = false;
  host::RemoveSubclass(FHandle, SubclassProc, sidFrame);
  if (IsWindow(FHandle))
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (FInnerDialog) {
    host::RemoveSubclass(FInnerDialog, InnerDialogProc, sidInnerDialog);
    if (IsWindow(FInnerDialog))
      SetWindowPos(FInnerDialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    FInnerDialog = nullptr;
  }
}

void TvexSkinWindowWnd::CallDefault(TMessage& m) { m.Result = host::DefSubclass(FHandle, m.Msg, m.WParam, m.LParam); }

void TvexSkinWindowWnd::CaptureFrameMetrics() {
  RECT cr, wr;
  GetClientRect(FHandle, &cr);
  GetWindowRect(FHandle, &wr);
  FSavedClientHeight = cr.bottom;
  FSavedClientWidth = cr.right;
  POINT origin{0, 0};
  ClientToScreen(FHandle, &origin);
  FNativeTop = origin.y - wr.top;
  // A menu bar is no part of the caption: the frame keeps it in a band of its own below the title.
  FMenuHeight = MeasureNativeMenu(FNativeTop);
  FNativeTop -= FMenuHeight;
  FFrameBottom = 4;
  FFrameSide = 4;
}

namespace {

std::wstring UpperClassName(HWND wnd) {
  wchar_t buf[100];
  const int n = GetClassNameW(wnd, buf, 100);
  std::wstring name(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
  for (auto& ch : name) ch = static_cast<wchar_t>(towupper(ch));
  return name;
}

}  // namespace

void TvexSkinWindowWnd::AttachControls() {
  // Whether the window holds an animation or progress control is known before any button is
  // wrapped, whatever the z-order of the children.
  for (HWND child = GetTopWindow(FHandle); child && !FHasAnimation; child = GetWindow(child, GW_HWNDNEXT))
    FHasAnimation = IsAnimationOrProgress(child);
  WrapChildren(FHandle, false);
}

std::size_t TvexSkinWindowWnd::WrapChildren(HWND parent, bool refresh) {
  std::size_t made = 0;
  for (HWND child = GetTopWindow(parent); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_CHILD)) continue;
    // The file list of a file dialog lives inside the shell's view window, and the controls of a
    // child dialog (a property page, a dialog's own sub-dialog) inside it: they are the window's
    // controls too.
    const std::wstring cls = UpperClassName(child);
    if ((parent == FHandle && cls == L"SHELLDLL_DEFVIEW") || cls == L"#32770") made += WrapChildren(child, refresh);
    if (SendMessageW(child, SKM_QUERYSKINNED, 0, 0) == 1) continue;
    if (TvexSkinControlWnd* w = CreateWindowWrapper(child, this)) {
      FControls.emplace_back(w);
      ++made;
      // A control wrapped after the window was shown shows the skin at once.
      if (refresh) w->UpdateSkinState();
    }
  }
  return made;
}

UINT TvexSkinWindowWnd::WrapControlsMessage() {
  static const UINT message = RegisterWindowMessageW(L"vexskin.WrapControls");
  return message;
}

void TvexSkinWindow::StripSystemMenu() {
  HWND h = Handle();
  const DWORD style = h ? static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)) : 0;
  if (!(style & WS_SYSMENU)) return;
  FStrippedStyle |= WS_SYSMENU;
  SetWindowLongW(h, GWL_STYLE, static_cast<LONG>(style & ~WS_SYSMENU));
}

void TvexSkinWindow::RestoreStrippedStyle() {
  HWND h = Handle();
  if (!FStrippedStyle || !h) return;
  SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | static_cast<LONG>(FStrippedStyle));
  FStrippedStyle = 0;
}

void TvexSkinWindow::DetachControls() {
  // Last made, first gone: a framework control's wrapper gives its control the procedure it found.
  while (!FControls.empty()) {
    std::unique_ptr<TvexSkinControl> w = std::move(FControls.back());
    FControls.pop_back();
    if (w) w->Detach();
  }
}

void TvexSkinWindow::RefreshControls() {
  // By index, checked each time: a refresh may destroy a control, and its wrapper leaves the list.
  for (std::size_t i = 0; i < FControls.size(); ++i) {
    TvexSkinControl* w = FControls[i].get();
    try {
      w->UpdateSkinState();
      if (i < FControls.size() && FControls[i].get() == w) w->Refresh();
    } catch (...) {
      // One wrapper's failure leaves the others to refresh.
    }
  }
}

void TvexSkinWindowWnd::UpdateSkinState() {
  if (!FDestroying) RefreshControls();
  if (FDestroying && FSkinned) return;
  // A window opted out, or one on its way out, is not touched.
  if (!FEnabled || FWindowDying || !IsWindow(FHandle)) return;
  const std::shared_ptr<bool> alive = FAlive;
  // A wrapper being destroyed has given up its token already, and its owner holds it until the
  // window is given back: then only the window's own end stops the work.
  const bool destroying = FDestroying;
  const auto lost = [&] { return (!destroying && !*alive) || !IsWindow(FHandle); };
  if (FSkinned) {
    StripSystemMenu();
    ApplySizeDelta(SkinnedSizeDelta());
  } else {
    RestoreStrippedStyle();
    ApplySizeDelta(SIZE{0, 0});
    if (lost()) return;
    SetWindowRgn(FHandle, nullptr, TRUE);
  }
  if (lost()) return;
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // The background and the text colours the window gives its controls change with the skin:
  // the client area and the controls paint again.
  if (!lost()) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE TvexSkinWindowWnd::SkinnedSizeDelta() const {
  const TSkinMetrics& sm = Metrics();
  return SIZE{sm.LeftBorderWidth + sm.RightBorderWidth, TitleHeight() + MenuBarHeight() + std::max(Px(4), sm.BottomBorderHeight) - FNativeTop};
}

void TvexSkinWindowWnd::RecordSkinnedSize() {
  HWND h = FHandle;
  // A window whose height the system held had more added after (AfterMessage): its figure stays
  // the scaled one. Minimized or maximized, the restored size is the system's to scale.
  if (!FSkinned || FHeightFixed || !h || IsIconic(h) || IsZoomed(h)) return;
  FAppliedSize = SkinnedSizeDelta();
}

DWORD TvexSkinWindowWnd::OwnStyle() const {
  return static_cast<DWORD>(GetWindowLongW(FHandle, GWL_STYLE)) | FStrippedStyle;
}

bool TvexSkinWindowWnd::IsDialogWindow() const {
  // The system's dialog class is the atom 32770 ("#32770").
  return GetClassLongPtrW(FHandle, GCW_ATOM) == 32770;
}

bool TvexSkinWindowWnd::HasSystemIcon() const {
  const DWORD style = OwnStyle();
  const DWORD ex = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_EXSTYLE));
  return (style & WS_SYSMENU) && !(ex & (WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW));
}

bool TvexSkinWindowWnd::HasCloseButton() const {
  if (!(OwnStyle() & WS_SYSMENU)) return false;
  if (GetClassLongPtrW(FHandle, GCL_STYLE) & CS_NOCLOSE) return false;
  // A system menu whose close item is missing or disabled (a message box without a Cancel button)
  // means no close button.
  // The system's message boxes without a Cancel or OK button (Yes/No, Abort/Retry/Ignore) cannot
  // be closed: Windows disables their close item. Wine leaves it on, so the buttons decide here.
  if (IsDialogWindow() && !GetDlgItem(FHandle, IDCANCEL) && !GetDlgItem(FHandle, IDOK) &&
      (GetDlgItem(FHandle, IDYES) || GetDlgItem(FHandle, IDABORT)))
    return false;
  HMENU menu = ::GetSystemMenu(FHandle, FALSE);
  if (!menu) return true;
  const UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_DISABLED | MF_GRAYED));
}

bool TvexSkinWindowWnd::HasMaximizeButton() const {
  const DWORD style = OwnStyle();
  const DWORD ex = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_EXSTYLE));
  return (style & WS_SYSMENU) && (style & WS_MAXIMIZEBOX) && !(ex & WS_EX_TOOLWINDOW);
}

bool TvexSkinWindowWnd::HasMinimizeButton() const {
  const DWORD style = OwnStyle();
  const DWORD ex = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_EXSTYLE));
  return (style & WS_SYSMENU) && (style & WS_MINIMIZEBOX) && !(ex & WS_EX_TOOLWINDOW);
}

LRESULT SkinStaticColours(TvexSkinEngine& engine, HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  const TColor c = engine.GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
  if (c >= 0) SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(c)));
  return reinterpret_cast<LRESULT>(engine.SkinMetrics().FormBrush.Get());
}

LRESULT CALLBACK TvexSkinWindowWnd::InnerDialogProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                    DWORD_PTR data) {
  auto* self = reinterpret_cast<TvexSkinWindowWnd*>(data);
  if (self->FEngine->IsSkinActive()) {
    if (msg == WM_CTLCOLORDLG) return reinterpret_cast<LRESULT>(self->Metrics().FormBrush.Get());
    if (msg == WM_CTLCOLORMSGBOX || msg == WM_CTLCOLORSTATIC) return SkinStaticColours(*self->FEngine, reinterpret_cast<HDC>(wParam));
  }
  return host::DefSubclass(wnd, msg, wParam, lParam);
}

void TvexSkinWindowWnd::InspectDialog() {
  bool defView = false, toolbar = false, listbox = false;
  for (HWND child = GetTopWindow(FHandle); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[100];
    GetClassNameW(child, cls, 100);
    std::wstring name = cls;
    for (auto& ch : name) ch = static_cast<wchar_t>(towupper(ch));
    if (name == L"SHELLDLL_DEFVIEW") defView = true;
    if (name == L"TOOLBARWINDOW32") toolbar = true;
    if (name == L"LISTBOX") listbox = true;
    if (name == L"SHBROWSEFORFOLDER SHELLNAMESPACE CONTROL") FFolderBrowser = true;
    if (FFolderBrowser && name == L"SCROLLBAR") ShowWindow(child, SW_HIDE);
    if (name == L"#32770") {
      FInnerDialog = child;
      break;
    }
  }
  FShellFileDialog = defView && toolbar && listbox;
  if (FInnerDialog) host::SetSubclass(FInnerDialog, InnerDialogProc, sidInnerDialog, reinterpret_cast<DWORD_PTR>(this));
}

bool TvexSkinWindowWnd::BeforeMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
      // The wrapper itself goes at WM_NCDESTROY, after the window's children.
      FWindowDying = true;
      if (FTitleCapture) EndTitleCapture();
      LastDestroyedDialog() = FHandle;
      return true;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_KEYMENU) return !MenuBandMessage(m);
      if ((m.WParam & 0xFFF0) != SC_CLOSE) return true;
      // A window without a close button cannot be closed from its frame (a message box with only
      // Yes and No, a class with CS_NOCLOSE, a system menu without its close item).
      if (!HasCloseButton()) return false;
      // A framework form closes through its own Close; a window that is not a dialog closes the
      // system's way.
      if (utils::FindFormByHandle(FHandle) || !IsDialogWindow()) return true;
      // A dialog is cancelled as the dialog manager would: not while its Cancel button is
      // disabled.
      if (HWND cancel = GetDlgItem(FHandle, IDCANCEL); cancel && !IsWindowEnabled(cancel)) return false;
      PostMessageW(FHandle, WM_COMMAND, IDCANCEL, 0);
      return false;
    case WM_SHOWWINDOW:
      InspectDialog();
      return true;
    case WM_PARENTNOTIFY:
      // A child made while the window is skinned (a file dialog makes a new shell view for every
      // folder it shows) is wrapped once its creation is over.
      if (LOWORD(m.WParam) == WM_CREATE && FEnabled && !FWindowDying && !FWrapPosted)
        FWrapPosted = PostMessageW(FHandle, WrapControlsMessage(), 0, 0) != FALSE;
      return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return !MenuBandMessage(m);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSTATIC:
      m.Result = SkinStaticColours(*FEngine, reinterpret_cast<HDC>(m.WParam));
      return false;
    case WM_SIZE:
      if ((utils::IsWinVista() && FShellFileDialog) || FFolderBrowser) {
        CallDefault(m);
        UpdateRegion();
        return false;
      }
      return true;
    default:
      if (m.Msg == WrapControlsMessage() && m.Msg != 0) {
        FWrapPosted = false;
        if (FEnabled && !FWindowDying && FEngine->IsSkinActive()) WrapChildren(FHandle, true);
        return false;
      }
      return true;
  }
}

void TvexSkinWindowWnd::AfterMessage(TMessage& m) {
  if (m.Msg != WM_SIZE) return;
  RECT cr;
  GetClientRect(FHandle, &cr);
  if (!FMoving && !IsZoomed(FHandle) && cr.bottom < FSavedClientHeight && cr.right > 1.5 * FSavedClientWidth && !FHeightFixed) {
    FHeightFixed = true;
    const TSkinMetrics& sm = Metrics();
    const int extra = TitleHeight() + MenuBarHeight() + sm.BottomBorderHeight - FNativeTop;
    // Part of what skinning applied: unskinning takes it back too.
    ApplySizeDelta(SIZE{FAppliedSize.cx, FAppliedSize.cy + extra});
    if (!IsWindow(FHandle)) return;
  }
  UpdateRegion();
}

}  // namespace vex::engine
