#include "host/callback_guard.h"

#include <stdexcept>

#include "host/win_control.h"

namespace vex::host {

namespace {
// Callbacks run on the thread of their windows; each thread keeps its own.
thread_local std::exception_ptr gDeferred;
}  // namespace

void DeferException(std::exception_ptr e) noexcept {
  if (!gDeferred) gDeferred = std::move(e);
}

std::exception_ptr TakeDeferredException() noexcept {
  std::exception_ptr e;
  e.swap(gDeferred);
  return e;
}

void ReportDeferredException() {
  std::exception_ptr e = TakeDeferredException();
  if (!e) return;
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    HandleWindowProcException(&x);
  } catch (...) {
    HandleWindowProcException(nullptr);
  }
}

}  // namespace vex::host
