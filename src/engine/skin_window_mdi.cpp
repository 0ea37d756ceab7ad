// The multiple-document parts of the form frame: the client window's procedure, cascade and
// tile, the control buttons of a maximized child, the window menu, the messages between a child
// and its frame form.
//
// A frame form subclasses its client window. Children made in it get their own skinned frames
// as they are created (the client hears of each child in WM_PARENTNOTIFY). A child tells its
// frame form when it becomes active (SKM_MENUCHANGED: the frame's bar merges the child's menu),
// when it is maximized or restored (WM_MDIMAXIMIZE, WM_MDIRESTORE: the control buttons in the
// bar's row follow), and when it is shown, hidden or renamed (SKM_UPDATEWINDOWMENU: the list of
// children in the window menu follows).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "engine/menu_bar_control_button.h"
#include "engine/skin_engine.h"
#include "engine/skin_window_vcl.h"
#include "host/library_module.h"
#include "host/subclass.h"
#include "image/scaling.h"
#include "host/callback_guard.h"
#include "utils/paint_primitives.h"
#include "utils/platform_helpers.h"

namespace vex::engine {

using namespace vex::host;

namespace {

// Tags of the three control buttons, index 0 to 2 of FMDIButtons.
constexpr std::int64_t kCloseTag = -1381, kRestoreTag = -1382, kMinimizeTag = -1383;
// The buttons stand this far apart, right to left: close, restore, minimize.
constexpr int kButtonStep = 18;

bool IsClientWindow(HWND wnd) {
  wchar_t name[16];
  return wnd && GetClassNameW(wnd, name, 16) > 0 && lstrcmpiW(name, L"MDIClient") == 0;
}

bool OwnVisible(HWND wnd) { return wnd && (GetWindowLongW(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// The children of a frame form in index order that are still there and not on their way out.
std::vector<TCustomForm*> LiveChildren(const TCustomForm& frame, HWND leaving = nullptr) {
  std::vector<TCustomForm*> out;
  const int n = frame.MDIChildCount();
  for (int i = 0; i < n; ++i) {
    TCustomForm* c = frame.MDIChildren(i);
    if (!c || c->HasState(csDestroying) || !c->HandleAllocated()) continue;
    if (const_cast<TCustomForm*>(c)->Handle() == leaving) continue;
    out.push_back(c);
  }
  return out;
}

}  // namespace

// ----- attaching and detaching -----

void TvexSkinWindowVCL::AttachMDI() {
  if (IsMDIChild()) {
    // The frame form lists the new child in its window menu once it shows.
    if (HWND frame = MDIFrameHandle()) SendMessageW(frame, SKM_UPDATEWINDOWMENU, 0, 0);
    return;
  }
  // A frame form opted out of skinning is not touched.
  if (!IsMDIForm() || (FEngine->DisabledTag() != 0 && FForm->Tag() == FEngine->DisabledTag())) return;
  const std::weak_ptr<bool> alive = FAlive;
  const int size = Px(kButtonStep);
  int x = FForm->Width() - Px(25);
  for (int i = 1; i <= 3; ++i) {
    auto* b = new TvexSkinMenuBarControlButton(nullptr);
    FMDIButtons[static_cast<std::size_t>(i - 1)] = b;
    b->FreeNotification(this);
    b->SetVisible(false);
    b->SetParent(FForm);
    b->SetAnchors(akTop | akRight);
    b->SetBounds(x, 1, size, size);
    b->SetTag(-1380 - i);
    b->OnClick.handler = [alive, this](TObject* sender) {
      if (const auto a = alive.lock(); a && *a) MDIButtonClick(sender);
    };
    b->SetColor(FButtonColor);
    b->SetToColor(FButtonToColor);
    b->BringToFront();
    x -= size;
  }
  FMDIGlyphDpi = 0;
  ScaleMDIGlyphs();
  SubclassClient();
}

void TvexSkinWindowVCL::ScaleMDIGlyphs() {
  if (FMDIGlyphDpi == FDpi) return;
  FMDIGlyphDpi = FDpi;
  // Minimize, restore and close glyphs from left to right; close is the rightmost button. Each
  // is scaled on its own, pixel for pixel, so its lines stay sharp.
  TBitmap glyphs;
  glyphs.LoadFromResourceName(LibraryModule(), L"VEXSKIN_MDI_CONTROLER");
  for (int i = 1; i <= 3; ++i) {
    TvexSkinMenuBarControlButton* b = FMDIButtons[static_cast<std::size_t>(i - 1)];
    if (!b) continue;
    TBitmap glyph;
    utils::SliceBitmap(&glyphs, glyph, 3, 4 - i);
    if (FDpi != 96 && !glyph.Empty()) {
      TBitmap scaled;
      scaled.LoadFromImage(image::ScaleSlices(glyph.ToImage(), 1, FDpi, 96));
      glyph.Assign(scaled);
    }
    b->SetGlyph(glyph);
  }
}

void TvexSkinWindowVCL::DetachMDI() {
  UnsubclassClient();
  // A live form loses the buttons; a form going away frees them with its other controls.
  const bool formLives = FForm && !FForm->HasState(csDestroying) && !FWindowDying;
  for (TvexSkinMenuBarControlButton*& b : FMDIButtons) {
    if (!b) continue;
    TvexSkinMenuBarControlButton* button = b;
    b = nullptr;
    button->RemoveFreeNotification(this);
    if (formLives && !button->HasState(csDestroying)) TComponent::Free(button);
  }
  for (TMenuItem* item : FWindowMenuItems) item->RemoveFreeNotification(this);
  if (FChildMenu) FChildMenu->RemoveFreeNotification(this);
}

void TvexSkinWindowVCL::MDINotification(TComponent* c) {
  for (TvexSkinMenuBarControlButton*& b : FMDIButtons)
    if (b == c) b = nullptr;
  FWindowMenuItems.erase(std::remove(FWindowMenuItems.begin(), FWindowMenuItems.end(), c), FWindowMenuItems.end());
}

bool TvexSkinWindowVCL::IsMDIButton(const TControl* c) const {
  return c && std::find(FMDIButtons.begin(), FMDIButtons.end(), c) != FMDIButtons.end();
}

void TvexSkinWindowVCL::SubclassClient(HWND client) {
  if (!client && FForm && IsMDIForm()) client = FForm->ClientHandle();
  if (client == FClientWnd) return;
  UnsubclassClient();
  if (client && host::SetSubclass(client, ClientWndProc, sidMDIClient, reinterpret_cast<DWORD_PTR>(this))) FClientWnd = client;
}

void TvexSkinWindowVCL::UnsubclassClient() {
  if (!FClientWnd) return;
  host::RemoveSubclass(FClientWnd, ClientWndProc, sidMDIClient);
  FClientWnd = nullptr;
}

TCustomForm* TvexSkinWindowVCL::MDIFrameForm() const {
  if (!IsMDIChild()) return nullptr;
  HWND h = Handle();
  HWND client = h ? GetParent(h) : nullptr;
  if (!client) return nullptr;
  for (TCustomForm* f : Application().Forms())
    if (f->FormStyle() == fsMDIForm && f->ClientHandle() == client && !f->HasState(csDestroying)) return f;
  return nullptr;
}

HWND TvexSkinWindowVCL::MDIFrameHandle() const {
  TCustomForm* f = MDIFrameForm();
  return f && f->HandleAllocated() ? f->Handle() : nullptr;
}

void TvexSkinWindowVCL::CaptureMDIChildMetrics() {
  // A child keeps the frame sizes its frame form measured of itself.
  TCustomForm* frame = MDIFrameForm();
  HWND client = frame ? frame->ClientHandle() : nullptr;
  // A frame form that is not skinned (yet) answers nothing: the child keeps its own caption's
  // height then.
  const int top = client ? static_cast<int>(SendMessageW(client, SKM_QUERYFRAMETOP, 0, 0)) : 0;
  if (top > 0) FNativeTop = top;
  FFrameBottom = std::max(client ? static_cast<int>(SendMessageW(client, SKM_QUERYFRAMEBOTTOM, 0, 0)) : 0, 4);
  FFrameSide = std::max(client ? static_cast<int>(SendMessageW(client, SKM_QUERYFRAMESIDE, 0, 0)) : 0, 4);
  FNativeLeft = 4;
  // The frame form reads the menu of its active child once the queue comes round (a child
  // still being made is not active yet).
  if (frame && frame->HandleAllocated()) PostMessageW(frame->Handle(), SKM_MENUCHANGED, reinterpret_cast<WPARAM>(Handle()), 0);
}

// ----- the skin state -----

void TvexSkinWindowVCL::UpdateMDISkinState() {
  if (!FForm) return;
  const std::shared_ptr<bool> alive = FAlive;
  if (IsMDIForm()) {
    if (FSkinned) {
      SubclassClient();
      // The frame's menu is off the window: it merges nothing natively meanwhile (the bar shows
      // the active child's items).
      if (FMenu && FMenu->Merged()) FMenu->Merge(nullptr);
      PlaceMDIButtons();
      AttachChildren();
      if (!*alive) return;
      ShowMDIButtons();
    } else {
      HideMDIButtons();
      // The menu back on the window shows the active child's items as the framework merges them.
      if (FMenu) {
        TCustomForm* active = FForm->ActiveMDIChild();
        TMainMenu* childMenu = active ? active->Menu() : nullptr;
        if (FMenu->Merged() != childMenu) FMenu->Merge(childMenu);
      }
    }
    return;
  }
  if (!IsMDIChild()) return;
  if (!FSkinned) {
    FZoomedChildMenu = false;
    return;
  }
  HWND h = Handle();
  TCustomForm* frame = MDIFrameForm();
  if (!h || !frame || !frame->HandleAllocated()) return;
  // Every child shows its own activation state; the active one announces its menu.
  const bool active = frame->ActiveMDIChild() == FForm;
  FActive = active;
  PaintFrame();
  if (active) SendMessageW(frame->Handle(), SKM_MENUCHANGED, reinterpret_cast<WPARAM>(h), 0);
  if (!*alive) return;
  if (IsZoomed(h) && !FZoomedChildMenu) {
    FZoomedChildMenu = true;
    SendMessageW(frame->Handle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(h), 0);
  }
}

void TvexSkinWindowVCL::AttachChildren() {
  if (!IsMDIForm() || !FForm || !FSkinned || !FEngine->IsSkinActive()) return;
  for (TCustomForm* child : LiveChildren(*FForm)) ChildArrived(child->Handle());
}

// ----- messages -----

void TvexSkinWindowVCL::AfterMDIMessage(TMessage& m) {
  if (!FForm) return;
  if (IsMDIForm()) {
    switch (m.Msg) {
      case WM_MDIMAXIMIZE:
      case WM_MDIRESTORE:
        // The buttons follow the active child's state (a restore of one child may come after
        // another was maximized in its place).
        ShowMDIButtons();
        break;
      case WM_MDIREFRESHMENU:
        PaintFrame();
        break;
      case SKM_MENUCHANGED:
        ChildMenuAnnounced(reinterpret_cast<HWND>(m.WParam));
        break;
      case SKM_UPDATEWINDOWMENU:
        UpdateWindowMenu();
        break;
      case WM_PARENTNOTIFY:
        // The client window is made after the form's own window (which the frame may have
        // taken already, when the form was activated as it was made).
        if (LOWORD(m.WParam) == WM_CREATE && IsClientWindow(reinterpret_cast<HWND>(m.LParam)))
          SubclassClient(reinterpret_cast<HWND>(m.LParam));
        break;
      case CM_RECREATEWND:
        // A new window comes with a new client window.
        SubclassClient();
        break;
      default:
        break;
    }
    return;
  }
  if (!IsMDIChild()) return;
  HWND h = Handle();
  switch (m.Msg) {
    case WM_MDIACTIVATE:
      FActive = h != nullptr && reinterpret_cast<HWND>(m.LParam) == h;
      if (FActive)
        if (HWND frame = MDIFrameHandle()) SendMessageW(frame, SKM_MENUCHANGED, reinterpret_cast<WPARAM>(h), 0);
      PaintFrame();
      break;
    case WM_SHOWWINDOW:
      FChildHidden = m.WParam == 0;
      break;
    case WM_SIZE: {
      if (!h) break;
      HWND frame = MDIFrameHandle();
      if (IsZoomed(h)) {
        if (!FZoomedChildMenu) {
          FZoomedChildMenu = true;
          if (frame) SendMessageW(frame, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(h), 0);
        }
      } else {
        // Out of the maximized state the title and the borders come back around the client.
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        if (FZoomedChildMenu) {
          FZoomedChildMenu = false;
          if (frame) SendMessageW(frame, WM_MDIRESTORE, reinterpret_cast<WPARAM>(h), 0);
        }
      }
      break;
    }
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      if (pos && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
        if (HWND frame = MDIFrameHandle()) SendMessageW(frame, SKM_UPDATEWINDOWMENU, 0, 0);
      break;
    }
    case WM_SETTEXT:
    case CM_TEXTCHANGED:
      // The window menu shows the child's caption.
      if (HWND frame = MDIFrameHandle()) SendMessageW(frame, SKM_UPDATEWINDOWMENU, 0, 0);
      break;
    case CM_MENUCHANGED:
      // The active child got another menu: the frame's bar shows it.
      if (TCustomForm* frame = MDIFrameForm(); frame && frame->ActiveMDIChild() == FForm && frame->HandleAllocated())
        SendMessageW(frame->Handle(), SKM_MENUCHANGED, reinterpret_cast<WPARAM>(h), 0);
      break;
    case SKM_QUERYHIDDEN:
      m.Result = FChildHidden ? 1 : 0;
      break;
    default:
      break;
  }
}

LRESULT CALLBACK TvexSkinWindowVCL::ClientWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<TvexSkinWindowVCL*>(data);
  if (msg == WM_NCDESTROY) {
    host::RemoveSubclass(wnd, ClientWndProc, sidMDIClient);
    if (self->FClientWnd == wnd) self->FClientWnd = nullptr;
    return host::DefSubclass(wnd, msg, wParam, lParam);
  }
  const std::shared_ptr<bool> alive = self->FAlive;
  // The client's own handling first (the system's arrangement, its list of children).
  LRESULT result = host::DefSubclass(wnd, msg, wParam, lParam);
  if (!*alive) return result;
  GuardCallback([&] { self->ClientMessage(msg, wParam, lParam, result); });
  return result;
}

void TvexSkinWindowVCL::ClientMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!FEngine || !FEngine->IsSkinActive() || !FEnabled || !FForm) return;
  switch (msg) {
    case WM_MDICASCADE:
      Cascade();
      break;
    case WM_MDITILE:
      Tile((wParam & MDITILE_HORIZONTAL) != 0);
      break;
    case WM_MDICREATE:
      ChildArrived(reinterpret_cast<HWND>(result));
      break;
    case WM_MDIDESTROY:
      ChildLeaving(reinterpret_cast<HWND>(wParam));
      break;
    case WM_PARENTNOTIFY: {
      // Children made with the multiple-document extended style tell their client window.
      HWND child = reinterpret_cast<HWND>(lParam);
      if (LOWORD(wParam) == WM_CREATE)
        ChildArrived(child);
      else if (LOWORD(wParam) == WM_DESTROY)
        ChildLeaving(child);
      break;
    }
    case SKM_QUERYFRAMETOP:
      result = FNativeTop;
      break;
    case SKM_QUERYFRAMESIDE:
      result = FFrameSide;
      break;
    case SKM_QUERYFRAMEBOTTOM:
      result = FFrameBottom;
      break;
    default:
      break;
  }
}

void TvexSkinWindowVCL::ChildArrived(HWND child) {
  if (!child || !FSkinned || FWindowDying || !IsWindow(child) || !(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_MDICHILD)) return;
  // A child of a skinned frame form is skinned as it is made, whatever its class.
  TCustomForm* form = utils::FindFormByHandle(child);
  const std::int64_t disabled = FEngine->DisabledTag();
  if (form && form->FormStyle() == fsMDIChild && !form->HasState(csDestroying) && (disabled == 0 || form->Tag() != disabled) &&
      !FEngine->FindFrame(child) && SendMessageW(child, SKM_QUERYSKINNED, 0, 0) == 0) {
    const std::shared_ptr<bool> alive = FAlive;
    FEngine->AttachWindow(child, false);
    if (!*alive) return;
  }
  UpdateWindowMenu();
}

void TvexSkinWindowVCL::ChildLeaving(HWND child) {
  if (!IsMDIForm() || !FForm || FForm->HasState(csDestroying) || FDestroying || FWindowDying) return;
  const std::shared_ptr<bool> alive = FAlive;
  if (LiveChildren(*FForm, child).empty()) {
    // The last child goes: the frame's own items.
    if (HWND h = Handle()) SendMessageW(h, SKM_MENUCHANGED, reinterpret_cast<WPARAM>(h), 0);
    if (!*alive) return;
  }
  // The buttons go with a maximized child; another child may be maximized in its place.
  TCustomForm* active = FForm->ActiveMDIChild();
  if (!active || !active->HandleAllocated() || active->Handle() == child)
    HideMDIButtons();
  else
    ShowMDIButtons();
  RebuildWindowMenu(child);
}

void TvexSkinWindowVCL::ChildMenuAnnounced(HWND from) {
  if (!IsMDIForm() || !FForm) return;
  TMainMenu* menu = nullptr;
  if (from && from != Handle()) {
    // Only the active child's menu shows: an announcement that arrives after another child was
    // activated, or after the child went, changes nothing.
    TCustomForm* child = utils::FindFormByHandle(from);
    if (!child || child->HasState(csDestroying) || child->FormStyle() != fsMDIChild || GetParent(from) != FForm->ClientHandle() ||
        FForm->ActiveMDIChild() != child)
      return;
    menu = child->Menu();
  }
  SetChildMenu(menu);
  const std::shared_ptr<bool> alive = FAlive;
  if (FSkinned) BuildMenuBar(false);
  if (!*alive) return;
  ShowMDIButtons();
}

void TvexSkinWindowVCL::SetChildMenu(TMainMenu* menu) {
  if (menu == FChildMenu) return;
  if (FChildMenu && FChildMenu != FMenu) WatchMenu(FChildMenu, false);
  FChildMenu = menu;
  WatchMenu(FChildMenu, true);
}

// ----- the control buttons -----

void TvexSkinWindowVCL::PlaceMDIButtons() {
  if (!IsMDIForm() || !FForm) return;
  const int MH = MenuBarHeight();
  const int W = FForm->Width(), BR = Metrics().RightBorderWidth;
  // Square, side by side, at the window's resolution (scaling the form's controls scales them
  // too, from wherever they stood), and no taller than the bar's row (its height follows the
  // menu font, which does not grow quite as the resolution does).
  const int size = MH > 0 ? std::min(Px(kButtonStep), MH) : Px(kButtonStep);
  ScaleMDIGlyphs();
  // In the bar's row, flush with its bottom edge; right to left from the right border.
  const int top = MH - std::min(MH, size);
  for (std::size_t i = 0; i < FMDIButtons.size(); ++i) {
    TvexSkinMenuBarControlButton* b = FMDIButtons[i];
    if (!b) continue;
    b->SetBounds(W - BR - Px(26) - size * static_cast<int>(i), top, size, size);
    b->BringToFront();
    b->SetColor(FButtonColor);
    b->SetToColor(FButtonToColor);
  }
}

void TvexSkinWindowVCL::ShowMDIButtons() {
  if (!IsMDIForm() || !FForm) return;
  TCustomForm* child = FForm->ActiveMDIChild();
  // Only a maximized active child has its controls in the bar's row.
  if (!FSkinned || !child || !child->HandleAllocated() || !IsZoomed(child->Handle())) {
    HideMDIButtons();
    return;
  }
  const int icons = child->BorderIcons();
  const bool shown[3] = {(icons & biSystemMenu) != 0, (icons & biMaximize) != 0, (icons & biMinimize) != 0};
  for (std::size_t i = 0; i < FMDIButtons.size(); ++i) {
    TvexSkinMenuBarControlButton* b = FMDIButtons[i];
    if (!b) continue;
    b->SetColor(FButtonColor);
    b->SetToColor(FButtonToColor);
    b->SetVisible(shown[i]);
    b->BringToFront();
  }
}

void TvexSkinWindowVCL::HideMDIButtons() {
  for (TvexSkinMenuBarControlButton* b : FMDIButtons)
    if (b) b->SetVisible(false);
}

void TvexSkinWindowVCL::MDIButtonClick(TObject* sender) {
  if (!FForm || !sender || !sender->Is<TComponent>()) return;
  TCustomForm* child = FForm->ActiveMDIChild();
  if (!child || !child->HandleAllocated()) return;
  const std::shared_ptr<bool> alive = FAlive;
  switch (static_cast<TComponent*>(sender)->Tag()) {
    case kMinimizeTag:
      ShowWindow(child->Handle(), SW_SHOWMINIMIZED);
      break;
    case kRestoreTag:
      child->SetWindowState(wsNormal);
      break;
    case kCloseTag:
      child->Close();
      break;
    default:
      return;
  }
  if (!*alive) return;
  Application().ProcessMessages();
}

// ----- the window menu -----

void TvexSkinWindowVCL::UpdateWindowMenu() { RebuildWindowMenu(nullptr); }

namespace {
// Counts the frame's own menu edits for as long as it lives.
struct TEditingMenus {
  int& count;
  explicit TEditingMenus(int& c) : count(c) { ++count; }
  ~TEditingMenus() { --count; }
  TEditingMenus(const TEditingMenus&) = delete;
  TEditingMenus& operator=(const TEditingMenus&) = delete;
};
}  // namespace

void TvexSkinWindowVCL::FreeWindowMenuItems() {
  const TEditingMenus editing(FEditingMenus);
  // Taken out of the list first: each item's end is heard of through its free notification.
  std::vector<TMenuItem*> old;
  old.swap(FWindowMenuItems);
  for (TMenuItem* item : old) {
    item->RemoveFreeNotification(this);
    if (!item->HasState(csDestroying)) TComponent::Free(item);
  }
}

void TvexSkinWindowVCL::RebuildWindowMenu(HWND leaving) {
  if (!IsMDIForm() || !FForm || FDestroying || FWindowDying || FForm->HasState(csDestroying)) return;
  const TEditingMenus editing(FEditingMenus);
  FreeWindowMenuItems();
  TMenuItem* windowMenu = FForm->WindowMenu();
  if (!FSkinned || !FMenu || !windowMenu || windowMenu->HasState(csDestroying)) return;
  // Children shown and not hidden by their own WM_SHOWWINDOW, in index order.
  std::vector<TCustomForm*> listed;
  for (TCustomForm* c : LiveChildren(*FForm, leaving)) {
    HWND h = c->Handle();
    if (!OwnVisible(h) || SendMessageW(h, SKM_QUERYHIDDEN, 0, 0) == 1) continue;
    listed.push_back(c);
  }
  // No lone separator at the end of the menu when there is nothing to list.
  if (listed.empty()) return;
  TCustomForm* active = FForm->ActiveMDIChild();
  const std::weak_ptr<bool> alive = FAlive;
  // The new items look like the menu's others: drawn by the engine when it draws the menu.
  const bool skinnedLook = static_cast<bool>(windowMenu->OnDrawItem);
  TMenu* owningMenu = windowMenu->GetParentMenu();
  if (owningMenu) owningMenu->BeginUpdate();
  auto add = [&](const std::wstring& caption) {
    auto* item = new TMenuItem(FForm);
    item->SetCaption(caption);
    item->FreeNotification(this);
    FWindowMenuItems.push_back(item);
    return item;
  };
  std::vector<TMenuItem*> added{add(L"-")};
  for (TCustomForm* c : listed) {
    TMenuItem* item = add(c->Caption());
    item->SetTag(static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(c)));
    item->SetChecked(c == active);
    item->OnClick.handler = [alive, this](TObject* sender) {
      if (const auto a = alive.lock(); a && *a) WindowItemClick(sender);
    };
    added.push_back(item);
  }
  for (TMenuItem* item : added) {
    windowMenu->Add(item);
    if (skinnedLook) FEngine->SkinMenuItem(item);
  }
  if (owningMenu) owningMenu->EndUpdate();
}

void TvexSkinWindowVCL::WindowItemClick(TObject* sender) {
  if (!FForm || !sender || !sender->Is<TMenuItem>()) return;
  const auto tag = static_cast<std::intptr_t>(static_cast<TMenuItem*>(sender)->Tag());
  // The item names a child only while that child is still one of the frame's.
  for (TCustomForm* c : LiveChildren(*FForm)) {
    if (reinterpret_cast<std::intptr_t>(c) != tag) continue;
    if (IsIconic(c->Handle())) c->SetWindowState(wsNormal);
    if (HWND client = FForm->ClientHandle()) SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(c->Handle()), 0);
    return;
  }
}

// ----- cascade and tile -----

void TvexSkinWindowVCL::Cascade() {
  if (!IsMDIForm() || !FForm) return;
  const int w = static_cast<int>(0.8 * FForm->ClientWidth());
  const int h = static_cast<int>(0.6 * FForm->ClientHeight());
  const std::vector<TCustomForm*> children = LiveChildren(*FForm);
  int k = 0;
  // The last child at the top left, each earlier one a step further in.
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    TCustomForm* c = *it;
    if (IsIconic(c->Handle()) || !OwnVisible(c->Handle())) continue;
    c->SetBounds(22 * k, 22 * k, w, h);
    ++k;
  }
}

void TvexSkinWindowVCL::Tile(bool horizontal) {
  if (!IsMDIForm() || !FForm || !FForm->ClientHandle()) return;
  const std::vector<TCustomForm*> children = LiveChildren(*FForm);
  std::vector<TCustomForm*> open;
  bool someMinimized = false;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    HWND h = (*it)->Handle();
    if (!OwnVisible(h)) continue;
    if (IsIconic(h))
      someMinimized = true;
    else
      open.push_back(*it);
  }
  const int n = static_cast<int>(open.size());
  if (n == 0) return;
  // The room is the client window's: the form's client area less what its aligned bars (the
  // skinned menu bar among them, and side bars too) take. A row of minimized children keeps
  // its room at the bottom.
  RECT room;
  GetWindowRect(FForm->ClientHandle(), &room);
  const int width = room.right - room.left;
  const int A = (room.bottom - room.top) - (someMinimized ? 25 : 0);
  const bool single = children.size() == 1;
  if (horizontal) {
    const int r = A / n - (single ? 2 : 0);
    int y = 0;
    for (TCustomForm* c : open) {
      c->SetBounds(0, y, width - 4, r - 2);
      y += r - 2;
    }
  } else {
    const int col = width / n - (single ? 2 : 0);
    int x = 0;
    for (TCustomForm* c : open) {
      c->SetBounds(x, 0, col - 2, A - 4);
      x += col - 2;
    }
  }
}

}  // namespace vex::engine
