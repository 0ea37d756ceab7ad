// Wrappers of native containers, labels and bars in skinned dialogs and windows: tool bars, group
// boxes, static controls, status bars, and the child dialogs (pages) that hold more of them.
#pragma once

#include <windows.h>

#include <string>

#include "engine/skin_control.h"
#include "host/color.h"

namespace vex::engine {

// A native tool bar. On the 9x platform it is made flat and transparent once, when it is wrapped;
// everywhere its background is the skin's tool bar (the bitmap stretched, else the gradient or the
// plain start colour) and the control draws its buttons over it.
class TvexSkinWndToolbarWindow32 : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndToolbarWindow32)
 public:
  TvexSkinWndToolbarWindow32(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void Attached() override;
  void Detach() override;
  // The skin's tool bar background over the whole client area, on `dc`.
  void PaintBackground(HDC dc);
};

// A native group box: after the control has painted itself, the skin's one-pixel frame and the
// caption in the skin's control font colour go over it, on the form colour. Nothing inside the
// frame is painted, so the controls the box holds stay as they are.
class TvexSkinWndGroupBox : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndGroupBox)
 public:
  TvexSkinWndGroupBox(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  // A group box is transparent: what it painted goes when its parent repaints under it.
  void Refresh() override;
  void Detach() override;
  // Paints the skin's frame and caption over the control's own drawing on `dc`.
  void PaintOver(HDC dc);
  // Whether the caption stands at the right end (right-aligned or right-to-left reading; a
  // mirrored window mirrors the drawing by itself).
  bool CaptionAtRight() const;
};

// What a static control shows, by its type.
enum class TStaticKind {
  Text,         // SS_LEFT, SS_CENTER, SS_RIGHT, SS_SIMPLE, SS_LEFTNOWORDWRAP
  Rect,         // SS_BLACKRECT, SS_GRAYRECT, SS_WHITERECT
  Frame,        // SS_BLACKFRAME, SS_GRAYFRAME, SS_WHITEFRAME
  EtchedHorz,   // SS_ETCHEDHORZ
  EtchedVert,   // SS_ETCHEDVERT
  EtchedFrame,  // SS_ETCHEDFRAME
  Own           // icons, bitmaps, metafiles, owner-drawn: the control's own painting
};
TStaticKind StaticKindOf(DWORD style);
// The DrawText flags a text static of this style and extended style draws its text with.
UINT StaticTextFormat(DWORD style, DWORD exStyle);

// A native static control: text in the skin's control font colour on the form colour (grey when
// disabled), frames, rectangles and etched lines in the skin's border colour, whatever colours the
// parent would give; pictures and owner-drawn statics keep their own painting.
class TvexSkinWndStatic : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndStatic)
 public:
  TvexSkinWndStatic(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  // The non-client edge (etched lines are drawn by it) is repainted with the client.
  void Refresh() override;
  void Detach() override;
  TStaticKind Kind() const;
  // The client area, and the non-client edge a static may have (a sunken label, an etched line,
  // whose line is its edge): a one-pixel frame, or the line, in the border colour.
  void PaintTo(HDC dc);
  void PaintEdge();
};

// A native status bar, painted whole from the skin: the form colour, each part's edge in the
// border colour and its text in the control font colour (owner-drawn parts by their owner), the
// simple mode's text, and the skin's size grip. Composed off screen and copied in one blit.
class TvexSkinWndStatusBar : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndStatusBar)
 public:
  TvexSkinWndStatusBar(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
  void Detach() override;
  void PaintTo(HDC dc);
  // Whether the skin's grip is drawn: the bar has SBARS_SIZEGRIP and its parent is not maximized.
  bool ShowsGrip() const;

 private:
  // One part into the off-screen DC: its edge, then its text or its owner's drawing. The simple
  // mode's text is asked for as part 0, its icon as part -1, and its owner is told SB_SIMPLEID.
  void PaintPart(HDC dc, int index, bool simple, RECT r);
};

// A child dialog of a skinned window (a page of a property sheet, a dialog's own sub-dialog): its
// background and the text of the statics, check boxes and radio buttons it holds in the skin's
// colours, as on the skinned window itself. Its controls are wrapped by the skinned window.
class TvexSkinWndChildDialog : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndChildDialog)
 public:
  TvexSkinWndChildDialog(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void Refresh() override;
  void Detach() override;
};

// Splits a status bar part's text at its tabs: the text before the first tab is left-aligned, the
// text after it centred, the text after a second tab right-aligned.
struct TStatusTextRuns {
  std::wstring left, centre, right;
};
TStatusTextRuns SplitStatusText(const std::wstring& text);

// Registers the native rows of the containers, labels and bars (once).
void RegisterContainerWindowClasses();

}  // namespace vex::engine
