#include "vexskin/vexskin.h"

#include <mutex>

#include "controls/std_ctrl.h"
#include "controls/std_wnd.h"
#include "engine/skin_engine.h"
#include "host/standard_classes.h"

namespace vex {

void InitializeSkinning() {
  static std::once_flag once;
  std::call_once(once, [] {
    host::RegisterStandardClasses();
    engine::TvexSkinEngine::StaticClass();
    engine::RegisterStandardWindowClasses();
    engine::RegisterStandardControlClasses();
  });
}

}  // namespace vex
