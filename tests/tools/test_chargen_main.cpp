// The character tests run with the core started (file-system device, matrix
// routines, message handler), like the viewer that loads the documents.
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
