#include "controls/range_ctrl.h"

#include "controls/paint_message.h"

#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <optional>

#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/canvas.h"
#include "host/progress_bar.h"
#include "host/track_bar.h"
#include "host/up_down.h"
#include "skin2/skin_keys.h"
#include "utils/back_buffer.h"
#include "utils/paint_primitives.h"
#include "utils/skin_res.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinTrackBar::StaticClass() {
  static const TClassInfo info("TvexSkinTrackBar", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinProgressBar::StaticClass() {
  static const TClassInfo info("TvexSkinProgressBar", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinUpDown::StaticClass() {
  static const TClassInfo info("TvexSkinUpDown", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndTrackBar::StaticClass() {
  static const TClassInfo info("TvexSkinWndTrackBar", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndProgressBar::StaticClass() {
  static const TClassInfo info("TvexSkinWndProgressBar", &TvexSkinControlWnd::StaticClass());
  return info;
}
const TClassInfo& TvexSkinWndUpDown::StaticClass() {
  static const TClassInfo info("TvexSkinWndUpDown", &TvexSkinControlWnd::StaticClass());
  return info;
}

namespace {

SIZE ClientSize(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return SIZE{r.right, r.bottom};
}

// Copies a picture onto the client area of a window.
void Present(HWND wnd, const TBitmap& picture) {
  if (HDC dc = GetDC(wnd)) {
    BitBlt(dc, 0, 0, picture.Width(), picture.Height(), const_cast<TBitmap&>(picture).Canvas().Handle(), 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
  }
}

// The skin's track for a bar of this orientation; none when the skin has no track image.
std::unique_ptr<TBitmap> MakeTrackImage(TvexSkinEngine& engine, bool vertical, int dpi) {
  auto image = std::make_unique<TBitmap>();
  const TBitmap* track = engine.CurrentReader(dpi)->GetBitmap(keys::bitmap::SKIN2_TRACKBAR);
  if (!track) return image;
  image->Assign(*track);
  if (vertical) utils::RotateBitmapLeft(*image);
  return image;
}

std::optional<std::int64_t> Prop(const TControl& c, const char* name) { return TryGetProp<std::int64_t>(c, name); }

TTrackBarView TrackBarViewOfControl(TControl& control, HWND wnd, int focused) {
  TTrackBarView v = TrackBarViewOf(wnd, focused);
  v.vertical = Prop(control, "Orientation").value_or(v.vertical ? 1 : 0) == 1;
  v.tickMarks = static_cast<int>(Prop(control, "TickMarks").value_or(v.tickMarks));
  v.ticks = Prop(control, "TickStyle").value_or(v.ticks ? 1 : 0) != 0;
  v.min = static_cast<int>(Prop(control, "Min").value_or(v.min));
  v.max = static_cast<int>(Prop(control, "Max").value_or(v.max));
  v.selStart = static_cast<int>(Prop(control, "SelStart").value_or(v.selStart));
  v.selEnd = static_cast<int>(Prop(control, "SelEnd").value_or(v.selEnd));
  return v;
}

TProgressView ProgressViewOfControl(const TControl& control, HWND wnd) {
  TProgressView v = ProgressViewOf(wnd);
  v.vertical = Prop(control, "Orientation").value_or(v.vertical ? 1 : 0) == 1;
  v.min = static_cast<int>(Prop(control, "Min").value_or(v.min));
  v.max = static_cast<int>(Prop(control, "Max").value_or(v.max));
  v.position = static_cast<int>(Prop(control, "Position").value_or(v.position));
  return v;
}

// The channel as it stands on the control. A vertical bar's channel is documented to come back
// lying down (left and right along its length); some implementations give it standing: either
// way it is turned to stand.
RECT ChannelRect(HWND wnd, bool vertical) {
  RECT c{};
  SendMessageW(wnd, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
  if (vertical && c.right - c.left > c.bottom - c.top) c = RECT{c.top, c.left, c.bottom, c.right};
  return c;
}

bool UpDownVertical(HWND wnd) { return (GetWindowLongW(wnd, GWL_STYLE) & UDS_HORZ) == 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Track bars

TTrackBarView TrackBarViewOf(HWND wnd, int focused) {
  TTrackBarView v;
  const DWORD style = static_cast<DWORD>(GetWindowLongW(wnd, GWL_STYLE));
  v.vertical = (style & TBS_VERT) != 0;
  v.tickMarks = (style & TBS_BOTH) ? 2 : (style & TBS_TOP) ? 1 : 0;
  v.ticks = (style & TBS_NOTICKS) == 0;
  v.min = static_cast<int>(SendMessageW(wnd, TBM_GETRANGEMIN, 0, 0));
  v.max = static_cast<int>(SendMessageW(wnd, TBM_GETRANGEMAX, 0, 0));
  if (style & TBS_ENABLESELRANGE) {
    v.selStart = static_cast<int>(SendMessageW(wnd, TBM_GETSELSTART, 0, 0));
    v.selEnd = static_cast<int>(SendMessageW(wnd, TBM_GETSELEND, 0, 0));
  }
  v.focused = focused < 0 ? GetFocus() == wnd : focused != 0;
  return v;
}

int TrackBarValuePixel(HWND wnd, const TTrackBarView& view, int value) {
  const RECT channel = ChannelRect(wnd, view.vertical);
  RECT thumb{};
  SendMessageW(wnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  const int thumbLength = view.vertical ? thumb.bottom - thumb.top : thumb.right - thumb.left;
  const int start = view.vertical ? channel.top : channel.left;
  const int span = (view.vertical ? channel.bottom - channel.top : channel.right - channel.left) - thumbLength;
  const int range = view.max - view.min;
  const int v = std::clamp(value, view.min, view.max);
  const int offset = range > 0 ? static_cast<int>(static_cast<long long>(v - view.min) * span / range) : 0;
  return start + thumbLength / 2 + offset;
}

void PaintTrackBar(TvexSkinEngine& engine, HWND wnd, const TTrackBarView& view, const TBitmap* trackImage) {
  const SIZE size = ClientSize(wnd);
  if (size.cx <= 0 || size.cy <= 0) return;
  // Composed in the thread's back buffer (no bitmap made per paint).
  utils::TBackBuffer& buffer = utils::TBackBuffer::ForThread();
  TCanvas& canvas = buffer.Canvas(size.cx, size.cy);
  TBitmap& b = *canvas.Bitmap();
  utils::FillRectColor(canvas, RECT{0, 0, size.cx, size.cy}, engine.GetFormColor());
  RECT c = ChannelRect(wnd, view.vertical);
  const bool track = trackImage && !trackImage->Empty();
  if (!view.vertical) {
    if (track) {
      c.top += (c.bottom - c.top - trackImage->Height()) / 2;
      c.bottom = c.top + trackImage->Height();
      utils::PaintThreeCells(*trackImage, canvas, c, true, engine.SkinMetrics().TransparentColor);
    }
  } else {
    if (track) {
      c.left += (c.right - c.left - trackImage->Width()) / 2 + 2;
      c.right = c.left + trackImage->Width();
      utils::StretchThreeVertical(*const_cast<TBitmap*>(trackImage), canvas, c, 0);
    }
  }
  RECT f = c;
  // The selection: a two-pixel line between where the bar puts the thumb for its two values.
  if (view.selStart < view.selEnd) {
    if (!view.vertical) {
      const int start = view.selStart > view.min ? TrackBarValuePixel(wnd, view, view.selStart) : f.left + 4;
      const int end = view.selEnd < view.max ? TrackBarValuePixel(wnd, view, view.selEnd) : f.right - 4;
      const int y = f.top + (f.bottom - f.top) / 2;
      canvas.Pen.color = utils::InvertColor(b.PixelColor(size.cx / 2, std::clamp<int>(y, 0, size.cy - 1)));
      canvas.MoveTo(start, y);
      canvas.LineTo(end + 1, y);
      canvas.MoveTo(start, y + 1);
      canvas.LineTo(end + 1, y + 1);
    } else {
      const int start = view.selStart > view.min ? TrackBarValuePixel(wnd, view, view.selStart) : f.top + 4;
      const int end = view.selEnd < view.max ? TrackBarValuePixel(wnd, view, view.selEnd) : f.bottom - 4;
      const int x = f.left + (f.right - f.left) / 2;
      canvas.Pen.color = utils::InvertColor(b.PixelColor(std::clamp<int>(x, 0, size.cx - 1), size.cy / 2));
      canvas.MoveTo(x, start);
      canvas.LineTo(x, end + 1);
      canvas.MoveTo(x + 1, start);
      canvas.LineTo(x + 1, end + 1);
    }
  }
  // The thumb: the skin's slider stretched over the bar's own thumb, its background left out.
  RECT t{};
  SendMessageW(wnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
  const TBitmap* slider =
      engine.CurrentReader(view.dpi)->GetBitmap(view.vertical ? keys::bitmap::SKIN2_TRACKBARVSLIDER : keys::bitmap::SKIN2_TRACKBARSLIDER);
  if (t.right > t.left && t.bottom > t.top && slider && !slider->Empty()) {
    // Stretched to the thumb in a bitmap kept for the thread, then drawn with its background
    // (its bottom-left pixel's colour) left out.
    thread_local TBitmap sized;
    if (sized.PixelFormat() != TPixelFormat::pf24bit) sized.SetPixelFormat(TPixelFormat::pf24bit);
    sized.SetSize(t.right - t.left, t.bottom - t.top);
    sized.Canvas().SetStretchMode(COLORONCOLOR);
    StretchBlt(sized.Canvas().Handle(), 0, 0, sized.Width(), sized.Height(), const_cast<TBitmap*>(slider)->Canvas().Handle(), 0,
               0, slider->Width(), slider->Height(), SRCCOPY);
    sized.SetTransparentMode(TTransparentMode::tmAuto);
    sized.SetTransparent(true);
    canvas.Draw(t.left, t.top, sized);
  }
  f = view.vertical ? RECT{t.left - 2, f.top - 4, t.right + 2, f.bottom + 4} : RECT{f.left - 4, t.top - 2, f.right + 4, t.bottom + 2};
  if (view.ticks) {
    const int n = static_cast<int>(SendMessageW(wnd, TBM_GETNUMTICS, 0, 0));
    const bool first = view.tickMarks != 0, second = view.tickMarks != 1;
    const auto tick = [&](int p) {
      if (!view.vertical) {
        if (first) {
          canvas.MoveTo(p, f.top - 3);
          canvas.LineTo(p, f.top);
        }
        if (second) {
          canvas.MoveTo(p, f.bottom);
          canvas.LineTo(p, f.bottom + 3);
        }
      } else {
        if (first) {
          canvas.MoveTo(f.left, p);
          canvas.LineTo(f.left - 3, p);
        }
        if (second) {
          canvas.MoveTo(f.right + 3, p);
          canvas.LineTo(f.right, p);
        }
      }
    };
    // The inner ticks (the two end ones follow): each at the place the bar gives its value, as
    // the selection is.
    for (int i = 0; i <= n - 3; ++i) {
      const LRESULT value = SendMessageW(wnd, TBM_GETTIC, static_cast<WPARAM>(i), 0);
      if (value >= 0) tick(TrackBarValuePixel(wnd, view, static_cast<int>(value)));
    }
    if (!view.vertical) {
      tick(f.left + 8);
      tick(f.right - 8);
    } else {
      tick(f.top + 8);
      tick(f.bottom - 8);
    }
  }
  if (view.focused) {
    canvas.Brush.style = TBrushStyle::bsSolid;
    canvas.DrawFocusRect(f);
  }
  if (HDC dc = GetDC(wnd)) {
    buffer.CopyTo(dc, 0, 0, size.cx, size.cy);
    ReleaseDC(wnd, dc);
  }
}

bool TvexSkinTrackBar::BeforeMessage(TMessage& m) {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return true;
  // The focus rectangle follows the focus at once (the focus has moved when these arrive); the
  // control still hears of it.
  if (m.Msg == WM_KILLFOCUS || m.Msg == CM_GOTFOCUS) {
    Paint();
    return true;
  }
  return TakePaint(m, wc->Handle(), [this] { Paint(); });
}

void TvexSkinTrackBar::UpdateSkinState() {
  TvexSkinControlVCL::UpdateSkinState();
  TrackImage.reset();
  if (Engine && Engine->IsSkinActive() && Control) {
    TrackImageStanding = Prop(*Control, "Orientation").value_or(0) == 1;
    TrackImage = MakeTrackImage(*Engine, TrackImageStanding, Dpi());
  }
}

void TvexSkinTrackBar::Detach() {
  TvexSkinControlVCL::Detach();
  TrackImage.reset();
}

void TvexSkinTrackBar::Paint() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!TrackImage || !Engine || !wc || !wc->HandleAllocated()) return;
  TTrackBarView view = TrackBarViewOfControl(*Control, wc->Handle(), HasFocus(wc->Handle()) ? 1 : 0);
  view.dpi = Dpi();
  if (view.vertical != TrackImageStanding) {
    TrackImageStanding = view.vertical;
    TrackImage = MakeTrackImage(*Engine, TrackImageStanding, Dpi());
  }
  PaintTrackBar(*Engine, wc->Handle(), view, TrackImage.get());
}

// The bar repaints itself when it gains or loses the focus: that paint is the skin's.
bool TvexSkinWndTrackBar::BeforeMessage(TMessage& m) { return TakePaint(m, Handle, [this] { Paint(); }); }

void TvexSkinWndTrackBar::UpdateSkinState() {
  TvexSkinControlWnd::UpdateSkinState();
  TrackImage.reset();
  if (Engine && Engine->IsSkinActive()) {
    TrackImageStanding = (GetWindowLongW(Handle, GWL_STYLE) & TBS_VERT) != 0;
    TrackImage = MakeTrackImage(*Engine, TrackImageStanding, Dpi());
  }
  InvalidateRect(Handle, nullptr, TRUE);
}

void TvexSkinWndTrackBar::Detach() {
  TvexSkinControlWnd::Detach();
  TrackImage.reset();
  if (Handle && IsWindow(Handle)) InvalidateRect(Handle, nullptr, TRUE);
}

void TvexSkinWndTrackBar::Paint() {
  if (!TrackImage || !Engine || !Handle) return;
  TTrackBarView view = TrackBarViewOf(Handle, HasFocus(Handle) ? 1 : 0);
  view.dpi = Dpi();
  if (view.vertical != TrackImageStanding) {
    TrackImageStanding = view.vertical;
    TrackImage = MakeTrackImage(*Engine, TrackImageStanding, Dpi());
  }
  PaintTrackBar(*Engine, Handle, view, TrackImage.get());
}

// ---------------------------------------------------------------------------------------------
// Progress bars

TProgressView ProgressViewOf(HWND wnd) {
  TProgressView v;
  v.vertical = (GetWindowLongW(wnd, GWL_STYLE) & PBS_VERTICAL) != 0;
  v.min = static_cast<int>(SendMessageW(wnd, PBM_GETRANGE, TRUE, 0));
  v.max = static_cast<int>(SendMessageW(wnd, PBM_GETRANGE, FALSE, 0));
  v.position = static_cast<int>(SendMessageW(wnd, PBM_GETPOS, 0, 0));
  return v;
}

RECT ProgressFill(const TProgressView& view, int w, int h, int leftWidth, int rightWidth) {
  const double range = static_cast<double>(view.max) - view.min;
  const auto part = [&](int length) {
    if (view.max <= view.min) return 0;
    const double done = std::clamp(static_cast<double>(view.position) - view.min, 0.0, range);
    return static_cast<int>(done * length / range);
  };
  if (!view.vertical) {
    RECT r{leftWidth, 0, w - rightWidth, h};
    r.right = r.left + part(r.right - r.left);
    return r;
  }
  RECT r{0, rightWidth, w, h - leftWidth};
  r.top = r.bottom - part(r.bottom - r.top);
  return r;
}

void PaintProgressBar(TvexSkinEngine& engine, HWND wnd, const TProgressView& view) {
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (w <= 0 || h <= 0) return;
  TBitmap b(w, h, TPixelFormat::pf24bit);
  TCanvas& canvas = b.Canvas();
  utils::FillRectColor(canvas, RECT{0, 0, w, h}, engine.GetFormColor());
  utils::TvexSkinProgressBarRes& res = engine.ProgressBarRes(view.dpi);
  const int lw = res.LeftWidth(), rw = res.RightWidth();
  const RECT r = ProgressFill(view, w, h, lw, rw);
  const auto piece = [&](TBitmap* p, const RECT& d, bool vertical) {
    if (!p || p->Empty() || d.right <= d.left || d.bottom <= d.top) return;
    if (vertical)
      utils::StretchThreeHorizontal(*p, canvas, d, 2);
    else
      utils::StretchThreeVertical(*p, canvas, d, 2);
  };
  if (!view.vertical) {
    piece(res.HorzPiece(1), RECT{0, 0, r.left, h}, false);
    piece(res.HorzPiece(2), r, false);
    piece(res.HorzPiece(3), RECT{r.right, 0, w - rw, h}, false);
    piece(res.HorzPiece(4), RECT{w - rw, 0, w, h}, false);
  } else {
    piece(res.VertPiece(1), RECT{0, r.bottom, w, r.bottom + lw}, true);
    piece(res.VertPiece(2), r, true);
    piece(res.VertPiece(3), RECT{0, rw, w, r.top}, true);
    piece(res.VertPiece(4), RECT{0, 0, w, rw}, true);
  }
  if (HDC dc = GetWindowDC(wnd)) {
    BitBlt(dc, 0, 0, w, h, canvas.Handle(), 0, 0, SRCCOPY);
    ReleaseDC(wnd, dc);
  }
}

bool TvexSkinProgressBar::BeforeMessage(TMessage& m) {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return true;
  return TakePaint(m, wc->Handle(), [this] { Paint(); });
}

void TvexSkinProgressBar::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlVCL::AfterMessage(m);
  if (*alive && !Detached && m.Msg == PBM_SETPOS) Repaint();
}

void TvexSkinProgressBar::Paint() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!Engine || !wc || !wc->HandleAllocated()) return;
  TProgressView view = ProgressViewOfControl(*Control, wc->Handle());
  view.dpi = Dpi();
  PaintProgressBar(*Engine, wc->Handle(), view);
}

bool TvexSkinWndProgressBar::BeforeMessage(TMessage& m) { return TakePaint(m, Handle, [this] { Paint(); }); }

void TvexSkinWndProgressBar::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlWnd::AfterMessage(m);
  if (!*alive || Detached) return;
  switch (m.Msg) {
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT:
    case PBM_SETRANGE:
    case PBM_SETRANGE32:
      Repaint();
      break;
    default:
      break;
  }
}

void TvexSkinWndProgressBar::Paint() {
  if (Engine && Handle) {
    TProgressView view = ProgressViewOf(Handle);
    view.dpi = Dpi();
    PaintProgressBar(*Engine, Handle, view);
  }
}

// ---------------------------------------------------------------------------------------------
// Up-down buttons

void UpDownHalves(bool vertical, int w, int h, RECT& first, RECT& second) {
  if (vertical) {
    first = RECT{0, 0, w, h / 2};
    second = RECT{0, h / 2 + 1, w, h};
  } else {
    first = RECT{0, 0, w / 2, h};
    second = RECT{w / 2 + 1, 0, w, h};
  }
}

int UpDownPartAt(bool vertical, int w, int h, POINT p) {
  RECT first, second;
  UpDownHalves(vertical, w, h, first, second);
  const auto in = [p](const RECT& r) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; };
  if (in(first)) return -1;
  if (in(second)) return 1;
  return 0;
}

void PaintUpDown(TvexSkinEngine& engine, HWND wnd, bool vertical, bool enabled, int pressed) {
  const SIZE size = ClientSize(wnd);
  if (size.cx <= 0 || size.cy <= 0) return;
  TBitmap b(size.cx, size.cy, TPixelFormat::pf24bit);
  TCanvas& canvas = b.Canvas();
  utils::FillRectColor(canvas, RECT{0, 0, size.cx, size.cy}, engine.GetFormColor());
  RECT halves[2];
  UpDownHalves(vertical, size.cx, size.cy, halves[0], halves[1]);
  canvas.Pen.color = engine.GetSkinColor(keys::color::SKIN2_TOOLBARBORDERCOLOR);
  for (int i = 0; i < 2; ++i) {
    const RECT& r = halves[i];
    const bool down = pressed == (i == 0 ? -1 : 1);
    canvas.Brush.style = TBrushStyle::bsSolid;
    canvas.Brush.color = down ? engine.GetSkinColor(keys::color::SKIN2_TOOLBARDOWNCOLOR) : engine.GetFormColor();
    canvas.Rectangle(r);
    const int p = down ? 1 : 0;
    const int x1 = r.left, y1 = r.top, x2 = r.right, y2 = r.bottom;
    if (vertical) {
      if (i == 0)
        utils::DrawArrowUp(canvas, x1 + (x2 - x1 - 6) / 2 + 3 + p, y1 + (y2 - y1 - 6) / 2 + 1 + p, enabled);
      else
        utils::DrawArrowDown(canvas, x1 + (x2 - x1 - 6) / 2 + p, y1 + (y2 - y1 - 6) / 2 + 1 + p, enabled);
    } else {
      if (i == 0)
        utils::DrawArrowLeft(canvas, x1 + (x2 - x1 - 3) / 2 + p, y1 + (y2 - y1) / 2 + p, enabled);
      else
        utils::DrawArrowRight(canvas, x1 + (x2 - x1 - 3) / 2 + p, y1 + (y2 - y1 - 6) / 2 + p, enabled);
    }
  }
  Present(wnd, b);
}

namespace {

// The pressed half after a button message or the loss of the mouse; unchanged by any other
// message.
void TrackPressedPart(const TMessage& m, HWND wnd, bool vertical, int& pressed) {
  if (m.Msg == WM_LBUTTONDOWN) {
    const SIZE size = ClientSize(wnd);
    const POINT p{static_cast<LONG>(LOWORD(m.LParam)), static_cast<LONG>(HIWORD(m.LParam))};
    pressed = UpDownPartAt(vertical, size.cx, size.cy, p);
  } else if (m.Msg == WM_LBUTTONUP) {
    pressed = 0;
  } else if (m.Msg == WM_CAPTURECHANGED && pressed != 0) {
    // The mouse is gone elsewhere (a window taking it, or arrows passing the press on to
    // others): the button up will not come here, and nothing stays pressed.
    pressed = 0;
    InvalidateRect(wnd, nullptr, FALSE);
  }
}

}  // namespace

bool TvexSkinUpDown::BeforeMessage(TMessage& m) {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!wc || !wc->HandleAllocated()) return true;
  TrackPressedPart(m, wc->Handle(), Prop(*Control, "Orientation").value_or(1) == 1, PressedPart);
  if (m.Msg == WM_LBUTTONDBLCLK) Paint();
  return true;
}

void TvexSkinUpDown::Paint() {
  auto* wc = dynamic_cast<TWinControl*>(Control);
  if (!Engine || !wc || !wc->HandleAllocated()) return;
  PaintUpDown(*Engine, wc->Handle(), Prop(*Control, "Orientation").value_or(1) == 1, Control->Enabled(), PressedPart);
}

bool TvexSkinWndUpDown::BeforeMessage(TMessage& m) {
  TrackPressedPart(m, Handle, UpDownVertical(Handle), PressedPart);
  if (m.Msg == WM_LBUTTONDBLCLK) Paint();
  return true;
}

void TvexSkinWndUpDown::Paint() {
  if (Engine && Handle) PaintUpDown(*Engine, Handle, UpDownVertical(Handle), IsWindowEnabled(Handle) != FALSE, PressedPart);
}

// ---------------------------------------------------------------------------------------------
// Registration

void RegisterRangeControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TControlClassRow rows[] = {
        {&TCustomUpDown::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinUpDown>(c, f); }},
        {&TProgressBar::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinProgressBar>(c, f); }},
        {&TTrackBar::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinTrackBar>(c, f); }},
    };
    RegisterControlClasses(rows);
  });
}

void RegisterRangeWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    const TWindowClassRow rows[] = {
        {"MSCTLS_TRACKBAR32", [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndTrackBar>(h, f); }},
        {"MSCTLS_PROGRESS32",
         [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndProgressBar>(h, f); }},
        {"MSCTLS_UPDOWN32", [](HWND h, TvexSkinWindow* f) -> TvexSkinControlWnd* { return NewControlWrapper<TvexSkinWndUpDown>(h, f); }},
    };
    RegisterWindowClasses(rows);
  });
}

}  // namespace vex::engine
