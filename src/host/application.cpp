#include "host/application.h"

#include "host/callback_guard.h"

#include <algorithm>

#include "host/form.h"
#include "host/win_control.h"

namespace vex::host {

const TClassInfo& TApplication::StaticClass() {
  static const TClassInfo info("TApplication", &TComponent::StaticClass());
  return info;
}

const TClassInfo& TApplicationEvents::StaticClass() {
  static TClassInfo info("TApplicationEvents", &TComponent::StaticClass(), ComponentFactory<TApplicationEvents>);
  static const bool once = [] { RegisterFrameworkClass(info); return true; }();
  (void)once;
  return info;
}

TApplication& Application() {
  static TApplication* app = new TApplication();  // lives until the process ends
  return *app;
}

TApplication::TApplication() : TComponent(nullptr, StaticClass()) {
  icon_.LoadFromResourceName(GetModuleHandleW(nullptr), L"MAINICON", 32, 32);
  gExceptionHandler = [this](const std::exception* e) {
    if (OnException) {
      OnException(e);
    } else {
      const std::string what = e ? e->what() : "Unknown error";
      MessageBoxA(nullptr, what.c_str(), "Error", MB_OK | MB_ICONERROR);
    }
  };
}

TApplication::~TApplication() = default;

std::wstring TApplication::ExeName() const {
  wchar_t buf[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
  return std::wstring(buf, n);
}

void TApplication::AddForm(TCustomForm* f) {
  forms_.push_back(f);
  if (!mainForm_) mainForm_ = f;
}

void TApplication::RemoveForm(TCustomForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  if (mainForm_ == f) mainForm_ = nullptr;
}

void TApplication::AddEvents(TApplicationEvents* e) { events_.push_back(e); }

void TApplication::RemoveEvents(TApplicationEvents* e) {
  events_.erase(std::remove(events_.begin(), events_.end(), e), events_.end());
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return false;
  }
  bool handled = false;
  cancelDispatch_ = false;
  const std::vector<TApplicationEvents*> events = events_;
  for (TApplicationEvents* e : events) {
    if (cancelDispatch_) break;
    if (std::find(events_.begin(), events_.end(), e) == events_.end() || !e->OnMessage) continue;
    try {
      e->OnMessage(msg, handled);
    } catch (const std::exception& ex) {
      HandleWindowProcException(&ex);
    }
  }
  cancelDispatch_ = false;
  if (handled) return true;

  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    TWinControl* c = TWinControl::FindControl(top);
    auto* form = c && c->Is<TCustomForm>() ? static_cast<TCustomForm*>(c) : nullptr;
    if (form && form->FormStyle() == fsMDIForm && form->ActiveMDIChild() && form->ActiveMDIChild()->Menu() &&
        form->ActiveMDIChild()->Menu()->IsShortCut(msg))
      return true;
    try {
      if (form && form->Menu() && form->Menu()->IsShortCut(msg)) return true;
    } catch (const std::exception& ex) {
      HandleWindowProcException(&ex);
      return true;
    }
    // Ctrl+Tab and Ctrl+Shift+Tab go to the controls around the focus (a page control turns its
    // page), innermost first.
    if (form && msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
      try {
        for (HWND w = msg.hwnd; w && w != top; w = GetParent(w))
          if (TWinControl* target = TWinControl::FindControl(w); target && target->Perform(CM_DIALOGKEY, msg.wParam, msg.lParam) != 0)
            return true;
      } catch (const std::exception& ex) {
        HandleWindowProcException(&ex);
        return true;
      }
    }
    // Tab and Shift+Tab move between the form's tab stops, unless the focused control types
    // tabs (a memo with WantTabs).
    if (form && msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
        !(SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTTAB)) {
      form->SelectNext(GetKeyState(VK_SHIFT) >= 0);
      return true;
    }
    // Enter and Escape click the focused, the default or the cancel button.
    try {
      if (form && ButtonDialogKey(*form, msg)) return true;
    } catch (const std::exception& ex) {
      HandleWindowProcException(&ex);
      return true;
    }
    if (form && form->ClientHandle() && TranslateMDISysAccel(form->ClientHandle(), &msg)) return true;
  }
  // A character typed with Alt goes to the form's controls first (a menu drawn by a tool bar of the
  // form); the system would look for a menu on the window only.
  if (msg.message == WM_SYSCHAR && msg.wParam > L' ' && msg.hwnd) {
    TWinControl* c = TWinControl::FindControl(GetAncestor(msg.hwnd, GA_ROOT));
    try {
      if (c && c->Is<TCustomForm>() && !GetMenu(c->Handle()) && c->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam | kDialogCharAlt) != 0)
        return true;
    } catch (const std::exception& ex) {
      HandleWindowProcException(&ex);
      return true;
    }
  }
  // A character the focused control does not take is offered to the form's controls (the
  // accelerators of menu tool bars); an edit field takes its characters itself.
  if (msg.message == WM_CHAR && msg.wParam > L' ') {
    const LRESULT code = msg.hwnd ? SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) : 0;
    if (!(code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
      TWinControl* c = TWinControl::FindControl(GetAncestor(msg.hwnd, GA_ROOT));
      try {
        if (c && c->Is<TCustomForm>() && c->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam & ~kDialogCharAlt) != 0) return true;
      } catch (const std::exception& ex) {
        HandleWindowProcException(&ex);
        return true;
      }
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  // What a callback raised is reported now, outside every window procedure and hook.
  ReportDeferredException();
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
    terminated_ = true;
    return;
  }
  ProcessMessage(msg);
}

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

TApplicationEvents::TApplicationEvents(TComponent* owner, const TClassInfo& cls) : TComponent(owner, cls) {
  Application().AddEvents(this);
}

TApplicationEvents::~TApplicationEvents() { Application().RemoveEvents(this); }

}  // namespace vex::host
