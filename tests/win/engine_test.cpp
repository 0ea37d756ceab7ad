// The engine component: properties, stored and found skins, events, menus and the system menu.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/menu_images.h"
#include "engine/skin_engine.h"
#include "host/application.h"
#include "host/form_stream.h"
#include "skin2/archive_writer.h"
#include "skin2/default_skin.h"
#include "skin2/skin_file_reader.h"
#include "skin2/skin_file_writer.h"
#include "skin2/skin_keys.h"
#include "test_support.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
namespace fs = std::filesystem;

std::string Hex(const std::vector<std::uint8_t>& d) {
  static const char* k = "0123456789ABCDEF";
  std::string s;
  for (auto b : d) {
    s += k[b >> 4];
    s += k[b & 15];
  }
  return s;
}

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    TvexSkinEngine::StaticClass();
    test::WriteFile(dir / "default.vsk", keys::BuildDefaultSkinArchive());
    form.reset(new TForm(nullptr));
  }
  std::string Skin(const char* name) { return (dir / name).u8string(); }
  test::TScopedTempDir dir;
  TComponentPtr<TForm> form;
};

TEST_F(Engine, ConstructionChecksItsOwner) {
  TComponentPtr<TComponent> plain(new TComponent(nullptr));
  try {
    new TvexSkinEngine(plain.get());
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "Must be placed on a Form");
  }
  EXPECT_EQ(plain->ComponentCount(), 0);
  auto* first = new TvexSkinEngine(form.get());
  try {
    new TvexSkinEngine(form.get());
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "One form can only catch one TvexSkinEngine!");
  }
  EXPECT_EQ(form->ComponentCount(), 1);
  EXPECT_EQ(form->Components(0), first);
}

TEST_F(Engine, DefaultsAndIgnoredWrites) {
  auto* e = new TvexSkinEngine(form.get());
  EXPECT_EQ(GetStrProp(*e, "Version"), "4.7");
  SetStrProp(*e, "Version", "9.9");
  EXPECT_EQ(GetStrProp(*e, "Version"), "4.7");
  SetOrdProp(*e, "Ready", 1);
  EXPECT_FALSE(e->Ready());
  EXPECT_EQ(e->DisabledTag(), 9999);
  EXPECT_TRUE(e->DrawScrollBar());
  EXPECT_TRUE(e->SkinDialogs());
  EXPECT_TRUE(e->SkinAllForms());
  EXPECT_FALSE(e->Active());
  EXPECT_FALSE(e->IsSkinActive());
  EXPECT_EQ(e->GetSkinColor(0), -1);
  EXPECT_EQ(e->ResSysMenuMin(), L"Mi&nimize");
  EXPECT_EQ(e->GetSystemMenu()->Items()->Count(), 4);
  EXPECT_EQ(e->GetSystemMenu()->Items()->Items(3)->Caption(), L"&Close");
  e->SetResSysMenuClose(L"&Shut");
  EXPECT_EQ(e->GetSystemMenu()->Items()->Items(3)->Caption(), L"&Shut");
}

TEST_F(Engine, LoadingFiresTheEventsInOrderAndCachesMetrics) {
  auto* e = new TvexSkinEngine(form.get());
  std::vector<std::string> log;
  e->OnSkinChanging.handler = [&](TObject*) { log.push_back("changing " + std::to_string(e->GetFormColor())); };
  e->OnSkinChanged.handler = [&](TObject*) { log.push_back("changed " + std::to_string(e->GetFormColor())); };
  e->SetSkinFile(Skin("default.vsk"));
  EXPECT_TRUE(e->Ready());
  EXPECT_EQ(e->SkinFile(), Skin("default.vsk"));
  EXPECT_EQ(log, (std::vector<std::string>{"changing -1", "changed 15263976"}));
  const TSkinMetrics& m = e->SkinMetrics();
  EXPECT_EQ(m.TitleBarHeight, 31);
  EXPECT_EQ(m.LeftBorderWidth, 5);
  EXPECT_EQ(m.BottomBorderHeight, 5);
  EXPECT_EQ(m.IconPosX, 21);
  EXPECT_EQ(m.TitleRegionMaxY, 5);
  EXPECT_EQ(m.MenuColors[mcMenuItem], 16775143);
  EXPECT_EQ(m.MinTitleWidth, 31 + 17 + 324 / 6 + 35);  // five sections
  EXPECT_NE(m.FormBrush.Get(), nullptr);
  EXPECT_EQ(e->ScrollBtnRes().ThumbWidth(), 18);
  TBitmap slice;
  EXPECT_TRUE(e->GetSkinBitmap(keys::bitmap::SKIN2_BUTTON, slice, 3, 2));
  EXPECT_EQ(slice.Width(), 84);
  EXPECT_FALSE(e->GetSkinBitmap(keys::bitmap::SKIN2_MENUBAR, slice, 0, 0));
  EXPECT_EQ(slice.Width(), 84);  // untouched
  e->SetActive(true);
  EXPECT_TRUE(e->IsSkinActive());
  e->SetDesigning(true);
  EXPECT_FALSE(e->IsSkinActive());
}

TEST_F(Engine, SkinFileSearchAndFailures) {
  auto* e = new TvexSkinEngine(form.get());
  e->SetSkinFile((dir / "nowhere" / "missing.vsk").u8string());
  EXPECT_EQ(e->SkinFile(), "");
  EXPECT_FALSE(e->Ready());
  // A name found in the program's folder, though the given folder does not exist.
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const fs::path beside = fs::path(exe).parent_path() / fs::u8path("vextest-beside.vsk");
  test::WriteFile(beside, keys::BuildDefaultSkinArchive());
  e->SetSkinFile((dir / "nowhere" / "vextest-beside.vsk").u8string());
  EXPECT_TRUE(e->Ready());
  EXPECT_TRUE(fs::equivalent(fs::u8path(e->SkinFile()), beside));
  fs::remove(beside);
  // A broken skin: raised at run time, swallowed in design mode; either way the previous skin
  // stays, under its name.
  const std::string before = e->SkinFile();
  test::WriteFile(dir / "junk.vsk", {'S', 'K', 1});
  EXPECT_THROW(e->SetSkinFile(Skin("junk.vsk")), keys::EvexSkinError);
  EXPECT_EQ(e->SkinFile(), before);
  EXPECT_TRUE(e->Ready());
  e->SetDesigning(true);
  EXPECT_NO_THROW(e->SetSkinFile(Skin("junk.vsk")));
  EXPECT_EQ(e->SkinFile(), before);
}

TEST_F(Engine, BuiltInOnlyAtDesignTime) {
  auto* e = new TvexSkinEngine(form.get());
  try {
    e->SetBuiltIn(true);
    ADD_FAILURE();
  } catch (const EComponentError& x) {
    EXPECT_STREQ(x.what(), "BuiltIn property only can be specified at design time!");
  }
  e->SetDesigning(true);
  try {
    e->SetBuiltIn(true);
    ADD_FAILURE();
  } catch (const EComponentError& x) {
    EXPECT_STREQ(x.what(), "Please specify the SkinFile property first!");
  }
  EXPECT_FALSE(e->BuiltIn());
  e->SetSkinFile(Skin("default.vsk"));
  e->SetBuiltIn(true);
  EXPECT_TRUE(e->BuiltIn());
}

TEST_F(Engine, StoredSkinTravelsWithTheForm) {
  // Written at design time...
  TComponentPtr<TForm> designed(new TForm(nullptr));
  designed->SetName("Form1");
  auto* e = new TvexSkinEngine(designed.get());
  e->SetName("SkinEngine1");
  e->SetDesigning(true);
  e->SetSkinFile(Skin("default.vsk"));
  e->SetBuiltIn(true);
  e->SetActive(true);
  const std::string text = WriteComponentText(*designed);
  EXPECT_NE(text.find("SkinData = {"), std::string::npos);
  // ...read at run time where the stored path exists nowhere.
  std::string moved = text;
  const std::string path = "SkinFile = '" + Skin("default.vsk") + "'";
  ASSERT_NE(moved.find(path), std::string::npos);
  moved.replace(moved.find(path), path.size(), "SkinFile = 'C:\\nowhere\\gone.vsk'");
  fs::remove(dir / "default.vsk");
  std::vector<std::string> events;
  TComponentPtr<TForm> loaded(new TForm(nullptr));
  TvexSkinEngine::StaticClass();
  loaded->RegisterMethod("Changing", [&](TObject*) { events.push_back("changing"); });
  loaded->RegisterMethod("Changed", [&](TObject*) { events.push_back("changed"); });
  moved.replace(moved.find("  object SkinEngine1: TvexSkinEngine\n"), 37,
                "  object SkinEngine1: TvexSkinEngine\n    OnSkinChanged = Changed\n    OnSkinChanging = Changing\n");
  ReadComponentText(moved, *loaded);
  auto* le = static_cast<TvexSkinEngine*>(loaded->FindComponent("SkinEngine1"));
  ASSERT_NE(le, nullptr);
  EXPECT_TRUE(le->Ready());
  EXPECT_EQ(le->SkinFile(), "");
  EXPECT_TRUE(le->Active());
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "changed"}));
  EXPECT_TRUE(dir.Files().empty()) << "a temporary file was left";
}

TEST_F(Engine, AnUnwritableTemporaryFolderFailsTheLoadInsteadOfHanging) {
  const auto data = keys::BuildDefaultSkinArchive();
  const std::string text = "object F: TForm\n  object E: TvexSkinEngine\n    SkinData = {" + Hex(data) + "}\n  end\nend\n";
  SetEnvironmentVariableW(L"TMP", (dir.Path() / "no" / "such" / "folder").wstring().c_str());
  SetEnvironmentVariableW(L"TEMP", (dir.Path() / "no" / "such" / "folder").wstring().c_str());
  TComponentPtr<TForm> f(new TForm(nullptr));
  try {
    ReadComponentText(text, *f);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("Failed to read skin file!"), std::string::npos) << e.what();
  }
  EXPECT_EQ(f->ComponentCount(), 0);
  SetEnvironmentVariableW(L"TMP", dir.Path().wstring().c_str());
  SetEnvironmentVariableW(L"TEMP", dir.Path().wstring().c_str());
}

TEST_F(Engine, CollectionItemsKeepSkinsOfTheirOwn) {
  TComponentPtr<TForm> designed(new TForm(nullptr));
  auto* e = new TvexSkinEngine(designed.get());
  e->SetName("E");
  auto* item = static_cast<TvexSkinCollectionItem*>(e->AdditionalBuiltInSkins().Add());
  item->SkinFile = Skin("default.vsk");
  const std::string text = WriteComponentText(*designed);
  TComponentPtr<TForm> loaded(new TForm(nullptr));
  ReadComponentText(text, *loaded);
  auto* le = static_cast<TvexSkinEngine*>(loaded->FindComponent("E"));
  ASSERT_EQ(le->AdditionalBuiltInSkins().Count(), 1);
  EXPECT_TRUE(le->AdditionalBuiltInSkins().Item(0)->Reader().Ready());
  EXPECT_FALSE(le->Ready());  // the engine's own skin is not touched
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"default.vsk"});
}

// The gallery's form switches between the skin stored with its engine and its additional one;
// its skinned frame keeps the form's size through the switches.
TEST_F(Engine, EitherSkinStoredWithTheFormCanBeShown) {
  TComponentPtr<TForm> gallery(new TForm(nullptr));
  gallery->SetName("GalleryForm");
  ReadComponentText(ReadFormResourceText(L"GALLERYFORM"), *gallery);
  auto* e = static_cast<TvexSkinEngine*>(gallery->FindComponent("SkinEngine"));
  ASSERT_NE(e, nullptr);
  ASSERT_TRUE(e->IsSkinActive());
  gallery->SetBounds(40, 40, 400, 300);
  gallery->Show();
  for (int i = 0; i < 5; ++i) Application().ProcessMessages();
  ASSERT_NE(e->FindFrame(gallery->Handle()), nullptr);
  RECT skinned;
  GetClientRect(gallery->Handle(), &skinned);
  const TColor light = e->GetFormColor();
  EXPECT_EQ(e->SelectedBuiltInSkin(), -1);

  EXPECT_TRUE(e->SelectBuiltInSkin(0));
  EXPECT_EQ(e->SelectedBuiltInSkin(), 0);
  EXPECT_EQ(e->GetFormColor(), e->AdditionalBuiltInSkins().Item(0)->Reader().GetColor(keys::color::SKIN2_FORMCOLOR));
  EXPECT_NE(e->GetFormColor(), light);
  EXPECT_EQ(gallery->Color(), e->GetFormColor());
  RECT now;
  GetClientRect(gallery->Handle(), &now);
  EXPECT_TRUE(EqualRect(&now, &skinned));

  EXPECT_TRUE(e->SelectBuiltInSkin(-1));
  EXPECT_EQ(e->GetFormColor(), light);
  EXPECT_EQ(gallery->Color(), light);
  // No such stored skin: nothing changes.
  EXPECT_FALSE(e->SelectBuiltInSkin(1));
  EXPECT_FALSE(e->SelectBuiltInSkin(-2));
  EXPECT_EQ(e->SelectedBuiltInSkin(), -1);
  EXPECT_EQ(e->GetFormColor(), light);
  GetClientRect(gallery->Handle(), &now);
  EXPECT_TRUE(EqualRect(&now, &skinned));
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"default.vsk"}) << "a temporary file was left";
}

// The gallery's stored main form, as vexresgen writes it: the engine carries the default skin, and
// its one additional built-in skin carries the dark skin in a SkinData of its own.
TEST_F(Engine, TheGalleryFormStoresTheDarkSkinBesideTheDefaultOne) {
  fs::remove(dir / "default.vsk");
  const auto colorOf = [](const std::vector<std::uint8_t>& file, int key) {
    keys::Tsk2SkinFileReader r;
    r.LoadFromBytes(file.data(), file.size());
    return keys::LookupColor(&r, key);
  };
  const std::int32_t lightForm = colorOf(keys::BuildDefaultSkinFile(), keys::color::SKIN2_FORMCOLOR);
  const std::int32_t darkForm = colorOf(keys::BuildDarkSkinFile(), keys::color::SKIN2_FORMCOLOR);
  const std::int32_t darkTitleFont = colorOf(keys::BuildDarkSkinFile(), keys::color::SKIN2_TITLEFONTCOLOR);
  ASSERT_NE(lightForm, darkForm);

  TComponentPtr<TForm> gallery(new TForm(nullptr));
  ReadComponentText(ReadFormResourceText(L"GALLERYFORM"), *gallery);
  auto* e = static_cast<TvexSkinEngine*>(gallery->FindComponent("SkinEngine"));
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Ready());
  EXPECT_EQ(e->CurrentReader()->GetColor(keys::color::SKIN2_FORMCOLOR), lightForm);

  ASSERT_EQ(e->AdditionalBuiltInSkins().Count(), 1);
  TvexSkinCollectionItem* item = e->AdditionalBuiltInSkins().Item(0);
  EXPECT_EQ(item->SkinFile, "dark.vsk");
  ASSERT_TRUE(item->Reader().Ready());
  const std::int32_t form = item->Reader().GetColor(keys::color::SKIN2_FORMCOLOR);
  EXPECT_EQ(form, darkForm);
  // Dark: every channel low (TColor order, 0x00BBGGRR).
  for (int shift : {0, 8, 16}) EXPECT_LT((form >> shift) & 0xFF, 64) << std::hex << form;
  EXPECT_EQ(item->Reader().GetColor(keys::color::SKIN2_TITLEFONTCOLOR), darkTitleFont);
  const host::TBitmap* button = item->Reader().GetBitmap(keys::bitmap::SKIN2_BUTTON);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Width(), 252);
  EXPECT_EQ(button->Height(), 25);
  // The engine's own skin stays the light one, and loading left no temporary file behind.
  EXPECT_EQ(e->CurrentReader()->GetColor(keys::color::SKIN2_FORMCOLOR), lightForm);
  EXPECT_TRUE(dir.Files().empty()) << "a temporary file was left";
}

TEST_F(Engine, MenusAreSkinnedUnlessDisabled) {
  auto* e = new TvexSkinEngine(form.get());
  e->SetSkinFile(Skin("default.vsk"));
  e->SetActive(true);
  auto* skinned = new TMainMenu(form.get());
  Application().ProcessMessages();  // skinned once it has been built
  EXPECT_TRUE(skinned->OwnerDraw());
  EXPECT_EQ(skinned->Images(), &MenuPlaceholderImages());
  auto* optedOut = new TPopupMenu(nullptr);
  optedOut->SetTag(9999);
  form->InsertComponent(optedOut);
  EXPECT_FALSE(optedOut->OwnerDraw());
  Application().ProcessMessages();
  EXPECT_FALSE(optedOut->OwnerDraw());
  auto* item = new TMenuItem(form.get());  // items inserted later are hooked too
  Application().ProcessMessages();
  EXPECT_TRUE(static_cast<bool>(item->OnDrawItem));
  skinned->Items()->Add(item);
  TComponent::Free(skinned);  // removal unskins; nothing dangles
}

TEST_F(Engine, MenuItemsMeasureAndDrawInTheSkinsColours) {
  auto* e = new TvexSkinEngine(form.get());
  e->SetSkinFile(Skin("default.vsk"));
  e->SetActive(true);
  auto* menu = new TPopupMenu(form.get());
  auto* open = new TMenuItem(form.get());
  open->SetCaption(L"Open");
  open->SetShortCut(MakeShortCut('O', scCtrl));
  menu->Items()->Add(open);
  auto* line = new TMenuItem(form.get());
  line->SetCaption(L"-");
  menu->Items()->Add(line);
  auto* checked = new TMenuItem(form.get());
  checked->SetCaption(L"Check");
  checked->SetChecked(true);
  menu->Items()->Add(checked);
  Application().ProcessMessages();

  TBitmap b(200, 30, TPixelFormat::pf24bit);
  int w = 0, h = 0;
  line->MeasureItem(b.Canvas(), w, h);
  EXPECT_EQ(h, 5);
  open->MeasureItem(b.Canvas(), w, h);
  EXPECT_GE(h, 21);
  TCanvas& c = b.Canvas();
  EXPECT_EQ(w, c.TextWidth(L"Open") + c.TextWidth(L"Ctrl+O") + 66);

  const TColor bar = MakeRgb(96, 148, 186), itemColour = MakeRgb(231, 247, 255), selectedColour = MakeRgb(31, 103, 148);
  open->DrawItem(c, RECT{0, 0, 200, 22}, false);
  EXPECT_EQ(b.PixelColor(2, 2), bar);
  EXPECT_EQ(b.PixelColor(25, 2), bar);
  EXPECT_EQ(b.PixelColor(27, 2), itemColour);
  open->DrawItem(c, RECT{0, 0, 200, 22}, true);
  EXPECT_EQ(b.PixelColor(2, 2), selectedColour);
  line->DrawItem(c, RECT{0, 0, 200, 5}, false);
  EXPECT_EQ(b.PixelColor(26 + 4, 2), MakeRgb(0x84, 0x82, 0x84));
  EXPECT_EQ(b.PixelColor(26 + 3, 2), itemColour);
  // A checked item without an image shows the check glyph in the bar.
  checked->DrawItem(c, RECT{0, 0, 200, 22}, false);
  int glyph = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 26; ++x) glyph += b.PixelColor(x, y) != bar;
  EXPECT_GT(glyph, 6);
}

TEST_F(Engine, TheCheckGlyphStaysWhenASkinHasNone) {
  auto* e = new TvexSkinEngine(form.get());
  e->SetSkinFile(Skin("default.vsk"));
  auto glyphPixels = [] {
    TBitmap b(16, 16, TPixelFormat::pf24bit);
    b.Canvas().Brush.color = clWhite;
    b.Canvas().FillRect(RECT{0, 0, 16, 16});
    CheckedMenuImages().Draw(b.Canvas(), 0, 0, 0);
    std::vector<TColor> px;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) px.push_back(b.PixelColor(x, y));
    return px;
  };
  const auto skinGlyph = glyphPixels();
  EXPECT_EQ(CheckedMenuImages().Count(), 1);
  keys::TSkinFileWriter w;
  w.AddInteger("SKIN2_TRANSCOLOR", 0xFF00FF);
  test::WriteFile(dir / "bare.vsk", keys::WriteSkinArchive(w.Build(), {}));
  e->SetSkinFile(Skin("bare.vsk"));
  EXPECT_TRUE(e->Ready());
  EXPECT_EQ(glyphPixels(), skinGlyph);
  EXPECT_EQ(CheckedMenuImages().Count(), 1);
}

// A frame wrapper stand-in that says which title buttons its last paint drew.
class TFakeFrame : public TvexSkinWindow {
 public:
  explicit TFakeFrame(TvexSkinEngine* e) : TvexSkinWindow(nullptr, e) {}
  HWND Handle() const override { return nullptr; }
  void SystemMenuCommand(int item) override { commands.push_back(item); }
  std::vector<int> commands;

 protected:
  void UpdateSkinState() override {}
  void CallDefault(TMessage&) override {}
  void Detach() override {}
};

TEST_F(Engine, SystemMenuFollowsItsTargetFrame) {
  auto* e = new TvexSkinEngine(form.get());
  TPopupMenu* menu = e->GetSystemMenu();
  TMenuItem* items = menu->Items();
  EXPECT_EQ(items->Items(2)->Caption(), L"-");
  // Without a target: states stay, clicks do nothing.
  items->Items(1)->SetEnabled(false);
  e->SystemMenuPopup();
  EXPECT_FALSE(items->Items(1)->Enabled());
  items->Items(3)->Click();
  TFakeFrame frame(e);
  frame.FCloseDrawn = true;
  frame.FMaximizeDrawn = false;
  frame.FMinimizeDrawn = true;
  e->SystemMenuTarget = &frame;
  e->SystemMenuPopup();
  EXPECT_TRUE(items->Items(0)->Enabled());
  EXPECT_FALSE(items->Items(1)->Enabled());
  EXPECT_TRUE(items->Items(3)->Enabled());
  items->Items(0)->Click();
  items->Items(3)->Click();
  EXPECT_EQ(frame.commands, (std::vector<int>{0, 3}));
  e->SystemMenuTarget = nullptr;
}

}  // namespace
}  // namespace vex::engine

namespace vex::engine {
namespace {

TEST_F(Engine, AFormWithTheDisabledTagKeepsItsMenusUnskinned) {
  for (std::int64_t tag : {0, 9999}) {
    TComponentPtr<TForm> f(new TForm(nullptr));
    f->SetTag(tag);
    auto* menu = new TMainMenu(f.get());
    menu->SetName("Menu1");
    const std::string text = "object F: TForm\n  object E: TvexSkinEngine\n    Active = True\n    SkinFile = '" +
                             Skin("default.vsk") + "'\n  end\nend\n";
    ReadComponentText(text, *f);
    EXPECT_EQ(menu->OwnerDraw(), tag == 0) << tag;
  }
}

}  // namespace
}  // namespace vex::engine
