// The skin at other display resolutions: a frame at 144 dots per inch is the skin's frame scaled
// by one and a half, a window told of a new resolution (WM_DPICHANGED) re-lays its frame, takes
// the suggested place and comes back exactly, framework forms scale their controls and fonts,
// and a skin's own images for a scale are used when it has them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "engine/menu_bar_control_button.h"
#include "engine/skin_engine.h"
#include "engine/skin_menu_bar.h"
#include "engine/skin_window.h"
#include "engine/skin_window_vcl.h"
#include "host/application.h"
#include "host/button_controls.h"
#include "host/cool_bar.h"
#include "host/edit.h"
#include "host/gdi_handle.h"
#include "host/combo_box.h"
#include "host/dpi.h"
#include "host/image_list.h"
#include "host/menus.h"
#include "host/status_bar.h"
#include "host/std_controls.h"
#include "host/tab_controls.h"
#include "image/frame_layout.h"
#include "image/scaling.h"
#include "skin2/default_skin.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "utils/text_helpers.h"
#include "skinned_engine_fixture.h"

namespace vex::engine {
namespace {

using namespace vex::host;
using test::PumpMessages;
namespace keys = vex::skin2;

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

HWND OpenDialog() {
  test::TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME, L"Scale");
  t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 50, 50, 14);
  HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, QuietProc, 0);
  SetWindowPos(dlg, nullptr, 100, 100, 320, 200, SWP_NOZORDER);
  ShowWindow(dlg, SW_SHOW);
  PumpMessages();
  return dlg;
}

bool Skinned(HWND w) { return SendMessageW(w, SKM_QUERYSKINNED, 0, 0) == 1; }

RECT WindowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

// The frame around the client area as the window has it: title (with nothing else above the
// client area), left, right and bottom borders.
struct TFrameSizes {
  int title = 0, left = 0, right = 0, bottom = 0;
  bool operator==(const TFrameSizes& o) const { return title == o.title && left == o.left && right == o.right && bottom == o.bottom; }
};
std::ostream& operator<<(std::ostream& os, const TFrameSizes& s) {
  return os << "{title " << s.title << ", left " << s.left << ", right " << s.right << ", bottom " << s.bottom << "}";
}
TFrameSizes Measure(HWND w) {
  const RECT wr = WindowRect(w);
  POINT o{0, 0};
  ClientToScreen(w, &o);
  RECT cr{};
  GetClientRect(w, &cr);
  return TFrameSizes{o.y - wr.top, o.x - wr.left, wr.right - (o.x + cr.right), wr.bottom - (o.y + cr.bottom)};
}

int gDpi = 0;
int DpiAnswer(HWND) { return gDpi; }

// The default skin without its images for other scales: every size at a scale is the skin's own
// scaled.
std::vector<std::uint8_t> SkinWithoutScaledRecords() {
  const std::vector<std::uint8_t> file = skin2::BuildDefaultSkinFile();
  skin2::Tsk2SkinFileReader reader;
  reader.LoadFromBytes(file.data(), file.size());
  test::TSkinVariant v;
  for (const auto& b : reader.Bitmaps())
    if (keys::ScaledRecordPercent(b.name)) v.dropped.insert(b.name);
  for (const auto& i : reader.Integers())
    if (keys::ScaledRecordPercent(i.name)) v.dropped.insert(i.name);
  return v.Archive();
}

class Dpi : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    engine->SetSkinDialogs(false);
  }
  void TearDown() override {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
    PumpMessages();
    host::SetWindowDpiQuery(nullptr);
    gDpi = 0;
    form.reset();
    PumpMessages();
  }
  HWND Keep(HWND w) {
    windows.push_back(w);
    return w;
  }
  // The skin's own frame values, read at 96 dots per inch.
  image::TFrameSkin SkinAt96() const {
    utils::TvexSkinReader* r = engine->CurrentReader();
    image::TFrameSkin s;
    auto w = [r](int key) { return static_cast<int>(r->BitmapSize(key).cx); };
    s.t1w = w(keys::bitmap::SKIN2_TITLEBAR1);
    s.t2w = w(keys::bitmap::SKIN2_TITLEBAR2);
    s.t3w = w(keys::bitmap::SKIN2_TITLEBAR3);
    s.t4w = w(keys::bitmap::SKIN2_TITLEBAR4);
    s.t5w = w(keys::bitmap::SKIN2_TITLEBAR5);
    s.titleHeight = r->BitmapSize(keys::bitmap::SKIN2_TITLEBAR1).cy;
    s.buttonStripWidth = w(keys::bitmap::SKIN2_TITLEBUTTONS);
    s.buttonStripHeight = r->BitmapSize(keys::bitmap::SKIN2_TITLEBUTTONS).cy;
    s.fiveSections = r->GetSwitch(keys::switches::SKIN2_TITLEFIVESECT);
    s.iconX = r->GetPosition(keys::position::SKIN2_TITLEBARICONPOSX);
    s.iconY = r->GetPosition(keys::position::SKIN2_TITLEBARICONPOSY);
    s.captionTop = r->GetPosition(keys::position::SKIN2_TITLEBARCAPTIONTOP);
    s.buttonX = r->GetPosition(keys::position::SKIN2_TITLEBARBUTTONPOSX);
    s.buttonY = r->GetPosition(keys::position::SKIN2_TITLEBARBUTTONPOSY);
    s.leftBorder = w(keys::bitmap::SKIN2_FORMLEFTBORDER);
    s.rightBorder = w(keys::bitmap::SKIN2_FORMRIGHTBORDER);
    s.bottomBorder = r->BitmapSize(keys::bitmap::SKIN2_FORMBOTTOMBORDER1).cy;
    return s;
  }
  // Every pixel value of the skin scaled to `dpi`, each state image of the button strip on its own.
  static image::TFrameSkin Scaled(const image::TFrameSkin& s, int dpi) {
    auto L = [dpi](int v) { return keys::ScaleLength(v, dpi); };
    image::TFrameSkin x = s;
    x.t1w = L(s.t1w);
    x.t2w = L(s.t2w);
    x.t3w = L(s.t3w);
    x.t4w = L(s.t4w);
    x.t5w = L(s.t5w);
    x.titleHeight = L(s.titleHeight);
    x.buttonStripWidth = 18 * L(s.buttonStripWidth / 18);
    x.buttonStripHeight = L(s.buttonStripHeight);
    x.iconX = L(s.iconX);
    x.iconY = L(s.iconY);
    x.captionTop = L(s.captionTop);
    x.buttonX = L(s.buttonX);
    x.buttonY = L(s.buttonY);
    x.leftBorder = L(s.leftBorder);
    x.rightBorder = L(s.rightBorder);
    x.bottomBorder = L(s.bottomBorder);
    x.dpi = dpi;
    return x;
  }
  // The title buttons the frame lays out, against those of the expected skin at the window's size.
  static void ExpectButtons(TvexSkinWindow* frame, const image::TFrameSkin& expected) {
    const image::TTitleLayout got = frame->CurrentLayout();
    image::TTitleWindow tw;
    const RECT wr = WindowRect(frame->WindowHandle());
    tw.width = wr.right - wr.left;
    tw.height = wr.bottom - wr.top;
    tw.hasClose = true;
    tw.hasMinimize = true;
    tw.hasMaximize = false;
    tw.hasSystemIcon = true;
    const image::TTitleLayout want = image::LayoutTitle(expected, tw);
    ASSERT_EQ(got.buttons.size(), want.buttons.size());
    ASSERT_FALSE(got.buttons.empty());
    for (std::size_t i = 0; i < got.buttons.size(); ++i) {
      EXPECT_EQ(got.buttons[i].element, want.buttons[i].element) << i;
      const image::TRect& a = got.buttons[i].rect;
      const image::TRect& b = want.buttons[i].rect;
      EXPECT_TRUE(a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
          << "button " << i << ": " << a.left << "," << a.top << "-" << a.right << "," << a.bottom << " against " << b.left << "," << b.top
          << "-" << b.right << "," << b.bottom;
    }
  }
  void UseSkinWithoutScaledRecords() {
    test::WriteFile(dir / "plain.vsk", SkinWithoutScaledRecords());
    engine->SetSkinFile((dir / "plain.vsk").u8string());
    ASSERT_TRUE(engine->IsSkinActive());
  }
  // A switch to the same skin under another name: every window takes the skin anew.
  void SwitchSkin() {
    const std::string name = switched ? "plain.vsk" : "plain2.vsk";
    switched = !switched;
    if (!std::filesystem::exists(dir / name)) test::WriteFile(dir / name, SkinWithoutScaledRecords());
    engine->SetSkinFile((dir / name).u8string());
    PumpMessages();
  }
  bool switched = false;
  std::vector<HWND> windows;
};

// A dialog on a monitor at 144 dots per inch: title, borders and title buttons are the skin's
// values times one and a half, and the border shows the skin's border image at that scale.
TEST_F(Dpi, FrameAt144IsTheSkinScaledByOneAndAHalf) {
  UseSkinWithoutScaledRecords();
  const image::TFrameSkin base = SkinAt96();
  ASSERT_GT(base.titleHeight, 0);
  gDpi = 144;
  host::SetWindowDpiQuery(DpiAnswer);
  HWND dlg = Keep(OpenDialog());
  engine->AttachWindow(dlg, true);
  PumpMessages();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->Skinned());
  EXPECT_EQ(frame->Dpi(), 144);
  const image::TFrameSkin want = Scaled(base, 144);
  EXPECT_EQ(Measure(dlg), (TFrameSizes{want.titleHeight, want.leftBorder, want.rightBorder, want.bottomBorder}));
  // 31 rows at 96 DPI are 47 at 144: rounded, not truncated.
  EXPECT_EQ(want.titleHeight, (base.titleHeight * 3 + 1) / 2);
  ExpectButtons(frame, want);

  // The left border half way down: one row of the skin's border image scaled, column by column
  // (the image stretches down the side, so any of its rows may be the one there).
  const image::TvexImage border = engine->CurrentReader()->GetBitmap(keys::bitmap::SKIN2_FORMLEFTBORDER)->ToImage();
  const image::TvexImage scaled = image::ScaleSlices(border, 1, 144, 96);
  ASSERT_EQ(scaled.Width(), want.leftBorder);
  HDC dc = GetWindowDC(dlg);
  const RECT wr = WindowRect(dlg);
  const int y = (wr.bottom - wr.top) / 2;
  std::vector<COLORREF> shown;
  for (int x = 0; x < want.leftBorder; ++x) shown.push_back(GetPixel(dc, x, y));
  bool matches = false;
  for (int row = 0; row < scaled.Height() && !matches; ++row) {
    bool same = true;
    for (int x = 0; x < scaled.Width(); ++x) {
      const std::uint32_t p = scaled.Pixel(x, row);
      same &= shown[static_cast<std::size_t>(x)] == RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    matches = same;
  }
  EXPECT_TRUE(matches) << "the left border is not the skin's border scaled";
  ReleaseDC(dlg, dc);
}

// The suggested place the system would give for a move to `to` dots per inch: the window's rectangle
// scaled about its top-left corner.
RECT Suggested(HWND w, int to, int from) {
  const RECT r = WindowRect(w);
  return RECT{r.left, r.top, r.left + MulDiv(r.right - r.left, to, from), r.top + MulDiv(r.bottom - r.top, to, from)};
}

void TellDpi(HWND w, int dpi, RECT suggested) {
  SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  PumpMessages();
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// WM_DPICHANGED from 96 to 192: the open dialog's frame is laid out at twice the skin's values in
// the suggested rectangle; back to 96, the frame, the place and the client size are as they were.
TEST_F(Dpi, DpiChangedRelaysAnOpenDialogAtTwiceTheMetricsAndBack) {
  UseSkinWithoutScaledRecords();
  const image::TFrameSkin base = SkinAt96();
  HWND dlg = Keep(OpenDialog());
  engine->AttachWindow(dlg, true);
  PumpMessages();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->Skinned());
  ASSERT_EQ(frame->Dpi(), 96);
  const TFrameSizes at96 = Measure(dlg);
  ASSERT_EQ(at96, (TFrameSizes{base.titleHeight, base.leftBorder, base.rightBorder, base.bottomBorder}));
  const RECT place96 = WindowRect(dlg);
  RECT client96{};
  GetClientRect(dlg, &client96);

  const RECT big = Suggested(dlg, 192, 96);
  TellDpi(dlg, 192, big);
  ASSERT_EQ(engine->FindFrame(dlg), frame);
  EXPECT_EQ(frame->Dpi(), 192);
  EXPECT_TRUE(Skinned(dlg));
  EXPECT_TRUE(SameRect(WindowRect(dlg), big));
  const image::TFrameSkin want = Scaled(base, 192);
  EXPECT_EQ(want.titleHeight, 2 * base.titleHeight);
  EXPECT_EQ(Measure(dlg), (TFrameSizes{want.titleHeight, want.leftBorder, want.rightBorder, want.bottomBorder}));
  ExpectButtons(frame, want);

  TellDpi(dlg, 96, place96);
  EXPECT_EQ(frame->Dpi(), 96);
  EXPECT_TRUE(SameRect(WindowRect(dlg), place96));
  EXPECT_EQ(Measure(dlg), at96);
  RECT client{};
  GetClientRect(dlg, &client);
  EXPECT_TRUE(SameRect(client, client96));
  ExpectButtons(frame, base);
}

// A framework form moved to a monitor at twice the scale: its controls' places, sizes and fonts
// double, the frame doubles with them, and the way back restores every figure exactly.
TEST_F(Dpi, AFormScalesItsControlsAndFontsAndBack) {
  UseSkinWithoutScaledRecords();
  const image::TFrameSkin base = SkinAt96();
  form->SetBounds(80, 80, 400, 260);
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(20, 30, 90, 25);
  auto* own = new TButton(form.get());
  own->SetParent(form.get());
  own->SetBounds(120, 30, 90, 25);
  own->Font().SetHeight(-15);
  engine->AttachOwnerForm(form.get());
  form->Show();
  PumpMessages();
  // Kept at the bottom-right corner by its anchors.
  auto* corner = new TButton(form.get());
  corner->SetParent(form.get());
  corner->SetBounds(form->ClientWidth() - 100, form->ClientHeight() - 40, 90, 30);
  corner->SetAnchors(akRight | akBottom);
  PumpMessages();
  HWND h = form->Handle();
  TvexSkinWindow* frame = engine->FindFrame(h);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->Skinned());
  const RECT place = WindowRect(h);
  const RECT cornerAt96 = corner->BoundsRect();
  const int clientW = form->ClientWidth(), clientH = form->ClientHeight();
  const int formFont = form->Font().Height();
  ASSERT_NE(formFont, 0);

  TellDpi(h, 192, Suggested(h, 192, 96));
  EXPECT_EQ(form->CurrentDpi(), 192);
  EXPECT_EQ(frame->Dpi(), 192);
  EXPECT_TRUE(SameRect(button->BoundsRect(), (RECT{40, 60, 220, 110})));
  EXPECT_TRUE(SameRect(own->BoundsRect(), (RECT{240, 60, 420, 110})));
  EXPECT_EQ(form->Font().Height(), 2 * formFont);
  EXPECT_EQ(button->Font().Height(), 2 * formFont);  // follows the form's
  EXPECT_EQ(own->Font().Height(), -30);
  EXPECT_EQ(Measure(h).title - frame->MenuBarHeight(), 2 * base.titleHeight);
  EXPECT_EQ(Measure(h).left, 2 * base.leftBorder);
  // The corner button: twice as large, twice as far from the (larger) client area's corner.
  EXPECT_EQ(corner->Width(), 180);
  EXPECT_EQ(corner->Height(), 60);
  EXPECT_EQ(form->ClientWidth() - corner->BoundsRect().right, 2 * (clientW - cornerAt96.right));
  EXPECT_EQ(form->ClientHeight() - corner->BoundsRect().bottom, 2 * (clientH - cornerAt96.bottom));

  TellDpi(h, 96, place);
  EXPECT_EQ(form->CurrentDpi(), 96);
  EXPECT_TRUE(SameRect(button->BoundsRect(), (RECT{20, 30, 110, 55})));
  EXPECT_TRUE(SameRect(own->BoundsRect(), (RECT{120, 30, 210, 55})));
  EXPECT_EQ(form->Font().Height(), formFont);
  EXPECT_EQ(own->Font().Height(), -15);
  EXPECT_TRUE(SameRect(corner->BoundsRect(), cornerAt96));
  EXPECT_TRUE(SameRect(WindowRect(h), place));
  EXPECT_EQ(form->ClientWidth(), clientW);
  EXPECT_EQ(form->ClientHeight(), clientH);
}

// A skin that carries its own images for 200 %: at 192 dots per inch the frame takes them (a
// title drawn taller than twice the skin's own), at 96 it is exactly the skin without them.
TEST_F(Dpi, TheSkinsOwnImagesForAScaleAreUsedAndIgnoredAtOtherScales) {
  const std::vector<std::uint8_t> plainFile = SkinWithoutScaledRecords();
  const image::TvexImage title96 = [&] {
    test::WriteFile(dir / "plain.vsk", plainFile);
    utils::TvexSkinReader r((dir / "plain.vsk"), "");
    return r.GetBitmap(keys::bitmap::SKIN2_TITLEBAR1)->ToImage();
  }();
  // Twice the width, two rows more than twice the height, one colour.
  test::TSkinVariant v;
  v.bitmaps["SKIN2_TITLEBAR1@200"] = image::TvexImage(title96.Width() * 2, title96.Height() * 2 + 2, 0x00336699);
  test::WriteFile(dir / "own200.vsk", v.Archive());

  engine->SetSkinFile((dir / "own200.vsk").u8string());
  ASSERT_TRUE(engine->IsSkinActive());
  EXPECT_EQ(engine->SkinMetrics(192).TitleBarHeight, title96.Height() * 2 + 2);
  EXPECT_EQ(engine->SkinMetrics(144).TitleBarHeight, keys::ScaleLength(title96.Height(), 144));
  EXPECT_EQ(engine->SkinMetrics(96).TitleBarHeight, title96.Height());

  HWND dlg = Keep(OpenDialog());
  engine->AttachWindow(dlg, true);
  PumpMessages();
  const TFrameSizes at96 = Measure(dlg);
  EXPECT_EQ(at96.title, title96.Height());
  TellDpi(dlg, 192, Suggested(dlg, 192, 96));
  EXPECT_EQ(Measure(dlg).title, title96.Height() * 2 + 2);
  // The skin's own picture, not the 96 DPI one scaled: its colour at the title's left edge.
  HDC dc = GetWindowDC(dlg);
  EXPECT_EQ(GetPixel(dc, 2, title96.Height() * 2), RGB(0x33, 0x66, 0x99));
  ReleaseDC(dlg, dc);

  // At 96 the skin reads as one without the record: every frame figure the same.
  TellDpi(dlg, 96, Suggested(dlg, 96, 192));
  EXPECT_EQ(Measure(dlg), at96);
  test::WriteFile(dir / "plain.vsk", plainFile);
  HWND other = Keep(OpenDialog());
  engine->SetSkinFile((dir / "plain.vsk").u8string());
  engine->AttachWindow(other, true);
  PumpMessages();
  EXPECT_EQ(Measure(other), at96);
}

// The system's own resolution, as a program that declares itself aware of it sees it: the form
// opens scaled to it and its frame is the skin's at that scale. Runs where the system is not at 96
// dots per inch (./run test runs it once more in a copy of the Wine prefix set to 144).
TEST_F(Dpi, TheSystemsResolutionReachesFormsAndFrames) {
  const int system = host::SystemDpi();
  if (system == 96) GTEST_SKIP() << "the system is at 96 dots per inch";
  host::DeclarePerMonitorDpiAwareness();
  UseSkinWithoutScaledRecords();
  const image::TFrameSkin base = SkinAt96();
  host::TComponentPtr<TForm> second(new TForm(nullptr));
  auto* button = new TButton(second.get());
  button->SetParent(second.get());
  button->SetBounds(20, 30, 90, 25);
  second->SetBounds(60, 60, 300, 200);
  engine->AttachOwnerForm(form.get());
  form->Show();
  second->Show();
  PumpMessages();
  EXPECT_EQ(host::WindowDpi(second->Handle()), system);
  EXPECT_EQ(second->CurrentDpi(), system);
  const auto L = [system](int v) { return keys::ScaleLength(v, system); };
  EXPECT_TRUE(SameRect(button->BoundsRect(), (RECT{L(20), L(30), L(110), L(55)})));
  TvexSkinWindow* frame = engine->FindFrame(second->Handle());
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->Skinned());
  EXPECT_EQ(frame->Dpi(), system);
  const TFrameSizes sizes = Measure(second->Handle());
  EXPECT_EQ(sizes.left, L(base.leftBorder));
  EXPECT_EQ(sizes.bottom, L(base.bottomBorder));
  second.reset();
}

// Controls aligned to one side keep their order when their form scales: each is scaled while its
// neighbours still stand at the old scale, and a control laid out again before the others moved
// once jumped over the next one.
TEST_F(Dpi, AlignedControlsKeepTheirOrderWhenTheirFormScales) {
  host::TComponentPtr<TForm> f(new TForm(nullptr));
  f->SetBounds(50, 50, 400, 300);
  struct TRow {
    TAlign align;
    int size;
  };
  const TRow rows[] = {{alTop, 20}, {alTop, 30}, {alTop, 25}, {alBottom, 22}, {alBottom, 18}, {alLeft, 40}, {alLeft, 30}, {alClient, 0}};
  std::vector<TPanel*> panels;
  for (const TRow& row : rows) {
    auto* p = new TPanel(f.get());
    p->SetParent(f.get());
    if (row.align == alLeft)
      p->SetWidth(row.size);
    else if (row.align != alClient)
      p->SetHeight(row.size);
    p->SetAlign(row.align);
    panels.push_back(p);
  }
  f->Show();
  PumpMessages();
  std::vector<RECT> at96;
  for (TPanel* p : panels) at96.push_back(p->BoundsRect());

  const int cw = f->ClientWidth(), ch = f->ClientHeight(), base = f->CurrentDpi();
  f->ScaleToDpi(2 * base);
  PumpMessages();
  ASSERT_EQ(f->ClientWidth(), 2 * cw);
  ASSERT_EQ(f->ClientHeight(), 2 * ch);
  // The client area doubled: so did every edge of every panel, in the same order.
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const RECT r = panels[i]->BoundsRect(), o = at96[i];
    EXPECT_TRUE(SameRect(r, (RECT{2 * o.left, 2 * o.top, 2 * o.right, 2 * o.bottom})))
        << "panel " << i << ": " << r.left << "," << r.top << "-" << r.right << "," << r.bottom << " from " << o.left << "," << o.top
        << "-" << o.right << "," << o.bottom;
  }
  f->ScaleToDpi(base);
  PumpMessages();
  for (std::size_t i = 0; i < panels.size(); ++i) EXPECT_TRUE(SameRect(panels[i]->BoundsRect(), at96[i])) << "panel " << i;
}

// A skinned form with a menu: its controls stand below the skinned menu bar at every resolution,
// and unskinned at the new one they stand where the form's own scale puts them, the bar's row
// given back (the row was once given back at its old height, leaving the controls too low).
TEST_F(Dpi, ControlsBelowTheMenuBarFollowAResolutionChangeAndUnskinning) {
  UseSkinWithoutScaledRecords();
  form->SetBounds(80, 80, 400, 260);
  auto* menu = new TMainMenu(form.get());
  auto* file = new TMenuItem(form.get());
  file->SetCaption(L"&File");
  menu->Items()->Add(file);
  auto* open = new TMenuItem(form.get());
  open->SetCaption(L"&Open");
  file->Add(open);
  form->SetMenu(menu);
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(20, 30, 90, 25);
  engine->AttachOwnerForm(form.get());
  form->Show();
  PumpMessages();
  TvexSkinWindow* frame = engine->FindFrame(form->Handle());
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->Skinned());
  ASSERT_GT(frame->MenuBarHeight(), 0);
  EXPECT_EQ(button->Top(), 30 + frame->MenuBarHeight());

  struct TStep {
    int dpi;
    RECT unskinned;  // where the button stands with the skin off at that resolution
  };
  for (const TStep& step : {TStep{192, RECT{40, 60, 220, 110}}, TStep{144, RECT{30, 45, 165, 83}}, TStep{96, RECT{20, 30, 110, 55}}}) {
    SCOPED_TRACE(testing::Message() << step.dpi << " dots per inch");
    TellDpi(form->Handle(), step.dpi, Suggested(form->Handle(), step.dpi, frame->Dpi()));
    ASSERT_EQ(frame->Dpi(), step.dpi);
    EXPECT_EQ(button->Top(), step.unskinned.top + frame->MenuBarHeight()) << "below the bar";
    EXPECT_EQ(button->Left(), step.unskinned.left);
    // A skin switch at the new resolution keeps the window where and as large as it is.
    const RECT place = WindowRect(form->Handle());
    SwitchSkin();
    frame = engine->FindFrame(form->Handle());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(SameRect(WindowRect(form->Handle()), place)) << "a skin switch";
    EXPECT_EQ(button->Top(), step.unskinned.top + frame->MenuBarHeight());
    engine->SetActive(false);
    PumpMessages();
    EXPECT_TRUE(SameRect(button->BoundsRect(), step.unskinned)) << button->Left() << "," << button->Top();
    engine->SetActive(true);
    PumpMessages();
    ASSERT_TRUE(frame->Skinned());
    EXPECT_EQ(button->Top(), step.unskinned.top + frame->MenuBarHeight());
    EXPECT_TRUE(SameRect(WindowRect(form->Handle()), place)) << "skinning off and on again";
  }
}

// A multiple-document frame opened on a monitor at 144 dots per inch, then moved to one at 192:
// a maximized child's buttons in the bar's row are the frame's scale (18 pixels at 96), side by
// side and inside the client area, whatever scaled the frame's controls; the bar has the system's
// menu font at the frame's scale (scaled once, not again with the form's controls).
TEST_F(Dpi, TheButtonsOfAMaximizedDocumentScaleWithTheirFrame) {
  UseSkinWithoutScaledRecords();
  gDpi = 144;
  host::SetWindowDpiQuery(DpiAnswer);
  TCustomForm* savedMain = Application().MainForm();
  host::TComponentPtr<TForm> mdi(new TForm(nullptr));
  mdi->SetFormStyle(fsMDIForm);
  mdi->SetBounds(40, 40, 640, 480);
  auto* menu = new TMainMenu(mdi.get());
  auto* file = new TMenuItem(mdi.get());
  file->SetCaption(L"File");
  menu->Items()->Add(file);
  mdi->SetMenu(menu);
  mdi->Show();
  PumpMessages();
  auto* wrapper = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(mdi->Handle()));
  ASSERT_NE(wrapper, nullptr);
  auto* child = new TForm(mdi.get());
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(0, 0, 200, 150);
  child->Show();
  PumpMessages();
  child->SetWindowState(wsMaximized);
  PumpMessages();
  ASSERT_TRUE(IsZoomed(child->Handle()));

  for (const int dpi : {144, 192, 96}) {
    SCOPED_TRACE(testing::Message() << dpi << " dots per inch");
    if (dpi != wrapper->Dpi()) TellDpi(mdi->Handle(), dpi, Suggested(mdi->Handle(), dpi, wrapper->Dpi()));
    ASSERT_EQ(wrapper->Dpi(), dpi);
    const int MH = wrapper->MenuBarHeight();
    ASSERT_GT(MH, 0);
    // 18 pixels at 96 dots per inch, within the bar's row.
    const int size = std::min(keys::ScaleLength(18, dpi), MH);
    EXPECT_GE(size, keys::ScaleLength(18, dpi) - 2);
    TFont menuFont;
    utils::AssignMenuFont(menuFont, dpi);
    EXPECT_EQ(wrapper->FMenuBar->Font().Height(), menuFont.Height());
    RECT client{};
    GetClientRect(mdi->Handle(), &client);
    for (int i = 0; i < 3; ++i) {
      TvexSkinMenuBarControlButton* b = wrapper->FMDIButtons[static_cast<std::size_t>(i)];
      ASSERT_NE(b, nullptr);
      RECT r = WindowRect(b->Handle());
      MapWindowPoints(nullptr, mdi->Handle(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(b->Glyph().Width(), keys::ScaleLength(16, dpi)) << "button " << i << ": its glyph at the frame's scale";
      EXPECT_EQ(r.right - r.left, size) << "button " << i;
      EXPECT_EQ(r.bottom - r.top, size) << "button " << i;
      EXPECT_EQ(r.bottom, MH) << "button " << i;
      EXPECT_LE(r.right, client.right) << "button " << i;
      if (i > 0) {
        RECT next = WindowRect(wrapper->FMDIButtons[static_cast<std::size_t>(i - 1)]->Handle());
        MapWindowPoints(nullptr, mdi->Handle(), reinterpret_cast<POINT*>(&next), 2);
        EXPECT_EQ(r.right, next.left) << "button " << i << " beside the one on its right";
      }
    }
  }
  mdi.reset();
  PumpMessages();
  Application().SetMainForm(savedMain);
}

// A status bar's panels are as wide as its form's scale makes them: the text each was sized for
// still fits.
TEST_F(Dpi, StatusPanelsScaleWithTheirForm) {
  host::TComponentPtr<TForm> f(new TForm(nullptr));
  f->SetBounds(50, 50, 500, 200);
  auto* bar = new TStatusBar(f.get());
  bar->SetParent(f.get());
  f->Show();
  PumpMessages();
  // Widths for the form's own resolution, whatever the system's.
  for (const int w : {160, 121, 80}) bar->Panels().Add()->SetWidth(w);
  const int base = f->CurrentDpi();
  f->ScaleToDpi(base * 3 / 2);
  EXPECT_EQ(bar->Panels().Items(0)->Width(), 240);
  EXPECT_EQ(bar->Panels().Items(1)->Width(), 182);  // 181.5, rounded
  EXPECT_EQ(bar->Panels().Items(2)->Width(), 120);
  int parts[4] = {};
  ASSERT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 3);
  EXPECT_EQ(parts[0], 240);
  EXPECT_EQ(parts[1], 240 + 182);
  f->ScaleToDpi(base);
  EXPECT_EQ(bar->Panels().Items(0)->Width(), 160);
  EXPECT_EQ(bar->Panels().Items(1)->Width(), 121);
  EXPECT_EQ(bar->Panels().Items(2)->Width(), 80);
}

// A page control's tabs grow with its scaled font and its pages stand below them: a caption fits
// its tab and no page covers it, whether the form scales while it shows or opens at a scale
// (under the skin too, with images on the tabs).
TEST_F(Dpi, TabsGrowWithTheirScaledFontAndThePagesStayBelowThem) {
  auto* images = new TImageList(form.get());
  TBitmap picture(16, 16, TPixelFormat::pf24bit);
  images->Add(picture);
  auto makeForm = [&](TPageControl*& pages) {
    host::TComponentPtr<TForm> f(new TForm(nullptr));
    f->SetBounds(20, 20, 480, 300);
    pages = new TPageControl(f.get());
    pages->SetParent(f.get());
    pages->SetImages(images);
    pages->SetBounds(10, 60, 440, 170);
    pages->SetAnchors(akLeft | akTop | akRight | akBottom);
    for (const wchar_t* caption : {L"General", L"Fish && Chips", L"Advanced"}) {
      auto* page = new TTabSheet(f.get());
      page->SetPageControl(pages);
      page->SetCaption(caption);
      page->SetImageIndex(0);
    }
    pages->SetActivePageIndex(1);
    f->Show();
    PumpMessages();
    engine->AttachWindow(f->Handle(), false);
    PumpMessages();
    EXPECT_NE(engine->FindFrame(f->Handle()), nullptr);
    return f;
  };
  auto expectFits = [](TPageControl* pages) {
    RECT tab{};
    SendMessageW(pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    HDC dc = GetDC(pages->Handle());
    HGDIOBJ old = SelectObject(dc, pages->Font().Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(pages->Handle(), dc);
    EXPECT_GT(tab.bottom - tab.top, tm.tmHeight) << "the caption fits its tab";
    RECT display{};
    GetClientRect(pages->Handle(), &display);
    SendMessageW(pages->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    EXPECT_GE(display.top, tab.bottom);
    for (int i = 0; i < pages->PageCount(); ++i)
      EXPECT_TRUE(SameRect(pages->Pages(i)->BoundsRect(), display))
          << "page " << i << " at " << pages->Pages(i)->Left() << "," << pages->Pages(i)->Top() << "-"
          << pages->Pages(i)->BoundsRect().right << "," << pages->Pages(i)->BoundsRect().bottom << ", the pages' place "
          << display.left << "," << display.top << "-" << display.right << "," << display.bottom;
    return tab.bottom - tab.top;
  };

  TPageControl* pages = nullptr;
  host::TComponentPtr<TForm> f = makeForm(pages);
  const int base = f->CurrentDpi();
  const int atBase = expectFits(pages);
  f->ScaleToDpi(2 * base);
  PumpMessages();
  SCOPED_TRACE("scaled while showing");
  EXPECT_GT(expectFits(pages), atBase) << "the tabs grew";
  f->ScaleToDpi(base);
  PumpMessages();
  EXPECT_EQ(expectFits(pages), atBase);
  f.reset();

  // A form opened on a monitor at twice the scale.
  gDpi = 2 * base;
  host::SetWindowDpiQuery(DpiAnswer);
  TPageControl* opened = nullptr;
  host::TComponentPtr<TForm> g = makeForm(opened);
  ASSERT_EQ(g->CurrentDpi(), 2 * base);
  SCOPED_TRACE("opened at twice the scale");
  EXPECT_GT(expectFits(opened), atBase);
}

// A dialog moved to monitors of other scales (125, 150, 200 % and back): at each, a skin switch
// and skinning switched off and on again leave it exactly where and as large as it is (what
// skinning added to its size is what the frame adds at the new scale, not the old figure scaled).
TEST_F(Dpi, ADialogKeepsItsPlaceThroughSkinSwitchesAtEveryScale) {
  UseSkinWithoutScaledRecords();
  HWND dlg = Keep(OpenDialog());
  engine->AttachWindow(dlg, true);
  PumpMessages();
  TvexSkinWindow* frame = engine->FindFrame(dlg);
  ASSERT_NE(frame, nullptr);
  for (const int dpi : {120, 144, 192, 96}) {
    SCOPED_TRACE(testing::Message() << dpi << " dots per inch");
    TellDpi(dlg, dpi, Suggested(dlg, dpi, frame->Dpi()));
    ASSERT_EQ(frame->Dpi(), dpi);
    const RECT place = WindowRect(dlg);
    RECT client{};
    GetClientRect(dlg, &client);
    SwitchSkin();
    ASSERT_EQ(engine->FindFrame(dlg), frame);
    EXPECT_TRUE(SameRect(WindowRect(dlg), place)) << "a skin switch";
    engine->SetActive(false);
    PumpMessages();
    engine->SetActive(true);
    PumpMessages();
    ASSERT_TRUE(Skinned(dlg));
    EXPECT_TRUE(SameRect(WindowRect(dlg), place)) << "skinning off and on again";
    RECT now{};
    GetClientRect(dlg, &now);
    EXPECT_TRUE(SameRect(now, client));
  }
}

// The documents of a multiple-document frame follow the frame to a monitor of another scale (the
// system tells only the frame): their frames at the new scale, their controls and places scaled.
TEST_F(Dpi, DocumentsFollowTheirFrameToANewScale) {
  UseSkinWithoutScaledRecords();
  const image::TFrameSkin base = SkinAt96();
  TCustomForm* savedMain = Application().MainForm();
  host::TComponentPtr<TForm> mdi(new TForm(nullptr));
  mdi->SetFormStyle(fsMDIForm);
  mdi->SetBounds(40, 40, 640, 480);
  mdi->Show();
  PumpMessages();
  TvexSkinWindow* frame = engine->FindFrame(mdi->Handle());
  ASSERT_NE(frame, nullptr);
  auto* child = new TForm(mdi.get());
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(30, 20, 260, 180);
  auto* button = new TButton(child);
  button->SetParent(child);
  button->SetBounds(10, 12, 80, 24);
  child->Show();
  PumpMessages();
  child->SetBounds(30, 20, child->Width(), child->Height());
  PumpMessages();
  TvexSkinWindow* document = engine->FindFrame(child->Handle());
  ASSERT_NE(document, nullptr);
  ASSERT_TRUE(document->Skinned());
  const TFrameSizes at96 = Measure(child->Handle());
  ASSERT_EQ(at96.title, base.titleHeight);
  // A document that does not scale keeps its controls; its skinned frame is at the new scale.
  auto* fixed = new TForm(mdi.get());
  fixed->SetFormStyle(fsMDIChild);
  fixed->SetScaled(false);
  fixed->SetBounds(60, 50, 260, 180);
  auto* fixedButton = new TButton(fixed);
  fixedButton->SetParent(fixed);
  fixedButton->SetBounds(10, 12, 80, 24);
  fixed->Show();
  PumpMessages();
  TvexSkinWindow* fixedFrame = engine->FindFrame(fixed->Handle());
  ASSERT_NE(fixedFrame, nullptr);

  TellDpi(mdi->Handle(), 192, Suggested(mdi->Handle(), 192, 96));
  EXPECT_EQ(fixedFrame->Dpi(), 192);
  EXPECT_EQ(fixed->CurrentDpi(), 96);
  EXPECT_TRUE(SameRect(fixedButton->BoundsRect(), (RECT{10, 12, 90, 36})));
  EXPECT_EQ(Measure(fixed->Handle()).title, 2 * base.titleHeight);
  EXPECT_EQ(frame->Dpi(), 192);
  EXPECT_EQ(document->Dpi(), 192);
  EXPECT_EQ(child->CurrentDpi(), 192);
  EXPECT_EQ(Measure(child->Handle()).title, 2 * base.titleHeight);
  EXPECT_EQ(Measure(child->Handle()).left, 2 * base.leftBorder);
  EXPECT_TRUE(SameRect(button->BoundsRect(), (RECT{20, 24, 180, 72})));
  EXPECT_EQ(child->Left(), 60);
  EXPECT_EQ(child->Top(), 40);

  TellDpi(mdi->Handle(), 96, Suggested(mdi->Handle(), 96, 192));
  EXPECT_EQ(document->Dpi(), 96);
  EXPECT_EQ(Measure(child->Handle()), at96);
  EXPECT_TRUE(SameRect(button->BoundsRect(), (RECT{10, 12, 90, 36})));
  EXPECT_EQ(child->Left(), 30);
  EXPECT_EQ(child->Top(), 20);
  mdi.reset();
  PumpMessages();
  Application().SetMainForm(savedMain);
}

// A cool bar's bands are as tall as their scaled controls, whose text fits them, whether the
// form scales while it shows or opens at a scale.
TEST_F(Dpi, CoolBandsHoldTheirScaledControls) {
  auto makeForm = [&](TEdit*& edit, TComboBox*& combo, TCoolBar*& cool) {
    host::TComponentPtr<TForm> f(new TForm(nullptr));
    f->SetBounds(50, 50, 640, 400);
    cool = new TCoolBar(f.get());
    cool->SetParent(f.get());
    edit = new TEdit(f.get());
    edit->SetParent(cool);
    edit->SetText(L"Z:\\gallery");
    combo = new TComboBox(f.get());
    combo->SetParent(cool);
    combo->Items().Add("Tabs");
    combo->SetItemIndex(0);
    TCoolBand* first = cool->Bands().Add();
    first->SetText(L"Address");
    first->SetControl(edit);
    first->SetWidth(380);
    TCoolBand* second = cool->Bands().Add();
    second->SetText(L"Find");
    second->SetControl(combo);
    f->Show();
    PumpMessages();
    return f;
  };
  auto textHeight = [](TWinControl* c) {
    HDC dc = GetDC(c->Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c->Handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(c->Handle(), dc);
    return static_cast<int>(tm.tmHeight);
  };
  auto expectFits = [&](TEdit* edit, TComboBox* combo, TCoolBar* cool) {
    for (TWinControl* c : {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(combo)}) {
      RECT r{};
      GetClientRect(c->Handle(), &r);
      EXPECT_GT(r.bottom, textHeight(c)) << c->ClassName() << ": its text fits";
      RECT w = WindowRect(c->Handle());
      MapWindowPoints(nullptr, cool->Handle(), reinterpret_cast<POINT*>(&w), 2);
      RECT bar{};
      GetClientRect(cool->Handle(), &bar);
      EXPECT_LE(w.bottom, bar.bottom) << c->ClassName() << ": inside the bar";
    }
    return static_cast<int>(SendMessageW(cool->Handle(), RB_GETBARHEIGHT, 0, 0));
  };

  TEdit* edit = nullptr;
  TComboBox* combo = nullptr;
  TCoolBar* cool = nullptr;
  host::TComponentPtr<TForm> f = makeForm(edit, combo, cool);
  const int base = f->CurrentDpi();
  const int atBase = expectFits(edit, combo, cool);
  {
    SCOPED_TRACE("scaled while showing");
    f->ScaleToDpi(2 * base);
    PumpMessages();
    EXPECT_GT(expectFits(edit, combo, cool), atBase + atBase / 2);
    f->ScaleToDpi(base);
    PumpMessages();
    EXPECT_EQ(expectFits(edit, combo, cool), atBase);
  }
  f.reset();
  gDpi = 2 * base;
  host::SetWindowDpiQuery(DpiAnswer);
  host::TComponentPtr<TForm> g = makeForm(edit, combo, cool);
  ASSERT_EQ(g->CurrentDpi(), 2 * base);
  SCOPED_TRACE("opened at twice the scale");
  EXPECT_GT(expectFits(edit, combo, cool), atBase + atBase / 2);
}

// A window shaped by the skin's title (the default skin rounds its top corners) has, after a
// move to 200 %, the shape a window opened there has: its corners cut at the new scale.
TEST_F(Dpi, AShapedWindowTakesTheShapeOfItsNewScale) {
  UseSkinWithoutScaledRecords();
  ASSERT_TRUE(engine->CurrentReader()->GetSwitch(keys::switches::SKIN2_TITLEBARNEEDREGION));
  // Which points of the window's two top corners (24 x 24 each) are in its shape.
  auto corners = [](HWND w) {
    std::vector<bool> in;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(w, rgn) != ERROR;
    const RECT wr = WindowRect(w);
    const int W = wr.right - wr.left;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        in.push_back(has && PtInRegion(rgn, x, y));
        in.push_back(has && PtInRegion(rgn, W - 1 - x, y));
      }
    DeleteObject(rgn);
    return in;
  };
  HWND moved = Keep(OpenDialog());
  engine->AttachWindow(moved, true);
  PumpMessages();
  const std::vector<bool> at96 = corners(moved);
  ASSERT_NE(std::count(at96.begin(), at96.end(), false), 0) << "the corners are cut";
  TellDpi(moved, 192, Suggested(moved, 192, 96));

  gDpi = 192;
  host::SetWindowDpiQuery(DpiAnswer);
  HWND opened = Keep(OpenDialog());
  engine->AttachWindow(opened, true);
  PumpMessages();
  ASSERT_EQ(engine->FindFrame(opened)->Dpi(), 192);
  const std::vector<bool> want = corners(opened);
  EXPECT_GT(std::count(want.begin(), want.end(), false), std::count(at96.begin(), at96.end(), false));
  EXPECT_EQ(corners(moved), want);
}

// The skin at other resolutions is made again for each new skin and the old one's goes: switching
// skins with windows at 150 % and 200 % open holds no more GDI objects than the first switch did.
TEST_F(Dpi, ScaledSkinsGoWithTheirSkin) {
  UseSkinWithoutScaledRecords();
  HWND a = Keep(OpenDialog());
  HWND b = Keep(OpenDialog());
  engine->AttachWindow(a, true);
  engine->AttachWindow(b, true);
  PumpMessages();
  TellDpi(a, 144, Suggested(a, 144, 96));
  TellDpi(b, 192, Suggested(b, 192, 96));
  SwitchSkin();
  SwitchSkin();
  // The framework counts the GDI objects it holds (the system's count is not kept under Wine).
  const long before = host::GdiLiveObjects();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 20; ++i) SwitchSkin();
  EXPECT_LE(host::GdiLiveObjects(), before + 4);
  EXPECT_EQ(engine->FindFrame(a)->Dpi(), 144);
  EXPECT_EQ(engine->SkinMetrics(192).TitleBarHeight, 2 * engine->SkinMetrics(96).TitleBarHeight);
}

// A form that does not scale (Scaled off) keeps its controls and font at a new resolution; its
// skinned menu bar is the frame's and takes the menu font at that resolution, the controls
// staying just below it.
TEST_F(Dpi, AnUnscaledFormKeepsItsControlsBelowAMenuBarAtTheNewScale) {
  UseSkinWithoutScaledRecords();
  form->SetScaled(false);
  form->SetBounds(80, 80, 400, 260);
  auto* menu = new TMainMenu(form.get());
  auto* file = new TMenuItem(form.get());
  file->SetCaption(L"&File");
  menu->Items()->Add(file);
  form->SetMenu(menu);
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(20, 30, 90, 25);
  engine->AttachOwnerForm(form.get());
  form->Show();
  PumpMessages();
  auto* frame = dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(form->Handle()));
  ASSERT_NE(frame, nullptr);
  const int fontHeight = form->Font().Height();
  for (const int dpi : {192, 96}) {
    SCOPED_TRACE(testing::Message() << dpi << " dots per inch");
    TellDpi(form->Handle(), dpi, Suggested(form->Handle(), dpi, frame->Dpi()));
    EXPECT_EQ(form->CurrentDpi(), 96);
    EXPECT_EQ(form->Font().Height(), fontHeight);
    TFont menuFont;
    utils::AssignMenuFont(menuFont, dpi);
    EXPECT_EQ(frame->FMenuBar->Font().Height(), menuFont.Height());
    EXPECT_TRUE(SameRect(button->BoundsRect(), (RECT{20, 30 + frame->MenuBarHeight(), 110, 55 + frame->MenuBarHeight()})));
  }
  engine->SetActive(false);
  PumpMessages();
  EXPECT_TRUE(SameRect(button->BoundsRect(), (RECT{20, 30, 110, 55})));
  EXPECT_FALSE(form->Scaled());
}

}  // namespace
}  // namespace vex::engine
