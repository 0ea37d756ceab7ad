// The framework's range and drop-down controls with real windows, real keys and real clicks:
// track bars, progress bars, up-down buttons, combo boxes, extended combo boxes and date-time
// pickers, and a stored form that carries each of them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/application.h"
#include "host/bitmap.h"
#include "host/combo_box.h"
#include "host/combo_box_ex.h"
#include "host/date_time_picker.h"
#include "host/edit.h"
#include "host/form.h"
#include "host/form_stream.h"
#include "host/image_list.h"
#include "host/progress_bar.h"
#include "host/scroll_bar.h"
#include "host/track_bar.h"
#include "host/up_down.h"
#include "input_support.h"

namespace vex::host {
namespace {

using test::Chord;
using test::ClickScreen;
using test::PumpFor;

void Pump() {
  for (int i = 0; i < 3; ++i) {
    Application().ProcessMessages();
    Sleep(5);
  }
}

std::wstring WindowText(HWND wnd) {
  std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(wnd)) + 1, L'\0');
  s.resize(static_cast<std::size_t>(GetWindowTextW(wnd, s.data(), static_cast<int>(s.size()))));
  return s;
}

// A shown, active form to put controls on; exceptions that reach a window procedure fail the test.
class RangeComboFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    form.reset(new TForm(nullptr));
    form->SetName("Form1");
    form->SetBounds(40, 40, 520, 400);
    form->Show();
    test::Activate(form->Handle());
  }
  void TearDown() override {
    // No list or calendar stays open for the next test.
    ReleaseCapture();
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
  // Focuses a control and sends a key chord, then lets the messages run.
  void Keys(TWinControl* c, std::initializer_list<WORD> keys) {
    if (c && GetFocus() != c->Handle() && !IsChild(c->Handle(), GetFocus())) c->SetFocus();
    Chord(keys);
    PumpFor(60);
  }
  TComponentPtr<TForm> form;
  std::vector<std::string> errors;
};

// ----- track bars -----

class RangeTrackBar : public RangeComboFixture {};

TEST_F(RangeTrackBar, KeysAndClicksMoveThePositionAndEachMoveRunsOnChangeOnce) {
  auto* bar = Make<TTrackBar>(10, 10, 300, 45);
  bar->SetRange(0, 20);
  bar->SetPageSize(5);
  bar->SetLineSize(2);
  bar->SetPosition(10);
  int changes = 0;
  bar->OnChange.handler = [&changes](TObject*) { ++changes; };
  struct Step {
    std::initializer_list<WORD> keys;
    int expected;
  };
  const Step steps[] = {
      {{VK_RIGHT}, 12}, {{VK_LEFT}, 10}, {{VK_DOWN}, 12}, {{VK_UP}, 10}, {{VK_NEXT}, 15},
      {{VK_PRIOR}, 10}, {{VK_END}, 20},  {{VK_RIGHT}, 20}, {{VK_HOME}, 0},
  };
  int expectedChanges = 0;
  int last = 10;
  for (const Step& s : steps) {
    Keys(bar, s.keys);
    if (s.expected != last) ++expectedChanges;
    last = s.expected;
    EXPECT_EQ(bar->Position(), s.expected) << "key " << *s.keys.begin();
    EXPECT_EQ(SendMessageW(bar->Handle(), TBM_GETPOS, 0, 0), s.expected);
    EXPECT_EQ(changes, expectedChanges) << "key " << *s.keys.begin();
  }
  // A click on the channel right of the thumb moves a page towards it.
  RECT channel{}, thumb{};
  SendMessageW(bar->Handle(), TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  SendMessageW(bar->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  POINT p{channel.right - 6, (thumb.top + thumb.bottom) / 2};
  ClientToScreen(bar->Handle(), &p);
  ClickScreen(p);
  PumpFor(100);
  EXPECT_EQ(bar->Position(), 5);
  EXPECT_EQ(changes, expectedChanges + 1);
  // Set from code: the window and OnChange follow; values outside the range are kept in it.
  bar->SetPosition(99);
  EXPECT_EQ(bar->Position(), 20);
  EXPECT_EQ(SendMessageW(bar->Handle(), TBM_GETPOS, 0, 0), 20);
  EXPECT_EQ(changes, expectedChanges + 2);
  EXPECT_THROW(bar->SetRange(5, 4), EInvalidOperation);
}

TEST_F(RangeTrackBar, TheWindowTakesEverySettingAndANewWindowKeepsThem) {
  auto* bar = Make<TTrackBar>(10, 10, 200, 45);
  bar->SetRange(-10, 50);
  bar->SetPosition(17);
  bar->SetSelStart(5);
  bar->SetSelEnd(30);
  bar->SetPageSize(7);
  bar->SetLineSize(3);
  bar->SetFrequency(10);
  const auto check = [&](const char* when) {
    HWND h = bar->Handle();
    EXPECT_EQ(SendMessageW(h, TBM_GETRANGEMIN, 0, 0), -10) << when;
    EXPECT_EQ(SendMessageW(h, TBM_GETRANGEMAX, 0, 0), 50) << when;
    EXPECT_EQ(SendMessageW(h, TBM_GETPOS, 0, 0), 17) << when;
    EXPECT_EQ(SendMessageW(h, TBM_GETSELSTART, 0, 0), 5) << when;
    EXPECT_EQ(SendMessageW(h, TBM_GETSELEND, 0, 0), 30) << when;
    EXPECT_EQ(SendMessageW(h, TBM_GETPAGESIZE, 0, 0), 7) << when;
    EXPECT_EQ(SendMessageW(h, TBM_GETLINESIZE, 0, 0), 3) << when;
    // Automatic ticks every 10 from -10 to 50: the five inner ones plus both ends.
    EXPECT_EQ(SendMessageW(h, TBM_GETNUMTICS, 0, 0), 7) << when;
  };
  check("first window");
  struct Change {
    std::function<void()> apply;
    DWORD styleSet, styleClear;
  };
  const Change changes[] = {
      {[&] { bar->SetTickMarks(tmBoth); }, TBS_BOTH, 0},
      {[&] { bar->SetTickMarks(tmTopLeft); }, TBS_TOP, TBS_BOTH},
      {[&] { bar->SetOrientation(trVertical); }, TBS_VERT, 0},
  };
  for (const Change& c : changes) {
    HWND old = bar->Handle();
    c.apply();
    Pump();
    EXPECT_NE(bar->Handle(), old);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(bar->Handle(), GWL_STYLE));
    EXPECT_EQ(style & c.styleSet, c.styleSet);
    EXPECT_EQ(style & c.styleClear, 0u);
    check("new window");
  }
  // Turned upright, the control's width and height changed places.
  EXPECT_EQ(bar->Width(), 45);
  EXPECT_EQ(bar->Height(), 200);
  bar->SetTickStyle(tsNone);
  EXPECT_NE(GetWindowLongW(bar->Handle(), GWL_STYLE) & TBS_NOTICKS, 0);
  // The properties the skin reads by name.
  EXPECT_EQ(GetEnumProp(*bar, "Orientation"), "trVertical");
  EXPECT_EQ(GetOrdProp(*bar, "Orientation"), 1);
  EXPECT_EQ(GetOrdProp(*bar, "TickMarks"), 1);
  EXPECT_EQ(GetOrdProp(*bar, "TickStyle"), 0);
  EXPECT_EQ(GetOrdProp(*bar, "SelStart"), 5);
  EXPECT_EQ(GetOrdProp(*bar, "SelEnd"), 30);
  EXPECT_EQ(GetOrdProp(*bar, "Max"), 50);
}

// ----- progress bars -----

class RangeProgressBar : public RangeComboFixture {};

TEST_F(RangeProgressBar, StepItWrapsPastMaxAndStepByStopsAtTheEnds) {
  struct Case {
    int min, max, position, step;
    int afterStepIt;
  };
  const Case cases[] = {
      {0, 100, 0, 10, 10}, {0, 100, 95, 10, 5}, {0, 100, 100, 10, 10}, {10, 20, 18, 5, 13},
      {0, 100, 50, -20, 30}, {0, 100, 10, -20, 90}, {-50, 50, 45, 5, 50},
  };
  for (const Case& c : cases) {
    auto* bar = Make<TProgressBar>(10, 10, 200, 16);
    bar->SetRange(c.min, c.max);
    bar->SetStep(c.step);
    bar->SetPosition(c.position);
    bar->StepIt();
    EXPECT_EQ(bar->Position(), c.afterStepIt) << c.min << ".." << c.max << " at " << c.position << " step " << c.step;
    EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0), c.afterStepIt);
    PBRANGE range{};
    SendMessageW(bar->Handle(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, c.min);
    EXPECT_EQ(range.iHigh, c.max);
    TComponent::Free(bar);
  }
  auto* bar = Make<TProgressBar>(10, 10, 200, 16);
  bar->SetPosition(90);
  bar->StepBy(25);
  EXPECT_EQ(bar->Position(), 100);
  bar->StepBy(-130);
  EXPECT_EQ(bar->Position(), 0);
  bar->SetPosition(250);
  EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0), 100);
  EXPECT_THROW(bar->SetMax(-1), EInvalidOperation);
}

TEST_F(RangeProgressBar, OrientationAndSmoothMakeANewWindowThatKeepsTheValues) {
  auto* bar = Make<TProgressBar>(10, 10, 200, 16);
  bar->SetRange(20, 80);
  bar->SetPosition(35);
  bar->SetStep(7);
  bar->SetOrientation(pbVertical);
  bar->SetSmooth(true);
  HWND h = bar->Handle();
  EXPECT_NE(GetWindowLongW(h, GWL_STYLE) & PBS_VERTICAL, 0);
  EXPECT_NE(GetWindowLongW(h, GWL_STYLE) & PBS_SMOOTH, 0);
  EXPECT_EQ(bar->Width(), 16);
  EXPECT_EQ(bar->Height(), 200);
  EXPECT_EQ(SendMessageW(h, PBM_GETPOS, 0, 0), 35);
  EXPECT_EQ(SendMessageW(h, PBM_GETRANGE, TRUE, 0), 20);
  EXPECT_EQ(SendMessageW(h, PBM_GETRANGE, FALSE, 0), 80);
  bar->StepIt();
  EXPECT_EQ(SendMessageW(h, PBM_GETPOS, 0, 0), 42);
  EXPECT_EQ(GetOrdProp(*bar, "Orientation"), 1);
}

// ----- up-down buttons -----

class RangeUpDown : public RangeComboFixture {};

TEST_F(RangeUpDown, TheArrowsSitBesideTheAssociateAndStepItsTextWrappingAtTheEnds) {
  auto* edit = Make<TEdit>(20, 20, 100, 23);
  auto* ud = Make<TUpDown>(300, 300, 17, 23);
  ud->SetRange(0, 3);
  ud->SetPosition(2);
  ud->SetWrap(true);
  ud->SetAssociate(edit);
  Pump();
  // Beside the edit, which gave up the arrows' width.
  EXPECT_EQ(ud->Left(), edit->Left() + edit->Width());
  EXPECT_EQ(ud->Top(), edit->Top());
  EXPECT_EQ(edit->Width() + ud->Width(), 100);
  EXPECT_EQ(edit->GetText(), L"2");
  std::vector<TUDBtnType> clicks;
  ud->OnClickButton = [&clicks](TObject*, TUDBtnType b) { clicks.push_back(b); };
  RECT r;
  GetWindowRect(ud->Handle(), &r);
  const POINT up{(r.left + r.right) / 2, r.top + 4}, down{(r.left + r.right) / 2, r.bottom - 4};
  struct Step {
    POINT at;
    int expected;
    TUDBtnType button;
  };
  // Up from 2 to 3, then past Max to Min, then down past Min to Max.
  const Step steps[] = {{up, 3, btNext}, {up, 0, btNext}, {down, 3, btPrev}, {down, 2, btPrev}};
  for (const Step& s : steps) {
    ClickScreen(s.at);
    PumpFor(80);
    EXPECT_EQ(ud->Position(), s.expected);
    EXPECT_EQ(edit->GetText(), std::to_wstring(s.expected));
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.back(), s.button);
  }
  EXPECT_EQ(clicks.size(), 4u);
  // The arrow keys in the edit step too; typing a number is the position.
  Keys(edit, {VK_UP});
  EXPECT_EQ(edit->GetText(), L"3");
  EXPECT_EQ(ud->Position(), 3);
  edit->SetText(L"1");
  EXPECT_EQ(ud->Position(), 1);
  // A change an OnChanging handler refuses does not happen.
  ud->OnChanging = [](TObject*, int next, bool& allow) { allow = next != 2; };
  ClickScreen(up);
  PumpFor(80);
  EXPECT_EQ(ud->Position(), 1);
  EXPECT_EQ(edit->GetText(), L"1");
}

TEST_F(RangeUpDown, ANewWindowKeepsThePositionAndTheAssociatesWidth) {
  auto* edit = Make<TEdit>(20, 20, 120, 23);
  auto* ud = Make<TUpDown>(0, 0, 17, 23);
  ud->SetRange(0, 5000);
  ud->SetAssociate(edit);
  ud->SetPosition(1234);
  Pump();
  const int editWidth = edit->Width();
  EXPECT_EQ(editWidth, 120 - ud->Width());
  // With separators the text is not the bare digits; without, it is.
  EXPECT_NE(edit->GetText(), L"1234");
  ud->SetThousands(false);
  Pump();
  EXPECT_EQ(edit->GetText(), L"1234");
  EXPECT_EQ(ud->Position(), 1234);
  EXPECT_EQ(edit->Width(), editWidth);
  EXPECT_EQ(ud->Left(), edit->Left() + edit->Width());
  ud->SetAlignButton(udLeft);
  Pump();
  EXPECT_EQ(edit->Width(), editWidth);
  EXPECT_EQ(ud->Left() + ud->Width(), edit->Left());
  EXPECT_EQ(ud->Position(), 1234);
  // Letting go of the associate gives its width back; freeing it leaves the arrows alone.
  ud->SetAssociate(nullptr);
  EXPECT_EQ(edit->Width(), 120);
  ud->SetAssociate(edit);
  TComponent::Free(edit);
  EXPECT_EQ(ud->Associate(), nullptr);
  EXPECT_EQ(SendMessageW(ud->Handle(), UDM_GETBUDDY, 0, 0), 0);
}

// ----- combo boxes -----

class RangeComboBox : public RangeComboFixture {};

TEST_F(RangeComboBox, ItemsAreTheWindowsBothWaysAndSurviveEveryNewWindow) {
  auto* combo = Make<TComboBox>(10, 10, 160, 21);
  // Before there is a window.
  combo->Items().SetItems({"alpha", "beta", "gamma"});
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->GetText(), L"beta");
  HWND h = combo->Handle();
  EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(h, CB_GETCURSEL, 0, 0), 1);
  // The window's own changes are the items'.
  SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"delta"));
  EXPECT_EQ(combo->Items().ToVector(), (std::vector<std::string>{"alpha", "beta", "gamma", "delta"}));
  combo->Items().Delete(0);
  EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->ItemIndex(), 0);  // beta moved up
  combo->Items().Put(0, "BETA");
  EXPECT_EQ(combo->ItemIndex(), 0);
  // Every style makes a new window with the items, the current item and (edit styles) the text.
  combo->SetText(L"typed");
  const TComboBoxStyle styles[] = {csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable, csDropDown};
  for (TComboBoxStyle s : styles) {
    const bool edit = combo->Style() == csDropDown || combo->Style() == csSimple;
    const int index = combo->ItemIndex();
    HWND old = combo->Handle();
    combo->SetStyle(s);
    HWND now = combo->Handle();
    EXPECT_NE(now, old) << s;
    EXPECT_EQ(combo->Items().ToVector(), (std::vector<std::string>{"BETA", "gamma", "delta"})) << s;
    EXPECT_EQ(SendMessageW(now, CB_GETCOUNT, 0, 0), 3) << s;
    EXPECT_EQ(combo->ItemIndex(), index) << s;
    if (edit && (s == csDropDown || s == csSimple)) {
      EXPECT_EQ(combo->GetText(), L"typed") << s;
    }
    if (s == csDropDownList) {
      // A selection field's text is an item's: setting a text selects that item.
      combo->SetText(L"Gamma");
      EXPECT_EQ(combo->ItemIndex(), 1);
      EXPECT_EQ(combo->GetText(), L"gamma");
      combo->SetText(L"nothing like it");
      EXPECT_EQ(combo->ItemIndex(), -1);
      combo->SetItemIndex(2);
    }
  }
  EXPECT_EQ(combo->ItemIndex(), 2);
  // Sorted: a new window with the items in order.
  combo->SetSorted(true);
  EXPECT_NE(GetWindowLongW(combo->Handle(), GWL_STYLE) & CBS_SORT, 0);
  EXPECT_EQ(combo->Items().ToVector(), (std::vector<std::string>{"BETA", "delta", "gamma"}));
  EXPECT_EQ(combo->Items().Add("aa"), 0);
  EXPECT_THROW(combo->Items().Insert(0, "zz"), std::logic_error);
  // Destroyed with its parent's window, it has everything again in the next.
  const int index = combo->ItemIndex();
  form->RecreateWnd();
  Pump();
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(combo->ItemIndex(), index);
}

TEST_F(RangeComboBox, DroppedDownOpensAndClosesTheListAndEachEventRunsOnce) {
  for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
    auto* combo = Make<TComboBox>(10, 10, 160, 21);
    combo->SetStyle(style);
    combo->Items().SetItems({"one", "two", "three"});
    combo->SetItemIndex(0);
    int drops = 0, closes = 0, selects = 0, changes = 0;
    combo->OnDropDown.handler = [&drops](TObject*) { ++drops; };
    combo->OnCloseUp.handler = [&closes](TObject*) { ++closes; };
    combo->OnSelect.handler = [&selects](TObject*) { ++selects; };
    combo->OnChange.handler = [&changes](TObject*) { ++changes; };
    Pump();
    combo->SetDroppedDown(true);
    Pump();
    EXPECT_TRUE(combo->DroppedDown()) << style;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
    EXPECT_TRUE(IsWindowVisible(info.hwndList)) << style;
    EXPECT_EQ(drops, 1);
    combo->SetDroppedDown(true);  // already open: nothing happens
    EXPECT_EQ(drops, 1);
    combo->SetDroppedDown(false);
    Pump();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(info.hwndList));
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(selects, 0);
    EXPECT_EQ(changes, 0);
    // The keyboard: Alt+Down and F4 open the list, Down moves in it, Enter picks the item.
    struct Step {
      std::initializer_list<WORD> keys;
      bool dropped;
      int index;
    };
    const Step steps[] = {
        {{VK_MENU, VK_DOWN}, true, 0}, {{VK_DOWN}, true, 1}, {{VK_RETURN}, false, 1},
        {{VK_F4}, true, 1},            {{VK_DOWN}, true, 2}, {{VK_F4}, false, 2},
    };
    for (const Step& s : steps) {
      Keys(combo, s.keys);
      EXPECT_EQ(combo->DroppedDown(), s.dropped) << style << " key " << *s.keys.begin();
      EXPECT_EQ(combo->ItemIndex(), s.index) << style << " key " << *s.keys.begin();
    }
    EXPECT_EQ(drops, 3);
    EXPECT_EQ(closes, 3);
    // Each item picked once: one selection and one change each.
    EXPECT_EQ(selects, 2) << style;
    EXPECT_EQ(changes, 2) << style;
    EXPECT_EQ(combo->GetText(), L"three");
    // An arrow key on the closed list picks the item beside the current one at once.
    Keys(combo, {VK_UP});
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(selects, 3);
    EXPECT_EQ(combo->GetText(), L"two");
    TComponent::Free(combo);
  }
}

TEST_F(RangeComboBox, TypingChangesTheTextAndTabLeavesTheEditFieldForTheNextControl) {
  auto* before = Make<TEdit>(10, 10, 100, 21);
  auto* combo = Make<TComboBox>(10, 40, 160, 21);
  auto* after = Make<TEdit>(10, 70, 100, 21);
  int changes = 0;
  combo->OnChange.handler = [&changes](TObject*) { ++changes; };
  before->SetFocus();
  Keys(nullptr, {VK_TAB});
  // The focus is in the combo box's own edit field.
  EXPECT_TRUE(IsChild(combo->Handle(), GetFocus()));
  Keys(nullptr, {'A'});
  Keys(nullptr, {'B'});
  EXPECT_EQ(combo->GetText(), L"ab");
  EXPECT_EQ(changes, 2);
  combo->SetText(L"set from code");
  EXPECT_EQ(changes, 2);
  Keys(nullptr, {VK_TAB});
  EXPECT_EQ(GetFocus(), after->Handle());
  Keys(nullptr, {VK_SHIFT, VK_TAB});
  EXPECT_TRUE(IsChild(combo->Handle(), GetFocus()));
  Keys(nullptr, {VK_SHIFT, VK_TAB});
  EXPECT_EQ(GetFocus(), before->Handle());
}

TEST_F(RangeComboBox, OwnerDrawnItemsAreMeasuredAndDrawnByTheApplication) {
  auto* fixed = Make<TComboBox>(10, 10, 160, 21);
  fixed->SetStyle(csOwnerDrawFixed);
  fixed->SetItemHeight(22);
  fixed->Items().SetItems({"red", "green"});
  fixed->SetItemIndex(1);
  std::vector<int> drawn;
  fixed->OnDrawItem = [&drawn](TWinControl*, int index, TCanvas& canvas, const RECT& r, TOwnerDrawState) {
    drawn.push_back(index);
    canvas.Brush.color = clLime;
    canvas.FillRect(r);
  };
  fixed->Repaint();
  Pump();
  EXPECT_EQ(SendMessageW(fixed->Handle(), CB_GETITEMHEIGHT, 0, 0), 22);
  // The selection field is as high as the items at least (the control may add its padding).
  EXPECT_GE(SendMessageW(fixed->Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 22);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), 1);  // the selection field shows the current item
  // What the handler drew is on screen, in the selection field.
  COMBOBOXINFO info{};
    info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(fixed->Handle(), &info));
  HDC dc = GetDC(fixed->Handle());
  EXPECT_EQ(GetPixel(dc, (info.rcItem.left + info.rcItem.right) / 2, (info.rcItem.top + info.rcItem.bottom) / 2), RGB(0, 255, 0));
  ReleaseDC(fixed->Handle(), dc);

  auto* variable = Make<TComboBox>(10, 60, 160, 21);
  variable->SetStyle(csOwnerDrawVariable);
  variable->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 14 + index * 6; };
  variable->Items().SetItems({"a", "b", "c"});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SendMessageW(variable->Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(i), 0), 14 + i * 6) << i;
}

// ----- extended combo boxes -----

class RangeComboBoxEx : public RangeComboFixture {};

TEST_F(RangeComboBoxEx, ItemsCarryTheirImagesIntoTheControlAndANewWindow) {
  auto* images = new TImageList(form.get());
  for (TColor c : {clRed, clBlue}) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas().Brush.color = c;
    b.Canvas().FillRect(RECT{0, 0, 16, 16});
    images->AddMasked(b, clNoColor);
  }
  auto* combo = Make<TComboBoxEx>(10, 10, 180, 24);
  combo->SetStyleEx(csExDropDownList);
  combo->SetImages(images);
  combo->ItemsEx().AddItem(L"red one", 0);
  combo->ItemsEx().AddItem(L"blue one", 1);
  combo->Items().Add("plain");
  combo->SetItemIndex(1);
  int selects = 0, changes = 0;
  combo->OnSelect.handler = [&selects](TObject*) { ++selects; };
  combo->OnChange.handler = [&changes](TObject*) { ++changes; };
  const auto check = [&](const char* when) {
    HWND h = combo->Handle();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(h, CBEM_GETIMAGELIST, 0, 0)), images->Handle()) << when;
    ASSERT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 3) << when;
    const struct {
      const wchar_t* caption;
      int image;
    } expected[] = {{L"red one", 0}, {L"blue one", 1}, {L"plain", -1}};
    for (int i = 0; i < 3; ++i) {
      wchar_t text[64] = {};
      COMBOBOXEXITEMW it{};
      it.mask = CBEIF_TEXT | CBEIF_IMAGE;
      it.iItem = i;
      it.pszText = text;
      it.cchTextMax = 64;
      ASSERT_TRUE(SendMessageW(h, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) << when;
      EXPECT_EQ(std::wstring(text), expected[i].caption) << when;
      EXPECT_EQ(it.iImage, expected[i].image) << when;
    }
    EXPECT_EQ(combo->ItemIndex(), 1) << when;
    EXPECT_EQ(combo->GetText(), L"blue one") << when;
    // The selection field shows the blue image.
    combo->Repaint();
    Pump();
    HWND inner = combo->ComboHandle();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(inner, &info));
    HDC dc = GetDC(inner);
    int blue = 0, red = 0;
    for (int x = info.rcItem.left; x < info.rcItem.left + 30; ++x) {
      const COLORREF px = GetPixel(dc, x, (info.rcItem.top + info.rcItem.bottom) / 2);
      blue += px == RGB(0, 0, 255);
      red += px == RGB(255, 0, 0);
    }
    ReleaseDC(inner, dc);
    EXPECT_GE(blue, 8) << when;
    EXPECT_EQ(red, 0) << when;
  };
  check("first window");
  combo->SetStyleEx(csExDropDown);
  combo->SetStyleEx(csExDropDownList);
  check("new window");
  // An item changed in place is the control's at once.
  combo->ItemsEx().Item(2)->SetImageIndex(0);
  COMBOBOXEXITEMW it{};
  it.mask = CBEIF_IMAGE;
  it.iItem = 2;
  SendMessageW(combo->Handle(), CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_EQ(it.iImage, 0);
  // Picked with the keyboard: OnSelect and OnChange once.
  Keys(combo, {VK_DOWN});
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->GetText(), L"plain");
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(changes, 1);
  // The image list let go when freed.
  TComponent::Free(images);
  EXPECT_EQ(combo->Images(), nullptr);
  EXPECT_EQ(SendMessageW(combo->Handle(), CBEM_GETIMAGELIST, 0, 0), 0);
}

// ----- date-time pickers -----

TEST(DateTimeValues, DatesAndTimesEncodeAsDayCountsAndBack) {
  struct Case {
    int y, m, d;
    double days;
  };
  const Case cases[] = {{1899, 12, 30, 0}, {1899, 12, 29, -1}, {1900, 1, 1, 2}, {2000, 1, 1, 36526},
                        {2000, 2, 29, 36585}, {2024, 3, 1, 45352}, {1601, 1, 1, -109205}, {9999, 12, 31, 2958465}};
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
    int y, m, d;
    DecodeDate(c.days + 0.75, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
  }
  EXPECT_THROW(EncodeDate(2001, 2, 29), std::out_of_range);
  EXPECT_THROW(EncodeDate(2000, 13, 1), std::out_of_range);
  EXPECT_EQ(EncodeTime(12, 0, 0), 0.5);
  int h, mi, s, ms;
  DecodeTime(EncodeTime(23, 59, 59, 999), h, mi, s, ms);
  EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 235959999);
  // The day is rounded down, the time of day is what is left.
  DecodeDate(-0.25, h, mi, s);
  EXPECT_EQ(s, 29);
  DecodeTime(-0.25, h, mi, s, ms);
  EXPECT_EQ(h, 18);
  const SYSTEMTIME st = DateTimeToSystemTime(EncodeDate(2024, 5, 17) + EncodeTime(13, 45, 30));
  EXPECT_EQ(st.wDayOfWeek, 5);  // a Friday
  EXPECT_EQ(st.wHour, 13);
  EXPECT_EQ(SystemTimeToDateTime(st), EncodeDate(2024, 5, 17) + EncodeTime(13, 45, 30));
  EXPECT_EQ(DateToIso(EncodeDate(987, 6, 5)), L"0987-06-05");
  EXPECT_EQ(IsoToTime(L"07:08:09"), EncodeTime(7, 8, 9));
  EXPECT_THROW(IsoToDate(L"2024-02-30"), std::invalid_argument);
  EXPECT_THROW(IsoToDate(L"yesterday"), std::invalid_argument);
}

class RangeDateTimePicker : public RangeComboFixture {};

TEST_F(RangeDateTimePicker, TheValueRoundTripsThroughTheWindowAndEveryNewWindow) {
  auto* picker = Make<TDateTimePicker>(10, 10, 200, 24);
  const TDateTime date = EncodeDate(2024, 2, 29), time = EncodeTime(21, 15, 42);
  picker->SetDate(date);
  picker->SetTime(time);
  EXPECT_EQ(picker->DateTime(), date + time);
  int changes = 0;
  picker->OnChange.handler = [&changes](TObject*) { ++changes; };
  const auto check = [&](const char* when) {
    SYSTEMTIME st{};
    ASSERT_EQ(SendMessageW(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID) << when;
    EXPECT_EQ(st.wYear, 2024) << when;
    EXPECT_EQ(st.wMonth, 2) << when;
    EXPECT_EQ(st.wDay, 29) << when;
    EXPECT_EQ(st.wHour, 21) << when;
    EXPECT_EQ(st.wMinute, 15) << when;
    EXPECT_EQ(picker->Date(), date) << when;
    EXPECT_EQ(picker->Time(), time) << when;
  };
  check("first window");
  struct Change {
    std::function<void()> apply;
    DWORD styleSet, styleClear;
  };
  const Change changes_[] = {
      {[&] { picker->SetDateMode(dmUpDown); }, DTS_UPDOWN, 0},
      {[&] { picker->SetKind(dtkTime); }, DTS_TIMEFORMAT, 0},
      {[&] { picker->SetKind(dtkDate); }, DTS_UPDOWN, DTS_TIMEFORMAT & ~DTS_UPDOWN},
      {[&] { picker->SetDateMode(dmComboBox); }, 0, DTS_UPDOWN},
      {[&] { picker->SetDateFormat(dfLong); }, DTS_LONGDATEFORMAT, 0},
  };
  for (const Change& c : changes_) {
    HWND old = picker->Handle();
    c.apply();
    EXPECT_NE(picker->Handle(), old);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(picker->Handle(), GWL_STYLE));
    EXPECT_EQ(style & c.styleSet, c.styleSet);
    EXPECT_EQ(style & c.styleClear, 0u);
    check("new window");
  }
  // A time picker has the platform's up-down child; a calendar picker has none.
  EXPECT_EQ(FindWindowExW(picker->Handle(), nullptr, UPDOWN_CLASSW, nullptr), nullptr);
  picker->SetKind(dtkTime);
  EXPECT_NE(FindWindowExW(picker->Handle(), nullptr, UPDOWN_CLASSW, nullptr), nullptr);
  // Changes from code are no user's changes.
  EXPECT_EQ(changes, 0);
  // The check box: unchecked there is no value, checked again the old one is back.
  picker->SetShowCheckbox(true);
  EXPECT_TRUE(picker->Checked());
  picker->SetChecked(false);
  SYSTEMTIME none{};
  EXPECT_EQ(SendMessageW(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&none)), GDT_NONE);
  EXPECT_FALSE(picker->Checked());
  picker->SetChecked(true);
  check("checked again");
  EXPECT_EQ(GetOrdProp(*picker, "Kind"), dtkTime);
  EXPECT_EQ(GetOrdProp(*picker, "DateMode"), dmComboBox);
}

TEST_F(RangeDateTimePicker, KeysChangeTheValueAndOpenTheCalendarWithEventsOnce) {
  auto* picker = Make<TDateTimePicker>(10, 10, 200, 24);
  picker->SetDateTime(EncodeDate(2023, 6, 15) + EncodeTime(8, 0, 0));
  int changes = 0, drops = 0, closes = 0;
  picker->OnChange.handler = [&changes](TObject*) { ++changes; };
  picker->OnDropDown.handler = [&drops](TObject*) { ++drops; };
  picker->OnCloseUp.handler = [&closes](TObject*) { ++closes; };
  // Up steps the field with the caret (whichever it is) by one: one day, month or year more.
  Keys(picker, {VK_RIGHT});
  Keys(picker, {VK_UP});
  EXPECT_EQ(changes, 1);
  const TDateTime after = picker->Date();
  const TDateTime candidates[] = {EncodeDate(2023, 6, 16), EncodeDate(2023, 7, 15), EncodeDate(2024, 6, 15)};
  EXPECT_TRUE(after == candidates[0] || after == candidates[1] || after == candidates[2]) << DateToIso(after);
  SYSTEMTIME st{};
  SendMessageW(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(SystemTimeToDateTime(st), picker->DateTime());
  Keys(picker, {VK_DOWN});
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(picker->Date(), EncodeDate(2023, 6, 15));
  // Alt+Down and F4 open the calendar, each once; closed from code, each close is told once.
  struct Step {
    std::function<void()> act;
    bool dropped;
    int drops, closes;
  };
  const Step steps[] = {
      {[&] { Keys(picker, {VK_MENU, VK_DOWN}); }, true, 1, 0},
      {[&] { picker->SetDroppedDown(false); }, false, 1, 1},
      {[&] { Keys(picker, {VK_F4}); }, true, 2, 1},
      {[&] { Keys(nullptr, {VK_F4}); }, true, 2, 1},  // open: F4 in the calendar opens nothing more
      {[&] { picker->SetDroppedDown(false); }, false, 2, 2},
      {[&] { picker->SetDroppedDown(true); }, true, 3, 2},
      {[&] { picker->SetDroppedDown(false); }, false, 3, 3},
  };
  for (const Step& s : steps) {
    s.act();
    Pump();
    EXPECT_EQ(picker->DroppedDown(), s.dropped) << &s - steps;
    EXPECT_EQ(drops, s.drops) << &s - steps;
    EXPECT_EQ(closes, s.closes) << &s - steps;
  }
  EXPECT_EQ(picker->Date(), EncodeDate(2023, 6, 15));
}

// ----- stored forms -----

class RangeStreaming : public RangeComboFixture {};

constexpr char kStoredForm[] =
    "object RangeForm: TForm\r\n"
    "  Caption = 'Ranges'\r\n"
    "  object Volume: TTrackBar\r\n"
    "    Left = 8\r\n"
    "    Top = 8\r\n"
    "    Width = 45\r\n"
    "    Height = 150\r\n"
    "    Orientation = trVertical\r\n"
    "    Max = 40\r\n"
    "    Min = 10\r\n"
    "    Position = 25\r\n"
    "    Frequency = 5\r\n"
    "    SelStart = 12\r\n"
    "    SelEnd = 30\r\n"
    "    TickMarks = tmBoth\r\n"
    "  end\r\n"
    "  object Progress: TProgressBar\r\n"
    "    Left = 60\r\n"
    "    Top = 8\r\n"
    "    Position = 60\r\n"
    "    Step = 5\r\n"
    "    Smooth = True\r\n"
    "  end\r\n"
    "  object Count: TEdit\r\n"
    "    Left = 60\r\n"
    "    Top = 40\r\n"
    "    Width = 80\r\n"
    "  end\r\n"
    "  object CountArrows: TUpDown\r\n"
    "    Left = 200\r\n"
    "    Top = 40\r\n"
    "    Associate = Count\r\n"
    "    Max = 9\r\n"
    "    Position = 7\r\n"
    "    Wrap = True\r\n"
    "  end\r\n"
    "  object Fruit: TComboBox\r\n"
    "    Left = 60\r\n"
    "    Top = 80\r\n"
    "    Style = csDropDownList\r\n"
    "    DropDownCount = 4\r\n"
    "    Items = (\r\n"
    "      'apple'\r\n"
    "      'pear'\r\n"
    "      'plum')\r\n"
    "    ItemIndex = 2\r\n"
    "  end\r\n"
    "  object Icons: TImageList\r\n"
    "  end\r\n"
    "  object Places: TComboBoxEx\r\n"
    "    Left = 60\r\n"
    "    Top = 110\r\n"
    "    Style = csExDropDownList\r\n"
    "    Images = Icons\r\n"
    "    ItemsEx = <\r\n"
    "      item\r\n"
    "        Caption = 'home'\r\n"
    "        ImageIndex = 0\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Caption = 'work'\r\n"
    "        ImageIndex = 1\r\n"
    "      end>\r\n"
    "    ItemIndex = 1\r\n"
    "  end\r\n"
    "  object When: TDateTimePicker\r\n"
    "    Left = 60\r\n"
    "    Top = 140\r\n"
    "    Kind = dtkTime\r\n"
    "    Date = '2021-11-05'\r\n"
    "    Time = '16:20:00'\r\n"
    "    ShowCheckbox = True\r\n"
    "  end\r\n"
    "end\r\n";

TEST_F(RangeStreaming, EachControlIsReadFromAStoredFormAndWrittenBack) {
  for (int pass = 0; pass < 2; ++pass) {
    TComponentPtr<TForm> stored(new TForm(nullptr));
    if (pass == 0) {
      ReadComponentText(kStoredForm, *stored);
    } else {
      TComponentPtr<TForm> first(new TForm(nullptr));
      ReadComponentText(kStoredForm, *first);
      ReadComponentText(WriteComponentText(*first), *stored);
    }
    auto* volume = static_cast<TTrackBar*>(stored->FindComponent("Volume"));
    auto* progress = static_cast<TProgressBar*>(stored->FindComponent("Progress"));
    auto* count = static_cast<TEdit*>(stored->FindComponent("Count"));
    auto* arrows = static_cast<TUpDown*>(stored->FindComponent("CountArrows"));
    auto* fruit = static_cast<TComboBox*>(stored->FindComponent("Fruit"));
    auto* places = static_cast<TComboBoxEx*>(stored->FindComponent("Places"));
    auto* when = static_cast<TDateTimePicker*>(stored->FindComponent("When"));
    ASSERT_TRUE(volume && progress && count && arrows && fruit && places && when) << pass;
    EXPECT_EQ(volume->Orientation(), trVertical);
    EXPECT_EQ(volume->Min(), 10);
    EXPECT_EQ(volume->Max(), 40);
    EXPECT_EQ(volume->Position(), 25);
    EXPECT_EQ(volume->Frequency(), 5);
    EXPECT_EQ(volume->SelStart(), 12);
    EXPECT_EQ(volume->SelEnd(), 30);
    EXPECT_EQ(volume->TickMarks(), tmBoth);
    EXPECT_EQ(progress->Position(), 60);
    EXPECT_EQ(progress->Step(), 5);
    EXPECT_TRUE(progress->Smooth());
    EXPECT_EQ(arrows->Associate(), count);
    EXPECT_EQ(arrows->Max(), 9);
    EXPECT_TRUE(arrows->Wrap());
    EXPECT_EQ(fruit->Style(), csDropDownList);
    EXPECT_EQ(fruit->DropDownCount(), 4);
    EXPECT_EQ(fruit->Items().ToVector(), (std::vector<std::string>{"apple", "pear", "plum"}));
    EXPECT_EQ(fruit->ItemIndex(), 2);
    EXPECT_EQ(places->StyleEx(), csExDropDownList);
    EXPECT_EQ(places->Images(), stored->FindComponent("Icons"));
    ASSERT_EQ(places->ItemsEx().Count(), 2);
    EXPECT_EQ(places->ItemsEx().Item(1)->Caption(), L"work");
    EXPECT_EQ(places->ItemsEx().Item(1)->ImageIndex(), 1);
    EXPECT_EQ(places->ItemIndex(), 1);
    EXPECT_EQ(when->Kind(), dtkTime);
    EXPECT_TRUE(when->ShowCheckbox());
    EXPECT_EQ(when->DateTime(), EncodeDate(2021, 11, 5) + EncodeTime(16, 20, 0));
    // Shown, the windows say the same.
    stored->Show();
    Pump();
    EXPECT_EQ(SendMessageW(volume->Handle(), TBM_GETPOS, 0, 0), 25);
    EXPECT_EQ(SendMessageW(volume->Handle(), TBM_GETSELEND, 0, 0), 30);
    EXPECT_NE(GetWindowLongW(volume->Handle(), GWL_STYLE) & TBS_VERT, 0);
    EXPECT_EQ(SendMessageW(progress->Handle(), PBM_GETPOS, 0, 0), 60);
    EXPECT_EQ(arrows->Position(), 7);
    EXPECT_EQ(WindowText(count->Handle()), L"7");
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(arrows->Handle(), UDM_GETBUDDY, 0, 0)), count->Handle());
    EXPECT_EQ(arrows->Left(), count->Left() + count->Width());
    EXPECT_EQ(SendMessageW(fruit->Handle(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(fruit->GetText(), L"plum");
    EXPECT_EQ(SendMessageW(places->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(places->GetText(), L"work");
    SYSTEMTIME st{};
    EXPECT_EQ(SendMessageW(when->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
    EXPECT_EQ(st.wHour, 16);
    EXPECT_EQ(st.wDay, 5);
  }
}

}  // namespace
}  // namespace vex::host
