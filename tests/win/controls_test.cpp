// The framework's application, controls, forms, menus and dialogs with real windows and messages.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/application.h"
#include "host/dialogs.h"
#include "host/form.h"
#include "host/button_controls.h"
#include "host/edit.h"
#include "host/form_stream.h"
#include "host/std_controls.h"

namespace vex::host {
namespace {

void Pump() {
  for (int i = 0; i < 3; ++i) {
    Application().ProcessMessages();
    Sleep(5);
  }
}

// Records the framework messages a control sees through its WindowProc.
struct TRecorder {
  std::vector<UINT> seen;
  TWndMethod saved;
  TControl* control;
  explicit TRecorder(TControl* c) : saved(c->WindowProc), control(c) {
    c->WindowProc = [this](TMessage& m) {
      seen.push_back(m.Msg);
      saved(m);
    };
  }
  ~TRecorder() { control->WindowProc = saved; }
  int Count(UINT msg) const { return static_cast<int>(std::count(seen.begin(), seen.end(), msg)); }
};

class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = [this](const std::exception* e) { errors.push_back(e ? e->what() : "?"); };
    form.reset(new TForm(nullptr));
    form->SetBounds(40, 40, 400, 300);
    form->Show();
    Pump();
  }
  void TearDown() override {
    form.reset();
    Pump();
    EXPECT_TRUE(errors.empty()) << errors.front();
  }
  TComponentPtr<TForm> form;
  std::vector<std::string> errors;
};

// A windowless control that paints itself in one colour and counts clicks.
class TSwatch : public TGraphicControl {
  VEX_CLASS(TSwatch)
 public:
  explicit TSwatch(TComponent* owner) : TGraphicControl(owner, StaticClass()) { SetBounds(0, 0, 30, 20); }
  TColor fill = clRed;

 protected:
  void Paint() override {
    Canvas().Brush.color = fill;
    Canvas().FillRect(ClientRect());
  }
};
const TClassInfo& TSwatch::StaticClass() {
  static const TClassInfo info("TSwatch", &TGraphicControl::StaticClass());
  return info;
}

TEST_F(Framework, MessagesPassThroughAReplaceableWindowProc) {
  auto* b = new TButton(form.get());
  b->SetParent(form.get());
  b->SetCaption(L"Push");
  HWND h = b->Handle();
  {
    TRecorder rec(b);
    SendMessageW(h, WM_USER + 7, 0, 0);
    EXPECT_EQ(rec.Count(WM_USER + 7), 1);
    b->SetEnabled(false);
    b->SetEnabled(true);
    b->SetCaption(L"Other");
    b->SetVisible(false);
    b->SetVisible(true);
    EXPECT_EQ(rec.Count(CM_ENABLEDCHANGED), 2);
    EXPECT_EQ(rec.Count(CM_TEXTCHANGED), 1);
    EXPECT_EQ(rec.Count(CM_VISIBLECHANGED), 2);
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(4, 3));
    EXPECT_EQ(rec.Count(CM_MOUSEENTER), 1);
    SendMessageW(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(rec.Count(CM_MOUSELEAVE), 1);
  }
  // Restored: nothing records any more, and the window still works.
  EXPECT_EQ(b->Perform(WM_GETTEXTLENGTH), 5);
  EXPECT_EQ(b->Caption(), L"Other");
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  EXPECT_STREQ(cls, L"TButton");
  GetClassNameW(form->Handle(), cls, 64);
  EXPECT_STREQ(cls, L"TForm");
}

TEST_F(Framework, ButtonClicksArriveAsClickAndSetTheModalResult) {
  auto* b = new TButton(form.get());
  b->SetParent(form.get());
  int clicks = 0;
  b->OnClick.handler = [&](TObject* sender) {
    EXPECT_EQ(sender, b);
    ++clicks;
  };
  b->SetModalResult(mrYes);
  SendMessageW(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), mrYes);
}

TEST_F(Framework, WindowlessControlsArePaintedAndFedMouseMessages) {
  auto* sw = new TSwatch(form.get());
  sw->SetParent(form.get());
  sw->SetBounds(10, 10, 30, 20);
  TRecorder rec(sw);
  int clicks = 0;
  sw->OnClick.handler = [&](TObject*) { ++clicks; };
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(form->Handle());
  EXPECT_EQ(GetPixel(dc, 20, 15), RGB(255, 0, 0));
  EXPECT_NE(GetPixel(dc, 50, 15), RGB(255, 0, 0));
  ReleaseDC(form->Handle(), dc);
  EXPECT_GE(rec.Count(WM_PAINT), 1);

  HWND h = form->Handle();
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
  EXPECT_EQ(rec.Count(CM_MOUSEENTER), 1);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(16, 15));
  EXPECT_EQ(clicks, 1);
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(rec.Count(CM_MOUSELEAVE), 1);
  // A press that ends outside the control is no click.
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
  EXPECT_EQ(clicks, 1);
}

TEST_F(Framework, AlignAndAnchorsFollowTheParentsSize) {
  auto* top = new TPanel(form.get());
  top->SetParent(form.get());
  top->SetHeight(30);
  top->SetAlign(alTop);
  auto* client = new TPanel(form.get());
  client->SetParent(form.get());
  client->SetAlign(alClient);
  auto* corner = new TButton(client);
  corner->SetParent(client);
  form->SetClientSize(300, 200);
  Pump();
  EXPECT_EQ(top->Width(), 300);
  EXPECT_EQ(client->Top(), 30);
  EXPECT_EQ(client->Height(), 170);
  corner->SetBounds(200, 100, 75, 25);
  corner->SetAnchors(akRight | akBottom);
  form->SetClientSize(400, 260);
  Pump();
  EXPECT_EQ(client->Width(), 400);
  EXPECT_EQ(corner->Left(), 300);
  EXPECT_EQ(corner->Top(), 160);
}

TEST_F(Framework, FormStylesBecomeWindowStyles) {
  struct Case {
    TFormBorderStyle border;
    int icons;
    DWORD style, noStyle, exStyle;
  };
  const Case cases[] = {
      {bsSizeable, biSystemMenu | biMinimize | biMaximize, WS_THICKFRAME | WS_CAPTION | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, 0, 0},
      {bsSingle, biSystemMenu | biMinimize, WS_CAPTION | WS_MINIMIZEBOX, WS_THICKFRAME | WS_MAXIMIZEBOX, 0},
      {bsDialog, biSystemMenu | biMinimize | biMaximize, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME},
      {bsToolWindow, biSystemMenu, WS_CAPTION, WS_THICKFRAME, WS_EX_TOOLWINDOW},
      {bsSizeToolWin, biSystemMenu, WS_CAPTION | WS_THICKFRAME, 0, WS_EX_TOOLWINDOW},
      {bsNone, biSystemMenu, WS_POPUP, WS_CAPTION | WS_SYSMENU, 0},
      {bsDialog, biSystemMenu | biHelp, WS_SYSMENU, 0, WS_EX_CONTEXTHELP},
  };
  for (const Case& c : cases) {
    TComponentPtr<TForm> f(new TForm(nullptr));
    f->SetBorderStyle(c.border);
    f->SetBorderIcons(c.icons);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(f->Handle(), GWL_STYLE)), ex = static_cast<DWORD>(GetWindowLongW(f->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(style & c.style, c.style) << c.border;
    EXPECT_EQ(style & c.noStyle, 0u) << c.border;
    EXPECT_EQ(ex & c.exStyle, c.exStyle) << c.border;
  }
  form->SetClientSize(250, 150);
  RECT r;
  GetClientRect(form->Handle(), &r);
  EXPECT_EQ(r.right, 250);
  EXPECT_EQ(r.bottom, 150);
  EXPECT_EQ(form->ClientWidth(), 250);
}

TEST_F(Framework, ConstraintsAreEnforced) {
  form->Constraints().MinWidth = 200;
  form->Constraints().MinHeight = 150;
  form->Constraints().MaxWidth = 500;
  form->Constraints().Changed();
  form->SetBounds(10, 10, 50, 50);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 150);
  form->SetWidth(900);
  EXPECT_EQ(form->Width(), 500);
  MINMAXINFO mmi{};
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 200);
  EXPECT_EQ(mmi.ptMaxTrackSize.x, 500);
}

TEST_F(Framework, CloseActionsAndRelease) {
  auto* other = new TForm(nullptr);
  other->Show();
  bool gone = false;
  struct TWatch : TComponent {
    bool* flag;
    TComponent* target;
    TWatch(bool* f, TComponent* t) : TComponent(nullptr), flag(f), target(t) { t->FreeNotification(this); }
    void Notification(TComponent* c, TOperation op) override {
      if (c == target && op == TOperation::opRemove) *flag = true;
    }
  };
  TComponentPtr<TWatch> watch(new TWatch(&gone, other));
  bool allow = false;
  other->OnCloseQuery = [&](TCustomForm*, bool& can) { can = allow; };
  SendMessageW(other->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(other->Handle()));
  allow = true;
  other->OnClose = [](TCustomForm*, TCloseAction& a) { a = caHide; };
  other->Close();
  EXPECT_FALSE(IsWindowVisible(other->Handle()));
  other->OnClose = [](TCustomForm*, TCloseAction& a) { a = caFree; };
  other->Show();
  other->Close();
  EXPECT_FALSE(gone);  // freed only once the queued messages are handled
  Pump();
  EXPECT_TRUE(gone);
}

TEST_F(Framework, MenusOwnerDrawShortcutsAndPopups) {
  auto* menu = new TMainMenu(form.get());
  auto* file = new TMenuItem(form.get());
  file->SetCaption(L"&File");
  menu->Items()->Add(file);
  auto* save = new TMenuItem(form.get());
  save->SetCaption(L"Save");
  save->SetShortCut(MakeShortCut('S', scCtrl));
  file->Add(save);
  auto* sep = new TMenuItem(form.get());
  sep->SetCaption(L"-");
  file->Add(sep);
  int saves = 0;
  save->OnClick.handler = [&](TObject*) { ++saves; };
  form->SetMenu(menu);
  ASSERT_NE(GetMenu(form->Handle()), nullptr);
  EXPECT_EQ(GetMenuItemCount(GetMenu(form->Handle())), 1);
  EXPECT_EQ(GetMenuItemCount(file->Handle()), 2);
  wchar_t text[64];
  GetMenuStringW(file->Handle(), 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Save\tCtrl+S");  // an automatic hot key and the shortcut

  EXPECT_TRUE(menu->IsShortCut(MakeShortCut('S', scCtrl)));
  EXPECT_FALSE(menu->IsShortCut(MakeShortCut('S', scAlt)));
  EXPECT_EQ(saves, 1);
  SendMessageW(form->Handle(), WM_COMMAND, save->Command(), 0);
  EXPECT_EQ(saves, 2);
  EXPECT_EQ(ShortCutToText(MakeShortCut(VK_F5, scShift)), L"Shift+F5");
  EXPECT_EQ(TextToShortCut(L"Ctrl+Alt+Del"), VK_DELETE | scCtrl | scAlt);

  // Owner drawing goes to the item's handlers.
  int measured = 0, drawn = 0;
  save->OnMeasureItem = [&](TMenuItem* i, TCanvas&, int& w, int& h) {
    EXPECT_EQ(i, save);
    w = 123;
    h = 21;
    ++measured;
  };
  save->OnDrawItem = [&](TMenuItem* i, TCanvas& c, RECT r, bool selected) {
    EXPECT_TRUE(selected);
    c.Brush.color = clLime;
    c.FillRect(r);
    ++drawn;
  };
  menu->Rebuild();
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(file->Handle(), 0, TRUE, &mii);
  EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, save->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(save)};
  SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(mis.itemWidth, 123u);
  EXPECT_EQ(mis.itemHeight, 21u);
  TBitmap target(130, 25);
  DRAWITEMSTRUCT dis{ODT_MENU, 0, save->Command(), ODA_DRAWENTIRE, ODS_SELECTED, reinterpret_cast<HWND>(file->Handle()),
                     target.Canvas().Handle(), RECT{0, 0, 123, 21}, reinterpret_cast<ULONG_PTR>(save)};
  SendMessageW(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(drawn, 1);
  EXPECT_EQ(target.PixelColor(5, 5), clLime);

  // A popup menu: OnPopup, then the native menu runs until it is closed.
  auto* popup = new TPopupMenu(form.get());
  auto* a = new TMenuItem(form.get());
  a->SetCaption(L"Alpha");
  popup->Items()->Add(a);
  int popups = 0;
  popup->OnPopup = [&](TObject*) { ++popups; };
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
  });
  popup->Popup(100, 100);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(GetMenuItemCount(popup->Handle()), 1);
}

TEST_F(Framework, MdiFramesChildrenAndMenuMerging) {
  TCustomForm* savedMain = Application().MainForm();
  TComponentPtr<TForm> frame(new TForm(nullptr));
  frame->SetFormStyle(fsMDIForm);
  Application().SetMainForm(frame.get());
  auto* menu = new TMainMenu(frame.get());
  auto* file = new TMenuItem(frame.get());
  file->SetCaption(L"File");
  menu->Items()->Add(file);
  auto* window = new TMenuItem(frame.get());
  window->SetCaption(L"Window");
  window->SetGroupIndex(9);
  menu->Items()->Add(window);
  frame->SetMenu(menu);
  frame->SetWindowMenu(window);
  frame->Show();
  ASSERT_NE(frame->ClientHandle(), nullptr);

  TComponentPtr<TForm> a(new TForm(nullptr));
  a->SetFormStyle(fsMDIChild);
  a->SetCaption(L"Child A");
  auto* childMenu = new TMainMenu(a.get());
  auto* edit = new TMenuItem(a.get());
  edit->SetCaption(L"Edit");
  edit->SetGroupIndex(5);
  childMenu->Items()->Add(edit);
  a->SetMenu(childMenu);
  a->Show();
  TComponentPtr<TForm> b(new TForm(nullptr));
  b->SetFormStyle(fsMDIChild);
  b->SetCaption(L"Child B");
  b->Show();
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 2);
  EXPECT_EQ(frame->MDIChildren(0), a.get());
  EXPECT_EQ(GetParent(a->Handle()), frame->ClientHandle());
  SendMessageW(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), a.get());
  // The child's Edit (group 5) sits between File (0) and Window (9).
  HMENU bar = GetMenu(frame->Handle());
  ASSERT_GE(GetMenuItemCount(bar), 3);
  wchar_t text[32];
  GetMenuStringW(bar, 1, text, 32, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Edit");
  SendMessageW(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(b->Handle()), 0);
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), b.get());
  GetMenuStringW(GetMenu(frame->Handle()), 1, text, 32, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Window");
  frame->Cascade();
  frame->Tile();
  b.reset();
  a.reset();
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 0);
  Application().SetMainForm(savedMain);
}

TEST_F(Framework, MessageDialogIsATMessageFormAnsweringWithItsButtons) {
  TComponentPtr<TMessageForm> dlg(CreateMessageDialog(L"Save the changes?", mtConfirmation, mbYes | mbNo | mbCancel));
  wchar_t cls[64];
  GetClassNameW(dlg->Handle(), cls, 64);
  EXPECT_STREQ(cls, L"TMessageForm");
  EXPECT_EQ(dlg->Message()->Caption(), L"Save the changes?");
  std::vector<TButton*> buttons;
  for (int i = 0; i < dlg->ControlCount(); ++i)
    if (dlg->Controls(i)->Is<TButton>()) buttons.push_back(static_cast<TButton*>(dlg->Controls(i)));
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0]->Caption(), L"&Yes");
  static HWND gNo = nullptr;
  gNo = buttons[1]->Handle();
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SendMessageW(gNo, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(dlg->ShowModal(), mrNo);
  EXPECT_FALSE(IsWindowVisible(dlg->Handle()));
}

TEST_F(Framework, ApplicationEventsSeeMessagesFirst) {
  TComponentPtr<TApplicationEvents> first(new TApplicationEvents(nullptr));
  TComponentPtr<TApplicationEvents> second(new TApplicationEvents(nullptr));
  int seenFirst = 0, seenSecond = 0, dispatched = 0;
  auto* probe = new TButton(form.get());
  probe->SetParent(form.get());
  TRecorder rec(probe);
  first->OnMessage = [&](MSG& m, bool& handled) {
    if (m.message != WM_USER + 1 && m.message != WM_USER + 2) return;
    ++seenFirst;
    if (m.message == WM_USER + 1) handled = true;
    if (m.message == WM_USER + 2) first->CancelDispatch();
  };
  second->OnMessage = [&](MSG& m, bool&) {
    if (m.message == WM_USER + 1 || m.message == WM_USER + 2) ++seenSecond;
  };
  PostMessageW(probe->Handle(), WM_USER + 1, 0, 0);
  PostMessageW(probe->Handle(), WM_USER + 2, 0, 0);
  Pump();
  dispatched = rec.Count(WM_USER + 1) + rec.Count(WM_USER + 2);
  EXPECT_EQ(seenFirst, 2);
  EXPECT_EQ(seenSecond, 1);  // handled messages still reach later components; cancelled ones do not
  EXPECT_EQ(rec.Count(WM_USER + 1), 0);
  EXPECT_EQ(rec.Count(WM_USER + 2), 1);
  EXPECT_EQ(dispatched, 1);
}

TEST_F(Framework, FormsWithControlsStreamAndReadBack) {
  TComponentPtr<TForm> f(new TForm(nullptr));
  f->SetName("Form1");
  f->SetCaption(L"Streamed");
  f->SetBorderStyle(bsSingle);
  f->SetBorderIcons(biSystemMenu | biMinimize);
  auto* panel = new TPanel(f.get());
  panel->SetName("Panel1");
  panel->SetParent(f.get());
  panel->SetAlign(alTop);
  auto* button = new TButton(f.get());
  button->SetName("Button1");
  button->SetParent(panel);
  button->SetCaption(L"OK");
  auto* label = new TLabel(f.get());
  label->SetName("Label1");
  label->SetParent(f.get());
  label->SetCaption(L"Hello");
  const std::string text = WriteComponentText(*f);
  TComponentPtr<TForm> g(new TForm(nullptr));
  ReadComponentText(text, *g);
  EXPECT_EQ(WriteComponentText(*g), text) << text;
  auto* b2 = static_cast<TButton*>(g->FindComponent("Button1"));
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(b2->Parent(), g->FindComponent("Panel1"));
  EXPECT_EQ(g->BorderStyle(), bsSingle);
  EXPECT_EQ(g->Caption(), L"Streamed");
}

}  // namespace
}  // namespace vex::host

namespace vex::host {
namespace {

TEST_F(Framework, FocusTabOrderAndBidirectionalText) {
  auto* a = new TButton(form.get());
  a->SetParent(form.get());
  auto* b = new TButton(form.get());
  b->SetParent(form.get());
  b->SetLeft(100);
  auto* off = new TButton(form.get());
  off->SetParent(form.get());
  off->SetEnabled(false);
  EXPECT_TRUE(a->CanFocus());
  EXPECT_FALSE(off->CanFocus());
  EXPECT_THROW(off->SetFocus(), EComponentError);
  a->SetFocus();
  EXPECT_TRUE(a->Focused());
  TRecorder rec(b);
  form->SelectNext(true);  // Tab: the disabled button is passed over
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(rec.Count(CM_GOTFOCUS), 1);
  form->SelectNext(true);
  EXPECT_TRUE(a->Focused());
  form->SelectNext(false);
  EXPECT_TRUE(b->Focused());
  b->SetTabOrder(0);
  EXPECT_EQ(b->TabOrder(), 0);
  EXPECT_EQ(a->TabOrder(), 1);

  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  EXPECT_EQ(label->DrawTextBiDiModeFlags(DT_LEFT), static_cast<UINT>(DT_LEFT));
  label->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(label->DrawTextBiDiModeFlags(DT_LEFT), static_cast<UINT>(DT_RIGHT | DT_RTLREADING));
  EXPECT_EQ(label->DrawTextBiDiModeFlags(DT_RIGHT), static_cast<UINT>(DT_LEFT | DT_RTLREADING));
  label->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(label->DrawTextBiDiModeFlags(DT_CENTER), static_cast<UINT>(DT_CENTER | DT_RTLREADING));
  a->SetBiDiMode(bdRightToLeft);
  EXPECT_TRUE(GetWindowLongW(a->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING);
}

TEST_F(Framework, ControlsFollowTheirParentsBidirectionalModeUntilGivenTheirOwn) {
  auto* outer = new TPanel(form.get());
  outer->SetParent(form.get());
  auto* inner = new TPanel(form.get());
  inner->SetParent(outer);
  auto* edit = new TEdit(form.get());
  edit->SetParent(inner);
  auto* label = new TLabel(form.get());
  label->SetParent(inner);
  label->SetBounds(0, 0, 120, 16);
  label->SetAutoSize(false);
  label->SetCaption(L"Text");
  form->Show();
  Pump();
  const auto rtl = [](TControl* c) { return c->UseRightToLeftAlignment(); };
  const auto rtlWindow = [](TWinControl* c) { return (GetWindowLongW(c->Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0; };
  EXPECT_FALSE(rtl(label));
  // Set on the outer panel: every control below that follows its parent takes it, windows restyled.
  outer->SetBiDiMode(bdRightToLeft);
  EXPECT_FALSE(outer->ParentBiDiMode());
  EXPECT_TRUE(rtl(inner));
  EXPECT_TRUE(rtl(edit));
  EXPECT_TRUE(rtl(label));
  EXPECT_TRUE(rtlWindow(edit));
  EXPECT_EQ(label->DrawTextBiDiModeFlags(DT_LEFT), static_cast<UINT>(DT_RIGHT | DT_RTLREADING));
  // A control given its own mode keeps it when the parent's changes, and follows again when asked.
  label->SetBiDiMode(bdLeftToRight);
  outer->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(label->BiDiMode(), bdLeftToRight);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeftReadingOnly);
  label->SetParentBiDiMode(true);
  EXPECT_EQ(label->BiDiMode(), bdRightToLeftReadingOnly);
  // An auto-sized label aligned right to left keeps its right end when its text changes.
  auto* sized = new TLabel(form.get());
  sized->SetParent(inner);
  sized->SetBiDiMode(bdRightToLeft);
  sized->SetCaption(L"Short");
  sized->SetBounds(10, 30, 150, 16);
  sized->SetCaption(L"A longer caption");
  EXPECT_EQ(sized->Left() + sized->Width(), 160);
  EXPECT_LT(sized->Width(), 150);
  sized->SetBiDiMode(bdLeftToRight);
  sized->SetBounds(10, 30, 150, 16);
  sized->SetCaption(L"Short");
  EXPECT_EQ(sized->Left(), 10) << "left to right, the left end stays";
  // A control put on a parent takes the parent's mode.
  auto* late = new TCheckBox(form.get());
  late->SetParent(inner);
  EXPECT_EQ(late->BiDiMode(), bdRightToLeftReadingOnly);
  // Stored: the mode of a control that follows its parent is not written; one of its own is.
  outer->SetName("Outer");
  inner->SetName("Inner");
  label->SetName("Label1");
  edit->SetName("Edit1");
  late->SetName("Late");
  edit->SetBiDiMode(bdLeftToRight);
  const std::string text = WriteComponentText(*form);
  TComponentPtr<TForm> g(new TForm(nullptr));
  ReadComponentText(text, *g);
  auto* edit2 = static_cast<TEdit*>(g->FindComponent("Edit1"));
  auto* late2 = static_cast<TCheckBox*>(g->FindComponent("Late"));
  ASSERT_TRUE(edit2 && late2);
  EXPECT_EQ(edit2->BiDiMode(), bdLeftToRight);
  EXPECT_FALSE(edit2->ParentBiDiMode());
  EXPECT_EQ(late2->BiDiMode(), bdRightToLeftReadingOnly);
  EXPECT_TRUE(late2->ParentBiDiMode());
}

TEST_F(Framework, AnAutoSizedCenteredLabelKeepsItsLeftEndInEitherReadingOrder) {
  // Centered text stands at neither end: the label keeps its left end, right to left as well as
  // left to right; a right-justified label aligned right to left has its text at its left end.
  struct TCase {
    TAlignment alignment;
    TBiDiMode mode;
  };
  for (const TCase& c : {TCase{taCenter, bdLeftToRight}, TCase{taCenter, bdRightToLeft}, TCase{taRightJustify, bdRightToLeft}}) {
    SCOPED_TRACE(testing::Message() << "alignment " << c.alignment << ", mode " << c.mode);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetAlignment(c.alignment);
    label->SetBiDiMode(c.mode);
    label->SetCaption(L"Short");
    label->SetBounds(10, 30, 150, 16);
    label->SetCaption(L"A longer caption");
    EXPECT_EQ(label->Left(), 10);
    EXPECT_LT(label->Width(), 150);
  }
}

TEST_F(Framework, MenuImagesComeFromTheNearestSubMenuImages) {
  auto* menu = new TPopupMenu(form.get());
  TImageList menuImages(nullptr, 16, 16), subImages(nullptr, 8, 8);
  menu->SetImages(&menuImages);
  auto* parent = new TMenuItem(form.get());
  parent->SetCaption(L"Parent");
  menu->Items()->Add(parent);
  auto* child = new TMenuItem(form.get());
  child->SetCaption(L"Child");
  parent->Add(child);
  EXPECT_EQ(child->ImagesForItem(), &menuImages);
  parent->SetSubMenuImages(&subImages);
  EXPECT_EQ(child->ImagesForItem(), &subImages);
  EXPECT_EQ(parent->ImagesForItem(), &menuImages);
}

}  // namespace
}  // namespace vex::host
