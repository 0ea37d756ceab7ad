// The framework's bitmap buttons, speed buttons and hot key editors on real windows: kinds,
// clicks, glyph layout read back from painted pixels, groups of speed buttons driven by mouse
// messages to their parent, the key read back from the hot key control, and streaming.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/application.h"
#include "host/bit_btn.h"
#include "host/button_controls.h"
#include "host/form.h"
#include "host/form_stream.h"
#include "host/hot_key.h"
#include "host/speed_button.h"
#include "image/little_endian.h"

namespace vex::host {
namespace {

void Pump() {
  for (int i = 0; i < 5; ++i) Application().ProcessMessages();
}

constexpr TColor kKey = MakeRgb(255, 0, 255);
constexpr TColor kRed = MakeRgb(255, 0, 0);
constexpr TColor kBlue = MakeRgb(0, 0, 255);

// A glyph of `count` images of `size` pixels, image i filled with colors[i]; the bottom-left
// pixel is magenta, the transparent colour.
TBitmap MakeGlyph(int size, const std::vector<TColor>& colors) {
  TBitmap b(size * static_cast<int>(colors.size()), size, TPixelFormat::pf24bit);
  for (int i = 0; i < static_cast<int>(colors.size()); ++i)
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) b.SetPixelColor(i * size + x, y, colors[static_cast<std::size_t>(i)]);
  b.SetPixelColor(0, size - 1, kKey);
  return b;
}

// What a windowed control paints, asked for with WM_PRINTCLIENT into a bitmap.
TBitmap PrintClient(TWinControl& c) {
  RECT r;
  GetClientRect(c.Handle(), &r);
  TBitmap b(r.right, r.bottom, TPixelFormat::pf24bit);
  SendMessageW(c.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(b.Canvas().Handle()), PRF_CLIENT | PRF_ERASEBKGND);
  GdiFlush();
  return b;
}

// What a windowless control paints, through the parent's painting path (its DC at the origin).
TBitmap PaintGraphic(TGraphicControl& c) {
  TBitmap b(c.Width(), c.Height(), TPixelFormat::pf24bit);
  c.Perform(WM_PAINT, reinterpret_cast<WPARAM>(b.Canvas().Handle()), 0);
  GdiFlush();
  return b;
}

// The first and last x of a colour on row y, or -1.
std::pair<int, int> RunOf(const TBitmap& b, int y, TColor c) {
  int first = -1, last = -1;
  for (int x = 0; x < b.Width(); ++x)
    if (b.PixelColor(x, y) == c) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}
int FirstRowOf(const TBitmap& b, int x, TColor c) {
  for (int y = 0; y < b.Height(); ++y)
    if (b.PixelColor(x, y) == c) return y;
  return -1;
}
int CountOf(const TBitmap& b, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.PixelColor(x, y) == c;
  return n;
}

class ExtraButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(new TForm(nullptr));
    form->SetName("Form1");
    form->SetBounds(60, 60, 420, 300);
    form->Show();
    Pump();
  }
  TBitBtn* NewBitBtn(const char* name = nullptr) {
    auto* b = new TBitBtn(form.get());
    if (name) b->SetName(name);
    b->SetParent(form.get());
    return b;
  }
  TSpeedButton* NewSpeedButton(int left, TWinControl* parent = nullptr) {
    auto* b = new TSpeedButton(form.get());
    b->SetParent(parent ? parent : form.get());
    b->SetBounds(left, 200, 30, 24);
    return b;
  }
  // Mouse messages to the parent window, at a point of its client area.
  static void Mouse(TWinControl& parent, UINT msg, POINT p, WPARAM keys) {
    SendMessageW(parent.Handle(), msg, keys, MAKELPARAM(p.x, p.y));
  }
  static void ClickAt(TWinControl& parent, POINT p) {
    Mouse(parent, WM_MOUSEMOVE, p, 0);
    Mouse(parent, WM_LBUTTONDOWN, p, MK_LBUTTON);
    Mouse(parent, WM_LBUTTONUP, p, 0);
  }
  static POINT Centre(const TControl& c) { return POINT{c.Left() + c.Width() / 2, c.Top() + c.Height() / 2}; }
  TComponentPtr<TForm> form;
};

// ----- TCustomCheckBox -----

TEST_F(ExtraButtons, CheckBoxesInheritTheCustomCheckBox) {
  EXPECT_TRUE(TCheckBox::StaticClass().InheritsFrom(TCustomCheckBox::StaticClass()));
  EXPECT_TRUE(TCheckBox::StaticClass().InheritsFrom("TCustomCheckBox"));
  EXPECT_TRUE(TCustomCheckBox::StaticClass().InheritsFrom(TButtonControl::StaticClass()));
  EXPECT_EQ(TCustomCheckBox::StaticClass().Name(), "TCustomCheckBox");
  TCustomCheckBox* box = new TCheckBox(form.get());
  box->SetParent(form.get());
  box->SetChecked(true);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(GetEnumProp(*box, "State"), "cbChecked");
}

// ----- TBitBtn -----

TEST_F(ExtraButtons, AKindGivesCaptionModalResultDefaultCancelAndGlyph) {
  const struct {
    TBitBtnKind kind;
    const wchar_t* caption;
    int result;
    bool isDefault, isCancel;
  } cases[] = {{bkOK, L"OK", mrOk, true, false},          {bkCancel, L"Cancel", mrCancel, false, true},
               {bkHelp, L"&Help", mrNone, false, false},  {bkYes, L"&Yes", mrYes, true, false},
               {bkNo, L"&No", mrNo, false, true},         {bkClose, L"&Close", mrNone, false, false},
               {bkAbort, L"Abort", mrAbort, false, false}, {bkRetry, L"&Retry", mrRetry, false, false},
               {bkIgnore, L"&Ignore", mrIgnore, false, false}, {bkAll, L"&All", mrAll, false, false}};
  TBitBtn* b = NewBitBtn();
  EXPECT_EQ(b->ClassName(), "TBitBtn");
  EXPECT_TRUE(b->Is<TButton>());
  EXPECT_EQ(b->Kind(), bkCustom);
  EXPECT_EQ(b->NumGlyphs(), 1);
  EXPECT_EQ(b->Layout(), blGlyphLeft);
  EXPECT_EQ(b->Margin(), -1);
  EXPECT_EQ(b->Spacing(), 4);
  EXPECT_EQ(GetWindowLongW(b->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  for (const auto& c : cases) {
    b->SetKind(c.kind);
    EXPECT_EQ(b->Kind(), c.kind);
    EXPECT_EQ(b->Caption(), c.caption);
    EXPECT_EQ(b->ModalResult(), c.result) << c.kind;
    EXPECT_EQ(b->Default(), c.isDefault) << c.kind;
    EXPECT_EQ(b->Cancel(), c.isCancel) << c.kind;
    EXPECT_EQ(b->NumGlyphs(), 2);
    EXPECT_EQ(b->Glyph().Width(), 36);
    EXPECT_EQ(b->Glyph().Height(), 18);
    // Drawn by code: the normal image has coloured pixels, the disabled one only greys.
    int coloured = 0, greyColoured = 0;
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 18; ++x) {
        const TColor p = b->Glyph().PixelColor(x, y), q = b->Glyph().PixelColor(18 + x, y);
        coloured += p != kKey && (ColorRed(p) != ColorGreen(p) || ColorGreen(p) != ColorBlue(p));
        greyColoured += q != kKey && (ColorRed(q) != ColorGreen(q) || ColorGreen(q) != ColorBlue(q));
      }
    EXPECT_GT(coloured, 10) << c.kind;
    EXPECT_EQ(greyColoured, 0) << c.kind;
    EXPECT_EQ(b->Glyph().PixelColor(0, 17), kKey);
  }
  // The OK glyph is green, the Cancel glyph red.
  b->SetKind(bkOK);
  EXPECT_GT(CountOf(b->Glyph(), MakeRgb(0, 128, 0)), 10);
  b->SetKind(bkCancel);
  EXPECT_GT(CountOf(b->Glyph(), MakeRgb(200, 0, 0)), 10);
  // Changing what the kind set makes the button custom; the style stays owner-drawn.
  b->SetKind(bkOK);
  b->SetDefault(false);
  EXPECT_EQ(b->Kind(), bkCustom);
  EXPECT_EQ(GetWindowLongW(b->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  b->SetKind(bkYes);
  b->SetModalResult(mrAbort);
  EXPECT_EQ(b->Kind(), bkCustom);
  b->SetKind(bkNo);
  b->SetGlyph(MakeGlyph(16, {kRed}));
  EXPECT_EQ(b->Kind(), bkCustom);
  EXPECT_EQ(b->NumGlyphs(), 1);
}

TEST_F(ExtraButtons, AnOkButtonEndsAModalFormWithOk) {
  TComponentPtr<TForm> dialog(new TForm(nullptr));
  dialog->SetBounds(100, 100, 200, 120);
  auto* ok = new TBitBtn(dialog.get());
  ok->SetParent(dialog.get());
  ok->SetKind(bkOK);
  int clicks = 0;
  ok->OnClick.handler = [&](TObject*) { ++clicks; };
  dialog->OnShow = [&](TObject*) {
    // A real click: the mouse pressed and released on the button, from the message queue.
    PostMessageW(ok->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(ok->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(clicks, 1);

  auto* cancel = new TBitBtn(dialog.get());
  cancel->SetParent(dialog.get());
  cancel->SetLeft(100);
  cancel->SetKind(bkCancel);
  dialog->OnShow = [&](TObject*) { PostMessageW(cancel->Handle(), BM_CLICK, 0, 0); };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(ExtraButtons, TheKeyboardClicksAFocusedBitBtn) {
  TBitBtn* b = NewBitBtn();
  b->SetCaption(L"Go");
  int clicks = 0;
  b->OnClick.handler = [&](TObject*) { ++clicks; };
  SetForegroundWindow(form->Handle());
  b->SetFocus();
  Pump();
  ASSERT_TRUE(b->Focused());
  SendMessageW(b->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(clicks, 1);
  SendMessageW(b->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(b->Handle(), WM_KEYUP, VK_SPACE, 0);
  Pump();
  EXPECT_EQ(clicks, 2);
  // The mouse: pressed and released inside.
  SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  EXPECT_EQ(clicks, 3);
}

TEST_F(ExtraButtons, EnterAndEscapeClickTheDefaultAndCancelButtons) {
  TBitBtn* ok = NewBitBtn();
  ok->SetKind(bkOK);
  TBitBtn* cancel = NewBitBtn();
  cancel->SetLeft(100);
  cancel->SetKind(bkCancel);
  TButton* plain = new TButton(form.get());
  plain->SetParent(form.get());
  plain->SetLeft(200);
  auto* box = new TCheckBox(form.get());
  box->SetParent(form.get());
  box->SetTop(60);
  int oks = 0, cancels = 0, plains = 0;
  ok->OnClick.handler = [&](TObject*) { ++oks; };
  cancel->OnClick.handler = [&](TObject*) { ++cancels; };
  plain->OnClick.handler = [&](TObject*) { ++plains; };
  SetForegroundWindow(form->Handle());
  box->SetFocus();
  Pump();
  ASSERT_TRUE(box->Focused());
  // Keys as they come: through the application's message loop, to the focused window.
  const auto key = [&](HWND to, WPARAM vk) {
    PostMessageW(to, WM_KEYDOWN, vk, 1);
    PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
    Pump();
  };
  key(box->Handle(), VK_RETURN);
  EXPECT_EQ(oks, 1);
  key(box->Handle(), VK_ESCAPE);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(box->State(), cbUnchecked);
  // A focused button takes Enter itself.
  plain->SetFocus();
  Pump();
  key(plain->Handle(), VK_RETURN);
  EXPECT_EQ(plains, 1);
  EXPECT_EQ(oks, 1);
  // A disabled default button takes nothing.
  box->SetFocus();
  ok->SetEnabled(false);
  key(box->Handle(), VK_RETURN);
  EXPECT_EQ(oks, 1);
  // In a modal form, Enter on the OK button's form ends it with mrOk.
  TComponentPtr<TForm> dialog(new TForm(nullptr));
  dialog->SetBounds(100, 100, 200, 120);
  auto* dialogOk = new TBitBtn(dialog.get());
  dialogOk->SetParent(dialog.get());
  dialogOk->SetKind(bkOK);
  auto* dialogBox = new TCheckBox(dialog.get());
  dialogBox->SetParent(dialog.get());
  dialogBox->SetTop(40);
  dialog->OnShow = [&](TObject*) { PostMessageW(dialogBox->Handle(), WM_KEYDOWN, VK_RETURN, 1); };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
}

TEST_F(ExtraButtons, BkCloseClosesItsForm) {
  // Another form than the fixture's (the application's main form: closing it would end the run).
  ASSERT_EQ(Application().MainForm(), form.get());
  TComponentPtr<TForm> other(new TForm(nullptr));
  other->SetBounds(120, 120, 200, 100);
  auto* b = new TBitBtn(other.get());
  b->SetParent(other.get());
  b->SetKind(bkClose);
  int clicks = 0;
  b->OnClick.handler = [&](TObject*) { ++clicks; };
  other->Show();
  Pump();
  ASSERT_TRUE(IsWindowVisible(other->Handle()));
  SendMessageW(b->Handle(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(IsWindowVisible(other->Handle()));
  EXPECT_FALSE(Application().Terminated());
}

TEST_F(ExtraButtons, TheGlyphGoesWhereLayoutMarginAndSpacingSay) {
  TBitBtn* b = NewBitBtn();
  b->SetBounds(10, 10, 120, 40);
  b->SetGlyph(MakeGlyph(16, {kRed}));
  ASSERT_EQ(b->NumGlyphs(), 1);
  // The layout box is the client area less 2 pixels: 116 x 36 from (2, 2).
  const int midRow = 2 + (36 - 16 + 1) / 2 + 8;
  const int midCol = 2 + (116 - 16 + 1) / 2 + 8;

  // Centred without a caption.
  TBitmap centred = PrintClient(*b);
  EXPECT_EQ(RunOf(centred, midRow, kRed), std::make_pair(52, 67));

  b->SetMargin(5);
  TBitmap left = PrintClient(*b);
  EXPECT_EQ(RunOf(left, midRow, kRed), std::make_pair(7, 22));
  EXPECT_EQ(FirstRowOf(left, 10, kRed), 12);

  b->SetLayout(blGlyphRight);
  TBitmap right = PrintClient(*b);
  EXPECT_EQ(RunOf(right, midRow, kRed), std::make_pair(97, 112));

  b->SetLayout(blGlyphTop);
  b->SetMargin(3);
  TBitmap top = PrintClient(*b);
  EXPECT_EQ(FirstRowOf(top, midCol, kRed), 5);
  EXPECT_EQ(RunOf(top, 10, kRed), std::make_pair(52, 67));

  b->SetLayout(blGlyphBottom);
  TBitmap bottom = PrintClient(*b);
  EXPECT_EQ(FirstRowOf(bottom, midCol, kRed), 40 - 2 - 3 - 16);

  // Pressed: one pixel right and down.
  b->SetLayout(blGlyphLeft);
  b->SetMargin(5);
  SendMessageW(b->Handle(), BM_SETSTATE, TRUE, 0);
  TBitmap pressed = PrintClient(*b);
  SendMessageW(b->Handle(), BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(RunOf(pressed, midRow + 1, kRed), std::make_pair(8, 23));
  EXPECT_EQ(FirstRowOf(pressed, 10, kRed), 13);

  // With a caption: the text starts Spacing pixels after the glyph; nothing but face between.
  b->SetCaption(L"WWW");
  b->SetSpacing(10);
  TBitmap text = PrintClient(*b);
  EXPECT_EQ(RunOf(text, midRow, kRed), std::make_pair(7, 22));
  const TColor face = ColorToRGB(clBtnFace);
  int firstInk = -1;
  for (int x = 23; x < 60 && firstInk < 0; ++x)
    for (int y = 8; y < 32; ++y)
      if (text.PixelColor(x, y) != face) {
        firstInk = x;
        break;
      }
  EXPECT_GE(firstInk, 2 + 5 + 16 + 10);
  EXPECT_LE(firstInk, 2 + 5 + 16 + 10 + 2);
  // Margin -1 centres glyph, spacing and text together.
  b->SetMargin(-1);
  SIZE extent;
  {
    TCanvas measure(text.Canvas().Handle());
    measure.Font().Assign(b->Font());
    extent = measure.TextExtent(L"WWW");
    measure.SetHandle(nullptr);
  }
  TBitmap together = PrintClient(*b);
  const int margin = (116 - (16 + 10 + extent.cx) + 1) / 2;
  EXPECT_EQ(RunOf(together, midRow, kRed).first, 2 + margin);
}

TEST_F(ExtraButtons, ADisabledBitBtnShowsItsSecondImage) {
  TBitBtn* b = NewBitBtn();
  b->SetBounds(10, 10, 100, 30);
  b->SetGlyph(MakeGlyph(16, {kRed, kBlue}));
  EXPECT_EQ(b->NumGlyphs(), 2);
  TBitmap enabled = PrintClient(*b);
  EXPECT_GT(CountOf(enabled, kRed), 200);
  EXPECT_EQ(CountOf(enabled, kBlue), 0);
  b->SetEnabled(false);
  TBitmap disabled = PrintClient(*b);
  EXPECT_EQ(CountOf(disabled, kRed), 0);
  EXPECT_GT(CountOf(disabled, kBlue), 200);
  // One image only: the disabled look is made from it, in greys.
  b->SetGlyph(MakeGlyph(16, {kRed}));
  ASSERT_EQ(b->NumGlyphs(), 1);
  TBitmap made = PrintClient(*b);
  EXPECT_EQ(CountOf(made, kRed), 0);
  EXPECT_GT(CountOf(made, ColorToRGB(clBtnShadow)), 200);
  // A kind's glyph has its own disabled image.
  b->SetKind(bkOK);
  TBitmap kind = PrintClient(*b);
  EXPECT_EQ(CountOf(kind, MakeRgb(0, 128, 0)), 0);
  b->SetEnabled(true);
  EXPECT_GT(CountOf(PrintClient(*b), MakeRgb(0, 128, 0)), 10);
}

TEST_F(ExtraButtons, TheDefaultButtonAndTheFocusedOneShowAFrame) {
  TBitBtn* b = NewBitBtn();
  b->SetBounds(10, 10, 100, 30);
  const TColor frame = ColorToRGB(clWindowFrame);
  EXPECT_NE(PrintClient(*b).PixelColor(50, 0), frame);
  b->SetDefault(true);
  EXPECT_EQ(PrintClient(*b).PixelColor(50, 0), frame);
  EXPECT_EQ(GetWindowLongW(b->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

// ----- TSpeedButton -----

TEST_F(ExtraButtons, ASpeedButtonClicksOnAReleaseInsideOnly) {
  TSpeedButton* s = NewSpeedButton(10);
  EXPECT_EQ(s->ClassName(), "TSpeedButton");
  EXPECT_TRUE(s->Is<TGraphicControl>());
  int clicks = 0;
  s->OnClick.handler = [&](TObject*) { ++clicks; };
  const POINT inside = Centre(*s), outside{s->Left() + s->Width() + 40, inside.y};

  // Pressed inside: shown pressed, and the parent repaints the button's area.
  Pump();
  ValidateRect(form->Handle(), nullptr);
  Mouse(*form, WM_MOUSEMOVE, inside, 0);
  Mouse(*form, WM_LBUTTONDOWN, inside, MK_LBUTTON);
  EXPECT_EQ(s->State(), bsDown);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(form->Handle(), &update, FALSE));
  RECT bounds = s->BoundsRect(), both;
  EXPECT_TRUE(IntersectRect(&both, &update, &bounds));
  // Dragged out: up again; released there: no click.
  Mouse(*form, WM_MOUSEMOVE, outside, MK_LBUTTON);
  EXPECT_EQ(s->State(), bsUp);
  Mouse(*form, WM_LBUTTONUP, outside, 0);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(s->State(), bsUp);

  // Pressed, dragged out and back in, released inside: one click.
  Mouse(*form, WM_MOUSEMOVE, inside, 0);
  Mouse(*form, WM_LBUTTONDOWN, inside, MK_LBUTTON);
  Mouse(*form, WM_MOUSEMOVE, outside, MK_LBUTTON);
  Mouse(*form, WM_MOUSEMOVE, inside, MK_LBUTTON);
  EXPECT_EQ(s->State(), bsDown);
  Mouse(*form, WM_LBUTTONUP, inside, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(s->State(), bsUp);
  EXPECT_FALSE(s->Down()) << "GroupIndex 0 never stays down";
  s->SetDown(true);
  EXPECT_FALSE(s->Down());

  // Disabled: no click.
  s->SetEnabled(false);
  ClickAt(*form, inside);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ExtraButtons, ADownSpeedButtonMovesWithinItsGroup) {
  TSpeedButton* a = NewSpeedButton(10);
  TSpeedButton* b = NewSpeedButton(50);
  TSpeedButton* c = NewSpeedButton(90);
  TSpeedButton* otherGroup = NewSpeedButton(130);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(200, 150, 150, 100);
  TSpeedButton* otherParent = new TSpeedButton(form.get());
  otherParent->SetParent(panel);
  for (TSpeedButton* s : {a, b, c, otherParent}) s->SetGroupIndex(1);
  otherGroup->SetGroupIndex(2);
  otherGroup->SetDown(true);
  otherParent->SetDown(true);
  int clicks = 0;
  for (TSpeedButton* s : {a, b, c}) s->OnClick.handler = [&](TObject*) { ++clicks; };

  ClickAt(*form, Centre(*a));
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(a->State(), bsExclusive);
  ClickAt(*form, Centre(*b));
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->State(), bsUp);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(c->Down());
  EXPECT_TRUE(otherGroup->Down()) << "another group";
  EXPECT_TRUE(otherParent->Down()) << "another parent";
  EXPECT_EQ(clicks, 2);
  // Without AllowAllUp a click leaves the down button down (and is a click).
  ClickAt(*form, Centre(*b));
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, 3);
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
  // A release outside changes nothing.
  Mouse(*form, WM_LBUTTONDOWN, Centre(*c), MK_LBUTTON);
  Mouse(*form, WM_LBUTTONUP, POINT{5, 5}, 0);
  EXPECT_FALSE(c->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, 3);
  // AllowAllUp is shared by the group: a down button clicks up.
  c->SetAllowAllUp(true);
  EXPECT_TRUE(a->AllowAllUp());
  EXPECT_TRUE(b->AllowAllUp());
  EXPECT_FALSE(otherGroup->AllowAllUp());
  ClickAt(*form, Centre(*b));
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_FALSE(c->Down());
  // Setting Down by code releases the others too.
  a->SetDown(true);
  c->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(c->Down());
}

TEST_F(ExtraButtons, ASpeedButtonPaintsItsGlyphAndState) {
  TSpeedButton* s = NewSpeedButton(10);
  s->SetBounds(10, 200, 60, 30);
  s->SetGlyph(MakeGlyph(16, {kRed, kBlue, MakeRgb(0, 255, 0), MakeRgb(255, 255, 0)}));
  EXPECT_EQ(s->NumGlyphs(), 4);
  s->SetMargin(4);
  s->SetGroupIndex(1);
  s->SetAllowAllUp(true);
  // Layout box 56 x 26 from (2, 2): the glyph at x 6, rows 7..22.
  TBitmap up = PaintGraphic(*s);
  EXPECT_EQ(RunOf(up, 14, kRed), std::make_pair(6, 21));
  EXPECT_EQ(FirstRowOf(up, 10, kRed), 7);
  EXPECT_NE(up.PixelColor(1, 1), ColorToRGB(clBtnFace)) << "a raised border";
  // Held down by the mouse: the clicked image, one pixel right and down.
  Mouse(*form, WM_LBUTTONDOWN, Centre(*s), MK_LBUTTON);
  TBitmap pressed = PaintGraphic(*s);
  EXPECT_EQ(RunOf(pressed, 15, MakeRgb(0, 255, 0)), std::make_pair(7, 22));
  Mouse(*form, WM_LBUTTONUP, Centre(*s), 0);
  ASSERT_TRUE(s->Down());
  EXPECT_EQ(RunOf(PaintGraphic(*s), 15, MakeRgb(255, 255, 0)), std::make_pair(7, 22));
  s->SetDown(false);
  s->SetEnabled(false);
  EXPECT_EQ(RunOf(PaintGraphic(*s), 14, kBlue), std::make_pair(6, 21));
  s->SetEnabled(true);

  // Flat: no border until the mouse is over it.
  s->SetFlat(true);
  const TColor face = ColorToRGB(clBtnFace);
  TBitmap flat = PaintGraphic(*s);
  EXPECT_EQ(flat.PixelColor(0, 0), face);
  EXPECT_EQ(flat.PixelColor(59, 29), face);
  Mouse(*form, WM_MOUSEMOVE, Centre(*s), 0);
  EXPECT_TRUE(s->Hot());
  TBitmap hot = PaintGraphic(*s);
  EXPECT_NE(hot.PixelColor(0, 0), face);
  Mouse(*form, WM_MOUSEMOVE, POINT{300, 20}, 0);
  EXPECT_FALSE(s->Hot());
}

// ----- THotKey -----

TEST_F(ExtraButtons, AHotKeyReadsBackTheKeyTheControlReports) {
  auto* hk = new THotKey(form.get());
  hk->SetParent(form.get());
  hk->SetBounds(10, 100, 150, 22);
  EXPECT_EQ(hk->ClassName(), "THotKey");
  EXPECT_TRUE(hk->Is<TCustomHotKey>());
  EXPECT_EQ(hk->InvalidKeys(), hcNone | hcShift);
  EXPECT_EQ(hk->Modifiers(), hkAlt);
  int changes = 0;
  hk->OnChange = [&](TObject*) { ++changes; };
  // Set in the control, then reported as the control reports a typed key.
  SendMessageW(hk->Handle(), HKM_SETHOTKEY, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
  EXPECT_EQ(hk->HotKey(), 0);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), reinterpret_cast<LPARAM>(hk->Handle()));
  EXPECT_EQ(hk->HotKey(), 'K' | scCtrl | scShift);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(ShortCutToText(hk->HotKey()), L"Shift+Ctrl+K");
  // Set by the program: shown by the control.
  hk->SetHotKey(MakeShortCut(VK_F5, scAlt));
  EXPECT_EQ(SendMessageW(hk->Handle(), HKM_GETHOTKEY, 0, 0), MAKEWORD(VK_F5, HOTKEYF_ALT));
  EXPECT_EQ(changes, 1);
  // A key typed into the control (the control sends EN_CHANGE itself).
  SetForegroundWindow(form->Handle());
  hk->SetFocus();
  SendMessageW(hk->Handle(), WM_KEYDOWN, 'Q', 0);
  SendMessageW(hk->Handle(), WM_KEYUP, 'Q', 0);
  Pump();
  EXPECT_EQ(LOBYTE(SendMessageW(hk->Handle(), HKM_GETHOTKEY, 0, 0)), 'Q');
  EXPECT_EQ(hk->HotKey() & 0xFF, 'Q');
  EXPECT_GE(changes, 2);
}

TEST(HotKeyValues, ConvertBothWays) {
  EXPECT_EQ(TCustomHotKey::ShortCutToHotKeyValue('A' | scCtrl | scAlt), MAKEWORD('A', HOTKEYF_CONTROL | HOTKEYF_ALT));
  EXPECT_EQ(TCustomHotKey::HotKeyValueToShortCut(MAKEWORD('A', HOTKEYF_SHIFT)), 'A' | scShift);
  EXPECT_EQ(TCustomHotKey::HotKeyValueToShortCut(0), 0);
}

// ----- streaming -----

TEST_F(ExtraButtons, AFormWithTheNewControlsStreamsAndReadsBack) {
  TBitBtn* custom = NewBitBtn("BitBtn1");
  custom->SetBounds(10, 10, 120, 40);
  custom->SetCaption(L"Run");
  custom->SetGlyph(MakeGlyph(16, {kRed, kBlue}));
  custom->SetLayout(blGlyphTop);
  custom->SetMargin(3);
  custom->SetSpacing(7);
  TBitBtn* cancel = NewBitBtn("BitBtn2");
  cancel->SetBounds(140, 10, 90, 30);
  cancel->SetKind(bkCancel);
  TBitBtn* renamed = NewBitBtn("BitBtn3");
  renamed->SetBounds(240, 10, 90, 30);
  renamed->SetKind(bkYes);
  renamed->SetCaption(L"Sure");
  auto* speed = new TSpeedButton(form.get());
  speed->SetName("SpeedButton1");
  speed->SetParent(form.get());
  speed->SetBounds(10, 60, 40, 30);
  speed->SetGlyph(MakeGlyph(12, {kBlue, kRed, kRed}));
  speed->SetGroupIndex(3);
  speed->SetAllowAllUp(true);
  speed->SetDown(true);
  speed->SetFlat(true);
  speed->SetLayout(blGlyphRight);
  speed->SetCaption(L"Fast");
  auto* hk = new THotKey(form.get());
  hk->SetName("HotKey1");
  hk->SetParent(form.get());
  hk->SetHotKey('K' | scCtrl);
  hk->SetInvalidKeys(hcNone | hcShift | hcCtrl);
  hk->SetModifiers(hkCtrl | hkAlt);

  const std::string text = WriteComponentText(*form);
  EXPECT_NE(text.find("object BitBtn1: TBitBtn"), std::string::npos) << text;
  EXPECT_NE(text.find("Glyph.Data = {"), std::string::npos) << text;
  EXPECT_NE(text.find("Kind = bkCancel"), std::string::npos) << text;
  EXPECT_EQ(text.find("Caption = 'Cancel'"), std::string::npos) << "a kind's caption is not stored";
  EXPECT_NE(text.find("Caption = 'Sure'"), std::string::npos) << text;
  EXPECT_NE(text.find("Layout = blGlyphTop"), std::string::npos) << text;
  EXPECT_NE(text.find("object SpeedButton1: TSpeedButton"), std::string::npos) << text;
  EXPECT_NE(text.find("InvalidKeys = [hcNone, hcShift, hcCtrl]"), std::string::npos) << text;

  TComponentPtr<TForm> g(new TForm(nullptr));
  ReadComponentText(text, *g);
  auto* custom2 = dynamic_cast<TBitBtn*>(g->FindComponent("BitBtn1"));
  auto* cancel2 = dynamic_cast<TBitBtn*>(g->FindComponent("BitBtn2"));
  auto* renamed2 = dynamic_cast<TBitBtn*>(g->FindComponent("BitBtn3"));
  auto* speed2 = dynamic_cast<TSpeedButton*>(g->FindComponent("SpeedButton1"));
  auto* hk2 = dynamic_cast<THotKey*>(g->FindComponent("HotKey1"));
  ASSERT_NE(custom2, nullptr);
  ASSERT_NE(cancel2, nullptr);
  ASSERT_NE(renamed2, nullptr);
  ASSERT_NE(speed2, nullptr);
  ASSERT_NE(hk2, nullptr);

  EXPECT_EQ(custom2->Caption(), L"Run");
  EXPECT_EQ(custom2->Kind(), bkCustom);
  EXPECT_EQ(custom2->Glyph().Width(), 32);
  EXPECT_EQ(custom2->Glyph().Height(), 16);
  EXPECT_EQ(custom2->Glyph().PixelColor(3, 3), kRed);
  EXPECT_EQ(custom2->Glyph().PixelColor(20, 3), kBlue);
  EXPECT_EQ(custom2->Glyph().PixelColor(0, 15), kKey);
  EXPECT_EQ(custom2->NumGlyphs(), 2);
  EXPECT_EQ(custom2->Layout(), blGlyphTop);
  EXPECT_EQ(custom2->Margin(), 3);
  EXPECT_EQ(custom2->Spacing(), 7);

  EXPECT_EQ(cancel2->Kind(), bkCancel);
  EXPECT_EQ(cancel2->Caption(), L"Cancel");
  EXPECT_TRUE(cancel2->Cancel());
  EXPECT_EQ(cancel2->ModalResult(), mrCancel);
  EXPECT_EQ(cancel2->Glyph().Width(), 36);
  EXPECT_EQ(renamed2->Kind(), bkYes);
  EXPECT_EQ(renamed2->Caption(), L"Sure");
  EXPECT_TRUE(renamed2->Default());

  EXPECT_EQ(speed2->Glyph().Width(), 36);
  EXPECT_EQ(speed2->Glyph().PixelColor(5, 5), kBlue);
  EXPECT_EQ(speed2->Glyph().PixelColor(17, 5), kRed);
  EXPECT_EQ(speed2->NumGlyphs(), 3);
  EXPECT_EQ(speed2->GroupIndex(), 3);
  EXPECT_TRUE(speed2->AllowAllUp());
  EXPECT_TRUE(speed2->Down());
  EXPECT_TRUE(speed2->Flat());
  EXPECT_EQ(speed2->Layout(), blGlyphRight);
  EXPECT_EQ(speed2->Caption(), L"Fast");

  EXPECT_EQ(hk2->HotKey(), 'K' | scCtrl);
  EXPECT_EQ(hk2->InvalidKeys(), hcNone | hcShift | hcCtrl);
  EXPECT_EQ(hk2->Modifiers(), hkCtrl | hkAlt);

  EXPECT_EQ(WriteComponentText(*g), text);
  // Shown, the read controls work: the hot key control has the key.
  g->SetBounds(80, 80, 400, 200);
  g->Show();
  Pump();
  EXPECT_EQ(SendMessageW(hk2->Handle(), HKM_GETHOTKEY, 0, 0), MAKEWORD('K', HOTKEYF_CONTROL));
  EXPECT_GT(CountOf(PrintClient(*custom2), kRed), 100);
}

TEST(BitmapStreaming, DataIsABmpFileAndTakesALengthPrefixToo) {
  TBitmap source = MakeGlyph(5, {kRed, kBlue});
  const std::vector<std::uint8_t> bytes = source.SaveToBmpBytes();
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  TBitmap plain;
  plain.LoadFromBmpBytes(bytes);
  EXPECT_EQ(plain.Width(), 10);
  EXPECT_EQ(plain.Height(), 5);
  EXPECT_EQ(plain.PixelColor(7, 1), kBlue);
  // As other writers store it: the file's length first.
  std::vector<std::uint8_t> prefixed;
  prefixed.reserve(bytes.size() + 4);
  image::AppendLE32(prefixed, static_cast<std::uint32_t>(bytes.size()));
  prefixed.insert(prefixed.end(), bytes.begin(), bytes.end());
  TBitmap fromPrefixed;
  fromPrefixed.LoadFromBmpBytes(prefixed);
  EXPECT_EQ(fromPrefixed.Width(), 10);
  EXPECT_EQ(fromPrefixed.PixelColor(2, 1), kRed);
  EXPECT_EQ(fromPrefixed.PixelColor(0, 4), kKey);
  TBitmap broken;
  EXPECT_THROW(broken.LoadFromBmpBytes({'B', 'M', 1, 2}), std::exception);
}

TEST(ExtraButtonClasses, AreRegisteredForStreaming) {
  // Using the classes registers them; a stream names them.
  (void)TBitBtn::StaticClass();
  (void)TSpeedButton::StaticClass();
  (void)THotKey::StaticClass();
  for (const char* name : {"TBitBtn", "TSpeedButton", "THotKey", "TCheckBox"}) {
    const TClassInfo* cls = FindClass(name);
    ASSERT_NE(cls, nullptr) << name;
    EXPECT_TRUE(cls->CanCreate()) << name;
  }
  EXPECT_TRUE(FindClass("THotKey")->InheritsFrom("TCustomHotKey"));
  EXPECT_TRUE(FindClass("TBitBtn")->InheritsFrom("TButton"));
}

}  // namespace
}  // namespace vex::host
