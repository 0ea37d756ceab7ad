// Track bars, progress bars and up-downs painted from the skin: the filled part of a progress
// bar, the halves of an up-down, the selection of a track bar where the bar puts the thumb for
// its values, the thumb following keys, native controls of a dialog, and every control looking
// as it did once the skin is off.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/range_ctrl.h"
#include "dialog_template.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/edit.h"
#include "host/progress_bar.h"
#include "host/track_bar.h"
#include "host/up_down.h"
#include "input_support.h"
#include "skinned_engine_fixture.h"
#include "utils/skin_res.h"

namespace vex::engine {
namespace {

using namespace vex::host;
using test::PumpMessages;

// FNV-1a over a window's client pixels (or the whole window) after a full repaint.
std::uint64_t Fingerprint(HWND h, bool whole = false) {
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  PumpMessages();
  RECT r;
  if (whole) {
    GetWindowRect(h, &r);
    OffsetRect(&r, -r.left, -r.top);
  } else {
    GetClientRect(h, &r);
  }
  HDC dc = whole ? GetWindowDC(h) : GetDC(h);
  std::uint64_t hash = 1469598103934665603ull;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) {
      hash ^= GetPixel(dc, x, y);
      hash *= 1099511628211ull;
    }
  ReleaseDC(h, dc);
  return hash;
}

TEST(RangePainters, UpDownHalvesSplitWithInclusiveEdges) {
  struct TCase {
    bool vertical;
    int w, h;
    POINT p;
    int part;
  };
  const TCase cases[] = {
      {true, 16, 24, {8, 0}, -1},  {true, 16, 24, {8, 12}, -1}, {true, 16, 24, {8, 13}, 1},
      {true, 16, 24, {8, 24}, 1},  {true, 16, 24, {8, 25}, 0},  {false, 24, 16, {12, 8}, -1},
      {false, 24, 16, {13, 8}, 1}, {false, 24, 16, {30, 8}, 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(UpDownPartAt(c.vertical, c.w, c.h, c.p), c.part) << c.p.x << "," << c.p.y;
  RECT first, second;
  UpDownHalves(true, 16, 24, first, second);
  EXPECT_TRUE(EqualRect(&first, &static_cast<const RECT&>(RECT{0, 0, 16, 12})));
  EXPECT_TRUE(EqualRect(&second, &static_cast<const RECT&>(RECT{0, 13, 16, 24})));
}

TEST(RangePainters, TheFilledPartOfAProgressBarFollowsThePosition) {
  struct TCase {
    TProgressView view;
    RECT fill;
  };
  const TCase cases[] = {
      {{false, 0, 100, 50}, {1, 0, 50, 16}},   {{false, 0, 100, 0}, {1, 0, 1, 16}},     {{false, 0, 100, 100}, {1, 0, 99, 16}},
      {{false, 10, 10, 5}, {1, 0, 1, 16}},     {{false, 0, 100, 250}, {1, 0, 99, 16}},  {{true, 0, 100, 50}, {0, 50, 16, 99}},
      {{false, -50, 50, 0}, {1, 0, 50, 16}},
  };
  for (const TCase& c : cases) {
    const int w = c.view.vertical ? 16 : 100, h = c.view.vertical ? 100 : 16;
    const RECT r = ProgressFill(c.view, w, h, 1, 1);
    EXPECT_TRUE(EqualRect(&r, &c.fill)) << c.view.position << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

class RangeSkin : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    engine->SetActive(false);
    form->SetBounds(40, 40, 520, 360);
    track = new TTrackBar(form.get());
    track->SetParent(form.get());
    track->SetBounds(10, 10, 300, 40);
    track->SetRange(0, 20);
    track->SetSelStart(5);
    track->SetSelEnd(15);
    progress = new TProgressBar(form.get());
    progress->SetParent(form.get());
    progress->SetBounds(10, 70, 200, 18);
    progress->SetPosition(40);
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 110, 80, 24);
    updown = new TUpDown(form.get());
    updown->SetParent(form.get());
    updown->SetAssociate(edit);
    form->Show();
    PumpMessages();
  }
  void Skin() {
    engine->SetActive(true);
    engine->AttachOwnerForm(form.get());
    PumpMessages();
  }
  TvexSkinControlVCL* WrapperOf(TControl* c) const {
    auto* f = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(form->Handle()));
    return f ? f->WrapperOf(c) : nullptr;
  }

  TTrackBar* track = nullptr;
  TProgressBar* progress = nullptr;
  TEdit* edit = nullptr;
  TUpDown* updown = nullptr;
};

TEST_F(RangeSkin, EachRangeControlIsPaintedFromTheSkinAndLooksAsBeforeWhenItGoes) {
  const std::uint64_t plainTrack = Fingerprint(track->Handle()), plainProgress = Fingerprint(progress->Handle(), true),
                      plainUpDown = Fingerprint(updown->Handle());
  Skin();
  ASSERT_NE(WrapperOf(track), nullptr);
  EXPECT_EQ(WrapperOf(track)->ClassName(), "TvexSkinTrackBar");
  EXPECT_EQ(WrapperOf(progress)->ClassName(), "TvexSkinProgressBar");
  EXPECT_EQ(WrapperOf(updown)->ClassName(), "TvexSkinUpDown");
  EXPECT_NE(Fingerprint(track->Handle()), plainTrack);
  EXPECT_NE(Fingerprint(progress->Handle(), true), plainProgress);
  EXPECT_NE(Fingerprint(updown->Handle()), plainUpDown);
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(Fingerprint(track->Handle()), plainTrack);
  EXPECT_EQ(Fingerprint(progress->Handle(), true), plainProgress);
  EXPECT_EQ(Fingerprint(updown->Handle()), plainUpDown);
}

TEST_F(RangeSkin, TheSelectionStandsWhereTheBarPutsTheThumbForItsValues) {
  Skin();
  const HWND h = track->Handle();
  const TTrackBarView view = TrackBarViewOf(h);
  ASSERT_EQ(view.max, 20);
  // Where the bar itself puts the thumb's middle for a value is where the selection's ends go,
  // lying and standing.
  auto* upright = new TTrackBar(form.get());
  upright->SetParent(form.get());
  upright->SetOrientation(trVertical);
  upright->SetBounds(400, 10, 45, 220);
  upright->SetRange(0, 20);
  PumpMessages();
  for (TTrackBar* bar : {track, upright}) {
    const HWND bh = bar->Handle();
    const TTrackBarView v = TrackBarViewOf(bh);
    ASSERT_EQ(v.vertical, bar == upright);
    for (int value : {0, 3, 5, 11, 15, 20}) {
      bar->SetPosition(value);
      RECT t;
      SendMessageW(bh, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
      EXPECT_NEAR(TrackBarValuePixel(bh, v, value), v.vertical ? (t.top + t.bottom) / 2 : (t.left + t.right) / 2, 1)
          << value << (v.vertical ? " standing" : " lying");
    }
  }
  // The line itself: in the complement of the track's colour from the start to the end value,
  // not before the start (the thumb stands far away at the bar's end).
  track->SetPosition(20);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpMessages();
  const int start = TrackBarValuePixel(h, view, 5), end = TrackBarValuePixel(h, view, 15);
  RECT c;
  SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
  HDC dc = GetDC(h);
  int y = -1;
  for (int yy = 0; yy < 40 && y < 0; ++yy)
    if (GetPixel(dc, (start + end) / 2, yy) != GetPixel(dc, start - 6, yy) && GetPixel(dc, (start + end) / 2, yy) == GetPixel(dc, start + 1, yy))
      y = yy;
  ASSERT_GE(y, 0) << "no selection line found";
  const COLORREF line = GetPixel(dc, (start + end) / 2, y);
  EXPECT_EQ(GetPixel(dc, start, y), line);
  EXPECT_EQ(GetPixel(dc, end, y), line);
  EXPECT_NE(GetPixel(dc, start - 3, y), line);
  EXPECT_NE(GetPixel(dc, end + 4, y), line);
  ReleaseDC(h, dc);
}

TEST_F(RangeSkin, TheThumbIsDrawnWhereTheKeysAndTheMouseMovedIt) {
  const HWND h = track->Handle();
  track->SetPosition(0);
  const auto thumbPixels = [h] {
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT t;
    SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
    HDC dc = GetDC(h);
    std::vector<COLORREF> px;
    for (int y = t.top + 2; y < t.bottom - 2; y += 3) px.push_back(GetPixel(dc, (t.left + t.right) / 2, y));
    ReleaseDC(h, dc);
    return px;
  };
  const std::vector<COLORREF> plain = thumbPixels();
  Skin();
  test::Activate(form->Handle());
  SetFocus(h);
  PumpMessages();
  const std::vector<COLORREF> atStart = thumbPixels();
  ASSERT_NE(atStart, plain) << "the skin's thumb, not the control's own";
  for (int i = 0; i < 7; ++i) {
    SendMessageW(h, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(h, WM_KEYUP, VK_RIGHT, 0);
  }
  PumpMessages();
  EXPECT_EQ(track->Position(), 7);
  EXPECT_EQ(thumbPixels(), atStart) << "the skin's thumb stands where the keys put the bar's thumb";
  // A click on the channel far right pages the thumb towards it.
  RECT c;
  SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  test::ClickScreen(POINT{origin.x + c.right - 6, origin.y + (c.top + c.bottom) / 2});
  test::PumpFor(300);
  EXPECT_GT(track->Position(), 7);
  EXPECT_EQ(thumbPixels(), atStart) << "the skin's thumb stands where the click put the bar's thumb";
}

TEST_F(RangeSkin, ThePressedHalfOfAnUpDownIsShownPressed) {
  updown->SetRange(0, 10);
  updown->SetPosition(5);
  Skin();
  auto* w = dynamic_cast<TvexSkinUpDown*>(WrapperOf(updown));
  ASSERT_NE(w, nullptr);
  const HWND h = updown->Handle();
  RECT r;
  GetClientRect(h, &r);
  const std::uint64_t normal = Fingerprint(h);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom - 3));
  EXPECT_EQ(w->PressedPart, 1);
  const std::uint64_t pressed = Fingerprint(h);
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom - 3));
  PumpMessages();
  EXPECT_EQ(w->PressedPart, 0);
  EXPECT_NE(pressed, normal);
  EXPECT_EQ(Fingerprint(h), normal);
  EXPECT_EQ(updown->Position(), 4) << "the press still reached the control (the lower half counts down)";
}

TEST_F(RangeSkin, ATrackBarTurnedUnderTheSkinTakesTheTrackTurnedWithIt) {
  Skin();
  auto* w = dynamic_cast<TvexSkinTrackBar*>(WrapperOf(track));
  ASSERT_TRUE(w && w->TrackImage && !w->TrackImage->Empty());
  const int length = w->TrackImage->Width(), across = w->TrackImage->Height();
  ASSERT_GT(length, across) << "a lying bar's track lies";
  for (TTrackBarOrientation o : {trVertical, trHorizontal, trVertical}) {
    track->SetOrientation(o);
    PumpMessages();
    RedrawWindow(track->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(w->TrackImage && !w->TrackImage->Empty());
    const bool standing = o == trVertical;
    EXPECT_EQ(w->TrackImage->Width(), standing ? across : length) << o;
    EXPECT_EQ(w->TrackImage->Height(), standing ? length : across) << o;
  }
}

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST_F(RangeSkin, NativeRangeControlsOfADialogAreSkinnedToo) {
  enum : WORD { idTrack = 10, idProgress = 11, idSpin = 12 };
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Range");
  t.Item(L"msctls_trackbar32", L"", idTrack, TBS_AUTOTICKS, 10, 10, 120, 20);
  t.Item(L"msctls_progress32", L"", idProgress, 0, 10, 40, 120, 10);
  t.Item(L"msctls_updown32", L"", idSpin, 0, 140, 10, 10, 20);
  HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  SendDlgItemMessageW(dlg, idProgress, PBM_SETPOS, 60, 0);
  ShowWindow(dlg, SW_SHOW);
  PumpMessages();
  const HWND bar = GetDlgItem(dlg, idProgress);
  const std::uint64_t plain = Fingerprint(bar, true);
  engine->SetActive(true);
  engine->AttachWindow(dlg, true);
  PumpMessages();
  TvexSkinWindow* f = engine->FindFrame(dlg);
  ASSERT_NE(f, nullptr);
  const auto classOf = [f](HWND h) -> std::string {
    for (const auto& c : f->FControls)
      if (c->GetHandle() == h) return c->ClassName();
    return "";
  };
  EXPECT_EQ(classOf(GetDlgItem(dlg, idTrack)), "TvexSkinWndTrackBar");
  EXPECT_EQ(classOf(bar), "TvexSkinWndProgressBar");
  EXPECT_EQ(classOf(GetDlgItem(dlg, idSpin)), "TvexSkinWndUpDown");
  const std::uint64_t skinned = Fingerprint(bar, true);
  EXPECT_NE(skinned, plain);
  SendMessageW(bar, PBM_SETPOS, 20, 0);
  PumpMessages();
  EXPECT_NE(Fingerprint(bar, true), skinned) << "a new position is painted at once";
  DestroyWindow(dlg);
  PumpMessages();
}

}  // namespace
}  // namespace vex::engine
