// Drop-down controls under the skin: the flat frame and drop button of combo boxes (not of simple
// ones), the separator's side for right-to-left reading, the grey arrow of a disabled one, the
// picker's skinned drop button and up-down arrows by mode and tag, a click on the skinned drop
// button opening the calendar, native combo boxes of a dialog, and the controls' own look back
// when the skin goes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "controls/combo_ctrl.h"
#include "controls/range_ctrl.h"
#include "dialog_template.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/combo_box.h"
#include "host/date_time_picker.h"
#include "input_support.h"
#include "skin2/skin_keys.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
using test::PumpMessages;

std::uint64_t Fingerprint(HWND h) {
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  RECT r;
  GetWindowRect(h, &r);
  HDC dc = GetDC(nullptr);
  std::uint64_t hash = 1469598103934665603ull;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      hash ^= GetPixel(dc, x, y);
      hash *= 1099511628211ull;
    }
  ReleaseDC(nullptr, dc);
  return hash;
}

COMBOBOXINFO InfoOf(HWND h) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(h, &info);
  return info;
}

class ComboSkin : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    engine->SetActive(false);
    form->SetBounds(40, 40, 520, 360);
  }
  TComboBox* NewCombo(TComboBoxStyle style, int top) {
    auto* c = new TComboBox(form.get());
    c->SetParent(form.get());
    c->SetStyle(style);
    c->SetBounds(10, top, 160, 24);
    for (const char* s : {"Red", "Green", "Blue"}) c->Items().Add(s);
    c->SetItemIndex(1);
    return c;
  }
  TDateTimePicker* NewPicker(TDateTimeKind kind, TDTDateMode mode, int top, std::int64_t tag = 0) {
    auto* p = new TDateTimePicker(form.get());
    p->SetParent(form.get());
    p->SetKind(kind);
    p->SetDateMode(mode);
    p->SetTag(tag);
    p->SetBounds(250, top, 160, 24);
    return p;
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
  TColor SkinColor(keys::color::TColorKey key) const { return ColorToRGB(engine->GetSkinColor(key)); }
};

TEST_F(ComboSkin, DropDownCombosGetTheFlatLookAndSimpleOnesKeepTheirs) {
  TComboBox* list = NewCombo(csDropDownList, 10);
  TComboBox* edit = NewCombo(csDropDown, 50);
  TComboBox* simple = NewCombo(csSimple, 90);
  simple->SetHeight(80);
  form->Show();
  PumpMessages();
  const std::uint64_t plainList = Fingerprint(list->Handle()), plainEdit = Fingerprint(edit->Handle()),
                      plainSimple = Fingerprint(simple->Handle());
  Skin();
  for (TComboBox* c : {list, edit, simple}) {
    ASSERT_NE(WrapperOf(c), nullptr);
    EXPECT_EQ(WrapperOf(c)->ClassName(), "TvexSkinComboBox");
  }
  EXPECT_NE(Fingerprint(list->Handle()), plainList);
  EXPECT_NE(Fingerprint(edit->Handle()), plainEdit);
  EXPECT_EQ(Fingerprint(simple->Handle()), plainSimple) << "a simple combo box keeps its own look";
  // The frame's outer line and the button's face in the skin's colours.
  const COMBOBOXINFO info = InfoOf(list->Handle());
  HDC dc = GetDC(list->Handle());
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 0, 5)), SkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR));
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, info.rcButton.right - 2, info.rcButton.top + 1)), SkinColor(keys::color::SKIN2_CONTROLCOLOR));
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, info.rcButton.left, info.rcButton.top + 3)), SkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR))
      << "the separator on the button's left";
  ReleaseDC(list->Handle(), dc);
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(Fingerprint(list->Handle()), plainList);
  EXPECT_EQ(Fingerprint(edit->Handle()), plainEdit);
}

TEST_F(ComboSkin, TheSeparatorStandsOnTheRightForRightToLeftAndADisabledArrowIsGrey) {
  TComboBox* rtl = NewCombo(csDropDownList, 10);
  rtl->SetBiDiMode(bdRightToLeft);
  TComboBox* enabled = NewCombo(csDropDownList, 50);
  TComboBox* disabled = NewCombo(csDropDownList, 90);
  disabled->SetEnabled(false);
  form->Show();
  Skin();
  Fingerprint(rtl->Handle());
  const COMBOBOXINFO info = InfoOf(rtl->Handle());
  HDC dc = GetDC(rtl->Handle());
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, info.rcButton.right, info.rcButton.top + 3)), SkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR));
  ReleaseDC(rtl->Handle(), dc);
  // The arrows: black when enabled, grey with a white shadow when not.
  const auto arrowColours = [](HWND h) {
    const COMBOBOXINFO i = InfoOf(h);
    HDC d = GetDC(h);
    bool black = false, white = false;
    for (int y = i.rcButton.top; y < i.rcButton.bottom; ++y)
      for (int x = i.rcButton.left + 1; x < i.rcButton.right; ++x) {
        const COLORREF c = GetPixel(d, x, y);
        black = black || c == RGB(0, 0, 0);
        white = white || c == RGB(255, 255, 255);
      }
    ReleaseDC(h, d);
    return std::pair<bool, bool>{black, white};
  };
  Fingerprint(enabled->Handle());
  Fingerprint(disabled->Handle());
  EXPECT_TRUE(arrowColours(enabled->Handle()).first);
  EXPECT_FALSE(arrowColours(disabled->Handle()).first);
  EXPECT_TRUE(arrowColours(disabled->Handle()).second);
}

TEST_F(ComboSkin, PickersShowTheSkinnedButtonOrArrowsByModeAndGiveTheirOwnBack) {
  TDateTimePicker* date = NewPicker(dtkDate, dmComboBox, 10);
  TDateTimePicker* time = NewPicker(dtkTime, dmComboBox, 50);
  TDateTimePicker* tagged = NewPicker(dtkTime, dmComboBox, 90, 9998);
  form->Show();
  Skin();
  auto* dw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(date));
  auto* tw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(time));
  auto* gw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(tagged));
  ASSERT_TRUE(dw && tw && gw);
  ASSERT_NE(dw->DropButton, nullptr);
  EXPECT_TRUE(dw->DropButton->Visible());
  ASSERT_NE(dw->SkinUpDown, nullptr);
  EXPECT_FALSE(dw->SkinUpDown->Visible());
  ASSERT_NE(tw->SkinUpDown, nullptr);
  EXPECT_TRUE(tw->SkinUpDown->Visible());
  EXPECT_FALSE(tw->DropButton && tw->DropButton->Visible());
  const HWND nativeArrows = FindWindowExW(time->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(nativeArrows, nullptr);
  EXPECT_FALSE(IsWindowVisible(nativeArrows)) << "the picker's own arrows are hidden under the skinned ones";
  EXPECT_EQ(gw->SkinUpDown, nullptr) << "tag 9998 keeps the picker's own arrows";
  EXPECT_TRUE(IsWindowVisible(FindWindowExW(tagged->Handle(), nullptr, UPDOWN_CLASSW, nullptr)));
  // The skinned arrows are painted from the skin too.
  EXPECT_EQ(WrapperOf(tw->SkinUpDown) ? WrapperOf(tw->SkinUpDown)->ClassName() : std::string(), "TvexSkinUpDown");
  engine->SetActive(false);
  PumpMessages();
  EXPECT_TRUE(IsWindowVisible(nativeArrows)) << "the skin off, the picker's own arrows are back";
  EXPECT_FALSE(dw->DropButton && dw->DropButton->Visible());
}

TEST_F(ComboSkin, TheSkinnedDropButtonOpensTheCalendarAndTheSkinnedArrowsPressThePickersOwn) {
  TDateTimePicker* date = NewPicker(dtkDate, dmComboBox, 10);
  TDateTimePicker* time = NewPicker(dtkTime, dmComboBox, 60);
  form->Show();
  Skin();
  test::Activate(form->Handle());
  auto* dw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(date));
  ASSERT_TRUE(dw && dw->DropButton && dw->DropButton->HandleAllocated());
  RECT b;
  GetWindowRect(dw->DropButton->Handle(), &b);
  test::ClickScreen(POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
  test::PumpFor(400);
  EXPECT_TRUE(date->DroppedDown()) << "the calendar opened as from the picker's own button";
  date->SetDroppedDown(false);
  test::PumpFor(200);

  // A press on the skinned arrows reaches the picker's own (hidden) arrows, at the same place on
  // them: the upper arrow's half.
  auto* tw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(time));
  ASSERT_TRUE(tw && tw->SkinUpDown && tw->SkinUpDown->HandleAllocated());
  const HWND native = FindWindowExW(time->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(native, nullptr);
  struct TSeen {
    int presses = 0;
    POINT at{-1, -1};
  } seen;
  const SUBCLASSPROC spy = [](HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) -> LRESULT {
    if (msg == WM_LBUTTONDOWN) {
      auto* s = reinterpret_cast<TSeen*>(data);
      ++s->presses;
      s->at = POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    }
    return DefSubclassProc(w, msg, wp, lp);
  };
  SetWindowSubclass(native, spy, 1, reinterpret_cast<DWORD_PTR>(&seen));
  RECT u, n;
  GetWindowRect(tw->SkinUpDown->Handle(), &u);
  GetClientRect(native, &n);
  test::ClickScreen(POINT{(u.left + u.right) / 2, u.top + 3});
  test::PumpFor(400);
  RemoveWindowSubclass(native, spy, 1);
  EXPECT_EQ(seen.presses, 1);
  EXPECT_TRUE(seen.at.x >= 0 && seen.at.x < n.right && seen.at.y >= 0 && seen.at.y < n.bottom / 2)
      << "pressed at " << seen.at.x << "," << seen.at.y << " of " << n.right << " x " << n.bottom;
  auto* arrows = dynamic_cast<TvexSkinUpDown*>(WrapperOf(tw->SkinUpDown));
  ASSERT_NE(arrows, nullptr);
  EXPECT_EQ(arrows->PressedPart, 0) << "the button up, the skinned arrows no longer show a half pressed";
}

TEST_F(ComboSkin, APickerMadeOrRemadeUnderTheSkinShowsOnlyTheArrowsOrButtonItsModeCallsFor) {
  form->Show();
  Skin();
  // Made while the form is skinned: the wrapper comes before the picker's window.
  TDateTimePicker* picker = NewPicker(dtkTime, dmComboBox, 10);
  PumpMessages();
  auto* w = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(picker));
  ASSERT_TRUE(w && w->DropButton && w->SkinUpDown);
  struct TStep {
    TDateTimeKind kind;
    TDTDateMode mode;
    bool dropButton;
  };
  // Each change of kind or mode gives the picker a new window (and new arrows of its own).
  const TStep steps[] = {{dtkTime, dmComboBox, false}, {dtkDate, dmComboBox, true}, {dtkTime, dmComboBox, false},
                         {dtkDate, dmUpDown, false},   {dtkDate, dmComboBox, true}};
  for (const TStep& s : steps) {
    picker->SetKind(s.kind);
    picker->SetDateMode(s.mode);
    PumpMessages();
    const HWND native = FindWindowExW(picker->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
    const std::string at = std::to_string(s.kind) + "/" + std::to_string(s.mode);
    ASSERT_TRUE(w->DropButton && w->SkinUpDown) << at;
    EXPECT_EQ(w->DropButton->Visible(), s.dropButton) << at;
    EXPECT_EQ(w->SkinUpDown->Visible(), !s.dropButton) << at;
    EXPECT_EQ(native != nullptr, !s.dropButton) << at;
    if (native) {
      EXPECT_FALSE(IsWindowVisible(native)) << at << ": the picker's own arrows stay under the skinned ones";
    }
    RECT pr, cr;
    GetClientRect(picker->Handle(), &pr);
    MapWindowPoints(picker->Handle(), nullptr, reinterpret_cast<POINT*>(&pr), 2);
    GetWindowRect(s.dropButton ? w->DropButton->Handle() : w->SkinUpDown->Handle(), &cr);
    EXPECT_EQ(cr.right, pr.right) << at << ": at the right end of the picker's client area";
    EXPECT_TRUE(IsWindowVisible(s.dropButton ? w->DropButton->Handle() : w->SkinUpDown->Handle())) << at;
  }
  engine->SetActive(false);
  PumpMessages();
  picker->SetKind(dtkTime);
  PumpMessages();
  const HWND native = FindWindowExW(picker->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(native, nullptr);
  EXPECT_TRUE(IsWindowVisible(native)) << "remade with the skin off, the picker keeps its own arrows";
  EXPECT_FALSE(w->SkinUpDown->Visible());
  EXPECT_FALSE(w->DropButton->Visible());
}

TEST_F(ComboSkin, TheSkinnedDropButtonOpensAndClosesTheCalendarAsThePickersOwnDoes) {
  TDateTimePicker* date = NewPicker(dtkDate, dmComboBox, 10);
  int drops = 0, closes = 0;
  date->OnDropDown.handler = [&drops](TObject*) { ++drops; };
  date->OnCloseUp.handler = [&closes](TObject*) { ++closes; };
  form->Show();
  Skin();
  test::Activate(form->Handle());
  auto* dw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(date));
  ASSERT_TRUE(dw && dw->DropButton && dw->DropButton->HandleAllocated());
  RECT b;
  GetWindowRect(dw->DropButton->Handle(), &b);
  const POINT middle{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
  ASSERT_EQ(WindowFromPoint(middle), dw->DropButton->Handle());
  test::ClickScreen(middle);
  test::PumpFor(300);
  EXPECT_TRUE(date->DroppedDown());
  EXPECT_EQ(drops, 1);
  date->SetDroppedDown(false);
  test::PumpFor(100);
  EXPECT_EQ(closes, 1);
  // Two clicks at once (a double click to the button) open and close it, as they do on the
  // picker's own button.
  test::ClickScreen(middle);
  test::ClickScreen(middle);
  test::PumpFor(400);
  EXPECT_FALSE(date->DroppedDown()) << "the second click of a double click closes the calendar again";
  EXPECT_EQ(drops, 2);
  EXPECT_EQ(closes, 2);
}

TEST_F(ComboSkin, PickersAndTheirSkinnedPartsGoInAnyOrder) {
  enum TFirst { pickerFirst, buttonFirst, arrowsFirst, engineFirst };
  for (TFirst first : {pickerFirst, buttonFirst, arrowsFirst, engineFirst}) {
    TDateTimePicker* date = NewPicker(dtkDate, dmComboBox, 10);
    TDateTimePicker* time = NewPicker(dtkTime, dmComboBox, 50);
    form->Show();
    Skin();
    auto* dw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(date));
    auto* tw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(time));
    ASSERT_TRUE(dw && dw->DropButton && tw && tw->SkinUpDown) << first;
    switch (first) {
      case pickerFirst:
        TComponent::Free(date);
        TComponent::Free(time);
        break;
      case buttonFirst:
        TComponent::Free(dw->DropButton);
        EXPECT_EQ(dw->DropButton, nullptr);
        TComponent::Free(date);
        TComponent::Free(time);
        break;
      case arrowsFirst:
        TComponent::Free(tw->SkinUpDown);
        EXPECT_EQ(tw->SkinUpDown, nullptr);
        EXPECT_TRUE(IsWindowVisible(FindWindowExW(time->Handle(), nullptr, UPDOWN_CLASSW, nullptr)))
            << "with nothing in their place, the picker's own arrows show at once";
        engine->SetActive(false);
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(FindWindowExW(time->Handle(), nullptr, UPDOWN_CLASSW, nullptr)));
        engine->SetActive(true);
        TComponent::Free(time);
        TComponent::Free(date);
        break;
      case engineFirst: {
        const HWND native = FindWindowExW(time->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
        TComponent::Free(engine);
        engine = nullptr;
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(native)) << "the engine gone, the picker's own arrows are back";
        EXPECT_EQ(date->ControlCount(), 0) << "and the skinned parts went with it";
        EXPECT_EQ(time->ControlCount(), 0);
        TComponent::Free(date);
        TComponent::Free(time);
        break;
      }
    }
    PumpMessages();
    EXPECT_TRUE(IsWindow(form->Handle())) << first;
  }
}

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST_F(ComboSkin, NativeComboBoxesOfADialogGetTheButtonButSimpleOnesDoNot) {
  enum : WORD { idDrop = 10, idSimple = 11, idDate = 12, idTime = 13 };
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
  InitCommonControlsEx(&icc);
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Combos");
  t.Item(L"COMBOBOX", L"", idDrop, CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 100, 60);
  t.Item(L"COMBOBOX", L"", idSimple, CBS_SIMPLE, 10, 40, 100, 50);
  t.Item(L"SysDateTimePick32", L"", idDate, DTS_SHORTDATEFORMAT, 120, 10, 90, 14);
  t.Item(L"SysDateTimePick32", L"", idTime, DTS_TIMEFORMAT, 120, 40, 90, 14);
  HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  SetWindowPos(dlg, nullptr, 60, 60, 480, 260, SWP_NOZORDER);
  ShowWindow(dlg, SW_SHOW);
  PumpMessages();
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
  const HWND drop = GetDlgItem(dlg, idDrop);
  EXPECT_EQ(classOf(drop), "TvexSkinWndComboBox");
  EXPECT_EQ(classOf(GetDlgItem(dlg, idSimple)), "");
  Fingerprint(drop);
  const COMBOBOXINFO info = InfoOf(drop);
  HDC dc = GetWindowDC(drop);
  // A combo box has no edge of its own: its window and client coordinates are the same.
  EXPECT_EQ(static_cast<TColor>(GetPixel(dc, info.rcButton.right - 2, info.rcButton.top + 1)), SkinColor(keys::color::SKIN2_CONTROLCOLOR));
  ReleaseDC(drop, dc);
  // Pickers: a date picker's drop button in the skin's colours, a time picker's own arrows
  // painted as the skin's.
  const HWND date = GetDlgItem(dlg, idDate), time = GetDlgItem(dlg, idTime);
  EXPECT_EQ(classOf(date), "TvexSkinWndDateTimePicker");
  EXPECT_EQ(classOf(time), "TvexSkinWndDateTimePicker");
  TvexSkinWndDateTimePicker* tw = nullptr;
  TvexSkinWndDateTimePicker* dw = nullptr;
  for (const auto& c : f->FControls) {
    if (c->GetHandle() == time) tw = dynamic_cast<TvexSkinWndDateTimePicker*>(c.get());
    if (c->GetHandle() == date) dw = dynamic_cast<TvexSkinWndDateTimePicker*>(c.get());
  }
  ASSERT_TRUE(tw && dw);
  ASSERT_NE(tw->Arrows, nullptr);
  EXPECT_EQ(tw->Arrows->ClassName(), "TvexSkinWndUpDown");
  EXPECT_EQ(dw->Arrows, nullptr);
  Fingerprint(date);
  const RECT b = dw->DropButtonRect();
  ASSERT_GT(b.right, b.left);
  HDC ddc = GetDC(date);
  EXPECT_EQ(static_cast<TColor>(GetPixel(ddc, b.right - 2, b.top + 1)), SkinColor(keys::color::SKIN2_CONTROLCOLOR));
  ReleaseDC(date, ddc);
  DestroyWindow(dlg);
  PumpMessages();
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

// Shows of one window while the skin changes.
struct TShowWatch {
  static inline HWND watched = nullptr;
  static inline int shows = 0;
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m->hwnd == watched && m->message == WM_SHOWWINDOW && m->wParam) ++shows;
    return CallNextHookEx(nullptr, code, wp, lp);
  }
};

// A picker without a drop-down keeps its skinned button hidden through a skin switch: shown and
// hidden again, it would cover the arrows for a moment.
TEST_F(ComboSkin, APickerWithoutADropDownNeverShowsTheButtonOnASwitch) {
  TDateTimePicker* time = NewPicker(dtkTime, dmComboBox, 50);
  form->Show();
  Skin();
  auto* tw = dynamic_cast<TvexSkinDateTimePicker*>(WrapperOf(time));
  ASSERT_NE(tw, nullptr);
  ASSERT_NE(tw->DropButton, nullptr);
  ASSERT_TRUE(tw->DropButton->HandleAllocated());
  ASSERT_FALSE(tw->DropButton->Visible());
  test::WriteFile(dir / "dark.vsk", keys::BuildDarkSkinArchive());
  TShowWatch::watched = tw->DropButton->Handle();
  TShowWatch::shows = 0;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, TShowWatch::Hook, nullptr, GetCurrentThreadId());
  engine->SetSkinFile((dir / "dark.vsk").u8string());
  PumpMessages();
  UnhookWindowsHookEx(hook);
  TShowWatch::watched = nullptr;
  EXPECT_EQ(TShowWatch::shows, 0);
  EXPECT_FALSE(tw->DropButton->Visible());
  EXPECT_TRUE(tw->SkinUpDown && tw->SkinUpDown->Visible());
}

}  // namespace
}  // namespace vex::engine
