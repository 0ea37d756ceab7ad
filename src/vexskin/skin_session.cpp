#include "vexskin/skin_session.h"

#include <cstring>
#include <new>

#include "engine/menu_images.h"
#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "host/application.h"
#include "host/form.h"
#include "host/text_encoding.h"
#include "skin2/skin_error.h"
#include "vexskin/vexskin.h"

namespace vex {

namespace {

namespace fs = std::filesystem;

// The system's words for its last error, without the line break it ends them with.
std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring s = n && text ? std::wstring(text, n) : L"system error " + std::to_wstring(code);
  if (text) LocalFree(text);
  while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' ' || s.back() == L'.')) s.pop_back();
  return host::WideToUtf8(s);
}

// Runs a skin load and says what went wrong in the session's terms: a wrong password, a skin that
// cannot be read, or the system out of memory.
template <class F>
void Loading(const std::string& what, F&& load) {
  try {
    load();
  } catch (const ESkinSessionError&) {
    throw;
  } catch (const skin2::EvexSkinError& e) {
    if (std::strcmp(e.what(), skin2::kWrongPasswordMessage) == 0)
      throw ESkinSessionError(VEXSKIN_ERROR_PASSWORD, what + " needs another password");
    throw ESkinSessionError(VEXSKIN_ERROR_SKIN, what + " is not a skin that can be read (" + e.what() + ")");
  } catch (const std::bad_alloc&) {
    throw ESkinSessionError(VEXSKIN_ERROR_SYSTEM, "out of memory while reading " + what);
  } catch (const std::exception& e) {
    throw ESkinSessionError(VEXSKIN_ERROR_SKIN, what + " is not a skin that can be read (" + e.what() + ")");
  }
}

bool SameClass(HWND window, const std::wstring& name) {
  wchar_t buf[257];
  const int n = GetClassNameW(window, buf, 257);
  return n > 0 && CompareStringOrdinal(buf, n, name.c_str(), static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

// The visible top-level windows of a thread that are of one class.
struct TClassWindows {
  const std::wstring* name;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectClassWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<TClassWindows*>(param);
  try {
    if (IsWindowVisible(window) && SameClass(window, *found->name)) found->windows.push_back(window);
    return TRUE;
  } catch (...) {
    return FALSE;  // out of memory: the windows found so far are skinned
  }
}

}  // namespace

TSkinSession::TSkinSession() : thread_(GetCurrentThreadId()) {
  InitializeSkinning();
  // The window hook belongs to the thread, and a thread has one.
  if (engine::HookEngine())
    throw ESkinSessionError(VEXSKIN_ERROR_BUSY, "this thread is skinned already (by another session or a skin engine)");
  // The engine lives on a form; this one is never shown and never made a window. It is nobody's
  // main form, and a framework engine that skins every open form leaves it alone (the disabled tag).
  owner_.reset(new host::TForm(nullptr));
  if (host::Application().MainForm() == owner_.get()) host::Application().SetMainForm(nullptr);
  engine_ = new engine::TvexSkinEngine(owner_.get());
  owner_->SetTag(engine_->DisabledTag());
  if (engine::HookEngine() != engine_)
    throw ESkinSessionError(VEXSKIN_ERROR_SYSTEM, "the window hook could not be installed: " + SystemMessage(GetLastError()));
}

TSkinSession::~TSkinSession() {
  // The engine goes with its form, and every frame with the engine, each window given back. A
  // frame that fails on the way leaves its window as it is; the end goes on.
  try {
    host::TComponent::Free(owner_.release());
  } catch (...) {
  }
  for (const std::string& name : addedClassNames_) {
    const int i = engine::AutoSkinClassNames().IndexOf(name);
    if (i >= 0) engine::AutoSkinClassNames().Delete(i);
  }
}

std::unique_ptr<TSkinSession> TSkinSession::StartWithFile(const std::wstring& skinFile, const std::wstring& password) {
  std::unique_ptr<TSkinSession> s(new TSkinSession());
  s->LoadFile(skinFile, password);
  s->engine_->SetActive(true);
  return s;
}

std::unique_ptr<TSkinSession> TSkinSession::StartWithData(const std::vector<std::uint8_t>& skin, const std::wstring& password) {
  std::unique_ptr<TSkinSession> s(new TSkinSession());
  s->LoadData(skin, password);
  s->engine_->SetActive(true);
  return s;
}

void TSkinSession::LoadFile(const std::wstring& skinFile, const std::wstring& password) {
  if (skinFile.empty()) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no skin file named");
  const std::string name = host::WideToUtf8(skinFile);
  // Only a bare or relative name is looked for in the program's and the system's folders: a path
  // from a root names one file, and another of the same name elsewhere is not it.
  const bool rooted = fs::path(skinFile).has_root_path();
  const fs::path found = engine::FindSkinFile(name);
  if (found.empty() || (rooted && found != fs::path(skinFile)))
    throw ESkinSessionError(VEXSKIN_ERROR_FILE, "the skin file '" + name + "' was not found");
  // A file that is there but cannot be opened is the file's fault, not the skin's.
  HANDLE file = CreateFileW(found.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw ESkinSessionError(VEXSKIN_ERROR_FILE, "the skin file '" + found.u8string() + "' cannot be read: " + SystemMessage(GetLastError()));
  CloseHandle(file);
  // The engine keeps the password it was given: a load that fails puts the one before back.
  const std::string previous = engine_->Password();
  engine_->SetPassword(host::WideToUtf8(password));
  try {
    Loading("the skin file '" + found.u8string() + "'", [&] { engine_->SetSkinFile(found.u8string()); });
  } catch (...) {
    engine_->SetPassword(previous);
    throw;
  }
}

void TSkinSession::LoadData(const std::vector<std::uint8_t>& skin, const std::wstring& password) {
  if (skin.empty()) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no skin bytes given");
  Loading("the skin bytes", [&] { engine_->LoadSkinData(skin, host::WideToUtf8(password)); });
}

void TSkinSession::SetEnabled(bool enabled) { engine_->SetActive(enabled); }

bool TSkinSession::Enabled() const { return engine_->Active(); }

void TSkinSession::AddWindowClass(const std::wstring& className) {
  if (className.empty()) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "no window class named");
  if (className.size() > 256) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "a window class name has at most 256 characters");
  const std::string name = host::WideToUtf8(className);
  if (engine::AutoSkinClassNames().IndexOf(name) < 0) addedClassNames_.push_back(name);
  // The engine's own list passes its names on to the process's table.
  if (engine_->AutoSkinWndClassNames().IndexOf(name) < 0) engine_->AutoSkinWndClassNames().Add(name);
  // Windows of the class that show already would wait for their next activation: they are
  // skinned now.
  TClassWindows found{&className, {}};
  EnumThreadWindows(thread_, CollectClassWindow, reinterpret_cast<LPARAM>(&found));
  for (HWND w : found.windows)
    if (IsWindow(w) && !engine_->FindFrame(w)) engine_->AttachWindow(w, false);
}

void TSkinSession::CheckTopLevelOfThread(HWND window) const {
  if (!window || !IsWindow(window)) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "not a window");
  if (GetWindowThreadProcessId(window, nullptr) != thread_)
    throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "the window belongs to another thread than the session");
  if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
    throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "a child window gets no frame of its own; skin its top-level window");
}

void TSkinSession::SkinWindow(HWND window) {
  CheckTopLevelOfThread(window);
  if (engine_->FindFrame(window)) return;
  engine_->AttachWindow(window, SameClass(window, L"#32770"));
}

bool TSkinSession::WindowSkinned(HWND window) const {
  if (!window || !IsWindow(window)) throw ESkinSessionError(VEXSKIN_ERROR_ARGUMENT, "not a window");
  const engine::TvexSkinWindow* frame = engine_->FindFrame(window);
  return frame && frame->FSkinned && engine_->IsSkinActive();
}

}  // namespace vex
