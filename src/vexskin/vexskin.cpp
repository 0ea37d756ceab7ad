#include "vexskin/vexskin.h"

#include <mutex>

#include "controls/bar_ctrl.h"
#include "controls/combo_ctrl.h"
#include "controls/container_wnd.h"
#include "controls/range_ctrl.h"
#include "controls/scroll_ctrl.h"
#include "controls/std_ctrl.h"
#include "controls/std_wnd.h"
#include "controls/tab_ctrl.h"
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
    engine::RegisterComboWindowClasses();
    engine::RegisterContainerWindowClasses();
    engine::RegisterTabWindowClasses();
    // The scrolling rows first: the table is searched from its end, and the custom-control row
    // must come after the more specific rows (panels) of the standard ones.
    engine::RegisterScrollControlClasses();
    engine::RegisterRangeControlClasses();
    engine::RegisterTabControlClasses();
    // After the list controls: a combo box is one, and its own row is the more specific.
    engine::RegisterComboControlClasses();
    engine::RegisterStandardControlClasses();
    engine::RegisterBarControlClasses();
  });
}

}  // namespace vex
