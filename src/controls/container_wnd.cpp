#include "controls/container_wnd.h"

#include "controls/paint_message.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "controls/bar_ctrl.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/bitmap.h"
#include "host/canvas.h"
#include "host/gdi_handle.h"
#include "host/subclass.h"
#include "skin2/skin_keys.h"
#include "utils/back_buffer.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinWndToolbarWindow32::StaticClass() {
  static const TClassInfo info("TvexSkinWndToolbarWindow32", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndGroupBox::StaticClass() {
  static const TClassInfo info("TvexSkinWndGroupBox", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndStatic::StaticClass() {
  static const TClassInfo info("TvexSkinWndStatic", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndStatusBar::StaticClass() {
  static const TClassInfo info("TvexSkinWndStatusBar", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndChildDialog::StaticClass() {
  static const TClassInfo info("TvexSkinWndChildDialog", &TvexSkinControlWnd::StaticClass());
  return info;
}

namespace {

// Disabled text, as the wrappers draw captions of disabled controls.
constexpr COLORREF kDisabledText = RGB(128, 128, 128);

COLORREF Rgb(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)); }

COLORREF SkinRgb(const TvexSkinEngine& engine, int key) { return Rgb(engine.GetSkinColor(key)); }

void FillRgb(HDC dc, const RECT& r, COLORREF c) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  // The device context's own brush, in the colour asked for: nothing to create or release.
  const COLORREF old = SetDCBrushColor(dc, c);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, old);
}

// A one-pixel frame on the inside of r.
void FrameRgb(HDC dc, const RECT& r, COLORREF c) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  FillRgb(dc, RECT{r.left, r.top, r.right, r.top + 1}, c);
  FillRgb(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, c);
  FillRgb(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, c);
  FillRgb(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, c);
}

// The font a control draws its text in: its own, or the system font a new device context holds.
HFONT ControlFont(HWND wnd) {
  if (auto f = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0))) return f;
  return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// Whether the control hides its keyboard accelerators now (the underline shows after Alt).
bool HidesAccelerators(HWND wnd) { return (SendMessageW(wnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0; }

// A wrapper let go while its window lives: the window shows its own look again.
void RepaintAfterDetach(TvexSkinControlWnd& w) {
  if (w.Handle && IsWindow(w.Handle)) w.Refresh();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tool bars

void TvexSkinWndToolbarWindow32::Detach() {
  TvexSkinControlWnd::Detach();
  RepaintAfterDetach(*this);
}

void TvexSkinWndToolbarWindow32::Attached() {
  TvexSkinControlWnd::Attached();
  // The old platform's tool bars are raised and opaque unless told otherwise; NT's are left as
  // their program made them. Nothing is put back afterwards.
  if (!utils::IsWin9xPlatform()) return;
  const LRESULT style = SendMessageW(Handle, TB_GETSTYLE, 0, 0);
  SendMessageW(Handle, TB_SETSTYLE, 0, style | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
}

void TvexSkinWndToolbarWindow32::PaintBackground(HDC dc) {
  RECT cr{};
  GetClientRect(Handle, &cr);
  const int w = cr.right, h = cr.bottom;
  if (!dc || w <= 0 || h <= 0) return;
  utils::TBackBuffer& buffer = utils::TBackBuffer::ForThread();
  TCanvas& canvas = buffer.Canvas(w, h);
  PaintToolBarBackground(*Engine, canvas, RECT{0, 0, w, h}, Dpi());
  buffer.CopyTo(dc, 0, 0, w, h);
}

bool TvexSkinWndToolbarWindow32::BeforeMessage(TMessage& m) {
  if (m.Msg != WM_ERASEBKGND) return true;
  // The control draws its buttons over whatever the erase left: the skin's background.
  PaintBackground(reinterpret_cast<HDC>(m.WParam));
  m.Result = 1;
  return false;
}

void TvexSkinWndToolbarWindow32::AfterMessage(TMessage& m) {
  // Painted inside the message itself, or the control redraws the buttons a press or a key
  // changes: the background stays.
  if (!RedrawnByTheControl(m.Msg)) TvexSkinControlWnd::AfterMessage(m);
}

void TvexSkinWndToolbarWindow32::Paint() {
  // The background comes with the erase, so the repaint asks for one.
  RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

// ---------------------------------------------------------------------------------------------
// Group boxes

bool TvexSkinWndGroupBox::CaptionAtRight() const {
  const DWORD style = static_cast<DWORD>(GetWindowLongW(Handle, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(GetWindowLongW(Handle, GWL_EXSTYLE));
  return (style & BS_CENTER) == BS_RIGHT || (ex & (WS_EX_RIGHT | WS_EX_RTLREADING)) != 0;
}

void TvexSkinWndGroupBox::PaintOver(HDC dc) {
  RECT cr{};
  GetClientRect(Handle, &cr);
  const int w = cr.right, h = cr.bottom;
  if (!dc || w <= 0 || h <= 0) return;
  const int saved = SaveDC(dc);
  SelectObject(dc, ControlFont(Handle));
  SIZE zero{};
  GetTextExtentPoint32W(dc, L"0", 1, &zero);
  const int th = zero.cy, top = th / 2 - 1;
  const COLORREF form = Rgb(Engine->GetFormColor());
  const COLORREF border = SkinRgb(*Engine, keys::color::SKIN2_CONTROLBORDERCOLOR);
  // The control's own frame is two pixels wide: both rings go under the form colour before the
  // skin's one-pixel frame is drawn.
  FrameRgb(dc, RECT{0, top, w, h}, form);
  FrameRgb(dc, RECT{1, top + 1, w - 1, h - 1}, form);
  const std::wstring text = utils::GetWindowTextUnicode(Handle);
  RECT caption{};
  UINT flags = DT_SINGLELINE;
  if (!text.empty()) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(Handle, GWL_STYLE));
    if (GetWindowLongW(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
    if (HidesAccelerators(Handle)) flags |= DT_HIDEPREFIX;
    RECT measure{0, 0, 0, th};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure, flags | DT_CALCRECT);
    const int tw = measure.right - measure.left;
    int x = 8;
    if ((style & BS_CENTER) == BS_CENTER)
      x = (w - tw) / 2;
    else if (CaptionAtRight())
      x = w - 1 - tw - 8;
    caption = RECT{x, 0, 0, th};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption, flags | DT_CALCRECT);
    // The control's own caption stands a pixel or two from the skin's: its place goes under the
    // form colour too, within the frame's sides.
    const LONG left = caption.left - 3, right = caption.right + 3, bottom = caption.bottom + 1;
    FillRgb(dc, RECT{std::max<LONG>(2, left), 0, std::min<LONG>(w - 2, right), std::min<LONG>(h, bottom)}, form);
  }
  FrameRgb(dc, RECT{0, top, w - 1, h - 1}, border);
  if (!text.empty()) {
    // The text's own background, in the form colour, cuts the frame line behind the caption.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, form);
    SetTextColor(dc, GetEnabled() ? SkinRgb(*Engine, keys::color::SKIN2_CONTROLFONTCOLOR) : kDisabledText);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption, flags);
  }
  RestoreDC(dc, saved);
}

bool TvexSkinWndGroupBox::BeforeMessage(TMessage& m) {
  if (m.Msg != WM_PAINT && m.Msg != WM_PRINTCLIENT) return true;
  // The control paints itself into the same device context first, then the skin goes over it.
  PaintMessage(Handle, m, [this](HDC dc) {
    host::DefSubclass(Handle, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    PaintOver(dc);
  });
  m.Result = 0;
  return false;
}

void TvexSkinWndGroupBox::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT || m.Msg == WM_PRINTCLIENT || m.Msg == WM_ERASEBKGND) return;
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlWnd::AfterMessage(m);
  // A new accelerator state makes the control paint its caption at once, in its own look.
  if (*alive && !Detached && m.Msg == WM_UPDATEUISTATE) Repaint();
}

void TvexSkinWndGroupBox::Paint() { RedrawNow(); }

void TvexSkinWndGroupBox::Detach() {
  TvexSkinControlWnd::Detach();
  RepaintAfterDetach(*this);
}

void TvexSkinWndGroupBox::Refresh() {
  // The form-coloured pieces the skin drew beside the frame and the caption are not the
  // control's to paint over: the parent repaints under the box, and the controls in it with it.
  const HWND parent = GetParent(Handle);
  RECT r{};
  GetWindowRect(Handle, &r);
  if (!parent) {
    TvexSkinControlWnd::Refresh();
    return;
  }
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------------------------------------
// Static controls

TStaticKind StaticKindOf(DWORD style) {
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
      return TStaticKind::Text;
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
      return TStaticKind::Rect;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
      return TStaticKind::Frame;
    case SS_ETCHEDHORZ:
      return TStaticKind::EtchedHorz;
    case SS_ETCHEDVERT:
      return TStaticKind::EtchedVert;
    case SS_ETCHEDFRAME:
      return TStaticKind::EtchedFrame;
    default:
      return TStaticKind::Own;
  }
}

UINT StaticTextFormat(DWORD style, DWORD exStyle) {
  UINT format = 0;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER:
      format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK;
      break;
    case SS_RIGHT:
      format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK;
      break;
    case SS_SIMPLE:
      format = DT_LEFT | DT_SINGLELINE;
      break;
    case SS_LEFTNOWORDWRAP:
      format = DT_LEFT | DT_EXPANDTABS;
      break;
    default:
      format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;
      break;
  }
  if (exStyle & WS_EX_RIGHT) format = DT_RIGHT | (format & ~static_cast<UINT>(DT_LEFT | DT_CENTER));
  if (exStyle & WS_EX_RTLREADING) format |= DT_RTLREADING;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if ((style & SS_TYPEMASK) != SS_SIMPLE) {
    // A single line of text is centred from top to bottom.
    if (style & SS_CENTERIMAGE) format |= DT_SINGLELINE | DT_VCENTER;
    if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
    // The ellipsis styles keep the text on one line without wrapping.
    switch (style & SS_ELLIPSISMASK) {
      case SS_ENDELLIPSIS:
        format |= DT_SINGLELINE | DT_END_ELLIPSIS;
        break;
      case SS_PATHELLIPSIS:
        format |= DT_SINGLELINE | DT_PATH_ELLIPSIS;
        break;
      case SS_WORDELLIPSIS:
        format |= DT_SINGLELINE | DT_WORD_ELLIPSIS;
        break;
      default:
        break;
    }
    if (format & DT_SINGLELINE) format &= ~static_cast<UINT>(DT_WORDBREAK);
  }
  return format;
}

TStaticKind TvexSkinWndStatic::Kind() const { return StaticKindOf(static_cast<DWORD>(GetWindowLongW(Handle, GWL_STYLE))); }

void TvexSkinWndStatic::PaintTo(HDC dc) {
  RECT cr{};
  GetClientRect(Handle, &cr);
  const int w = cr.right, h = cr.bottom;
  if (!dc || w <= 0 || h <= 0) return;
  const DWORD style = static_cast<DWORD>(GetWindowLongW(Handle, GWL_STYLE));
  const COLORREF form = Rgb(Engine->GetFormColor());
  const COLORREF border = SkinRgb(*Engine, keys::color::SKIN2_CONTROLBORDERCOLOR);
  switch (StaticKindOf(style)) {
    case TStaticKind::Text: {
      FillRgb(dc, cr, form);
      const int saved = SaveDC(dc);
      SelectObject(dc, ControlFont(Handle));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetEnabled() ? SkinRgb(*Engine, keys::color::SKIN2_CONTROLFONTCOLOR) : kDisabledText);
      UINT format = StaticTextFormat(style, static_cast<DWORD>(GetWindowLongW(Handle, GWL_EXSTYLE)));
      if (!(format & DT_NOPREFIX) && HidesAccelerators(Handle)) format |= DT_HIDEPREFIX;
      const std::wstring text = utils::GetWindowTextUnicode(Handle);
      RECT r = cr;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
      RestoreDC(dc, saved);
      break;
    }
    case TStaticKind::Rect:
      FillRgb(dc, cr, border);
      break;
    case TStaticKind::Frame:
      // Frames hold other controls: only the line is drawn, as the control draws its own.
      FrameRgb(dc, cr, border);
      break;
    case TStaticKind::EtchedHorz:
    case TStaticKind::EtchedVert: {
      // The line is the window's top row (left column): the client shows it only when the
      // window has no edge, which otherwise draws it.
      FillRgb(dc, cr, form);
      POINT origin{0, 0};
      ClientToScreen(Handle, &origin);
      RECT wr{};
      GetWindowRect(Handle, &wr);
      if (StaticKindOf(style) == TStaticKind::EtchedHorz && origin.y == wr.top) FillRgb(dc, RECT{0, 0, w, 1}, border);
      if (StaticKindOf(style) == TStaticKind::EtchedVert && origin.x == wr.left) FillRgb(dc, RECT{0, 0, 1, h}, border);
      break;
    }
    case TStaticKind::EtchedFrame:
      FrameRgb(dc, RECT{1, 1, w - 1, h - 1}, form);
      FrameRgb(dc, cr, border);
      break;
    case TStaticKind::Own:
      break;
  }
}

void TvexSkinWndStatic::PaintEdge() {
  RECT wr{}, cr{};
  GetWindowRect(Handle, &wr);
  GetClientRect(Handle, &cr);
  MapWindowPoints(Handle, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  OffsetRect(&cr, -wr.left, -wr.top);
  if (w <= 0 || h <= 0 || EqualRect(&cr, &static_cast<const RECT&>(RECT{0, 0, w, h}))) return;
  TWindowDC window(Handle, TWindowDC::TKind::Whole);
  const HDC dc = window.Get();
  if (!dc) return;
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  const COLORREF form = Rgb(Engine->GetFormColor());
  const COLORREF border = SkinRgb(*Engine, keys::color::SKIN2_CONTROLBORDERCOLOR);
  switch (Kind()) {
    case TStaticKind::EtchedHorz:
      FillRgb(dc, RECT{0, 0, w, h}, form);
      FillRgb(dc, RECT{0, 0, w, 1}, border);
      break;
    case TStaticKind::EtchedVert:
      FillRgb(dc, RECT{0, 0, w, h}, form);
      FillRgb(dc, RECT{0, 0, 1, h}, border);
      break;
    default:
      // A sunken or bordered static gets the flat one-pixel frame of skinned controls.
      FillRgb(dc, RECT{0, 0, w, h}, form);
      FrameRgb(dc, RECT{0, 0, w, h}, border);
      break;
  }
  RestoreDC(dc, saved);
}

void TvexSkinWndStatic::Detach() {
  TvexSkinControlWnd::Detach();
  RepaintAfterDetach(*this);
}

void TvexSkinWndStatic::Refresh() {
  RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

bool TvexSkinWndStatic::BeforeMessage(TMessage& m) {
  if (Kind() == TStaticKind::Own) return true;
  switch (m.Msg) {
    case WM_NCPAINT:
      PaintEdge();
      m.Result = 0;
      return false;
    default:
      return TakePaintTo(m, Handle, [this](HDC dc) { PaintTo(dc); });
  }
}

void TvexSkinWndStatic::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT || m.Msg == WM_PRINTCLIENT || m.Msg == WM_ERASEBKGND) return;
  TvexSkinControlWnd::AfterMessage(m);
}

void TvexSkinWndStatic::Paint() {
  // A picture keeps its own painting: nothing to repaint for it.
  if (Kind() == TStaticKind::Own) return;
  PaintEdge();
  RedrawNow();
}

// ---------------------------------------------------------------------------------------------
// Status bars

TStatusTextRuns SplitStatusText(const std::wstring& text) {
  TStatusTextRuns runs;
  const std::size_t first = text.find(L'\t');
  runs.left = text.substr(0, first);
  if (first == std::wstring::npos) return runs;
  const std::size_t second = text.find(L'\t', first + 1);
  runs.centre = text.substr(first + 1, second == std::wstring::npos ? std::wstring::npos : second - first - 1);
  if (second != std::wstring::npos) runs.right = text.substr(second + 1);
  return runs;
}

namespace {
// The width of what the skin's grip covers at the bar's right end (its lines and the blank strip
// beside them).
constexpr int kGripStrip = 20;
}  // namespace

bool TvexSkinWndStatusBar::ShowsGrip() const {
  if (!(GetWindowLongW(Handle, GWL_STYLE) & SBARS_SIZEGRIP)) return false;
  const HWND parent = GetParent(Handle);
  return !parent || !IsZoomed(parent);
}

void TvexSkinWndStatusBar::PaintPart(HDC dc, int index, bool simple, RECT r) {
  const LRESULT info = SendMessageW(Handle, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0);
  const UINT type = HIWORD(info);
  const int length = LOWORD(info);
  const COLORREF border = SkinRgb(*Engine, keys::color::SKIN2_CONTROLBORDERCOLOR);
  if (type & SBT_POPOUT) {
    // Raised: the edge's shadow sides only.
    FillRgb(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, border);
    FillRgb(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, border);
  } else if (!(type & SBT_NOBORDERS)) {
    FrameRgb(dc, r, border);
  }
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  if (type & SBT_OWNERDRAW) {
    // The owner draws the part into the off-screen picture, with the value it gave the part.
    wchar_t unused[2] = {};
    const LRESULT data = SendMessageW(Handle, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(unused));
    DRAWITEMSTRUCT dis{};
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(Handle));
    dis.itemID = simple ? SB_SIMPLEID : static_cast<UINT>(index);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = Handle;
    dis.hDC = dc;
    dis.rcItem = inner;
    dis.itemData = static_cast<ULONG_PTR>(data);
    const int saved = SaveDC(dc);
    SendMessageW(GetParent(Handle), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    RestoreDC(dc, saved);
    return;
  }
  const WPARAM iconPart = simple ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index);
  if (auto icon = reinterpret_cast<HICON>(SendMessageW(Handle, SB_GETICON, iconPart, 0))) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    DrawIconEx(dc, inner.left + 2, inner.top + (inner.bottom - inner.top - cy) / 2, icon, cx, cy, 0, nullptr, DI_NORMAL);
    inner.left += cx + 2;
  }
  if (length <= 0) return;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(Handle, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  const std::wstring text(buffer.data());
  const TStatusTextRuns runs = (type & SBT_NOTABPARSING) ? TStatusTextRuns{text, L"", L""} : SplitStatusText(text);
  RECT t = inner;
  t.left += 2;
  t.right -= 2;
  // The last part runs under the grip: its text stops before the grip's blank strip.
  if (ShowsGrip()) {
    RECT cr{};
    GetClientRect(Handle, &cr);
    t.right = std::min<LONG>(t.right, cr.right - kGripStrip - 2);
  }
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (type & SBT_RTLREADING) flags |= DT_RTLREADING;
  const auto draw = [&](const std::wstring& run, UINT align) {
    if (run.empty()) return;
    RECT rr = t;
    DrawTextW(dc, run.c_str(), static_cast<int>(run.size()), &rr, flags | align);
  };
  draw(runs.left, DT_LEFT);
  draw(runs.centre, DT_CENTER);
  draw(runs.right, DT_RIGHT);
}

void TvexSkinWndStatusBar::PaintTo(HDC target) {
  RECT cr{};
  GetClientRect(Handle, &cr);
  const int w = cr.right, h = cr.bottom;
  if (!target || w <= 0 || h <= 0) return;
  // A picture of its own rather than the shared buffer: an owner drawing a part may paint other
  // skinned controls meanwhile.
  TOwnedDC memory(CreateCompatibleDC(target));
  TOwnedBitmap picture(CreateCompatibleBitmap(target, w, h));
  if (!memory || !picture) return;
  const HDC dc = memory.Get();
  SetLayout(dc, GetLayout(target));
  TSelectObject holdPicture(dc, picture.Get());
  FillRgb(dc, cr, Rgb(Engine->GetFormColor()));
  // Without a font of its own the bar writes in the system's status font.
  TOwnedFont statusFont;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0));
  if (!font) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) statusFont.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
    font = statusFont ? statusFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  TSelectObject holdFont(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetEnabled() ? SkinRgb(*Engine, keys::color::SKIN2_CONTROLFONTCOLOR) : kDisabledText);
  const std::shared_ptr<bool> alive = Alive;
  if (SendMessageW(Handle, SB_ISSIMPLE, 0, 0)) {
    int borders[3] = {};
    SendMessageW(Handle, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    // The simple mode's text answers as part 0.
    PaintPart(dc, 0, true, RECT{borders[0], borders[1], w, h});
  } else {
    const int parts = static_cast<int>(SendMessageW(Handle, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts && *alive; ++i) {
      RECT r{};
      if (SendMessageW(Handle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) PaintPart(dc, i, false, r);
    }
  }
  // An owner's drawing may have taken the bar away.
  if (!*alive || !IsWindow(Handle)) return;
  if (ShowsGrip()) PaintStatusGrip(dc, w, h, Engine->GetFormColor());
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

bool TvexSkinWndStatusBar::BeforeMessage(TMessage& m) { return TakePaintTo(m, Handle, [this](HDC dc) { PaintTo(dc); }); }

void TvexSkinWndStatusBar::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT || m.Msg == WM_PRINTCLIENT || m.Msg == WM_ERASEBKGND) return;
  TvexSkinControlWnd::AfterMessage(m);
}

void TvexSkinWndStatusBar::Paint() { RedrawNow(); }

void TvexSkinWndStatusBar::Detach() {
  TvexSkinControlWnd::Detach();
  RepaintAfterDetach(*this);
}

// ---------------------------------------------------------------------------------------------
// Child dialogs

bool TvexSkinWndChildDialog::BeforeMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_CTLCOLORDLG:
      m.Result = reinterpret_cast<LRESULT>(Engine->SkinMetrics().FormBrush.Get());
      return false;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSTATIC:
      m.Result = SkinStaticColours(*Engine, reinterpret_cast<HDC>(m.WParam));
      return false;
    default:
      return true;
  }
}

void TvexSkinWndChildDialog::Detach() {
  TvexSkinControlWnd::Detach();
  RepaintAfterDetach(*this);
}

void TvexSkinWndChildDialog::Refresh() {
  // The colours it gives its controls change with it.
  RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void RegisterContainerWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TWindowClassRow rows[] = {
        {"TOOLBARWINDOW32",
         [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndToolbarWindow32>(w, f); }},
        {"BUTTON_GROUPBOX",
         [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndGroupBox>(w, f); }},
        {"STATIC", [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndStatic>(w, f); }},
        {"MSCTLS_STATUSBAR32",
         [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndStatusBar>(w, f); }},
        {"#32770", [](HWND w, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndChildDialog>(w, f); }},
    };
    RegisterWindowClasses(rows);
  });
}

}  // namespace vex::engine
