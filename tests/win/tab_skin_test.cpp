// Tab controls painted from the skin: which image each tab gets and in which order, the tab
// turned to each of the four sides with its image and caption, captions centred by what shows,
// tabs taller than the skin's image, the pages and what is on them in the skin's colour, the
// native control of a dialog with its own tab height given back, and the control keeping its
// keys, clicks and events.
//
// The skin used is the default one with a tab image whose every row has its own colour (and
// other colours for the two slices), so that a pixel of a tab tells which slice and which row of
// the skin's image shows there.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "controls/std_ctrl.h"
#include "controls/tab_ctrl.h"
#include "dialog_template.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/button_controls.h"
#include "host/image_list.h"
#include "host/std_controls.h"
#include "host/tab_controls.h"
#include "input_support.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"
#include "utils/paint_primitives.h"
#include "utils/text_helpers.h"

namespace vex::engine {
namespace {

using namespace vex::host;
using test::PumpMessages;

// Row y of the skin's tab image: slice 1 (selected) and slice 2 (not selected) differ in green
// and blue, every row in red.
TColor SliceRow(bool selected, int y) { return selected ? RGB(10 + 10 * y, 40, 200) : RGB(10 + 10 * y, 200, 40); }
constexpr int kTabImageHeight = 22;
const TColor kActiveInk = RGB(0, 0, 0), kInactiveInk = RGB(255, 255, 255);
// The tab image of the image list: red with a blue mark in its top-left corner.
const TColor kImageRed = RGB(255, 0, 0), kImageMark = RGB(0, 0, 255);

std::vector<std::uint8_t> TabSkin() {
  test::TSkinVariant v;
  image::TvexImage tabs(60, kTabImageHeight, 0);
  for (int y = 0; y < kTabImageHeight; ++y)
    for (int x = 0; x < 60; ++x) tabs.SetPixel(x, y, image::ColorToPixel(static_cast<std::uint32_t>(SliceRow(x < 30, y))));
  v.bitmaps["SKIN2_TABCONTROL"] = tabs;
  v.integers["SKIN2_TABCONTROLACTIVEFONTCOLOR"] = static_cast<std::int32_t>(kActiveInk);
  v.integers["SKIN2_TABCONTROLINACTIVEFONTCOLOR"] = static_cast<std::int32_t>(kInactiveInk);
  return v.Archive();
}

// The client area of a window as it shows after a full repaint (or as it shows now).
struct TShot {
  explicit TShot(HWND h, bool repaint = true) {
    if (repaint) {
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      PumpMessages();
    }
    RECT r{};
    GetClientRect(h, &r);
    picture.SetSize(r.right, r.bottom);
    HDC dc = GetDC(h);
    BitBlt(picture.Canvas().Handle(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(h, dc);
  }
  TColor At(POINT p) const { return picture.PixelColor(p.x, p.y); }
  // The bounding box of the pixels of one colour inside a rectangle (empty when there are none).
  RECT Find(const RECT& within, TColor c) const {
    RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = std::max<int>(within.top, 0); y < std::min<int>(within.bottom, picture.Height()); ++y)
      for (int x = std::max<int>(within.left, 0); x < std::min<int>(within.right, picture.Width()); ++x)
        if (picture.PixelColor(x, y) == c) box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                                                      std::max<LONG>(box.bottom, y + 1)};
    return box.left == LONG_MAX ? RECT{} : box;
  }
  TBitmap picture{1, 1, TPixelFormat::pf24bit};
};

bool Found(const RECT& r) { return r.right > r.left; }

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.PixelColor(x, y) != b.PixelColor(x, y)) return false;
  return true;
}

RECT TabRect(HWND h, int index) {
  RECT t{};
  SendMessageW(h, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&t));
  return t;
}

// Where a point of a tab built upright (top orientation: x along the tab, y from its outer edge)
// lands on a tab on this side: bottom tabs are turned 180 degrees, left tabs counter-clockwise,
// right tabs clockwise.
POINT OnTab(TTabPosition side, const RECT& t, int x, int y) {
  switch (side) {
    case tpBottom: return POINT{t.right - 1 - x, t.bottom - 1 - y};
    case tpLeft: return POINT{t.left + y, t.bottom - 1 - x};
    case tpRight: return POINT{t.right - 1 - y, t.top + x};
    default: return POINT{t.left + x, t.top + y};
  }
}

// The upright length and depth of a tab on this side.
SIZE Upright(TTabPosition side, const RECT& t) {
  const bool standing = side == tpLeft || side == tpRight;
  return standing ? SIZE{t.bottom - t.top, t.right - t.left} : SIZE{t.right - t.left, t.bottom - t.top};
}

// Whether a tab shows the skin's slice, row by row from its outer edge, in a column near its far
// end (clear of image and caption). The last row is the page's line.
::testing::AssertionResult ShowsSlice(const TShot& shot, TTabPosition side, const RECT& t, bool selected) {
  const SIZE u = Upright(side, t);
  for (int y = 0; y < std::min<int>(u.cy - 1, kTabImageHeight); ++y) {
    const TColor got = shot.At(OnTab(side, t, u.cx - 3, y));
    if (got != SliceRow(selected, y))
      return ::testing::AssertionFailure() << "row " << y << " is " << std::hex << got << ", slice " << (selected ? 1 : 2) << " has "
                                           << SliceRow(selected, y);
  }
  return ::testing::AssertionSuccess();
}

// A subclass that makes one tab report a wider rectangle, so that it overlaps the next one.
LRESULT CALLBACK WidenTab(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR widenedIndex) {
  const LRESULT r = DefSubclassProc(h, msg, wp, lp);
  if (msg == TCM_GETITEMRECT && wp == widenedIndex && r) reinterpret_cast<RECT*>(lp)->right += 12;
  return r;
}

// Counts the pictures composed for a control: each asks for the selected tab once.
LRESULT CALLBACK CountCompositions(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR count) {
  if (msg == TCM_GETCURSEL) ++*reinterpret_cast<int*>(count);
  return DefSubclassProc(h, msg, wp, lp);
}

class TabSkinTest : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    test::WriteFile(dir / "tabs.vsk", TabSkin());
    engine->SetSkinFile((dir / "tabs.vsk").u8string());
    form->SetBounds(40, 40, 660, 520);
    images = new TImageList(form.get(), 16, 16);
    TBitmap marked(16, 16, TPixelFormat::pf24bit);
    utils::FillRectColor(marked.Canvas(), RECT{0, 0, 16, 16}, kImageRed);
    utils::FillRectColor(marked.Canvas(), RECT{0, 0, 5, 5}, kImageMark);
    images->AddMasked(marked, clNoColor);
  }
  void Show() {
    engine->AttachOwnerForm(form.get());
    form->Show();
    PumpMessages();
  }
  TvexSkinControlVCL* WrapperOf(TControl* c) const {
    auto* f = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(form->Handle()));
    return f ? f->WrapperOf(c) : nullptr;
  }
  TTabControl* NewTabControl(std::initializer_list<const char*> tabs, int left = 10, int top = 10) {
    auto* tc = new TTabControl(form.get());
    tc->SetParent(form.get());
    tc->SetBounds(left, top, 300, 200);
    for (const char* t : tabs) tc->Tabs().Add(t);
    return tc;
  }
  TPageControl* NewPageControl(TTabPosition side, std::initializer_list<const wchar_t*> captions, int left = 10, int top = 10) {
    auto* pc = new TPageControl(form.get());
    pc->SetParent(form.get());
    pc->SetBounds(left, top, 300, 200);
    pc->SetTabPosition(side);
    for (const wchar_t* c : captions) {
      auto* page = new TTabSheet(form.get());
      page->SetPageControl(pc);
      page->SetCaption(c);
    }
    return pc;
  }
  // The width of a text in a control's font.
  static int TextWidth(TControl& c, const std::wstring& text) {
    TBitmap b(1, 1);
    b.Canvas().Font().Assign(c.Font());
    return b.Canvas().TextWidth(text);
  }
  // The width of the ink of a text drawn as it is (no prefix characters) in a control's font.
  static int InkWidth(TControl& c, const std::wstring& text) {
    TBitmap b(TextWidth(c, text) + 20, 40, TPixelFormat::pf24bit);
    TCanvas& canvas = b.Canvas();
    canvas.Font().Assign(c.Font());
    canvas.Font().SetColor(kActiveInk);
    canvas.Brush.style = TBrushStyle::bsClear;
    RECT r{10, 0, b.Width(), b.Height()};
    canvas.DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    int left = b.Width(), right = -1;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (b.PixelColor(x, y) == kActiveInk) {
          left = std::min(left, x);
          right = std::max(right, x + 1);
        }
    return right - left;
  }

  TImageList* images = nullptr;
};

TEST_F(TabSkinTest, TheSelectedTabTakesSliceOneTheOthersSliceTwoDrawnInIndexOrder) {
  auto* tc = NewTabControl({"Ab", "Cd", "Ef"});
  tc->SetTabIndex(1);
  Show();
  ASSERT_NE(WrapperOf(tc), nullptr);
  EXPECT_EQ(WrapperOf(tc)->ClassName(), "TvexSkinTabControl");
  const HWND h = tc->Handle();
  // The second tab reaches 12 pixels into the third: the later tab is drawn over it although
  // the second is the selected one.
  ASSERT_TRUE(SetWindowSubclass(h, WidenTab, 1, 1));
  const TShot shot(h);
  RemoveWindowSubclass(h, WidenTab, 1);
  for (int i = 0; i < 3; ++i) {
    const RECT t = TabRect(h, i);
    EXPECT_TRUE(ShowsSlice(shot, tpTop, t, i == 1)) << "tab " << i;
    EXPECT_TRUE(Found(shot.Find(t, i == 1 ? kActiveInk : kInactiveInk))) << "tab " << i << ": its caption in its colour";
    EXPECT_FALSE(Found(shot.Find(t, i == 1 ? kInactiveInk : kActiveInk))) << "tab " << i;
  }
  const RECT third = TabRect(h, 2);
  for (int x = third.left; x < third.left + 12; ++x)
    EXPECT_EQ(shot.At(POINT{x, third.top + 4}), SliceRow(false, 4)) << "the third tab over the second at x " << x;
}

TEST_F(TabSkinTest, EachSideTurnsTheTabWithItsImageAndCaptionWhereTheyBelong) {
  struct TCase {
    TTabPosition side;
    // The corner of the image where its mark shows: the image turns with a left or right tab,
    // and stands upright on a bottom tab.
    bool markTop, markLeft;
  };
  const TCase cases[] = {{tpTop, true, true}, {tpBottom, true, true}, {tpLeft, false, true}, {tpRight, true, false}};
  for (const TCase& c : cases) {
    auto* pc = NewPageControl(c.side, {L"Ab", L"Abcd", L"Ef"});
    pc->SetImages(images);
    pc->Pages(1)->SetImageIndex(0);
    pc->SetActivePageIndex(1);
    Show();
    ASSERT_NE(WrapperOf(pc), nullptr);
    const HWND h = pc->Handle();
    const TShot shot(h);
    const RECT t = TabRect(h, 1);
    EXPECT_TRUE(ShowsSlice(shot, c.side, t, true)) << c.side;
    EXPECT_TRUE(ShowsSlice(shot, c.side, TabRect(h, 0), false)) << c.side;
    const RECT image = shot.Find(t, kImageRed), mark = shot.Find(t, kImageMark), ink = shot.Find(t, kActiveInk);
    ASSERT_TRUE(Found(image) && Found(mark) && Found(ink)) << c.side;
    EXPECT_EQ(c.markTop ? mark.top : mark.bottom, c.markTop ? image.top : image.bottom) << c.side;
    EXPECT_EQ(c.markLeft ? mark.left : mark.right, c.markLeft ? image.left : image.right) << c.side;
    // The caption follows the image in its reading direction: left to right, bottom to top on a
    // left tab, top to bottom on a right one; and runs along the tab.
    switch (c.side) {
      case tpLeft: EXPECT_LE(ink.bottom, image.top); break;
      case tpRight: EXPECT_GE(ink.top, image.bottom); break;
      default: EXPECT_GE(ink.left, image.right); break;
    }
    const bool standing = c.side == tpLeft || c.side == tpRight;
    EXPECT_EQ(standing, ink.bottom - ink.top > ink.right - ink.left) << c.side;
    pc->SetImages(nullptr);
    TComponent::Free(pc);
    PumpMessages();
  }
}

TEST_F(TabSkinTest, CaptionsAreCentredByWhatShowsAndAMissingImageShiftsOnlyTopTabs) {
  struct TCase {
    TTabPosition side;
    const wchar_t* caption;
    bool withImages;
    // How far the caption's middle stands right of the tab's middle: a caption beside a
    // missing image (index -1) on a top tab keeps the image's place, on a bottom tab not.
    int shiftedByImage;
  };
  const TCase cases[] = {
      {tpTop, L"Salt && pepper && oil", false, 0},
      {tpBottom, L"Salt && pepper && oil", false, 0},
      {tpTop, L"Abcd", true, 1},
      {tpBottom, L"Abcd", true, 0},
      // Outside the ANSI code page: drawn as it is, not as question marks.
      {tpTop, L"\u03A9\u03BC\u03AD\u03B3\u03B1", false, 0},
  };
  for (const TCase& c : cases) {
    auto* pc = NewPageControl(c.side, {c.caption, L"Other"});
    if (c.withImages) pc->SetImages(images);
    pc->SetActivePageIndex(0);
    Show();
    const HWND h = pc->Handle();
    const TShot shot(h);
    const RECT t = TabRect(h, 0);
    const RECT ink = shot.Find(t, kActiveInk);
    ASSERT_TRUE(Found(ink)) << c.side;
    EXPECT_FALSE(Found(shot.Find(t, kImageRed))) << "image -1 draws nothing";
    // What shows: each doubled ampersand as one.
    const std::wstring shown = utils::ReplaceAll(std::wstring(c.caption), L"&&", L"&");
    EXPECT_NEAR(ink.right - ink.left, InkWidth(*pc, shown), 1) << c.side;
    EXPECT_NE(InkWidth(*pc, std::wstring(shown.size(), L'?')), InkWidth(*pc, shown)) << "the font draws the caption's letters";
    // The caption starts where a text as wide as what shows starts when centred on the tab
    // (moved right by half the image's room beside a missing image), give or take the first
    // glyph's bearing. (The ink's right end is no measure: under Wine glyphs are drawn narrower
    // than the text's measured width.)
    const double start = (t.right - t.left - TextWidth(*pc, shown)) / 2.0 + c.shiftedByImage * (images->Width() + 4) / 2.0;
    EXPECT_NEAR(ink.left - t.left, start, 2.0) << c.side << " " << std::string(c.caption, c.caption + wcslen(c.caption));
    pc->SetImages(nullptr);
    TComponent::Free(pc);
    PumpMessages();
  }
}

TEST_F(TabSkinTest, ATabTallerThanTheImageStretchesItsMiddleKeepingTopAndBottomThirds) {
  auto* tc = NewTabControl({"Tall", "Tabs"});
  tc->SetTabIndex(0);
  Show();
  const HWND h = tc->Handle();
  SendMessageW(h, TCM_SETITEMSIZE, 0, MAKELPARAM(0, 40));
  PumpMessages();
  const TShot shot(h);
  for (int i = 0; i < 2; ++i) {
    const RECT t = TabRect(h, i);
    ASSERT_EQ(t.bottom - t.top, 40);
    const int cap = kTabImageHeight / 3;
    for (int y = 0; y < cap; ++y) EXPECT_EQ(shot.At(OnTab(tpTop, t, t.right - t.left - 3, y)), SliceRow(i == 0, y)) << "top row " << y;
    // The last row is the page's line.
    for (int y = 40 - cap; y < 39; ++y)
      EXPECT_EQ(shot.At(OnTab(tpTop, t, t.right - t.left - 3, y)), SliceRow(i == 0, y - 40 + kTabImageHeight)) << "bottom row " << y;
  }
}

TEST_F(TabSkinTest, PagesAndWhatIsOnThemStandInTheSkinsColourAndEverythingComesBack) {
  engine->SetActive(false);
  auto* pc = NewPageControl(tpTop, {L"First", L"Second"});
  TTabSheet* page = pc->Pages(0);
  auto* box = new TCheckBox(form.get());
  box->SetParent(page);
  box->SetBounds(10, 10, 200, 20);
  box->SetCaption(L"Check");
  auto* tabs = NewTabControl({"One", "Two"}, 320, 10);
  auto* onTabs = new TCheckBox(form.get());
  onTabs->SetParent(tabs);
  onTabs->SetBounds(20, 60, 200, 20);
  onTabs->SetCaption(L"On the tabs");
  form->Show();
  PumpMessages();
  const auto prints = [&] {
    std::vector<std::vector<TColor>> all;
    for (HWND w : {pc->Handle(), page->Handle(), box->Handle(), tabs->Handle(), onTabs->Handle()}) {
      const TShot s(w);
      std::vector<TColor> px;
      for (int y = 0; y < s.picture.Height(); y += 2)
        for (int x = 0; x < s.picture.Width(); x += 2) px.push_back(s.picture.PixelColor(x, y));
      all.push_back(px);
    }
    return all;
  };
  const auto plain = prints();
  const TColor pageColor = page->Color();
  engine->SetActive(true);
  Show();
  ASSERT_NE(WrapperOf(page), nullptr);
  EXPECT_EQ(WrapperOf(page)->ClassName(), "TvexSkinPanel");
  const TColor formColour = engine->GetFormColor();
  EXPECT_EQ(page->Color(), formColour);
  EXPECT_EQ(tabs->Color(), formColour);
  // The blank right end of the check boxes shows the form colour.
  for (TCheckBox* b : {box, onTabs}) EXPECT_EQ(ColorToRGB(TShot(b->Handle()).At(POINT{190, 10})), ColorToRGB(formColour));
  EXPECT_EQ(ColorToRGB(TShot(page->Handle()).At(POINT{150, 100})), ColorToRGB(formColour));
  const auto skinned = prints();
  for (std::size_t i = 0; i < plain.size(); ++i) EXPECT_NE(skinned[i], plain[i]) << "window " << i;
  // Another skin's form colour reaches the pages through the control.
  test::WriteFile(dir / "dark.vsk", skin2::BuildBuiltInSkinArchive(skin2::TSkinTheme::Dark, ""));
  engine->SetSkinFile((dir / "dark.vsk").u8string());
  PumpMessages();
  EXPECT_EQ(page->Color(), engine->GetFormColor());
  EXPECT_NE(engine->GetFormColor(), formColour);
  engine->SetSkinFile((dir / "tabs.vsk").u8string());
  PumpMessages();
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(page->Color(), pageColor);
  EXPECT_FALSE(page->ParentColor());
  EXPECT_EQ(prints(), plain);
  engine->SetActive(true);
  PumpMessages();
  EXPECT_EQ(prints(), skinned);
}

TEST_F(TabSkinTest, TabsRepaintedAloneLeaveThePagesAndWhatStandsOnThemAsTheyWere) {
  // A check box on a page of a page control, and one straight on a tab control: both are child
  // windows of the control, which its own paint must not cover.
  auto* pc = NewPageControl(tpTop, {L"First", L"Second"});
  pc->SetActivePageIndex(0);
  auto* onPage = new TCheckBox(form.get());
  onPage->SetParent(pc->Pages(0));
  onPage->SetBounds(10, 10, 150, 20);
  onPage->SetCaption(L"On the page");
  auto* tabs = NewTabControl({"One", "Two"}, 320, 10);
  auto* onTabs = new TCheckBox(form.get());
  onTabs->SetParent(tabs);
  onTabs->SetBounds(20, 60, 150, 20);
  onTabs->SetCaption(L"On the tabs");
  Show();
  test::Activate(form->Handle());
  POINT away{2, 2};
  ClientToScreen(form->Handle(), &away);
  test::MoveMouseTo(away);
  test::PumpFor(80);
  struct TCase {
    TCustomTabControl* control;
    TCheckBox* box;
  };
  for (const TCase& c : {TCase{pc, onPage}, TCase{tabs, onTabs}}) {
    SCOPED_TRACE(c.control->ClassName());
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    const TShot boxBefore(c.box->Handle(), false);
    // The mouse comes onto the tabs (the wrapper repaints the control for it), then the control
    // alone is invalidated and repaints.
    const RECT t = TabRect(c.control->Handle(), 0);
    POINT p{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
    ClientToScreen(c.control->Handle(), &p);
    test::MoveMouseTo(p);
    test::PumpFor(100);
    EXPECT_TRUE(SamePixels(TShot(c.box->Handle(), false).picture, boxBefore.picture)) << "after the mouse came";
    InvalidateRect(c.control->Handle(), nullptr, TRUE);
    UpdateWindow(c.control->Handle());
    EXPECT_TRUE(SamePixels(TShot(c.box->Handle(), false).picture, boxBefore.picture)) << "after the control repainted";
    test::MoveMouseTo(away);
    test::PumpFor(80);
  }
}

TEST_F(TabSkinTest, OnePaintComposesTheControlOnce) {
  auto* pc = NewPageControl(tpTop, {L"Ab", L"Cd", L"Ef"});
  auto* tc = NewTabControl({"One", "Two"}, 320, 10);
  Show();
  for (TCustomTabControl* c : {static_cast<TCustomTabControl*>(pc), static_cast<TCustomTabControl*>(tc)}) {
    SCOPED_TRACE(c->ClassName());
    const HWND h = c->Handle();
    int composed = 0;
    ASSERT_TRUE(SetWindowSubclass(h, CountCompositions, 1, reinterpret_cast<DWORD_PTR>(&composed)));
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
    RemoveWindowSubclass(h, CountCompositions, 1);
    EXPECT_EQ(composed, 1);
  }
}

TEST_F(TabSkinTest, ClicksKeysAndEventsStillChangePagesAndTheSkinFollows) {
  auto* pc = NewPageControl(tpTop, {L"Ab", L"Cd", L"Ef"});
  pc->SetActivePageIndex(0);
  int changes = 0, askings = 0;
  bool allow = true;
  pc->OnChange.handler = [&](TObject*) { ++changes; };
  pc->OnChanging = [&](TObject*, bool& ok) {
    ++askings;
    ok = allow;
  };
  Show();
  test::Activate(form->Handle());
  const HWND h = pc->Handle();
  const auto selectedShown = [&](int index) {
    const TShot shot(h);
    for (int i = 0; i < 3; ++i)
      if (!ShowsSlice(shot, tpTop, TabRect(h, i), i == index)) return false;
    return true;
  };
  const auto click = [&](int index) {
    const RECT t = TabRect(h, index);
    POINT p{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
    ClientToScreen(h, &p);
    test::ClickScreen(p);
    test::PumpFor(100);
  };
  click(2);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(2));
  EXPECT_TRUE(pc->Pages(2)->Visible());
  EXPECT_TRUE(selectedShown(2));
  pc->SetFocus();
  test::Chord({VK_CONTROL, VK_TAB});
  test::PumpFor(80);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(0)) << "Ctrl+Tab goes round";
  EXPECT_TRUE(selectedShown(0));
  pc->SetFocus();
  test::Chord({VK_RIGHT});
  test::PumpFor(80);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1)) << "the control's own arrow keys";
  EXPECT_TRUE(selectedShown(1));
  allow = false;
  click(0);
  EXPECT_EQ(pc->ActivePage(), pc->Pages(1)) << "OnChanging refused";
  EXPECT_TRUE(selectedShown(1));
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(askings, 4);
}

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

class NativeTabSkin : public TabSkinTest {
 protected:
  // A dialog with a tab control of three tabs, the second selected, and a check box standing on
  // its page (below it in z-order, as the dialog's later items are); shown (the engine skins it
  // as it is activated). A `tabHeight` above 0 is the height the dialog gives the tabs.
  // `tabStyle` goes on the tab control's style, `tabWidth` is the width of fixed-width tabs.
  HWND NewDialog(int tabHeight = 0, DWORD tabStyle = 0, int tabWidth = 0) {
    test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Tabs");
    t.Item(WC_TABCONTROLW, L"", kTabs, WS_TABSTOP | tabStyle, 8, 8, 134, 84);
    t.Item(L"Button", L"On the page", kCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 20, 40, 100, 12);
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
    if (!dlg) return nullptr;
    tabs = GetDlgItem(dlg, kTabs);
    check = GetDlgItem(dlg, kCheck);
    const wchar_t* captions[] = {L"Ab", L"Cd", L"Ef"};
    for (int i = 0; i < 3; ++i) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(captions[i]);
      SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    if (tabHeight > 0) SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth, tabHeight));
    ShowWindow(dlg, SW_SHOW);
    PumpMessages();
    return dlg;
  }
  int TabHeight() const {
    const RECT t = TabRect(tabs, 0);
    return t.bottom - t.top;
  }
  int TabWidth(int index) const {
    const RECT t = TabRect(tabs, index);
    return t.right - t.left;
  }
  std::string WrapperClass(HWND dlg) const {
    if (TvexSkinWindow* f = engine->FindFrame(dlg))
      for (const auto& c : f->FControls)
        if (c->GetHandle() == tabs) return c->ClassName();
    return "";
  }
  static constexpr WORD kTabs = 10, kCheck = 11;
  HWND tabs = nullptr, check = nullptr;
};

TEST_F(NativeTabSkin, ADialogsTabsArePaintedFromTheSkinAndATallTabTakesTheImageTopAndBottom) {
  HWND dlg = NewDialog();
  ASSERT_NE(dlg, nullptr);
  engine->AttachWindow(dlg, true);
  PumpMessages();
  EXPECT_EQ(WrapperClass(dlg), "TvexSkinWndTabControl");
  const TShot shot(tabs);
  for (int i = 0; i < 3; ++i) {
    const RECT t = TabRect(tabs, i);
    EXPECT_TRUE(ShowsSlice(shot, tpTop, t, i == 1)) << "tab " << i;
    EXPECT_TRUE(Found(shot.Find(t, i == 1 ? kActiveInk : kInactiveInk))) << "tab " << i;
  }
  // Taller than the image: the image at the top, and again at the bottom, its upper rows hidden
  // under the one at the top.
  SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(0, 40));
  PumpMessages();
  ASSERT_EQ(TabHeight(), 40);
  const TShot tall(tabs);
  for (int i = 0; i < 3; ++i) {
    const RECT t = TabRect(tabs, i);
    for (int y = 0; y < 39; ++y) {
      const int row = y < kTabImageHeight ? y : y - (40 - kTabImageHeight - 1);
      EXPECT_EQ(tall.At(OnTab(tpTop, t, t.right - t.left - 3, y)), SliceRow(i == 1, row)) << "tab " << i << " row " << y;
    }
  }
  DestroyWindow(dlg);
  PumpMessages();
}

TEST_F(NativeTabSkin, AnotherTabChosenLeavesTheControlsOnThePageAsTheyWere) {
  HWND dlg = NewDialog();
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(WrapperClass(dlg), "TvexSkinWndTabControl");
  ASSERT_EQ(GetTopWindow(dlg), tabs) << "the tab control is above the check box";
  RECT onPage{}, page{};
  GetWindowRect(check, &onPage);
  GetWindowRect(tabs, &page);
  ASSERT_TRUE(IntersectRect(&page, &page, &onPage) && EqualRect(&page, &onPage)) << "the check box stands on the tab control";
  test::Activate(dlg);
  const TShot before(check);
  // Chosen by a click and by a key: the control repaints the tabs, and only they change.
  const RECT third = TabRect(tabs, 2);
  POINT p{(third.left + third.right) / 2, (third.top + third.bottom) / 2};
  ClientToScreen(tabs, &p);
  test::ClickScreen(p);
  test::PumpFor(150);
  ASSERT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(SamePixels(TShot(check, false).picture, before.picture)) << "after the click";
  SetFocus(tabs);
  test::Chord({VK_LEFT});
  test::PumpFor(150);
  ASSERT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(SamePixels(TShot(check, false).picture, before.picture)) << "after the key";
  EXPECT_TRUE(ShowsSlice(TShot(tabs, false), tpTop, TabRect(tabs, 1), true));
  EXPECT_TRUE(ShowsSlice(TShot(tabs, false), tpTop, TabRect(tabs, 2), false));
  // The skin off and on again: the whole dialog is repainted, the check box still on top.
  engine->SetActive(false);
  test::PumpFor(150);
  engine->SetActive(true);
  test::PumpFor(150);
  EXPECT_TRUE(SamePixels(TShot(check, false).picture, before.picture)) << "after the skin came back";
  EXPECT_TRUE(ShowsSlice(TShot(tabs, false), tpTop, TabRect(tabs, 1), true));
  DestroyWindow(dlg);
  PumpMessages();
}

TEST_F(NativeTabSkin, RepaintsOutsideAPaintMessageLeaveTheControlsOnThePageAsTheyWere) {
  HWND dlg = NewDialog();
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(WrapperClass(dlg), "TvexSkinWndTabControl");
  ASSERT_EQ(GetTopWindow(dlg), tabs) << "the tab control is above the check box";
  const TShot before(check);
  // Messages after which the wrapper repaints the control at once.
  EnableWindow(tabs, FALSE);
  EXPECT_TRUE(SamePixels(TShot(check, false).picture, before.picture)) << "after the control was disabled";
  EnableWindow(tabs, TRUE);
  SendMessageW(tabs, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Tabs"));
  EXPECT_TRUE(SamePixels(TShot(check, false).picture, before.picture)) << "after a new text";
  EXPECT_TRUE(ShowsSlice(TShot(tabs, false), tpTop, TabRect(tabs, 1), true)) << "the tabs are still the skin's";
  DestroyWindow(dlg);
  PumpMessages();
}

TEST_F(NativeTabSkin, TheTabHeightIsTheControlsOwnWhileSkinnedAndTheDialogsAgainAfter) {
  // Made while the skin is off, so that the dialog has its tab height before it is skinned.
  engine->SetActive(false);
  HWND plain = NewDialog();
  ASSERT_NE(plain, nullptr);
  const int own = TabHeight();
  DestroyWindow(plain);
  const int set = own + 17;
  HWND dlg = NewDialog(set);
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(TabHeight(), set);
  const TShot plainLook(tabs);
  engine->SetActive(true);
  engine->AttachWindow(dlg, true);
  PumpMessages();
  ASSERT_EQ(WrapperClass(dlg), "TvexSkinWndTabControl");
  EXPECT_EQ(TabHeight(), own);
  const TShot skinnedLook(tabs);
  EXPECT_FALSE(SamePixels(skinnedLook.picture, plainLook.picture));
  const auto newSkin = [&](const char* file) {
    engine->SetSkinFile((dir / file).u8string());
    PumpMessages();
  };
  // A new skin over the old one: the height to give back stays the dialog's.
  newSkin("default.vsk");
  EXPECT_EQ(TabHeight(), own);
  EXPECT_FALSE(SamePixels(TShot(tabs).picture, skinnedLook.picture)) << "the new skin's tabs";
  for (int round = 0; round < 2; ++round) {
    engine->SetActive(false);
    PumpMessages();
    EXPECT_EQ(TabHeight(), set) << "round " << round;
    EXPECT_TRUE(SamePixels(TShot(tabs).picture, plainLook.picture)) << "round " << round << ": the control's own look";
    engine->SetActive(true);
    PumpMessages();
    EXPECT_EQ(TabHeight(), own) << "round " << round;
  }
  // A height the dialog sets while skinned is the one given back after the next skin.
  SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(0, own + 9));
  newSkin("tabs.vsk");
  EXPECT_EQ(TabHeight(), own);
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(TabHeight(), own + 9);
  DestroyWindow(dlg);
  PumpMessages();
}

TEST_F(NativeTabSkin, FixedWidthTabsKeepTheirWidthWhileSkinnedAndAfter) {
  engine->SetActive(false);
  HWND plain = NewDialog(0, TCS_FIXEDWIDTH);
  ASSERT_NE(plain, nullptr);
  const int own = TabHeight();
  DestroyWindow(plain);
  HWND dlg = NewDialog(own + 11, TCS_FIXEDWIDTH, 70);
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(TabWidth(0), 70);
  ASSERT_EQ(TabHeight(), own + 11);
  engine->SetActive(true);
  engine->AttachWindow(dlg, true);
  PumpMessages();
  ASSERT_EQ(WrapperClass(dlg), "TvexSkinWndTabControl");
  EXPECT_EQ(TabHeight(), own);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TabWidth(i), 70) << "tab " << i << " skinned";
  EXPECT_TRUE(ShowsSlice(TShot(tabs), tpTop, TabRect(tabs, 1), true));
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(TabHeight(), own + 11);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TabWidth(i), 70) << "tab " << i << " after";
  DestroyWindow(dlg);
  PumpMessages();
}

}  // namespace
}  // namespace vex::engine
