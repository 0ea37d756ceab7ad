// A form carrying an engine with the default skin loaded and active, for tests of what the engine
// skins; and a short message pump.
#pragma once

#include <gtest/gtest.h>

#include "engine/skin_engine.h"
#include "host/application.h"
#include "host/form.h"
#include "skin2/default_skin.h"
#include "test_support.h"

namespace vex::test {

inline void PumpMessages() {
  for (int i = 0; i < 5; ++i) host::Application().ProcessMessages();
}

class TSkinnedEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir / "default.vsk", skin2::BuildDefaultSkinArchive());
    form.reset(new host::TForm(nullptr));
    engine = new engine::TvexSkinEngine(form.get());
    engine->SetSkinFile((dir / "default.vsk").u8string());
    engine->SetActive(true);
    ASSERT_TRUE(engine->IsSkinActive());
  }

  TScopedTempDir dir;
  host::TComponentPtr<host::TForm> form;
  engine::TvexSkinEngine* engine = nullptr;
};

}  // namespace vex::test
