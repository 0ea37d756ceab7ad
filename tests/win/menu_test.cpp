// Menu skinning over the life of the engine: switching it off and on, freeing it, menus that opt
// out, items added to a menu that is shown, one rebuild per skinning, and the check glyph.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "engine/menu_images.h"
#include "engine/skin_engine.h"
#include "host/messages.h"
#include "skin2/archive_writer.h"
#include "skin2/skin_file_writer.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;

// Every item of the menu, depth first.
void ForEachItem(TMenuItem* parent, const std::function<void(TMenuItem*)>& f) {
  for (int i = 0; i < parent->Count(); ++i) {
    f(parent->Items(i));
    ForEachItem(parent->Items(i), f);
  }
}

// Owner-drawn, with both handlers on every item.
bool LooksSkinned(TMenu* m) {
  bool all = m->OwnerDraw();
  ForEachItem(m->Items(), [&](TMenuItem* i) { all = all && i->OnDrawItem && i->OnMeasureItem; });
  return all;
}

// The framework's own drawing: not owner-drawn, no handler on any item.
bool LooksPlain(TMenu* m) {
  bool plain = !m->OwnerDraw();
  ForEachItem(m->Items(), [&](TMenuItem* i) { plain = plain && !i->OnDrawItem && !i->OnMeasureItem; });
  return plain;
}

// Whether the native menu shows item `pos` of `menu` owner-drawn.
bool NativeOwnerDrawn(HMENU menu, UINT pos) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_FTYPE;
  EXPECT_TRUE(GetMenuItemInfoW(menu, pos, TRUE, &mii));
  return (mii.fType & MFT_OWNERDRAW) != 0;
}

// The item measured by its handlers, and as the framework measures it.
std::pair<SIZE, SIZE> Measures(TMenuItem* item) {
  TBitmap b(10, 10, TPixelFormat::pf24bit);
  SIZE used{0, 0}, plain{0, 0};
  int w = 0, h = 0;
  item->MeasureItem(b.Canvas(), w, h);
  used = SIZE{w, h};
  item->DefaultMeasureItem(b.Canvas(), w, h);
  plain = SIZE{w, h};
  return {used, plain};
}

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption) {
  auto* i = new TMenuItem(owner);
  i->SetCaption(caption);
  if (parent) parent->Add(i);
  return i;
}

class MenuSkinning : public test::TSkinnedEngineTest {
 protected:
  // A main menu File > Open, Save; a popup menu Cut; a popup menu that opts out, with one item.
  void BuildMenus() {
    main = new TMainMenu(form.get());
    file = NewItem(form.get(), main->Items(), L"&File");
    NewItem(form.get(), file, L"Open");
    NewItem(form.get(), file, L"Save");
    popup = new TPopupMenu(form.get());
    NewItem(form.get(), popup->Items(), L"Cut");
    optedOut = new TPopupMenu(form.get());
    optedOut->SetTag(engine->DisabledTag());
    NewItem(form.get(), optedOut->Items(), L"Left alone");
    test::PumpMessages();
  }
  TMainMenu* main = nullptr;
  TMenuItem* file = nullptr;
  TPopupMenu* popup = nullptr;
  TPopupMenu* optedOut = nullptr;
};

TEST_F(MenuSkinning, ActiveOffUnskinsTheFormsMenusAndOnSkinsThemAgain) {
  BuildMenus();
  ASSERT_TRUE(LooksSkinned(main));
  ASSERT_TRUE(LooksSkinned(popup));
  ASSERT_TRUE(LooksPlain(optedOut));
  ASSERT_TRUE(NativeOwnerDrawn(popup->Handle(), 0));

  engine->SetActive(false);
  EXPECT_TRUE(LooksPlain(main));
  EXPECT_TRUE(LooksPlain(popup));
  EXPECT_TRUE(LooksPlain(optedOut));
  EXPECT_EQ(main->Images(), nullptr);  // the placeholder list went with the skin
  EXPECT_FALSE(NativeOwnerDrawn(popup->Handle(), 0));
  EXPECT_FALSE(NativeOwnerDrawn(GetSubMenu(main->Handle(), 0), 0));
  EXPECT_TRUE(LooksSkinned(engine->GetSystemMenu()));  // the engine's own menu stays as it is

  engine->SetActive(true);
  EXPECT_TRUE(LooksSkinned(main));
  EXPECT_TRUE(LooksSkinned(popup));
  EXPECT_TRUE(LooksPlain(optedOut));
  EXPECT_EQ(main->Images(), &MenuPlaceholderImages());
  EXPECT_TRUE(NativeOwnerDrawn(popup->Handle(), 0));
  EXPECT_TRUE(NativeOwnerDrawn(GetSubMenu(main->Handle(), 0), 1));
}

TEST_F(MenuSkinning, FreeingTheEngineLeavesNoMenuPointingAtIt) {
  BuildMenus();
  // An item inserted on its own (hooked when inserted), and one hooked inside the main menu that
  // moves to a menu the engine never saw.
  TMenuItem* alone = NewItem(form.get(), nullptr, L"Alone");
  TMenuItem* stray = NewItem(nullptr, file, L"Stray");
  test::PumpMessages();
  engine->SkinMenuItem(stray);  // an item without an owner is hooked where it is added
  ASSERT_TRUE(alone->OnDrawItem);
  ASSERT_TRUE(stray->OnDrawItem);
  TComponentPtr<TPopupMenu> elsewhere(new TPopupMenu(nullptr));
  elsewhere->Items()->Add(stray);

  TComponent::Free(engine);
  engine = nullptr;
  ASSERT_TRUE(LooksPlain(main));
  ASSERT_TRUE(LooksPlain(popup));
  ASSERT_FALSE(alone->OnDrawItem);
  ASSERT_FALSE(alone->OnMeasureItem);
  EXPECT_EQ(main->Images(), nullptr);
  EXPECT_FALSE(NativeOwnerDrawn(GetSubMenu(main->Handle(), 0), 0));
  // Whatever still carries a handler draws as the framework does.
  const auto [used, plain] = Measures(stray);
  EXPECT_EQ(used.cx, plain.cx);
  EXPECT_EQ(used.cy, plain.cy);
  TBitmap b(100, 24, TPixelFormat::pf24bit);
  stray->DrawItem(b.Canvas(), RECT{0, 0, 100, 24}, true);
  EXPECT_EQ(b.PixelColor(1, 1), ColorToRGB(clHighlight));
}

TEST_F(MenuSkinning, AMenuThatOptsOutKeepsEveryItemUnskinned) {
  BuildMenus();
  // Items reaching the opted-out menu every way: inserted into the form and placed before the
  // engine got to them, a sub-item of such an item, and one hooked before it moved in.
  TMenuItem* placed = NewItem(form.get(), optedOut->Items(), L"Placed");
  TMenuItem* sub = NewItem(form.get(), placed, L"Sub");
  TMenuItem* movedIn = NewItem(form.get(), nullptr, L"Moved in");
  test::PumpMessages();
  ASSERT_TRUE(movedIn->OnDrawItem);  // not in any menu yet: hooked
  optedOut->Items()->Add(movedIn);
  test::PumpMessages();

  EXPECT_FALSE(optedOut->OwnerDraw());
  for (TMenuItem* i : {optedOut->Items()->Items(0), placed, sub}) {
    EXPECT_FALSE(i->OnDrawItem) << i->Caption();
    EXPECT_FALSE(i->OnMeasureItem) << i->Caption();
  }
  EXPECT_FALSE(NativeOwnerDrawn(optedOut->Handle(), 0));
  EXPECT_FALSE(NativeOwnerDrawn(optedOut->Handle(), 1));
  // Every item, the one hooked before it moved in too, measures as the framework measures it.
  ForEachItem(optedOut->Items(), [](TMenuItem* i) {
    const auto [used, plain] = Measures(i);
    EXPECT_EQ(used.cx, plain.cx);
    EXPECT_EQ(used.cy, plain.cy);
  });
}

TEST_F(MenuSkinning, AFormThatOptsOutKeepsTheMenusMadeAtRunTimeUnskinned) {
  form->SetTag(engine->DisabledTag());
  BuildMenus();
  TMenuItem* later = NewItem(form.get(), file, L"Added later");
  test::PumpMessages();
  for (TMenu* m : {static_cast<TMenu*>(main), static_cast<TMenu*>(popup)}) EXPECT_TRUE(LooksPlain(m));
  EXPECT_FALSE(later->OnDrawItem);
  EXPECT_FALSE(NativeOwnerDrawn(popup->Handle(), 0));
  // Switching the engine off and on does not change that.
  engine->SetActive(false);
  engine->SetActive(true);
  EXPECT_TRUE(LooksPlain(main));
  EXPECT_TRUE(LooksPlain(popup));
}

TEST_F(MenuSkinning, AnItemAddedToAShownMainMenuKeepsTheMenuWorking) {
  BuildMenus();
  form->SetMenu(main);
  form->Show();
  test::PumpMessages();
  HWND wnd = form->Handle();
  // Skinned, the menu is shown by the skinned bar, not on the window.
  EXPECT_EQ(GetMenu(wnd), nullptr);
  EXPECT_EQ(form->Menu(), nullptr);

  // A recent-files list growing at run time, one entry with sub-entries.
  TMenuItem* recent = NewItem(form.get(), nullptr, L"recent.txt");
  NewItem(form.get(), recent, L"Open");
  NewItem(form.get(), recent, L"Forget");
  file->Add(recent);
  test::PumpMessages();
  main->Handle();  // the native menu the bar's popups come from
  HMENU drop = file->Handle();
  ASSERT_TRUE(IsMenu(drop));
  EXPECT_EQ(GetMenuItemCount(drop), 3);
  EXPECT_TRUE(NativeOwnerDrawn(drop, 2));
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(drop, 2)), 2);

  // A new window for the form stays without a native menu while skinned; switched off, the form
  // shows the same menu on its window again, alive.
  SendMessageW(wnd, CM_RECREATEWND, 0, 0);
  ASSERT_NE(form->Handle(), nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
  engine->SetActive(false);
  test::PumpMessages();
  EXPECT_EQ(form->Menu(), main);
  HMENU bar = GetMenu(form->Handle());
  ASSERT_TRUE(IsMenu(bar));
  EXPECT_EQ(bar, main->Handle());
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 3);
}

// A popup menu that counts how often its native menu is built.
class TCountingMenu : public TPopupMenu {
 public:
  TCountingMenu() : TPopupMenu(nullptr) {}
  mutable int builds = 0;

 protected:
  std::vector<TMenuItem*> TopItems() const override {
    ++builds;
    return TPopupMenu::TopItems();
  }
};

TEST_F(MenuSkinning, SkinningAMenuRebuildsItOnce) {
  TComponentPtr<TCountingMenu> menu(new TCountingMenu);
  for (const wchar_t* top : {L"One", L"Two", L"Three"}) {
    TMenuItem* t = NewItem(nullptr, menu->Items(), top);
    for (const wchar_t* sub : {L"a", L"b", L"c"}) NewItem(nullptr, NewItem(nullptr, t, sub), L"leaf");
  }
  menu->Handle();
  menu->builds = 0;
  engine->SkinMenu(menu.get());
  EXPECT_EQ(menu->builds, 1);
  EXPECT_TRUE(LooksSkinned(menu.get()));
  menu->builds = 0;
  engine->SkinMenuItem(menu->Items()->Items(1));
  EXPECT_EQ(menu->builds, 1);
  menu->builds = 0;
  engine->UnskinMenu(menu.get());
  EXPECT_EQ(menu->builds, 1);
  EXPECT_TRUE(LooksPlain(menu.get()));
}

TEST_F(MenuSkinning, ItemsAddedTogetherAreSkinnedWithOneRebuild) {
  // A recent-files list: several entries made on the form and added to a menu that is built.
  TComponentPtr<TCountingMenu> menu(new TCountingMenu);
  engine->SkinMenu(menu.get());
  TMenuItem* recent = NewItem(nullptr, menu->Items(), L"Recent");
  menu->Handle();
  menu->BeginUpdate();
  std::vector<TMenuItem*> added;
  for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"}) added.push_back(NewItem(form.get(), recent, name));
  menu->EndUpdate();
  menu->builds = 0;
  test::PumpMessages();
  for (TMenuItem* i : added) EXPECT_TRUE(i->OnDrawItem) << i->Caption();
  EXPECT_EQ(menu->builds, 1);
}

// A check glyph of w x h pixels: a one-pixel edge of `edge` around `ink`.
image::TvexImage Glyph(int w, int h, TColor edge, TColor ink) {
  image::TvexImage img(w, h, image::ColorToPixel(static_cast<std::uint32_t>(edge)));
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x) img.SetPixel(x, y, image::ColorToPixel(static_cast<std::uint32_t>(ink)));
  return img;
}

TEST_F(MenuSkinning, CheckGlyphsOfAnySizeShowCentredInTheBar) {
  struct Case {
    int w, h;
    bool transparentColour;  // the skin names one: the glyph's edge; else nothing is masked
  };
  const Case cases[] = {{10, 10, true}, {24, 20, true}, {16, 16, false}, {12, 14, false}};
  const TColor bar = clLime, magenta = MakeRgb(255, 0, 255);
  auto* menu = new TPopupMenu(form.get());
  TMenuItem* checked = NewItem(form.get(), menu->Items(), L"Checked");
  checked->SetChecked(true);
  test::PumpMessages();
  ASSERT_TRUE(checked->OnDrawItem);
  int n = 0;
  for (const Case& c : cases) {
    // Transparent: a magenta edge around red. Without: black framed in white, where black
    // is what a missing transparent colour used to mask.
    const TColor edge = c.transparentColour ? magenta : clWhite, ink = c.transparentColour ? clRed : clBlack;
    keys::TSkinFileWriter w;
    if (c.transparentColour) w.AddInteger("SKIN2_TRANSCOLOR", magenta);
    for (const char* key : {"SKIN2_LEFTBARSTARTCOLOR", "SKIN2_LEFTBARENDCOLOR", "SKIN2_MENUITEMCOLOR"}) w.AddInteger(key, bar);
    w.AddBitmap("SKIN2_CHECKEDMENUICON", Glyph(c.w, c.h, edge, ink));
    const std::string name = "glyph" + std::to_string(n++) + ".vsk";
    test::WriteFile(dir / name, keys::WriteSkinArchive(w.Build(), {}));
    engine->SetSkinFile((dir / name).u8string());
    ASSERT_TRUE(engine->Ready());
    EXPECT_EQ(CheckedMenuImages().Width(), c.w);
    EXPECT_EQ(CheckedMenuImages().Height(), c.h);

    TBitmap b(200, 30, TPixelFormat::pf24bit);
    checked->DrawItem(b.Canvas(), RECT{0, 0, 200, 30}, false);
    // The ink lands where the glyph is centred in the 26-pixel bar (16-pixel image height).
    const int left = (26 - c.w) / 2, top = (16 + 5 - c.h) / 2;
    int inkInside = 0, inkOutside = 0, edgeShown = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 26; ++x) {
        const TColor p = b.PixelColor(x, y);
        const bool inner = x > left && x < left + c.w - 1 && y > top && y < top + c.h - 1;
        if (p == ink) ++(inner ? inkInside : inkOutside);
        if (p == edge) ++edgeShown;
      }
    EXPECT_EQ(inkInside, (c.w - 2) * (c.h - 2)) << c.w << "x" << c.h;
    EXPECT_EQ(inkOutside, 0) << c.w << "x" << c.h;
    EXPECT_EQ(edgeShown, c.transparentColour ? 0 : 2 * (c.w + c.h) - 4) << c.w << "x" << c.h;
  }
}

TEST(MenuCommands, AreReusedAndStayBelowTheSystemCommands) {
  // A program that rebuilds a recent-files list for ever: far more items than the identifier
  // range holds, never more than a few alive at once.
  TComponentPtr<TPopupMenu> menu(new TPopupMenu(nullptr));
  std::set<UINT> seen;
  for (int round = 0; round < 20000; ++round) {
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 4; ++i) {
      auto* item = new TMenuItem(menu.get());
      ASSERT_GE(item->Command(), 100u);
      ASSERT_LT(item->Command(), 0xF000u);
      items.push_back(item);
    }
    std::set<UINT> live;
    for (TMenuItem* i : items) live.insert(i->Command());
    ASSERT_EQ(live.size(), items.size()) << "identifiers of live items are distinct";
    seen.insert(live.begin(), live.end());
    for (TMenuItem* i : items) TComponent::Free(i);
  }
  EXPECT_LE(seen.size(), 8u) << "identifiers of freed items are taken again";
  // A freed item's identifier no longer finds it.
  auto* a = new TMenuItem(menu.get());
  const UINT command = a->Command();
  TComponent::Free(a);
  EXPECT_EQ(TMenu::ItemByCommand(command), nullptr);
}

}  // namespace
}  // namespace vex::engine
