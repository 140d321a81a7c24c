// GoogleTest main of the test programs that need the core started, as the
// programs that load documents start it: file-system device, portable matrix
// routines (no processor identification) and the standard message handler.
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
