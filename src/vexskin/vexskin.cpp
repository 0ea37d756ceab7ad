#include "vexskin/vexskin.h"

#include <mutex>

#include "controls/range_ctrl.h"
#include "controls/scroll_ctrl.h"
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
    engine::RegisterScrollWindowClasses();
    engine::RegisterRangeWindowClasses();
    // The scrolling rows first: the table is searched from its end, and the custom-control row
    // must come after the more specific rows (panels) of the standard ones.
    engine::RegisterScrollControlClasses();
    engine::RegisterRangeControlClasses();
    engine::RegisterStandardControlClasses();
  });
}

}  // namespace vex
