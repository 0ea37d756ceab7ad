// The one boundary between our code and the system's callbacks (window and subclass procedures,
// hooks, timers): an exception never unwinds into the system, and nothing is shown from inside
// the callback. The exception is kept and reported by the application's message loop once the
// callback has returned (a message box raised inside a window-activation hook would itself be a
// dialog that re-enters the hook).
#pragma once

#include <exception>
#include <utility>

namespace vex::host {

// Keeps the exception for the message loop; the first one kept wins until it is reported.
void DeferException(std::exception_ptr e) noexcept;
// The kept exception, handed over and forgotten (null when there is none).
std::exception_ptr TakeDeferredException() noexcept;
// Hands a kept exception to the application's exception handler. The message loop calls it after
// each message it dispatched.
void ReportDeferredException();

// Runs a callback's body; answers false when it raised (the exception is kept).
template <class F>
bool GuardCallback(F&& body) noexcept {
  try {
    std::forward<F>(body)();
    return true;
  } catch (...) {
    DeferException(std::current_exception());
    return false;
  }
}

}  // namespace vex::host
