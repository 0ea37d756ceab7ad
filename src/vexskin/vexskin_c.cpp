// The C interface: each function checks its arguments, finds its session, runs the C++ session
// call and turns whatever it raises into a status and the thread's last-error message. Nothing
// raised inside ever leaves a function here.
#include "vexskin/vexskin_c.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "engine/skin_engine.h"
#include "host/text_encoding.h"
#include "vexskin/skin_session.h"

struct vexskin_session {
  std::unique_ptr<vex::TSkinSession> impl;
  // Calls on the session under way on its thread: the engine sends the program's windows
  // messages while it works, and a window procedure may end the session then.
  int calls = 0;
  // Ended while a call was under way: it goes when the outermost call returns.
  bool endPending = false;
};

namespace {

using vex::ESkinSessionError;

thread_local std::wstring gLastError;
// Said when even the message could not be kept.
constexpr const wchar_t kNoMemory[] = L"out of memory";
thread_local bool gOutOfMemory = false;

void SetLastErrorText(const std::string& utf8) noexcept {
  try {
    gLastError = vex::host::Utf8ToWide(utf8);
    gOutOfMemory = false;
  } catch (...) {
    gOutOfMemory = true;
  }
}

void ClearLastErrorText() noexcept {
  gLastError.clear();
  gOutOfMemory = false;
}

// The sessions not ended yet, from every thread: a handle is looked up here before it is used,
// so an ended or made-up handle is an argument error instead of a read of freed memory.
std::mutex gSessionsLock;
std::vector<vexskin_session*> gSessions;

bool IsLive(vexskin_session* s) {
  std::lock_guard<std::mutex> lock(gSessionsLock);
  return std::find(gSessions.begin(), gSessions.end(), s) != gSessions.end();
}

// A live session of the calling thread, or the reason why not.
vex::TSkinSession& SessionOf(vexskin_session* s) {
  if (!s) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no session given");
  if (!IsLive(s)) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "the session has ended or was never started");
  if (s->impl->Thread() != GetCurrentThreadId())
    throw ESkinSessionError(VEXSKIN_ERROR_THREAD, "the session belongs to another thread");
  return *s->impl;
}

// Marks a call under way on a live session for as long as it lives; the last one out frees a
// session ended meanwhile.
class TInCall {
 public:
  explicit TInCall(vexskin_session* s) : s_(s) { ++s_->calls; }
  ~TInCall() {
    if (--s_->calls == 0 && s_->endPending) delete s_;
  }
  TInCall(const TInCall&) = delete;
  TInCall& operator=(const TInCall&) = delete;

 private:
  vexskin_session* s_;
};

std::wstring Text(const wchar_t* s) { return s ? std::wstring(s) : std::wstring(); }

std::vector<std::uint8_t> Bytes(const void* data, size_t size) {
  if (!data) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no skin bytes given (null pointer)");
  if (size == 0) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no skin bytes given (size 0)");
  const auto* p = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(p, p + size);
}

template <class F>
vexskin_status Call(F&& body) noexcept {
  try {
    body();
    ClearLastErrorText();
    return VEXSKIN_OK;
  } catch (const ESkinSessionError& e) {
    SetLastErrorText(e.what());
    return e.Status();
  } catch (const std::bad_alloc&) {
    SetLastErrorText("out of memory");
    return VEXSKIN_ERROR_SYSTEM;
  } catch (const std::exception& e) {
    SetLastErrorText(std::string("the system refused: ") + e.what());
    return VEXSKIN_ERROR_SYSTEM;
  } catch (...) {
    SetLastErrorText("an unexpected failure inside the library");
    return VEXSKIN_ERROR_SYSTEM;
  }
}

template <class F>
vexskin_status Start(vexskin_session** out, F&& start) noexcept {
  if (out) *out = nullptr;
  return Call([&] {
    if (!out) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no place for the session given (null pointer)");
    auto s = std::make_unique<vexskin_session>();
    {
      std::lock_guard<std::mutex> lock(gSessionsLock);
      gSessions.reserve(gSessions.size() + 1);
    }
    s->impl = start();
    std::lock_guard<std::mutex> lock(gSessionsLock);
    gSessions.push_back(s.get());
    *out = s.release();
  });
}

}  // namespace

extern "C" {

vexskin_status VEXSKIN_CALL vexskin_start_file(const wchar_t* skin_file, const wchar_t* password, vexskin_session** session) {
  return Start(session, [&] {
    if (!skin_file || !*skin_file) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no skin file named");
    return vex::TSkinSession::StartWithFile(skin_file, Text(password));
  });
}

vexskin_status VEXSKIN_CALL vexskin_start_memory(const void* skin_bytes, size_t size, const wchar_t* password,
                                                 vexskin_session** session) {
  return Start(session, [&] { return vex::TSkinSession::StartWithData(Bytes(skin_bytes, size), Text(password)); });
}

vexskin_status VEXSKIN_CALL vexskin_load_file(vexskin_session* session, const wchar_t* skin_file, const wchar_t* password) {
  return Call([&] {
    vex::TSkinSession& s = SessionOf(session);
    const TInCall inCall(session);
    if (!skin_file || !*skin_file) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no skin file named");
    s.LoadFile(skin_file, Text(password));
  });
}

vexskin_status VEXSKIN_CALL vexskin_load_memory(vexskin_session* session, const void* skin_bytes, size_t size,
                                                const wchar_t* password) {
  return Call([&] {
    vex::TSkinSession& s = SessionOf(session);
    const TInCall inCall(session);
    s.LoadData(Bytes(skin_bytes, size), Text(password));
  });
}

vexskin_status VEXSKIN_CALL vexskin_set_enabled(vexskin_session* session, int enabled) {
  return Call([&] {
    vex::TSkinSession& s = SessionOf(session);
    const TInCall inCall(session);
    s.SetEnabled(enabled != 0);
  });
}

vexskin_status VEXSKIN_CALL vexskin_get_enabled(vexskin_session* session, int* enabled) {
  return Call([&] {
    vex::TSkinSession& s = SessionOf(session);
    if (!enabled) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no place for the answer given (null pointer)");
    *enabled = s.Enabled() ? 1 : 0;
  });
}

vexskin_status VEXSKIN_CALL vexskin_add_window_class(vexskin_session* session, const wchar_t* class_name) {
  return Call([&] {
    vex::TSkinSession& s = SessionOf(session);
    const TInCall inCall(session);
    if (!class_name) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no window class named");
    // Read no further than a class name can be long, plus one to see that it is too long.
    s.AddWindowClass(std::wstring(class_name, wcsnlen(class_name, 257)));
  });
}

vexskin_status VEXSKIN_CALL vexskin_skin_window(vexskin_session* session, HWND window) {
  return Call([&] {
    vex::TSkinSession& s = SessionOf(session);
    const TInCall inCall(session);
    s.SkinWindow(window);
  });
}

vexskin_status VEXSKIN_CALL vexskin_window_skinned(vexskin_session* session, HWND window, int* skinned) {
  if (skinned) *skinned = 0;
  return Call([&] {
    vex::TSkinSession& s = SessionOf(session);
    if (!skinned) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no place for the answer given (null pointer)");
    *skinned = s.WindowSkinned(window) ? 1 : 0;
  });
}

vexskin_status VEXSKIN_CALL vexskin_end(vexskin_session* session) {
  return Call([&] {
    if (!session) return;
    SessionOf(session);
    {
      std::lock_guard<std::mutex> lock(gSessionsLock);
      gSessions.erase(std::find(gSessions.begin(), gSessions.end(), session));
    }
    // Ended from a window procedure during a call on the session: the call finishes its work,
    // then the session goes. Calls naming it meanwhile find it ended.
    if (session->calls > 0) {
      session->endPending = true;
      return;
    }
    delete session;
  });
}

const wchar_t* VEXSKIN_CALL vexskin_last_error(void) { return gOutOfMemory ? kNoMemory : gLastError.c_str(); }

const wchar_t* VEXSKIN_CALL vexskin_version(void) {
  // The engine's Version(), as a string that lives as long as the library.
  static const wchar_t version[] = L"4.7";
  return version;
}

}  // extern "C"
