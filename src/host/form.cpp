#include "host/form.h"

#include <algorithm>

#include "host/application.h"
#include "host/dpi.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"
#include "host/tool_bar.h"

namespace vex::host {

const TClassInfo& TSizeConstraints::StaticClass() {
  static TClassInfo info("TSizeConstraints", &TPersistent::StaticClass());
  static const bool once = [] {
    TPropBuilder<TSizeConstraints> b(info);
    b.Integer("MaxHeight", [](const TSizeConstraints& c) { return c.MaxHeight; }, [](TSizeConstraints& c, std::int64_t v) { c.MaxHeight = static_cast<int>(v); c.Changed(); }).defaultValue = std::int64_t{0};
    b.Integer("MaxWidth", [](const TSizeConstraints& c) { return c.MaxWidth; }, [](TSizeConstraints& c, std::int64_t v) { c.MaxWidth = static_cast<int>(v); c.Changed(); }).defaultValue = std::int64_t{0};
    b.Integer("MinHeight", [](const TSizeConstraints& c) { return c.MinHeight; }, [](TSizeConstraints& c, std::int64_t v) { c.MinHeight = static_cast<int>(v); c.Changed(); }).defaultValue = std::int64_t{0};
    b.Integer("MinWidth", [](const TSizeConstraints& c) { return c.MinWidth; }, [](TSizeConstraints& c, std::int64_t v) { c.MinWidth = static_cast<int>(v); c.Changed(); }).defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

void TSizeConstraints::Assign(const TPersistent& source) {
  if (!source.Is<TSizeConstraints>()) return TPersistent::Assign(source);
  const auto& s = static_cast<const TSizeConstraints&>(source);
  MinWidth = s.MinWidth;
  MinHeight = s.MinHeight;
  MaxWidth = s.MaxWidth;
  MaxHeight = s.MaxHeight;
  Changed();
}

void TSizeConstraints::Apply(int& width, int& height) const {
  if (MinWidth > 0) width = std::max(width, MinWidth);
  if (MinHeight > 0) height = std::max(height, MinHeight);
  if (MaxWidth > 0) width = std::min(width, MaxWidth);
  if (MaxHeight > 0) height = std::min(height, MaxHeight);
}

const TClassInfo& TCustomForm::StaticClass() {
  static TClassInfo info("TCustomForm", &TWinControl::StaticClass());
  static const bool once = [] {
    TPropBuilder<TCustomForm> b(info);
    b.Set("BorderIcons", "TBorderIcons", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
          [](const TCustomForm& f) { return f.BorderIcons(); }, [](TCustomForm& f, std::int64_t v) { f.SetBorderIcons(static_cast<int>(v)); })
        .defaultValue = std::int64_t{biSystemMenu | biMinimize | biMaximize};
    b.Enum("BorderStyle", "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
           [](const TCustomForm& f) { return f.BorderStyle(); }, [](TCustomForm& f, std::int64_t v) { f.SetBorderStyle(static_cast<TFormBorderStyle>(v)); })
        .defaultValue = std::int64_t{bsSizeable};
    b.Boolean("AutoScroll", [](const TCustomForm& f) { return f.AutoScroll(); }, [](TCustomForm& f, std::int64_t v) { f.SetAutoScroll(v != 0); }).defaultValue = std::int64_t{0};
    b.Integer("ClientHeight", [](const TCustomForm& f) { return f.ClientHeightProp(); }, [](TCustomForm& f, std::int64_t v) { f.SetClientHeight(static_cast<int>(v)); });
    b.Integer("ClientWidth", [](const TCustomForm& f) { return f.ClientWidthProp(); }, [](TCustomForm& f, std::int64_t v) { f.SetClientWidth(static_cast<int>(v)); });
    b.Object("Constraints", TPropKind::Object, TSizeConstraints::StaticClass(),
             [](const TCustomForm& f) { return const_cast<TSizeConstraints*>(&f.Constraints()); }, nullptr);
    b.Enum("FormStyle", "TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, [](const TCustomForm& f) { return f.FormStyle(); },
           [](TCustomForm& f, std::int64_t v) { f.SetFormStyle(static_cast<TFormStyle>(v)); })
        .defaultValue = std::int64_t{fsNormal};
    b.Object("Menu", TPropKind::Object, TMainMenu::StaticClass(), [](const TCustomForm& f) { return f.Menu(); },
             [](TCustomForm& f, TObject* o) { f.SetMenu(static_cast<TMainMenu*>(o)); });
    b.Boolean("Scaled", [](const TCustomForm& f) { return f.Scaled(); }, [](TCustomForm& f, std::int64_t v) { f.SetScaled(v != 0); }).defaultValue = std::int64_t{1};
    b.Object("WindowMenu", TPropKind::Object, TMenuItem::StaticClass(), [](const TCustomForm& f) { return f.WindowMenu(); },
             [](TCustomForm& f, TObject* o) { f.SetWindowMenu(static_cast<TMenuItem*>(o)); });
    b.Enum("WindowState", "TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, [](const TCustomForm& f) { return f.WindowState(); },
           [](TCustomForm& f, std::int64_t v) { f.SetWindowState(static_cast<TWindowState>(v)); })
        .defaultValue = std::int64_t{wsNormal};
    b.Object("Icon", TPropKind::Object, TIcon::StaticClass(), [](const TCustomForm& f) { return const_cast<TIcon*>(&const_cast<TCustomForm&>(f).Icon()); }, nullptr)
        .stored = [](const TObject&) { return false; };
    b.Boolean("Active", [](const TCustomForm& f) { return f.Active(); }, nullptr);
    // A form stores its client size; its outer size follows from the border. Its position is
    // the system's choice unless set, and it starts hidden.
    b.Integer("Left", [](const TCustomForm& f) { return f.Left(); }, [](TCustomForm& f, std::int64_t v) { f.SetLeft(static_cast<int>(v)); })
        .defaultValue = std::int64_t{CW_USEDEFAULT};
    b.Integer("Top", [](const TCustomForm& f) { return f.Top(); }, [](TCustomForm& f, std::int64_t v) { f.SetTop(static_cast<int>(v)); })
        .defaultValue = std::int64_t{CW_USEDEFAULT};
    b.Integer("Width", [](const TCustomForm& f) { return f.Width(); }, [](TCustomForm& f, std::int64_t v) { f.SetWidth(static_cast<int>(v)); })
        .stored = [](const TObject&) { return false; };
    b.Integer("Height", [](const TCustomForm& f) { return f.Height(); }, [](TCustomForm& f, std::int64_t v) { f.SetHeight(static_cast<int>(v)); })
        .stored = [](const TObject&) { return false; };
    b.Boolean("Visible", [](const TCustomForm& f) { return f.Visible(); }, [](TCustomForm& f, std::int64_t v) { f.SetVisible(v != 0); })
        .defaultValue = std::int64_t{0};
    return true;
  }();
  (void)once;
  return info;
}

const TClassInfo& TForm::StaticClass() {
  static TClassInfo info("TForm", &TCustomForm::StaticClass(), ComponentFactory<TForm>);
  static const bool once = [] { RegisterFrameworkClass(info); return true; }();
  (void)once;
  return info;
}

TCustomForm::TCustomForm(TComponent* owner, const TClassInfo& cls) : TWinControl(owner, cls) {
  visible_ = false;
  parentFont_ = false;
  width_ = 320;
  height_ = 240;
  left_ = CW_USEDEFAULT;
  top_ = CW_USEDEFAULT;
  controlStyle_ |= csAcceptsControls;
  constraints_.OnChange = [this] {
    if (handle_) SetBounds(left_, top_, width_, height_);
  };
  Application().AddForm(this);
}

TCustomForm::~TCustomForm() { Application().RemoveForm(this); }

void TCustomForm::BeforeDestruction() {
  if (menu_) menu_->SetWindow(nullptr);
  Application().RemoveForm(this);
  TWinControl::BeforeDestruction();
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (menu_ && handle_) AttachMenu();
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.style = WS_CLIPCHILDREN;
  p.exStyle &= WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
  p.parent = nullptr;
  switch (borderStyle_) {
    case bsNone: p.style |= WS_POPUP; break;
    case bsSingle: p.style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: p.style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: p.style |= WS_POPUP | WS_CAPTION; p.exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE; break;
    case bsToolWindow: p.style |= WS_CAPTION; p.exStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: p.style |= WS_CAPTION | WS_THICKFRAME; p.exStyle |= WS_EX_TOOLWINDOW; break;
  }
  if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
    p.style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
      if (borderIcons_ & biMinimize) p.style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) p.style |= WS_MAXIMIZEBOX;
    }
    if ((borderIcons_ & biHelp) && !(p.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) p.exStyle |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop) p.exStyle |= WS_EX_TOPMOST;
  if (formStyle_ == fsMDIChild) {
    TCustomForm* frame = MDIFrame();
    if (!frame || frame == this) throw EComponentError("No MDI parent form for " + Name());
    p.parent = frame->ClientHandle() ? frame->ClientHandle() : (frame->HandleNeeded(), frame->ClientHandle());
    p.exStyle |= WS_EX_MDICHILD;
    p.style |= WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    p.style &= ~WS_POPUP;
  }
  if (visible_) p.style |= WS_VISIBLE;
}

void TCustomForm::CreateWnd() {
  // Read before the window exists: whoever is told of the new window (a skin engine) may change it.
  const bool scaleToMonitor = scaled_ && !HasState(csDesigning);
  TWinControl::CreateWnd();
  if (formStyle_ == fsMDIForm && !clientHandle_) {
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = nullptr;
    ccs.idFirstChild = 0xFF00;
    RECT r;
    GetClientRect(handle_, &r);
    clientHandle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                    0, 0, r.right, r.bottom, handle_, nullptr, GetModuleHandleW(nullptr), &ccs);
    // The bars aligned before the window was made have their places already.
    AlignedRestChanged();
  }
  if (icon_.Handle()) SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
  else if (Application().Icon().Handle())
    SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Application().Icon().Handle()));
  if (menu_) AttachMenu();
  // A form designed at 96 dots per inch opens at its monitor's scale.
  if (scaleToMonitor) {
    const int dpi = WindowDpi(handle_);
    if (dpi != currentDpi_) ScaleToDpi(dpi);
  }
}

void TCustomForm::ScaleToDpi(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  const int old = currentDpi_;
  if (dpi != old) Perform(CM_SCALECHANGING, static_cast<WPARAM>(dpi), old);
  currentDpi_ = dpi;
  if (dpi != old) {
    const int cw = ClientWidth(), ch = ClientHeight();
    ScaleChildren(dpi, old);
    font_.Scale(dpi, old);
    auto scale = [dpi, old](int& v) {
      if (v > 0) v = MulDiv(v, dpi, old);
    };
    scale(constraints_.MinWidth);
    scale(constraints_.MinHeight);
    scale(constraints_.MaxWidth);
    scale(constraints_.MaxHeight);
    if (!suggested) SetClientSize(MulDiv(cw, dpi, old), MulDiv(ch, dpi, old));
  }
  if (suggested && handle_)
    SetWindowPos(handle_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (dpi == old) return;
  // The documents of a multiple-document frame are child windows: the system tells only the
  // frame of a new resolution, and they follow it (in their places in the client window too,
  // unless maximized or minimized there).
  if (formStyle_ == fsMDIForm) {
    // Collected first: scaling a document must not change the order the others are found in.
    std::vector<TCustomForm*> children;
    for (int i = 0; i < MDIChildCount(); ++i) children.push_back(MDIChildren(i));
    for (TCustomForm* child : children) {
      if (child->handle_ && !IsZoomed(child->handle_) && !IsIconic(child->handle_))
        child->SetBounds(MulDiv(child->Left(), dpi, old), MulDiv(child->Top(), dpi, old), child->Width(), child->Height());
      // Told as the system tells a window, without a suggested place: a document scales as its
      // own handling of the message says (a skinned one through its frame).
      child->Perform(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
    }
  }
  Perform(CM_SCALECHANGED, static_cast<WPARAM>(dpi), old);
}

void TCustomForm::DestroyWnd() {
  // Destroying a window destroys the menu it shows; the main menu owns its native menu and shows
  // it again on the next window (CM_RECREATEWND), so the window lets go of it first.
  if (handle_ && menu_ && formStyle_ != fsMDIChild) ::SetMenu(handle_, nullptr);
  TWinControl::DestroyWnd();
}

void TCustomForm::AttachMenu() {
  if (!handle_ || formStyle_ == fsMDIChild) return;
  if (!menu_) {
    ::SetMenu(handle_, nullptr);
    return;
  }
  menu_->SetWindow(handle_);
  menu_->OnRebuilt = [this] { RefreshWindowMenu(); };
  ::SetMenu(handle_, menu_->Handle());
  RefreshWindowMenu();
  DrawMenuBar(handle_);
}

void TCustomForm::RefreshWindowMenu() {
  if (!clientHandle_ || !menu_) return;
  HMENU window = windowMenu_ ? windowMenu_->Handle() : nullptr;
  SendMessageW(clientHandle_, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu_->Handle()), reinterpret_cast<LPARAM>(window));
  DrawMenuBar(handle_);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle s) {
  borderStyle_ = s;
  if (handle_) Perform(CM_RECREATEWND);
}

void TCustomForm::SetBorderIcons(int icons) {
  borderIcons_ = icons;
  if (handle_) Perform(CM_RECREATEWND);
}

void TCustomForm::SetFormStyle(TFormStyle s) {
  if (s == formStyle_) return;
  formStyle_ = s;
  if (handle_ && s == fsStayOnTop)
    SetWindowPos(handle_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
  if (handle_) {
    if (IsIconic(handle_)) return wsMinimized;
    if (IsZoomed(handle_)) return wsMaximized;
    return wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState s) {
  windowState_ = s;
  if (handle_ && visible_) ShowWindow(handle_, s == wsMinimized ? SW_MINIMIZE : s == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* m) {
  if (menu_) {
    menu_->RemoveFreeNotification(this);
    menu_->SetWindow(nullptr);
  }
  menu_ = m;
  if (m) m->FreeNotification(this);
  if (HasState(csLoading)) return;
  // Whoever shows the form's menu elsewhere (a menu bar drawn in the client area) takes it here,
  // and the window shows none.
  if (handle_ && Perform(CM_MENUCHANGED, reinterpret_cast<WPARAM>(m)) != 0) return;
  AttachMenu();
}

void TCustomForm::SetWindowMenu(TMenuItem* item) {
  if (windowMenu_) windowMenu_->RemoveFreeNotification(this);
  windowMenu_ = item;
  if (item) item->FreeNotification(this);
  RefreshWindowMenu();
}

void TCustomForm::Notification(TComponent* c, TOperation op) {
  TWinControl::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == menu_) {
    menu_ = nullptr;
    if (handle_ && !HasState(csDestroying)) ::SetMenu(handle_, nullptr);
  }
  if (c == windowMenu_) windowMenu_ = nullptr;
}

void TCustomForm::SetClientSize(int width, int height) {
  if (!handle_) {
    RECT r{0, 0, width, height};
    TCreateParams p;
    CreateParams(p);
    AdjustWindowRectEx(&r, p.style, menu_ != nullptr, p.exStyle);
    SetBounds(left_, top_, r.right - r.left, r.bottom - r.top);
    return;
  }
  RECT wr, cr;
  GetWindowRect(handle_, &wr);
  GetClientRect(handle_, &cr);
  SetBounds(left_, top_, (wr.right - wr.left) + width - cr.right, (wr.bottom - wr.top) + height - cr.bottom);
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  constraints_.Apply(width, height);
  TWinControl::SetBounds(left, top, width, height);
}

RECT TCustomForm::ClientRect() const {
  RECT r{0, 0, width_, height_};
  if (handle_) {
    GetClientRect(handle_, &r);
  } else {
    TCreateParams p;
    const_cast<TCustomForm*>(this)->CreateParams(p);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, p.style, menu_ != nullptr, p.exStyle);
    r.right -= frame.right - frame.left;
    r.bottom -= frame.bottom - frame.top;
  }
  return r;
}

bool TCustomForm::Active() const { return handle_ && GetActiveWindow() == handle_; }

void TCustomForm::SetVisible(bool v) {
  if (v == visible_ && (!v || (handle_ && IsWindowVisible(handle_)))) return;
  visible_ = v;
  if (v) {
    HandleNeeded();
    const int cmd = windowState_ == wsMinimized ? SW_SHOWMINIMIZED : windowState_ == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOW;
    ShowWindow(handle_, cmd);
    if (OnShow) OnShow(this);
  } else if (handle_) {
    ShowWindow(handle_, SW_HIDE);
  }
  Perform(CM_VISIBLECHANGED, v);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (handle_) SetForegroundWindow(handle_);
}

int TCustomForm::ShowModal() {
  if (visible_ || modal_) throw EComponentError("Cannot make a visible window modal");
  std::vector<HWND> disabled;
  for (TCustomForm* f : Application().Forms())
    if (f != this && f->handle_ && IsWindowEnabled(f->handle_) && IsWindowVisible(f->handle_)) {
      EnableWindow(f->handle_, FALSE);
      disabled.push_back(f->handle_);
    }
  modal_ = true;
  modalResult_ = mrNone;
  try {
    Show();
    while (modalResult_ == mrNone && !Application().Terminated()) {
      Application().HandleMessage();
      if (!handle_) break;
    }
  } catch (...) {
    for (HWND w : disabled) EnableWindow(w, TRUE);
    modal_ = false;
    throw;
  }
  for (HWND w : disabled)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  modal_ = false;
  Hide();
  return modalResult_;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  TCloseAction action = formStyle_ == fsMDIChild ? caFree : caHide;
  if (OnClose) OnClose(this, action);
  if (this == Application().MainForm() && action != caNone) {
    Application().Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caFree: Release(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (releasing_) return;
  releasing_ = true;
  if (handle_) PostMessageW(handle_, CM_RELEASE, 0, 0);
}

TCustomForm* TCustomForm::MDIFrame() {
  TCustomForm* main = Application().MainForm();
  if (main && main->FormStyle() == fsMDIForm) return main;
  const auto& forms = Application().Forms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->FormStyle() == fsMDIForm) return *it;
  return nullptr;
}

int TCustomForm::MDIChildCount() const {
  int n = 0;
  for (TCustomForm* f : Application().Forms())
    if (f->formStyle_ == fsMDIChild && f->handle_ && GetParent(f->handle_) == clientHandle_) ++n;
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  for (TCustomForm* f : Application().Forms())
    if (f->formStyle_ == fsMDIChild && f->handle_ && GetParent(f->handle_) == clientHandle_ && index-- == 0) return f;
  return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!clientHandle_) return nullptr;
  HWND active = reinterpret_cast<HWND>(SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  TWinControl* c = FindControl(active);
  return c && c->Is<TCustomForm>() ? static_cast<TCustomForm*>(c) : nullptr;
}

void TCustomForm::AlignedRestChanged() {
  // The children of a multiple-document frame live in the part of the client area its aligned
  // controls (tool bars, a menu bar, a status bar) leave free.
  if (!clientHandle_ || !handle_) return;
  RECT r = AlignedRest();
  RECT client;
  GetClientRect(handle_, &client);
  if (r.right <= r.left && r.bottom <= r.top) r = client;
  RECT now;
  GetWindowRect(clientHandle_, &now);
  MapWindowPoints(nullptr, handle_, reinterpret_cast<POINT*>(&now), 2);
  if (!EqualRect(&now, &r)) MoveWindow(clientHandle_, r.left, r.top, std::max<LONG>(0, r.right - r.left), std::max<LONG>(0, r.bottom - r.top), TRUE);
}

void TCustomForm::Cascade() {
  if (clientHandle_) SendMessageW(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile(bool horizontal) {
  if (clientHandle_) SendMessageW(clientHandle_, WM_MDITILE, horizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TCustomForm::SelectNext(bool forward) {
  // The focus may be in a window inside a control (the edit field of a combo box): the control
  // is the nearest framework window around it.
  TWinControl* current = nullptr;
  for (HWND w = GetFocus(); w && !current && w != handle_; w = GetParent(w)) current = FindControl(w);
  if (TWinControl* next = FindNextControl(current, forward)) next->SetFocus();
}

namespace {

// The first tool bar among a control's descendants with a menu button, and that button's index
// (the letters of menu buttons arrive as dialog characters instead).
TToolBar* MenuToolBar(const TWinControl& parent, int& index) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* c = parent.Controls(i);
    if (!c->Visible() || !c->Is<TWinControl>()) continue;
    if (c->Is<TToolBar>()) {
      auto* bar = static_cast<TToolBar*>(c);
      for (int b = 0; b < bar->ButtonCount(); ++b)
        if (bar->Buttons(b)->MenuItem() && bar->Buttons(b)->MenuItem()->Count() > 0 && bar->Buttons(b)->Visible()) {
          index = b;
          return bar;
        }
    }
    if (TToolBar* bar = MenuToolBar(*static_cast<TWinControl*>(c), index)) return bar;
  }
  index = -1;
  return nullptr;
}

}  // namespace

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SYSCOMMAND:
      // Alt, and Alt with a letter, reach a menu drawn by a tool bar of the form when the window
      // shows no menu bar of its own: the letter as a dialog character with Alt, Alt alone by
      // making the first menu button hot for the keyboard.
      if ((m.WParam & 0xFFF0) == SC_KEYMENU && handle_ && !GetMenu(handle_)) {
        const wchar_t ch = static_cast<wchar_t>(LOWORD(m.LParam));
        if (ch != L' ' && ch != 0 && Perform(CM_DIALOGCHAR, ch, kDialogCharAlt) != 0) {
          m.Result = 0;
          return;
        }
        int index = -1;
        if (ch == 0)
          if (TToolBar* bar = MenuToolBar(*this, index)) {
            bar->EnterMenuMode(index);
            m.Result = 0;
            return;
          }
      }
      break;
    case WM_CLOSE:
      Close();
      return;
    case WM_DPICHANGED:
      // Moved to a monitor of another scale: controls and fonts follow, the window takes the
      // place the system suggests.
      if (scaled_) {
        ScaleToDpi(LOWORD(m.WParam), reinterpret_cast<const RECT*>(m.LParam));
        m.Result = 0;
        return;
      }
      // A document told by its frame comes without a suggested place: nothing for the system's
      // procedure to do with it.
      if (!m.LParam) {
        m.Result = 0;
        return;
      }
      break;
    case CM_RELEASE:
      TComponent::Free(this);
      return;
    case CM_RECREATEWND:
      if (handle_) {
        const bool wasVisible = visible_;
        DestroyWnd();
        clientHandle_ = nullptr;
        HandleNeeded();
        if (wasVisible) ShowWindow(handle_, SW_SHOW);
      }
      return;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
      DefaultHandler(m);
      if (constraints_.MinWidth > 0) mmi->ptMinTrackSize.x = constraints_.MinWidth;
      if (constraints_.MinHeight > 0) mmi->ptMinTrackSize.y = constraints_.MinHeight;
      if (constraints_.MaxWidth > 0) mmi->ptMaxTrackSize.x = constraints_.MaxWidth;
      if (constraints_.MaxHeight > 0) mmi->ptMaxTrackSize.y = constraints_.MaxHeight;
      m.Result = 0;
      return;
    }
    case WM_ACTIVATEAPP:
      Application().SetActive(m.WParam != 0);
      break;
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        if (OnActivate) OnActivate(this);
        Perform(CM_ACTIVATE);
      } else {
        lastFocus_ = GetFocus();
        Perform(CM_DEACTIVATE);
      }
      break;
    case WM_COMMAND:
      if (m.LParam == 0 && HIWORD(m.WParam) == 0) {
        if (menu_ && menu_->DispatchCommand(LOWORD(m.WParam))) return;
        if (TMenuItem* item = TMenu::ItemByCommand(LOWORD(m.WParam))) {
          item->Click();
          return;
        }
      }
      break;
    case WM_MEASUREITEM:
      if (TMenu::HandleMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam))) {
        m.Result = TRUE;
        return;
      }
      break;
    case WM_DRAWITEM:
      if (TMenu::HandleDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam))) {
        m.Result = TRUE;
        return;
      }
      break;
    case WM_MDIACTIVATE:
      if (formStyle_ == fsMDIChild) {
        TWinControl* c = clientHandle_ ? nullptr : FindControl(GetParent(GetParent(handle_)));
        TCustomForm* frame = c && c->Is<TCustomForm>() ? static_cast<TCustomForm*>(c) : nullptr;
        if (frame && frame->menu_) {
          if (reinterpret_cast<HWND>(m.LParam) == handle_)
            frame->menu_->Merge(menu_);
          else if (reinterpret_cast<HWND>(m.WParam) == handle_)
            frame->menu_->Unmerge(menu_);
        }
      }
      break;
    case WM_SIZE:
      if (clientHandle_) {
        TWinControl::WndProc(m);
        AlignedRestChanged();
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TCustomForm::DefaultHandler(TMessage& m) {
  if (m.Msg >= CM_BASE && m.Msg < 0xC000) return;
  if (!handle_) return;
  if (formStyle_ == fsMDIForm)
    m.Result = DefFrameProcW(handle_, clientHandle_, m.Msg, m.WParam, m.LParam);
  else if (formStyle_ == fsMDIChild)
    m.Result = DefMDIChildProcW(handle_, m.Msg, m.WParam, m.LParam);
  else
    TWinControl::DefaultHandler(m);
}

}  // namespace vex::host
