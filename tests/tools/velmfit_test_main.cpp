// Test program of velmfit's core: the core library is started once for all
// tests (matrix routines, message handler, file system).
#include <gtest/gtest.h>

#include "kelncore/system/startup.h"

namespace {

class core_environment_t : public ::testing::Environment {
 public:
  void SetUp() override { keln::core_startup(0); }
  void TearDown() override { keln::core_shutdown(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new core_environment_t);
  return RUN_ALL_TESTS();
}
