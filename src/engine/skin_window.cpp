#include "engine/skin_window.h"
#include "engine/skin_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "engine/skin_engine.h"
#include "host/application.h"
#include "host/canvas.h"
#include "host/form.h"
#include "skin2/skin_keys.h"
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
    if (FEngine) {
      auto& frames = FEngine->FrameList();
      frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
      if (FEngine->SystemMenuTarget == this) FEngine->SystemMenuTarget = nullptr;
    }
    if (Handle() && IsWindow(Handle())) SetSkinned(false);
    DetachControls();
    Detach();
  }
  TComponent::BeforeDestruction();
}

std::wstring TvexSkinWindow::GetCaptionW() const { return L""; }

int TvexSkinWindow::TitleHeight() const {
  return FShowTitle && FSkinned && FEngine ? FEngine->SkinMetrics().TitleBarHeight : 0;
}

void TvexSkinWindow::SetSkinned(bool value) {
  FSkinned = FEnabled && value;
  if (FInitialised) {
    UpdateSkinState();
    if (FSkinned) UpdateRegion();
  } else if (Handle() && (IsWindowVisible(Handle()) || InitWhenHidden())) {
    InitFrame();
  }
}

void TvexSkinWindow::InitFrame() {
  CaptureFrameMetrics();
  FInitialised = true;
  SetSkinned(FSkinned);
}

void TvexSkinWindow::ApplySkinSwitches() {
  utils::TvexSkinReader* r = FEngine->CurrentReader();
  FTitleRegion = r->GetSwitch(keys::switches::SKIN2_TITLEBARNEEDREGION);
  FBottomRegion = r->GetSwitch(keys::switches::SKIN2_BOTTOMBORDERNEEDREGION);
  FTitleBuffer.SetTransparent(FTitleRegion);
  FBottomBuffer.SetTransparent(FBottomRegion);
  const TColor t = FEngine->SkinMetrics().TransparentColor;
  FTitleBuffer.SetTransparentColor(t);
  FBottomBuffer.SetTransparentColor(t);
  auto composite = [](bool on, std::unique_ptr<TBitmap>& c) {
    if (on && !c) {
      c = std::make_unique<TBitmap>();
      c->SetPixelFormat(TPixelFormat::pf24bit);
    } else if (!on) {
      c.reset();
    }
  };
  composite(FTitleRegion, FTitleComposite);
  composite(FBottomRegion, FBottomComposite);
  if (FEngine->IsSkinActive() && FSkinned && FInitialised) {
    PaintFrame();
    UpdateRegion();
  }
}

image::TFrameSkin TvexSkinWindow::FrameSkin() const {
  utils::TvexSkinReader* r = FEngine->CurrentReader();
  const TSkinMetrics& m = FEngine->SkinMetrics();
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
  utils::TvexSkinReader* r = FEngine->CurrentReader();
  const TSkinMetrics& m = FEngine->SkinMetrics();
  const image::TFrameSkin skin = FrameSkin();
  const image::TTitleWindow tw = TitleWindow();
  const int W = tw.width, H = tw.height;
  const int TH = TitleHeight();
  const int BL = m.LeftBorderWidth, BR = m.RightBorderWidth, BB = m.BottomBorderHeight;
  const int MH = MenuBarHeight();
  const bool zoomedChild = IsMDIChild() && tw.zoomed;
  TWindowCanvas canvas(Handle(), TWindowDC::TKind::Whole);
  bool minimized = false;

  if (FShowTitle && !zoomedChild) {
    const int bufH = std::max(TH, FNativeTop);
    FTitleBuffer.SetSize(W, bufH);
    TCanvas& tc = FTitleBuffer.Canvas();
    utils::FillRectColor(tc, RECT{0, 0, W, TH}, m.FormColor);
    if (TH < FNativeTop) utils::FillRectColor(tc, RECT{0, TH, W, FNativeTop}, MH >= 1 ? m.MenuColors[mcMenuBarStart] : m.FormColor);
    const image::TTitleLayout layout = image::LayoutTitle(skin, tw);
    std::wstring caption = GetCaptionW();
    utils::AssignCaptionFont(tc.Font());
    minimized = tw.minimized;
    const TBitmap* t1 = r->GetBitmap(keys::bitmap::SKIN2_TITLEBAR1);
    if (minimized) {
      if (const TBitmap* mt = r->GetBitmap(keys::bitmap::SKIN2_MINIMIZEDTITLE)) tc.StretchDraw(RECT{0, 0, W, H}, *mt);
      caption = utils::EllipsisTextW(tc, caption, layout.captionFitWidth);
    } else if (t1) {
      const bool five = skin.fiveSections;
      const TBitmap* right = r->GetBitmap(five ? keys::bitmap::SKIN2_TITLEBAR5 : keys::bitmap::SKIN2_TITLEBAR3);
      const int rw = right ? right->Width() : 0;
      if (right) tc.Draw(W - rw, 0, *right);
      const int E = W - rw;
      tc.Draw(0, 0, *t1);
      int x = t1->Width();
      caption = utils::EllipsisTextW(tc, caption, layout.captionFitWidth);
      const TBitmap* filler = r->GetBitmap(five ? keys::bitmap::SKIN2_TITLEBAR4 : keys::bitmap::SKIN2_TITLEBAR2);
      if (five) {
        const TBitmap* t2 = r->GetBitmap(keys::bitmap::SKIN2_TITLEBAR2);
        const TBitmap* t3 = r->GetBitmap(keys::bitmap::SKIN2_TITLEBAR3);
        const int captionX0 = skin.iconX + 20;
        const int CR = captionX0 + tc.TextWidth(caption);
        // A short caption without an icon would invert the stretch; it then draws nothing.
        if (t2 && CR + 2 > t1->Width()) tc.StretchDraw(RECT{t1->Width(), 0, CR + 2, t2->Height()}, *t2);
        if (t3) {
          tc.Draw(CR + 2, 0, *t3);
          x = CR + 2 + t3->Width();
        }
      }
      if (filler && x < E) tc.StretchDraw(RECT{x, 0, E, filler->Height()}, *filler);
      int fillerHeight = filler ? filler->Height() : 0;
      if (layout.narrow && right) {
        if (W - rw > BL) {
          tc.Draw(W - rw, 0, *right);
        } else {
          RECT dst{BL, 0, W, bufH};
          RECT src{rw - W + BL, 0, rw, right->Height()};
          tc.CopyRect(dst, const_cast<TBitmap*>(right)->Canvas(), src);
        }
        tc.StretchDraw(RECT{BL, 0, std::max(BL, W - rw), bufH}, *t1);
        fillerHeight = t1->Height();
      }
      if (fillerHeight < bufH) {
        if (FShowBorders)
          utils::FillRectColor(tc, RECT{BL, fillerHeight + FExtraTop, W - BR, bufH}, m.FormColor);
        else
          utils::FillRectColor(tc, RECT{0, fillerHeight, W, bufH}, m.FormColor);
      }
    }

    // Icon and title buttons, with the element under the cursor.
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(Handle(), &cursor);
    cursor.x += BL;
    cursor.y += TH;
    FHotButton = image::HitTitleElement(layout, skin, tw, cursor.x, cursor.y);
    FMaximizeDrawn = FMinimizeDrawn = FCloseDrawn = false;
    if (tw.hasSystemIcon) {
      HICON icon = IconHandle();
      if (!icon && Application().Icon().Handle()) icon = Application().Icon().Handle();
      if (!icon) icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 16, 16, LR_SHARED));
      if (icon) DrawIconEx(tc.Handle(), layout.iconX, layout.iconY, icon, 16, 16, 0, nullptr, DI_NORMAL);
    }
    const TBitmap* strip = r->GetBitmap(keys::bitmap::SKIN2_TITLEBUTTONS);
    const bool buttonsTransparent = r->GetSwitch(keys::switches::SKIN2_TITLEBTNTRANS);
    for (const image::TTitleButton& b : layout.buttons) {
      if (b.element == image::teClose) FCloseDrawn = true;
      if (b.element == image::teMaximize) FMaximizeDrawn = true;
      if (b.element == image::teMinimize) FMinimizeDrawn = true;
      if (!strip) continue;
      int slice = b.firstSlice;
      if (FHotButton == b.element) slice += FPressed ? 2 : 1;
      // Straight from the strip: no slice bitmap per button and paint.
      const int sw = strip->Width() / 18;
      HDC src = const_cast<TBitmap*>(strip)->Canvas().Handle();
      if (buttonsTransparent)
        TransparentBlt(tc.Handle(), b.rect.left, b.rect.top, sw, strip->Height(), src, (slice - 1) * sw, 0, sw, strip->Height(),
                       static_cast<UINT>(ColorToRGB(m.TransparentColor)));
      else
        BitBlt(tc.Handle(), b.rect.left, b.rect.top, sw, strip->Height(), src, (slice - 1) * sw, 0, SRCCOPY);
    }
    FButtonsLeft = layout.buttonsLeft;

    // Caption text.
    tc.Brush.style = TBrushStyle::bsClear;
    tc.Font().SetColor(FActive ? m.TitleFontColor : TvexSkinEngine::InactiveTitleFontColor);
    const int cx = FCaptionLeft >= 0 ? FCaptionLeft : layout.captionX;
    RECT cr{cx, layout.captionY, 2048, 100};
    if (!caption.empty()) tc.DrawText(caption, cr, DT_SINGLELINE | DT_NOPREFIX);
    tc.Brush.style = TBrushStyle::bsSolid;

    // Out to the window, through the composite when the title shapes the region.
    if (FTitleRegion && FTitleComposite) {
      FTitleComposite->SetSize(W, bufH);
      utils::FillRectColor(FTitleComposite->Canvas(), RECT{0, 0, W, bufH}, m.FormColor);
      FTitleComposite->Canvas().Draw(0, 0, FTitleBuffer);
      BitBlt(canvas.Handle(), 0, 0, W, bufH, FTitleComposite->Canvas().Handle(), 0, 0, SRCCOPY);
    } else {
      BitBlt(canvas.Handle(), 0, 0, W, bufH, tc.Handle(), 0, 0, SRCCOPY);
    }
  }

  if (FShowBorders && !minimized) {
    int TO = TH;
    if (zoomedChild) {
      TO = 0;
      if (TCustomForm* main = Application().MainForm(); main && main->HandleAllocated())
        PostMessageW(main->Handle(), SKM_MDICHILDZOOMED, 0, 0);
    }
    if (const TBitmap* left = r->GetBitmap(keys::bitmap::SKIN2_FORMLEFTBORDER)) canvas.StretchDraw(RECT{0, TO, BL, H - BB}, *left);
    if (const TBitmap* right = r->GetBitmap(keys::bitmap::SKIN2_FORMRIGHTBORDER))
      canvas.StretchDraw(RECT{W - BR, TO, W, H - BB}, *right);
    const TBitmap* b1 = r->GetBitmap(keys::bitmap::SKIN2_FORMBOTTOMBORDER1);
    if (b1) {
      FBottomBuffer.SetSize(W, b1->Height());
      TCanvas& bc = FBottomBuffer.Canvas();
      if (r->GetSwitch(keys::switches::SKIN2_BOTTOMBORDERTHREESECT)) {
        const TBitmap* b2 = r->GetBitmap(keys::bitmap::SKIN2_FORMBOTTOMBORDER2);
        const TBitmap* b3 = r->GetBitmap(keys::bitmap::SKIN2_FORMBOTTOMBORDER3);
        bc.Draw(0, 0, *b1);
        if (b3) bc.Draw(W - b3->Width(), 0, *b3);
        if (b2) bc.StretchDraw(RECT{b1->Width(), 0, W - (b3 ? b3->Width() : 0), b1->Height()}, *b2);
      } else {
        utils::PaintThreeCells(*b1, bc, RECT{0, 0, W, b1->Height()}, false, m.TransparentColor);
      }
      const TBitmap* out = &FBottomBuffer;
      if (FBottomRegion && FBottomComposite) {
        FBottomComposite->SetSize(W, b1->Height());
        utils::FillRectColor(FBottomComposite->Canvas(), RECT{0, 0, W, b1->Height()}, m.FormColor);
        FBottomComposite->Canvas().Draw(0, 0, FBottomBuffer);
        out = FBottomComposite.get();
      }
      BitBlt(canvas.Handle(), 0, H - BB, out->Width(), out->Height(), const_cast<TBitmap*>(out)->Canvas().Handle(), 0, 0, SRCCOPY);
    }
  }

  // Frame areas the skin's bitmaps do not cover.
  if (BL < FFrameSide) utils::FillRectColor(canvas, RECT{BL, MH + TH, FFrameSide, H - BB}, m.FormColor);
  if (BB < FFrameBottom) utils::FillRectColor(canvas, RECT{BL, H - FFrameBottom, W - BR, H - BB}, m.FormColor);
  if (BR < FFrameSide) utils::FillRectColor(canvas, RECT{W - FFrameSide, MH + TH, W - BR, H - BB}, m.FormColor);
}

void TvexSkinWindow::UpdateRegion() {
  if (!Handle() || utils::IsWin95() || !CanSetRegion() || FEngine->Designing()) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  const int W = r.right - r.left, H = r.bottom - r.top;
  if (!FTitleRegion && !FBottomRegion) {
    SetWindowRgn(Handle(), CreateRectRgn(0, 0, W, H), TRUE);
    return;
  }
  const TSkinMetrics& m = FEngine->SkinMetrics();
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
  const TSkinMetrics& sm = FEngine->SkinMetrics();
  const int TH = TitleHeight();
  RECT& r = p->rgrc[0];
  const bool zoomedChild = IsMDIChild() && IsZoomed(Handle());
  if (TH == 0 && !zoomedChild) {
    r.top = pos->y;
  } else if (zoomedChild) {
    r.top = 0;
  } else if (FNativeTop > 0) {
    FExtraTop = std::max(FNativeTop - TH, 0);
    r.top = pos->y + std::max(TH, FNativeTop);
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
    r.left = pos->x + std::max(sm.LeftBorderWidth, 4);
    r.right = pos->x + pos->cx - std::max(sm.RightBorderWidth, 4);
    r.bottom = pos->y + pos->cy - std::max(sm.BottomBorderHeight, 4);
  }
  p->rgrc[1] = p->rgrc[0];
  m.Result = WVR_REDRAW;
}

void TvexSkinWindow::AdjustHitTest(TMessage& m) {
  const TSkinMetrics& sm = FEngine->SkinMetrics();
  if (sm.ButtonPosY >= 4 || (m.Result != HTTOP && m.Result != HTTOPRIGHT)) return;
  POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  ScreenToClient(Handle(), &p);
  p.x += sm.LeftBorderWidth;
  p.y += sm.TitleBarHeight;
  RECT wr;
  GetWindowRect(Handle(), &wr);
  const int W = wr.right - wr.left;
  if (p.y < 8 && p.y >= sm.ButtonPosY && p.x >= FButtonsLeft && p.x <= W - sm.ButtonPosX) m.Result = HTCAPTION;
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
  if (IsIconic(Handle())) p.y += 24 - FEngine->SkinMetrics().TitleBarHeight;
  FEngine->GetSystemMenu()->Popup(p.x, p.y);
}

void TvexSkinWindow::ShowSystemMenuAt(POINT screen) {
  FEngine->SystemMenuTarget = this;
  FEngine->GetSystemMenu()->Popup(screen.x, screen.y);
}

void TvexSkinWindow::FrameWndProc(TMessage& m) {
  if (m.Msg == WM_PAINT && !FInitialised && !InitWhenHidden()) InitFrame();
  if (m.Msg == WM_NULL) return;
  if (!FEngine->IsSkinActive() || !FEnabled) {
    if (m.Msg == WM_SIZE) SaveClientSize();
    CallDefault(m);
    return;
  }
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
      if (FHotButton != -1) m.WParam = HTNOWHERE;
      SetActiveWindow(Handle());
      break;
    }
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
      m.Result = reinterpret_cast<LRESULT>(FEngine->SkinMetrics().FormBrush.Get());
      return;
    default:
      break;
  }
  if (!BeforeMessage(m)) return;
  CallDefault(m);
  if (m.Msg == WM_DESTROY || m.Msg == WM_ACTIVATEAPP || m.Msg == WM_COMMAND || m.Msg == WM_SYSCOMMAND || m.Msg == CM_RELEASE)
    return;
  AfterMessage(m);
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
      if (m.WParam == HTCAPTION) {
        if (FPressed) {
          PaintFrame();
          if (FHotButton == -1) FPressed = false;
        }
        PaintFrame();
      }
      break;
    case WM_NCLBUTTONUP:
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

// ----- native windows -----

TvexSkinWindowWnd::TvexSkinWindowWnd(HWND handle, bool isDialog, TvexSkinEngine* engine)
    : TvexSkinWindow(nullptr, engine, StaticClass()) {
  if (TCustomForm* form = utils::FindFormByHandle(handle); form && form->Tag() == engine->DisabledTag()) FEnabled = false;
  FCreatedByHook = isDialog;
  Attach(handle);
  AttachControls();
  SetSkinned(FSkinned);
}

TvexSkinWindowWnd::~TvexSkinWindowWnd() { DestroyingNow(); }

std::wstring TvexSkinWindowWnd::GetCaptionW() const { return utils::GetWindowTextUnicode(FHandle); }

LRESULT CALLBACK TvexSkinWindowWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR data) {
  auto* self = reinterpret_cast<TvexSkinWindowWnd*>(data);
  TMessage m{msg, wParam, lParam, 0};
  try {
    self->FrameWndProc(m);
  } catch (const std::exception& e) {
    HandleWindowProcException(&e);
  } catch (...) {
    HandleWindowProcException(nullptr);
  }
  return m.Result;
}

void TvexSkinWindowWnd::Attach(HWND handle) {
  FHandle = handle;
  FRestoreStyle = static_cast<DWORD>(GetWindowLongW(handle, GWL_STYLE));
  FRestoreStyleRead = false;
  FHeightFixed = FShellFileDialog = FFolderBrowser = false;
  attached_ = SetWindowSubclass(handle, SubclassProc, sidFrame, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void TvexSkinWindowWnd::Detach() {
  if (!attached_) return;
  attached_ = false;
  RemoveWindowSubclass(FHandle, SubclassProc, sidFrame);
  if (IsWindow(FHandle))
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (FInnerDialog) {
    RemoveWindowSubclass(FInnerDialog, InnerDialogProc, sidInnerDialog);
    if (IsWindow(FInnerDialog))
      SetWindowPos(FInnerDialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    FInnerDialog = nullptr;
  }
}

void TvexSkinWindowWnd::CallDefault(TMessage& m) { m.Result = DefSubclassProc(FHandle, m.Msg, m.WParam, m.LParam); }

void TvexSkinWindowWnd::CaptureFrameMetrics() {
  FInitialStyle = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_STYLE));
  if (!FRestoreStyleRead) FRestoreStyle = FInitialStyle;
  RECT cr, wr;
  GetClientRect(FHandle, &cr);
  GetWindowRect(FHandle, &wr);
  FSavedClientHeight = cr.bottom;
  FSavedClientWidth = cr.right;
  POINT origin{0, 0};
  ClientToScreen(FHandle, &origin);
  FNativeTop = origin.y - wr.top;
  FFrameBottom = 4;
  FFrameSide = 4;
}

void TvexSkinWindowWnd::AttachControls() {
  // Whether the window holds an animation or progress control is known before any button is
  // wrapped, whatever the z-order of the children.
  for (HWND child = GetTopWindow(FHandle); child && !FHasAnimation; child = GetWindow(child, GW_HWNDNEXT))
    FHasAnimation = IsAnimationOrProgress(child);
  for (HWND child = GetTopWindow(FHandle); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_CHILD)) continue;
    if (SendMessageW(child, SKM_QUERYSKINNED, 0, 0) == 1) continue;
    if (TvexSkinControlWnd* w = CreateWindowWrapper(child, this)) FControls.push_back(w);
  }
}

void TvexSkinWindowWnd::DetachControls() {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), nullptr), FControls.end());
  while (!FControls.empty()) {
    TvexSkinControl* w = FControls.back();
    FControls.pop_back();
    w->Detach();
    delete w;
  }
}

void TvexSkinWindowWnd::UpdateSkinState() {
  if (!FDestroying) {
    for (TvexSkinControl* w : FControls) {
      try {
        w->UpdateSkinState();
        w->Refresh();
      } catch (...) {
        // One wrapper's failure leaves the others to refresh.
      }
    }
  }
  if (FDestroying && FSkinned) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  const TSkinMetrics& sm = FEngine->SkinMetrics();
  const int BL = sm.LeftBorderWidth, BR = sm.RightBorderWidth, BB = sm.BottomBorderHeight;
  if (FSkinned) {
    SetWindowLongW(FHandle, GWL_STYLE, static_cast<LONG>(FInitialStyle & ~WS_SYSMENU));
    ::SetMenu(FHandle, nullptr);
    MoveWindow(FHandle, r.left, r.top, (r.right - r.left) + BL + BR,
               (r.bottom - r.top) + TitleHeight() + MenuBarHeight() + std::max(4, BB) - FNativeTop, TRUE);
  } else {
    SetWindowLongW(FHandle, GWL_STYLE, static_cast<LONG>(FRestoreStyle & ~WS_VISIBLE) | (GetWindowLongW(FHandle, GWL_STYLE) & WS_VISIBLE));
    const int TH0 = FShowTitle ? sm.TitleBarHeight : 0;
    MoveWindow(FHandle, r.left, r.top, (r.right - r.left) - BR - BL, (r.bottom - r.top) + FNativeTop - TH0 - MenuBarHeight() - BB, TRUE);
    SetWindowRgn(FHandle, nullptr, TRUE);
  }
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT CALLBACK TvexSkinWindowWnd::InnerDialogProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                    DWORD_PTR data) {
  auto* self = reinterpret_cast<TvexSkinWindowWnd*>(data);
  if (self->FEngine->IsSkinActive()) {
    HBRUSH brush = self->FEngine->SkinMetrics().FormBrush.Get();
    if (msg == WM_CTLCOLORDLG) return reinterpret_cast<LRESULT>(brush);
    if (msg == WM_CTLCOLORMSGBOX || msg == WM_CTLCOLORSTATIC) {
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(brush);
    }
  }
  return DefSubclassProc(wnd, msg, wParam, lParam);
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
  if (FInnerDialog) SetWindowSubclass(FInnerDialog, InnerDialogProc, sidInnerDialog, reinterpret_cast<DWORD_PTR>(this));
}

bool TvexSkinWindowWnd::BeforeMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!FRestoreStyleRead) {
        FRestoreStyle = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_STYLE));
        FRestoreStyleRead = true;
      }
      return true;
    case WM_DESTROY: {
      HWND h = FHandle;
      TvexSkinEngine* engine = FEngine;
      CallDefault(m);
      engine->DetachWindow(h);  // destroys this wrapper
      LastDestroyedDialog() = h;
      return false;
    }
    case WM_SYSCOMMAND:
      // A framework form closes through its own Close; a native dialog is cancelled instead.
      if ((m.WParam & 0xFFF0) == SC_CLOSE && !utils::FindFormByHandle(FHandle)) {
        PostMessageW(FHandle, WM_COMMAND, IDCANCEL, 0);
        return false;
      }
      return true;
    case WM_SHOWWINDOW:
      InspectDialog();
      return true;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSTATIC:
      m.Result = reinterpret_cast<LRESULT>(FEngine->SkinMetrics().FormBrush.Get());
      SetBkMode(reinterpret_cast<HDC>(m.WParam), TRANSPARENT);
      return false;
    case WM_SIZE:
      if ((utils::IsWinVista() && FShellFileDialog) || FFolderBrowser) {
        CallDefault(m);
        UpdateRegion();
        return false;
      }
      return true;
    default:
      return true;
  }
}

void TvexSkinWindowWnd::AfterMessage(TMessage& m) {
  if (m.Msg != WM_SIZE) return;
  RECT cr, r;
  GetClientRect(FHandle, &cr);
  GetWindowRect(FHandle, &r);
  if (!IsZoomed(FHandle) && cr.bottom < FSavedClientHeight && cr.right > 1.5 * FSavedClientWidth && !FHeightFixed) {
    FHeightFixed = true;
    const TSkinMetrics& sm = FEngine->SkinMetrics();
    MoveWindow(FHandle, r.left, r.top, r.right - r.left,
               (r.bottom - r.top) + TitleHeight() + MenuBarHeight() + sm.BottomBorderHeight - FNativeTop, TRUE);
  }
  UpdateRegion();
}

}  // namespace vex::engine
