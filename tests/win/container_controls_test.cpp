// The framework's containers, labels and bars with real windows, keys and clicks: group boxes,
// panels, labels, frames read from their own stored forms, status bars, cool bars, tab controls
// and page controls, and a stored form that carries each of them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/application.h"
#include "host/button_controls.h"
#include "host/cool_bar.h"
#include "host/edit.h"
#include "host/form.h"
#include "host/form_stream.h"
#include "host/frames.h"
#include "host/image_list.h"
#include "host/status_bar.h"
#include "host/std_controls.h"
#include "host/tab_controls.h"
#include "host/tool_bar.h"
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

// The window's pixel at a client point, after the window painted itself completely.
COLORREF PixelAfterPaint(HWND wnd, int x, int y) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(wnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(wnd, dc);
  return c;
}

COLORREF Rgb(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)); }

// How many pixels of a client rectangle differ from a colour.
int PixelsNotOf(HWND wnd, const RECT& r, COLORREF colour) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(wnd);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (GetPixel(dc, x, y) != colour) ++n;
  ReleaseDC(wnd, dc);
  return n;
}

std::wstring StatusText(HWND bar, int part) {
  const LRESULT len = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
  std::wstring s(static_cast<std::size_t>(LOWORD(len)) + 1, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<std::size_t>(LOWORD(len)));
  return s;
}

std::wstring NativeTabText(HWND tc, int index) {
  wchar_t buffer[128] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = 128;
  SendMessageW(tc, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int NativeTabImage(HWND tc, int index) {
  TCITEMW item{};
  item.mask = TCIF_IMAGE;
  SendMessageW(tc, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

// A click in the middle of a tab.
void ClickTab(TCustomTabControl* tc, int index) {
  RECT r{};
  SendMessageW(tc->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(tc->Handle(), &p);
  ClickScreen(p);
  PumpFor(100);
}

// A shown, active form to put controls on; exceptions that reach a window procedure fail the test.
class ContainerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    form.reset(new TForm(nullptr));
    form->SetName("Form1");
    form->SetBounds(40, 40, 560, 420);
    form->Show();
    test::Activate(form->Handle());
  }
  void TearDown() override {
    ReleaseCapture();
    form.reset();
    Pump();
    EXPECT_TRUE(errors.empty()) << errors.front();
  }
  template <class T>
  T* Make(TWinControl* parent, int left, int top, int width, int height) {
    auto* c = new T(form.get());
    c->SetBounds(left, top, width, height);
    c->SetParent(parent);
    return c;
  }
  void Keys(std::initializer_list<WORD> keys) {
    Chord(keys);
    PumpFor(80);
  }
  TComponentPtr<TForm> form;
  std::vector<std::string> errors;
};

// ----- group boxes -----

class ContainerGroupBox : public ContainerFixture {};

TEST_F(ContainerGroupBox, CaptionSitsInTheFrameAtEitherSideAndChildrenTakeTheFocus) {
  auto* box = Make<TGroupBox>(form.get(), 10, 10, 200, 120);
  box->SetCaption(L"&Options");
  box->SetColor(clWhite);
  auto* first = Make<TEdit>(box, 10, 30, 100, 21);
  auto* second = Make<TEdit>(box, 10, 60, 100, 21);
  auto* outside = Make<TEdit>(form.get(), 250, 10, 100, 21);
  first->SetName("First");
  ASSERT_EQ(first->Parent(), box);
  EXPECT_TRUE(IsChild(box->Handle(), first->Handle()));

  const RECT cap = box->CaptionRect();
  EXPECT_EQ(cap.left, 8);
  EXPECT_GT(cap.right - cap.left, 20);
  HWND h = box->Handle();
  const int lineY = (cap.bottom - cap.top) / 2;
  // The etched frame: a dark line left of the caption, cut where the caption stands.
  EXPECT_EQ(PixelAfterPaint(h, 3, lineY), Rgb(clBtnShadow));
  EXPECT_EQ(PixelAfterPaint(h, 3, 119 - 1), Rgb(clBtnShadow)) << "bottom edge";
  EXPECT_GT(PixelsNotOf(h, cap, Rgb(clWhite)), 10) << "caption text drawn";
  // Right to left: the caption moves to the right end of the frame.
  box->SetBiDiMode(bdRightToLeft);
  const RECT rtl = box->CaptionRect();
  EXPECT_EQ(rtl.right, 200 - 8);
  EXPECT_EQ(rtl.right - rtl.left, cap.right - cap.left);
  EXPECT_EQ(PixelAfterPaint(h, 3, lineY), Rgb(clBtnShadow));
  EXPECT_EQ(PixelsNotOf(h, RECT{cap.left, cap.top, cap.left + 20, cap.bottom}, Rgb(clWhite)),
            PixelsNotOf(h, RECT{cap.left, lineY, cap.left + 20, lineY + 2}, Rgb(clWhite)))
      << "only the frame line is left where the caption stood";
  // Tab goes through the children in order; Alt+O focuses the box's first child.
  outside->SetFocus();
  Keys({VK_TAB});
  EXPECT_EQ(GetFocus(), first->Handle());
  Keys({VK_TAB});
  EXPECT_EQ(GetFocus(), second->Handle());
  outside->SetFocus();
  Keys({VK_MENU, 'O'});
  EXPECT_EQ(GetFocus(), first->Handle());
}

// ----- panels -----

class ContainerPanel : public ContainerFixture {};

TEST_F(ContainerPanel, BevelsArePaintedOuterThenInnerWithTheirWidth) {
  struct Case {
    TBevelCut outer, inner;
    int width;
    // Expected colours at the top-left corner going inwards, and at the bottom-right going inwards.
    std::vector<TColor> topLeft, bottomRight;
  };
  const TColor hi = clBtnHighlight, sh = clBtnShadow, face = clYellow;
  const Case cases[] = {
      {bvRaised, bvNone, 1, {hi, face}, {sh, face}},
      {bvLowered, bvNone, 1, {sh, face}, {hi, face}},
      {bvRaised, bvLowered, 1, {hi, sh, face}, {sh, hi, face}},
      {bvLowered, bvRaised, 2, {sh, sh, hi, hi, face}, {hi, hi, sh, sh, face}},
      {bvNone, bvNone, 1, {face, face}, {face, face}},
      {bvSpace, bvRaised, 1, {face, hi, face}, {face, sh, face}},
  };
  auto* panel = Make<TPanel>(form.get(), 10, 10, 120, 60);
  panel->SetColor(face);
  for (const Case& c : cases) {
    panel->SetBevelOuter(c.outer);
    panel->SetBevelInner(c.inner);
    panel->SetBevelWidth(c.width);
    for (std::size_t i = 0; i < c.topLeft.size(); ++i) {
      const int d = static_cast<int>(i);
      EXPECT_EQ(PixelAfterPaint(panel->Handle(), d, 30), Rgb(c.topLeft[i])) << "outer " << c.outer << " inner " << c.inner << " at " << d;
      EXPECT_EQ(PixelAfterPaint(panel->Handle(), 60, d), Rgb(c.topLeft[i])) << "top, at " << d;
      EXPECT_EQ(PixelAfterPaint(panel->Handle(), 119 - d, 30), Rgb(c.bottomRight[i])) << "right, at " << d;
      EXPECT_EQ(PixelAfterPaint(panel->Handle(), 60, 59 - d), Rgb(c.bottomRight[i])) << "bottom, at " << d;
    }
  }
}

TEST_F(ContainerPanel, BorderCaptionAndParentBackground) {
  auto* panel = Make<TPanel>(form.get(), 10, 10, 120, 60);
  panel->SetCaption(L"Hello");
  panel->SetColor(clYellow);
  panel->SetBevelOuter(bvNone);
  HWND old = panel->Handle();
  EXPECT_EQ(GetWindowLongW(old, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  panel->SetBorderStyle(bsSingle);
  Pump();
  EXPECT_NE(panel->Handle(), old);
  EXPECT_NE(GetWindowLongW(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_EQ(panel->Caption(), L"Hello");
  // The caption moves with Alignment: its ink is in the left, middle or right third.
  RECT client;
  GetClientRect(panel->Handle(), &client);
  const int third = client.right / 3;
  const RECT parts[] = {{0, 0, third, client.bottom}, {third, 0, 2 * third, client.bottom}, {2 * third, 0, client.right, client.bottom}};
  const TAlignment order[] = {taLeftJustify, taCenter, taRightJustify};
  for (int i = 0; i < 3; ++i) {
    panel->SetAlignment(order[i]);
    for (int j = 0; j < 3; ++j)
      if (i == j)
        EXPECT_GT(PixelsNotOf(panel->Handle(), parts[j], Rgb(clYellow)), 5) << "alignment " << order[i];
      else
        EXPECT_EQ(PixelsNotOf(panel->Handle(), parts[j], Rgb(clYellow)), 0) << "alignment " << order[i] << " part " << j;
  }
  // With ParentBackground the form's colour shows instead of the panel's.
  panel->SetCaption(L"");
  form->SetColor(clAqua);
  panel->SetParentBackground(true);
  EXPECT_EQ(PixelAfterPaint(panel->Handle(), 50, 30), Rgb(clAqua));
  panel->SetParentBackground(false);
  EXPECT_EQ(PixelAfterPaint(panel->Handle(), 50, 30), Rgb(clYellow));
}

// ----- labels -----

class ContainerLabel : public ContainerFixture {};

TEST_F(ContainerLabel, LayoutPutsTheTextAtTheTopMiddleOrBottom) {
  form->SetColor(clWhite);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 150, 90);
  label->SetCaption(L"Xy");
  // The rows holding ink, as a fraction of the label's height.
  const auto inkRows = [&](int& first, int& last) {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(form->Handle());
    first = -1;
    last = -1;
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 60; ++x)
        if (GetPixel(dc, 10 + x, 10 + y) != Rgb(clWhite)) {
          if (first < 0) first = y;
          last = y;
          break;
        }
    ReleaseDC(form->Handle(), dc);
  };
  int top0, top1, mid0, mid1, bot0, bot1;
  inkRows(top0, top1);
  label->SetLayout(tlCenter);
  inkRows(mid0, mid1);
  label->SetLayout(tlBottom);
  inkRows(bot0, bot1);
  ASSERT_GE(top0, 0);
  EXPECT_LT(top1, 30);
  EXPECT_NEAR((mid0 + mid1) / 2, 45, 6);
  EXPECT_GT(bot0, 60);
  EXPECT_EQ(top1 - top0, bot1 - bot0);
}

TEST_F(ContainerLabel, WordWrapGrowsDownwardsAndTransparencyShowsTheParent) {
  form->SetColor(clWhite);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(10, 10, 80, 17);
  label->SetCaption(L"one two three four five six seven");
  const int oneLine = label->Height();
  EXPECT_GT(label->Width(), 80) << "single line: as wide as the text";
  label->SetWidth(80);
  label->SetWordWrap(true);
  EXPECT_EQ(label->Width(), 80);
  EXPECT_GE(label->Height(), 3 * oneLine) << "wrapped to several lines at the same width";
  // Opaque, the label fills with its colour; transparent, the form's shows.
  label->SetCaption(L"");
  label->SetColor(clRed);
  label->SetTransparent(false);
  EXPECT_EQ(PixelAfterPaint(form->Handle(), 12, 12), Rgb(clRed));
  label->SetTransparent(true);
  EXPECT_EQ(PixelAfterPaint(form->Handle(), 12, 12), Rgb(clWhite));
}

TEST_F(ContainerLabel, AltAndTheAcceleratorLetterFocusTheFocusControl) {
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetCaption(L"&Name:");
  auto* other = Make<TLabel>(form.get(), 0, 40, 60, 17);
  other->SetCaption(L"Fish && &Chips");
  auto* name = Make<TEdit>(form.get(), 80, 10, 100, 21);
  auto* chips = Make<TEdit>(form.get(), 80, 40, 100, 21);
  auto* start = Make<TButton>(form.get(), 80, 80, 75, 25);
  label->SetFocusControl(name);
  other->SetFocusControl(chips);
  EXPECT_TRUE(IsAccel(L'n', L"&Name"));
  EXPECT_FALSE(IsAccel(L'f', L"Fish && &Chips"));
  EXPECT_TRUE(IsAccel(L'C', L"Fish && &Chips"));
  start->SetFocus();
  Keys({VK_MENU, 'N'});
  EXPECT_EQ(GetFocus(), name->Handle());
  Keys({VK_MENU, 'C'});
  EXPECT_EQ(GetFocus(), chips->Handle());
  // Without accelerators, or disabled, or with its control gone, the label does nothing.
  start->SetFocus();
  label->SetShowAccelChar(false);
  Keys({VK_MENU, 'N'});
  EXPECT_EQ(GetFocus(), start->Handle());
  label->SetShowAccelChar(true);
  TComponent::Free(name);
  EXPECT_EQ(label->FocusControl(), nullptr);
  Keys({VK_MENU, 'N'});
  EXPECT_EQ(GetFocus(), start->Handle());
}

// ----- frames -----

class TAddressFrame : public TFrame {
  VEX_CLASS(TAddressFrame)
 public:
  explicit TAddressFrame(TComponent* owner, const TClassInfo& cls = StaticClass()) : TFrame(owner, cls) {}
};

const char kAddressFrame[] =
    "object AddressFrame: TAddressFrame\n"
    "  Width = 240\n"
    "  Height = 80\n"
    "  object StreetLabel: TLabel\n"
    "    Left = 4\n"
    "    Top = 8\n"
    "    Caption = '&Street'\n"
    "    FocusControl = Street\n"
    "  end\n"
    "  object Street: TEdit\n"
    "    Left = 60\n"
    "    Top = 4\n"
    "    Width = 170\n"
    "    Height = 21\n"
    "  end\n"
    "  object Town: TEdit\n"
    "    Left = 60\n"
    "    Top = 34\n"
    "    Width = 170\n"
    "    Height = 21\n"
    "  end\n"
    "end\n";

const TClassInfo& TAddressFrame::StaticClass() {
  static TClassInfo info("TAddressFrame", &TFrame::StaticClass(), FrameFactory<TAddressFrame>);
  static const bool once = [] {
    RegisterFrameworkClass(info);
    RegisterFrameForm(info, kAddressFrame);
    return true;
  }();
  (void)once;
  return info;
}

class ContainerFrame : public ContainerFixture {};

TEST_F(ContainerFrame, AStoredFormWithTwoFramesOfOneClassEmbedsBothWithTheirOwnControls) {
  TAddressFrame::StaticClass();
  const char text[] =
      "object Form1: TForm\n"
      "  object Home: TAddressFrame\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "  end\n"
      "  object Work: TAddressFrame\n"
      "    Left = 8\n"
      "    Top = 100\n"
      "    Height = 70\n"
      "  end\n"
      "  object Street: TEdit\n"
      "    Left = 300\n"
      "  end\n"
      "end\n";
  ReadComponentText(text, *form);
  auto* home = static_cast<TAddressFrame*>(form->FindComponent("Home"));
  auto* work = static_cast<TAddressFrame*>(form->FindComponent("Work"));
  ASSERT_TRUE(home && work);
  EXPECT_TRUE(home->FormRead());
  // The frame's stored size, and the embedding form's place and overrides.
  EXPECT_EQ(home->Width(), 240);
  EXPECT_EQ(home->Height(), 80);
  EXPECT_EQ(work->Top(), 100);
  EXPECT_EQ(work->Height(), 70);
  for (TAddressFrame* f : {home, work}) {
    auto* street = static_cast<TEdit*>(f->FindComponent("Street"));
    auto* label = static_cast<TLabel*>(f->FindComponent("StreetLabel"));
    ASSERT_TRUE(street && label);
    EXPECT_EQ(street->Owner(), f);
    EXPECT_EQ(street->Parent(), f);
    EXPECT_EQ(label->FocusControl(), street) << "references resolve within the frame";
    EXPECT_TRUE(IsChild(f->Handle(), street->Handle()));
    EXPECT_TRUE(IsWindowVisible(street->Handle()));
  }
  // The form's own Street is another control.
  EXPECT_NE(form->FindComponent("Street"), home->FindComponent("Street"));
  // Tab walks through both frames' fields in order.
  auto* homeStreet = static_cast<TEdit*>(home->FindComponent("Street"));
  homeStreet->SetFocus();
  Keys({VK_TAB});
  EXPECT_EQ(GetFocus(), static_cast<TEdit*>(home->FindComponent("Town"))->Handle());
  Keys({VK_TAB});
  EXPECT_EQ(GetFocus(), static_cast<TEdit*>(work->FindComponent("Street"))->Handle());
  // The form written again holds the frames, not their controls.
  const std::string written = WriteComponentText(*form);
  EXPECT_NE(written.find("object Home: TAddressFrame"), std::string::npos);
  EXPECT_EQ(written.find("StreetLabel"), std::string::npos);
  // Freed with its frame.
  TComponent::Free(work);
  EXPECT_EQ(form->FindComponent("Work"), nullptr);
}

// ----- status bars -----

class ContainerStatusBar : public ContainerFixture {};

TEST_F(ContainerStatusBar, PanelsSimplePanelAndSizeGripFollowTheWindow) {
  auto* bar = new TStatusBar(form.get());
  bar->SetParent(form.get());
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  struct P {
    const wchar_t* text;
    int width;
    TAlignment alignment;
    TStatusPanelBevel bevel;
    std::wstring native;
    WORD type;
  };
  const P panels[] = {
      {L"Ready", 100, taLeftJustify, pbLowered, L"Ready", 0},
      {L"Ln 1", 60, taCenter, pbRaised, L"\tLn 1", SBT_POPOUT},
      {L"INS", 40, taRightJustify, pbNone, L"\t\tINS", SBT_NOBORDERS},
  };
  for (const P& p : panels) {
    TStatusPanel* item = bar->Panels().Add();
    item->SetText(p.text);
    item->SetWidth(p.width);
    item->SetAlignment(p.alignment);
    item->SetBevel(p.bevel);
  }
  const auto check = [&](const char* when) {
    HWND h = bar->Handle();
    int edges[8] = {};
    ASSERT_EQ(SendMessageW(h, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 3) << when;
    EXPECT_EQ(edges[0], 100) << when;
    EXPECT_EQ(edges[1], 160) << when;
    EXPECT_EQ(edges[2], -1) << when << ": the last panel takes the rest";
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(StatusText(h, i), panels[i].native) << when;
      EXPECT_EQ(HIWORD(SendMessageW(h, SB_GETTEXTLENGTHW, static_cast<WPARAM>(i), 0)), panels[i].type) << when;
    }
  };
  check("first window");
  bar->Panels().Items(0)->SetText(L"Busy");
  EXPECT_EQ(StatusText(bar->Handle(), 0), L"Busy");
  bar->Panels().Items(0)->SetText(L"Ready");
  // The size grip is a window style: a new window keeps the panels.
  EXPECT_NE(GetWindowLongW(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP, 0);
  bar->SetSizeGrip(false);
  Pump();
  EXPECT_EQ(GetWindowLongW(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP, 0);
  check("new window");
  // One simple panel over the others, and back.
  bar->SetSimpleText(L"Loading...");
  bar->SetSimplePanel(true);
  EXPECT_NE(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
  EXPECT_EQ(StatusText(bar->Handle(), 0), L"Loading...");
  bar->SetSimplePanel(false);
  EXPECT_EQ(SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
  check("panels again");
  // The form growing keeps the bar along its bottom.
  form->SetBounds(40, 40, 600, 460);
  Pump();
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  EXPECT_EQ(GetOrdProp(*bar, "SizeGrip"), 0);
  EXPECT_EQ(GetOrdProp(*bar, "SimplePanel"), 0);
}

TEST_F(ContainerStatusBar, OwnerDrawPanelsAreDrawnByOnDrawPanel) {
  auto* bar = new TStatusBar(form.get());
  bar->SetParent(form.get());
  bar->Panels().Add()->SetWidth(80);
  TStatusPanel* drawn = bar->Panels().Add();
  drawn->SetStyle(psOwnerDraw);
  std::vector<RECT> rects;
  bar->OnDrawPanel = [&](TCustomStatusBar* sender, TStatusPanel* panel, const RECT& r) {
    EXPECT_EQ(sender, bar);
    EXPECT_EQ(panel, drawn);
    rects.push_back(r);
    sender->Canvas().Brush.color = clRed;
    sender->Canvas().FillRect(r);
  };
  const COLORREF middle = PixelAfterPaint(bar->Handle(), 150, bar->Height() / 2);
  ASSERT_FALSE(rects.empty());
  EXPECT_GE(rects.back().left, 80);
  EXPECT_EQ(middle, Rgb(clRed));
  EXPECT_NE(PixelAfterPaint(bar->Handle(), 40, bar->Height() / 2), Rgb(clRed));
}

TEST_F(ContainerStatusBar, ItsColourAndItsFontColourShow) {
  auto* bar = new TStatusBar(form.get());
  bar->SetParent(form.get());
  bar->SetSizeGrip(false);
  TStatusPanel* panel = bar->Panels().Add();
  panel->SetWidth(120);
  panel->SetText(L"MMMMMMMM");
  bar->Panels().Add();
  const int mid = bar->Height() / 2;
  // The system's look first: neither colour anywhere.
  EXPECT_NE(PixelAfterPaint(bar->Handle(), 160, mid), Rgb(clAqua));
  bar->SetColor(clAqua);
  EXPECT_EQ(PixelAfterPaint(bar->Handle(), 160, mid), Rgb(clAqua)) << "the bar's own colour behind the panels";
  const auto inked = [&](TColor ink) {
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(bar->Handle());
    int n = 0;
    for (int y = 2; y < bar->Height() - 2; ++y)
      for (int x = 2; x < 110; ++x)
        if (GetPixel(dc, x, y) == Rgb(ink)) ++n;
    ReleaseDC(bar->Handle(), dc);
    return n;
  };
  bar->Font().SetColor(clRed);
  EXPECT_GT(inked(clRed), 10) << "the text in the font's colour";
  bar->Font().SetColor(clWindowText);
  EXPECT_EQ(inked(clRed), 0);
  EXPECT_GT(inked(clWindowText) + inked(clBtnText), 10) << "the control's own text again";
  bar->SetColor(clBtnFace);
  EXPECT_NE(PixelAfterPaint(bar->Handle(), 160, mid), Rgb(clAqua)) << "the system's look again";
}

// ----- cool bars -----

class ContainerCoolBar : public ContainerFixture {};

TEST_F(ContainerCoolBar, BandsHoldTheirControlsInRows) {
  auto* cool = new TCoolBar(form.get());
  cool->SetParent(form.get());
  auto* tools = Make<TToolBar>(cool, 0, 0, 150, 22);
  auto* edit = Make<TEdit>(cool, 0, 0, 120, 21);
  TCoolBand* first = cool->Bands().Add();
  first->SetControl(tools);
  first->SetText(L"Tools");
  TCoolBand* second = cool->Bands().Add();
  second->SetControl(edit);
  second->SetText(L"Address");
  second->SetBreak(false);
  second->SetWidth(200);
  HWND h = cool->Handle();
  ASSERT_EQ(SendMessageW(h, RB_GETBANDCOUNT, 0, 0), 2);
  const auto band = [&](int i) {
    static wchar_t text[64];
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_CHILD | RBBIM_TEXT | RBBIM_STYLE;
    info.lpText = text;
    info.cch = 64;
    SendMessageW(h, RB_GETBANDINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    return info;
  };
  EXPECT_EQ(band(0).hwndChild, tools->Handle());
  EXPECT_STREQ(band(0).lpText, L"Tools");
  EXPECT_EQ(band(1).hwndChild, edit->Handle());
  EXPECT_EQ(band(1).fStyle & RBBS_BREAK, 0u);
  EXPECT_EQ(SendMessageW(h, RB_GETROWCOUNT, 0, 0), 1);
  // A break puts the second band in a row of its own: the bar grows.
  const int oneRow = cool->Height();
  EXPECT_EQ(oneRow, static_cast<int>(SendMessageW(h, RB_GETBARHEIGHT, 0, 0)));
  second->SetBreak(true);
  Pump();
  EXPECT_EQ(SendMessageW(h, RB_GETROWCOUNT, 0, 0), 2);
  EXPECT_GT(cool->Height(), oneRow);
  EXPECT_EQ(tools->Parent(), cool);
  RECT er;
  GetWindowRect(edit->Handle(), &er);
  RECT tr;
  GetWindowRect(tools->Handle(), &tr);
  EXPECT_GE(er.top, tr.bottom - 2) << "the edit's band is below the tools'";
  // A band's control going away leaves the band empty.
  TComponent::Free(edit);
  EXPECT_EQ(second->Control(), nullptr);
  EXPECT_EQ(band(1).hwndChild, nullptr);
}

// ----- tab controls -----

class ContainerTabControl : public ContainerFixture {};

TEST_F(ContainerTabControl, TabsAndTabIndexStayInStepWithTheWindowBothWays) {
  auto* tc = Make<TTabControl>(form.get(), 10, 10, 300, 200);
  tc->Tabs().Add("One");
  tc->Tabs().Add("Two");
  tc->SetTabIndex(1);
  EXPECT_EQ(tc->TabIndex(), 1) << "kept before the window exists";
  HWND h = tc->Handle();
  ASSERT_EQ(SendMessageW(h, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(NativeTabText(h, 1), L"Two");
  EXPECT_EQ(SendMessageW(h, TCM_GETCURSEL, 0, 0), 1);
  // From the framework to the window...
  tc->Tabs().Insert(0, "Zero");
  tc->Tabs().Put(2, "Deux");
  EXPECT_EQ(NativeTabText(h, 0), L"Zero");
  EXPECT_EQ(NativeTabText(h, 2), L"Deux");
  // ...and from the window to the framework.
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  wchar_t three[] = L"Three";
  item.pszText = three;
  SendMessageW(h, TCM_INSERTITEMW, 3, reinterpret_cast<LPARAM>(&item));
  SendMessageW(h, TCM_SETCURSEL, 3, 0);
  EXPECT_EQ(tc->Tabs().Count(), 4);
  EXPECT_EQ(tc->Tabs()[3], "Three");
  EXPECT_EQ(tc->TabIndex(), 3);
  // Images: tab i shows image i.
  TImageList images(form.get());
  images.SetSize(16, 16);
  tc->SetImages(&images);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(NativeTabImage(h, i), i);
  tc->SetMultiLine(true);
  Pump();
  EXPECT_NE(tc->Handle(), h);
  h = tc->Handle();
  EXPECT_NE(GetWindowLongW(h, GWL_STYLE) & TCS_MULTILINE, 0);
  EXPECT_EQ(tc->Tabs().ToVector(), (std::vector<std::string>{"Zero", "One", "Deux", "Three"}));
  EXPECT_EQ(tc->TabIndex(), 3);
  EXPECT_EQ(NativeTabImage(h, 2), 2);
  tc->SetImages(nullptr);
}

TEST_F(ContainerTabControl, ClicksKeysAndOnChangingThatRefuses) {
  auto* tc = Make<TTabControl>(form.get(), 10, 10, 300, 200);
  for (const char* t : {"Alpha", "Beta", "Gamma"}) tc->Tabs().Add(t);
  tc->SetTabIndex(0);
  int changes = 0, askings = 0;
  bool allow = true;
  tc->OnChange.handler = [&](TObject*) { ++changes; };
  tc->OnChanging = [&](TObject* sender, bool& ok) {
    EXPECT_EQ(sender, tc);
    ++askings;
    ok = allow;
  };
  ClickTab(tc, 2);
  EXPECT_EQ(tc->TabIndex(), 2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(askings, 1);
  allow = false;
  ClickTab(tc, 1);
  EXPECT_EQ(tc->TabIndex(), 2) << "refused";
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(askings, 2);
  allow = true;
  tc->SetFocus();
  Keys({VK_CONTROL, VK_TAB});
  EXPECT_EQ(tc->TabIndex(), 0) << "Ctrl+Tab goes round to the first tab";
  Keys({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_EQ(tc->TabIndex(), 2);
  Keys({VK_LEFT});
  EXPECT_EQ(tc->TabIndex(), 1) << "the control's own arrow keys";
  EXPECT_EQ(changes, 4);
}

TEST_F(ContainerTabControl, FourTabPositionsAreFourStylesAndKeepTheTabs) {
  auto* tc = Make<TTabControl>(form.get(), 10, 10, 300, 200);
  for (const char* t : {"A", "B"}) tc->Tabs().Add(t);
  tc->SetTabIndex(1);
  struct Case {
    TTabPosition position;
    DWORD set, clear;
  };
  const Case cases[] = {
      {tpBottom, TCS_BOTTOM, TCS_VERTICAL},
      {tpLeft, TCS_VERTICAL | TCS_MULTILINE, TCS_RIGHT},
      {tpRight, TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, 0},
      {tpTop, 0, TCS_VERTICAL | TCS_BOTTOM},
  };
  for (const Case& c : cases) {
    tc->SetTabPosition(c.position);
    Pump();
    const DWORD style = static_cast<DWORD>(GetWindowLongW(tc->Handle(), GWL_STYLE));
    EXPECT_EQ(style & c.set, c.set) << c.position;
    EXPECT_EQ(style & c.clear, 0u) << c.position;
    EXPECT_EQ(tc->Tabs().Count(), 2) << c.position;
    EXPECT_EQ(tc->TabIndex(), 1) << c.position;
    EXPECT_EQ(GetOrdProp(*tc, "TabPosition"), c.position);
    // The page area is on the far side of the tabs.
    RECT tab{};
    SendMessageW(tc->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    const RECT page = tc->DisplayRect();
    switch (c.position) {
      case tpTop: EXPECT_GE(page.top, tab.bottom - 2); break;
      case tpBottom: EXPECT_LE(page.bottom, tab.top + 2); break;
      case tpLeft: EXPECT_GE(page.left, tab.right - 2); break;
      case tpRight: EXPECT_LE(page.right, tab.left + 2); break;
    }
  }
}

// ----- page controls -----

class ContainerPageControl : public ContainerFixture {};

TEST_F(ContainerPageControl, ClicksAndCtrlTabChangePagesShowingOnlyTheActivePage) {
  auto* pc = Make<TPageControl>(form.get(), 10, 10, 400, 300);
  std::vector<TTabSheet*> pages;
  std::vector<TEdit*> edits;
  for (const wchar_t* caption : {L"General", L"Hidden", L"Advanced", L"About"}) {
    auto* page = new TTabSheet(form.get());
    page->SetPageControl(pc);
    page->SetCaption(caption);
    page->SetImageIndex(static_cast<int>(pages.size()) + 10);
    pages.push_back(page);
    edits.push_back(Make<TEdit>(page, 10, 10, 100, 21));
  }
  pages[1]->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), pages[0]) << "the first page shows at once";
  HWND h = pc->Handle();
  ASSERT_EQ(SendMessageW(h, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(NativeTabText(h, 1), L"Advanced");
  EXPECT_EQ(pages[2]->TabIndex(), 1);
  EXPECT_EQ(pages[1]->TabIndex(), -1);
  TImageList images(form.get());
  images.SetSize(16, 16);
  pc->SetImages(&images);
  EXPECT_EQ(NativeTabImage(h, 1), 12) << "a page's tab shows the page's image";
  // Pages fill the page area.
  const RECT area = pc->DisplayRect();
  EXPECT_EQ(pages[2]->BoundsRect().left, area.left);
  EXPECT_EQ(pages[2]->BoundsRect().bottom, area.bottom);
  const auto onlyVisible = [&](TTabSheet* active, const char* when) {
    for (std::size_t i = 0; i < pages.size(); ++i) {
      EXPECT_EQ(IsWindowVisible(edits[i]->Handle()) != FALSE, pages[i] == active) << when << ", page " << i;
      EXPECT_EQ(pages[i]->Visible(), pages[i] == active) << when << ", page " << i;
    }
    EXPECT_EQ(pc->ActivePage(), active) << when;
  };
  onlyVisible(pages[0], "at first");
  int changes = 0;
  pc->OnChange.handler = [&](TObject*) { ++changes; };
  ClickTab(pc, 2);
  onlyVisible(pages[3], "clicked the third tab");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(SendMessageW(h, TCM_GETCURSEL, 0, 0), 2);
  // Ctrl+Tab from a control on the page: the next page with a tab, round the end, skipping the
  // hidden one; the focus goes to the new page's control.
  edits[3]->SetFocus();
  Keys({VK_CONTROL, VK_TAB});
  onlyVisible(pages[0], "Ctrl+Tab");
  EXPECT_EQ(GetFocus(), edits[0]->Handle());
  Keys({VK_CONTROL, VK_TAB});
  onlyVisible(pages[2], "Ctrl+Tab again");
  Keys({VK_CONTROL, VK_SHIFT, VK_TAB});
  onlyVisible(pages[0], "Ctrl+Shift+Tab");
  EXPECT_EQ(changes, 4);
  // OnChanging refuses a click.
  pc->OnChanging = [](TObject*, bool& ok) { ok = false; };
  ClickTab(pc, 1);
  onlyVisible(pages[0], "refused");
  pc->OnChanging = nullptr;
  // From code: ActivePage, PageIndex and a new window keep it all.
  pc->SetActivePage(pages[1]);
  onlyVisible(pages[1], "a page without a tab");
  EXPECT_EQ(SendMessageW(h, TCM_GETCURSEL, 0, 0), -1);
  pages[3]->SetPageIndex(0);
  EXPECT_EQ(NativeTabText(h, 0), L"About");
  pc->SetActivePage(pages[2]);
  pc->SetTabPosition(tpLeft);
  Pump();
  EXPECT_NE(pc->Handle(), h);
  h = pc->Handle();
  EXPECT_EQ(SendMessageW(h, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(NativeTabText(h, 2), L"Advanced");
  EXPECT_EQ(SendMessageW(h, TCM_GETCURSEL, 0, 0), 2);
  onlyVisible(pages[2], "new window");
  EXPECT_GE(pages[2]->Left(), pc->DisplayRect().left);
  EXPECT_GT(pc->DisplayRect().left, 10) << "tabs on the left";
  pc->SetImages(nullptr);
}

// ----- a stored form with each control -----

class ContainerStoredForm : public ContainerFixture {};

TEST_F(ContainerStoredForm, EveryControlIsReadBackWithItsProperties) {
  const char text[] =
      "object Form1: TForm\n"
      "  object Group: TGroupBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 180\n"
      "    Height = 80\n"
      "    BiDiMode = bdRightToLeft\n"
      "    Caption = 'Group'\n"
      "    object Inner: TCheckBox\n"
      "      Left = 8\n"
      "      Top = 20\n"
      "      Caption = 'Inner'\n"
      "    end\n"
      "  end\n"
      "  object Bevelled: TPanel\n"
      "    Left = 200\n"
      "    Top = 8\n"
      "    BevelInner = bvLowered\n"
      "    BevelOuter = bvSpace\n"
      "    BevelWidth = 2\n"
      "    BorderStyle = bsSingle\n"
      "    Alignment = taLeftJustify\n"
      "    ParentBackground = True\n"
      "    Caption = 'Panel'\n"
      "  end\n"
      "  object Caption1: TLabel\n"
      "    Left = 8\n"
      "    Top = 100\n"
      "    Caption = '&Find'\n"
      "    FocusControl = Find\n"
      "    Layout = tlBottom\n"
      "    Transparent = False\n"
      "    WordWrap = True\n"
      "  end\n"
      "  object Find: TEdit\n"
      "    Left = 80\n"
      "    Top = 100\n"
      "  end\n"
      "  object Cool: TCoolBar\n"
      "    Bands = <\n"
      "      item\n"
      "        Control = Tools\n"
      "        Text = 'Tools'\n"
      "        Width = 180\n"
      "      end>\n"
      "    object Tools: TToolBar\n"
      "      Width = 150\n"
      "      Height = 22\n"
      "    end\n"
      "  end\n"
      "  object Tabs: TTabControl\n"
      "    Left = 8\n"
      "    Top = 140\n"
      "    Tabs = (\n"
      "      'One'\n"
      "      'Two')\n"
      "    TabIndex = 1\n"
      "    TabPosition = tpBottom\n"
      "    MultiLine = True\n"
      "  end\n"
      "  object Pages: TPageControl\n"
      "    Left = 300\n"
      "    Top = 140\n"
      "    ActivePage = Second\n"
      "    TabPosition = tpRight\n"
      "    object First: TTabSheet\n"
      "      Caption = 'First'\n"
      "      ImageIndex = 3\n"
      "    end\n"
      "    object Second: TTabSheet\n"
      "      Caption = 'Second'\n"
      "      object OnSecond: TEdit\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "  object Status: TStatusBar\n"
      "    Panels = <\n"
      "      item\n"
      "        Text = 'Ready'\n"
      "        Width = 120\n"
      "      end\n"
      "      item\n"
      "        Alignment = taCenter\n"
      "        Style = psOwnerDraw\n"
      "        Bevel = pbRaised\n"
      "      end>\n"
      "    SimpleText = 'Simple'\n"
      "    SizeGrip = False\n"
      "  end\n"
      "end\n";
  ReadComponentText(text, *form);
  Pump();
  const auto get = [&](const char* name) {
    TComponent* c = form->FindComponent(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  };
  auto* group = static_cast<TGroupBox*>(get("Group"));
  EXPECT_EQ(group->CaptionRect().right, 180 - 8);
  EXPECT_EQ(static_cast<TControl*>(get("Inner"))->Parent(), group);
  auto* panel = static_cast<TPanel*>(get("Bevelled"));
  EXPECT_EQ(panel->BevelInner(), bvLowered);
  EXPECT_EQ(panel->BevelOuter(), bvSpace);
  EXPECT_EQ(panel->BevelWidth(), 2);
  EXPECT_NE(GetWindowLongW(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_EQ(GetEnumProp(*panel, "Alignment"), "taLeftJustify");
  EXPECT_EQ(GetOrdProp(*panel, "ParentBackground"), 1);
  auto* label = static_cast<TLabel*>(get("Caption1"));
  EXPECT_EQ(label->FocusControl(), get("Find"));
  EXPECT_EQ(label->Layout(), tlBottom);
  EXPECT_FALSE(label->Transparent());
  EXPECT_TRUE(label->WordWrap());
  auto* cool = static_cast<TCoolBar*>(get("Cool"));
  ASSERT_EQ(cool->Bands().Count(), 1);
  EXPECT_EQ(cool->Bands().Items(0)->Control(), get("Tools"));
  EXPECT_EQ(SendMessageW(cool->Handle(), RB_GETBANDCOUNT, 0, 0), 1);
  auto* tabs = static_cast<TTabControl*>(get("Tabs"));
  EXPECT_EQ(tabs->Tabs().ToVector(), (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(SendMessageW(tabs->Handle(), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_NE(GetWindowLongW(tabs->Handle(), GWL_STYLE) & (TCS_BOTTOM | TCS_MULTILINE), 0);
  auto* pages = static_cast<TPageControl*>(get("Pages"));
  ASSERT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->ActivePage(), get("Second"));
  EXPECT_EQ(pages->Pages(0)->ImageIndex(), 3);
  EXPECT_TRUE(IsWindowVisible(static_cast<TEdit*>(get("OnSecond"))->Handle()));
  EXPECT_FALSE(pages->Pages(0)->Visible());
  EXPECT_EQ(NativeTabText(pages->Handle(), 1), L"Second");
  EXPECT_EQ(GetOrdProp(*pages, "TabPosition"), tpRight);
  auto* status = static_cast<TStatusBar*>(get("Status"));
  ASSERT_EQ(status->Panels().Count(), 2);
  EXPECT_EQ(status->Panels().Items(1)->Style(), psOwnerDraw);
  EXPECT_EQ(status->Panels().Items(1)->Bevel(), pbRaised);
  EXPECT_EQ(StatusText(status->Handle(), 0), L"Ready");
  EXPECT_EQ(GetWindowLongW(status->Handle(), GWL_STYLE) & SBARS_SIZEGRIP, 0);
  EXPECT_EQ(status->SimpleText(), L"Simple");

  // Written and read into a new form: the same again.
  const std::string written = WriteComponentText(*form);
  TComponentPtr<TForm> copy(new TForm(nullptr));
  ReadComponentText(written, *copy);
  EXPECT_EQ(WriteComponentText(*copy), written);
  EXPECT_EQ(written.find("Tabs = (", written.find("object Pages")), std::string::npos) << "a page control's tabs come from its pages";
  auto* copiedPages = static_cast<TPageControl*>(copy->FindComponent("Pages"));
  ASSERT_NE(copiedPages, nullptr);
  EXPECT_EQ(copiedPages->ActivePage(), copy->FindComponent("Second"));
}

}  // namespace
}  // namespace vex::host

namespace vex::host {
namespace {

// Pixels of the window as they stand, without asking it to paint.
int InkPixels(HWND wnd, COLORREF background) {
  RECT r;
  GetClientRect(wnd, &r);
  HDC dc = GetDC(wnd);
  int n = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x)
      if (GetPixel(dc, x, y) != background) ++n;
  ReleaseDC(wnd, dc);
  return n;
}

// A panel paints its caption itself: a new caption shows without anyone asking it to paint.
TEST(Panels, ANewCaptionShowsByItself) {
  TComponentPtr<TForm> form(new TForm(nullptr));
  form->SetBounds(40, 40, 320, 120);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(8, 8, 280, 30);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption(L"");
  form->Show();
  for (int i = 0; i < 3; ++i) {
    Application().ProcessMessages();
    Sleep(5);
  }
  const COLORREF face = static_cast<COLORREF>(ColorToRGB(panel->Color()));
  ASSERT_EQ(InkPixels(panel->Handle(), face), 0);
  panel->SetCaption(L"A caption long enough to see");
  for (int i = 0; i < 3; ++i) {
    Application().ProcessMessages();
    Sleep(5);
  }
  EXPECT_GT(InkPixels(panel->Handle(), face), 20);
}

}  // namespace
}  // namespace vex::host
