// Skinning for programs not built with the form framework: the engine on a hidden owner form,
// driven by what a plain Win32 program can name (skin files and bytes, window classes, windows).
// The C interface (vexskin_c.h) is a thin layer over this class.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/component.h"
#include "vexskin/vexskin_c.h"

namespace vex {

namespace host {
class TForm;
}
namespace engine {
class TvexSkinEngine;
}

// What a session call raises: the status the C interface answers, and the message.
class ESkinSessionError : public std::runtime_error {
 public:
  ESkinSessionError(vexskin_status status, const std::string& message) : std::runtime_error(message), status_(status) {}
  vexskin_status Status() const { return status_; }

 private:
  vexskin_status status_;
};

class TSkinSession {
 public:
  // Skins the calling thread from now on with the skin of a file (found as the engine finds skin
  // files) or of archive bytes. Raises ESkinSessionError, having changed nothing.
  static std::unique_ptr<TSkinSession> StartWithFile(const std::wstring& skinFile, const std::wstring& password);
  static std::unique_ptr<TSkinSession> StartWithData(const std::vector<std::uint8_t>& skin, const std::wstring& password);
  // Every window goes back as it was, the hook goes, the class names this session added go.
  ~TSkinSession();
  TSkinSession(const TSkinSession&) = delete;
  TSkinSession& operator=(const TSkinSession&) = delete;

  // A new skin for every skinned window; a skin that fails leaves the one before.
  void LoadFile(const std::wstring& skinFile, const std::wstring& password);
  void LoadData(const std::vector<std::uint8_t>& skin, const std::wstring& password);
  void SetEnabled(bool enabled);
  bool Enabled() const;
  // Windows of the class are skinned when activated; those visible now at once.
  void AddWindowClass(const std::wstring& className);
  void SkinWindow(HWND window);
  bool WindowSkinned(HWND window) const;
  DWORD Thread() const { return thread_; }
  engine::TvexSkinEngine& Engine() const { return *engine_; }

 private:
  TSkinSession();
  void CheckTopLevelOfThread(HWND window) const;

  DWORD thread_;
  host::TComponentPtr<host::TForm> owner_;
  engine::TvexSkinEngine* engine_ = nullptr;  // owned by owner_
  // Names this session put into the process's table of skinned class names.
  std::vector<std::string> addedClassNames_;
};

}  // namespace vex
