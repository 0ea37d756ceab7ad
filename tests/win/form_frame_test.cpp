// Skinned frames of the framework's own forms: the owner form, forms attached by the hook and by
// "skin all forms", what the frame changes on the form and gives back, and which controls get
// wrappers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "controls/button_painters.h"
#include "controls/std_ctrl.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/application.h"
#include "image/button_layout.h"
#include "host/bit_btn.h"
#include "host/button_controls.h"
#include "host/speed_button.h"
#include "host/subclass.h"
#include "host/dialogs.h"
#include "host/gdi_handle.h"
#include "skin2/skin_keys.h"
#include "skin_variant.h"
#include "skinned_engine_fixture.h"
#include "test_support.h"

namespace vex::engine {
namespace {

using namespace vex::host;
namespace keys = vex::skin2;
using test::PumpMessages;

SIZE ClientSize(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return SIZE{r.right, r.bottom};
}

RECT WindowRect(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// A form frame whose menu bar takes `height` rows of the client area.
class TBarFrame : public TvexSkinWindowVCL {
 public:
  TBarFrame(HWND h, TvexSkinEngine* e, int height) : TvexSkinWindowVCL(h, false, e), height_(height) {}
  int MenuBarHeight() const override { return height_; }

 private:
  int height_;
};

class FormFrames : public test::TSkinnedEngineTest {
 protected:
  void SetUp() override {
    TSkinnedEngineTest::SetUp();
    form->SetBounds(60, 60, 420, 300);
    form->SetClientSize(400, 260);
    // Not shown yet: a framework form is attached by the hook when it is first activated.
    handle = form->Handle();
    ownClient = ClientSize(handle);
    ownRect = WindowRect(handle);
    ownColour = form->Color();
  }
  // The owner form's frame, as the engine makes it when the form has been read; then shown.
  void AttachAndShow() {
    engine->AttachOwnerForm(form.get());
    form->Show();
    PumpMessages();
  }
  TvexSkinWindowVCL* Frame(HWND h) const { return dynamic_cast<TvexSkinWindowVCL*>(engine->FindFrame(h)); }
  TControlView ViewOf(TControl* c) const {
    TvexSkinWindowVCL* f = Frame(handle);
    TvexSkinControlVCL* w = f ? f->WrapperOf(c) : nullptr;
    return w ? w->View() : TControlView{};
  }

  HWND handle = nullptr;
  SIZE ownClient{};
  RECT ownRect{};
  TColor ownColour = clNone;
};

TEST_F(FormFrames, TheOwnerFormIsSkinnedAndGivenBackAsItWas) {
  form->SetAutoScroll(true);
  AttachAndShow();
  EXPECT_FALSE(form->AutoScroll());
  EXPECT_FALSE(form->Scaled());
  TvexSkinWindowVCL* frame = Frame(handle);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Owner(), nullptr) << "the engine's own form's frame belongs to the engine";
  EXPECT_EQ(SendMessageW(handle, SKM_QUERYSKINNED, 0, 0), 1);
  const SIZE skinned = ClientSize(handle);
  EXPECT_EQ(skinned.cx, ownClient.cx);
  EXPECT_EQ(skinned.cy, ownClient.cy);
  EXPECT_EQ(form->Color(), engine->GetFormColor());
  EXPECT_EQ(GetWindowLongW(handle, GWL_STYLE) & WS_SYSMENU, 0);
  // The stored skin's minimum title width, and title height + 6 without a menu bar.
  EXPECT_EQ(form->Constraints().MinWidth, 137);
  EXPECT_EQ(form->Constraints().MinHeight, 37);

  for (int round = 0; round < 2; ++round) {
    engine->SetActive(false);
    PumpMessages();
    EXPECT_EQ(WindowRect(handle).right - WindowRect(handle).left, ownRect.right - ownRect.left) << "round " << round;
    EXPECT_EQ(WindowRect(handle).bottom - WindowRect(handle).top, ownRect.bottom - ownRect.top) << "round " << round;
    EXPECT_EQ(ClientSize(handle).cx, ownClient.cx);
    EXPECT_EQ(ClientSize(handle).cy, ownClient.cy);
    EXPECT_EQ(form->Color(), ownColour);
    EXPECT_EQ(form->Constraints().MinWidth, 0);
    EXPECT_EQ(form->Constraints().MinHeight, 0);
    EXPECT_NE(GetWindowLongW(handle, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_TRUE(form->AutoScroll());
    EXPECT_TRUE(form->Scaled());
    engine->SetActive(true);
    PumpMessages();
    EXPECT_EQ(ClientSize(handle).cx, ownClient.cx) << "round " << round;
    EXPECT_EQ(ClientSize(handle).cy, ownClient.cy);
  }
}

TEST_F(FormFrames, FreeingTheEngineGivesEveryFormBackAndLeavesItsControlsWorking) {
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 80, 25);
  int clicks = 0;
  button->OnClick.handler = [&clicks](TObject*) { ++clicks; };
  AttachAndShow();
  TComponentPtr<TForm> other(new TForm(nullptr));
  other->SetBounds(100, 100, 300, 200);
  other->Show();
  PumpMessages();
  ASSERT_NE(Frame(other->Handle()), nullptr);
  const TColor otherColour = clBtnFace;
  TComponent::Free(engine);
  engine = nullptr;
  PumpMessages();
  EXPECT_EQ(SendMessageW(handle, SKM_QUERYSKINNED, 0, 0), 0);
  EXPECT_EQ(SendMessageW(other->Handle(), SKM_QUERYSKINNED, 0, 0), 0);
  EXPECT_EQ(form->Color(), ownColour);
  EXPECT_EQ(other->Color(), otherColour);
  EXPECT_EQ(ClientSize(handle).cx, ownClient.cx);
  EXPECT_EQ(ClientSize(handle).cy, ownClient.cy);
  EXPECT_NE(GetWindowLongW(handle, GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_FALSE(TvexSkinControlVCL::IsWrapped(button));
  // The button is the framework's own again: its press reaches the native button, which clicks.
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_EQ(clicks, 1);
  // The forms still close and free as forms do.
  other.reset();
  PumpMessages();
}

TEST_F(FormFrames, AFormFreedWhileSkinnedTakesItsFrameAndWrappersWithIt) {
  AttachAndShow();
  auto* other = new TForm(nullptr);
  other->SetBounds(100, 100, 300, 200);
  auto* button = new TButton(other);
  button->SetParent(other);
  other->Show();
  PumpMessages();
  ASSERT_NE(Frame(other->Handle()), nullptr);
  const std::size_t frames = engine->FrameList().size();
  const long live = GdiLiveObjects();
  TComponent::Free(other);
  PumpMessages();
  EXPECT_EQ(engine->FrameList().size(), frames - 1);
  EXPECT_LE(GdiLiveObjects(), live);
  // The engine and its own form go on working.
  engine->SetActive(false);
  engine->SetActive(true);
  EXPECT_EQ(SendMessageW(handle, SKM_QUERYSKINNED, 0, 0), 1);
}

TEST_F(FormFrames, TheEnginesFormFreedFirstLeavesTheOtherFormsWorking) {
  AttachAndShow();
  TComponentPtr<TForm> other(new TForm(nullptr));
  other->SetBounds(100, 100, 300, 200);
  auto* button = new TButton(other.get());
  button->SetParent(other.get());
  button->SetBounds(10, 10, 80, 25);
  int clicks = 0;
  button->OnClick.handler = [&clicks](TObject*) { ++clicks; };
  other->Show();
  PumpMessages();
  ASSERT_NE(Frame(other->Handle()), nullptr);
  const RECT before = WindowRect(other->Handle());
  // The engine goes with its form.
  form.reset();
  engine = nullptr;
  PumpMessages();
  EXPECT_EQ(SendMessageW(other->Handle(), SKM_QUERYSKINNED, 0, 0), 0);
  EXPECT_EQ(other->Color(), clBtnFace);
  EXPECT_LE(WindowRect(other->Handle()).right - WindowRect(other->Handle()).left, before.right - before.left);
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  other->Hide();
  other->Show();
  ShowWindow(other->Handle(), SW_MAXIMIZE);
  ShowWindow(other->Handle(), SW_RESTORE);
  PumpMessages();
  EXPECT_EQ(clicks, 1);
  // A new engine on a new form skins again, the other form included when asked.
  form.reset(new TForm(nullptr));
  engine = new TvexSkinEngine(form.get());
  engine->SetSkinFile((dir / "default.vsk").u8string());
  engine->SetActive(true);
  engine->AttachOwnerForm(form.get());
  form->Show();
  engine->SetSkinAllForms(false);
  engine->SetSkinAllForms(true);
  PumpMessages();
  EXPECT_EQ(SendMessageW(other->Handle(), SKM_QUERYSKINNED, 0, 0), 1);
  other.reset();
  PumpMessages();
}

TEST_F(FormFrames, AFormsOwnMinimumWidthStaysAndAFormOptedOutIsNotTouched) {
  form->Constraints().MinWidth = 300;
  AttachAndShow();
  EXPECT_EQ(form->Constraints().MinWidth, 300);
  EXPECT_EQ(form->Constraints().MinHeight, 37);

  TComponentPtr<TForm> other(new TForm(nullptr));
  other->SetTag(engine->DisabledTag());
  other->SetBounds(100, 100, 300, 200);
  other->Show();
  PumpMessages();
  const RECT before = WindowRect(other->Handle());
  const TColor colour = other->Color();
  engine->AttachWindow(other->Handle(), false);
  PumpMessages();
  EXPECT_TRUE(SameRect(WindowRect(other->Handle()), before));
  EXPECT_EQ(other->Color(), colour);
  EXPECT_NE(GetWindowLongW(other->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_EQ(other->Constraints().MinWidth, 0);
}

TEST_F(FormFrames, TheMessageDialogIsAFormFrameAttachedByTheHookWithSkinnedButtons) {
  AttachAndShow();
  TComponentPtr<TMessageForm> dlg(CreateMessageDialog(L"Save?", mtConfirmation, mbYes | mbNo | mbCancel));
  dlg->Show();
  PumpMessages();
  auto* frame = Frame(dlg->Handle());
  ASSERT_NE(frame, nullptr) << "the hook attaches the message dialog on its activation";
  EXPECT_TRUE(frame->FCreatedByHook);
  EXPECT_EQ(frame->Owner(), dlg.get()) << "a form's frame goes with the form";
  // Attached by the hook as a dialog: its own minimum width stays.
  EXPECT_EQ(dlg->Constraints().MinWidth, 0);
  EXPECT_EQ(dlg->Constraints().MinHeight, 37);
  int buttons = 0;
  for (int i = 0; i < dlg->ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TButton*>(dlg->Components(i))) {
      ++buttons;
      TvexSkinControlVCL* w = frame->WrapperOf(b);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->ClassName(), "TvexSkinButton");
    }
  EXPECT_EQ(buttons, 3);
  dlg.reset();
  PumpMessages();
  EXPECT_EQ(engine->FindFrame(nullptr), nullptr);
  for (const auto& f : engine->FrameList()) EXPECT_TRUE(f->Handle() == handle) << "only the owner form's frame is left";
}

TEST_F(FormFrames, AFormShownLaterIsSkinnedByTheHookAsAForm) {
  AttachAndShow();
  TComponentPtr<TForm> later(new TForm(nullptr));
  later->SetCaption(L"Later");
  later->SetBounds(120, 120, 360, 220);
  later->Show();
  PumpMessages();
  HWND h = later->Handle();
  auto* frame = Frame(h);
  ASSERT_NE(frame, nullptr) << (engine->FindFrame(h) ? engine->FindFrame(h)->ClassName() : std::string("no frame"));
  EXPECT_FALSE(frame->FCreatedByHook);
  EXPECT_TRUE(frame->FSkinned);
  EXPECT_EQ(later->Color(), engine->GetFormColor());
  // The skinned title is on the screen: the top row of the client area lies one title below the
  // window's top edge.
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  EXPECT_EQ(origin.y - WindowRect(h).top, engine->SkinMetrics().TitleBarHeight);
  // What the screen shows at the title's middle is the skin's title, also after the icon the
  // form set when its window was made (the system paints its own caption for a new icon).
  SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_APPLICATION)));
  PumpMessages();
  const TBitmap* title = engine->CurrentReader()->GetBitmap(keys::bitmap::SKIN2_TITLEBAR2);
  ASSERT_NE(title, nullptr);
  const RECT wr = WindowRect(h);
  HDC screen = GetDC(nullptr);
  const COLORREF seen = GetPixel(screen, wr.left + (wr.right - wr.left) / 2 + 40, wr.top + 2);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(static_cast<TColor>(seen), title->PixelColor(title->Width() / 2, 2));
}

TEST_F(FormFrames, TheClientSizeSurvivesSkinChangesWhileMinimizedOrMaximized) {
  AttachAndShow();
  const auto expectOwnClient = [this](const char* step) {
    EXPECT_EQ(ClientSize(handle).cx, ownClient.cx) << step;
    EXPECT_EQ(ClientSize(handle).cy, ownClient.cy) << step;
  };
  const struct {
    const char* name;
    int show;
    bool skinnedAtRestore;
  } cases[] = {{"minimized, unskinned, skinned", SW_MINIMIZE, true}, {"maximized, unskinned, skinned", SW_MAXIMIZE, true},
               {"minimized, unskinned", SW_MINIMIZE, false}, {"maximized, unskinned", SW_MAXIMIZE, false}};
  for (const auto& c : cases) {
    ShowWindow(handle, c.show);
    PumpMessages();
    engine->SetActive(false);
    if (c.skinnedAtRestore) engine->SetActive(true);
    PumpMessages();
    ShowWindow(handle, SW_RESTORE);
    PumpMessages();
    expectOwnClient(c.name);
    engine->SetActive(true);
    PumpMessages();
    expectOwnClient(c.name);
  }
}

TEST_F(FormFrames, ControlsMoveBelowAMenuBarAndBack) {
  auto place = [this](int top, int height, int anchors) {
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(10, top, 80, height);
    b->SetAnchors(anchors);
    return b;
  };
  TButton* topOnly = place(10, 25, akLeft | akTop);
  TButton* bottomOnly = place(200, 25, akLeft | akBottom);
  TButton* both = place(60, 100, akLeft | akTop | akBottom);
  const RECT t0 = topOnly->BoundsRect(), b0 = bottomOnly->BoundsRect(), s0 = both->BoundsRect();
  engine->AdoptFrame(new TBarFrame(handle, engine, 20));
  // Made, the frame skins the form at once, before it answers as the bar frame: the next skin
  // change shows the bar.
  engine->SetActive(false);
  engine->SetActive(true);
  form->Show();
  PumpMessages();
  // The client area grows by the bar: the bottom-anchored control keeps its distance to the bottom.
  EXPECT_EQ(ClientSize(handle).cy, ownClient.cy + 20);
  EXPECT_EQ(topOnly->Top(), t0.top + 20);
  EXPECT_EQ(topOnly->Height(), 25);
  EXPECT_EQ(bottomOnly->Top(), b0.top + 20);
  EXPECT_EQ(both->Top(), s0.top + 20);
  EXPECT_EQ(both->Height(), 100);
  EXPECT_EQ(form->Constraints().MinHeight, 20 + 31 + 6);
  engine->SetActive(false);
  PumpMessages();
  EXPECT_TRUE(SameRect(topOnly->BoundsRect(), t0));
  EXPECT_TRUE(SameRect(bottomOnly->BoundsRect(), b0));
  EXPECT_TRUE(SameRect(both->BoundsRect(), s0));
  EXPECT_EQ(ClientSize(handle).cy, ownClient.cy);
}

TEST_F(FormFrames, AMaximizedFormCoversItsWorkAreaWithTheBorderOutside) {
  AttachAndShow();
  ShowWindow(handle, SW_MAXIMIZE);
  PumpMessages();
  EXPECT_TRUE(IsZoomed(handle));
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT r = WindowRect(handle);
  EXPECT_LE(r.left, work.left - 4);
  EXPECT_LE(r.top, work.top - 4);
  EXPECT_GE(r.right, work.right + 4);
  EXPECT_GE(r.bottom, work.bottom + 4);
  ShowWindow(handle, SW_RESTORE);
  PumpMessages();
  EXPECT_EQ(ClientSize(handle).cx, ownClient.cx);
  EXPECT_EQ(ClientSize(handle).cy, ownClient.cy);
}

TEST_F(FormFrames, ControlsAreWrappedOnceByTheirClassAndNotWhenOptedOut) {
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  auto* check = new TCheckBox(form.get());
  check->SetParent(form.get());
  auto* radio = new TRadioButton(form.get());
  radio->SetParent(form.get());
  auto* optedOut = new TButton(form.get());
  optedOut->SetTag(engine->DisabledTag());
  optedOut->SetParent(form.get());
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  AttachAndShow();
  TvexSkinWindowVCL* frame = Frame(handle);
  ASSERT_NE(frame, nullptr);
  struct {
    TControl* control;
    const char* wrapper;
  } const cases[] = {{button, "TvexSkinButton"}, {check, "TvexSkinCheckBox"}, {radio, "TvexSkinRadioButton"}, {optedOut, nullptr}, {label, "TvexSkinLabel"}};
  for (const auto& c : cases) {
    TvexSkinControlVCL* w = frame->WrapperOf(c.control);
    if (c.wrapper) {
      ASSERT_NE(w, nullptr) << c.control->ClassName();
      EXPECT_EQ(w->ClassName(), c.wrapper);
    } else {
      EXPECT_EQ(w, nullptr) << c.control->ClassName();
    }
  }
  const std::size_t count = frame->FControls.size();
  frame->AttachControl(button);
  EXPECT_EQ(frame->FControls.size(), count) << "a wrapped control is never wrapped again";
  // A disabled tag of 0 opts no control out: controls tagged 0 are still wrapped.
  engine->SetDisabledTag(0);
  auto* late = new TButton(form.get());
  late->SetParent(form.get());
  EXPECT_NE(frame->WrapperOf(late), nullptr);
}

TEST_F(FormFrames, AControlAddedAtRunTimeIsWrappedOnceAndLetGoWhenItLeaves) {
  AttachAndShow();
  TvexSkinWindowVCL* frame = Frame(handle);
  ASSERT_NE(frame, nullptr);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  auto* button = new TButton(nullptr);
  button->SetParent(panel);
  ASSERT_NE(frame->WrapperOf(button), nullptr) << "placed on a panel of the skinned form";
  EXPECT_EQ(SendMessageW(button->Handle(), SKM_QUERYSKINNED, 0, 0), 1);
  const std::size_t count = frame->FControls.size();
  // Moved within the form: still one wrapper.
  button->SetParent(form.get());
  EXPECT_EQ(frame->FControls.size(), count);
  EXPECT_NE(frame->WrapperOf(button), nullptr);
  // Taken off the form: the wrapper goes and the control keeps working as it is.
  button->SetParent(nullptr);
  EXPECT_EQ(frame->WrapperOf(button), nullptr);
  EXPECT_FALSE(TvexSkinControlVCL::IsWrapped(button));
  TComponent::Free(button);
  // A panel freed with a wrapped child leaves no wrapper behind.
  auto* inner = new TButton(form.get());
  inner->SetParent(panel);
  ASSERT_NE(frame->WrapperOf(inner), nullptr);
  TComponent::Free(panel);
  EXPECT_EQ(frame->WrapperOf(inner), nullptr);
  for (const auto& w : frame->FControls) EXPECT_NE(static_cast<TvexSkinControlVCL*>(w.get())->Control, nullptr);
}

TEST_F(FormFrames, SkinAllFormsAttachesTheOpenFormsAndUnskinsThemAgain) {
  AttachAndShow();
  TComponentPtr<TForm> a(new TForm(nullptr)), b(new TForm(nullptr)), optedOut(new TForm(nullptr));
  optedOut->SetTag(engine->DisabledTag());
  for (TForm* f : {a.get(), b.get(), optedOut.get()}) {
    f->SetBounds(80, 80, 300, 200);
    f->HandleNeeded();
  }
  const RECT aRect = WindowRect(a->Handle());
  engine->SetSkinAllForms(false);
  engine->SetSkinAllForms(true);
  PumpMessages();
  EXPECT_NE(Frame(a->Handle()), nullptr);
  EXPECT_NE(Frame(b->Handle()), nullptr);
  EXPECT_EQ(Frame(optedOut->Handle()), nullptr);
  EXPECT_EQ(Frame(a->Handle())->FCreatedByHook, false);
  EXPECT_EQ(a->Constraints().MinWidth, 137);
  engine->SetSkinAllForms(false);
  PumpMessages();
  EXPECT_EQ(Frame(a->Handle()), nullptr);
  EXPECT_EQ(Frame(b->Handle()), nullptr);
  EXPECT_NE(Frame(handle), nullptr) << "the owner form stays skinned";
  EXPECT_TRUE(SameRect(WindowRect(a->Handle()), aRect));
  EXPECT_EQ(a->Constraints().MinWidth, 0);
  EXPECT_EQ(a->Color(), clBtnFace);
}

TEST_F(FormFrames, SwitchingSkinsKeepsEveryFormItsSizeAndLeaksNothing) {
  test::TSkinVariant wide;
  wide.integers["SKIN2_TITLEBARCAPTIONTOP"] = 4;
  wide.bitmaps["SKIN2_FORMLEFTBORDER"] = image::TvexImage(9, 40, 0x336699);
  wide.bitmaps["SKIN2_FORMRIGHTBORDER"] = image::TvexImage(9, 40, 0x336699);
  test::WriteFile(dir / "wide.vsk", wide.Archive());
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  AttachAndShow();
  const std::string paths[] = {(dir / "wide.vsk").u8string(), (dir / "default.vsk").u8string()};
  engine->SetSkinFile(paths[0]);
  engine->SetSkinFile(paths[1]);
  PumpMessages();
  const RECT skinned = WindowRect(handle);
  const long live = GdiLiveObjects();
  for (int i = 0; i < 100; ++i) engine->SetSkinFile(paths[i % 2]);
  PumpMessages();
  EXPECT_TRUE(SameRect(WindowRect(handle), skinned));
  EXPECT_EQ(ClientSize(handle).cx, ownClient.cx);
  EXPECT_EQ(ClientSize(handle).cy, ownClient.cy);
  EXPECT_EQ(GdiLiveObjects(), live);
  engine->SetActive(false);
  PumpMessages();
  EXPECT_EQ(ClientSize(handle).cx, ownClient.cx);
  EXPECT_EQ(ClientSize(handle).cy, ownClient.cy);
}

// ----- framework push buttons, check boxes and radio buttons -----

class FrameworkButtons : public FormFrames {
 protected:
  void SetUp() override {
    FormFrames::SetUp();
    button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(20, 20, 75, 25);
    button->SetCaption(L"Press");
    button->OnClick.handler = [this](TObject*) { ++clicks; };
    AttachAndShow();
    SetForegroundWindow(handle);
    SetActiveWindow(handle);
    PumpMessages();
  }
  void Send(UINT msg, WPARAM w, int x, int y) { SendMessageW(button->Handle(), msg, w, MAKELPARAM(x, y)); }
  // A check box 150 x 21 on the form at (20, top) with a caption, its messages run.
  TCheckBox* NewCheckBox(int top, const wchar_t* caption) {
    auto* c = new TCheckBox(form.get());
    c->SetParent(form.get());
    c->SetBounds(20, top, 150, 21);
    c->SetCaption(caption);
    PumpMessages();
    return c;
  }
  TButton* button = nullptr;
  int clicks = 0;
};

TEST_F(FrameworkButtons, MouseKeyboardAndDoubleClicksClickAsAButtonDoes) {
  // A press and a release over the button click once.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
  Send(WM_LBUTTONUP, 0, 10, 10);
  EXPECT_EQ(clicks, 1);
  // A press released outside does not click, nor does a later release over it.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
  Send(WM_MOUSEMOVE, MK_LBUTTON, 200, 10);
  Send(WM_LBUTTONUP, 0, 200, 10);
  Send(WM_LBUTTONUP, 0, 10, 10);
  EXPECT_EQ(clicks, 1);
  // Both presses of a double click click.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
  Send(WM_LBUTTONUP, 0, 10, 10);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 10, 10);
  Send(WM_LBUTTONUP, 0, 10, 10);
  EXPECT_EQ(clicks, 3);
  // Space clicks at its release while the button has the focus; Enter at its character.
  button->SetFocus();
  ASSERT_EQ(GetFocus(), button->Handle());
  SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(clicks, 3);
  SendMessageW(button->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(clicks, 4);
  SendMessageW(button->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(button->Handle(), WM_CHAR, VK_RETURN, 0);
  SendMessageW(button->Handle(), WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(clicks, 5);
  // Without the focus a Space release clicks nothing.
  SetFocus(handle);
  SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(button->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(clicks, 5);
  // A button in a modal form ends it with its result.
  button->SetModalResult(mrOk);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
  Send(WM_LBUTTONUP, 0, 10, 10);
  EXPECT_EQ(form->ModalResult(), mrOk);
}

TEST_F(FrameworkButtons, TheBoxStandsWhereAlignmentAndReadingOrderPutIt) {
  struct TCase {
    TAlignment alignment;
    TBiDiMode bidi;
    bool boxRight;
  } const cases[] = {{taRightJustify, bdLeftToRight, false},
                     {taLeftJustify, bdLeftToRight, true},
                     {taRightJustify, bdRightToLeft, true},
                     {taLeftJustify, bdRightToLeft, false}};
  for (const TCase& c : cases) {
    auto* box = new TCheckBox(form.get());
    box->SetParent(form.get());
    box->SetBounds(20, 80, 120, 21);
    box->SetAlignment(c.alignment);
    box->SetBiDiMode(c.bidi);
    EXPECT_EQ(ViewOf(box).boxRight, c.boxRight) << c.alignment << " " << c.bidi;
    TComponent::Free(box);
  }
}

// The box a check box or radio button shows is the skin's image of its state.
TEST_F(FrameworkButtons, CheckBoxesAndRadioButtonsShowTheSkinSliceOfTheirState) {
  const TBitmap* strip = engine->CurrentReader()->GetBitmap(keys::bitmap::SKIN2_CHECKBOX);
  const TBitmap* circles = engine->CurrentReader()->GetBitmap(keys::bitmap::SKIN2_RADIOBUTTON);
  ASSERT_TRUE(strip && circles);
  auto* check = new TCheckBox(form.get());
  check->SetParent(form.get());
  check->SetBounds(20, 80, 150, 21);
  check->SetCaption(L"Check");
  check->SetAllowGrayed(true);
  auto* radio = new TRadioButton(form.get());
  radio->SetParent(form.get());
  radio->SetBounds(20, 110, 150, 21);
  radio->SetCaption(L"Radio");
  PumpMessages();
  // The slice's pixels against the window's, over the whole 17 x 17 image at its place.
  auto matches = [](TWinControl* c, const TBitmap& skin, int count, int slice, int x) {
    // Centred in the control's height.
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int w = skin.Width() / count, h = skin.Height();
    RECT cr;
    GetClientRect(c->Handle(), &cr);
    const int y = (cr.bottom - h) / 2;
    HDC dc = GetDC(c->Handle());
    int same = 0, opaque = 0;
    const TColor key = skin.PixelColor(0, 0);
    for (int py = 0; py < h; ++py)
      for (int px = 0; px < w; ++px) {
        const TColor s = skin.PixelColor((slice - 1) * w + px, py);
        if (s == key) continue;
        ++opaque;
        if (static_cast<TColor>(GetPixel(dc, x + px, y + py)) == s) ++same;
      }
    ReleaseDC(c->Handle(), dc);
    return opaque > 0 && same == opaque;
  };
  struct {
    TCheckBoxState state;
    bool enabled;
    int slice;
  } const boxes[] = {{cbChecked, true, 1}, {cbGrayed, true, 2}, {cbUnchecked, true, 3},
                     {cbChecked, false, 4}, {cbGrayed, false, 5}, {cbUnchecked, false, 6}};
  for (const auto& b : boxes) {
    check->SetState(b.state);
    check->SetEnabled(b.enabled);
    EXPECT_TRUE(matches(check, *strip, 6, b.slice, 0)) << "check box slice " << b.slice;
  }
  check->SetEnabled(true);
  check->SetAlignment(taLeftJustify);
  check->SetState(cbChecked);
  EXPECT_TRUE(matches(check, *strip, 6, 1, 150 - strip->Width() / 6 - 1)) << "box on the right";
  struct {
    bool checked, enabled;
    int slice;
  } const circlesCases[] = {{true, true, 1}, {false, true, 2}, {true, false, 3}, {false, false, 4}};
  for (const auto& r : circlesCases) {
    radio->SetChecked(r.checked);
    radio->SetEnabled(r.enabled);
    EXPECT_TRUE(matches(radio, *circles, 4, r.slice, 0)) << "radio slice " << r.slice;
  }
  // A disabled caption is flat grey: no embossed highlight next to its letters.
  check->SetEnabled(false);
  check->SetAlignment(taRightJustify);
  RedrawWindow(check->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  {
    HDC dc = GetDC(check->Handle());
    int grey = 0, highlight = 0;
    for (int y = 0; y < 21; ++y)
      for (int x = 20; x < 150; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        if (c == static_cast<COLORREF>(ColorToRGB(clBtnHighlight))) ++highlight;
        if (c == 0x808080) ++grey;
      }
    ReleaseDC(check->Handle(), dc);
    EXPECT_GT(grey, 0) << "the caption is drawn";
    EXPECT_EQ(highlight, 0);
  }
  check->SetEnabled(true);
  // The caption takes the skin's control font colour while skinned, and its own colour back.
  EXPECT_EQ(check->Font().Color(), engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
  engine->SetActive(false);
  EXPECT_EQ(check->Font().Color(), clWindowText);
}

int gStaticColourQueries = 0;
LRESULT CALLBACK CountStaticColourQueries(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) ++gStaticColourQueries;
  return host::DefSubclass(w, msg, wp, lp);
}

// The columns of a control's client area holding the colour `c`, as [first, last] (-1 for none).
std::pair<int, int> ColumnsWithColour(HWND w, TColor c) {
  RECT cr;
  GetClientRect(w, &cr);
  HDC dc = GetDC(w);
  int first = -1, last = -1;
  for (int x = 0; x < cr.right; ++x)
    for (int y = 0; y < cr.bottom; ++y)
      if (static_cast<TColor>(GetPixel(dc, x, y)) == c) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  ReleaseDC(w, dc);
  return {first, last};
}

// What a window subclassed with AnswersUiState says of its focus and accelerator cues.
LRESULT gUiState = 0;
LRESULT CALLBACK AnswersUiState(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_QUERYUISTATE) return gUiState;
  return host::DefSubclass(w, msg, wp, lp);
}

std::vector<COLORREF> ClientPixels(HWND w) {
  RECT cr;
  GetClientRect(w, &cr);
  HDC dc = GetDC(w);
  std::vector<COLORREF> p;
  for (int y = 0; y < cr.bottom; ++y)
    for (int x = 0; x < cr.right; ++x) p.push_back(GetPixel(dc, x, y));
  ReleaseDC(w, dc);
  return p;
}

TEST_F(FrameworkButtons, ACheckBoxIsPaintedWholeFromTheSkinWithItsCaptionBesideTheBox) {
  const TBitmap* strip = engine->CurrentReader()->GetBitmap(keys::bitmap::SKIN2_CHECKBOX);
  ASSERT_NE(strip, nullptr);
  const int boxW = strip->Width() / 6;
  auto* check = NewCheckBox(80, L"Check");
  check->SetChecked(true);
  PumpMessages();
  const HWND h = check->Handle();
  const TColor ink = ColorToRGB(engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR));
  ASSERT_TRUE(host::SetSubclass(form->Handle(), CountStaticColourQueries, 1, 0));
  // Read left to right the caption is left-justified beside the box; read right to left it is
  // right-justified, as the control's own caption is (the box at the side the view says).
  struct {
    TAlignment alignment;
    TBiDiMode bidi;
    bool boxRight, captionRight;
  } const cases[] = {{taRightJustify, bdLeftToRight, false, false},
                     {taLeftJustify, bdLeftToRight, true, false},
                     {taRightJustify, bdRightToLeft, true, true},
                     {taLeftJustify, bdRightToLeft, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "alignment " << c.alignment << ", bidi " << c.bidi);
    check->SetAlignment(c.alignment);
    check->SetBiDiMode(c.bidi);
    PumpMessages();
    ASSERT_EQ(ViewOf(check).boxRight, c.boxRight);
    gStaticColourQueries = 0;
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(gStaticColourQueries, 0) << "the control's own paint (which asks its parent for colours) does not run";
    const auto [first, last] = ColumnsWithColour(h, ink);
    ASSERT_GE(first, 0) << "the caption is drawn in the skin's control font colour";
    // The caption's room: beside the box, which stands at one end.
    const int roomLeft = c.boxRight ? 0 : boxW, roomRight = c.boxRight ? 150 - 1 - boxW : 150;
    if (c.boxRight)
      EXPECT_LT(last, roomRight) << "the caption stays left of the box";
    else
      EXPECT_GT(first, roomLeft) << "the caption starts past the box, with a gap";
    if (c.captionRight)
      EXPECT_GT(last, roomRight - 10) << "right-justified";
    else
      EXPECT_LT(first, roomLeft + 10) << "left-justified";
  }
  check->SetAlignment(taRightJustify);
  check->SetBiDiMode(bdLeftToRight);
  host::RemoveSubclass(form->Handle(), CountStaticColourQueries, 1);

  // A caption read right to left without being aligned so: "x." reads as ".x" does left to right,
  // at the same place beside the box.
  {
    auto* rtl = new TCheckBox(form.get());
    auto* ltr = new TCheckBox(form.get());
    int y = 150;
    for (TCheckBox* c : {rtl, ltr}) {
      c->SetParent(form.get());
      c->SetBounds(200, y, 150, 21);
      y += 30;
    }
    rtl->SetBiDiMode(bdRightToLeftReadingOnly);
    rtl->SetCaption(L"x.");
    ltr->SetCaption(L"x.");
    PumpMessages();
    ASSERT_FALSE(ViewOf(rtl).boxRight);
    RedrawWindow(ltr->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<COLORREF> ltrXDot = ClientPixels(ltr->Handle());
    ltr->SetCaption(L".x");
    PumpMessages();
    RedrawWindow(ltr->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RedrawWindow(rtl->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<COLORREF> ltrDotX = ClientPixels(ltr->Handle());
    ASSERT_FALSE(ltrXDot == ltrDotX);
    EXPECT_TRUE(ClientPixels(rtl->Handle()) == ltrDotX) << "\"x.\" read right to left";
  }

  // Focused, with focus cues shown: a focus rectangle around the caption only; hidden cues, none.
  auto* other = NewCheckBox(120, L"");
  // The window says the focus cues are hidden (as after a mouse click in a dialog).
  gUiState = UISF_HIDEFOCUS;
  ASSERT_TRUE(host::SetSubclass(h, AnswersUiState, 1, 0));
  other->SetFocus();
  PumpMessages();
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const std::vector<COLORREF> unfocused = ClientPixels(h);
  check->SetFocus();
  PumpMessages();
  ASSERT_EQ(GetFocus(), h);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(ClientPixels(h), unfocused) << "focus cues hidden: no focus rectangle";
  host::RemoveSubclass(h, AnswersUiState, 1);
  ASSERT_EQ(SendMessageW(h, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const std::vector<COLORREF> focused = ClientPixels(h);
  int changed = 0, inBox = 0;
  for (std::size_t i = 0; i < focused.size(); ++i)
    if (focused[i] != unfocused[i]) {
      ++changed;
      if (static_cast<int>(i % 150) <= boxW) ++inBox;
    }
  EXPECT_GT(changed, 20) << "a focus rectangle is drawn";
  EXPECT_EQ(inBox, 0) << "around the caption, not the box";
}

// What the system's button draws on the window outside its paint (its focus rectangle, at its own
// caption's place, when the focus comes or goes; its whole look when the focus cues change; its
// box pushed or not while the mouse button is held) is painted over at once: the check box shows
// what its own paint shows.
TEST_F(FrameworkButtons, ACheckBoxShowsFocusCueAndPressChangesAsItsOwnPaintDoes) {
  auto* first = new TCheckBox(form.get());
  auto* second = new TCheckBox(form.get());
  int y = 80;
  for (TCheckBox* c : {first, second}) {
    c->SetParent(form.get());
    c->SetBounds(20, y, 150, 21);
    c->SetCaption(L"&Check box");
    c->SetChecked(true);
    y += 30;
  }
  PumpMessages();
  const HWND a = first->Handle(), b = second->Handle();
  gUiState = 0;
  ASSERT_TRUE(host::SetSubclass(b, AnswersUiState, 1, 0));
  first->SetFocus();
  PumpMessages();
  ASSERT_EQ(GetFocus(), a);
  RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const std::vector<COLORREF> unfocused = ClientPixels(b);
  // What a control shows against what its own full paint shows.
  const auto shownAsPainted = [](HWND w) {
    const std::vector<COLORREF> shown = ClientPixels(w);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return shown == ClientPixels(w);
  };
  const auto send = [b](UINT msg, WPARAM wp, int x) { SendMessageW(b, msg, wp, MAKELPARAM(x, 10)); };
  struct {
    const char* what;
    LRESULT cues;
    std::function<void()> act;
    bool focusRectangle;
  } const steps[] = {
      {"the focus arrives", 0, [second] { second->SetFocus(); }, true},
      {"focus cues hidden", UISF_HIDEFOCUS, [b] { SendMessageW(b, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0); }, false},
      {"focus cues shown", 0, [b] { SendMessageW(b, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0); }, true},
      {"pressed", 0, [send] { send(WM_LBUTTONDOWN, MK_LBUTTON, 5); }, true},
      {"dragged off", 0, [send] { send(WM_MOUSEMOVE, MK_LBUTTON, 300); }, true},
      {"dragged back", 0, [send] { send(WM_MOUSEMOVE, MK_LBUTTON, 5); }, true},
      {"released off it", 0,
       [send] {
         send(WM_MOUSEMOVE, MK_LBUTTON, 300);
         send(WM_LBUTTONUP, 0, 300);
       },
       true},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    gUiState = s.cues;
    s.act();
    PumpMessages();
    ASSERT_EQ(GetFocus(), b);
    EXPECT_TRUE(shownAsPainted(b));
    EXPECT_TRUE(shownAsPainted(a)) << "the box the focus left";
    EXPECT_EQ(ClientPixels(b) != unfocused, s.focusRectangle);
  }
  EXPECT_TRUE(second->Checked()) << "released off the box: no click";
  host::RemoveSubclass(b, AnswersUiState, 1);
}

// A picture of a check box taken through its messages (WM_PRINTCLIENT, or WM_PAINT carrying a
// device context) is what the screen shows, and leaves the window's own pending paint alone.
TEST_F(FrameworkButtons, APictureOfACheckBoxIsTheSkinsPicture) {
  auto* check = NewCheckBox(80, L"Check");
  check->SetChecked(true);
  PumpMessages();
  const HWND h = check->Handle();
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const std::vector<COLORREF> screen = ClientPixels(h);
  HDC screenDC = GetDC(h);
  HDC mem = CreateCompatibleDC(screenDC);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDC, 150, 21);
  ReleaseDC(h, screenDC);
  HGDIOBJ old = SelectObject(mem, bitmap);
  const RECT all{0, 0, 150, 21};
  for (const UINT msg : {static_cast<UINT>(WM_PRINTCLIENT), static_cast<UINT>(WM_PAINT)}) {
    SCOPED_TRACE(msg == WM_PAINT ? "WM_PAINT" : "WM_PRINTCLIENT");
    TOwnedBrush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FillRect(mem, &all, magenta.Get());
    InvalidateRect(h, nullptr, FALSE);
    SendMessageW(h, msg, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    std::vector<COLORREF> picture;
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 150; ++x) picture.push_back(GetPixel(mem, x, y));
    EXPECT_TRUE(picture == screen) << "the picture is the screen's";
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(h, &pending, FALSE)) << "the window's own paint is still to come";
    ValidateRect(h, nullptr);
  }
  SelectObject(mem, old);
  DeleteObject(bitmap);
  DeleteDC(mem);
}

// A 16 x 16 glyph: a green square on magenta (the bottom-left pixel, so transparent).
TBitmap GreenGlyph() {
  image::TvexImage img(16, 16, 0xFF00FF);
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 14; ++x) img.SetPixel(x, y, 0x00A000);
  TBitmap b;
  b.LoadFromImage(img);
  return b;
}

// What a window shows at a client point.
TColor ScreenPixel(HWND w, int x, int y) {
  HDC dc = GetDC(w);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return static_cast<TColor>(c);
}

TEST_F(FrameworkButtons, ABitButtonIsASkinnedButtonWithItsGlyphWhereTheLayoutPutsIt) {
  auto* bit = new TBitBtn(form.get());
  bit->SetParent(form.get());
  bit->SetBounds(120, 20, 75, 25);
  bit->SetGlyph(GreenGlyph());
  bit->SetCaption(L"Go");
  bit->SetMargin(-1);
  bit->SetSpacing(-1);
  TvexSkinWindowVCL* frame = Frame(handle);
  ASSERT_NE(frame, nullptr);
  TvexSkinControlVCL* w = frame->WrapperOf(bit);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->ClassName(), "TvexSkinButton");
  const TControlView v = w->View();
  ASSERT_EQ(v.glyph.bitmap, &bit->Glyph());
  RedrawWindow(bit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  // The glyph's green stands where the glyph layout puts it (its first green column at the
  // glyph's left + 2), on the skin's face; the bit button's own drawing never shows through, also
  // not after a focus change, which an owner-drawn button draws at once.
  HDC dc = GetDC(bit->Handle());
  TCanvas measure;
  measure.SetHandle(dc);
  measure.Font().SetHandle(bit->Font().Handle());
  const SIZE text = MeasureCaption(measure, v, 75);
  measure.SetHandle(nullptr);
  ReleaseDC(bit->Handle(), dc);
  image::TButtonLayoutInput in{75, 25, 16, 16, static_cast<int>(text.cx), static_cast<int>(text.cy), 0, -1, -1};
  const image::TButtonLayout at = image::LayoutButtonGlyph(in);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(ScreenPixel(bit->Handle(), at.glyphX + 2, at.glyphY + 8), 0x00A000) << "round " << round;
    EXPECT_NE(ScreenPixel(bit->Handle(), at.glyphX + 1, at.glyphY + 8), 0x00A000) << "round " << round;
    bit->SetFocus();
    PumpMessages();
  }
  EXPECT_EQ(ScreenPixel(bit->Handle(), at.glyphX + 2, at.glyphY + 8), 0x00A000);
  // Clicked by the wrapper like any push button.
  int clicks = 0;
  bit->OnClick.handler = [&clicks](TObject*) { ++clicks; };
  SendMessageW(bit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(bit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 1);
}

TEST_F(FrameworkButtons, ADisabledBitButtonShowsItsDisabledImageOrItsGlyphGreyed) {
  // Two images side by side (green, then blue for disabled), and one green image alone.
  image::TvexImage pair(32, 16, 0xFF00FF);
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 14; ++x) {
      pair.SetPixel(x, y, 0x00A000);
      pair.SetPixel(16 + x, y, 0x0000C0);
    }
  TBitmap two;
  two.LoadFromImage(pair);
  const struct {
    const TBitmap glyph;
    int count;
    COLORREF shown;
    COLORREF absent;
  } cases[] = {{GreenGlyph(), 1, static_cast<COLORREF>(ColorToRGB(clBtnShadow)), 0x00A000}};
  for (const auto& c : cases) {
    auto* bit = new TBitBtn(form.get());
    bit->SetParent(form.get());
    bit->SetBounds(120, 60, 75, 25);
    bit->SetGlyph(c.glyph);
    bit->SetEnabled(false);
    RedrawWindow(bit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    int shown = 0, absent = 0;
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 75; ++x) {
        const COLORREF p = static_cast<COLORREF>(ScreenPixel(bit->Handle(), x, y));
        if (p == c.shown) ++shown;
        if (p == c.absent) ++absent;
      }
    EXPECT_GT(shown, 20) << c.count;
    EXPECT_EQ(absent, 0) << c.count;
    TComponent::Free(bit);
  }
  auto* bit = new TBitBtn(form.get());
  bit->SetParent(form.get());
  bit->SetBounds(120, 60, 75, 25);
  bit->SetGlyph(two);
  bit->SetNumGlyphs(2);
  bit->SetEnabled(false);
  RedrawWindow(bit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const TColor second = two.PixelColor(24, 8), first = two.PixelColor(8, 8);
  ASSERT_NE(second, first);
  int blue = 0, green = 0;
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 75; ++x) {
      const TColor p = ScreenPixel(bit->Handle(), x, y);
      if (p == second) ++blue;
      if (p == first) ++green;
    }
  EXPECT_EQ(blue, 144) << "the whole second image";
  EXPECT_EQ(green, 0);
}

TEST_F(FrameworkButtons, ASpeedButtonPaintsAtItsOwnPlaceOnlyInItsParentsPaint) {
  auto* speed = new TSpeedButton(form.get());
  speed->SetParent(form.get());
  speed->SetBounds(200, 60, 40, 30);
  speed->SetGroupIndex(1);
  speed->SetDown(true);
  TvexSkinWindowVCL* frame = Frame(handle);
  ASSERT_NE(frame, nullptr);
  TvexSkinControlVCL* w = frame->WrapperOf(speed);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->ClassName(), "TvexSkinSpeedButton");
  RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const TColor down = engine->GetSkinColor(keys::color::SKIN2_TOOLBARDOWNCOLOR);
  const TColor border = engine->GetSkinColor(keys::color::SKIN2_TOOLBARBORDERCOLOR);
  // Down: the tool bar's down colour inside its border, at the button's place; the form around
  // it and at the form's origin keeps the form colour.
  EXPECT_EQ(ScreenPixel(handle, 220, 75), ColorToRGB(down));
  EXPECT_EQ(ScreenPixel(handle, 200, 75), ColorToRGB(border));
  EXPECT_EQ(ScreenPixel(handle, 5, 5), ColorToRGB(engine->GetFormColor()));
  EXPECT_EQ(ScreenPixel(handle, 245, 75), ColorToRGB(engine->GetFormColor()));
  // A press paints through the parent: nothing is drawn outside a paint of the form.
  SendMessageW(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(220, 75));
  RECT update;
  EXPECT_TRUE(GetUpdateRect(handle, &update, FALSE));
  EXPECT_GE(update.left, 200);
  EXPECT_LE(update.right, 240);
  SendMessageW(handle, WM_LBUTTONUP, 0, MAKELPARAM(220, 75));
  PumpMessages();
}

TEST_F(FormFrames, CaptionsKeepTakingTheFormsFontWhileSkinnedAndAfter) {
  // Controls that take the form's font, and one with a font of its own.
  auto* label = new TLabel(form.get());
  auto* check = new TCheckBox(form.get());
  auto* radio = new TRadioButton(form.get());
  auto* own = new TCheckBox(form.get());
  for (TControl* c : std::initializer_list<TControl*>{label, check, radio, own}) c->SetParent(form.get());
  own->Font().SetColor(clRed);
  ASSERT_FALSE(own->ParentFont());
  AttachAndShow();
  const TColor skinText = engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
  ASSERT_NE(skinText, form->Font().Color()) << "the fixture needs a skin whose text colour differs";
  // Skinned: the skin's text colour, and the form's font still reaches every caption that takes it.
  form->Font().SetSize(15);
  for (TControl* c : std::initializer_list<TControl*>{label, check, radio}) {
    EXPECT_EQ(c->Font().Size(), 15) << c->ClassName();
    EXPECT_EQ(c->Font().Color(), skinText) << c->ClassName();
    EXPECT_TRUE(c->ParentFont()) << c->ClassName();
  }
  EXPECT_EQ(own->Font().Color(), skinText);
  // Unskinned and skinned again, then unskinned: every control has the font it had.
  engine->SetActive(false);
  engine->SetActive(true);
  engine->SetActive(false);
  PumpMessages();
  form->Font().SetSize(11);
  for (TControl* c : std::initializer_list<TControl*>{label, check, radio}) {
    EXPECT_TRUE(c->ParentFont()) << c->ClassName();
    EXPECT_EQ(c->Font().Size(), 11) << c->ClassName();
    EXPECT_EQ(c->Font().Color(), form->Font().Color()) << c->ClassName();
  }
  EXPECT_FALSE(own->ParentFont());
  EXPECT_EQ(own->Font().Color(), clRed);
  // The frame going away gives the same back.
  engine->SetActive(true);
  engine->DetachWindow(handle);
  for (TControl* c : std::initializer_list<TControl*>{label, check, radio}) EXPECT_TRUE(c->ParentFont()) << c->ClassName();
  EXPECT_EQ(own->Font().Color(), clRed);
}

// A font the application gives a caption while the skin shows (its own, or its parent's again) is
// the font the control has when the skin goes, and keeps when it comes back.
TEST_F(FormFrames, AFontChosenWhileSkinnedIsKeptWhenTheSkinGoesAndComesBack) {
  auto* label = new TLabel(form.get());
  auto* check = new TCheckBox(form.get());
  auto* radio = new TRadioButton(form.get());
  auto* own = new TCheckBox(form.get());
  for (TControl* c : std::initializer_list<TControl*>{label, check, radio, own}) c->SetParent(form.get());
  own->Font().SetColor(clRed);
  AttachAndShow();
  const TColor formInk = form->Font().Color();
  const TColor skinInk = engine->GetSkinColor(keys::color::SKIN2_CONTROLFONTCOLOR);
  ASSERT_NE(skinInk, formInk);
  // Taken while skinned: a larger font of their own for three, the form's font for the fourth.
  for (TControl* c : std::initializer_list<TControl*>{label, check, radio}) c->Font().SetHeight(-20);
  own->SetParentFont(true);
  for (const bool active : {false, true, false}) {
    SCOPED_TRACE(active ? "skinned again" : "unskinned");
    engine->SetActive(active);
    PumpMessages();
    for (TControl* c : std::initializer_list<TControl*>{label, check, radio}) {
      EXPECT_FALSE(c->ParentFont()) << c->ClassName();
      EXPECT_EQ(c->Font().Height(), -20) << c->ClassName();
      EXPECT_EQ(c->Font().Color(), active ? skinInk : formInk) << c->ClassName();
    }
    EXPECT_TRUE(own->ParentFont());
  }
  form->Font().SetSize(15);
  EXPECT_EQ(own->Font().Size(), 15) << "it follows the form's font";
  EXPECT_EQ(own->Font().Color(), formInk);
}

}  // namespace
}  // namespace vex::engine
