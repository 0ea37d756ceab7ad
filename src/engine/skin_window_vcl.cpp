#include "engine/skin_window_vcl.h"

#include <algorithm>

#include "engine/menu_images.h"
#include "engine/skin_control.h"
#include "engine/skin_engine.h"
#include "engine/skin_menu_bar.h"
#include "host/menu_tracking.h"
#include "host/text_encoding.h"
#include "skin2/skin_keys.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"
#include "utils/skin_reader.h"
#include "utils/text_helpers.h"

namespace vex::engine {

using namespace vex::host;
namespace keys = vex::skin2;

const TClassInfo& TvexSkinWindowVCL::StaticClass() {
  static const TClassInfo info("TvexSkinWindowVCL", &TvexSkinWindow::StaticClass());
  return info;
}

namespace {

// The form a frame serves is its owner, so the frame goes with the form; the engine's own form is
// the exception (the engine destroys that frame).
TComponent* FrameOwner(HWND handle, TvexSkinEngine* engine) {
  TCustomForm* form = utils::FindFormByHandle(handle);
  if (form && form == engine->Owner()) return nullptr;
  return form;
}

bool InheritsFromName(const TClassInfo& cls, const char* name) {
  for (const TClassInfo* c = &cls; c; c = c->Parent())
    if (c->Name() == name) return true;
  return false;
}

}  // namespace

TvexSkinWindowVCL::TvexSkinWindowVCL(HWND handle, bool isDialog, TvexSkinEngine* engine)
    : TvexSkinWindow(FrameOwner(handle, engine), engine, StaticClass()) {
  FCreatedByHook = isDialog;
  try {
    Attach(handle);
    if (FForm->Tag() == engine->DisabledTag()) FEnabled = false;
    // A form opted out is never touched: no control wrappers, no size, colour or style change.
    if (FEnabled) AttachControls();
    SetSkinned(FSkinned);
  } catch (...) {
    // The form is left exactly as it was.
    FDestroying = true;
    *FAlive = false;
    try {
      if (FInitialised && FForm && !FForm->HasState(csDestroying) && Handle()) {
        FSkinned = false;
        UpdateSkinState();
      }
    } catch (...) {
    }
    DetachControls();
    Detach();
    if (Owner()) Owner()->RemoveComponent(this);
    throw;
  }
}

TvexSkinWindowVCL::~TvexSkinWindowVCL() { DestroyingNow(); }

void TvexSkinWindowVCL::Attach(HWND handle) {
  FRestoring = FSeparator = FSeparatorKnown = FMinHeightSet = FMinWidthSet = FControlsShifted = FAllFormsDone = FAdjusting = false;
  FForm = utils::FindFormByHandle(handle);
  if (!FForm) FForm = FEngine->PendingForm;
  if (!FForm) throw EComponentError("VEXSkin: Skinning form failed!");
  FForm->FreeNotification(this);
  FMenu = FChildMenu = FBuiltMenu = FBuiltChildMenu = nullptr;
  CreateMenuBar();
  FButtonColor = Metrics().MenuColors[mcMenuBarStart];
  FButtonToColor = Metrics().MenuColors[mcMenuBarEnd];
  AttachMDI();
  if (!IsMDIChild()) {
    appEvents_.reset(new TApplicationEvents(nullptr));
    appEvents_->OnMessage = [alive = std::weak_ptr<bool>(FAlive), this](MSG& msg, bool& handled) {
      if (const auto a = alive.lock(); a && *a) ShortcutFilter(msg, handled);
    };
  }
  link_ = std::make_shared<TRouteLink>(TRouteLink{this, FForm->WindowProc});
  FForm->WindowProc = TFrameThunk{link_};
  FShowTitle = TitleCondition();
  FShowBorders = FForm->BorderStyle() != bsNone;
}

void TvexSkinWindowVCL::TFrameThunk::operator()(TMessage& m) const {
  if (TvexSkinWindowVCL* f = link->frame)
    f->FrameWndProc(m);
  else if (link->saved)
    link->saved(m);
}

void TvexSkinWindowVCL::Detach() {
  if (link_ && link_->frame) {
    link_->frame = nullptr;
    // The saved procedure goes back only when nothing hooked the form after the frame; otherwise
    // the frame's link stays in the chain and passes every message on.
    if (FForm && !FForm->HasState(csDestroying)) {
      const TFrameThunk* current = FForm->WindowProc.target<TFrameThunk>();
      if (current && current->link == link_) FForm->WindowProc = link_->saved;
    }
  }
  DetachMDI();
  // A live form given back loses the bar (also when the engine itself goes: nothing of it stays
  // on the form); a form going away frees it with its other controls.
  if (FForm && !FForm->HasState(csDestroying)) FreeMenuBar();
  if (FMenuBar) {
    // A bar left on the form (the form goes away and frees it) forgets its frame.
    FMenuBar->FFrame = nullptr;
    FMenuBar->OnCustomDraw = nullptr;
    FMenuBar->OnCustomDrawButton = nullptr;
    FMenuBar->RemoveFreeNotification(this);
  }
  FMenuBar = nullptr;
  WatchMenu(FMenu, false);
  WatchMenu(FChildMenu, false);
  FMenuItems.clear();
  FWindowMenuItems.clear();
  appEvents_.reset();
  if (FForm) FForm->RemoveFreeNotification(this);
  if (FEngine && FEngine->Detaching && FForm && !FForm->HasState(csDestroying) && Handle()) FrameRefresh();
}

void TvexSkinWindowVCL::Notification(TComponent* c, TOperation op) {
  TvexSkinWindow::Notification(c, op);
  if (op == TOperation::opRemove && c == FMenuBar) {
    FMenuBar = nullptr;
    FMenuItems.clear();
  }
  if (op == TOperation::opRemove && (c == FMenu || c == FChildMenu)) {
    // The menu the bar shows goes: the bar is built again without it.
    if (c == FMenu) FMenu = nullptr;
    if (c == FChildMenu) FChildMenu = nullptr;
    if (FBuiltMenu == c) FBuiltMenu = nullptr;
    if (FBuiltChildMenu == c) FBuiltChildMenu = nullptr;
    FMenuItems.clear();
    if (FMenuBar && !FDestroying && FForm && !FForm->HasState(csDestroying) && !FMenuBar->HasState(csDestroying)) {
      while (FMenuBar->ButtonCount() > 0) TComponent::Free(FMenuBar->Buttons(FMenuBar->ButtonCount() - 1));
      PostMenuBarRebuild();
    }
  }
  if (op == TOperation::opRemove) MDINotification(c);
  if (op == TOperation::opRemove && c == FForm) {
    // The form goes first: nothing is given back to it.
    if (link_) link_->frame = nullptr;
    FForm = nullptr;
    FWindowDying = true;
  }
}

HWND TvexSkinWindowVCL::Handle() const {
  if (!FForm || !FForm->HandleAllocated()) return nullptr;
  return const_cast<TCustomForm*>(FForm)->Handle();
}

std::wstring TvexSkinWindowVCL::GetCaptionW() const { return FForm ? FForm->Caption() : std::wstring(); }

bool TvexSkinWindowVCL::TitleCondition() const { return FForm && !FForm->Parent() && FForm->BorderStyle() != bsNone; }

bool TvexSkinWindowVCL::CanSetRegion() const { return TitleCondition(); }

HICON TvexSkinWindowVCL::IconHandle() const {
  if (!FForm) return nullptr;
  if (HICON own = const_cast<TCustomForm*>(FForm)->Icon().Handle()) return own;
  return Application().Icon().Handle();
}

bool TvexSkinWindowVCL::HasHelpButton() const { return FForm && (FForm->BorderIcons() & biHelp); }
bool TvexSkinWindowVCL::IsMDIForm() const { return FForm && FForm->FormStyle() == fsMDIForm; }
bool TvexSkinWindowVCL::IsMDIChild() const { return FForm && FForm->FormStyle() == fsMDIChild; }
bool TvexSkinWindowVCL::IsDialogFrame() const { return FForm && FForm->BorderStyle() == bsDialog; }

bool TvexSkinWindowVCL::HasSystemIcon() const {
  return FForm && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable) && (FForm->BorderIcons() & biSystemMenu);
}

bool TvexSkinWindowVCL::HasCloseButton() const { return FForm && (FForm->BorderIcons() & biSystemMenu); }

namespace {
bool SmallFrame(const TCustomForm& f) {
  return f.BorderStyle() == bsDialog || f.BorderStyle() == bsToolWindow || f.BorderStyle() == bsSizeToolWin;
}
}  // namespace

bool TvexSkinWindowVCL::HasMaximizeButton() const {
  return FForm && (FForm->BorderIcons() & biMaximize) && (FForm->BorderIcons() & biSystemMenu) && !SmallFrame(*FForm);
}

bool TvexSkinWindowVCL::HasMinimizeButton() const {
  return FForm && (FForm->BorderIcons() & biMinimize) && (FForm->BorderIcons() & biSystemMenu) && !SmallFrame(*FForm);
}

bool TvexSkinWindowVCL::MenuBarSeparator() const {
  if (!FSeparatorKnown && FForm) {
    FSeparatorKnown = true;
    for (int i = 0; i < FForm->ControlCount(); ++i) {
      TControl* c = FForm->Controls(i);
      if (c->ClassName() == "TToolBar") {
        const_cast<TvexSkinWindowVCL*>(this)->FSeparator = c->Top() == MenuBarHeight();
        break;
      }
    }
  }
  return FSeparator;
}

void TvexSkinWindowVCL::CallDefault(TMessage& m) {
  if (link_ && link_->saved) link_->saved(m);
}

bool TvexSkinWindowVCL::ScaleContents(int dpi, const RECT* suggested) {
  if (!FForm) return false;
  if (!(FScrollSaved ? FSavedScaled : FForm->Scaled())) {
    // The form keeps its sizes and fonts; the menu bar is the frame's and takes the menu font at
    // the window's resolution (the controls below it follow its height).
    BuildMenuBar(true);
    return false;
  }
  // The form tells the frame before and after it scales (ScaleChanging, ScaleChanged).
  FForm->ScaleToDpi(dpi, suggested);
  return true;
}

void TvexSkinWindowVCL::ScaleChanging() {
  // Scaled where they stand, the controls moved below the menu bar would keep the old bar's row
  // scaled, not the new bar's height: they go back above it first.
  if (!FControlsShifted || !FForm) return;
  ShiftControls(-FShiftedBy);
  FControlsShifted = false;
  FShiftedBy = 0;
  FShiftAfterScale = true;
}

void TvexSkinWindowVCL::ScaleChanged() {
  const bool shift = FShiftAfterScale;
  FShiftAfterScale = false;
  if (!FForm || FForm->HasState(csDestroying)) return;
  const std::shared_ptr<bool> alive = FAlive;
  if (FSkinned && FEnabled) {
    // The bar was scaled with the other controls: it takes the system's menu font at the
    // window's resolution, and its own height from it.
    BuildMenuBar(true);
    if (!*alive) return;
  }
  if (shift && !FControlsShifted) {
    FShiftedBy = MenuBarHeight();
    ShiftControls(FShiftedBy);
    FControlsShifted = true;
  }
  if (FSkinned && FEnabled) {
    FAdjusting = true;
    SetConstraints();
    FAdjusting = false;
    // The control buttons were scaled with the form's controls: they take their own size again.
    if (IsMDIForm()) PlaceMDIButtons();
  }
}

void TvexSkinWindowVCL::RecordSkinnedSize() {
  // The client area the skinned form has now is the one it keeps through skin switches.
  SaveClientSize();
}

void TvexSkinWindowVCL::CaptureFrameMetrics() {
  HWND h = Handle();
  if (!h) return;
  RECT cr, wr;
  GetClientRect(h, &cr);
  GetWindowRect(h, &wr);
  FSavedClientWidth = cr.right;
  FSavedClientHeight = cr.bottom;
  // The menu may be off the window already (skinned before the first show).
  if (FForm->Menu()) {
    if (FMenu != FForm->Menu()) WatchMenu(FMenu, false);
    FMenu = FForm->Menu();
  }
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  FNativeTop = origin.y - wr.top;
  // The form keeps its own menu on its window; the frame shows it in a band below the title.
  FMenuHeight = IsMDIChild() ? 0 : MeasureNativeMenu(FNativeTop);
  FNativeTop -= FMenuHeight;
  FNativeLeft = origin.x - wr.left;
  FNativeBottom = wr.bottom - (origin.y + cr.bottom);
  if (IsMDIChild()) {
    CaptureMDIChildMetrics();
  } else if (IsMDIForm()) {
    FFrameBottom = FNativeBottom;
    FFrameSide = FNativeLeft;
  } else {
    FFrameBottom = 4;
    FFrameSide = 4;
  }
  FSavedColor = FForm->Color();
  if (FMenuBar && FNativeLeft >= 5) FMenuBar->SetIndent(FNativeLeft - 4);
}

void TvexSkinWindowVCL::SaveClientSize() {
  if (FRestoring || FAdjusting || !FForm || !Handle()) return;
  // Only the restored size counts: a minimized or maximized client area is the system's.
  if (IsIconic(Handle()) || IsZoomed(Handle())) return;
  RECT cr;
  GetClientRect(Handle(), &cr);
  FSavedClientWidth = cr.right;
  FSavedClientHeight = cr.bottom - (FSkinned ? MenuBarHeight() : 0);
}

void TvexSkinWindowVCL::FrameRefresh() {
  if (HWND h = Handle())
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TvexSkinWindowVCL::SetConstraints() {
  if (!FForm) return;
  TSizeConstraints& c = FForm->Constraints();
  if (c.MinHeight == 0 || FMinHeightSet) {
    c.MinHeight = MenuBarHeight() + TitleHeight() + 6;
    FMinHeightSet = true;
  }
  // A form attached by the hook keeps its own minimum width.
  if ((c.MinWidth == 0 && !FCreatedByHook) || FMinWidthSet) {
    c.MinWidth = Metrics().MinTitleWidth;
    FMinWidthSet = true;
  }
}

void TvexSkinWindowVCL::ClearConstraints() {
  if (!FForm) return;
  TSizeConstraints& c = FForm->Constraints();
  if (FMinHeightSet) c.MinHeight = 0;
  if (FMinWidthSet) c.MinWidth = 0;
  FMinHeightSet = FMinWidthSet = false;
}

void TvexSkinWindowVCL::ShiftControls(int by) {
  if (!FForm || by == 0) return;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (c == FMenuBar || IsMDIButton(c)) continue;
    const int anchors = c->Anchors();
    const bool top = (anchors & akTop) != 0, bottom = (anchors & akBottom) != 0;
    if (!bottom)
      c->SetBounds(c->Left(), c->Top() + by, c->Width(), c->Height());
    else if (top)
      c->SetBounds(c->Left(), c->Top() + by, c->Width(), std::max(0, c->Height() - by));
    // Anchored to the bottom only: it stays.
  }
}

void TvexSkinWindowVCL::KeepClientSize() {
  HWND h = Handle();
  if (!h) return;
  // Minimized or maximized, the client area says nothing of the restored size: measured when the
  // form is restored.
  FKeepPending = IsZoomed(h) || IsIconic(h);
  if (FKeepPending) return;
  RECT cr;
  GetClientRect(h, &cr);
  const int wantWidth = FSavedClientWidth, wantHeight = FSavedClientHeight + MenuBarHeight();
  if (cr.right == wantWidth && cr.bottom == wantHeight) return;
  FAdjusting = true;
  ApplySizeDelta(SIZE{FAppliedSize.cx + wantWidth - cr.right, FAppliedSize.cy + wantHeight - cr.bottom});
  FAdjusting = false;
}

void TvexSkinWindowVCL::UpdateSkinState() {
  if (!FForm) return;
  if (!FDestroying) RefreshControls();
  if (!FEnabled || FWindowDying || FForm->HasState(csDestroying)) return;
  HWND h = Handle();
  if (!h) return;
  const std::shared_ptr<bool> alive = FAlive;
  if (FSkinned) {
    StripSystemMenu();
    FAdjusting = true;
    FForm->SetColor(FEngine->GetFormColor());
    TakeMenu();
    if (!FScrollSaved) {
      FSavedAutoScroll = FForm->AutoScroll();
      FSavedScaled = FForm->Scaled();
      FScrollSaved = true;
    }
    FForm->SetAutoScroll(false);
    FForm->SetScaled(false);
    FAdjusting = false;
    if (!*alive) return;
    const auto& mc = Metrics().MenuColors;
    if (FMenuBar && FMenu) {
      FMenuBar->SetBounds(FMenuBar->Left(), -100, FMenuBar->Width(), FMenuBar->Height());
      if (!IsMDIChild()) FMenuBar->SetVisible(true);
      FMenuBar->SetParentColor(false);
      FMenuBar->SetColor(mc[mcMenuBarStart]);
    }
    const TBitmap* barImage = Reader()->GetBitmap(keys::bitmap::SKIN2_MENUBAR);
    if (barImage && barImage->Width() > 0 && barImage->Height() > 0) {
      FButtonColor = barImage->PixelColor(0, barImage->Height() / 2);
      FButtonToColor = FEngine->GetFormColor();
    } else {
      FButtonColor = mc[mcMenuBarStart];
      FButtonToColor = mc[mcMenuBarEnd];
    }
    BuildMenuBar(true);
    if (!*alive) return;
    UpdateMDISkinState();
    if (!*alive) return;
    FAdjusting = true;
    SetConstraints();
    FAdjusting = false;
    if (!FControlsShifted) {
      FShiftedBy = MenuBarHeight();
      ShiftControls(FShiftedBy);
      FControlsShifted = true;
    } else if (FShiftedBy != MenuBarHeight()) {
      // A new skin over the old one with a menu bar of another height: the controls follow.
      ShiftControls(MenuBarHeight() - FShiftedBy);
      FShiftedBy = MenuBarHeight();
    }
    if (FForm != FEngine->Owner()) FEngine->SkinFormMenus(FForm);
    FAdjusting = true;
    FrameRefresh();
    FAdjusting = false;
    if (!*alive) return;
    KeepClientSize();
    if (!*alive) return;
  } else {
    FRestoring = true;
    FAdjusting = true;
    RestoreStrippedStyle();
    if (FMenu && FForm->Menu() != FMenu) FForm->SetMenu(FMenu);
    FForm->SetColor(FSavedColor);
    if (FScrollSaved) {
      FForm->SetAutoScroll(FSavedAutoScroll);
      FForm->SetScaled(FSavedScaled);
      FScrollSaved = false;
    }
    ClearConstraints();
    FAdjusting = false;
    if (FControlsShifted) {
      ShiftControls(-FShiftedBy);
      FControlsShifted = false;
    }
    FKeepPending = false;
    ApplySizeDelta(SIZE{0, 0});
    if (!*alive) return;
    if (FForm != FEngine->Owner()) FEngine->UnskinFormMenus(FForm);
    FreeWindowMenuItems();
    if (FMenuBar) FMenuBar->SetVisible(false);
    UpdateMDISkinState();
    if (!*alive) return;
    if (Handle()) {
      SetWindowRgn(h, nullptr, TRUE);
      FrameRefresh();
    }
    FRestoring = false;
  }
}

void TvexSkinWindowVCL::AttachControls() {
  if (!FForm) return;
  // Ownership order first, then anything placed on the form by another owner.
  for (int i = 0; i < FForm->ComponentCount(); ++i)
    if (FForm->Components(i)->Is<TControl>()) AttachControl(static_cast<TControl*>(FForm->Components(i)));
  std::vector<TControl*> stack;
  for (int i = 0; i < FForm->ControlCount(); ++i) stack.push_back(FForm->Controls(i));
  while (!stack.empty()) {
    TControl* c = stack.back();
    stack.pop_back();
    if (c->Tag() == FEngine->DisabledTag() && FEngine->DisabledTag() != 0) continue;
    if (c->Owner() != FForm) AttachControl(c);
    if (c->Is<TWinControl>()) {
      auto* w = static_cast<TWinControl*>(c);
      for (int i = 0; i < w->ControlCount(); ++i) stack.push_back(w->Controls(i));
    }
  }
}

TvexSkinControlVCL* TvexSkinWindowVCL::WrapperOf(const TControl* control) const {
  for (const auto& w : FControls)
    if (auto* v = dynamic_cast<TvexSkinControlVCL*>(w.get()); v && v->Control == control) return v;
  return nullptr;
}

void TvexSkinWindowVCL::AttachControl(TControl* control) {
  if (!control || !FForm) return;
  if (FEngine->Designing() || !control->WindowProc) return;
  const std::int64_t disabled = FEngine->DisabledTag();
  if (disabled != 0 && control->Tag() == disabled) return;
  const std::string name = control->ClassName();
  if (name == "TvexSkinInternalScrollBar" || name == "TvexSkinInternalComboButton" || name == "TRollShadow") return;
  if (WrapperOf(control) || TvexSkinControlVCL::IsWrapped(control)) return;
  if (control->Is<TWinControl>()) {
    auto* w = static_cast<TWinControl*>(control);
    if (w->HandleAllocated() && SendMessageW(w->Handle(), SKM_QUERYSKINNED, 0, 0) == 1) return;
  }
  if (name.rfind("Tvex", 0) == 0) {
    if (name == "TvexForm") FEnabled = false;
    if (name != "TvexSkinInternalUpDown") return;
  }
  if (!control->Parent()) return;
  const auto attachOwned = [this](TControl* c) {
    for (int i = 0; i < c->ComponentCount(); ++i) {
      TComponent* owned = c->Components(i);
      if (owned->Is<TControl>())
        AttachControl(static_cast<TControl*>(owned));
      else if (owned->Is<TPopupMenu>() && owned->Tag() != FEngine->DisabledTag())
        FEngine->SkinMenu(static_cast<TPopupMenu*>(owned));
    }
  };
  if (control->Is<TCustomForm>()) {
    // A form placed inside the form: a named one takes the form colour and its controls are
    // wrapped; an unnamed one is left alone.
    if (!control->Name().empty()) {
      control->SetColor(FEngine->GetFormColor());
      attachOwned(control);
    }
    return;
  }
  TvexSkinControlVCL* wrapper = CreateControlWrapper(control, this);
  if (!wrapper) return;
  FControls.emplace_back(wrapper);
  try {
    wrapper->UpdateSkinState();
    if (wrapper->WantsParentColor() && GetPropInfo(*control, "ParentColor")) control->SetParentColor(true);
  } catch (...) {
    // The wrapper stays; only its first refresh failed.
  }
  if (name == "TDBLookupComboBox" || name == "TJamShellList" || InheritsFromName(control->ClassInfo(), "TCustomGrid")) return;
  attachOwned(control);
}

void TvexSkinWindowVCL::DropWrappers(TControl* control) {
  // The control and what it holds (as parent or owner) leave the form: their wrappers go, last
  // made first, each giving its control the procedure it found.
  const auto inside = [control](const TControl* c) {
    for (const TControl* p = c; p; p = p->Parent())
      if (p == control) return true;
    for (const TComponent* o = c; o; o = o->Owner())
      if (o == control) return true;
    return false;
  };
  for (std::size_t i = FControls.size(); i-- > 0;) {
    auto* v = dynamic_cast<TvexSkinControlVCL*>(FControls[i].get());
    if (!v || (v->Control && !inside(v->Control))) continue;
    std::unique_ptr<TvexSkinControl> w = std::move(FControls[i]);
    FControls.erase(FControls.begin() + static_cast<std::ptrdiff_t>(i));
    w->Detach();
  }
}

void TvexSkinWindowVCL::ShortcutFilter(MSG& msg, bool& handled) {
  if (!FEngine->IsSkinActive() || !FForm || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return;
  // While the main menu stays on the window, the application's own loop dispatches its shortcuts.
  if (!FMenu || FForm->Menu() == FMenu) return;
  if (!utils::IsFormActive(FForm) || !(IsMDIForm() || FForm->Active())) return;
  // A frame form asks the active child's menu first: the child's item wins a shared key.
  if ((IsMDIForm() && FChildMenu && FChildMenu->IsShortCut(msg)) || FMenu->IsShortCut(msg)) {
    handled = true;
    Application().CancelDispatch();
  }
}

// ----- the menu bar -----

int TvexSkinWindowVCL::MenuBarHeight() const { return FMenuBar && FMenuBar->Visible() ? FMenuBar->Height() : 0; }

void TvexSkinWindowVCL::CreateMenuBar() {
  FMenuBar = new TvexSkinMenuBar(nullptr, this);
  FMenuBar->FreeNotification(this);
  FMenuBar->SetVisible(false);
  FMenuBar->SetFlat(true);
  FMenuBar->SetShowCaptions(true);
  FMenuBar->SetParentColor(false);
  FMenuBar->SetWrapable(true);
  FMenuBar->SetAutoSize(true);
  const std::weak_ptr<bool> alive = FAlive;
  FMenuBar->OnCustomDraw = [alive, this](TToolBar* bar, const RECT& r, bool& defaultDraw) {
    if (const auto a = alive.lock(); a && *a) CustomDrawBar(bar, r, defaultDraw);
  };
  FMenuBar->OnCustomDrawButton = [alive, this](TToolBar* bar, TToolButton* b, UINT state, bool& defaultDraw) {
    if (const auto a = alive.lock(); a && *a) CustomDrawButton(bar, b, state, defaultDraw);
  };
  FMenuBar->SetParent(FForm);
}

void TvexSkinWindowVCL::FreeMenuBar() {
  if (!FMenuBar) return;
  TvexSkinMenuBar* bar = FMenuBar;
  FMenuBar = nullptr;
  bar->RemoveFreeNotification(this);
  TComponent::Free(bar);
  FMenuItems.clear();
}

UINT TvexSkinWindowVCL::RebuildMenuBarMessage() {
  static const UINT message = RegisterWindowMessageW(L"vexskin.RebuildMenuBar");
  return message;
}

void TvexSkinWindowVCL::PostMenuBarRebuild() {
  // Items change inside their own handlers (a caption, a check, an item added): the bar follows
  // once the handler is done.
  if (FRebuildPosted || FDestroying || FWindowDying) return;
  if (HWND h = Handle()) FRebuildPosted = PostMessageW(h, RebuildMenuBarMessage(), 0, 0) != FALSE;
}

void TvexSkinWindowVCL::WatchMenu(TMainMenu* menu, bool on) {
  if (!menu) return;
  if (!on) {
    menu->RemoveFreeNotification(this);
    menu->RemoveChangeListener(this);
    return;
  }
  menu->FreeNotification(this);
  const std::weak_ptr<bool> alive = FAlive;
  menu->AddChangeListener(this, [alive, this] {
    if (const auto a = alive.lock(); a && *a && FEditingMenus == 0) PostMenuBarRebuild();
  });
}

void TvexSkinWindowVCL::TakeMenu() {
  if (!FForm || IsMDIChild()) {
    // A child's menu stays with the child; its frame form shows it.
    if (FForm && FForm->Menu() && FMenu != FForm->Menu()) {
      WatchMenu(FMenu, false);
      FMenu = FForm->Menu();
    }
    return;
  }
  if (TMainMenu* now = FForm->Menu()) {
    if (now != FMenu) WatchMenu(FMenu, false);
    FMenu = now;
    const bool adjusting = FAdjusting;
    FAdjusting = true;
    FForm->SetMenu(nullptr);
    FAdjusting = adjusting;
  }
  WatchMenu(FMenu, true);
}

UINT TvexSkinWindowVCL::MenuBarResizedMessage() {
  static const UINT message = RegisterWindowMessageW(L"vexskin.MenuBarResized");
  return message;
}

void TvexSkinWindowVCL::MenuBarResized() {
  if (FResizePosted || FDestroying || FWindowDying || !FSkinned || !FControlsShifted) return;
  if (HWND h = Handle()) FResizePosted = PostMessageW(h, MenuBarResizedMessage(), 0, 0) != FALSE;
}

void TvexSkinWindowVCL::MenuBarChanged(bool keepClientSize) {
  // The bar came, went or changed its height while skinned: the controls, the limits and the
  // client size follow.
  if (!FSkinned || !FForm || !Handle()) return;
  const std::shared_ptr<bool> alive = FAlive;
  if (FControlsShifted && FShiftedBy != MenuBarHeight()) {
    ShiftControls(MenuBarHeight() - FShiftedBy);
    FShiftedBy = MenuBarHeight();
  }
  if (IsMDIForm()) PlaceMDIButtons();
  FAdjusting = true;
  SetConstraints();
  FAdjusting = false;
  if (keepClientSize) {
    KeepClientSize();
    if (!*alive) return;
  } else {
    SaveClientSize();
  }
  PaintFrame();
}

namespace {

// The top-level items of a menu, in order; sets `images` when one of them shows an image.
void TopLevelItems(const TMainMenu* menu, std::vector<TMenuItem*>& out, bool& images) {
  if (!menu) return;
  const TMenuItem* root = menu->Items();
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    out.push_back(item);
    if (item->ImageIndex() != -1) images = true;
  }
}

}  // namespace

void TvexSkinWindowVCL::BuildMenuBar(bool force) {
  if (!FForm) return;
  bool collected = false, images = false;
  const bool merge = IsMDIForm();
  if (force || FMenu != FBuiltMenu || (merge && FChildMenu != FBuiltChildMenu)) {
    FMenuItems.clear();
    if (!merge || !FMenu || !FChildMenu) {
      TopLevelItems(FMenu, FMenuItems, images);
    } else {
      // The child's items take the places of the frame's items of their groups, as one block
      // after the frame's items of lower groups.
      std::vector<TMenuItem*> child;
      TopLevelItems(FChildMenu, child, images);
      std::vector<int> groups;
      for (const TMenuItem* c : child) groups.push_back(c->GroupIndex());
      const TMenuItem* root = FMenu->Items();
      for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (std::find(groups.begin(), groups.end(), item->GroupIndex()) != groups.end()) continue;
        FMenuItems.push_back(item);
        if (item->ImageIndex() != -1) images = true;
      }
      if (!child.empty()) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < FMenuItems.size(); ++i)
          if (FMenuItems[i]->GroupIndex() < child.front()->GroupIndex()) at = i + 1;
        FMenuItems.insert(FMenuItems.begin() + static_cast<std::ptrdiff_t>(at), child.begin(), child.end());
      }
    }
    FBuiltMenu = FMenu;
    FBuiltChildMenu = merge ? FChildMenu : nullptr;
    collected = true;
  }
  if ((collected || force) && FMenuBar && !FMenuBar->HasState(csDestroying)) {
    const int before = MenuBarHeight();
    if (FMenuItems.empty()) {
      FMenuBar->BeginUpdate();
      while (FMenuBar->ButtonCount() > 0) TComponent::Free(FMenuBar->Buttons(FMenuBar->ButtonCount() - 1));
      FMenuBar->EndUpdate();
      FMenuBar->SetVisible(false);
    } else {
      FMenuBar->BeginUpdate();
      FMenuBar->SetAutoSize(false);
      FMenuBar->SetImages(images ? &MenuPlaceholderImages() : nullptr);
      utils::AssignMenuFont(FMenuBar->Font(), FDpi);
      FMenuBar->SetList(images);
      while (FMenuBar->ButtonCount() > 0) TComponent::Free(FMenuBar->Buttons(FMenuBar->ButtonCount() - 1));
      // The bar appends a new button after the others: made in the order they stand.
      for (TMenuItem* item : FMenuItems) {
        auto* b = new TToolButton(nullptr);
        b->SetGrouped(true);
        b->SetMenuItem(item);
        b->SetText(item->Caption());
        // The button leaves room for the item's image; the frame draws it from the item's menu.
        if (images) b->SetImageIndex(item->ImageIndex());
        b->SetEnabled(item->Enabled());
        b->SetVisible(item->Visible());
        b->SetParent(FMenuBar);
      }
      FMenuBar->EndUpdate();
      FMenuBar->SetAutoSize(true);
      if (!IsMDIChild() && !FMenuBar->Visible()) FMenuBar->SetVisible(true);
    }
    if (before != MenuBarHeight() && FInitialised) MenuBarChanged();
  }
  if (merge) UpdateWindowMenu();
}

void TvexSkinWindowVCL::CustomDrawBar(TToolBar* bar, const RECT& rect, bool& defaultDraw) {
  TCanvas& canvas = bar->Canvas();
  if (!canvas.Handle()) return;
  const auto& mc = Metrics().MenuColors;
  if (const TBitmap* image = Reader()->GetBitmap(keys::bitmap::SKIN2_MENUBAR))
    canvas.StretchDraw(rect, *image);
  else if (mc[mcMenuBarStart] != mc[mcMenuBarEnd])
    utils::GradientFillRows(canvas, rect, mc[mcMenuBarStart], mc[mcMenuBarEnd]);
  else
    utils::FillRectColor(canvas, rect, mc[mcMenuBarStart]);
  defaultDraw = true;
}

void TvexSkinWindowVCL::CustomDrawButton(TToolBar* bar, TToolButton* button, UINT state, bool& defaultDraw) {
  TCanvas& canvas = bar->Canvas();
  defaultDraw = false;
  if (!canvas.Handle() || !button) return;
  const auto& mc = Metrics().MenuColors;
  RECT r = bar->ButtonRect(button);
  // The bar's font is the menu font (set when the bar was built); the same description keeps the
  // canvas's GDI font from one paint to the next.
  canvas.Font().SetLogFont(bar->Font().LogFont());
  TMenuItem* item = button->MenuItem();
  const TMenu* menu = item ? item->GetParentMenu() : nullptr;
  const TImageList* images = menu ? menu->Images() : nullptr;
  const int imageIndex = item ? item->ImageIndex() : -1;
  const bool hasImage = images && imageIndex >= 0 && imageIndex < images->Count();
  const int i = hasImage ? images->Width() : 0;
  if (state & (CDIS_HOT | CDIS_SELECTED)) {
    button->SetTag(TvexSkinMenuBar::kHotTag);
    utils::FillRectColor(canvas, r, mc[mcTopSelected]);
    utils::FrameRectColor(canvas, r, mc[mcTopSelectedBorder]);
    canvas.Font().SetColor(mc[mcTopSelectedFont]);
  } else {
    button->SetTag(0);
    const bool disabled = !button->Enabled() || (state & CDIS_DISABLED) || (item && !item->Enabled());
    canvas.Font().SetColor(disabled ? TColor(0x808080) : mc[mcTopMenuFont]);
  }
  r.left += i;
  r.top += 2;
  canvas.Brush.style = TBrushStyle::bsClear;
  const std::wstring text = item ? item->Caption() : button->Caption();
  canvas.DrawText(text, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  canvas.Brush.style = TBrushStyle::bsSolid;
  if (hasImage) images->Draw(canvas, r.left - i + 2, r.top + 2, imageIndex, true);
}

UINT TvexSkinWindowVCL::KeepClientSizeMessage() {
  static const UINT message = RegisterWindowMessageW(L"vexskin.KeepClientSize");
  return message;
}

bool TvexSkinWindowVCL::BeforeMessage(TMessage& m) {
  if (m.Msg == RebuildMenuBarMessage() && m.Msg != 0) {
    FRebuildPosted = false;
    if (FSkinned && FEnabled && FForm && !FForm->HasState(csDestroying)) {
      TakeMenu();
      BuildMenuBar(true);
    }
    m.Result = 0;
    return false;
  }
  if (m.Msg == MenuBarResizedMessage() && m.Msg != 0) {
    FResizePosted = false;
    MenuBarChanged(false);
    m.Result = 0;
    return false;
  }
  if (m.Msg == CM_SCALECHANGING) {
    ScaleChanging();
    return true;
  }
  if (m.Msg == CM_SCALECHANGED) {
    ScaleChanged();
    return true;
  }
  if (m.Msg == CM_MENUCHANGED) {
    // The application gave the form another menu (or none) while it is skinned: the bar shows it,
    // and the window none.
    if (FAdjusting || !FSkinned || !FEnabled || !FForm || IsMDIChild() || FDestroying) return true;
    auto* menu = reinterpret_cast<TMainMenu*>(m.WParam);
    if (menu != FMenu) WatchMenu(FMenu, false);
    FMenu = menu;
    if (menu) {
      FAdjusting = true;
      FForm->SetMenu(nullptr);
      FAdjusting = false;
      WatchMenu(menu, true);
    }
    PostMenuBarRebuild();
    m.Result = 1;
    return false;
  }
  if (m.Msg == KeepClientSizeMessage() && m.Msg != 0) {
    HWND h = Handle();
    if (FKeepPending && FSkinned && h && !IsZoomed(h) && !IsIconic(h)) KeepClientSize();
    m.Result = 0;
    return false;
  }
  switch (m.Msg) {
    case WM_SYSCOMMAND:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return !MenuBandMessage(m);
    case WM_DESTROY:
      FWindowDying = true;
      if (FTitleCapture) EndTitleCapture();
      return true;
    default:
      return true;
  }
}

void TvexSkinWindowVCL::AfterMessage(TMessage& m) {
  if (IsMDIForm() || IsMDIChild()) {
    const std::shared_ptr<bool> alive = FAlive;
    AfterMDIMessage(m);
    if (!*alive) return;
  }
  switch (m.Msg) {
    case WM_SHOWWINDOW:
    case CM_VISIBLECHANGED:
      if (!FAllFormsDone && FForm == Application().MainForm() && FEngine->SkinAllForms() &&
          (m.Msg == CM_VISIBLECHANGED ? m.WParam != 0 : m.WParam != 0)) {
        FAllFormsDone = true;
        FEngine->SkinAllOpenForms();
      }
      break;
    case WM_SIZE: {
      HWND h = Handle();
      if (!h) break;
      if (IsZoomed(h) && !IsMDIChild() && !FMoving) {
        // A maximized form covers its work area with the skin's border just outside it.
        RECT work, wr;
        utils::GetWorkArea(h, work);
        GetWindowRect(h, &wr);
        if (wr.right - wr.left < (work.right - work.left) + 8 || wr.bottom - wr.top < (work.bottom - work.top) + 8) {
          FMoving = true;
          const std::shared_ptr<bool> alive = FAlive;
          SetWindowPos(h, nullptr, work.left - 4, work.top - 4, (work.right - work.left) + 8, (work.bottom - work.top) + 8,
                       SWP_NOZORDER | SWP_NOACTIVATE);
          if (!*alive) return;
          FMoving = false;
        }
      }
      // Restored after a skin change while minimized or maximized: the client size is taken
      // back once the restore has finished (inside it the window still has its old size).
      if (FKeepPending && FSkinned && !IsZoomed(h) && !IsIconic(h)) PostMessageW(h, KeepClientSizeMessage(), 0, 0);
      PaintFrame();
      UpdateRegion();
      if (FInitialised && !FKeepPending) SaveClientSize();
      break;
    }
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) != WM_CREATE) break;
      [[fallthrough]];
    case CM_RECREATEWND:
    case CM_FLOAT: {
      HWND h = Handle();
      if (!h) break;
      FWindowDying = false;
      StripSystemMenu();
      FShowTitle = TitleCondition();
      FShowBorders = FShowTitle;
      if (FShowTitle) SetConstraints();
      if (m.Msg != WM_PARENTNOTIFY) FrameRefresh();
      UpdateRegion();
      break;
    }
    case CM_CONTROLLISTCHANGE: {
      auto* control = reinterpret_cast<TControl*>(m.WParam);
      if (!control || FDestroying || !FForm || FForm->HasState(csDestroying) || !FEnabled) break;
      if (m.LParam) {
        // A control placed on the form while it is skinned gets its wrapper now, as it would
        // have had when the form was attached; then what it holds.
        std::vector<TControl*> stack{control};
        while (!stack.empty()) {
          TControl* c = stack.back();
          stack.pop_back();
          if (FEngine->DisabledTag() != 0 && c->Tag() == FEngine->DisabledTag()) continue;
          AttachControl(c);
          if (c->Is<TWinControl>())
            for (int i = 0; i < static_cast<TWinControl*>(c)->ControlCount(); ++i) stack.push_back(static_cast<TWinControl*>(c)->Controls(i));
        }
      } else {
        DropWrappers(control);
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace vex::engine
