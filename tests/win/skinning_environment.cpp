// Every Windows test runs with the standard control wrappers registered, as an application that
// links the umbrella library does after its start-up call.
#include <gtest/gtest.h>

#include "vexskin/vexskin.h"

namespace {

class TSkinningEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { vex::InitializeSkinning(); }
};

::testing::Environment* const gSkinning = ::testing::AddGlobalTestEnvironment(new TSkinningEnvironment);

}  // namespace
