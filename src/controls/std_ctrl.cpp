#include "controls/std_ctrl.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>

#include "controls/button_painters.h"
#include "controls/button_press.h"
#include "controls/paint_message.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/bitmap.h"
#include "host/bit_btn.h"
#include "host/button_controls.h"
#include "host/hot_key.h"
#include "host/speed_button.h"
#include "host/cool_bar.h"
#include "host/form.h"
#include "host/frames.h"
#include "host/gdi_handle.h"
#include "host/std_controls.h"
#include "skin2/skin_keys.h"
#include "utils/back_buffer.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinButton::StaticClass() {
  static const TClassInfo info("TvexSkinButton", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinSpeedButton::StaticClass() {
  static const TClassInfo info("TvexSkinSpeedButton", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinCheckBox::StaticClass() {
  static const TClassInfo info("TvexSkinCheckBox", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinRadioButton::StaticClass() {
  static const TClassInfo info("TvexSkinRadioButton", &TvexSkinCheckBox::StaticClass());
  return info;
}

namespace {

// The colour the control stands on: its parent's, else the form colour.
TColor ParentBackground(const TControl& c, const TvexSkinEngine& e) {
  if (c.Parent())
    if (auto colour = TryGetProp<std::int64_t>(*c.Parent(), "Color")) return static_cast<TColor>(*colour);
  return e.GetFormColor();
}

// The glyph a control publishes ("Glyph", "NumGlyphs", "Layout", "Margin", "Spacing").
void ReadGlyph(const TControl& c, TControlView& v) {
  auto glyph = TryGetProp<TObject*>(c, "Glyph");
  if (!glyph || !*glyph) return;
  auto* bitmap = dynamic_cast<const TBitmap*>(*glyph);
  if (!bitmap || bitmap->Width() <= 0 || bitmap->Height() <= 0) return;
  v.glyph.bitmap = bitmap;
  v.glyph.count = static_cast<int>(std::clamp<std::int64_t>(TryGetProp<std::int64_t>(c, "NumGlyphs").value_or(1), 1, 4));
  v.glyph.layout = static_cast<int>(TryGetProp<std::int64_t>(c, "Layout").value_or(0));
  v.glyph.margin = static_cast<int>(TryGetProp<std::int64_t>(c, "Margin").value_or(-1));
  v.glyph.spacing = static_cast<int>(TryGetProp<std::int64_t>(c, "Spacing").value_or(4));
}

bool WindowedAndLive(const TControl* c) {
  return c && c->Is<TWinControl>() && static_cast<const TWinControl*>(c)->HandleAllocated();
}

HWND WindowOf(const TControl* c) {
  return WindowedAndLive(c) ? const_cast<TWinControl*>(static_cast<const TWinControl*>(c))->Handle() : nullptr;
}

}  // namespace

// Gives a control's font the colour the skin wants without cutting the control off from its
// parent's font: a control that takes its parent's font keeps doing so (and its caption keeps
// following the form's font), only the colour differs while the skin shows.
void SetSkinFontColour(TControl& c, TColor colour) {
  if (c.Font().Color() == colour) return;
  if (!c.ParentFont()) {
    c.Font().SetColor(colour);
    return;
  }
  TNotifyEvent handler = std::move(c.Font().OnChange);
  c.Font().SetColor(colour);
  c.Font().OnChange = std::move(handler);
  c.Perform(CM_FONTCHANGED);
}

// The font a control had before the skin coloured it: its parent's again, or its own in its own
// colour. Which of the two is the control's now, not when it was wrapped: a font the application
// gave it while the skin showed (its own, or its parent's again) stays.
void RestoreFont(TControl& c, TColor colour) {
  if (c.ParentFont())
    c.SetParentFont(true);
  else
    c.Font().SetColor(colour);
}

// ---------------------------------------------------------------------------------------------
// Push buttons

TControlView TvexSkinButton::View() const {
  TControlView v = TvexSkinControlVCL::View();
  if (!Control) return v;
  v.background = ParentBackground(*Control, *Engine);
  if (Engine->NoChangeButtonsFontColor()) v.fontColor = Control->Font().Color();
  ReadGlyph(*Control, v);
  return v;
}

void TvexSkinButton::Attached() {
  ClickArmed = false;
  SpaceArmed = false;
}

void TvexSkinButton::Detach() {
  EndPress();
  TvexSkinControlVCL::Detach();
}

void TvexSkinButton::UpdateSkinState() {
  // Switched off in the middle of a press: the button lets go of the mouse its own press took.
  if (!Engine || !Engine->IsSkinActive()) EndPress();
}

void TvexSkinButton::EndPress() {
  const bool holding = ClickArmed || Pressed();
  ClickArmed = false;
  SpaceArmed = false;
  State &= static_cast<std::uint8_t>(~csPressed);
  if (HWND h = WindowOf(Control); holding && h && GetCapture() == h) ReleaseCapture();
}

void TvexSkinButton::ClickControl() {
  if (Control) Control->Click();
}

bool TvexSkinButton::BeforeMessage(TMessage& m) {
  HWND h = WindowOf(Control);
  switch (m.Msg) {
    case WM_KEYDOWN:
      // Space and Enter press the skinned button; its click comes at Space's release or Enter's
      // character, made by the wrapper.
      return m.WParam != VK_RETURN && m.WParam != VK_SPACE;
    case WM_MOUSEMOVE:
      if (press::Move(h, ClickArmed, State, m.LParam)) Paint();
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      press::Down(h, State);
      Paint();
      m.Result = 0;
      return false;
    case WM_LBUTTONUP: {
      if (!h) return true;
      const bool click = press::Up(h, ClickArmed, State, m.LParam);
      Paint();
      if (click) ClickControl();
      m.Result = 0;
      return false;
    }
    case WM_CAPTURECHANGED:
      if (press::Lost(h, ClickArmed, State, m.LParam)) Paint();
      return true;
    case WM_KILLFOCUS:
      State &= static_cast<std::uint8_t>(~csPressed);
      SpaceArmed = false;
      return true;
    case WM_ERASEBKGND:
      m.Result = 1;  // the paint covers every pixel
      return false;
    case CN_DRAWITEM: {
      // An owner-drawn button (a bit button) asked to draw a state change: the skin's face
      // instead of its own.
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
      if (dis && dis->CtlType == ODT_BUTTON) PaintTo(dis->hDC);
      m.Result = TRUE;
      return false;
    }
    case WM_PAINT:
      if (h) {
        TPaintDC dc(h);
        PaintTo(dc.Get());
      }
      m.Result = 0;
      return false;
    default:
      return true;
  }
}

void TvexSkinButton::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT || m.Msg == WM_ERASEBKGND || m.Msg == WM_LBUTTONUP) return;  // handled before
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlVCL::AfterMessage(m);
  if (!*alive || Detached || !Control) return;
  switch (m.Msg) {
    case WM_LBUTTONDBLCLK:
      MouseDown();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_GOTFOCUS:
    case CM_LOSTFOCUS:
      Repaint();
      break;
    case WM_CHAR:
      if (m.WParam == 0 || m.WParam == VK_RETURN) {
        State &= static_cast<std::uint8_t>(~csPressed);
        Repaint();
        ClickControl();
      }
      break;
    case WM_UPDATEUISTATE:
      if (utils::IsWinXPStyle()) Repaint();
      break;
    default:
      break;
  }
}

void TvexSkinButton::MouseDown() {
  const std::shared_ptr<bool> alive = Alive;
  // The press takes the focus where the form is active (a click activates its form first).
  TCustomForm* form = nullptr;
  for (TControl* c = Control; c; c = c->Parent())
    if (c->Is<TCustomForm>()) form = static_cast<TCustomForm*>(c);
  if (form && utils::IsFormActive(form) && Control->Is<TWinControl>()) {
    auto* w = static_cast<TWinControl*>(Control);
    if (w->CanFocus() && w->Enabled() && w->Visible()) {
      try {
        w->SetFocus();
      } catch (...) {
      }
    }
  }
  if (*alive) ClickArmed = true;
}

void TvexSkinButton::KeyDown(WPARAM) { SpaceArmed = true; }

void TvexSkinButton::KeyUp(WPARAM key) {
  const bool armed = SpaceArmed;
  SpaceArmed = false;
  HWND h = WindowOf(Control);
  if (key == VK_SPACE && armed && h && GetFocus() == h && GetEnabled() && Engine->IsSkinActive()) {
    State &= static_cast<std::uint8_t>(~csPressed);
    Repaint();
    ClickControl();
  }
}

void TvexSkinButton::Paint() {
  if (HWND h = WindowOf(Control)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

void TvexSkinButton::PaintTo(HDC dc) {
  const TControlView view = View();
  const int w = view.bounds.right - view.bounds.left, h = view.bounds.bottom - view.bounds.top;
  if (w <= 0 || h <= 0) return;
  utils::TBackBuffer& buffer = utils::TBackBuffer::ForThread();
  PaintPushButton(*Engine, view, buffer.Canvas(w, h));
  buffer.CopyTo(dc, 0, 0, w, h);
}

// ---------------------------------------------------------------------------------------------
// Speed buttons

namespace {
constexpr std::int64_t kOwnLookTag = 999999;
bool IsSpinHalf(const TControl& c) { return c.ClassName() == "TTimerSpeedButton" || c.ClassName() == "TAdvTimerSpeedButton"; }
}  // namespace

TControlView TvexSkinSpeedButton::View() const {
  TControlView v = TvexSkinControlVCL::View();
  if (!Control) return v;
  v.background = ParentBackground(*Control, *Engine);
  ReadGlyph(*Control, v);
  v.glyph.emptyCaptionNoSpacing = false;
  return v;
}

bool TvexSkinSpeedButton::BeforeMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      State |= csPressed;
      Paint();
      return true;
    case WM_PAINT:
      if (Control->Tag() == kOwnLookTag) return true;  // its own look; the border follows
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      return false;
    default:
      return true;
  }
}

void TvexSkinSpeedButton::AfterMessage(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    // A button keeping its own look gets the skin's border around it, inside the same paint.
    if (Control && Control->Tag() == kOwnLookTag && m.WParam) {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const RECT r{0, 0, Control->Width(), Control->Height()};
      TOwnedBrush face(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnFace))));
      RECT outer = r, inner{1, 1, r.right - 1, r.bottom - 1};
      FrameRect(dc, &outer, face.Get());
      FrameRect(dc, &inner, face.Get());
      TOwnedBrush line(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Engine->GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR)))));
      RECT left{0, 0, 1, r.bottom};
      FillRect(dc, &left, line.Get());
    }
    return;
  }
  if (m.Msg == WM_ERASEBKGND) return;
  TvexSkinControlVCL::AfterMessage(m);
}

void TvexSkinSpeedButton::Paint() {
  if (Control && Control->Visible()) Control->Invalidate();
}

TColor TvexSkinSpeedButton::CaptionColour() const {
  // The caption stands on the form colour or the tool bar's tints: in the skin's control font
  // colour, so that it reads on a dark skin, unless the application keeps its buttons' colours.
  if (Engine->NoChangeButtonsFontColor()) return Control->Font().Color();
  return Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
}

void TvexSkinSpeedButton::PaintTo(HDC dc) {
  if (!dc || !Control || !Control->Visible()) return;
  const TControlView v = View();
  const int w = Control->Width(), h = Control->Height();
  if (w <= 0 || h <= 0) return;
  utils::TBackBuffer& buffer = utils::TBackBuffer::ForThread();
  TCanvas& canvas = buffer.Canvas(w, h);
  const RECT r{0, 0, w, h};
  const TColor formColour = Engine->GetFormColor();
  utils::FillRectColor(canvas, r, v.background);
  const bool downProp = TryGetProp<std::int64_t>(*Control, "Down").value_or(0) != 0;
  const bool down = (Pressed() && v.enabled) || downProp;
  const bool hot = !down && Hot() && v.enabled;
  const bool spin = IsSpinHalf(*Control);
  RECT frame = r;
  if (spin && Control->Top() > 0) frame.top += 2;
  if (down || hot) {
    utils::FillRectColor(canvas, frame,
                         Engine->GetSkinColor(down ? keys::color::SKIN2_TOOLBARDOWNCOLOR : keys::color::SKIN2_TOOLBARONCOLOR));
    utils::FrameRectColor(canvas, frame, Engine->GetSkinColor(keys::color::SKIN2_TOOLBARBORDERCOLOR));
  } else if (spin) {
    utils::FillRectColor(canvas, frame, formColour);
    utils::FrameRectColor(canvas, frame, Engine->GetSkinColor(keys::color::SKIN2_TOOLBARBORDERCOLOR));
  } else {
    utils::FillRectColor(canvas, r, formColour);
  }
  if (spin && Control->Top() > 0) utils::FillRectColor(canvas, RECT{0, 1, w, 2}, 0xFFFFFF);
  const std::int64_t group = TryGetProp<std::int64_t>(*Control, "GroupIndex").value_or(0);
  const bool shifted = downProp || (group == 0 && Pressed() && v.enabled);
  canvas.Font().Assign(Control->Font());
  TControlView shown = v;
  shown.pressed = shifted;
  if (v.glyph.bitmap) {
    canvas.Font().SetColor(v.enabled ? CaptionColour() : 0x808080);
    PaintGlyphAndCaption(shown, canvas, true);
  } else if (!v.caption.empty()) {
    RECT text = r;
    if (shifted) OffsetRect(&text, 1, 1);
    canvas.Brush.style = TBrushStyle::bsClear;
    canvas.Font().SetColor(v.enabled ? CaptionColour() : 0x808080);
    canvas.DrawText(v.caption, text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    canvas.Brush.style = TBrushStyle::bsSolid;
  }
  buffer.CopyTo(dc, 0, 0, w, h);
}

// ---------------------------------------------------------------------------------------------
// Check boxes and radio buttons

void TvexSkinCheckBox::Attached() {
  if (!Control) return;
  SavedFontColor = Control->Font().Color();
}

void TvexSkinCheckBox::Detach() {
  // The control is left with the font it had; detached first, the wrapper does not colour the
  // font that comes back.
  TvexSkinControlVCL::Detach();
  if (Control) RestoreFont(*Control, SavedFontColor);
}

bool TvexSkinCheckBox::SkinsFontColour() const {
  return Engine && Engine->IsSkinActive() && !Engine->NoChangeButtonsFontColor();
}

void TvexSkinCheckBox::UpdateSkinState() {
  if (!Control) return;
  if (SkinsFontColour())
    SetSkinFontColour(*Control, Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
  else
    RestoreFont(*Control, SavedFontColor);
}

TBoxPainter TvexSkinCheckBox::BoxPainter() const { return PaintCheckBoxBox; }

TBoxPainter TvexSkinRadioButton::BoxPainter() const { return PaintRadioButtonBox; }

bool TvexSkinCheckBox::BeforeMessage(TMessage& m) {
  HWND h = WindowOf(Control);
  if (!h) return true;
  // The whole control is painted here, also into a caller's device context (a picture of it):
  // the control's own painting does not run (it cost as much again as the skin's, and would show
  // the system's box).
  return TakePaintTo(m, h, [this](HDC dc) { PaintTo(dc); });
}

void TvexSkinCheckBox::PaintTo(HDC dc) {
  if (!dc || !Control) return;
  // Composed in the back buffer: the background in the control's colour, the skin's box of its
  // state and the caption beside it.
  TControlView view = View();
  view.background = Control->Color();
  view.boxCentred = true;
  view.boxInset = 1;
  const int w = view.bounds.right - view.bounds.left, ht = view.bounds.bottom - view.bounds.top;
  if (w <= 0 || ht <= 0) return;
  utils::TBackBuffer& buffer = utils::TBackBuffer::ForThread();
  TCanvas& canvas = buffer.Canvas(w, ht);
  utils::FillRectColor(canvas, view.bounds, view.background);
  const RECT column = BoxPainter()(*Engine, view, canvas);
  if (!view.caption.empty()) {
    // The font's colour is the skin's while the skin shows; a disabled caption is flat grey (the
    // system's embossed one doubles on a dark skin).
    canvas.Font().Assign(Control->Font());
    if (!view.enabled) canvas.Font().SetColor(0x808080);
    canvas.Brush.style = TBrushStyle::bsClear;
    // As the system's: half a digit between the box and the caption, the caption left-justified
    // in what remains (right-justified when the control is aligned right to left), centred in the
    // height.
    const int gap = std::max(1, canvas.TextWidth(L"0") / 2);
    RECT text = view.bounds;
    if (view.boxRight)
      text.right = column.left - gap;
    else
      text.left = column.right + gap;
    const HWND h = WindowOf(Control);
    const LRESULT ui = h ? SendMessageW(h, WM_QUERYUISTATE, 0, 0) : 0;
    const bool wrap = TryGetProp<std::int64_t>(*Control, "WordWrap").value_or(0) != 0;
    // The framework's reading order and alignment: DT_RTLREADING when the control reads right to
    // left, DT_RIGHT when it is aligned so.
    const UINT flags = Control->DrawTextBiDiModeFlags(DT_LEFT | (wrap ? DT_WORDBREAK : DT_SINGLELINE)) |
                       ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
    RECT measured = text;
    canvas.DrawText(view.caption, measured, (flags & ~DT_RIGHT) | DT_CALCRECT);
    const int textW = std::min(measured.right - measured.left, text.right - text.left);
    const int textH = measured.bottom - measured.top;
    RECT drawn;
    drawn.left = (flags & DT_RIGHT) ? text.right - textW : text.left;
    drawn.right = drawn.left + textW;
    drawn.top = text.top + ((text.bottom - text.top) - textH) / 2;
    drawn.bottom = drawn.top + textH;
    RECT place{text.left, drawn.top, text.right, drawn.bottom};
    if (place.right > place.left) canvas.DrawText(view.caption, place, flags);
    canvas.Brush.style = TBrushStyle::bsSolid;
    if (view.focused && !(ui & UISF_HIDEFOCUS) && drawn.right > drawn.left) {
      RECT f{drawn.left - 1, drawn.top, drawn.right + 1, drawn.bottom};
      IntersectRect(&f, &f, &view.bounds);
      DrawFocusRect(canvas.Handle(), &f);
    }
  }
  buffer.CopyTo(dc, 0, 0, w, ht);
}

void TvexSkinCheckBox::AfterMessage(TMessage& m) {
  // Painted inside the message.
  if (m.Msg == WM_PAINT || m.Msg == WM_PRINTCLIENT || m.Msg == WM_ERASEBKGND) return;
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlVCL::AfterMessage(m);
  if (!*alive || Detached || !Control) return;
  // The system's button draws on the window outside its paint when the focus comes or goes (its
  // focus rectangle, around its own caption's place), when the focus cues change (its whole look)
  // and when it is pushed or let go (its own box, as the mouse button held on it goes off it and
  // back): the skin's picture goes over it at once.
  switch (m.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_LBUTTONDBLCLK:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
      Repaint();
      break;
    default:
      break;
  }
  // The parent's new font arrived with its own colour: the skin's colour goes on it again.
  if (m.Msg == CM_FONTCHANGED && Control->ParentFont() && SkinsFontColour())
    SetSkinFontColour(*Control, Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
}

void TvexSkinCheckBox::Paint() {
  if (HWND h = WindowOf(Control)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

bool TvexSkinRadioButton::BeforeMessage(TMessage& m) {
  if (m.Msg == WM_LBUTTONDBLCLK) {
    // A double click is the control's double-click event, not a second click.
    if (auto handler = TryGetProp<TMethodValue>(*Control, "OnDblClick"); handler && handler->handler) handler->handler(Control);
    return false;
  }
  return TvexSkinCheckBox::BeforeMessage(m);
}

// ---------------------------------------------------------------------------------------------
// Panels and labels

const TClassInfo& TvexSkinGroupBox::StaticClass() {
  static const TClassInfo info("TvexSkinGroupBox", &TvexSkinPanel::StaticClass());
  return info;
}
const TClassInfo& TvexSkinFrame::StaticClass() {
  static const TClassInfo info("TvexSkinFrame", &TvexSkinControlVCL::StaticClass());
  return info;
}

void TvexSkinGroupBox::Paint() {
  auto* box = dynamic_cast<TWinControl*>(Control);
  if (!Engine || !box || !box->HandleAllocated()) return;
  const HWND h = box->Handle();
  HDC dc = GetDC(h);
  if (!dc) return;
  {
    TCanvas canvas(dc);
    canvas.Font().Assign(box->Font());
    canvas.Font().SetColor(Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
    const int th = canvas.TextHeight(L"0");
    const int w = box->Width(), ht = box->Height();
    // The control's own frame, an etched line two pixels wide, lies a pixel below and right of
    // the skin's: both its rings go under the box's colour first, so only the skin's frame shows.
    utils::FrameRectColor(canvas, RECT{0, th / 2, w, ht}, box->Color());
    utils::FrameRectColor(canvas, RECT{1, th / 2 + 1, w - 1, ht - 1}, box->Color());
    utils::FrameRectColor(canvas, RECT{0, th / 2 - 1, w - 1, ht - 1}, Engine->GetSkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR));
    const std::wstring text = box->GetText();
    if (!text.empty()) {
      const UINT flags = box->DrawTextBiDiModeFlags(DT_SINGLELINE);
      RECT r{8, 0, 0, th};
      if (box->UseRightToLeftAlignment()) {
        const int tw = canvas.TextWidth(text);
        r = RECT{w - 1 - tw - 8, 0, 0, th};
      }
      canvas.DrawText(text, r, flags | DT_CALCRECT);
      // The text's own background, in the box's colour, cuts the frame line behind the caption.
      canvas.Brush.style = TBrushStyle::bsSolid;
      canvas.Brush.color = box->Color();
      canvas.DrawText(text, r, flags);
    }
    canvas.SetHandle(nullptr);
  }
  ReleaseDC(h, dc);
}

const TClassInfo& TvexSkinPanel::StaticClass() {
  static const TClassInfo info("TvexSkinPanel", &TvexSkinControlVCL::StaticClass());
  return info;
}
const TClassInfo& TvexSkinLabel::StaticClass() {
  static const TClassInfo info("TvexSkinLabel", &TvexSkinPanel::StaticClass());
  return info;
}

void TvexSkinPanel::Attached() {
  if (!Control) return;
  SavedColor = Control->Color();
  SavedParentColor = Control->ParentColor();
  SavedFontColor = Control->Font().Color();
}

void FollowParentColour(TControl& control, bool skinned, TColor ownColor, bool ownParentColor) {
  if (skinned)
    control.SetParentColor(true);
  else if (!ownParentColor)
    control.SetColor(ownColor);
}

void TvexSkinPanel::UpdateSkinState() {
  if (!Control) return;
  const bool skinned = Engine && Engine->IsSkinActive();
  FollowParentColour(*Control, skinned, SavedColor, SavedParentColor);
  // The text reads on the skin's form colour (a dark skin's too); a container's own caption only
  // changes colour while it paints.
  if (ColoursFont) {
    if (skinned)
      SetSkinFontColour(*Control, Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
    else
      RestoreFont(*Control, SavedFontColor);
  }
  // Painted again in its new colours (a label is painted by its parent, at its place).
  Control->Invalidate();
}

bool TvexSkinPanel::BeforeMessage(TMessage& m) {
  if (m.Msg != WM_PAINT || ColoursFont || !Control || !Engine || !Engine->IsSkinActive()) return true;
  // The control paints its caption with its font: for the length of its own paint the font has
  // the skin's colour, set and taken back without telling anyone (no child sees it).
  TFont& font = Control->Font();
  const TColor own = font.Color(), ink = Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
  if (own == ink) return true;
  TNotifyEvent handler = std::move(font.OnChange);
  font.SetColor(ink);
  const std::shared_ptr<bool> alive = Alive;
  const TWndMethod old = OldWindowProc;
  try {
    old(m);
  } catch (...) {
    if (*alive && Control) {
      Control->Font().SetColor(own);
      Control->Font().OnChange = std::move(handler);
    }
    throw;
  }
  if (*alive && Control) {
    Control->Font().SetColor(own);
    Control->Font().OnChange = std::move(handler);
  }
  return false;
}

void TvexSkinPanel::AfterMessage(TMessage& m) {
  const std::shared_ptr<bool> alive = Alive;
  TvexSkinControlVCL::AfterMessage(m);
  if (!*alive || Detached || !Control || !ColoursFont) return;
  // The parent's new font arrived with its own colour: the skin's colour goes on it again.
  if (m.Msg == CM_FONTCHANGED && Control->ParentFont() && Engine && Engine->IsSkinActive())
    SetSkinFontColour(*Control, Engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
}

void TvexSkinPanel::Detach() {
  // Detached first: the font that comes back is not coloured again.
  TvexSkinControlVCL::Detach();
  if (!Control) return;
  FollowParentColour(*Control, false, SavedColor, SavedParentColor);
  if (ColoursFont) RestoreFont(*Control, SavedFontColor);
}

TvexSkinLabel::TvexSkinLabel(TControl* control, TvexSkinWindow* owner) : TvexSkinPanel(control, owner, StaticClass()) {
  ColoursFont = true;
}


void RegisterStandardControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Looked up from the last row back: later rows are the more specific.
    const TControlClassRow rows[] = {
        {&TButton::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinButton>(c, f); }},
        {&TRadioButton::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinRadioButton>(c, f); }},
        {&TCustomPanel::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinPanel>(c, f); }},
        {&TCustomFrame::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinFrame>(c, f); }},
        {&TCoolBar::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinPanel>(c, f); }},
        {&TCustomGroupBox::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinGroupBox>(c, f); }},
        {&TCustomLabel::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinLabel>(c, f); }},
        {&TCustomHotKey::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinBorderWinControl>(c, f); }},
        {&TSpeedButton::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinSpeedButton>(c, f); }},
        {&TCustomCheckBox::StaticClass(),
         [](TControl* c, TvexSkinWindow* f) -> TvexSkinControlVCL* { return NewControlWrapper<TvexSkinCheckBox>(c, f); }},
    };
    RegisterControlClasses(rows);
  });
}

}  // namespace vex::engine
