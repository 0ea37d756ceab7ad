// Skinned scroll bars: which wrapper each scrolling control gets, the overlays over scroll-bar
// controls and built-in bars (placed over the native bar, painted from the skin, following the
// thumb, hidden with the skin), clicks passed through to the native bar, the grid's fixed colour,
// the list view header, and the same bars over native windows of a dialog.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "controls/scroll_ctrl.h"
#include "controls/std_ctrl.h"
#include "dialog_template.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/combo_box.h"
#include "host/edit.h"
#include "host/grids.h"
#include "host/list_box.h"
#include "host/list_view.h"
#include "host/scroll_bar.h"
#include "host/scroll_box.h"
#include "host/subclass.h"
#include "host/std_controls.h"
#include "host/tree_view.h"
#include "input_support.h"
#include "skin2/skin_keys.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
using test::PumpMessages;

// A pixel of the screen (what the user sees, overlays included).
COLORREF ScreenPixel(POINT p) {
  HDC dc = GetDC(nullptr);
  const COLORREF c = GetPixel(dc, p.x, p.y);
  ReleaseDC(nullptr, dc);
  return c;
}

RECT ScreenRect(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r;
}

// The rectangle of a built-in bar (OBJID_VSCROLL / OBJID_HSCROLL) in screen coordinates.
SCROLLBARINFO BarInfo(HWND h, LONG id) {
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  GetScrollBarInfo(h, id, &info);
  return info;
}

class ScrollSkin : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    form->SetBounds(40, 40, 560, 420);
    form->SetClientSize(540, 380);
  }
  void TearDown() override {
    if (dlg && IsWindow(dlg)) DestroyWindow(dlg);
    PumpMessages();
    form.reset();
    PumpMessages();
  }
  void Show() {
    engine->AttachOwnerForm(form.get());
    form->Show();
    PumpMessages();
    SetForegroundWindow(form->Handle());
    PumpMessages();
  }
  TvexSkinWindowVCL* Frame() const { return dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(form->Handle())); }
  TvexSkinControlVCL* WrapperOf(TControl* c) const {
    TvexSkinWindowVCL* f = Frame();
    return f ? f->WrapperOf(c) : nullptr;
  }
  TMemo* NewMemo(int lines, TScrollStyle bars) {
    auto* memo = new TMemo(form.get());
    memo->SetParent(form.get());
    memo->SetBounds(10, 10, 200, 120);
    memo->SetScrollBars(bars);
    memo->SetWordWrap(false);
    std::string text;
    for (int i = 0; i < lines; ++i) {
      text += "Line ";
      text += std::to_string(i);
      text += " with a tail long enough to need the horizontal bar\r\n";
    }
    memo->SetText(Utf8ToWideForTest(text));
    return memo;
  }
  static std::wstring Utf8ToWideForTest(const std::string& s) { return std::wstring(s.begin(), s.end()); }
  TColor SkinColor(keys::color::TColorKey key) const { return ColorToRGB(engine->GetSkinColor(key)); }

  HWND dlg = nullptr;
};

// The first row (from the top) of the overlay's picture at column x whose colour is not the bar
// colour below the first arrow: where the thumb starts; -1 without a thumb.
int ThumbTopInBuffer(const TvexSkinScrollOverlay& o, TColor barColour) {
  const int w = o.Buffer.Width(), h = o.Buffer.Height();
  for (int y = w; y < h - w; ++y)
    if (ColorToRGB(o.Buffer.PixelColor(w / 2, y)) != barColour) return y;
  return -1;
}

TEST_F(ScrollSkin, EachScrollingControlGetsItsWrapperAndItsOverlays) {
  struct TCase {
    const char* name;
    TControl* control;
    const char* wrapper;
    bool overlays;
  };
  auto* edit = new TEdit(form.get());
  auto* mask = new TMaskEdit(form.get());
  auto* memo = new TMemo(form.get());
  auto* list = new TListBox(form.get());
  auto* view = new TListView(form.get());
  auto* tree = new TTreeView(form.get());
  auto* grid = new TStringGrid(form.get());
  auto* box = new TScrollBox(form.get());
  auto* bar = new TScrollBar(form.get());
  auto* panel = new TPanel(form.get());
  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->SetBounds(5, 400, 120, 24);
  const TCase cases[] = {
      {"a single-line edit", edit, "TvexSkinScrollWinControl", false},
      {"a masked edit", mask, "TvexSkinScrollWinControl", false},
      {"a memo", memo, "TvexSkinScrollWinControl", true},
      {"a list box", list, "TvexSkinScrollWinControl", true},
      {"a list view", view, "TvexSkinListView", true},
      {"a tree view", tree, "TvexSkinScrollWinControl", true},
      {"a grid", grid, "TvexSkinGrid", true},
      {"a scroll box", box, "TvexSkinScrollWinControl", true},
      {"a scroll bar", bar, "TvexSkinScrollBar", false},
      {"a panel (a custom control of a later row)", panel, "TvexSkinPanel", false},
  };
  int x = 0;
  for (const TCase& c : cases) {
    c.control->SetParent(form.get());
    c.control->SetBounds(5 + (x % 5) * 105, 5 + (x / 5) * 110, 100, 100);
    ++x;
  }
  EXPECT_EQ(edit->ImeMode(), imDontCare);
  Show();
  for (const TCase& c : cases) {
    TvexSkinControlVCL* w = WrapperOf(c.control);
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_EQ(w->ClassName(), c.wrapper) << c.name;
    if (auto* s = dynamic_cast<TvexSkinScrollWinControl*>(w)) {
      EXPECT_EQ(s->VertOverlay != nullptr, c.overlays) << c.name;
      EXPECT_EQ(s->HorzOverlay != nullptr, c.overlays) << c.name;
      if (s->VertOverlay) {
        EXPECT_EQ(s->VertOverlay->Parent(), form.get()) << c.name;
      }
    }
  }
  ASSERT_NE(WrapperOf(combo), nullptr);
  EXPECT_EQ(WrapperOf(combo)->ClassName(), "TvexSkinComboBox") << "a combo box is a list control with a row of its own";
  auto* sb = dynamic_cast<TvexSkinScrollBar*>(WrapperOf(bar));
  ASSERT_NE(sb, nullptr);
  EXPECT_NE(sb->Overlay, nullptr);
  EXPECT_TRUE(bar->ControlStyle() & csAcceptsControls);
  EXPECT_EQ(edit->ImeMode(), imSAlpha) << "an edit left to the system's input method gets the half-width alphabet";
}

TEST_F(ScrollSkin, TheOverlaysCoverTheNativeBarsAndFollowTheThumb) {
  TMemo* memo = NewMemo(60, ssBoth);
  Show();
  auto* w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->VertOverlay, nullptr);
  ASSERT_NE(w->HorzOverlay, nullptr);
  const HWND h = memo->Handle();
  for (const auto& [overlay, id] : {std::pair{w->VertOverlay, OBJID_VSCROLL}, std::pair{w->HorzOverlay, OBJID_HSCROLL}}) {
    ASSERT_TRUE(overlay->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(overlay->Handle()));
    const RECT bar = BarInfo(h, id).rcScrollBar;
    EXPECT_TRUE(EqualRect(&bar, &static_cast<const RECT&>(ScreenRect(overlay->Handle()))))
        << "overlay at " << ScreenRect(overlay->Handle()).left << "," << ScreenRect(overlay->Handle()).top << ", bar at " << bar.left
        << "," << bar.top;
  }
  const TColor barColour = SkinColor(keys::color::SKIN2_SCROLLBARCOLOR);
  const RECT vbar = BarInfo(h, OBJID_VSCROLL).rcScrollBar;
  const int side = vbar.right - vbar.left;
  const POINT nearTop{vbar.left + side / 2, vbar.top + side + 4}, nearBottom{vbar.left + side / 2, vbar.bottom - side - 4};
  // At the top: the thumb just below the first arrow, the bar colour above the second.
  EXPECT_NE(static_cast<TColor>(ScreenPixel(nearTop)), barColour);
  EXPECT_EQ(static_cast<TColor>(ScreenPixel(nearBottom)), barColour);
  const int thumbTop = ThumbTopInBuffer(*w->VertOverlay, barColour);
  SendMessageW(h, WM_VSCROLL, SB_BOTTOM, 0);
  PumpMessages();
  EXPECT_GT(ThumbTopInBuffer(*w->VertOverlay, barColour), thumbTop);
  EXPECT_EQ(static_cast<TColor>(ScreenPixel(nearTop)), barColour);
  EXPECT_NE(static_cast<TColor>(ScreenPixel(nearBottom)), barColour);
  // Keys scroll the memo without a scroll message: the next paint follows the thumb.
  SendMessageW(h, WM_KEYDOWN, VK_HOME, 0);
  SendMessageW(h, WM_KEYDOWN, VK_PRIOR, 0);
  SendMessageW(h, WM_KEYDOWN, VK_PRIOR, 0);
  SendMessageW(h, WM_KEYDOWN, VK_PRIOR, 0);
  SendMessageW(memo->Handle(), EM_LINESCROLL, 0, -1000);
  PumpMessages();
  EXPECT_EQ(ThumbTopInBuffer(*w->VertOverlay, barColour), thumbTop);
  // The control brought above its siblings: the overlays follow it to the top.
  memo->BringToFront();
  PumpMessages();
  EXPECT_EQ(static_cast<TColor>(ScreenPixel(nearBottom)), barColour) << "the native bar shows through";
  // The square between the two bars takes the form colour.
  const RECT hbar = BarInfo(h, OBJID_HSCROLL).rcScrollBar;
  EXPECT_EQ(static_cast<TColor>(ScreenPixel(POINT{hbar.right + 2, hbar.top + 2})), ColorToRGB(engine->GetFormColor()));
}

TEST_F(ScrollSkin, ADisabledBarShowsNoThumbAndTheOverlaysFollowTheSkin) {
  TMemo* memo = NewMemo(60, ssVertical);
  Show();
  auto* w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->VertOverlay, nullptr);
  const TColor barColour = SkinColor(keys::color::SKIN2_SCROLLBARCOLOR);
  EXPECT_GT(ThumbTopInBuffer(*w->VertOverlay, barColour), 0);
  EXPECT_FALSE(IsWindowVisible(w->HorzOverlay->Handle())) << "a memo without a horizontal bar shows no horizontal overlay";
  EnableScrollBar(memo->Handle(), SB_VERT, ESB_DISABLE_BOTH);
  w->Paint();
  EXPECT_EQ(ThumbTopInBuffer(*w->VertOverlay, barColour), -1);
  EnableScrollBar(memo->Handle(), SB_VERT, ESB_ENABLE_BOTH);
  for (int round = 0; round < 2; ++round) {
    engine->SetActive(false);
    PumpMessages();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(IsWindowVisible(w->VertOverlay->Handle())) << round;
    engine->SetActive(true);
    PumpMessages();
    w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->VertOverlay, nullptr);
    EXPECT_TRUE(IsWindowVisible(w->VertOverlay->Handle())) << round;
  }
  memo->SetVisible(false);
  PumpMessages();
  EXPECT_FALSE(IsWindowVisible(w->VertOverlay->Handle())) << "a hidden control takes its bars along";
}

// The arrows and the bar come from the skin in force: another skin repaints them with its own, and
// the first one back gives the first picture again.
TEST_F(ScrollSkin, AnotherSkinRepaintsTheOverlaysWithItsOwnArrowsAndBar) {
  TMemo* memo = NewMemo(60, ssVertical);
  Show();
  test::WriteFile(dir / "dark.vsk", keys::BuildDarkSkinArchive());
  // The overlay's picture after a fresh paint: its top arrow, and the bar colour below it.
  const auto picture = [&] {
    auto* w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
    EXPECT_NE(w, nullptr);
    if (!w || !w->VertOverlay) return std::vector<TColor>{};
    w->Paint();
    const TBitmap& b = w->VertOverlay->Buffer;
    std::vector<TColor> px;
    for (int y = 0; y < b.Width(); ++y)
      for (int x = 0; x < b.Width(); ++x) px.push_back(ColorToRGB(b.PixelColor(x, y)));
    px.push_back(ColorToRGB(b.PixelColor(b.Width() / 2, b.Height() - b.Width() - 1)));
    return px;
  };
  const auto light = picture();
  ASSERT_FALSE(light.empty());
  EXPECT_EQ(light.back(), SkinColor(keys::color::SKIN2_SCROLLBARCOLOR));
  engine->SetSkinFile((dir / "dark.vsk").u8string());
  PumpMessages();
  const auto dark = picture();
  EXPECT_EQ(dark.back(), SkinColor(keys::color::SKIN2_SCROLLBARCOLOR));
  EXPECT_NE(dark.back(), light.back());
  EXPECT_NE(dark, light);
  engine->SetSkinFile((dir / "default.vsk").u8string());
  PumpMessages();
  EXPECT_EQ(picture(), light);
}

int gBarColourQueries = 0;
HWND gQueriedBar = nullptr;
LRESULT CALLBACK CountBarColourQueries(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_CTLCOLORSCROLLBAR && reinterpret_cast<HWND>(lp) == gQueriedBar) ++gBarColourQueries;
  return host::DefSubclass(w, msg, wp, lp);
}

TEST_F(ScrollSkin, AScrollBarUnderItsOverlayDoesNotPaintItself) {
  auto* bar = new TScrollBar(form.get());
  bar->SetParent(form.get());
  bar->SetKind(sbVertical);
  bar->SetBounds(300, 10, 17, 200);
  bar->SetMax(100);
  bar->SetPosition(30);
  Show();
  auto* sb = dynamic_cast<TvexSkinScrollBar*>(WrapperOf(bar));
  ASSERT_NE(sb, nullptr);
  ASSERT_NE(sb->Overlay, nullptr);
  ASSERT_TRUE(IsWindowVisible(sb->Overlay->Handle()));
  // The system's scroll bar asks its parent for the colour of its track whenever it paints.
  gQueriedBar = bar->Handle();
  ASSERT_TRUE(host::SetSubclass(form->Handle(), CountBarColourQueries, 1, 0));
  const auto repaint = [&] {
    gBarColourQueries = 0;
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    return gBarColourQueries;
  };
  EXPECT_EQ(repaint(), 0) << "covered by the skin's picture, the bar's own paint is skipped";
  const TColor barColour = SkinColor(keys::color::SKIN2_SCROLLBARCOLOR);
  const int before = ThumbTopInBuffer(*sb->Overlay, barColour);
  bar->SetPosition(90);
  EXPECT_EQ(repaint(), 0);
  EXPECT_GT(ThumbTopInBuffer(*sb->Overlay, barColour), before) << "the picture follows the position all the same";
  // A paint into a device context of the caller's (a picture of the bar taken by someone) is not
  // the screen's: the bar paints into it, and its own update region is left alone.
  {
    const int w = bar->Width(), h = bar->Height();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    const COLORREF sentinel = RGB(255, 0, 255);
    HBRUSH fill = CreateSolidBrush(sentinel);
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, fill);
    DeleteObject(fill);
    InvalidateRect(bar->Handle(), nullptr, FALSE);
    SendMessageW(bar->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    int painted = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) painted += GetPixel(dc, x, y) != sentinel;
    EXPECT_GT(painted, w * h / 2) << "the bar's picture in the caller's device context";
    EXPECT_TRUE(GetUpdateRect(bar->Handle(), nullptr, FALSE)) << "the window's own paint still to come";
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    PumpMessages();
  }
  engine->SetActive(false);
  PumpMessages();
  EXPECT_GT(repaint(), 0) << "without the skin the bar paints itself";
  host::RemoveSubclass(form->Handle(), CountBarColourQueries, 1);
}

TEST_F(ScrollSkin, ClicksOnTheOverlaysScrollTheNativeBars) {
  TMemo* memo = NewMemo(60, ssVertical);
  auto* bar = new TScrollBar(form.get());
  bar->SetParent(form.get());
  bar->SetKind(sbVertical);
  bar->SetBounds(300, 10, 17, 150);
  bar->SetMax(50);
  bar->SetSmallChange(3);
  Show();
  auto* w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->VertOverlay, nullptr);
  const RECT v = ScreenRect(w->VertOverlay->Handle());
  const int side = v.right - v.left;
  ASSERT_EQ(SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  test::ClickScreen(POINT{v.left + side / 2, v.bottom - side / 2});
  test::PumpFor(300);
  EXPECT_EQ(SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 1) << "the down arrow scrolls by a line";

  auto* sb = dynamic_cast<TvexSkinScrollBar*>(WrapperOf(bar));
  ASSERT_NE(sb, nullptr);
  ASSERT_NE(sb->Overlay, nullptr);
  const RECT o = ScreenRect(sb->Overlay->Handle());
  const RECT c = ScreenRect(bar->Handle());
  EXPECT_TRUE(EqualRect(&o, &c)) << "the overlay covers the scroll bar";
  test::ClickScreen(POINT{o.left + 8, o.bottom - 8});
  test::PumpFor(300);
  EXPECT_EQ(bar->Position(), 3) << "the down arrow moves by the small change";
  // The arrow under the mouse shows hot; leaving it, normal.
  test::MoveMouseTo(POINT{o.left + 8, o.top + 8});
  test::PumpFor(200);
  EXPECT_EQ(sb->Overlay->Arrows.up, 2);
  EXPECT_EQ(sb->Overlay->Arrows.down, 1);
  test::MoveMouseTo(POINT{o.right + 80, o.top + 8});
  test::PumpFor(200);
  EXPECT_EQ(sb->Overlay->Arrows.up, 1);
  // The thumb follows the position set by the program.
  const TColor barColour = SkinColor(keys::color::SKIN2_SCROLLBARCOLOR);
  const int before = ThumbTopInBuffer(*sb->Overlay, barColour);
  bar->SetPosition(50);
  PumpMessages();
  EXPECT_GT(ThumbTopInBuffer(*sb->Overlay, barColour), before);
}

// Inside the system's drag loop a timer looks at the overlay: the thumb follows the cursor while
// the grid itself only scrolls when the drag ends.
struct TDragProbe {
  TvexSkinScrollOverlay* overlay = nullptr;
  TColor barColour = 0;
  TCustomGrid* grid = nullptr;
  int thumbDuring = -1, topRowDuring = -1;
  bool done = false;
};
TDragProbe* gProbe = nullptr;

void CALLBACK ProbeTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (!gProbe || gProbe->done) return;
  gProbe->done = true;
  gProbe->thumbDuring = ThumbTopInBuffer(*gProbe->overlay, gProbe->barColour);
  gProbe->topRowDuring = gProbe->grid->TopRow();
  test::MouseButton(true);
}

TEST_F(ScrollSkin, DraggingAGridsThumbMovesTheOverlaysThumbBeforeTheGridScrolls) {
  auto* grid = new TStringGrid(form.get());
  grid->SetParent(form.get());
  grid->SetBounds(10, 10, 300, 200);
  grid->SetRowCount(200);
  grid->SetColCount(4);
  Show();
  auto* w = dynamic_cast<TvexSkinGrid*>(WrapperOf(grid));
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->VertOverlay, nullptr);
  const TColor barColour = SkinColor(keys::color::SKIN2_SCROLLBARCOLOR);
  const int before = ThumbTopInBuffer(*w->VertOverlay, barColour);
  ASSERT_GT(before, 0);
  const RECT v = ScreenRect(w->VertOverlay->Handle());
  const int side = v.right - v.left;
  const POINT thumb{v.left + side / 2, v.top + before + 3};
  TDragProbe probe{w->VertOverlay, barColour, grid};
  gProbe = &probe;
  const UINT_PTR timer = SetTimer(nullptr, 0, 400, ProbeTimer);
  // The bar runs its own loop from the press to the release: the press and the moves are queued
  // first; the timer looks and releases the button inside that loop.
  test::MoveMouseTo(thumb);
  test::MouseButton(false);
  test::MoveMouseTo(POINT{thumb.x, thumb.y + 30});
  test::MoveMouseTo(POINT{thumb.x, thumb.y + 60});
  test::PumpFor(900);
  KillTimer(nullptr, timer);
  gProbe = nullptr;
  if (!probe.done) test::MouseButton(true);
  test::PumpFor(200);
  ASSERT_TRUE(probe.done) << "the timer ran inside the drag";
  EXPECT_EQ(probe.topRowDuring, 1) << "the grid waits for the end of the drag";
  EXPECT_GE(probe.thumbDuring, before + 50) << "the overlay's thumb moved with the cursor";
  EXPECT_GT(grid->TopRow(), 1) << "the grid scrolled when the drag ended";
}

TEST_F(ScrollSkin, TheGridsFixedCellsTakeTheFormColourAndGetTheirOwnBack) {
  auto* grid = new TStringGrid(form.get());
  grid->SetParent(form.get());
  grid->SetBounds(10, 10, 300, 200);
  grid->SetFixedColor(clTeal);
  Show();
  EXPECT_EQ(grid->FixedColor(), engine->GetFormColor());
  for (int round = 0; round < 2; ++round) {
    // A second look at the skin while it shows does not take the skin's colour for the grid's.
    if (auto* w = WrapperOf(grid)) w->UpdateSkinState();
    engine->SetActive(false);
    PumpMessages();
    EXPECT_EQ(grid->FixedColor(), clTeal) << round;
    engine->SetActive(true);
    PumpMessages();
    EXPECT_EQ(grid->FixedColor(), engine->GetFormColor()) << round;
  }
}

TEST_F(ScrollSkin, TheListViewHeaderIsPaintedFromTheSkin) {
  auto* view = new TListView(form.get());
  view->SetParent(form.get());
  view->SetBounds(10, 10, 400, 200);
  view->SetViewStyle(vsReport);
  struct TCol {
    const wchar_t* caption;
    int width;
    TAlignment alignment;
  };
  for (const TCol& c : {TCol{L"Name", 120, taLeftJustify}, TCol{L"Size", 100, taRightJustify}, TCol{L"", 0, taLeftJustify},
                        TCol{L"Kind", 90, taCenter}}) {
    TListColumn* col = static_cast<TListColumn*>(view->Columns().Add());
    col->SetCaption(c.caption);
    col->SetWidth(c.width);
    col->SetAlignment(c.alignment);
  }
  Show();
  auto* w = dynamic_cast<TvexSkinListView*>(WrapperOf(view));
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->HeaderHandle(), nullptr);
  InvalidateRect(w->HeaderHandle(), nullptr, TRUE);
  UpdateWindow(w->HeaderHandle());
  HDC dc = GetWindowDC(w->HeaderHandle());
  const TColor formColour = ColorToRGB(engine->GetFormColor());
  const TColor border = SkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR);
  RECT size{}, zero{}, kind{};
  SendMessageW(w->HeaderHandle(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&size));
  SendMessageW(w->HeaderHandle(), HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&zero));
  SendMessageW(w->HeaderHandle(), HDM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&kind));
  const int mid = (size.top + size.bottom) / 2;
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, size.left + 2, size.top + 2)), formColour);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, size.right - 1, mid)), border) << "the separator";
  // The right-justified caption's advance ends 8 pixels before the column's edge, its ink a few
  // pixels sooner (the two last columns of pixels are the separators of this column and of the
  // zero-width one after it).
  int rightmost = -1;
  for (int x = size.left; x < size.right - 2; ++x)
    for (int y = size.top + 1; y < size.bottom - 1; ++y)
      if (static_cast<TColor>(GetPixel(dc, x, y)) != formColour) rightmost = x;
  EXPECT_GE(rightmost, size.right - 8 - 6);
  EXPECT_LT(rightmost, size.right - 8);
  // The captions stand on the form colour: nothing of the device context's own (white) background
  // around their letters.
  int white = 0;
  for (const RECT& c : {size, kind})
    for (int x = c.left + 1; x < c.right - 3; ++x)
      for (int y = c.top + 1; y < c.bottom - 1; ++y)
        if (GetPixel(dc, x, y) == RGB(255, 255, 255)) ++white;
  EXPECT_EQ(white, 0);
  // The zero-width column after it: a double line at the shared edge.
  EXPECT_EQ(zero.right, size.right);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, kind.right - 1, mid)), border);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, zero.right - 2, mid)), border);
  // Beyond the last column: the form colour; the bottom line under the columns.
  RECT hr;
  GetWindowRect(w->HeaderHandle(), &hr);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, kind.right + 10, mid)), formColour);
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 5, hr.bottom - hr.top - 1)), border);
  ReleaseDC(w->HeaderHandle(), dc);
}


// What the overlay shows at a point of the screen inside it, against what the screen shows there.
void ExpectScreenShowsOverlay(const TvexSkinScrollOverlay& o, POINT local, const char* what) {
  POINT screen = local;
  ClientToScreen(const_cast<TvexSkinScrollOverlay&>(o).Handle(), &screen);
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(ScreenPixel(screen))), ColorToRGB(o.Buffer.PixelColor(local.x, local.y))) << what;
}

TEST_F(ScrollSkin, AHiddenControlKeepsItsBarsHiddenWhenTheSkinComesBack) {
  TMemo* memo = NewMemo(60, ssBoth);
  Show();
  auto* w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->VertOverlay, nullptr);
  ASSERT_NE(w->HorzOverlay, nullptr);
  memo->SetVisible(false);
  PumpMessages();
  engine->SetActive(false);
  PumpMessages();
  engine->SetActive(true);
  PumpMessages();
  w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
  ASSERT_NE(w, nullptr);
  for (TvexSkinScrollOverlay* o : {static_cast<TvexSkinScrollOverlay*>(w->VertOverlay), static_cast<TvexSkinScrollOverlay*>(w->HorzOverlay)}) {
    ASSERT_NE(o, nullptr);
    EXPECT_FALSE(IsWindowVisible(o->Handle())) << (o->Vertical ? "vertical" : "horizontal") << ": no bar of a hidden memo shows";
  }
  memo->SetVisible(true);
  PumpMessages();
  EXPECT_TRUE(IsWindowVisible(w->VertOverlay->Handle())) << "shown again, the memo has its bars back";
}

TEST_F(ScrollSkin, AListViewMadeAgainKeepsItsHeaderSkinned) {
  auto* view = new TListView(form.get());
  view->SetParent(form.get());
  view->SetBounds(10, 10, 400, 200);
  view->SetViewStyle(vsReport);
  auto* col = static_cast<TListColumn*>(view->Columns().Add());
  col->SetCaption(L"Name");
  col->SetWidth(120);
  Show();
  auto* w = dynamic_cast<TvexSkinListView*>(WrapperOf(view));
  ASSERT_NE(w, nullptr);
  const TColor formColour = ColorToRGB(engine->GetFormColor());
  // Each of these makes the list view's window (and its header) anew.
  const std::function<void()> remakes[] = {[view] { view->SetBorderStyle(bsNone); }, [view] { view->SetBorderStyle(bsSingle); },
                                          [view] { view->SetOwnerData(true); }};
  for (std::size_t i = 0; i < std::size(remakes); ++i) {
    const HWND before = view->Handle();
    remakes[i]();
    PumpMessages();
    ASSERT_NE(view->Handle(), before) << i;
    const HWND header = reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr) << i;
    EXPECT_EQ(w->HeaderHandle(), header) << i;
    EXPECT_EQ(w->ListHandle, view->Handle()) << i;
    InvalidateRect(header, nullptr, TRUE);
    UpdateWindow(header);
    RECT ir{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&ir));
    HDC dc = GetWindowDC(header);
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, ir.left + 2, ir.top + 2)), formColour) << i;
    ReleaseDC(header, dc);
  }
  // The skin off: the header the wrapper now holds paints itself again.
  engine->SetActive(false);
  PumpMessages();
  const HWND header = reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_GETHEADER, 0, 0));
  InvalidateRect(header, nullptr, TRUE);
  UpdateWindow(header);
  HDC dc = GetWindowDC(header);
  EXPECT_NE(static_cast<TColor>(GetPixel(dc, 4, 4)), formColour);
  ReleaseDC(header, dc);
}

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST_F(ScrollSkin, NativeListsAndMultiLineEditsOfADialogGetTheSameBars) {
  enum : WORD { idList = 10, idMemo = 11, idLine = 12 };
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Lists");
  t.Item(L"LISTBOX", L"", idList, WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 10, 10, 80, 60);
  t.Item(L"EDIT", L"", idMemo, WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 100, 10, 80, 60);
  t.Item(L"EDIT", L"", idLine, WS_BORDER, 10, 80, 80, 12);
  dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  const HWND list = GetDlgItem(dlg, idList);
  for (int i = 0; i < 40; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Item " + std::to_wstring(i)).c_str()));
  SetWindowPos(dlg, nullptr, 100, 100, 320, 200, SWP_NOZORDER);
  ShowWindow(dlg, SW_SHOW);
  PumpMessages();
  engine->AttachWindow(dlg, true);
  PumpMessages();
  TvexSkinWindow* f = engine->FindFrame(dlg);
  ASSERT_NE(f, nullptr);
  const auto wrapperOf = [f](HWND h) -> TvexSkinWndScrollControl* {
    for (const auto& c : f->FControls)
      if (c->GetHandle() == h) return dynamic_cast<TvexSkinWndScrollControl*>(c.get());
    return nullptr;
  };
  TvexSkinWndScrollControl* lw = wrapperOf(list);
  ASSERT_NE(lw, nullptr);
  EXPECT_NE(wrapperOf(GetDlgItem(dlg, idMemo)), nullptr);
  EXPECT_EQ(wrapperOf(GetDlgItem(dlg, idLine)), nullptr) << "a single-line edit keeps its own look";
  ASSERT_NE(lw->VertOverlay, nullptr);
  ASSERT_TRUE(lw->VertOverlay->HandleAllocated());
  EXPECT_EQ(GetParent(lw->VertOverlay->Handle()), dlg);
  EXPECT_TRUE(IsWindowVisible(lw->VertOverlay->Handle()));
  const RECT bar = BarInfo(list, OBJID_VSCROLL).rcScrollBar;
  const RECT o = ScreenRect(lw->VertOverlay->Handle());
  EXPECT_TRUE(EqualRect(&bar, &o));
  const int side = o.right - o.left;
  test::ClickScreen(POINT{o.left + side / 2, o.bottom - side / 2});
  test::PumpFor(300);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1) << "the click reached the list box's own bar";
  // Dialog controls draw over overlapping siblings unless they clip them: the list box painting
  // its frame and bar again must not cover the overlay (which copies nothing while its picture is
  // unchanged).
  RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpMessages();
  ExpectScreenShowsOverlay(*lw->VertOverlay, POINT{side / 2, side / 2}, "the up arrow");
  ExpectScreenShowsOverlay(*lw->VertOverlay, POINT{side / 2, o.bottom - o.top - side / 2}, "the down arrow");
  // The dialog goes: the overlays go with it, nothing is left with the engine.
  DestroyWindow(dlg);
  dlg = nullptr;
  PumpMessages();
  for (int i = 0; i < engine->ComponentCount(); ++i)
    EXPECT_FALSE(engine->Components(i)->Is<TvexSkinScrollOverlay>()) << "an overlay outlived its dialog";
}

// A window of the shell view's class name, holding a list as a file dialog's view does.
HWND MakeShellView(HWND dialog, int x) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SHELLDLL_DefView";
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
  HWND view = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, x, 10, 120, 100, dialog, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 120, 100, view,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 40; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"file"));
  return list;
}

TEST_F(ScrollSkin, TheListInsideAShellViewIsWrappedAlsoWhenTheViewIsMadeAgain) {
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Files");
  dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  SetWindowPos(dlg, nullptr, 100, 100, 320, 200, SWP_NOZORDER);
  const HWND first = MakeShellView(dlg, 10);
  ShowWindow(dlg, SW_SHOW);
  PumpMessages();
  engine->AttachWindow(dlg, true);
  PumpMessages();
  TvexSkinWindow* f = engine->FindFrame(dlg);
  ASSERT_NE(f, nullptr);
  const auto wrapperOf = [f](HWND h) -> TvexSkinWndScrollControl* {
    for (const auto& c : f->FControls)
      if (c->GetHandle() == h) return dynamic_cast<TvexSkinWndScrollControl*>(c.get());
    return nullptr;
  };
  ASSERT_NE(wrapperOf(first), nullptr) << "the list inside the view is wrapped with the dialog";
  // The dialog shows another folder: a new view with a new list, the old one gone.
  DestroyWindow(GetParent(first));
  const HWND second = MakeShellView(dlg, 150);
  PumpMessages();
  TvexSkinWndScrollControl* w = wrapperOf(second);
  ASSERT_NE(w, nullptr) << "a view made while the dialog is skinned has its list wrapped";
  ASSERT_NE(w->VertOverlay, nullptr);
  ASSERT_TRUE(w->VertOverlay->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(w->VertOverlay->Handle()));
  const RECT bar = BarInfo(second, OBJID_VSCROLL).rcScrollBar;
  const RECT o = ScreenRect(w->VertOverlay->Handle());
  EXPECT_TRUE(EqualRect(&bar, &o));
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// Hides of the watched windows while a skin switch runs.
struct THideWatch {
  static inline std::vector<HWND> watched;
  static inline int hides = 0;
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && std::find(watched.begin(), watched.end(), m->hwnd) != watched.end()) {
      if (m->message == WM_SHOWWINDOW && !m->wParam) ++hides;
      if (m->message == WM_WINDOWPOSCHANGING && (reinterpret_cast<const WINDOWPOS*>(m->lParam)->flags & SWP_HIDEWINDOW)) ++hides;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
};

// A skin switch paints every window once with the new skin: the overlays stay over the bars all
// along (hidden for a moment, the control's own bars would show between the two skins), in a
// framework form and in a native dialog alike.
TEST_F(ScrollSkin, ASkinSwitchNeverUncoversTheNativeBars) {
  TMemo* memo = NewMemo(60, ssBoth);
  Show();
  auto* w = dynamic_cast<TvexSkinScrollWinControl*>(WrapperOf(memo));
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->VertOverlay && w->HorzOverlay);
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Lists");
  t.Item(L"LISTBOX", L"", 10, WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 10, 10, 80, 60);
  dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  const HWND list = GetDlgItem(dlg, 10);
  for (int i = 0; i < 40; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Item"));
  SetWindowPos(dlg, nullptr, 620, 100, 320, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(dlg, SW_SHOWNOACTIVATE);
  engine->AttachWindow(dlg, true);
  PumpMessages();
  TvexSkinWndScrollControl* lw = nullptr;
  for (const auto& c : engine->FindFrame(dlg)->FControls)
    if (c->GetHandle() == list) lw = dynamic_cast<TvexSkinWndScrollControl*>(c.get());
  ASSERT_NE(lw, nullptr);
  ASSERT_NE(lw->VertOverlay, nullptr);
  const std::vector<HWND> overlays = {w->VertOverlay->Handle(), w->HorzOverlay->Handle(), lw->VertOverlay->Handle()};
  for (HWND o : overlays) ASSERT_TRUE(IsWindowVisible(o));
  test::WriteFile(dir / "dark.vsk", keys::BuildDarkSkinArchive());

  THideWatch::watched = overlays;
  THideWatch::hides = 0;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, THideWatch::Hook, nullptr, GetCurrentThreadId());
  engine->SetSkinFile((dir / "dark.vsk").u8string());
  PumpMessages();
  UnhookWindowsHookEx(hook);
  THideWatch::watched.clear();

  EXPECT_EQ(THideWatch::hides, 0) << "an overlay was hidden during the switch";
  for (HWND o : overlays) EXPECT_TRUE(IsWindowVisible(o));
  // They show the new skin's bar.
  EXPECT_EQ(ColorToRGB(w->VertOverlay->Buffer.PixelColor(w->VertOverlay->Buffer.Width() / 2,
                                                         w->VertOverlay->Buffer.Height() - w->VertOverlay->Buffer.Width() - 1)),
            SkinColor(keys::color::SKIN2_SCROLLBARCOLOR));
}

}  // namespace
}  // namespace vex::engine
