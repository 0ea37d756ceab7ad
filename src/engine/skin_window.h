// The frame wrapper base as the engine sees it: one per skinned top-level window.
#pragma once

#include <windows.h>

#include "host/component.h"

namespace vex::engine {

class TvexSkinEngine;

class TvexSkinWindow : public host::TComponent {
  VEX_CLASS(TvexSkinWindow)
 public:
  TvexSkinWindow(host::TComponent* owner, TvexSkinEngine* engine, const host::TClassInfo& cls = StaticClass());

  virtual HWND WindowHandle() const = 0;
  // Skinning on and off; a wrapper that is not enabled never skins.
  virtual void SetSkinned(bool skinned) = 0;
  // Re-reads the skin's region switches and repaints while the engine is active.
  virtual void ApplySkinSwitches() = 0;
  // The system menu's requests: minimize or restore, maximize or restore, close.
  virtual void SystemMenuCommand(int item) = 0;

  TvexSkinEngine* FEngine;
  bool FMaximizeDrawn = false, FMinimizeDrawn = false, FCloseDrawn = false;
};

}  // namespace vex::engine
