// The application: its forms, main form, message loop and application-wide events.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "host/component.h"
#include "host/icon.h"

namespace vex::host {

class TCustomForm;
class TApplicationEvents;

class TApplication : public TComponent {
  VEX_CLASS(TApplication)
 public:
  TApplication();
  ~TApplication() override;

  // Every form in creation order; the first form created is the main form unless one is set.
  const std::vector<TCustomForm*>& Forms() const { return forms_; }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* f) { mainForm_ = f; }
  bool Active() const { return active_; }
  TIcon& Icon() { return icon_; }
  std::wstring ExeName() const;

  // Shows the main form and handles messages until the application terminates.
  void Run();
  // Handles every message already queued, then returns.
  void ProcessMessages();
  // Waits for one message and handles it.
  void HandleMessage();
  // The loop's handling of one message: application events first, then shortcuts and keyboard
  // navigation of the active form, then the window. Returns false for WM_QUIT.
  bool ProcessMessage(MSG& msg);
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Exceptions that reached a window procedure; unset, they are shown in a message box.
  std::function<void(const std::exception*)> OnException;

  // Called by forms and event components.
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  void SetActive(bool a) { active_ = a; }
  void AddEvents(TApplicationEvents* e);
  void RemoveEvents(TApplicationEvents* e);
  void CancelDispatch() { cancelDispatch_ = true; }

 private:
  std::vector<TCustomForm*> forms_;
  std::vector<TApplicationEvents*> events_;
  TCustomForm* mainForm_ = nullptr;
  TIcon icon_;
  bool active_ = false, terminated_ = false, cancelDispatch_ = false;
};

// The process's application object (created on first use, on the GUI thread).
TApplication& Application();

// Sees every message the application's loop takes from the queue, before it is dispatched.
class TApplicationEvents : public TComponent {
  VEX_CLASS(TApplicationEvents)
 public:
  explicit TApplicationEvents(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TApplicationEvents() override;
  // Setting handled stops the message: it is neither translated nor dispatched.
  std::function<void(MSG& msg, bool& handled)> OnMessage;
  // Events components after this one do not see the current message.
  void CancelDispatch() { Application().CancelDispatch(); }
};

}  // namespace vex::host
