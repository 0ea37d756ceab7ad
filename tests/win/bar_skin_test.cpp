// Status bars and tool bars under the skin: the status bar's grip geometry and colours, the tool
// bar's custom-drawn buttons where the skin puts image and caption, and everything the tool bar
// had coming back when the skin goes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/bar_ctrl.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/application.h"
#include "host/image_list.h"
#include "host/status_bar.h"
#include "host/tool_bar.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
using test::PumpMessages;

class BarSkin : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    form->SetBounds(40, 40, 520, 360);
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
  COLORREF SkinRgb(keys::color::TColorKey key) const { return static_cast<COLORREF>(ColorToRGB(engine->GetSkinColor(key))); }
};

// The window's client pixels after it painted itself completely.
struct TPixels {
  explicit TPixels(HWND wnd) : wnd(wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    dc = GetDC(wnd);
  }
  ~TPixels() { ReleaseDC(wnd, dc); }
  COLORREF operator()(int x, int y) const { return GetPixel(dc, x, y); }
  // Pixels of a rectangle not of a colour.
  int NotOf(const RECT& r, COLORREF c) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (GetPixel(dc, x, y) != c) ++n;
    return n;
  }
  HWND wnd;
  HDC dc;
};

TEST_F(BarSkin, StatusBarGripLinesAndBlankStripsOfA300By19Bar) {
  auto* grip = new TStatusBar(form.get());
  grip->SetParent(form.get());
  grip->SetAlign(alNone);
  grip->SetBounds(0, 40, 300, 19);
  grip->Panels().Add()->SetText(L"Ready");
  auto* plain = new TStatusBar(form.get());
  plain->SetParent(form.get());
  plain->SetAlign(alNone);
  plain->SetSizeGrip(false);
  plain->SetBounds(0, 80, 300, 19);
  Show();
  ASSERT_NE(WrapperOf(grip), nullptr);
  EXPECT_EQ(WrapperOf(grip)->ClassName(), "TvexSkinStatusBar");
  EXPECT_TRUE(grip->ParentColor());
  EXPECT_EQ(grip->Color(), engine->GetFormColor());
  const COLORREF fill = static_cast<COLORREF>(ColorToRGB(grip->Color()));
  const COLORREF line = GetSysColor(COLOR_INACTIVECAPTION);
  ASSERT_NE(fill, line);
  TPixels px(grip->Handle());
  // G = (284, 4, 299, 18): lines from (285, 18) and (289 + 4i, 18) up to the right edge; their
  // pixels have x + y = 303, 307, 311, 315. Between them, the bar's colour.
  int lines = 0, blanks = 0;
  // (The last row is outside G's fill: there only the lines are the grip's.)
  for (int y = 5; y <= 18; ++y)
    for (int x = 285; x <= 298; ++x) {
      const int d = x + y;
      if (d == 303 || d == 307 || d == 311 || d == 315) {
        EXPECT_EQ(px(x, y), line) << x << "," << y;
        ++lines;
      } else if (y < 18 && (d < 303 || d % 2 == 1)) {
        EXPECT_EQ(px(x, y), fill) << x << "," << y;
        ++blanks;
      }
    }
  EXPECT_GT(lines, 30);
  EXPECT_GT(blanks, 30);
  // The strips around it are blanked in the bar's colour.
  EXPECT_EQ(px.NotOf(RECT{284, 3, 299, 4}, fill), 0);
  EXPECT_EQ(px.NotOf(RECT{280, 3, 284, 18}, fill), 0);
  EXPECT_NE(px(299, 10), line) << "the grip stops short of the last column";
  // A bar without a grip is left as it painted itself there.
  TPixels other(plain->Handle());
  int touched = 0;
  for (int y = 5; y <= 18; ++y)
    for (int x = 285; x <= 298; ++x)
      if ((x + y == 303 || x + y == 311) && other(x, y) == line) ++touched;
  EXPECT_EQ(touched, 0);
}

TEST_F(BarSkin, StatusBarTextTakesTheSkinFontColourAndItsOwnComesBack) {
  auto* bar = new TStatusBar(form.get());
  bar->SetParent(form.get());
  bar->Font().SetColor(clRed);
  bar->Panels().Add()->SetText(L"Ready");
  Show();
  EXPECT_EQ(bar->Font().Color(), engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(bar->Font().Color(), clRed);
  EXPECT_EQ(bar->Color(), clBtnFace) << "its own colour again";
  engine->SetActive(true);
  PumpMessages();
  EXPECT_EQ(bar->Color(), engine->GetFormColor());
}

// A 16 x 16 image list of one solid colour.
TImageList* SolidImages(TComponent* owner, TColor colour) {
  auto* list = new TImageList(owner, 16, 16);
  TBitmap b;
  b.SetSize(16, 16);
  b.Canvas().Brush.color = colour;
  b.Canvas().FillRect(RECT{0, 0, 16, 16});
  list->Add(b);
  return list;
}

TToolButton* AddButton(TToolBar* bar, TComponent* owner, const wchar_t* caption, int image, TToolButtonStyle style) {
  auto* b = new TToolButton(owner);
  b->SetStyle(style);
  b->SetCaption(caption);
  b->SetImageIndex(image);
  b->SetParent(bar);
  return b;
}

// The first and last columns, within a rectangle, holding a pixel of a colour (-1: none).
std::pair<int, int> InkColumns(const TPixels& px, const RECT& r, COLORREF c) {
  int first = -1, last = -1;
  for (int x = r.left; x < r.right; ++x)
    for (int y = r.top; y < r.bottom; ++y)
      if (px(x, y) == c) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}
std::pair<int, int> InkRows(const TPixels& px, const RECT& r, COLORREF c) {
  int first = -1, last = -1;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (px(x, y) == c) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}

TEST_F(BarSkin, CheckedToolButtonsPutImageAndCaptionWhereTheModeSays) {
  // Captions take the skin's control font colour: blue here, to tell them from everything else.
  test::TSkinVariant v;
  v.integers["SKIN2_CONTROLFONTCOLOR"] = static_cast<std::int32_t>(clBlue);
  test::WriteFile(dir / "blue.vsk", v.Archive());
  engine->SetSkinFile((dir / "blue.vsk").u8string());
  ASSERT_EQ(engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR), clBlue);
  TImageList* images = SolidImages(form.get(), clRed);
  struct TCase {
    bool list;
  };
  for (const TCase c : {TCase{true}, TCase{false}}) {
    SCOPED_TRACE(c.list ? "list mode" : "icon mode");
    auto* bar = new TToolBar(form.get());
    bar->SetParent(form.get());
    bar->SetImages(images);
    bar->SetList(c.list);
    bar->SetShowCaptions(true);
    bar->SetAutoSize(true);
    TToolButton* b = AddButton(bar, form.get(), L"Wide", 0, tbsCheck);
    b->SetDown(true);
    Show();
    ASSERT_NE(WrapperOf(bar), nullptr);
    EXPECT_EQ(WrapperOf(bar)->ClassName(), "TvexSkinToolBar");
    const RECT r = bar->ButtonRect(b);
    ASSERT_GT(r.right - r.left, 30);
    TPixels px(bar->Handle());
    // The hot style: the border colour round the button, the on colour inside.
    EXPECT_EQ(px(r.left, r.top + 1), SkinRgb(keys::color::SKIN2_TOOLBARBORDERCOLOR));
    EXPECT_EQ(px(r.left + 1, r.bottom - 2), SkinRgb(keys::color::SKIN2_TOOLBARONCOLOR));
    const RECT inside{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    const auto [imageLeft, imageRight] = InkColumns(px, inside, RGB(255, 0, 0));
    const auto [imageTop, imageBottom] = InkRows(px, inside, RGB(255, 0, 0));
    const auto [textLeft, textRight] = InkColumns(px, inside, RGB(0, 0, 255));
    const auto [textTop, textBottom] = InkRows(px, inside, RGB(0, 0, 255));
    ASSERT_GE(imageLeft, 0) << "no image";
    ASSERT_GE(textLeft, 0) << "no caption";
    EXPECT_EQ(imageTop, r.top + 3);
    EXPECT_EQ(imageBottom, r.top + 3 + 15);
    if (c.list) {
      EXPECT_EQ(imageLeft, r.left + 5);
      EXPECT_EQ(imageRight, r.left + 20);
      // The caption from x R.Left + 23 (the glyph's first ink a column or two in).
      EXPECT_GE(textLeft, r.left + 23);
      EXPECT_LE(textLeft, r.left + 25);
    } else {
      EXPECT_EQ(imageLeft, r.left + (r.right - r.left - 16) / 2);
      // Centred by the caption's measured width, 4 rows under the image.
      TBitmap measure;
      measure.SetSize(4, 4);
      measure.Canvas().Font().Assign(bar->Font());
      const int x = r.left + (r.right - r.left - measure.Canvas().TextWidth(L"Wide")) / 2;
      EXPECT_GE(textLeft, x);
      EXPECT_LE(textLeft, x + 1) << textLeft << ".." << textRight << " in " << r.left << ".." << r.right;
      EXPECT_GE(textTop, r.top + 16 + 4);
    }
    TComponent::Free(bar);
    PumpMessages();
  }
}

TEST_F(BarSkin, AHotDropDownButtonInTheSecondRowHasItsArrowInItsOwnMiddle) {
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  bar->SetWrapable(true);
  bar->SetAlign(alNone);
  bar->SetBounds(0, 0, 400, 40);
  bar->SetShowCaptions(true);
  bar->SetAutoSize(true);
  for (const wchar_t* caption : {L"First", L"Second", L"Third"}) AddButton(bar, form.get(), caption, -1, tbsButton);
  TToolButton* drop = AddButton(bar, form.get(), L"Drop", -1, tbsDropDown);
  Show();
  bar->SetBounds(0, 0, 130, bar->Height());
  bar->SetAutoSize(false);
  bar->SetAutoSize(true);
  PumpMessages();
  const RECT r = bar->ButtonRect(drop);
  ASSERT_GT(r.top, 10) << "the drop-down button wraps to a second row";
  SendMessageW(bar->Handle(), TB_SETHOTITEM, static_cast<WPARAM>(drop->Index()), 0);
  PumpMessages();
  TPixels px(bar->Handle());
  const int m = r.top + (r.bottom - r.top) / 2;
  // The arrow's two black triangles on the middle row of the button.
  EXPECT_EQ(px(r.right - 9, m), RGB(0, 0, 0));
  EXPECT_EQ(px(r.right - 7, m + 2), RGB(0, 0, 0));
  EXPECT_NE(px(r.right - 7, m - 2), RGB(0, 0, 0));
  // The separator down the button at R.Right - 14.
  EXPECT_EQ(px(r.right - 14, r.top + 2), RGB(0, 0, 0));
}

TEST_F(BarSkin, ADropDownButtonHasRoomForItsArrowBesideItsCaption) {
  test::TSkinVariant v;
  v.integers["SKIN2_CONTROLFONTCOLOR"] = static_cast<std::int32_t>(clBlue);
  test::WriteFile(dir / "blue.vsk", v.Archive());
  engine->SetSkinFile((dir / "blue.vsk").u8string());
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  bar->SetImages(SolidImages(form.get(), clRed));
  bar->SetList(true);
  bar->SetShowCaptions(true);
  bar->SetAutoSize(true);
  TToolButton* drop = AddButton(bar, form.get(), L"Colour", 0, tbsDropDown);
  AddButton(bar, form.get(), L"Open", 0, tbsButton);
  Show();
  SendMessageW(bar->Handle(), TB_SETHOTITEM, static_cast<WPARAM>(drop->Index()), 0);
  PumpMessages();
  const RECT r = bar->ButtonRect(drop);
  {
    TPixels px(bar->Handle());
    const auto [textLeft, textRight] = InkColumns(px, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, RGB(0, 0, 255));
    ASSERT_GE(textLeft, 0) << "no caption";
    // The skin's separator at R.Right - 14 and its arrow to the right of it: the caption ends
    // before them.
    EXPECT_LT(textRight, r.right - 14) << "caption " << textLeft << ".." << textRight << " in " << r.left << ".." << r.right;
    EXPECT_EQ(px(r.right - 14, r.top + 2), RGB(0, 0, 0));
  }
  // Without the skin the control draws its own arrow there: ink on the part's background.
  engine->SetActive(false);
  PumpMessages();
  const RECT own = bar->ButtonRect(drop);
  TPixels px(bar->Handle());
  const COLORREF back = px(own.right - 3, own.top + 2);
  const auto differs = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) + std::abs(GetBValue(a) - GetBValue(b)) > 0x60;
  };
  int inked = 0;
  for (int y = own.top + 2; y < own.bottom - 2; ++y)
    for (int x = own.right - 11; x < own.right - 2; ++x)
      if (differs(px(x, y), back)) ++inked;
  EXPECT_GE(inked, 3) << "the control's arrow";
}

TEST_F(BarSkin, SwitchingTheSkinOffGivesTheToolBarBackEverythingItHad) {
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  bar->SetFlat(false);
  bar->SetTransparent(true);
  bar->SetColor(clAqua);
  bar->Font().SetColor(clRed);
  int ownBackground = 0, ownButtons = 0;
  bar->OnCustomDraw = [&](TToolBar*, const RECT&, bool&) { ++ownBackground; };
  bar->OnCustomDrawButton = [&](TToolBar*, TToolButton*, UINT, bool&) { ++ownButtons; };
  AddButton(bar, form.get(), L"One", -1, tbsButton);
  Show();
  EXPECT_TRUE(bar->Flat());
  EXPECT_FALSE(bar->Transparent());
  EXPECT_EQ(bar->Color(), engine->GetSkinColor(keys::color::SKIN2_TOOLBARSTARTCOLOR));
  // The skin draws the background now, not the application's handler.
  ownBackground = ownButtons = 0;
  {
    TPixels px(bar->Handle());
    EXPECT_EQ(px(bar->Width() - 3, 2), SkinRgb(keys::color::SKIN2_TOOLBARSTARTCOLOR));
  }
  EXPECT_EQ(ownBackground, 0);
  EXPECT_EQ(ownButtons, 0);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    engine->SetActive(false);
    PumpMessages();
    EXPECT_FALSE(bar->Flat());
    EXPECT_TRUE(bar->Transparent());
    EXPECT_EQ(bar->Color(), clAqua);
    EXPECT_EQ(bar->Font().Color(), clRed);
    EXPECT_EQ(bar->CaptionColor(), clDefault);
    ownBackground = ownButtons = 0;
    { TPixels px(bar->Handle()); }
    EXPECT_GT(ownBackground, 0) << "the application's background handler is back";
    EXPECT_GT(ownButtons, 0) << "and its button handler";
    engine->SetActive(true);
    PumpMessages();
    EXPECT_TRUE(bar->Flat());
    EXPECT_FALSE(bar->Transparent());
    EXPECT_EQ(bar->CaptionColor(), engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
    EXPECT_EQ(bar->Font().Color(), clRed) << "the font keeps its colour: controls on the bar take it";
    ownBackground = 0;
    { TPixels px(bar->Handle()); }
    EXPECT_EQ(ownBackground, 0);
  }
}

TEST_F(BarSkin, AToolBarInItsParentsColourTakesItAgainWhenTheSkinGoes) {
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  bar->SetParentColor(true);
  AddButton(bar, form.get(), L"One", -1, tbsButton);
  Show();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    engine->SetActive(false);
    PumpMessages();
    EXPECT_TRUE(bar->ParentColor());
    EXPECT_EQ(bar->Color(), form->Color());
    engine->SetActive(true);
    PumpMessages();
    EXPECT_EQ(bar->Color(), engine->GetSkinColor(keys::color::SKIN2_TOOLBARSTARTCOLOR));
  }
  // The application's new form colour reaches it.
  engine->SetActive(false);
  PumpMessages();
  form->SetColor(clTeal);
  EXPECT_EQ(bar->Color(), clTeal);
}

TEST_F(BarSkin, AToolBarWithoutHandlersIsLeftWithoutHandlers) {
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  AddButton(bar, form.get(), L"One", -1, tbsButton);
  Show();
  EXPECT_TRUE(static_cast<bool>(bar->OnCustomDraw));
  engine->SetActive(false);
  PumpMessages();
  EXPECT_FALSE(static_cast<bool>(bar->OnCustomDraw));
  EXPECT_FALSE(static_cast<bool>(bar->OnCustomDrawButton));
  EXPECT_EQ(bar->Color(), clBtnFace);
  // The wrapper going with its form leaves nothing of its own behind either.
  engine->SetActive(true);
  PumpMessages();
  TComponent::Free(engine);
  engine = nullptr;
  PumpMessages();
  EXPECT_FALSE(static_cast<bool>(bar->OnCustomDraw));
  { TPixels px(bar->Handle()); }
}

}  // namespace
}  // namespace vex::engine
