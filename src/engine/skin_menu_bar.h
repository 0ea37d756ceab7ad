// The skinned menu bar: a form's main menu shown as a tool bar at the top of its client area,
// one button per top-level item, drawn in the skin's menu colours by the frame that made it.
#pragma once

#include "host/tool_bar.h"

namespace vex::engine {

class TvexSkinWindowVCL;

class TvexSkinMenuBar : public host::TToolBar {
  VEX_CLASS(TvexSkinMenuBar)
 public:
  // A button hot or open carries this tag between two paints; every other button 0.
  static constexpr std::int64_t kHotTag = 888;

  TvexSkinMenuBar(host::TComponent* owner, TvexSkinWindowVCL* frame);

  // The frame that made the bar; not owned.
  TvexSkinWindowVCL* FFrame = nullptr;

 protected:
  void WndProc(host::TMessage& m) override;
  // With Alt, the bar's accelerators; without it only while one of its items is hot or open, so
  // that letters typed into a form never open its menus.
  bool DialogChar(wchar_t ch, bool alt) override;

 private:
  bool AnyHot() const;
  int lastHeight_ = -1;
};

}  // namespace vex::engine
