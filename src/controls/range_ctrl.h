// Track bars, progress bars and up-down buttons painted entirely from the skin, each into an
// off-screen bitmap copied in one blit; the controls keep their input and values. The painters
// serve the framework's controls and native windows of the same kinds alike.
#pragma once

#include <windows.h>

#include <memory>

#include "engine/skin_control.h"
#include "host/bitmap.h"

namespace vex::engine {

// What a track bar's painting needs to know of the control.
struct TTrackBarView {
  bool vertical = false;
  int tickMarks = 0;  // 0 bottom or right, 1 top or left, 2 both
  bool ticks = true;  // false: no ticks (TickStyle none)
  int min = 0, max = 10, selStart = 0, selEnd = 0;
  bool focused = false;
  int dpi = 96;
};
// `focused`: whether the bar has the focus when the caller knows (its wrapper follows it), -1 to
// ask the system.
TTrackBarView TrackBarViewOf(HWND wnd, int focused = -1);

// The channel position of a value, where the track bar puts the thumb's middle for it.
int TrackBarValuePixel(HWND wnd, const TTrackBarView& view, int value);

// Paints a track bar (window `wnd`, client size w x h) and copies the picture onto it.
// `trackImage` is the skin's track, turned for a vertical bar (none: no track drawn).
void PaintTrackBar(TvexSkinEngine& engine, HWND wnd, const TTrackBarView& view, const host::TBitmap* trackImage);

// What a progress bar's painting needs.
struct TProgressView {
  bool vertical = false;
  int min = 0, max = 100, position = 0;
  int dpi = 96;
};
TProgressView ProgressViewOf(HWND wnd);
// The filled part of a progress bar of w x h (left and right widths of the skin's caps given).
RECT ProgressFill(const TProgressView& view, int w, int h, int leftWidth, int rightWidth);
// Paints the whole window of a progress bar (its edge included).
void PaintProgressBar(TvexSkinEngine& engine, HWND wnd, const TProgressView& view);

// The halves of an up-down of w x h: the first (up or left) and the second (down or right).
void UpDownHalves(bool vertical, int w, int h, RECT& first, RECT& second);
// Which half a point is on: -1 the first, 1 the second, 0 neither (edges inclusive).
int UpDownPartAt(bool vertical, int w, int h, POINT p);
// Paints an up-down with `pressed` (-1, 0, 1) onto its client area.
void PaintUpDown(TvexSkinEngine& engine, HWND wnd, bool vertical, bool enabled, int pressed);

// The framework's track bar.
class TvexSkinTrackBar : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinTrackBar)
 public:
  TvexSkinTrackBar(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void Paint() override;
  void UpdateSkinState() override;
  void Detach() override;

  // The skin's track (turned left for a vertical bar); none while the skin is off.
  std::unique_ptr<host::TBitmap> TrackImage;
  // Whether TrackImage was turned to stand: a bar turned since (a new window) takes it anew.
  bool TrackImageStanding = false;
};

// The framework's progress bar.
class TvexSkinProgressBar : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinProgressBar)
 public:
  TvexSkinProgressBar(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
};

// The framework's up-down buttons.
class TvexSkinUpDown : public TvexSkinControlVCL {
  VEX_CLASS(TvexSkinUpDown)
 public:
  TvexSkinUpDown(host::TControl* control, TvexSkinWindow* owner) : TvexSkinControlVCL(control, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void Paint() override;

  // -1 while the left button is down on the first half, 1 on the second, else 0.
  int PressedPart = 0;
};

// Native track bars, progress bars and up-downs in dialogs: the same painting.
class TvexSkinWndTrackBar : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndTrackBar)
 public:
  TvexSkinWndTrackBar(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void Paint() override;
  void UpdateSkinState() override;
  void Detach() override;

  std::unique_ptr<host::TBitmap> TrackImage;
  bool TrackImageStanding = false;
};

class TvexSkinWndProgressBar : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndProgressBar)
 public:
  TvexSkinWndProgressBar(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void AfterMessage(host::TMessage& m) override;
  void Paint() override;
};

class TvexSkinWndUpDown : public TvexSkinControlWnd {
  VEX_CLASS(TvexSkinWndUpDown)
 public:
  TvexSkinWndUpDown(HWND handle, TvexSkinWindow* owner) : TvexSkinControlWnd(handle, owner, StaticClass()) {}
  bool BeforeMessage(host::TMessage& m) override;
  void Paint() override;

  int PressedPart = 0;
};

// Registers the framework and native rows of the range controls (once each).
void RegisterRangeControlClasses();
void RegisterRangeWindowClasses();

}  // namespace vex::engine
