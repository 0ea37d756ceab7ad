// Containers under the skin: which wrapper each gets, and the group box's frame and caption
// drawn in the skin's colours where its reading order puts the caption.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/std_ctrl.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/cool_bar.h"
#include "host/edit.h"
#include "host/bitmap.h"
#include "host/frames.h"
#include "host/status_bar.h"
#include "host/std_controls.h"
#include "skin2/default_skin.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
using test::PumpMessages;

class ContainerSkin : public test::TSkinnedEngineTest {
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
  TColor SkinColor(keys::color::TColorKey key) const { return ColorToRGB(engine->GetSkinColor(key)); }
};

TEST_F(ContainerSkin, ContainersGetTheirOwnWrappersNotTheScrollingControls) {
  auto* box = new TGroupBox(form.get());
  box->SetParent(form.get());
  box->SetBounds(10, 10, 200, 100);
  auto* frame = new TFrame(form.get());
  frame->SetParent(form.get());
  frame->SetBounds(220, 10, 200, 100);
  auto* cool = new TCoolBar(form.get());
  cool->SetParent(form.get());
  Show();
  struct TCase {
    TControl* control;
    const char* wrapper;
  };
  for (const TCase& c : {TCase{box, "TvexSkinGroupBox"}, TCase{frame, "TvexSkinFrame"}, TCase{cool, "TvexSkinPanel"}}) {
    ASSERT_NE(WrapperOf(c.control), nullptr) << c.wrapper;
    EXPECT_EQ(WrapperOf(c.control)->ClassName(), c.wrapper);
  }
  EXPECT_TRUE(box->ParentColor()) << "the group box stands in the form's colour";
  EXPECT_EQ(box->Color(), engine->GetFormColor());
}

TEST_F(ContainerSkin, TheGroupBoxCaptionStandsAtEightOrAtTheRightEndRightToLeft) {
  auto* box = new TGroupBox(form.get());
  box->SetParent(form.get());
  box->SetBounds(10, 10, 240, 120);
  box->SetCaption(L"Options");
  auto* rtl = new TGroupBox(form.get());
  rtl->SetParent(form.get());
  rtl->SetBounds(260, 10, 240, 120);
  rtl->SetCaption(L"Options");
  rtl->SetBiDiMode(bdRightToLeft);
  Show();
  const TColor border = SkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR), ink = SkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
  for (TGroupBox* b : {box, rtl}) {
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    HDC dc = GetDC(b->Handle());
    // The frame's left and bottom lines in the border colour.
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 0, 60)), border);
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 100, b->Height() - 2)), border);
    // The caption's ink: its leftmost and rightmost columns.
    int first = -1, last = -1;
    for (int x = 0; x < b->Width(); ++x)
      for (int y = 0; y < 16; ++y)
        if (static_cast<TColor>(GetPixel(dc, x, y)) == ink && ink != border) {
          if (first < 0) first = x;
          last = x;
        }
    // The caption's background cuts the frame's top line exactly where its text stands: from 8,
    // or from Width - 1 - text width - 8 right to left.
    TBitmap measure(4, 4);
    measure.Canvas().Font().Assign(b->Font());
    const int line = measure.Canvas().TextHeight(L"0") / 2 - 1, tw = measure.Canvas().TextWidth(L"Options");
    const int from = b == box ? 8 : b->Width() - 1 - tw - 8;
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, from - 1, line)), border);
    EXPECT_NE(static_cast<TColor>(GetPixel(dc, from, line)), border);
    EXPECT_NE(static_cast<TColor>(GetPixel(dc, from + tw - 1, line)), border);
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, from + tw, line)), border);
    ReleaseDC(b->Handle(), dc);
    ASSERT_GE(first, 0) << "no caption in the skin's font colour";
    if (b == box) {
      EXPECT_GE(first, 8);
      EXPECT_LE(first, 10);
    } else {
      // Right to left: the caption ends 8 pixels before the box's last column.
      EXPECT_GE(last, b->Width() - 1 - 8 - 6) << "the glyphs leave a few blank columns at the end of the text";
      EXPECT_LE(last, b->Width() - 1 - 8);
    }
  }
}

TEST_F(ContainerSkin, AGroupBoxCaptionOutsideTheAnsiCodePageIsDrawnAsItIs) {
  const std::wstring caption = L"\u03A9\u03BC\u03AD\u03B3\u03B1 \u0436\u0443\u043A";
  auto* box = new TGroupBox(form.get());
  box->SetParent(form.get());
  box->SetBounds(10, 10, 240, 120);
  box->SetCaption(caption);
  Show();
  const TColor ink = SkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
  ASSERT_NE(ink, SkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR));
  // The columns of the ink of a text in the box's font, drawn as the skin draws the caption.
  const auto inkColumns = [&](const std::wstring& text) {
    TBitmap b(240, 20, TPixelFormat::pf24bit);
    b.Canvas().Font().Assign(box->Font());
    b.Canvas().Font().SetColor(ink);
    RECT r{8, 0, 240, 20};
    b.Canvas().DrawText(text, r, DT_SINGLELINE);
    std::vector<int> columns;
    for (int x = 0; x < 240; ++x)
      for (int y = 0; y < 20; ++y)
        if (b.PixelColor(x, y) == ink) {
          columns.push_back(x);
          break;
        }
    return columns;
  };
  const std::vector<int> expected = inkColumns(caption);
  ASSERT_NE(expected, inkColumns(std::wstring(caption.size(), L'?'))) << "the font draws the caption's letters";
  RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpMessages();
  HDC dc = GetDC(box->Handle());
  std::vector<int> shown;
  for (int x = 0; x < 240; ++x)
    for (int y = 0; y < 20; ++y)
      if (static_cast<TColor>(GetPixel(dc, x, y)) == ink) {
        shown.push_back(x);
        break;
      }
  ReleaseDC(box->Handle(), dc);
  EXPECT_EQ(shown, expected);
}

TEST_F(ContainerSkin, TheGroupBoxShowsOnlyTheSkinsFrameNotItsOwnBesideIt) {
  test::WriteFile(dir / "dark.vsk", skin2::BuildBuiltInSkinArchive(skin2::TSkinTheme::Dark, ""));
  engine->SetSkinFile((dir / "dark.vsk").u8string());
  auto* box = new TGroupBox(form.get());
  box->SetParent(form.get());
  box->SetBounds(10, 10, 200, 100);
  box->SetCaption(L"Options");
  Show();
  TBitmap measure(4, 4);
  measure.Canvas().Font().Assign(box->Font());
  const int top = measure.Canvas().TextHeight(L"0") / 2 - 1;
  const COLORREF back = static_cast<COLORREF>(SkinColor(keys::color::SKIN2_FORMCOLOR));
  const COLORREF border = static_cast<COLORREF>(SkinColor(keys::color::SKIN2_CONTROLBORDERCOLOR));
  RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpMessages();
  HDC dc = GetDC(box->Handle());
  const int w = box->Width(), h = box->Height();
  // The one-pixel frame (0, top, w - 1, h - 1), and the box's colour on both sides of each line.
  struct TProbe {
    int x, y;
    COLORREF expected;
    const char* where;
  };
  const TProbe probes[] = {
      {w / 2, top, border, "top line"},          {w / 2, top + 1, back, "inside the top line"},
      {w / 2, top + 2, back, "two inside it"},   {0, h / 2, border, "left line"},
      {1, h / 2, back, "inside the left line"},  {w - 2, h / 2, border, "right line"},
      {w - 1, h / 2, back, "outside the right"}, {w / 2, h - 2, border, "bottom line"},
      {w / 2, h - 1, back, "outside the bottom"}, {w - 3, h / 2, back, "inside the right line"},
  };
  for (const TProbe& p : probes) EXPECT_EQ(GetPixel(dc, p.x, p.y), p.expected) << p.where;
  ReleaseDC(box->Handle(), dc);
}

TEST_F(ContainerSkin, SwitchingTheSkinOffAndOnGivesEveryContainerItsOwnColoursBack) {
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(10, 10, 120, 50);
  panel->SetCaption(L"Panel");
  panel->SetColor(clYellow);
  panel->Font().SetColor(clRed);
  panel->SetBevelOuter(bvLowered);
  panel->SetBevelInner(bvRaised);
  auto* box = new TGroupBox(form.get());
  box->SetParent(form.get());
  box->SetBounds(140, 10, 120, 80);
  box->SetColor(clAqua);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(10, 100, 100, 16);
  label->SetCaption(L"Label");
  label->Font().SetColor(clFuchsia);
  auto* frame = new TFrame(form.get());
  frame->SetParent(form.get());
  frame->SetBounds(270, 10, 100, 80);
  auto* status = new TStatusBar(form.get());
  status->SetParent(form.get());
  status->SetColor(clLime);
  auto* cool = new TCoolBar(form.get());
  cool->SetParent(form.get());
  cool->SetColor(clNavy);
  struct TCase {
    TControl* control;
    TColor colour;      // its own colour (none: it takes its parent's)
    TColor fontColour;  // its own font colour (none: its parent's)
  };
  const TCase cases[] = {{panel, clYellow, clRed}, {box, clAqua, clNone},    {label, clNone, clFuchsia},
                         {frame, clNone, clNone},  {status, clLime, clNone}, {cool, clNavy, clNone}};
  Show();
  const TColor formColour = engine->GetFormColor();
  const TColor ink = engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
  const auto skinned = [&](const char* when) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(std::string(when) + " " + c.control->ClassName());
      EXPECT_EQ(c.control->Color(), formColour);
      // Labels and status bars draw their text in their font's colour; a container's font keeps
      // its own (controls on it take it), its caption is painted in the skin's colour.
      if (c.control == label || c.control == status) {
        EXPECT_EQ(c.control->Font().Color(), ink);
      } else if (c.fontColour != clNone) {
        EXPECT_EQ(c.control->Font().Color(), c.fontColour);
      }
    }
  };
  skinned("first");
  for (int round = 0; round < 2; ++round) {
    engine->SetActive(false);
    PumpMessages();
    for (const TCase& c : cases) {
      SCOPED_TRACE(c.control->ClassName());
      if (c.colour != clNone) {
        EXPECT_EQ(c.control->Color(), c.colour);
        EXPECT_FALSE(c.control->ParentColor());
      } else {
        EXPECT_TRUE(c.control->ParentColor());
      }
      if (c.fontColour != clNone) {
        EXPECT_EQ(c.control->Font().Color(), c.fontColour);
      }
    }
    EXPECT_EQ(panel->BevelOuter(), bvLowered);
    EXPECT_EQ(panel->BevelInner(), bvRaised);
    engine->SetActive(true);
    PumpMessages();
    skinned("again");
  }
}

TEST_F(ContainerSkin, ACoolBarStandsInTheFormColourWithItsBandCaptionsInTheSkinsFontColour) {
  test::WriteFile(dir / "dark.vsk", skin2::BuildBuiltInSkinArchive(skin2::TSkinTheme::Dark, ""));
  engine->SetSkinFile((dir / "dark.vsk").u8string());
  engine->SetActive(false);
  auto* cool = new TCoolBar(form.get());
  cool->SetParent(form.get());
  auto* address = new TEdit(form.get());
  address->SetParent(cool);
  TCoolBand* band = cool->Bands().Add();
  band->SetText(L"Address");
  band->SetControl(address);
  form->Show();
  PumpMessages();
  const HWND h = cool->Handle();
  // The band's caption: from the band's left edge to its control.
  RECT bandRect{}, edit{};
  SendMessageW(h, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&bandRect));
  GetWindowRect(address->Handle(), &edit);
  MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&edit), 2);
  const RECT caption{bandRect.left, bandRect.top, edit.left, bandRect.bottom};
  ASSERT_GT(caption.right - caption.left, 20);
  const auto pixels = [&] {
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    std::vector<COLORREF> all;
    HDC dc = GetDC(h);
    for (int y = caption.top; y < caption.bottom; ++y)
      for (int x = caption.left; x < caption.right; ++x) all.push_back(GetPixel(dc, x, y));
    ReleaseDC(h, dc);
    return all;
  };
  const std::vector<COLORREF> plain = pixels();
  engine->SetActive(true);
  Show();
  const COLORREF form = static_cast<COLORREF>(SkinColor(keys::color::SKIN2_FORMCOLOR));
  const COLORREF ink = static_cast<COLORREF>(SkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
  ASSERT_NE(form, ink);
  const std::vector<COLORREF> skinned = pixels();
  std::size_t inForm = 0, inInk = 0;
  for (COLORREF c : skinned) {
    inForm += c == form;
    inInk += c == ink;
  }
  EXPECT_GT(inForm, skinned.size() / 2) << "the band stands in the form's colour";
  EXPECT_GT(inInk, 20u) << "its caption in the skin's control font colour";
  EXPECT_EQ(cool->Font().Color(), clWindowText) << "the font keeps its colour: the edit on the bar takes it";
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(pixels(), plain) << "its own look again";
}

TEST_F(ContainerSkin, APanelCaptionTakesTheSkinColourButControlsOnThePanelKeepTheirFont) {
  test::TSkinVariant v;
  v.integers["SKIN2_CONTROLFONTCOLOR"] = static_cast<std::int32_t>(clLime);
  test::WriteFile(dir / "lime.vsk", v.Archive());
  engine->SetSkinFile((dir / "lime.vsk").u8string());
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(10, 10, 200, 80);
  panel->SetCaption(L"WWWWWW");
  panel->SetAlignment(taLeftJustify);
  auto* edit = new TEdit(form.get());
  edit->SetParent(panel);
  edit->SetBounds(100, 40, 90, 22);
  auto* box = new TGroupBox(form.get());
  box->SetParent(form.get());
  box->SetBounds(220, 10, 200, 80);
  auto* inner = new TEdit(form.get());
  inner->SetParent(box);
  inner->SetBounds(10, 30, 90, 22);
  Show();
  EXPECT_EQ(edit->Font().Color(), clWindowText) << "an edit on a panel keeps its dark text";
  EXPECT_EQ(inner->Font().Color(), clWindowText) << "and one in a group box";
  RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpMessages();
  HDC dc = GetDC(panel->Handle());
  int lime = 0, black = 0;
  for (int y = 2; y < 40; ++y)
    for (int x = 2; x < 95; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c == RGB(0, 255, 0)) ++lime;
      if (c == RGB(0, 0, 0)) ++black;
    }
  ReleaseDC(panel->Handle(), dc);
  EXPECT_GT(lime, 20) << "the caption in the skin's control font colour";
  EXPECT_EQ(black, 0);
  EXPECT_EQ(panel->Font().Color(), clWindowText) << "the panel's font keeps its colour";
}

}  // namespace
}  // namespace vex::engine
