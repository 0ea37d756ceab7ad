// The framework's scrolling controls with real windows and the messages the system sends them:
// scroll bars, scroll boxes, memos, list boxes, list views, tree views and grids.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "host/application.h"
#include "host/edit.h"
#include "host/form.h"
#include "host/form_stream.h"
#include "host/grids.h"
#include "host/image_list.h"
#include "host/list_box.h"
#include "host/list_view.h"
#include "host/scroll_bar.h"
#include "host/scroll_box.h"
#include "host/std_controls.h"
#include "host/tree_view.h"
#include "input_support.h"

namespace vex::host {
namespace {

void Pump() {
  for (int i = 0; i < 3; ++i) {
    Application().ProcessMessages();
    Sleep(5);
  }
}

// A shown form to put controls on; exceptions that reach a window procedure fail the test.
class ScrollingFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    form.reset(new TForm(nullptr));
    form->SetName("Form1");
    form->SetBounds(40, 40, 480, 360);
    form->Show();
    Pump();
  }
  void TearDown() override {
    form.reset();
    Pump();
    EXPECT_TRUE(errors.empty()) << errors.front();
  }
  template <class T>
  T* Make(int left, int top, int width, int height) {
    auto* c = new T(form.get());
    c->SetBounds(left, top, width, height);
    c->SetParent(form.get());
    return c;
  }
  // A child window's place in its parent's client coordinates, as the system has it.
  static RECT PlaceOf(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static std::wstring WindowText(HWND wnd) {
    std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(wnd)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(wnd, s.data(), static_cast<int>(s.size()))));
    return s;
  }
  TComponentPtr<TForm> form;
  std::vector<std::string> errors;
};

// ----- scroll bars -----

class ScrollingScrollBar : public ScrollingFixture {};

TEST_F(ScrollingScrollBar, PositionStaysWithinMinAndMaxLessThePageAndChangesFireOnce) {
  struct Case {
    int min, max, page, set, expected;
  };
  const Case cases[] = {
      {0, 100, 0, 150, 100}, {0, 100, 10, 95, 91}, {0, 100, 10, -5, 0}, {10, 20, 0, 5, 10},
      {-50, 50, 25, 40, 26}, {0, 100, 1, 100, 100}, {0, 100, 101, 7, 0},
  };
  for (const Case& c : cases) {
    auto* bar = Make<TScrollBar>(10, 10, 200, 17);
    int changes = 0;
    bar->OnChange.handler = [&changes](TObject*) { ++changes; };
    bar->SetParams(0, c.min, c.max);
    bar->SetPageSize(c.page);
    changes = 0;
    const int start = bar->Position();
    bar->SetPosition(c.set);
    EXPECT_EQ(bar->Position(), c.expected) << c.min << ".." << c.max << " page " << c.page << " set " << c.set;
    EXPECT_EQ(changes, c.expected != start ? 1 : 0) << c.set;
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(bar->Handle(), SB_CTL, &si));
    EXPECT_EQ(si.nPos, c.expected);
    EXPECT_EQ(si.nMin, c.min);
    EXPECT_EQ(si.nMax, c.max);
    EXPECT_EQ(static_cast<int>(si.nPage), c.page);
    // The same position again is no change.
    bar->SetPosition(c.set);
    EXPECT_EQ(changes, c.expected != start ? 1 : 0);
    TComponent::Free(bar);
  }
}

TEST_F(ScrollingScrollBar, RangesThatDoNotFitAreRefusedAndChangeNothing) {
  auto* bar = Make<TScrollBar>(10, 10, 200, 17);
  bar->SetParams(30, 0, 100);
  bar->SetPageSize(20);
  EXPECT_THROW(bar->SetMax(-1), EInvalidOperation);
  EXPECT_THROW(bar->SetMin(101), EInvalidOperation);
  EXPECT_THROW(bar->SetMax(10), EInvalidOperation);  // shorter than the page
  EXPECT_THROW(bar->SetPageSize(102), EInvalidOperation);
  EXPECT_THROW(bar->SetPageSize(-1), EInvalidOperation);
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 100);
  EXPECT_EQ(bar->PageSize(), 20);
  EXPECT_EQ(bar->Position(), 30);
  // A larger page pulls the position back within the range.
  bar->SetPosition(81);
  EXPECT_EQ(bar->Position(), 81);
  bar->SetPageSize(50);
  EXPECT_EQ(bar->Position(), 51);
}

TEST_F(ScrollingScrollBar, ScrollNotificationsMoveThePositionByTheirCode) {
  struct Case {
    TScrollBarKind kind;
    WORD code;
    int start, track, expected;
  };
  const Case cases[] = {
      {sbHorizontal, SB_LINEDOWN, 50, 0, 52},   {sbHorizontal, SB_LINEUP, 50, 0, 48},   {sbVertical, SB_PAGEDOWN, 50, 0, 60},
      {sbVertical, SB_PAGEDOWN, 85, 0, 90},     {sbHorizontal, SB_PAGEUP, 5, 0, 0},     {sbVertical, SB_THUMBTRACK, 10, 70, 70},
      {sbHorizontal, SB_THUMBPOSITION, 10, 30, 30}, {sbVertical, SB_TOP, 50, 0, 0},    {sbVertical, SB_BOTTOM, 50, 0, 90},
      {sbHorizontal, SB_ENDSCROLL, 50, 0, 50},  {sbHorizontal, SB_THUMBTRACK, 10, 99, 90},
  };
  for (const Case& c : cases) {
    auto* bar = Make<TScrollBar>(10, 10, 200, 17);
    bar->SetKind(c.kind);
    bar->SetParams(c.start, 0, 100);
    bar->SetPageSize(11);
    bar->SetSmallChange(2);
    bar->SetLargeChange(10);
    std::vector<std::pair<TScrollCode, int>> scrolls;
    int changes = 0;
    bar->OnScroll = [&scrolls](TObject*, TScrollCode code, int& pos) { scrolls.emplace_back(code, pos); };
    bar->OnChange.handler = [&changes](TObject*) { ++changes; };
    // As the control tells its parent.
    SendMessageW(form->Handle(), c.kind == sbVertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(c.code, c.track),
                 reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(bar->Position(), c.expected) << "code " << c.code;
    ASSERT_EQ(scrolls.size(), 1u) << "code " << c.code;
    EXPECT_EQ(scrolls[0].first, static_cast<TScrollCode>(c.code));
    EXPECT_EQ(scrolls[0].second, c.expected);
    EXPECT_EQ(changes, c.expected != c.start ? 1 : 0) << "code " << c.code;
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), c.expected);
    TComponent::Free(bar);
  }
}

TEST_F(ScrollingScrollBar, TheScrollHandlerMayMoveThePosition) {
  auto* bar = Make<TScrollBar>(10, 10, 200, 17);
  bar->OnScroll = [](TObject*, TScrollCode code, int& pos) {
    if (code == scLineDown) pos = 42;
    if (code == scPageDown) pos = 1000;  // kept within the range
  };
  SendMessageW(form->Handle(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 42);
  SendMessageW(form->Handle(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 100);
  // A vertical notification is not for a horizontal bar.
  SendMessageW(form->Handle(), WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 100);
}

TEST_F(ScrollingScrollBar, TheMouseMovesTheThumbThroughTheControlsOwnTracking) {
  auto* bar = Make<TScrollBar>(20, 20, 300, 20);
  bar->SetParams(0, 0, 100);
  bar->SetPageSize(10);
  std::vector<TScrollCode> codes;
  bar->OnScroll = [&codes](TObject*, TScrollCode code, int&) { codes.push_back(code); };
  test::Activate(form->Handle());
  // A click on the right arrow.
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  POINT p{300 - arrow / 2, 10};
  ClientToScreen(bar->Handle(), &p);
  test::ClickScreen(p);
  test::PumpFor(100);
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(codes, (std::vector<TScrollCode>{scLineDown, scEndScroll}));
  // The thumb dragged to the middle of the bar. The control runs its own loop from the press to
  // the release, so the whole drag is queued before the messages are run.
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  ASSERT_TRUE(GetScrollBarInfo(bar->Handle(), OBJID_CLIENT, &sbi));
  POINT thumb{(sbi.xyThumbTop + sbi.xyThumbBottom) / 2, 10};
  ClientToScreen(bar->Handle(), &thumb);
  codes.clear();
  std::vector<int> tracked;
  bar->OnScroll = [&codes, &tracked](TObject*, TScrollCode code, int& pos) {
    codes.push_back(code);
    if (code == scTrack) tracked.push_back(pos);
  };
  test::MoveMouseTo(thumb);
  test::MouseButton(false);
  test::MoveMouseTo(POINT{thumb.x + 65, thumb.y});
  test::MoveMouseTo(POINT{thumb.x + 130, thumb.y});
  test::MouseButton(true);
  test::PumpFor(300);
  ASSERT_FALSE(codes.empty());
  ASSERT_FALSE(tracked.empty());
  EXPECT_EQ(codes.back(), scEndScroll);
  // 130 pixels of a track of 300 less two arrows and the thumb, for 91 positions.
  const int track = 300 - 2 * arrow - (sbi.xyThumbBottom - sbi.xyThumbTop);
  const int expected = 1 + 130 * 90 / track;
  EXPECT_NEAR(tracked.back(), expected, 2);
  EXPECT_NEAR(bar->Position(), expected, 2);
  EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), bar->Position());
}

// ----- scroll boxes -----

class ScrollingScrollBox : public ScrollingFixture {
 protected:
  void SetUp() override {
    ScrollingFixture::SetUp();
    box = Make<TScrollBox>(10, 10, 220, 160);
    button = new TButton(form.get());
    button->SetBounds(20, 400, 75, 25);
    button->SetParent(box);
    label = new TLabel(form.get());
    label->SetAutoSize(false);
    label->SetBounds(5, 30, 60, 17);
    label->SetTransparent(false);
    label->SetColor(clBlue);
    label->SetParent(box);
    Pump();
  }
  // The children stand where they stood at position 0, moved back by the scrolled amount.
  void ExpectScrolledBy(int dx, int dy, const char* what) {
    EXPECT_EQ(box->VertScrollBar().Position(), dy) << what;
    EXPECT_EQ(box->HorzScrollBar().Position(), dx) << what;
    EXPECT_EQ(button->Top(), 400 - dy) << what;
    EXPECT_EQ(button->Left(), 20 - dx) << what;
    EXPECT_EQ(PlaceOf(button->Handle()).top, 400 - dy) << what;
    EXPECT_EQ(PlaceOf(button->Handle()).left, 20 - dx) << what;
    EXPECT_EQ(label->Top(), 30 - dy) << what;
    EXPECT_EQ(label->Left(), 5 - dx) << what;
    EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), dy) << what;
  }
  TScrollBox* box = nullptr;
  TButton* button = nullptr;
  TLabel* label = nullptr;
};

TEST_F(ScrollingScrollBox, TheVerticalRangeIsTheChildrensExtent) {
  EXPECT_TRUE(box->AutoScroll());
  EXPECT_TRUE(box->VertScrollBar().IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar().IsScrollBarVisible());
  EXPECT_NE(GetWindowLongW(box->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(GetWindowLongW(box->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
  EXPECT_EQ(box->VertScrollBar().Range(), 425);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(box->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 424);
  EXPECT_EQ(static_cast<int>(si.nPage), box->ClientHeight());
  EXPECT_EQ(box->VertScrollBar().PageSize(), box->ClientHeight());
}

TEST_F(ScrollingScrollBox, ChildrenMoveByExactlyTheScrolledAmount) {
  const int page = box->ClientHeight();
  const int maxPos = 425 - page;
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  struct Step {
    UINT msg;
    WPARAM wParam;
    int expected;
    const char* what;
  };
  const Step steps[] = {
      {WM_VSCROLL, SB_LINEDOWN, 8, "line down"},
      {WM_VSCROLL, SB_PAGEDOWN, 8 + page, "page down"},
      {WM_VSCROLL, SB_LINEUP, page, "line up"},
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), 100, "thumb position"},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 100 + static_cast<int>(lines) * 8, "wheel down"},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 100, "wheel up"},
      {WM_VSCROLL, SB_BOTTOM, maxPos, "bottom"},
      {WM_VSCROLL, SB_LINEDOWN, maxPos, "line down at the bottom"},
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 50), maxPos, "thumb track without Tracking"},
      {WM_VSCROLL, SB_TOP, 0, "top"},
  };
  for (const Step& s : steps) {
    SendMessageW(box->Handle(), s.msg, s.wParam, 0);
    ExpectScrolledBy(0, s.expected, s.what);
  }
  box->VertScrollBar().SetTracking(true);
  SendMessageW(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 50), 0);
  ExpectScrolledBy(0, 50, "thumb track with Tracking");
  box->VertScrollBar().SetPosition(390);
  ExpectScrolledBy(0, maxPos, "position set past the end");
  // On the screen the label, painted by the box, is where it now is, and gone from where it was.
  box->VertScrollBar().SetPosition(0);
  UpdateWindow(box->Handle());
  box->VertScrollBar().SetPosition(16);
  UpdateWindow(box->Handle());
  HDC dc = GetDC(box->Handle());
  EXPECT_EQ(GetPixel(dc, 10, 30 - 16 + 5), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 10, 30 + 10), static_cast<COLORREF>(ColorToRGB(box->Color())));
  ReleaseDC(box->Handle(), dc);
}

TEST_F(ScrollingScrollBox, TheRangeFollowsAChildAddedFarAwayAndRemoved) {
  auto* distant = new TButton(form.get());
  distant->SetBounds(600, 900, 75, 25);
  distant->SetParent(box);
  EXPECT_EQ(box->HorzScrollBar().Range(), 675);
  EXPECT_EQ(box->VertScrollBar().Range(), 925);
  EXPECT_TRUE(box->HorzScrollBar().IsScrollBarVisible());
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(box->Handle(), SB_HORZ, &si));
  EXPECT_EQ(si.nMax, 674);
  EXPECT_EQ(static_cast<int>(si.nPage), box->ClientWidth());
  // Both bars take their room from the client area.
  EXPECT_EQ(box->ClientWidth(), 220 - 4 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(box->ClientHeight(), 160 - 4 - GetSystemMetrics(SM_CYHSCROLL));
  SendMessageW(box->Handle(), WM_HSCROLL, SB_BOTTOM, 0);
  SendMessageW(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
  const int right = 675 - box->ClientWidth();
  ExpectScrolledBy(right, 300, "scrolled both ways");
  EXPECT_EQ(distant->Left(), 600 - right);
  // Moving a child moves the range.
  distant->SetTop(distant->Top() + 100);
  EXPECT_EQ(box->VertScrollBar().Range(), 1025);
  // The far child gone, the rest fits sideways: that bar goes and the children come back.
  TComponent::Free(distant);
  EXPECT_EQ(box->HorzScrollBar().Range(), 95);
  EXPECT_FALSE(box->HorzScrollBar().IsScrollBarVisible());
  EXPECT_EQ(GetWindowLongW(box->Handle(), GWL_STYLE) & WS_HSCROLL, 0);
  EXPECT_EQ(box->VertScrollBar().Range(), 425);
  const int vmax = 425 - box->ClientHeight();
  ExpectScrolledBy(0, vmax, "after the far child went");
  // Without AutoScroll the range is what it is set to.
  box->VertScrollBar().SetRange(1000);
  EXPECT_FALSE(box->AutoScroll());
  EXPECT_EQ(box->VertScrollBar().Range(), 1000);
  box->SetAutoScroll(true);
  EXPECT_EQ(box->VertScrollBar().Range(), 425);
}

TEST_F(ScrollingScrollBox, WithoutBarsTheWheelGoesToTheParentAndNothingMoves) {
  TComponent::Free(button);
  button = nullptr;
  EXPECT_FALSE(box->VertScrollBar().IsScrollBarVisible());
  SendMessageW(box->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(label->Top(), 30);
  EXPECT_EQ(box->VertScrollBar().Position(), 0);
  // A border style change makes a new window with the same children.
  box->SetBorderStyle(bsNone);
  EXPECT_EQ(GetWindowLongW(box->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_EQ(box->ClientWidth(), 220);
}

// ----- memos -----

class ScrollingMemo : public ScrollingFixture {};

TEST_F(ScrollingMemo, LinesAndTextRoundTripWithLineBreaks) {
  // The text's lines, and the text the same lines give when set (CR LF between lines, none
  // after the last; a lone empty line is no text at all).
  struct Case {
    std::wstring text;
    std::vector<std::string> lines;
    std::wstring joined;
  };
  const Case cases[] = {
      {L"one\r\ntwo\r\n\r\nfour", {"one", "two", "", "four"}, L"one\r\ntwo\r\n\r\nfour"},
      {L"", {}, L""},
      {L"a\r\n", {"a"}, L"a"},
      {L"a\r\n\r\n", {"a", ""}, L"a\r\n"},
      {L"\r\n", {""}, L""},
      {L"\u03b1\r\n\u03b2\u03b3", {"\xce\xb1", "\xce\xb2\xce\xb3"}, L"\u03b1\r\n\u03b2\u03b3"},
  };
  for (bool windowed : {false, true}) {
    auto* memo = new TMemo(form.get());
    memo->SetBounds(10, 10, 200, 120);
    if (windowed) memo->SetParent(form.get());
    for (const Case& c : cases) {
      memo->SetText(c.text);
      EXPECT_EQ(memo->Lines().ToVector(), c.lines) << (windowed ? "window" : "no window");
      EXPECT_EQ(memo->Lines().Count(), static_cast<int>(c.lines.size()));
      memo->SetText(L"something else");
      memo->Lines().SetItems(c.lines);
      EXPECT_EQ(memo->GetText(), c.joined) << (windowed ? "window" : "no window");
      if (windowed) {
        EXPECT_EQ(WindowText(memo->Handle()), c.joined);
      }
    }
    memo->Lines().SetText("x\ny\rz");
    EXPECT_EQ(memo->GetText(), L"x\r\ny\r\nz");
    EXPECT_EQ(memo->Lines().Text(), "x\r\ny\r\nz\r\n");
    TComponent::Free(memo);
  }
}

TEST_F(ScrollingMemo, EditingTheLinesEditsTheText) {
  struct Step {
    const char* what;
    std::function<void(TStrings&)> edit;
    std::wstring text;
  };
  const Step steps[] = {
      {"add", [](TStrings& l) { l.Add("c"); }, L"a\r\nb\r\nc"},
      {"insert first", [](TStrings& l) { l.Insert(0, "z"); }, L"z\r\na\r\nb\r\nc"},
      {"insert before the end", [](TStrings& l) { l.Insert(3, "y"); }, L"z\r\na\r\nb\r\ny\r\nc"},
      {"delete the last", [](TStrings& l) { l.Delete(4); }, L"z\r\na\r\nb\r\ny"},
      {"put", [](TStrings& l) { l.Put(1, "A long line"); }, L"z\r\nA long line\r\nb\r\ny"},
      {"delete the first", [](TStrings& l) { l.Delete(0); }, L"A long line\r\nb\r\ny"},
      {"delete the middle", [](TStrings& l) { l.Delete(1); }, L"A long line\r\ny"},
      {"clear", [](TStrings& l) { l.Clear(); }, L""},
      {"add to nothing", [](TStrings& l) { l.Add("only"); }, L"only"},
      {"delete the only", [](TStrings& l) { l.Delete(0); }, L""},
  };
  for (bool windowed : {false, true}) {
    auto* memo = new TMemo(form.get());
    memo->SetBounds(10, 10, 200, 120);
    if (windowed) memo->SetParent(form.get());
    memo->SetText(L"a\r\nb");
    for (const Step& s : steps) {
      s.edit(memo->Lines());
      EXPECT_EQ(memo->GetText(), s.text) << s.what << (windowed ? " (window)" : "");
    }
    EXPECT_THROW(memo->Lines().Delete(0), std::out_of_range);
    EXPECT_THROW(memo->Lines().Insert(2, "x"), std::out_of_range);
    TComponent::Free(memo);
  }
}

TEST_F(ScrollingMemo, TypedTextAndWrappedRowsAreSeenInTheLines) {
  auto* memo = Make<TMemo>(10, 10, 120, 100);
  memo->Lines().SetItems({"first", "second"});
  EXPECT_EQ(memo->Lines().Count(), 2);
  // Typed at the end of the text by the user.
  memo->SetSelStart(static_cast<int>(memo->GetText().size()));
  for (wchar_t ch : std::wstring(L"!\rthird")) SendMessageW(memo->Handle(), WM_CHAR, ch, 1);
  EXPECT_EQ(memo->Lines().ToVector(), (std::vector<std::string>{"first", "second!", "third"}));
  // A line longer than the control wraps on screen and stays one line.
  memo->Lines().Put(0, "a line far too long to fit into one row of this narrow memo");
  EXPECT_GT(SendMessageW(memo->Handle(), EM_GETLINECOUNT, 0, 0), 3);
  EXPECT_EQ(memo->Lines().Count(), 3);
  EXPECT_EQ(memo->Lines()[2], "third");
}

TEST_F(ScrollingMemo, StylesFollowTheProperties) {
  auto* memo = Make<TMemo>(10, 10, 200, 120);
  memo->SetText(L"kept\r\nacross");
  struct Case {
    TScrollStyle bars;
    bool wrap;
    DWORD on, off;
  };
  const Case cases[] = {
      {ssNone, true, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL},
      {ssVertical, true, WS_VSCROLL, WS_HSCROLL | ES_AUTOHSCROLL},
      {ssBoth, true, WS_VSCROLL, WS_HSCROLL | ES_AUTOHSCROLL},
      {ssBoth, false, WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL, 0},
      {ssHorizontal, false, WS_HSCROLL | ES_AUTOHSCROLL, WS_VSCROLL},
  };
  for (const Case& c : cases) {
    memo->SetScrollBars(c.bars);
    memo->SetWordWrap(c.wrap);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(memo->Handle(), GWL_STYLE));
    EXPECT_EQ(style & c.on, c.on) << c.bars << c.wrap;
    EXPECT_EQ(style & c.off, 0u) << c.bars << c.wrap;
    EXPECT_EQ(WindowText(memo->Handle()), L"kept\r\nacross");
  }
  memo->SetWantReturns(false);
  EXPECT_EQ(GetWindowLongW(memo->Handle(), GWL_STYLE) & ES_WANTRETURN, 0);
  EXPECT_EQ(memo->Lines().Count(), 2);
  // Read-only keeps the user out, not the program.
  memo->SetReadOnly(true);
  EXPECT_NE(GetWindowLongW(memo->Handle(), GWL_STYLE) & ES_READONLY, 0);
  memo->Lines().Add("added");
  EXPECT_EQ(WindowText(memo->Handle()), L"kept\r\nacross\r\nadded");
}

TEST_F(ScrollingMemo, TabAndEnterReachTheMemoOnlyWhenItWantsThem) {
  auto* memo = Make<TMemo>(10, 10, 200, 120);
  auto* next = Make<TEdit>(10, 150, 100, 21);
  auto* ok = Make<TButton>(10, 180, 75, 25);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick.handler = [&clicks](TObject*) { ++clicks; };
  test::Activate(form->Handle());
  struct Case {
    bool wantTabs, wantReturns;
    WORD key;
    std::wstring text;
    bool focusMoved;
    int clicks;
  };
  const Case cases[] = {
      {false, true, VK_TAB, L"", true, 0},
      {true, true, VK_TAB, L"\t", false, 0},
      {false, true, VK_RETURN, L"\r\n", false, 0},
      {false, false, VK_RETURN, L"", false, 1},
  };
  for (const Case& c : cases) {
    memo->SetWantTabs(c.wantTabs);
    memo->SetWantReturns(c.wantReturns);
    memo->SetText(L"");
    clicks = 0;
    memo->SetFocus();
    test::PumpFor(30);
    test::Chord({c.key});
    test::PumpFor(100);
    EXPECT_EQ(memo->GetText(), c.text) << c.key << " tabs " << c.wantTabs << " returns " << c.wantReturns;
    EXPECT_EQ(next->Focused(), c.focusMoved) << c.key;
    EXPECT_EQ(clicks, c.clicks) << c.key;
  }
  // Escape in a memo leaves its form alone (a control in a dialog box would close the dialog).
  memo->SetFocus();
  test::Chord({VK_ESCAPE});
  test::PumpFor(100);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(memo->Focused());
}


// ----- list boxes -----

class ScrollingListBox : public ScrollingFixture {
 protected:
  static std::vector<std::wstring> NativeItems(HWND wnd) {
    std::vector<std::wstring> out;
    const int n = static_cast<int>(SendMessageW(wnd, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      std::wstring s(static_cast<std::size_t>(SendMessageW(wnd, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
      s.resize(static_cast<std::size_t>(SendMessageW(wnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(s.data()))));
      out.push_back(s);
    }
    return out;
  }
};

TEST_F(ScrollingListBox, ItemsAndTheControlStayInStepBothWays) {
  auto* list = new TListBox(form.get());
  list->SetBounds(10, 10, 150, 120);
  // Before the window exists.
  list->Items().SetItems({"pear", "apple"});
  list->Items().Add("fig");
  list->SetItemIndex(1);
  EXPECT_FALSE(list->HandleAllocated());
  list->SetParent(form.get());
  HWND h = list->Handle();
  EXPECT_EQ(NativeItems(h), (std::vector<std::wstring>{L"pear", L"apple", L"fig"}));
  EXPECT_EQ(SendMessageW(h, LB_GETCURSEL, 0, 0), 1);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
  EXPECT_EQ(style & (LBS_NOINTEGRALHEIGHT | LBS_NOTIFY), static_cast<DWORD>(LBS_NOINTEGRALHEIGHT | LBS_NOTIFY));
  // Changes to the strings reach the control.
  list->Items().Insert(0, "kiwi");
  list->Items().Put(2, "APPLE");
  list->Items().Delete(3);
  EXPECT_EQ(NativeItems(h), (std::vector<std::wstring>{L"kiwi", L"pear", L"APPLE"}));
  // Changes made to the control are seen in the strings.
  SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"lime"));
  SendMessageW(h, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(list->Items().ToVector(), (std::vector<std::string>{"pear", "APPLE", "lime"}));
  EXPECT_EQ(list->Items().IndexOf("apple"), 1);
  // A new window (another border) brings the items, the current item and the first one shown.
  for (int i = 0; i < 30; ++i) list->Items().Add("item " + std::to_string(i));
  EXPECT_NE(GetWindowLongW(h, GWL_STYLE) & WS_VSCROLL, 0);  // shown once the items need it
  list->SetItemIndex(20);
  list->SetTopIndex(12);
  list->SetBorderStyle(bsNone);
  EXPECT_NE(list->Handle(), h);
  EXPECT_EQ(GetWindowLongW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_EQ(list->Items().Count(), 33);
  EXPECT_EQ(list->Items()[32], "item 29");
  EXPECT_EQ(list->ItemIndex(), 20);
  EXPECT_EQ(list->TopIndex(), 12);
  // So does the window of its parent being made again.
  auto* panel = Make<TPanel>(200, 10, 200, 200);
  list->SetParent(panel);
  list->SetItemIndex(5);
  panel->Perform(CM_RECREATEWND);
  EXPECT_EQ(list->Items().Count(), 33);
  EXPECT_EQ(NativeItems(list->Handle()).size(), 33u);
  EXPECT_EQ(list->ItemIndex(), 5);
  // Out-of-range indexes are refused.
  EXPECT_THROW(list->Items().Delete(33), std::out_of_range);
  EXPECT_THROW(list->Items()[-1], std::out_of_range);
  EXPECT_THROW(list->SetItemIndex(33), std::out_of_range);
}

TEST_F(ScrollingListBox, SortedListsKeepTheirOrderWithAndWithoutAWindow) {
  for (bool windowed : {false, true}) {
    auto* list = new TListBox(form.get());
    list->SetBounds(10, 10, 150, 120);
    if (windowed) list->SetParent(form.get());
    list->Items().SetItems({"pear", "Apple", "fig"});
    list->SetSorted(true);
    EXPECT_EQ(list->Items().ToVector(), (std::vector<std::string>{"Apple", "fig", "pear"})) << windowed;
    EXPECT_EQ(list->Items().Add("banana"), 1);
    EXPECT_EQ(list->Items().Add("zucchini"), 4);
    EXPECT_THROW(list->Items().Insert(0, "aaa"), std::logic_error);
    list->Items().Put(0, "quince");  // takes its place in the order
    EXPECT_EQ(list->Items().ToVector(), (std::vector<std::string>{"banana", "fig", "pear", "quince", "zucchini"})) << windowed;
    list->SetParent(form.get());
    EXPECT_EQ(NativeItems(list->Handle()), (std::vector<std::wstring>{L"banana", L"fig", L"pear", L"quince", L"zucchini"}));
    TComponent::Free(list);
  }
}

TEST_F(ScrollingListBox, SeveralItemsAreSelectedAndStaySelected) {
  auto* list = Make<TListBox>(10, 10, 150, 120);
  list->Items().SetItems({"a", "b", "c", "d", "e"});
  list->SetMultiSelect(true);
  EXPECT_NE(GetWindowLongW(list->Handle(), GWL_STYLE) & LBS_EXTENDEDSEL, 0);
  list->SetSelected(1, true);
  list->SetSelected(3, true);
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_GT(SendMessageW(list->Handle(), LB_GETSEL, 3, 0), 0);
  EXPECT_FALSE(list->Selected(2));
  list->SetSorted(true);  // a new window
  EXPECT_TRUE(list->Selected(1));
  EXPECT_TRUE(list->Selected(3));
  EXPECT_EQ(list->SelCount(), 2);
  list->DeleteSelected();
  EXPECT_EQ(list->Items().ToVector(), (std::vector<std::string>{"a", "c", "e"}));
  list->SelectAll();
  EXPECT_EQ(list->SelCount(), 3);
  // Back to one selection: one item stays selected.
  list->SetMultiSelect(false);
  EXPECT_EQ(list->SelCount(), 1);
  list->SetSelected(2, true);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_FALSE(list->Selected(0));
}

TEST_F(ScrollingListBox, ClicksOnItemsSelectThemAndAreReported) {
  auto* list = Make<TListBox>(10, 10, 150, 120);
  list->Items().SetItems({"one", "two", "three"});
  int clicks = 0, doubles = 0;
  list->OnClick.handler = [&clicks](TObject*) { ++clicks; };
  list->OnDblClick.handler = [&doubles](TObject*) { ++doubles; };
  const RECT r = list->ItemRect(2);
  const LPARAM at = MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2);
  SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list->ItemAtPos(POINT{r.left + 5, r.top + 1}, true), 2);
  EXPECT_EQ(list->ItemAtPos(POINT{5, 110}, true), -1);
  EXPECT_EQ(list->ItemAtPos(POINT{5, 110}, false), 3);
  SendMessageW(list->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(doubles, 1);
  // Set in code, the current item is no click.
  list->SetItemIndex(0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ScrollingListBox, OwnerDrawnItemsAreDrawnWhereTheyShow) {
  auto* list = Make<TListBox>(10, 10, 150, 104);  // 100 pixels inside the border
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(20);
  std::vector<std::string> items;
  for (int i = 0; i < 100; ++i) items.push_back("row " + std::to_string(i));
  list->Items().SetItems(items);
  std::set<int> drawn;
  bool heightsRight = true;
  list->OnDrawItem = [&](TWinControl* c, int index, TCanvas& canvas, const RECT& rect, TOwnerDrawState) {
    EXPECT_EQ(c, list);
    drawn.insert(index);
    heightsRight = heightsRight && rect.bottom - rect.top == 20;
    canvas.Brush.color = index % 2 ? clRed : clBlue;
    canvas.FillRect(rect);
  };
  const auto redraw = [&] {
    drawn.clear();
    RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  };
  redraw();
  EXPECT_EQ(drawn, (std::set<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(heightsRight);
  list->SetTopIndex(50);
  redraw();
  EXPECT_EQ(drawn, (std::set<int>{50, 51, 52, 53, 54}));
  // What the handler drew is on the screen: row 51 red, row 52 blue.
  HDC dc = GetDC(list->Handle());
  EXPECT_EQ(GetPixel(dc, 40, 30), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 40, 50), RGB(0, 0, 255));
  ReleaseDC(list->Handle(), dc);
  // Items of their own heights.
  auto* variable = Make<TListBox>(200, 10, 150, 200);
  variable->SetStyle(lbOwnerDrawVariable);
  variable->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 10 + (index % 3) * 5; };
  variable->Items().SetItems({"a", "b", "c", "d"});
  for (int i = 0; i < 4; ++i) {
    const RECT r = variable->ItemRect(i);
    EXPECT_EQ(r.bottom - r.top, 10 + (i % 3) * 5) << i;
  }
}


// ----- list views -----

class ScrollingListView : public ScrollingFixture {
 protected:
  static std::wstring ItemText(HWND wnd, int item, int sub) {
    wchar_t text[128] = {};
    LVITEMW it{};
    it.iSubItem = sub;
    it.pszText = text;
    it.cchTextMax = 128;
    SendMessageW(wnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    return text;
  }
};

TEST_F(ScrollingListView, ItemsColumnsAndSelectionGoThroughTheControl) {
  auto* view = new TListView(form.get());
  view->SetBounds(10, 10, 300, 200);
  view->SetViewStyle(vsReport);
  TListColumn* name = view->Columns().Add();
  name->SetCaption(L"Name");
  name->SetWidth(100);
  TListColumn* size = view->Columns().Add();
  size->SetCaption(L"Size");
  size->SetAlignment(taRightJustify);
  for (const auto& [caption, bytes] : {std::make_pair(L"alpha", "1 KB"), std::make_pair(L"beta", "2 KB")}) {
    TListItem* item = view->Items().Add();
    item->SetCaption(caption);
    item->SubItems().Add(bytes);
  }
  view->SetParent(form.get());
  HWND h = view->Handle();
  EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ItemText(h, 1, 0), L"beta");
  EXPECT_EQ(ItemText(h, 1, 1), L"2 KB");
  HWND header = reinterpret_cast<HWND>(SendMessageW(h, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
  LVCOLUMNW col{};
  col.mask = LVCF_FMT;
  SendMessageW(h, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
  EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
  EXPECT_EQ(SendMessageW(h, LVM_GETCOLUMNWIDTH, 0, 0), 100);
  // Changes of items and columns show at once.
  view->Items()[0]->SetCaption(L"ALPHA");
  view->Items()[0]->SubItems().Put(0, "3 KB");
  EXPECT_EQ(ItemText(h, 0, 0), L"ALPHA");
  EXPECT_EQ(ItemText(h, 0, 1), L"3 KB");
  TListItem* gamma = view->Items().Insert(1);
  gamma->SetCaption(L"gamma");
  EXPECT_EQ(gamma->Index(), 1);
  EXPECT_EQ(view->Items()[2]->Index(), 2);
  EXPECT_EQ(ItemText(h, 2, 0), L"beta");
  view->Items().Delete(0);
  EXPECT_EQ(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ItemText(h, 0, 0), L"gamma");
  EXPECT_EQ(gamma->Index(), 0);
  TListColumn* kind = view->Columns().Add();
  kind->SetCaption(L"Kind");
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  view->Items()[1]->SubItems().Add("file");
  EXPECT_EQ(ItemText(h, 1, 2), L"file");
  // The user's width is the column's.
  SendMessageW(h, LVM_SETCOLUMNWIDTH, 0, 150);
  EXPECT_EQ(name->Width(), 150);
  // Selection, in code and reported.
  std::vector<std::pair<TListItem*, bool>> reported;
  view->OnSelectItem = [&reported](TObject*, TListItem* item, bool selected) { reported.emplace_back(item, selected); };
  view->SetItemIndex(1);
  EXPECT_EQ(SendMessageW(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
  EXPECT_EQ(view->Selected(), view->Items()[1]);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.back(), std::make_pair(view->Items()[1], true));
  // A new window keeps the items, the selection and the widths.
  view->SetBorderStyle(bsNone);
  EXPECT_NE(view->Handle(), h);
  EXPECT_EQ(ItemText(view->Handle(), 1, 2), L"file");
  EXPECT_EQ(view->ItemIndex(), 1);
  EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 150);
  // Other views and style options.
  view->SetViewStyle(vsList);
  EXPECT_EQ(GetWindowLongW(view->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
  view->SetRowSelect(true);
  EXPECT_NE(SendMessageW(view->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, 0);
  view->SetReadOnly(true);
  EXPECT_EQ(GetWindowLongW(view->Handle(), GWL_STYLE) & LVS_EDITLABELS, 0);
  EXPECT_THROW(view->Items().SetCount(10), std::logic_error);
  EXPECT_THROW(view->Items()[2], std::out_of_range);
}

TEST_F(ScrollingListView, ImageListsAreTheControlsAndLetGoWhenFreed) {
  auto* view = Make<TListView>(10, 10, 300, 200);
  auto* small = new TImageList(form.get());
  auto* large = new TImageList(form.get(), 32, 32);
  view->SetSmallImages(small);
  view->SetLargeImages(large);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)), small->Handle());
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0)), large->Handle());
  TListItem* item = view->Items().Add();
  item->SetImageIndex(3);
  LVITEMW it{};
  it.mask = LVIF_IMAGE;
  it.iItem = 0;
  SendMessageW(view->Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_EQ(it.iImage, 3);
  TComponent::Free(small);
  EXPECT_EQ(view->SmallImages(), nullptr);
  EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
  EXPECT_EQ(view->LargeImages(), large);
}

TEST_F(ScrollingListView, AClickOnARowSelectsIt) {
  auto* view = Make<TListView>(10, 10, 300, 200);
  view->SetViewStyle(vsReport);
  view->SetRowSelect(true);
  view->Columns().Add()->SetCaption(L"Name");
  view->Columns().Add()->SetCaption(L"Size");
  for (int i = 0; i < 5; ++i) view->Items().Add()->SetCaption(L"row " + std::to_wstring(i));
  std::vector<std::pair<int, bool>> reported;
  view->OnSelectItem = [&reported](TObject*, TListItem* item, bool selected) { reported.emplace_back(item ? item->Index() : -1, selected); };
  RECT r{};
  r.left = LVIR_BOUNDS;
  SendMessageW(view->Handle(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
  // On the second column: with RowSelect the row is hit there too.
  POINT p{r.left + 75, (r.top + r.bottom) / 2};  // the columns are 50 pixels wide
  ClientToScreen(view->Handle(), &p);
  test::Activate(form->Handle());
  test::ClickScreen(p);
  test::PumpFor(200);
  EXPECT_EQ(view->ItemIndex(), 3);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.back(), std::make_pair(3, true));
  EXPECT_EQ(view->GetItemAt(r.left + 75, (r.top + r.bottom) / 2), view->Items()[3]);
}

TEST_F(ScrollingListView, AVirtualListAsksOnlyForTheRowsItShows) {
  auto* view = Make<TListView>(10, 10, 300, 200);
  view->SetViewStyle(vsReport);
  view->SetOwnerData(true);
  view->Columns().Add()->SetCaption(L"Row");
  view->Columns().Add()->SetCaption(L"Square");
  std::set<int> asked;
  view->OnData = [&asked](TObject*, TListItem* item) {
    asked.insert(item->Index());
    item->SetCaption(L"row " + std::to_wstring(item->Index()));
    item->SubItems().Add(std::to_string(static_cast<long long>(item->Index()) * item->Index()));
  };
  view->Items().SetCount(10000);
  HWND h = view->Handle();
  EXPECT_EQ(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0), 10000);
  EXPECT_NE(GetWindowLongW(h, GWL_STYLE) & LVS_OWNERDATA, 0);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const int perPage = view->VisibleRowCount();
  ASSERT_GT(perPage, 3);
  ASSERT_FALSE(asked.empty());
  EXPECT_LE(*asked.rbegin(), perPage);  // the rows shown, the one cut at the bottom included
  EXPECT_EQ(*asked.begin(), 0);
  // Far down, only the rows shown there.
  SendMessageW(h, LVM_ENSUREVISIBLE, 7000, FALSE);
  asked.clear();
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const int top = static_cast<int>(SendMessageW(h, LVM_GETTOPINDEX, 0, 0));
  EXPECT_GT(top, 6000);
  ASSERT_FALSE(asked.empty());
  EXPECT_GE(*asked.begin(), top);
  EXPECT_LE(*asked.rbegin(), top + perPage);
  EXPECT_EQ(ItemText(h, 7000, 1), L"49000000");
  EXPECT_EQ(view->Items()[9999]->Caption(), L"row 9999");
  EXPECT_EQ(view->TopItem()->Index(), top);
  // Selection works on rows that have no item.
  view->SetItemIndex(5000);
  EXPECT_EQ(view->ItemIndex(), 5000);
  EXPECT_EQ(view->Selected()->Caption(), L"row 5000");
  EXPECT_THROW(view->Items().Add(), std::logic_error);
  view->Items().SetCount(3);
  EXPECT_EQ(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0), 3);
}

// ----- tree views -----

class ScrollingTreeView : public ScrollingFixture {
 protected:
  static std::wstring NodeText(HWND wnd, HTREEITEM item) {
    wchar_t text[128] = {};
    TVITEMW it{};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = item;
    it.pszText = text;
    it.cchTextMax = 128;
    SendMessageW(wnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    return text;
  }
  static bool Shows(HWND wnd, const TTreeNode* node) {
    // TVM_GETITEMRECT takes the item in the rectangle's place.
    union {
      RECT rect;
      HTREEITEM item;
    } in{};
    in.item = node->ItemId();
    return SendMessageW(wnd, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&in.rect)) != 0;
  }
};

TEST_F(ScrollingTreeView, NodesAndTheirExpansionGoThroughTheControl) {
  auto* tree = new TTreeView(form.get());
  tree->SetBounds(10, 10, 200, 250);
  TTreeNodes& nodes = tree->Items();
  TTreeNode* a = nodes.Add(nullptr, L"A");
  TTreeNode* a1 = nodes.AddChild(a, L"A1");
  TTreeNode* a2 = nodes.AddChild(a, L"A2");
  TTreeNode* a2a = nodes.AddChild(a2, L"A2a");
  TTreeNode* b = nodes.Add(a, L"B");
  TTreeNode* b1 = nodes.AddChild(b, L"B1");
  a->SetExpanded(true);
  EXPECT_EQ(nodes.Count(), 6);
  EXPECT_EQ(a2a->Level(), 2);
  EXPECT_EQ(a2->Parent(), a);
  EXPECT_EQ(b->Parent(), nullptr);
  EXPECT_EQ(b->Index(), 1);
  EXPECT_EQ(nodes.Item(3), a2a);
  EXPECT_EQ(a1->GetNextSibling(), a2);
  tree->SetParent(form.get());
  HWND h = tree->Handle();
  EXPECT_EQ(SendMessageW(h, TVM_GETCOUNT, 0, 0), 6);
  HTREEITEM first = reinterpret_cast<HTREEITEM>(SendMessageW(h, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  EXPECT_EQ(first, a->ItemId());
  EXPECT_EQ(NodeText(h, first), L"A");
  EXPECT_EQ(NodeText(h, b1->ItemId()), L"B1");
  EXPECT_TRUE(a->Expanded());
  EXPECT_TRUE(Shows(h, a1));
  EXPECT_FALSE(Shows(h, a2a));
  EXPECT_FALSE(Shows(h, b1));
  // Expanded in code, and by the user with the keyboard.
  std::vector<std::wstring> expanded, changes;
  tree->OnExpanded = [&expanded](TObject*, TTreeNode* n) { expanded.push_back(n->Text()); };
  tree->OnChange = [&changes](TObject*, TTreeNode* n) { changes.push_back(n ? n->Text() : L"-"); };
  b->SetExpanded(true);
  EXPECT_TRUE(Shows(h, b1));
  tree->SetSelected(a2);
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(h, TVM_GETNEXTITEM, TVGN_CARET, 0)), a2->ItemId());
  EXPECT_TRUE(a2->Selected());
  SendMessageW(h, WM_KEYDOWN, VK_ADD, 0);
  EXPECT_TRUE(a2->Expanded());
  EXPECT_TRUE(Shows(h, a2a));
  EXPECT_EQ(expanded, (std::vector<std::wstring>{L"B", L"A2"}));
  EXPECT_EQ(changes, (std::vector<std::wstring>{L"A2"}));
  // A new window shows the same tree, expanded and selected as it was, without reporting it.
  tree->SetShowLines(false);
  EXPECT_NE(tree->Handle(), h);
  h = tree->Handle();
  EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & TVS_HASLINES, 0);
  EXPECT_EQ(SendMessageW(h, TVM_GETCOUNT, 0, 0), 6);
  EXPECT_TRUE(Shows(h, a2a));
  EXPECT_TRUE(Shows(h, b1));
  EXPECT_EQ(tree->Selected(), a2);
  EXPECT_EQ(changes.size(), 1u);
  // Nodes added, inserted and deleted with a window.
  TTreeNode* b2 = nodes.AddChild(b, L"B2");
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(h, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(b1->ItemId()))), b2->ItemId());
  TTreeNode* z = nodes.Insert(a, L"Z");
  EXPECT_EQ(NodeText(h, reinterpret_cast<HTREEITEM>(SendMessageW(h, TVM_GETNEXTITEM, TVGN_ROOT, 0))), L"Z");
  EXPECT_EQ(z->Index(), 0);
  a->Delete();  // with A1, A2 and A2a, and the selection on A2
  EXPECT_EQ(nodes.Count(), 4);
  EXPECT_EQ(SendMessageW(h, TVM_GETCOUNT, 0, 0), 4);
  TTreeNode* now = tree->Selected();
  EXPECT_TRUE(now == nullptr || now == z || now == b || now == b1 || now == b2);
  EXPECT_EQ(b->Count(), 2);
  b->DeleteChildren();
  EXPECT_EQ(SendMessageW(h, TVM_GETCOUNT, 0, 0), 2);
  EXPECT_FALSE(b->HasChildren());
  // A node of another tree is refused.
  auto* other = Make<TTreeView>(250, 10, 100, 100);
  EXPECT_THROW(nodes.AddChild(other->Items().Add(nullptr, L"x"), L"y"), std::invalid_argument);
  nodes.Clear();
  EXPECT_EQ(SendMessageW(h, TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(tree->Selected(), nullptr);
}

TEST_F(ScrollingTreeView, ImagesComeFromTheNodes) {
  auto* tree = Make<TTreeView>(10, 10, 200, 200);
  auto* images = new TImageList(form.get());
  tree->SetImages(images);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0)), images->Handle());
  TTreeNode* n = tree->Items().Add(nullptr, L"node");
  n->SetImageIndex(2);
  n->SetSelectedIndex(5);
  TVITEMW it{};
  it.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  it.hItem = n->ItemId();
  SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_EQ(it.iImage, 2);
  EXPECT_EQ(it.iSelectedImage, 5);
  n->SetText(L"renamed");
  EXPECT_EQ(NodeText(tree->Handle(), n->ItemId()), L"renamed");
  TComponent::Free(images);
  EXPECT_EQ(tree->Images(), nullptr);
}


// ----- masked edits and input methods -----

class ScrollingEdit : public ScrollingFixture {
 protected:
  static void Type(HWND wnd, const std::wstring& chars) {
    for (wchar_t ch : chars) SendMessageW(wnd, WM_CHAR, ch, 1);
  }
};

TEST_F(ScrollingEdit, AMaskTakesOnlyWhatItAllowsAndSkipsItsLiterals) {
  auto* date = Make<TMaskEdit>(10, 10, 120, 21);
  date->SetEditMask(L"00/00/0000;1;_");
  HWND h = date->Handle();
  EXPECT_EQ(WindowText(h), L"__/__/____");
  date->SetSelStart(0);
  struct Step {
    std::wstring typed, text;
    int caret;
    bool complete;
  };
  const Step steps[] = {
      {L"12", L"12/__/____", 3, false},
      {L"x", L"12/__/____", 3, false},  // refused
      {L"3", L"12/3_/____", 4, false},
      {L"42024", L"12/34/2024", 10, true},
      {L"\b", L"12/34/202_", 9, false},
      {L"\b\b\b", L"12/34/____", 6, false},
      {L"\b", L"12/3_/____", 4, false},  // over the literal
  };
  for (const Step& s : steps) {
    Type(h, s.typed);
    EXPECT_EQ(WindowText(h), s.text) << "typed " << s.typed.size();
    EXPECT_EQ(date->SelStart(), s.caret);
    EXPECT_EQ(date->IsMaskComplete(), s.complete);
  }
  EXPECT_EQ(date->Value(), L"12/3/");
  // Delete clears the selected input places and keeps the literals.
  date->SelectAll();
  SendMessageW(h, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(WindowText(h), L"__/__/____");
  // Pasted text is typed as far as the mask takes it.
  if (OpenClipboard(h)) {
    EmptyClipboard();
    const std::wstring text = L"0a7b19";
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
    date->SetSelStart(0);
    SendMessageW(h, WM_PASTE, 0, 0);
    EXPECT_EQ(WindowText(h), L"07/19/____");
  }
}

TEST_F(ScrollingEdit, MasksWithoutLiteralsCaseAndOptionalPlaces) {
  struct Case {
    std::wstring mask, typed, text, value;
  };
  const Case cases[] = {
      {L"(999) 000-0000;0;*", L"555 1234567", L"(555) 123-4567", L"5551234567"},
      {L">LL-00;1;_", L"ab12", L"AB-12", L"AB-12"},
      {L"<LLL;0;_", L"XyZ", L"xyz", L"xyz"},
      {L"\\A-AA;1;_", L"z9", L"A-z9", L"A-z9"},
      {L"", L"free text", L"free text", L"free text"},
  };
  for (const Case& c : cases) {
    auto* edit = Make<TMaskEdit>(10, 10, 160, 21);
    edit->SetEditMask(c.mask);
    edit->SetSelStart(0);
    Type(edit->Handle(), c.typed);
    EXPECT_EQ(edit->GetText(), c.text) << c.mask;
    EXPECT_EQ(edit->Value(), c.value) << c.mask;
    TComponent::Free(edit);
  }
}

TEST_F(ScrollingEdit, TheInputMethodStateIsAppliedWhenTheFieldGetsTheFocus) {
  auto* plain = Make<TEdit>(10, 10, 120, 21);
  auto* latin = Make<TEdit>(10, 40, 120, 21);
  EXPECT_EQ(plain->ImeMode(), imDontCare);
  latin->SetImeMode(imDisable);
  EXPECT_EQ(GetEnumProp(*latin, "ImeMode"), "imDisable");
  SetEnumProp(*plain, "ImeMode", "imSHanguel");
  EXPECT_EQ(plain->ImeMode(), imSHanguel);
  plain->SetImeMode(imDontCare);
  test::Activate(form->Handle());
  plain->SetFocus();
  Pump();
  HIMC before = ImmGetContext(plain->Handle());
  if (!before) GTEST_SKIP() << "no input method context on this system";
  ImmReleaseContext(plain->Handle(), before);
  latin->SetFocus();
  Pump();
  // A field with the input method disabled has no context.
  EXPECT_EQ(ImmGetContext(latin->Handle()), nullptr);
  latin->SetImeMode(imClose);
  plain->SetFocus();
  latin->SetFocus();
  Pump();
  HIMC imc = ImmGetContext(latin->Handle());
  ASSERT_NE(imc, nullptr);
  EXPECT_FALSE(ImmGetOpenStatus(imc));
  ImmReleaseContext(latin->Handle(), imc);
}

// ----- grids -----

class ScrollingGrid : public ScrollingFixture {
 protected:
  // A grid of 20 rows and 10 columns of 64 by 20 pixels plus a line each, one fixed row and
  // column, with both bars.
  TDrawGrid* MakeGrid() {
    auto* grid = Make<TDrawGrid>(10, 10, 300, 160);
    grid->SetRowCount(20);
    grid->SetColCount(10);
    grid->SetDefaultRowHeight(20);
    return grid;
  }
  // Rows (columns) of `size` pixels and a line that show whole in `extent` pixels after the
  // fixed one.
  static int Whole(int extent, int size) { return (extent - (size + 1) + 1) / (size + 1); }
  // The scroll code of the scroll message being handled, as the grid saw it.
  struct TScrollCodes {
    TWndMethod saved;
    TControl* control;
    int code = -1;
    explicit TScrollCodes(TControl* c) : saved(c->WindowProc), control(c) {
      c->WindowProc = [this](TMessage& m) {
        const int before = code;
        if (m.Msg == WM_VSCROLL) code = LOWORD(m.WParam);
        saved(m);
        code = before;
      };
    }
    ~TScrollCodes() { control->WindowProc = saved; }
  };
};

TEST_F(ScrollingGrid, LinesAndPagesScrollWholeRowsAndColumns) {
  TDrawGrid* grid = MakeGrid();
  HWND h = grid->Handle();
  const int rows = Whole(grid->ClientHeight(), 20), cols = Whole(grid->ClientWidth(), 64);
  ASSERT_GE(rows, 3);
  const int maxTop = 20 - rows, maxLeft = 10 - cols;
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(si.nMin, 1);
  EXPECT_EQ(si.nMax, 19);
  EXPECT_EQ(static_cast<int>(si.nPage), 20 - maxTop);
  EXPECT_EQ(grid->VisibleRowCount(), rows);
  struct Step {
    UINT msg;
    WPARAM wParam;
    int top, left;
  };
  const Step steps[] = {
      {WM_VSCROLL, SB_LINEDOWN, 2, 1},
      {WM_VSCROLL, SB_LINEDOWN, 3, 1},
      {WM_VSCROLL, SB_LINEUP, 2, 1},
      {WM_VSCROLL, SB_PAGEDOWN, 2 + rows, 1},
      {WM_VSCROLL, SB_PAGEUP, 2, 1},
      {WM_VSCROLL, SB_BOTTOM, maxTop, 1},
      {WM_VSCROLL, SB_LINEDOWN, maxTop, 1},
      {WM_VSCROLL, SB_PAGEDOWN, maxTop, 1},
      {WM_VSCROLL, SB_TOP, 1, 1},
      {WM_VSCROLL, SB_LINEUP, 1, 1},
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 7, 1},
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 99), maxTop, 1},
      {WM_HSCROLL, SB_LINEDOWN, maxTop, 2},
      {WM_HSCROLL, SB_PAGEDOWN, maxTop, std::min(2 + cols, maxLeft)},
      {WM_HSCROLL, SB_BOTTOM, maxTop, maxLeft},
      {WM_HSCROLL, SB_TOP, maxTop, 1},
  };
  for (const Step& s : steps) {
    SendMessageW(h, s.msg, s.wParam, 0);
    EXPECT_EQ(grid->TopRow(), s.top) << s.msg << " " << LOWORD(s.wParam);
    EXPECT_EQ(grid->LeftCol(), s.left) << s.msg << " " << LOWORD(s.wParam);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), s.top);
    EXPECT_EQ(GetScrollPos(h, SB_HORZ), s.left);
  }
  // The wheel scrolls by the system's lines.
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  grid->SetTopRow(1);
  SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(grid->TopRow(), std::min(1 + static_cast<int>(lines), maxTop));
  // Everything fits: no bars.
  grid->SetRowCount(3);
  grid->SetColCount(2);
  EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
  EXPECT_EQ(grid->TopRow(), 1);
}

TEST_F(ScrollingGrid, ADraggedThumbScrollsWhenDroppedUnlessThumbTracking) {
  TDrawGrid* grid = MakeGrid();
  HWND h = grid->Handle();
  std::vector<int> changes;
  grid->OnTopLeftChanged = [&changes, grid](TObject*) { changes.push_back(grid->TopRow()); };
  SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 8), 0);
  SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
  EXPECT_EQ(grid->TopRow(), 1);
  EXPECT_TRUE(changes.empty());
  // The end of the drag without a drop position scrolls to where the thumb was last.
  SendMessageW(h, WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_EQ(grid->TopRow(), 10);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 10);
  SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 4), 0);
  EXPECT_EQ(grid->TopRow(), 10);
  SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
  SendMessageW(h, WM_VSCROLL, SB_ENDSCROLL, 0);
  EXPECT_EQ(grid->TopRow(), 5);
  EXPECT_EQ(changes, (std::vector<int>{10, 5}));
  grid->SetOptions(grid->Options() | goThumbTracking);
  SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 8), 0);
  EXPECT_EQ(grid->TopRow(), 8);
  SendMessageW(h, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
  EXPECT_EQ(grid->LeftCol(), 3);
}

TEST_F(ScrollingGrid, TheMouseDragsTheThumb) {
  for (bool thumbTracking : {false, true}) {
    TDrawGrid* grid = MakeGrid();
    if (thumbTracking) grid->SetOptions(grid->Options() | goThumbTracking);
    HWND h = grid->Handle();
    TScrollCodes codes(grid);
    std::vector<int> during;  // the scroll code being handled when the grid scrolled
    grid->OnTopLeftChanged = [&during, &codes](TObject*) { during.push_back(codes.code); };
    test::Activate(form->Handle());
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &sbi));
    POINT thumb{(sbi.rcScrollBar.left + sbi.rcScrollBar.right) / 2, sbi.rcScrollBar.top + (sbi.xyThumbTop + sbi.xyThumbBottom) / 2};
    // The bar runs its own loop from the press to the release: the whole drag is queued first.
    test::MoveMouseTo(thumb);
    test::MouseButton(false);
    test::MoveMouseTo(POINT{thumb.x, thumb.y + 20});
    test::MoveMouseTo(POINT{thumb.x, thumb.y + 40});
    test::MouseButton(true);
    test::PumpFor(300);
    EXPECT_GT(grid->TopRow(), 1) << thumbTracking;
    EXPECT_EQ(GetScrollPos(h, SB_VERT), grid->TopRow());
    ASSERT_FALSE(during.empty()) << thumbTracking;
    if (thumbTracking) {
      EXPECT_EQ(during.front(), SB_THUMBTRACK);
    } else {
      for (int code : during) EXPECT_TRUE(code == SB_THUMBPOSITION || code == SB_ENDSCROLL) << code;
    }
    TComponent::Free(grid);
  }
}

TEST_F(ScrollingGrid, FixedCellsArePaintedInTheFixedColourAndCellsInTheColour) {
  auto* grid = Make<TStringGrid>(10, 10, 300, 160);
  grid->SetFixedColor(clRed);
  grid->SetColor(clYellow);
  grid->SetCells(3, 3, L"text");
  RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(grid->Handle());
  const auto at = [dc](const RECT& r, int dx, int dy) { return GetPixel(dc, r.left + dx, r.top + dy); };
  struct Probe {
    int col, row;
    COLORREF colour;
  };
  const Probe probes[] = {{0, 0, RGB(255, 0, 0)}, {0, 2, RGB(255, 0, 0)}, {2, 0, RGB(255, 0, 0)}, {2, 2, RGB(255, 255, 0)}, {4, 1, RGB(255, 255, 0)}};
  for (const Probe& p : probes) {
    const RECT r = grid->CellRect(p.col, p.row);
    EXPECT_EQ(at(r, 20, 10), p.colour) << p.col << "," << p.row;
  }
  // Lines: black between fixed cells, silver between the others.
  EXPECT_EQ(at(grid->CellRect(0, 2), 64, 10), RGB(0, 0, 0));
  EXPECT_EQ(at(grid->CellRect(2, 2), 64, 10), RGB(192, 192, 192));
  EXPECT_EQ(at(grid->CellRect(2, 2), 20, 24), RGB(192, 192, 192));
  // The text of a string grid's cell is drawn in it.
  const RECT t = grid->CellRect(3, 3);
  int dark = 0;
  for (int x = t.left; x < t.right; ++x)
    for (int y = t.top; y < t.bottom; ++y)
      if (GetPixel(dc, x, y) == RGB(0, 0, 0)) ++dark;
  EXPECT_GT(dark, 10);
  // No grid lines at all when none are asked for.
  grid->SetOptions(0);
  RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(grid->CellRect(2, 2).left, 2 * 64);
  EXPECT_EQ(at(grid->CellRect(1, 2), 63, 10), RGB(255, 255, 0));
  ReleaseDC(grid->Handle(), dc);
}

TEST_F(ScrollingGrid, CellsAreDrawnOnlyWhereTheyShow) {
  auto* grid = Make<TDrawGrid>(10, 10, 300, 160);
  grid->SetRowCount(100);
  grid->SetColCount(30);
  grid->SetDefaultRowHeight(20);
  std::set<std::pair<int, int>> drawn;
  grid->OnDrawCell = [&drawn](TObject*, int col, int row, const RECT&, TGridDrawState) { drawn.insert({col, row}); };
  // The cells that show, from the sizes alone.
  const auto showing = [grid] {
    std::set<std::pair<int, int>> out;
    std::vector<int> cols{0}, rows{0};
    for (int c = grid->LeftCol(), x = 65; x < grid->ClientWidth() && c < 30; ++c, x += 65) cols.push_back(c);
    for (int r = grid->TopRow(), y = 21; y < grid->ClientHeight() && r < 100; ++r, y += 21) rows.push_back(r);
    for (int c : cols)
      for (int r : rows) out.insert({c, r});
    return out;
  };
  RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(drawn, showing());
  // Scrolled by a line, the rows that came into view are drawn, and nothing outside the view.
  drawn.clear();
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  UpdateWindow(grid->Handle());
  const auto now = showing();
  EXPECT_FALSE(drawn.empty());
  for (const auto& cell : drawn) EXPECT_TRUE(now.count(cell)) << cell.first << "," << cell.second;
  const int lastRow = std::max_element(now.begin(), now.end(), [](auto& a, auto& b) { return a.second < b.second; })->second;
  EXPECT_TRUE(drawn.count({1, lastRow}));
  EXPECT_FALSE(drawn.count({1, 2}));  // still shown, moved with the window's pixels
  grid->SetLeftCol(12);
  grid->SetTopRow(50);
  drawn.clear();
  RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(drawn, showing());
}

TEST_F(ScrollingGrid, KeysAndTheMouseMoveTheCurrentCellAndTheSelection) {
  auto* grid = Make<TStringGrid>(10, 10, 300, 160);
  grid->SetRowCount(30);
  grid->SetColCount(10);
  std::vector<std::pair<int, int>> asked;
  grid->OnSelectCell = [&asked](TObject*, int col, int row, bool& can) {
    asked.emplace_back(col, row);
    can = col != 4;  // column 4 cannot be entered
  };
  HWND h = grid->Handle();
  struct Step {
    WPARAM key;
    int col, row;
  };
  const Step steps[] = {{VK_DOWN, 1, 2}, {VK_RIGHT, 2, 2}, {VK_RIGHT, 3, 2}, {VK_RIGHT, 3, 2},
                        {VK_END, 9, 2},  {VK_HOME, 1, 2},  {VK_UP, 1, 1},    {VK_UP, 1, 1}, {VK_LEFT, 1, 1}};
  for (const Step& s : steps) {
    SendMessageW(h, WM_KEYDOWN, s.key, 0);
    EXPECT_EQ(grid->Col(), s.col) << "key " << s.key;
    EXPECT_EQ(grid->Row(), s.row) << "key " << s.key;
  }
  EXPECT_EQ(std::count(asked.begin(), asked.end(), std::make_pair(4, 2)), 1);  // asked, refused
  // A page down moves the current row out of view: the grid scrolls to show it.
  SendMessageW(h, WM_KEYDOWN, VK_NEXT, 0);
  SendMessageW(h, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_GT(grid->Row(), grid->TopRow());
  EXPECT_LT(grid->Row(), grid->TopRow() + grid->VisibleRowCount());
  EXPECT_GT(grid->TopRow(), 1);
  grid->SetTopRow(1);
  grid->SetRow(1);
  // A press on a cell makes it current, a drag selects a range.
  const RECT a = grid->CellRect(2, 3), b = grid->CellRect(3, 5);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.left + 5, a.top + 5));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.left + 5, b.top + 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(b.left + 5, b.top + 5));
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 3, 5}));
  EXPECT_TRUE(grid->Focused());
  // A press on a fixed cell changes nothing.
  const RECT f = grid->CellRect(0, 4);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(f.left + 5, f.top + 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(f.left + 5, f.top + 5));
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 3, 5}));
  // With Shift the arrows stretch the selection (real keys: the grid reads the shift state).
  test::Activate(form->Handle());
  grid->SetFocus();
  grid->SetRow(3);
  test::Chord({VK_SHIFT, VK_DOWN});
  test::PumpFor(100);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 2, 4}));
  // Whole rows with goRowSelect.
  grid->SetOptions(grid->Options() | goRowSelect);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 3, 9, 4}));
}

TEST_F(ScrollingGrid, SizesCountsAndCellsKeepWithinTheGrid) {
  auto* grid = Make<TStringGrid>(10, 10, 300, 160);
  EXPECT_EQ(grid->FixedColor(), clBtnFace);
  EXPECT_THROW(grid->SetFixedRows(5), EInvalidGridOperation);
  EXPECT_THROW(grid->SetFixedCols(-1), EInvalidGridOperation);
  EXPECT_THROW(grid->ColWidths(5), EInvalidGridOperation);
  EXPECT_THROW(grid->Cells(0, 5), EInvalidGridOperation);
  EXPECT_THROW(grid->SetRow(0), EInvalidGridOperation);
  EXPECT_THROW(grid->SetCol(5), EInvalidGridOperation);
  grid->SetColWidths(1, 100);
  grid->SetRowHeights(2, 40);
  EXPECT_EQ(grid->CellRect(2, 3).left, 64 + 1 + 100 + 1);
  EXPECT_EQ(grid->CellRect(1, 3).top, 24 + 1 + 24 + 1 + 40 + 1);
  // A new default size is every column's.
  grid->SetDefaultColWidth(30);
  EXPECT_EQ(grid->ColWidths(1), 30);
  // Fewer rows than fixed rows: the fixed rows give way; cells beyond the grid are gone.
  grid->SetCells(3, 3, L"kept?");
  grid->SetCells(1, 1, L"kept");
  grid->SetFixedRows(3);
  grid->SetRowCount(3);
  EXPECT_EQ(grid->FixedRows(), 2);
  grid->SetRowCount(5);
  EXPECT_EQ(grid->Cells(3, 3), L"");
  EXPECT_EQ(grid->Cells(1, 1), L"kept");
  TObject marker;
  grid->SetObjects(2, 2, &marker);
  EXPECT_EQ(grid->Objects(2, 2), &marker);
  EXPECT_EQ(grid->Row(), 2);  // moved below the fixed rows
}

// ----- stored forms -----

class ScrollingStreaming : public ScrollingFixture {};

TEST_F(ScrollingStreaming, TheControlsAreReadFromAStoredFormAndWrittenBack) {
  for (int pass = 0; pass < 2; ++pass) {
    TComponentPtr<TForm> stored(new TForm(nullptr));
    if (pass == 0) {
      ReadComponentText(ReadFormResourceText(L"SCROLLFORM"), *stored);
    } else {
      // What the first form writes reads back the same.
      TComponentPtr<TForm> first(new TForm(nullptr));
      ReadComponentText(ReadFormResourceText(L"SCROLLFORM"), *first);
      ReadComponentText(WriteComponentText(*first), *stored);
    }
    auto* bar = static_cast<TScrollBar*>(stored->FindComponent("Bar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Kind(), sbVertical);
    EXPECT_EQ(bar->Min(), 10);
    EXPECT_EQ(bar->Max(), 200);
    EXPECT_EQ(bar->PageSize(), 20);
    EXPECT_EQ(bar->Position(), 50);
    auto* box = static_cast<TScrollBox*>(stored->FindComponent("Box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->BorderStyle(), bsNone);
    EXPECT_EQ(box->HorzScrollBar().Increment(), 16);
    EXPECT_TRUE(box->VertScrollBar().Tracking());
    auto* notes = static_cast<TMemo*>(stored->FindComponent("Notes"));
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->Lines().ToVector(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(notes->ScrollBars(), ssVertical);
    EXPECT_FALSE(notes->WordWrap());
    EXPECT_TRUE(notes->WantTabs());
    auto* fruits = static_cast<TListBox*>(stored->FindComponent("Fruits"));
    ASSERT_NE(fruits, nullptr);
    EXPECT_EQ(fruits->Items().ToVector(), (std::vector<std::string>{"apple", "pear"}));
    EXPECT_EQ(fruits->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(fruits->ItemHeight(), 22);
    EXPECT_EQ(fruits->ItemIndex(), 1);
    auto* files = static_cast<TListView*>(stored->FindComponent("Files"));
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->ViewStyle(), vsReport);
    EXPECT_TRUE(files->RowSelect());
    ASSERT_EQ(files->Columns().Count(), 2);
    EXPECT_EQ(files->Columns().Items(0)->Caption(), L"Name");
    EXPECT_EQ(files->Columns().Items(0)->Width(), 120);
    EXPECT_EQ(files->Columns().Items(1)->Alignment(), taRightJustify);
    EXPECT_EQ(files->Columns().Items(1)->Width(), 50);
    auto* tree = static_cast<TTreeView*>(stored->FindComponent("Tree"));
    ASSERT_NE(tree, nullptr);
    EXPECT_FALSE(tree->ShowLines());
    EXPECT_TRUE(tree->ShowButtons());
    auto* sheet = static_cast<TStringGrid*>(stored->FindComponent("Sheet"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->ColCount(), 8);
    EXPECT_EQ(sheet->RowCount(), 30);
    EXPECT_EQ(sheet->FixedCols(), 2);
    EXPECT_EQ(sheet->FixedColor(), clRed);
    EXPECT_EQ(sheet->Options(), static_cast<TGridOptions>(goFixedVertLine | goFixedHorzLine | goRowSelect | goThumbTracking));
    EXPECT_EQ(sheet->ColWidths(0), 30);
    EXPECT_EQ(sheet->ColWidths(1), 40);
    auto* name = static_cast<TEdit*>(stored->FindComponent("NameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->ImeMode(), imClose);
    EXPECT_EQ(GetEnumProp(*name, "ImeMode"), "imClose");
    auto* date = static_cast<TMaskEdit*>(stored->FindComponent("DateEdit"));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->EditMask(), L"00/00/0000;1;_");
    EXPECT_EQ(date->GetText(), L"__/__/____");
    // Shown, the controls' windows say the same.
    stored->Show();
    Pump();
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 50);
    EXPECT_NE(GetWindowLongW(bar->Handle(), GWL_STYLE) & SBS_VERT, 0);
    EXPECT_EQ(SendMessageW(fruits->Handle(), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(fruits->Handle(), LB_GETITEMHEIGHT, 0, 0), 22);
    EXPECT_EQ(SendMessageW(files->Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 120);
    EXPECT_EQ(WindowText(notes->Handle()), L"first\r\nsecond");
    EXPECT_NE(GetWindowLongW(notes->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  }
}

TEST_F(ScrollingStreaming, DefaultsAreNotWrittenAndEveryClassIsKnownByName) {
  for (const char* name : {"TScrollBar", "TScrollBox", "TMemo", "TMaskEdit", "TListBox", "TListView", "TTreeView", "TDrawGrid", "TStringGrid"}) {
    const TClassInfo* cls = FindClass(name);
    ASSERT_NE(cls, nullptr) << name;
    EXPECT_TRUE(cls->CanCreate()) << name;
  }
  EXPECT_TRUE(FindClass("TStringGrid")->InheritsFrom("TCustomGrid"));
  EXPECT_TRUE(FindClass("TListBox")->InheritsFrom("TCustomListControl"));
  EXPECT_TRUE(FindClass("TMemo")->InheritsFrom("TCustomEdit"));
  EXPECT_TRUE(FindClass("TMaskEdit")->InheritsFrom("TCustomMaskEdit"));
  EXPECT_TRUE(FindClass("TListView")->InheritsFrom("TCustomListView"));
  EXPECT_TRUE(FindClass("TTreeView")->InheritsFrom("TCustomTreeView"));
  auto* grid = Make<TStringGrid>(0, 0, 100, 100);
  grid->SetName("Grid1");
  auto* edit = Make<TEdit>(0, 120, 100, 21);
  edit->SetName("Edit1");
  const std::string text = WriteComponentText(*form);
  EXPECT_EQ(text.find("FixedColor"), std::string::npos);
  EXPECT_EQ(text.find("ColWidths"), std::string::npos);
  EXPECT_EQ(text.find("ImeMode"), std::string::npos);
  grid->SetColWidths(2, 99);
  EXPECT_NE(WriteComponentText(*form).find("ColWidths = '64 64 99 64 64'"), std::string::npos);
}

}  // namespace
}  // namespace vex::host
