// The skinned menu bar of a framework form: the main menu leaves the window and shows as a tool bar
// in the skin's menu colours, keeps its keyboard access and shortcuts, follows changes of the
// menu, and the form gets it all back when skinning ends. Keyboard and mouse come as real input.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/skin_engine.h"
#include "engine/skin_menu_bar.h"
#include "engine/skin_window_vcl.h"
#include "host/application.h"
#include "host/button_controls.h"
#include "host/edit.h"
#include "host/image_list.h"
#include "image/image.h"
#include "host/menus.h"
#include "host/tool_bar.h"
#include "input_support.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
using test::PumpFor;
using test::PumpMessages;

class MenuBars : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    form->SetBounds(80, 80, 460, 320);
    form->SetClientSize(440, 280);
    menu = new TMainMenu(form.get());
    file = Item(menu->Items(), L"&File");
    open = Item(file, L"&Open", &opened);
    open->SetShortCut(MakeShortCut('O', scCtrl));
    Item(file, L"E&xit");
    edit = Item(menu->Items(), L"&Edit");
    Item(edit, L"&Copy");
    run = Item(menu->Items(), L"&Run", &ran);
    gone = Item(menu->Items(), L"&Gone");
    Item(gone, L"Nothing");
    gone->SetEnabled(false);
    form->SetMenu(menu);
    field = new TEdit(form.get());
    field->SetParent(form.get());
    field->SetBounds(10, 10, 150, 22);
    bottom = new TButton(form.get());
    bottom->SetParent(form.get());
    bottom->SetBounds(10, 240, 80, 25);
    bottom->SetAnchors(akLeft | akBottom);
    ownClient = ClientSize();
  }
  void TearDown() override {
    if (TvexSkinMenuBar* b = Bar()) b->CancelMenu();
  }
  TMenuItem* Item(TMenuItem* parent, const wchar_t* caption, int* counter = nullptr) {
    auto* item = new TMenuItem(form.get());
    item->SetCaption(caption);
    if (counter) item->OnClick.handler = [counter](TObject*) { ++*counter; };
    parent->Add(item);
    return item;
  }
  void AttachAndShow() {
    engine->AttachOwnerForm(form.get());
    form->Show();
    test::Activate(form->Handle());
    PumpMessages();
  }
  TvexSkinWindowVCL* Frame() const { return dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(form->Handle())); }
  TvexSkinMenuBar* Bar() const {
    for (int i = 0; i < form->ControlCount(); ++i)
      if (form->Controls(i)->Is<TvexSkinMenuBar>()) return static_cast<TvexSkinMenuBar*>(form->Controls(i));
    return nullptr;
  }
  std::vector<std::wstring> Captions() const {
    std::vector<std::wstring> out;
    if (TvexSkinMenuBar* b = Bar())
      for (int i = 0; i < b->ButtonCount(); ++i) out.push_back(b->Buttons(i)->Caption());
    return out;
  }
  SIZE ClientSize() const {
    RECT r;
    GetClientRect(form->Handle(), &r);
    return SIZE{r.right, r.bottom};
  }
  // The bar's pixels inside a button, counted by colour.
  int CountInButton(int index, TColor colour) const {
    TvexSkinMenuBar* b = Bar();
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const RECT r = b->ButtonRect(b->Buttons(index));
    HDC dc = GetDC(b->Handle());
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (static_cast<TColor>(GetPixel(dc, x, y)) == colour) ++n;
    ReleaseDC(b->Handle(), dc);
    return n;
  }
  TColor BarPixel(int x, int y) const {
    HDC dc = GetDC(Bar()->Handle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(Bar()->Handle(), dc);
    return static_cast<TColor>(c);
  }
  TColor MenuColour(int key) const { return engine->GetSkinColor(key); }

  TMainMenu* menu = nullptr;
  TMenuItem *file = nullptr, *open = nullptr, *edit = nullptr, *run = nullptr, *gone = nullptr;
  TEdit* field = nullptr;
  TButton* bottom = nullptr;
  int opened = 0, ran = 0;
  SIZE ownClient{};
};

TEST_F(MenuBars, TheMainMenuShowsAsABarAboveTheControlsAndComesBackOnTheWindow) {
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->FFrame, Frame());
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"&File", L"&Edit", L"&Run", L"&Gone"}));
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
  const int h = bar->Height();
  EXPECT_GT(h, 12);
  EXPECT_EQ(Frame()->MenuBarHeight(), h);
  EXPECT_EQ(bar->Top(), 0);
  // The controls moved below the bar, except one anchored to the bottom only; the client area
  // grew by the bar so that the form's own area is what it was.
  EXPECT_EQ(field->Top(), 10 + h);
  EXPECT_EQ(bottom->Top(), ClientSize().cy - (ownClient.cy - 240));
  EXPECT_EQ(ClientSize().cx, ownClient.cx);
  EXPECT_EQ(ClientSize().cy, ownClient.cy + h);
  EXPECT_EQ(form->Constraints().MinHeight, h + Frame()->TitleHeight() + 6);

  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(form->Menu(), menu);
  EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(field->Top(), 10);
  EXPECT_EQ(bottom->Top(), 240);
  EXPECT_EQ(ClientSize().cx, ownClient.cx);
  EXPECT_EQ(ClientSize().cy, ownClient.cy);

  // And skinned again, the bar is back, built once more.
  engine->SetActive(true);
  PumpMessages();
  EXPECT_TRUE(Bar()->Visible());
  EXPECT_EQ(field->Top(), 10 + Bar()->Height());
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
}

TEST_F(MenuBars, FreeingTheEngineGivesTheFormItsMenuBackAndTakesTheBar) {
  AttachAndShow();
  ASSERT_NE(Bar(), nullptr);
  TComponent::Free(engine);
  engine = nullptr;
  PumpMessages();
  EXPECT_EQ(Bar(), nullptr);
  EXPECT_EQ(form->Menu(), menu);
  EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
  EXPECT_EQ(field->Top(), 10);
  EXPECT_EQ(ClientSize().cy, ownClient.cy);
  // The menu still works: its shortcut runs its item once, through the window's own menu.
  test::Activate(form->Handle());
  field->SetFocus();
  PumpFor(50);
  test::Chord({VK_CONTROL, 'O'});
  PumpFor(300);
  EXPECT_EQ(opened, 1);
}

TEST_F(MenuBars, HotOpenPlainAndDisabledItemsInTheSkinsColours) {
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  const TColor start = MenuColour(keys::color::SKIN2_MENUBARSTARTCOLOR);
  const TColor selected = MenuColour(keys::color::SKIN2_TOPSELECTEDMENUCOLOR);
  const TColor border = MenuColour(keys::color::SKIN2_TOPSELECTEDMENUBORDERCOLOR);
  const TColor selectedFont = MenuColour(keys::color::SKIN2_TOPSELECTEDMENUFONTCOLOR);
  const TColor font = MenuColour(keys::color::SKIN2_TOPMENUFONTCOLOR);
  ASSERT_EQ(start, MenuColour(keys::color::SKIN2_MENUBARENDCOLOR)) << "the default skin's bar is one colour";

  // Nothing hot: the bar's colour behind every caption, captions in the menu font colour, the
  // disabled one grey, and no button tagged.
  const RECT first = bar->ButtonRect(bar->Buttons(0));
  EXPECT_GT(CountInButton(0, font), 0);
  EXPECT_EQ(CountInButton(0, selected), 0);
  EXPECT_GT(CountInButton(3, 0x808080), 0);
  EXPECT_EQ(CountInButton(3, font), 0);
  EXPECT_EQ(BarPixel(first.left + 1, first.top + 1), start);
  const RECT last = bar->ButtonRect(bar->Buttons(3));
  EXPECT_EQ(BarPixel(last.right + 5, (last.top + last.bottom) / 2), start) << "the bar right of its buttons";
  for (int i = 0; i < bar->ButtonCount(); ++i) EXPECT_EQ(bar->Buttons(i)->Tag(), 0);

  // Hot for the keyboard: filled and framed in the selected colours, the caption in its font.
  bar->EnterMenuMode(1);
  const RECT hot = bar->ButtonRect(bar->Buttons(1));
  EXPECT_GT(CountInButton(1, selected), (hot.right - hot.left) * (hot.bottom - hot.top) / 2);
  EXPECT_GT(CountInButton(1, selectedFont), 0);
  EXPECT_EQ(BarPixel(hot.left, hot.top), border);
  EXPECT_EQ(BarPixel(hot.right - 1, hot.bottom - 1), border);
  EXPECT_EQ(bar->Buttons(1)->Tag(), TvexSkinMenuBar::kHotTag);
  EXPECT_EQ(CountInButton(0, selected), 0);
  EXPECT_EQ(bar->Buttons(0)->Tag(), 0);
  bar->CancelMenu();

  // Open: the button of the open menu is drawn the same way while its popup shows.
  struct TSeen {
    TvexSkinMenuBar* bar;
    int filled = -1;
    std::int64_t tag = -1;
  } seen{bar};
  static TSeen* current;
  current = &seen;
  const UINT_PTR timer = SetTimer(nullptr, 0, 80, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    TvexSkinMenuBar* b = current->bar;
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const RECT r = b->ButtonRect(b->Buttons(0));
    HDC dc = GetDC(b->Handle());
    current->filled = static_cast<TColor>(GetPixel(dc, (r.left + r.right) / 2, r.top + 3)) ==
                      static_cast<TColor>(ColorToRGB(b->FFrame->FEngine->GetSkinColor(keys::color::SKIN2_TOPSELECTEDMENUCOLOR)));
    ReleaseDC(b->Handle(), dc);
    current->tag = b->Buttons(0)->Tag();
    EndMenu();
  });
  bar->TrackMenu(0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(seen.filled, 1);
  EXPECT_EQ(seen.tag, TvexSkinMenuBar::kHotTag);
  bar->CancelMenu();
}

TEST_F(MenuBars, ABarOfTwoColoursIsAVerticalGradient) {
  test::TSkinVariant v;
  v.integers["SKIN2_MENUBARSTARTCOLOR"] = 0x0000C0;
  v.integers["SKIN2_MENUBARENDCOLOR"] = 0xC00000;
  test::WriteFile(dir / "gradient.vsk", v.Archive());
  engine->SetSkinFile((dir / "gradient.vsk").u8string());
  ASSERT_TRUE(engine->IsSkinActive());
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const RECT last = bar->ButtonRect(bar->Buttons(bar->ButtonCount() - 1));
  const int x = last.right + 10;
  const TColor top = BarPixel(x, 0), bottomRow = BarPixel(x, bar->ClientHeight() - 1);
  // Red fades out and blue comes in from the top row to the bottom one; a row is one colour.
  EXPECT_GT(top & 0xFF, bottomRow & 0xFF);
  EXPECT_LT((top >> 16) & 0xFF, (bottomRow >> 16) & 0xFF);
  EXPECT_EQ(BarPixel(x + 30, 0), top);
}

TEST_F(MenuBars, ASkinsMenuBarPictureIsStretchedOverTheBar) {
  // Two bands, the upper one red and the lower one blue (the picture's colours are RGB, the
  // screen's BGR).
  image::TvexImage picture(4, 10, 0xC00000);
  for (int y = 5; y < 10; ++y)
    for (int x = 0; x < 4; ++x) picture.SetPixel(x, y, 0x0000C0);
  test::TSkinVariant v;
  v.bitmaps["SKIN2_MENUBAR"] = picture;
  test::WriteFile(dir / "picture.vsk", v.Archive());
  engine->SetSkinFile((dir / "picture.vsk").u8string());
  ASSERT_TRUE(engine->IsSkinActive());
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const RECT last = bar->ButtonRect(bar->Buttons(bar->ButtonCount() - 1));
  const int h = bar->ClientHeight();
  ASSERT_GT(h, 10);
  for (int x : {static_cast<int>(last.right) + 10, bar->ClientWidth() - 2}) {
    EXPECT_EQ(BarPixel(x, 1), 0x0000C0) << x;
    EXPECT_EQ(BarPixel(x, h / 2 - 2), 0x0000C0) << x;
    EXPECT_EQ(BarPixel(x, h / 2 + 2), 0xC00000) << x;
    EXPECT_EQ(BarPixel(x, h - 1), 0xC00000) << x;
  }
  // Behind a caption that is not hot the picture shows as well.
  const RECT first = bar->ButtonRect(bar->Buttons(0));
  EXPECT_EQ(BarPixel(first.left + 1, first.top + 1), 0x0000C0);
}

// A skin whose side borders are thinner than the frame a form keeps: the strips between them and
// the client area are the frame's to paint, and beside the bar they continue its band.
TEST_F(MenuBars, TheFrameStripsBesideTheBarContinueItsBandAndTheLinesUnderIt) {
  struct TCase {
    const char* name;
    TColor start, end;
    bool toolBarBelow;
  };
  const TCase cases[] = {
      {"one colour, nothing below", 0x0000C0, 0x0000C0, false},
      {"one colour, a tool bar below", 0x0000C0, 0x0000C0, true},
      {"two colours, a tool bar below", 0x0000C0, 0xC00000, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TSkinVariant v;
    v.bitmaps["SKIN2_FORMLEFTBORDER"] = image::TvexImage(2, 20, 0x404040);
    v.bitmaps["SKIN2_FORMRIGHTBORDER"] = image::TvexImage(2, 20, 0x404040);
    v.integers["SKIN2_MENUBARSTARTCOLOR"] = c.start;
    v.integers["SKIN2_MENUBARENDCOLOR"] = c.end;
    const std::string name = std::string("strips") + std::to_string(&c - cases) + ".vsk";
    test::WriteFile(dir / name, v.Archive());
    engine->SetSkinFile((dir / name).u8string());
    ASSERT_TRUE(engine->IsSkinActive());
    // A form of its own for each skin, with a menu and, for some, a tool bar under it.
    TComponentPtr<TForm> own(new TForm(nullptr));
    own->SetBounds(100, 100, 400, 300);
    auto* bar = new TMainMenu(own.get());
    auto* fileItem = new TMenuItem(own.get());
    fileItem->SetCaption(L"&File");
    bar->Items()->Add(fileItem);
    own->SetMenu(bar);
    if (c.toolBarBelow) {
      auto* tools = new TToolBar(own.get());
      tools->SetParent(own.get());
    }
    own->Show();
    engine->AttachWindow(own->Handle(), false);
    test::Activate(own->Handle());
    PumpMessages();
    auto* f = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(own->Handle()));
    ASSERT_NE(f, nullptr);
    ASSERT_NE(engine->GetFormColor(), c.start);
    const int BL = engine->SkinMetrics().LeftBorderWidth, BR = engine->SkinMetrics().RightBorderWidth;
    ASSERT_LT(BL, f->FFrameSide);
    ASSERT_LT(BR, f->FFrameSide);
    const int MH = f->MenuBarHeight(), top = f->TitleHeight() + f->FExtraTop;
    ASSERT_GT(MH, 4);
    EXPECT_EQ(f->MenuBarSeparator(), c.toolBarBelow);
    RedrawWindow(own->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT wr;
    GetWindowRect(own->Handle(), &wr);
    const int W = wr.right - wr.left;
    HDC dc = GetWindowDC(own->Handle());
    const auto at = [dc](int x, int y) { return static_cast<TColor>(GetPixel(dc, x, y)); };
    for (int x : {BL, f->FFrameSide - 1, W - f->FFrameSide, W - BR - 1}) {
      SCOPED_TRACE(x);
      if (c.start == c.end) {
        EXPECT_EQ(at(x, top), c.start);
        EXPECT_EQ(at(x, top + MH / 2), c.start);
        EXPECT_EQ(at(x, top + MH - 1), c.start);
      } else {
        // Rows from the start colour to the end colour, as the bar's own background.
        const TColor first = at(x, top), last = at(x, top + MH - 1);
        EXPECT_GT(first & 0xFF, last & 0xFF);
        EXPECT_LT((first >> 16) & 0xFF, (last >> 16) & 0xFF);
      }
      if (c.toolBarBelow) {
        EXPECT_EQ(at(x, top + MH), 0x808080);
        EXPECT_EQ(at(x, top + MH + 1), 0xFFFFFF);
      } else {
        EXPECT_EQ(at(x, top + MH), engine->GetFormColor());
      }
    }
    ReleaseDC(own->Handle(), dc);
    own.reset();
    PumpMessages();
  }
}

TEST_F(MenuBars, APlainLetterInAnEditFieldOpensNoMenuAndAltWithItDoes) {
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  field->SetFocus();
  PumpFor(50);
  ASSERT_EQ(GetFocus(), field->Handle());

  // The letter of the File menu typed into the field is text.
  static int seenOpen;
  static TvexSkinMenuBar* watched;
  seenOpen = -1;
  watched = bar;
  const auto watch = [](HWND, UINT, UINT_PTR, DWORD) {
    if (watched->OpenMenuIndex() >= 0) {
      seenOpen = watched->OpenMenuIndex();
      EndMenu();
    }
  };
  UINT_PTR timer = SetTimer(nullptr, 0, 40, watch);
  test::Chord({'F'});
  PumpFor(300);
  EXPECT_EQ(seenOpen, -1);
  EXPECT_EQ(field->GetText(), L"f");
  EXPECT_FALSE(bar->InMenuMode());

  // Alt with it opens the File menu, and Alt with E the Edit menu.
  for (const auto& [letter, index] : {std::pair<WORD, int>{'F', 0}, {'E', 1}}) {
    seenOpen = -1;
    test::Chord({VK_MENU, letter});
    PumpFor(300);
    EXPECT_EQ(seenOpen, index) << static_cast<char>(letter);
    bar->CancelMenu();
    field->SetFocus();
    PumpFor(50);
  }
  KillTimer(nullptr, timer);
  EXPECT_EQ(field->GetText(), L"f") << "the letters with Alt are not typed";

  // With the focus on a button a plain letter opens nothing either.
  bottom->SetFocus();
  PumpFor(50);
  seenOpen = -1;
  timer = SetTimer(nullptr, 0, 40, watch);
  test::Chord({'F'});
  PumpFor(300);
  KillTimer(nullptr, timer);
  EXPECT_EQ(seenOpen, -1);
}

// Alt alone, then a letter typed at once after it (before the bar has painted its hot item):
// the letter opens its menu, as it does once the bar has painted.
TEST_F(MenuBars, ALetterTypedRightAfterAltAloneOpensItsMenu) {
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  static int seenOpen;
  static TvexSkinMenuBar* watched;
  watched = bar;
  const auto watch = [](HWND, UINT, UINT_PTR, DWORD) {
    if (watched->OpenMenuIndex() >= 0) {
      seenOpen = watched->OpenMenuIndex();
      EndMenu();
    }
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 40, watch);
  for (bool pumpBetween : {true, false}) {
    SCOPED_TRACE(pumpBetween ? "painted first" : "typed at once");
    field->SetFocus();
    PumpFor(50);
    seenOpen = -1;
    test::Chord({VK_MENU});
    if (pumpBetween) PumpFor(200);
    test::Chord({'E'});
    PumpFor(300);
    EXPECT_EQ(seenOpen, 1);
    EXPECT_EQ(field->GetText(), L"");
    bar->CancelMenu();
  }
  KillTimer(nullptr, timer);
}

TEST_F(MenuBars, EnterOnAHotItemWithoutSubItemsRunsItOnce) {
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  field->SetFocus();
  PumpFor(50);
  // Alt alone makes File hot; Right twice reaches Run (Edit between); Enter runs it.
  test::Chord({VK_MENU});
  PumpFor(200);
  ASSERT_TRUE(bar->InMenuMode());
  EXPECT_EQ(bar->HotIndex(), 0);
  test::Chord({VK_RIGHT});
  test::Chord({VK_RIGHT});
  PumpFor(200);
  EXPECT_EQ(bar->HotIndex(), 2);
  test::Chord({VK_RETURN});
  PumpFor(200);
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(bar->InMenuMode());
  EXPECT_EQ(GetFocus(), field->Handle()) << "the focus goes back where it was";

  // Right passes over the disabled item, round to File.
  test::Chord({VK_MENU});
  PumpFor(200);
  ASSERT_TRUE(bar->InMenuMode());
  for (int i = 0; i < 3; ++i) test::Chord({VK_RIGHT});
  PumpFor(200);
  EXPECT_EQ(bar->HotIndex(), 0);
  test::Chord({VK_ESCAPE});
  PumpFor(200);
  EXPECT_FALSE(bar->InMenuMode());
  EXPECT_EQ(ran, 1);

  // A click on the item runs it once too.
  RECT r = bar->ButtonRect(bar->Buttons(2));
  MapWindowPoints(bar->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  test::ClickScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  PumpFor(300);
  EXPECT_EQ(ran, 2);
}

TEST_F(MenuBars, ShortcutsOfTheMenuStillWorkOffTheWindow) {
  AttachAndShow();
  field->SetFocus();
  PumpFor(50);
  ASSERT_EQ(GetMenu(form->Handle()), nullptr);
  test::Chord({VK_CONTROL, 'O'});
  PumpFor(300);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(field->GetText(), L"") << "the shortcut is not typed";
  // Unskinned, the window's own menu takes it, once.
  engine->SetActive(false);
  test::Activate(form->Handle());
  field->SetFocus();
  PumpFor(50);
  test::Chord({VK_CONTROL, 'O'});
  PumpFor(300);
  EXPECT_EQ(opened, 2);
}

TEST_F(MenuBars, TheBarFollowsTheMenuItShowsAndANewMenu) {
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  const int h = bar->Height();
  // An item renamed, one added, one hidden: the bar follows once the handler is done.
  run->SetCaption(L"&Go");
  Item(menu->Items(), L"&Help");
  edit->SetVisible(false);
  PumpMessages();
  EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"&File", L"&Edit", L"&Go", L"&Gone", L"&Help"}));
  EXPECT_FALSE(bar->Buttons(1)->Visible());
  EXPECT_EQ(bar->ButtonRect(bar->Buttons(1)).right, 0) << "a hidden item takes no place";

  // A new main menu given to the skinned form goes to the bar, not to the window.
  auto* other = new TMainMenu(form.get());
  Item(other->Items(), L"&Only");
  form->SetMenu(other);
  PumpMessages();
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
  EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"&Only"}));
  EXPECT_EQ(field->Top(), 10 + h);
  // The menu freed: no bar, the controls go up, the client area shrinks.
  TComponent::Free(other);
  PumpMessages();
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(field->Top(), 10);
  EXPECT_EQ(ClientSize().cy, ownClient.cy);
  // Unskinned, the form has no menu: the one it had last was freed.
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
}

TEST_F(MenuBars, ANarrowFormWrapsTheBarAndTheControlsFollowItsRows) {
  Item(menu->Items(), L"&Tools");
  Item(menu->Items(), L"&Help");
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  const int oneRow = bar->Height();
  const RECT wide = [this] {
    RECT r;
    GetWindowRect(form->Handle(), &r);
    return r;
  }();
  // Too narrow for the four items in one row.
  SetWindowPos(form->Handle(), nullptr, 0, 0, 150, wide.bottom - wide.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(100);
  const int rows = bar->Height();
  EXPECT_GT(rows, oneRow);
  EXPECT_EQ(field->Top(), 10 + rows);
  EXPECT_EQ(Frame()->MenuBarHeight(), rows);
  // The user's resizing is not undone to keep the client height.
  RECT now;
  GetWindowRect(form->Handle(), &now);
  EXPECT_EQ(now.bottom - now.top, wide.bottom - wide.top);
  // Wide again: one row, the controls back up.
  SetWindowPos(form->Handle(), nullptr, 0, 0, wide.right - wide.left, wide.bottom - wide.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(100);
  EXPECT_EQ(bar->Height(), oneRow);
  EXPECT_EQ(field->Top(), 10 + oneRow);
  // Unskinned, the controls are where they were.
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(field->Top(), 10);
}

TEST_F(MenuBars, ItemsWithImagesShowThemFromTheirMenusImageList) {
  // A 16 x 16 green square on magenta, the menu's only image, shown by the Edit item.
  image::TvexImage img(16, 16, 0xFF00FF);
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 14; ++x) img.SetPixel(x, y, 0x00A000);
  TBitmap square;
  square.LoadFromImage(img);
  auto* images = new TImageList(form.get());
  ASSERT_EQ(images->AddMasked(square, 0xFF00FF), 0);
  menu->SetImages(images);
  edit->SetImageIndex(0);
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->List()) << "captions beside the images";
  const RECT withImage = bar->ButtonRect(bar->Buttons(1));
  EXPECT_GE(withImage.right - withImage.left, 16 + 16) << "room for the image and the caption";
  EXPECT_GE(CountInButton(1, 0x00A000), 12 * 12);
  EXPECT_EQ(CountInButton(0, 0x00A000), 0);
  EXPECT_EQ(CountInButton(2, 0x00A000), 0);
  // The image stands at the button's left, the caption after it.
  HDC dc = GetDC(bar->Handle());
  const TColor atImage = static_cast<TColor>(GetPixel(dc, withImage.left + 2 + 8, (withImage.top + withImage.bottom) / 2));
  ReleaseDC(bar->Handle(), dc);
  EXPECT_EQ(atImage, 0x00A000);
}

TEST_F(MenuBars, AFormWithoutAMenuHasAHiddenBarAndNothingMoves) {
  form->SetMenu(nullptr);
  ownClient = ClientSize();
  AttachAndShow();
  TvexSkinMenuBar* bar = Bar();
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(Frame()->MenuBarHeight(), 0);
  EXPECT_EQ(field->Top(), 10);
  EXPECT_EQ(ClientSize().cy, ownClient.cy);
}

}  // namespace
}  // namespace vex::engine
